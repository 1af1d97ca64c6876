#include "platform/d3d8/pixel_format.h"

#include <algorithm>
#include <cstring>

namespace mirva {

namespace {

constexpr PixelChannel none{};
constexpr PixelChannel ch(int bits, int shift) { return {static_cast<BYTE>(bits), static_cast<BYTE>(shift)}; }

const PixelFormat kFormats[] = {
    {D3DFMT_A8R8G8B8, 4, {ch(8, 24), ch(8, 16), ch(8, 8), ch(8, 0)}},
    {D3DFMT_X8R8G8B8, 4, {none, ch(8, 16), ch(8, 8), ch(8, 0)}},
    {D3DFMT_R8G8B8, 3, {none, ch(8, 16), ch(8, 8), ch(8, 0)}},
    {D3DFMT_R5G6B5, 2, {none, ch(5, 11), ch(6, 5), ch(5, 0)}},
    {D3DFMT_X1R5G5B5, 2, {none, ch(5, 10), ch(5, 5), ch(5, 0)}},
    {D3DFMT_A1R5G5B5, 2, {ch(1, 15), ch(5, 10), ch(5, 5), ch(5, 0)}},
    {D3DFMT_A4R4G4B4, 2, {ch(4, 12), ch(4, 8), ch(4, 4), ch(4, 0)}},
    {D3DFMT_X4R4G4B4, 2, {none, ch(4, 8), ch(4, 4), ch(4, 0)}},
    {D3DFMT_R3G3B2, 1, {none, ch(3, 5), ch(3, 2), ch(2, 0)}},
    {D3DFMT_A8, 1, {ch(8, 0), none, none, none}},
    {D3DFMT_L8, 1, {none, ch(8, 0), none, none}, true},
    {D3DFMT_A8L8, 2, {ch(8, 8), ch(8, 0), none, none}, true},
};

DWORD expandTo8(DWORD value, const PixelChannel& c)
{
    return (value * 255u + c.max() / 2u) / c.max();
}

DWORD reduceFrom8(DWORD value, const PixelChannel& c)
{
    return (value * c.max() + 127u) / 255u;
}

}  // namespace

const PixelFormat* pixelFormat(D3DFORMAT format)
{
    for (const PixelFormat& f : kFormats)
        if (f.format == format)
            return &f;
    return nullptr;
}

int rowPitch(const PixelFormat& format, int width)
{
    return (width * format.bytes + 3) & ~3;
}

DWORD PixelFormat::readRaw(const BYTE* pixel) const
{
    DWORD raw = 0;
    std::memcpy(&raw, pixel, static_cast<std::size_t>(bytes));  // little-endian
    return raw;
}

void PixelFormat::writeRaw(BYTE* pixel, DWORD raw) const
{
    std::memcpy(pixel, &raw, static_cast<std::size_t>(bytes));
}

D3DCOLOR PixelFormat::read(const BYTE* pixel) const
{
    const DWORD raw = readRaw(pixel);
    DWORD value[4];
    for (int i = 0; i < 4; ++i)
        value[i] = channel[i].bits ? expandTo8(channel[i].get(raw), channel[i]) : 0;
    if (!hasAlpha())
        value[0] = 255;
    if (luminance)
        value[2] = value[3] = value[1];
    else if (channel[1].bits == 0)  // alpha only: colour reads as black
        value[1] = value[2] = value[3] = 0;
    return value[0] << 24 | value[1] << 16 | value[2] << 8 | value[3];
}

void PixelFormat::write(BYTE* pixel, D3DCOLOR color) const
{
    DWORD value[4] = {color >> 24, color >> 16 & 0xFF, color >> 8 & 0xFF, color & 0xFF};
    if (luminance)  // Rec. 601 luma weights, as image tools use for grey
        value[1] = (value[1] * 299u + value[2] * 587u + value[3] * 114u + 500u) / 1000u;
    DWORD raw = 0;
    for (int i = 0; i < 4; ++i)
        if (channel[i].bits)
            raw |= channel[i].put(reduceFrom8(value[i], channel[i]));
    writeRaw(pixel, raw);
}

void boxFilterLevel(const PixelFormat& format, const BYTE* source, int sourcePitch, int sourceWidth,
                    int sourceHeight, BYTE* dest, int destPitch)
{
    const int width = std::max(1, sourceWidth / 2);
    const int height = std::max(1, sourceHeight / 2);
    const int stepX = sourceWidth > 1 ? 1 : 0;
    const int stepY = sourceHeight > 1 ? 1 : 0;
    const DWORD count = static_cast<DWORD>((1 + stepX) * (1 + stepY));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            DWORD raws[4];
            DWORD n = 0;
            for (int dy = 0; dy <= stepY; ++dy)
                for (int dx = 0; dx <= stepX; ++dx)
                    raws[n++] = format.readRaw(source + (2 * y + dy) * sourcePitch + (2 * x + dx) * format.bytes);
            DWORD out = 0;
            for (const PixelChannel& c : format.channel) {
                if (!c.bits)
                    continue;
                DWORD sum = 0;
                for (DWORD i = 0; i < n; ++i)
                    sum += c.get(raws[i]);
                out |= c.put((sum + count / 2) / count);
            }
            format.writeRaw(dest + y * destPitch + x * format.bytes, out);
        }
    }
}

}  // namespace mirva
