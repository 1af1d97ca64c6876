#include "player/sample_triggers.h"

#include "player/time_source.h"

namespace mirva {

// Numbers outside 0..127 are stopped at load time; they are passed over here so that no
// array is ever indexed outside.
void SampleTriggers::listen(const std::vector<std::int32_t>& samples, TimeSource& source)
{
    for (const std::int32_t s : samples) {
        if (!valid(s))
            continue;
        if (listeners_[static_cast<std::size_t>(s)]++ == 0)
            source.setSampleSync(s);
    }
}

void SampleTriggers::stopListening(const std::vector<std::int32_t>& samples, TimeSource& source)
{
    for (const std::int32_t s : samples) {
        if (!valid(s) || listeners_[static_cast<std::size_t>(s)] == 0)
            continue;
        if (--listeners_[static_cast<std::size_t>(s)] == 0)
            source.removeSampleSync(s);
    }
}

}  // namespace mirva
