// `Song` scripts played offline: the script time is the module's order, row and fraction of
// the row; sample triggers count on the frames whose samples start the instrument's rows;
// listeners share synchronizers; the end of the module rewinds, stops and requests the
// restart; Skip moves the module. AudioStream scripts played offline, the frame clock of
// Timer and AudioStream scripts, and the trigger counts under their mutex. And the messages
// of the Song and AudioStream sources when their files or the sound library fail.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "io/phile.h"
#include "player/frame_clock.h"
#include "player/sample_triggers.h"
#include "tests/player/player_fixture.h"

namespace mirva {
namespace {

using test::kFrameSamples;
using test::kRowFrames;
using test::time;

// The first video frame whose samples hold the start of song row `row` (speed 6, tempo
// 125: 5292 samples a row; 735 samples a video frame).
std::uint64_t frameOfRow(std::uint64_t row) { return row * kRowFrames / kFrameSamples + 1; }

// The position of the three-order module after `mixed` samples: song rows 0..63 are order
// 0, rows 64..67 order 1 (it breaks after row 3), rows 68..131 order 2.
Time threeOrderTime(std::uint64_t mixed)
{
    if (mixed == 0)
        return 0;
    const std::uint64_t songRow = (mixed - 1) / kRowFrames;
    const auto decimals = static_cast<int>(std::min<std::uint64_t>((mixed - songRow * kRowFrames) * 256 / kRowFrames, 255));
    const auto r = static_cast<int>(songRow);
    return r < 64 ? time(0, r, decimals) : r < 68 ? time(1, r - 64, decimals) : time(2, r - 68, decimals);
}

using SongSourceTest = test::SoundScriptTest;

// Instrument 3 has a note on song rows 0, 5, 17, 63 (order 0), 66 (order 1 row 2) and 68,
// 73, 85, 131 (order 2); the cell of row 40 has no note. Instrument 1 on rows 5 and 30 of
// orders 0 and 2. Both instances listen to 3 through one synchronizer, until the last of
// them ends its listening.
TEST_F(SongSourceTest, TheTimeFollowsTheModulesOrderAndRowAndTriggersCountOnTheirRowsFrames)
{
    play("Construct Clearer a\nConstruct Clearer b\nSong \"song.mod\"\n"
         "0:0:0 SampleMessageBegin a { SampleNumber = 3 }\n0:0:0 SampleMessageBegin b { SampleNumber = 1, 3 }\n"
         "0:10:0 SampleMessageEnd a\n2:40:0 SampleMessageEnd b\n");
    EXPECT_EQ(player->timeSource().describe(), "Song song.mod, 3 orders");
    std::vector<std::uint64_t> threes, ones;
    std::uint64_t n = 0;
    // Frames up to `last`: their times, and which of them counted 3 and 1.
    const auto playTo = [&](std::uint64_t last) {
        for (; n <= last; ++n) {
            ASSERT_NEAR(frame(n), threeOrderTime(n * kFrameSamples), 1) << "frame " << n;
            ASSERT_LE(player->sampleTriggers().snapshot(3), 1);   // once a row, not once a listener
            ASSERT_EQ(player->sampleTriggers().snapshot(2), 0);
            if (player->sampleTriggers().snapshot(3))
                threes.push_back(n);
            if (player->sampleTriggers().snapshot(1))
                ones.push_back(n);
        }
    };
    playTo(0);
    const HSYNC shared = song().sampleSync(3);
    EXPECT_NE(shared, 0u);
    EXPECT_EQ(player->sampleTriggers().listeners(3), 2);
    EXPECT_EQ(song().sampleSync(2), 0u);
    playTo(frameOfRow(11));
    EXPECT_EQ(player->sampleTriggers().listeners(3), 1);
    EXPECT_EQ(song().sampleSync(3), shared);   // b still listens
    playTo(test::kSongRows * kRowFrames / kFrameSamples);
    EXPECT_EQ(player->sampleTriggers().listeners(3), 0);
    EXPECT_EQ(song().sampleSync(3), 0u);
    EXPECT_EQ(BASS_ChannelRemoveSync(song().music(), shared), false);   // really gone
    EXPECT_FALSE(player->endReached());
    EXPECT_EQ(traces, "Construct a\nConstruct b\nSong  length 3\nSampleMessageBegin a\nSampleMessageBegin b\n");
    // The frames of rows 0, 5, 17, 63, 66, 68, 73 and 85 (row 131 plays to nobody), and of
    // rows 5, 30, 73 and 98.
    EXPECT_EQ(threes, (std::vector<std::uint64_t>{1, 37, 123, 454, 476, 490, 526, 613}));
    EXPECT_EQ(ones, (std::vector<std::uint64_t>{37, 217, 526, 706}));
}

TEST_F(SongSourceTest, TheEndRewindsStopsAndRequestsTheRestart)
{
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
    EXPECT_FALSE(player->endReached() || song().sampleSync(3) || player->sampleTriggers().listeners(3));
    // The replay: the start instruction plays from the start with a new end synchronizer,
    // SampleMessageBegin listens again, and the song ends again after its 4 rows.
    player->instructions()[1]->execute();
    player->instructions()[2]->execute();
    EXPECT_TRUE(song().endSync() && song().sampleSync(3));
    int triggers = 0;
    std::uint64_t n = 99;   // the music plays again from frame 99's samples
    while (!player->endReached() && n < 99 + 40) {
        frame(++n);
        triggers += player->sampleTriggers().snapshot(3);
    }
    EXPECT_EQ(n, 99u + 29);
    EXPECT_EQ(triggers, 1);   // row 1
    EXPECT_EQ(traces, "Construct c\nSong  length 1\nSampleMessageBegin c\nSong  length 1\nSampleMessageBegin c\n");
}

TEST_F(SongSourceTest, SkipSetsTheOrderAndRowAndDropsTheDecimalsAndTheMusicIsAUsedFile)
{
    Phile::enableUsedFiles();
    play("Song \"song.mod\"\n0:1:0 Skip 2:10:100\n");
    Phile::disableUsedFiles();
    EXPECT_EQ(test::readText("usedfiles.txt"), "script.txt\nsong.mod\n");
    std::uint64_t n = 0;
    while (frame(n) < time(0, 1, 0))
        ++n;
    EXPECT_EQ(n, frameOfRow(1));
    EXPECT_EQ(traces, "Song  length 3\nSkip 2:10\n");
    // The next frame's 735 samples from the start of order 2, row 10.
    EXPECT_EQ(frame(++n), time(2, 10, 735 * 256 / 5292));
}

// A song position of order, row and fraction of a row (rows below 64 as the Song scenario
// plays them; the largest values, and a row beyond), and seconds of the frame clock at a
// tempo. The clock's end as the Timer's restart shows it: equal is not past, a rewind
// clears it.
TEST(TimeSources, PositionsAndSecondsConvertToTimesAndASkipDoesNotClearThePassedEnd)
{
    EXPECT_EQ(SongSource::timeOf(127 | (63 * 256 + 255) << 16), time(127, 63, 255));
    // Row 70 of a longer pattern is ORed into the time: 70 = 64 + 6 sets the order's
    // lowest bit.
    EXPECT_EQ(SongSource::timeOf(2 | (70 * 256 + 5) << 16), time(3, 6, 5));
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

TEST_F(AudioStreamTest, SkipMovesTheClockAndTheFilePlaysOnButThereAreNoSamplesToListenTo)
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
    // A stream has no samples to listen to.
    play("Construct Clearer c\nAudioStream \"tune.wav\" 120 1.0\n0:0:0 SampleMessageBegin c { SampleNumber = 3 }\n");
    EXPECT_FATAL(frame(0),
                 "Setting a synchronizer failed (BASS message: handle is not a valid MOD music handle.) SampleNumber = 3");
}

TEST(SampleTriggers, TheSnapshotTakesTheCountsOfOneFrameAndBothSidesGiveUpOnTheMutex)
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
    // Both sides give up on the mutex after half a second.
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

const std::string kNotInitialised = " (BASS message: BASS_Init has not been successfully called.)";

using SoundErrorsTest = test::SoundScriptTest;

// The message each script stops with; "" for one that loads.
TEST_F(SoundErrorsTest, ScriptsWhoseSoundCannotPlayStopWithTheirMessage)
{
    test::writeText("notes.txt", "no module, no audio\n");
    const std::string missing = " loading failed (BASS message: The file could not be opened.)";
    const std::string mystery = "File notes.txt loading failed (BASS message: Some other mystery problem!)";
    const std::string pastTheEnd = "line 2 Skip: song end time <= skip time";
    expectMessages({
        {"Song \"notes.txt\"", mystery},
        {"AudioStream \"music/none.mp3\" 120 1.0", "File music/none.mp3" + missing},
        {"AudioStream \"notes.txt\" 120 1.0", mystery},
        {"\nAudioStream \"a.wav\" 0 1.0", "line 2 AudioStream: tempo must be above 0"},
        // Skip stays before the end of the module, and before 100000 orders for a stream.
        {"Song \"song.mod\"\n0:1:0 Skip 3:0:0\n", pastTheEnd},
        {"Song \"song.mod\"\n0:1:0 Skip 2:63:255\n", ""},
        {"AudioStream \"tune.wav\" 120 1.0\n0:1:0 Skip 100000:0:0\n", pastTheEnd},
        {"AudioStream \"tune.wav\" 120 1.0\n0:1:0 Skip 99999:63:255\n", ""},
    });
    // Each load freed the library again; one that is already running stops the load.
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(messageOf("Song \"song.mod\""),
              "Music player initialization failed (BASS message: BASS has already been initialized. You must call "
              "BASS_Free before calling BASS_Init again.)");
    // The library belongs to whoever started it: the failed script left it running.
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Offline);
    BASS_Free();
}

// The library freed under a loaded script: every later call of the sources fails.
TEST_F(SoundErrorsTest, CallsOnAFreedLibrary)
{
    const std::string song = "Construct Clearer c\nSong \"song.mod\"\n0:0:0 SampleMessageBegin c { SampleNumber = 3 }\n"
                             "0:0:1 SampleMessageEnd c\n";
    play(song + "0:0:2 Skip 2:10:0\n");
    BASS_Free();
    EXPECT_FATAL(player->instructions()[1]->execute(), "Music playing failed" + kNotInitialised);
    EXPECT_FATAL(player->instructions()[2]->execute(),
                 "Setting a synchronizer failed" + kNotInitialised + " SampleNumber = 3");
    EXPECT_FATAL(player->instructions()[4]->execute(), "Setting song position 2:10 failed" + kNotInitialised);
    // A synchronizer set while the library ran, removed after it was freed.
    play(song);
    player->executeDueInstructions(0);
    BASS_Free();
    EXPECT_FATAL(player->executeDueInstructions(1), "Removing a synchronizer failed" + kNotInitialised);
    play("AudioStream \"tune.wav\" 120 1.0\n");
    BASS_Free();
    EXPECT_FATAL(player->instructions()[0]->execute(), "AudioStream playing failed" + kNotInitialised);
}

// No sound card (SDL's dummy driver): the null device plays the module in real time on a
// thread of its own, and the end is handed over from that thread (the replay after it is
// the offline one).
using SongWithoutSoundCard = test::ScriptPlayerTest;

TEST_F(SongWithoutSoundCard, TheEndIsHandedOverFromTheMixingThread)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    test::fourRowModule().write("four.mod");
    player = load("Song \"four.mod\"\n");
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Null);
    auto& song = dynamic_cast<SongSource&>(player->timeSource());
    player->executeDueInstructions(player->readTime(0.0f));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);   // 4 rows of 0.12 s
    while (!player->endReached() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(player->endReached());
    EXPECT_EQ(BASS_ChannelIsActive(song.music()), 0u);
    EXPECT_EQ(song.endSync(), 0u);
    EXPECT_EQ(player->readTime(0.0f), 0);
}

}  // namespace
}  // namespace mirva
