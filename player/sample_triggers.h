#pragma once
// SampleTriggers: which sample (instrument) numbers instances listen to. One synchronizer
// on the music serves every instance that listens to the same number: the first listener
// sets it, the last one to stop removes it.
#include <array>
#include <cstdint>
#include <vector>

namespace mirva {

class TimeSource;

class SampleTriggers {
public:
    static constexpr int kSamples = 128;

    static bool valid(std::int32_t sample) { return sample >= 0 && sample < kSamples; }

    void listen(const std::vector<std::int32_t>& samples, TimeSource& source);
    void stopListening(const std::vector<std::int32_t>& samples, TimeSource& source);
    // Nobody listens any more (the synchronizers are gone with the music's end).
    void reset() { listeners_ = {}; }
    int listeners(std::int32_t sample) const { return valid(sample) ? listeners_[static_cast<std::size_t>(sample)] : 0; }

private:
    std::array<int, kSamples> listeners_{};
};

}  // namespace mirva
