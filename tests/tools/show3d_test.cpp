// The show's 3D data as committed in data/: the same bytes the tool writes, objects that
// load closed and wound outwards, scenes whose object names are loadable files and whose
// camera keeps the objects in view, and a shade ramp of a few hard grey bands.
#include <cmath>
#include <map>
#include <utility>

#include <gtest/gtest.h>

#include "lightwave/lw_object.h"
#include "lightwave/lw_scene.h"
#include "mesh/topology.h"
#include "tests/support/files.h"
#include "tools/show3d.h"

namespace mirva {
namespace {

class Show3dData : public testing::Test {
protected:
    test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
};

TEST_F(Show3dData, ObjectsAreClosedWoundOutwardsAndMapped)
{
    const struct {
        const char* file;
        std::size_t surfaces;
    } objects[] = {{kTorusKnotFile, 3}, {kStarFile, 3}, {kSpheresFile, 4}};
    for (const auto& expected : objects) {
        SCOPED_TRACE(expected.file);
        LWObject object = LWObject::Load(expected.file);
        EXPECT_EQ(object.surfaces.size(), expected.surfaces);
        for (const ObjectSurface& surface : object.surfaces)
            EXPECT_GT(surface.triangles, 0) << surface.name;
        EXPECT_GE(object.triangles.size(), 2000u);
        EXPECT_LE(object.triangles.size(), 6000u);
        EXPECT_LT(object.vertices.size(), 65536u);

        CalculateAdjacency(object);
        EXPECT_EQ(object.nonManifold, 0);
        int open = 0;
        for (const Edge& edge : object.edges)
            open += edge.second == -1;
        EXPECT_EQ(open, 0);

        // Wound outwards: the face normals enclose a positive volume.
        double volume = 0;
        for (const Triangle& t : object.triangles) {
            const Vector3& a = object.vertices[static_cast<std::size_t>(t.v[0])].position;
            volume += static_cast<double>(t.area) / 3.0 * (a.x * t.normal.x + a.y * t.normal.y + a.z * t.normal.z);
        }
        EXPECT_GT(volume, 0.3);
    }
}

TEST_F(Show3dData, ScenesNameTheirObjectsAndKeepThemInTheCamerasView)
{
    const struct {
        const char* file;
        std::map<std::string, int> objects;   // object name -> how many
        const char* parent;                   // of every star, when the stars ride one
    } scenes[] = {
        {kFlightSceneFile, {{kTorusKnotFile, 1}, {kStarFile, 1}, {kSpheresFile, 1}}, nullptr},
        {kFamilySceneFile, {{"Carousel", 1}, {kStarFile, 5}, {kTorusKnotFile, 1}, {kSpheresFile, 1}}, "Carousel"},
    };
    for (const auto& expected : scenes) {
        SCOPED_TRACE(expected.file);
        LWScene scene = LWScene::Load(expected.file);
        EXPECT_EQ(scene.framesPerSecond, 30);
        EXPECT_EQ(scene.previewLastFrame, 720);
        std::size_t total = 0;
        for (const auto& [name, count] : expected.objects) {
            EXPECT_EQ(scene.CountObjects(name), count) << name;
            total += static_cast<std::size_t>(count);
        }
        EXPECT_EQ(scene.objects().size(), total);
        for (int k = 0; expected.parent && k < scene.CountObjects(kStarFile); ++k) {
            const SceneItem* parent = std::as_const(scene).item(scene.FindObject(kStarFile, k).parent);
            ASSERT_NE(parent, nullptr);
            EXPECT_EQ(parent->name, expected.parent);
        }
        ASSERT_EQ(scene.cameras().size(), 1u);
        const SceneCamera& camera = scene.FindCamera("Camera");

        // Every object file's centre lies in the 4:3 view of the camera, which looks
        // along its +z, through the whole scene: at the keys and between them.
        for (int step = 0; step <= 96; ++step) {
            scene.Update(0.25f * static_cast<float>(step));
            const Transformation view = camera.world.rigidInverse();
            for (const SceneObject& object : scene.objects()) {
                if (object.name == "Carousel")
                    continue;
                const float* p = object.world.m[3];
                float in[3];
                for (int c = 0; c < 3; ++c)
                    in[c] = p[0] * view.m[0][c] + p[1] * view.m[1][c] + p[2] * view.m[2][c] + view.m[3][c];
                EXPECT_GT(in[2], 3.0f) << object.name << " at " << step;
                EXPECT_LT(std::fabs(in[0] / in[2]), 4.0f / 3.0f / camera.zoom) << object.name << " at " << step;
                EXPECT_LT(std::fabs(in[1] / in[2]), 1.0f / camera.zoom) << object.name << " at " << step;
            }
        }
    }
}

}  // namespace
}  // namespace mirva
