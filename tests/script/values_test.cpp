// Enumerations (declaration, automatic values, lookups, the listing and every message) and
// variable records (assign, the readers with envelopes, colour packing and conversions).
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "script/enums.h"
#include "script/variable.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

// The built-in enums and a script's "Layers { BACK MIDDLE FRONT }".
class EnumsTest : public testing::Test {
protected:
    EnumsTest()
    {
        enums.declareCoreEnums();
        declare("Layers", {"BACK", "MIDDLE", "FRONT"});
    }
    void declare(const std::string& name, std::initializer_list<const char*> members, int line = 1)
    {
        enums.createEnum(name, line, true);
        for (const char* member : members)
            enums.addMember(member, Enums::kAutomatic, line);
        enums.finishEnum(line);
    }
    Enums enums;
};

// (Automatic values and the messages of unknown and repeated names are checked through
// the parser in its tests.)
TEST_F(EnumsTest, EachLookupNamesItsEnumExactly)
{
    // LINEAR is a member of both; a user enum may reuse a built-in name but is not found.
    EXPECT_EQ(enums.lookup("KeyType", "LINEAR", 1), 3);
    EXPECT_EQ(enums.lookup("Behavior", "LINEAR", 1), 5);
    EXPECT_FATAL(enums.lookup("KeyType", "tcb", 3), "line 3 Enum KeyType doesn't have member 'tcb'");
    declare("KeyType", {"SMOOTH", "TCB"});
    EXPECT_EQ(enums.lookup("KeyType", "TCB", 1), 0);
    EXPECT_FATAL(enums.lookup("KeyType", "SMOOTH", 2), "line 2 Enum KeyType doesn't have member 'SMOOTH'");
    EXPECT_FATAL(enums.createEnum("KeyType", -1, false), "line -1: Enum 'KeyType' already exists");
    // Explicit values are kept, and an enum the program declares is no user enum.
    enums.createEnum("ReferencePoint", -1, false);
    enums.addMember("LEFT", 3, -1);
    enums.addMember("RIGHT", 5, -1);
    enums.finishEnum(-1);
    EXPECT_EQ(enums.lookup("ReferencePoint", "RIGHT", 9), 5);
    EXPECT_EQ(enums.user().size(), 2u);
}

// (The whole listing, built-in enums included, is the end of the parameter reference the
// script player's tests compare.)
TEST_F(EnumsTest, ClearingForgetsOnlyUserEnumsAndTheListingPrintsNamesInByteOrder)
{
    enums.clearUserEnums();
    EXPECT_FATAL(enums.lookup("Layers", "BACK", 1), "line 1: Enum 'Layers' doesn't exists");
    EXPECT_EQ(enums.lookup("ZBufferMode", "OFF", 1), 0);
    declare("Layers", {"b", "A", "_c"});  // may be declared anew
    EXPECT_EQ(enums.lookup("Layers", "A", 1), 1);
    std::string out;
    enums.list(out);
    const std::string tail = "user specified enums\n\nLayers\n{\n    A\n    _c\n    b\n}\n\n";
    ASSERT_GE(out.size(), tail.size());
    EXPECT_EQ(out.substr(out.size() - tail.size()), tail);
}

// A straight line from (0, from) to (1, to), held constant outside.
std::shared_ptr<const Envelope> ramp(float from, float to)
{
    auto e = std::make_shared<Envelope>();
    e->AddKey({.time = 0, .value = from, .shape = KeyType::LINEAR});
    e->AddKey({.time = 1, .value = to, .shape = KeyType::LINEAR});
    return e;
}

Variable declared(std::int32_t type)
{
    Variable v;
    v.type = type;
    return v;
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
    Variable target = declared(ValueType::Float);
    Variable animated = declared(ValueType::Float);
    animated.channels[0] = ramp(0, 10);
    animated.envelopeSpeed = 2;
    target.assign(animated);
    Variable phase = declared(ValueType::PhaseOnly);
    phase.envelopePhase = 0.1f;
    target.assign(phase);
    EXPECT_FLOAT_EQ(target.envelopeSpeed, 2.0f);
    EXPECT_FLOAT_EQ(target.readFloat(), 1.0f);

    Variable speed = declared(ValueType::SpeedOnly);
    speed.envelopePhase = 0.9f;  // not copied
    speed.envelopeSpeed = -1;
    target.assign(speed);
    EXPECT_FLOAT_EQ(target.envelopePhase, 0.1f);
    target.advance(0.1f);
    EXPECT_NEAR(target.readFloat(), 0.0f, 1e-6);

    Variable both = declared(ValueType::PhaseAndSpeed);
    both.envelopePhase = 0.3f;
    both.envelopeSpeed = 0.5f;
    target.assign(both);
    EXPECT_FLOAT_EQ(target.envelopePhase, 0.3f);
    EXPECT_FLOAT_EQ(target.envelopeSpeed, 0.5f);
    ASSERT_TRUE(target.animated(0));
}

TEST(VariableTest, AssignCopiesTheValuePartOfTheDestinationsType)
{
    Variable source = declared(ValueType::Vector3);
    source.setVector({1, 2, 3, 4});
    source.stringValue = "text";
    source.integerList = {7};
    source.constant.color = 0x11223344u;

    Variable vector = declared(ValueType::Vector3), text = declared(ValueType::String), color = declared(ValueType::Color);
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
    Variable color = declared(ValueType::Color);
    color.setColor(0xFF102030u);
    color.channels[0] = ramp(0, 510);  // red overshoots the byte range halfway
    color.channels[2] = ramp(100, 200);
    color.envelopePhase = 0.3f;
    EXPECT_EQ(color.readColor(), 0xFF992082u);  // red 153, blue 130
    color.envelopePhase = 0.75f;
    EXPECT_EQ(color.readColor(), 0xFFFF20AFu);  // red 382.5 held at 255, blue 175

    Variable v = declared(ValueType::Vector4);
    v.setVector({1, 2, 3, 4});
    v.channels[2] = ramp(10, 20);
    v.advance(0.5f);
    EXPECT_EQ(v.readVector4(), (std::array<float, 4>{1, 2, 15, 4}));
    EXPECT_EQ(v.readVector2(), (std::array<float, 2>{1, 2}));
}

TEST(VariableTest, TransformationsBuildTheirMatrixFromTheChannels)
{
    Variable t = declared(ValueType::Transformation);
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
