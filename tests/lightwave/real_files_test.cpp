// The LightWave objects and scenes of the assimp test models (Debian package
// assimp-testmodels), written by LightWave and other programs.
#include <algorithm>
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "lightwave/lw_object.h"
#include "lightwave/lw_scene.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

namespace fs = std::filesystem;

const fs::path kModels = "/usr/share/assimp/models";

std::vector<std::string> filesEndingIn(const std::string& ending)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(kModels))
        if (entry.is_regular_file() && entry.path().extension() == ending)
            files.push_back(entry.path().string());
    return files;
}

// The one empty object and the LightWave 5 scene end in their messages; everything else
// loads, with indices in range and finite normals; some known objects and the moving cube.
TEST(RealFiles, EveryObjectAndSceneLoadsOrEndsInAMessageNamingTheFileAndKnownOnesAsTheyAre)
{
    if (!fs::is_directory(kModels))
        GTEST_SKIP() << "the assimp test models are not installed (package assimp-testmodels)";
    const std::vector<std::string> objects = filesEndingIn(".lwo"), scenes = filesEndingIn(".lws");
    EXPECT_GE(objects.size(), 40u);
    EXPECT_GE(scenes.size(), 14u);
    for (const std::string& file : objects) {
        LWObject object;
        const std::string message = test::fatalMessage([&] { object = LWObject::Load(file); });
        if (fs::file_size(file) == 0) {
            EXPECT_EQ(message, "invalid IFF file '" + file + "': the file ends inside the FORM header (0 bytes)");
            continue;
        }
        ASSERT_EQ(message, "<no fatal error>") << file;
        for (const Triangle& t : object.triangles)
            ASSERT_TRUE(std::max({t.v[0], t.v[1], t.v[2]}) < static_cast<int>(object.vertices.size()) &&
                        t.surface < static_cast<int>(object.surfaces.size()))
                << file;
        for (const Vertex& v : object.vertices)
            ASSERT_TRUE(std::isfinite(v.normal.x) && std::isfinite(v.tangent.z)) << file;
    }
    for (const std::string& file : scenes)
        EXPECT_EQ(test::fatalMessage([&] { LWScene::Load(file); }),
                  file.find("oldformat_56") != std::string::npos ? "BrokenScene '" + file + "'" : "<no fatal error>");

    // Patches are not faces: Subdivision.lwo has points but no triangles. The earth is
    // the sphere of 266 points, split along the seam of its map.
    const struct {
        const char* file;
        std::vector<std::size_t> counts;   // vertices, triangles, split vertices
    } known[] = {
        {"LWS/simple_cube.lwo", {8, 12, 0}},
        {"LWO/LWOB/sphere_with_mat_gloss_10pc.lwo", {266, 528, 0}},
        {"LWO/LWO2/box_2uv_1unused.lwo", {12, 12, 4}},
        {"LWO/LWO2/MappingModes/earth_uv_cylindrical_y.lwo", {277, 528, 11}},
        {"LWO/LWO2/Subdivision.lwo", {26, 0, 0}},
    };
    for (const auto& o : known) {
        const LWObject object = LWObject::Load((kModels / o.file).string());
        EXPECT_EQ((std::vector<std::size_t>{object.vertices.size(), object.triangles.size(),
                                            static_cast<std::size_t>(object.splitVertices)}),
                  o.counts)
            << o.file;
    }

    // The scene that moves the cube. Version 5 scenes write the item identifier before
    // the object's file name. The second key: x = 2.0691125 at 0.6666667 s.
    LWScene scene = LWScene::Load((kModels / "LWS/move_x.lws").string());
    const SceneObject& moving = scene.FindObject("simple_cube.lwo");
    EXPECT_NEAR(moving.world.m[3][1], -0.04f, 1e-6f);
    scene.Update(0.66666669f);
    EXPECT_FLOAT_EQ(moving.world.m[3][0], 2.0691125f);
}

}  // namespace
}  // namespace mirva
