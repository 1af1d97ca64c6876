// The outputs: the null device keeps time without a sound card; offline frames can be
// written to a WAV file and handed to a sink.
#include <sndfile.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"
#include "tests/support/console_output.h"

namespace mirva {
namespace {

using test::Coded;
using test::coded;

using Samples = std::vector<std::int16_t>;

// SDL is told to use its dummy audio driver, as on a machine without sound card.
class NoSoundCard : public testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override
    {
        BASS_Free();
        SoundOutput::choose(SoundOutput::Kind::Automatic);
    }
};

TEST_F(NoSoundCard, TheCardFailsWithCode3AndTheNullDeviceIsChosenWithOneLineOnTheConsole)
{
    EXPECT_EQ(coded(BASS_Init(1, 44100, 0, nullptr)), Coded(0, BASS_ERROR_DRIVER));
    SoundOutput::choose(SoundOutput::Kind::Device);
    EXPECT_EQ(coded(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr)), Coded(0, BASS_ERROR_DRIVER));
    SoundOutput::choose(SoundOutput::Kind::Automatic);
    bool ok = false;
    const std::string printed = test::consoleOutput([&] { ok = BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Null);
    EXPECT_EQ(printed, "Sound: no sound card (SDL's dummy audio driver); the music plays silently in real time\n");
}

TEST_F(NoSoundCard, TheNullDeviceAdvancesInRealTime)
{
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr));
    const HMUSIC music = test::loadFromMemory(test::threeOrderModule());
    BASS_MusicSetPositionScaler(music, 256);
    ASSERT_TRUE(BASS_Start());
    ASSERT_TRUE(BASS_MusicPlay(music));
    const auto begin = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    const DWORD position = BASS_ChannelGetPosition(music);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    // A row lasts 0.12 s: the song is where the clock says, give or take a few slices.
    EXPECT_EQ(position & 0xFFFF, 0u);
    EXPECT_NEAR((position >> 16) / 256.0, seconds / 0.12, 0.5);
    EXPECT_GT(SoundOutput::mixedFrames(), 0u);
}

// Starts the library offline, writing into `wav` (none when empty) and handing to `sink`.
void startOffline(const std::string& wav, SoundOutput::Sink sink = {})
{
    SoundOutput::choose(SoundOutput::Kind::Offline, wav, std::move(sink));
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    ASSERT_TRUE(BASS_Start());
}

void stop()
{
    BASS_Free();
    SoundOutput::choose(SoundOutput::Kind::Automatic);
}

TEST(OfflineWav, EveryMixedFrameIsWrittenToTheWavFile)
{
    test::TempDir dir;
    startOffline(dir.file("out.wav"));
    const Samples before = SoundOutput::mix(100);   // silence before the music
    BASS_MusicPlay(test::loadFromMemory(test::threeOrderModule()));
    for (std::uint64_t frame = 1; frame <= 3; ++frame) {
        SoundOutput::mixTo(SoundOutput::frameStart(frame, 60));
        EXPECT_EQ(SoundOutput::mixedFrames(), frame * 735);
    }
    const Samples tail = SoundOutput::mix(10);
    stop();

    SF_INFO info{};
    SNDFILE* file = sf_open(dir.file("out.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(info.frames, 3 * 735 + 10);
    Samples written(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_short(file, written.data(), info.frames);
    sf_close(file);
    EXPECT_EQ(Samples(written.begin(), written.begin() + 200), before);
    EXPECT_EQ(Samples(written.end() - 20, written.end()), tail);
    EXPECT_NE(tail, Samples(20, 0));
}

TEST(OfflineSink, EveryMixedFrameGoesToTheSinkAsItIsMixed)
{
    Samples received;
    std::vector<std::size_t> calls;
    startOffline("", [&](std::span<const std::int16_t> samples) {
        received.insert(received.end(), samples.begin(), samples.end());
        calls.push_back(samples.size());
    });
    BASS_MusicPlay(test::loadFromMemory(test::threeOrderModule()));
    const Samples mixed = SoundOutput::mix(300);
    SoundOutput::mixTo(735);
    SoundOutput::mixTo(735);   // nothing left to mix: no call
    const Samples tail = SoundOutput::mix(5);
    stop();

    EXPECT_EQ(calls, (std::vector<std::size_t>{600, 870, 10}));
    ASSERT_EQ(received.size(), 1480u);
    EXPECT_EQ(Samples(received.begin(), received.begin() + 600), mixed);
    EXPECT_EQ(Samples(received.end() - 10, received.end()), tail);
    EXPECT_NE(mixed, Samples(600, 0));
}

}  // namespace
}  // namespace mirva
