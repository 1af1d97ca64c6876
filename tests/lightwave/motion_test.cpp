// Motions: nine channels to a transformation, and the controllers. Rotations are checked
// with right angles, where every matrix entry is 0 or +-1 and the product order shows.
#include "lightwave/motion.h"

#include <array>
#include <cmath>

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

constexpr float kTolerance = 1e-5f;

void setConstant(Motion& motion, int channel, float value)
{
    motion.envelope(channel)->AddKey({.time = 0, .value = value});
}

void expectRows(const Transformation& M, std::initializer_list<std::array<float, 3>> rows)
{
    int r = 0;
    for (const auto& row : rows) {
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(M.m[r][c], row[c], kTolerance) << "row " << r << " column " << c;
        ++r;
    }
}

Motion constantMotion(float h, float p, float b)
{
    Motion motion(9);
    for (int i = 6; i < 9; ++i)
        setConstant(motion, i, 1);
    setConstant(motion, 3, h);
    setConstant(motion, 4, p);
    setConstant(motion, 5, b);
    return motion;
}

TEST(MotionTest, SingleRotationsAboutEachAxis)
{
    Transformation M = Transformation::identity();
    constantMotion(90, 0, 0).Evaluate(0, M);  // heading about Y: X turns to -Z
    expectRows(M, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}});
    constantMotion(0, 90, 0).Evaluate(0, M);  // pitch about X: Y turns to Z
    expectRows(M, {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}});
    constantMotion(0, 0, 90).Evaluate(0, M);  // bank about Z: X turns to Y
    expectRows(M, {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}});
}

TEST(MotionTest, RotationsApplyBankThenPitchThenHeading)
{
    // Rp·Rh for h = p = 90: rows (1,0,0)·Rh = (0,0,-1), (0,0,1)·Rh = (1,0,0),
    // (0,-1,0)·Rh = (0,-1,0). The other order would give different rows.
    Transformation M = Transformation::identity();
    constantMotion(90, 90, 0).Evaluate(0, M);
    expectRows(M, {{0, 0, -1}, {1, 0, 0}, {0, -1, 0}});
    // Rb·Rp·Rh for b = p = h = 90: (0,1,0)·Rp·Rh = (1,0,0); (-1,0,0) -> (0,0,1);
    // (0,0,1)·Rp = (0,-1,0) -> (0,-1,0).
    constantMotion(90, 90, 90).Evaluate(0, M);
    expectRows(M, {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}});
}

TEST(MotionTest, TranslationAndScaleComeFromTheirChannels)
{
    Motion motion = constantMotion(0, 0, 0);
    motion.envelope(0)->AddKey({.time = 0, .value = 0, .shape = KeyType::LINEAR});
    motion.envelope(0)->AddKey({.time = 2, .value = 4, .shape = KeyType::LINEAR});
    setConstant(motion, 1, -2);
    setConstant(motion, 2, 7);
    motion.envelope(6)->clear();
    setConstant(motion, 6, 2);
    motion.envelope(7)->clear();
    setConstant(motion, 7, 3);
    motion.envelope(8)->clear();
    setConstant(motion, 8, -1);  // a negative scale becomes 0.0001
    Transformation M = Transformation::identity();
    motion.Evaluate(1.5f, M);
    expectRows(M, {{2, 0, 0}, {0, 3, 0}, {0, 0, 0.0001f}, {3, -2, 7}});
}

TEST(MotionTest, ScaleOfZeroNeverDegenerates)
{
    Motion motion(9);  // every channel present and empty: all values 0
    Transformation M = Transformation::identity();
    motion.Evaluate(0, M);
    expectRows(M, {{0.0001f, 0, 0}, {0, 0.0001f, 0}, {0, 0, 0.0001f}, {0, 0, 0}});
    setConstant(motion, 7, std::nanf(""));  // nor does a scale that is not a number
    motion.Evaluate(0, M);
    EXPECT_EQ(M.m[1][1], 0.0001f);
}

TEST(MotionTest, WithoutRotationChannelsTheAxesStayAsGiven)
{
    Motion motion(9);
    for (int i = 3; i < 9; ++i)
        motion.removeChannel(i);
    motion.removeChannel(1);
    setConstant(motion, 0, 5);
    setConstant(motion, 2, 6);
    Transformation M{{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}}};
    motion.Evaluate(0, M);
    expectRows(M, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {5, 11, 6}});

    Motion three(3);
    EXPECT_FALSE(three.channelPresent(3));
    EXPECT_FALSE(three.channelPresent(-1));
    three.Evaluate(0, M);
    expectRows(M, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {0, 0, 0}});
}

TEST(MotionTest, OneRotationChannelIsEnoughForTheWholeRotationAndScale)
{
    Motion motion(9);
    for (int i : {3, 4, 7, 8})
        motion.removeChannel(i);
    setConstant(motion, 5, 90);
    setConstant(motion, 6, 2);
    Transformation M = Transformation::identity();
    motion.Evaluate(0, M);
    expectRows(M, {{0, 2, 0}, {-1, 0, 0}, {0, 0, 1}});
}

TEST(MotionTest, TargetControllerAimsAlongTheDirection)
{
    Motion motion(9);
    motion.setController(3, Controller::TARGET);
    motion.setController(4, Controller::TARGET);
    // The zero vector: Angle(0, 0) is 270.
    EXPECT_NEAR(motion.ChannelValue(3, 0), 270.0f, kTolerance);
    EXPECT_NEAR(motion.ChannelValue(4, 0), -270.0f, kTolerance);
    motion.setDirection(1, 0, 0);  // heading Angle(0, 1) = 90, pitch -Angle(1, 0) = 0
    EXPECT_NEAR(motion.ChannelValue(3, 0), 90.0f, kTolerance);
    EXPECT_NEAR(motion.ChannelValue(4, 0), 0.0f, kTolerance);
    motion.setDirection(0, 0, -1);  // Angle(-1, 0) = 180
    EXPECT_NEAR(motion.ChannelValue(3, 0), 180.0f, 1e-4f);
    motion.setDirection(1, 1, 1);  // heading 45; pitch -atan2(1, sqrt 2) = -35.26439
    EXPECT_NEAR(motion.ChannelValue(3, 0), 45.0f, 1e-4f);
    EXPECT_NEAR(motion.ChannelValue(4, 0), -35.26439f, 1e-4f);
    motion.setDirection(-1, 0, -1);  // Angle(-1, -1) = 180 + 45
    EXPECT_NEAR(motion.ChannelValue(3, 0), 225.0f, 1e-4f);
}

TEST(MotionTest, AlignToPathFollowsThePositionChannels)
{
    Motion motion(9);
    for (int axis : {0, 1}) {  // moving along +X and up at the same rate
        motion.envelope(axis)->AddKey({.time = 0, .value = 0, .shape = KeyType::LINEAR});
        motion.envelope(axis)->AddKey({.time = 10, .value = 10, .shape = KeyType::LINEAR});
        motion.envelope(axis)->setBehaviors(Behavior::LINEAR, Behavior::LINEAR);
    }
    motion.setController(3, Controller::ALIGN_TO_PATH);
    motion.setController(4, Controller::ALIGN_TO_PATH);
    EXPECT_NEAR(motion.ChannelValue(3, 2), 90.0f, 1e-3f);
    EXPECT_NEAR(motion.ChannelValue(4, 2), -45.0f, 1e-3f);

    // Path along -Z, flat.
    Motion backwards(9);
    backwards.envelope(2)->AddKey({.time = 0, .value = 0, .shape = KeyType::LINEAR});
    backwards.envelope(2)->AddKey({.time = 1, .value = -1, .shape = KeyType::LINEAR});
    backwards.setController(3, Controller::ALIGN_TO_PATH);
    backwards.setController(4, Controller::ALIGN_TO_PATH);
    EXPECT_NEAR(backwards.ChannelValue(3, 0.5f), 180.0f, 1e-3f);
    EXPECT_NEAR(backwards.ChannelValue(4, 0.5f), 0.0f, 1e-3f);
}

TEST(MotionTest, AlignToPathLooksAheadByTheGivenTime)
{
    // X stays 0 until 1 and then rises; Z rises throughout. Looking 0.5 ahead from 0.75
    // sees X move, a look-ahead of 0.1 doesn't (heading 0: straight along Z).
    Motion motion(9);
    motion.envelope(0)->AddKey({.time = 0, .value = 0, .shape = KeyType::LINEAR});
    motion.envelope(0)->AddKey({.time = 1, .value = 0, .shape = KeyType::LINEAR});
    motion.envelope(0)->AddKey({.time = 2, .value = 1, .shape = KeyType::LINEAR});
    motion.envelope(2)->AddKey({.time = 0, .value = 0, .shape = KeyType::LINEAR});
    motion.envelope(2)->AddKey({.time = 2, .value = 2, .shape = KeyType::LINEAR});
    motion.setController(3, Controller::ALIGN_TO_PATH);
    motion.setLookAhead(0.1f);
    EXPECT_NEAR(motion.ChannelValue(3, 0.75f), 0.0f, 1e-3f);
    motion.setLookAhead(0.5f);
    // dx = 0.25, dz = 0.5: atan2(0.25, 0.5) = 26.56505 degrees
    EXPECT_NEAR(motion.ChannelValue(3, 0.75f), 26.56505f, 1e-3f);
}

TEST(MotionTest, AlignToPathOnAPositionChannelDoesNotChaseItself)
{
    Motion motion(9);
    motion.envelope(0)->AddKey({.time = 0, .value = 0, .shape = KeyType::LINEAR});
    motion.envelope(0)->AddKey({.time = 1, .value = 1, .shape = KeyType::LINEAR});
    motion.setController(0, Controller::ALIGN_TO_PATH);
    motion.setController(3, Controller::ALIGN_TO_PATH);
    // The path of channel 0 is its keys: moving along +X.
    EXPECT_NEAR(motion.ChannelValue(3, 0.5f), 90.0f, 1e-3f);
    EXPECT_TRUE(std::isfinite(motion.ChannelValue(0, 0.5f)));
}

TEST(MotionTest, UnknownControllerIsFatal)
{
    Motion motion(9);
    motion.setController(4, 3);
    Transformation M = Transformation::identity();
    EXPECT_FATAL(motion.Evaluate(0, M), "Motion: Unknown controller");
}

TEST(MotionTest, CreatingAgainStartsFromFreshChannels)
{
    Motion motion(9);
    setConstant(motion, 0, 4);
    motion.setController(3, Controller::TARGET);
    motion.setLimits(3, -1, 1);
    motion.setLimitsFlag(3);
    motion.create(4);
    EXPECT_EQ(motion.channelCount(), 4);
    EXPECT_TRUE(motion.envelope(0)->keys().empty());
    EXPECT_EQ(motion.ChannelValue(3, 0), 0.0f);  // keyframed again, empty envelope
    EXPECT_FALSE(motion.limitsGiven(3));
    EXPECT_FLOAT_EQ(motion.limitLow(3), -3.1415927f);
    EXPECT_FLOAT_EQ(motion.limitHigh(3), 3.1415927f);
}

}  // namespace
}  // namespace mirva
