// FLC animations decoded into 16-bit pixels: each chunk kind decodes to its pixels; the
// first pixel's colour turns transparent until a colour chunk sets it again; files that are
// no FLC decode nothing; broken files are refused by name. (Writer files played round
// through their ring frame are shown by the player's FlicDecompress tests.)
#include "io/flic_player.h"

#include <gtest/gtest.h>

#include "io/flic_chunks.h"
#include "tests/support/fatal.h"
#include "tools/flc_writer.h"

namespace mirva {
namespace {

constexpr std::uint16_t kUntouched = 0xABAB;

// A destination with a row pitch wider than the frame and a tail after the last row, all
// filled with kUntouched, so that a write outside the frame shows.
struct Destination {
    Destination(std::size_t w, std::size_t h) : width(w), stride(w + 3), words(stride * h + 32, kUntouched) {}
    void decode(FlicPlayer& player) { player.decodeFrame(words.data(), static_cast<int>(stride) * 2); }
    // What the destination holds once a frame of these pixels, row by row, is drawn.
    std::vector<std::uint16_t> holding(const std::vector<std::uint16_t>& pixels) const
    {
        std::vector<std::uint16_t> all(words.size(), kUntouched);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            all[i / width * stride + i % width] = pixels[i];
        return all;
    }
    std::size_t width, stride;
    std::vector<std::uint16_t> words;
};

FlicPlayer loaded(const FlcBytes& file)
{
    FlicPlayer player;
    player.load("anims/test.flc", PhileBlock(file.begin(), file.end()));
    return player;
}

// A 2 x 2 file of one frame with these subchunks (the header counts one frame).
FlcBytes oneFrame(const std::vector<FlcBytes>& subchunks, int width = 2, int height = 2)
{
    return flcFile(width, height, 40, 1, {flcFrameChunk(subchunks)});
}

TEST(FlicPlayer, EachChunkKindDecodesToItsPixels)
{
    // Entry 1: 64-level (63, 32, 0); entry 2: (0xFF, 0, 16) of which only 6 bits count.
    const FlcBytes colours64 = flcSubchunk(FlicChunk::Colour64, {1, 0, 1, 2, 63, 32, 0, 0xFF, 0, 16});
    const FlcBytes colours256 = flcSubchunk(FlicChunk::Colour256, {1, 0, 255, 3, 0xF0, 0x80, 0x10, 1, 2, 3, 4, 5, 6});
    const FlcBytes copy = flcSubchunk(FlicChunk::Copy, {1, 2, 2, 1});
    const struct {
        const char* what;
        FlcBytes file;
        std::vector<std::uint16_t> pixels;
    } cases[] = {
        {"64-level colours, then a copy whose first index turns transparent", oneFrame({colours64, copy}),
         {0x0F80, 0xFF04, 0xFF04, 0x0F80}},
        {"black after a copy", oneFrame({colours64, copy, flcSubchunk(FlicChunk::Black, {})}), {0, 0, 0, 0}},
        {"unknown kinds are stepped over", oneFrame({flcSubchunk(18, {9, 9, 9, 9}), colours64, copy}),
         {0x0F80, 0xFF04, 0xFF04, 0x0F80}},
        {"a copy cut short draws what it holds", oneFrame({colours64, flcSubchunk(FlicChunk::Copy, {2, 1})}),
         {0x0F04, 0xFF80, 0xABAB, 0xABAB}},
        {"a byte-run row running over its width ends the chunk",
         oneFrame({colours64, flcSubchunk(FlicChunk::ByteRun, {1, 3, 2, 1, 2, 1})}), {0x0F04, 0x0F04, 0xABAB, 0xABAB}},
        {"a byte run of literals and repeats",
         oneFrame({colours64, flcSubchunk(FlicChunk::ByteRun, {1, 0xFE, 2, 1, 1, 2, 1})}), {0x0F04, 0xFF80, 0xFF80, 0xFF80}},
        {"a word delta: a line skip, the last pixel of an odd line, a repeated pair",
         oneFrame({colours64, flcSubchunk(FlicChunk::WordDelta, {1, 0, 0xFF, 0xFF, 2, 0x80, 1, 0, 0, 0xFE, 1, 2})}, 5, 2),
         {0xABAB, 0xABAB, 0xABAB, 0xABAB, 0xABAB, 0xFF80, 0x0F04, 0xFF80, 0x0F04, 0x0F04}},
        {"an undefined word-delta opcode ends the chunk",
         oneFrame({colours64, flcSubchunk(FlicChunk::WordDelta, {1, 0, 0, 0x40, 1, 0, 1, 0xFF, 2, 1})}),
         {0xABAB, 0xABAB, 0xABAB, 0xABAB}},
        {"colours beyond entry 255 are dropped", oneFrame({colours256, copy}), {0x0000, 0xF000, 0xF000, 0x0000}},
        {"chunks before the frame are stepped over",
         flcFile(2, 2, 40, 1, {FlcBytes{8, 0, 0, 0, 0x00, 0xF1, 0, 0}, flcFrameChunk({colours64, copy})}),
         {0x0F80, 0xFF04, 0xFF04, 0x0F80}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FlicPlayer player = loaded(c.file);
        Destination out(c.file[8], c.file[10]);
        out.decode(player);
        EXPECT_EQ(out.words, out.holding(c.pixels));
    }
}

TEST(FlicPlayer, TheFirstPixelsColourIsTransparentUntilAColourChunkSetsItAgain)
{
    const FlcBytes redGreen = flcSubchunk(FlicChunk::Colour256, {1, 0, 0, 2, 255, 0, 0, 0, 255, 0});
    const FlcBytes file = flcFile(
        2, 1, 40, 3,
        {flcFrameChunk({redGreen, flcSubchunk(FlicChunk::ByteRun, {1, 0xFE, 0, 1})}),
         // The pair (1, 0): index 1 is this chunk's first pixel, index 0 stays transparent.
         flcFrameChunk({flcSubchunk(FlicChunk::WordDelta, {1, 0, 1, 0, 0, 1, 1, 0})}),
         // Entry 0 set again (blue): opaque once more.
         flcFrameChunk({flcSubchunk(FlicChunk::Colour256, {1, 0, 0, 1, 0, 0, 255}),
                        flcSubchunk(FlicChunk::WordDelta, {1, 0, 1, 0, 0, 1, 1, 0})})});
    FlicPlayer player = loaded(file);
    Destination out(2, 1);
    const std::vector<std::uint16_t> frames[] = {{0x0F00, 0xF0F0}, {0x00F0, 0x0F00}, {0x00F0, 0xF00F}};
    for (const auto& pixels : frames) {
        out.decode(player);
        EXPECT_EQ(out.words, out.holding(pixels));
    }
}

TEST(FlicPlayer, FilesThatAreNoFlcDecodeNothingAndBrokenOnesAreRefusedNamingTheFile)
{
    FlcWriter writer(4, 4);
    writer.addFrame(FlcBytes(16, 1), FlcPalette{});
    writer.addFrame(FlcBytes(16, 2), FlcPalette{});
    const FlcBytes good = writer.bytes();
    const auto changed = [&good](std::size_t at, std::vector<std::uint8_t> bytes) {
        FlcBytes file = good;
        std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(at));
        return file;
    };
    // No magic, width 0, height 0, too short for the magic.
    for (const FlcBytes& file :
         {changed(4, {0x11}), changed(8, {0}), changed(10, {0}), FlcBytes(good.begin(), good.begin() + 5)}) {
        FlicPlayer player = loaded(file);
        EXPECT_FALSE(player.loaded());
        Destination out(4, 4);
        out.decode(player);
        EXPECT_EQ(out.words, out.holding({}));
    }
    const auto chunkEnd = [&good](std::size_t at) { return at + good[at] + (good[at + 1] << 8); };
    const std::size_t second = chunkEnd(128), ring = chunkEnd(second);
    const std::string prefix = "FlicPlayer: invalid FLC file 'anims/test.flc': ";
    const struct {
        FlcBytes file;
        std::string problem;
    } cases[] = {
        {FlcBytes(good.begin(), good.begin() + 100), "the header is cut short (100 of 128 bytes)"},
        {FlcBytes(good.begin(), good.end() - 3), "the chunk at offset " + std::to_string(ring) + " claims " +
                                                     std::to_string(good.size() - ring) + " bytes, but only " +
                                                     std::to_string(good.size() - ring - 3) + " remain"},
        {changed(128, {0, 0, 0, 0}), "the chunk at offset 128 claims 0 bytes, less than its header"},
        {changed(128, {12, 0, 0, 0}), "the frame at offset 128 is 12 bytes, less than its header"},
        {changed(128 + 16, {0xFF, 0xFF, 0, 0}),
         "subchunk 1 of the frame at offset 128 claims 65535 bytes, but the frame has " +
             std::to_string(second - 128 - 16) + " left"},
        {changed(128 + 6, {9, 0}), "subchunk 3 of the frame at offset 128 runs past the frame"},
        {changed(84, {0xFF, 0xFF, 0xFF, 0xFF}), "the second frame's offset 4294967295 starts no chunk"},
        {changed(6, {4, 0}), "the header counts 4 frames, the file holds 3"},
        {FlcBytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(second + 2)),
         "the chunk at offset " + std::to_string(second) + " is cut short"},
    };
    for (const auto& c : cases)
        EXPECT_FATAL(loaded(c.file), prefix + c.problem);
}

}  // namespace
}  // namespace mirva
