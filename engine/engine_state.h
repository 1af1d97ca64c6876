#pragma once
// EngineState: everything the engine keeps for the whole process, in one place.
//
//   driver        the display driver behind dxDriver(): screen mode, device, capabilities
//   runtime       the Direct3D object and its adapters, shared by every driver instance
//   setupDialog   the window that selectScreenMode shows (none: its opening choices)
//   textures      the texture table behind Texture::...
//   videoMemory   the resources of the device's default pool, rebuilt after a reset
//   sceneOpen     whether a scene is open, between Camera::beginScene and endScene
//   penX0, penY0  where the last anchored text started; every font goes on from there
//
// Lifetime: the state is made on first use and never destroyed, because the fatal-error
// path may run after static destruction has begun. What one build of a show holds (its
// textures, the open scene, the pen) is given back by shutDownEngine, which the program
// calls whenever it takes a show down (a rebuild after F1 or a resize, a reload, the end),
// so the next build starts from nothing. The driver and the Direct3D object stay: the
// screen mode is set and given back by the driver itself (setScreenMode and
// restoreScreenMode).
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/dx_driver.h"
#include "engine/texture.h"

namespace mirva {

class VideoMemoryResource;

struct EngineState {
    struct Runtime {
        IDirect3D8* direct3d = nullptr;
        std::vector<D3DADAPTER_IDENTIFIER8> adapters;
        int instances = 0;  // driver instances that hold the Direct3D object
    };
    struct TextureTable {
        std::map<std::string, TextureEntry> entries;  // names compared byte by byte
        std::int64_t memory = 0;  // a few of the largest textures pass INT_MAX
        // Owned textures whose entries a registered render target replaced: users of the
        // old entry may still draw with them, so they live until Texture::releaseAll.
        std::vector<IDirect3DTexture8*> replaced;
    };
    struct VideoMemory {
        std::set<VideoMemoryResource*> resources;
        std::size_t count = 0;  // constructed and not yet destroyed
    };

    std::unique_ptr<DXDriver> driver;
    Runtime runtime;
    DXDriver::SetupDialogRunner setupDialog;
    TextureTable textures;
    VideoMemory videoMemory;
    bool sceneOpen = false;
    float penX0 = 0.0f, penY0 = 0.0f;
};

// The one state of the process.
EngineState& engineState();

// Gives back what a show's build holds: every texture (also those of replaced entries),
// the open-scene flag and the text pen. The driver keeps its screen mode.
void shutDownEngine();

}  // namespace mirva
