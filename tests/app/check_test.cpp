// End to end: `mirva check` on scripts, run as its own process.
#include <gtest/gtest.h>

#include "tests/support/audio_files.h"
#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tools/module_writer.h"

namespace mirva {
namespace {

using test::runMirva;

class CheckTest : public testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(CheckTest, AScriptThatLoadsGetsASummary)
{
    test::writeText(dir.file("show.txt"), "Enum Layers { BACK FRONT }\n"
                                          "Construct Clearer clear { Layer = BACK }\n"
                                          "Construct Writer text { Font = \"fonts/f.png\" MaxLines = 2 }\n"
                                          "Timer 2:0:0 130 1.5\n"
                                          "0:0:0 Begin clear\n"
                                          "1:0:0 Begin text { l = 0 txt = \"hi\" }\n");
    const auto result = runMirva({"check", "show.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "script: show.txt\n"
                          "time source: Timer, end 2:0:0, tempo 130, time multiplier 1.5\n"
                          "instances: 2\n"
                          "instructions: 5\n"
                          "user enums: 1\n");
    EXPECT_EQ(result.err, "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("parameters.txt")));
}

TEST_F(CheckTest, AnInfoScriptWritesTheParameterReference)
{
    test::writeText(dir.file("info.txt"), "Info Timer 1:0:0 120 1.0");
    const auto result = runMirva({"check", "info.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("wrote parameters.txt\n"), std::string::npos);
    EXPECT_EQ(test::readText(dir.file("parameters.txt")).substr(0, 87),
              "=========================================================================\nInstructions\n");
}

TEST_F(CheckTest, AScriptErrorEndsWithItsMessageAndCode255)
{
    test::writeText(dir.file("bad.txt"), "Construct Clearer c\nTimer 5:0:0 120 1\n");
    auto result = runMirva({"check", "bad.txt"}, dir.path().string());
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "line 2 syntax error: '1' found time multiplier expected \n");

    result = runMirva({"check", "nothing.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "script file 'nothing.txt' not found\n");

    test::writeText(dir.file("song.txt"), "Song \"music/tune.xm\"\n");
    result = runMirva({"check", "song.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "File music/tune.xm loading failed (BASS message: The file could not be opened.)\n");
}

// The music is loaded as the show loads it, with the offline output: nothing plays and no
// sound card is needed.
TEST_F(CheckTest, SongAndAudioStreamScriptsLoadTheirMusic)
{
    std::filesystem::create_directories(dir.path() / "music");
    ModuleWriter mod(4);
    const int kick = mod.addSample(ModuleWriter::squareWave(32));
    const int pattern = mod.addPattern();
    mod.setCell(pattern, 0, 0, {.note = "C-2", .sample = kick});
    mod.setOrders({pattern, pattern});
    mod.write(dir.file("music/tune.mod"));
    test::writeWav(dir.file("music/tune.wav"), 22050, 1, std::vector<std::int16_t>(11025, 0));
    ASSERT_TRUE(test::writeMp3Tone(dir.file("music/tune.mp3"), 0.5, 440.0));
    test::writeText(dir.file("song.txt"), "Construct Clearer c\nSong \"music/tune.mod\"\n"
                                          "0:0:0 SampleMessageBegin c { SampleNumber = 1 }\n"
                                          "0:1:0 SampleMessageEnd c\n0:2:0 Skip 1:0:0\n");
    test::writeText(dir.file("wav.txt"), "AudioStream \"music/tune.wav\" 125 1.0\n0:2:0 Skip 1:0:0\n");
    test::writeText(dir.file("mp3.txt"), "AudioStream \"music/tune.mp3\" 100 0.5\n0:2:0 Skip 1:0:0\n");
    test::writeText(dir.file("timer.txt"), "Timer 2:0:0 125 1.0\n0:2:0 Skip 1:0:0\n");

    auto result = runMirva({"check", "song.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "script: song.txt\n"
                          "time source: Song music/tune.mod, 2 orders\n"
                          "instances: 1\n"
                          "instructions: 5\n"
                          "user enums: 0\n");
    EXPECT_EQ(result.err, "");

    result = runMirva({"check", "wav.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("time source: AudioStream music/tune.wav, 0.50 s, tempo 125, time multiplier 1\n"),
              std::string::npos)
        << result.out;

    result = runMirva({"check", "mp3.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("time source: AudioStream music/tune.mp3, 0."), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(" s, tempo 100, time multiplier 0.5\n"), std::string::npos) << result.out;

    result = runMirva({"check", "timer.txt"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("instructions: 2\n"), std::string::npos) << result.out;
}

TEST_F(CheckTest, BinaryBytesEndInAMessage)
{
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 65536; ++i)
        bytes.push_back(static_cast<std::uint8_t>((i * 2654435761u) >> 13));
    test::writeFile(dir.file("noise.bin"), bytes);
    const auto result = runMirva({"check", "noise.bin"}, dir.path().string());
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_NE(result.err.find("syntax error"), std::string::npos) << result.err;
}

TEST_F(CheckTest, CheckTakesExactlyOneScript)
{
    const auto result = runMirva({"check"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "usage: mirva check SCRIPT\n");
}

}  // namespace
}  // namespace mirva
