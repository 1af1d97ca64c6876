// Enumerations (declaration, automatic values, lookups by enum and their messages) and
// variable records (assign, the readers with envelopes, colour packing and conversions).
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "script/enums.h"
#include "script/variable.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

// (Automatic values and the messages of unknown and repeated names are checked through
// the parser in its tests; the whole listing, built-in enums included, is the end of the
// parameter reference the script player's tests compare, and they load scripts that
// declare the user enums anew.)
TEST(EnumsTest, EachLookupNamesItsEnumExactly)
{
    Enums enums;
    enums.declareCoreEnums();
    enums.declareBuiltIn("ReferencePoint", {{"LEFT", 3}, {"RIGHT", 5}});   // explicit values are kept
    const auto declare = [&enums](const std::string& name, std::initializer_list<const char*> members) {
        enums.createEnum(name, 1, true);
        for (const char* member : members)
            enums.addMember(member, Enums::kAutomatic, 1);
        enums.finishEnum(1);
    };
    // LINEAR is a member of both; a user enum may reuse a built-in name but is not found.
    declare("KeyType", {"SMOOTH", "TCB"});
    declare("Layers", {"b", "A", "_c"});
    EXPECT_EQ(enums.lookup("KeyType", "LINEAR", 1), 3);
    EXPECT_EQ(enums.lookup("Behavior", "LINEAR", 1), 5);
    EXPECT_EQ(enums.lookup("KeyType", "TCB", 1), 0);
    EXPECT_FATAL(enums.lookup("KeyType", "SMOOTH", 2), "line 2 Enum KeyType doesn't have member 'SMOOTH'");
    EXPECT_FATAL(enums.createEnum("KeyType", -1, false), "line -1: Enum 'KeyType' already exists");
    EXPECT_EQ(enums.lookup("ReferencePoint", "RIGHT", 9), 5);
    EXPECT_EQ(enums.lookup("Layers", "_c", 1), 2);
}

// A straight line from (0, from) to (1, to), held constant outside.
std::shared_ptr<const Envelope> ramp(float from, float to)
{
    auto e = std::make_shared<Envelope>();
    e->AddKey({.time = 0, .value = from, .shape = KeyType::LINEAR});
    e->AddKey({.time = 1, .value = to, .shape = KeyType::LINEAR});
    return e;
}

// The matrix of a transformation record must be `rows`, row by row (x axis first,
// translation last).
void expectMatrix(const Variable& t, const std::array<float, 12>& rows)
{
    const Transformation M = t.readTransformation();
    for (int i = 0; i < 12; ++i)
        EXPECT_NEAR(M.m[i / 3][i % 3], rows[static_cast<std::size_t>(i)], 1e-6) << "row " << i / 3 << " column " << i % 3;
}

// (A phase-only record on a component's animated value is checked in the component tests.)
TEST(VariableTest, PhaseAndSpeedRecordsMoveOnlyThePhaseOrTheSpeedAndTheEnvelopeKeepsRunning)
{
    Variable target{.type = ValueType::Float};
    target.assign({.channels = {ramp(0, 10)}, .type = ValueType::Float, .envelopeSpeed = 2});
    target.assign({.type = ValueType::PhaseOnly, .envelopePhase = 0.1f});
    EXPECT_FLOAT_EQ(target.envelopeSpeed, 2.0f);
    EXPECT_FLOAT_EQ(target.readFloat(), 1.0f);
    target.assign({.type = ValueType::SpeedOnly, .envelopePhase = 0.9f, .envelopeSpeed = -1});  // the phase not copied
    EXPECT_FLOAT_EQ(target.envelopePhase, 0.1f);
    target.advance(0.1f);
    EXPECT_NEAR(target.readFloat(), 0.0f, 1e-6);
    target.assign({.type = ValueType::PhaseAndSpeed, .envelopePhase = 0.3f, .envelopeSpeed = 0.5f});
    EXPECT_FLOAT_EQ(target.envelopePhase, 0.3f);
    EXPECT_FLOAT_EQ(target.envelopeSpeed, 0.5f);
    ASSERT_TRUE(target.animated(0));
}

TEST(VariableTest, AssignCopiesTheValuePartOfTheDestinationsType)
{
    const Variable source{.type = ValueType::Vector3, .stringValue = "text", .integerList = {7},
                          .constant = {.floats = {1, 2, 3, 4}, .color = 0x11223344u}};
    Variable vector{.type = ValueType::Vector3}, text{.type = ValueType::String}, color{.type = ValueType::Color};
    vector.assign(source);
    text.assign(source);
    color.assign(source);
    EXPECT_EQ(vector.readVector3(), (std::array<float, 3>{1, 2, 3}));
    EXPECT_EQ(vector.constant.floats[3], 0.0f);
    EXPECT_TRUE(vector.stringValue.empty());
    EXPECT_EQ(text.readString(), "text");
    EXPECT_EQ(text.constant.floats[0], 0.0f);
    EXPECT_EQ(color.readColor(), 0x11223344u);
    EXPECT_TRUE(color.integerList.empty());
}

// (Held channels and truncation within the int range are checked through the parser.)
TEST(VariableTest, ColorsRoundAndHoldEachChannelToAByteIntsTruncateAndAnimatedChannelsReplaceTheirPart)
{
    EXPECT_EQ(packColor(127.4f, 127.6f, 0.6f, 255), 0xFF7F8001u);
    EXPECT_EQ(colorByte(std::numeric_limits<float>::infinity()), 255u);
    EXPECT_EQ(colorByte(std::nanf("")), 0u);
    EXPECT_EQ(truncateToInt(-std::numeric_limits<float>::infinity()), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncateToInt(std::nanf("")), 0);
    // Red overshoots the byte range halfway.
    Variable color{.channels = {ramp(0, 510), nullptr, ramp(100, 200)}, .type = ValueType::Color, .envelopePhase = 0.3f};
    color.setColor(0xFF102030u);
    EXPECT_EQ(color.readColor(), 0xFF992082u);  // red 153, blue 130
    color.envelopePhase = 0.75f;
    EXPECT_EQ(color.readColor(), 0xFFFF20AFu);  // red 382.5 held at 255, blue 175

    Variable v{.channels = {nullptr, nullptr, ramp(10, 20)}, .type = ValueType::Vector4};
    v.setVector({1, 2, 3, 4});
    v.advance(0.5f);
    EXPECT_EQ(v.readVector4(), (std::array<float, 4>{1, 2, 15, 4}));
    EXPECT_EQ(v.readVector2(), (std::array<float, 2>{1, 2}));
}

TEST(VariableTest, TransformationsBuildTheirMatrixFromTheChannels)
{
    Variable t{.type = ValueType::Transformation};
    // Scales below 0.0001 are held there. Heading 90 degrees turns the X axis to -Z; pitch
    // 90 turns the Y axis to +Z.
    const float q = 1.5707964f;
    const std::pair<std::array<float, 9>, std::array<float, 12>> cases[] = {
        {{1, 2, 3, 0, 0, 0, 1, 1, 1}, {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 2, 3}},
        {{0, 0, 0, 0, 0, 0, 0, 2, -1}, {0.0001f, 0, 0, 0, 2, 0, 0, 0, 0.0001f, 0, 0, 0}},
        {{0, 0, 0, q, 0, 0, 1, 1, 1}, {0, 0, -1, 0, 1, 0, 1, 0, 0, 0, 0, 0}},
        {{0, 0, 0, 0, q, 0, 1, 1, 1}, {1, 0, 0, 0, 0, 1, 0, -1, 0, 0, 0, 0}}};
    for (const auto& [written, matrix] : cases) {
        t.setTransformation(written);
        expectMatrix(t, matrix);
    }
    // An animated angle rebuilds the matrix around the written scale: heading 90 degrees
    // with the X axis scaled by 2, and y animated to 2.
    t.setTransformation({5, 0, 0, 0, 0, 0, 2, 1, 1});
    t.channels[3] = ramp(0, 3.1415927f);
    t.channels[1] = ramp(0, 4);
    t.envelopePhase = 0.5f;
    expectMatrix(t, {0, 0, -2, 0, 1, 0, 1, 0, 0, 5, 2, 0});
}

}  // namespace
}  // namespace mirva
