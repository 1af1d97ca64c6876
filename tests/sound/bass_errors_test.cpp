// Error codes of every call, and the fatal misuses of the offline output.
#include <gtest/gtest.h>

#include "tests/sound/sound_fixture.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

using test::Coded;
using test::coded;
using test::kFailed;

void ignore(HSYNC, DWORD, DWORD, void*) {}

TEST(BassErrors, CallsBeforeInitFailWithCode8)
{
    EXPECT_EQ(coded(BASS_MusicLoad(false, "song.mod", 0, 0, 0x20)), Coded(0, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_StreamCreateFile(false, "song.mp3", 0, 0, 0x20000)), Coded(0, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_Start()), Coded(0, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_ChannelGetPosition(1)), Coded(kFailed, BASS_ERROR_INIT));
    EXPECT_EQ(coded(BASS_MusicGetLength(1)), Coded(kFailed, BASS_ERROR_INIT));
    BASS_Free();
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
}

TEST(BassErrors, InitChecksDeviceRateASecondInitAndPlayingNeedsAStart)
{
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
}

TEST(BassErrors, OfflineMisuseIsFatal)
{
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
    Coded music(const std::string& name, DWORD offset = 0)
    {
        return coded(BASS_MusicLoad(false, dir.file(name).c_str(), offset, 0, 0x20));
    }
    Coded stream(const std::string& name)
    {
        return coded(BASS_StreamCreateFile(false, dir.file(name).c_str(), 0, 0, 0x20000));
    }
};

TEST_F(BassLoadErrors, MissingFilesFailWithCode2AndOtherFilesWithCode41)
{
    test::writeText(dir.file("notes.mod"), "These are the notes of a song, not a module.\n");
    test::writeFile(dir.file("empty.mod"), {});
    test::threeOrderModule().write(dir.file("song.mod"));
    std::vector<std::uint8_t> bytes = test::readFile(dir.file("song.mod"));
    bytes.resize(1000);
    test::writeFile(dir.file("short.mod"), bytes);   // a module cut short is no module
    const Coded missing(0, BASS_ERROR_FILEOPEN), noForm(0, BASS_ERROR_FILEFORM);
    EXPECT_EQ(music("missing.mod"), missing);
    EXPECT_EQ(stream("missing.mp3"), missing);
    EXPECT_EQ(music(""), missing);   // the folder itself
    for (const char* name : {"notes.mod", "empty.mod"}) {
        EXPECT_EQ(music(name), noForm) << name;
        EXPECT_EQ(stream(name), noForm) << name;
    }
    EXPECT_EQ(stream("song.mod"), noForm);   // a module is no stream
    EXPECT_EQ(music("short.mod"), noForm);
}

TEST_F(BassLoadErrors, ModulesLoadFromMemoryAndFromAnOffsetInAFile)
{
    const std::vector<std::uint8_t> bytes = test::threeOrderModule().bytes();
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

}  // namespace
}  // namespace mirva
