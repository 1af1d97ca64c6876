#include "io/transformation.h"

#include <gtest/gtest.h>

namespace mirva {
namespace {

TEST(Transformation, WithTranslationAtMovesToAPointOfItsOwnSpaceKeepingTheAxes)
{
    // A camera turned 90 degrees to the right (it looks along +x) and standing at (1, 2, 3).
    Transformation placement;
    const float axes[4][3] = {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {1, 2, 3}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            placement.m[r][c] = axes[r][c];

    // 1.4 in front of it, 0.5 to its right and 0.25 up: (1 + 1.4, 2 + 0.25, 3 - 0.5).
    const Transformation moved = placement.withTranslationAt(0.5f, 0.25f, 1.4f);
    EXPECT_FLOAT_EQ(moved.m[3][0], 2.4f);
    EXPECT_FLOAT_EQ(moved.m[3][1], 2.25f);
    EXPECT_FLOAT_EQ(moved.m[3][2], 2.5f);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(moved.m[r][c], axes[r][c]);
}

}  // namespace
}  // namespace mirva
