// Loading whole scripts end to end: every component type and value form, the messages of
// the builders, the Timer and Skip checks, and what the load leaves behind.
#include <gtest/gtest.h>

#include "components/component_registry.h"
#include "player/script_instructions.h"
#include "player/timer_source.h"
#include "script/include_pass.h"
#include "tests/player/script_player_fixture.h"

namespace mirva {
namespace {

using test::kTimer;

class ScriptLoadTest : public test::ScriptPlayerTest {};

// Every type with its construction parameters, and a value of every form.
constexpr const char* kEverything = R"(Enum Layers { BACK MIDDLE FRONT }
Construct LWS scene { Scene = "scenes/a.lws" Speed = 1.5 }
Construct Material mat { Type = TEXTUREANDDIFFUSE Blend = BLENDADD Map = "maps/a.tga"
    Diffuse = 255, 128, 0 Emissive = 0, 0, 0, 0 FogStart = Key 0,10,TCB,0,0,0 Key 2,20,LINEAR REPEAT OSCILLATE }
Construct Object obj { Object = "objects/a.lwo" Material = mat Scene = scene Layer = FRONT }
Construct Cartoon toon { Object = "objects/a.lwo" LightPosition = 1, 2, 3 Motion = 0,0,5, 0,0,0, 1,1,1 }
Construct ChaosZoomer chaos { Param1 = 0.5 Param5 = -1.5707964 }
Construct Clearer clear { ClearColor = 0, 0, 64 DepthBuffer = false Layer = BACK }
Construct FlowerZoomer flowers { MiddleMap = "m.tga" PetalMap = "p.tga" Petals = 6 PetalWidth = 0.5
    PetalInnerRadius = 0.2 PetalOuterRadius = 1 }
Construct Painterly paint { Object = "o.lwo" BrushMap = "b.tga" EnvMap = "e.tga" }
Construct RenderTargetBegin rtb { MapName = "rendertarget" Width = 256 Height = 256 ZBuffer = true Alpha = FALSE }
Construct RenderTargetEnd rte
Construct Scroller scroll { Font = "fonts/f.png" Blend = ADD Position = -1, 0.5 Text = "hello" }
Construct Scroller3D s3d { Object = "t.lwo" UpperMotion = 0, 1, 0 LowerMotion = 0, 0, 0 Stretch = 0.25 Material = mat }
Construct Sprite sprite { Map = "flic.flc" Filter = BILINEAR Size = 2, 2 EnvelopePhase 1 EnvelopeSpeed 0.5 }
Construct FlicDecompress flic { Flic = "flic.flc" FPS = 10 }
Construct Writer w { Font = "fonts/f.png" MaxLines = 2 ref = CENTER txt = "line" l = 1 }
Construct Writer2 w2 { Font = "fonts/f.png" MaxLines = 4 ref = 2 ChangeSpeed = 1.5 }
Timer 10:0:0 125 1.0
0:0:0 Begin obj { CameraMotion = 0,0,-5, 0,0,0, 1,1,1 Viewport = 0, 0, 0.5, 1 FOV = 60, 45 FrontBack = 1, 1000
    Ambient = 32, 32, 32 ZBufferMode = COMPARE CameraName = "Camera" RowsToShow = INF }
0:1:0 Set toon { Motion = EnvelopePhase 2 }
0:1:0 SampleMessageBegin sprite { SampleNumber = 0, 127 Enabled = true }
1:0:0 SampleMessageEnd sprite
1:0:128 End obj
2:0:0 Skip 4:0:0
4:0:0 EndAll
5:0:0 Destruct paint
)";

TEST_F(ScriptLoadTest, AScriptWithEveryTypeAndValueFormLoads)
{
    const auto player = load(kEverything);
    EXPECT_EQ(player->instances().size(), 16u);
    EXPECT_EQ(player->instructions().size(), 16u + 1u + 8u);
    EXPECT_FALSE(player->infoMode());
    EXPECT_EQ(player->timeSource().describe(), "Timer, end 10:0:0, tempo 125, time multiplier 1");
    EXPECT_FALSE(std::filesystem::exists(dir.file("parameters.txt")));
}

TEST_F(ScriptLoadTest, TheLoadLeavesInstancesUnconstructedAndTheListInScriptOrder)
{
    const auto player = load("Construct Clearer a Construct Clearer b\n" + std::string(kTimer) +
                             "0:0:0 SampleMessageBegin a\n0:1:0 Destruct b\n");
    for (const auto& instance : player->instances()) {
        EXPECT_EQ(instance->lifecycleState(), LifecycleState::NotConstructed);
        EXPECT_FALSE(instance->sampleTriggering());
    }
    const auto& list = player->instructions();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_NE(dynamic_cast<ConstructInstruction*>(list[0].get()), nullptr);
    EXPECT_NE(dynamic_cast<ConstructInstruction*>(list[1].get()), nullptr);
    EXPECT_NE(dynamic_cast<TimerStartInstruction*>(list[2].get()), nullptr);
    EXPECT_NE(dynamic_cast<SampleMessageBeginInstruction*>(list[3].get()), nullptr);
    EXPECT_EQ(list[4]->time(), 256);
    EXPECT_EQ(player->nextInstruction(), 0u);
}

TEST_F(ScriptLoadTest, FilesThatCannotBeReadStopTheLoad)
{
    EXPECT_FATAL(ScriptPlayer("missing.txt"), "script file 'missing.txt' not found");
    EXPECT_EQ(messageOf("Construct Clearer c { CameraMotion = include \"gone.mot\" }"),
              "include file 'gone.mot' not found");
}

TEST_F(ScriptLoadTest, AnIncludedMotionFileAnimatesATransformation)
{
    std::string motion = "LWMO\n3\nNumChannels 9\n";
    for (int c = 0; c < 9; ++c) {
        motion += "Channel " + std::to_string(c) + "\n{ Envelope\n";
        if (c == 0)
            motion += "  2\n  Key 0 0 3 0 0 0 0 0 0\n  Key 10 1 3 0 0 0 0 0 0\n";
        else
            motion += "  1\n  Key " + std::string(c >= 6 ? "1" : "0") + " 0 3 0 0 0 0 0 0\n";
        motion += "  Behaviors 1 1\n}\n";
    }
    test::writeText("camera.mot", motion);
    const auto player = load("Construct Clearer c { CameraMotion = include \"camera.mot\" EnvelopeSpeed 2 }\n" +
                             std::string(kTimer));
    player->executeDueInstructions(0);
    Component& c = *player->instances()[0];
    c.advanceBaseRecords(0.25f);
    const Transformation M = c.cameraMotion();
    EXPECT_FLOAT_EQ(M.m[3][0], 5.0f);
    EXPECT_FLOAT_EQ(M.m[0][0], 1.0f);
    EXPECT_FLOAT_EQ(M.m[2][2], 1.0f);
}

TEST_F(ScriptLoadTest, ConstructNamesAreNeverReused)
{
    EXPECT_EQ(messageOf("Construct Clearer a\nConstruct Clearer a\n" + std::string(kTimer)),
              "line 3 Construct: component named 'a' already exists");
    EXPECT_EQ(messageOf(std::string(kTimer) + "0:0:0 Construct Clearer a\n0:1:0 Destruct a\n0:2:0 Construct Sprite a {\n"
                                              " Map = \"x.tga\" }"),
              "line 5 Construct: component named 'a' already exists");
}

TEST_F(ScriptLoadTest, ConstructionParametersMustBeGivenInConstructAndOnlyThere)
{
    EXPECT_EQ(messageOf("Construct FlowerZoomer f { Petals = 6 }"),
              "line 1 Construct f: variable 'MiddleMap' must be set in construct");
    EXPECT_EQ(messageOf("Construct FlowerZoomer f { MiddleMap = \"m.tga\" PetalWidth = 1 }"),
              "line 1 Construct f: variable 'PetalMap' must be set in construct");
    const std::string writer = "Construct Writer w { Font = \"f.png\" MaxLines = 1 }\n" + std::string(kTimer);
    EXPECT_EQ(messageOf(writer + "0:0:0 Set w { l = 0 Font = \"g.png\" }"),
              "line 3 Set w: variable 'Font' is construction parameter and can only be set in Construct");
    EXPECT_EQ(messageOf(writer + "0:0:0 Begin w { MaxLines = 2 }"),
              "line 3 Begin w: variable 'MaxLines' is construction parameter and can only be set in Construct");
    EXPECT_EQ(messageOf(writer + "0:0:0 SampleMessageBegin w { Font = \"g.png\" }"),
              "line 3 SampleMessageBegin w: variable 'Font' is construction parameter and can only be set in "
              "Construct");
}

TEST_F(ScriptLoadTest, BeginShowsTheInstanceItself)
{
    EXPECT_EQ(messageOf("Construct Clearer c\n" + std::string(kTimer) + "0:0:0 Begin c { RowsToShow = 2 Enabled = true }"),
              "line 3 Begin c: variable 'Enabled' can't be set in Begin (for Begin, Enabled = true always)");
}

TEST_F(ScriptLoadTest, SampleTriggeringMustAlternate)
{
    const std::string head = "Construct Sprite s { Map = \"s.tga\" }\n" + std::string(kTimer);
    EXPECT_EQ(messageOf(head + "0:0:0 SampleMessageBegin s\n0:1:0 SampleMessageBegin s { SampleNumber = 2 }"),
              "line 4 SampleMessageBegin s: sample triggering is already on for 's'");
    EXPECT_EQ(messageOf(head + "0:0:0 SampleMessageEnd s"),
              "line 3 SampleMessageEnd s: sample triggering is not on for 's'");
    EXPECT_NO_THROW(load(head + "0:0:0 SampleMessageBegin s\n0:1:0 SampleMessageEnd s\n0:2:0 SampleMessageBegin s"));
}

TEST_F(ScriptLoadTest, SampleNumbersAreIndexesOfTheSampleArrays)
{
    const std::string head = "Construct Sprite s { Map = \"s.tga\" SampleNumber = 0, 127 }\n" + std::string(kTimer);
    EXPECT_EQ(messageOf(head + "0:0:0 SampleMessageBegin s { SampleNumber = 128 }"),
              "line 3 SampleMessageBegin s: SampleNumber 128 is not a sample number 0..127");
    EXPECT_EQ(messageOf(head + "0:0:0 Set s { SampleNumber = 1, -1 }"),
              "line 3 Set s: SampleNumber -1 is not a sample number 0..127");
    EXPECT_EQ(messageOf("Construct Clearer c { SampleNumber = 500 }"),
              "line 1 Construct c: SampleNumber 500 is not a sample number 0..127");
}

TEST_F(ScriptLoadTest, SkipMustJumpForwardAndStayBeforeTheEnd)
{
    const std::string timer = "Timer 10:0:0 120 1.0\n";
    EXPECT_EQ(messageOf(timer + "1:0:0 Skip 1:0:0"), "line 2 Skip: skip time <= instruction's time. must skip forward.");
    EXPECT_EQ(messageOf(timer + "1:0:0 Skip 0:63:255"),
              "line 2 Skip: skip time <= instruction's time. must skip forward.");
    EXPECT_EQ(messageOf(timer + "1:0:0 Skip 10:0:0"), "line 2 Skip: song end time <= skip time");
    const auto player = load(timer + "1:0:0 Skip 9:63:255");
    const auto* skip = dynamic_cast<const SkipInstruction*>(player->instructions().back().get());
    ASSERT_NE(skip, nullptr);
    EXPECT_EQ(skip->target(), 9 * 16384 + 63 * 256 + 255);
}

TEST_F(ScriptLoadTest, ATimerNeedsATempoAboveZero)
{
    EXPECT_EQ(messageOf("Timer 10:0:0 0 1.0"), "line 1 Timer: tempo must be above 0");
    EXPECT_EQ(messageOf("Timer 10:0:0 -60 1.0"), "line 1 Timer: tempo must be above 0");
}

TEST_F(ScriptLoadTest, LayersIsTheScriptsOwnEnumAndLastsOneLoad)
{
    EXPECT_EQ(messageOf("Construct Clearer c { Layer = FRONT }"), "line 1: Enum 'Layers' doesn't exists");
    load("Enum Layers { BACK FRONT } Construct Clearer c { Layer = FRONT }" + std::string(kTimer));
    EXPECT_EQ(ComponentRegistry::instance().enums().user().size(), 1u);
    EXPECT_EQ(messageOf("Construct Clearer c { Layer = FRONT }"), "line 1: Enum 'Layers' doesn't exists");
}

TEST_F(ScriptLoadTest, PointersNameAnInstanceOfTheDeclaredType)
{
    EXPECT_EQ(messageOf("Construct Clearer c Construct Object o { Object = \"o.lwo\" Material = c }"),
              "line 1: pointer must to component type 'Material'");
    EXPECT_EQ(messageOf("Construct Object o { Object = \"o.lwo\" Material = m }"),
              "line 1: there is no such Material as 'm'");
    EXPECT_EQ(messageOf("Construct Material m Construct Clearer c { Scene = m }"),
              "line 1: pointer must to component type 'LWS'");
    // A destructed instance is still found.
    const auto player = load("Construct Material m\n" + std::string(kTimer) +
                             "0:0:0 Destruct m\n0:1:0 Construct Object o { Object = \"o.lwo\" Material = m }");
    const auto* construct = dynamic_cast<const ConstructInstruction*>(player->instructions().back().get());
    ASSERT_NE(construct, nullptr);
    EXPECT_EQ(construct->otherVariables().at(0).readPointer(), player->instances()[0].get());
}

TEST_F(ScriptLoadTest, ValuesAreCheckedAgainstTheRealDeclarations)
{
    EXPECT_EQ(messageOf("Construct Writer2 w { Font = \"f.png\" MaxLines = 1 ref = CENTER }"),
              "line 1 component type Writer2: variable 'ref' type doesn't match component definition (should be Int)");
    EXPECT_EQ(messageOf("Construct Writer w { Font = \"f.png\" MaxLines = 1 ref = 1 }"),
              "line 1 component type Writer: variable 'ref' type doesn't match component definition "
              "(should be ReferencePoint)");
    EXPECT_EQ(messageOf("Construct LWS s { Scene = s }"),
              "line 1 component type LWS: variable 'Scene' type doesn't match component definition (should be String)");
    EXPECT_EQ(messageOf("Construct RenderTargetEnd e { MapName = \"x\" }"),
              "line 1: component type RenderTargetEnd doesn't have variable named 'MapName'");
}

// What `mirva check` must refuse because playing it would: counts that size memory,
// indexes against them, render targets the device can't have.
TEST_F(ScriptLoadTest, ValuesThatPlayingWouldRefuseStopTheLoadWithTheirLine)
{
    const std::string writer = "Construct Writer w { Font = \"f.png\" MaxLines = 2 }\n" + std::string(kTimer);
    const std::string target = "Construct RenderTargetBegin b { MapName = \"x\" ZBuffer = false Alpha = false ";
    const struct {
        std::string script, message;
    } cases[] = {
        {"Construct Writer w { Font = \"f.png\" MaxLines = 2000000000 }",
         "line 1 Construct w: MaxLines 2000000000 is outside 0 to 10000"},
        {"Construct Writer2 w { Font = \"f.png\" MaxLines = -1 }", "line 1 Construct w: MaxLines -1 is outside 0 to 10000"},
        {"Construct Writer2 w { Font = \"f.png\" l = 2147483647 MaxLines = 3 }",
         "line 1 Construct w: line index 2147483647 is not below MaxLines (3)"},
        {writer + "0:0:0 Set w { l = 2 txt = \"x\" }", "line 3 Set w: line index 2 is not below MaxLines (2)"},
        {writer + "0:0:0 SampleMessageBegin w { l = -1 }", "line 3 SampleMessageBegin w: line index -1 is below 0"},
        {target + "Width = -64 Height = 0 }", "line 1 Construct b: Width -64 is outside 1 to 16384"},
        {target + "Width = 64 Height = 2000000000 }", "line 1 Construct b: Height 2000000000 is outside 1 to 16384"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(messageOf(c.script), c.message);
    load(writer + "0:0:0 Set w { l = 1 txt = \"x\" }");  // the last line is fine
}

TEST_F(ScriptLoadTest, MessagesQuoteAtMostEightyCharactersOfAWord)
{
    const std::string word(100, 'b');
    EXPECT_EQ(messageOf("Construct Clearer c { " + word + " = 1 }"),
              "line 1: component type Clearer doesn't have variable named '" + std::string(80, 'b') + "...'");
    EXPECT_EQ(messageOf("Construct Clearer c " + word), "line 1 syntax error: '" + std::string(80, 'b') +
                                                            "...' found Constructs or Time or Song or AudioStream expected ");
}

TEST_F(ScriptLoadTest, IncludesThatCannotWorkSayWhy)
{
    EXPECT_EQ(messageOf("Construct Clearer c { ClearColor = include \"script.txt\" }"),
              "include recurses: 'script.txt' includes 'script.txt', which is the script itself");
    test::writeText("other.txt", "Construct Clearer d 3");
    EXPECT_EQ(messageOf("Construct Clearer c { ClearColor = include \"other.txt\" }"),
              "motion file 'other.txt': line 1 syntax error: '3' found LWMO expected ");
    test::writeText("huge.mot", std::string(kLargestScriptFile + 1, ' '));
    EXPECT_EQ(messageOf("Construct Clearer c { ClearColor = include \"huge.mot\" }"),
              "'huge.mot' is 16777217 bytes; a script or an included file may have at most 16777216");
}

}  // namespace
}  // namespace mirva
