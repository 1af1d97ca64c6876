#include "io/random.h"

#include <gtest/gtest.h>

namespace mirva {
namespace {

TEST(Random, UnseededSequenceStartsWith41_18467_6334)
{
    RandomGenerator generator;
    EXPECT_EQ(generator.next(), 41);
    EXPECT_EQ(generator.next(), 18467);
    EXPECT_EQ(generator.next(), 6334);
}

TEST(Random, ProcessWideGeneratorDrawsTheSameSequence)
{
    // Nothing else in this test binary draws from it.
    RandomGenerator reference;
    for (int i = 0; i < 1000; ++i) {
        const int value = randomNext();
        ASSERT_EQ(value, reference.next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, RandomGenerator::kMax);
    }
}

}  // namespace
}  // namespace mirva
