// End to end: `mirva inspect` on LightWave objects and scenes.
#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tools/object_writer.h"

namespace mirva {
namespace {

using test::runMirva;

class InspectLightwaveTest : public testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(InspectLightwaveTest, ObjectPointsTrianglesSurfacesAndMaps)
{
    ObjectWriter writer;
    writer.addSurface("Red", 1, 0, 0);
    writer.addSurface("Blue", 0, 0, 1);
    writer.addPoint(0, 0, 0);
    writer.addPoint(2, 0, 0);
    writer.addPoint(2, 1, 0);
    writer.addPoint(0, 1, 0);
    writer.addPoint(0, 0, -3);
    writer.addPolygon({0, 1, 2, 3}, 1);
    writer.addPolygon({0, 3, 4}, 0);
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0, 0}}, {1, -1, {1, 0}}, {2, -1, {1, 1}}, {3, -1, {0, 1}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 1, {0.5f, 0.5f}}});
    writer.write(dir.file("thing.LWO"));
    const auto result = runMirva({"inspect", "thing.LWO"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "object: thing.LWO\n"
                          "points: 5\n"
                          "vertices: 6 (1 split by per-polygon maps)\n"
                          "triangles: 3\n"
                          "bounds: 0 0 -3 .. 2 1 0\n"
                          "radius: 3\n"
                          "surfaces: 2\n"
                          "  0 'Red' colour 255 0 0 255 triangles 1\n"
                          "  1 'Blue' colour 0 0 255 255 triangles 2\n"
                          "vertex maps: 2\n"
                          "  VMAP TXUV 'uv' dimension 2 entries 4\n"
                          "  VMAD TXUV 'uv' dimension 2 entries 1\n");
    EXPECT_EQ(result.err, "");
}

TEST_F(InspectLightwaveTest, SceneItemsWithParentsAndWorldMatricesAtATime)
{
    // Base slides from x = 0 to 10 in one second; Arm sits at (0, 0, 1) on it.
    auto envelope = [](const std::string& keys, int count) {
        return "{ Envelope\n  " + std::to_string(count) + "\n" + keys + "  Behaviors 1 1\n}\n";
    };
    const std::string still = envelope("  Key 0 0 0 0 0 0 0 0 0\n", 1);
    const std::string one = envelope("  Key 1 0 0 0 0 0 0 0 0\n", 1);
    std::string text = "LWSC\n3\n\nAddNullObject Base\nObjectMotion\nNumChannels 3\nChannel 0\n" +
                       envelope("  Key 0 0 3 0 0 0 0 0 0\n  Key 10 1 3 0 0 0 0 0 0\n", 2) + "Channel 1\n" + still +
                       "Channel 2\n" + still +
                       "LoadObjectLayer 1 Objects/arm.lwo\nObjectMotion\nNumChannels 3\nChannel 0\n" + still +
                       "Channel 1\n" + still + "Channel 2\n" + one + "ParentItem 10000000\n" +
                       "AddLight\nLightName Sun\nLightIntensity 0.5\nAddCamera\nCameraName Eye\nZoomFactor 2\n"
                       "AmbientColor 1 1 1\nAmbientIntensity 0.1\nFogType 1\nFogMaxDistance 50\n";
    test::writeText(dir.file("set.lws"), text);
    const auto result = runMirva({"inspect", "set.lws", "--at", "0.25"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "scene: set.lws\n"
                          "time: 0.25 seconds\n"
                          "frames: 0 to 0 at 30 per second\n"
                          "ambient: 255 255 255 intensity 0.1\n"
                          "backdrop: 0 0 0\n"
                          "fog: on 0 to 50 colour 0 0 0\n"
                          "global light intensity: 1\n"
                          "items: 2 objects, 1 lights, 1 cameras\n"
                          "object 10000000 'Base' parent none\n"
                          "  world 1 0 0 | 0 1 0 | 0 0 1 | 2.5 0 0\n"
                          "object 10000001 'Objects/arm.lwo' parent 10000000 'Base'\n"
                          "  world 1 0 0 | 0 1 0 | 0 0 1 | 2.5 0 1\n"
                          "light 20000000 'Sun' parent none\n"
                          "  world 1 0 0 | 0 1 0 | 0 0 1 | 0 0 0\n"
                          "  type 0 colour 255 255 255 intensity 0.5\n"
                          "camera 30000000 'Eye' parent none\n"
                          "  world 1 0 0 | 0 1 0 | 0 0 1 | 0 0 0\n"
                          "  zoom 2\n"
                          "object name: \"Base\"\n"
                          "object name: \"Objects/arm.lwo\"\n"
                          "camera name: \"Eye\"\n");

    const auto atZero = runMirva({"inspect", "set.lws"}, dir.path().string());
    EXPECT_NE(atZero.out.find("'Objects/arm.lwo' parent 10000000 'Base'\n  world 1 0 0 | 0 1 0 | 0 0 1 | 0 0 1\n"),
              std::string::npos);
}

TEST_F(InspectLightwaveTest, SceneNamesAsAScriptWritesThem)
{
    // Each object name once, in order of first use, counted; a name keeps its folder,
    // its letter case and its trailing blanks, as a script must write it.
    test::writeText(dir.file("names.lws"), "LWSC 3\n"
                                           "LoadObjectLayer 1 objects/star.lwo\n"
                                           "AddNullObject Pivot\n"
                                           "LoadObjectLayer 1 Objects/Big Ship.lwo \r\n"
                                           "LoadObjectLayer 1 objects/star.lwo\n"
                                           "LoadObjectLayer 1 objects/Star.lwo\n"
                                           "AddCamera\nCameraName Front\nAddCamera\nCameraName Side\n"
                                           "LoadObjectLayer 1 objects/star.lwo\n");
    const auto result = runMirva({"inspect", "names.lws"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::size_t summary = result.out.find("object name:");
    ASSERT_NE(summary, std::string::npos) << result.out;
    EXPECT_EQ(result.out.substr(summary), "object name: \"objects/star.lwo\" (3 times)\n"
                                          "object name: \"Pivot\"\n"
                                          "object name: \"Objects/Big Ship.lwo \"\n"
                                          "object name: \"objects/Star.lwo\"\n"
                                          "camera name: \"Front\"\n"
                                          "camera name: \"Side\"\n");
}

TEST_F(InspectLightwaveTest, BrokenFilesAndBadTimes)
{
    test::writeText(dir.file("text.lwo"), "hello, not an object");
    auto result = runMirva({"inspect", "text.lwo"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "not a valid IFF file\n");

    test::writeFile(dir.file("empty.lwo"), {});
    result = runMirva({"inspect", "empty.lwo"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "invalid IFF file 'empty.lwo': the file ends inside the FORM header (0 bytes)\n");

    test::writeText(dir.file("plain.lws"), "LWSC 3\nFogType 4\n");
    result = runMirva({"inspect", "plain.lws"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "UnsupportedFogType 'plain.lws'\n");

    test::writeText(dir.file("ok.lws"), "LWSC 3\n");
    result = runMirva({"inspect", "ok.lws", "--at", "soon"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("--at needs a time in seconds, not 'soon'"), std::string::npos);
    result = runMirva({"inspect", "ok.lws", "--frame", "3"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 2);
    result = runMirva({"inspect", "thing.lwo", "--at", "1"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 2);
}

}  // namespace
}  // namespace mirva
