// End to end, run as their own processes: `mirva inspect` on real files of every kind it
// knows, and its refusals; `mirva check` on scripts. The loaders' own messages for broken
// files and scripts are their tests' business; here a broken object and a broken script
// show that a loader's message ends the command.
#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tests/support/scene_text.h"
#include "tools/module_writer.h"
#include "tools/object_writer.h"

namespace mirva {
namespace {

class Commands : public testing::Test {
protected:
    // Runs `mirva ARGS` and expects the exit code and what it printed ('*' stands for any
    // text, such as the usage after a message).
    void expect(const std::vector<std::string>& args, int exitCode, const std::string& out, const std::string& err = "")
    {
        const auto result = test::runMirva(args, dir.path().string());
        EXPECT_EQ(std::pair(result.signal, result.exitCode), std::pair(0, exitCode))
            << args.back() << ": " << result.err;
        EXPECT_PRED2(test::matches, result.out, out);
        EXPECT_PRED2(test::matches, result.err, err);
    }
    test::TempDir dir;
};

TEST_F(Commands, InspectImagesGiveTheirSizeAndRawRgbaBytesTopRowFirst)
{
    // 1 x 2, 32 bit, bottom first: stored rows are (blue, alpha 128) then (red, alpha 40).
    test::writeFile(dir.file("pic.tga"),
                    {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 32, 8, 255, 0, 0, 128, 0, 0, 255, 40});
    expect({"inspect", "pic.tga", "--raw", "out.raw"}, 0, "image: pic.tga\nwidth: 1\nheight: 2\n");
    EXPECT_EQ(test::readFile(dir.file("out.raw")), (std::vector<std::uint8_t>{255, 0, 0, 40, 0, 0, 255, 128}));
    expect({"inspect", "pic.tga", "--raw", "no/such/folder/x.raw"}, 255, "image: pic.tga\nwidth: 1\nheight: 2\n",
           "mirva inspect: couldn't write 'no/such/folder/x.raw'\n");
}

TEST_F(Commands, InspectMotionFilesPrintTheTextAnIncludeInserts)
{
    test::writeText(dir.file("walk.mot"),
                    "LWMO\r\n3\r\n\r\nNumChannels 2\r\nChannel 0\r\n{ Envelope\r\n  2\r\n"
                    "  Key 0 0 0 0.5 0 0 0 0 0\r\n  Key 1.5 2 4 0 0 0 0 0 0\r\n  Behaviors 3 1\r\n}\r\n"
                    "Channel 1\r\n{ Envelope\r\n  1\r\n  Key -1 0 1 0 0 0 0.25 -0.75 0\r\n  Behaviors 1 4\r\n}\r\n");
    const std::string text = "\nKey 0.000000,0.000000,TCB,0.500000,0.000000,0.000000\nKey 2.000000,1.500000,STEPPED\n"
                             "OSCILLATE CONSTANT ,\n\nKey 0.000000,-1.000000,HERMITE,0.250000,-0.750000\n"
                             "CONSTANT OFFSETREPEAT ";
    expect({"inspect", "walk.mot"}, 0, text);
    test::writeText(dir.file("walk.motion"), "LWMO 3 NumChannels 0");  // known by its first word too
    expect({"inspect", "walk.motion"}, 0, "");
}

TEST_F(Commands, InspectModulesGiveFormatSizesAndLength)
{
    // 64 + 4 + 64 rows (a break after row 3 of the second order) of 0.12 s at speed 6, tempo 125.
    ModuleWriter mod(8);
    mod.setTitle("known rows");
    mod.addSample(ModuleWriter::squareWave(32));
    const int a = mod.addPattern(), b = mod.addPattern();
    mod.setCell(b, 3, 1, {.effect = 0xD});
    mod.setOrders({a, b, a});
    mod.write(dir.file("song.MOD"));
    expect({"inspect", "song.MOD"}, 0,
           "module: song.MOD\ntitle: known rows\nformat: mod (ProTracker MOD (8CHN))\nchannels: 8\norders: 3\n"
           "patterns: 2\ninstruments: 31\nsamples: 31\nlength: 3 orders, 15.84 seconds\n");
    test::writeText(dir.file("notes.xm"), "a text, not a module");
    expect({"inspect", "notes.xm"}, 255, "", "mirva inspect: 'notes.xm' is no MOD, XM, S3M or IT module\n");
}

TEST_F(Commands, InspectObjectsGivePointsTrianglesSurfacesAndMaps)
{
    ObjectWriter writer;
    writer.addSurface("Red", 1, 0, 0);
    writer.addSurface("Blue", 0, 0, 1);
    for (const auto& [x, y, z] : {std::tuple(0, 0, 0), {2, 0, 0}, {2, 1, 0}, {0, 1, 0}, {0, 0, -3}})
        writer.addPoint(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    writer.addPolygon({0, 1, 2, 3}, 1);
    writer.addPolygon({0, 3, 4}, 0);
    writer.addVertexMap("TXUV", "uv", 2, {{0, -1, {0, 0}}, {1, -1, {1, 0}}, {2, -1, {1, 1}}, {3, -1, {0, 1}}});
    writer.addPerPolygonMap("TXUV", "uv", 2, {{0, 1, {0.5f, 0.5f}}});
    writer.write(dir.file("thing.LWO"));
    expect({"inspect", "thing.LWO"}, 0,
           "object: thing.LWO\npoints: 5\nvertices: 6 (1 split by per-polygon maps)\ntriangles: 3\n"
           "bounds: 0 0 -3 .. 2 1 0\nradius: 3\nsurfaces: 2\n  0 'Red' colour 255 0 0 255 triangles 1\n"
           "  1 'Blue' colour 0 0 255 255 triangles 2\nvertex maps: 2\n  VMAP TXUV 'uv' dimension 2 entries 4\n"
           "  VMAD TXUV 'uv' dimension 2 entries 1\n");
    test::writeText(dir.file("text.lwo"), "hello, not an object");
    expect({"inspect", "text.lwo"}, 255, "", "not a valid IFF file\n");
}

TEST_F(Commands, InspectScenesGiveItemsWithParentsWorldMatricesAtATimeAndNamesAsAScriptWritesThem)
{
    // Base slides from x = 0 to 10 in one second; Arm sits at (0, 0, 1) on it. The names:
    // each object name once, in order of first use, counted; a name keeps its folder, its
    // letter case and its trailing blanks, as a script must write it.
    test::writeText(dir.file("set.lws"),
                    "LWSC\n3\n\nAddNullObject Base\nObjectMotion\n" +
                        test::motion({0, 0, 0, 0, 0, 0, 1, 1, 1}, {{0, {{{0, 0, 3}}, {{10, 1, 3}}}}}) +
                        "LoadObjectLayer 1 Objects/arm.lwo\nObjectMotion\n" + test::motion({0, 0, 1, 0, 0, 0, 1, 1, 1}) +
                        "ParentItem 10000000\nAddLight\nLightName Sun\nLightIntensity 0.5\nAddCamera\nCameraName Eye\n"
                        "ZoomFactor 2\nAmbientColor 1 1 1\nAmbientIntensity 0.1\nFogType 1\nFogMaxDistance 50\n"
                        "LoadObjectLayer 1 objects/star.lwo\nLoadObjectLayer 1 Objects/Big Ship.lwo \r\n"
                        "LoadObjectLayer 1 objects/star.lwo\nLoadObjectLayer 1 objects/Star.lwo\n"
                        "AddCamera\nCameraName Side\n");
    const std::string items = "object 10000000 'Base' parent none\n  world 1 0 0 | 0 1 0 | 0 0 1 | 2.5 0 0\n"
                              "object 10000001 'Objects/arm.lwo' parent 10000000 'Base'\n"
                              "  world 1 0 0 | 0 1 0 | 0 0 1 | 2.5 0 1\n";
    expect({"inspect", "set.lws", "--at", "0.25"}, 0,
           "scene: set.lws\ntime: 0.25 seconds\nframes: 0 to 0 at 30 per second\nambient: 255 255 255 intensity 0.1\n"
           "backdrop: 0 0 0\nfog: on 0 to 50 colour 0 0 0\nglobal light intensity: 1\n"
           "items: 6 objects, 1 lights, 2 cameras\n" + items +
               "*light 20000000 'Sun' parent none\n  world 1 0 0 | 0 1 0 | 0 0 1 | 0 0 0\n"
               "  type 0 colour 255 255 255 intensity 0.5\ncamera 30000000 'Eye' parent none\n"
               "  world 1 0 0 | 0 1 0 | 0 0 1 | 0 0 0\n  zoom 2\n*"
               "object name: \"Base\"\nobject name: \"Objects/arm.lwo\"\nobject name: \"objects/star.lwo\" (2 times)\n"
               "object name: \"Objects/Big Ship.lwo \"\nobject name: \"objects/Star.lwo\"\ncamera name: \"Eye\"\n"
               "camera name: \"Side\"\n");
    expect({"inspect", "set.lws"}, 0,
           "*'Objects/arm.lwo' parent 10000000 'Base'\n  world 1 0 0 | 0 1 0 | 0 0 1 | 0 0 1\n*");
}

// Checked before any file is read.
TEST_F(Commands, InspectUnknownFileKindsOptionsAndCommandsAreUsageErrors)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"inspect", "notes.doc"}, "don't know what kind of file 'notes.doc' is"},
        {{"inspect", "thing.lwo", "--at", "1"}, "unknown option '--at' for an object"},
        {{"inspect", "set.lws", "--at", "soon"}, "--at needs a time in seconds, not 'soon'"},
        {{"inspect", "set.lws", "--frame", "3"}, "unknown option '--frame' for a scene"},
    };
    for (const auto& [args, message] : cases)
        expect(args, 2, "", "mirva inspect: " + message + "\n*");
    expect({"frobnicate"}, 2, "", "mirva: unknown command 'frobnicate'\n*");
}

// A summary of a script that loads, with its time source as the source describes itself
// (the player's tests have each kind's description); the parameter reference of an Info script.
TEST_F(Commands, CheckSummarisesAScriptThatLoadsAndOthersEndInTheirMessage)
{
    test::writeText(dir.file("s.txt"), "Enum Layers { BACK FRONT }\nConstruct Clearer clear { Layer = BACK }\n"
                                       "Construct Writer text { Font = \"fonts/f.png\" MaxLines = 2 }\n"
                                       "Timer 2:0:0 130 1.5\n0:0:0 Begin clear\n"
                                       "1:0:0 Begin text { l = 0 txt = \"hi\" }\n");
    expect({"check", "s.txt"}, 0,
           "script: s.txt\ntime source: Timer, end 2:0:0, tempo 130, time multiplier 1.5\ninstances: 2\n"
           "instructions: 5\nuser enums: 1\n");
    test::writeText(dir.file("s.txt"), "Construct Clearer c\nTimer 5:0:0 120 1\n");
    expect({"check", "s.txt"}, 255, "", "line 2 syntax error: '1' found time multiplier expected \n");
    expect({"check"}, 2, "", "usage: mirva check SCRIPT\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("parameters.txt")));
    test::writeText(dir.file("s.txt"), "Info Timer 1:0:0 120 1.0");
    expect({"check", "s.txt"}, 0, "*wrote parameters.txt\n*");
    EXPECT_TRUE(std::filesystem::exists(dir.file("parameters.txt")));
}

}  // namespace
}  // namespace mirva
