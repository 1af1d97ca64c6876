// The utility library: vertex sizes, result texts, size and format adjustment, pixel
// conversion and mip-chain filtering, with numbers worked out by hand.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/d3d8/d3dx8.h"
#include "tests/platform/device_fixture.h"

namespace mirva::test {
namespace {

using D3DX = DeviceTest;

// Vertex sizes count every part of the format; error texts name codes the engine's
// messages don't (an unknown one) and are cut to the buffer.
TEST(D3DXUtilities, VertexSizesAndErrorTexts)
{
    EXPECT_EQ(D3DXGetFVFVertexSize(0x1D2), 40u);  // position, normal, two colours, one uv pair
    // Two sets of coordinates, the second with three floats (size code 1 at bit 18).
    EXPECT_EQ(D3DXGetFVFVertexSize(D3DFVF_XYZ | D3DFVF_TEX2 | (1u << 18)), 12u + 8u + 12u);
    char text[100];
    D3DXGetErrorString(static_cast<HRESULT>(0x80001234u), text, sizeof text);
    EXPECT_STREQ(text, "Unknown error 0x80001234");
    D3DXGetErrorString(D3DERR_DEVICELOST, text, 5);
    EXPECT_STREQ(text, "D3DE");
}

TEST_F(D3DX, TextureRequirementsKeepWhatTheCardTakes)
{
    UINT width = 100, height = 60, levels = D3DX_DEFAULT;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    ASSERT_EQ(D3DXCheckTextureRequirements(device_, &width, &height, &levels, 0, &format, D3DPOOL_MANAGED), D3D_OK);
    // Levels 100, 50, 25, 12, 6, 3, 1.
    EXPECT_EQ(std::tuple(width, height, levels, format), std::tuple(100u, 60u, 7u, D3DFMT_A8R8G8B8));
    width = height = 0;  // no size: 256
    ASSERT_EQ(D3DXCheckTextureRequirements(device_, &width, &height, nullptr, 0, nullptr, D3DPOOL_MANAGED), D3D_OK);
    EXPECT_EQ(width, 256u);
    format = D3DFMT_DXT1;  // compressed formats are not held: the nearest one that is
    ASSERT_EQ(D3DXCheckTextureRequirements(device_, nullptr, nullptr, nullptr, 0, &format, D3DPOOL_MANAGED), D3D_OK);
    EXPECT_EQ(format, D3DFMT_A8R8G8B8);
}

// Loading into a texture level converts to its format, rounded, and leaves the rest of
// the level transparent black.
TEST_F(D3DX, LoadingConvertsToTheSurfaceFormatRoundedAndLeavesTheRestTransparentBlack)
{
    // Loads one row of A8R8G8B8 `source` into a level first filled with 0x55 bytes, and
    // returns the level's `rows` rows of `rowBytes`.
    const auto loaded = [&](D3DFORMAT format, UINT width, UINT rows, UINT rowBytes, std::vector<D3DCOLOR> source) {
        const std::vector<BYTE> fill(rowBytes * rows, 0x55);
        IDirect3DTexture8* texture = makeTexture(format, width, rows, 1, fill.data(), rowBytes);
        IDirect3DSurface8* level = nullptr;
        texture->GetSurfaceLevel(0, &level);
        const RECT rect{0, 0, static_cast<long>(source.size()), 1};
        EXPECT_EQ(D3DXLoadSurfaceFromMemory(level, nullptr, nullptr, source.data(), D3DFMT_A8R8G8B8,
                                            static_cast<UINT>(source.size()) * 4, nullptr, &rect, D3DX_FILTER_NONE, 0),
                  D3D_OK);
        std::vector<BYTE> bytes(rowBytes * rows);
        readLevel(texture, 0, bytes.data(), rowBytes, rows);
        level->Release();
        texture->Release();
        return bytes;
    };
    // 0x80FF8040 to R5G6B5: red 255 -> 31, green 128 * 63 / 255 = 31.6 -> 32, blue
    // 64 * 31 / 255 = 7.8 -> 8: 31 << 11 | 32 << 5 | 8 = 0xFC08. To A4R4G4B4: alpha
    // 128 * 15 / 255 = 7.5 -> 8, red 15, green 8, blue 64 * 15 / 255 = 3.8 -> 4: 0x8F84.
    for (const auto& [format, expected] : {std::pair{D3DFMT_R5G6B5, 0xFC08}, std::pair{D3DFMT_A4R4G4B4, 0x8F84}}) {
        const std::vector<BYTE> raw = loaded(format, 1, 1, 2, {0x80FF8040});
        EXPECT_EQ(raw[0] | raw[1] << 8, expected) << format;
    }
    const std::vector<BYTE> bytes = loaded(D3DFMT_A8R8G8B8, 3, 2, 12, {0xFF112233, 0xFF445566});
    std::vector<D3DCOLOR> pixels(6);
    std::memcpy(pixels.data(), bytes.data(), 24);
    EXPECT_EQ(pixels, (std::vector<D3DCOLOR>{0xFF112233, 0xFF445566, 0, 0, 0, 0}));
}

TEST_F(D3DX, BoxFilterAveragesBlocksRoundingHalfUp)
{
    // Left block: red 0, 255, 255, 255 (mean 191.25); blue 1, 2, 3, 4 (mean 2.5).
    // Right block: all 0x80402010.
    const D3DCOLOR level0[2][4] = {{0xFF000001, 0xFFFF0002, 0x80402010, 0x80402010},
                                   {0xFFFF0003, 0xFFFF0004, 0x80402010, 0x80402010}};
    IDirect3DTexture8* texture = makeTexture(D3DFMT_A8R8G8B8, 4, 2, 0, level0, 16);
    ASSERT_EQ(texture->GetLevelCount(), 3u);  // 4x2, 2x1, 1x1
    ASSERT_EQ(D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_BOX), D3D_OK);
    D3DCOLOR level1[2], level2 = 0;
    readLevel(texture, 1, level1, 8);
    readLevel(texture, 2, &level2, 4);
    // 191.25 -> 191, 2.5 -> 3. A 2 x 1 level averages its two pixels: alpha (255 + 128) / 2
    // = 191.5 -> 192, red (191 + 64) / 2 = 127.5 -> 128, green 16, blue (3 + 16) / 2 = 9.5 -> 10.
    EXPECT_EQ(std::tuple(level1[0], level1[1], level2), std::tuple(0xFFBF0003u, 0x80402010u, 0xC080100Au));
    texture->Release();
    // R5G6B5: red 31, 0, 0, 0 -> 7.75 -> 8; green 63, 63, 0, 0 -> 31.5 -> 32; blue 1, 0, 0, 0 -> 0.
    const WORD sixteen[4] = {31 << 11 | 63 << 5 | 1, 63 << 5, 0, 0};
    texture = makeTexture(D3DFMT_R5G6B5, 2, 2, 2, sixteen, 4);
    ASSERT_EQ(D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_BOX), D3D_OK);
    WORD raw = 0;
    readLevel(texture, 1, &raw, 2);
    EXPECT_EQ(raw, 8 << 11 | 32 << 5 | 0);
    texture->Release();
}

}  // namespace
}  // namespace mirva::test
