// The texture table and render targets: sharing by name, memory figures, locking,
// registered render targets, sizes the device can't take, the messages for unknown names;
// the targets' format choice, scenes around begin and end, pictures that come out
// upright, and survival of a lost device.
#include <algorithm>

#include <gtest/gtest.h>

#include "engine/camera.h"
#include "engine/render_target.h"
#include "engine/texture.h"
#include "io/surface.h"
#include "platform/d3d8/simulation.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/console_output.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva::test {
namespace {

using TextureTable = EngineTest;
using RenderTargets = EngineTest;

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

// Unknown names and formats end the program with their messages; sizes the device can't
// take are refused, not cut down.
TEST_F(TextureTable, UnknownNamesAndSizesTheDeviceCantTakeEndInTheirMessages)
{
    EXPECT_FATAL(Texture::release("maps/never.png"), "(Texture::release) Texture 'maps/never.png' doesn't exist");
    EXPECT_FATAL(Texture::getD3DSurface("maps/never.png"), "(getD3DSurface) Texture 'maps/never.png' doesn't exist");
    EXPECT_FATAL(Texture::load("maps/missing.png", 0, false), "couldn't load 'maps/missing.png'");
    EXPECT_FATAL(Texture::create("odd", 4, 4, 7, false), "Texture: unknown format code 7 for 'odd'");
    EXPECT_FALSE(Texture::exists("odd"));
    d3dSimulation().largestTexture = 64;
    openScreen(64, 48);
    Texture::create("edge", 64, 64, 0, true);
    EXPECT_EQ(RenderTarget(64, 64, false, true).width(), 64);
    D3DSURFACE_DESC desc;
    Texture::getD3DSurface("edge").texture()->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 64u);
    for (const auto& [width, height, size] : {std::tuple{65, 1, "65 x 1"}, {1, 2000000000, "1 x 2000000000"}}) {
        EXPECT_FATAL(Texture::create("big", width, height, 0, false),
                     std::string("Texture: 'big' is ") + size + " pixels, larger than the 64 x 64 the device can use");
        EXPECT_FATAL(RenderTarget(width, height, false, true),
                     std::string("RenderTarget: ") + size + " is larger than the 64 x 64 the device can use");
    }
    for (const auto& [width, height, size] : {std::tuple{0, 4, "0 x 4"}, {4, -3, "4 x -3"}}) {
        EXPECT_FATAL(Texture::create("big", width, height, 0, false),
                     std::string("Texture: 'big' would be ") + size + " pixels; a texture has at least 1 x 1");
        EXPECT_FATAL(RenderTarget(width, height, false, true),
                     std::string("RenderTarget: ") + size + " is no size; a render target has at least 1 x 1 pixels");
    }
    EXPECT_FALSE(Texture::exists("big"));
}

// Locked levels have a row pitch and show what was written.
TEST_F(TextureTable, LockedLevelsShowWhatWasWrittenNamesLiveUntilReleasedAndMemoryFollowsFormat)
{
    Texture::create("pattern", 3, 2, 1, false);  // R5G6B5: 6 bytes a row, padded to 8
    int pitch = 0;
    auto* row = static_cast<WORD*>(Texture::lock("pattern", 0, pitch));
    EXPECT_EQ(pitch, 8);
    std::fill_n(row, 3, WORD{31 << 11});             // red
    std::fill_n(row + pitch / 2, 3, WORD{63 << 5});  // green
    Texture::unlock("pattern", 0);
    drawTexture(Texture::getD3DSurface("pattern").texture());
    expectPixels(flipAndRead(), {{30, 5, kRed}, {30, 42, kGreen}});
    Texture::release("pattern");
    // A name loaded twice lives until released twice; memory follows format and mipmaps.
    TempDir dir;
    const std::string path = dir.file("halves.png");
    Surface image(8, 8);  // top half red, bottom half blue
    for (int i = 0; i < 64; ++i)
        image.setPixel(i % 8, i / 8, i < 32 ? kRed : kBlue);
    image.savePng(path);
    Texture::load(path, 0, true);
    Texture::load(path, 1, false);  // known: only counted
    const TextureEntry& entry = Texture::getD3DSurface(path);
    EXPECT_EQ(std::tuple(Texture::textureMemory(), entry.referenceCount, entry.format), std::tuple(341, 2, 0));
    drawTexture(entry.texture());
    expectPixels(flipAndRead(), {{30, 5, kRed}, {30, 42, kBlue}});
    Texture::release(path);
    EXPECT_EQ(Texture::textureMemory(), 341);  // 8 * 8 * 4 * 4/3, truncated
    Texture::release(path);
    EXPECT_EQ(std::pair(Texture::exists(path), Texture::textureMemory()), std::pair(false, 0));
    // Memory figures follow format and mipmaps; names differing in case are different textures.
    int total = 0;
    for (const auto& [name, format, mipmaps, bytes] : {std::tuple{"a", 0, true, 349525}, {"A", 0, false, 262144},
                                                       {"c", 1, false, 131072}, {"d", 2, false, 131072}}) {
        Texture::create(name, 256, 256, format, mipmaps);
        EXPECT_EQ(Texture::textureMemory(), total += bytes) << name;
    }
    EXPECT_NE(Texture::getD3DSurface("a").texture(), Texture::getD3DSurface("A").texture());
    EXPECT_EQ(std::pair(Texture::levelCount("a"), Texture::levelCount("A")), std::pair(9, 1));
    Texture::releaseAll();
    EXPECT_EQ(std::pair(Texture::exists("a"), Texture::textureMemory()), std::pair(false, 0));
}

// A registered render target replaces the entry (the old texture lives on for whoever
// holds it), counts no memory, has the target's enlarged size, and yields no texture
// once the target is gone. Releasing every entry then leaves nothing holding the device.
TEST_F(TextureTable, ARegisteredRenderTargetReplacesTheEntryAndCountsNoMemory)
{
    Texture::create("screen", 16, 16, 0, false);
    IDirect3DTexture8* old = Texture::getD3DSurface("screen").texture();
    const int before = Texture::textureMemory();
    d3dSimulation().powerOfTwoTextures = true;
    {
        RenderTarget target(100, 60, false, false);
        Texture::registerRenderTarget("screen", target);
        EXPECT_EQ(old->GetLevelCount(), 1u);
        const TextureEntry& entry = Texture::getD3DSurface("screen");
        EXPECT_EQ(std::tuple(entry.texture(), entry.format, entry.width, entry.height, target.width(),
                             target.height(), Texture::textureMemory()),
                  std::tuple(target.texture(), 3, 128, 64, 128, 64, before));
        Texture::release("screen");
        EXPECT_EQ(std::pair(Texture::exists("screen"), Texture::textureMemory()), std::pair(false, before));
        EXPECT_EQ(target.texture()->GetLevelCount(), 1u);  // the target's texture lives on
        Texture::registerRenderTarget("gone", target);
    }
    EXPECT_EQ(Texture::getD3DSurface("gone").texture(), nullptr);
    Texture::releaseAll();
    EXPECT_EQ(consoleOutput([] { restoreScreenMode(); }), "");
}

// ---------------------------------------------------------------------------- render targets

// Drawn into a target with its depth buffer, cleared blue: top half red, lower left
// quarter green, both nearer than a white quad drawn after them that shows in the lower
// right quarter only. Shown through the texture table it stands upright, and so it does
// again after a lost device, next to a managed texture.
TEST_F(RenderTargets, APictureDrawnIntoATargetShowsUprightThroughTheTextureTableAndAfterALostDevice)
{
    Surface image(1, 1);
    image.setPixel(0, 0, kGreen);
    Texture::createFromSurface("green", image, 0, true);
    RenderTarget target(64, 64, false, true);
    Texture::registerRenderTarget("rendertarget", target);
    for (int lost = 0; lost < 2; ++lost) {
        if (lost) {
            device()->simulateDeviceLoss();
            flip();  // releases, resets and restores
        }
        Camera camera;
        target.begin(camera);
        camera.clear(kBlue, true, true, 1.0f);
        plainStates(device());
        device()->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        drawQuad(device(), -1, 1, 1, 0, 0.3f, kRed);
        drawQuad(device(), -1, 0, 0, -1, 0.3f, kGreen);
        drawQuad(device(), -1, 1, 1, -1, 0.6f, kWhite);
        target.end(camera);
        drawTexture(Texture::getD3DSurface("rendertarget").texture());
        SCOPED_TRACE(lost);
        expectPixels(flipAndRead(), {{32, 5, kRed}, {5, 40, kGreen}, {60, 40, kWhite}});
    }
    drawTexture(Texture::getD3DSurface("green").texture());
    EXPECT_COLOR(flipAndRead().at(30, 30), kGreen);
}

// Inside a scene, begin closes it for the target's own and end opens it again; outside,
// the scene stays closed after end. In between the camera and viewport are the target's.
TEST_F(RenderTargets, BeginAndEndKeepTheSceneAsTheyFoundItAndAlphaNeedsAFormatWithAlpha)
{
    Camera camera;
    RenderTarget target(32, 16, false, false);
    const auto state = [&] {
        D3DVIEWPORT8 viewport;
        device()->GetViewport(&viewport);
        return std::tuple(Camera::sceneOpen(), camera.screenWidth, viewport.Width, viewport.Height);
    };
    for (bool inScene : {true, false}) {
        if (inScene)
            camera.beginScene();
        target.begin(camera);
        EXPECT_EQ(state(), std::tuple(true, 32, 32u, 16u));
        target.end(camera);
        EXPECT_EQ(state(), std::tuple(inScene, 64, 64u, 48u));
        if (inScene)
            camera.endScene();
        else
            EXPECT_EQ(device()->EndScene(), D3DERR_INVALIDCALL);  // the device agrees
    }
    // Alpha takes the first format with alpha and is refused where no format has it.
    const RenderTarget alpha(16, 16, true, true);
    EXPECT_EQ(std::pair(alpha.colorFormat(), alpha.depthFormat()), std::pair(D3DFMT_A8R8G8B8, D3DFMT_D24S8));
    d3dSimulation().restrictRenderTargets = true;
    d3dSimulation().renderTargetFormats = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5};
    openScreen(64, 48);  // the driver's lists are built after the dialog
    for (bool depth : {false, true}) {
        EXPECT_FATAL(RenderTarget(64, 64, true, depth),
                     "RenderTarget: couldn't find suitable render target format. try some other screen mode. 32 bit "
                     "modes might work better. or then the card doesn't support rendering to textures.");
    }
    EXPECT_EQ(RenderTarget(64, 64, false, true).colorFormat(), D3DFMT_X8R8G8B8);
}

}  // namespace
}  // namespace mirva::test
