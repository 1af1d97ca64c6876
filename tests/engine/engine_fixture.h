#pragma once
// The process-wide display driver with a screen mode set in a headless window: the
// screen selection is chosen by code (the dialog's remembered selection), as the
// program does without its dialog.
#include <string>

#include <gtest/gtest.h>

#include "engine/dx_driver.h"
#include "platform/d3d8/window.h"
#include "tests/platform/pixels.h"

namespace mirva::test {

// The driver's settings: "window" or "full", the display mode, the back-buffer and depth
// formats and the number of back buffers, as in "full 800x600 X8R8G8B8 75Hz, X8R8G8B8 D24S8 x2".
std::string driverSettings();

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { openScreen(64, 48); }
    void TearDown() override;
    // Runs selectScreenMode with `selection` and sets the mode in the test's window.
    void openScreen(int width, int height, const ScreenSelection& selection = {});
    // Presents the frame and reads it back.
    Picture flipAndRead();
    // Draws `texture` over the whole viewport (identity transforms, no depth test).
    void drawTexture(IDirect3DTexture8* texture);

    IDirect3DDevice8* device() const { return dxDriver().device(); }
    HeadlessWindow window_{64, 48};
};

}  // namespace mirva::test
