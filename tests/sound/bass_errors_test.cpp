// Error codes of every call, and the texts the program quotes for them.
#include <gtest/gtest.h>

#include "platform/sound/bass.h"
#include "platform/sound/sound_output.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

void ignore(HSYNC, DWORD, DWORD, void*) {}

TEST(BassErrors, CallsBeforeInitFailWithCode8)
{
    EXPECT_EQ(BASS_MusicLoad(false, "song.mod", 0, 0, 0x20), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_StreamCreateFile(false, "song.mp3", 0, 0, 0x20000), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_ChannelGetPosition(1), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(BASS_MusicGetLength(1), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    BASS_Free();
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST(BassErrors, InitChecksDeviceRateAndASecondInit)
{
    SoundOutput::choose(SoundOutput::Kind::Offline);
    EXPECT_FALSE(BASS_Init(7, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, 0, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_FALSE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    BASS_Free();
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    // Free makes a new start possible.
    EXPECT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    BASS_Free();
}

TEST(BassErrors, AnUnwritableWavFileIsFatalNamingItAndWhy)
{
    SoundOutput::choose(SoundOutput::Kind::Offline, "/nonexistent-folder/out.wav");
    EXPECT_FATAL(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr),
                 "sound: can't write the WAV file '/nonexistent-folder/out.wav' (System error : No such file or "
                 "directory.)");
    SoundOutput::choose(SoundOutput::Kind::Automatic);
}

class BassLoadErrors : public test::OfflineSound {};

TEST_F(BassLoadErrors, MissingFilesFailWithCode2AndOtherFilesWithCode41)
{
    EXPECT_EQ(BASS_MusicLoad(false, dir.file("missing.mod").c_str(), 0, 0, 0x20), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_StreamCreateFile(false, dir.file("missing.mp3").c_str(), 0, 0, 0x20000), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_MusicLoad(false, dir.path().c_str(), 0, 0, 0x20), 0u);   // a folder
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);

    test::writeText(dir.file("notes.mod"), "These are the notes of a song, not a module.\n");
    test::writeFile(dir.file("empty.mod"), {});
    for (const char* name : {"notes.mod", "empty.mod"}) {
        EXPECT_EQ(BASS_MusicLoad(false, dir.file(name).c_str(), 0, 0, 0x20), 0u) << name;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM) << name;
        EXPECT_EQ(BASS_StreamCreateFile(false, dir.file(name).c_str(), 0, 0, 0x20000), 0u) << name;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM) << name;
    }
    // A module is no stream.
    test::threeOrderModule().write(dir.file("song.mod"));
    EXPECT_EQ(BASS_StreamCreateFile(false, dir.file("song.mod").c_str(), 0, 0, 0x20000), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    // A module cut short is no module.
    std::vector<std::uint8_t> bytes = test::readFile(dir.file("song.mod"));
    bytes.resize(1000);
    test::writeFile(dir.file("short.mod"), bytes);
    EXPECT_EQ(BASS_MusicLoad(false, dir.file("short.mod").c_str(), 0, 0, 0x20), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST_F(BassLoadErrors, ModulesLoadFromMemoryAndFromAnOffsetInAFile)
{
    const std::vector<std::uint8_t> bytes = test::threeOrderModule().bytes();
    const HMUSIC fromMemory = BASS_MusicLoad(true, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 0);
    ASSERT_NE(fromMemory, 0u);
    EXPECT_EQ(BASS_MusicGetLength(fromMemory), 3u);
    std::vector<std::uint8_t> packed(100, 0xAA);
    packed.insert(packed.end(), bytes.begin(), bytes.end());
    test::writeFile(dir.file("packed.dat"), packed);
    const HMUSIC fromOffset = BASS_MusicLoad(false, dir.file("packed.dat").c_str(), 100, 0, 0);
    ASSERT_NE(fromOffset, 0u);
    EXPECT_NE(fromOffset, fromMemory);
    EXPECT_EQ(BASS_MusicGetLength(fromOffset), 3u);
    EXPECT_EQ(BASS_MusicLoad(false, dir.file("packed.dat").c_str(), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST_F(BassLoadErrors, HandlesTypesAndParametersAreChecked)
{
    const HMUSIC music = load(test::threeOrderModule());
    ASSERT_NE(music, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);

    EXPECT_FALSE(BASS_MusicPlay(0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelSetSync(0, BASS_SYNC_MUSICINST, 3 | 0xFFFF0000, ignore, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelSetSync(music, 7, 0, ignore, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
    EXPECT_EQ(BASS_ChannelSetSync(music, BASS_SYNC_END, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    const HSYNC sync = BASS_ChannelSetSync(music, BASS_SYNC_END, 0, ignore, nullptr);
    EXPECT_NE(sync, 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_FALSE(BASS_ChannelRemoveSync(music, sync + 100));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_TRUE(BASS_ChannelRemoveSync(music, sync));
    EXPECT_FALSE(BASS_ChannelRemoveSync(music, sync));   // only once
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

    EXPECT_FALSE(BASS_MusicSetPositionScaler(music, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_MusicSetPositionScaler(music, 257));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_StreamPlay(music, true, 0));   // a module is no stream
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_StreamGetLength(music), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelStop(music + 1000));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST(BassErrors, PlayingNeedsAStartedOutput)
{
    SoundOutput::choose(SoundOutput::Kind::Offline);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    const std::vector<std::uint8_t> bytes = test::threeOrderModule().bytes();
    const HMUSIC music = BASS_MusicLoad(true, bytes.data(), 0, static_cast<DWORD>(bytes.size()), 0);
    EXPECT_FALSE(BASS_MusicPlay(music));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_START);
    ASSERT_TRUE(BASS_Start());
    EXPECT_TRUE(BASS_MusicPlay(music));
    BASS_Free();
    // Freed channels are gone.
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_FALSE(BASS_ChannelStop(music));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    BASS_Free();
}

TEST(BassErrors, EveryCodeHasItsText)
{
    const std::pair<int, const char*> table[] = {
        {1, "There is insufficent memory."},
        {2, "The file could not be opened."},
        {3, "There is no available device driver."},
        {4, "Should not happen, but... PLEASE REPORT IT IF YOU DO GET THIS ERROR!"},
        {5, "handle is not a valid MOD music handle."},
        {6, "The specified format is not supported by the device. Try changing the freq and flags parameters."},
        {8, "BASS_Init has not been successfully called."},
        {9, "The digital output has not been started. Use BASS_Start to do so."},
        {14, "BASS has already been initialized. You must call BASS_Free before calling BASS_Init again."},
        {19, "An illegal type was specified."},
        {20, "An illegal param was specified."},
        {21, "The device has no 3D support."},
        {23, "The device number specified is invalid."},
        {26, "The device has no A3D support."},
        {30, "Synchronizers have been disabled... the BASS_DEVICE_NOSYNC flag was used with BASS_Init."},
    };
    for (const auto& [code, text] : table)
        EXPECT_STREQ(bassErrorText(code), text) << code;
    for (int other : {-1, 0, 7, 10, 41, 1000})
        EXPECT_STREQ(bassErrorText(other), "Some other mystery problem!") << other;
}

TEST(BassErrors, OfflineCallsNeedTheOfflineOutput)
{
    EXPECT_FATAL(SoundOutput::mix(10), "SoundOutput::mix - the sound library is not running offline");
    SoundOutput::choose(SoundOutput::Kind::Null);
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Null);
    EXPECT_FATAL(SoundOutput::mixTo(10), "SoundOutput::mixTo - the sound library is not running offline");
    BASS_Free();
    SoundOutput::choose(SoundOutput::Kind::Automatic);
}

}  // namespace
}  // namespace mirva
