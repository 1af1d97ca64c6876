// The random sequence, page prefaulting and placing a transformation in its own space.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "io/memory_pages.h"
#include "io/random.h"
#include "io/transformation.h"

namespace mirva {
namespace {

TEST(Random, TheSequenceStartsWith41_18467_6334AndTheProcessWideGeneratorDrawsIt)
{
    RandomGenerator generator;
    EXPECT_EQ((std::vector<int>{generator.next(), generator.next(), generator.next()}),
              (std::vector<int>{41, 18467, 6334}));
    // Nothing else in this test binary draws from the process-wide one.
    RandomGenerator reference;
    for (int i = 0; i < 1000; ++i) {
        const int value = randomNext();
        ASSERT_EQ(value, reference.next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, RandomGenerator::kMax);
    }
}

TEST(MemoryPages, PrefaultingLeavesTheBytesAsTheyWere)
{
    // Ranges of every alignment: whole, from odd addresses, at the very end, tiny, empty.
    std::vector<std::uint8_t> buffer(6u << 20);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<std::uint8_t>(i * 131 + 7);
    const std::vector<std::uint8_t> before = buffer;
    const std::pair<std::size_t, std::size_t> ranges[] = {{0, buffer.size()}, {1, (3u << 20) + 5}, {4095, 1u << 20},
                                                          {12345, 100}, {buffer.size() - (1u << 20) - 1, (1u << 20) + 1},
                                                          {0, 0}};
    for (const auto& [offset, bytes] : ranges) {
        prefaultPages(buffer.data() + offset, bytes);
        EXPECT_TRUE(buffer == before) << "range at " << offset << " of " << bytes << " bytes";
    }
}

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
