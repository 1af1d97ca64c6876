// The scene loader on scenes written in the tests: items, hierarchy, envelopes, settings.
#include <array>
#include <cmath>
#include <tuple>

#include <gtest/gtest.h>

#include "lightwave/lw_scene.h"
#include "tests/support/fatal.h"
#include "tests/support/scene_text.h"

namespace mirva {
namespace {

LWScene parse(const std::string& body, const std::string& version = "3")
{
    return LWScene::Parse("f.lws", "LWSC\n" + version + "\n\n" + body);
}

using test::envelope;
using test::motion;

void expectRows(const Transformation& m, const std::vector<std::array<float, 3>>& rows)
{
    for (std::size_t r = 0; r < 4; ++r)
        for (std::size_t c = 0; c < 3; ++c)
            EXPECT_NEAR(m.m[r][c], rows[r][c], 1e-5f) << "row " << r << " column " << c;
}

// Base (a null) slides along x from 0 to 10 in the first second, turned a quarter turn
// (heading 90 degrees); Arm sits 1 along Base's z; Lamp sits 2 along Arm's y.
TEST(LwScene, ChildrenFollowTheirParentsAtEveryTimeAndParentLoopsDoNotHang)
{
    LWScene scene = parse("AddNullObject Base\nObjectMotion\n" +
                          motion({0, 0, 0, 1.5707964f, 0, 0, 1, 1, 1}, {{0, {{0, 0, 3}, {10, 1, 3}}}}) +
                          "LoadObjectLayer 1 Objects/arm.lwo\nObjectMotion\n" + motion({0, 0, 1, 0, 0, 0, 1, 1, 1}) +
                          "ParentItem 10000000\nAddLight\nLightName Lamp\nLightMotion\n" +
                          motion({0, 2, 0, 0, 0, 0, 1, 1, 1}) + "ParentItem 10000001\n");
    const SceneObject& base = scene.FindObject("Base");
    const SceneObject& arm = scene.FindObject("Objects/arm.lwo");
    const SceneLight& lamp = scene.lights()[0];
    // Heading 90: rows (0, 0, -1), (0, 1, 0), (1, 0, 0). Arm's (0, 0, 1) goes to Base's
    // z row (1, 0, 0); Lamp's (0, 2, 0) to twice Arm's y row. Local matrices stay the
    // item's own.
    for (const auto& [time, x] : {std::pair{0.0f, 0.0f}, {0.5f, 5.0f}, {1.0f, 10.0f}, {3.0f, 10.0f}}) {
        scene.Update(time);
        expectRows(base.world, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {x, 0, 0}});
        expectRows(arm.world, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {x + 1, 0, 0}});
        expectRows(lamp.world, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {x + 1, 2, 0}});
        expectRows(arm.local, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 1}});
    }

    // A and B name each other; C names no item. Each is placed by its own matrix.
    const LWScene loops =
        parse("AddNullObject A\nObjectMotion\n" + motion({1, 0, 0, 0, 0, 0, 1, 1, 1}) + "ParentItem 10000001\n" +
              "AddNullObject B\nObjectMotion\n" + motion({0, 2, 0, 0, 0, 0, 1, 1, 1}) + "ParentItem 10000000\n" +
              "AddNullObject C\nObjectMotion\n" + motion({0, 0, 3, 0, 0, 0, 1, 1, 1}) + "ParentItem 10000009\n");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loops.objects()[static_cast<std::size_t>(i)].world.m[3][i], static_cast<float>(i + 1)) << i;
    EXPECT_EQ(loops.item(0x10000009), nullptr);
}

TEST(LwScene, ObjectsAreNamedByTheRestOfTheirLine)
{
    const LWScene scene = parse("LoadObjectLayer 1 Objects/ship.lwo  \r\n"
                                "LoadObjectLayer 2   Objects/Big Ship.lwo\n"
                                "LoadObjectLayer 1 Objects/ship.lwo  \n"
                                "AddNullObject Pivot\nUnaffectedByFog 1\nUnseenByCamera 0\n");
    ASSERT_EQ(scene.objects().size(), 4u);
    EXPECT_EQ(scene.objects()[1].name, "Objects/Big Ship.lwo");
    EXPECT_EQ(scene.FindObject("Objects/ship.lwo  ", 1).id, 0x10000002);
    EXPECT_EQ(scene.FindObject("Objects/ship.lwo  ", 0).id, 0x10000000);
    EXPECT_TRUE(scene.objects()[3].unaffectedByFog && !scene.objects()[3].unseenByCamera);
    EXPECT_FATAL(scene.FindObject("Objects/ship.lwo"), "LW Scene doesn't contain object 'Objects/ship.lwo'");
    EXPECT_FATAL(scene.FindObject("Objects/ship.lwo  ", 2), "LW Scene doesn't contain object 'Objects/ship.lwo  '");
    EXPECT_FATAL(scene.FindCamera("Camera"), "LW Scene doesn't contain camera 'Camera'");

    // Scenes of version 4 and later write the item identifier before the name.
    const LWScene five = parse("LoadObjectLayer 1 10000000 Objects/ship.lwo\nAddNullObject 10000001 Pivot\n", "5");
    EXPECT_EQ(five.objects()[0].name + "|" + five.objects()[1].name, "Objects/ship.lwo|Pivot");
    EXPECT_EQ(parse("LoadObjectLayer 1 10000000 ship.lwo\n").objects()[0].name, "10000000 ship.lwo");
}

TEST(LwScene, CamerasAndWorldSettingsAndTheEnvelopesOfZoomAndGlobalLightIntensity)
{
    LWScene scene = parse("PreviewFirstFrame 5\nPreviewLastFrame 90\nFramesPerSecond 25\n"
                          "AmbientColor 1 0.5 0\nAmbientIntensity 0.25\nBackdropColor 0 0 1\n"
                          "FogType 1\nFogMinDist 2\nFogMaxDistance 20\nFogColor 0.25 0.25 0.25\nBackdropFog 1\n"
                          "AddCamera\nCameraName Eye\nZoomFactor 3.5\nTargetItem 10000000\n"
                          "AddCamera\nCameraName Zoom\nZoomFactor (envelope)\n" + envelope({{{1, 0, 3}}, {{3, 2, 3}}}) +
                          "GlobalLightIntensity (envelope)\n" + envelope({{{0, 0, 3}}, {{1, 4, 3}}}));
    const SceneCamera& eye = scene.FindCamera("Eye");
    EXPECT_EQ((std::vector<int>{scene.previewFirstFrame, scene.previewLastFrame, scene.framesPerSecond,
                                scene.fogEnabled, scene.backdropFog, eye.id, eye.target}),
              (std::vector<int>{5, 90, 25, true, true, 0x30000000, 0x10000000}));
    // Colours run 0..255.
    const float* c = scene.ambientColour;
    EXPECT_EQ((std::vector<float>{c[0], c[1], c[2], c[3], scene.ambientIntensity, scene.backdropColour[2],
                                  scene.fogMinDistance, scene.fogMaxDistance, scene.fogColour[1], eye.zoom}),
              (std::vector<float>{255, 127.5f, 0, 0, 0.25f, 255, 2, 20, 63.75f, 3.5f}));
    // Zoom and global light intensity follow their envelopes.
    const SceneCamera& zoom = scene.FindCamera("Zoom");
    EXPECT_EQ(std::pair(zoom.zoom, scene.globalLightIntensity), std::pair(1.0f, 0.0f));
    scene.Update(1.0f);
    EXPECT_EQ(std::pair(zoom.zoom, scene.globalLightIntensity), std::pair(2.0f, 0.25f));
}

TEST(LwScene, EveryLightBecomesAnEngineLight)
{
    const LWScene scene =
        parse("AddLight\nLightType 0\n"
              "AddLight\nLightType 1\nLightFalloffType 2\nLightRange 20\nLightColor 1 0.5 0\nLightIntensity 0.8\n"
              "AddLight\nLightType 1\nLightColor 0.25 0.5 1\nLightIntensity 2\n"
              "AddLight\nLightType 2\nLightFalloffType 2\nLightRange 12\nLightConeAngle 30\nLightEdgeAngle 5\n"
              "AddLight\nLightType 1\nLightFalloffType 2\n"
              "AddLight\nLightIntensity (envelope)\n" + envelope({{{0.5f, 0, 0}}, {{1.5f, 2, 0}}}));
    // A sun; a bulb whose colour (255, 127.5, 0) at intensity 0.8 is (204, 102, 0), whose
    // strength halves at once and falls with 10000 / 20 per unit of distance; a bright
    // light, (63.75, 127.5, 255) twice over clamped to bytes; a spot with an inner cone of
    // 30 - 5 degrees and an outer one of 30; a bulb without range, which would divide by
    // zero and doesn't fall off; and an animated intensity, which gives its value at
    // time 0. Expected: kind, colour (diffuse and specular alike), range, constant and
    // linear attenuation; never a quadratic one.
    const std::tuple<int, D3DCOLOR, float, float, float> expected[] = {
        {Light::DIRECTIONAL, 0xFFFFFFFF, 0, 1, 0}, {Light::POINT, 0xFFCC6600, 10000, 0.5f, 500},
        {Light::POINT, 0xFF80FFFF, 10000, 1, 0},   {Light::SPOT, 0xFFFFFFFF, 10000, 1, 0},
        {Light::POINT, 0xFFFFFFFF, 10000, 1, 0},   {Light::DIRECTIONAL, 0xFF808080, 0, 1, 0},
    };
    const std::vector<Light>& lights = scene.engineLights();
    ASSERT_EQ(lights.size(), std::size(expected));
    for (std::size_t i = 0; i < lights.size(); ++i) {
        const Light& l = lights[i];
        EXPECT_EQ(std::tuple(l.kind, l.diffuse, l.range, l.attenuation0, l.attenuation1), expected[i]) << i;
        EXPECT_TRUE(l.specular == l.diffuse && l.attenuation2 == 0.0f) << i;
    }
    EXPECT_NEAR(lights[3].theta, 0.43633231f, 1e-6f);
    EXPECT_NEAR(lights[3].phi, 0.52359878f, 1e-6f);
}

TEST(LwScene, KeysTakeTheirParametersByShape)
{
    // The six key parameters: TCB keys take the first three, Hermite and Bezier keys the
    // fourth and fifth (incoming, outgoing), 2D Bezier keys the first four.
    const LWScene scene = parse("AddNullObject Pivot\nObjectMotion\nNumChannels 4\nChannel 0\n{ Envelope\n  3\n"
                                "  Key 1 0 0 0.5 -0.5 0.25 9 9 0\n"
                                "  Key 2 1 1 9 9 9 0.75 -0.75 0\n"
                                "  Key 3 2 5 -0.2 0.1 0.3 0.4 9 0\n"
                                "  Behaviors 0 4\n}\nChannel 1\n" + envelope({{{0, 0, 0}}}) + "Channel 2\n" +
                                envelope({{{0, 0, 0}}}) +
                                "Channel 3\n{ Envelope\n  0\n  Key 1.5707964 0 0 0 0 0 0.5 0 0\n  Behaviors 1 1\n}\n");
    const Motion& m = *scene.objects()[0].motion;
    ASSERT_EQ(m.channelCount(), 4);
    Envelope expected;   // keys {time, value, shape, p0, p1, p2, p3}
    expected.keys() = {{0, 1, KeyType::TCB, 0.5f, -0.5f, 0.25f}, {1, 2, KeyType::HERMITE, 0.75f, -0.75f},
                       {2, 3, KeyType::BEZIER2D, -0.2f, 0.1f, 0.3f, 0.4f}};
    expected.setBehaviors(Behavior::RESET, Behavior::OFFSETREPEAT);
    for (float t = -1.0f; t < 5.0f; t += 0.125f)
        EXPECT_EQ(m.envelope(0)->Evaluate(t), expected.Evaluate(t)) << t;
    // A key count of 0 still reads one key; rotations turn from radians into degrees.
    ASSERT_EQ(m.envelope(3)->keys().size(), 1u);
    EXPECT_NEAR(m.envelope(3)->keys()[0].value, 90.0f, 1e-4f);
}

TEST(LwScene, ControllersAndLookAheadDriveTheirOwnChannels)
{
    // Keyed heading 10, pitch 20, bank 30 degrees. X stays 0 until 1 and then rises; Y
    // and Z rise throughout: from 0.75 the default look-ahead sees no X move (heading 0,
    // pitch -45), one of 0.5 does (dx 0.25, dy = dz = 0.5).
    const std::string object = "AddNullObject A\nObjectMotion\n" +
                               motion({0, 0, 0, 0.17453292f, 0.34906584f, 0.52359878f, 1, 1, 1},
                                      {{0, {{0, 0, 3}, {0, 1, 3}, {1, 2, 3}}}, {1, {{0, 0, 3}, {2, 2, 3}}},
                                       {2, {{0, 0, 3}, {2, 2, 3}}}});
    const struct {
        const char* lines;
        float heading, pitch, bank;
    } cases[] = {
        {"", 10, 20, 30},
        {"HController 1\n", 270, 20, 30},   // aimed along (0, 0, 0)
        {"HController 2\n", 0, 20, 30},
        {"HController 2\nPathAlignLookAhead 0.5\n", 26.56505f, 20, 30},
        {"PController 2\n", 10, -45, 30},
        {"PController 2\nPathAlignLookAhead 0.5\n", 10, -41.810315f, 30},
        {"BController 1\n", 10, 20, -270},
        {"HController 0\nPController 0\nBController 0\n", 10, 20, 30},
    };
    for (const auto& c : cases) {
        const LWScene scene = parse(object + c.lines);
        const Motion& m = *scene.objects()[0].motion;
        const float found[] = {m.ChannelValue(3, 0.75f), m.ChannelValue(4, 0.75f), m.ChannelValue(5, 0.75f)};
        EXPECT_TRUE(std::fabs(found[0] - c.heading) < 1e-3f && std::fabs(found[1] - c.pitch) < 1e-3f &&
                    std::fabs(found[2] - c.bank) < 1e-3f)
            << c.lines << ": " << found[0] << " " << found[1] << " " << found[2];
    }
}

TEST(LwScene, BrokenScenesEndWithTheirMessages)
{
    const std::string camera = "AddCamera\nZoomFactor (envelope)\n{ Envelope\n ";
    const std::string key = camera + "1\n Key 1 0 0 0 0 0 0 0 0\n Behaviors ";
    const std::pair<std::string, std::string> cases[] = {
        {"FogType 2\n", "UnsupportedFogType 'f.lws'"},
        {"AddLight\nLightFalloffType 0\n", "UnsupportedLightFalloffType 'f.lws'"},
        {"AddLight\nLightFalloffType 3\n", "UnsupportedLightFalloffType 'f.lws'"},
        {"AddLight\nLightType 3\n", "UnsupportedLightType 'f.lws'"},
        {"ObjectMotion\n" + motion({0, 0, 0, 0, 0, 0, 1, 1, 1}), "BrokenScene 'f.lws'"},
        {"AddCamera\nObjectMotion\n", "BrokenScene 'f.lws'"},
        {"ParentItem 10000000\n", "BrokenScene 'f.lws'"},
        {"LightName Lamp\n", "BrokenScene 'f.lws'"},
        {"AddNullObject A\nHController 3\n", "UnsupportedMotionControllerType f.lws 3"},
        {"AddNullObject A\nObjectMotion\nChannels 9\n", "BrokenSceneFile 'f.lws'"},
        {"AddNullObject A\nObjectMotion\nNumChannels 2\nChannel 1\n", "BrokenSceneFile 'f.lws'"},
        {"AddNullObject A\nObjectMotion\nNumChannels 12\n", "BrokenSceneFile 'f.lws'"},
        {"AddCamera\nZoomFactor (envelope)\n{ Curve\n", "BrokenEnvelope f.lws"},
        {camera + "0\n Behaviors 1 1\n}\n", "BrokenEnvelope f.lws"},
        {camera + "1\n Key 1 0 6 0 0 0 0 0 0\n Behaviors 1 1\n}\n", "UnsupportedKeyType  f.lws"},
        {key + "6 1\n}\n", "UnsupportedPreBehavior f.lws"},
        {key + "1 -1\n}\n", "UnsupportedPostBehavior f.lws"},
        {key + "1 1\n  { Expression\n}\n}\n", "Envelope: expressions are not supported"},
        {key + "1 1\n x }\n", "BrokenEnvelope f.lws"},
        {key + "1 1\n", "BrokenEnvelope f.lws"},
        {camera + "2000000000\n Key 1 0 0 0 0 0 0 0 0\n", "BrokenEnvelope f.lws"},
        // Values that are not numbers are named with their line.
        {"\nAddLight\nLightIntensity bright\n",
         "LWS scene 'f.lws' line 6: a number or (envelope) expected after LightIntensity, found 'bright'"},
        {"FramesPerSecond 2.5\n", "LWS scene 'f.lws' line 4: an integer expected after FramesPerSecond, found '2.5'"},
        {"AddNullObject A\nParentItem 1\n",
         "LWS scene 'f.lws' line 5: an item identifier expected after ParentItem, found '1'"},
        {"AmbientColor 1 1", "LWS scene 'f.lws' line 4: a number expected after AmbientColor, found 'end of file'"},
    };
    for (const auto& [body, message] : cases)
        EXPECT_EQ(test::fatalMessage([&] { parse(body); }), message) << body;
    EXPECT_FATAL(LWScene::Parse("f.lws", "LWMO 3\n"), "NotLWScene 'f.lws'");
    EXPECT_FATAL(LWScene::Parse("f.lws", ""), "NotLWScene 'f.lws'");
}

}  // namespace
}  // namespace mirva
