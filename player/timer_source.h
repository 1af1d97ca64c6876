#pragma once
// TimerSource: the silent time source of `Timer endTime tempo timeMultiplier`. The script
// time is counted from the frame seconds: tempo rows a minute, 64 rows an order; the
// script ends at the first time after endTime. Tempo decides when things happen, the time
// multiplier how fast components move.
#include <cstdint>

#include "player/frame_clock.h"
#include "player/instruction.h"
#include "player/time_source.h"

namespace mirva {

class TimerSource final : public TimeSource {
public:
    TimerSource(Time endTime, std::int32_t tempo, float timeMultiplier);

    std::string describe() const override;
    Time readTime(float seconds) override { return clock_.advance(seconds); }
    bool ended() const override { return clock_.passedEnd(); }
    void rewind() override { clock_.rewind(); }
    Time endOfMusic() const override { return clock_.endTime(); }
    void skipTo(Time target) override { clock_.skipTo(target); }
    float timeMultiplier() const override { return timeMultiplier_; }
    double lengthSeconds() const override { return FrameClock::secondsOf(clock_.endTime(), clock_.tempo()); }
    std::optional<Time> timeAtSeconds(double seconds) const override;

    // The clock restarts from 0 with these settings (the start instruction).
    void start(Time endTime, std::int32_t tempo, float timeMultiplier);
    double clockSeconds() const { return clock_.seconds(); }

private:
    FrameClock clock_;
    float timeMultiplier_;
};

// Starts the timer at 0:0:0 of every play of the script.
class TimerStartInstruction final : public Instruction {
public:
    TimerStartInstruction(ScriptPlayer& player, TimerSource& timer, Time endTime, std::int32_t tempo,
                          float timeMultiplier);
    void execute() override;

private:
    TimerSource& timer_;
    Time endTime_;
    std::int32_t tempo_;
    float timeMultiplier_;
};

}  // namespace mirva
