// Modules played offline: positions, instrument synchronizers and the end of the song,
// checked against row starts worked out from speed and tempo.
#include <vector>

#include <gtest/gtest.h>

#include "platform/sound/bass.h"
#include "platform/sound/sound_output.h"
#include "tests/sound/sound_fixture.h"

namespace mirva {
namespace {

using test::kRowFrames;
using test::kVideoFrame;

struct Heard {
    std::uint64_t mixed;   // frames mixed when the callback ran
    DWORD channel;
    DWORD data;
};

void record(HSYNC, DWORD channel, DWORD data, void* user)
{
    static_cast<std::vector<Heard>*>(user)->push_back({SoundOutput::mixedFrames(), channel, data});
}

DWORD position(DWORD order, DWORD row, DWORD fraction)
{
    return order | (row * 256 + fraction) << 16;
}

class MusicTest : public test::OfflineSound {};

TEST_F(MusicTest, InstrumentSyncFiresInTheVideoFrameOfEachRowStart)
{
    const HMUSIC music = load(test::threeOrderModule());
    ASSERT_NE(music, 0u);
    std::vector<Heard> heard;
    ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, record, &heard), 0u);
    ASSERT_TRUE(BASS_MusicPlay(music));

    std::vector<std::uint64_t> videoFrames;
    std::size_t seen = 0;
    for (std::uint64_t frame = 1; frame <= test::kSongRows * kRowFrames / kVideoFrame + 2; ++frame) {
        SoundOutput::mixTo(frame * kVideoFrame);
        for (; seen < heard.size(); ++seen)
            videoFrames.push_back(frame - 1);   // the frame whose samples held the row start
    }
    // Song rows with instrument 3 and a note: order 0 rows 0, 5, 17, 63; order 1 row 2;
    // order 2 (from song row 68) rows 0, 5, 17, 63.
    const std::vector<std::uint64_t> rows = {0, 5, 17, 63, 66, 68, 73, 85, 131};
    std::vector<std::uint64_t> expectedFrames;
    for (std::uint64_t row : rows)
        expectedFrames.push_back(row * kRowFrames / kVideoFrame);
    EXPECT_EQ(videoFrames, expectedFrames);
    ASSERT_EQ(heard.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // Rows start on their exact frame: the callback runs right after mixing it.
        EXPECT_EQ(heard[i].mixed, rows[i] * kRowFrames + 1) << "row " << rows[i];
        EXPECT_EQ(heard[i].channel, music);
    }
}

TEST_F(MusicTest, InstrumentSyncDataHasTheNoteAndItsVolume)
{
    const HMUSIC music = load(test::threeOrderModule());
    std::vector<Heard> heard;
    BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, record, &heard);
    BASS_MusicPlay(music);
    SoundOutput::mixTo(18 * kRowFrames);
    ASSERT_EQ(heard.size(), 3u);   // rows 0 (C-2), 5 (C-3), 17 (G-2 with volume 0x20)
    EXPECT_EQ(heard[0].data >> 16, 64u);
    EXPECT_EQ(heard[1].data >> 16, 64u);
    EXPECT_EQ(heard[2].data >> 16, 32u);
    EXPECT_EQ((heard[1].data & 0xFFFF) - (heard[0].data & 0xFFFF), 12u);   // an octave
    EXPECT_EQ((heard[2].data & 0xFFFF) - (heard[0].data & 0xFFFF), 7u);    // a fifth
}

TEST_F(MusicTest, InstrumentSyncForOneNoteOnlyAndSeveralSyncsOnOneInstrument)
{
    const HMUSIC music = load(test::threeOrderModule());
    std::vector<Heard> any, again, c3;
    const HSYNC first = BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, record, &any);
    BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, record, &again);
    BASS_MusicPlay(music);
    SoundOutput::mixTo(1);
    ASSERT_EQ(any.size(), 1u);
    const DWORD c2 = any[0].data & 0xFFFF;
    BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 3 | (c2 + 12) << 16, record, &c3);
    ASSERT_TRUE(BASS_ChannelRemoveSync(music, first));
    SoundOutput::mixTo(18 * kRowFrames);
    EXPECT_EQ(any.size(), 1u);     // removed after row 0
    EXPECT_EQ(again.size(), 3u);   // rows 0, 5, 17
    ASSERT_EQ(c3.size(), 1u);      // only the C-3 of row 5
    EXPECT_EQ(c3[0].mixed, 5 * kRowFrames + 1);
}

TEST_F(MusicTest, PositionIsOrderRowAndFractionOfTheRow)
{
    const HMUSIC music = load(test::threeOrderModule());
    ASSERT_TRUE(BASS_MusicSetPositionScaler(music, 256));
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 0, 0));
    ASSERT_TRUE(BASS_MusicPlay(music));
    SoundOutput::mixTo(kRowFrames / 2);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 0, 128));
    SoundOutput::mixTo(10 * kRowFrames + kRowFrames / 4);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 10, 64));
    SoundOutput::mixTo(11 * kRowFrames);   // the last frame of row 10
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 10, 255));
    SoundOutput::mixTo(66 * kRowFrames + kRowFrames / 2);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(1, 2, 128));
    SoundOutput::mixTo(68 * kRowFrames + 1);   // after the break: order 2 from its row 0
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(2, 0, 0));
    EXPECT_EQ(BASS_MusicGetLength(music), 3u);

    // Without a scaler the high 16 bits are the row alone.
    ASSERT_TRUE(BASS_MusicSetPositionScaler(music, 1));
    SoundOutput::mixTo(68 * kRowFrames + 9 * kRowFrames + kRowFrames / 2);
    EXPECT_EQ(BASS_ChannelGetPosition(music), 2u | 9u << 16);
}

TEST_F(MusicTest, RowsFollowSpeedTempoAndPatternDelay)
{
    ModuleWriter mod(4);
    mod.addSample(ModuleWriter::squareWave(32));
    const int p = mod.addPattern();
    mod.setCell(p, 0, 3, {.effect = 0xF, .param = 3});       // speed 3: rows of 3 * 882 frames
    mod.setCell(p, 2, 0, {.note = "C-2", .sample = 1});
    // Tempo 90: ticks of 1225 frames. As in ProTracker, from the row's second tick on.
    mod.setCell(p, 4, 0, {.note = "C-2", .sample = 1, .effect = 0xF, .param = 90});
    mod.setCell(p, 6, 0, {.note = "C-2", .sample = 1});
    mod.setCell(p, 7, 3, {.effect = 0xE, .param = 0xE1});     // row 7 is played twice as long
    mod.setCell(p, 8, 0, {.note = "C-2", .sample = 1});
    mod.setOrders({p});
    const HMUSIC music = load(mod);
    std::vector<Heard> heard;
    BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 1 | 0xFFFF0000, record, &heard);
    BASS_MusicPlay(music);
    SoundOutput::mixTo(40000);
    const std::uint64_t row2 = 2 * 2646, row4 = 4 * 2646, row6 = row4 + 882 + 2 * 1225 + 3675, row8 = row6 + 3 * 3675;
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[0].mixed, row2 + 1);
    EXPECT_EQ(heard[1].mixed, row4 + 1);
    EXPECT_EQ(heard[2].mixed, row6 + 1);
    EXPECT_EQ(heard[3].mixed, row8 + 1);
}

TEST_F(MusicTest, SetPositionJumpsToOrderAndRow)
{
    const HMUSIC music = load(test::threeOrderModule());
    std::vector<Heard> heard;
    BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, record, &heard);
    BASS_MusicSetPositionScaler(music, 256);
    BASS_MusicPlay(music);
    SoundOutput::mixTo(1000);
    ASSERT_TRUE(BASS_ChannelSetPosition(music, 2 | 17 << 16));
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(2, 17, 0));
    heard.clear();
    SoundOutput::mixTo(1001);   // the row's notes play at once
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].data >> 16, 32u);
    SoundOutput::mixTo(1000 + kRowFrames / 2);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(2, 17, 128));
    SoundOutput::mixTo(1000 + kRowFrames + 1);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(2, 18, 0));

    EXPECT_FALSE(BASS_ChannelSetPosition(music, 3));          // there are 3 orders
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_ChannelSetPosition(music, 1 | 64 << 16));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(2, 18, 0));
}

TEST_F(MusicTest, APausedSongStandsStillAndResumesWhereItStopped)
{
    const HMUSIC music = load(test::threeOrderModule());
    BASS_MusicSetPositionScaler(music, 256);
    EXPECT_FALSE(BASS_ChannelPause(music));   // not playing yet
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOPLAY);
    BASS_MusicPlay(music);
    SoundOutput::mixTo(kRowFrames / 2);
    ASSERT_TRUE(BASS_ChannelPause(music));
    EXPECT_EQ(BASS_ChannelIsActive(music), 0u);
    SoundOutput::mixTo(10 * kRowFrames);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 0, 128));
    ASSERT_TRUE(BASS_ChannelResume(music));
    SoundOutput::mixTo(11 * kRowFrames);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 1, 128));
    EXPECT_FALSE(BASS_ChannelResume(music));  // not paused
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOPAUSE);
    // A stop ends the pause: only a play goes on from there.
    BASS_ChannelPause(music);
    BASS_ChannelStop(music);
    EXPECT_FALSE(BASS_ChannelResume(music));
}

// The end synchronizer fires in the slice that holds the first frame after the song; a
// callback that rewinds and stops the music, as the player's does, lets it play again.
struct EndState {
    HMUSIC music = 0;
    HSYNC sync = 0;
    std::vector<std::uint64_t> ends;
};

void rewindAndStop(HSYNC, DWORD channel, DWORD, void* user)
{
    auto& state = *static_cast<EndState*>(user);
    state.ends.push_back(SoundOutput::mixedFrames());
    EXPECT_TRUE(BASS_ChannelSetPosition(channel, 0));
    EXPECT_TRUE(BASS_ChannelRemoveSync(channel, state.sync));
    EXPECT_TRUE(BASS_ChannelStop(channel));
}

TEST_F(MusicTest, EndSyncFiresAfterTheLastRowAndTheSongCanPlayAgain)
{
    EndState state;
    state.music = load(test::threeOrderModule());
    state.sync = BASS_ChannelSetSync(state.music, BASS_SYNC_END, 0, rewindAndStop, &state);
    ASSERT_NE(state.sync, 0u);
    BASS_MusicPlay(state.music);
    const std::uint64_t songFrames = test::kSongRows * kRowFrames;
    SoundOutput::mixTo(songFrames);
    EXPECT_TRUE(state.ends.empty());
    EXPECT_EQ(BASS_ChannelIsActive(state.music), 1u);
    SoundOutput::mix(1);
    ASSERT_EQ(state.ends.size(), 1u);
    EXPECT_EQ(state.ends[0], songFrames + 1);
    EXPECT_EQ(BASS_ChannelIsActive(state.music), 0u);
    EXPECT_EQ(BASS_ChannelGetPosition(state.music), 0u);

    // Stopped: silence, and the position stays.
    const std::vector<std::int16_t> silence = SoundOutput::mix(1000);
    EXPECT_EQ(silence, std::vector<std::int16_t>(2000, 0));
    std::vector<Heard> heard;
    BASS_ChannelSetSync(state.music, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, record, &heard);
    ASSERT_TRUE(BASS_MusicPlay(state.music));
    const std::uint64_t again = SoundOutput::mixedFrames();
    SoundOutput::mixTo(again + 6 * kRowFrames);
    ASSERT_EQ(heard.size(), 2u);   // rows 0 and 5 once more
    EXPECT_EQ(heard[1].mixed, again + 5 * kRowFrames + 1);
    EXPECT_EQ(state.ends.size(), 1u);   // its synchronizer was removed
}

TEST_F(MusicTest, PlayAfterTheEndWithoutRewindStartsAgain)
{
    const HMUSIC music = load(test::threeOrderModule());
    BASS_MusicPlay(music);
    SoundOutput::mixTo(test::kSongRows * kRowFrames + 10);
    EXPECT_EQ(BASS_ChannelIsActive(music), 0u);
    ASSERT_TRUE(BASS_MusicPlay(music));
    SoundOutput::mixTo(SoundOutput::mixedFrames() + 3 * kRowFrames + 1);
    EXPECT_EQ(BASS_ChannelGetPosition(music), 3u << 16);
}

TEST_F(MusicTest, OfflineMixingIsTheSameOnEveryRun)
{
    const HMUSIC music = load(test::threeOrderModule());
    BASS_MusicPlay(music);
    const std::vector<std::int16_t> first = SoundOutput::mix(3 * kRowFrames);
    BASS_Free();
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    ASSERT_TRUE(BASS_Start());
    const HMUSIC again = load(test::threeOrderModule(), "again.mod");
    BASS_MusicPlay(again);
    EXPECT_EQ(SoundOutput::mix(3 * kRowFrames), first);
    EXPECT_NE(first, std::vector<std::int16_t>(first.size(), 0));   // it did play
}

TEST_F(MusicTest, VideoFramesStartOnWholeSamples)
{
    EXPECT_EQ(SoundOutput::frameStart(0, 60), 0u);
    EXPECT_EQ(SoundOutput::frameStart(1, 60), 735u);
    EXPECT_EQ(SoundOutput::frameStart(3, 25), 5292u);
    EXPECT_EQ(SoundOutput::frameStart(1, 30000.0 / 1001), 1471u);   // 1471.47
}

}  // namespace
}  // namespace mirva
