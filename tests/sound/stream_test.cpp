// Audio streams played offline: WAV passes through exactly or is resampled, MP3 decodes,
// positions are bytes of 16-bit stereo, the end synchronizer fires after the last frame.
#include <sndfile.h>

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"
#include "tests/support/audio_files.h"

namespace mirva {
namespace {

using test::Coded;
using test::coded;
using Samples = std::vector<std::int16_t>;
using Frames = std::vector<std::uint64_t>;

// Frame i is (i, -i).
Samples stereoRamp(int frames)
{
    Samples samples;
    for (int i = 0; i < frames; ++i)
        samples.insert(samples.end(), {static_cast<std::int16_t>(i), static_cast<std::int16_t>(-i)});
    return samples;
}

void recordEnd(HSYNC, DWORD, DWORD, void* user)
{
    static_cast<Frames*>(user)->push_back(SoundOutput::mixedFrames());
}

class StreamTest : public test::OfflineSound {
protected:
    HSTREAM open(const std::string& name)
    {
        return BASS_StreamCreateFile(false, dir.file(name).c_str(), 0, 0, 0x20000);
    }
    // A WAV file of these samples, opened, with its end recorded in `ends`.
    HSTREAM wav(int rate, int channels, const Samples& samples)
    {
        test::writeWav(dir.file("s.wav"), rate, channels, samples);
        const HSTREAM stream = open("s.wav");
        EXPECT_NE(BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, recordEnd, &ends), 0u);
        return stream;
    }
    Frames ends;
};

TEST_F(StreamTest, StereoWavAtTheOutputRatePlaysSampleForSample)
{
    Samples samples;
    for (int i = 0; i < 1000; ++i)
        samples.insert(samples.end(), {static_cast<std::int16_t>(i * 30 - 15000), static_cast<std::int16_t>(-i * 7)});
    const HSTREAM stream = wav(44100, 2, samples);
    EXPECT_EQ(BASS_StreamGetLength(stream), 4000u);
    ASSERT_TRUE(BASS_StreamPlay(stream, true, 0));
    EXPECT_EQ(SoundOutput::mix(1000), samples);
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 4000u);
    EXPECT_TRUE(ends.empty());
    EXPECT_EQ(SoundOutput::mix(5), Samples(10, 0));
    EXPECT_EQ(ends, Frames{1001});
    EXPECT_EQ(BASS_ChannelIsActive(stream), 0u);
}

TEST_F(StreamTest, SetPositionAndFlushMoveInTheFile)
{
    const HSTREAM stream = wav(44100, 2, stereoRamp(1000));
    BASS_StreamPlay(stream, true, 0);
    SoundOutput::mix(300);
    ASSERT_TRUE(BASS_ChannelSetPosition(stream, 2000));   // frame 500
    EXPECT_EQ(SoundOutput::mix(2), (Samples{500, -500, 501, -501}));
    EXPECT_EQ(coded(BASS_ChannelSetPosition(stream, 4 * 5000)), Coded(0, BASS_ERROR_ILLPARAM));
    ASSERT_TRUE(BASS_StreamPlay(stream, true, 0));   // flush: from the beginning
    EXPECT_EQ(BASS_ChannelGetPosition(stream), 0u);
    EXPECT_EQ(SoundOutput::mix(1), (Samples{0, 0}));
    BASS_ChannelStop(stream);
    SoundOutput::mix(10);
    ASSERT_TRUE(BASS_StreamPlay(stream, false, 0));   // no flush: on from where it stopped
    EXPECT_EQ(SoundOutput::mix(1), (Samples{1, -1}));
}

TEST_F(StreamTest, MonoWavAtHalfTheRateIsInterpolatedOnBothSides)
{
    const HSTREAM stream = wav(22050, 1, {0, 1000, -1000, 3000, 3000});
    EXPECT_EQ(BASS_StreamGetLength(stream), 10u * 4);
    BASS_StreamPlay(stream, true, 0);
    // Every second output frame is a file frame, the others lie halfway; the last file
    // frame is held.
    EXPECT_EQ(SoundOutput::mix(10), (Samples{0, 0, 500, 500, 1000, 1000, 0, 0, -1000, -1000, 1000, 1000, 3000, 3000,
                                             3000, 3000, 3000, 3000, 3000, 3000}));
    SoundOutput::mix(1);
    EXPECT_EQ(ends, Frames{11});
}

TEST_F(StreamTest, A48kHzRampStaysARampAcrossDecodingBlocks)
{
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
    EXPECT_EQ(ends, Frames{18376});
    EXPECT_EQ(BASS_ChannelIsActive(stream), 0u);
}

TEST_F(StreamTest, Mp3DecodesToItsToneAndEnds)
{
    // One second of a 441 Hz tone, encoded by libsndfile's MPEG layer III writer.
    ASSERT_TRUE(test::writeMp3Tone(dir.file("tone.mp3"), 1.0, 441.0)) << sf_strerror(nullptr);
    const HSTREAM stream = open("tone.mp3");
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, recordEnd, &ends);
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

TEST_F(StreamTest, InstrumentSyncsAreForModulesOnly)
{
    const HSTREAM stream = wav(44100, 1, {1, 2, 3});
    EXPECT_EQ(coded(BASS_ChannelSetSync(stream, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, recordEnd, nullptr)),
              Coded(0, BASS_ERROR_ILLTYPE));
    EXPECT_EQ(coded(BASS_MusicPlay(stream)), Coded(0, BASS_ERROR_HANDLE));
    EXPECT_EQ(coded(BASS_MusicGetLength(stream)), Coded(test::kFailed, BASS_ERROR_HANDLE));
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
