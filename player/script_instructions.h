#pragma once
// The instructions a script writes: Construct, Destruct, Set (also made by Begin), End,
// SampleMessageBegin, SampleMessageEnd, EndAll and Skip. Each holds what its builder
// checked and executes it on its instance when its time comes; "apply" means the
// instance's applyVariables, which assigns the records in order.
#include <vector>

#include "components/component.h"
#include "player/instruction.h"
#include "script/variable.h"

namespace mirva {

// Applies the construction parameters, hides the instance, constructs it (loading its
// resources) and then applies the other variables, so a block that sets Enabled = true
// shows the instance at once.
class ConstructInstruction final : public Instruction {
public:
    ConstructInstruction(ScriptPlayer& player, Time time, Component& instance,
                         std::vector<Variable> constructionParameters, std::vector<Variable> otherVariables);
    void execute() override;
    Component& instance() const { return instance_; }
    const std::vector<Variable>& constructionParameters() const { return constructionParameters_; }
    const std::vector<Variable>& otherVariables() const { return otherVariables_; }

private:
    Component& instance_;
    std::vector<Variable> constructionParameters_;
    std::vector<Variable> otherVariables_;
};

// Hides the instance and frees what its construct loaded.
class DestructInstruction final : public Instruction {
public:
    DestructInstruction(ScriptPlayer& player, Time time, Component& instance);
    void execute() override;

private:
    Component& instance_;
};

// Applies a variable block (Begin ends its block with Enabled = true).
class SetInstruction final : public Instruction {
public:
    SetInstruction(ScriptPlayer& player, Time time, Component& instance, std::vector<Variable> variables);
    void execute() override;
    Component& instance() const { return instance_; }
    const std::vector<Variable>& variables() const { return variables_; }

private:
    Component& instance_;
    std::vector<Variable> variables_;
};

// Hides the instance.
class EndInstruction final : public Instruction {
public:
    EndInstruction(ScriptPlayer& player, Time time, Component& instance);
    void execute() override;

private:
    Component& instance_;
};

// Applies the SampleNumber assignments, makes the rest of the block the instance's sample
// block (applied whenever one of its samples plays) and starts listening to its samples.
class SampleMessageBeginInstruction final : public Instruction {
public:
    SampleMessageBeginInstruction(ScriptPlayer& player, Time time, Component& instance,
                                  std::vector<Variable> sampleNumbers, std::vector<Variable> sampleBlock);
    void execute() override;
    const std::vector<Variable>& sampleNumbers() const { return sampleNumbers_; }
    const std::vector<Variable>& sampleBlock() const { return sampleBlock_; }

private:
    Component& instance_;
    std::vector<Variable> sampleNumbers_;
    std::vector<Variable> sampleBlock_;
};

// Stops the sample triggering of the instance and hides it.
class SampleMessageEndInstruction final : public Instruction {
public:
    SampleMessageEndInstruction(ScriptPlayer& player, Time time, Component& instance);
    void execute() override;

private:
    Component& instance_;
};

// Hides every instance, whatever its state; sample triggering goes on.
class EndAllInstruction final : public Instruction {
public:
    EndAllInstruction(ScriptPlayer& player, Time time);
    void execute() override;
};

// Jumps the time source forward to the target.
class SkipInstruction final : public Instruction {
public:
    SkipInstruction(ScriptPlayer& player, Time time, Time target);
    void execute() override;
    Time target() const { return target_; }

private:
    Time target_;
};

}  // namespace mirva
