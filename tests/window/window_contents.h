#pragma once
// Reads what the X server shows in a window (kept apart from the tests: X11's macros
// clash with GoogleTest's names).
#include <cstdint>
#include <string>
#include <vector>

namespace mirva::test {

// 0xFFRRGGBB pixels of an X window on the display of $DISPLAY (another process's window,
// by its id), whole and top row first: its size comes back in `width` and `height`.
std::vector<std::uint32_t> xWindowPixels(unsigned long window, int& width, int& height, std::string& error);

// Why windows cannot be typed at here (no display to open them on, no xdotool); empty
// when they can.
std::string whyNoTyping();

// Takes the keyboard focus away from every window, as when the user turns to another
// program.
bool xFocusNowhere(std::string& error);

}  // namespace mirva::test
