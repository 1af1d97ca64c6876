// Envelopes, motions and motion files.
//
// Envelopes: the value between keys for every key shape, and the behaviours before the
// first key and after the last. Expected numbers are worked out by hand from the Hermite
// basis h2 = 3u^2 - 2u^3, h1 = 1 - h2, h4 = u^3 - u^2, h3 = h4 - u^2 + u
// (u = 0.5: h1 = h2 = 0.5, h3 = 0.125, h4 = -0.125; u = 0.25: h1 = 0.84375,
// h2 = 0.15625, h3 = 0.140625, h4 = -0.046875) and the Kochanek-Bartels tangents.
//
// Motions: nine channels to a transformation, and the controllers. Rotations are checked
// with right angles, where every matrix entry is 0 or +-1 and the product order shows.
//
// Motion files to script key lists: the exact text written and the messages (the
// player's script tests include a named file and read its message).
#include <array>
#include <cmath>
#include <cstdio>
#include <optional>

#include <gtest/gtest.h>

#include "lightwave/envelope.h"
#include "lightwave/motion.h"
#include "lightwave/motion_file_converter.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

using namespace KeyType;
namespace B = Behavior;

Envelope envelopeOf(const std::vector<Key>& keys, std::int32_t pre = Behavior::CONSTANT,
                    std::int32_t post = Behavior::CONSTANT)
{
    Envelope envelope;
    for (const Key& key : keys)
        envelope.AddKey(key);
    envelope.setBehaviors(pre, post);
    return envelope;
}

// Keys are written {time, value, shape, p0, p1, p2, p3}: TCB keys (the default shape)
// take tension, continuity and bias, Hermite and Bezier keys the incoming and outgoing
// tangent, 2D Bezier keys the incoming handle (dt, dv) and then the outgoing one.
struct Case {
    const char* what;
    std::vector<Key> keys;
    std::vector<std::pair<float, float>> values;   // (time, value)
    std::int32_t pre = Behavior::CONSTANT, post = pre;   // post: as pre unless given
    float tolerance = 1e-4f;   // relative to values beyond 1
};

TEST(EnvelopeTest, ValuesOfEveryShapeAndBehaviour)
{
    const float third = 1.0f / 3.0f;
    const std::vector<Key> hill{{0, 0}, {1, 10}, {2, 0}};
    const std::vector<Key> rise{{0, 0, LINEAR}, {1, 10, LINEAR}};
    const std::vector<Key> later{{1, 0, LINEAR}, {3, 10, LINEAR}};
    const std::vector<Key> lifted{{0, 2, LINEAR}, {1, 10, LINEAR}};
    const Case cases[] = {
        {"no keys", {}, {{3, 0}}},
        {"one key", {{2, 7.5f}}, {{-100, 7.5f}, {0, 7.5f}, {2.5f, 7.5f}, {1e6f, 7.5f}}, B::RESET, B::OFFSETREPEAT},
        {"at the keys", {{0, 1}, {1, 10, TCB, 0.3f, 0.2f, 0.1f}, {2, -4}, {4, 8}}, {{0, 1}, {1, 10}, {2, -4}, {4, 8}}},
        {"linear", {{0, 0, LINEAR}, {2, 10, LINEAR}, {3, 4, LINEAR}}, {{0.5f, 2.5f}, {1.5f, 7.5f}, {2.25f, 8.5f}}},
        {"stepped", {{0, 3}, {1, 7, STEPPED}, {2, -1, STEPPED}}, {{0.5f, 3}, {0.9999f, 3}, {1, 7}, {1.5f, 7}, {2, -1}}},
        // Out of the first key d = 10, in at (1,10) 0.5 ((0 - 10) + 10) = 0: 5 + 0.125 10.
        {"Catmull-Rom", hill, {{0.5f, 6.25f}, {1.5f, 6.25f}, {0.25f, 2.96875f}}},
        // Tangents at (1,10) scaled by the span lengths: out 2/3 (10 + 20) = 20, in 1/3 30.
        {"uneven spans", {{0, 0}, {1, 10}, {3, 30}}, {{2, 20}, {0.5f, 5}}},
        // Tension 0.5: in = 0.5 (0.5 10 + 0.5 10) = 5.
        {"tension", {{0, 0}, {1, 10, TCB, 0.5f}, {2, 20}}, {{0.5f, 5.625f}, {0.25f, 2.734375f}}},
        // Continuity 0.5, bias -0.5: in = 0.5 (2.25 20 + 0.25 10) = 23.75; bias 0.5: out =
        // 0.5 (2.25 10 + 0.25 20) = 13.75.
        {"continuity, bias in", {{0, 0}, {1, 10, TCB, 0, 0.5f, -0.5f}, {2, 30}}, {{0.5f, 3.28125f}}},
        {"continuity, bias out", {{0, 0}, {1, 10, TCB, 0, 0.5f, 0.5f}, {2, 30}}, {{1.5f, 19.21875f}}},
        // Out 4, in 2: 5 + 0.125 4 - 0.125 2. Inner tangents are scaled like TCB ones.
        {"Hermite", {{0, 0, HERMITE, 0, 4}, {1, 10, HERMITE, 2, 0}}, {{0.5f, 5.25f}, {0.25f, 2.03125f}}},
        {"Bezier", {{0, 0, BEZIER, 0, 4}, {1, 10, BEZIER, 2, 0}}, {{0.5f, 5.25f}, {0.25f, 2.03125f}}},
        {"Hermite inner", {{0, 0, HERMITE, 0, 4}, {1, 10, HERMITE, 2, 6}, {3, 0, HERMITE, -8, 0}},
         {{2, 6.5f}, {0.5f, 5.5f - 0.125f * 2 * third}}},
        // The tangent leaving a key follows its own shape: flat out of a stepped key,
        // along the chord out of a linear one.
        {"out of stepped", {{0, 0, STEPPED}, {1, 10}, {2, 0}}, {{0.5f, 5}}},
        {"out of linear", {{0, 0, LINEAR}, {1, 10}, {2, 0}}, {{0.5f, 6.25f}}},
        {"unknown shape", {{0, 4}, {1, 10, 9}}, {{0.5f, 0}, {1, 10}}},
        // Handles a third of the span long: the Bezier of (0, 3, 6, 6) at s = u. After a
        // TCB key (out 6) the handle lies at a third of the tangent: (0, 2, 3, 6).
        {"2D Bezier", {{0, 0, BEZIER2D, 0, 0, third, 3}, {1, 6, BEZIER2D, -third}}, {{0.5f, 4.125f}, {0.3f, 2.619f}},
         B::CONSTANT, B::CONSTANT, 1e-3f},
        {"2D Bezier after TCB", {{0, 0}, {1, 6, BEZIER2D, -third, -3}}, {{0.5f, 2.625f}}, B::CONSTANT, B::CONSTANT,
         1e-3f},

        {"reset", lifted, {{-0.5f, 0}, {1.5f, 0}, {0.5f, 6}}, B::RESET},
        {"constant", lifted, {{-7, 2}, {100, 10}}},
        {"repeat", lifted, {{1.25f, 4}, {3.75f, 8}, {-0.75f, 4}, {-2.5f, 6}, {2, 2}}, B::REPEAT},
        {"repeat later", later, {{3.5f, 2.5f}, {3.001f, 0.005f}, {0.5f, 7.5f}, {-2, 5}}, B::REPEAT},
        {"oscillate", rise, {{1.25f, 7.5f}, {2.25f, 2.5f}, {3.9f, 1}, {-0.25f, 2.5f}, {-1.25f, 7.5f}}, B::OSCILLATE},
        {"oscillate later", later, {{3.5f, 7.5f}, {5.5f, 2.5f}, {0.5f, 2.5f}}, B::OSCILLATE},
        {"offset repeat", rise, {{1.5f, 15}, {2.5f, 25}, {2, 20}, {-0.5f, -5}, {-1.75f, -17.5f}}, B::OFFSETREPEAT},
        {"offset repeat later", later, {{4, 15}, {0, -5}}, B::OFFSETREPEAT},
        {"offset repeat of curves", hill, {{2.5f, 6.25f}, {-1.5f, 6.25f}}, B::OFFSETREPEAT},
        {"linear", {{2, 4, LINEAR}, {3, 6, LINEAR}}, {{1, 2}, {0, 0}, {4.5f, 9}}, B::LINEAR},
        // Out of the first key 0.5 10 over a span of 2; in at the last key 10.
        {"linear at TCB ends", {{0, 0, TCB, 0.5f}, {2, 10}}, {{-1, -2.5f}, {3, 15}}, B::LINEAR},
        // A handle of no time length: its value offset times 100000 is the tangent.
        {"linear at 2D Bezier ends", {{0, 0, BEZIER2D, 0, 0, 0, 2e-5f}, {1, 6, BEZIER2D, 0, 1e-5f}}, {{-1, -2}, {3, 8}},
         B::LINEAR},
        {"linear at one time", {{0, 1, LINEAR}, {0, 5, LINEAR}}, {{-1, 1}, {1, 5}}, B::LINEAR},
        {"repeat at one time", {{2, 3}, {2, 9}}, {{0, 3}, {5, 3}}, B::REPEAT, B::OFFSETREPEAT},
        // Unknown behaviours: the first span's line goes on before, the last value after.
        {"unknown behaviour", rise, {{-1, -10}, {2, 10}}, 9},
    };
    for (const Case& c : cases) {
        const Envelope envelope = envelopeOf(c.keys, c.pre, c.post);
        for (const auto& [time, value] : c.values)
            EXPECT_NEAR(envelope.Evaluate(time), value, c.tolerance * std::max(1.0f, std::fabs(value)))
                << c.what << " at " << time;
    }

    // Handles that make the time curve run backwards: the search for the curve parameter
    // cannot meet every time, yet it must stop with a finite value.
    const Envelope folded =
        envelopeOf({{0, 0, BEZIER2D, 0, 0, 5, 1}, {1, 1, BEZIER2D, -5, 1, 0, 0}}, B::RESET, B::REPEAT);
    for (float t = 0.05f; t < 1.0f; t += 0.1f)
        EXPECT_TRUE(std::isfinite(folded.Evaluate(t))) << t;
}

// A key at the time of the only key goes after it, one at the time of later keys before
// them. Evaluation reads nothing but the keys and behaviours, so keys in this order give
// the same numbers however they came in.
TEST(EnvelopeTest, KeysGoInTimeOrder)
{
    auto values = [](const Envelope& envelope) {
        std::vector<float> result;
        for (const Key& key : envelope.keys())
            result.push_back(key.value);
        return result;
    };
    EXPECT_EQ(values(envelopeOf({{1, 10}, {1, 11}, {1, 12}, {0, 0}, {5, 50}, {3, 30}})),
              (std::vector<float>{0, 10, 12, 11, 30, 50}));
    EXPECT_EQ(values(envelopeOf({{0, 1}, {2, 3}, {0, 2}})), (std::vector<float>{1, 2, 3}));
}

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
        {{0, 0, 0}, 270, -270}, {{1, 0, 0}, 90, 0}, {{0, 0, -1}, 180, 0},
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
    path.envelope(0)->keys() = {{0, 0, LINEAR}, {1, 1, LINEAR}};
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

TEST(MotionFileConverterTest, EveryShapeEveryBehaviourWordNoChannelsAndStrayCharacters)
{
    const std::string file = "LWMO\n3\nNumChannels 3\nChannel 0\n{ Envelope\n  5\n"
                             "  Key 1.5 0 0 0.5 -0.25 1 0 0 0\n"
                             "  Key -2 0.5 1 0 0 0 1.25 -3 0\n"
                             "  Key 4 1 2 0 0 0 0.5 2.0e1 0\n"
                             "  Key 3 2 3 0 0 0 0 0 0\n"
                             "  Key 8 2.5 4 0.1 0.2 0.3 0 0 0\n"
                             "  Behaviors 2 4\n}\n"
                             "Channel 1\n{ Envelope\n  1\n  Key 0 0 3 0 0 0 0 0 0\n  Behaviors 0 5\n}\n"
                             "Channel 2\n{ Envelope\n  0\n  Behaviors 3 1\n}\n";
    EXPECT_EQ(convert(file), "\n"
                             "Key 0.000000,1.500000,TCB,0.500000,-0.250000,1.000000\n"
                             "Key 0.500000,-2.000000,HERMITE,1.250000,-3.000000\n"
                             "Key 1.000000,4.000000,BEZIER,0.500000,20.000000\n"
                             "Key 2.000000,3.000000,LINEAR\n"
                             "Key 2.500000,8.000000,STEPPED\n"
                             "REPEAT OFFSETREPEAT ,\n\n"
                             "Key 0.000000,0.000000,LINEAR\nRESET LINEAR ,\n\n"
                             "OSCILLATE CONSTANT ");

    EXPECT_EQ(convert("LWMO 3 NumChannels 0"), "");
    EXPECT_EQ(convert("LWMO 3 NumChannels 4\n\n"), "");

    // Stray characters are skipped, and echoed outside the script.
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
