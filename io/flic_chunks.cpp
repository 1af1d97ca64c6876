#include "io/flic_chunks.h"

#include <algorithm>

namespace mirva {

// The data of one subchunk, read little-endian from the front. Callers ask `has` before
// they read; nothing is read past the end.
class FlicFrameDecoder::Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : at_(data), end_(data + size) {}

    bool has(std::size_t count) const { return static_cast<std::size_t>(end_ - at_) >= count; }
    std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }
    const std::uint8_t* take(std::size_t count)
    {
        const std::uint8_t* taken = at_;
        at_ += count;
        return taken;
    }
    std::uint8_t u8() { return *at_++; }
    std::int8_t s8() { return static_cast<std::int8_t>(*at_++); }
    std::uint16_t u16()
    {
        const std::uint16_t value = static_cast<std::uint16_t>(at_[0] | at_[1] << 8);
        at_ += 2;
        return value;
    }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
};

void FlicFrameDecoder::decode(std::uint16_t type, const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    first_ = true;
    switch (type) {
    case FlicChunk::Colour256: colours(in, 0); break;
    case FlicChunk::Colour64: colours(in, 2); break;
    case FlicChunk::Black: black(); break;
    case FlicChunk::ByteRun: byteRun(in); break;
    case FlicChunk::WordDelta: wordDelta(in); break;
    case FlicChunk::Copy: copy(in); break;
    default: break;
    }
}

std::uint16_t* FlicFrameDecoder::row(int y) const
{
    return reinterpret_cast<std::uint16_t*>(pixels_ + y * pitch_);
}

std::uint16_t FlicFrameDecoder::entry(std::uint8_t index)
{
    std::uint16_t& value = palettes_.colours16[index];
    if (first_) {
        value &= 0x0FFF;
        first_ = false;
    }
    return value;
}

// Packets of a colour-index skip, a count (0 for 256) and that many red, green, blue
// triples. `shift` brings the components to 8 bits (2 for the 64-level chunk, whose
// components are masked to their 6 bits so that no stray bit reaches a neighbour).
void FlicFrameDecoder::colours(Input& in, int shift)
{
    if (!in.has(2))
        return;
    const unsigned mask = 0xFFu >> shift;
    unsigned index = 0;
    for (unsigned packets = in.u16(); packets > 0; --packets) {
        if (!in.has(2))
            return;
        index += in.u8();
        unsigned count = in.u8();
        if (count == 0)
            count = 256;
        for (; count > 0; --count, ++index) {
            if (index >= 256 || !in.has(3))
                return;
            const unsigned red = (in.u8() & mask) << shift;
            const unsigned green = (in.u8() & mask) << shift;
            const unsigned blue = (in.u8() & mask) << shift;
            palettes_.colours32[index] = 0xFF000000u | red << 16 | green << 8 | blue;
            palettes_.colours16[index] = flicEntry16(red, green, blue);
        }
    }
}

void FlicFrameDecoder::black()
{
    for (int y = 0; y < height_; ++y)
        std::fill_n(row(y), width_, std::uint16_t{0});
}

// Per row: a packet count (not needed: the row's width ends it), then packets of a signed
// count: negative, that many literal indices; otherwise one index repeated count times.
void FlicFrameDecoder::byteRun(Input& in)
{
    const auto& colours = palettes_.colours16;
    for (int y = 0; y < height_; ++y) {
        if (!in.has(1))
            return;
        in.u8();
        std::uint16_t* out = row(y);
        int x = 0;
        while (x < width_) {
            if (!in.has(2))
                return;
            const int count = in.s8();
            const int wanted = count < 0 ? -count : count;
            const int fits = std::min(wanted, width_ - x);
            if (count < 0) {
                if (!in.has(static_cast<std::size_t>(wanted)))
                    return;
                const std::uint8_t* literal = in.take(static_cast<std::size_t>(wanted));
                entry(literal[0]);
                for (int i = 0; i < fits; ++i)
                    out[x + i] = colours[literal[i]];
            } else {
                const std::uint8_t index = in.u8();
                if (fits > 0)
                    std::fill_n(out + x, fits, entry(index));
            }
            if (fits < wanted)
                return;   // the row runs over its width
            x += wanted;
        }
    }
}

// A line count, then per line words: 00 in the top bits, the line's packet count; 11, a
// number of lines to skip (negated); 10, the line's last pixel in the low byte. A packet
// is a column skip and a signed count: positive, that many literal pixel pairs; negative,
// one pair repeated. Lines skipped or passed beyond the frame end the subchunk.
void FlicFrameDecoder::wordDelta(Input& in)
{
    if (!in.has(2))
        return;
    const auto& colours = palettes_.colours16;
    int y = 0;
    for (unsigned lines = in.u16(); lines > 0;) {
        if (!in.has(2) || y >= height_)
            return;
        const std::uint16_t word = in.u16();
        switch (word & 0xC000) {
        case 0xC000: y += 0x10000 - word; continue;
        case 0x8000: row(y)[width_ - 1] = entry(static_cast<std::uint8_t>(word)); continue;
        case 0x4000: return;   // no such opcode
        default: break;
        }
        std::uint16_t* out = row(y);
        int x = 0;
        for (unsigned packets = word; packets > 0; --packets) {
            if (!in.has(2))
                return;
            x += in.u8();
            const int count = in.s8();
            const int pixels = 2 * (count < 0 ? -count : count);
            const std::size_t needed = count < 0 ? 2 : static_cast<std::size_t>(pixels);
            if (!in.has(needed))
                return;
            const std::uint8_t* data = in.take(needed);
            const int fits = std::clamp(width_ - x, 0, pixels);
            if (fits > 0)
                entry(data[0]);
            if (count < 0) {
                for (int i = 0; i < fits; ++i)
                    out[x + i] = colours[data[i & 1]];
            } else {
                for (int i = 0; i < fits; ++i)
                    out[x + i] = colours[data[i]];
            }
            if (fits < pixels)
                return;   // the line runs over its width
            x += pixels;
        }
        ++y;
        --lines;
    }
}

// Height rows of width indices.
void FlicFrameDecoder::copy(Input& in)
{
    const auto& colours = palettes_.colours16;
    for (int y = 0; y < height_; ++y) {
        const int count = static_cast<int>(std::min(in.left(), static_cast<std::size_t>(width_)));
        if (count == 0)
            return;
        const std::uint8_t* indices = in.take(static_cast<std::size_t>(count));
        entry(indices[0]);
        std::uint16_t* out = row(y);
        for (int x = 0; x < count; ++x)
            out[x] = colours[indices[x]];
        if (count < width_)
            return;
    }
}

}  // namespace mirva
