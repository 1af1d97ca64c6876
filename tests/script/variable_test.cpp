// Variable records: assign, the readers with envelopes, colour packing and conversions.
#include "script/variable.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace mirva {
namespace {

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

TEST(VariableTest, ColorPackingRoundsAndHoldsEachChannelToAByte)
{
    EXPECT_EQ(packColor(255, 0, 0, 255), 0xFFFF0000u);
    EXPECT_EQ(packColor(0, 0, 255, 128), 0x800000FFu);
    EXPECT_EQ(packColor(300, -5, 0, 255), 0xFFFF0000u);
    EXPECT_EQ(packColor(127.4f, 127.6f, 0.6f, 255), 0xFF7F8001u);
    EXPECT_EQ(colorByte(std::numeric_limits<float>::infinity()), 255u);
    EXPECT_EQ(colorByte(std::nanf("")), 0u);
}

TEST(VariableTest, TruncationTowardZeroStopsAtTheIntLimits)
{
    EXPECT_EQ(truncateToInt(2.9f), 2);
    EXPECT_EQ(truncateToInt(-2.9f), -2);
    EXPECT_EQ(truncateToInt(1e20f), 2147483647);
    EXPECT_EQ(truncateToInt(-std::numeric_limits<float>::infinity()), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncateToInt(std::nanf("")), 0);
}

TEST(VariableTest, PhaseOnlyRecordsMoveOnlyThePhaseAndTheEnvelopeKeepsRunning)
{
    Variable target = declared(ValueType::Float);
    Variable animated = declared(ValueType::Float);
    animated.channels[0] = ramp(0, 10);
    animated.envelopeSpeed = 2;
    target.assign(animated);
    target.advance(0.25f);
    EXPECT_FLOAT_EQ(target.readFloat(), 5.0f);  // phase 0.5

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
    Variable source;
    source.type = ValueType::Vector3;
    source.setVector({1, 2, 3, 4});
    source.stringValue = "text";
    source.integerList = {7};
    source.constant.color = 0x11223344u;

    Variable vector = declared(ValueType::Vector3);
    vector.assign(source);
    EXPECT_EQ(vector.readVector3(), (std::array<float, 3>{1, 2, 3}));
    EXPECT_EQ(vector.constant.floats[3], 0.0f);
    EXPECT_TRUE(vector.stringValue.empty());

    Variable text = declared(ValueType::String);
    text.assign(source);
    EXPECT_EQ(text.readString(), "text");
    EXPECT_EQ(text.constant.floats[0], 0.0f);

    Variable color = declared(ValueType::Color);
    color.assign(source);
    EXPECT_EQ(color.readColor(), 0x11223344u);
    EXPECT_TRUE(color.integerList.empty());
}

TEST(VariableTest, AnimatedColorChannelsReplaceTheirBytesAndStayInRange)
{
    Variable color = declared(ValueType::Color);
    color.setColor(0xFF102030u);
    color.channels[0] = ramp(0, 510);  // red overshoots the byte range halfway
    color.channels[2] = ramp(100, 200);
    color.envelopePhase = 0.3f;
    EXPECT_EQ(color.readColor(), 0xFF992082u);  // red 153, blue 130
    color.envelopePhase = 0.75f;
    EXPECT_EQ(color.readColor(), 0xFFFF20AFu);  // red 382.5 held at 255, blue 175
}

TEST(VariableTest, TransformationMatrixFromChannelsWithScaleFloor)
{
    Variable t = declared(ValueType::Transformation);
    t.setTransformation({1, 2, 3, 0, 0, 0, 1, 1, 1});
    const Transformation identity = t.readTransformation();
    const float expected[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_FLOAT_EQ(identity.m[r][c], expected[r][c]);

    t.setTransformation({0, 0, 0, 0, 0, 0, 0, 2, -1});
    const Transformation scaled = t.readTransformation();
    EXPECT_FLOAT_EQ(scaled.m[0][0], 0.0001f);
    EXPECT_FLOAT_EQ(scaled.m[1][1], 2.0f);
    EXPECT_FLOAT_EQ(scaled.m[2][2], 0.0001f);
}

TEST(VariableTest, TransformationRotationsCombineBankPitchHeading)
{
    // Heading 90 degrees turns the X axis to -Z; pitch 90 then turns the Y axis to +Z.
    const float quarter = 1.5707964f;
    Variable t = declared(ValueType::Transformation);
    t.setTransformation({0, 0, 0, quarter, 0, 0, 1, 1, 1});
    Transformation M = t.readTransformation();
    EXPECT_NEAR(M.m[0][2], -1.0f, 1e-6);
    EXPECT_NEAR(M.m[2][0], 1.0f, 1e-6);
    t.setTransformation({0, 0, 0, 0, quarter, 0, 1, 1, 1});
    M = t.readTransformation();
    EXPECT_NEAR(M.m[1][2], 1.0f, 1e-6);
    EXPECT_NEAR(M.m[2][1], -1.0f, 1e-6);
}

TEST(VariableTest, AnimatedAngleRebuildsTheMatrixAroundTheWrittenScale)
{
    Variable t = declared(ValueType::Transformation);
    t.setTransformation({5, 0, 0, 0, 0, 0, 2, 1, 1});
    t.channels[3] = ramp(0, 3.1415927f);  // heading
    t.channels[1] = ramp(0, 4);           // y
    t.envelopePhase = 0.5f;
    const Transformation M = t.readTransformation();
    // Heading 90 degrees, X axis scaled by 2: row 0 is (0, 0, -2).
    EXPECT_NEAR(M.m[0][0], 0.0f, 1e-6);
    EXPECT_NEAR(M.m[0][2], -2.0f, 1e-6);
    EXPECT_NEAR(M.m[2][0], 1.0f, 1e-6);
    EXPECT_FLOAT_EQ(M.m[3][0], 5.0f);
    EXPECT_FLOAT_EQ(M.m[3][1], 2.0f);
}

TEST(VariableTest, VectorReadersMixConstantsAndEnvelopes)
{
    Variable v = declared(ValueType::Vector4);
    v.setVector({1, 2, 3, 4});
    v.channels[2] = ramp(10, 20);
    v.advance(0.5f);
    EXPECT_EQ(v.readVector4(), (std::array<float, 4>{1, 2, 15, 4}));
    EXPECT_EQ(v.readVector2(), (std::array<float, 2>{1, 2}));
}

TEST(VariableTest, TypeNamesAsTheReferencePrintsThem)
{
    Variable d;
    EXPECT_EQ(valueTypeName(d), "ERROR: variable type is undefined");
    d.type = ValueType::Transformation;
    EXPECT_EQ(valueTypeName(d), "Transformation");
    d.type = ValueType::Enum;
    d.referenceName = "Layers";
    EXPECT_EQ(valueTypeName(d), "Layers");
    d.type = ValueType::Pointer;
    d.referenceName = "LWS";
    EXPECT_EQ(valueTypeName(d), "LWS");
    d.type = ValueType::PhaseOnly;
    EXPECT_EQ(valueTypeName(d), "unknown");
    d.type = 99;
    EXPECT_EQ(valueTypeName(d), "unknown");
}

}  // namespace
}  // namespace mirva
