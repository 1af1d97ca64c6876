#include "player/script_instructions.h"

#include <utility>

#include "player/script_player.h"

namespace mirva {

ConstructInstruction::ConstructInstruction(ScriptPlayer& player, Time time, Component& instance,
                                           std::vector<Variable> constructionParameters,
                                           std::vector<Variable> otherVariables)
    : Instruction(player, time), instance_(instance), constructionParameters_(std::move(constructionParameters)),
      otherVariables_(std::move(otherVariables))
{
}

void ConstructInstruction::execute()
{
    instance_.applyVariables(constructionParameters_);
    instance_.setEnabled(false);
    instance_.construct();
    instance_.applyVariables(otherVariables_);
    instance_.setLifecycleState(LifecycleState::Constructed);
    player_.trace("Construct %s\n", instance_.name().c_str());
}

DestructInstruction::DestructInstruction(ScriptPlayer& player, Time time, Component& instance)
    : Instruction(player, time), instance_(instance)
{
}

void DestructInstruction::execute()
{
    instance_.setEnabled(false);
    instance_.destruct();
    instance_.setLifecycleState(LifecycleState::Destructed);
    player_.trace("Destruct %s\n", instance_.name().c_str());
}

SetInstruction::SetInstruction(ScriptPlayer& player, Time time, Component& instance, std::vector<Variable> variables)
    : Instruction(player, time), instance_(instance), variables_(std::move(variables))
{
}

void SetInstruction::execute()
{
    instance_.applyVariables(variables_);
    player_.trace("Set %s\n", instance_.name().c_str());
}

EndInstruction::EndInstruction(ScriptPlayer& player, Time time, Component& instance)
    : Instruction(player, time), instance_(instance)
{
}

void EndInstruction::execute()
{
    instance_.setEnabled(false);
    player_.trace("End %s\n", instance_.name().c_str());
}

SampleMessageBeginInstruction::SampleMessageBeginInstruction(ScriptPlayer& player, Time time, Component& instance,
                                                             std::vector<Variable> sampleNumbers,
                                                             std::vector<Variable> sampleBlock)
    : Instruction(player, time), instance_(instance), sampleNumbers_(std::move(sampleNumbers)),
      sampleBlock_(std::move(sampleBlock))
{
}

void SampleMessageBeginInstruction::execute()
{
    instance_.applyVariables(sampleNumbers_);
    instance_.setSampleBlock(sampleBlock_);
    instance_.setSampleTriggering(true);
    player_.sampleTriggers().listen(instance_.sampleNumbers(), player_.timeSource());
    player_.trace("SampleMessageBegin %s\n", instance_.name().c_str());
}

SampleMessageEndInstruction::SampleMessageEndInstruction(ScriptPlayer& player, Time time, Component& instance)
    : Instruction(player, time), instance_(instance)
{
}

// The numbers released are those the instance listens to now, which a Set may have
// changed since SampleMessageBegin.
void SampleMessageEndInstruction::execute()
{
    instance_.setSampleTriggering(false);
    instance_.setEnabled(false);
    player_.sampleTriggers().stopListening(instance_.sampleNumbers(), player_.timeSource());
}

EndAllInstruction::EndAllInstruction(ScriptPlayer& player, Time time) : Instruction(player, time) {}

void EndAllInstruction::execute()
{
    for (const auto& instance : player_.instances())
        instance->setEnabled(false);
    player_.trace("EndAll\n");
}

SkipInstruction::SkipInstruction(ScriptPlayer& player, Time time, Time target)
    : Instruction(player, time), target_(target)
{
}

void SkipInstruction::execute()
{
    player_.timeSource().skipTo(target_);
    player_.trace("Skip %d:%d\n", (target_ >> 14) & 0x1FFFF, (target_ >> 8) & 63);
}

}  // namespace mirva
