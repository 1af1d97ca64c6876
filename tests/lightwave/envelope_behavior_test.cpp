// Envelope behaviours before the first key and after the last. Most cases use two linear
// keys, where the curve between the keys is the straight line through them, so the
// expected values follow from repeating, mirroring or offsetting that line by hand.
#include "lightwave/envelope.h"

#include <gtest/gtest.h>

namespace mirva {
namespace {

constexpr float kTolerance = 1e-4f;

Envelope line(float t0, float v0, float t1, float v1, std::int32_t pre, std::int32_t post)
{
    Envelope envelope;
    envelope.AddKey({.time = t0, .value = v0, .shape = KeyType::LINEAR});
    envelope.AddKey({.time = t1, .value = v1, .shape = KeyType::LINEAR});
    envelope.setBehaviors(pre, post);
    return envelope;
}

TEST(EnvelopeBehaviorTest, ResetIsZeroOutsideTheKeys)
{
    const Envelope envelope = line(0, 2, 1, 10, Behavior::RESET, Behavior::RESET);
    EXPECT_EQ(envelope.Evaluate(-0.5f), 0.0f);
    EXPECT_EQ(envelope.Evaluate(1.5f), 0.0f);
    EXPECT_NEAR(envelope.Evaluate(0.5f), 6.0f, kTolerance);
}

TEST(EnvelopeBehaviorTest, ConstantHoldsTheEndValues)
{
    const Envelope envelope = line(0, 2, 1, 10, Behavior::CONSTANT, Behavior::CONSTANT);
    EXPECT_EQ(envelope.Evaluate(-7.0f), 2.0f);
    EXPECT_EQ(envelope.Evaluate(100.0f), 10.0f);
}

TEST(EnvelopeBehaviorTest, RepeatStartsOverAtTheFirstKey)
{
    // v(t) = 2 + 8t on 0..1, repeated with period 1.
    const Envelope envelope = line(0, 2, 1, 10, Behavior::REPEAT, Behavior::REPEAT);
    EXPECT_NEAR(envelope.Evaluate(1.25f), 4.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(3.75f), 8.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(-0.75f), 4.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(-2.5f), 6.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(2.0f), 2.0f, kTolerance);  // a whole period on: the first key
}

TEST(EnvelopeBehaviorTest, RepeatOfKeysNotStartingAtZeroLinesUpWithTheKeys)
{
    // v(t) = 5 (t - 1) on 1..3, period 2: just after the last key the curve starts again
    // from the first key's value.
    const Envelope envelope = line(1, 0, 3, 10, Behavior::REPEAT, Behavior::REPEAT);
    EXPECT_NEAR(envelope.Evaluate(3.5f), 2.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(3.001f), 0.005f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(0.5f), 7.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(-2.0f), 5.0f, kTolerance);
}

TEST(EnvelopeBehaviorTest, OscillateRunsEverySecondPeriodBackwards)
{
    // Keys (0,0) (1,10): 1.25 is a quarter into a backward period: 7.5.
    const Envelope envelope = line(0, 0, 1, 10, Behavior::OSCILLATE, Behavior::OSCILLATE);
    EXPECT_NEAR(envelope.Evaluate(1.25f), 7.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(2.25f), 2.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(3.9f), 1.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(-0.25f), 2.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(-1.25f), 7.5f, kTolerance);
}

TEST(EnvelopeBehaviorTest, OscillateOfKeysNotStartingAtZeroMirrorsWithinTheKeys)
{
    // Keys (1,0) (3,10): at 3.5 the curve runs back from the last key: v(2.5) = 7.5.
    const Envelope envelope = line(1, 0, 3, 10, Behavior::OSCILLATE, Behavior::OSCILLATE);
    EXPECT_NEAR(envelope.Evaluate(3.5f), 7.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(5.5f), 2.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(0.5f), 2.5f, kTolerance);
}

TEST(EnvelopeBehaviorTest, OffsetRepeatAddsTheRiseOfEachPeriod)
{
    // Keys (0,0) (1,10): each period adds 10 after the keys and subtracts it before.
    const Envelope envelope = line(0, 0, 1, 10, Behavior::OFFSETREPEAT, Behavior::OFFSETREPEAT);
    EXPECT_NEAR(envelope.Evaluate(1.5f), 15.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(2.5f), 25.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(2.0f), 20.0f, kTolerance);  // on a key: its value plus the offset
    EXPECT_NEAR(envelope.Evaluate(-0.5f), -5.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(-1.75f), -17.5f, kTolerance);

    const Envelope later = line(1, 0, 3, 10, Behavior::OFFSETREPEAT, Behavior::OFFSETREPEAT);
    EXPECT_NEAR(later.Evaluate(4.0f), 15.0f, kTolerance);
    EXPECT_NEAR(later.Evaluate(0.0f), -5.0f, kTolerance);
}

TEST(EnvelopeBehaviorTest, OffsetRepeatAppliesToCurvedSpans)
{
    // TCB keys (0,0) (1,10) (2,0): v(0.5) = 6.25 (see the span tests); the rise over the
    // keys is 0, so a repeated span shows the same values.
    Envelope envelope;
    for (const Key& key : {Key{.time = 0, .value = 0}, Key{.time = 1, .value = 10}, Key{.time = 2, .value = 0}})
        envelope.AddKey(key);
    envelope.setBehaviors(Behavior::OFFSETREPEAT, Behavior::OFFSETREPEAT);
    EXPECT_NEAR(envelope.Evaluate(2.5f), 6.25f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(-1.5f), 6.25f, kTolerance);
}

TEST(EnvelopeBehaviorTest, LinearExtendsAlongTheEndTangents)
{
    // Linear keys (2,4) (3,6): slope 2 on both sides.
    const Envelope envelope = line(2, 4, 3, 6, Behavior::LINEAR, Behavior::LINEAR);
    EXPECT_NEAR(envelope.Evaluate(1.0f), 2.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(0.0f), 0.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(4.5f), 9.0f, kTolerance);

    // TCB keys (0,0) (2,10) with tension 0.5 on the first: its outgoing tangent is
    // 0.5 * 10 = 5 over a span of 2, slope 2.5; the last key's incoming tangent is 10,
    // slope 5.
    Envelope tcb;
    tcb.AddKey({.time = 0, .value = 0, .shape = KeyType::TCB, .p0 = 0.5f});
    tcb.AddKey({.time = 2, .value = 10, .shape = KeyType::TCB});
    tcb.setBehaviors(Behavior::LINEAR, Behavior::LINEAR);
    EXPECT_NEAR(tcb.Evaluate(-1.0f), -2.5f, kTolerance);
    EXPECT_NEAR(tcb.Evaluate(3.0f), 15.0f, kTolerance);
}

TEST(EnvelopeBehaviorTest, LinearAtTwoDimensionalBezierEndsWithoutHandleLength)
{
    // A handle of time length 0 cannot be divided by: its tangent is the value offset
    // times 100000 instead. First key: out = 1 * 2e-5 * 1e5 = 2 over a span of 1;
    // last key: in = 1 * 1e-5 * 1e5 = 1.
    Envelope envelope;
    envelope.AddKey({.time = 0, .value = 0, .shape = KeyType::BEZIER2D, .p2 = 0, .p3 = 2e-5f});
    envelope.AddKey({.time = 1, .value = 6, .shape = KeyType::BEZIER2D, .p0 = 0, .p1 = 1e-5f});
    envelope.setBehaviors(Behavior::LINEAR, Behavior::LINEAR);
    EXPECT_NEAR(envelope.Evaluate(-1.0f), -2.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(3.0f), 8.0f, kTolerance);
}

TEST(EnvelopeBehaviorTest, LinearWithKeysSharingTheEndTimeStaysFinite)
{
    Envelope envelope;
    envelope.AddKey({.time = 0, .value = 1, .shape = KeyType::LINEAR});
    envelope.AddKey({.time = 0, .value = 5, .shape = KeyType::LINEAR});
    envelope.setBehaviors(Behavior::LINEAR, Behavior::LINEAR);
    EXPECT_EQ(envelope.Evaluate(-1.0f), 1.0f);
    EXPECT_EQ(envelope.Evaluate(1.0f), 5.0f);
}

TEST(EnvelopeBehaviorTest, RepeatOverKeysAtOneTimeGivesTheFirstKey)
{
    Envelope envelope;
    envelope.AddKey({.time = 2, .value = 3});
    envelope.AddKey({.time = 2, .value = 9});
    envelope.setBehaviors(Behavior::REPEAT, Behavior::OFFSETREPEAT);
    EXPECT_EQ(envelope.Evaluate(0.0f), 3.0f);
    EXPECT_EQ(envelope.Evaluate(5.0f), 3.0f);
}

TEST(EnvelopeBehaviorTest, UnknownBehaviourContinuesTheEndSpans)
{
    // No behaviour before the keys: the first span's line goes on (0 - 10 at t = -1);
    // after the keys the last value stays.
    const Envelope envelope = line(0, 0, 1, 10, 9, 9);
    EXPECT_NEAR(envelope.Evaluate(-1.0f), -10.0f, kTolerance);
    EXPECT_EQ(envelope.Evaluate(2.0f), 10.0f);
}

}  // namespace
}  // namespace mirva
