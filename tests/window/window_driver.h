#pragma once
// Tests that run the built `mirva` on the (virtual) X display and drive it as a user
// would: its windows found by their titles, keys typed through xdotool, and what the X
// server shows read back. Skipped, saying why, where there is no display or no xdotool.
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/graphics.h"
#include "tests/support/run.h"

namespace mirva::test {

// Whether the pixels near two opposite corners have `color`.
bool corner(const Picture& p, std::uint32_t color);

class WindowDriverTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Finds a window whose title matches the regular expression `title` (whose class
    // matches it too when `andClass`), waiting for it to be shown; 0 when it does not come.
    unsigned long findWindow(const std::string& title, bool andClass);
    std::string windowTitle(unsigned long window);
    // Gives the keyboard focus to the window, then types `keys` (xdotool key names).
    void type(unsigned long window, const std::string& keys);
    void focus(unsigned long window) { type(window, ""); }
    Picture shot(unsigned long window);
    // Reads the window until `shows` holds for what it shows, for at most `seconds`.
    bool waitFor(unsigned long window, double seconds, const std::function<bool(const Picture&)>& shows);
    // What the test saw last, and what mirva printed, for a failure message.
    std::string seen();

    TempDir dir_;
    std::unique_ptr<MirvaProcess> mirva_;
    Picture last_;
};

}  // namespace mirva::test
