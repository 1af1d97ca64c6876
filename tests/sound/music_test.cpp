// Modules played offline: positions, instrument synchronizers and the end of the song,
// checked against row starts worked out from speed and tempo.
#include <vector>

#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"

namespace mirva {
namespace {

using test::Coded;
using test::coded;
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

class MusicTest : public test::OfflineSound {
protected:
    // The three-order module, scaled to 256ths of a row, with a synchronizer on instrument 3.
    HMUSIC music = 0;
    std::vector<Heard> heard;
    void SetUp() override
    {
        test::OfflineSound::SetUp();
        music = load(test::threeOrderModule());
        ASSERT_NE(music, 0u);
        ASSERT_TRUE(BASS_MusicSetPositionScaler(music, 256));
    }
    HSYNC listen(DWORD param, std::vector<Heard>& to)
    {
        return BASS_ChannelSetSync(music, BASS_SYNC_MUSICINST, param, record, &to);
    }
    static std::vector<std::uint64_t> mixedAt(const std::vector<Heard>& events)
    {
        std::vector<std::uint64_t> frames;
        for (const Heard& h : events)
            frames.push_back(h.mixed);
        return frames;
    }
};

TEST_F(MusicTest, InstrumentSyncFiresInTheVideoFrameOfEachRowStartWithNoteAndVolume)
{
    ASSERT_NE(listen(3 | 0xFFFF0000, heard), 0u);
    ASSERT_TRUE(BASS_MusicPlay(music));
    std::vector<std::uint64_t> videoFrames;
    for (std::uint64_t frame = 1; frame <= test::kSongRows * kRowFrames / kVideoFrame + 2; ++frame) {
        SoundOutput::mixTo(frame * kVideoFrame);
        videoFrames.resize(heard.size(), frame - 1);   // the frame whose samples held the row start
    }
    // Song rows with instrument 3 and a note: order 0 rows 0, 5, 17, 63; order 1 row 2;
    // order 2 (from song row 68) rows 0, 5, 17, 63.
    std::vector<std::uint64_t> expectedFrames, expectedMixed;
    for (std::uint64_t row : {0, 5, 17, 63, 66, 68, 73, 85, 131}) {
        expectedFrames.push_back(row * kRowFrames / kVideoFrame);
        expectedMixed.push_back(row * kRowFrames + 1);   // the callback runs right after the row's first frame
    }
    EXPECT_EQ(videoFrames, expectedFrames);
    ASSERT_EQ(mixedAt(heard), expectedMixed);
    for (const Heard& h : heard)
        EXPECT_EQ(h.channel, music);
    // Rows 0 (C-2), 5 (C-3) and 17 (G-2 at volume 0x20): volume above, note below.
    EXPECT_EQ(heard[0].data >> 16, 64u);
    EXPECT_EQ(heard[1].data >> 16, 64u);
    EXPECT_EQ(heard[2].data >> 16, 32u);
    EXPECT_EQ((heard[1].data & 0xFFFF) - (heard[0].data & 0xFFFF), 12u);   // an octave
    EXPECT_EQ((heard[2].data & 0xFFFF) - (heard[0].data & 0xFFFF), 7u);    // a fifth
}

TEST_F(MusicTest, InstrumentSyncForOneNoteOnlyAndSeveralSyncsOnOneInstrument)
{
    std::vector<Heard> again, c3;
    const HSYNC first = listen(3 | 0xFFFF0000, heard);
    listen(3 | 0xFFFF0000, again);
    BASS_MusicPlay(music);
    SoundOutput::mixTo(1);
    ASSERT_EQ(heard.size(), 1u);
    listen(3 | ((heard[0].data & 0xFFFF) + 12) << 16, c3);
    ASSERT_TRUE(BASS_ChannelRemoveSync(music, first));
    SoundOutput::mixTo(18 * kRowFrames);
    EXPECT_EQ(heard.size(), 1u);    // removed after row 0
    EXPECT_EQ(again.size(), 3u);    // rows 0, 5, 17
    EXPECT_EQ(mixedAt(c3), std::vector<std::uint64_t>{5 * kRowFrames + 1});   // only the C-3 of row 5
}

TEST_F(MusicTest, PositionIsOrderRowAndFractionOfTheRow)
{
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 0, 0));
    ASSERT_TRUE(BASS_MusicPlay(music));
    const std::pair<std::uint64_t, DWORD> steps[] = {
        {kRowFrames / 2, position(0, 0, 128)},
        {10 * kRowFrames + kRowFrames / 4, position(0, 10, 64)},
        {11 * kRowFrames, position(0, 10, 255)},                // the last frame of row 10
        {66 * kRowFrames + kRowFrames / 2, position(1, 2, 128)},
        {68 * kRowFrames + 1, position(2, 0, 0)},               // after the break: order 2 from its row 0
    };
    for (const auto& [mixed, expected] : steps) {
        SoundOutput::mixTo(mixed);
        EXPECT_EQ(BASS_ChannelGetPosition(music), expected) << mixed;
    }
    EXPECT_EQ(BASS_MusicGetLength(music), 3u);
    // Without a scaler the high 16 bits are the row alone.
    ASSERT_TRUE(BASS_MusicSetPositionScaler(music, 1));
    SoundOutput::mixTo(77 * kRowFrames + kRowFrames / 2);
    EXPECT_EQ(BASS_ChannelGetPosition(music), 2u | 9u << 16);
}

TEST_F(MusicTest, RowsFollowSpeedTempoAndPatternDelay)
{
    ModuleWriter mod(4);
    mod.addSample(ModuleWriter::squareWave(32));
    const int p = mod.addPattern();
    mod.setCell(p, 0, 3, {.effect = 0xF, .param = 3});   // speed 3: rows of 3 * 882 frames
    mod.setCell(p, 2, 0, {.note = "C-2", .sample = 1});
    // Tempo 90: ticks of 1225 frames. As in ProTracker, from the row's second tick on.
    mod.setCell(p, 4, 0, {.note = "C-2", .sample = 1, .effect = 0xF, .param = 90});
    mod.setCell(p, 6, 0, {.note = "C-2", .sample = 1});
    mod.setCell(p, 7, 3, {.effect = 0xE, .param = 0xE1});   // row 7 is played twice as long
    mod.setCell(p, 8, 0, {.note = "C-2", .sample = 1});
    mod.setOrders({p});
    music = load(mod, "tempo.mod");
    listen(1 | 0xFFFF0000, heard);
    BASS_MusicPlay(music);
    SoundOutput::mixTo(40000);
    const std::uint64_t row2 = 2 * 2646, row4 = 4 * 2646, row6 = row4 + 882 + 2 * 1225 + 3675, row8 = row6 + 3 * 3675;
    EXPECT_EQ(mixedAt(heard), (std::vector<std::uint64_t>{row2 + 1, row4 + 1, row6 + 1, row8 + 1}));
}

TEST_F(MusicTest, SetPositionJumpsToOrderAndRow)
{
    listen(3 | 0xFFFF0000, heard);
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
    EXPECT_EQ(coded(BASS_ChannelSetPosition(music, 3)), Coded(0, BASS_ERROR_ILLPARAM));   // there are 3 orders
    EXPECT_EQ(coded(BASS_ChannelSetPosition(music, 1 | 64 << 16)), Coded(0, BASS_ERROR_ILLPARAM));
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(2, 18, 0));
}

TEST_F(MusicTest, APausedSongStandsStillAndResumesWhereItStopped)
{
    EXPECT_EQ(coded(BASS_ChannelPause(music)), Coded(0, BASS_ERROR_NOPLAY));   // not playing yet
    BASS_MusicPlay(music);
    SoundOutput::mixTo(kRowFrames / 2);
    ASSERT_TRUE(BASS_ChannelPause(music));
    EXPECT_EQ(BASS_ChannelIsActive(music), 0u);
    SoundOutput::mixTo(10 * kRowFrames);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 0, 128));
    ASSERT_TRUE(BASS_ChannelResume(music));
    SoundOutput::mixTo(11 * kRowFrames);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 1, 128));
    EXPECT_EQ(coded(BASS_ChannelResume(music)), Coded(0, BASS_ERROR_NOPAUSE));   // not paused
    // A stop ends the pause: only a play goes on from there.
    BASS_ChannelPause(music);
    BASS_ChannelStop(music);
    EXPECT_FALSE(BASS_ChannelResume(music));
}

// The end synchronizer fires in the slice that holds the first frame after the song; a
// callback that rewinds and stops the music, as the player's does, lets it play again.
struct EndState {
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
    ASSERT_TRUE(BASS_MusicSetPositionScaler(music, 1));
    EndState state;
    state.sync = BASS_ChannelSetSync(music, BASS_SYNC_END, 0, rewindAndStop, &state);
    ASSERT_NE(state.sync, 0u);
    BASS_MusicPlay(music);
    const std::uint64_t songFrames = test::kSongRows * kRowFrames;
    SoundOutput::mixTo(songFrames);
    EXPECT_TRUE(state.ends.empty());
    EXPECT_EQ(BASS_ChannelIsActive(music), 1u);
    SoundOutput::mix(1);
    EXPECT_EQ(state.ends, std::vector<std::uint64_t>{songFrames + 1});
    EXPECT_EQ(BASS_ChannelIsActive(music), 0u);
    EXPECT_EQ(BASS_ChannelGetPosition(music), 0u);
    // Stopped: silence, and the position stays.
    EXPECT_EQ(SoundOutput::mix(1000), std::vector<std::int16_t>(2000, 0));
    listen(3 | 0xFFFF0000, heard);
    ASSERT_TRUE(BASS_MusicPlay(music));
    const std::uint64_t again = SoundOutput::mixedFrames();
    SoundOutput::mixTo(again + 6 * kRowFrames);
    ASSERT_EQ(heard.size(), 2u);   // rows 0 and 5 once more
    EXPECT_EQ(heard[1].mixed, again + 5 * kRowFrames + 1);
    EXPECT_EQ(state.ends.size(), 1u);   // its synchronizer was removed
    // Played to its end without a rewind, a play starts it again.
    SoundOutput::mixTo(again + test::kSongRows * kRowFrames + 10);
    EXPECT_EQ(BASS_ChannelIsActive(music), 0u);
    ASSERT_TRUE(BASS_MusicPlay(music));
    SoundOutput::mixTo(SoundOutput::mixedFrames() + 3 * kRowFrames + 1);
    EXPECT_EQ(BASS_ChannelGetPosition(music), 3u << 16);
}

TEST_F(MusicTest, OfflineMixingIsTheSameOnEveryRun)
{
    BASS_MusicPlay(music);
    const std::vector<std::int16_t> first = SoundOutput::mix(3 * kRowFrames);
    EXPECT_NE(first, std::vector<std::int16_t>(first.size(), 0));   // it did play
    restart();
    BASS_MusicPlay(load(test::threeOrderModule(), "again.mod"));
    EXPECT_EQ(SoundOutput::mix(3 * kRowFrames), first);
    // Video frames start on whole samples.
    EXPECT_EQ(SoundOutput::frameStart(0, 60), 0u);
    EXPECT_EQ(SoundOutput::frameStart(1, 60), 735u);
    EXPECT_EQ(SoundOutput::frameStart(3, 25), 5292u);
    EXPECT_EQ(SoundOutput::frameStart(1, 30000.0 / 1001), 1471u);   // 1471.47
}

}  // namespace
}  // namespace mirva
