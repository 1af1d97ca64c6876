// Primitives: counts to draw, the draw call of every kind, buffers and upload, device
// reset, lights, transforms and vertex shaders, and the checks on bad use.
#include <cfloat>
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

constexpr D3DCOLOR kBlack = 0xFF000000, kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

TEST_F(Primitives, CountsDecideWhatIsDrawnChangedVerticesAreUploadedAndBadUseEndsInAMessage)
{
    Material material(Material::DIFFUSE, Material::COPY);
    // The first three indices make the upper-right triangle of the quad.
    auto shape = quad(16, 12, 48, 36, 1.0f, kRed);
    shape->setIndexCount(3);
    expectPixels(drawOver(kBlack, *shape, material), {{40, 14, kRed}, {20, 34, kBlack}});
    d3dStatistics() = {};
    shape->setIndexCount(0);
    drawOver(kBlack, *shape, material);
    shape->setIndexCount(6);
    shape->setVertexCount(0);
    drawOver(kBlack, *shape, material);
    Primitive empty(Primitive::TRIANGLELIST, 0, 0);
    drawOver(kBlack, empty, material);
    EXPECT_EQ(d3dStatistics().drawCalls, 0u);
    shape->setVertexCount(4);
    expectPixels(drawOver(kBlack, *shape, material), {{20, 34, kRed}, {4, 4, kBlack}});
    // Changed vertices are uploaded at the next draw, and again after a device reset.
    for (int i = 0; i < 4; ++i)
        shape->setDiffuse(i, kGreen);
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), kGreen);
    for (int i = 0; i < 3; ++i)
        shape->vertices()[static_cast<std::size_t>(i)].diffuse = kBlue;  // the span marks the array too
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(40, 14), kBlue);
    device()->simulateDeviceLoss();
    flip();  // releases every video-memory resource, resets, restores
    expectPixels(drawOver(kBlack, *shape, material), {{40, 14, kBlue}, {4, 4, kBlack}});
    // Bad use ends in a message.
    EXPECT_FATAL(Primitive(6, 3, 3), "Primitive: unknown primitive kind 6");
    Primitive p(Primitive::TRIANGLELIST, 3, 4);
    EXPECT_FATAL(p.setIndex(3, 0), "Primitive: index 3 outside 0 to 2");
    EXPECT_FATAL(p.setPosition(4, 0, 0, 0), "Primitive: vertex 4 outside 0 to 3");
    EXPECT_FATAL(p.setVertexCount(5), "Primitive: 5 vertices to draw, room for 4");
    EXPECT_FATAL(p.draw(*camera_), "Primitive: drawn without a material");
    p.setMaterial(&material);
    p.setIndex(1, 9);
    EXPECT_FATAL(p.draw(*camera_), "Primitive: index 1 names vertex 9, beyond the 4 vertices");
}

TEST_F(Primitives, EveryKindDrawsItsCountOfPrimitivesInOneCall)
{
    using P = Primitive;
    // The kind, the vertices (or indices) to draw, whether indexed, the primitives drawn.
    const std::tuple<int, int, bool, unsigned long> cases[] = {
        {P::POINTLIST, 7, false, 7},     {P::POINTLIST, 5, true, 5},     {P::LINELIST, 7, false, 3},
        {P::LINELIST, 6, true, 3},       {P::LINESTRIP, 6, false, 5},    {P::LINESTRIP, 4, true, 3},
        {P::TRIANGLELIST, 8, false, 2},  {P::TRIANGLELIST, 9, true, 3},  {P::TRIANGLESTRIP, 5, false, 3},
        {P::TRIANGLESTRIP, 8, true, 6},  {P::TRIANGLEFAN, 6, false, 4},  {P::TRIANGLEFAN, 7, true, 5},
        // too few for one line or triangle: nothing is drawn
        {P::LINESTRIP, 1, false, 0},     {P::TRIANGLESTRIP, 1, true, 0}, {P::TRIANGLEFAN, 2, false, 0},
        {P::TRIANGLELIST, 2, true, 0}};
    Material material(Material::DIFFUSE, Material::COPY);
    for (const auto& [kind, count, indexed, primitives] : cases) {
        Primitive p(kind, indexed ? count : 0, 8);  // the vertices beyond the count are not drawn
        for (int i = 0; i < 8; ++i)
            p.setPosition(i, static_cast<float>(i % 3) * 0.1f, static_cast<float>(i / 3) * 0.1f, 1.0f);
        for (int i = 0; i < p.indexCapacity(); ++i)
            p.setIndex(i, static_cast<WORD>(7 - i % 8));
        if (!indexed)
            p.setVertexCount(count);
        d3dStatistics() = {};
        drawOver(kBlack, p, material);
        SCOPED_TRACE(std::to_string(kind) + (indexed ? " indexed " : " ") + std::to_string(count));
        EXPECT_EQ(std::pair(d3dStatistics().primitives, d3dStatistics().drawCalls),
                  std::pair(primitives, primitives > 0 ? 1ul : 0ul));
    }
}

// A draw is placed by its world and the camera's view, with or without a vertex shader
// (which gets world x view x projection, transposed, in c0..c3 and the engine's vertex in
// v0..v4): a quad of the top-left quarter moved half the width right by its world and a
// quarter of the height down by the view. The shader shows the normal as colour, fogged
// half-way by the device's blue fog: a shader material leaves the fog states alone, a
// fixed-function one without fogging turns fog off.
TEST_F(Primitives, DrawsArePlacedByWorldAndViewWithOrWithoutAVertexShader)
{
    TempDir dir;
    writeFile(dir.file("normal.vso"), vertexShaderFileBytes(assembleVertexShader(
                                          "vs.1.1\nm4x4 oPos, v0, c0\nmov oD0, v1\ndef c10, 0.5, 0, 0, 0\n"
                                          "mov oFog, c10.x\n",
                                          "normal.vsh")));
    Material shader(Material::DIFFUSE, Material::COPY), fixed(Material::DIFFUSE, Material::COPY);
    shader.loadVertexShader(dir.file("normal.vso"));
    auto shape = quad(0, 0, 32, 24, 1.0f, kGreen);
    setNormals(*shape, 0.2f, 0.6f, 1.0f);
    shape->transformation.m[3][0] = 1.0f;  // 32 pixels at depth 1
    camera_->view.m[3][1] = -0.375f;       // 12 pixels
    device()->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device()->SetRenderState(D3DRS_FOGCOLOR, 0x000000FF);
    for (const auto& [material, color] : {std::pair{&shader, 0xFF1A4CFFu}, std::pair{&fixed, kGreen}}) {
        expectPixels(drawOver(kBlack, *shape, *material),
                     {{48, 24, color}, {34, 14, color}, {16, 24, kBlack}, {48, 8, kBlack}});
    }
    // A depth offset of 0.5 at translation length 5: the factor (5 - 0.5) / 5 = 0.9.
    fixed.depthOffset = 0.5f;
    shape->transformation.m[3][0] = 3.0f;
    shape->transformation.m[3][2] = 4.0f;
    drawOver(kBlack, *shape, fixed);
    D3DMATRIX projection;
    device()->GetTransform(D3DTS_PROJECTION, &projection);
    EXPECT_EQ(std::pair(projection.m[0][0], projection.m[2][3]), std::pair(0.9f, 0.9f));
}

// A primitive's lights take the slots of their place in its list, for its draw only. A
// record has the kind, the colours as fractions, and range 0 as the largest range there is.
TEST_F(Primitives, LightsTakeTheSlotsOfTheirPlaceInTheListForTheDrawOnly)
{
    // The second's diffuse colour: alpha 64, red 255, green 128, blue 0.
    Light first, second{.kind = Light::SPOT, .position = {1, 2, 3}, .diffuse = 0x40FF8000};
    Material material(Material::DIFFUSE, Material::COPY);
    material.lighting = true;
    auto shape = quad(0, 0, 8, 8, 1.0f, kRed);
    shape->setLights({&first, &second});
    drawOver(kBlack, *shape, material);
    D3DLIGHT8 l;
    ASSERT_EQ(device()->GetLight(1, &l), D3D_OK);
    EXPECT_EQ(std::tuple(l.Type, l.Diffuse.r, l.Diffuse.g, l.Diffuse.a, l.Position.y, l.Range),
              std::tuple(D3DLIGHT_SPOT, 1.0f, 128.0f / 255.0f, 64.0f / 255.0f, 2.0f, std::sqrt(FLT_MAX)));
    BOOL on = TRUE;
    device()->GetLightEnable(1, &on);
    EXPECT_FALSE(on);
}

}  // namespace
}  // namespace mirva::test
