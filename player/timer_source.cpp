#include "player/timer_source.h"

#include "io/console.h"
#include "player/script_player.h"

namespace mirva {

TimerSource::TimerSource(Time endTime, std::int32_t tempo, float timeMultiplier)
    : clock_(endTime, tempo), timeMultiplier_(timeMultiplier)
{
}

std::string TimerSource::describe() const
{
    return formatText("Timer, end %s, tempo %d, time multiplier %g", timeText(clock_.endTime()).c_str(),
                      clock_.tempo(), static_cast<double>(timeMultiplier_));
}

void TimerSource::start(Time endTime, std::int32_t tempo, float timeMultiplier)
{
    clock_.start(endTime, tempo);
    timeMultiplier_ = timeMultiplier;
}

std::optional<Time> TimerSource::timeAtSeconds(double seconds) const
{
    if (!(seconds >= 0.0) || seconds > lengthSeconds())
        return std::nullopt;
    return FrameClock::timeOf(seconds, clock_.tempo());
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
