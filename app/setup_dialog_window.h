#pragma once
// The setup dialog's window: "come on my selector" in an SDL2 window of its own, drawn
// with Dear ImGui. It only shows a SetupDialog (engine/setup_dialog.h) and passes the
// user's picks to it: a list entry chosen, the check box clicked, "on" or Enter to
// accept, Escape or the close box to cancel.
#include "engine/dx_driver.h"

namespace mirva {

// Runs the dialog until the user accepts (true) or cancels (false). Fits
// DXDriver::setSetupDialog. Without a display to open the window on, the program ends
// with a message saying so.
bool runSetupDialogWindow(DXDriver& driver, bool preferFullScreen);

// Where the dialog draws its controls, in pixels of the window (for tests that click).
struct SetupDialogLayout {
    static constexpr int kWidth = 560, kHeight = 262;
    static constexpr int kMargin = 8;
    static constexpr int kListX = 132;
    static constexpr int kListWidth = kWidth - kListX - kMargin;
    static constexpr int kRowHeight = 26;
    // Top of row r: the seven lists, then the check box (row 7), then "on" (row 8).
    static constexpr int rowTop(int row) { return kMargin + row * kRowHeight; }
};

}  // namespace mirva
