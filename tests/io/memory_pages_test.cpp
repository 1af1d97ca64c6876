// prefaultPages maps the pages of a range and changes none of its bytes.
#include "io/memory_pages.h"

#include <cstdint>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

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

TEST(MemoryPages, NewMemoryIsInPlaceBeforeItIsWritten)
{
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t size = 4u << 20;
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(memory, MAP_FAILED);
#ifdef MADV_POPULATE_WRITE
    const bool supported = madvise(memory, page, MADV_POPULATE_WRITE) == 0;
#else
    const bool supported = false;
#endif
    if (!supported) {
        munmap(memory, size);
        GTEST_SKIP() << "this kernel cannot map pages ahead (MADV_POPULATE_WRITE)";
    }
    prefaultPages(memory, size);
    std::vector<unsigned char> resident(size / page);
    ASSERT_EQ(mincore(memory, size, resident.data()), 0);
    std::size_t inPlace = 0;
    for (unsigned char r : resident)
        inPlace += r & 1u;
    EXPECT_EQ(inPlace, resident.size());
    munmap(memory, size);
}

}  // namespace
}  // namespace mirva
