#include "io/frame_timer.h"

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

namespace mirva {
namespace {

// A millisecond tick count the test moves by hand.
class FrameTimerTest : public testing::Test {
protected:
    std::uint32_t ticks = 5000;
    void SetUp() override { FrameTimer::setTickSource([this] { return ticks; }); }
    void TearDown() override { FrameTimer::setTickSource({}); }
};

TEST_F(FrameTimerTest, GetCountsFromCreationOrFromSet)
{
    ticks += 700;
    FrameTimer timer;
    EXPECT_FLOAT_EQ(timer.get(), 0.0f);
    ticks += 250;
    EXPECT_FLOAT_EQ(timer.get(), 0.25f);
    ticks += 3000;
    timer.set(12.5f);
    EXPECT_FLOAT_EQ(timer.get(), 12.5f);
    ticks += 1500;
    EXPECT_FLOAT_EQ(timer.get(), 14.0f);
}

TEST_F(FrameTimerTest, DeltaGivesTheTimeBetweenCallsAndLastDeltaRepeatsIt)
{
    FrameTimer timer;
    ticks += 100;
    EXPECT_NEAR(timer.delta(), 0.1f, 1e-6f);
    ticks += 20;
    EXPECT_NEAR(timer.delta(), 0.02f, 1e-6f);
    ticks += 500;
    EXPECT_NEAR(timer.lastDelta(), 0.02f, 1e-6f);
    EXPECT_NEAR(timer.lastDelta(), 0.02f, 1e-6f);
}

TEST_F(FrameTimerTest, FrozenTimerHoldsItsValueUntilReset)
{
    FrameTimer timer;
    timer.frozen = true;
    timer.frozenValue = 3.25f;
    ticks += 10000;
    EXPECT_FLOAT_EQ(timer.get(), 3.25f);
    timer.delta();
    ticks += 40;
    EXPECT_FLOAT_EQ(timer.delta(), 0.0f);
    timer.reset();
    EXPECT_FALSE(timer.frozen);
    EXPECT_FLOAT_EQ(timer.get(), 0.0f);
}

TEST_F(FrameTimerTest, WrappingTickCountStillCountsForward)
{
    ticks = 0xFFFFFFF0u;
    FrameTimer::setTickSource([this] { return ticks; });  // base taken just before the wrap
    FrameTimer timer;
    ticks += 32;  // wraps to 16
    EXPECT_NEAR(timer.get(), 0.032f, 1e-6f);
    EXPECT_NEAR(FrameTimer::now(), 0.032f, 1e-6f);
}

TEST(FrameTimerClock, SteadyClockMovesForwardInMilliseconds)
{
    FrameTimer timer;
    timer.delta();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const float d = timer.delta();
    EXPECT_GE(d, 0.029f);
    EXPECT_LT(d, 5.0f);
}

}  // namespace
}  // namespace mirva
