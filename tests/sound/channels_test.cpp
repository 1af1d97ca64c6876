// Modules and audio streams played offline. Modules: positions, instrument synchronizers
// and the end of the song, checked against row starts worked out from speed and tempo.
// Streams: WAV passes through exactly or is resampled, MP3 decodes, positions are bytes of
// 16-bit stereo, the end synchronizer fires after the last frame.
#include <sndfile.h>

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"
#include "tests/support/audio_files.h"

namespace mirva {
namespace {

using test::Coded;
using test::coded;
using test::kRowFrames;
using Frames = std::vector<std::uint64_t>;

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
    static Frames mixedAt(const std::vector<Heard>& events)
    {
        Frames frames;
        for (const Heard& h : events)
            frames.push_back(h.mixed);
        return frames;
    }
};

// Row 0 (C-2), row 5 (C-3) and row 17 (G-2 at volume 0x20) of instrument 3 and the rest of
// its nine notes in the song. (The video frames that hold the row starts are counted in
// the song source's tests.)
TEST_F(MusicTest, InstrumentSyncsCarryNoteAndVolumeForAnyNoteOrOneAndSeveralListenToOneInstrument)
{
    std::vector<Heard> removed, c3;
    ASSERT_NE(listen(3 | 0xFFFF0000, heard), 0u);
    const HSYNC first = listen(3 | 0xFFFF0000, removed);
    ASSERT_TRUE(BASS_MusicPlay(music));
    SoundOutput::mixTo(1);
    ASSERT_EQ(removed.size(), 1u);
    listen(3 | ((removed[0].data & 0xFFFF) + 12) << 16, c3);
    ASSERT_TRUE(BASS_ChannelRemoveSync(music, first));
    SoundOutput::mixTo(test::kSongRows * kRowFrames);
    ASSERT_EQ(heard.size(), 9u);
    for (const Heard& h : heard)
        EXPECT_EQ(h.channel, music);
    // Volume above, note below.
    EXPECT_EQ(heard[0].data >> 16, 64u);
    EXPECT_EQ(heard[1].data >> 16, 64u);
    EXPECT_EQ(heard[2].data >> 16, 32u);
    EXPECT_EQ((heard[1].data & 0xFFFF) - (heard[0].data & 0xFFFF), 12u);   // an octave
    EXPECT_EQ((heard[2].data & 0xFFFF) - (heard[0].data & 0xFFFF), 7u);    // a fifth
    EXPECT_EQ(removed.size(), 1u);   // removed after row 0
    // Only C-3, right after the first frame of song rows 5 and 73.
    EXPECT_EQ(mixedAt(c3), (Frames{5 * kRowFrames + 1, 73 * kRowFrames + 1}));
}

// (The song source's tests follow the scaled position frame by frame through the whole song.)
TEST_F(MusicTest, WithoutAScalerThePositionHoldsTheRowAloneAndGoesOnFromTheBreak)
{
    ASSERT_TRUE(BASS_MusicSetPositionScaler(music, 1));
    ASSERT_TRUE(BASS_MusicPlay(music));
    SoundOutput::mixTo(77 * kRowFrames + kRowFrames / 2);
    EXPECT_EQ(BASS_ChannelGetPosition(music), 2u | 9u << 16);   // order 2 from its row 0
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
    EXPECT_EQ(mixedAt(heard), (Frames{row2 + 1, row4 + 1, row6 + 1, row8 + 1}));
}

// (Where the song goes on after a jump is followed in the song source's Skip tests.)
TEST_F(MusicTest, APausedSongStandsStillAndResumesAndSetPositionPlaysTheRowsNotesAtOnceWithinTheSong)
{
    EXPECT_EQ(coded(BASS_ChannelPause(music)), Coded(0, BASS_ERROR_NOPLAY));   // not playing yet
    listen(3 | 0xFFFF0000, heard);
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
    ASSERT_TRUE(BASS_MusicPlay(music));
    ASSERT_TRUE(BASS_ChannelSetPosition(music, 2 | 17 << 16));
    heard.clear();
    SoundOutput::mix(1);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].data >> 16, 32u);
    EXPECT_EQ(coded(BASS_ChannelSetPosition(music, 3)), Coded(0, BASS_ERROR_ILLPARAM));   // there are 3 orders
    EXPECT_EQ(coded(BASS_ChannelSetPosition(music, 1 | 64 << 16)), Coded(0, BASS_ERROR_ILLPARAM));
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(2, 17, 0));
}

void recordEnd(HSYNC, DWORD, DWORD, void* user)
{
    static_cast<Frames*>(user)->push_back(SoundOutput::mixedFrames());
}

// The end synchronizer fires in the slice that holds the first frame after the song. (A
// callback that rewinds, stops and removes itself, as the player's does, is followed in
// the song source's tests.) A song at its end is silent, and a play starts it again.
TEST_F(MusicTest, EndSyncFiresAfterTheLastRowAndASongAtItsEndIsSilentUntilPlayedAgain)
{
    Frames ends;
    ASSERT_NE(BASS_ChannelSetSync(music, BASS_SYNC_END, 0, recordEnd, &ends), 0u);
    BASS_MusicPlay(music);
    const std::uint64_t songFrames = test::kSongRows * kRowFrames;
    SoundOutput::mixTo(songFrames);
    EXPECT_TRUE(ends.empty());
    EXPECT_EQ(BASS_ChannelIsActive(music), 1u);
    SoundOutput::mix(1);
    EXPECT_EQ(ends, Frames{songFrames + 1});
    EXPECT_EQ(BASS_ChannelIsActive(music), 0u);
    EXPECT_EQ(SoundOutput::mix(1000), std::vector<std::int16_t>(2000, 0));
    ASSERT_TRUE(BASS_MusicPlay(music));
    SoundOutput::mixTo(SoundOutput::mixedFrames() + 3 * kRowFrames + 1);
    EXPECT_EQ(BASS_ChannelGetPosition(music), position(0, 3, 0));
}

using Samples = std::vector<std::int16_t>;

// Frame i is (i, -i).
Samples stereoRamp(int frames)
{
    Samples samples;
    for (int i = 0; i < frames; ++i)
        samples.insert(samples.end(), {static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i)});
    return samples;
}

class StreamTest : public test::OfflineSound {
protected:
    // The stream of this file, with its end recorded in `ends`.
    HSTREAM open(const std::string& name)
    {
        const HSTREAM stream = BASS_StreamCreateFile(false, dir.file(name).c_str(), 0, 0, 0x20000);
        EXPECT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, recordEnd, &ends), 0u);
        return stream;
    }
    HSTREAM wav(int rate, int channels, const Samples& samples, const std::string& name = "s.wav")
    {
        test::writeWav(dir.file(name), rate, channels, samples);
        return open(name);
    }
    Frames ends;
};

TEST_F(StreamTest, StereoWavAtTheOutputRatePlaysSampleForSampleMovesInTheFileAndTakesNoModuleCalls)
{
    const HSTREAM stream = wav(44100, 2, stereoRamp(1000));
    EXPECT_EQ(BASS_StreamGetLength(stream), 4000u);
    ASSERT_TRUE(BASS_StreamPlay(stream, true, 0));
    SoundOutput::mix(300);
    ASSERT_TRUE(BASS_ChannelSetPosition(stream, 2000));   // frame 500
    EXPECT_EQ(SoundOutput::mix(2), (Samples{500, -500, 501, -501}));
    EXPECT_EQ(coded(BASS_ChannelSetPosition(stream, 4 * 5000)), Coded(0, BASS_ERROR_ILLPARAM));
    BASS_ChannelStop(stream);
    SoundOutput::mix(10);
    ASSERT_TRUE(BASS_StreamPlay(stream, false, 0));   // no flush: on from where it stopped
    EXPECT_EQ(SoundOutput::mix(1), (Samples{502, -502}));
    ASSERT_TRUE(BASS_StreamPlay(stream, true, 0));   // flush: from the beginning
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 0u);
    EXPECT_EQ(SoundOutput::mix(1000), stereoRamp(1000));
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 4000u);
    EXPECT_TRUE(ends.empty());
    EXPECT_EQ(SoundOutput::mix(5), Samples(10, 0));
    EXPECT_EQ(ends, Frames{1314});
    EXPECT_EQ(BASS_ChannelIsActive(stream), 0u);
    EXPECT_EQ(coded(BASS_ChannelSetSync(stream, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, recordEnd, nullptr)),
              Coded(0, BASS_ERROR_ILLTYPE));
    EXPECT_EQ(coded(BASS_MusicPlay(stream)), Coded(0, BASS_ERROR_HANDLE));
    EXPECT_EQ(coded(BASS_MusicGetLength(stream)), Coded(test::kFailed, BASS_ERROR_HANDLE));
}

TEST_F(StreamTest, OtherRatesAreInterpolatedLinearlyOnBothSidesAndAcrossDecodingBlocks)
{
    const HSTREAM mono = wav(22050, 1, {0, 1000, -1000, 3000, 3000}, "mono.wav");
    EXPECT_EQ(BASS_StreamGetLength(mono), 10u * 4);
    BASS_StreamPlay(mono, true, 0);
    // Every second output frame is a file frame, the others lie halfway; the last file
    // frame is held.
    EXPECT_EQ(SoundOutput::mix(10), (Samples{0, 0, 500, 500, 1000, 1000, 0, 0, -1000, -1000, 1000, 1000, 3000, 3000,
                                             3000, 3000, 3000, 3000, 3000, 3000}));
    SoundOutput::mix(1);
    EXPECT_EQ(ends, Frames{11});
    // A ramp interpolated linearly is the ramp itself: output frame j lies at file frame
    // j * 48000 / 44100 and must have that value.
    const HSTREAM stream = wav(48000, 2, stereoRamp(20000));
    EXPECT_EQ(BASS_StreamGetLength(stream), 18375u * 4);   // 20000 * 44100 / 48000
    BASS_StreamPlay(stream, true, 0);
    const Samples out = SoundOutput::mix(18375);
    for (std::size_t j = 0; j < 18375; ++j) {
        const double x = static_cast<double>(j) * 48000 / 44100;
        ASSERT_NEAR(out[2 * j], x, 0.51) << j;
        ASSERT_NEAR(out[2 * j + 1], -x, 0.51) << j;
    }
    EXPECT_EQ(BASS_ChannelIsActive(stream), 1u);
    SoundOutput::mix(1);
    EXPECT_EQ(ends, (Frames{11, 11 + 18376}));
    EXPECT_EQ(BASS_ChannelIsActive(stream), 0u);
}

TEST_F(StreamTest, Mp3DecodesToItsToneAndEnds)
{
    // One second of a 441 Hz tone, encoded by libsndfile's MPEG layer III writer.
    ASSERT_TRUE(test::writeMp3Tone(dir.file("tone.mp3"), 1.0, 441.0)) << sf_strerror(nullptr);
    const HSTREAM stream = open("tone.mp3");
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_StreamPlay(stream, true, 0);
    const Samples out = SoundOutput::mix(50000);
    ASSERT_EQ(ends.size(), 1u);
    // The encoder may pad by up to a frame of 1152 samples on either side.
    EXPECT_NEAR(static_cast<double>(ends[0]), 44101.0, 2 * 1152.0);
    EXPECT_NEAR(BASS_StreamGetLength(stream) / 4.0, 44100.0, 2 * 1152.0);
    // 441 Hz over the middle 0.5 s: 441 rising zero crossings a second, at a peak near
    // half of full scale as written.
    int crossings = 0;
    std::int16_t peak = 0;
    for (std::size_t i = 11025; i < 33075; ++i) {
        crossings += out[2 * i] < 0 && out[2 * i + 2] >= 0;
        peak = std::max(peak, out[2 * i]);
    }
    EXPECT_NEAR(crossings, 220, 2);
    EXPECT_NEAR(peak, 16384, 1500);
}

TEST_F(StreamTest, AModuleAndAStreamMixTogether)
{
    BASS_MusicPlay(load(test::threeOrderModule()));
    const Samples musicAlone = SoundOutput::mix(500);
    restart();
    const HSTREAM stream = wav(44100, 2, Samples(2000, 1000));
    BASS_MusicPlay(load(test::threeOrderModule()));
    BASS_StreamPlay(stream, true, 0);
    const Samples both = SoundOutput::mix(500);
    ASSERT_EQ(both.size(), musicAlone.size());
    for (std::size_t i = 0; i < both.size(); ++i)
        ASSERT_NEAR(both[i], musicAlone[i] + 1000, 1) << i;
}

}  // namespace
}  // namespace mirva
