#include "io/memory_pages.h"

#include <cstdint>

#include <sys/mman.h>
#include <unistd.h>

namespace mirva {

void prefaultPages(const void* begin, std::size_t bytes)
{
#if defined(MADV_HUGEPAGE) && defined(MADV_POPULATE_WRITE)
    if (bytes < (std::size_t{1} << 20))
        return;
    // Only whole units inside the range are named, so no other memory is touched. The
    // kernel maps the pages as a write to each of them would, keeping their contents;
    // an error (an older kernel) changes nothing.
    std::uintptr_t first = 0;
    const auto inside = [&](std::uintptr_t unit) -> std::size_t {
        first = (reinterpret_cast<std::uintptr_t>(begin) + unit - 1) / unit * unit;
        const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(begin) + bytes) / unit * unit;
        return end > first ? end - first : 0;
    };
    if (const std::size_t length = inside(std::uintptr_t{1} << 21))
        madvise(reinterpret_cast<void*>(first), length, MADV_HUGEPAGE);
    if (const std::size_t length = inside(static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE))))
        madvise(reinterpret_cast<void*>(first), length, MADV_POPULATE_WRITE);
#else
    (void)begin;
    (void)bytes;
#endif
}

}  // namespace mirva
