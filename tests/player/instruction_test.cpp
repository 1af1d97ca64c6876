// Executing a loaded script's instructions, and the Timer time source.
#include <gtest/gtest.h>

#include "player/script_instructions.h"
#include "player/timer_source.h"
#include "tests/player/script_player_fixture.h"

namespace mirva {
namespace {

using test::kTimer;

class InstructionTest : public test::ScriptPlayerTest {
protected:
    // Loads the script and collects the execution traces.
    ScriptPlayer& play(const std::string& script)
    {
        player = load(script);
        player->setTraceSink([this](const std::string& text) { traces += text; });
        return *player;
    }
    Component& instance(std::size_t i) { return *player->instances().at(i); }

    std::unique_ptr<ScriptPlayer> player;
    std::string traces;
};

std::vector<std::string> namesOf(const std::vector<Variable>& list)
{
    std::vector<std::string> names;
    for (const Variable& v : list)
        names.push_back(v.name);
    return names;
}

TEST_F(InstructionTest, ConstructSplitsItsBlockAndAppliesTheRestAfterConstructing)
{
    play("Enum Layers { A B C }\n"
         "Construct Writer w { Layer = C Font = \"f.png\" Enabled = true MaxLines = 2 RowsToShow = 3 }\n"
         "Construct Clearer c { Layer = B Enabled = true RowsToShow = 3 }\n" +
         std::string(kTimer));
    const auto* construct = dynamic_cast<const ConstructInstruction*>(player->instructions()[0].get());
    ASSERT_NE(construct, nullptr);
    EXPECT_EQ(namesOf(construct->constructionParameters()), (std::vector<std::string>{"Font", "MaxLines"}));
    EXPECT_EQ(namesOf(construct->otherVariables()), (std::vector<std::string>{"Layer", "Enabled", "RowsToShow"}));
    EXPECT_EQ(construct->constructionParameters()[1].identifier, 4);
    EXPECT_TRUE(construct->constructionParameters()[1].constructionParameter);
    EXPECT_EQ(construct->otherVariables()[0].identifier, CommonVariable::Layer);

    // (The Writer's construct loads its font; the Clearer's loads nothing.)
    player->instructions()[1]->execute();
    // Applied after construct's reset, so the block's values stay.
    EXPECT_EQ(instance(1).layer(), 1);
    EXPECT_TRUE(instance(1).enabled());
    EXPECT_EQ(instance(1).rowsToShow(), 3);
    EXPECT_EQ(instance(1).lifecycleState(), LifecycleState::Constructed);
    EXPECT_EQ(traces, "Construct c\n");
}

TEST_F(InstructionTest, AConstructedInstanceIsHiddenUnlessItsBlockShowsIt)
{
    play(std::string(kTimer) + "0:0:0 Construct Clearer c\n0:1:0 Set c { Enabled = true }\n0:2:0 Construct Clearer d");
    player->executeDueInstructions(256);
    EXPECT_TRUE(instance(0).enabled());
    // The script plays again: construct hides the instance that a Set had shown.
    player->instructions()[1]->execute();
    EXPECT_FALSE(instance(0).enabled());
    EXPECT_EQ(instance(1).lifecycleState(), LifecycleState::NotConstructed);
}

TEST_F(InstructionTest, BeginIsASetThatEndsByShowingTheInstance)
{
    play("Enum Layers { A B }\nConstruct Clearer c\n" + std::string(kTimer) +
         "0:0:0 Begin c { Layer = B }\n0:1:0 Begin c\n0:2:0 Set c { Enabled = true }");
    const auto& list = player->instructions();
    const auto* begin = dynamic_cast<const SetInstruction*>(list[2].get());
    const auto* emptyBegin = dynamic_cast<const SetInstruction*>(list[3].get());
    const auto* set = dynamic_cast<const SetInstruction*>(list[4].get());
    ASSERT_TRUE(begin && emptyBegin && set);
    EXPECT_EQ(namesOf(begin->variables()), (std::vector<std::string>{"Layer", "Enabled"}));
    for (const auto* s : {emptyBegin, set}) {
        ASSERT_EQ(s->variables().size(), 1u);
        const Variable& enabled = s->variables()[0];
        EXPECT_EQ(enabled.name, "Enabled");
        EXPECT_EQ(enabled.identifier, CommonVariable::Enabled);
        EXPECT_EQ(enabled.type, ValueType::Bool);
        EXPECT_TRUE(enabled.readBool());
    }

    player->executeDueInstructions(0);
    EXPECT_TRUE(instance(0).enabled());
    EXPECT_EQ(instance(0).layer(), 1);
    instance(0).setRowsShown(9);
    player->executeDueInstructions(256);
    EXPECT_EQ(instance(0).rowsShown(), 0);
}

TEST_F(InstructionTest, InstructionsPlayInListOrderOnceTheirTimeHasCome)
{
    play("Construct Clearer a\nConstruct Clearer b\n" + std::string(kTimer) +
         "0:0:0 Begin a\n0:1:0 Begin b\n0:1:0 End a\n0:2:0 Destruct b\n0:3:0 EndAll\n0:4:0 Skip 1:0:0\n");
    player->executeDueInstructions(0);
    EXPECT_EQ(traces, "Construct a\nConstruct b\nTimer\nSet a\n");
    EXPECT_EQ(player->nextInstruction(), 4u);
    player->executeDueInstructions(255);
    EXPECT_EQ(player->nextInstruction(), 4u);
    player->executeDueInstructions(256);  // both instructions of 0:1:0, in script order
    EXPECT_TRUE(instance(1).enabled());
    EXPECT_FALSE(instance(0).enabled());
    player->executeDueInstructions(512);
    EXPECT_EQ(instance(1).lifecycleState(), LifecycleState::Destructed);
    EXPECT_FALSE(instance(1).enabled());
    player->executeDueInstructions(1 << 30);
    EXPECT_EQ(traces, "Construct a\nConstruct b\nTimer\nSet a\nSet b\nEnd a\nDestruct b\nEndAll\nSkip 1:0\n");
    EXPECT_EQ(player->nextInstruction(), player->instructions().size());
}

TEST_F(InstructionTest, EndAllHidesEveryInstanceButKeepsSampleTriggering)
{
    play("Construct Clearer a\nConstruct Clearer b\n" + std::string(kTimer) +
         "0:0:0 Begin a\n0:0:0 Begin b\n0:0:0 SampleMessageBegin b { RowsToShow = 3 }\n0:0:0 Destruct a\n0:1:0 EndAll");
    player->executeDueInstructions(0);
    instance(0).setEnabled(true);  // destructed, shown by hand
    player->executeDueInstructions(256);
    EXPECT_FALSE(instance(0).enabled());
    EXPECT_FALSE(instance(1).enabled());
    EXPECT_TRUE(instance(1).sampleTriggering());
}

TEST_F(InstructionTest, SampleMessageBeginKeepsItsBlockForTheTriggers)
{
    play("Enum Layers { A B }\nConstruct Clearer c\n" + std::string(kTimer) +
         "0:0:0 SampleMessageBegin c { Layer = B Enabled = true }\n0:1:0 Begin c\n0:2:0 SampleMessageEnd c");
    const auto* begin = dynamic_cast<const SampleMessageBeginInstruction*>(player->instructions()[2].get());
    ASSERT_NE(begin, nullptr);
    EXPECT_TRUE(begin->sampleNumbers().empty());
    EXPECT_EQ(namesOf(begin->sampleBlock()), (std::vector<std::string>{"Layer", "Enabled"}));

    player->executeDueInstructions(0);
    EXPECT_TRUE(instance(0).sampleTriggering());
    EXPECT_FALSE(instance(0).enabled());  // the block waits for a trigger
    EXPECT_EQ(instance(0).layer(), 0);
    EXPECT_EQ(namesOf(instance(0).sampleBlock()), (std::vector<std::string>{"Layer", "Enabled"}));
    player->executeDueInstructions(512);
    EXPECT_FALSE(instance(0).sampleTriggering());
    EXPECT_FALSE(instance(0).enabled());
    EXPECT_EQ(traces, "Construct c\nTimer\nSampleMessageBegin c\nSet c\n");
}

TEST_F(InstructionTest, SampleTriggersNeedAModule)
{
    play("Construct Clearer c\n" + std::string(kTimer) + "0:0:0 SampleMessageBegin c { SampleNumber = 3, 7 }");
    const auto* begin = dynamic_cast<const SampleMessageBeginInstruction*>(player->instructions()[2].get());
    ASSERT_NE(begin, nullptr);
    EXPECT_EQ(namesOf(begin->sampleNumbers()), (std::vector<std::string>{"SampleNumber"}));
    EXPECT_FATAL(player->executeDueInstructions(0),
                 "Setting a synchronizer failed (BASS message: BASS_Init has not been successfully called.) "
                 "SampleNumber = 3");
}

TEST_F(InstructionTest, TheTimerCountsRowsAtItsTempo)
{
    TimerSource sixty(100 * 16384, 60, 1.0f);
    EXPECT_EQ(sixty.readTime(1.5f), 1 * 256 + 128);  // 0:1:128
    TimerSource minute(100 * 16384, 64, 1.0f);
    EXPECT_EQ(minute.readTime(60.0f), 16384);  // one order a minute
    EXPECT_EQ(minute.readTime(0.5f), 16384 + 136);  // half a second is 0:0:136.53
}

TEST_F(InstructionTest, TheTimerEndsAtTheFirstTimeAfterItsEnd)
{
    TimerSource timer(256, 60, 2.0f);
    EXPECT_EQ(timer.readTime(1.0f), 256);
    EXPECT_FALSE(timer.ended());
    EXPECT_EQ(timer.readTime(0.004f), 257);
    EXPECT_TRUE(timer.ended());
    timer.rewind();
    EXPECT_FALSE(timer.ended());
    EXPECT_EQ(timer.readTime(0.0f), 0);
    EXPECT_FLOAT_EQ(timer.timeMultiplier(), 2.0f);
}

TEST_F(InstructionTest, TimerStartRestartsTheClockAndSkipSetsIt)
{
    play("Timer 10:0:0 120 0.5\n0:0:0 Skip 2:10:100\n");
    auto& timer = dynamic_cast<TimerSource&>(player->timeSource());
    EXPECT_FLOAT_EQ(player->timeMultiplier(), 0.5f);
    timer.readTime(3.0f);
    player->executeDueInstructions(0);
    // (2 * 64 + 10 + 100 / 256) rows of half a second.
    EXPECT_DOUBLE_EQ(timer.clockSeconds(), (2 * 64 + 10 + 100.0 / 256) * 0.5);
    EXPECT_EQ(timer.readTime(0.0f), 2 * 16384 + 10 * 256 + 100);
    player->instructions()[0]->execute();
    EXPECT_EQ(timer.clockSeconds(), 0.0);
    EXPECT_EQ(traces, "Timer\nSkip 2:10\nTimer\n");
}

}  // namespace
}  // namespace mirva
