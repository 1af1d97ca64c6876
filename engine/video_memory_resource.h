#pragma once
// VideoMemoryResource: an object whose Direct3D objects live in the device's default
// pool, so they must be released before and recreated after a device reset (a lost
// device, seen by DXDriver::flip). Every live instance is in one process-wide registry,
// entered on construction and left on destruction.
#include <cstddef>

namespace mirva {

class VideoMemoryResource {
public:
    VideoMemoryResource();
    // Leaving the registry checks its bookkeeping; a fault there is fatal.
    virtual ~VideoMemoryResource() noexcept(false);
    VideoMemoryResource(const VideoMemoryResource&) = delete;
    VideoMemoryResource& operator=(const VideoMemoryResource&) = delete;

    // Frees every default-pool Direct3D object.
    virtual void releaseVideoMemory() = 0;
    // Creates them again.
    virtual void restoreVideoMemory() = 0;

    // Every registered resource in the registry's order.
    static void releaseAll();
    static void restoreAll();
    static std::size_t registeredCount();
};

}  // namespace mirva
