// The device's fixed-function lighting and fog against Direct3D's equations, worked out
// by hand. The quad lies at camera depth 2 with corners (+-2, +-2, 2) and faces the
// camera; a projection with w = z maps it onto the whole frame. Its corners are all
// sqrt(12) = 3.464 from the camera, and a light at the camera meets them at
// N.L = 2 / 3.464 = 0.577 (54.7 degrees), so the quad is lit evenly. And the report of a
// shader that doesn't compile.
#include <gtest/gtest.h>

#include "platform/d3d8/ffp_shader.h"
#include "tests/platform/device_fixture.h"

namespace mirva::test {
namespace {

class FixedFunction : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        plainStates(device_);
        // Depth 0.5 at z = 2, w = z.
        const D3DMATRIX projection{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0.5f, 1}, {0, 0, 0, 0}}};
        device_->SetTransform(D3DTS_PROJECTION, &projection);
        const D3DMATERIAL8 material{.Diffuse = {1, 1, 1, 1}};
        device_->SetMaterial(&material);
    }

    D3DCOLOR lit(const D3DLIGHT8& light)
    {
        device_->SetRenderState(D3DRS_LIGHTING, TRUE);
        device_->SetRenderState(D3DRS_COLORVERTEX, FALSE);
        device_->SetLight(0, &light);
        device_->LightEnable(0, TRUE);
        return frame(0xFF000000);
    }

    D3DCOLOR frame(D3DCOLOR vertexColor)
    {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        device_->BeginScene();
        drawQuad(device_, -2, 2, 2, -2, 2, vertexColor);
        device_->EndScene();
        return present().at(32, 24);
    }

    static D3DLIGHT8 atCamera(D3DLIGHTTYPE type)
    {
        return {.Type = type, .Diffuse = {1, 1, 1, 1}, .Range = 100, .Falloff = 1, .Attenuation0 = 1};
    }
};

// Point lights fade with their attenuation and end at their range; spot lights are full
// inside theta, dark outside phi and fall off between. Eight lights can be on at once.
TEST_F(FixedFunction, PointSpotAndEightLightsAmbientEmissiveAndVertexColours)
{
    D3DLIGHT8 point{
        .Type = D3DLIGHT_POINT, .Diffuse = {1, 1, 1, 1}, .Range = 100, .Attenuation0 = 0.5f, .Attenuation1 = 0.1f};
    EXPECT_COLOR(lit(point), 0xFFAEAEAEu);  // 0.577 / (0.5 + 0.1 x 3.464) = 0.682
    point.Range = 3.0f;
    EXPECT_COLOR(lit(point), 0xFF000000u);
    D3DLIGHT8 spot = atCamera(D3DLIGHT_SPOT);
    const float degrees = 3.14159265f / 180.0f;
    spot.Theta = 120 * degrees;  // half angle 60: the quad's 54.7 is inside
    spot.Phi = 150 * degrees;
    EXPECT_COLOR(lit(spot), 0xFF939393u);  // 0.577
    spot.Theta = 80 * degrees;  // cos 40 = 0.766
    spot.Phi = 140 * degrees;   // cos 70 = 0.342
    EXPECT_COLOR(lit(spot), 0xFF525252u);  // 0.577 x (0.577 - 0.342) / (0.766 - 0.342) = 0.320
    spot.Phi = 100 * degrees;  // half angle 50: the quad lies outside
    EXPECT_COLOR(lit(spot), 0xFF000000u);
    // Ambient (global and the light's) and emissive colours add up; with colour-vertex on, the
    // vertex's diffuse colour takes the material's place.
    D3DLIGHT8 ambient = atCamera(D3DLIGHT_DIRECTIONAL);
    ambient.Ambient = {0.25f, 0.5f, 0.0f, 1.0f};
    const D3DMATERIAL8 dark{.Diffuse = {0, 0, 0, 1}, .Ambient = {1, 1, 1, 1}, .Emissive = {0, 0, 0.25f, 1}};
    device_->SetMaterial(&dark);
    device_->SetRenderState(D3DRS_AMBIENT, 0x00202020);  // 0.125
    EXPECT_COLOR(lit(ambient), 0xFF60A060u);  // 0.125 + light ambient + emissive = (0.375, 0.625, 0.375)
    device_->SetRenderState(D3DRS_COLORVERTEX, TRUE);
    device_->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
    device_->SetRenderState(D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL);
    EXPECT_COLOR(frame(0xFF800000), 0xFFE0A060u);  // + vertex diffuse (0.5, 0, 0) x N.L 1 (a light along +z)
    // Eight lights can be on at once.
    const D3DLIGHT8 light = atCamera(D3DLIGHT_DIRECTIONAL);
    for (DWORD i = 0; i < 8; ++i) {
        device_->SetLight(i * 3, &light);
        EXPECT_EQ(device_->LightEnable(i * 3, TRUE), D3D_OK);
    }
    EXPECT_EQ(device_->LightEnable(100, TRUE), D3DERR_INVALIDCALL);
    device_->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    const D3DMATERIAL8 material{.Diffuse = {0.1f, 0.1f, 0.1f, 1}};
    device_->SetMaterial(&material);
    EXPECT_COLOR(frame(0xFF000000), 0xFFCCCCCCu);  // eight lights of 0.1 each
}

TEST_F(FixedFunction, FogFollowsItsModeAndDistance)
{
    device_->SetRenderState(D3DRS_FOGENABLE, TRUE);
    device_->SetRenderState(D3DRS_FOGCOLOR, 0x000000FF);
    // Without a vertex fog mode the specular alpha is the factor: drawQuad's 0 shows fog alone.
    EXPECT_COLOR(frame(0xFFFF0000), 0xFF0000FFu);
    device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_EXP);
    device_->SetRenderState(D3DRS_FOGDENSITY, floatBits(0.5f));
    EXPECT_COLOR(frame(0xFFFF0000), 0xFF5E00A1u);  // factor e^-(0.5 x 2) = 0.368
    device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_EXP2);
    EXPECT_COLOR(frame(0xFFFF0000), 0xFF5E00A1u);  // e^-(0.5 x 2)^2, the same at 1
    // Linear fog by depth shows in the player's flower field; range fog goes by the distance instead.
    device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    device_->SetRenderState(D3DRS_FOGSTART, floatBits(0.0f));
    device_->SetRenderState(D3DRS_FOGEND, floatBits(6.928203f));
    device_->SetRenderState(D3DRS_RANGEFOGENABLE, TRUE);
    EXPECT_COLOR(frame(0xFFFF0000), 0xFF800080u);  // distance 3.464: 0.5
    // Table fog is worked out per pixel, from depth.
    device_->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_NONE);
    device_->SetRenderState(D3DRS_FOGTABLEMODE, D3DFOG_LINEAR);
    device_->SetRenderState(D3DRS_FOGSTART, floatBits(1.0f));
    device_->SetRenderState(D3DRS_FOGEND, floatBits(3.0f));
    EXPECT_COLOR(frame(0xFFFF0000), 0xFF800080u);  // depth 2
}

// A shader that doesn't compile says why, naming its line with the source; log lines name
// their line either way.
TEST_F(FixedFunction, AShaderThatDoesNotCompileNamesItsLine)
{
    device_->BeginScene();  // the device's context is current from here on
    const std::string vertex = "#version 330 core\nvoid main() {\n    gl_Position = vec4(undeclared, 1.0);\n}\n";
    const std::string fragment = "#version 330 core\nout vec4 fragColor;\nvoid main() { fragColor = vec4(1.0); }\n";
    std::string error;
    EXPECT_EQ(linkProgram(vertex, fragment, error), 0u);
    EXPECT_EQ(error.rfind("vertex shader: ", 0), 0u) << error;
    EXPECT_NE(error.find("undeclared"), std::string::npos) << error;
    EXPECT_NE(error.find("\n  line 3:     gl_Position = vec4(undeclared, 1.0);"), std::string::npos) << error;
    device_->EndScene();
    const std::string source = "one\ntwo\nthree\n";
    EXPECT_EQ(withSourceLines("0:2(5): error: x\nERROR: 0:3: y\n10:1(1): z", source),
              "0:2(5): error: x\nERROR: 0:3: y\n10:1(1): z\n  line 2: two\n  line 3: three");
    EXPECT_EQ(withSourceLines("0:9(1): past the end", source), "0:9(1): past the end");
    EXPECT_EQ(withSourceLines("0:99999999999999999999(1): no such line", source),
              "0:99999999999999999999(1): no such line");
}

}  // namespace
}  // namespace mirva::test
