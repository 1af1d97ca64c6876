#pragma once
// The headless screen of a benchmark program: a screen mode set once, in the size the
// first caller asks for, for the whole run. Primitives and textures need it.
#include "engine/dx_driver.h"
#include "platform/d3d8/window.h"

namespace mirva {

inline void openHeadlessScreen(int width, int height)
{
    static HeadlessWindow window(width, height);
    static const bool ready = [] {
        bool realtime = false;
        selectScreenMode(realtime, false);
        return setScreenMode(&window);
    }();
    (void)ready;
}

}  // namespace mirva
