// Cameras: the rectangle and its viewport and clears, depth modes, projection, the scene
// flag and the device states a camera sets.
#include <array>

#include <gtest/gtest.h>

#include "engine/camera.h"
#include "engine/texture.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

using Cameras = EngineTest;

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlack = 0xFF000000;

// The device's viewport and ambient light.
std::array<DWORD, 5> viewportAndAmbient()
{
    D3DVIEWPORT8 v;
    DWORD ambient = 0;
    dxDriver().device()->GetViewport(&v);
    dxDriver().device()->GetRenderState(D3DRS_AMBIENT, &ambient);
    return {v.X, v.Y, v.Width, v.Height, ambient};
}

// A camera's rectangle, cut to whole pixels, is its viewport (with the ambient light
// without alpha) and all that it clears. A clear of neither buffer, or through a
// rectangle a script squeezed to nothing, changes neither the frame nor the viewport.
TEST_F(Cameras, TheRectangleCutToWholePixelsIsTheViewportAndAllThatIsCleared)
{
    Camera camera, empty;  // 64 x 48
    camera.left = 0.1f;    // 6.4
    camera.top = 0.25f;    // 12
    camera.right = 0.55f;  // 35.2: (0.55 - 0.1) * 64 = 28.8 wide
    camera.bottom = 0.9f;  // 43.2: 31.2 high
    camera.ambient = 0x80112233;
    empty.right = 0.5f / 64.0f;  // half a pixel wide
    Camera().clear(kBlack, true, false, 1.0f);
    camera.clear(kGreen, true, false, 1.0f);
    EXPECT_EQ(viewportAndAmbient(), (std::array<DWORD, 5>{6, 12, 28, 31, 0x00112233}));
    Camera().clear(kRed, false, false, 1.0f);
    empty.clear(kRed, true, true, 1.0f);
    EXPECT_EQ(viewportAndAmbient(), (std::array<DWORD, 5>{6, 12, 28, 31, 0x00112233}));
    expectPixels(flipAndRead(), {{5, 20, kBlack}, {6, 12, kGreen}, {6, 11, kBlack}, {33, 42, kGreen},
                                 {34, 42, kBlack}, {33, 43, kBlack}, {0, 0, kBlack}});
}

// Two overlapping quads, the nearer one drawn first, through a camera's depth mode.
TEST_F(Cameras, DepthModesDecideWhetherTheNearerQuadHidesTheFartherAndTheSceneFlagFollows)
{
    for (const auto& [mode, clearDepth, expected] :
         {std::tuple{+Camera::DEPTH_TEST_AND_WRITE, 1.0f, kRed},
          {+Camera::DEPTH_TEST, 1.0f, kGreen},  // the near one wrote no depth
          {+Camera::DEPTH_TEST, 0.0f, kBlack},  // nothing passes a depth of 0
          {+Camera::NO_DEPTH, 0.0f, kGreen},    // no test at all
          {5, 0.0f, kGreen}}) {                 // unknown: the states as they were (off)
        Camera camera;
        camera.depthMode = mode;
        camera.clear(kBlack, true, true, clearDepth);
        plainStates(device());  // depth test off
        camera.beginScene();    // sets the depth states of its mode
        drawQuad(device(), -1, 1, 1, -1, 0.2f, kRed);
        drawQuad(device(), -1, 1, 1, -1, 0.8f, kGreen);
        camera.endScene();
        EXPECT_COLOR(flipAndRead().at(30, 30), expected) << "mode " << mode << " depth " << clearDepth;
    }
    // The scene flag follows begin and end; beginning or ending twice ends the program.
    Camera camera;
    EXPECT_FALSE(Camera::sceneOpen());
    camera.beginScene();
    EXPECT_TRUE(Camera::sceneOpen());
    EXPECT_FATAL(camera.beginScene(), "DirectX error - Camera: direct3d->BeginScene  D3DERR_INVALIDCALL");
    camera.endScene();
    EXPECT_FALSE(Camera::sceneOpen());
    EXPECT_FATAL(camera.endScene(), "DirectX error - Camera: device->EndScene  D3DERR_INVALIDCALL");
}

// With a vertical field of view of 90 degrees: 1 / tan(pi / 4) = 1 across, depth
// q = far / (far - near) = 100 / 99.9. A depth offset d scales every element but the depth
// translation by 1 - d near the camera (translation length L shorter than 1), farther by
// (L - d) / L: the screen position stays, the depth nears.
TEST_F(Cameras, ADepthOffsetScalesTheProjectionButNotItsDepthTranslation)
{
    Camera camera;
    camera.verticalFov = 1.5707964f;
    const D3DMATRIX expected{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1.001001f, 1}, {0, 0, -0.1001001f, 0}}};
    for (const auto& [length, factor] : {std::pair{0.0f, 1.0f}, std::pair{0.5f, 0.5f}, std::pair{4.0f, 0.875f}}) {
        const D3DMATRIX m = camera.projection(length > 0 ? 0.5f : 0.0f, length);
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(m.m[i / 4][i % 4], expected.m[i / 4][i % 4] * (i == 14 ? 1.0f : factor), 1e-6)
                << length << " " << i;
    }
}

TEST(CameraWithoutScreen, CanBeMadeButDrawingEndsTheProgram)
{
    restoreScreenMode();
    Camera camera;  // loading a script makes its camera before any screen mode
    EXPECT_FATAL(camera.beginScene(), "DXDriver - screen mode must be set before drawing");
    EXPECT_FATAL(camera.clear(0, true, false, 1.0f), "DXDriver - screen mode must be set before drawing");
    EXPECT_FATAL(Texture::create("early", 4, 4, 0, false), "DXDriver - screen mode must be set before drawing");
    EXPECT_FALSE(Texture::exists("early"));
}

}  // namespace
}  // namespace mirva::test
