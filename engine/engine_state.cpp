#include "engine/engine_state.h"

#include "engine/video_memory_resource.h"

namespace mirva {

EngineState& engineState()
{
    // Never destroyed (see the header).
    static EngineState* const state = new EngineState;
    return *state;
}

void shutDownEngine()
{
    Texture::releaseAll();
    EngineState& state = engineState();
    // A frame cut short by an error someone caught may have left its scene open.
    if (state.sceneOpen && state.driver && state.driver->device())
        state.driver->device()->EndScene();
    state.sceneOpen = false;
    state.penX0 = state.penY0 = 0.0f;
}

}  // namespace mirva
