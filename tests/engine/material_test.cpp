// Materials: every type's stage formula, every blend code, alpha test, filters, texture
// addressing, fill, culling, fog, lighting and validation, on frames read back. Expected
// colours are worked out by hand from Direct3D's stage and blend formulas (a byte
// product a x b is a * b / 255).
#include <gtest/gtest.h>

#include "engine/dx_driver.h"
#include "engine/light.h"
#include "engine/texture.h"
#include "tests/engine/draw_fixture.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tools/vs_assembler.h"

namespace mirva::test {
namespace {

using Materials = DrawTest;

constexpr D3DCOLOR kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;
// The colours of the stage tests: texture T, diffuse D, specular S, factor F.
constexpr D3DCOLOR kT = 0x80C86432;  // a 128, r 200, g 100, b 50
constexpr D3DCOLOR kD = 0xC080FF40;  // a 192, r 128, g 255, b 64
constexpr D3DCOLOR kS = 0x60102030;  // a 96,  r 16,  g 32,  b 48
constexpr D3DCOLOR kF = 0x402080FF;  // a 64,  r 32,  g 128, b 255

struct TypeCase {
    int type;
    D3DCOLOR rgb;  // the stage result's colour (alpha shown separately)
    int alpha;     // the stage result's alpha
};

// The colour drawn with blend BLEND over white: c * a + 255 * (1 - a), per channel.
D3DCOLOR overWhite(D3DCOLOR c, int alpha)
{
    const auto channel = [&](int shift) {
        const int v = static_cast<int>(c >> shift & 0xFF);
        return static_cast<D3DCOLOR>((v * alpha + 255 * (255 - alpha) + 127) / 255) << shift;
    };
    return 0xFF000000 | channel(16) | channel(8) | channel(0);
}

class MaterialTypes : public DrawTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(MaterialTypes, StageResultIsTheTypesFormula)
{
    const TypeCase& c = GetParam();
    makeTexture("t", 2, 2, std::vector<D3DCOLOR>(4, kT));
    makeTexture("detail", 2, 2, std::vector<D3DCOLOR>(4, 0x208040FF));  // a 32, r 128, g 64, b 255
    device()->SetTexture(1, Texture::getD3DSurface("detail").texture());  // read by type 1024's stage 1
    Material material(c.type, Material::COPY);
    material.setTexture("t", 0, false);
    material.factor = kF;
    material.culling = Material::NOCULLING;
    auto shape = quad(0, 0, 64, 48, 1.0f, kD, kS);
    const Picture copied = drawOver(kBlack, *shape, material);
    EXPECT_COLOR(copied.at(32, 24), c.rgb);
    // Alpha, seen through blending over white.
    material.blend = Material::BLEND;
    const Picture blended = drawOver(kWhite, *shape, material);
    EXPECT_COLOR(blended.at(32, 24), overWhite(c.rgb, c.alpha));
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, MaterialTypes,
    ::testing::Values(TypeCase{Material::DIFFUSE, 0xFF80FF40, 192},                        // D
                      TypeCase{Material::SPECULAR, 0xFF102030, 96},                        // S
                      TypeCase{Material::DIFFUSEANDSPECULAR, 0xFF90FF70, 192},             // D + S
                      TypeCase{Material::TEXTURE, 0xFFC86432, 128},                        // T
                      TypeCase{Material::TEXTUREANDDIFFUSE, 0xFF64640D, 128},              // T x D, T alpha
                      TypeCase{Material::TEXTUREANDDIFFUSEMODULATEALPHA, 0xFF64640D, 96},  // T x D both
                      TypeCase{Material::TEXTUREANDDIFFUSEANDSPECULAR, 0xFF74843D, 128},   // T x D + S
                      TypeCase{Material::INVERSETEXTUREALPHA, 0xFF80FF40, 255},            // D, (1 - Ta) + Da
                      TypeCase{Material::FACTOR, 0xFF2080FF, 64},                          // F
                      TypeCase{Material::TEXTUREANDFACTOR, 0xFF193232, 32},                // T x F
                      TypeCase{Material::TEXTUREALPHA, 0xFF808080, 128},                   // Ta as grey
                      // stage 1: detail x T + detail alpha = (100+32, 25+32, 50+32), detail alpha
                      TypeCase{Material::TEXTUREDETAIL, 0xFF843952, 32}),
    [](const ::testing::TestParamInfo<TypeCase>& p) { return "Type" + std::to_string(p.param.type); });

TEST_F(Materials, AnUnknownTypeLeavesTheStagesAsTheyAre)
{
    Material factor(Material::FACTOR, Material::COPY);
    factor.factor = 0xFF336699;
    factor.culling = Material::NOCULLING;
    auto shape = quad(0, 0, 64, 48, 1.0f, kD);
    drawOver(kBlack, *shape, factor);
    Material odd(3, Material::COPY);
    odd.factor = 0xFF996633;
    odd.culling = Material::NOCULLING;
    // Stage 0 still selects the texture factor, now odd's.
    EXPECT_COLOR(drawOver(kBlack, *shape, odd).at(32, 24), 0xFF996633u);
}

struct BlendCase {
    int blend;
    D3DCOLOR expected;
};

class MaterialBlends : public DrawTest, public ::testing::WithParamInterface<BlendCase> {};

// Source: diffuse r 200, g 100, b 50 with alpha 64 (0.251); destination r 40, g 80, b 160.
TEST_P(MaterialBlends, FrameIsTheBlendFormula)
{
    Material material(Material::DIFFUSE, GetParam().blend);
    material.culling = Material::NOCULLING;
    auto shape = quad(0, 0, 64, 48, 1.0f, 0x40C86432);
    EXPECT_COLOR(drawOver(0xFF2850A0, *shape, material).at(32, 24), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryBlend, MaterialBlends,
    ::testing::Values(BlendCase{Material::COPY, 0xFFC86432},      // source
                      BlendCase{Material::ADD, 0xFFF0B4D2},       // source + destination
                      BlendCase{Material::MUL, 0xFF1F1F1F},       // source x destination: 31.4, 31.4, 31.4
                      BlendCase{Material::BLEND, 0xFF505584},     // 0.251 s + 0.749 d
                      BlendCase{Material::ZEROONE, 0xFF2850A0},   // destination
                      BlendCase{Material::ZEROZERO, 0xFF000000},  // black
                      BlendCase{Material::ONEZERO, 0xFFC86432},   // source
                      BlendCase{Material::BLENDADD, 0xFF5A69AD}), // 0.251 s + d
    [](const ::testing::TestParamInfo<BlendCase>& p) { return "Blend" + std::to_string(p.param.blend); });

TEST_F(Materials, AnUnknownBlendCodeLeavesBlendingAsItIs)
{
    auto shape = quad(0, 0, 64, 48, 1.0f, 0x40C86432);
    Material add(Material::DIFFUSE, Material::ADD);
    add.culling = Material::NOCULLING;
    drawOver(0xFF2850A0, *shape, add);
    Material odd(Material::DIFFUSE, 3);
    odd.culling = Material::NOCULLING;
    EXPECT_COLOR(drawOver(0xFF2850A0, *shape, odd).at(32, 24), 0xFFF0B4D2u);
}

// Texels with alpha 100, 128 and 200 in three columns.
Picture alphaColumns(Materials& test, Material& material)
{
    Materials::makeTexture("alpha", 3, 1, {0x64FF0000, 0x80FF0000, 0xC8FF0000});
    material.setTexture("alpha", 0, false);
    material.filter = Material::POINTSAMPLING;
    material.culling = Material::NOCULLING;
    auto shape = test.quad(0, 0, 48, 48, 1.0f, kWhite);
    return test.drawOver(kBlack, *shape, material);
}

TEST_F(Materials, AlphaTestKeepsPixelsAtOrAboveTheReferenceUnderTheCamerasFunction)
{
    Material material(Material::TEXTURE, Material::COPY);
    material.alphaTest = true;
    material.alphaReference = 128;
    const Picture picture = alphaColumns(*this, material);
    EXPECT_COLOR(picture.at(8, 24), kBlack);         // 100 < 128: removed
    EXPECT_COLOR(picture.at(24, 24), 0xFFFF0000u);  // 128 >= 128
    EXPECT_COLOR(picture.at(40, 24), 0xFFFF0000u);
}

TEST_F(Materials, AfterType64TheAlphaTestKeepsPixelsAtOrBelowTheReference)
{
    Material inverse(Material::INVERSETEXTUREALPHA, Material::COPY);
    inverse.culling = Material::NOCULLING;
    auto shape = quad(0, 0, 8, 8, 1.0f, kWhite);
    drawOver(kBlack, *shape, inverse);
    DWORD function = 0;
    device()->GetRenderState(D3DRS_ALPHAFUNC, &function);
    EXPECT_EQ(function, static_cast<DWORD>(D3DCMP_LESSEQUAL));
    DWORD enabled = 1;
    device()->GetRenderState(D3DRS_ALPHATESTENABLE, &enabled);
    EXPECT_EQ(enabled, 0u);  // its own alpha test setting (off) replaced type 64's

    Material material(Material::TEXTURE, Material::COPY);
    material.alphaTest = true;
    material.alphaReference = 128;
    const Picture picture = alphaColumns(*this, material);
    EXPECT_COLOR(picture.at(8, 24), 0xFFFF0000u);  // 100 <= 128
    EXPECT_COLOR(picture.at(24, 24), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(40, 24), kBlack);       // 200 > 128: removed
}

TEST_F(Materials, PointSamplingIsSharpAndBilinearBlendsNeighbouringTexels)
{
    makeTexture("pair", 2, 1, {kBlack, kWhite});
    Material material(Material::TEXTURE, Material::COPY);
    material.setTexture("pair", 0, false);
    material.culling = Material::NOCULLING;
    material.textureAddress = Material::CLAMP;
    auto shape = quad(0, 0, 64, 48, 1.0f, kWhite);
    material.filter = Material::POINTSAMPLING;
    Picture picture = drawOver(kBlack, *shape, material);
    EXPECT_COLOR(picture.at(24, 24), kBlack);
    EXPECT_COLOR(picture.at(40, 24), kWhite);
    material.filter = Material::BILINEAR;
    picture = drawOver(kBlack, *shape, material);
    // The texel centres lie at pixels 16 and 48; pixel 32 is halfway.
    EXPECT_NEAR(static_cast<int>(picture.at(32, 24) & 0xFF), 128, 6);
    EXPECT_NEAR(static_cast<int>(picture.at(24, 24) & 0xFF), 64, 6);
}

TEST_F(Materials, MipFiltersAverageAMinifiedCheckerboard)
{
    std::vector<D3DCOLOR> checker(64 * 64);
    for (int i = 0; i < 64 * 64; ++i)
        checker[static_cast<std::size_t>(i)] = ((i % 64) + (i / 64)) % 2 ? kWhite : kBlack;
    makeTexture("checker", 64, 64, checker, true);
    Material material(Material::TEXTURE, Material::COPY);
    material.setTexture("checker", 0, true);
    material.culling = Material::NOCULLING;
    auto shape = quad(0, 0, 4, 4, 1.0f, kWhite);  // 64 texels onto 4 pixels
    for (int filter : {Material::POINTSAMPLING_MIP, Material::BILINEAR_MIP, Material::TRILINEAR}) {
        material.filter = filter;
        const int grey = static_cast<int>(drawOver(kBlack, *shape, material).at(2, 2) & 0xFF);
        EXPECT_NEAR(grey, 128, 8) << "filter " << filter;
    }
    material.filter = Material::POINTSAMPLING;  // no mips: single texels, black or white
    for (int x = 0; x < 4; ++x) {
        const int value = static_cast<int>(drawOver(kBlack, *shape, material).at(x, 2) & 0xFF);
        EXPECT_TRUE(value == 0 || value == 255) << "pixel " << x << " is " << value;
    }
}

TEST_F(Materials, WrapRepeatsTheTextureAndClampStretchesItsEdge)
{
    makeTexture("pair", 2, 1, {0xFFFF0000, 0xFF0000FF});
    Material material(Material::TEXTURE, Material::COPY);
    material.setTexture("pair", 0, false);
    material.filter = Material::POINTSAMPLING;
    material.culling = Material::NOCULLING;
    auto shape = quad(0, 0, 64, 48, 1.0f, kWhite, 0xFF000000, false, 2.0f, 1.0f);  // u from 0 to 2
    material.textureAddress = Material::WRAP;
    Picture picture = drawOver(kBlack, *shape, material);
    EXPECT_COLOR(picture.at(8, 24), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(24, 24), 0xFF0000FFu);
    EXPECT_COLOR(picture.at(40, 24), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(56, 24), 0xFF0000FFu);
    material.textureAddress = Material::CLAMP;
    picture = drawOver(kBlack, *shape, material);
    EXPECT_COLOR(picture.at(8, 24), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(40, 24), 0xFF0000FFu);
    EXPECT_COLOR(picture.at(56, 24), 0xFF0000FFu);
}

TEST_F(Materials, FlatFillTakesTheFirstVertexColourAndGouraudBlends)
{
    auto shape = quad(0, 0, 64, 48, 1.0f, kBlack);
    shape->setDiffuse(0, 0xFFFF0000);  // top-left, first vertex of both triangles
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    material.fill = Material::FLAT;
    Picture picture = drawOver(kWhite, *shape, material);
    EXPECT_COLOR(picture.at(60, 4), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(4, 44), 0xFFFF0000u);
    material.fill = Material::GOURAUD;
    picture = drawOver(kWhite, *shape, material);
    EXPECT_GT(picture.at(1, 1) >> 16 & 0xFF, 240u);
    EXPECT_COLOR(picture.at(32, 24), 0xFF800000u);  // halfway along the diagonal
    EXPECT_COLOR(picture.at(48, 2), 0xFF400000u);   // a quarter of the way from the far edge
}

TEST_F(Materials, WireframeDrawsTheEdgesOnly)
{
    auto shape = quad(8, 8, 56, 40, 1.0f, 0xFF00FF00);
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    material.fill = Material::WIREFRAME;
    const Picture picture = drawOver(kBlack, *shape, material);
    EXPECT_COLOR(picture.at(30, 8), 0xFF00FF00u);   // top edge
    EXPECT_COLOR(picture.at(8, 30), 0xFF00FF00u);   // left edge
    EXPECT_COLOR(picture.at(32, 24), 0xFF00FF00u);  // the diagonal between the two triangles
    EXPECT_COLOR(picture.at(40, 14), kBlack);       // inside, off the edges
    EXPECT_COLOR(picture.at(16, 34), kBlack);
    EXPECT_COLOR(picture.at(4, 4), kBlack);
}

TEST_F(Materials, CullingRemovesClockwiseOrAnticlockwiseTriangles)
{
    auto clockwise = quad(0, 0, 32, 48, 1.0f, 0xFFFF0000);
    auto anticlockwise = quad(32, 0, 64, 48, 1.0f, 0xFF0000FF, 0xFF000000, true);
    const auto draw = [&](int culling) {
        Material material(Material::DIFFUSE, Material::COPY);
        material.culling = culling;
        camera_->clear(kBlack, true, true, 1.0f);
        camera_->beginScene();
        clockwise->setMaterial(&material);
        anticlockwise->setMaterial(&material);
        clockwise->draw(*camera_);
        anticlockwise->draw(*camera_);
        camera_->endScene();
        return flipAndRead();
    };
    Picture picture = draw(Material::NOCULLING);
    EXPECT_COLOR(picture.at(16, 24), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(48, 24), 0xFF0000FFu);
    picture = draw(Material::CLOCKWISE_VISIBLE);  // D3DCULL_CW: clockwise triangles go
    EXPECT_COLOR(picture.at(16, 24), kBlack);
    EXPECT_COLOR(picture.at(48, 24), 0xFF0000FFu);
    picture = draw(Material::ANTICLOCKWISE_VISIBLE);  // D3DCULL_CCW: anticlockwise ones go
    EXPECT_COLOR(picture.at(16, 24), 0xFFFF0000u);
    EXPECT_COLOR(picture.at(48, 24), kBlack);
}

// Linear fog from 2 to 6 in camera depth, towards blue, over a red quad.
D3DCOLOR foggedAt(Materials& test, float depth)
{
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    material.fogging = true;
    material.fogColor = 0x100000FF;  // the alpha byte is not used
    material.fogStart = 2.0f;
    material.fogEnd = 6.0f;
    auto shape = test.quad(0, 0, 64, 48, depth, 0xFFFF0000);
    return test.drawOver(kBlack, *shape, material).at(32, 24);
}

TEST_F(Materials, LinearFogRunsFromTheColourAtItsStartToTheFogColourAtItsEnd)
{
    EXPECT_COLOR(foggedAt(*this, 2.0f), 0xFFFF0000u);
    EXPECT_COLOR(foggedAt(*this, 4.0f), 0xFF800080u);  // factor (6 - 4) / (6 - 2) = 0.5
    EXPECT_COLOR(foggedAt(*this, 5.0f), 0xFF4000BFu);  // 0.25
    EXPECT_COLOR(foggedAt(*this, 6.0f), 0xFF0000FFu);
    EXPECT_COLOR(foggedAt(*this, 8.0f), 0xFF0000FFu);  // beyond the end: all fog
}

TEST_F(Materials, LitQuadsAreBrighterTheMoreTheyFaceTheLight)
{
    Light light;
    light.kind = Light::DIRECTIONAL;
    light.direction = {0, 0, 1};  // shining away from the camera, onto quads facing it
    Material material(Material::DIFFUSE, Material::COPY);
    material.culling = Material::NOCULLING;
    material.lighting = true;
    material.diffuse = 0xFFC86432;
    material.emissive = 0xFF101010;
    material.ambient = 0xFF808080;
    camera_->ambient = 0x00404040;  // global ambient 0.251, times material ambient 0.502
    auto facing = quad(0, 0, 32, 48, 1.0f, kBlack);
    auto turned = quad(32, 0, 64, 48, 1.0f, kBlack);
    setNormals(*turned, 0.8660254f, 0, -0.5f);  // 60 degrees away: N.L = 0.5
    camera_->clear(kBlack, true, true, 1.0f);
    camera_->beginScene();
    for (Primitive* p : {facing.get(), turned.get()}) {
        p->setMaterial(&material);
        p->setLights({&light});
        p->draw(*camera_);
    }
    camera_->endScene();
    const Picture picture = flipAndRead();
    // emissive 16 + global ambient 64 x material ambient 0.502 = 48 on every channel,
    // plus the diffuse share.
    EXPECT_COLOR(picture.at(16, 24), 0xFFF89462u);  // 48 + (200, 100, 50)
    EXPECT_COLOR(picture.at(48, 24), 0xFF946249u);  // 48 + (100, 50, 25)
    BOOL enabled = TRUE;
    device()->GetLightEnable(0, &enabled);
    EXPECT_FALSE(enabled);  // lights are on for their primitive's draw only
}

TEST_F(Materials, SpecularPowerNarrowsTheHighlight)
{
    // Light and viewer both along the view axis onto a quad tilted by 30 degrees: the
    // half vector is the view axis, N.H = cos 30 = 0.866.
    Light light;
    light.kind = Light::DIRECTIONAL;
    light.direction = {0, 0, 1};
    light.diffuse = 0xFF000000;
    Material material(Material::DIFFUSEANDSPECULAR, Material::COPY);
    material.culling = Material::NOCULLING;
    material.lighting = true;
    material.diffuse = 0xFF000000;
    material.ambient = 0xFF000000;
    auto shape = quad(0, 0, 64, 48, 1.0f, kBlack);
    setNormals(*shape, 0.5f, 0, -0.8660254f);
    shape->setLights({&light});
    device()->SetRenderState(D3DRS_LOCALVIEWER, FALSE);  // the viewer infinitely far along -z
    material.specularExponent = 1.0f;
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), 0xFFDDDDDDu);  // 0.866 x 255 = 220.8
    material.specularExponent = 20.0f;
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), 0xFF0E0E0Eu);  // 0.866^20 = 0.0563
}

TEST_F(Materials, AVertexShaderMaterialLeavesFogAndLightingStatesAlone)
{
    test::TempDir dir;
    test::writeFile(dir.file("place.vso"),
                    vertexShaderFileBytes(assembleVertexShader("vs.1.1\nm4x4 oPos, v0, c0\n", "place.vsh")));
    device()->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device()->SetRenderState(D3DRS_LIGHTING, TRUE);
    Material material(Material::DIFFUSE, Material::COPY);
    material.fogging = false;
    material.lighting = false;
    material.loadVertexShader(dir.file("place.vso"));
    material.apply();
    DWORD fog = 0, lighting = 0;
    device()->GetRenderState(D3DRS_FOGENABLE, &fog);
    device()->GetRenderState(D3DRS_LIGHTING, &lighting);
    EXPECT_EQ(fog, 1u);
    EXPECT_EQ(lighting, 1u);
}

TEST_F(Materials, ConstructionDefaults)
{
    const Material m(Material::TEXTURE, Material::ADD);
    EXPECT_EQ(m.type, 4);
    EXPECT_EQ(m.blend, 1);
    EXPECT_EQ(m.filter, 4);
    EXPECT_EQ(m.textureAddress, 0);
    EXPECT_EQ(m.fill, 0);
    EXPECT_EQ(m.culling, 2);
    EXPECT_FALSE(m.alphaTest);
    EXPECT_EQ(m.alphaReference, 128);
    EXPECT_FALSE(m.fogging);
    EXPECT_EQ(m.fogColor, 0x80808080u);
    EXPECT_EQ(m.fogStart, 50.0f);
    EXPECT_EQ(m.fogEnd, 100.0f);
    EXPECT_FALSE(m.lighting);
    EXPECT_EQ(m.ambient, 0xFFFFFFFFu);
    EXPECT_EQ(m.diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(m.specular, 0xFFFFFFFFu);
    EXPECT_EQ(m.emissive, 0u);
    EXPECT_EQ(m.specularExponent, 8.0f);
    EXPECT_EQ(m.factor, 0u);
    EXPECT_EQ(m.vertexShader, 0u);
    EXPECT_TRUE(m.textureName.empty());
}

// Validation happens again only when a setting it depends on changed: the stage states
// broken behind the material's back go unnoticed until its type changes.
TEST_F(Materials, ValidatesAgainOnlyWhenItsSettingsChanged)
{
    makeTexture("a", 2, 2, std::vector<D3DCOLOR>(4, kWhite));
    Material material(3, Material::COPY);  // a type that leaves the stages as they are
    material.apply();
    material.setTexture("a", 0, false);
    EXPECT_EQ(Texture::getD3DSurface("a").referenceCount, 2);
    material.apply();  // a new texture: validated again, still fine
    device()->SetTextureStageState(0, D3DTSS_COLOROP, 99);  // no such operation
    material.apply();  // nothing changed: not validated
    material.fill = Material::FLAT;
    EXPECT_FATAL(material.apply(), "DirectX error - Material: device->ValidateDevice  D3DERR_UNSUPPORTEDCOLOROPERATION");
}

TEST_F(Materials, StagesTheDeviceCannotDrawEndInTheValidateMessage)
{
    device()->SetTextureStageState(0, D3DTSS_COLOROP, 99);  // no such operation
    Material material(3, Material::COPY);                   // leaves the stages as they are
    EXPECT_FATAL(material.apply(), "DirectX error - Material: device->ValidateDevice  D3DERR_UNSUPPORTEDCOLOROPERATION");
}

TEST_F(Materials, ABrokenVertexShaderFileEndsInTheCreateMessage)
{
    test::TempDir dir;
    test::writeFile(dir.file("short.vso"), {0x01, 0x01, 0xFE, 0xFF, 0x01, 0x00});  // 1.5 tokens
    const DWORD noEnd[] = {0xFFFE0101, 0x1, 0x800F0000, 0x80E40000};
    test::writeFile(dir.file("open.vso"),
                    std::vector<std::uint8_t>(reinterpret_cast<const std::uint8_t*>(noEnd),
                                              reinterpret_cast<const std::uint8_t*>(noEnd) + sizeof noEnd));
    Material material(Material::DIFFUSE, Material::COPY);
    const std::string message = "DirectX error - Material: Device->CreateVertexShader -  D3DERR_INVALIDCALL";
    EXPECT_FATAL(material.loadVertexShader(dir.file("short.vso")), message);
    EXPECT_FATAL(material.loadVertexShader(dir.file("open.vso")), message);
    EXPECT_FATAL(material.loadVertexShader(dir.file("missing.vso")),
                 "Phile::load - couldn't open file '" + dir.file("missing.vso") + "'");
}

}  // namespace
}  // namespace mirva::test
