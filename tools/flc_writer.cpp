#include "tools/flc_writer.h"

#include <algorithm>
#include <cstdio>

#include "io/console.h"
#include "io/flic_chunks.h"

namespace mirva {

namespace {

void put16(FlcBytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(FlcBytes& out, std::size_t value)
{
    put16(out, static_cast<unsigned>(value & 0xFFFF));
    put16(out, static_cast<unsigned>(value >> 16 & 0xFFFF));
}

void set16(FlcBytes& out, std::size_t at, unsigned value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void set32(FlcBytes& out, std::size_t at, std::size_t value)
{
    set16(out, at, static_cast<unsigned>(value & 0xFFFF));
    set16(out, at + 2, static_cast<unsigned>(value >> 16 & 0xFFFF));
}

void append(FlcBytes& out, const FlcBytes& more)
{
    out.insert(out.end(), more.begin(), more.end());
}

// How many values from `at` (at most `limit`) equal the one at `at`.
int runLength(const std::uint8_t* values, int at, int end, int limit)
{
    int length = 1;
    while (length < limit && at + length < end && values[at + length] == values[at])
        ++length;
    return length;
}

// One row of byte-run packets: runs of three or more as repeats, the rest as literals.
void byteRunRow(FlcBytes& out, const std::uint8_t* row, int width)
{
    const std::size_t countAt = out.size();
    out.push_back(0);
    int packets = 0;
    for (int x = 0; x < width; ++packets) {
        const int run = runLength(row, x, width, 127);
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        int literal = 0;
        while (literal < 128 && x + literal < width && runLength(row, x + literal, width, 3) < 3)
            ++literal;
        out.push_back(static_cast<std::uint8_t>(-literal));
        out.insert(out.end(), row + x, row + x + literal);
        x += literal;
    }
    // Readers go by the width; the count is kept for those that look (a byte holds 255).
    out[countAt] = static_cast<std::uint8_t>(std::min(packets, 255));
}

// The packets of one word-delta line over its pixel pairs; returns how many. With
// `firstPair`, the line's first pair is written whether it changed or not.
int wordDeltaLine(FlcBytes& out, const std::uint8_t* before, const std::uint8_t* after, int pairs, bool firstPair)
{
    const auto changed = [&](int pair) {
        return (firstPair && pair == 0) || before[2 * pair] != after[2 * pair] ||
               before[2 * pair + 1] != after[2 * pair + 1];
    };
    const auto samePair = [&](int a, int b) {
        return after[2 * a] == after[2 * b] && after[2 * a + 1] == after[2 * b + 1];
    };
    int packets = 0;
    int skip = 0;   // pixels
    for (int pair = 0; pair < pairs;) {
        if (!changed(pair)) {
            skip += 2;
            ++pair;
            continue;
        }
        // A skip byte holds 255 pixels: longer gaps take empty packets.
        for (; skip > 254; skip -= 254, ++packets) {
            out.push_back(254);
            out.push_back(0);
        }
        out.push_back(static_cast<std::uint8_t>(skip));
        skip = 0;
        ++packets;
        int repeat = 1;
        while (repeat < 128 && pair + repeat < pairs && changed(pair + repeat) && samePair(pair, pair + repeat))
            ++repeat;
        if (repeat >= 2) {
            out.push_back(static_cast<std::uint8_t>(-repeat));
            out.push_back(after[2 * pair]);
            out.push_back(after[2 * pair + 1]);
            pair += repeat;
            continue;
        }
        int literal = 1;
        while (literal < 127 && pair + literal < pairs && changed(pair + literal) &&
               !(pair + literal + 1 < pairs && samePair(pair + literal, pair + literal + 1)))
            ++literal;
        out.push_back(static_cast<std::uint8_t>(literal));
        out.insert(out.end(), after + 2 * pair, after + 2 * (pair + literal));
        pair += literal;
    }
    return packets;
}

}  // namespace

FlcBytes flcSubchunk(std::uint16_t type, const FlcBytes& data)
{
    FlcBytes out;
    const std::size_t size = 6 + data.size() + (data.size() & 1);
    put32(out, size);
    put16(out, type);
    append(out, data);
    out.resize(size, 0);
    return out;
}

FlcBytes flcFrameChunk(const std::vector<FlcBytes>& subchunks)
{
    FlcBytes out(16, 0);
    for (const FlcBytes& subchunk : subchunks)
        append(out, subchunk);
    set32(out, 0, out.size());
    set16(out, 4, FlicChunk::Frame);
    set16(out, 6, static_cast<unsigned>(subchunks.size()));
    return out;
}

FlcBytes flcFile(int width, int height, int speed, int frameCount, const std::vector<FlcBytes>& chunks)
{
    FlcBytes out(kFlicHeaderSize, 0);
    set16(out, 4, kFlicMagic);
    set16(out, 6, static_cast<unsigned>(frameCount));
    set16(out, 8, static_cast<unsigned>(width));
    set16(out, 10, static_cast<unsigned>(height));
    set16(out, 12, 8);   // bits a pixel
    set16(out, 14, 3);   // flags: the file was written whole and closed
    set32(out, 16, static_cast<std::size_t>(speed));
    set16(out, 38, 1);   // pixel aspect 1:1
    set16(out, 40, 1);
    set32(out, 80, kFlicHeaderSize);
    set32(out, 84, kFlicHeaderSize + (chunks.empty() ? 0 : chunks.front().size()));
    for (const FlcBytes& chunk : chunks)
        append(out, chunk);
    set32(out, 0, out.size());
    return out;
}

FlcBytes flcColourData(const FlcPalette* previous, const FlcPalette& palette)
{
    FlcBytes out;
    put16(out, 0);
    int packets = 0;
    int index = 0, last = 0;   // `last`: the entry after the previous packet
    while (index < 256) {
        if (previous && (*previous)[static_cast<std::size_t>(index)] == palette[static_cast<std::size_t>(index)]) {
            ++index;
            continue;
        }
        int end = index + 1;
        while (end < 256 && !(previous && (*previous)[static_cast<std::size_t>(end)] ==
                                              palette[static_cast<std::size_t>(end)]))
            ++end;
        out.push_back(static_cast<std::uint8_t>(index - last));
        out.push_back(static_cast<std::uint8_t>(end - index));   // 256 is written as 0
        for (int i = index; i < end; ++i) {
            const FlcColour& colour = palette[static_cast<std::size_t>(i)];
            out.insert(out.end(), {colour.red, colour.green, colour.blue});
        }
        ++packets;
        index = last = end;
    }
    if (packets == 0)
        return {};
    set16(out, 0, static_cast<unsigned>(packets));
    return out;
}

FlcBytes flcByteRunData(const FlcBytes& indices, int width, int height)
{
    FlcBytes out;
    for (int y = 0; y < height; ++y)
        byteRunRow(out, indices.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), width);
    return out;
}

FlcBytes flcWordDeltaData(const FlcBytes& previous, const FlcBytes& next, int width, int height)
{
    FlcBytes out;
    put16(out, 0);
    int lines = 0, skipped = 0;
    for (int y = 0; y < height; ++y) {
        const std::size_t rowAt = static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const std::uint8_t* before = previous.data() + rowAt;
        const std::uint8_t* after = next.data() + rowAt;
        const bool corner = y == 0 && width >= 2;
        if (!corner && std::equal(before, before + width, after)) {
            ++skipped;
            continue;
        }
        for (; skipped > 0; skipped -= std::min(skipped, 0x4000))
            put16(out, 0x10000u - static_cast<unsigned>(std::min(skipped, 0x4000)));
        if (width % 2 == 1 && before[width - 1] != after[width - 1])
            put16(out, 0x8000u | after[width - 1]);
        const std::size_t countAt = out.size();
        put16(out, 0);
        set16(out, countAt, static_cast<unsigned>(wordDeltaLine(out, before, after, width / 2, corner)));
        ++lines;
    }
    if (lines == 0)
        return {};
    set16(out, 0, static_cast<unsigned>(lines));
    return out;
}

FlcWriter::FlcWriter(int width, int height, int speed) : width_(width), height_(height), speed_(speed) {}

void FlcWriter::addFrame(FlcBytes indices, const FlcPalette& palette)
{
    indices.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
    frames_.push_back({std::move(indices), palette});
}

FlcBytes FlcWriter::frameChunk(const Frame* previous, const Frame& frame) const
{
    std::vector<FlcBytes> subchunks;
    const FlcBytes colours = flcColourData(previous ? &previous->palette : nullptr, frame.palette);
    if (!colours.empty())
        subchunks.push_back(flcSubchunk(FlicChunk::Colour256, colours));
    if (!previous) {
        subchunks.push_back(flcSubchunk(FlicChunk::ByteRun, flcByteRunData(frame.indices, width_, height_)));
    } else {
        // A player that writes colours rather than indices (ours) shows a new palette
        // entry only in the pixels it decodes again: those of the entries that changed
        // count as changed pixels too. `before` differs from the frame exactly there.
        FlcBytes before = previous->indices;
        if (!colours.empty())
            for (std::size_t i = 0; i < before.size(); ++i) {
                const std::uint8_t index = frame.indices[i];
                if (previous->palette[index] != frame.palette[index])
                    before[i] = static_cast<std::uint8_t>(index ^ 1);
            }
        const FlcBytes delta = flcWordDeltaData(before, frame.indices, width_, height_);
        if (!delta.empty())
            subchunks.push_back(flcSubchunk(FlicChunk::WordDelta, delta));
    }
    return flcFrameChunk(subchunks);
}

FlcBytes FlcWriter::bytes() const
{
    std::vector<FlcBytes> chunks;
    const Frame* previous = nullptr;
    for (const Frame& frame : frames_) {
        chunks.push_back(frameChunk(previous, frame));
        previous = &frame;
    }
    if (previous)
        chunks.push_back(frameChunk(previous, frames_.front()));
    return flcFile(width_, height_, speed_, frameCount(), chunks);
}

void FlcWriter::write(const std::string& file) const
{
    const FlcBytes data = bytes();
    std::FILE* out = std::fopen(file.c_str(), "wb");
    const bool written = out && std::fwrite(data.data(), 1, data.size(), out) == data.size();
    if (!out || std::fclose(out) != 0 || !written)
        Console::fatal("FlcWriter: couldn't write '" + file + "'");
}

}  // namespace mirva
