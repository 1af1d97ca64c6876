// The Direct3D object: adapter, modes and the format checks that the driver's candidate
// lists are built from.
#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/simulation.h"
#include "platform/d3d8/window.h"

namespace mirva {
namespace {

class Direct3D : public ::testing::Test {
protected:
    void SetUp() override
    {
        d3d = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
    }
    void TearDown() override
    {
        if (d3d)
            d3d->Release();
    }
    HRESULT texture(DWORD usage, D3DRESOURCETYPE type, D3DFORMAT format)
    {
        return d3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, usage, type, format);
    }
    IDirect3D8* d3d = nullptr;
};

TEST_F(Direct3D, OneAdapterNamedAfterTheRenderer)
{
    EXPECT_EQ(d3d->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER8 identifier;
    ASSERT_EQ(d3d->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &identifier), D3D_OK);
    EXPECT_GT(std::strlen(identifier.Description), 0u);
    EXPECT_EQ(d3d->GetAdapterIdentifier(1, 0, &identifier), D3DERR_INVALIDCALL);
    EXPECT_EQ(Direct3DCreate8(119), nullptr);  // only the SDK version of Direct3D 8
}

TEST_F(Direct3D, WithoutAScreenTheModesAreAFixedListWith640x480In32Bits)
{
    if (displayAvailable())
        GTEST_SKIP() << "a screen is there: its own modes are listed";
    D3DDISPLAYMODE desktop;
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_EQ(desktop.Width, 640u);
    EXPECT_EQ(desktop.Height, 480u);
    EXPECT_EQ(desktop.Format, D3DFMT_X8R8G8B8);
    bool found = false;
    for (UINT i = 0; i < d3d->GetAdapterModeCount(0); ++i) {
        D3DDISPLAYMODE mode;
        ASSERT_EQ(d3d->EnumAdapterModes(0, i, &mode), D3D_OK);
        found |= mode.Width == 640 && mode.Height == 480 && mode.Format == D3DFMT_X8R8G8B8;
    }
    EXPECT_TRUE(found);
    D3DDISPLAYMODE mode;
    EXPECT_EQ(d3d->EnumAdapterModes(0, d3d->GetAdapterModeCount(0), &mode), D3DERR_INVALIDCALL);
}

TEST_F(Direct3D, FormatChecksAnswerNotAvailableForWhatOpenGLCannotHold)
{
    EXPECT_EQ(texture(0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8), D3D_OK);
    EXPECT_EQ(texture(0, D3DRTYPE_TEXTURE, D3DFMT_R5G6B5), D3D_OK);
    EXPECT_EQ(texture(0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4), D3D_OK);
    EXPECT_EQ(texture(0, D3DRTYPE_TEXTURE, D3DFMT_DXT1), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture(0, D3DRTYPE_TEXTURE, D3DFMT_P8), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture(0, D3DRTYPE_CUBETEXTURE, D3DFMT_A8R8G8B8), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8), D3D_OK);
    EXPECT_EQ(texture(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_L8), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(texture(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D24S8), D3D_OK);
    EXPECT_EQ(texture(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D16), D3D_OK);
    EXPECT_EQ(texture(D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, D3DFMT_D15S1), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D24S8), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_A8, TRUE), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_NONE), D3D_OK);
    EXPECT_EQ(d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_16_SAMPLES) ==
                      D3D_OK ||
                  d3d->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE,
                                                  D3DMULTISAMPLE_16_SAMPLES) == D3DERR_NOTAVAILABLE,
              true);
    // A wrong adapter is an invalid call; another device type is simply not there.
    EXPECT_EQ(d3d->CheckDeviceType(1, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3DERR_INVALIDCALL);
    EXPECT_EQ(d3d->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3DERR_NOTAVAILABLE);
}

TEST_F(Direct3D, SimulatedCardOffersOnlyTheGivenRenderTargetFormats)
{
    d3dSimulation().restrictRenderTargets = true;
    d3dSimulation().renderTargetFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
    const HRESULT alpha = texture(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8);
    const HRESULT plain = texture(D3DUSAGE_RENDERTARGET, D3DRTYPE_TEXTURE, D3DFMT_X8R8G8B8);
    d3dSimulation() = {};
    EXPECT_EQ(alpha, D3DERR_NOTAVAILABLE);
    EXPECT_EQ(plain, D3D_OK);
}

TEST_F(Direct3D, DevicesRefuseFormatsTheAdapterLacks)
{
    HeadlessWindow window(32, 32);
    D3DPRESENT_PARAMETERS p;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D15S1;
    IDirect3DDevice8* device = nullptr;
    EXPECT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, &window, 0, &p, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    p.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, &window, 0, &p, &device), D3D_OK);
    // A windowed device of size 0 takes the window's client area.
    EXPECT_EQ(p.BackBufferWidth, 32u);
    EXPECT_EQ(p.BackBufferCount, 1u);
    EXPECT_EQ(device->Release(), 0u);
}

}  // namespace
}  // namespace mirva
