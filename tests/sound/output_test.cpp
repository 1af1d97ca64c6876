// Error codes of every call and the fatal misuses of the offline output; the outputs: the
// null device keeps time without a sound card, offline frames can be written to a WAV file
// and handed to a sink.
#include <sndfile.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"
#include "tests/support/console_output.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

using test::Coded;
using test::coded;
using test::kFailed;

void ignore(HSYNC, DWORD, DWORD, void*) {}

TEST(BassErrors, CallsBeforeInitFailWithCode8InitChecksDeviceRateASecondInitPlayingNeedsAStartAndMisuseIsFatal)
{
    EXPECT_EQ(coded(BASS_MusicLoad(false, "song.mod", 0, 0, 0x20)), Coded(0, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_StreamCreateFile(false, "song.mp3", 0, 0, 0x20000)), Coded(0, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_Start()), Coded(0, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_ChannelGetPosition(1)), Coded(kFailed, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_MusicGetLength(1)), Coded(kFailed, BASS_ERROR_INIT));
    BASS_Free();
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    SoundOutput::choose(SoundOutput::Kind::Offline);
    EXPECT_EQ(coded(BASS_Init(7, 44100, 0, nullptr)), Coded(0, BASS_ERROR_DEVICE));
    EXPECT_EQ(coded(BASS_Init(BASS_DEVICE_DEFAULT, 0, 0, nullptr)), Coded(0, BASS_ERROR_FORMAT));
    ASSERT_EQ(coded(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr)), Coded(1, BASS_OK));
    EXPECT_EQ(coded(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr)), Coded(0, BASS_ERROR_ALREADY));
    const HMUSIC music = test::loadFromMemory(test::threeOrderModule());
    EXPECT_EQ(coded(BASS_MusicPlay(music)), Coded(0, BASS_ERROR_START));
    ASSERT_TRUE(BASS_Start());
    EXPECT_TRUE(BASS_MusicPlay(music));
    BASS_Free();
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    // Free makes a new start possible; the freed channels are gone.
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(coded(BASS_ChannelStop(music)), Coded(0, BASS_ERROR_HANDLE));
    BASS_Free();
    // Mixing by hand needs the offline output.
    EXPECT_FATAL(SoundOutput::mix(10), "SoundOutput::mix - the sound library is not running offline");
    SoundOutput::choose(SoundOutput::Kind::Null);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Null);
    EXPECT_FATAL(SoundOutput::mixTo(10), "SoundOutput::mixTo - the sound library is not running offline");
    BASS_Free();
    SoundOutput::choose(SoundOutput::Kind::Offline, "/nonexistent-folder/out.wav");
    EXPECT_FATAL(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr),
                 "sound: can't write the WAV file '/nonexistent-folder/out.wav' (System error : No such file or "
                 "directory.)");
    SoundOutput::choose(SoundOutput::Kind::Automatic);
}

class BassLoadErrors : public test::OfflineSound {
protected:
    Coded music(const std::string& name) { return coded(BASS_MusicLoad(false, dir.file(name).c_str(), 0, 0, 0x20)); }
    Coded stream(const std::string& name)
    {
        return coded(BASS_StreamCreateFile(false, dir.file(name).c_str(), 0, 0, 0x20000));
    }
};

// (A missing file and a text file are named in the script player's sound messages.)
TEST_F(BassLoadErrors, FoldersFailWithCode2FilesOfNoKindWeReadWithCode41AndModulesLoadFromMemoryOrAnOffset)
{
    const std::vector<std::uint8_t> bytes = test::threeOrderModule().bytes();
    test::writeFile(dir.file("empty.mod"), {});
    test::writeFile(dir.file("song.mod"), bytes);
    test::writeFile(dir.file("short.mod"), {bytes.begin(), bytes.begin() + 1000});
    EXPECT_EQ(music(""), Coded(0, BASS_ERROR_FILEOPEN));   // the folder itself
    EXPECT_EQ(music("empty.mod"), Coded(0, BASS_ERROR_FILEFORM));
    EXPECT_EQ(stream("empty.mod"), Coded(0, BASS_ERROR_FILEFORM));
    EXPECT_EQ(stream("song.mod"), Coded(0, BASS_ERROR_FILEFORM));   // a module is no stream
    EXPECT_EQ(music("short.mod"), Coded(0, BASS_ERROR_FILEFORM));   // nor one cut short a module
    const HMUSIC fromMemory = test::loadFromMemory(test::threeOrderModule());
    ASSERT_NE(fromMemory, 0u);
    EXPECT_EQ(BASS_MusicGetLength(fromMemory), 3u);
    std::vector<std::uint8_t> packed(100, 0xAA);
    packed.insert(packed.end(), bytes.begin(), bytes.end());
    test::writeFile(dir.file("packed.dat"), packed);
    const HMUSIC fromOffset = BASS_MusicLoad(false, dir.file("packed.dat").c_str(), 100, 0, 0);
    ASSERT_NE(fromOffset, 0u);
    EXPECT_NE(fromOffset, fromMemory);
    EXPECT_EQ(BASS_MusicGetLength(fromOffset), 3u);
    EXPECT_EQ(music("packed.dat"), Coded(0, BASS_ERROR_FILEFORM));
}

TEST_F(BassLoadErrors, HandlesTypesAndParametersAreChecked)
{
    const HMUSIC music = load(test::threeOrderModule());
    ASSERT_NE(music, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    const Coded badHandle(0, BASS_ERROR_HANDLE), badParam(0, BASS_ERROR_ILLPARAM);
    EXPECT_EQ(coded(BASS_MusicPlay(0)), badHandle);
    EXPECT_EQ(coded(BASS_ChannelSetSync(0, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, ignore, nullptr)), badHandle);
    EXPECT_EQ(coded(BASS_ChannelSetSync(music, 7, 0, ignore, nullptr)), Coded(0, BASS_ERROR_ILLTYPE));
    EXPECT_EQ(coded(BASS_ChannelSetSync(music, BASS_SYNC_END, 0, nullptr, nullptr)), badParam);
    const HSYNC sync = BASS_ChannelSetSync(music, BASS_SYNC_END, 0, ignore, nullptr);
    EXPECT_EQ(coded(sync != 0), Coded(1, BASS_OK));
    EXPECT_EQ(coded(BASS_ChannelRemoveSync(music, sync + 100)), badHandle);
    EXPECT_TRUE(BASS_ChannelRemoveSync(music, sync));
    EXPECT_EQ(coded(BASS_ChannelRemoveSync(music, sync)), badHandle);   // only once
    EXPECT_EQ(coded(BASS_MusicSetPositionScaler(music, 0)), badParam);
    EXPECT_EQ(coded(BASS_MusicSetPositionScaler(music, 257)), badParam);
    EXPECT_EQ(coded(BASS_StreamPlay(music, true, 0)), badHandle);   // a module is no stream
    EXPECT_EQ(coded(BASS_StreamGetLength(music)), Coded(kFailed, BASS_ERROR_HANDLE));
    EXPECT_EQ(coded(BASS_ChannelStop(music + 1000)), badHandle);
}

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

// The null device is chosen after the card fails, and always for BASS_DEVICE_NOSOUND.
TEST_F(NoSoundCard, TheCardFailsWithCode3AndTheNullDeviceIsChosenWithOneLineOnTheConsoleAndKeepsRealTime)
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
    BASS_Free();
    SoundOutput::choose(SoundOutput::Kind::Offline);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr));
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Null);
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

using Samples = std::vector<std::int16_t>;
using OfflineOutput = test::OfflineSound;

// Offline, the same frames go to the WAV file and to the sink, in the order they are mixed.
TEST_F(OfflineOutput, EveryMixedFrameIsWrittenToTheWavFileAndHandedToTheSink)
{
    Samples received;
    std::vector<std::size_t> calls;
    SoundOutput::choose(SoundOutput::Kind::Offline, dir.file("out.wav"), [&](std::span<const std::int16_t> samples) {
        received.insert(received.end(), samples.begin(), samples.end());
        calls.push_back(samples.size());
    });
    restart();
    const Samples before = SoundOutput::mix(100);   // silence before the music
    BASS_MusicPlay(test::loadFromMemory(test::threeOrderModule()));
    SoundOutput::mixTo(SoundOutput::frameStart(2, 60));
    SoundOutput::mixTo(1470);   // nothing left to mix: no call
    const Samples tail = SoundOutput::mix(10);
    // Video frames start on whole samples.
    EXPECT_EQ(SoundOutput::frameStart(3, 25), 5292u);
    EXPECT_EQ(SoundOutput::frameStart(1, 30000.0 / 1001), 1471u);   // 1471.47
    BASS_Free();
    EXPECT_EQ(calls, (std::vector<std::size_t>{200, 2740, 20}));
    EXPECT_EQ(Samples(received.begin(), received.begin() + 200), before);
    EXPECT_EQ(Samples(received.end() - 20, received.end()), tail);
    EXPECT_NE(tail, Samples(20, 0));
    SF_INFO info{};
    SNDFILE* file = sf_open(dir.file("out.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(info.samplerate, 44100);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    ASSERT_EQ(info.frames, 1480);
    Samples written(received.size());
    sf_readf_short(file, written.data(), info.frames);
    sf_close(file);
    EXPECT_EQ(written, received);
}

}  // namespace
}  // namespace mirva
