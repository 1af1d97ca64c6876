// The messages of the Song and AudioStream sources when the sound library fails, and the
// library freed again after a failed load.
#include <gtest/gtest.h>

#include "io/phile.h"
#include "player/song_source.h"
#include "tests/player/sound_script_fixture.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/audio_files.h"

namespace mirva {
namespace {

constexpr const char* kNotInitialised = "BASS_Init has not been successfully called.";

class SoundErrorsTest : public test::SoundScriptTest {};

TEST_F(SoundErrorsTest, FilesThatAreMissingOrNoMusic)
{
    test::writeText("notes.txt", "no module, no audio\n");
    EXPECT_EQ(messageOf("Song \"music/none.mod\""),
              "File music/none.mod loading failed (BASS message: The file could not be opened.)");
    EXPECT_EQ(messageOf("Song \"notes.txt\""), "File notes.txt loading failed (BASS message: Some other mystery problem!)");
    EXPECT_EQ(messageOf("AudioStream \"music/none.mp3\" 120 1.0"),
              "File music/none.mp3 loading failed (BASS message: The file could not be opened.)");
    EXPECT_EQ(messageOf("AudioStream \"notes.txt\" 120 1.0"),
              "File notes.txt loading failed (BASS message: Some other mystery problem!)");
    // Each failed load freed the library again.
    EXPECT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    BASS_Free();
}

TEST_F(SoundErrorsTest, ALibraryThatIsAlreadyRunning)
{
    test::threeOrderModule().write("song.mod");
    ASSERT_TRUE(BASS_Init(BASS_DEVICE_DEFAULT, 44100, 0, nullptr));
    EXPECT_EQ(messageOf("Song \"song.mod\""),
              "Music player initialization failed (BASS message: BASS has already been initialized. You must call "
              "BASS_Free before calling BASS_Init again.)");
    // The library belongs to whoever started it: the failed script left it running.
    EXPECT_EQ(SoundOutput::current(), SoundOutput::Kind::Offline);
    BASS_Free();
}

TEST_F(SoundErrorsTest, AnAudioStreamNeedsATempo)
{
    EXPECT_EQ(messageOf("AudioStream \"a.wav\" 0 1.0"), "line 1 AudioStream: tempo must be above 0");
    EXPECT_EQ(messageOf("\nAudioStream \"a.wav\" -5 1.0"), "line 2 AudioStream: tempo must be above 0");
}

// The library freed under a loaded script: every later call of the sources fails.
TEST_F(SoundErrorsTest, CallsOnAFreedLibrary)
{
    test::threeOrderModule().write("song.mod");
    const std::string song = "Construct Clearer c\nSong \"song.mod\"\n";
    play(song + "0:0:0 SampleMessageBegin c { SampleNumber = 3 }\n0:0:1 SampleMessageEnd c\n0:0:2 Skip 2:10:0\n");
    BASS_Free();
    EXPECT_FATAL(player->instructions()[1]->execute(),
                 std::string("Music playing failed (BASS message: ") + kNotInitialised + ")");
    EXPECT_FATAL(player->instructions()[2]->execute(),
                 std::string("Setting a synchronizer failed (BASS message: ") + kNotInitialised + ") SampleNumber = 3");
    EXPECT_FATAL(player->instructions()[4]->execute(),
                 std::string("Setting song position 2:10 failed (BASS message: ") + kNotInitialised + ")");
    player.reset();

    // A synchronizer set while the library ran, removed after it was freed.
    play(song + "0:0:0 SampleMessageBegin c { SampleNumber = 3 }\n0:0:1 SampleMessageEnd c\n");
    player->executeDueInstructions(0);
    BASS_Free();
    EXPECT_FATAL(player->executeDueInstructions(1),
                 std::string("Removing a synchronizer failed (BASS message: ") + kNotInitialised + ")");
    player.reset();

    test::writeWav("tune.wav", 44100, 2, std::vector<std::int16_t>(200, 0));
    play("AudioStream \"tune.wav\" 120 1.0\n");
    BASS_Free();
    EXPECT_FATAL(player->instructions()[0]->execute(),
                 std::string("AudioStream playing failed (BASS message: ") + kNotInitialised + ")");
}

TEST_F(SoundErrorsTest, TheMusicGoesIntoTheUsedFilesList)
{
    test::threeOrderModule().write("song.mod");
    Phile::enableUsedFiles();
    play("Song \"song.mod\"\n");
    Phile::disableUsedFiles();
    EXPECT_EQ(test::readText("usedfiles.txt"), "script.txt\nsong.mod\n");
}

}  // namespace
}  // namespace mirva
