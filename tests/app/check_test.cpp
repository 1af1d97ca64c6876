// End to end: `mirva check` on scripts, run as its own process.
#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/run.h"

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
    EXPECT_EQ(result.err, "line 1: time source 'Song' is not available yet (this build plays no sound)\n");
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
