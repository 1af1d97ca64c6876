// Envelope spans: the value at keys and between them for every key shape. Expected
// numbers are worked out by hand from the Hermite basis
//   h2 = 3u^2 - 2u^3, h1 = 1 - h2, h4 = u^3 - u^2, h3 = h4 - u^2 + u
// (u = 0.5: h1 = h2 = 0.5, h3 = 0.125, h4 = -0.125;
//  u = 0.25: h1 = 0.84375, h2 = 0.15625, h3 = 0.140625, h4 = -0.046875)
// and the Kochanek-Bartels tangents, as the comments show.
#include "lightwave/envelope.h"

#include <cmath>

#include <gtest/gtest.h>

namespace mirva {
namespace {

constexpr float kTolerance = 1e-5f;

Envelope envelopeOf(std::initializer_list<Key> keys)
{
    Envelope envelope;
    for (const Key& key : keys)
        envelope.AddKey(key);
    return envelope;
}

Key tcb(float time, float value, float tension = 0, float continuity = 0, float bias = 0)
{
    return {.time = time, .value = value, .shape = KeyType::TCB, .p0 = tension, .p1 = continuity, .p2 = bias};
}

Key tangents(std::int32_t shape, float time, float value, float in, float out)
{
    return {.time = time, .value = value, .shape = shape, .p0 = in, .p1 = out};
}

Key plain(std::int32_t shape, float time, float value)
{
    return {.time = time, .value = value, .shape = shape};
}

TEST(EnvelopeTest, NoKeysIsZeroAndOneKeyIsEverywhereItsValue)
{
    Envelope envelope;
    EXPECT_EQ(envelope.Evaluate(3.0f), 0.0f);
    envelope.AddKey(tcb(2, 7.5f));
    envelope.setBehaviors(Behavior::RESET, Behavior::OFFSETREPEAT);
    for (float t : {-100.0f, 0.0f, 2.0f, 2.5f, 1e6f})
        EXPECT_EQ(envelope.Evaluate(t), 7.5f) << t;
}

TEST(EnvelopeTest, AddKeyKeepsTimeOrderAndPlacesEqualTimesAsDefined)
{
    Envelope envelope;
    envelope.AddKey(tcb(1, 10));
    envelope.AddKey(tcb(1, 11));  // same time as the only key: appended
    envelope.AddKey(tcb(1, 12));  // goes before the second key of that time
    envelope.AddKey(tcb(0, 0));   // before the first key: front
    envelope.AddKey(tcb(5, 50));
    envelope.AddKey(tcb(3, 30));
    std::vector<float> values;
    for (const Key& key : envelope.keys())
        values.push_back(key.value);
    EXPECT_EQ(values, (std::vector<float>{0, 10, 12, 11, 30, 50}));

    // Equal to the first key's time with a later second key: right after the first key.
    Envelope other = envelopeOf({tcb(0, 1), tcb(2, 3)});
    other.AddKey(tcb(0, 2));
    EXPECT_EQ(other.keys()[1].value, 2.0f);
    EXPECT_EQ(other.keys()[2].value, 3.0f);
}

TEST(EnvelopeTest, AtAKeysTimeTheValueIsTheKeysValue)
{
    const Envelope envelope = envelopeOf({tcb(0, 1), tcb(1, 10, 0.3f, 0.2f, 0.1f), tcb(2, -4), tcb(4, 8)});
    EXPECT_EQ(envelope.Evaluate(0), 1.0f);
    EXPECT_EQ(envelope.Evaluate(1), 10.0f);
    EXPECT_EQ(envelope.Evaluate(2), -4.0f);
    EXPECT_EQ(envelope.Evaluate(4), 8.0f);
}

TEST(EnvelopeTest, LinearSpanInterpolatesStraight)
{
    const Envelope envelope = envelopeOf({plain(KeyType::LINEAR, 0, 0), plain(KeyType::LINEAR, 2, 10),
                                          plain(KeyType::LINEAR, 3, 4)});
    EXPECT_NEAR(envelope.Evaluate(0.5f), 2.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(1.5f), 7.5f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(2.25f), 8.5f, kTolerance);
}

TEST(EnvelopeTest, SteppedSpanHoldsTheEarlierValueUpToTheNextKey)
{
    const Envelope envelope = envelopeOf({tcb(0, 3), plain(KeyType::STEPPED, 1, 7), plain(KeyType::STEPPED, 2, -1)});
    EXPECT_EQ(envelope.Evaluate(0.5f), 3.0f);
    EXPECT_EQ(envelope.Evaluate(0.9999f), 3.0f);
    EXPECT_EQ(envelope.Evaluate(1.0f), 7.0f);
    EXPECT_EQ(envelope.Evaluate(1.5f), 7.0f);
    EXPECT_EQ(envelope.Evaluate(2.0f), -1.0f);
}

TEST(EnvelopeTest, TcbWithDefaultParametersIsACatmullRomCurve)
{
    // (0,0) (1,10) (2,0). Span 0-1: out of the first key = d = 10; in at (1,10) =
    // 0.5 * ((0 - 10) + 10) = 0, so v(0.5) = 5 + 0.125 * 10 = 6.25, and symmetrically
    // for the second span.
    const Envelope envelope = envelopeOf({tcb(0, 0), tcb(1, 10), tcb(2, 0)});
    EXPECT_NEAR(envelope.Evaluate(0.5f), 6.25f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(1.5f), 6.25f, kTolerance);
    // u = 0.25: 0.15625 * 10 + 0.140625 * 10 = 2.96875
    EXPECT_NEAR(envelope.Evaluate(0.25f), 2.96875f, kTolerance);
}

TEST(EnvelopeTest, TcbTangentsAreScaledByTheSpanLengths)
{
    // (0,0) (1,10) (3,30): points on a line. Span 1-3: out at (1,10) = 2/3 * (10 + 20)
    // = 20; in at the last key = 20: v(2) = 5 + 15 + 0.125 * 20 - 0.125 * 20 = 20.
    // Span 0-1: out = 10, in at (1,10) = 1/3 * (20 + 10) = 10: v(0.5) = 5.
    const Envelope envelope = envelopeOf({tcb(0, 0), tcb(1, 10), tcb(3, 30)});
    EXPECT_NEAR(envelope.Evaluate(2.0f), 20.0f, kTolerance);
    EXPECT_NEAR(envelope.Evaluate(0.5f), 5.0f, kTolerance);
}

TEST(EnvelopeTest, TensionContinuityAndBiasShapeTheTangents)
{
    // (0,0) (1,10) (2,20) with tension 0.5 at the middle key: in = 0.5 * (0.5*10 + 0.5*10)
    // = 5. v(0.5) = 5 + 0.125*10 - 0.125*5 = 5.625;
    // v(0.25) = 0.15625*10 + 0.140625*10 - 0.046875*5 = 2.734375.
    const Envelope tension = envelopeOf({tcb(0, 0), tcb(1, 10, 0.5f), tcb(2, 20)});
    EXPECT_NEAR(tension.Evaluate(0.5f), 5.625f, kTolerance);
    EXPECT_NEAR(tension.Evaluate(0.25f), 2.734375f, kTolerance);

    // Keys (0,0) (1,10) (2,30), so that the rises before and after the middle key differ.
    // Continuity 0.5, bias -0.5 at the middle key, incoming:
    //   a = 1 * 0.5 * 0.5 = 0.25 (weighs the rise before), b = 1 * 1.5 * 1.5 = 2.25 (after);
    //   in = 0.5 * (2.25 * 20 + 0.25 * 10) = 23.75; out of the first key = 10;
    //   v(0.5) = 5 + 0.125 * 10 - 0.125 * 23.75 = 3.28125.
    const Envelope incoming = envelopeOf({tcb(0, 0), tcb(1, 10, 0, 0.5f, -0.5f), tcb(2, 30)});
    EXPECT_NEAR(incoming.Evaluate(0.5f), 3.28125f, kTolerance);
    // Continuity 0.5, bias 0.5, outgoing:
    //   a = 1 * 1.5 * 1.5 = 2.25 (weighs the rise before), b = 1 * 0.5 * 0.5 = 0.25 (after);
    //   out = 0.5 * (2.25 * 10 + 0.25 * 20) = 13.75; in at the last key = 20;
    //   v(1.5) = 20 + 0.125 * 13.75 - 0.125 * 20 = 19.21875.
    const Envelope outgoing = envelopeOf({tcb(0, 0), tcb(1, 10, 0, 0.5f, 0.5f), tcb(2, 30)});
    EXPECT_NEAR(outgoing.Evaluate(1.5f), 19.21875f, kTolerance);
}

TEST(EnvelopeTest, HermiteAndBezierKeysUseTheirTangents)
{
    // Two keys: out = 4 (first key's outgoing), in = 2 (second key's incoming).
    // v(0.5) = 5 + 0.125*4 - 0.125*2 = 5.25; v(0.25) = 1.5625 + 0.5625 - 0.09375 = 2.03125.
    for (std::int32_t shape : {KeyType::HERMITE, KeyType::BEZIER}) {
        const Envelope envelope = envelopeOf({tangents(shape, 0, 0, 0, 4), tangents(shape, 1, 10, 2, 0)});
        EXPECT_NEAR(envelope.Evaluate(0.5f), 5.25f, kTolerance) << shape;
        EXPECT_NEAR(envelope.Evaluate(0.25f), 2.03125f, kTolerance) << shape;
    }
    // Three keys: tangents at inner keys are scaled like TCB ones.
    // Span 1-3: out at (1,10) = 6 * 2/3 = 4, in at (3,0) = -8: v(2) = 5 + 0.5 + 1 = 6.5.
    // Span 0-1: in at (1,10) = 2 * 1/3: v(0.5) = 5 + 0.5 - 0.125 * 2/3.
    const Envelope three = envelopeOf({tangents(KeyType::HERMITE, 0, 0, 0, 4), tangents(KeyType::HERMITE, 1, 10, 2, 6),
                                       tangents(KeyType::HERMITE, 3, 0, -8, 0)});
    EXPECT_NEAR(three.Evaluate(2.0f), 6.5f, kTolerance);
    EXPECT_NEAR(three.Evaluate(0.5f), 5.5f - 0.125f * 2.0f / 3.0f, kTolerance);
}

TEST(EnvelopeTest, TheTangentLeavingAKeyFollowsThatKeysOwnShape)
{
    // A stepped key leaves with tangent 0, so the TCB span after it starts flat:
    // out = 0, in at (1,10) = 0.5 * ((0 - 10) + 10) = 0: v(0.5) = 5 (6.25 from a TCB key).
    const Envelope envelope = envelopeOf({plain(KeyType::STEPPED, 0, 0), tcb(1, 10), tcb(2, 0)});
    EXPECT_NEAR(envelope.Evaluate(0.5f), 5.0f, kTolerance);
    // A linear key leaves along the chord: out = 1 * (0 + 10) = 10 -> 6.25.
    const Envelope linear = envelopeOf({plain(KeyType::LINEAR, 0, 0), tcb(1, 10), tcb(2, 0)});
    EXPECT_NEAR(linear.Evaluate(0.5f), 6.25f, kTolerance);
}

TEST(EnvelopeTest, UnknownShapeContributesNothing)
{
    const Envelope envelope = envelopeOf({tcb(0, 4), plain(9, 1, 10)});
    EXPECT_EQ(envelope.Evaluate(0.5f), 0.0f);
    EXPECT_EQ(envelope.Evaluate(1.0f), 10.0f);
}

// 2D Bezier keys: handles given as (time, value) offsets. With handles at a third of the
// span in time, the time curve is straight, the curve parameter equals u and the value
// is the cubic Bezier of (y0, y1, y2, y3):
//   B(s) = 3(1-s)^2 s y1 + 3(1-s) s^2 y2 + s^3 y3   (y0 = 0 here)
TEST(EnvelopeTest, TwoDimensionalBezierFollowsItsHandles)
{
    const Key key0{.time = 0, .value = 0, .shape = KeyType::BEZIER2D, .p2 = 1.0f / 3.0f, .p3 = 3};
    const Key key1{.time = 1, .value = 6, .shape = KeyType::BEZIER2D, .p0 = -1.0f / 3.0f, .p1 = 0};
    const Envelope envelope = envelopeOf({key0, key1});
    // y = (0, 3, 6, 6): B(0.5) = 1.125 + 2.25 + 0.75 = 4.125
    EXPECT_NEAR(envelope.Evaluate(0.5f), 4.125f, 1e-3f);
    // B(0.3) = 3*0.49*0.3*3 + 3*0.7*0.09*6 + 0.027*6 = 1.323 + 1.134 + 0.162 = 2.619
    EXPECT_NEAR(envelope.Evaluate(0.3f), 2.619f, 1e-3f);
}

TEST(EnvelopeTest, TwoDimensionalBezierAfterAnOrdinaryKeyTakesAThirdOfItsTangent)
{
    // Key 0 is TCB: its handle lies a third of the span later, at a third of its outgoing
    // tangent (first key: out = d = 6, so y1 = 2). Key 1's handle: y2 = 6 - 3 = 3.
    // B(0.5) = 3*0.25*0.5*2 + 3*0.5*0.25*3 + 0.125*6 = 0.75 + 1.125 + 0.75 = 2.625
    const Key key1{.time = 1, .value = 6, .shape = KeyType::BEZIER2D, .p0 = -1.0f / 3.0f, .p1 = -3};
    const Envelope envelope = envelopeOf({tcb(0, 0), key1});
    EXPECT_NEAR(envelope.Evaluate(0.5f), 2.625f, 1e-3f);
}

TEST(EnvelopeTest, TwoDimensionalBezierWithFoldedHandlesStillEnds)
{
    // Handles that make the time curve run backwards: the search for the curve
    // parameter cannot meet every time, yet it must stop with a finite value.
    const Key key0{.time = 0, .value = 0, .shape = KeyType::BEZIER2D, .p2 = 5, .p3 = 1};
    const Key key1{.time = 1, .value = 1, .shape = KeyType::BEZIER2D, .p0 = -5, .p1 = 1};
    const Envelope envelope = envelopeOf({key0, key1});
    for (float t = 0.05f; t < 1.0f; t += 0.1f)
        EXPECT_TRUE(std::isfinite(envelope.Evaluate(t))) << t;
}

TEST(EnvelopeTest, EqualKeysGiveIdenticalNumbersHoweverTheyWereAdded)
{
    const std::vector<Key> keys{tcb(0, 1, 0.2f), tangents(KeyType::BEZIER, 0.7f, -3, 1, 2), plain(KeyType::LINEAR, 2, 5),
                                tcb(3.5f, 0, -0.4f, 0.3f, 0.9f)};
    Envelope inOrder;
    for (const Key& key : keys)
        inOrder.AddKey(key);
    Envelope reversed;
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        reversed.AddKey(*key);
    Envelope filled;
    filled.keys() = keys;
    for (Envelope* envelope : {&inOrder, &reversed, &filled})
        envelope->setBehaviors(Behavior::OFFSETREPEAT, Behavior::OSCILLATE);
    for (float t = -5.0f; t < 9.0f; t += 0.037f) {
        const float expected = inOrder.Evaluate(t);
        EXPECT_EQ(reversed.Evaluate(t), expected) << t;
        EXPECT_EQ(filled.Evaluate(t), expected) << t;
    }
}

TEST(EnvelopeTest, ClearRemovesKeysAndRestoresConstantBehaviours)
{
    Envelope envelope = envelopeOf({tcb(0, 1), tcb(1, 2)});
    envelope.setBehaviors(Behavior::RESET, Behavior::REPEAT);
    envelope.clear();
    EXPECT_TRUE(envelope.keys().empty());
    EXPECT_EQ(envelope.preBehavior(), Behavior::CONSTANT);
    EXPECT_EQ(envelope.postBehavior(), Behavior::CONSTANT);
    EXPECT_EQ(envelope.Evaluate(0.5f), 0.0f);
}

}  // namespace
}  // namespace mirva
