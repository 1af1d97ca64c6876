#pragma once
// ScriptBuilder: what the parser builds a script into (the script player).
//
// The parser recognises the script and checks its own rules (syntax, order of times,
// names that resolve, values that fit their declarations); in script order it then calls
// these operations, which check the rest, create the instances and append the
// instructions. Every operation takes the script line number for its messages. Nothing
// is played while the script is parsed.
#include <string>
#include <vector>

#include "script/script_time.h"
#include "script/script_type.h"
#include "script/variable.h"

namespace mirva {

class ScriptBuilder {
public:
    virtual ~ScriptBuilder() = default;

    // Whether the script begins with `Info`.
    virtual void setInfoMode(bool on) = 0;

    // The time source: exactly one of these, before the timed instructions.
    virtual void Song(const std::string& file, int line) = 0;
    virtual void Timer(Time endTime, int tempo, float timeMultiplier, int line) = 0;
    virtual void AudioStream(const std::string& file, int tempo, float timeMultiplier, int line) = 0;

    // Untimed constructs (before the time source) come with time 0.
    virtual void Construct(Time time, const ScriptType& type, const std::string& name, std::vector<Variable> block,
                           int line) = 0;
    virtual void Destruct(Time time, ScriptInstance& instance, int line) = 0;
    virtual void Set(Time time, ScriptInstance& instance, std::vector<Variable> block, int line) = 0;
    virtual void Begin(Time time, ScriptInstance& instance, std::vector<Variable> block, int line) = 0;
    virtual void End(Time time, ScriptInstance& instance, int line) = 0;
    virtual void SampleMessageBegin(Time time, ScriptInstance& instance, std::vector<Variable> block, int line) = 0;
    virtual void SampleMessageEnd(Time time, ScriptInstance& instance, int line) = 0;
    virtual void EndAll(Time time, int line) = 0;
    virtual void Skip(Time time, Time target, int line) = 0;

    // The first instance created with exactly this name (destructed ones included), or
    // null.
    virtual ScriptInstance* findInstance(const std::string& name) = 0;
    // The component type of exactly this name, or null.
    virtual const ScriptType* findComponentType(const std::string& name) = 0;
};

}  // namespace mirva
