#pragma once
// Pixel layouts of the texture and surface formats the layer can hold in memory, and
// conversion of single pixels to and from A8R8G8B8. Used for locking, for loading
// images into surfaces and for filtering mip chains; knows nothing about OpenGL.
#include <cstddef>

#include "platform/d3d8/d3d8_types.h"

namespace mirva {

struct PixelChannel {
    BYTE bits = 0;
    BYTE shift = 0;
    DWORD max() const { return (1u << bits) - 1u; }
    DWORD get(DWORD raw) const { return bits ? (raw >> shift) & max() : 0; }
    DWORD put(DWORD value) const { return bits ? (value & max()) << shift : 0; }
};

struct PixelFormat {
    D3DFORMAT format;
    int bytes;  // per pixel
    // Channels in the order alpha, red, green, blue; a luminance format keeps its
    // luminance in the red channel and copies it to green and blue when read.
    PixelChannel channel[4];
    bool luminance = false;

    bool hasAlpha() const { return channel[0].bits != 0; }
    DWORD readRaw(const BYTE* pixel) const;
    void writeRaw(BYTE* pixel, DWORD raw) const;
    // To and from 0xAARRGGBB; missing alpha reads as 255, values are rounded.
    D3DCOLOR read(const BYTE* pixel) const;
    void write(BYTE* pixel, D3DCOLOR color) const;
};

// The layout of a colour format, or null for formats not held in memory (depth,
// compressed, palette and bump formats).
const PixelFormat* pixelFormat(D3DFORMAT format);

// Row pitch in bytes: rows start at multiples of four bytes.
int rowPitch(const PixelFormat& format, int width);

// Averages each 2 x 2 block (a 2 x 1 or 1 x 2 block where a side is 1) of the source
// level into one pixel of the next level, channel by channel in the format's own
// precision, rounding to nearest. Sizes are those of the source level.
void boxFilterLevel(const PixelFormat& format, const BYTE* source, int sourcePitch, int sourceWidth,
                    int sourceHeight, BYTE* dest, int destPitch);

}  // namespace mirva
