// The show's music: the committed file is what the composer writes, the sound layer plays
// it at the length the show's script counts on, and the instruments scripts listen to sit
// where the script expects them.
#include "tools/divido_music.h"

#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sound/module_info.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

constexpr std::size_t kOrderTable = 952;
constexpr std::size_t kPatterns = 1084;
constexpr int kChannels = 8;

const std::vector<std::uint8_t>& committed()
{
    static const std::vector<std::uint8_t> bytes = test::readFile(MIRVA_DATA_DIR "/music/divido.mod");
    return bytes;
}

// The instruments struck on one row of one order, read from the pattern the order plays.
std::set<int> instrumentsAt(int order, int row)
{
    const std::vector<std::uint8_t>& b = committed();
    const std::size_t pattern = b.at(kOrderTable + static_cast<std::size_t>(order));
    std::set<int> found;
    for (int channel = 0; channel < kChannels; ++channel) {
        const std::size_t at = kPatterns + ((pattern * 64 + static_cast<std::size_t>(row)) * kChannels + static_cast<std::size_t>(channel)) * 4;
        if (const int sample = (b.at(at) & 0xF0) | b.at(at + 2) >> 4)
            found.insert(sample);
    }
    return found;
}

std::vector<int> kickRows(int order)
{
    std::vector<int> rows;
    for (int row = 0; row < 64; ++row)
        if (instrumentsAt(order, row).contains(1))
            rows.push_back(row);
    return rows;
}

TEST(DividoMusic, PlaysEightChannelsAndTwentyOrdersFor153Seconds)
{
    const std::optional<ModuleInfo> info = describeModule(committed().data(), committed().size());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format, "mod");
    EXPECT_EQ(info->formatName, "ProTracker MOD (8CHN)");
    EXPECT_EQ(info->channels, 8);
    EXPECT_EQ(info->orders, 20);
    EXPECT_NEAR(info->seconds, 153.6, 0.5);
}

TEST(DividoMusic, EveryInstrumentPlays)
{
    std::set<int> heard;
    for (int order = 0; order < 20; ++order)
        for (int row = 0; row < 64; ++row)
            heard.merge(instrumentsAt(order, row));
    EXPECT_EQ(heard, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(DividoMusic, TheKickBeatsEveryEighthRowWhereDrumsPlayAndRestsInTheBreak)
{
    const std::vector<int> beat = {0, 8, 16, 24, 32, 40, 48, 56};
    for (int order : {2, 5, 8, 10, 12, 17, 18})
        EXPECT_EQ(kickRows(order), beat) << "order " << order;
    for (int order : {0, 1, 11, 15, 16})
        EXPECT_TRUE(kickRows(order).empty()) << "order " << order;
    EXPECT_EQ(kickRows(19), std::vector<int>{0});
}

TEST(DividoMusic, CrashesOpenTheSections)
{
    for (int order = 0; order < 20; ++order) {
        const bool opens = std::set<int>{2, 5, 8, 12, 17, 19}.contains(order);
        EXPECT_EQ(instrumentsAt(order, 0).contains(8), opens) << "order " << order;
    }
}

}  // namespace
}  // namespace mirva
