#include "io/frame_timer.h"

#include <chrono>
#include <mutex>
#include <utility>

namespace mirva {

namespace {

std::uint32_t steadyTicks()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

struct Clock {
    std::mutex mutex;
    std::function<std::uint32_t()> ticks = steadyTicks;
    std::uint32_t base = steadyTicks();
    std::uint32_t last = base;
};

Clock& clock()
{
    static Clock c;
    return c;
}

}  // namespace

float FrameTimer::now()
{
    Clock& c = clock();
    std::lock_guard lock(c.mutex);
    c.last = c.ticks();
    return static_cast<float>(static_cast<std::uint32_t>(c.last - c.base)) * 0.001f;
}

void FrameTimer::setTickSource(std::function<std::uint32_t()> ticks)
{
    Clock& c = clock();
    std::lock_guard lock(c.mutex);
    c.ticks = ticks ? std::move(ticks) : std::function<std::uint32_t()>(steadyTicks);
    c.base = c.last = c.ticks();
}

FrameTimer::FrameTimer()
{
    now();  // the first timer of the process fixes the clock's base
    reset();
}

float FrameTimer::get() const
{
    return frozen ? frozenValue : now() - start_;
}

void FrameTimer::set(float t)
{
    start_ = now() - t;
    current_ = previous_ = 0.0f;
}

void FrameTimer::reset()
{
    frozen = false;
    set(0.0f);
}

float FrameTimer::delta()
{
    previous_ = current_;
    current_ = get();
    return current_ - previous_;
}

}  // namespace mirva
