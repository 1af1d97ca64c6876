// The MOD files the writer makes, byte by byte as ProTracker lays them out.
#include "tools/module_writer.h"

#include <gtest/gtest.h>

#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

// Header: title 20, 31 sample headers of 30, song length, restart, 128 orders, tag.
constexpr std::size_t kHeader = 20 + 31 * 30 + 1 + 1 + 128 + 4;

TEST(ModuleWriter, HeaderPatternCellsAndSampleData)
{
    ModuleWriter mod(4);
    mod.setTitle("known rows");
    ModuleWriter::Sample sample{.name = "beep", .data = {1, -1, 2}, .volume = 40, .finetune = -1, .loopLength = 0};
    EXPECT_EQ(mod.addSample(sample), 1);
    EXPECT_EQ(mod.addSample(ModuleWriter::squareWave(4)), 2);
    EXPECT_EQ(mod.addPattern(), 0);
    EXPECT_EQ(mod.addPattern(), 1);
    mod.setCell(1, 2, 3, {.note = "C-2", .sample = 18, .effect = 0xC, .param = 0x20});
    mod.setOrders({1, 1, 0});
    const std::vector<std::uint8_t> b = mod.bytes();

    ASSERT_EQ(b.size(), kHeader + 2 * 64 * 4 * 4 + 4 + 4);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 10), "known rows");
    // Sample 1: name, length 2 words (3 bytes padded), finetune -1 as 0xF, volume 40, no loop.
    EXPECT_EQ(std::string(b.begin() + 20, b.begin() + 24), "beep");
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 42, b.begin() + 50),
              (std::vector<std::uint8_t>{0, 2, 0x0F, 40, 0, 0, 0, 1}));
    // Sample 2: 4 bytes looped from 0 over 2 words.
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 72, b.begin() + 80),
              (std::vector<std::uint8_t>{0, 2, 0, 64, 0, 0, 0, 2}));
    EXPECT_EQ(b[950], 3);    // song length
    EXPECT_EQ(b[952], 1);    // orders 1, 1, 0
    EXPECT_EQ(b[953], 1);
    EXPECT_EQ(b[954], 0);
    EXPECT_EQ(std::string(b.begin() + 1080, b.begin() + 1084), "M.K.");
    // Pattern 1, row 2, channel 3: period 428 (0x1AC), sample 18 split into high and low
    // nibbles, effect C, parameter 0x20.
    const std::size_t cell = kHeader + 64 * 16 + 2 * 16 + 3 * 4;
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + static_cast<long>(cell), b.begin() + static_cast<long>(cell) + 4),
              (std::vector<std::uint8_t>{0x11, 0xAC, 0x2C, 0x20}));
    // Sample data follows the patterns, signed bytes, padded to words.
    EXPECT_EQ(std::vector<std::uint8_t>(b.end() - 8, b.end()),
              (std::vector<std::uint8_t>{1, 0xFF, 2, 0, 100, 100, 0x9C, 0x9C}));
}

TEST(ModuleWriter, ChannelCountTags)
{
    for (auto [channels, tag] : {std::pair{6, "6CHN"}, {8, "8CHN"}, {16, "16CH"}, {32, "32CH"}}) {
        ModuleWriter mod(channels);
        mod.addPattern();
        mod.setOrders({0});
        const std::vector<std::uint8_t> b = mod.bytes();
        EXPECT_EQ(std::string(b.begin() + 1080, b.begin() + 1084), tag);
        EXPECT_EQ(b.size(), kHeader + static_cast<std::size_t>(64 * channels * 4));
    }
}

TEST(ModuleWriter, PeriodsOfProTrackersThreeOctaves)
{
    EXPECT_EQ(ModuleWriter::period("C-1"), 856);
    EXPECT_EQ(ModuleWriter::period("A-2"), 254);
    EXPECT_EQ(ModuleWriter::period("B-3"), 113);
    EXPECT_EQ(ModuleWriter::period("F#2"), 302);
    EXPECT_EQ(ModuleWriter::noteName(0), "C-1");
    EXPECT_EQ(ModuleWriter::noteName(18), "F#2");
    EXPECT_EQ(ModuleWriter::noteName(35), "B-3");
}

TEST(ModuleWriter, BadInputIsFatal)
{
    EXPECT_FATAL(ModuleWriter::period("H-2"), "ModuleWriter: 'H-2' is no note from C-1 to B-3");
    EXPECT_FATAL(ModuleWriter::period("C-4"), "ModuleWriter: 'C-4' is no note from C-1 to B-3");
    EXPECT_FATAL(ModuleWriter::noteName(36), "ModuleWriter: note 36 is outside C-1 to B-3");
    EXPECT_FATAL(ModuleWriter(33), "ModuleWriter: 33 channels (a MOD has 1 to 32)");
    ModuleWriter mod(4);
    mod.addPattern();
    EXPECT_FATAL(mod.setCell(0, 64, 0, {}), "ModuleWriter: no cell at pattern 0, row 64, channel 0");
    EXPECT_FATAL(mod.setCell(0, 0, 0, {.sample = 32}), "ModuleWriter: bad cell (sample 32, effect 0, parameter 0)");
    EXPECT_FATAL(mod.setOrders({1}), "ModuleWriter: order names pattern 1, which doesn't exist");
    EXPECT_FATAL(mod.bytes(), "ModuleWriter: no orders set");
    EXPECT_FATAL(mod.write("/nonexistent-folder/x.mod"), "ModuleWriter: no orders set");
    mod.setOrders({0});
    EXPECT_FATAL(mod.write("/nonexistent-folder/x.mod"), "ModuleWriter: couldn't write '/nonexistent-folder/x.mod'");
}

}  // namespace
}  // namespace mirva
