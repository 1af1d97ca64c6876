// The parameter reference a script beginning with `Info` writes: its exact text.
#include <gtest/gtest.h>

#include "tests/player/script_player_fixture.h"

namespace mirva {
namespace {

class ParameterReferenceTest : public test::ScriptPlayerTest {};

TEST_F(ParameterReferenceTest, AnInfoScriptWritesTheWholeReference)
{
    load("Info\nEnum Layers { BACK MIDDLE FRONT }\nEnum Moods { HAPPY CALM }\nTimer 1:0:0 120 1.0\n");
    EXPECT_EQ(test::readText("parameters.txt"), test::readText(MIRVA_TEST_DATA "/parameters_expected.txt"));
}

TEST_F(ParameterReferenceTest, WithoutUserEnumsTheHeadingStandsAlone)
{
    const auto player = load("Info Timer 1:0:0 120 1.0");
    EXPECT_TRUE(player->infoMode());
    const std::string text = test::readText("parameters.txt");
    const std::string separator = " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n";
    const std::string tail = "ZBufferMode\n{\n    COMPARE\n    OFF\n    WRITEANDCOMPARE\n}\n\n" + separator +
                             "\nuser specified enums\n\n";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(ParameterReferenceTest, ATypeWithoutConstructionParametersKeepsTheHeading)
{
    load("Info Timer 1:0:0 120 1.0");
    const std::string text = test::readText("parameters.txt");
    EXPECT_NE(text.find("\n\nClears framebuffer and zbuffer.\n\nClearer\n{\n//construction parameters\n\n//parameters\n"
                        "\tEnabled = (Bool)\n"),
              std::string::npos);
}

TEST_F(ParameterReferenceTest, OnlyInfoScriptsWriteIt)
{
    load("Timer 1:0:0 120 1.0");
    EXPECT_FALSE(std::filesystem::exists(dir.file("parameters.txt")));
}

TEST_F(ParameterReferenceTest, AReferenceThatCannotBeWrittenIsLeftOut)
{
    std::filesystem::create_directory(dir.file("parameters.txt"));
    const auto player = load("Info Timer 1:0:0 120 1.0");
    EXPECT_TRUE(player->infoMode());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("parameters.txt")));
}

}  // namespace
}  // namespace mirva
