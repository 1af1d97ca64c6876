// End to end: `mirva render` as its own process: numbered PNG frames that are the same on
// every run, until the end of the script or for a number of frames, the sound of exactly
// those frames in a WAV file, an MP4 video as ffprobe reads it, the frame-time table of
// --stats, the progress line, and bad command lines.
#include <filesystem>

#include <gtest/gtest.h>

#include "app/frame_stats.h"
#include "io/surface.h"
#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tools/module_writer.h"

namespace mirva {
namespace {

// What ffprobe reads of a video or WAV file, as comma-separated lines: each stream's
// codec, type and the facts of its type (video: width, height, pixel format, frame rate;
// audio: sample rate, channels, frame rate) and its length in time-base units, then the
// container's number of streams and seconds.
std::string probe(const std::string& file)
{
    const auto result = test::runProgram({"ffprobe", "-v", "error", "-of", "csv=p=0", "-show_entries",
                                          "stream=codec_type,codec_name,width,height,pix_fmt,avg_frame_rate,"
                                          "sample_rate,channels,duration_ts:format=duration,nb_streams",
                                          file});
    EXPECT_EQ(result.exitCode, 0) << "ffprobe " << file << ": " << result.err;
    return result.out;
}

// Text that types in, fades in and scrolls over an animated colour: every frame differs.
// Four rows at tempo 240 last one second.
constexpr const char* kShow =
    "Enum Layers { BACK TEXT }\n"
    "Construct Clearer bg { Layer = BACK Enabled = true ClearColor = Key 0,0,LINEAR Key 2,255,LINEAR CONSTANT "
    "CONSTANT, 20, 40 }\n"
    "Construct Writer2 typed { Layer = TEXT Font = \"fonts/defaultfont.png\" MaxLines = 1 Speed = 8 Enabled = true "
    "l = 0 pos = 0, 0.5 size = 0.01, 0.01 col = 255, 255, 255 ref = 1 txt = \"typed in\" }\n"
    "Construct Scroller s { Layer = TEXT Font = \"fonts/defaultfont.png\" Position = 0, -0.3 Speed = -0.5 "
    "Text = \"scrolling\" Size = 0.004, 0.004 Enabled = true }\n"
    "Timer 0:4:0 240 1.0\n";

class RenderTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "fonts");
        std::filesystem::copy_file(std::string(MIRVA_DATA_DIR) + "/fonts/defaultfont.png",
                                   dir.file("fonts/defaultfont.png"));
        test::writeText(dir.file("show.txt"), kShow);
        // Four rows (a break after row 3) of 0.12 s: 30 frames at 60 a second.
        ModuleWriter mod(4);
        mod.addSample(ModuleWriter::squareWave(32));
        const int pattern = mod.addPattern();
        mod.setCell(pattern, 3, 1, {.effect = 0xD});
        mod.setOrders({pattern});
        mod.write(dir.file("four.mod"));
        test::writeText(dir.file("song.txt"), "Construct Clearer c { Enabled = true }\nSong \"four.mod\"\n");
    }
    test::RunResult render(std::vector<std::string> args)
    {
        args.insert(args.begin(), "render");
        return test::runMirva(args, dir.path().string());
    }
    // The file names in folder `sub`, sorted.
    std::vector<std::string> filesIn(const std::string& sub) const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path() / sub))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempDir dir;
};

// The show three ways: its frame-time table, renders of its first frames that are the
// same twice, and a render to its end.
TEST_F(RenderTest, StatsAndTwoRendersOfAScriptGiveTheSameFramesAndWithoutFramesItRendersToTheEnd)
{
    // The table of frame times by section on the standard output, nothing written: the
    // frame that passes the end of the script shows nothing of it and is not counted.
    const auto stats = render({"show.txt", "--stats", "--fps", "8", "--size", "32x24"});
    ASSERT_EQ(stats.exitCode, 0) << stats.err;
    EXPECT_PRED2(test::matches, stats.out,
                 "section        frames  median ms  99% ms  slowest ms  at\n"
                 "0s                  9 *\nall                 9 *\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);  // fonts and the three inputs

    const auto first = render({"show.txt", "--out", "a", "--frames", "6", "--fps", "10", "--size", "96x72"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const auto second = render({"show.txt", "--frames", "6", "--out", "b", "--size", "96x72", "--fps", "10"});
    ASSERT_EQ(second.exitCode, 0) << second.err;
    const std::vector<std::string> expected{"frame00000.png", "frame00001.png", "frame00002.png",
                                            "frame00003.png", "frame00004.png", "frame00005.png"};
    ASSERT_EQ(filesIn("a"), expected);
    ASSERT_EQ(filesIn("b"), expected);
    for (const std::string& name : expected)
        EXPECT_EQ(test::readFile(dir.file("a/" + name)), test::readFile(dir.file("b/" + name))) << name;
    EXPECT_NE(test::readFile(dir.file("a/frame00001.png")), test::readFile(dir.file("a/frame00005.png")));
    const Surface frame(dir.file("a/frame00003.png"));
    EXPECT_EQ(std::pair(frame.width(), frame.height()), std::pair(96, 72));
    EXPECT_EQ(frame.pixel(0, 71) >> 24, 0xFFu);  // opaque, like a screen
    EXPECT_NE(first.err.find("frame 6/6"), std::string::npos) << first.err;
    EXPECT_NE(first.err.find("frames/s"), std::string::npos) << first.err;

    // At 8 frames a second the clock reads 1/8 on frame 0 (whose start instruction sets it
    // back to 0), k/8 on frame k, and passes the end on frame 9.
    const auto whole = render({"show.txt", "--out", "frames", "--fps", "8", "--size", "32x24"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(filesIn("frames").size(), 10u);
    EXPECT_NE(whole.err.find("frame 10/10"), std::string::npos) << whole.err;
}

// The module's 4 rows end in frame 29 at 60 frames a second: 30 frames, and the sound of
// exactly those, 30 * 735 samples, in the video and the WAV file. A script that plays no
// sound gives a video of pictures only.
TEST_F(RenderTest, AVideoHasTheFramesAsH264AndTheirSoundAsAacWhenTheScriptPlaysSound)
{
    auto result = render({"song.txt", "--video", "song.mp4", "--size", "96x64", "--wav", "song.wav"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("frame00000.png")));
    EXPECT_EQ(probe(dir.file("song.mp4")),  // the video's half second in 1/15360 s
              "h264,video,96,64,yuv420p,60/1,7680\naac,audio,44100,2,0/0,22050\n2,0.500000\n");
    // The index comes before the pictures and sound, for players that read as they load.
    const std::string bytes = test::readText(dir.file("song.mp4"));
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
    EXPECT_EQ(probe(dir.file("song.wav")), "pcm_s16le,audio,44100,2,0/0,22050\n1,0.500000\n");

    result = render({"show.txt", "--video", "show.mp4", "--frames", "5", "--fps", "12.5", "--size", "32x24"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // Its own line: the sound library's drivers may say things of their own on stderr first.
    EXPECT_NE(("\n" + result.err).find("\nmirva render: the script plays no sound; the video has pictures only\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(probe(dir.file("show.mp4")), "h264,video,32,24,yuv420p,25/2,5120\n1,0.400000\n");
}

TEST_F(RenderTest, ABadCommandLineSaysWhatIsWrong)
{
    const struct {
        std::vector<std::string> args;
        std::string message;
        int exitCode = 2;
    } cases[] = {
        {{"show.txt"}, "no output given (--out DIR or --video FILE)"},
        {{"show.txt", "--out", "x", "--size", "0x10"}, "--size wants WIDTHxHEIGHT, each from 1 to 8192, not '0x10'"},
        {{"show.txt", "--out", "x", "--fps", "fast"}, "--fps wants a number from 1 to 1000, not 'fast'"},
        {{"show.txt", "--out", "x", "--frames"}, "option --frames needs a value"},
        {{"show.txt", "--out", "x", "--video", "v.mp4"}, "--out and --video are two outputs: give one of them"},
        {{"show.txt", "--stats", "--video", "v.mp4"}, "--stats writes no files: leave out --out, --video and --wav"},
        {{"show.txt", "--stats", "--wav", "w.wav"}, "--stats writes no files: leave out --out, --video and --wav"},
        {{"show.txt", "--video", "v.mp4", "--size", "33x24"}, "--video needs an even width and height, not 33x24"},
        {{"none.txt", "--out", "x"}, "script file 'none.txt' not found", 255},
        {{"show.txt", "--video", "none/show.mp4", "--size", "32x24"},
         "render: can't write the video file 'none/show.mp4' (No such file or directory)", 255},
    };
    for (const auto& c : cases) {
        const auto result = render(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.message;
        if (c.exitCode == 2) {
            EXPECT_EQ(result.err.substr(0, result.err.find('\n')), "mirva render: " + c.message);
            EXPECT_NE(result.err.find("--video FILE.mp4"), std::string::npos) << "the usage follows";
        } else {
            EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        }
    }
}

TEST(FrameStats, SectionsInOrderWithMedianPercentileAndSlowestFrame)
{
    FrameStats stats;
    EXPECT_EQ(stats.table(), "no frames\n");
    // Order 0: 1..100 ms (median 50.5, 99th percentile 99, slowest 100 at 0:9:0); order 1:
    // three frames, the slowest first. All: the 52nd of the 103 times is 49 (3, 4 and 9 come twice).
    for (int i = 1; i <= 100; ++i)
        stats.add("order 0", i, i == 100 ? 9 << 8 : 0);
    for (double ms : {9.0, 3.0, 4.0})
        stats.add("order 1", ms, 1 << 14 | (ms == 9.0 ? 2 << 8 : 0));
    EXPECT_EQ(stats.table(), "section        frames  median ms  99% ms  slowest ms  at\n"
                             "order 0           100      50.50   99.00      100.00  0:9:0\n"
                             "order 1             3       4.00    9.00        9.00  1:2:0\n"
                             "all               103      49.00   99.00      100.00  0:9:0\n");
}

}  // namespace
}  // namespace mirva
