// Render targets: format choice, size adjustment, scenes around begin and end, pictures
// that come out upright, and survival of a lost device.
#include <cstring>

#include <gtest/gtest.h>

#include "engine/camera.h"
#include "engine/render_target.h"
#include "engine/texture.h"
#include "platform/d3d8/simulation.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

using RenderTargets = EngineTest;

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kBlack = 0xFF000000;

// Top half red, lower left quarter green, the rest the clear colour blue.
void drawPicture(IDirect3DDevice8* device)
{
    plainStates(device);
    drawQuad(device, -1, 1, 1, 0, 0.5f, kRed);
    drawQuad(device, -1, 0, 0, -1, 0.5f, kGreen);
}

void expectPicture(const Picture& picture)
{
    EXPECT_COLOR(picture.at(32, 5), kRed);
    EXPECT_COLOR(picture.at(5, 40), kGreen);
    EXPECT_COLOR(picture.at(60, 40), kBlue);
}

TEST_F(RenderTargets, APictureDrawnIntoATargetShowsUprightThroughTheTextureTable)
{
    Camera camera;
    RenderTarget target(64, 64, false, true);
    Texture::registerRenderTarget("rendertarget", target);
    target.begin(camera);
    camera.clear(kBlue, true, true, 1.0f);
    drawPicture(device());
    target.end(camera);

    device()->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    drawTexture(Texture::getD3DSurface("rendertarget").texture());
    const Picture picture = flipAndRead();
    expectPicture(picture);
}

TEST_F(RenderTargets, DepthInsideATargetUsesItsOwnBuffer)
{
    Camera camera;
    RenderTarget target(64, 64, false, true);
    target.begin(camera);
    camera.clear(kBlack, true, true, 1.0f);
    plainStates(device());
    device()->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    drawQuad(device(), -1, 1, 1, -1, 0.3f, kRed);
    drawQuad(device(), -1, 1, 1, -1, 0.6f, kGreen);  // farther: hidden
    target.end(camera);
    drawTexture(target.texture());
    EXPECT_COLOR(flipAndRead().at(30, 30), kRed);
}

TEST_F(RenderTargets, AlphaIsRefusedWhenOnlyFormatsWithoutAlphaRender)
{
    d3dSimulation().restrictRenderTargets = true;
    d3dSimulation().renderTargetFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
    openScreen(64, 48);  // the driver's lists are built after the dialog
    EXPECT_FATAL(RenderTarget(64, 64, true, false),
                 "RenderTarget: couldn't find suitable render target format. try some other screen mode. 32 bit modes "
                 "might work better. or then the card doesn't support rendering to textures.");
    EXPECT_FATAL(RenderTarget(64, 64, true, true),
                 "RenderTarget: couldn't find suitable render target format. try some other screen mode. 32 bit modes "
                 "might work better. or then the card doesn't support rendering to textures.");
    RenderTarget plain(64, 64, false, true);
    EXPECT_EQ(plain.colorFormat(), D3DFMT_X8R8G8B8);
}

TEST_F(RenderTargets, AlphaTakesTheFirstFormatWithAlpha)
{
    RenderTarget target(16, 16, true, true);
    EXPECT_EQ(target.colorFormat(), D3DFMT_A8R8G8B8);
    EXPECT_EQ(target.depthFormat(), D3DFMT_D24S8);
}

TEST_F(RenderTargets, AnEnlargedSizeIsTheTargetsSizeAndItsEntrys)
{
    d3dSimulation().powerOfTwoTextures = true;
    RenderTarget target(100, 60, false, false);
    EXPECT_EQ(target.width(), 128);
    EXPECT_EQ(target.height(), 64);
    D3DSURFACE_DESC desc;
    target.texture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 128u);
    Texture::registerRenderTarget("big", target);
    EXPECT_EQ(Texture::getD3DSurface("big").width, 128);
    EXPECT_EQ(Texture::getD3DSurface("big").height, 64);
}

TEST_F(RenderTargets, SizesTheDeviceCantTakeAreRefusedNotCutDown)
{
    d3dSimulation().largestTexture = 128;
    openScreen(64, 48);
    struct Case {
        int width, height;
        const char* message;
    };
    for (const Case& c :
         {Case{2000000000, 64, "RenderTarget: 2000000000 x 64 is larger than the 128 x 128 the device can use"},
          Case{64, 129, "RenderTarget: 64 x 129 is larger than the 128 x 128 the device can use"},
          Case{0, 64, "RenderTarget: 0 x 64 is no size; a render target has at least 1 x 1 pixels"},
          Case{64, -1, "RenderTarget: 64 x -1 is no size; a render target has at least 1 x 1 pixels"}}) {
        EXPECT_FATAL(RenderTarget(c.width, c.height, false, true), c.message);
    }
    const RenderTarget largest(128, 128, false, true);
    EXPECT_EQ(largest.width(), 128);
    EXPECT_EQ(largest.height(), 128);
}

TEST_F(RenderTargets, BeginInsideASceneClosesItAndEndOpensItAgain)
{
    Camera camera;
    RenderTarget target(32, 16, false, false);
    camera.beginScene();
    target.begin(camera);
    EXPECT_TRUE(Camera::sceneOpen());  // the target's own scene
    EXPECT_EQ(camera.screenWidth, 32);
    D3DVIEWPORT8 viewport;
    device()->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 32u);
    EXPECT_EQ(viewport.Height, 16u);
    target.end(camera);
    EXPECT_TRUE(Camera::sceneOpen());
    EXPECT_EQ(camera.screenWidth, 64);
    device()->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 64u);  // after end the viewport covers the screen again
    EXPECT_EQ(viewport.Height, 48u);
    camera.endScene();
}

TEST_F(RenderTargets, BeginOutsideASceneLeavesItClosedAfterEnd)
{
    Camera camera;
    RenderTarget target(32, 32, false, false);
    target.begin(camera);
    target.end(camera);
    EXPECT_FALSE(Camera::sceneOpen());
    EXPECT_EQ(device()->EndScene(), D3DERR_INVALIDCALL);  // the device agrees
}

// Something that owns a default-pool vertex buffer with a red quad, the way primitives do.
class QuadBuffer : public VideoMemoryResource {
public:
    QuadBuffer() { restoreVideoMemory(); }
    ~QuadBuffer() override { releaseVideoMemory(); }
    void releaseVideoMemory() override
    {
        if (buffer)
            buffer->Release();
        buffer = nullptr;
    }
    void restoreVideoMemory() override
    {
        const Vertex quad[4] = {{-1, 1, 0.5f, 0, 0, -1, kRed, 0, 0, 0},
                                {1, 1, 0.5f, 0, 0, -1, kRed, 0, 1, 0},
                                {-1, 0, 0.5f, 0, 0, -1, kRed, 0, 0, 1},
                                {1, 0, 0.5f, 0, 0, -1, kRed, 0, 1, 1}};
        dxDriver().device()->CreateVertexBuffer(sizeof quad, D3DUSAGE_WRITEONLY, kVertexFormat, D3DPOOL_DEFAULT, &buffer);
        BYTE* data = nullptr;
        buffer->Lock(0, 0, &data, 0);
        std::memcpy(data, quad, sizeof quad);
        buffer->Unlock();
    }
    IDirect3DVertexBuffer8* buffer = nullptr;
};

TEST_F(RenderTargets, TexturesTargetsAndBuffersWorkAgainAfterALostDevice)
{
    Camera camera;
    Surface image(1, 1);
    image.setPixel(0, 0, kGreen);
    Texture::createFromSurface("green", image, 0, true);
    RenderTarget target(64, 64, false, true);
    Texture::registerRenderTarget("target", target);
    QuadBuffer quad;

    device()->simulateDeviceLoss();
    flip();  // releases, resets and restores
    EXPECT_EQ(device()->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(Texture::getD3DSurface("target").texture(), target.texture());

    // The target: a picture drawn into it again, with its depth buffer.
    target.begin(camera);
    camera.clear(kBlue, true, true, 1.0f);
    drawPicture(device());
    target.end(camera);
    drawTexture(Texture::getD3DSurface("target").texture());
    expectPicture(flipAndRead());

    // The managed texture and the recreated buffer.
    drawTexture(Texture::getD3DSurface("green").texture());
    plainStates(device());
    device()->SetStreamSource(0, quad.buffer, sizeof(Vertex));
    device()->BeginScene();
    EXPECT_EQ(device()->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    device()->EndScene();
    const Picture picture = flipAndRead();
    EXPECT_COLOR(picture.at(30, 5), kRed);
    EXPECT_COLOR(picture.at(30, 40), kGreen);
}

}  // namespace
}  // namespace mirva::test
