// The scene loader on scenes written in the tests: items, hierarchy, envelopes, settings.
#include <cmath>

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

std::string failure(const std::string& body, const std::string& version = "3")
{
    return test::fatalMessage([&] { parse(body, version); });
}

using test::envelope;
using test::motion;

constexpr float kQuarterTurn = 1.5707964f;

void expectRow(const Transformation& m, int row, float x, float y, float z)
{
    EXPECT_NEAR(m.m[row][0], x, 1e-5f) << "row " << row;
    EXPECT_NEAR(m.m[row][1], y, 1e-5f) << "row " << row;
    EXPECT_NEAR(m.m[row][2], z, 1e-5f) << "row " << row;
}

// Base (a null) slides along x from 0 to 10 in the first second, turned a quarter turn
// (heading 90 degrees); Arm sits 1 along Base's z; Lamp sits 2 along Arm's y.
std::string family()
{
    std::string channelX = "Channel 0\n" + envelope({{{0, 0, 3}}, {{10, 1, 3}}});
    std::string base = motion({0, 0, 0, kQuarterTurn, 0, 0, 1, 1, 1});
    base.replace(base.find("Channel 0"), base.find("Channel 1") - base.find("Channel 0"), channelX);
    return "AddNullObject Base\nObjectMotion\n" + base +
           "LoadObjectLayer 1 Objects/arm.lwo\nObjectMotion\n" + motion({0, 0, 1, 0, 0, 0, 1, 1, 1}) +
           "ParentItem 10000000\n"
           "AddLight\nLightName Lamp\nLightMotion\n" + motion({0, 2, 0, 0, 0, 0, 1, 1, 1}) + "ParentItem 10000001\n";
}

TEST(LwScene, ChildrenFollowTheirParentsAtEveryTime)
{
    LWScene scene = parse(family());
    const SceneObject& base = scene.FindObject("Base");
    const SceneObject& arm = scene.FindObject("Objects/arm.lwo");
    const SceneLight& lamp = scene.lights()[0];
    EXPECT_EQ(arm.parent, 0x10000000);
    EXPECT_EQ(base.children, (std::set<std::int32_t>{0x10000001}));
    EXPECT_EQ(arm.children, (std::set<std::int32_t>{0x20000000}));

    // Heading 90: rows (0, 0, -1), (0, 1, 0), (1, 0, 0). Arm's (0, 0, 1) goes to Base's
    // z row (1, 0, 0); Lamp's (0, 2, 0) to twice Arm's y row.
    const struct {
        float time, x;
    } moments[] = {{0.0f, 0.0f}, {0.5f, 5.0f}, {1.0f, 10.0f}, {3.0f, 10.0f}};
    for (const auto& moment : moments) {
        scene.Update(moment.time);
        expectRow(base.world, 0, 0, 0, -1);
        expectRow(base.world, 2, 1, 0, 0);
        expectRow(base.world, 3, moment.x, 0, 0);
        expectRow(arm.world, 0, 0, 0, -1);
        expectRow(arm.world, 3, moment.x + 1, 0, 0);
        expectRow(lamp.world, 1, 0, 1, 0);
        expectRow(lamp.world, 3, moment.x + 1, 2, 0);
        // Local matrices stay the item's own.
        expectRow(arm.local, 3, 0, 0, 1);
    }
}

TEST(LwScene, ParentLoopsAndMissingParentsDoNotHang)
{
    const std::string body = "AddNullObject A\nObjectMotion\n" + motion({1, 0, 0, 0, 0, 0, 1, 1, 1}) +
                             "ParentItem 10000001\nAddNullObject B\nObjectMotion\n" +
                             motion({0, 2, 0, 0, 0, 0, 1, 1, 1}) +
                             "ParentItem 10000000\nAddNullObject C\nObjectMotion\n" +
                             motion({0, 0, 3, 0, 0, 0, 1, 1, 1}) + "ParentItem 10000009\n";
    const LWScene scene = parse(body);
    // A and B name each other; C names no item. Each is placed by its own matrix.
    expectRow(scene.objects()[0].world, 3, 1, 0, 0);
    expectRow(scene.objects()[1].world, 3, 0, 2, 0);
    expectRow(scene.objects()[2].world, 3, 0, 0, 3);
    EXPECT_EQ(scene.item(0x10000009), nullptr);
}

TEST(LwScene, ObjectsAreNamedByTheRestOfTheirLine)
{
    const LWScene scene = parse("LoadObjectLayer 1 Objects/ship.lwo  \r\n"
                                "LoadObjectLayer 2   Objects/Big Ship.lwo\n"
                                "LoadObjectLayer 1 Objects/ship.lwo  \n"
                                "AddNullObject Pivot\nUnaffectedByFog 1\nUnseenByCamera 0\n");
    ASSERT_EQ(scene.objects().size(), 4u);
    EXPECT_EQ(scene.objects()[0].name, "Objects/ship.lwo  ");
    EXPECT_EQ(scene.objects()[1].name, "Objects/Big Ship.lwo");
    EXPECT_EQ(scene.CountObjects("Objects/ship.lwo  "), 2);
    EXPECT_EQ(scene.FindObject("Objects/ship.lwo  ", 1).id, 0x10000002);
    EXPECT_EQ(scene.FindObject("Objects/ship.lwo  ", 0).id, 0x10000000);
    EXPECT_TRUE(scene.objects()[3].unaffectedByFog);
    EXPECT_FALSE(scene.objects()[3].unseenByCamera);
    EXPECT_EQ(scene.objects()[3].motion, nullptr);
    EXPECT_FATAL(scene.FindObject("Objects/ship.lwo"), "LW Scene doesn't contain object 'Objects/ship.lwo'");
    EXPECT_FATAL(scene.FindObject("Objects/ship.lwo  ", 2), "LW Scene doesn't contain object 'Objects/ship.lwo  '");
    EXPECT_FATAL(scene.FindCamera("Camera"), "LW Scene doesn't contain camera 'Camera'");
}

TEST(LwScene, NewerScenesWriteTheItemIdentifierBeforeTheName)
{
    const LWScene five = parse("LoadObjectLayer 1 10000000 Objects/ship.lwo\nAddNullObject 10000001 Pivot\n", "5");
    EXPECT_EQ(five.objects()[0].name, "Objects/ship.lwo");
    EXPECT_EQ(five.objects()[1].name, "Pivot");
    const LWScene three = parse("LoadObjectLayer 1 10000000 ship.lwo\n", "3");
    EXPECT_EQ(three.objects()[0].name, "10000000 ship.lwo");
}

TEST(LwScene, CamerasLightsAndWorldSettings)
{
    const LWScene scene = parse("PreviewFirstFrame 5\nPreviewLastFrame 90\nFramesPerSecond 25\n"
                                "AmbientColor 1 0.5 0\nAmbientIntensity 0.25\nBackdropColor 0 0 1\n"
                                "FogType 1\nFogMinDist 2\nFogMaxDistance 20\nFogColor 0.2 0.2 0.2\nBackdropFog 1\n"
                                "AddCamera\nCameraName Eye\nZoomFactor 3.2\nTargetItem 10000000\n"
                                "AddLight\nLightName Spot\nLightColor 1 0.5 0.25\nLightIntensity 0.8\n"
                                "LightType 2\nLightFalloffType 2\nLightRange 12\nLightConeAngle 30\nLightEdgeAngle 5\n"
                                "AddLight\nLightName Soft\nLightIntensity (envelope)\n" +
                                envelope({{{0.5f, 0, 0}}, {{1.5f, 2, 0}}}));
    EXPECT_EQ(scene.previewFirstFrame, 5);
    EXPECT_EQ(scene.previewLastFrame, 90);
    EXPECT_EQ(scene.framesPerSecond, 25);
    EXPECT_EQ((std::vector<float>(scene.ambientColour, scene.ambientColour + 4)),
              (std::vector<float>{255, 127.5f, 0, 0}));
    EXPECT_FLOAT_EQ(scene.ambientIntensity, 0.25f);
    EXPECT_FLOAT_EQ(scene.backdropColour[2], 255.0f);
    EXPECT_TRUE(scene.fogEnabled);
    EXPECT_TRUE(scene.backdropFog);
    EXPECT_FLOAT_EQ(scene.fogMinDistance, 2.0f);
    EXPECT_FLOAT_EQ(scene.fogMaxDistance, 20.0f);
    EXPECT_FLOAT_EQ(scene.fogColour[1], 51.0f);

    const SceneCamera& eye = scene.FindCamera("Eye");
    EXPECT_EQ(eye.id, 0x30000000);
    EXPECT_FLOAT_EQ(eye.zoom, 3.2f);
    EXPECT_EQ(eye.target, 0x10000000);

    const SceneLight& spot = scene.lights()[0];
    EXPECT_EQ(spot.name, "Spot");
    EXPECT_EQ((std::vector<float>(spot.colour, spot.colour + 3)), (std::vector<float>{255, 127.5f, 63.75f}));
    EXPECT_FLOAT_EQ(spot.intensity, 0.8f);
    EXPECT_EQ(spot.type, 2);
    EXPECT_EQ(spot.falloff, 2);
    EXPECT_FLOAT_EQ(spot.range, 12.0f);
    EXPECT_FLOAT_EQ(spot.coneAngle, 30.0f);
    EXPECT_FLOAT_EQ(spot.edgeAngle, 5.0f);
    // An animated light intensity gives its value at time 0.
    EXPECT_FLOAT_EQ(scene.lights()[1].intensity, 0.5f);
}

TEST(LwScene, EveryLightBecomesAnEngineLight)
{
    const LWScene scene = parse("AddLight\nLightName Sun\nLightType 0\n"
                                "AddLight\nLightName Bulb\nLightType 1\nLightFalloffType 2\nLightRange 20\n"
                                "LightColor 1 0.5 0\nLightIntensity 0.8\n"
                                "AddLight\nLightName Bright\nLightType 1\nLightColor 0.25 0.5 1\nLightIntensity 2\n"
                                "AddLight\nLightName Spot\nLightType 2\nLightFalloffType 2\nLightRange 12\n"
                                "LightConeAngle 30\nLightEdgeAngle 5\n"
                                "AddLight\nLightName Unranged\nLightType 1\nLightFalloffType 2\n");
    const std::vector<Light>& lights = scene.engineLights();
    ASSERT_EQ(lights.size(), 5u);

    const Light& sun = lights[0];
    EXPECT_EQ(sun.kind, Light::DIRECTIONAL);
    EXPECT_EQ(sun.diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(sun.range, 0.0f);

    // Colour (255, 127.5, 0) at intensity 0.8: (204, 102, 0). Strength halves at once
    // and then falls with 10000 / 20 per unit of distance.
    const Light& bulb = lights[1];
    EXPECT_EQ(bulb.kind, Light::POINT);
    EXPECT_EQ(bulb.diffuse, 0xFFCC6600u);
    EXPECT_EQ(bulb.specular, 0xFFCC6600u);
    EXPECT_EQ(bulb.range, 10000.0f);
    EXPECT_FLOAT_EQ(bulb.attenuation0, 0.5f);
    EXPECT_FLOAT_EQ(bulb.attenuation1, 500.0f);
    EXPECT_FLOAT_EQ(bulb.attenuation2, 0.0f);

    // (63.75, 127.5, 255) twice over is clamped to bytes; no falloff: (1, 0, 0).
    const Light& bright = lights[2];
    EXPECT_EQ(bright.diffuse, 0xFF80FFFFu);
    EXPECT_EQ(bright.attenuation0, 1.0f);
    EXPECT_EQ(bright.attenuation1, 0.0f);

    // Inner cone 30 - 5 = 25 degrees, outer 30 degrees, no falloff with distance.
    const Light& spot = lights[3];
    EXPECT_EQ(spot.kind, Light::SPOT);
    EXPECT_EQ(spot.range, 10000.0f);
    EXPECT_NEAR(spot.theta, 0.43633231f, 1e-6f);
    EXPECT_NEAR(spot.phi, 0.52359878f, 1e-6f);
    EXPECT_EQ(spot.attenuation0, 1.0f);
    EXPECT_EQ(spot.attenuation1, 0.0f);

    // Falloff over a range of 0 would divide by zero: such a light doesn't fall off.
    const Light& unranged = lights[4];
    EXPECT_EQ(unranged.attenuation0, 1.0f);
    EXPECT_EQ(unranged.attenuation1, 0.0f);
    EXPECT_EQ(unranged.diffuse, 0xFFFFFFFFu);
}

TEST(LwScene, ZoomAndGlobalLightIntensityFollowTheirEnvelopes)
{
    LWScene scene = parse("AddCamera\nCameraName Eye\nZoomFactor (envelope)\n" +
                          envelope({{{1, 0, 3}}, {{3, 2, 3}}}) + "GlobalLightIntensity (envelope)\n" +
                          envelope({{{0, 0, 3}}, {{1, 4, 3}}}));
    EXPECT_FLOAT_EQ(scene.cameras()[0].zoom, 1.0f);
    EXPECT_FLOAT_EQ(scene.globalLightIntensity, 0.0f);
    scene.Update(1.0f);
    EXPECT_FLOAT_EQ(scene.cameras()[0].zoom, 2.0f);
    EXPECT_FLOAT_EQ(scene.globalLightIntensity, 0.25f);
    ASSERT_NE(scene.globalLightEnvelope(), nullptr);

    const LWScene plain = parse("GlobalLightIntensity 0.7\n");
    EXPECT_FLOAT_EQ(plain.globalLightIntensity, 0.7f);
    EXPECT_FLOAT_EQ(parse("").globalLightIntensity, 1.0f);
}

TEST(LwScene, KeysTakeTheirParametersByShape)
{
    const std::string channels =
        "NumChannels 4\n"
        "Channel 0\n{ Envelope\n  3\n"
        "  Key 1 0 0 0.5 -0.5 0.25 9 9 0\n"      // TCB: tension, continuity, bias
        "  Key 2 1 1 9 9 9 0.75 -0.75 0\n"       // Hermite: incoming, outgoing
        "  Key 3 2 5 -0.2 0.1 0.3 0.4 9 0\n"     // 2D Bezier: the four handle offsets
        "  Behaviors 0 4\n}\n"
        "Channel 1\n" + envelope({{{0, 0, 0}}}) +
        "Channel 2\n" + envelope({{{0, 0, 0}}}) +
        "Channel 3\n{ Envelope\n  0\n  Key 1.5707964 0 0 0 0 0 0.5 0 0\n  Behaviors 1 1\n}\n";
    const LWScene scene = parse("AddNullObject Pivot\nObjectMotion\n" + channels);
    const Motion& m = *scene.objects()[0].motion;
    ASSERT_EQ(m.channelCount(), 4);
    const std::vector<Key>& keys = m.envelope(0)->keys();
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ((std::vector<float>{keys[0].p0, keys[0].p1, keys[0].p2, keys[0].p3}),
              (std::vector<float>{0.5f, -0.5f, 0.25f, 0}));
    EXPECT_EQ((std::vector<float>{keys[1].p0, keys[1].p1, keys[1].p2, keys[1].p3}),
              (std::vector<float>{0.75f, -0.75f, 0, 0}));
    EXPECT_EQ((std::vector<float>{keys[2].p0, keys[2].p1, keys[2].p2, keys[2].p3}),
              (std::vector<float>{-0.2f, 0.1f, 0.3f, 0.4f}));
    EXPECT_EQ(keys[2].shape, KeyType::BEZIER2D);
    EXPECT_EQ(m.envelope(0)->preBehavior(), Behavior::RESET);
    EXPECT_EQ(m.envelope(0)->postBehavior(), Behavior::OFFSETREPEAT);
    // A key count of 0 still reads one key; rotation values turn into degrees, their
    // tangents don't.
    ASSERT_EQ(m.envelope(3)->keys().size(), 1u);
    EXPECT_NEAR(m.envelope(3)->keys()[0].value, 90.0f, 1e-4f);
}

TEST(LwScene, LimitsControllersAndLookAhead)
{
    const LWScene scene = parse("AddNullObject Pivot\nObjectMotion\n" + motion({0, 0, 0, 0, 0, 0, 1, 1, 1}) +
                                "HLimits -90 90\nPController 2\nBController 1\nPathAlignLookAhead 0.5\n");
    const Motion& m = *scene.objects()[0].motion;
    EXPECT_TRUE(m.limitsGiven(3));
    EXPECT_NEAR(m.limitLow(3), -1.5707964f, 1e-6f);
    EXPECT_NEAR(m.limitHigh(3), 1.5707964f, 1e-6f);
    EXPECT_FALSE(m.limitsGiven(4));
    // The target controller with no direction gives pitch -270.
    EXPECT_FLOAT_EQ(m.ChannelValue(5, 0), -270.0f);
}

TEST(LwScene, BrokenScenesEndWithTheirMessages)
{
    EXPECT_FATAL(LWScene::Parse("f.lws", "LWMO 3\n"), "NotLWScene 'f.lws'");
    EXPECT_FATAL(LWScene::Parse("f.lws", ""), "NotLWScene 'f.lws'");
    EXPECT_EQ(failure("FogType 2\n"), "UnsupportedFogType 'f.lws'");
    EXPECT_EQ(failure("AddLight\nLightFalloffType 0\n"), "UnsupportedLightFalloffType 'f.lws'");
    EXPECT_EQ(failure("AddLight\nLightFalloffType 3\n"), "UnsupportedLightFalloffType 'f.lws'");
    EXPECT_EQ(failure("AddLight\nLightType 3\n"), "UnsupportedLightType 'f.lws'");
    EXPECT_EQ(failure("ObjectMotion\n" + motion({0, 0, 0, 0, 0, 0, 1, 1, 1})), "BrokenScene 'f.lws'");
    EXPECT_EQ(failure("AddCamera\nObjectMotion\n"), "BrokenScene 'f.lws'");
    EXPECT_EQ(failure("ParentItem 10000000\n"), "BrokenScene 'f.lws'");
    EXPECT_EQ(failure("TargetItem 10000000\n"), "BrokenScene 'f.lws'");
    EXPECT_EQ(failure("LightName Lamp\n"), "BrokenScene 'f.lws'");
    EXPECT_EQ(failure("AddNullObject A\nHController 3\n"), "UnsupportedMotionControllerType f.lws 3");
    EXPECT_EQ(failure("AddNullObject A\nObjectMotion\nChannels 9\n"), "BrokenSceneFile 'f.lws'");
    EXPECT_EQ(failure("AddNullObject A\nObjectMotion\nNumChannels 2\nChannel 1\n"), "BrokenSceneFile 'f.lws'");
    EXPECT_EQ(failure("AddNullObject A\nObjectMotion\nNumChannels 12\n"), "BrokenSceneFile 'f.lws'");
}

TEST(LwScene, BrokenEnvelopesEndWithTheirMessages)
{
    const std::string camera = "AddCamera\nZoomFactor (envelope)\n";
    EXPECT_EQ(failure(camera + "{ Curve\n"), "BrokenEnvelope f.lws");
    EXPECT_EQ(failure(camera + "{ Envelope\n 0\n Behaviors 1 1\n}\n"), "BrokenEnvelope f.lws");
    EXPECT_EQ(failure(camera + "{ Envelope\n 1\n Key 1 0 6 0 0 0 0 0 0\n Behaviors 1 1\n}\n"),
              "UnsupportedKeyType  f.lws");
    EXPECT_EQ(failure(camera + "{ Envelope\n 1\n Key 1 0 0 0 0 0 0 0 0\n Behaviors 6 1\n}\n"),
              "UnsupportedPreBehavior f.lws");
    EXPECT_EQ(failure(camera + "{ Envelope\n 1\n Key 1 0 0 0 0 0 0 0 0\n Behaviors 1 -1\n}\n"),
              "UnsupportedPostBehavior f.lws");
    EXPECT_EQ(failure(camera + "{ Envelope\n 1\n Key 1 0 0 0 0 0 0 0 0\n Behaviors 1 1\n  { Expression\n}\n}\n"),
              "Envelope: expressions are not supported");
    EXPECT_EQ(failure(camera + "{ Envelope\n 1\n Key 1 0 0 0 0 0 0 0 0\n Behaviors 1 1\n x }\n"),
              "BrokenEnvelope f.lws");
    EXPECT_EQ(failure(camera + "{ Envelope\n 1\n Key 1 0 0 0 0 0 0 0 0\n Behaviors 1 1\n"), "BrokenEnvelope f.lws");
    EXPECT_EQ(failure(camera + "{ Envelope\n 2000000000\n Key 1 0 0 0 0 0 0 0 0\n"), "BrokenEnvelope f.lws");
}

TEST(LwScene, ValuesThatAreNotNumbersAreNamedWithTheirLine)
{
    EXPECT_EQ(failure("\nAddLight\nLightIntensity bright\n"),
              "LWS scene 'f.lws' line 6: a number or (envelope) expected after LightIntensity, found 'bright'");
    EXPECT_EQ(failure("FramesPerSecond 2.5\n"),
              "LWS scene 'f.lws' line 4: an integer expected after FramesPerSecond, found '2.5'");
    EXPECT_EQ(failure("AddNullObject A\nParentItem 1\n"),
              "LWS scene 'f.lws' line 5: an item identifier expected after ParentItem, found '1'");
    EXPECT_EQ(failure("AmbientColor 1 1"),
              "LWS scene 'f.lws' line 4: a number expected after AmbientColor, found 'end of file'");
}

TEST(LwScene, LoadReadsTheFile)
{
    const std::string path = testing::TempDir() + "/mirva_scene.lws";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string text = "LWSC\n3\n\nAddCamera\nCameraName Eye\n";
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    const LWScene scene = LWScene::Load(path);
    EXPECT_EQ(scene.name(), path);
    EXPECT_EQ(scene.FindCamera("Eye").name, "Eye");
    EXPECT_FATAL(LWScene::Load(path + "x"), "Phile::load - couldn't open file '" + path + "x'");
}

}  // namespace
}  // namespace mirva
