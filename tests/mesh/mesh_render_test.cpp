// Built meshes drawn on the headless 64 x 48 screen: a cube from createMesh in front of
// the camera, unlit and lit, and its outline from the edge line mesh.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/light.h"
#include "mesh/mesh_builder.h"
#include "mesh/topology.h"
#include "tests/engine/draw_fixture.h"
#include "tests/mesh/shapes.h"

namespace mirva::test {
namespace {

using BuiltMeshes = DrawTest;

constexpr D3DCOLOR kBackground = 0xFF102030;

// The cube from -1 to 1 placed 4 along the view: its face towards the camera, at depth
// 3, covers x from 64 x (1 - 1/3) / 2 = 21.33 to 42.67 and, with the screen's vertical
// scale 64 / 48, y from 24 x (1 - 4/9) = 13.33 to 34.67. Every other face lies behind it.
Transformation inFront()
{
    Transformation placement;
    placement.m[3][2] = 4.0f;
    return placement;
}

// Whether the pixel's centre lies inside the front face. Pixel centres are at whole
// screen coordinates, as in Direct3D.
bool insideFrontFace(int x, int y)
{
    const auto cx = static_cast<float>(x), cy = static_cast<float>(y);
    return cx > 64.0f / 3.0f && cx < 128.0f / 3.0f && cy > 40.0f / 3.0f && cy < 104.0f / 3.0f;
}

// Pixels at least a pixel away from the front face's edges, and whether each is inside.
std::vector<std::pair<int, int>> clearOfTheEdges()
{
    std::vector<std::pair<int, int>> pixels;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            if (insideFrontFace(x, y) == insideFrontFace(x - 1, y) && insideFrontFace(x, y) == insideFrontFace(x + 1, y) &&
                insideFrontFace(x, y) == insideFrontFace(x, y - 1) && insideFrontFace(x, y) == insideFrontFace(x, y + 1))
                pixels.emplace_back(x, y);
    return pixels;
}

TEST_F(BuiltMeshes, AnUnlitCubeCoversItsFrontFaceInItsSurfaceColour)
{
    const LWObject cube = load(ObjectWriter::box(-1, -1, -1, 1, 1, 1));
    const auto mesh = createMesh(cube);
    mesh->transformation = inFront();
    Material material(Material::DIFFUSE, Material::COPY);
    const Picture picture = drawOver(kBackground, *mesh, material);
    for (const auto& [x, y] : clearOfTheEdges())
        EXPECT_EQ(picture.at(x, y), insideFrontFace(x, y) ? 0xFFC8C8C8u : kBackground) << x << "," << y;
}

TEST_F(BuiltMeshes, TheFacesTurnedToTheCameraAreTheOnesDrawn)
{
    // The default culling keeps the triangles wound clockwise on the screen. With the
    // object's winding kept, those are the faces turned to the camera: all of the -z
    // face is seen, none of the inside of the others.
    const LWObject cube = colouredCube();
    const auto mesh = createDuplicateVerticesMesh(cube);
    mesh->transformation = inFront();
    Material material(Material::DIFFUSE, Material::COPY);
    const Picture picture = drawOver(kBackground, *mesh, material);
    for (const auto& [x, y] : clearOfTheEdges())
        EXPECT_EQ(picture.at(x, y), insideFrontFace(x, y) ? kFaceColours[4] : kBackground) << x << "," << y;
}

TEST_F(BuiltMeshes, ALitCubeIsBrighterOnTheSideTheLightComesFrom)
{
    const LWObject cube = load(ObjectWriter::box(-1, -1, -1, 1, 1, 1));
    const auto mesh = createMesh(cube);
    mesh->transformation = inFront();
    Material material(Material::DIFFUSE, Material::COPY);
    material.lighting = true;
    Light light;
    light.kind = Light::DIRECTIONAL;
    light.direction = {-1, 0, 0};   // coming from +x
    mesh->setLights({&light});
    const Picture picture = drawOver(kBackground, *mesh, material);

    // The front face's corners have the normals (+-1, +-1, -1) / sqrt 3: the light falls
    // on its right-hand corners at 1 / sqrt 3 and misses its left-hand ones, and the
    // shade runs linearly in between.
    const float rightShade = 255.0f / std::sqrt(3.0f);
    for (int x = 22; x < 43; ++x) {
        const float across = (static_cast<float>(x) - 64.0f / 3.0f) / (64.0f / 3.0f);
        const auto level = static_cast<int>(std::lround(across * rightShade));
        for (int y : {16, 24, 32}) {
            const D3DCOLOR pixel = picture.at(x, y);
            EXPECT_NEAR(static_cast<int>(pixel & 0xFF), level, 2) << x << "," << y;
            EXPECT_EQ(pixel >> 16 & 0xFF, pixel & 0xFF);
        }
    }
    EXPECT_GT(picture.at(41, 24) & 0xFF, (picture.at(23, 24) & 0xFF) + 100);
    EXPECT_EQ(picture.at(19, 24), kBackground);
    EXPECT_EQ(picture.at(44, 24), kBackground);
}

TEST_F(BuiltMeshes, TheOutlineOfACubeSeenHeadOnIsItsFrontSquare)
{
    LWObject cube = load(ObjectWriter::box(-1, -1, -1, 1, 1, 1));
    CalculateAdjacency(cube);
    const auto lines = createEdgeLineMesh(cube);
    lines->transformation = inFront();
    // The camera at the origin is at (0, 0, -4) in the cube's own space.
    ASSERT_EQ(fillSilhouetteEdges(cube, {0, 0, -4}, *lines), 4);
    Material outline(Material::FACTOR, Material::COPY);
    outline.factor = 0xFFFF0000;
    outline.culling = Material::NOCULLING;
    const Picture picture = drawOver(kBackground, *lines, outline);
    auto red = [&](int x, int y) { return picture.at(x, y) == 0xFFFF0000u; };
    // Lines at columns 21.33 and 42.67 and rows 13.33 and 34.67; nothing inside.
    EXPECT_TRUE(red(21, 24) || red(22, 24));
    EXPECT_TRUE(red(42, 24) || red(43, 24));
    EXPECT_TRUE(red(32, 13) || red(32, 14));
    EXPECT_TRUE(red(32, 34) || red(32, 35));
    for (int x = 24; x < 40; ++x)
        for (int y = 16; y < 32; ++y)
            EXPECT_EQ(picture.at(x, y), kBackground) << x << "," << y;
    EXPECT_EQ(picture.at(10, 24), kBackground);
}

}  // namespace
}  // namespace mirva::test
