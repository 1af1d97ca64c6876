// Motions: nine channels to a transformation, and the controllers. Rotations are checked
// with right angles, where every matrix entry is 0 or +-1 and the product order shows.
// And motion files to script key lists: the exact text written and every message.
#include "lightwave/motion.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include <gtest/gtest.h>

#include "lightwave/motion_file_converter.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

using Rows = std::vector<std::array<float, 3>>;

void expectRows(const Transformation& M, const Rows& rows)
{
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(M.m[r][c], rows[r][c], 1e-5f) << "row " << r << " column " << c;
}

// Channel values as keys at time 0; no value leaves the channel out.
Motion motionOf(const std::array<std::optional<float>, 9>& values)
{
    Motion motion(9);
    for (int i = 0; i < 9; ++i) {
        if (const auto value = values[static_cast<std::size_t>(i)])
            motion.envelope(i)->AddKey({.time = 0, .value = *value});
        else
            motion.removeChannel(i);
    }
    return motion;
}

void addLine(Motion& motion, int channel, std::initializer_list<std::pair<float, float>> keys)
{
    for (const auto& [time, value] : keys)
        motion.envelope(channel)->AddKey({.time = time, .value = value, .shape = KeyType::LINEAR});
}

TEST(MotionTest, ChannelsMakeTheTransformation)
{
    const struct {
        const char* what;
        std::array<std::optional<float>, 9> channels;
        Rows rows;
    } cases[] = {
        {"heading about Y: X turns to -Z", {0, 0, 0, 90, 0, 0, 1, 1, 1}, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}},
        {"pitch about X: Y turns to Z", {0, 0, 0, 0, 90, 0, 1, 1, 1}, {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}},
        {"bank about Z: X turns to Y", {0, 0, 0, 0, 0, 90, 1, 1, 1}, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}}},
        // Rb Rp Rh: (1,0,0) Rh = (0,0,-1), (0,0,1) Rh = (1,0,0); the other order differs.
        {"pitch, then heading", {0, 0, 0, 90, 90, 0, 1, 1, 1}, {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}}},
        {"bank, pitch, heading", {0, 0, 0, 90, 90, 90, 1, 1, 1}, {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}}},
        // A scale below 0.0001 (negative, zero, not a number) becomes 0.0001.
        {"translation and scale", {3, -2, 7, 0, 0, 0, 2, 3, -1}, {{2, 0, 0}, {0, 3, 0}, {0, 0, 0.0001f}, {3, -2, 7}}},
        {"all zero", {0, 0, 0, 0, 0, 0, 0, std::nanf(""), 0},
         {{0.0001f, 0, 0}, {0, 0.0001f, 0}, {0, 0, 0.0001f}, {0, 0, 0}}},
        // One rotation channel is enough for the whole rotation and scale.
        {"bank alone", {0, 0, 0, {}, {}, 90, 2, {}, {}}, {{0, 2, 0}, {-1, 0, 0}, {0, 0, 1}}},
        // Without rotation channels the axes and absent positions stay as they were.
        {"no rotation", {5, {}, 6, {}, {}, {}, {}, {}, {}}, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {5, 11, 6}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Transformation M{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}};
        motionOf(c.channels).Evaluate(0, M);
        expectRows(M, c.rows);
    }
}

TEST(MotionTest, ControllersAimAlongTheDirectionOrThePathAndUnknownOnesAreFatal)
{
    const struct {
        std::array<float, 3> direction;
        float heading, pitch;
    } cases[] = {
        // The angle of (0, 0) is 270; -atan2(1, sqrt 2) = -35.26439.
        {{0, 0, 0}, 270, -270}, {{1, 0, 0}, 90, 0},    {{0, 0, -1}, 180, 0},
        {{1, 1, 1}, 45, -35.26439f}, {{-1, 0, -1}, 225, 0},
    };
    Motion motion(9);
    motion.setController(3, Controller::TARGET);
    motion.setController(4, Controller::TARGET);
    for (const auto& [direction, heading, pitch] : cases) {
        motion.setDirection(direction[0], direction[1], direction[2]);
        const float h = motion.ChannelValue(3, 0), p = motion.ChannelValue(4, 0);
        EXPECT_TRUE(std::fabs(h - heading) < 1e-4f && std::fabs(p - pitch) < 1e-4f) << heading << ": " << h << " " << p;
    }

    // The scene tests drive align to path through scene files; here, a position channel
    // set to align to path gives its keys to the path instead of chasing its own value.
    Motion path(9);
    addLine(path, 0, {{0, 0}, {1, 1}});
    path.setController(0, Controller::ALIGN_TO_PATH);
    path.setController(3, Controller::ALIGN_TO_PATH);
    EXPECT_NEAR(path.ChannelValue(3, 0.5f), 90.0f, 1e-3f);
    EXPECT_TRUE(std::isfinite(path.ChannelValue(0, 0.5f)));

    motion.setController(4, 3);
    Transformation M = Transformation::identity();
    EXPECT_FATAL(motion.Evaluate(0, M), "Motion: Unknown controller");
}

std::string convert(std::string_view text, std::FILE* echo = nullptr)
{
    std::string out;
    MotionFileConverter::Convert(text, out, echo);
    return out;
}

TEST(MotionFileConverterTest, EveryShapeEveryBehaviourWordAndNoChannels)
{
    const std::string file = "LWMO\n3\nNumChannels 2\nChannel 0\n{ Envelope\n  5\n"
                             "  Key 1.5 0 0 0.5 -0.25 1 0 0 0\n"
                             "  Key -2 0.5 1 0 0 0 1.25 -3 0\n"
                             "  Key 4 1 2 0 0 0 0.5 2.0e1 0\n"
                             "  Key 3 2 3 0 0 0 0 0 0\n"
                             "  Key 8 2.5 4 0.1 0.2 0.3 0 0 0\n"
                             "  Behaviors 2 4\n}\n"
                             "Channel 1\n{ Envelope\n  1\n  Key 0 0 3 0 0 0 0 0 0\n  Behaviors 0 5\n}\n";
    EXPECT_EQ(convert(file), "\n"
                             "Key 0.000000,1.500000,TCB,0.500000,-0.250000,1.000000\n"
                             "Key 0.500000,-2.000000,HERMITE,1.250000,-3.000000\n"
                             "Key 1.000000,4.000000,BEZIER,0.500000,20.000000\n"
                             "Key 2.000000,3.000000,LINEAR\n"
                             "Key 2.500000,8.000000,STEPPED\n"
                             "REPEAT OFFSETREPEAT ,\n\n"
                             "Key 0.000000,0.000000,LINEAR\nRESET LINEAR ");

    const char* words[] = {"RESET ", "CONSTANT ", "REPEAT ", "OSCILLATE ", "OFFSETREPEAT ", "LINEAR "};
    for (int code = 0; code < 6; ++code)
        EXPECT_EQ(convert("LWMO 3 NumChannels 1 Channel 0 { Envelope 0 Behaviors " + std::to_string(code) + " " +
                          std::to_string(code) + " }"),
                  std::string("\n") + words[code] + words[code]);
    EXPECT_EQ(convert("LWMO 3 NumChannels 0"), "");
    EXPECT_EQ(convert("LWMO 3 NumChannels 4\n\n"), "");
}

TEST(MotionFileConverterTest, StrayCharactersAreSkippedAndEchoedOutsideTheScript)
{
    char* echoed = nullptr;
    std::size_t size = 0;
    std::FILE* echo = open_memstream(&echoed, &size);
    EXPECT_EQ(convert("LWMO 3 # x\r\nNumChannels 1 Channel 0 { Envelope 1 Keys 1 0 3 0 0 0 0 0 0 Behaviors 1 1 }!",
                      echo),
              "\nKey 0.000000,1.000000,LINEAR\nCONSTANT CONSTANT ");
    std::fclose(echo);
    EXPECT_EQ(std::string(echoed, size), "#x\rs!");
    std::free(echoed);
}

TEST(MotionFileConverterTest, BrokenFilesEndWithTheirMessages)
{
    const std::string channel = "LWMO 3 NumChannels 1 Channel 0 { Envelope ";
    const std::pair<std::string, std::string> cases[] = {
        {"LWMO 2 NumChannels 1", "motion file version must be 3"},
        {"LWMO 3.0 NumChannels 1", "line 1 syntax error: '3.0' found version number expected "},
        {channel + "1\nKey 1 0 0.0 0 0 0 0 0 0", "line 2 syntax error: '0.0' found shape expected "},
        {"3 NumChannels", "line 1 syntax error: '3' found LWMO expected "},
        {"LWMO 3\nNumChannels 1\nChannel 0 {\nEnvelope 1\nKey 1 0 0 0 0",
         "line 5 syntax error: end of file found bias expected "},
        {channel + "1 Key 1 0 0 0 0 0 0 0 0 } ", "line 1 syntax error: '}' found Key or prebehavior expected "},
        {channel + "0 Behaviors 1 1 } Key", "line 1 syntax error: 'Key' found Channel or end of file expected "},
        {channel + "0 Behaviors 1.0", "line 1 syntax error: '1.0' found prebehavior expected "},
        {"LWMO 3 NumChannels 1 Channel 0 Envelope", "line 1 syntax error: 'Envelope' found { expected "},
        {"LWMO 3 NumChannels 1 NumChannels", "line 1 syntax error: 'NumChannels' found Channel expected "},
        {channel + "1 Key 1 0 5 0 0 0 0 0 0 Behaviors 1 1 }", "unknown motion shape"},
        {channel + "1 Key 1 0 -1 0 0 0 0 0 0 Behaviors 1 1 }", "unknown motion shape"},
        {channel + "0 Behaviors 6 1 }", "unknown behavior"},
        {channel + "0 Behaviors 1 -1 }", "unknown behavior"},
    };
    for (const auto& [file, message] : cases)
        EXPECT_FATAL(convert(file), message) << file;
}

}  // namespace
}  // namespace mirva
