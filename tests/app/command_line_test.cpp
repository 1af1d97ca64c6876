#include "app/command_line.h"

#include <gtest/gtest.h>

namespace mirva {
namespace {

TEST(CommandLine, OptionsAreFoundAnywhereEvenInsideAnotherWord)
{
    const CommandLine line({"-console", "-fullscreen"});
    EXPECT_TRUE(line.has("-console"));
    EXPECT_TRUE(line.has("-fullscreen"));
    EXPECT_FALSE(line.has("-usedfiles"));
    EXPECT_TRUE(CommandLine({"x-usedfilesy"}).has("-usedfiles"));
    EXPECT_FALSE(CommandLine({"-Console"}).has("-console"));  // case counts
    EXPECT_FALSE(CommandLine({}).has("-console"));
}

}  // namespace
}  // namespace mirva
