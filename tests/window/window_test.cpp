// A real window: the device in an SDL window presents cleared frames, read back from what
// the X server shows in the window, and the driver runs in one. ctest runs this under a
// virtual X display (xvfb-run); without any display it skips.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "platform/d3d8/window.h"
#include "tests/support/graphics.h"
#include "tests/window/window_contents.h"

namespace mirva::test {
namespace {

Picture windowContents(const SdlWindow& window)
{
    Picture picture{window.clientWidth(), window.clientHeight(), {}};
    std::string error;
    picture.pixels = windowPixels(window.sdlWindow(), picture.width, picture.height, error);
    if (picture.pixels.empty())
        ADD_FAILURE() << error;
    return picture;
}

TEST(WindowedDevice, PresentsClearedFramesInTheWindowAndTheDriverRunsInOne)
{
    std::string reason;
    std::unique_ptr<SdlWindow> window = SdlWindow::create("mirva window test", 160, 120, reason);
    if (!window)
        GTEST_SKIP() << "no X display to open a window on (" << reason << ")";
    IDirect3D8* d3d = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DPRESENT_PARAMETERS p;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    IDirect3DDevice8* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, window.get(), D3DCREATE_SOFTWARE_VERTEXPROCESSING, &p, &device),
              D3D_OK);
    EXPECT_EQ(std::pair(p.BackBufferWidth, p.BackBufferHeight), std::pair(160u, 120u));  // the window's client area
    for (D3DCOLOR color : {0xFFFF0000u, 0xFF00FF00u, 0xFF2040C0u}) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        const Picture picture = windowContents(*window);
        EXPECT_COLOR(picture.at(0, 0), color);
        EXPECT_COLOR(picture.at(159, 119), color);
        EXPECT_COLOR(frontBuffer(device).at(80, 60), color);
    }
    // The top row stays on top on the way into the window.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DRECT top{0, 0, 160, 10};
    device->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);
    const Picture picture = windowContents(*window);
    EXPECT_COLOR(picture.at(80, 2), 0xFFFFFFFFu);
    EXPECT_COLOR(picture.at(80, 117), 0xFF000000u);
    EXPECT_EQ(device->Release(), 0u);
    EXPECT_EQ(d3d->Release(), 0u);

    // The driver in the same window: a camera over its right half.
    bool realtime = false;
    ASSERT_TRUE(selectScreenMode(realtime, false));
    ASSERT_TRUE(setScreenMode(window.get()));
    EXPECT_EQ(std::pair(screenWidth(), screenHeight()), std::pair(160, 120));
    Camera camera;
    camera.left = 0.5f;
    Camera().clear(0xFF000000, true, true, 1.0f);
    camera.clear(0xFF00FFFF, true, true, 1.0f);
    flip();
    const Picture halves = windowContents(*window);
    EXPECT_COLOR(halves.at(79, 60), 0xFF000000u);
    EXPECT_COLOR(halves.at(80, 60), 0xFF00FFFFu);
    restoreScreenMode();
}

}  // namespace
}  // namespace mirva::test
