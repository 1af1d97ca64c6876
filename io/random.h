#pragma once
// The process-wide pseudo-random generator: a linear congruential generator with
// multiplier 214013 and increment 2531011 whose results are bits 16..30 of the state
// (0..32767). It is never seeded, so every run draws the same sequence: 41, 18467,
// 6334, ...
#include <cstdint>

namespace mirva {

class RandomGenerator {
public:
    static constexpr int kMax = 32767;
    int next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7fffu);
    }

private:
    std::uint32_t state_ = 1;
};

// The one generator shared by the whole program (main thread only).
int randomNext();

}  // namespace mirva
