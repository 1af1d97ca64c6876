// End to end: the `mirva inspect` command on real files, run as its own process.
#include <png.h>

#include <gtest/gtest.h>

#include "script/include_pass.h"
#include "tests/support/files.h"
#include "tests/support/png_writer.h"
#include "tests/support/run.h"
#include "tools/module_writer.h"

namespace mirva {
namespace {

using test::runMirva;

class InspectTest : public testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(InspectTest, PngSizeAndRawRgbaBytes)
{
    test::PngSpec desc{.width = 3, .height = 2, .colorType = PNG_COLOR_TYPE_RGB_ALPHA};
    desc.samples = {1, 2, 3, 4, 10, 20, 30, 40, 255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 9, 9, 9, 9};
    test::writePng(dir.file("pic.png"), desc);
    const auto result = runMirva({"inspect", "pic.png", "--raw", "pic.rgba"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "image: pic.png\nwidth: 3\nheight: 2\n");
    const std::vector<std::uint8_t> expected(desc.samples.begin(), desc.samples.end());
    EXPECT_EQ(test::readFile(dir.file("pic.rgba")), expected);
}

TEST_F(InspectTest, TgaRawBytesAreTopRowFirstRgba)
{
    // 1 x 2, 24 bit, bottom first: stored rows are (blue) then (red).
    test::writeFile(dir.file("pic.tga"), {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0, 24, 0,
                                          255, 0, 0, 0, 0, 255});
    const auto result = runMirva({"inspect", "pic.tga", "--raw", "out.raw"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(test::readFile(dir.file("out.raw")), (std::vector<std::uint8_t>{255, 0, 0, 255, 0, 0, 255, 255}));
}

TEST_F(InspectTest, BrokenFilesExitWith255AndTheMessage)
{
    test::writeFile(dir.file("short.tga"), {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 8, 0, 32, 0, 1, 2, 3});
    auto result = runMirva({"inspect", "short.tga"}, dir.path().string());
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "Surface: truncated targa file 'short.tga'\n");

    test::writeFile(dir.file("short.png"), {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H'});
    result = runMirva({"inspect", "short.png"}, dir.path().string());
    EXPECT_EQ(result.signal, 0);
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "couldn't load 'short.png'\n");

    result = runMirva({"inspect", "missing.tga"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "Phile::load - couldn't open file 'missing.tga'\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(InspectTest, UnwritableRawFileIsFatal)
{
    test::writeFile(dir.file("pic.tga"), {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 1, 2, 3});
    const auto result = runMirva({"inspect", "pic.tga", "--raw", "no/such/folder/x.raw"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "mirva inspect: couldn't write 'no/such/folder/x.raw'\n");
}

constexpr const char* kMotion = "LWMO\r\n3\r\n\r\nNumChannels 2\r\nChannel 0\r\n{ Envelope\r\n  2\r\n"
                                "  Key 0 0 0 0.5 0 0 0 0 0\r\n  Key 1.5 2 4 0 0 0 0 0 0\r\n  Behaviors 3 1\r\n}\r\n"
                                "Channel 1\r\n{ Envelope\r\n  1\r\n  Key -1 0 1 0 0 0 0.25 -0.75 0\r\n"
                                "  Behaviors 1 4\r\n}\r\n";

TEST_F(InspectTest, MotionFilePrintsTheTextAnIncludeInserts)
{
    test::writeText(dir.file("walk.mot"), kMotion);
    const auto result = runMirva({"inspect", "walk.mot"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "\n"
                          "Key 0.000000,0.000000,TCB,0.500000,0.000000,0.000000\n"
                          "Key 2.000000,1.500000,STEPPED\n"
                          "OSCILLATE CONSTANT ,\n"
                          "\n"
                          "Key 0.000000,-1.000000,HERMITE,0.250000,-0.750000\n"
                          "CONSTANT OFFSETREPEAT ");
    EXPECT_EQ(result.err, "");

    // Byte for byte what the include directive puts into a script.
    test::ScopedWorkingDir cd(dir.path());
    std::string inserted;
    IncludePass::run("include \"walk.mot\"", inserted);
    EXPECT_EQ(result.out, inserted);
}

TEST_F(InspectTest, MotionFilesAreKnownByTheirFirstWordToo)
{
    test::writeText(dir.file("walk.motion"), "LWMO 3 NumChannels 0");
    const auto result = runMirva({"inspect", "walk.motion"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "");
}

TEST_F(InspectTest, BadMotionFilesExitWith255AndTheMessage)
{
    test::writeText(dir.file("v2.mot"), "LWMO 2");
    auto result = runMirva({"inspect", "v2.mot"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "motion file 'v2.mot': motion file version must be 3\n");

    test::writeText(dir.file("shape.mot"), "LWMO 3\nNumChannels 1\nChannel 0 { Envelope 1\nKey 0 0 0.0");
    result = runMirva({"inspect", "shape.mot"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "motion file 'shape.mot': line 4 syntax error: '0.0' found shape expected \n");

    test::writeText(dir.file("bez.mot"), "LWMO 3 NumChannels 1 Channel 0 { Envelope 1 Key 0 0 5 0 0 0 0 0 0");
    result = runMirva({"inspect", "bez.mot"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "motion file 'bez.mot': unknown motion shape\n");

    test::writeText(dir.file("beh.mot"), "LWMO 3 NumChannels 1 Channel 0 { Envelope 0 Behaviors 1 7 }");
    result = runMirva({"inspect", "beh.mot"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "unknown behavior\n");

    result = runMirva({"inspect", "missing.mot"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "include file 'missing.mot' not found\n");
}

TEST_F(InspectTest, UnknownFileKindsAndCommandsAreUsageErrors)
{
    auto result = runMirva({"inspect", "notes.doc"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("don't know what kind of file 'notes.doc' is"), std::string::npos);
    result = runMirva({"frobnicate"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find("unknown command 'frobnicate'"), std::string::npos);
}

TEST_F(InspectTest, ModuleFormatSizesAndLength)
{
    // 64 + 4 + 64 rows (a break after row 3 of the second order) of 0.12 s at speed 6, tempo 125.
    ModuleWriter mod(8);
    mod.setTitle("known rows");
    mod.addSample(ModuleWriter::squareWave(32));
    const int a = mod.addPattern();
    const int b = mod.addPattern();
    mod.setCell(b, 3, 1, {.effect = 0xD});
    mod.setOrders({a, b, a});
    mod.write(dir.file("song.MOD"));
    const auto result = runMirva({"inspect", "song.MOD"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              "module: song.MOD\ntitle: known rows\nformat: mod (ProTracker MOD (8CHN))\nchannels: 8\norders: 3\n"
              "patterns: 2\ninstruments: 31\nsamples: 31\nlength: 3 orders, 15.84 seconds\n");
}

TEST_F(InspectTest, FilesThatAreNoModuleExitWith255)
{
    test::writeText(dir.file("notes.xm"), "a text, not a module");
    auto result = runMirva({"inspect", "notes.xm"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "mirva inspect: 'notes.xm' is no MOD, XM, S3M or IT module\n");
    result = runMirva({"inspect", "missing.s3m"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err, "Phile::load - couldn't open file 'missing.s3m'\n");
}

}  // namespace
}  // namespace mirva
