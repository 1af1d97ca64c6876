// The device's conventions and behaviour, checked on frames read back.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/d3d8/d3dx8.h"
#include "tests/platform/device_fixture.h"

namespace mirva::test {
namespace {

using Device = DeviceTest;

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

// A managed A8R8G8B8 texture filled from 0xAARRGGBB pixels, top row first.
IDirect3DTexture8* makeTexture(IDirect3DDevice8* device, UINT width, UINT height, const std::vector<D3DCOLOR>& pixels,
                               D3DFORMAT format = D3DFMT_A8R8G8B8)
{
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(width, height, 1, 0, format, D3DPOOL_MANAGED, &texture), D3D_OK);
    IDirect3DSurface8* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    const RECT rect{0, 0, static_cast<long>(width), static_cast<long>(height)};
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(level, nullptr, nullptr, pixels.data(), D3DFMT_A8R8G8B8, width * 4, nullptr,
                                        &rect, D3DX_FILTER_NONE, 0),
              D3D_OK);
    level->Release();
    return texture;
}

TEST_F(Device, TexturesAndSurfacesReachTheLargestTextureAndNoFurther)
{
    D3DCAPS8 caps;
    ASSERT_EQ(device_->GetDeviceCaps(&caps), D3D_OK);
    const UINT largest = caps.MaxTextureWidth;
    ASSERT_EQ(caps.MaxTextureHeight, largest);
    // Makes a texture (0), an image surface (1) or a depth surface (2) and lets it go.
    const auto create = [&](int kind, UINT w, UINT h) {
        IDirect3DTexture8* texture = nullptr;
        IDirect3DSurface8* surface = nullptr;
        const HRESULT hr = kind == 0 ? device_->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture)
                           : kind == 1 ? device_->CreateImageSurface(w, h, D3DFMT_A8R8G8B8, &surface)
                                       : device_->CreateDepthStencilSurface(w, h, D3DFMT_D24S8, D3DMULTISAMPLE_NONE,
                                                                            &surface);
        if (texture)
            texture->Release();
        if (surface)
            surface->Release();
        return hr;
    };
    for (int kind = 0; kind < 3; ++kind) {
        EXPECT_EQ(create(kind, largest, 1), D3D_OK) << kind;
        EXPECT_EQ(create(kind, 1, largest), D3D_OK) << kind;
        EXPECT_EQ(create(kind, largest + 1, 1), D3DERR_INVALIDCALL) << kind;
        EXPECT_EQ(create(kind, 1, largest + 1), D3DERR_INVALIDCALL) << kind;
        EXPECT_EQ(create(kind, 2000000000, 2000000000), D3DERR_INVALIDCALL) << kind;
        EXPECT_EQ(create(kind, 0, 1), D3DERR_INVALIDCALL) << kind;
    }
}

TEST_F(Device, ClearFillsTheBackBufferAndPresentShowsIt)
{
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF336699, 1.0f, 0), D3D_OK);
    const Picture picture = present();
    ASSERT_EQ(picture.width, 64);
    ASSERT_EQ(picture.height, 48);
    EXPECT_COLOR(picture.at(0, 0), 0xFF336699u);
    EXPECT_COLOR(picture.at(63, 47), 0xFF336699u);
}

TEST_F(Device, ClearKeepsToTheViewportAndItsRectangles)
{
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    const D3DVIEWPORT8 viewport{16, 8, 32, 24, 0, 1};
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    const D3DRECT rect{0, 0, 20, 10};  // meets the viewport in (16,8)-(20,10)
    device_->Clear(1, &rect, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    const Picture picture = present();
    EXPECT_COLOR(picture.at(15, 8), kBlack);
    EXPECT_COLOR(picture.at(16, 7), kBlack);
    EXPECT_COLOR(picture.at(16, 8), kGreen);
    EXPECT_COLOR(picture.at(19, 9), kGreen);
    EXPECT_COLOR(picture.at(20, 9), kRed);
    EXPECT_COLOR(picture.at(19, 10), kRed);
    EXPECT_COLOR(picture.at(47, 31), kRed);
    EXPECT_COLOR(picture.at(48, 31), kBlack);
    EXPECT_COLOR(picture.at(47, 32), kBlack);
}

TEST_F(Device, PicturesAreUprightWithYUpInClipSpace)
{
    plainStates(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    drawQuad(device_, -1, 1, 1, 0, 0.5f, kRed);     // upper half
    drawQuad(device_, -1, 0, 0, -1, 0.5f, kGreen);  // lower left quarter
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    const Picture picture = present();
    EXPECT_COLOR(picture.at(10, 5), kRed);
    EXPECT_COLOR(picture.at(63, 23), kRed);
    EXPECT_COLOR(picture.at(10, 40), kGreen);
    EXPECT_COLOR(picture.at(31, 24), kGreen);
    EXPECT_COLOR(picture.at(32, 24), kBlack);
}

TEST_F(Device, ClockwiseTrianglesAreFrontFaces)
{
    plainStates(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device_->BeginScene();
    // The default culling removes anticlockwise triangles.
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    drawQuad(device_, -1, 1, 0, 0, 0.5f, kRed);    // clockwise: shown
    drawQuad(device_, 1, 1, 0, 0, 0.5f, kRed);     // mirrored, anticlockwise: removed
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    drawQuad(device_, -1, 0, 0, -1, 0.5f, kGreen);  // clockwise: removed
    drawQuad(device_, 1, 0, 0, -1, 0.5f, kGreen);   // anticlockwise: shown
    device_->EndScene();
    const Picture picture = present();
    EXPECT_COLOR(picture.at(10, 10), kRed);
    EXPECT_COLOR(picture.at(50, 10), kBlack);
    EXPECT_COLOR(picture.at(10, 40), kBlack);
    EXPECT_COLOR(picture.at(50, 40), kGreen);
}

TEST_F(Device, NearerQuadHidesFartherOnlyWithDepthTestAndWrite)
{
    plainStates(device_);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 0, -1, 0.2f, kRed);  // left: near first, then far
    drawQuad(device_, -1, 1, 0, -1, 0.8f, kGreen);
    device_->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    drawQuad(device_, 0, 1, 1, -1, 0.2f, kRed);  // right: the near one leaves no depth
    drawQuad(device_, 0, 1, 1, -1, 0.8f, kGreen);
    device_->EndScene();
    const Picture picture = present();
    EXPECT_COLOR(picture.at(10, 20), kRed);
    EXPECT_COLOR(picture.at(50, 20), kGreen);
}

TEST_F(Device, ClipDepthRunsFromZeroToOne)
{
    plainStates(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, -0.5f, -1, -0.01f, kRed);  // in front of the near plane: clipped
    drawQuad(device_, -0.5f, 1, 0, -1, 0.0f, kGreen);   // on the near plane: kept
    drawQuad(device_, 0, 1, 0.5f, -1, 0.99f, kGreen);   // just inside the far plane: kept
    drawQuad(device_, 0.5f, 1, 1, -1, 1.01f, kRed);     // beyond the far plane: clipped
    device_->EndScene();
    const Picture picture = present();
    EXPECT_COLOR(picture.at(8, 24), kBlack);
    EXPECT_COLOR(picture.at(24, 24), kGreen);
    EXPECT_COLOR(picture.at(40, 24), kGreen);
    EXPECT_COLOR(picture.at(56, 24), kBlack);
}

// Screen-space vertices: texel centres of a 4 x 4 texture drawn at (-0.5, -0.5) fall
// exactly on pixel centres, and texel (0,0) is the top-left one.
TEST_F(Device, TexelsMapOntoPixelsFromTheTopLeft)
{
    std::vector<D3DCOLOR> texels(16);
    for (int i = 0; i < 16; ++i)
        texels[static_cast<std::size_t>(i)] = 0xFF000000 | static_cast<D3DCOLOR>(i * 16) << 16 | static_cast<D3DCOLOR>(255 - i * 16);
    IDirect3DTexture8* texture = makeTexture(device_, 4, 4, texels);
    plainStates(device_, true);
    struct ScreenVertex {
        float x, y, z, rhw;
        D3DCOLOR diffuse;
        float u, v;
    };
    constexpr DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    ASSERT_EQ(D3DXGetFVFVertexSize(fvf), sizeof(ScreenVertex));
    const ScreenVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, kBlack, 0, 0},
                                  {3.5f, -0.5f, 0.5f, 1, kBlack, 1, 0},
                                  {-0.5f, 3.5f, 0.5f, 1, kBlack, 0, 1},
                                  {3.5f, 3.5f, 0.5f, 1, kBlack, 1, 1}};
    IDirect3DVertexBuffer8* buffer = nullptr;
    device_->CreateVertexBuffer(sizeof quad, 0, fvf, D3DPOOL_MANAGED, &buffer);
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, quad, sizeof quad);
    buffer->Unlock();
    device_->SetVertexShader(fvf);
    device_->SetStreamSource(0, buffer, sizeof(ScreenVertex));
    device_->SetTexture(0, texture);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device_->BeginScene();
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    device_->EndScene();
    const Picture picture = present();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_COLOR(picture.at(x, y), texels[static_cast<std::size_t>(y * 4 + x)]) << x << "," << y;
    EXPECT_COLOR(picture.at(4, 0), kBlack);
    EXPECT_COLOR(picture.at(0, 4), kBlack);
    buffer->Release();
    texture->Release();
}

TEST_F(Device, RenderTargetTextureReadsUpright)
{
    IDirect3DTexture8* target = nullptr;
    ASSERT_EQ(device_->CreateTexture(32, 32, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target),
              D3D_OK);
    IDirect3DSurface8* level = nullptr;
    target->GetSurfaceLevel(0, &level);
    IDirect3DSurface8* back = nullptr;
    IDirect3DSurface8* depth = nullptr;
    device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    device_->GetDepthStencilSurface(&depth);

    plainStates(device_);
    ASSERT_EQ(device_->SetRenderTarget(level, nullptr), D3D_OK);
    D3DVIEWPORT8 viewport;
    device_->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);  // a new target gets a viewport of its size
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 1, 0, 0.5f, kRed);
    drawQuad(device_, -1, 0, 0, -1, 0.5f, kGreen);
    device_->EndScene();
    ASSERT_EQ(device_->SetRenderTarget(back, depth), D3D_OK);

    plainStates(device_, true);
    device_->SetTexture(0, target);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
    device_->EndScene();
    const Picture picture = present();
    EXPECT_COLOR(picture.at(32, 5), kRed);
    EXPECT_COLOR(picture.at(5, 40), kGreen);
    EXPECT_COLOR(picture.at(60, 40), kBlue);
    level->Release();
    back->Release();
    depth->Release();
    target->Release();
}

TEST_F(Device, MultisampledBackBufferIsResolvedAtPresent)
{
    if (d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, static_cast<D3DMULTISAMPLE_TYPE>(4)) !=
        D3D_OK)
        GTEST_SKIP() << "no 4-sample multisampling here";
    createDevice(64, 48, static_cast<D3DMULTISAMPLE_TYPE>(4));
    plainStates(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 0, -1, 0.5f, kRed);
    device_->EndScene();
    const Picture picture = present();
    EXPECT_COLOR(picture.at(10, 10), kRed);
    EXPECT_COLOR(picture.at(50, 10), kBlack);
}

TEST_F(Device, SceneOrderIsEnforced)
{
    plainStates(device_);
    IDirect3DVertexBuffer8* buffer = nullptr;
    device_->CreateVertexBuffer(3 * sizeof(Vertex), 0, kVertexFormat, D3DPOOL_MANAGED, &buffer);
    device_->SetStreamSource(0, buffer, sizeof(Vertex));
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // outside a scene
    EXPECT_EQ(device_->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->BeginScene(), D3D_OK);
    EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3DERR_INVALIDCALL);  // past the buffer's end
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->EndScene(), D3D_OK);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    buffer->Release();
}

TEST_F(Device, IndexedDrawsAddTheBaseVertex)
{
    plainStates(device_);
    std::vector<Vertex> vertices(8);
    const float corners[4][2] = {{-1, 1}, {0, 1}, {0, -1}, {-1, -1}};  // left half, clockwise
    for (int i = 0; i < 4; ++i) {
        vertices[static_cast<std::size_t>(i)] = {corners[i][0], corners[i][1], 0.5f, 0, 0, -1, kRed, 0, 0, 0};
        vertices[static_cast<std::size_t>(i + 4)] = {corners[i][0] + 1, corners[i][1], 0.5f, 0, 0, -1, kGreen, 0, 0, 0};
    }
    IDirect3DVertexBuffer8* buffer = nullptr;
    device_->CreateVertexBuffer(8 * sizeof(Vertex), 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer);
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, vertices.data(), 8 * sizeof(Vertex));
    buffer->Unlock();
    const WORD indices[6] = {0, 1, 2, 0, 2, 3};
    IDirect3DIndexBuffer8* index = nullptr;
    ASSERT_EQ(device_->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &index), D3D_OK);
    index->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    index->Unlock();
    device_->SetStreamSource(0, buffer, sizeof(Vertex));
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device_->BeginScene();
    device_->SetIndices(index, 4);  // the same six indices draw the second quad
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3D_OK);  // its first triangle
    device_->EndScene();
    const Picture picture = present();
    EXPECT_COLOR(picture.at(60, 2), kGreen);   // inside triangle (0,1,2) of the right half
    EXPECT_COLOR(picture.at(34, 45), kBlack);  // its second triangle was not drawn
    EXPECT_COLOR(picture.at(10, 20), kBlack);  // the left quad was never drawn
    index->Release();
    buffer->Release();
}

TEST_F(Device, StagesModulateTextureWithDiffuseAndBlendWithTheFrame)
{
    IDirect3DTexture8* texture = makeTexture(device_, 1, 1, {0x80FF8040});
    plainStates(device_, true);
    device_->SetTexture(0, texture);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 1, -1, 0.5f, 0xFF808080);
    device_->EndScene();
    const Picture picture = present();
    // Colour: (255, 128, 64) * 128/255 = (128, 64, 32); alpha 128/255 over blue (0, 0, 255):
    // 128 * 0.502 = 64, 64 * 0.502 = 32, 32 * 0.502 + 255 * 0.498 = 143.
    EXPECT_PRED3([](std::uint32_t a, std::uint32_t b, int t) { return near(a, b, t); }, picture.at(20, 20), 0xFF40208Fu,
                 3);
    texture->Release();
}

TEST_F(Device, AlphaTestComparesWithTheReference)
{
    IDirect3DTexture8* texture = makeTexture(device_, 2, 1, {0x7FFF0000, 0x80FF0000});
    plainStates(device_, true);
    device_->SetTexture(0, texture);
    device_->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device_->SetRenderState(D3DRS_ALPHAREF, 128);
    device_->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
    device_->EndScene();
    const Picture picture = present();
    EXPECT_COLOR(picture.at(10, 20), kBlack);  // alpha 127 fails
    EXPECT_COLOR(picture.at(50, 20), kRed);    // alpha 128 passes
    texture->Release();
}

TEST_F(Device, SixteenBitAndSingleChannelFormatsReadAsTheirChannels)
{
    struct Case {
        D3DFORMAT format;
        DWORD raw;
        D3DCOLOR expected;
    };
    // R5G6B5 0xF81F: red 31, green 0, blue 31. A4R4G4B4 0xF0F0: alpha 15, red 0, green 15,
    // blue 0. L8 0x80: grey 128. A8: black with its alpha.
    const Case cases[] = {{D3DFMT_R5G6B5, 0xF81F, 0xFFFF00FF},
                          {D3DFMT_A4R4G4B4, 0xF0F0, 0xFF00FF00},
                          {D3DFMT_L8, 0x80, 0xFF808080},
                          {D3DFMT_X1R5G5B5, 0x03E0, 0xFF00FF00}};
    for (const Case& c : cases) {
        IDirect3DTexture8* texture = nullptr;
        ASSERT_EQ(device_->CreateTexture(1, 1, 1, 0, c.format, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, &c.raw, c.format == D3DFMT_L8 ? 1 : 2);
        texture->UnlockRect(0);
        plainStates(device_, true);
        device_->SetTexture(0, texture);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
        device_->BeginScene();
        drawQuad(device_, -1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
        device_->EndScene();
        EXPECT_COLOR(present().at(5, 5), c.expected) << c.format;
        texture->Release();
    }
}

TEST_F(Device, LostDeviceResetsOnlyWithoutDefaultPoolResources)
{
    IDirect3DTexture8* managed = makeTexture(device_, 1, 1, {0xFF00FF00});
    IDirect3DVertexBuffer8* buffer = nullptr;
    device_->CreateVertexBuffer(64, 0, kVertexFormat, D3DPOOL_DEFAULT, &buffer);
    device_->simulateDeviceLoss();
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS p = parameters_;
    EXPECT_EQ(device_->Reset(&p), D3DERR_INVALIDCALL);  // the default-pool buffer still lives
    buffer->Release();
    ASSERT_EQ(device_->Reset(&p), D3D_OK);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    // A new context: the managed texture uploads again from its copy in memory.
    plainStates(device_, true);
    device_->SetTexture(0, managed);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
    device_->EndScene();
    EXPECT_COLOR(present().at(30, 30), kGreen);
    managed->Release();
}

TEST_F(Device, EvictedManagedTexturesUploadAgain)
{
    IDirect3DTexture8* texture = makeTexture(device_, 1, 1, {0xFF0000FF});
    texture->PreLoad();
    EXPECT_EQ(device_->ResourceManagerDiscardBytes(0), D3D_OK);
    plainStates(device_, true);
    device_->SetTexture(0, texture);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
    device_->EndScene();
    EXPECT_COLOR(present().at(30, 30), kBlue);
    texture->Release();
}

TEST_F(Device, ReferencesKeepTexturesAndDevicesAlive)
{
    IDirect3DTexture8* texture = nullptr;
    device_->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    EXPECT_EQ(texture->GetLevelCount(), 4u);  // 8, 4, 2, 1
    IDirect3DSurface8* level = nullptr;
    texture->GetSurfaceLevel(2, &level);
    D3DSURFACE_DESC desc;
    level->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 2u);
    EXPECT_EQ(texture->Release(), 1u);  // the level holds it
    EXPECT_EQ(device_->Release(), 1u);  // the texture holds the device
    device_ = nullptr;
    EXPECT_EQ(level->Release(), 0u);  // texture and device go
}

}  // namespace
}  // namespace mirva::test
