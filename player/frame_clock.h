#pragma once
// FrameClock: the script time of the `Timer` and `AudioStream` sources, counted from the
// frame seconds at a tempo (rows a minute, 64 rows an order, 256 decimals a row). The
// time passes its end at the first reading above the end time; a reading equal to it
// does not end anything.
#include <cstdint>

#include "script/script_time.h"

namespace mirva {

class FrameClock {
public:
    FrameClock(Time endTime, std::int32_t tempo);

    // Adds a frame's seconds and returns the time now.
    Time advance(double seconds);
    // Back to 0 with new settings (the start instruction of a Timer).
    void start(Time endTime, std::int32_t tempo);
    // Back to 0 for the replay of the script.
    void rewind();
    // The next reading gives `target` (exactly, when no seconds are added).
    void skipTo(Time target) { seconds_ = secondsOf(target, tempo_); }

    bool passedEnd() const { return passedEnd_; }
    double seconds() const { return seconds_; }
    Time endTime() const { return endTime_; }
    std::int32_t tempo() const { return tempo_; }

    // Seconds of clock to Time at `tempo`: order, row and decimals each truncated toward
    // zero.
    static Time timeOf(double seconds, std::int32_t tempo);
    // Time to seconds of clock at `tempo`.
    static double secondsOf(Time time, std::int32_t tempo);

private:
    Time endTime_;
    std::int32_t tempo_;
    double seconds_ = 0.0;
    bool passedEnd_ = false;
};

}  // namespace mirva
