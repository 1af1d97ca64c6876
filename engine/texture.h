#pragma once
// The texture table: textures shared by name with reference counts.
//
// The first `load` (or `create`) of a name makes the texture, later ones only count a
// reference, and `release` destroys it with the last one. Render targets register the
// texture they draw into under a name, so that the result of an earlier pass is used
// like any file texture. `textureMemory` is the running total of what the owned
// textures take (the info overlay shows it). Textures live in the managed pool: a
// device reset leaves them valid.
#include <string>

#include "io/surface.h"
#include "platform/d3d8/d3d8.h"

namespace mirva {

class RenderTarget;

struct TextureEntry {
    enum Format { A8R8G8B8 = 0, R5G6B5 = 1, A4R4G4B4 = 2, RENDER_TARGET = 3 };

    int referenceCount = 1;
    int memorySize = 0;  // bytes counted in textureMemory
    int format = A8R8G8B8;
    int width = 0, height = 0;  // as requested

    // The Direct3D texture: the owned one, or the registered render target's current
    // one (null when that render target no longer exists).
    IDirect3DTexture8* texture() const;

private:
    friend class Texture;
    IDirect3DTexture8* owned_ = nullptr;
    RenderTarget* renderTarget_ = nullptr;
};

class Texture {
public:
    // Format codes: 0 A8R8G8B8, 1 R5G6B5, 2 A4R4G4B4. A size beyond the device's largest
    // texture ends the program with a message naming the texture.
    static void load(const std::string& name, int format, bool mipmaps);
    static void createFromSurface(const std::string& name, const Surface& surface, int format, bool mipmaps);
    static void create(const std::string& name, int width, int height, int format, bool mipmaps);
    // Replaces any entry of that name. A texture of the old entry stays valid (users of
    // that entry may still draw with it) until releaseAll.
    static void registerRenderTarget(const std::string& name, RenderTarget& target);
    // Points the entry of a registered render target at another target, keeping its
    // reference count: the users that took the name keep their references while its owner
    // draws into a pair of targets in turn. Without such an entry, registers the target.
    static void showRenderTarget(const std::string& name, RenderTarget& target);
    static void release(const std::string& name);
    // Releases every owned texture, also those of replaced entries; the total becomes 0.
    static void releaseAll();
    static const TextureEntry& getD3DSurface(const std::string& name);
    // Locks a whole mip level for writing; returns its first byte and the row pitch.
    static void* lock(const std::string& name, int level, int& pitch);
    static void unlock(const std::string& name, int level);
    static int levelCount(const std::string& name);

    // Bytes, at most INT_MAX.
    static int textureMemory();
    static bool exists(const std::string& name);
    // A render target going away: entries registered for it yield no texture from now on.
    static void forgetRenderTarget(const RenderTarget& target);

private:
    // Creates a texture and enters it with one reference.
    static TextureEntry& enter(const std::string& name, int width, int height, int format, bool mipmaps);
};

// The memory a texture of this format code and size takes, with or without mipmaps.
int textureMemorySize(int format, int width, int height, bool mipmaps);

}  // namespace mirva
