// The Direct3D object and its devices: conventions and behaviour checked on frames read
// back, the adapter, its modes and format checks.
#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/d3d8/d3dx8.h"
#include "tests/platform/device_fixture.h"
#include "tests/support/console_output.h"

namespace mirva::test {
namespace {

using Device = DeviceTest;

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

// Textures, image surfaces and depth surfaces up to the largest texture size; none larger,
// none of size 0.
TEST_F(Device, TexturesAndSurfacesReachTheLargestTextureAndReferencesKeepThemAlive)
{
    D3DCAPS8 caps;
    ASSERT_EQ(device_->GetDeviceCaps(&caps), D3D_OK);
    const UINT n = caps.MaxTextureWidth;
    ASSERT_EQ(caps.MaxTextureHeight, n);
    for (const auto& [w, h, expected] : {std::tuple{n, 1u, D3D_OK}, {1u, n, D3D_OK}, {n + 1, 1u, D3DERR_INVALIDCALL},
                                         {1u, n + 1, D3DERR_INVALIDCALL}, {0u, 1u, D3DERR_INVALIDCALL},
                                         {2000000000u, 2000000000u, D3DERR_INVALIDCALL}}) {
        IDirect3DTexture8* made = nullptr;
        IDirect3DSurface8 *image = nullptr, *depth = nullptr;
        EXPECT_EQ(device_->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &made), expected) << w;
        EXPECT_EQ(device_->CreateImageSurface(w, h, D3DFMT_A8R8G8B8, &image), expected) << w;
        EXPECT_EQ(device_->CreateDepthStencilSurface(w, h, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, &depth), expected) << w;
        for (IUnknown8* object : std::initializer_list<IUnknown8*>{made, image, depth})
            if (object)
                object->Release();
    }
    // References keep textures and devices alive.
    IDirect3DTexture8* texture = nullptr;
    device_->CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture);
    EXPECT_EQ(texture->GetLevelCount(), 4u);  // 8, 4, 2, 1
    IDirect3DSurface8* level = nullptr;
    texture->GetSurfaceLevel(2, &level);
    EXPECT_EQ(texture->Release(), 1u);  // the level holds it
    EXPECT_EQ(device_->Release(), 1u);  // the texture holds the device
    device_ = nullptr;
    EXPECT_EQ(level->Release(), 0u);  // texture and device go
}

TEST_F(Device, ClipSpaceHasYUpAndDepthFromZeroToOneAndClearsKeepToTheViewport)
{
    // Upper half red; in the lower half four columns at depths -0.01 (in front of the near
    // plane), 0 (on it), 0.99 (just inside the far plane) and 1.01 (beyond it).
    plainStates(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    ASSERT_EQ(device_->BeginScene(), D3D_OK);
    drawQuad(device_, -1, 1, 1, 0, 0.5f, kRed);
    for (const auto& [left, z, color] : {std::tuple{-1.0f, -0.01f, kRed}, {-0.5f, 0.0f, kGreen}, {0.0f, 0.99f, kBlue},
                                         {0.5f, 1.01f, kRed}})
        drawQuad(device_, left, 0, left + 0.5f, -1, z, color);
    ASSERT_EQ(device_->EndScene(), D3D_OK);
    expectPixels(present(), {{10, 5, kRed}, {63, 23, kRed}, {8, 30, kBlack}, {24, 24, kGreen}, {40, 47, kBlue},
                             {56, 30, kBlack}});
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    const D3DVIEWPORT8 viewport{16, 8, 32, 24, 0, 1};
    ASSERT_EQ(device_->SetViewport(&viewport), D3D_OK);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kRed, 1.0f, 0);
    const D3DRECT rect{0, 0, 20, 10};  // meets the viewport in (16,8)-(20,10)
    device_->Clear(1, &rect, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    const Picture picture = present();
    ASSERT_EQ(std::pair(picture.width, picture.height), std::pair(64, 48));
    expectPixels(picture, {{15, 8, kBlack}, {16, 7, kBlack}, {16, 8, kGreen}, {19, 9, kGreen}, {20, 9, kRed},
                           {19, 10, kRed}, {47, 31, kRed}, {48, 31, kBlack}, {47, 32, kBlack}, {63, 47, kBlack}});
}

// Screen-space vertices: texel centres of a 4 x 4 texture drawn at (-0.5, -0.5) fall
// exactly on pixel centres, and texel (0,0) is the top-left one.
TEST_F(Device, TexelsMapOntoPixelsFromTheTopLeftAndReadAsTheirFormatsChannels)
{
    D3DCOLOR texels[16];
    for (int i = 0; i < 16; ++i)
        texels[i] = 0xFF000000 | static_cast<D3DCOLOR>(i * 16) << 16 | static_cast<D3DCOLOR>(255 - i * 16);
    IDirect3DTexture8* texture = makeTexture(D3DFMT_A8R8G8B8, 4, 4, 1, texels, 16);
    plainStates(device_, true);
    struct ScreenVertex {
        float x, y, z, rhw;
        D3DCOLOR diffuse;
        float u, v;
    };
    constexpr DWORD fvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
    ASSERT_EQ(D3DXGetFVFVertexSize(fvf), sizeof(ScreenVertex));
    const ScreenVertex quad[4] = {{-0.5f, -0.5f, 0.5f, 1, kBlack, 0, 0}, {3.5f, -0.5f, 0.5f, 1, kBlack, 1, 0},
                                  {-0.5f, 3.5f, 0.5f, 1, kBlack, 0, 1}, {3.5f, 3.5f, 0.5f, 1, kBlack, 1, 1}};
    IDirect3DVertexBuffer8* buffer = vertexBuffer(quad, fvf, D3DPOOL_MANAGED);
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
            EXPECT_COLOR(picture.at(x, y), texels[y * 4 + x]) << x << "," << y;
    expectPixels(picture, {{4, 0, kBlack}, {0, 4, kBlack}});
    buffer->Release();
    texture->Release();
    plainStates(device_, true);  // the engine's vertex format again
    // R5G6B5 0xF81F: red 31, green 0, blue 31. A4R4G4B4 0xF0F0: alpha 15, red 0, green 15,
    // blue 0. L8 0x80: grey 128.
    for (const auto& [format, raw, expected] : {std::tuple{D3DFMT_R5G6B5, WORD{0xF81F}, 0xFFFF00FFu},
                                                {D3DFMT_A4R4G4B4, 0xF0F0, 0xFF00FF00}, {D3DFMT_L8, 0x80, 0xFF808080},
                                                {D3DFMT_X1R5G5B5, 0x03E0, 0xFF00FF00}}) {
        IDirect3DTexture8* single = makeTexture(format, 1, 1, 1, &raw, format == D3DFMT_L8 ? 1 : 2);
        device_->SetTexture(0, single);
        device_->BeginScene();
        drawQuad(device_, -1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
        device_->EndScene();
        EXPECT_COLOR(present().at(5, 5), expected) << format;
        single->Release();
    }
}

TEST_F(Device, MultisampledBackBufferIsResolvedAtPresent)
{
    const auto four = static_cast<D3DMULTISAMPLE_TYPE>(4);
    if (d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, four) != D3D_OK)
        GTEST_SKIP() << "no 4-sample multisampling here";
    createDevice(64, 48, four);
    plainStates(device_);
    device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlack, 1.0f, 0);
    device_->BeginScene();
    drawQuad(device_, -1, 1, 0, -1, 0.5f, kRed);
    device_->EndScene();
    expectPixels(present(), {{10, 10, kRed}, {50, 10, kBlack}});
}

// Draws and presents keep to the order of scenes, draws to their buffers, and refused draws
// say why on the console; indexed draws add the base vertex.
TEST_F(Device, SceneOrderIsEnforcedAndIndexedDrawsAddTheBaseVertex)
{
    plainStates(device_);
    std::array<Vertex, 8> vertices{};
    const float corners[4][2] = {{-1, 1}, {0, 1}, {0, -1}, {-1, -1}};  // left half, clockwise
    for (std::size_t i = 0; i < 4; ++i) {
        vertices[i] = {corners[i][0], corners[i][1], 0.5f, 0, 0, -1, kRed, 0, 0, 0};
        vertices[i + 4] = {corners[i][0] + 1, corners[i][1], 0.5f, 0, 0, -1, kGreen, 0, 0, 0};
    }
    IDirect3DVertexBuffer8* buffer = vertexBuffer(vertices, kVertexFormat, D3DPOOL_DEFAULT);
    const WORD indices[6] = {0, 1, 2, 0, 2, 3};
    IDirect3DIndexBuffer8* index = nullptr;
    ASSERT_EQ(device_->CreateIndexBuffer(sizeof indices, 0, D3DFMT_INDEX16, D3DPOOL_DEFAULT, &index), D3D_OK);
    BYTE* data = nullptr;
    index->Lock(0, 0, &data, 0);
    std::memcpy(data, indices, sizeof indices);
    index->Unlock();
    device_->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    const std::string said = consoleOutput([&] {
        EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // outside a scene
        EXPECT_EQ(device_->EndScene(), D3DERR_INVALIDCALL);
        EXPECT_EQ(device_->BeginScene(), D3D_OK);
        EXPECT_EQ(device_->BeginScene(), D3DERR_INVALIDCALL);
        EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3DERR_INVALIDCALL);  // no buffers
        device_->SetStreamSource(0, buffer, sizeof(Vertex));
        EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3), D3DERR_INVALIDCALL);  // past the buffer's end
        EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_INVALIDCALL);
    });
    EXPECT_EQ(said, "graphics: DrawPrimitive: outside BeginScene and EndScene\n"
                    "graphics: DrawIndexedPrimitive: no vertex buffer set (SetStreamSource)\n"
                    "graphics: DrawPrimitive: 9 vertices from 0 run past the end of the vertex buffer\n");
    device_->SetIndices(index, 4);  // the same six indices draw the second quad
    EXPECT_EQ(device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3D_OK);  // its first triangle
    EXPECT_EQ(device_->EndScene(), D3D_OK);
    // Inside triangle (0,1,2) of the right half; not its second triangle, nor the left quad.
    expectPixels(present(), {{60, 2, kGreen}, {34, 45, kBlack}, {10, 20, kBlack}});
    index->Release();
    buffer->Release();
}

// A state changed between two draws of one frame reaches the second draw, changed back it
// reaches the third, and a clear (which sets write masks of its own) leaves the states of the
// next draw as they were set. In every case state A hides a red quad on green and B shows it,
// so the columns read green, red, green, green.
TEST_F(Device, StatesChangedBetweenDrawsReachTheNextDrawAndSurviveAClear)
{
    using Set = void (*)(IDirect3DDevice8*, bool);
    const std::pair<const char*, Set> cases[] = {
        {"blend", [](IDirect3DDevice8* d, bool a) { d->SetRenderState(D3DRS_ALPHABLENDENABLE, a); }},
        {"colour mask", [](IDirect3DDevice8* d, bool a) { d->SetRenderState(D3DRS_COLORWRITEENABLE, a ? 0 : 15); }},
        {"depth test", [](IDirect3DDevice8* d, bool a) { d->SetRenderState(D3DRS_ZENABLE, a); }},
        {"culling",
         [](IDirect3DDevice8* d, bool a) { d->SetRenderState(D3DRS_CULLMODE, a ? D3DCULL_CW : D3DCULL_NONE); }},
        {"viewport", [](IDirect3DDevice8* d, bool a) {
             const D3DVIEWPORT8 corner{0, 0, 1, 1, 0, 1}, whole{0, 0, 64, 48, 0, 1};
             d->SetViewport(a ? &corner : &whole);
         }},
    };
    for (const auto& [name, set] : cases) {
        SCOPED_TRACE(name);
        plainStates(device_);
        device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);  // blending keeps what is there
        device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        device_->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kGreen, 0.25f, 0);  // depth before the quads
        device_->BeginScene();
        for (int column = 0; column < 4; ++column) {
            if (column < 3)
                set(device_, column != 1);
            if (column == 3) {
                const D3DRECT last{48, 0, 64, 48};
                device_->Clear(1, &last, D3DCLEAR_TARGET, kGreen, 0.25f, 0);
            }
            drawQuad(device_, -1 + 0.5f * static_cast<float>(column), 1, -0.5f + 0.5f * static_cast<float>(column),
                     -1, 0.5f, kRed);
        }
        device_->EndScene();
        expectPixels(present(), {{8, 24, kGreen}, {24, 24, kRed}, {40, 24, kGreen}, {56, 24, kGreen}});
        set(device_, false);
    }
}

// ---------------------------------------------------------------------------- the Direct3D object

// The checks the driver's candidate lists are built from answer "not available" for what
// OpenGL cannot hold; a wrong adapter is an invalid call, another device type not there.
// Without a screen the adapter's modes are a fixed list with 640 x 480 in 32 bits, the
// desktop's mode.
TEST_F(Device, FormatChecksAnswerNotAvailableForWhatOpenGLCannotHoldAndDevicesRefuseIt)
{
    constexpr DWORD kTarget = D3DUSAGE_RENDERTARGET, kDepth = D3DUSAGE_DEPTHSTENCIL;
    constexpr HRESULT kNo = D3DERR_NOTAVAILABLE;
    constexpr D3DRESOURCETYPE kTexture = D3DRTYPE_TEXTURE, kSurface = D3DRTYPE_SURFACE;
    for (const auto& [usage, type, format, expected] :
         {std::tuple{DWORD{0}, kTexture, D3DFMT_A8R8G8B8, D3D_OK}, {0, kTexture, D3DFMT_R5G6B5, D3D_OK},
          {0, kTexture, D3DFMT_A4R4G4B4, D3D_OK}, {0, kTexture, D3DFMT_DXT1, kNo}, {0, kTexture, D3DFMT_P8, kNo},
          {0, D3DRTYPE_CUBETEXTURE, D3DFMT_A8R8G8B8, kNo}, {kTarget, kTexture, D3DFMT_A8R8G8B8, D3D_OK},
          {kTarget, kTexture, D3DFMT_L8, kNo}, {kDepth, kSurface, D3DFMT_D24S8, D3D_OK},
          {kDepth, kSurface, D3DFMT_D16, D3D_OK}, {kDepth, kSurface, D3DFMT_D15S1, kNo}}) {
        EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, usage, type, format), expected)
            << usage << " " << type << " " << format;
    }
    EXPECT_EQ(d3d_->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_D24S8), D3D_OK);
    const auto type = [&](UINT adapter, D3DDEVTYPE kind, D3DFORMAT back) {
        return d3d_->CheckDeviceType(adapter, kind, D3DFMT_X8R8G8B8, back, TRUE);
    };
    EXPECT_EQ(std::tuple(type(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8), type(0, D3DDEVTYPE_HAL, D3DFMT_A8),
                         type(1, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8), type(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8)),
              std::tuple(D3D_OK, kNo, D3DERR_INVALIDCALL, kNo));
    EXPECT_EQ(d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_NONE), D3D_OK);
    const HRESULT sixteen =
        d3d_->CheckDeviceMultiSampleType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, TRUE, D3DMULTISAMPLE_16_SAMPLES);
    EXPECT_TRUE(sixteen == D3D_OK || sixteen == kNo);
    // The adapter is named after the renderer; there is no second one.
    D3DADAPTER_IDENTIFIER8 identifier;
    ASSERT_EQ(d3d_->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &identifier), D3D_OK);
    EXPECT_GT(std::strlen(identifier.Description), 0u);
    EXPECT_EQ(d3d_->GetAdapterIdentifier(1, 0, &identifier), D3DERR_INVALIDCALL);
    EXPECT_EQ(Direct3DCreate8(119), nullptr);  // only the SDK version of Direct3D 8
    // Devices refuse what the checks refuse. A windowed device of size 0 takes the window's
    // client area.
    HeadlessWindow window(32, 32);
    D3DPRESENT_PARAMETERS p{.BackBufferFormat = D3DFMT_X8R8G8B8, .Windowed = TRUE, .EnableAutoDepthStencil = TRUE,
                            .AutoDepthStencilFormat = D3DFMT_D15S1};
    IDirect3DDevice8* device = nullptr;
    EXPECT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, &window, 0, &p, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    p.AutoDepthStencilFormat = D3DFMT_D16;
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, &window, 0, &p, &device), D3D_OK);
    EXPECT_EQ(std::pair(p.BackBufferWidth, p.BackBufferCount), std::pair(32u, 1u));
    EXPECT_EQ(device->Release(), 0u);
    if (displayAvailable())
        GTEST_SKIP() << "a screen is there: its own modes are listed";
    D3DDISPLAYMODE mode;
    ASSERT_EQ(d3d_->GetAdapterDisplayMode(0, &mode), D3D_OK);
    EXPECT_EQ(std::tuple(mode.Width, mode.Height, mode.Format), std::tuple(640u, 480u, D3DFMT_X8R8G8B8));
    bool found = false;
    for (UINT i = 0; i < d3d_->GetAdapterModeCount(0); ++i) {
        ASSERT_EQ(d3d_->EnumAdapterModes(0, i, &mode), D3D_OK);
        found |= mode.Width == 640 && mode.Height == 480 && mode.Format == D3DFMT_X8R8G8B8;
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(d3d_->EnumAdapterModes(0, d3d_->GetAdapterModeCount(0), &mode), D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace mirva::test
