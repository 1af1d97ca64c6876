// libFuzzer harness: LWO2 and LWOB objects and the mesh steps on them.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    mirva::fuzz::object({data, size});
    return 0;
}
