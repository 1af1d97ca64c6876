#pragma once
// FrameTimer: seconds as floats from one process-wide millisecond clock, with a start
// that can be set, per-frame deltas and a frozen value for pauses.
//
// The clock is a 32-bit millisecond tick count on a steady clock; differences are
// taken as unsigned 32-bit values, so a count that wraps still gives the right time.
#include <cstdint>
#include <functional>

namespace mirva {

class FrameTimer {
public:
    FrameTimer();  // starts at 0, not frozen

    float get() const;      // frozen value while frozen, else clock time minus start
    void set(float t);      // get() returns t from now on
    void reset();           // unfreeze and set(0)
    float delta();          // seconds since the previous delta()
    float lastDelta() const { return current_ - previous_; }

    bool frozen = false;
    float frozenValue = 0.0f;

    // Seconds since the first timer of the process was built, in millisecond steps.
    static float now();
    // Replaces the millisecond tick source (tests); an empty function restores the
    // steady clock. The base is taken again from the new source.
    static void setTickSource(std::function<std::uint32_t()> ticks);

private:
    float start_ = 0.0f;
    float current_ = 0.0f;
    float previous_ = 0.0f;
};

}  // namespace mirva
