// Objects the tools make, as the loader and the mesh steps see them: text objects that are
// closed solids wound outwards with a front, a back and a side, placed and sized as asked,
// with holes where the letters have them; and the show's 3D data as committed in data/:
// closed objects, and scenes that name them and whose camera keeps them in view.
#include <cmath>
#include <map>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "lightwave/lw_object.h"
#include "lightwave/lw_scene.h"
#include "lightwave/transformation.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tools/show3d.h"
#include "tools/text_object.h"

namespace mirva {
namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu";
const std::string kBold = kDejaVu + "/DejaVuSans-Bold.ttf";

// Checks that the object is closed and consistently wound (every edge is crossed once each
// way) and returns the volume its faces enclose, positive when they are wound outwards.
double enclosedVolume(const LWObject& object)
{
    std::set<std::pair<int, int>> directed;
    double volume = 0;
    for (const Triangle& t : object.triangles) {
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(directed.insert({t.v[k], t.v[(k + 1) % 3]}).second);
        const Vector3& a = object.vertices[static_cast<std::size_t>(t.v[0])].position;
        volume += static_cast<double>(t.area) / 3.0 * static_cast<double>(dot(a, t.normal));
    }
    for (const auto& [from, to] : directed)
        EXPECT_TRUE(directed.count({to, from})) << from << " -> " << to;
    return volume;
}

// Checks that the object is a closed solid of surfaces Front, Back and Side, its faces
// looking along -z and +z and its walls sideways, enclosing the front's area times the
// depth; returns the front's area.
double closedSolidFrontArea(const LWObject& object, float depth)
{
    std::vector<std::string> names;
    for (const ObjectSurface& surface : object.surfaces)
        names.push_back(surface.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Front", "Back", "Side"}));
    double frontArea = 0;
    for (const Triangle& t : object.triangles) {
        const std::string& surface = object.surfaces[static_cast<std::size_t>(t.surface)].name;
        const float facing = surface == "Front" ? -1.0f : surface == "Back" ? 1.0f : 0.0f;
        if (t.area > 1e-7f) {
            EXPECT_NEAR(t.normal.z, facing, 1e-5f) << surface;
        }
        frontArea += surface == "Front" ? t.area : 0.0f;
    }
    const double volume = enclosedVolume(object);
    EXPECT_NEAR(volume, frontArea * depth, 1e-3 * volume);
    return frontArea;
}

// Lines of text as closed solids standing on the origin, as high and deep as asked, with
// a planar map of one unit a line height, and with the letters' holes: the front covers at
// most `fullest` of the line's bounds.
TEST(TextObject, LinesAreClosedSolidsOnTheOriginAsHighAndDeepAsAskedWithTheirHoles)
{
    const struct {
        TextObjectDesc desc;
        double fullest;
    } objects[] = {
        {{.fontFile = kBold, .text = "O"}, 0.7},  // 0.81 with its hole filled
        {{.fontFile = kBold, .text = "B"}, 0.8},  // 0.91 with both bowls filled
        {{.fontFile = kBold, .text = "IOIO", .height = 3.0f, .depth = 0.1f}, 0.6},
        {{.fontFile = kBold, .text = "B8ae@", .height = 2.0f, .depth = 0.5f}, 1},
        {{.fontFile = kDejaVu + "/DejaVuSerif.ttf", .text = "Mirva", .flatness = 0.01f}, 1},
        {showTextObjects(kDejaVu).front().second, 1},
    };
    for (const auto& [desc, fullest] : objects) {
        SCOPED_TRACE(desc.text);
        const std::vector<std::uint8_t> bytes = makeTextObject(desc).lwo2();
        const LWObject object = LWObject::Parse(desc.text, bytes.data(), bytes.size());
        EXPECT_LT(object.vertices.size(), 65536u);
        EXPECT_EQ(std::tuple(object.boundsMin.x, object.boundsMin.y, object.boundsMin.z), std::tuple(0.0f, 0.0f, 0.0f));
        EXPECT_FLOAT_EQ(object.boundsMax.y, desc.height);
        EXPECT_FLOAT_EQ(object.boundsMax.z, desc.depth);
        for (const Vertex& v : object.vertices) {  // the loader counts v down
            EXPECT_FLOAT_EQ(v.u, v.position.x / desc.height);
            EXPECT_FLOAT_EQ(v.v, 1.0f - v.position.y / desc.height);
        }
        const double area = closedSolidFrontArea(object, desc.depth);
        EXPECT_GT(area, 0.1 * desc.height * desc.height);
        EXPECT_LT(area, fullest * object.boundsMax.x * desc.height);
    }
}

TEST(TextObject, OverlappingContoursMergeAndOpposedOnesCutHoles)
{
    const Contour square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    const Contour across = {{1, 1}, {3, 1}, {3, 3}, {1, 3}};                          // the same way round
    const Contour hole = {{0.5f, 0.5f}, {0.5f, 1.5f}, {1.5f, 1.5f}, {1.5f, 0.5f}};  // the other way
    const struct {
        std::vector<Contour> outline;
        double area;
        int points;
    } shapes[] = {
        {{square, across}, 7.0, 2 * 8},  // the two crossings are added, the corners inside dropped
        {{square, hole}, 3.0, 2 * 8},
        // Where the hole lies in both squares it stays filled: an L-shaped hole is left.
        {{across, square, hole}, 6.25, 2 * (8 + 6)},
    };
    for (const auto& expected : shapes) {
        SCOPED_TRACE(expected.area);
        const std::vector<std::uint8_t> bytes = extrudeOutline(expected.outline, {.depth = 0.5f}, "test").lwo2();
        const LWObject object = LWObject::Parse("shape", bytes.data(), bytes.size());
        EXPECT_EQ(static_cast<int>(object.vertices.size()), expected.points);
        EXPECT_NEAR(closedSolidFrontArea(object, 0.5f), expected.area, 1e-5);
    }
    EXPECT_FATAL(extrudeOutline({{{0, 0}, {1, 0}, {2, 0}}}, ExtrusionDesc{}, "test"), "test: the outline encloses nothing");
}

TEST(TextObject, BadRequestsEndInAMessage)
{
    EXPECT_FATAL(makeTextObject({.fontFile = "no/such.ttf", .text = "A"}), "textobject: couldn't read font 'no/such.ttf'");
    EXPECT_FATAL(makeTextObject({.fontFile = kBold, .text = "A", .depth = 0}),
                 "textobject: bad text object (height 1, depth 0, flatness 0.000976562)");
    EXPECT_FATAL(makeTextObject({.fontFile = kBold, .text = "  "}), "textobject: '  ' has no outline to extrude");
    EXPECT_FATAL(makeTextObject({.fontFile = kBold, .text = "A\nB"}),
                 "textobject: '" + kBold + "' has no outline for code 10");
}

// What the show relies on: closed objects wound outwards (culled and lit from outside),
// with 16-bit indices and the surfaces the scripts give materials.
TEST(Show3dData, ObjectsAreClosedAndWoundOutwards)
{
    const test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    for (const auto& [file, surfaces] : {std::pair{kTorusKnotFile, 3u}, {kStarFile, 3u}, {kSpheresFile, 4u}}) {
        SCOPED_TRACE(file);
        LWObject object = LWObject::Load(file);
        EXPECT_EQ(object.surfaces.size(), surfaces);
        EXPECT_GE(object.triangles.size(), 2000u);
        EXPECT_LT(object.vertices.size(), 65536u);
        EXPECT_GT(enclosedVolume(object), 0.3);
    }
}

// The scripts find the objects by name (the stars riding the carousel in the family) and
// look through the scene's camera, which keeps every object file in its 4:3 view through
// the whole scene: at the keys and between them.
TEST(Show3dData, ScenesNameTheirObjectsAndKeepThemInTheCamerasView)
{
    const test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    const struct {
        const char* file;
        std::map<std::string, int> objects;  // object name -> how many
        const char* parent;                  // of every star, when the stars ride one
    } scenes[] = {
        {kFlightSceneFile, {{kTorusKnotFile, 1}, {kStarFile, 1}, {kSpheresFile, 1}}, nullptr},
        {kFamilySceneFile, {{"Carousel", 1}, {kStarFile, 5}, {kTorusKnotFile, 1}, {kSpheresFile, 1}}, "Carousel"},
    };
    for (const auto& expected : scenes) {
        SCOPED_TRACE(expected.file);
        LWScene scene = LWScene::Load(expected.file);
        EXPECT_EQ(std::pair(scene.framesPerSecond, scene.previewLastFrame), std::pair(30, 720));
        std::map<std::string, int> objects;
        for (const SceneObject& object : scene.objects())
            ++objects[object.name];
        EXPECT_EQ(objects, expected.objects);
        for (int k = 0; expected.parent && k < scene.CountObjects(kStarFile); ++k) {
            const SceneItem* parent = std::as_const(scene).item(scene.FindObject(kStarFile, k).parent);
            EXPECT_EQ(parent ? parent->name : "none", expected.parent);
        }
        ASSERT_EQ(scene.cameras().size(), 1u);
        const SceneCamera& camera = scene.FindCamera("Camera");
        for (int step = 0; step <= 96; ++step) {
            scene.Update(0.25f * static_cast<float>(step));
            for (const SceneObject& object : scene.objects()) {
                // The object's place in the camera's space, the camera looking along its +z.
                const auto [x, y, z] = multiply(object.world, camera.world.rigidInverse()).m[3];
                EXPECT_TRUE(object.name == "Carousel" || (z > 3.0f && std::fabs(x / z) < 4.0f / 3.0f / camera.zoom &&
                                                          std::fabs(y / z) < 1.0f / camera.zoom))
                    << object.name << " at " << step << ": " << x << " " << y << " " << z;
            }
        }
    }
}

}  // namespace
}  // namespace mirva
