// The show's test tune: the committed file is what the composer writes.
#include "tools/pulse_music.h"

#include <gtest/gtest.h>

#include "tests/support/files.h"

namespace mirva {
namespace {

TEST(PulseMusic, TheKickIsInstrumentOneOnEveryEighthRow)
{
    const std::vector<std::uint8_t> b = composePulse().bytes();
    // Pattern 0 starts after the 1084-byte header; a cell is 4 bytes, a row 4 cells. The
    // sample number's high bits are in the cell's first byte, its low bits in the third.
    constexpr std::size_t kPatterns = 1084;
    for (std::size_t row = 0; row < 64; ++row) {
        const std::uint8_t* cell = &b[kPatterns + row * 16];
        const int sample = (cell[0] & 0xF0) | cell[2] >> 4;
        EXPECT_EQ(sample, row % 8 == 0 ? 1 : 0) << "row " << row;
    }
}

}  // namespace
}  // namespace mirva
