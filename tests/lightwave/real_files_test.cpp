// The LightWave objects and scenes of the assimp test models (Debian package
// assimp-testmodels), written by LightWave and other programs.
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

#define REQUIRE_MODELS()                                                                          \
    if (!fs::is_directory(kModels))                                                               \
    GTEST_SKIP() << "the assimp test models are not installed (package assimp-testmodels)"

std::vector<std::string> filesEndingIn(const std::string& ending)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(kModels)) {
        std::string extension = entry.path().extension().string();
        for (char& c : extension)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (entry.is_regular_file() && extension == ending)
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(RealFiles, EveryObjectLoadsOrEndsInAMessageNamingTheFile)
{
    REQUIRE_MODELS();
    const std::vector<std::string> files = filesEndingIn(".lwo");
    EXPECT_GE(files.size(), 40u);
    int loaded = 0;
    for (const std::string& file : files) {
        LWObject object;
        const std::string message = test::fatalMessage([&] { object = LWObject::Load(file); });
        if (fs::file_size(file) == 0) {
            EXPECT_EQ(message, "invalid IFF file '" + file + "': the file ends inside the FORM header (0 bytes)");
            continue;
        }
        ASSERT_EQ(message, "<no fatal error>") << file;
        ++loaded;
        for (const Triangle& t : object.triangles) {
            for (int c = 0; c < 3; ++c)
                ASSERT_LT(static_cast<std::size_t>(t.v[c]), object.vertices.size()) << file;
            ASSERT_LT(static_cast<std::size_t>(t.surface), object.surfaces.size()) << file;
        }
        for (const Vertex& v : object.vertices)
            ASSERT_TRUE(std::isfinite(v.normal.x) && std::isfinite(v.tangent.z)) << file;
    }
    EXPECT_EQ(loaded, static_cast<int>(files.size()) - 1);
}

TEST(RealFiles, KnownObjects)
{
    REQUIRE_MODELS();
    const LWObject cube = LWObject::Load((kModels / "LWS/simple_cube.lwo").string());
    EXPECT_EQ(cube.vertices.size(), 8u);
    EXPECT_EQ(cube.triangles.size(), 12u);
    EXPECT_FLOAT_EQ(cube.vertices[0].position.x, -1.45f);
    EXPECT_FLOAT_EQ(cube.vertices[0].position.z, -1.2f);
    EXPECT_FLOAT_EQ(cube.vertices[2].position.z, 0.9f);
    ASSERT_EQ(cube.surfaces.size(), 2u);   // tag 0 has no SURF chunk
    EXPECT_EQ(cube.surfaces[1].name, "Default");
    EXPECT_EQ(cube.surfaces[1].colour, 0xFFC8C8C8u);
    EXPECT_EQ(cube.surfaces[1].triangles, 12);

    const LWObject old = LWObject::Load((kModels / "LWO/LWOB/sphere_with_mat_gloss_10pc.lwo").string());
    EXPECT_EQ(old.vertices.size(), 266u);
    EXPECT_EQ(old.triangles.size(), 528u);

    const LWObject uv = LWObject::Load((kModels / "LWO/LWO2/box_2uv_1unused.lwo").string());
    EXPECT_EQ(uv.vertices.size(), 12u);
    EXPECT_EQ(uv.splitVertices, 4);

    const LWObject earth = LWObject::Load((kModels / "LWO/LWO2/MappingModes/earth_uv_cylindrical_y.lwo").string());
    EXPECT_EQ(earth.vertices.size(), 277u);

    const LWObject colours = LWObject::Load((kModels / "LWO/LWO2/UglyVertexColors.lwo").string());
    EXPECT_EQ(colours.vertices.size(), 1630u);
    ASSERT_GE(colours.surfaces.size(), 3u);

    // Patches are not faces: the object has points but no triangles.
    const LWObject patches = LWObject::Load((kModels / "LWO/LWO2/Subdivision.lwo").string());
    EXPECT_EQ(patches.vertices.size(), 26u);
    EXPECT_EQ(patches.triangles.size(), 0u);
}

TEST(RealFiles, EverySceneLoadsOrEndsInAMessageNamingTheFile)
{
    REQUIRE_MODELS();
    const std::vector<std::string> files = filesEndingIn(".lws");
    EXPECT_GE(files.size(), 14u);
    for (const std::string& file : files) {
        const std::string message = test::fatalMessage([&] { LWScene::Load(file); });
        if (file.find("oldformat_56") != std::string::npos)   // LightWave 5 scene syntax
            EXPECT_EQ(message, "BrokenScene '" + file + "'");
        else
            EXPECT_EQ(message, "<no fatal error>") << file;
    }
}

TEST(RealFiles, MovingCubeSceneAtChosenTimes)
{
    REQUIRE_MODELS();
    LWScene scene = LWScene::Load((kModels / "LWS/move_x.lws").string());
    ASSERT_EQ(scene.objects().size(), 1u);
    // Version 5 scenes write the item identifier before the object's file name.
    const SceneObject& cube = scene.FindObject("simple_cube.lwo");
    EXPECT_EQ(cube.id, 0x10000000);
    EXPECT_FLOAT_EQ(cube.world.m[3][0], 0.0f);
    EXPECT_FLOAT_EQ(cube.world.m[3][1], -0.04f);
    EXPECT_FLOAT_EQ(cube.world.m[0][0], 0.97975808f);
    EXPECT_FLOAT_EQ(cube.world.m[1][1], 0.88587332f);
    EXPECT_FLOAT_EQ(cube.world.m[2][2], 0.95491594f);
    // The second key: x = 2.0691125 at 0.6666667 s.
    scene.Update(0.66666669f);
    EXPECT_FLOAT_EQ(scene.objects()[0].world.m[3][0], 2.0691125f);

    // The light: heading 45 degrees, pitch 35 (written in radians), at (-2, 2, -2).
    const SceneLight& light = scene.lights()[0];
    EXPECT_EQ(light.name, "Light");
    const float h = 0.78539816f, p = 0.61086524f;
    EXPECT_NEAR(light.world.m[0][0], std::cos(h), 1e-6f);
    EXPECT_NEAR(light.world.m[0][2], -std::sin(h), 1e-6f);
    EXPECT_NEAR(light.world.m[1][0], std::sin(p) * std::sin(h), 1e-6f);
    EXPECT_NEAR(light.world.m[1][1], std::cos(p), 1e-6f);
    EXPECT_NEAR(light.world.m[2][1], -std::sin(p), 1e-6f);
    EXPECT_FLOAT_EQ(light.world.m[3][0], -2.0f);
    EXPECT_FLOAT_EQ(light.world.m[3][1], 2.0f);

    const SceneCamera& camera = scene.FindCamera("Camera");
    EXPECT_FLOAT_EQ(camera.zoom, 3.2f);
    EXPECT_FLOAT_EQ(camera.world.m[3][2], -6.384f);
    EXPECT_FLOAT_EQ(scene.ambientIntensity, 0.05f);
    EXPECT_FLOAT_EQ(scene.ambientColour[0], 255.0f);
    EXPECT_FALSE(scene.fogEnabled);
}

}  // namespace
}  // namespace mirva
