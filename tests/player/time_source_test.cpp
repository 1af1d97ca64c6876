// The frame clock of Timer and AudioStream scripts, AudioStream scripts played offline,
// and the trigger counts under their mutex.
#include <array>
#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "player/frame_clock.h"
#include "player/sample_triggers.h"
#include "tests/player/script_player_fixture.h"

namespace mirva {
namespace {

using test::time;

// The end as the Timer's restart shows it: equal is not past, a rewind clears it.
TEST(FrameClock, SecondsConvertAtTheTempoAndASkipDoesNotClearThePassedEnd)
{
    EXPECT_EQ(FrameClock::timeOf(1.5, 60), time(0, 1, 128));   // 60 rows a minute: a row and a half
    EXPECT_EQ(FrameClock::timeOf(60.0, 64), time(1, 0, 0));    // 64 rows a minute: an order a minute
    EXPECT_EQ(FrameClock::timeOf(0.5, 64), time(0, 0, 136));   // 0.5333 rows
    EXPECT_EQ(FrameClock::timeOf(600.0, 125), time(19, 34, 0));   // 1250 rows
    FrameClock clock(time(0, 2, 0), 60);
    EXPECT_EQ(clock.advance(2.004), time(0, 2, 1));
    clock.skipTo(time(0, 1, 0));
    EXPECT_TRUE(clock.passedEnd());
}

using AudioStreamTest = test::SoundScriptTest;

TEST_F(AudioStreamTest, TheTimeIsTheFrameClockAndTheFilesEndEndsTheScript)
{
    play("AudioStream \"tune.wav\" 120 2.0\n");
    EXPECT_EQ(player->timeSource().describe(), "AudioStream tune.wav, 1.00 s, tempo 120, time multiplier 2");
    // At 120 rows a minute a frame of 1/60 s is 1/30 of a row: frame n reads (n + 1) * 256 / 30.
    for (std::uint64_t n = 0; n <= 60; ++n) {
        EXPECT_NEAR(frame(n), static_cast<double>((n + 1) * 256 / 30), 1.0) << "frame " << n;
        ASSERT_FALSE(player->endReached()) << "frame " << n;
    }
    EXPECT_EQ(traces, "AudioStream  length 176400\n");
    EXPECT_EQ(BASS_ChannelIsActive(stream().stream()), 1u);
    // The 44100 frames are all mixed by frame 60; the end comes with frame 61.
    frame(61);
    EXPECT_TRUE(player->endReached());
    const auto h = stream().stream();   // stopped, at the start, without its end synchronizer
    EXPECT_EQ((std::array<std::uint64_t, 3>{BASS_ChannelIsActive(h), BASS_ChannelGetPosition(h), stream().endSync()}),
              (std::array<std::uint64_t, 3>{}));
    player->rewindTimeSource();
    EXPECT_FALSE(player->endReached() || stream().clock().seconds() != 0.0);
    player->instructions()[0]->execute();
    EXPECT_EQ(BASS_ChannelIsActive(stream().stream()), 1u);
    EXPECT_NE(stream().endSync(), 0u);
}

TEST_F(AudioStreamTest, SkipMovesTheClockAndTheFilePlaysOn)
{
    play("AudioStream \"tune.wav\" 120 1.0\n0:0:128 Skip 0:40:0\n");
    std::uint64_t n = 0;
    while (frame(n) < time(0, 0, 128))
        ++n;
    EXPECT_EQ(n, 14u);   // 15 frames of 1/30 row
    EXPECT_DOUBLE_EQ(stream().clock().seconds(), 20.0);   // 40 rows of half a second
    EXPECT_EQ(traces, "AudioStream  length 176400\nSkip 0:40\n");
    EXPECT_NEAR(frame(++n), time(0, 40, 8), 1.0);
    EXPECT_EQ(BASS_ChannelGetPosition(stream().stream()), n * test::kFrameSamples * 4);
}

TEST_F(AudioStreamTest, AStreamHasNoSamplesToListenTo)
{
    play("Construct Clearer c\nAudioStream \"tune.wav\" 120 1.0\n0:0:0 SampleMessageBegin c { SampleNumber = 3 }\n");
    EXPECT_FATAL(frame(0),
                 "Setting a synchronizer failed (BASS message: handle is not a valid MOD music handle.) SampleNumber = 3");
}

TEST(SampleTriggers, TheSnapshotTakesTheCountsOfOneFrame)
{
    SampleTriggers triggers;
    EXPECT_TRUE(triggers.count(3) && triggers.count(3) && triggers.count(127));
    EXPECT_FALSE(triggers.count(128));   // no such sample number
    triggers.takeSnapshot();
    // Twice between two frames counts 2.
    EXPECT_EQ((std::array{triggers.snapshot(3), triggers.snapshot(127), triggers.pending(3)}), (std::array{2, 1, 0}));
    triggers.takeSnapshot();
    EXPECT_EQ(triggers.snapshot(3), 0);
    triggers.count(5);
    triggers.reset();
    EXPECT_EQ(triggers.pending(5), 0);
}

TEST(SampleTriggers, BothSidesGiveUpOnTheMutexAfterHalfASecond)
{
    SampleTriggers triggers;
    triggers.count(7);
    triggers.takeSnapshot();
    triggers.count(7);
    std::promise<void> locked, release;
    std::thread holder([&] {
        std::lock_guard lock(triggers.mutex());
        locked.set_value();
        release.get_future().wait();
    });
    locked.get_future().wait();
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(triggers.count(7));   // not counted
    triggers.takeSnapshot();           // all 0; the count waits for the next frame
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    release.set_value();
    holder.join();
    EXPECT_GE(waited, 0.95);
    EXPECT_EQ(triggers.snapshot(7), 0);
    triggers.takeSnapshot();
    EXPECT_EQ(triggers.snapshot(7), 1);
}

}  // namespace
}  // namespace mirva
