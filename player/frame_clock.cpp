#include "player/frame_clock.h"

#include <cmath>

namespace mirva {

FrameClock::FrameClock(Time endTime, std::int32_t tempo) : endTime_(endTime), tempo_(tempo) {}

Time FrameClock::advance(double seconds)
{
    seconds_ += seconds;
    const Time time = timeOf(seconds_, tempo_);
    if (time > endTime_)
        passedEnd_ = true;
    return time;
}

void FrameClock::start(Time endTime, std::int32_t tempo)
{
    endTime_ = endTime;
    tempo_ = tempo;
    rewind();
}

void FrameClock::rewind()
{
    seconds_ = 0.0;
    passedEnd_ = false;
}

Time FrameClock::timeOf(double seconds, std::int32_t tempo)
{
    const double orders = tempo * seconds / 3840.0;  // 3840 = 60 s * 64 rows
    const double order = std::trunc(orders);
    const double x = (orders - order) * 64.0;
    const double row = std::trunc(x);
    const double decimals = std::trunc((x - row) * 256.0);
    const std::int64_t packed = (static_cast<std::int64_t>(order) << 6 | static_cast<std::int64_t>(row)) << 8 |
                                static_cast<std::int64_t>(decimals);
    return static_cast<Time>(static_cast<std::uint32_t>(packed));
}

double FrameClock::secondsOf(Time time, std::int32_t tempo)
{
    return time * 60.0 / (tempo * 256.0);
}

}  // namespace mirva
