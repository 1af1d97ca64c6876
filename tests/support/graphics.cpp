#include "tests/support/graphics.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mirva::test {

long countPixels(const Picture& p, int left, int top, int right, int bottom,
                 const std::function<bool(std::uint32_t)>& test)
{
    long count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            count += test(p.at(x, y)) ? 1 : 0;
    return count;
}

bool near(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance)
            return false;
    return true;
}

std::string hex(std::uint32_t color)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", color);
    return text;
}

void plainStates(IDirect3DDevice8* device, bool textured)
{
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    const D3DMATRIX identity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    device->SetTransform(D3DTS_WORLD, &identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    device->SetTransform(D3DTS_PROJECTION, &identity);
    const DWORD arg = textured ? D3DTA_TEXTURE : D3DTA_DIFFUSE;
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, arg);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, arg);
    device->SetVertexShader(kVertexFormat);
}

void drawQuad(IDirect3DDevice8* device, float left, float top, float right, float bottom, float z, D3DCOLOR color,
              D3DPOOL pool)
{
    const Vertex vertices[6] = {
        {left, top, z, 0, 0, -1, color, 0, 0, 0},     {right, top, z, 0, 0, -1, color, 0, 1, 0},
        {right, bottom, z, 0, 0, -1, color, 0, 1, 1}, {left, top, z, 0, 0, -1, color, 0, 0, 0},
        {right, bottom, z, 0, 0, -1, color, 0, 1, 1}, {left, bottom, z, 0, 0, -1, color, 0, 0, 1},
    };
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof vertices, D3DUSAGE_WRITEONLY, kVertexFormat, pool, &buffer), D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, vertices, sizeof vertices);
    buffer->Unlock();
    device->SetStreamSource(0, buffer, sizeof(Vertex));
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    buffer->Release();
}

Picture frontBuffer(IDirect3DDevice8* device)
{
    Picture picture;
    IDirect3DSurface8* back = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    back->Release();
    IDirect3DSurface8* image = nullptr;
    EXPECT_EQ(device->CreateImageSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8, &image), D3D_OK);
    EXPECT_EQ(device->GetFrontBuffer(image), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(image->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    picture.width = static_cast<int>(desc.Width);
    picture.height = static_cast<int>(desc.Height);
    for (int y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch);
        picture.pixels.insert(picture.pixels.end(), row, row + picture.width);
    }
    image->UnlockRect();
    image->Release();
    return picture;
}

}  // namespace mirva::test
