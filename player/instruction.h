#pragma once
// Instruction: one timed step of a loaded script. The script player keeps them in script
// order (which is time order) and executes each once its time has come; a restart of the
// script executes the whole list again.
#include "script/script_time.h"

namespace mirva {

class ScriptPlayer;

class Instruction {
public:
    Instruction(ScriptPlayer& player, Time time) : player_(player), time_(time) {}
    virtual ~Instruction() = default;
    Instruction(const Instruction&) = delete;
    Instruction& operator=(const Instruction&) = delete;

    virtual void execute() = 0;
    Time time() const { return time_; }

protected:
    ScriptPlayer& player_;

private:
    Time time_;
};

}  // namespace mirva
