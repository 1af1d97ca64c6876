#include "platform/d3d8/d3dx8.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/d3d8/device_gl.h"
#include "platform/d3d8/pixel_format.h"

namespace mirva {

namespace {

UINT nextPowerOfTwo(UINT value)
{
    UINT p = 1;
    while (p < value)
        p <<= 1;
    return p;
}

// Formats to try, nearest first, when the asked-for one is missing.
std::vector<D3DFORMAT> substitutes(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_X8R8G8B8: return {D3DFMT_A8R8G8B8, D3DFMT_R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5};
    case D3DFMT_A8R8G8B8: return {D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5};
    case D3DFMT_R8G8B8: return {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5};
    case D3DFMT_R5G6B5: return {D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
    case D3DFMT_X1R5G5B5: return {D3DFMT_A1R5G5B5, D3DFMT_R5G6B5, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
    case D3DFMT_A1R5G5B5: return {D3DFMT_A4R4G4B4, D3DFMT_A8R8G8B8};
    case D3DFMT_A4R4G4B4: return {D3DFMT_A8R8G8B8, D3DFMT_A1R5G5B5};
    case D3DFMT_X4R4G4B4: return {D3DFMT_A4R4G4B4, D3DFMT_R5G6B5, D3DFMT_X8R8G8B8};
    default: return {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8};
    }
}

// The level count of a full chain for the given size.
UINT chainLength(UINT width, UINT height)
{
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size >>= 1)
        ++levels;
    return levels;
}

}  // namespace

HRESULT D3DXCheckTextureRequirements(IDirect3DDevice8* device, UINT* width, UINT* height, UINT* levels, DWORD usage,
                                     D3DFORMAT* format, D3DPOOL)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    D3DCAPS8 caps;
    device->GetDeviceCaps(&caps);
    UINT w = width ? *width : 256, h = height ? *height : 256;
    if (w == 0 || w == D3DX_DEFAULT)
        w = 256;
    if (h == 0 || h == D3DX_DEFAULT)
        h = 256;
    if (caps.TextureCaps & D3DPTEXTURECAPS_POW2) {
        w = nextPowerOfTwo(w);
        h = nextPowerOfTwo(h);
    }
    w = std::min<UINT>(w, caps.MaxTextureWidth);
    h = std::min<UINT>(h, caps.MaxTextureHeight);
    if (width)
        *width = w;
    if (height)
        *height = h;
    if (levels) {
        const UINT full = chainLength(w, h);
        if (*levels == 0 || *levels == D3DX_DEFAULT || *levels > full)
            *levels = full;
    }
    if (format) {
        IDirect3D8* direct3d = nullptr;
        device->GetDirect3D(&direct3d);
        D3DDISPLAYMODE mode;
        device->GetDisplayMode(&mode);
        const auto available = [&](D3DFORMAT f) {
            return direct3d->CheckDeviceFormat(0, D3DDEVTYPE_HAL, mode.Format, usage & ~D3DUSAGE_DYNAMIC,
                                               D3DRTYPE_TEXTURE, f) == D3D_OK;
        };
        HRESULT result = D3D_OK;
        if (*format == D3DFMT_UNKNOWN || !available(*format)) {
            result = D3DERR_NOTAVAILABLE;
            for (D3DFORMAT f : substitutes(*format))
                if (available(f)) {
                    *format = f;
                    result = D3D_OK;
                    break;
                }
        }
        direct3d->Release();
        if (FAILED(result))
            return result;
    }
    return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture)
{
    if (!device || !texture)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = D3DXCheckTextureRequirements(device, &width, &height, &levels, usage, &format, pool);
    if (FAILED(hr))
        return hr;
    return device->CreateTexture(width, height, levels, usage, format, pool, texture);
}

HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* dest, const PALETTEENTRY*, const RECT* destRect,
                                  const void* source, D3DFORMAT sourceFormat, UINT sourcePitch,
                                  const PALETTEENTRY*, const RECT* sourceRect, DWORD filter, D3DCOLOR)
{
    if (!dest || !source || !sourceRect)
        return D3DERR_INVALIDCALL;
    const PixelFormat* in = pixelFormat(sourceFormat);
    if (sourceFormat != D3DFMT_A8R8G8B8 && sourceFormat != D3DFMT_X8R8G8B8)
        return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc;
    dest->GetDesc(&desc);
    const PixelFormat* out = pixelFormat(desc.Format);
    if (!out)
        return D3DERR_INVALIDCALL;
    const RECT whole{0, 0, static_cast<long>(desc.Width), static_cast<long>(desc.Height)};
    const RECT& to = destRect ? *destRect : whole;
    const long sourceWidth = sourceRect->right - sourceRect->left, sourceHeight = sourceRect->bottom - sourceRect->top;
    const long width = to.right - to.left, height = to.bottom - to.top;
    if (sourceWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0)
        return D3DERR_INVALIDCALL;
    // The point filter scales by picking the nearest source pixel; without a filter the
    // pixels are copied one to one and the destination beyond the source is transparent
    // black.
    const bool scale = (filter & 0xFF) == D3DX_FILTER_POINT;
    D3DLOCKED_RECT locked;
    if (FAILED(dest->LockRect(&locked, &to, 0)))
        return D3DERR_INVALIDCALL;
    const auto* bytes = static_cast<const BYTE*>(source);
    if (in == out && !scale && sourceWidth >= width && sourceHeight >= height) {
        // The same layout and nothing to scale: whole rows at once.
        for (long y = 0; y < height; ++y)
            std::memcpy(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch,
                        bytes + (sourceRect->top + y) * static_cast<long>(sourcePitch) + sourceRect->left * 4,
                        static_cast<std::size_t>(width) * 4);
        dest->UnlockRect();
        return D3D_OK;
    }
    for (long y = 0; y < height; ++y) {
        const long sy = sourceRect->top + (scale ? y * sourceHeight / height : y);
        BYTE* row = static_cast<BYTE*>(locked.pBits) + y * locked.Pitch;
        for (long x = 0; x < width; ++x) {
            const long sx = sourceRect->left + (scale ? x * sourceWidth / width : x);
            const bool inside = sx < sourceRect->right && sy < sourceRect->bottom;
            const D3DCOLOR color = inside ? in->read(bytes + sy * static_cast<long>(sourcePitch) + sx * 4) : 0;
            out->write(row + x * out->bytes, color);
        }
    }
    dest->UnlockRect();
    return D3D_OK;
}

HRESULT D3DXFilterTexture(IDirect3DBaseTexture8* base, const PALETTEENTRY*, UINT sourceLevel, DWORD filter)
{
    auto* texture = dynamic_cast<IDirect3DTexture8*>(base);
    if (!texture)
        return D3DERR_INVALIDCALL;
    if (sourceLevel == D3DX_DEFAULT)
        sourceLevel = 0;
    const DWORD kind = filter == D3DX_DEFAULT ? D3DX_FILTER_BOX : filter & 0xFF;
    if (kind != D3DX_FILTER_BOX && kind != D3DX_FILTER_POINT)
        return D3DERR_INVALIDCALL;
    const UINT levels = texture->GetLevelCount();
    if (sourceLevel >= levels)
        return D3DERR_INVALIDCALL;
    for (UINT level = sourceLevel; level + 1 < levels; ++level) {
        D3DSURFACE_DESC from, to;
        texture->GetLevelDesc(level, &from);
        texture->GetLevelDesc(level + 1, &to);
        const PixelFormat* format = pixelFormat(from.Format);
        if (!format)
            return D3DERR_INVALIDCALL;
        D3DLOCKED_RECT source, dest;
        if (FAILED(texture->LockRect(level, &source, nullptr, D3DLOCK_READONLY)))
            return D3DERR_INVALIDCALL;
        if (FAILED(texture->LockRect(level + 1, &dest, nullptr, 0))) {
            texture->UnlockRect(level);
            return D3DERR_INVALIDCALL;
        }
        const auto* in = static_cast<const BYTE*>(source.pBits);
        auto* out = static_cast<BYTE*>(dest.pBits);
        if (kind == D3DX_FILTER_BOX) {
            boxFilterLevel(*format, in, source.Pitch, static_cast<int>(from.Width), static_cast<int>(from.Height), out,
                           dest.Pitch);
        } else {
            for (UINT y = 0; y < to.Height; ++y)
                for (UINT x = 0; x < to.Width; ++x)
                    std::memcpy(out + y * static_cast<UINT>(dest.Pitch) + x * static_cast<UINT>(format->bytes),
                                in + (2 * y) * static_cast<UINT>(source.Pitch) + (2 * x) * static_cast<UINT>(format->bytes),
                                static_cast<std::size_t>(format->bytes));
        }
        texture->UnlockRect(level + 1);
        texture->UnlockRect(level);
    }
    return D3D_OK;
}

UINT D3DXGetFVFVertexSize(DWORD fvf)
{
    UINT size = 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position == D3DFVF_XYZRHW)
        size += 16;
    else if (position != 0)
        size += 12 + (position >= 6 ? (position - 4) / 2 * 4 : 0);
    if (fvf & D3DFVF_NORMAL)
        size += 12;
    if (fvf & D3DFVF_PSIZE)
        size += 4;
    if (fvf & D3DFVF_DIFFUSE)
        size += 4;
    if (fvf & D3DFVF_SPECULAR)
        size += 4;
    const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (DWORD i = 0; i < sets; ++i) {
        static const UINT floats[4] = {2, 3, 4, 1};
        size += floats[(fvf >> (16 + 2 * i)) & 3] * 4;
    }
    return size;
}

HRESULT D3DXGetErrorString(HRESULT result, char* buffer, UINT size)
{
    if (!buffer || size == 0)
        return D3DERR_INVALIDCALL;
    struct Name {
        HRESULT code;
        const char* text;
    };
    static const Name names[] = {
        {D3D_OK, "D3D_OK"},
        {E_FAIL, "E_FAIL"},
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {D3DERR_WRONGTEXTUREFORMAT, "D3DERR_WRONGTEXTUREFORMAT"},
        {D3DERR_UNSUPPORTEDCOLOROPERATION, "D3DERR_UNSUPPORTEDCOLOROPERATION"},
        {D3DERR_UNSUPPORTEDCOLORARG, "D3DERR_UNSUPPORTEDCOLORARG"},
        {D3DERR_UNSUPPORTEDALPHAOPERATION, "D3DERR_UNSUPPORTEDALPHAOPERATION"},
        {D3DERR_UNSUPPORTEDALPHAARG, "D3DERR_UNSUPPORTEDALPHAARG"},
        {D3DERR_TOOMANYOPERATIONS, "D3DERR_TOOMANYOPERATIONS"},
        {D3DERR_CONFLICTINGTEXTUREFILTER, "D3DERR_CONFLICTINGTEXTUREFILTER"},
        {D3DERR_UNSUPPORTEDFACTORVALUE, "D3DERR_UNSUPPORTEDFACTORVALUE"},
        {D3DERR_CONFLICTINGRENDERSTATE, "D3DERR_CONFLICTINGRENDERSTATE"},
        {D3DERR_UNSUPPORTEDTEXTUREFILTER, "D3DERR_UNSUPPORTEDTEXTUREFILTER"},
        {D3DERR_CONFLICTINGTEXTUREPALETTE, "D3DERR_CONFLICTINGTEXTUREPALETTE"},
        {D3DERR_DRIVERINTERNALERROR, "D3DERR_DRIVERINTERNALERROR"},
        {D3DERR_NOTFOUND, "D3DERR_NOTFOUND"},
        {D3DERR_MOREDATA, "D3DERR_MOREDATA"},
        {D3DERR_DEVICELOST, "D3DERR_DEVICELOST"},
        {D3DERR_DEVICENOTRESET, "D3DERR_DEVICENOTRESET"},
        {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE"},
        {D3DERR_OUTOFVIDEOMEMORY, "D3DERR_OUTOFVIDEOMEMORY"},
        {D3DERR_INVALIDDEVICE, "D3DERR_INVALIDDEVICE"},
        {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL"},
        {D3DERR_DRIVERINVALIDCALL, "D3DERR_DRIVERINVALIDCALL"},
    };
    const char* text = nullptr;
    for (const Name& name : names)
        if (name.code == result)
            text = name.text;
    char unknown[32];
    if (!text) {
        std::snprintf(unknown, sizeof unknown, "Unknown error 0x%08X", static_cast<unsigned>(result));
        text = unknown;
    }
    std::snprintf(buffer, size, "%s", text);
    return D3D_OK;
}

D3DMATRIX* D3DXMatrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b)
{
    *out = multiply(*a, *b);
    return out;
}

D3DMATRIX* D3DXMatrixTranspose(D3DMATRIX* out, const D3DMATRIX* m)
{
    D3DMATRIX t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            t.m[r][c] = m->m[c][r];
    *out = t;
    return out;
}

}  // namespace mirva
