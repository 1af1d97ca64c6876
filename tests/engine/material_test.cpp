// Materials: every type's stage formula, every blend code, alpha test, filters, texture
// addressing, fill, culling, lighting and validation, on frames read back. Expected
// colours are worked out by hand from Direct3D's stage and blend formulas (a byte
// product a x b is a * b / 255).
#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

#include "engine/light.h"
#include "engine/texture.h"
#include "tests/engine/draw_fixture.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva::test {
namespace {

constexpr D3DCOLOR kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

class Materials : public DrawTest {
protected:
    // Draws a quad over the whole screen, of `diffuse` and `specular` vertices, with
    // texture coordinates up to (u1, 1).
    Picture full(D3DCOLOR background, Material& material, D3DCOLOR diffuse, D3DCOLOR specular = kBlack, float u1 = 1)
    {
        auto shape = quad(0, 0, 64, 48, 1.0f, diffuse, specular, false, u1);
        return drawOver(background, *shape, material);
    }
    // Gives a texture material a new texture of one row of pixels, and a filter.
    void textured(Material& material, const std::vector<D3DCOLOR>& row, int filter)
    {
        const std::string name = "row" + std::to_string(++rows_);
        makeTexture(name, static_cast<int>(row.size()), 1, row);
        material.setTexture(name, 0, false);
        material.filter = filter;
    }
    int rows_ = 0;
};

TEST_F(Materials, EveryTypesStageResultIsItsFormula)
{
    // Texture T (a 128, r 200, g 100, b 50), diffuse D (a 192, r 128, g 255, b 64),
    // specular S (a 96, r 16, g 32, b 48), factor F (a 64, r 32, g 128, b 255); the
    // detail texture of type 1024's stage 1 (a 32, r 128, g 64, b 255).
    constexpr D3DCOLOR kD = 0xC080FF40, kS = 0x60102030;
    makeTexture("t", 2, 2, std::vector<D3DCOLOR>(4, 0x80C86432));
    makeTexture("detail", 2, 2, std::vector<D3DCOLOR>(4, 0x208040FF));
    // The colour drawn with blend BLEND over white: c * a + 255 * (1 - a), per channel.
    const auto overWhite = [](D3DCOLOR c, int a) {
        D3DCOLOR drawn = 0xFF000000;
        for (int shift = 0; shift < 24; shift += 8)
            drawn |= static_cast<D3DCOLOR>(((c >> shift & 0xFF) * a + 255 * (255 - a) + 127) / 255) << shift;
        return drawn;
    };
    // The stage result's colour and alpha.
    for (const auto& [type, rgb, alpha] :
         {std::tuple{+Material::DIFFUSE, 0xFF80FF40u, 192},             // D
          {Material::SPECULAR, 0xFF102030u, 96},                        // S
          {Material::DIFFUSEANDSPECULAR, 0xFF90FF70u, 192},             // D + S
          {Material::TEXTURE, 0xFFC86432u, 128},                        // T
          {Material::TEXTUREANDDIFFUSE, 0xFF64640Du, 128},              // T x D, T alpha
          {Material::TEXTUREANDDIFFUSEMODULATEALPHA, 0xFF64640Du, 96},  // T x D both
          {Material::TEXTUREANDDIFFUSEANDSPECULAR, 0xFF74843Du, 128},   // T x D + S
          {Material::INVERSETEXTUREALPHA, 0xFF80FF40u, 255},            // D, (1 - Ta) + Da
          {Material::FACTOR, 0xFF2080FFu, 64},                          // F
          {Material::TEXTUREANDFACTOR, 0xFF193232u, 32},                // T x F
          {Material::TEXTUREALPHA, 0xFF808080u, 128},                   // Ta as grey
          // stage 1: detail x T + detail alpha = (100+32, 25+32, 50+32), detail alpha
          {Material::TEXTUREDETAIL, 0xFF843952u, 32}}) {
        device()->SetTexture(1, Texture::getD3DSurface("detail").texture());
        Material material(type, Material::COPY);
        material.setTexture("t", 0, false);
        material.factor = 0x402080FF;
        EXPECT_COLOR(full(kBlack, material, kD, kS).at(32, 24), rgb) << "type " << type;
        material.blend = Material::BLEND;  // alpha, seen through blending over white
        EXPECT_COLOR(full(kWhite, material, kD, kS).at(32, 24), overWhite(rgb, alpha)) << "type " << type;
    }
}

// Source: diffuse r 200, g 100, b 50 with alpha 64 (0.251); destination r 40, g 80, b 160.
// Codes not listed leave the stages and blending as they are.
TEST_F(Materials, EveryBlendCodeGivesItsFormulaAndTheAlphaTestComparesWithTheReference)
{
    for (const auto& [blend, expected] : {std::pair{Material::COPY, 0xFFC86432u},      // source
                                          std::pair{Material::ADD, 0xFFF0B4D2u},       // source + destination
                                          std::pair{Material::MUL, 0xFF1F1F1Fu},       // source x destination
                                          std::pair{Material::BLEND, 0xFF505584u},     // 0.251 s + 0.749 d
                                          std::pair{Material::ZEROONE, 0xFF2850A0u},   // destination
                                          std::pair{Material::ZEROZERO, 0xFF000000u},  // black
                                          std::pair{Material::ONEZERO, 0xFFC86432u},   // source
                                          std::pair{Material::BLENDADD, 0xFF5A69ADu}}) {  // 0.251 s + d
        Material material(Material::DIFFUSE, blend);
        EXPECT_COLOR(full(0xFF2850A0, material, 0x40C86432).at(32, 24), expected) << "blend " << blend;
    }
    Material factor(Material::FACTOR, Material::ADD), odd(3, 3);
    full(kBlack, factor, kBlack);
    odd.factor = 0x40996633;  // stage 0 still selects the factor, now odd's, and adds it
    EXPECT_COLOR(full(0xFF102030, odd, kBlack).at(32, 24), 0xFFA98663u);
    // Texels of alpha 127, 128 and 200 in three columns, reference 128: the camera's
    // function keeps alpha at or above it; after type 64 set its own, at or below it.
    Material material(Material::TEXTURE, Material::COPY), inverse(Material::INVERSETEXTUREALPHA, Material::COPY);
    material.alphaTest = true;
    material.alphaReference = 128;
    textured(material, {0x7FFF0000, 0x80FF0000, 0xC8FF0000}, Material::POINTSAMPLING);
    auto shape = quad(0, 0, 48, 48, 1.0f, kWhite);
    expectPixels(drawOver(kBlack, *shape, material), {{8, 24, kBlack}, {24, 24, kRed}, {40, 24, kRed}});
    full(kBlack, inverse, kWhite);
    expectPixels(drawOver(kBlack, *shape, material), {{8, 24, kRed}, {24, 24, kRed}, {40, 24, kBlack}});
}

// Two texels, their centres at pixels 16 and 48: point sampling is sharp, bilinear
// filtering blends them; u from 0 to 2 wraps or clamps. Mip filters average a minified
// checkerboard.
TEST_F(Materials, FiltersAndTextureAddressing)
{
    Material material(Material::TEXTURE, Material::COPY);
    material.textureAddress = Material::CLAMP;
    textured(material, {kBlack, kWhite}, Material::POINTSAMPLING);
    expectPixels(full(kBlack, material, kWhite), {{24, 24, kBlack}, {40, 24, kWhite}});
    material.filter = Material::BILINEAR;
    const Picture blended = full(kBlack, material, kWhite);
    EXPECT_NEAR(static_cast<int>(blended.at(32, 24) & 0xFF), 128, 6);
    EXPECT_NEAR(static_cast<int>(blended.at(24, 24) & 0xFF), 64, 6);
    textured(material, {kRed, kBlue}, Material::POINTSAMPLING);
    expectPixels(full(kBlack, material, kWhite, kBlack, 2), {{8, 24, kRed}, {40, 24, kBlue}, {56, 24, kBlue}});
    material.textureAddress = Material::WRAP;
    expectPixels(full(kBlack, material, kWhite, kBlack, 2),
                 {{8, 24, kRed}, {24, 24, kBlue}, {40, 24, kRed}, {56, 24, kBlue}});
    // A 64 x 64 checkerboard on 4 x 4 pixels: the mip filters show grey, no mips single texels.
    std::vector<D3DCOLOR> checker(64 * 64);
    for (int i = 0; i < 64 * 64; ++i)
        checker[static_cast<std::size_t>(i)] = ((i % 64) + (i / 64)) % 2 ? kWhite : kBlack;
    makeTexture("checker", 64, 64, checker, true);
    material.setTexture("checker", 0, true);
    auto shape = quad(0, 0, 4, 4, 1.0f, kWhite);
    for (int filter : {+Material::POINTSAMPLING_MIP, +Material::BILINEAR_MIP, +Material::TRILINEAR, -1}) {
        material.filter = filter < 0 ? Material::POINTSAMPLING : filter;
        const Picture picture = drawOver(kBlack, *shape, material);
        for (int x = 0; x < 4; ++x) {
            const int grey = static_cast<int>(picture.at(x, 2) & 0xFF);
            EXPECT_TRUE(filter < 0 ? grey == 0 || grey == 255 : std::abs(grey - 128) <= 8) << filter << ": " << grey;
        }
    }
}

// Flat fill takes the first vertex's colour, Gouraud blends; wireframe draws the edges.
TEST_F(Materials, FillModesAndCulling)
{
    auto shape = quad(0, 0, 64, 48, 1.0f, kBlack);
    shape->setDiffuse(0, kRed);  // top-left, first vertex of both triangles
    Material material(Material::DIFFUSE, Material::COPY);
    material.fill = Material::FLAT;
    expectPixels(drawOver(kWhite, *shape, material), {{60, 4, kRed}, {4, 44, kRed}});
    material.fill = Material::GOURAUD;
    const Picture picture = drawOver(kWhite, *shape, material);
    EXPECT_GT(picture.at(1, 1) >> 16 & 0xFF, 240u);
    // Halfway along the diagonal; a quarter of the way from the far edge.
    expectPixels(picture, {{32, 24, 0xFF800000}, {48, 2, 0xFF400000}});
    // The top and left edges and the diagonal between the triangles; nothing inside or out.
    auto inset = quad(8, 8, 56, 40, 1.0f, kRed);
    material.fill = Material::WIREFRAME;
    expectPixels(drawOver(kBlack, *inset, material),
                 {{30, 8, kRed}, {8, 30, kRed}, {32, 24, kRed}, {40, 14, kBlack}, {16, 34, kBlack}, {4, 4, kBlack}});
    // CLOCKWISE_VISIBLE is D3DCULL_CW: clockwise triangles go; ANTICLOCKWISE_VISIBLE the others.
    auto clockwise = quad(0, 0, 64, 48, 1.0f, kRed), anticlockwise = quad(0, 0, 64, 48, 1.0f, kBlue, kBlack, true);
    for (const auto& [culling, clockwiseShows, anticlockwiseShows] :
         {std::tuple{Material::NOCULLING, kRed, kBlue}, std::tuple{Material::CLOCKWISE_VISIBLE, kBlack, kBlue},
          std::tuple{Material::ANTICLOCKWISE_VISIBLE, kRed, kBlack}}) {
        material.fill = Material::GOURAUD;
        material.culling = culling;
        EXPECT_COLOR(drawOver(kBlack, *clockwise, material).at(32, 24), clockwiseShows) << culling;
        EXPECT_COLOR(drawOver(kBlack, *anticlockwise, material).at(32, 24), anticlockwiseShows) << culling;
    }
}

// A directional light shining away from the camera onto quads facing it: emissive 16 +
// global ambient 64 x material ambient 0.502 = 48 on every channel, plus the diffuse
// colour; the specular share narrows with the power. (The diffuse share by N.L is shown by
// the player's lit objects, linear fog by depth by its flower field.)
TEST_F(Materials, LightingFollowsTheAngleToTheLightAndTheSpecularPower)
{
    Light light{.kind = Light::DIRECTIONAL, .direction = {0, 0, 1}};
    Material material(Material::DIFFUSE, Material::COPY);
    material.lighting = true;
    material.diffuse = 0xFFC86432;
    material.emissive = 0xFF101010;
    material.ambient = 0xFF808080;
    camera_->ambient = 0x00404040;
    auto shape = quad(0, 0, 64, 48, 1.0f, kBlack);
    shape->setLights({&light});
    EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), 0xFFF89462u);  // 48 + (200, 100, 50)
    // Light and viewer along the view axis onto a quad turned by 30 degrees: the half
    // vector is the view axis, N.H = cos 30 = 0.866; the light has no diffuse share.
    light.diffuse = kBlack;
    material.type = Material::DIFFUSEANDSPECULAR;
    material.emissive = material.ambient = kBlack;
    setNormals(*shape, 0.5f, 0, -0.8660254f);
    device()->SetRenderState(D3DRS_LOCALVIEWER, FALSE);  // the viewer infinitely far along -z
    for (const auto& [power, expected] : {std::pair{1.0f, 0xFFDDDDDDu}, std::pair{20.0f, 0xFF0E0E0Eu}}) {
        material.specularExponent = power;  // 0.866 x 255 = 220.8; 0.866^20 = 0.0563
        EXPECT_COLOR(drawOver(kBlack, *shape, material).at(32, 24), expected) << power;
    }
}

// Stages the device cannot draw end in the validate message. Validation comes at the first
// apply and again only when a setting it depends on (the texture, the fill, ...) changed,
// so stage states broken behind the material's back go unnoticed until then. A broken or
// missing vertex shader file ends in the create or load message.
TEST_F(Materials, BadStagesAndShaderFilesEndInTheirMessages)
{
    // Type 3 leaves the stages as they are; colour operation 99 is none.
    const std::string invalid = "DirectX error - Material: device->ValidateDevice  D3DERR_UNSUPPORTEDCOLOROPERATION";
    makeTexture("a", 2, 2, std::vector<D3DCOLOR>(4, kWhite));
    for (const auto& change : std::initializer_list<std::function<void(Material&)>>{
             [](Material& m) { m.setTexture("a", 0, false); }, [](Material& m) { m.fill = Material::FLAT; }}) {
        device()->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        Material odd(3, Material::COPY);
        odd.apply();  // validated: fine
        device()->SetTextureStageState(0, D3DTSS_COLOROP, 99);
        odd.apply();  // nothing changed: not validated
        change(odd);
        EXPECT_FATAL(odd.apply(), invalid);
    }
    TempDir dir;
    writeFile(dir.file("short.vso"), {0x01, 0x01, 0xFE, 0xFF, 0x01, 0x00});  // 1.5 tokens
    // A version, a mov and its two parameters, no end token.
    writeFile(dir.file("open.vso"), {0x01, 0x01, 0xFE, 0xFF, 0x01, 0, 0, 0, 0, 0, 0x0F, 0x80, 0, 0, 0xE4, 0x80});
    Material material(Material::DIFFUSE, Material::COPY);
    const std::string message = "DirectX error - Material: Device->CreateVertexShader -  D3DERR_INVALIDCALL";
    EXPECT_FATAL(material.loadVertexShader(dir.file("short.vso")), message);
    EXPECT_FATAL(material.loadVertexShader(dir.file("open.vso")), message);
    EXPECT_FATAL(material.loadVertexShader(dir.file("missing.vso")),
                 "Phile::load - couldn't open file '" + dir.file("missing.vso") + "'");
}

}  // namespace
}  // namespace mirva::test
