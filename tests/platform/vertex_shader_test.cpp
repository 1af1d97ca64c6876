// vs.1.1 vertex shaders on the device: every instruction and register kind, computed by
// a shader into the diffuse colour of a full-frame quad and read back. Expected values
// are worked out by hand from the instruction definitions.
#include <array>
#include <functional>

#include <gtest/gtest.h>

#include "platform/d3d8/vs11.h"
#include "tests/platform/device_fixture.h"
#include "tools/vs_assembler.h"

namespace mirva::test {
namespace {

// Constants every shader below may read: c4 to c8, c9 to c12 (rows picking x, z, y, w), c13.
const float kConstants[][4] = {{0.25f, 0.5f, 0.75f, 1.0f}, {0.5f, 0.25f, 0.125f, 0.5f}, {2.0f, 4.0f, 0.5f, 0.25f},
                               {0.5f, 0.25f, 0.0f, 2.0f},  {1.25f, 2.5f, -0.25f, 0.0f}, {1, 0, 0, 0},
                               {0, 0, 1, 0},               {0, 1, 0, 0},                {0, 0, 0, 1},
                               {2.7f, 0.0f, 0.0f, 0.0f}};

// v0 the position, the rest of the 40-byte vertex skipped; or the engine's layout.
const DWORD kPositionOnly[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, D3DVSDT_FLOAT3), D3DVSD_SKIP(7), D3DVSD_END()};
const DWORD kEngineLayout[] = {D3DVSD_STREAM(0),
                               D3DVSD_REG(0, D3DVSDT_FLOAT3),   D3DVSD_REG(1, D3DVSDT_FLOAT3),
                               D3DVSD_REG(2, D3DVSDT_D3DCOLOR), D3DVSD_REG(3, D3DVSDT_D3DCOLOR),
                               D3DVSD_REG(4, D3DVSDT_FLOAT2),   D3DVSD_END()};

class VertexShaders : public DeviceTest {
protected:
    // Assembles "vs.1.1 / mov oPos, v0 / <body>" and draws a quad covering the frame
    // with it; returns the centre pixel. Stage 0 shows the diffuse colour unless `states`,
    // run just before the shader is set, changes that.
    D3DCOLOR run(const std::string& body, const DWORD* declaration = kPositionOnly,
                 const std::function<void()>& states = {})
    {
        const std::vector<DWORD> tokens = assembleVertexShader("vs.1.1\nmov oPos, v0\n" + body, "test.vsh");
        DWORD handle = 0;
        EXPECT_EQ(device_->CreateVertexShader(declaration, tokens.data(), &handle, 0), D3D_OK);
        if (!handle)
            return 0;
        plainStates(device_);
        if (states)
            states();
        EXPECT_EQ(device_->SetVertexShader(handle), D3D_OK);
        device_->SetVertexShaderConstant(4, kConstants, std::size(kConstants));
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        // The frame-covering quad in the test layout: position, normal, diffuse, specular, uv.
        const float corners[6][2] = {{-1, 1}, {1, 1}, {1, -1}, {-1, 1}, {1, -1}, {-1, -1}};
        std::array<Vertex, 6> vertices;
        for (std::size_t i = 0; i < 6; ++i)
            vertices[i] = {corners[i][0], corners[i][1], 0.5f, 0.2f, 0.6f, 1.0f, 0x80FF4020, 0x10203040, 0.25f, 0.75f};
        IDirect3DVertexBuffer8* buffer = vertexBuffer(vertices, 0, D3DPOOL_MANAGED);
        device_->SetStreamSource(0, buffer, sizeof(Vertex));
        device_->BeginScene();
        EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
        device_->EndScene();
        buffer->Release();
        EXPECT_EQ(device_->DeleteVertexShader(handle), D3D_OK);
        return present().at(32, 24);
    }
};

// Each instruction and register kind: a body and the colour it computes (the values in
// the comment, in the order of the cases on the line).
TEST_F(VertexShaders, InstructionsComputeTheirDefinition)
{
    const std::pair<const char*, D3DCOLOR> cases[] = {
        {"mov oD0, c4", 0xFF4080BF}, {"add oD0, c4, c5", 0xFFBFBFDF},  // 0.25 0.5 0.75; 0.75 0.75 0.875
        {"sub oD0, c4, c5", 0xFF00409F}, {"mul oD0, c4, c5", 0xFF202018},  // -0.25 0.25 0.625; 0.125 0.125 0.094
        {"mad oD0, c4, c5, c5", 0xFF9F6038}, {"rcp oD0, c6.y", 0xFF404040},  // 0.625 0.375 0.219; 1/4
        {"rsq oD0, c6.x", 0xFFB4B4B4}, {"dp3 oD0, c4, c5", 0xFF585858},      // 1/sqrt(2) = 0.707; 0.344
        {"dp4 oD0, c4, c5", 0xFFD7D7D7}, {"min oD0, c4, c5", 0xFF404020},    // 0.844; 0.25 0.25 0.125
        {"max oD0, c4, c5", 0xFF8080BF}, {"slt oD0, c4, c5", 0xFFFF0000},    // 0.5 0.5 0.75; 1 0 0
        {"sge oD0, c4, c5", 0xFF00FFFF}, {"exp oD0, -c6.y", 0xFF101010},     // 0 1 1; 2^-4 = 0.0625
        {"expp r0, c6.z\nmov oD0, r0.yxzw", 0xFF80FFFF},                     // (1, 0.5, 1.41, 1)
        {"log r0, c6.w\nmul oD0, -r0, c5.z", 0xFF404040},                    // -(-2) x 0.125
        {"logp r0, c6.w\nmul oD0, -r0, c5.z", 0xFF404040},
        {"lit r0, c7\nmov oD0, r0.yzxw", 0xFF8010FF},  // (1, 0.5, 0.25^2, 1)
        {"dst oD0, c4, c5", 0xFFFF20BF}, {"frc oD0, c8", 0xFF4080BF},  // (1, 0.125, 0.75, 0.5); 0.25 0.5 0.75
        // Matrices of rows picking x, z, y (and w).
        {"m4x4 oD0, c4, c9", 0xFF40BF80}, {"m4x3 oD0.xyz, c4, c9", 0xFF40BF80}, {"m3x4 oD0, c4, c9", 0xFF40BF80},
        {"m3x3 oD0.xyz, c4, c9", 0xFF40BF80}, {"m3x2 oD0.xy, c4, c9", 0xFF40BF00},
        {"nop\nmov oD0, c5", 0xFF804020}, {"def c20, 0.1, 0.2, 0.3, 1\nmov oD0, c20", 0xFF1A334D},
        {"mov r11, c4\nadd r3, r11, r11\nmov oD0, r3", 0xFF80FFFF},
        // Relative addressing: c5, 2.7 rounded down to c5, outside the constants.
        {"mov a0.x, c6.x\nmov oD0, c[a0.x + 3]", 0xFF804020}, {"mov a0.x, c13.x\nmov oD0, c[a0.x + 3]", 0xFF804020},
        {"mov a0.x, c6.y\nmov oD0, c[a0.x + 95]", 0xFF000000},
        // Swizzles, masks and negation; a replicated and a short (.zxxx) swizzle; the last write wins.
        {"mov r0, c4.wzyx\nmov oD0.xz, r0\nmov oD0.y, -c5.x", 0xFFFF0080}, {"mov oD0, c4.y", 0xFF808080},
        {"mov oD0, c4.zx", 0xFFBF4040}, {"mov oD0, v0\nmov oD0, c5", 0xFF804020}};
    for (const auto& [body, expected] : cases)
        EXPECT_COLOR(run(body), expected) << body;
}

// Inputs arrive in their registers, bytes unscaled; outputs reach the specular colour and
// the texture coordinates (the engine's primitives show oFog).
TEST_F(VertexShaders, InputsAndOutputsReachTheirRegisters)
{
    // Normal (0.2, 0.6, 1.0), diffuse (red first), specular, texture coordinates (0.25, 0.75, 0, 1).
    for (const auto& [body, expected] : {std::pair{"mov oD0, v1", 0xFF3399FFu}, {"mov oD0, v2", 0xFFFF4020u},
                                         {"mov oD0, v3", 0xFF203040u}, {"mov oD0, v4", 0xFF40BF00u}})
        EXPECT_COLOR(run(body, kEngineLayout), expected) << body;
    // Alpha of the diffuse input: 0x80 over white through blending.
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    EXPECT_COLOR(run("mov oD0, v2.w", kEngineLayout), 0xFF404040u);  // 0.5 x 0.5
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    // The diffuse bytes (0x20, 0x40, 0xFF, 0x80 in memory) read as UBYTE4: whole numbers.
    const DWORD bytes[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, D3DVSDT_FLOAT3), D3DVSD_SKIP(3),
                           D3DVSD_REG(2, D3DVSDT_UBYTE4), D3DVSD_END()};
    // 32 x 1/128, 64 x 1/128, 255 x 1/255
    EXPECT_COLOR(run("def c30, 0.0078125, 0.0078125, 0.00392157, 0\nmul oD0, v2, c30", bytes), 0xFF4080FFu);
    // oD1 through the specular argument.
    EXPECT_COLOR(run("mov oD1, c5", kEngineLayout,
                     [&] { device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_SPECULAR); }),
                 0xFF804020u);
    // oT0: u = 0.75 (c4.z) picks the second texel of a 2 x 1 texture, red then blue.
    const D3DCOLOR texels[2] = {0xFFFF0000, 0xFF0000FF};
    IDirect3DTexture8* texture = makeTexture(D3DFMT_A8R8G8B8, 2, 1, 1, texels, 8);
    device_->SetTexture(0, texture);
    EXPECT_COLOR(run("mov oT0, c4.zxxx", kEngineLayout,
                     [&] { device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE); }),
                 0xFF0000FFu);
    device_->SetTexture(0, nullptr);
    texture->Release();
}

// A shader outlives a device reset; constants of the declaration are loaded when the
// shader is set; bad streams and handles are refused.
TEST_F(VertexShaders, ShadersOutliveAResetLoadTheirDeclarationsConstantsAndRefuseBadStreams)
{
    EXPECT_COLOR(run("mov oD0, c4", kPositionOnly,
                     [&] {
                         device_->simulateDeviceLoss();
                         ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
                         plainStates(device_);
                     }),
                 0xFF4080BFu);
    const DWORD declaration[] = {D3DVSD_STREAM(0), D3DVSD_REG(0, D3DVSDT_FLOAT3),
                                 D3DVSD_CONST(40, 1), floatBits(0.5f), floatBits(1.0f), floatBits(0.0f),
                                 floatBits(1.0f), D3DVSD_END()};
    EXPECT_COLOR(run("mov oD0, c40", declaration), 0xFF80FF00u);
    // Bad streams and handles are refused.
    DWORD handle = 0;
    const auto create = [&](std::vector<DWORD> tokens, const DWORD* layout = kEngineLayout) {
        return device_->CreateVertexShader(layout, tokens.data(), &handle, 0);
    };
    const DWORD mov = vs11::MOV, r0 = 0x800F0000, c0 = 0xA0E40000;
    EXPECT_EQ(create({0xFFFE0101, mov, r0, c0, 0xFFFF}), D3D_OK);
    EXPECT_EQ(create({0xFFFE0200, mov, r0, c0, 0xFFFF}), D3DERR_INVALIDCALL);  // another version
    EXPECT_EQ(create({0xFFFE0101, 0x30, r0, c0, 0xFFFF}), D3DERR_INVALIDCALL);  // no such instruction
    EXPECT_EQ(create({0xFFFE0101, mov, 0x000F0000, c0, 0xFFFF}), D3DERR_INVALIDCALL);  // not a parameter
    EXPECT_EQ(create({0xFFFE0101, mov, 0x800F000C, c0, 0xFFFF}), D3DERR_INVALIDCALL);  // r12
    EXPECT_EQ(create({0xFFFE0101, mov, 0x900F0000, c0, 0xFFFF}), D3DERR_INVALIDCALL);  // writes v0
    EXPECT_EQ(create({0xFFFE0101, mov, r0, 0x90E40005, 0xFFFF}), D3DERR_INVALIDCALL);  // v5 not declared
    EXPECT_EQ(create({0xFFFE0101, vs11::M4x4, r0, 0x90E40000, 0xA0E4005E, 0xFFFF}),
              D3DERR_INVALIDCALL);  // c94..c97
    EXPECT_EQ(create({0xFFFE0101, 0x0002FFFE, 1, 2, mov, r0, c0, 0xFFFF}), D3D_OK);  // a comment
    const DWORD twoStreams[] = {D3DVSD_STREAM(1), D3DVSD_REG(0, D3DVSDT_FLOAT3), D3DVSD_END()};
    EXPECT_EQ(create({0xFFFE0101, mov, r0, c0, 0xFFFF}, twoStreams), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetVertexShader(12345), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DeleteVertexShader(12345), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetVertexShaderConstant(95, kConstants, 2), D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace mirva::test
