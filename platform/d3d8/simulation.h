#pragma once
// Settings that make the layer answer like a lesser card, so that the engine's fallbacks
// and limits can be exercised on any machine, and counters of what was drawn. Settings
// take effect at the next check or creation. Tests and benchmarks use them; the program
// never does.
#include <vector>

#include "platform/d3d8/d3d8_types.h"

namespace mirva {

struct D3DSimulation {
    // When true, CheckDeviceFormat admits only `renderTargetFormats` for render targets.
    bool restrictRenderTargets = false;
    std::vector<D3DFORMAT> renderTargetFormats;
    // When true, the capabilities report D3DPTEXTURECAPS_POW2: texture sizes must be
    // powers of two, so the utility library enlarges other sizes.
    bool powerOfTwoTextures = false;
    // When above 0, the capabilities give this as the largest texture width and height
    // instead of what OpenGL reports.
    DWORD largestTexture = 0;
    // When true, the adapter lists `modes` with `desktop` as its desktop mode instead of
    // those of the screen (or the fixed headless list).
    bool replaceModes = false;
    std::vector<D3DDISPLAYMODE> modes;
    D3DDISPLAYMODE desktop{};
    // When true, no back-buffer format is offered for windowed use, as on a desktop whose
    // format a window cannot be rendered in.
    bool noWindowedBackBuffers = false;
};

D3DSimulation& d3dSimulation();

// What the devices have drawn since the counters were last set to zero: draw calls that
// reached OpenGL and the primitives (points, lines, triangles) they asked for.
struct D3DStatistics {
    unsigned long drawCalls = 0;
    unsigned long primitives = 0;
};

D3DStatistics& d3dStatistics();

}  // namespace mirva
