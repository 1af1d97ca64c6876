#include "player/timer_source.h"

#include <cmath>

#include "io/console.h"
#include "player/script_player.h"

namespace mirva {

namespace {

// What the sound library answers for a synchronizer when no music was ever loaded.
constexpr const char* kNoSoundLibrary = "BASS_Init has not been successfully called.";

}  // namespace

TimerSource::TimerSource(Time endTime, std::int32_t tempo, float timeMultiplier)
    : endTime_(endTime), tempo_(tempo), timeMultiplier_(timeMultiplier)
{
}

std::string TimerSource::describe() const
{
    return formatText("Timer, end %s, tempo %d, time multiplier %g", timeText(endTime_).c_str(), tempo_,
                      static_cast<double>(timeMultiplier_));
}

Time TimerSource::readTime(float seconds)
{
    clockSeconds_ += seconds;
    const double orders = tempo_ * clockSeconds_ / 3840.0;  // 3840 = 60 s * 64 rows
    const double order = std::trunc(orders);
    const double x = (orders - order) * 64.0;
    const double row = std::trunc(x);
    const double decimals = std::trunc((x - row) * 256.0);
    const std::int64_t packed = (static_cast<std::int64_t>(order) << 6 | static_cast<std::int64_t>(row)) << 8 |
                                static_cast<std::int64_t>(decimals);
    const Time time = static_cast<Time>(static_cast<std::uint32_t>(packed));
    if (time > endTime_)
        ended_ = true;
    return time;
}

void TimerSource::rewind()
{
    clockSeconds_ = 0.0;
    ended_ = false;
}

void TimerSource::skipTo(Time target)
{
    clockSeconds_ = target * 60.0 / (tempo_ * 256.0);
}

void TimerSource::setSampleSync(int sample)
{
    Console::error("Setting a synchronizer failed (BASS message: %s) SampleNumber = %d", kNoSoundLibrary, sample);
}

void TimerSource::removeSampleSync(int /*sample*/)
{
    Console::error("Removing a synchronizer failed (BASS message: %s)", kNoSoundLibrary);
}

void TimerSource::start(Time endTime, std::int32_t tempo, float timeMultiplier)
{
    clockSeconds_ = 0.0;
    endTime_ = endTime;
    tempo_ = tempo;
    timeMultiplier_ = timeMultiplier;
}

TimerStartInstruction::TimerStartInstruction(ScriptPlayer& player, TimerSource& timer, Time endTime,
                                             std::int32_t tempo, float timeMultiplier)
    : Instruction(player, 0), timer_(timer), endTime_(endTime), tempo_(tempo), timeMultiplier_(timeMultiplier)
{
}

void TimerStartInstruction::execute()
{
    timer_.start(endTime_, tempo_, timeMultiplier_);
    player_.trace("Timer\n");
}

}  // namespace mirva
