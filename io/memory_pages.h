#pragma once
// prefaultPages: the memory pages of a range about to be written, mapped in one call.
//
// The first write to each new page of memory costs a page fault, and on a virtual
// machine a page fault costs microseconds; the bytes of a big file or the arrays of a
// big object span thousands of pages. prefaultPages asks the kernel to map the pages of
// the range all at once, as huge pages (2 MiB) where those fit whole, before the caller
// fills them. It changes no byte. Ranges under a megabyte are left alone, and so is
// everything on a system that cannot do it: the pages then come one fault at a time, as
// they would have anyway.
#include <cstddef>

namespace mirva {

void prefaultPages(const void* begin, std::size_t bytes);

}  // namespace mirva
