// Motion files to script key lists: the exact text written and every message.
#include "lightwave/motion_file_converter.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

std::string convert(std::string_view text)
{
    std::string out;
    MotionFileConverter::Convert(text, out, nullptr);
    return out;
}

TEST(MotionFileConverterTest, OneTcbKey)
{
    EXPECT_EQ(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 1 Key 1 0 0 0 0 0 0 0 0 Behaviors 1 1 }"),
              "\nKey 0.000000,1.000000,TCB,0.000000,0.000000,0.000000\nCONSTANT CONSTANT ");
}

TEST(MotionFileConverterTest, EveryShapeAndTwoChannels)
{
    const std::string file = "LWMO\n"
                             "3\n"
                             "NumChannels 2\n"
                             "Channel 0\n"
                             "{ Envelope\n"
                             "  5\n"
                             "  Key 1.5 0 0 0.5 -0.25 1 0 0 0\n"
                             "  Key -2 0.5 1 0 0 0 1.25 -3 0\n"
                             "  Key 4 1 2 0 0 0 0.5 2.0e1 0\n"
                             "  Key 3 2 3 0 0 0 0 0 0\n"
                             "  Key 8 2.5 4 0.1 0.2 0.3 0 0 0\n"
                             "  Behaviors 2 4\n"
                             "}\n"
                             "Channel 1\n"
                             "{ Envelope\n"
                             "  1\n"
                             "  Key 0 0 3 0 0 0 0 0 0\n"
                             "  Behaviors 0 5\n"
                             "}\n";
    EXPECT_EQ(convert(file), "\n"
                             "Key 0.000000,1.500000,TCB,0.500000,-0.250000,1.000000\n"
                             "Key 0.500000,-2.000000,HERMITE,1.250000,-3.000000\n"
                             "Key 1.000000,4.000000,BEZIER,0.500000,20.000000\n"
                             "Key 2.000000,3.000000,LINEAR\n"
                             "Key 2.500000,8.000000,STEPPED\n"
                             "REPEAT OFFSETREPEAT ,\n"
                             "\n"
                             "Key 0.000000,0.000000,LINEAR\n"
                             "RESET LINEAR ");
}

TEST(MotionFileConverterTest, EveryBehaviourWord)
{
    const char* words[] = {"RESET ", "CONSTANT ", "REPEAT ", "OSCILLATE ", "OFFSETREPEAT ", "LINEAR "};
    for (int code = 0; code < 6; ++code) {
        const std::string file = "LWMO 3 NumChannels 1 Channel 0 { Envelope 0 Behaviors " + std::to_string(code) +
                                 " " + std::to_string(code) + " }";
        EXPECT_EQ(convert(file), std::string("\n") + words[code] + words[code]);
    }
}

TEST(MotionFileConverterTest, NoChannelsConvertToNothing)
{
    EXPECT_EQ(convert("LWMO 3 NumChannels 0"), "");
    EXPECT_EQ(convert("LWMO 3 NumChannels 4\n\n"), "");
}

TEST(MotionFileConverterTest, StrayCharactersAreSkippedAndEchoedOutsideTheScript)
{
    char* echoed = nullptr;
    std::size_t size = 0;
    std::FILE* echo = open_memstream(&echoed, &size);
    std::string out;
    MotionFileConverter::Convert("LWMO 3 # x\r\nNumChannels 1 Channel 0 { Envelope 1 Keys 1 0 3 0 0 0 0 0 0 "
                                 "Behaviors 1 1 }!",
                                 out, echo);
    std::fclose(echo);
    EXPECT_EQ(std::string(echoed, size), "#x\rs!");
    std::free(echoed);
    EXPECT_EQ(out, "\nKey 0.000000,1.000000,LINEAR\nCONSTANT CONSTANT ");
}

TEST(MotionFileConverterTest, VersionMustBeThree)
{
    EXPECT_FATAL(convert("LWMO 2 NumChannels 1"), "motion file version must be 3");
    EXPECT_FATAL(convert("LWMO 3.0 NumChannels 1"), "line 1 syntax error: '3.0' found version number expected ");
}

TEST(MotionFileConverterTest, SyntaxErrorsNameLineTokenAndExpectation)
{
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 1\nKey 1 0 0.0 0 0 0 0 0 0"),
                 "line 2 syntax error: '0.0' found shape expected ");
    EXPECT_FATAL(convert("3 NumChannels"), "line 1 syntax error: '3' found LWMO expected ");
    EXPECT_FATAL(convert("LWMO 3\nNumChannels 1\nChannel 0 {\nEnvelope 1\nKey 1 0 0 0 0"),
                 "line 5 syntax error: end of file found bias expected ");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 1 Key 1 0 0 0 0 0 0 0 0 } "),
                 "line 1 syntax error: '}' found Key or prebehavior expected ");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 0 Behaviors 1 1 } Key"),
                 "line 1 syntax error: 'Key' found Channel or end of file expected ");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 0 Behaviors 1.0"),
                 "line 1 syntax error: '1.0' found prebehavior expected ");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 Envelope"),
                 "line 1 syntax error: 'Envelope' found { expected ");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 NumChannels"),
                 "line 1 syntax error: 'NumChannels' found Channel expected ");
}

TEST(MotionFileConverterTest, UnknownShapesAndBehavioursAreFatal)
{
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 1 Key 1 0 5 0 0 0 0 0 0 Behaviors 1 1 }"),
                 "unknown motion shape");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 1 Key 1 0 -1 0 0 0 0 0 0 Behaviors 1 1 }"),
                 "unknown motion shape");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 0 Behaviors 6 1 }"), "unknown behavior");
    EXPECT_FATAL(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 0 Behaviors 1 -1 }"), "unknown behavior");
}

}  // namespace
}  // namespace mirva
