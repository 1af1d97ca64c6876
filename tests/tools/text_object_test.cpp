// Text objects as the loader and the mesh steps see them: closed solids wound outwards
// with a front, a back and a side, placed and sized as asked, holes where the letters
// have them, and the show's committed object the same bytes the tool writes.
#include "tools/text_object.h"

#include <cmath>
#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "lightwave/lw_object.h"
#include "mesh/topology.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu";
const std::string kBold = kDejaVu + "/DejaVuSans-Bold.ttf";

LWObject load(const TextObjectDesc& desc)
{
    const std::vector<std::uint8_t> bytes = makeTextObject(desc).lwo2();
    return LWObject::Parse(desc.text, bytes.data(), bytes.size());
}

// Front triangles whose projection along z covers (x, y).
int frontTrianglesOver(const LWObject& object, float x, float y)
{
    int hits = 0;
    for (const Triangle& t : object.triangles) {
        if (object.surfaces[static_cast<std::size_t>(t.surface)].name != "Front")
            continue;
        bool inside = true;
        for (int k = 0; k < 3; ++k) {
            const Vector3& a = object.vertices[static_cast<std::size_t>(t.v[k])].position;
            const Vector3& b = object.vertices[static_cast<std::size_t>(t.v[(k + 1) % 3])].position;
            // Front triangles run clockwise with y up (they face -z): (x, y) is inside
            // one when it lies right of, or on, each of its edges.
            inside = inside && (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x) <= 0;
        }
        hits += inside;
    }
    return hits;
}

// Checks that the object is a closed solid of surfaces Front, Back and Side, wound
// outwards, its faces looking along -z and +z and its walls sideways; returns the front's
// area.
double closedSolidFrontArea(LWObject& object, float depth)
{
    EXPECT_EQ(object.surfaces.size(), 3u);
    const char* names[3] = {"Front", "Back", "Side"};
    for (std::size_t s = 0; s < 3 && s < object.surfaces.size(); ++s) {
        EXPECT_EQ(object.surfaces[s].name, names[s]);
        EXPECT_GT(object.surfaces[s].triangles, 0);
    }

    // Closed and consistently wound: every edge is crossed once each way.
    CalculateAdjacency(object);
    EXPECT_EQ(object.nonManifold, 0);
    std::set<std::pair<int, int>> directed;
    for (const Triangle& t : object.triangles)
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(directed.insert({t.v[k], t.v[(k + 1) % 3]}).second);
    for (const auto& [from, to] : directed)
        EXPECT_TRUE(directed.count({to, from})) << from << " -> " << to;

    // Wound outwards, the prism encloses the front's area times the depth.
    double volume = 0, frontArea = 0;
    for (const Triangle& t : object.triangles) {
        const Vector3& a = object.vertices[static_cast<std::size_t>(t.v[0])].position;
        volume += static_cast<double>(t.area) / 3.0 * static_cast<double>(dot(a, t.normal));
        const std::string& surface = object.surfaces[static_cast<std::size_t>(t.surface)].name;
        const float facing = surface == "Front" ? -1.0f : surface == "Back" ? 1.0f : 0.0f;
        if (t.area > 1e-7f) {
            EXPECT_NEAR(t.normal.z, facing, 1e-5f) << surface;
        }
        frontArea += surface == "Front" ? t.area : 0.0f;
    }
    EXPECT_NEAR(volume, frontArea * depth, 1e-3 * volume);
    return frontArea;
}

TEST(TextObject, SolidsAreClosedWoundOutwardsWithThreeSurfaces)
{
    const struct {
        TextObjectDesc desc;
        std::size_t atLeast, atMost;   // triangles
    } objects[] = {
        {{.fontFile = kBold, .text = "O"}, 100, 2000},
        {{.fontFile = kBold, .text = "B8ae@", .height = 2.0f, .depth = 0.5f}, 500, 8000},
        {{.fontFile = kDejaVu + "/DejaVuSerif.ttf", .text = "Mirva", .flatness = 0.01f}, 100, 4000},
        {showTextObjects(kDejaVu).front().second, 2000, 20000},
    };
    for (const auto& expected : objects) {
        SCOPED_TRACE(expected.desc.text);
        LWObject object = load(expected.desc);
        EXPECT_GE(object.triangles.size(), expected.atLeast);
        EXPECT_LE(object.triangles.size(), expected.atMost);
        EXPECT_LT(object.vertices.size(), 65536u);
        EXPECT_GT(closedSolidFrontArea(object, expected.desc.depth), 0.1 * expected.desc.height * expected.desc.height);
    }
}

TEST(TextObject, OverlappingContoursMergeAndOpposedOnesCutHoles)
{
    const Contour square = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    const Contour across = {{1, 1}, {3, 1}, {3, 3}, {1, 3}};         // the same way round
    const Contour hole = {{0.5f, 0.5f}, {0.5f, 1.5f}, {1.5f, 1.5f}, {1.5f, 0.5f}};   // the other way
    const struct {
        std::vector<Contour> outline;
        double area;
        int points;
    } shapes[] = {
        {{square, across}, 7.0, 2 * 8},   // the two crossings are added, the corners inside dropped
        {{square, hole}, 3.0, 2 * 8},
        // Where the hole lies in both squares it stays filled: an L-shaped hole is left.
        {{across, square, hole}, 6.25, 2 * (8 + 6)},
    };
    for (const auto& expected : shapes) {
        SCOPED_TRACE(expected.area);
        ExtrusionDesc desc;
        desc.depth = 0.5f;
        const std::vector<std::uint8_t> bytes = extrudeOutline(expected.outline, desc, "test").lwo2();
        LWObject object = LWObject::Parse("shape", bytes.data(), bytes.size());
        EXPECT_EQ(static_cast<int>(object.vertices.size()), expected.points);
        EXPECT_NEAR(closedSolidFrontArea(object, desc.depth), expected.area, 1e-5);
    }
    EXPECT_FATAL(extrudeOutline({{{0, 0}, {1, 0}, {2, 0}}}, ExtrusionDesc{}, "test"), "test: the outline encloses nothing");
}

TEST(TextObject, TheLineStandsOnTheOriginAsHighAndDeepAsAsked)
{
    const struct {
        const char* text;
        float height, depth;
    } lines[] = {{"I", 1.0f, 0.25f}, {"IO", 1.0f, 0.25f}, {"IOIO", 1.0f, 0.25f}, {"IOIO", 3.0f, 0.1f}};
    float previousWidth = 0;
    for (const auto& line : lines) {
        SCOPED_TRACE(line.text);
        const LWObject object = load({.fontFile = kBold, .text = line.text, .height = line.height, .depth = line.depth});
        EXPECT_FLOAT_EQ(object.boundsMin.x, 0.0f);
        EXPECT_FLOAT_EQ(object.boundsMin.y, 0.0f);
        EXPECT_FLOAT_EQ(object.boundsMin.z, 0.0f);
        EXPECT_FLOAT_EQ(object.boundsMax.y, line.height);
        EXPECT_FLOAT_EQ(object.boundsMax.z, line.depth);
        // Letters keep their shape: the width grows with the text and with the height.
        EXPECT_GT(object.boundsMax.x, previousWidth + 0.2f * line.height);
        previousWidth = object.boundsMax.x;
        // The planar map: one unit of u and v per line height (the loader counts v down).
        for (const Vertex& v : object.vertices) {
            EXPECT_FLOAT_EQ(v.u, v.position.x / line.height);
            EXPECT_FLOAT_EQ(v.v, 1.0f - v.position.y / line.height);
        }
    }
}

TEST(TextObject, LettersWithHolesHaveThem)
{
    const LWObject o = load({.fontFile = kBold, .text = "O"});
    const float middleX = o.boundsMax.x / 2, middleY = o.boundsMax.y / 2;
    EXPECT_EQ(frontTrianglesOver(o, middleX, middleY), 0);
    EXPECT_EQ(frontTrianglesOver(o, 0.05f * o.boundsMax.x, middleY), 1);   // the left stroke
    const LWObject b = load({.fontFile = kBold, .text = "B"});
    EXPECT_EQ(frontTrianglesOver(b, 0.45f * b.boundsMax.x, 0.27f), 0);   // the lower bowl
    EXPECT_EQ(frontTrianglesOver(b, 0.45f * b.boundsMax.x, 0.76f), 0);   // the upper bowl
    EXPECT_EQ(frontTrianglesOver(b, 0.45f * b.boundsMax.x, 0.5f), 1);    // the bar between
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

}  // namespace
}  // namespace mirva
