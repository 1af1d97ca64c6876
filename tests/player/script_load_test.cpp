// Loading whole scripts end to end (every component type and value form, the messages of
// the builders, the Timer and Skip checks, included files, the parameter reference an
// `Info` script writes), and executing their instructions.
#include <array>

#include <gtest/gtest.h>

#include "player/timer_source.h"
#include "script/include_pass.h"
#include "tests/player/player_fixture.h"

namespace mirva {
namespace {

using ScriptLoadTest = test::ScriptPlayerTest;

// A Timer header for scripts whose time source does not matter.
const std::string kTimer = "Timer 100:0:0 120 1.0\n";

// data/everything.txt has every type with its construction parameters, and a value of
// every form.
TEST_F(ScriptLoadTest, AScriptWithEveryTypeAndValueFormLoads)
{
    play(test::readText(MIRVA_TEST_DATA "/everything.txt"));
    EXPECT_EQ(player->instances().size(), 16u);
    EXPECT_EQ(player->instructions().size(), 16u + 1u + 8u);
    EXPECT_EQ(player->timeSource().describe(), "Timer, end 10:0:0, tempo 125, time multiplier 1");
    EXPECT_FALSE(std::filesystem::exists(dir.file("parameters.txt")));   // only Info scripts write it
}

TEST_F(ScriptLoadTest, AnIncludedMotionFileAnimatesATransformation)
{
    // x runs from 0 to 10 in a second, at twice the speed.
    test::writeText("camera.mot",
                    "LWMO\n3\n" + test::motion({0, 0, 0, 0, 0, 0, 1, 1, 1}, {{0, {{{0, 0, 3}}, {{10, 1, 3}}}}}));
    play("Construct Clearer c { CameraMotion = include \"camera.mot\" EnvelopeSpeed 2 }\n" + kTimer);
    player->executeDueInstructions(0);
    Component& c = *player->instances()[0];
    c.advanceBaseRecords(0.25f);
    const auto& m = c.cameraMotion().m;
    EXPECT_EQ((std::array{m[3][0], m[0][0], m[2][2]}), (std::array{5.0f, 1.0f, 1.0f}));
}

// The message each script stops with, in order (each load starts afresh); "" for one that
// loads.
TEST_F(ScriptLoadTest, BadScriptsStopTheLoadWithTheirMessage)
{
    test::writeText("other.txt", "Construct Clearer d 3");
    test::writeText("huge.mot", std::string(kLargestScriptFile + 1, ' '));
    const std::string b80 = std::string(80, 'b') + "...'", b100(100, 'b'), tenMinutes = "Timer 10:0:0 120 1.0\n",
                      writer = "Construct Writer w { Font = \"f.png\" MaxLines = 2 }\n" + kTimer,
                      sprite = "Construct Sprite s { Map = \"s.tga\" SampleNumber = 0, 127 }\n" + kTimer,
                      target = "Construct RenderTargetBegin b { MapName = \"x\" ZBuffer = false Alpha = false ",
                      construction = "variable 'Font' is construction parameter and can only be set in Construct";
    expectMessages({
        {"Construct Clearer c { CameraMotion = include \"gone.mot\" }", "include file 'gone.mot' not found"},
        {"Construct Clearer c { ClearColor = include \"script.txt\" }",
         "include recurses: 'script.txt' includes 'script.txt', which is the script itself"},
        {"Construct Clearer c { ClearColor = include \"other.txt\" }",
         "motion file 'other.txt': line 1 syntax error: '3' found LWMO expected "},
        {"Construct Clearer c { ClearColor = include \"huge.mot\" }",
         "'huge.mot' is 16777217 bytes; a script or an included file may have at most 16777216"},
        // Names, pointers and the types of values.
        {"Construct Clearer a\nConstruct Clearer a\n" + kTimer, "line 3 Construct: component named 'a' already exists"},
        {kTimer + "0:0:0 Construct Clearer a\n0:1:0 Destruct a\n0:2:0 Construct Sprite a {\n Map = \"x.tga\" }",
         "line 5 Construct: component named 'a' already exists"},
        {"Construct Clearer c Construct Object o { Object = \"o.lwo\" Material = c }",
         "line 1: pointer must to component type 'Material'"},
        {"Construct Object o { Object = \"o.lwo\" Material = m }", "line 1: there is no such Material as 'm'"},
        {"Construct Material m\n" + kTimer + "0:0:0 Destruct m\n0:1:0 Construct Object o { Object = \"o.lwo\" Material = m }",
         ""},   // a destructed instance is still found
        {"Construct Writer2 w { Font = \"f.png\" MaxLines = 1 ref = CENTER }",
         "line 1 component type Writer2: variable 'ref' type doesn't match component definition (should be Int)"},
        {"Construct Writer w { Font = \"f.png\" MaxLines = 1 ref = 1 }",
         "line 1 component type Writer: variable 'ref' type doesn't match component definition (should be "
         "ReferencePoint)"},
        {"Construct LWS s { Scene = s }",
         "line 1 component type LWS: variable 'Scene' type doesn't match component definition (should be String)"},
        {"Construct RenderTargetEnd e { MapName = \"x\" }",
         "line 1: component type RenderTargetEnd doesn't have variable named 'MapName'"},
        {"Construct Clearer c { " + b100 + " = 1 }",
         "line 1: component type Clearer doesn't have variable named '" + b80},
        {"Construct Clearer c " + b100,
         "line 1 syntax error: '" + b80 + " found Constructs or Time or Song or AudioStream expected "},
        // Layers is the script's own enum and lasts one load.
        {"Construct Clearer c { Layer = FRONT }", "line 1: Enum 'Layers' doesn't exists"},
        {"Enum Layers { BACK FRONT } Construct Clearer c { Layer = FRONT }" + kTimer, ""},
        {"Construct Clearer c { Layer = FRONT }", "line 1: Enum 'Layers' doesn't exists"},
        // Construction parameters are given in Construct and only there; Begin shows.
        {"Construct FlowerZoomer f { Petals = 6 }", "line 1 Construct f: variable 'MiddleMap' must be set in construct"},
        {"Construct FlowerZoomer f { MiddleMap = \"m.tga\" PetalWidth = 1 }",
         "line 1 Construct f: variable 'PetalMap' must be set in construct"},
        {writer + "0:0:0 Set w { l = 0 Font = \"g.png\" }", "line 3 Set w: " + construction},
        {writer + "0:0:0 Begin w { MaxLines = 2 }",
         "line 3 Begin w: variable 'MaxLines' is construction parameter and can only be set in Construct"},
        {writer + "0:0:0 SampleMessageBegin w { Font = \"g.png\" }", "line 3 SampleMessageBegin w: " + construction},
        {"Construct Clearer c\n" + kTimer + "0:0:0 Begin c { RowsToShow = 2 Enabled = true }",
         "line 3 Begin c: variable 'Enabled' can't be set in Begin (for Begin, Enabled = true always)"},
        // Sample triggering alternates, on sample numbers 0..127.
        {sprite + "0:0:0 SampleMessageBegin s\n0:1:0 SampleMessageBegin s { SampleNumber = 2 }",
         "line 4 SampleMessageBegin s: sample triggering is already on for 's'"},
        {sprite + "0:0:0 SampleMessageEnd s", "line 3 SampleMessageEnd s: sample triggering is not on for 's'"},
        {sprite + "0:0:0 SampleMessageBegin s\n0:1:0 SampleMessageEnd s\n0:2:0 SampleMessageBegin s", ""},
        {sprite + "0:0:0 SampleMessageBegin s { SampleNumber = 128 }",
         "line 3 SampleMessageBegin s: SampleNumber 128 is not a sample number 0..127"},
        {sprite + "0:0:0 Set s { SampleNumber = 1, -1 }", "line 3 Set s: SampleNumber -1 is not a sample number 0..127"},
        {"Construct Clearer c { SampleNumber = 500 }", "line 1 Construct c: SampleNumber 500 is not a sample number 0..127"},
        // What playing would refuse: counts that size memory, indexes against them, targets
        // the device can't have.
        {"Construct Writer w { Font = \"f.png\" MaxLines = 2000000000 }",
         "line 1 Construct w: MaxLines 2000000000 is outside 0 to 10000"},
        {"Construct Writer2 w { Font = \"f.png\" MaxLines = -1 }", "line 1 Construct w: MaxLines -1 is outside 0 to 10000"},
        {"Construct Writer2 w { Font = \"f.png\" l = 2147483647 MaxLines = 3 }",
         "line 1 Construct w: line index 2147483647 is not below MaxLines (3)"},
        {writer + "0:0:0 Set w { l = 2 txt = \"x\" }", "line 3 Set w: line index 2 is not below MaxLines (2)"},
        {writer + "0:0:0 Set w { l = 1 txt = \"x\" }", ""},
        {writer + "0:0:0 SampleMessageBegin w { l = -1 }", "line 3 SampleMessageBegin w: line index -1 is below 0"},
        {target + "Width = -64 Height = 0 }", "line 1 Construct b: Width -64 is outside 1 to 16384"},
        {target + "Width = 64 Height = 2000000000 }", "line 1 Construct b: Height 2000000000 is outside 1 to 16384"},
        // The Timer and Skip.
        {"Timer 10:0:0 0 1.0", "line 1 Timer: tempo must be above 0"},
        {tenMinutes + "1:0:0 Skip 1:0:0", "line 2 Skip: skip time <= instruction's time. must skip forward."},
        {tenMinutes + "1:0:0 Skip 10:0:0", "line 2 Skip: song end time <= skip time"},
        {tenMinutes + "1:0:0 Skip 9:63:255", ""},
    });
}

TEST_F(ScriptLoadTest, AnInfoScriptWritesTheParameterReference)
{
    load("Info\nEnum Layers { BACK MIDDLE FRONT }\nEnum Moods { HAPPY CALM }\nTimer 1:0:0 120 1.0\n");
    EXPECT_EQ(test::readText("parameters.txt"), test::readText(MIRVA_TEST_DATA "/parameters_expected.txt"));
    // Without user enums their heading ends the text.
    EXPECT_TRUE(load("Info Timer 1:0:0 120 1.0")->infoMode());
    const std::string text = test::readText("parameters.txt");
    const std::string tail = "    WRITEANDCOMPARE\n}\n\n"
                             " - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - - -\n\n"
                             "user specified enums\n\n";
    EXPECT_TRUE(text.ends_with(tail)) << text;
    // A reference that cannot be written is left out.
    std::filesystem::remove(dir.file("parameters.txt"));
    std::filesystem::create_directory(dir.file("parameters.txt"));
    EXPECT_TRUE(load("Info Timer 1:0:0 120 1.0")->infoMode());
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("parameters.txt")));
}

// Begin shows with its block and restarts the row count, Construct hides again, EndAll hides
// every instance, a destructed one too, but keeps sample triggering; sample triggering runs
// from SampleMessageBegin, whose block waits for a trigger, to SampleMessageEnd, which hides;
// Skip sets the Timer's clock.
TEST_F(ScriptLoadTest, InstructionsPlayInListOrderOnceTheirTimeHasCome)
{
    play("Enum Layers { A B }\nConstruct Clearer a\nConstruct Clearer b\nConstruct Clearer c\n" + kTimer +
         "0:0:0 Begin a { Layer = B }\n0:0:0 SampleMessageBegin b { RowsToShow = 3 }\n"
         "0:0:0 SampleMessageBegin c { Enabled = true }\n0:1:0 Begin b\n0:1:0 Begin a\n0:1:0 Begin c\n"
         "0:2:0 End a\n0:2:0 Destruct b\n0:2:0 SampleMessageEnd c\n0:2:0 Construct Clearer d\n0:3:0 EndAll\n"
         "0:4:0 Skip 2:10:100\n");
    EXPECT_EQ(instance(0).lifecycleState(), LifecycleState::NotConstructed);
    player->executeDueInstructions(0);
    const std::string begun = "Construct a\nConstruct b\nConstruct c\nTimer\nSet a\nSampleMessageBegin b\n";
    EXPECT_EQ(traces, begun + "SampleMessageBegin c\n");
    EXPECT_EQ(instance(0).layer(), 1);
    EXPECT_TRUE(instance(2).sampleTriggering() && !instance(2).enabled());
    instance(0).setRowsShown(9);
    player->executeDueInstructions(255);
    EXPECT_EQ(player->nextInstruction(), 7u);
    player->executeDueInstructions(256);  // the instructions of 0:1:0, in script order
    EXPECT_TRUE(instance(0).enabled() && instance(1).enabled());
    EXPECT_EQ(instance(0).rowsShown(), 0);
    EXPECT_EQ(instance(3).lifecycleState(), LifecycleState::NotConstructed);
    player->instructions()[0]->execute();   // the script plays again: construct hides
    EXPECT_FALSE(instance(0).enabled());
    player->executeDueInstructions(512);
    EXPECT_EQ(instance(1).lifecycleState(), LifecycleState::Destructed);
    EXPECT_FALSE(instance(1).enabled() || instance(2).sampleTriggering() || instance(2).enabled());
    instance(1).setEnabled(true);  // destructed, shown by hand
    auto& source = dynamic_cast<TimerSource&>(player->timeSource());
    source.readTime(3.0f);   // the Skip sets the clock, not adds to it
    player->executeDueInstructions(1 << 30);
    EXPECT_FALSE(instance(0).enabled() || instance(1).enabled());
    EXPECT_TRUE(instance(1).sampleTriggering());
    // (2 * 64 + 10 + 100 / 256) rows of half a second; the Timer's start restarts the clock.
    EXPECT_DOUBLE_EQ(source.clockSeconds(), (2 * 64 + 10 + 100.0 / 256) * 0.5);
    EXPECT_EQ(source.readTime(0.0f), 2 * 16384 + 10 * 256 + 100);
    player->instructions()[3]->execute();
    EXPECT_EQ(source.clockSeconds(), 0.0);
    EXPECT_EQ(traces, begun + "SampleMessageBegin c\nSet b\nSet a\nSet c\nConstruct a\nEnd a\nDestruct b\nConstruct d\n"
                              "EndAll\nSkip 2:10\nTimer\n");
    EXPECT_EQ(player->nextInstruction(), player->instructions().size());
    // Sample numbers need a module to listen to.
    play("Construct Clearer c\n" + kTimer + "0:0:0 SampleMessageBegin c { SampleNumber = 3, 7 }");
    EXPECT_FATAL(player->executeDueInstructions(0),
                 "Setting a synchronizer failed (BASS message: BASS_Init has not been successfully called.) "
                 "SampleNumber = 3");
}

}  // namespace
}  // namespace mirva
