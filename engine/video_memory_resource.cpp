#include "engine/video_memory_resource.h"

#include <set>
#include <vector>

#include "engine/engine_state.h"
#include "io/console.h"

namespace mirva {

namespace {

EngineState::VideoMemory& registry()
{
    return engineState().videoMemory;
}

}  // namespace

VideoMemoryResource::VideoMemoryResource()
{
    registry().resources.insert(this);
    ++registry().count;
}

VideoMemoryResource::~VideoMemoryResource() noexcept(false)
{
    EngineState::VideoMemory& r = registry();
    if (r.resources.erase(this) == 0)
        Console::fatal("Internal error - video memory resource doesn't exist");
    --r.count;
    if (r.count == 0 && !r.resources.empty())
        Console::fatal("Internal error - not all video memory resources freed");
}

void VideoMemoryResource::releaseAll()
{
    // A copy: a resource may construct or destroy others while it works.
    const std::vector<VideoMemoryResource*> all(registry().resources.begin(), registry().resources.end());
    for (VideoMemoryResource* resource : all)
        resource->releaseVideoMemory();
}

void VideoMemoryResource::restoreAll()
{
    const std::vector<VideoMemoryResource*> all(registry().resources.begin(), registry().resources.end());
    for (VideoMemoryResource* resource : all)
        resource->restoreVideoMemory();
}

std::size_t VideoMemoryResource::registeredCount()
{
    return registry().resources.size();
}

}  // namespace mirva
