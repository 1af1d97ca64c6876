#pragma once
// Reads what the X server shows in a window (kept apart from the tests: X11's macros
// clash with GoogleTest's names).
#include <cstdint>
#include <string>
#include <vector>

namespace mirva::test {

// 0xFFRRGGBB pixels of the window's client area, top row first; empty with the reason
// in `error` when the window is not an X11 window.
std::vector<std::uint32_t> windowPixels(void* sdlWindow, int width, int height, std::string& error);

}  // namespace mirva::test
