#pragma once
// The part of the D3DX 8 utility library that the engine uses: texture creation with
// size and format adjustment, pixel conversion into a surface, mip-chain filtering, the
// vertex size of a flexible vertex format and the text of a result code.
#include "platform/d3d8/d3d8.h"

namespace mirva {

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;

struct PALETTEENTRY {
    BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};

// Adjusts size, level count and format to what the device can create: a size of 0 or
// D3DX_DEFAULT becomes 256, sizes are enlarged to powers of two on cards that need them
// and limited to the largest texture, a format the device lacks is replaced by the
// nearest one it has, and D3DX_DEFAULT or 0 levels means a full chain down to 1 x 1.
HRESULT D3DXCheckTextureRequirements(IDirect3DDevice8* device, UINT* width, UINT* height, UINT* levels, DWORD usage,
                                     D3DFORMAT* format, D3DPOOL pool);

HRESULT D3DXCreateTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture);

// Converts pixels from memory into a lockable surface. Source formats: A8R8G8B8 and
// X8R8G8B8. The destination rectangle may be null for the whole surface. With
// D3DX_FILTER_POINT the source is scaled to the destination; with D3DX_FILTER_NONE it is
// copied pixel for pixel and the destination beyond it becomes transparent black.
HRESULT D3DXLoadSurfaceFromMemory(IDirect3DSurface8* dest, const PALETTEENTRY* destPalette, const RECT* destRect,
                                  const void* source, D3DFORMAT sourceFormat, UINT sourcePitch,
                                  const PALETTEENTRY* sourcePalette, const RECT* sourceRect, DWORD filter,
                                  D3DCOLOR colorKey);

// Fills every level below `sourceLevel` from the one above it (box or point filter).
HRESULT D3DXFilterTexture(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, UINT sourceLevel,
                          DWORD filter);

UINT D3DXGetFVFVertexSize(DWORD fvf);

// Row-vector matrices: out = a * b (out may be a or b), and out = the transpose of m.
D3DMATRIX* D3DXMatrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b);
D3DMATRIX* D3DXMatrixTranspose(D3DMATRIX* out, const D3DMATRIX* m);

// The name of a result code, e.g. "D3DERR_INVALIDCALL", into a buffer of `size` bytes.
HRESULT D3DXGetErrorString(HRESULT result, char* buffer, UINT size);

}  // namespace mirva
