#include "engine/texture.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <vector>

#include "engine/dx_driver.h"
#include "engine/engine_state.h"
#include "engine/render_target.h"
#include "io/console.h"
#include "platform/d3d8/d3dx8.h"

namespace mirva {

namespace {

EngineState::TextureTable& table()
{
    return engineState().textures;
}

D3DFORMAT d3dFormat(int format, const std::string& name)
{
    switch (format) {
    case TextureEntry::A8R8G8B8: return D3DFMT_A8R8G8B8;
    case TextureEntry::R5G6B5: return D3DFMT_R5G6B5;
    case TextureEntry::A4R4G4B4: return D3DFMT_A4R4G4B4;
    default: Console::fatal(formatText("Texture: unknown format code %d for '%s'", format, name.c_str()));
    }
}

}  // namespace

TextureEntry& Texture::enter(const std::string& name, int width, int height, int format, bool mipmaps)
{
    const D3DFORMAT d3d = d3dFormat(format, name);
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    // The utility library would quietly cut a larger size down to what the device takes,
    // leaving an image that no longer matches its texture; such a size is refused here.
    const int largestWidth = dxDriver().largestTextureWidth(), largestHeight = dxDriver().largestTextureHeight();
    if (width < 1 || height < 1)
        DXDriver::fatalError("Texture: '%s' would be %d x %d pixels; a texture has at least 1 x 1", name.c_str(), width,
                             height);
    if (width > largestWidth || height > largestHeight)
        DXDriver::fatalError("Texture: '%s' is %d x %d pixels, larger than the %d x %d the device can use", name.c_str(),
                             width, height, largestWidth, largestHeight);
    IDirect3DTexture8* texture = nullptr;
    const HRESULT hr = D3DXCreateTexture(device, static_cast<UINT>(width), static_cast<UINT>(height),
                                         mipmaps ? D3DX_DEFAULT : 1, 0, d3d, D3DPOOL_MANAGED, &texture);
    if (FAILED(hr))
        DXDriver::directXError("D3DXCreateTexture - ", hr);
    TextureEntry entry;
    entry.owned_ = texture;
    entry.memorySize = textureMemorySize(format, width, height, mipmaps);
    entry.format = format;
    entry.width = width;
    entry.height = height;
    table().memory += entry.memorySize;
    return table().entries[name] = entry;
}

namespace {

void upload(IDirect3DTexture8* texture, const Surface& surface, bool mipmaps)
{
    IDirect3DSurface8* level = nullptr;
    if (HRESULT hr = texture->GetSurfaceLevel(0, &level); FAILED(hr))
        DXDriver::directXError("Texture: GetSurfaceLevel - ", hr);
    const RECT source{0, 0, surface.width(), surface.height()};
    const HRESULT hr = D3DXLoadSurfaceFromMemory(level, nullptr, nullptr, surface.pixels(), D3DFMT_A8R8G8B8,
                                                 static_cast<UINT>(surface.width()) * 4, nullptr, &source,
                                                 D3DX_FILTER_NONE, 0);
    level->Release();
    if (FAILED(hr))
        DXDriver::directXError("D3DXLoadSurfaceFromMemory - ", hr);
    if (mipmaps && texture->GetLevelCount() > 1)
        if (HRESULT filtered = D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_BOX); FAILED(filtered))
            DXDriver::directXError("D3DXFilterTexture - ", filtered);
    texture->PreLoad();
}

TextureEntry* find(const std::string& name)
{
    auto found = table().entries.find(name);
    return found == table().entries.end() ? nullptr : &found->second;
}

}  // namespace

int textureMemorySize(int format, int width, int height, bool mipmaps)
{
    // Sizes are at most the largest texture, whose 32-bit mip chain still fits an int.
    const int bytes = width * height * (format == TextureEntry::A8R8G8B8 ? 4 : 2);
    return mipmaps ? static_cast<int>(static_cast<float>(bytes) * 1.3333334f) : bytes;
}

IDirect3DTexture8* TextureEntry::texture() const
{
    if (format == RENDER_TARGET)
        return renderTarget_ ? renderTarget_->texture() : nullptr;
    return owned_;
}

void Texture::load(const std::string& name, int format, bool mipmaps)
{
    if (TextureEntry* entry = find(name)) {
        ++entry->referenceCount;
        return;
    }
    const Surface surface(name);
    createFromSurface(name, surface, format, mipmaps);
}

void Texture::createFromSurface(const std::string& name, const Surface& surface, int format, bool mipmaps)
{
    if (TextureEntry* entry = find(name)) {
        ++entry->referenceCount;
        return;
    }
    const TextureEntry& entry = enter(name, surface.width(), surface.height(), format, mipmaps);
    upload(entry.owned_, surface, mipmaps);
}

void Texture::create(const std::string& name, int width, int height, int format, bool mipmaps)
{
    if (TextureEntry* entry = find(name)) {
        ++entry->referenceCount;
        return;
    }
    enter(name, width, height, format, mipmaps);
}

void Texture::registerRenderTarget(const std::string& name, RenderTarget& target)
{
    if (const TextureEntry* old = find(name); old && old->owned_)
        table().replaced.push_back(old->owned_);
    TextureEntry entry;
    entry.renderTarget_ = &target;
    entry.format = TextureEntry::RENDER_TARGET;
    entry.memorySize = 0;
    entry.width = target.width();
    entry.height = target.height();
    table().entries[name] = entry;
}

void Texture::showRenderTarget(const std::string& name, RenderTarget& target)
{
    TextureEntry* entry = find(name);
    if (!entry || entry->format != TextureEntry::RENDER_TARGET) {
        registerRenderTarget(name, target);
        return;
    }
    entry->renderTarget_ = &target;
    entry->width = target.width();
    entry->height = target.height();
}

void Texture::release(const std::string& name)
{
    TextureEntry* entry = find(name);
    if (!entry)
        DXDriver::fatalError("(Texture::release) Texture '%s' doesn't exist", name.c_str());
    if (--entry->referenceCount > 0)
        return;
    if (entry->format != TextureEntry::RENDER_TARGET) {
        entry->owned_->Release();
        table().memory -= entry->memorySize;
    }
    table().entries.erase(name);
}

void Texture::releaseAll()
{
    for (auto& [name, entry] : table().entries)
        if (entry.format != TextureEntry::RENDER_TARGET)
            entry.owned_->Release();
    for (IDirect3DTexture8* texture : table().replaced)
        texture->Release();
    table().entries.clear();
    table().replaced.clear();
    table().memory = 0;
}

const TextureEntry& Texture::getD3DSurface(const std::string& name)
{
    const TextureEntry* entry = find(name);
    if (!entry)
        DXDriver::fatalError("(getD3DSurface) Texture '%s' doesn't exist", name.c_str());
    return *entry;
}

void* Texture::lock(const std::string& name, int level, int& pitch)
{
    IDirect3DTexture8* texture = getD3DSurface(name).texture();
    D3DLOCKED_RECT locked;
    const HRESULT hr = texture ? texture->LockRect(static_cast<UINT>(level), &locked, nullptr, 0) : D3DERR_INVALIDCALL;
    if (FAILED(hr))
        DXDriver::directXError("Texture->LockRect - ", hr);
    pitch = locked.Pitch;
    return locked.pBits;
}

void Texture::unlock(const std::string& name, int level)
{
    IDirect3DTexture8* texture = getD3DSurface(name).texture();
    if (!texture)
        return;
    texture->UnlockRect(static_cast<UINT>(level));
    texture->PreLoad();
}

int Texture::levelCount(const std::string& name)
{
    IDirect3DTexture8* texture = getD3DSurface(name).texture();
    return texture ? static_cast<int>(texture->GetLevelCount()) : 0;
}

int Texture::textureMemory()
{
    return static_cast<int>(std::min<std::int64_t>(table().memory, INT_MAX));
}

bool Texture::exists(const std::string& name)
{
    return find(name) != nullptr;
}

void Texture::forgetRenderTarget(const RenderTarget& target)
{
    for (auto& [name, entry] : table().entries)
        if (entry.renderTarget_ == &target)
            entry.renderTarget_ = nullptr;
}

}  // namespace mirva
