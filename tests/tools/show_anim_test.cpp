// The show's animations as committed in data/: the same bytes the tool writes, and an orb
// that plays: 64 frames of 256 x 256 whose corners are transparent, that move from frame
// to frame, and that come round to the first picture at the ring frame.
#include <gtest/gtest.h>

#include "io/flic_player.h"
#include "tests/support/files.h"
#include "tools/show_anim.h"

namespace mirva {
namespace {

class ShowAnimations : public testing::Test {
protected:
    test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
};

TEST_F(ShowAnimations, TheOrbTurnsOnATransparentBackgroundAndComesRound)
{
    FlicPlayer player;
    player.load(kOrbAnimFile);
    ASSERT_TRUE(player.loaded());
    ASSERT_EQ(player.frameCount(), kOrbFrames);
    ASSERT_EQ(player.width(), kOrbSize);
    ASSERT_EQ(player.height(), kOrbSize);
    std::vector<std::uint16_t> pixels(kOrbSize * kOrbSize), first;
    int moved = 0;
    for (int frame = 0; frame <= kOrbFrames; ++frame) {
        const std::vector<std::uint16_t> before = pixels;
        player.decodeFrame(pixels.data(), kOrbSize * 2);
        if (frame == 0)
            first = pixels;
        else if (frame < kOrbFrames)
            moved += pixels != before;
        // Corners: the background, fully transparent; the middle: opaque.
        for (const std::size_t at : {0ul, pixels.size() - 1})
            EXPECT_EQ(pixels[at] >> 12, 0) << "frame " << frame;
        EXPECT_EQ(pixels[kOrbSize * kOrbSize / 2 + kOrbSize / 2] >> 12, 0xF);
    }
    EXPECT_EQ(moved, kOrbFrames - 1);
    EXPECT_TRUE(pixels == first) << "the ring frame brings the first picture back";
}

}  // namespace
}  // namespace mirva
