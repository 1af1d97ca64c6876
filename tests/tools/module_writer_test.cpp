// The MOD files the writer makes, byte by byte as ProTracker lays them out, and the show's
// two tunes: instruments that scripts listen to strike on the rows the scripts count on.
#include "tools/module_writer.h"

#include <gtest/gtest.h>

#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tools/divido_music.h"
#include "tools/pulse_music.h"

namespace mirva {
namespace {

// Header: title 20, 31 sample headers of 30, song length, restart, 128 orders, tag.
constexpr std::size_t kHeader = 20 + 31 * 30 + 1 + 1 + 128 + 4;

std::vector<std::uint8_t> bytesAt(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t count)
{
    return {b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + count)};
}

TEST(ModuleWriter, HeaderPatternCellsAndSampleData)
{
    ModuleWriter mod(4);
    EXPECT_EQ(mod.addSample({.name = "beep", .data = {1, -1, 2}, .volume = 40, .finetune = -1, .loopLength = 0}), 1);
    EXPECT_EQ(mod.addSample(ModuleWriter::squareWave(4)), 2);
    EXPECT_EQ(mod.addPattern(), 0);
    EXPECT_EQ(mod.addPattern(), 1);
    mod.setCell(1, 2, 3, {.note = "C-2", .sample = 18, .effect = 0xC, .param = 0x20});
    mod.setOrders({1, 1, 0});
    const std::vector<std::uint8_t> b = mod.bytes();

    ASSERT_EQ(b.size(), kHeader + 2 * 64 * 4 * 4 + 4 + 4);
    // Sample 1: name, length 2 words (3 bytes padded), finetune -1 as 0xF, volume 40, no loop.
    EXPECT_EQ(std::string(b.begin() + 20, b.begin() + 24), "beep");
    EXPECT_EQ(bytesAt(b, 42, 8), (std::vector<std::uint8_t>{0, 2, 0x0F, 40, 0, 0, 0, 1}));
    // Sample 2: 4 bytes looped from 0 over 2 words.
    EXPECT_EQ(bytesAt(b, 72, 8), (std::vector<std::uint8_t>{0, 2, 0, 64, 0, 0, 0, 2}));
    EXPECT_EQ(bytesAt(b, 950, 5), (std::vector<std::uint8_t>{3, 127, 1, 1, 0}));  // length, restart, orders
    // Pattern 1, row 2, channel 3: period 428 (0x1AC), sample 18 split into high and low
    // nibbles, effect C, parameter 0x20.
    EXPECT_EQ(bytesAt(b, kHeader + 64 * 16 + 2 * 16 + 3 * 4, 4), (std::vector<std::uint8_t>{0x11, 0xAC, 0x2C, 0x20}));
    // Sample data follows the patterns, signed bytes, padded to words.
    EXPECT_EQ(bytesAt(b, b.size() - 8, 8), (std::vector<std::uint8_t>{1, 0xFF, 2, 0, 100, 100, 0x9C, 0x9C}));
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
    EXPECT_FATAL(mod.write("/nonexistent-folder/x.mod"), "ModuleWriter: no orders set");
    mod.setOrders({0});
    EXPECT_FATAL(mod.write("/nonexistent-folder/x.mod"), "ModuleWriter: couldn't write '/nonexistent-folder/x.mod'");
}

// The rows of one order on which instrument `sample` is struck, read from the pattern the
// order plays (its number in the order table at 952; patterns from 1084, 4 bytes a cell).
std::vector<int> rowsOf(const std::vector<std::uint8_t>& b, int channels, int order, int sample)
{
    const std::size_t pattern = b.at(952 + static_cast<std::size_t>(order));
    std::vector<int> rows;
    for (std::size_t row = 0; row < 64; ++row)
        for (std::size_t channel = 0; channel < static_cast<std::size_t>(channels); ++channel) {
            const std::size_t at = 1084 + ((pattern * 64 + row) * static_cast<std::size_t>(channels) + channel) * 4;
            if (((b.at(at) & 0xF0) | b.at(at + 2) >> 4) == sample) {
                rows.push_back(static_cast<int>(row));
                break;
            }
        }
    return rows;
}

const std::vector<int> kEveryEighthRow = {0, 8, 16, 24, 32, 40, 48, 56};

// Where the scripts listen for the kick (instrument 1).
TEST(ShowMusic, TheKicksBeatEveryEighthRowWhereTheScriptsListen)
{
    EXPECT_EQ(rowsOf(composePulse().bytes(), 4, 0, 1), kEveryEighthRow);
    // The show's tune: the kick beats where drums play and rests in the breaks.
    const std::vector<std::uint8_t> divido = test::readFile(MIRVA_DATA_DIR "/music/divido.mod");
    for (int order : {2, 5, 8, 10, 12, 17, 18})
        EXPECT_EQ(rowsOf(divido, 8, order, 1), kEveryEighthRow) << "order " << order;
    for (int order : {0, 1, 11, 15, 16})
        EXPECT_TRUE(rowsOf(divido, 8, order, 1).empty()) << "order " << order;
    EXPECT_EQ(rowsOf(divido, 8, 19, 1), std::vector<int>{0});
}

}  // namespace
}  // namespace mirva
