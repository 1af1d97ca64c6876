// `Song` scripts played offline: the script time is the module's order, row and part of
// the row; sample triggers count on the frames whose samples start the instrument's rows;
// listeners share synchronizers; the end of the module rewinds, stops and requests the
// restart; Skip moves the module.
#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "player/song_source.h"
#include "tests/player/sound_script_fixture.h"
#include "tests/sound/sound_fixture.h"

namespace mirva {
namespace {

using test::kFrameSamples;
using test::kRowFrames;

constexpr Time time(int order, int row, int decimals)
{
    return order << 14 | row << 8 | decimals;
}

// The first video frame whose samples hold the start of song row `row` (speed 6, tempo
// 125: 5292 samples a row; 735 samples a video frame).
std::uint64_t frameOfRow(std::uint64_t row)
{
    return row * kRowFrames / kFrameSamples + 1;
}

// The position of the three-order module after `mixed` samples: song rows 0..63 are order
// 0, rows 64..67 order 1 (it breaks after row 3), rows 68..131 order 2.
Time threeOrderTime(std::uint64_t mixed)
{
    if (mixed == 0)
        return 0;
    const std::uint64_t songRow = (mixed - 1) / kRowFrames;
    const auto decimals = static_cast<int>(std::min<std::uint64_t>((mixed - songRow * kRowFrames) * 256 / kRowFrames, 255));
    const auto r = static_cast<int>(songRow);
    if (r < 64)
        return time(0, r, decimals);
    if (r < 68)
        return time(1, r - 64, decimals);
    return time(2, r - 68, decimals);
}

class SongSourceTest : public test::SoundScriptTest {
protected:
    SongSource& song() { return dynamic_cast<SongSource&>(player->timeSource()); }
};

TEST_F(SongSourceTest, TheScriptTimeFollowsTheModulesOrderAndRow)
{
    test::threeOrderModule().write("song.mod");
    play("Song \"song.mod\"\n");
    EXPECT_EQ(player->timeSource().describe(), "Song song.mod, 3 orders");
    EXPECT_FLOAT_EQ(player->timeMultiplier(), 1.0f);
    EXPECT_EQ(frame(0), 0);
    EXPECT_EQ(traces, "Song  length 3\n");
    const std::uint64_t lastFrame = test::kSongRows * kRowFrames / kFrameSamples;
    for (std::uint64_t n = 1; n <= lastFrame; ++n) {
        const Time expected = threeOrderTime(n * kFrameSamples);
        const Time t = frame(n);
        ASSERT_EQ(t >> 8, expected >> 8) << "frame " << n;
        ASSERT_NEAR(t & 255, expected & 255, 1) << "frame " << n;
    }
    EXPECT_FALSE(player->endReached());
}

TEST_F(SongSourceTest, TriggersCountOnTheFramesOfTheInstrumentsRows)
{
    test::threeOrderModule().write("song.mod");
    play("Construct Clearer a\nConstruct Clearer b\nSong \"song.mod\"\n"
         "0:0:0 SampleMessageBegin a { SampleNumber = 3 }\n"
         "0:0:0 SampleMessageBegin b { SampleNumber = 1, 3 }\n");
    std::vector<std::uint64_t> threes;
    std::vector<std::uint64_t> ones;
    for (std::uint64_t n = 0; n < frameOfRow(test::kSongRows); ++n) {
        frame(n);
        const int three = player->sampleTriggers().snapshot(3);
        const int one = player->sampleTriggers().snapshot(1);
        ASSERT_LE(three, 1);
        if (three)
            threes.push_back(n);
        if (one)
            ones.push_back(n);
        ASSERT_EQ(player->sampleTriggers().snapshot(2), 0);
    }
    // Instrument 3 with a note on song rows 0, 5, 17, 63 (order 0), 66 (order 1 row 2) and
    // 68, 73, 85, 131 (order 2); the cell of row 40 has no note. Instrument 1 on rows 5
    // and 30 of orders 0 and 2.
    std::vector<std::uint64_t> expectedThrees;
    for (std::uint64_t row : {0, 5, 17, 63, 66, 68, 73, 85, 131})
        expectedThrees.push_back(frameOfRow(row));
    std::vector<std::uint64_t> expectedOnes;
    for (std::uint64_t row : {5, 30, 73, 98})
        expectedOnes.push_back(frameOfRow(row));
    EXPECT_EQ(threes, expectedThrees);
    EXPECT_EQ(ones, expectedOnes);
}

TEST_F(SongSourceTest, InstancesOnOneSampleNumberShareOneSynchronizer)
{
    test::threeOrderModule().write("song.mod");
    play("Construct Clearer a\nConstruct Clearer b\nSong \"song.mod\"\n"
         "0:0:0 SampleMessageBegin a { SampleNumber = 3 }\n"
         "0:0:0 SampleMessageBegin b { SampleNumber = 3 }\n"
         "0:10:0 SampleMessageEnd a\n"
         "0:20:0 SampleMessageEnd b\n");
    frame(0);
    const HSYNC shared = song().sampleSync(3);
    EXPECT_NE(shared, 0u);
    EXPECT_EQ(player->sampleTriggers().listeners(3), 2);
    EXPECT_EQ(song().sampleSync(1), 0u);

    int counted = 0;
    std::uint64_t n = 1;
    for (; n < frameOfRow(11); ++n) {
        frame(n);
        counted += player->sampleTriggers().snapshot(3);
    }
    EXPECT_EQ(counted, 2);   // rows 0 and 5: once each, not once per listener
    EXPECT_EQ(player->sampleTriggers().listeners(3), 1);
    EXPECT_EQ(song().sampleSync(3), shared);   // b still listens

    for (; n < frameOfRow(21); ++n) {
        frame(n);
        counted += player->sampleTriggers().snapshot(3);
    }
    EXPECT_EQ(counted, 3);   // row 17
    EXPECT_EQ(player->sampleTriggers().listeners(3), 0);
    EXPECT_EQ(song().sampleSync(3), 0u);
    EXPECT_EQ(BASS_ChannelRemoveSync(song().music(), shared), false);   // really gone

    for (; n <= frameOfRow(63); ++n) {
        frame(n);
        counted += player->sampleTriggers().snapshot(3);
    }
    EXPECT_EQ(counted, 3);   // row 63 plays to nobody
}

TEST_F(SongSourceTest, TheEndRewindsStopsAndRequestsTheRestart)
{
    test::fourRowModule().write("four.mod");
    play("Construct Clearer c\nSong \"four.mod\"\n0:0:0 SampleMessageBegin c { SampleNumber = 3 }\n");
    frame(0);
    EXPECT_NE(song().endSync(), 0u);
    // The end comes with the first sample after the 4 rows: in frame 29 (samples 20580
    // to 21315), not in frame 28.
    for (std::uint64_t n = 1; n <= 28; ++n)
        frame(n);
    EXPECT_FALSE(player->endReached());
    EXPECT_EQ(BASS_ChannelIsActive(song().music()), 1u);
    EXPECT_EQ(frame(29), 0);   // rewound
    EXPECT_TRUE(player->endReached());
    EXPECT_EQ(BASS_ChannelIsActive(song().music()), 0u);
    EXPECT_EQ(song().endSync(), 0u);

    // Stopped: the time stays at the start and nothing more plays or ends.
    for (std::uint64_t n = 30; n < 100; ++n)
        EXPECT_EQ(frame(n), 0);
    EXPECT_EQ(player->sampleTriggers().snapshot(3), 0);

    player->rewindTimeSource();
    EXPECT_FALSE(player->endReached());
    EXPECT_EQ(song().sampleSync(3), 0u);
    EXPECT_EQ(player->sampleTriggers().listeners(3), 0);

    // The replay: the start instruction plays from the start with a new end synchronizer,
    // SampleMessageBegin listens again, and the song ends again after its 4 rows.
    player->instructions()[1]->execute();
    player->instructions()[2]->execute();
    EXPECT_NE(song().endSync(), 0u);
    EXPECT_NE(song().sampleSync(3), 0u);
    const std::uint64_t restart = 99;   // the music plays again from frame 99's samples
    int triggers = 0;
    std::uint64_t n = restart;
    while (!player->endReached() && n < restart + 40) {
        frame(++n);
        triggers += player->sampleTriggers().snapshot(3);
    }
    EXPECT_EQ(n, restart + 29);
    EXPECT_EQ(triggers, 1);   // row 1
    EXPECT_EQ(traces, "Construct c\nSong  length 1\nSampleMessageBegin c\nSong  length 1\nSampleMessageBegin c\n");
}

TEST_F(SongSourceTest, SkipSetsTheOrderAndRowAndDropsTheDecimals)
{
    test::threeOrderModule().write("song.mod");
    play("Song \"song.mod\"\n0:1:0 Skip 2:10:100\n");
    std::uint64_t n = 0;
    while (frame(n) < time(0, 1, 0))
        ++n;
    EXPECT_EQ(n, frameOfRow(1));
    EXPECT_EQ(traces, "Song  length 3\nSkip 2:10\n");
    // The next frame's 735 samples from the start of order 2, row 10.
    EXPECT_EQ(frame(++n), time(2, 10, 735 * 256 / 5292));
}

TEST_F(SongSourceTest, SkipStaysBeforeTheEndOfTheModule)
{
    test::threeOrderModule().write("song.mod");
    EXPECT_EQ(messageOf("Song \"song.mod\"\n0:1:0 Skip 3:0:0\n"), "line 2 Skip: song end time <= skip time");
    EXPECT_EQ(messageOf("Song \"song.mod\"\n0:1:0 Skip 0:1:0\n"),
              "line 2 Skip: skip time <= instruction's time. must skip forward.");
    play("Song \"song.mod\"\n0:1:0 Skip 2:63:255\n");
    EXPECT_EQ(player->instructions().size(), 2u);
}

// No sound card (SDL's dummy driver): the null device plays the module in real time on a
// thread of its own, and the end is handed over from that thread.
class SongWithoutSoundCard : public test::ScriptPlayerTest {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override { player.reset(); }
    std::unique_ptr<ScriptPlayer> player;
};

TEST_F(SongWithoutSoundCard, TheNullDeviceKeepsTime)
{
    test::threeOrderModule().write("song.mod");
    // The null device keeps time from the start of the output, while the script loads.
    const auto begin = std::chrono::steady_clock::now();
    player = load("Song \"song.mod\"\n");
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Null);
    player->executeDueInstructions(player->readTime(0.0f));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const Time t = player->readTime(0.0f);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    // A row lasts 0.12 s: after 0.4 s of play more than a row has passed, and never more
    // than the wall clock allows.
    const double rows = t / 256.0;
    EXPECT_GT(rows, 1.0);
    EXPECT_LT(rows, seconds / 0.12 + 0.1);
}

TEST_F(SongWithoutSoundCard, TheEndIsHandedOverFromTheMixingThread)
{
    test::fourRowModule().write("four.mod");
    player = load("Song \"four.mod\"\n");
    auto& song = dynamic_cast<SongSource&>(player->timeSource());
    player->executeDueInstructions(player->readTime(0.0f));
    // 4 rows of 0.12 s.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!player->endReached() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(player->endReached());
    EXPECT_EQ(BASS_ChannelIsActive(song.music()), 0u);
    EXPECT_EQ(song.endSync(), 0u);
    EXPECT_EQ(player->readTime(0.0f), 0);
    player->rewindTimeSource();
    EXPECT_FALSE(player->endReached());
    player->instructions()[0]->execute();
    EXPECT_EQ(BASS_ChannelIsActive(song.music()), 1u);
}

TEST(SongPosition, OrderRowAndFractionMakeTheTime)
{
    EXPECT_EQ(SongSource::timeOf(2 | (10 * 256 + 100) << 16), time(2, 10, 100));
    EXPECT_EQ(SongSource::timeOf(0), 0);
    EXPECT_EQ(SongSource::timeOf(127 | (63 * 256 + 255) << 16), time(127, 63, 255));
    // Row 70 of a longer pattern is ORed into the time: 70 = 64 + 6 sets the order's
    // lowest bit.
    EXPECT_EQ(SongSource::timeOf(2 | (70 * 256 + 5) << 16), time(3, 6, 5));
}

}  // namespace
}  // namespace mirva
