// Cameras: the rectangle and its viewport and clears, depth modes, projection, the scene
// flag and the device states a camera sets.
#include <cmath>

#include <gtest/gtest.h>

#include "engine/camera.h"
#include "engine/texture.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

using Cameras = EngineTest;

constexpr D3DCOLOR kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlack = 0xFF000000;

TEST_F(Cameras, ARectangleOfTheScreenIsTheViewportAndAllThatIsCleared)
{
    openScreen(640, 480);
    Camera whole;
    whole.clear(kBlack, true, true, 1.0f);
    Camera half;
    half.left = 0.5f;
    half.clear(kRed, true, false, 1.0f);
    D3DVIEWPORT8 viewport;
    device()->GetViewport(&viewport);
    EXPECT_EQ(viewport.X, 320u);
    EXPECT_EQ(viewport.Y, 0u);
    EXPECT_EQ(viewport.Width, 320u);
    EXPECT_EQ(viewport.Height, 480u);
    const Picture picture = flipAndRead();
    EXPECT_COLOR(picture.at(319, 0), kBlack);
    EXPECT_COLOR(picture.at(320, 0), kRed);
    EXPECT_COLOR(picture.at(639, 479), kRed);
    EXPECT_COLOR(picture.at(0, 479), kBlack);
}

TEST_F(Cameras, FractionsOfPixelsAreCutOff)
{
    Camera camera;  // 64 x 48
    camera.left = 0.1f;    // 6.4
    camera.top = 0.25f;    // 12
    camera.right = 0.55f;  // 35.2
    camera.bottom = 0.9f;  // 43.2
    Camera().clear(kBlack, true, false, 1.0f);
    camera.clear(kGreen, true, false, 1.0f);
    D3DVIEWPORT8 viewport;
    device()->GetViewport(&viewport);
    EXPECT_EQ(viewport.X, 6u);
    EXPECT_EQ(viewport.Y, 12u);
    EXPECT_EQ(viewport.Width, 28u);   // (0.55 - 0.1) * 64 = 28.8
    EXPECT_EQ(viewport.Height, 31u);  // (0.9 - 0.25) * 48 = 31.2
    const Picture picture = flipAndRead();
    EXPECT_COLOR(picture.at(5, 20), kBlack);
    EXPECT_COLOR(picture.at(6, 12), kGreen);
    EXPECT_COLOR(picture.at(6, 11), kBlack);
    EXPECT_COLOR(picture.at(33, 42), kGreen);
    EXPECT_COLOR(picture.at(34, 42), kBlack);  // beyond the viewport's 28 pixels
    EXPECT_COLOR(picture.at(33, 43), kBlack);
}

TEST_F(Cameras, ClearWithNeitherFlagChangesNothingNotEvenTheViewport)
{
    device()->Clear(0, nullptr, D3DCLEAR_TARGET, kGreen, 1.0f, 0);
    const D3DVIEWPORT8 before{1, 2, 30, 20, 0, 1};
    device()->SetViewport(&before);
    Camera camera;
    camera.clear(kRed, false, false, 1.0f);
    D3DVIEWPORT8 after;
    device()->GetViewport(&after);
    EXPECT_EQ(after.X, 1u);
    EXPECT_EQ(after.Width, 30u);
    EXPECT_COLOR(flipAndRead().at(10, 10), kGreen);
}

// Two overlapping quads, the nearer one drawn first, through a camera's depth mode.
std::uint32_t nearThenFar(EngineTest& test, int depthMode, float clearDepth)
{
    Camera camera;
    camera.depthMode = depthMode;
    camera.clear(kBlack, true, true, clearDepth);
    IDirect3DDevice8* device = dxDriver().device();
    plainStates(device);
    camera.beginScene();  // sets the depth states of its mode
    drawQuad(device, -1, 1, 1, -1, 0.2f, kRed);
    drawQuad(device, -1, 1, 1, -1, 0.8f, kGreen);
    camera.endScene();
    (void)test;
    dxDriver().flip();
    return frontBuffer(device).at(30, 30);
}

TEST_F(Cameras, DepthModesDecideWhetherTheNearerQuadHidesTheFarther)
{
    EXPECT_COLOR(nearThenFar(*this, Camera::DEPTH_TEST_AND_WRITE, 1.0f), kRed);
    EXPECT_COLOR(nearThenFar(*this, Camera::DEPTH_TEST, 1.0f), kGreen);  // the near one wrote no depth
    EXPECT_COLOR(nearThenFar(*this, Camera::DEPTH_TEST, 0.0f), kBlack);  // nothing passes a depth of 0
    EXPECT_COLOR(nearThenFar(*this, Camera::NO_DEPTH, 0.0f), kGreen);    // no test at all
}

TEST_F(Cameras, AnUnknownDepthModeLeavesTheDepthStatesAlone)
{
    device()->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device()->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    Camera camera;
    camera.depthMode = 5;
    camera.setViewport();
    DWORD enable = 9, write = 9;
    device()->GetRenderState(D3DRS_ZENABLE, &enable);
    device()->GetRenderState(D3DRS_ZWRITEENABLE, &write);
    EXPECT_EQ(enable, static_cast<DWORD>(D3DZB_FALSE));
    EXPECT_EQ(write, static_cast<DWORD>(TRUE));
}

TEST_F(Cameras, AmbientGoesToTheDeviceWithoutAlpha)
{
    Camera camera;
    camera.ambient = 0x80112233;
    camera.setViewport();
    DWORD ambient = 0;
    device()->GetRenderState(D3DRS_AMBIENT, &ambient);
    EXPECT_EQ(ambient, 0x00112233u);
}

TEST_F(Cameras, ConstructionSetsThePointAndAlphaStates)
{
    Camera camera;
    DWORD value = 0;
    device()->GetRenderState(D3DRS_ALPHAFUNC, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DCMP_GREATEREQUAL));
    device()->GetRenderState(D3DRS_POINTSPRITEENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
    device()->GetRenderState(D3DRS_DITHERENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    device()->GetRenderState(D3DRS_POINTSIZE_MAX, &value);
    EXPECT_EQ(bitsFloat(value), std::max(dxDriver().caps().MaxPointSize, 64.0f));
    device()->GetRenderState(D3DRS_POINTSIZE_MIN, &value);
    EXPECT_EQ(bitsFloat(value), 1.0f);
    device()->GetRenderState(D3DRS_POINTSCALE_C, &value);
    EXPECT_EQ(bitsFloat(value), 1.0f);
    device()->GetRenderState(D3DRS_POINTSCALE_A, &value);
    EXPECT_EQ(bitsFloat(value), 0.0f);
}

TEST_F(Cameras, TheVerticalFieldOfViewFollowsTheScreensShape)
{
    openScreen(640, 480);
    const Camera camera;
    EXPECT_NEAR(camera.verticalFov, 2.0 * std::atan(0.75), 1e-6);  // about 1.287
    EXPECT_NEAR(camera.verticalFov, 1.287, 1e-3);
    EXPECT_FLOAT_EQ(camera.horizontalFov, 1.5707964f);
}

TEST_F(Cameras, ProjectionAndItsDepthOffset)
{
    Camera camera;
    camera.verticalFov = 1.5707964f;
    const D3DMATRIX m = camera.projection();
    // 1 / tan(pi / 4) = 1; q = 100 / 99.9.
    EXPECT_NEAR(m.m[0][0], 1.0, 1e-6);
    EXPECT_NEAR(m.m[1][1], 1.0, 1e-6);
    EXPECT_NEAR(m.m[2][2], 1.001001, 1e-6);
    EXPECT_EQ(m.m[2][3], 1.0f);
    EXPECT_NEAR(m.m[3][2], -0.1001001, 1e-7);
    EXPECT_EQ(m.m[3][3], 0.0f);
    EXPECT_EQ(m.m[0][1], 0.0f);
    // Near the camera (translation shorter than 1) the factor is 1 - d; farther, (L - d) / L.
    const D3DMATRIX near = camera.projection(0.5f, 0.5f);
    EXPECT_NEAR(near.m[0][0], 0.5, 1e-6);
    EXPECT_NEAR(near.m[2][3], 0.5, 1e-6);
    EXPECT_NEAR(near.m[3][2], -0.1001001, 1e-7);  // not scaled
    const D3DMATRIX far = camera.projection(0.5f, 4.0f);
    EXPECT_NEAR(far.m[1][1], 0.875, 1e-6);
    EXPECT_NEAR(far.m[2][2], 1.001001 * 0.875, 1e-6);
}

TEST_F(Cameras, ADepthOffsetMovesDepthButNotTheScreenPosition)
{
    Camera camera;
    const D3DMATRIX plain = camera.projection();
    const D3DMATRIX moved = camera.projection(0.5f, 4.0f);
    const float p[4] = {0.7f, -0.3f, 4.0f, 1.0f};
    const auto transform = [&](const D3DMATRIX& m) {
        float r[4] = {};
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r[j] += p[k] * m.m[k][j];
        return std::array<float, 3>{r[0] / r[3], r[1] / r[3], r[2] / r[3]};
    };
    const auto a = transform(plain), b = transform(moved);
    EXPECT_NEAR(a[0], b[0], 1e-6);
    EXPECT_NEAR(a[1], b[1], 1e-6);
    EXPECT_LT(b[2], a[2]);  // nearer
}

TEST_F(Cameras, TheViewIsThePlacementsInverse)
{
    Camera camera;
    // Turned a quarter about y (looking along +x) and standing at (-5, 1, 0).
    camera.placement.m[0][0] = 0, camera.placement.m[0][2] = -1;
    camera.placement.m[2][0] = 1, camera.placement.m[2][2] = 0;
    camera.placement.m[3][0] = -5, camera.placement.m[3][1] = 1;
    camera.view = camera.placement.rigidInverse();
    const D3DMATRIX product = [&] {
        const D3DMATRIX a = matrixOf(camera.placement), b = matrixOf(camera.view);
        D3DMATRIX r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                for (int k = 0; k < 4; ++k)
                    r.m[i][j] += a.m[i][k] * b.m[k][j];
        return r;
    }();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(product.m[i][j], i == j ? 1.0 : 0.0, 1e-6);
    // The world's origin lies 5 ahead of the camera and 1 below it.
    EXPECT_NEAR(camera.view.m[3][0], 0.0, 1e-6);
    EXPECT_NEAR(camera.view.m[3][1], -1.0, 1e-6);
    EXPECT_NEAR(camera.view.m[3][2], 5.0, 1e-6);
}

TEST_F(Cameras, TheSceneFlagFollowsBeginAndEnd)
{
    Camera camera;
    EXPECT_FALSE(Camera::sceneOpen());
    camera.beginScene();
    EXPECT_TRUE(Camera::sceneOpen());
    EXPECT_FATAL(camera.beginScene(), "DirectX error - Camera: direct3d->BeginScene  D3DERR_INVALIDCALL");
    camera.endScene();
    EXPECT_FALSE(Camera::sceneOpen());
    EXPECT_FATAL(camera.endScene(), "DirectX error - Camera: device->EndScene  D3DERR_INVALIDCALL");
}

// A script may squeeze an instance's Viewport to nothing; that instance then draws and
// clears nothing instead of ending the program.
TEST_F(Cameras, AnEmptyRectangleKeepsTheViewportAndClearsNothing)
{
    Camera whole;
    whole.clear(kGreen, true, true, 1.0f);
    Camera empty;
    empty.left = 0.25f;
    empty.right = 0.25f + 0.5f / 64.0f;   // half a pixel wide
    EXPECT_FALSE(empty.coversPixels());
    empty.setViewport();
    D3DVIEWPORT8 viewport;
    device()->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 64u);
    empty.clear(kRed, true, true, 1.0f);
    const Picture picture = flipAndRead();
    EXPECT_COLOR(picture.at(16, 10), kGreen);
    EXPECT_TRUE(whole.coversPixels());
}

}  // namespace
}  // namespace mirva::test

namespace mirva::test {
namespace {

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
