// Scenes written in code, read back by the scene loader. The aim of an item at a point is
// seen in the show's scenes, whose cameras keep every object in view (Show3dData).
#include <cmath>

#include <gtest/gtest.h>

#include "lightwave/lw_scene.h"
#include "tools/scene_writer.h"

namespace mirva {
namespace {

constexpr float kPi = 3.14159265358979f;

TEST(SceneWriter, SampledTurnsKeepTurningAndLoopedMotionsRepeat)
{
    // A full turn in 4 s whose heading, as atan2 gives it, jumps from pi to -pi halfway.
    const SceneMotion motion = SceneMotion::sampled(4, 8, [](float t) {
        const float angle = 2 * kPi * t / 4;
        return Placement{.x = std::cos(angle), .y = 7, .heading = std::atan2(std::sin(angle), std::cos(angle))};
    });
    // Nine keys of x; y never changes.
    EXPECT_EQ(std::pair(motion.channels[0].keys.size(), motion.channels[1].keys.size()), std::pair(9ul, 1ul));
    SceneWriter writer(120, 30);
    writer.addObject("spin.lwo", motion);
    const LWScene scene = LWScene::Parse("written.lws", writer.text());
    const Motion& read = *scene.objects()[0].motion;
    const struct {
        float time, heading, x;
    } expected[] = {{2.0f, 180, -1}, {2.5f, 225, -0.7071f}, {4.0f, 360, 1}, {5.0f, 450, 0}, {6.0f, 540, -1}};
    for (const auto& e : expected) {
        EXPECT_NEAR(read.ChannelValue(3, e.time), e.heading, 1.0f) << e.time;
        EXPECT_NEAR(read.ChannelValue(0, e.time), e.x, 0.02f) << e.time;
        EXPECT_FLOAT_EQ(read.ChannelValue(1, e.time), 7.0f);
    }
}

}  // namespace
}  // namespace mirva
