// The utility library: vertex sizes, result texts, size and format adjustment, pixel
// conversion and mip-chain filtering, with numbers worked out by hand.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/d3d8/d3dx8.h"
#include "platform/d3d8/simulation.h"
#include "tests/platform/device_fixture.h"

namespace mirva::test {
namespace {

using D3DX = DeviceTest;

TEST(D3DXVertexSize, CountsEveryPartOfTheFormat)
{
    EXPECT_EQ(D3DXGetFVFVertexSize(0x1D2), 40u);  // position, normal, two colours, one uv pair
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), 20u);
    // Two sets of coordinates, the second with three floats (size code 1 at bit 18).
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX2 | (1u << 18)), 12u + 8u + 12u);
}

TEST(D3DXErrorString, NamesTheCodeAndFitsTheBuffer)
{
    char text[100];
    D3DXGetErrorString(D3DERR_INVALIDCALL, text, sizeof text);
    EXPECT_STREQ(text, "D3DERR_INVALIDCALL");
    D3DXGetErrorString(D3DERR_DEVICELOST, text, sizeof text);
    EXPECT_STREQ(text, "D3DERR_DEVICELOST");
    D3DXGetErrorString(static_cast<HRESULT>(0x80001234u), text, sizeof text);
    EXPECT_STREQ(text, "Unknown error 0x80001234");
    char small[5];
    D3DXGetErrorString(D3DERR_NOTAVAILABLE, small, sizeof small);
    EXPECT_STREQ(small, "D3DE");
}

TEST_F(D3DX, TextureRequirementsKeepWhatTheCardTakes)
{
    UINT width = 100, height = 60, levels = D3DX_DEFAULT;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    ASSERT_EQ(D3DXCheckTextureRequirements(device_, &width, &height, &levels, 0, &format, D3DPOOL_MANAGED), D3D_OK);
    EXPECT_EQ(width, 100u);
    EXPECT_EQ(height, 60u);
    EXPECT_EQ(levels, 7u);  // 100, 50, 25, 12, 6, 3, 1
    EXPECT_EQ(format, D3DFMT_A8R8G8B8);
    width = height = 0;  // no size: 256
    ASSERT_EQ(D3DXCheckTextureRequirements(device_, &width, &height, nullptr, 0, nullptr, D3DPOOL_MANAGED), D3D_OK);
    EXPECT_EQ(width, 256u);
    format = D3DFMT_DXT1;  // compressed formats are not held: the nearest one that is
    ASSERT_EQ(D3DXCheckTextureRequirements(device_, nullptr, nullptr, nullptr, 0, &format, D3DPOOL_MANAGED), D3D_OK);
    EXPECT_EQ(format, D3DFMT_A8R8G8B8);
}

TEST_F(D3DX, PowerOfTwoCardsGetEnlargedSizes)
{
    d3dSimulation().powerOfTwoTextures = true;
    UINT width = 100, height = 60, levels = 1;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
    const HRESULT hr = D3DXCheckTextureRequirements(device_, &width, &height, &levels, D3DUSAGE_RENDERTARGET, &format,
                                                    D3DPOOL_DEFAULT);
    IDirect3DTexture8* texture = nullptr;
    const HRESULT odd = device_->CreateTexture(100, 60, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    d3dSimulation().powerOfTwoTextures = false;
    EXPECT_EQ(hr, D3D_OK);
    EXPECT_EQ(width, 128u);
    EXPECT_EQ(height, 64u);
    EXPECT_EQ(odd, D3DERR_INVALIDCALL);
}

TEST_F(D3DX, LoadingConvertsToTheSurfaceFormatRounded)
{
    // 0x80FF8040 to R5G6B5: red 255 -> 31, green 128 * 63 / 255 = 31.6 -> 32, blue
    // 64 * 31 / 255 = 7.8 -> 8: 31 << 11 | 32 << 5 | 8 = 0xFC08. To A4R4G4B4: alpha
    // 128 * 15 / 255 = 7.5 -> 8, red 15, green 8, blue 64 * 15 / 255 = 3.8 -> 4: 0x8F84.
    const D3DCOLOR source = 0x80FF8040;
    const RECT rect{0, 0, 1, 1};
    for (const auto& [format, expected] : {std::pair{D3DFMT_R5G6B5, 0xFC08u}, std::pair{D3DFMT_A4R4G4B4, 0x8F84u}}) {
        IDirect3DSurface8* surface = nullptr;
        ASSERT_EQ(device_->CreateImageSurface(1, 1, format, &surface), D3D_OK);
        ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, &source, D3DFMT_A8R8G8B8, 4, nullptr, &rect,
                                            D3DX_FILTER_NONE, 0),
                  D3D_OK);
        D3DLOCKED_RECT locked;
        surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
        WORD raw = 0;
        std::memcpy(&raw, locked.pBits, 2);
        surface->UnlockRect();
        EXPECT_EQ(raw, expected) << format;
        surface->Release();
    }
}

TEST_F(D3DX, LoadingWithoutFilterLeavesTheRestTransparentBlack)
{
    IDirect3DSurface8* surface = nullptr;
    ASSERT_EQ(device_->CreateImageSurface(3, 2, D3DFMT_A8R8G8B8, &surface), D3D_OK);
    D3DLOCKED_RECT locked;
    surface->LockRect(&locked, nullptr, 0);
    std::memset(locked.pBits, 0x55, 2 * static_cast<std::size_t>(locked.Pitch));
    surface->UnlockRect();
    const D3DCOLOR source[2] = {0xFF112233, 0xFF445566};
    const RECT rect{0, 0, 2, 1};
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface, nullptr, nullptr, source, D3DFMT_A8R8G8B8, 8, nullptr, &rect,
                                        D3DX_FILTER_NONE, 0),
              D3D_OK);
    surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    const auto* row0 = static_cast<const D3DCOLOR*>(locked.pBits);
    const auto* row1 = reinterpret_cast<const D3DCOLOR*>(static_cast<const BYTE*>(locked.pBits) + locked.Pitch);
    EXPECT_EQ(row0[0], 0xFF112233u);
    EXPECT_EQ(row0[1], 0xFF445566u);
    EXPECT_EQ(row0[2], 0u);
    EXPECT_EQ(row1[0], 0u);
    surface->UnlockRect();
    surface->Release();
}

TEST_F(D3DX, BoxFilterAveragesBlocksRoundingHalfUp)
{
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(4, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u);  // 4x2, 2x1, 1x1
    // Left block: red 0, 255, 255, 255 (mean 191.25); blue 1, 2, 3, 4 (mean 2.5).
    // Right block: all 0x80402010.
    const D3DCOLOR level0[2][4] = {{0xFF000001, 0xFFFF0002, 0x80402010, 0x80402010},
                                   {0xFFFF0003, 0xFFFF0004, 0x80402010, 0x80402010}};
    D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, 0);
    for (int y = 0; y < 2; ++y)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch, level0[y], sizeof level0[y]);
    texture->UnlockRect(0);
    ASSERT_EQ(D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_BOX), D3D_OK);
    texture->LockRect(1, &locked, nullptr, D3DLOCK_READONLY);
    D3DCOLOR level1[2];
    std::memcpy(level1, locked.pBits, sizeof level1);
    texture->UnlockRect(1);
    EXPECT_EQ(level1[0], 0xFFBF0003u);  // 191.25 -> 191, 2.5 -> 3
    EXPECT_EQ(level1[1], 0x80402010u);
    texture->LockRect(2, &locked, nullptr, D3DLOCK_READONLY);
    D3DCOLOR level2 = 0;
    std::memcpy(&level2, locked.pBits, 4);
    texture->UnlockRect(2);
    // A 2 x 1 level averages its two pixels: alpha (255 + 128) / 2 = 191.5 -> 192,
    // red (191 + 64) / 2 = 127.5 -> 128, green 16, blue (3 + 16) / 2 = 9.5 -> 10.
    EXPECT_EQ(level2, 0xC080100Au);
    texture->Release();
}

TEST_F(D3DX, BoxFilterWorksInTheFormatsOwnPrecision)
{
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(2, 2, 2, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &texture), D3D_OK);
    // Red 31, 0, 0, 0 -> 7.75 -> 8; green 63, 63, 0, 0 -> 31.5 -> 32; blue 1, 0, 0, 0 -> 0.25 -> 0.
    const WORD level0[4] = {31 << 11 | 63 << 5 | 1, 63 << 5, 0, 0};
    D3DLOCKED_RECT locked;
    texture->LockRect(0, &locked, nullptr, 0);
    std::memcpy(locked.pBits, level0, 4);
    std::memcpy(static_cast<BYTE*>(locked.pBits) + locked.Pitch, level0 + 2, 4);
    texture->UnlockRect(0);
    ASSERT_EQ(D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_BOX), D3D_OK);
    texture->LockRect(1, &locked, nullptr, D3DLOCK_READONLY);
    WORD raw = 0;
    std::memcpy(&raw, locked.pBits, 2);
    texture->UnlockRect(1);
    EXPECT_EQ(raw, 8 << 11 | 32 << 5 | 0);
    texture->Release();
}

}  // namespace
}  // namespace mirva::test
