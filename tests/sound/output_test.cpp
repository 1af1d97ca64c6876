// The outputs: the null device keeps time without a sound card; offline frames can be
// written to a WAV file and handed to a sink.
#include <sndfile.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "platform/sound/bass.h"
#include "platform/sound/sound_output.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/console_output.h"

namespace mirva {
namespace {

// SDL is told to use its dummy audio driver, as on a machine without sound card.
class NoSoundCard : public testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override
    {
        BASS_Free();
        SoundOutput::choose(SoundOutput::Kind::Automatic);
    }
    test::TempDir dir;
};

TEST_F(NoSoundCard, TheNullDeviceIsChosenWithOneLineOnTheConsole)
{
    bool ok = false;
    const std::string printed = test::consoleOutput([&] { ok = BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Null);
    EXPECT_EQ(printed, "Sound: no sound card (SDL's dummy audio driver); the music plays silently in real time\n");
}

TEST_F(NoSoundCard, TheSoundCardItselfFailsWithCode3)
{
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    SoundOutput::choose(SoundOutput::Kind::Device);
    EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
}

TEST_F(NoSoundCard, TheNullDeviceAdvancesInRealTime)
{
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr));
    const std::vector<std::uint8_t> bytes = test::threeOrderModule().bytes();
    const HMUSIC music = BASS_MusicLoad(true, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 0);
    BASS_MusicSetPositionScaler(music, 256);
    ASSERT_TRUE(BASS_Start());
    ASSERT_TRUE(BASS_MusicPlay(music));
    const auto begin = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const DWORD position = BASS_ChannelGetPosition(music);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    // A row lasts 0.12 s: the song is where the clock says, give or take a few slices.
    const double rows = (position >> 16) / 256.0;
    EXPECT_EQ(position & 0xFFFF, 0u);
    EXPECT_NEAR(rows, seconds / 0.12, 0.5);
    EXPECT_GT(SoundOutput::mixedFrames(), 0u);
}

TEST(OfflineWav, EveryMixedFrameIsWrittenToTheWavFile)
{
    test::TempDir dir;
    SoundOutput::choose(SoundOutput::Kind::Offline, dir.file("out.wav"));
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    ASSERT_TRUE(BASS_Start());
    const std::vector<std::uint8_t> bytes = test::threeOrderModule().bytes();
    const std::vector<std::int16_t> before = SoundOutput::mix(100);   // silence before the music
    const HMUSIC music = BASS_MusicLoad(true, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 0);
    BASS_MusicPlay(music);
    for (int frame = 1; frame <= 3; ++frame) {
        SoundOutput::mixTo(SoundOutput::frameStart(static_cast<std::uint64_t>(frame), 60));
        EXPECT_EQ(SoundOutput::mixedFrames(), static_cast<std::uint64_t>(frame) * 735);
    }
    const std::vector<std::int16_t> tail = SoundOutput::mix(10);
    BASS_Free();
    SoundOutput::choose(SoundOutput::Kind::Automatic);

    SF_INFO info{};
    SNDFILE* file = sf_open(dir.file("out.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(info.frames, 3 * 735 + 10);
    std::vector<std::int16_t> written(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_short(file, written.data(), info.frames);
    sf_close(file);
    EXPECT_EQ(std::vector<std::int16_t>(written.begin(), written.begin() + 200), before);
    EXPECT_EQ(std::vector<std::int16_t>(written.end() - 20, written.end()), tail);
    EXPECT_NE(tail, std::vector<std::int16_t>(20, 0));
}

TEST(OfflineSink, EveryMixedFrameGoesToTheSinkAsItIsMixed)
{
    std::vector<std::int16_t> received;
    std::vector<std::size_t> calls;
    SoundOutput::choose(SoundOutput::Kind::Offline, "", [&](std::span<const std::int16_t> samples) {
        received.insert(received.end(), samples.begin(), samples.end());
        calls.push_back(samples.size());
    });
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    ASSERT_TRUE(BASS_Start());
    const std::vector<std::uint8_t> bytes = test::threeOrderModule().bytes();
    BASS_MusicPlay(BASS_MusicLoad(true, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 0));
    std::vector<std::int16_t> mixed = SoundOutput::mix(300);
    SoundOutput::mixTo(735);
    SoundOutput::mixTo(735);   // nothing left to mix: no call
    const std::vector<std::int16_t> tail = SoundOutput::mix(5);
    BASS_Free();
    SoundOutput::choose(SoundOutput::Kind::Automatic);

    EXPECT_EQ(calls, (std::vector<std::size_t>{600, 870, 10}));
    ASSERT_EQ(received.size(), 1480u);
    EXPECT_EQ(std::vector<std::int16_t>(received.begin(), received.begin() + 600), mixed);
    EXPECT_EQ(std::vector<std::int16_t>(received.end() - 10, received.end()), tail);
    EXPECT_NE(mixed, std::vector<std::int16_t>(600, 0));
}

}  // namespace
}  // namespace mirva
