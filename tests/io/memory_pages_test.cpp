// prefaultPages changes none of the bytes of the range it maps.
#include "io/memory_pages.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace mirva {
namespace {

TEST(MemoryPages, BytesStayAsTheyWere)
{
    // Ranges of every alignment: whole, from odd addresses, at the very end, tiny, empty.
    std::vector<std::uint8_t> buffer(6u << 20);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<std::uint8_t>(i * 131 + 7);
    const std::vector<std::uint8_t> before = buffer;
    const struct {
        std::size_t offset, bytes;
    } ranges[] = {{0, buffer.size()}, {1, (3u << 20) + 5}, {4095, 1u << 20}, {12345, 100},
                  {buffer.size() - (1u << 20) - 1, (1u << 20) + 1}, {0, 0}};
    for (const auto& range : ranges) {
        prefaultPages(buffer.data() + range.offset, range.bytes);
        EXPECT_TRUE(buffer == before) << "range at " << range.offset << " of " << range.bytes << " bytes";
    }
}

}  // namespace
}  // namespace mirva
