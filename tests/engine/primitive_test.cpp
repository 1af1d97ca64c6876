// Primitives: counts to draw, the draw call of every kind, buffers and upload, device
// reset, lights, transforms and vertex-shader constants, and the checks on bad use.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/dx_driver.h"
#include "engine/light.h"
#include "platform/d3d8/simulation.h"
#include "tests/engine/draw_fixture.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tools/vs_assembler.h"

namespace mirva::test {
namespace {

using Primitives = DrawTest;

constexpr D3DCOLOR kBlack = 0xFF000000, kRed = 0xFFFF0000;

// Four triangles side by side, one in each quarter of the screen's width, at depth 1.
std::unique_ptr<Primitive> fourTriangles()
{
    auto p = std::make_unique<Primitive>(Primitive::TRIANGLELIST, 12, 12);
    std::span<Primitive::Vertex> v = p->vertices();
    for (int t = 0; t < 4; ++t) {
        const float left = -1.0f + 0.5f * static_cast<float>(t);
        const float xs[3] = {left, left + 0.5f, left}, ys[3] = {0.7f, 0.7f, -0.7f};
        for (int k = 0; k < 3; ++k)
            v[static_cast<std::size_t>(3 * t + k)] = {.x = xs[k], .y = ys[k], .z = 1.0f, .diffuse = kRed};
    }
    std::span<WORD> indices = p->indices();
    for (int i = 0; i < 12; ++i)
        indices[static_cast<std::size_t>(i)] = static_cast<WORD>(i);
    return p;
}

// Ink in the four quarters at their left edge, a little above the middle.
std::vector<bool> quartersDrawn(const Picture& picture)
{
    std::vector<bool> drawn;
    for (int q = 0; q < 4; ++q)
        drawn.push_back(picture.at(16 * q + 3, 20) == kRed);
    return drawn;
}

TEST_F(Primitives, TwelveIndicesDrawFourTrianglesAndSixDrawTwo)
{
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    auto triangles = fourTriangles();
    d3dStatistics() = {};
    EXPECT_EQ(quartersDrawn(drawOver(kBlack, *triangles, material)), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(d3dStatistics().primitives, 4u);
    triangles->setIndexCount(6);
    EXPECT_EQ(quartersDrawn(drawOver(kBlack, *triangles, material)), (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(d3dStatistics().primitives, 6u);
}

struct KindCase {
    int kind;
    int count;       // vertices (or indices) to draw
    bool indexed;
    unsigned long primitives;
};

class PrimitiveKinds : public DrawTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(PrimitiveKinds, DrawTheirCountOfPrimitives)
{
    const KindCase& c = GetParam();
    Primitive p(c.kind, c.indexed ? c.count : 0, 8);
    for (int i = 0; i < 8; ++i)
        p.setPosition(i, static_cast<float>(i % 3) * 0.1f, static_cast<float>(i / 3) * 0.1f, 1.0f);
    if (c.indexed) {
        for (int i = 0; i < c.count; ++i)
            p.setIndex(i, static_cast<WORD>(7 - i % 8));
    } else {
        p.setVertexCount(c.count);
    }
    Material material(Material::DIFFUSE, Material::COPY);
    d3dStatistics() = {};
    drawOver(kBlack, p, material);
    EXPECT_EQ(d3dStatistics().primitives, c.primitives);
    EXPECT_EQ(d3dStatistics().drawCalls, c.primitives > 0 ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, PrimitiveKinds,
    ::testing::Values(KindCase{Primitive::POINTLIST, 7, false, 7}, KindCase{Primitive::POINTLIST, 5, true, 5},
                      KindCase{Primitive::LINELIST, 7, false, 3}, KindCase{Primitive::LINELIST, 6, true, 3},
                      KindCase{Primitive::LINESTRIP, 6, false, 5}, KindCase{Primitive::LINESTRIP, 4, true, 3},
                      KindCase{Primitive::TRIANGLELIST, 8, false, 2}, KindCase{Primitive::TRIANGLELIST, 9, true, 3},
                      KindCase{Primitive::TRIANGLESTRIP, 5, false, 3}, KindCase{Primitive::TRIANGLESTRIP, 8, true, 6},
                      KindCase{Primitive::TRIANGLEFAN, 6, false, 4}, KindCase{Primitive::TRIANGLEFAN, 7, true, 5},
                      // too few for one line or triangle: nothing is drawn
                      KindCase{Primitive::LINESTRIP, 1, false, 0}, KindCase{Primitive::TRIANGLESTRIP, 1, true, 0},
                      KindCase{Primitive::TRIANGLEFAN, 2, false, 0}, KindCase{Primitive::TRIANGLELIST, 2, true, 0}),
    [](const ::testing::TestParamInfo<KindCase>& p) {
        return "Kind" + std::to_string(p.param.kind) + (p.param.indexed ? "Indexed" : "") +
               std::to_string(p.param.count);
    });

TEST_F(Primitives, NoCountsToDrawDrawNothing)
{
    Material material(Material::DIFFUSE, Material::COPY);
    auto triangles = fourTriangles();
    triangles->setIndexCount(0);
    d3dStatistics() = {};
    drawOver(kBlack, *triangles, material);
    triangles->setIndexCount(12);
    triangles->setVertexCount(0);
    drawOver(kBlack, *triangles, material);
    EXPECT_EQ(d3dStatistics().drawCalls, 0u);
    Primitive empty(Primitive::TRIANGLELIST, 0, 0);
    drawOver(kBlack, empty, material);
    EXPECT_EQ(d3dStatistics().drawCalls, 0u);
}

TEST_F(Primitives, NewVerticesAreZeroWithOpaqueBlackColours)
{
    const Primitive p(Primitive::TRIANGLELIST, 3, 3);
    const Primitive::Vertex& v = p.vertex(2);
    EXPECT_EQ(v.x, 0.0f);
    EXPECT_EQ(v.nz, 0.0f);
    EXPECT_EQ(v.u, 0.0f);
    EXPECT_EQ(v.diffuse, kBlack);
    EXPECT_EQ(v.specular, kBlack);
    EXPECT_EQ(p.vertexCount(), 3);
    EXPECT_EQ(p.indexCount(), 3);
}

TEST_F(Primitives, ChangedVerticesAreUploadedAtTheNextDraw)
{
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    auto shape = quad(0, 0, 64, 48, 1.0f, kRed);
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), kRed);
    for (int i = 0; i < 4; ++i)
        shape->setDiffuse(i, 0xFF00FF00);
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), 0xFF00FF00u);
    shape->vertices()[0].diffuse = 0xFF0000FF;  // the spans mark their array too
    shape->vertices()[1].diffuse = 0xFF0000FF;
    shape->vertices()[2].diffuse = 0xFF0000FF;
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(40, 10), 0xFF0000FFu);
}

TEST_F(Primitives, AfterADeviceResetAPrimitiveDrawsItsVerticesAgain)
{
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    auto shape = quad(16, 12, 48, 36, 1.0f, kRed);
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), kRed);
    device()->simulateDeviceLoss();
    flip();  // releases every video-memory resource, resets, restores
    const Picture picture = drawOver(kBlack, *shape, material);
    EXPECT_COLOR(picture.at(32, 24), kRed);
    EXPECT_COLOR(picture.at(4, 4), kBlack);
}

TEST_F(Primitives, LightsTakeTheDeviceSlotsOfTheirPlaceInTheList)
{
    Light first, second;
    second.kind = Light::SPOT;
    second.range = 7.0f;
    Material material(Material::DIFFUSE, Material::COPY);
    material.lighting = true;
    auto shape = quad(0, 0, 8, 8, 1.0f, kRed);
    shape->setLights({&first, &second});
    drawOver(kBlack, *shape, material);
    D3DLIGHT8 slot1;
    ASSERT_EQ(device()->GetLight(1, &slot1), D3D_OK);
    EXPECT_EQ(slot1.Type, D3DLIGHT_SPOT);
    EXPECT_EQ(slot1.Range, 7.0f);
    BOOL on = TRUE;
    device()->GetLightEnable(1, &on);
    EXPECT_FALSE(on);
}

// The transform states (or shader constants) a draw leaves on the device.
TEST_F(Primitives, FixedFunctionDrawsSetWorldViewAndProjection)
{
    Material material(Material::DIFFUSE, Material::COPY);
    material.depthOffset = 0.5f;
    auto shape = quad(0, 0, 8, 8, 1.0f, kRed);
    shape->transformation.m[3][0] = 3.0f;
    shape->transformation.m[3][2] = 4.0f;  // translation length 5
    camera_->view.m[3][1] = -2.0f;
    drawOver(kBlack, *shape, material);
    D3DMATRIX world, view, projection;
    device()->GetTransform(D3DTS_WORLD, &world);
    device()->GetTransform(D3DTS_VIEW, &view);
    device()->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_EQ(world.m[3][0], 3.0f);
    EXPECT_EQ(world.m[3][3], 1.0f);
    EXPECT_EQ(world.m[0][3], 0.0f);
    EXPECT_EQ(view.m[3][1], -2.0f);
    // Depth offset 0.5 at distance 5: the factor (5 - 0.5) / 5 = 0.9 on the diagonal.
    EXPECT_FLOAT_EQ(projection.m[0][0], 0.9f);
    EXPECT_FLOAT_EQ(projection.m[2][3], 0.9f);
}

TEST_F(Primitives, ShaderDrawsGetTheTransposedProductInTheFirstFourConstants)
{
    TempDir dir;
    writeFile(dir.file("place.vso"), vertexShaderFileBytes(assembleVertexShader("vs.1.1\nm4x4 oPos, v0, c0\n", "t")));
    Material material(Material::DIFFUSE, Material::COPY);
    material.loadVertexShader(dir.file("place.vso"));
    auto shape = quad(0, 0, 8, 8, 1.0f, kRed);
    shape->transformation.m[3][0] = 2.0f;
    drawOver(kBlack, *shape, material);
    float c[4][4];
    ASSERT_EQ(device()->GetVertexShaderConstant(0, c, 4), D3D_OK);
    // World (translation x 2) x identity view x projection P: row 3 of the product is
    // (2 P00, 0, P32, 1); transposed, that is column 3 of the constants.
    const D3DMATRIX p = camera_->projection();
    EXPECT_FLOAT_EQ(c[0][3], 2.0f * p.m[0][0]);
    EXPECT_FLOAT_EQ(c[2][3], p.m[3][2]);
    EXPECT_FLOAT_EQ(c[3][2], 1.0f);  // P23 = 1, transposed
    EXPECT_FLOAT_EQ(c[1][1], p.m[1][1]);
}

TEST_F(Primitives, AVertexShaderWritingTheNormalAsColourShowsTheNormal)
{
    TempDir dir;
    writeFile(dir.file("normal.vso"), vertexShaderFileBytes(assembleVertexShader("vs.1.1\n"
                                                                                 "m4x4 oPos, v0, c0\n"
                                                                                 "mov oD0, v1  ; normal as colour\n",
                                                                                 "normal.vsh")));
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    material.loadVertexShader(dir.file("normal.vso"));
    auto shape = quad(0, 0, 64, 48, 1.0f, kBlack);
    setNormals(*shape, 0.2f, 0.6f, 1.0f);
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), 0xFF3399FFu);  // 51, 153, 255
}

// shaders/cartoon.vso: the light position in c4 (object space) and the normal pick the
// place on the shade ramp: u = N.L.
TEST_F(Primitives, TheShowsCartoonShaderShadesByTheLight)
{
    std::vector<D3DCOLOR> ramp(64);
    for (int i = 0; i < 64; ++i)
        ramp[static_cast<std::size_t>(i)] = 0xFF000000 | static_cast<D3DCOLOR>(i * 4) * 0x010101;
    makeTexture("ramp", 64, 1, ramp);
    Material shade(Material::TEXTUREANDDIFFUSE, Material::COPY);
    shade.filter = Material::POINTSAMPLING;
    shade.textureAddress = Material::CLAMP;
    shade.culling = Material::NOCULLING;
    shade.setTexture("ramp", 0, false);
    shade.loadVertexShader(std::string(MIRVA_DATA_DIR) + "/shaders/cartoon.vso");
    auto shape = quad(0, 0, 64, 48, 1.0f, 0xFFFFFFFF);
    const auto shaded = [&](float x, float z) {
        const float light[4] = {x, 0, z, 1};  // far away: the same direction at every corner
        device()->SetVertexShaderConstant(4, light, 1);
        return drawOver(kBlack, *shape, shade).at(32, 24);
    };
    EXPECT_COLOR(shaded(0, -10000), 0xFFFCFCFCu);            // N.L = 1: the ramp's end, texel 63
    EXPECT_COLOR(shaded(8660.254f, -5000), 0xFF808080u);     // 60 degrees: N.L = 0.5, texel 32
    EXPECT_COLOR(shaded(0, 10000), 0xFF000000u);             // from behind: texel 0
}

TEST_F(Primitives, DirectWritesAreDrawnAsWritten)
{
    Primitive p(Primitive::TRIANGLELIST, 0, 3, false, true);
    std::span<Primitive::Vertex> v = p.lockVertexBuffer();
    v[0] = {.x = -1, .y = 1, .z = 1, .diffuse = kRed};
    v[1] = {.x = 1, .y = 1, .z = 1, .diffuse = kRed};
    v[2] = {.x = -1, .y = -1, .z = 1, .diffuse = kRed};
    p.unlockVertexBuffer();
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    EXPECT_COLOR(drawOver(kBlack, p, material).at(10, 10), kRed);
}

TEST_F(Primitives, BadUseEndsInAMessage)
{
    EXPECT_FATAL(Primitive(6, 3, 3), "Primitive: unknown primitive kind 6");
    Primitive p(Primitive::TRIANGLELIST, 3, 4);
    EXPECT_FATAL(p.setIndex(3, 0), "Primitive: index 3 outside 0 to 2");
    EXPECT_FATAL(p.setPosition(4, 0, 0, 0), "Primitive: vertex 4 outside 0 to 3");
    EXPECT_FATAL(p.setVertexCount(5), "Primitive: 5 vertices to draw, room for 4");
    EXPECT_FATAL(p.draw(*camera_), "Primitive: drawn without a material");
    Material material(Material::DIFFUSE, Material::COPY);
    p.setMaterial(&material);
    p.setIndex(1, 9);
    EXPECT_FATAL(p.draw(*camera_), "Primitive: index 1 names vertex 9, beyond the 4 vertices");
}

}  // namespace
}  // namespace mirva::test
