// End to end: `mirva render` as its own process: numbered PNG frames that are the same on
// every run, until the end of the script or for a number of frames, the sound of exactly
// those frames in a WAV file, an MP4 video as ffprobe reads it, the progress line, and
// bad command lines.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include <gtest/gtest.h>
#include <sndfile.h>

#include "app/frame_stats.h"
#include "app/render.h"
#include "io/surface.h"
#include "tests/player/sound_script_fixture.h"
#include "tests/support/files.h"
#include "tests/support/run.h"

namespace mirva {
namespace {

using test::runMirva;

// What ffprobe tells of a file's streams and container, by its "flat" names:
// "streams.stream.0.codec_name" -> "h264", "format.duration" -> "3.000000", ...
std::map<std::string, std::string> probe(const std::string& file)
{
    const auto result = test::runProgram({"ffprobe", "-v", "error", "-of", "flat", "-show_entries",
                                          "stream=codec_type,codec_name,width,height,pix_fmt,avg_frame_rate,"
                                          "sample_rate,channels,duration_ts:format=duration,nb_streams",
                                          file});
    EXPECT_EQ(result.exitCode, 0) << "ffprobe " << file << ": " << result.err;
    std::map<std::string, std::string> facts;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        std::string value = line.substr(equals + 1);
        if (value.size() >= 2 && value.front() == '"')
            value = value.substr(1, value.size() - 2);
        facts[line.substr(0, equals)] = value;
    }
    return facts;
}

class RenderTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path() / "fonts");
        std::filesystem::copy_file(std::string(MIRVA_DATA_DIR) + "/fonts/defaultfont.png",
                                   dir.file("fonts/defaultfont.png"));
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

// Text that types in, fades in and scrolls over an animated colour: every frame differs.
constexpr const char* kShow =
    "Enum Layers { BACK TEXT }\n"
    "Construct Clearer bg { Layer = BACK Enabled = true ClearColor = Key 0,0,LINEAR Key 2,255,LINEAR CONSTANT "
    "CONSTANT, 20, 40 }\n"
    "Construct Writer2 typed { Layer = TEXT Font = \"fonts/defaultfont.png\" MaxLines = 1 Speed = 8 Enabled = true "
    "l = 0 pos = 0, 0.5 size = 0.01, 0.01 col = 255, 255, 255 ref = 1 txt = \"typed in\" }\n"
    "Construct Scroller s { Layer = TEXT Font = \"fonts/defaultfont.png\" Position = 0, -0.3 Speed = -0.5 "
    "Text = \"scrolling\" Size = 0.004, 0.004 Enabled = true }\n"
    "Timer 0:4:0 240 1.0\n";

TEST_F(RenderTest, TwoRendersOfAScriptGiveIdenticalFrames)
{
    test::writeText(dir.file("show.txt"), kShow);
    const std::string root = dir.path().string();
    const auto first = runMirva({"render", "show.txt", "--out", "a", "--frames", "6", "--fps", "10", "--size", "96x72"},
                                root);
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const auto second = runMirva({"render", "show.txt", "--frames", "6", "--out", "b", "--size", "96x72", "--fps", "10"},
                                 root);
    ASSERT_EQ(second.exitCode, 0) << second.err;
    const std::vector<std::string> expected{"frame00000.png", "frame00001.png", "frame00002.png",
                                            "frame00003.png", "frame00004.png", "frame00005.png"};
    ASSERT_EQ(filesIn("a"), expected);
    ASSERT_EQ(filesIn("b"), expected);
    for (const std::string& name : expected)
        EXPECT_EQ(test::readFile(dir.file("a/" + name)), test::readFile(dir.file("b/" + name))) << name;
    EXPECT_NE(test::readFile(dir.file("a/frame00001.png")), test::readFile(dir.file("a/frame00005.png")));
    const Surface frame(dir.file("a/frame00003.png"));
    EXPECT_EQ(frame.width(), 96);
    EXPECT_EQ(frame.height(), 72);
    EXPECT_EQ(frame.pixel(0, 71) >> 24, 0xFFu);   // opaque, like a screen
    EXPECT_NE(first.err.find("frame 6/6"), std::string::npos) << first.err;
    EXPECT_NE(first.err.find("frames/s"), std::string::npos) << first.err;
}

TEST_F(RenderTest, WithoutFramesItRendersUntilTheScriptHasEndedOnce)
{
    // Four rows at tempo 240 last one second: at 8 frames a second the clock reads 1/8 on
    // frame 0 (whose start instruction sets it back to 0), k/8 on frame k, and passes the
    // end on frame 9.
    test::writeText(dir.file("show.txt"), kShow);
    const auto result = runMirva({"render", "show.txt", "--out", "frames", "--fps", "8", "--size", "32x24"},
                                 dir.path().string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(filesIn("frames").size(), 10u);
    EXPECT_EQ(filesIn("frames").back(), "frame00009.png");
    EXPECT_NE(result.err.find("frame 10/10"), std::string::npos) << result.err;
}

TEST_F(RenderTest, ASongScriptWritesTheSoundOfExactlyItsFrames)
{
    test::fourRowModule().write(dir.file("four.mod"));
    test::writeText(dir.file("song.txt"), "Construct Clearer c { Enabled = true }\nSong \"four.mod\"\n");
    const auto result = runMirva({"render", "song.txt", "--out", "f", "--size", "16x16", "--wav", "song.wav"},
                                 dir.path().string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The module's 4 rows end in frame 29 at 60 frames a second: 30 frames, 30 * 735
    // samples of sound.
    EXPECT_EQ(filesIn("f").size(), 30u);
    SF_INFO info{};
    SNDFILE* wav = sf_open(dir.file("song.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(wav, nullptr);
    sf_close(wav);
    EXPECT_EQ(info.frames, 30 * 735);
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.samplerate, 44100);
}

TEST_F(RenderTest, AVideoHasTheFramesAndTheirSoundAsH264AndAac)
{
    test::fourRowModule().write(dir.file("four.mod"));
    test::writeText(dir.file("song.txt"), "Construct Clearer c { Enabled = true }\nSong \"four.mod\"\n");
    const auto result = runMirva({"render", "song.txt", "--video", "song.mp4", "--frames", "30", "--fps", "10",
                                  "--size", "96x64", "--wav", "song.wav"},
                                 dir.path().string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("frame 30/30"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("frame00000.png")));

    auto facts = probe(dir.file("song.mp4"));
    EXPECT_EQ(facts["format.nb_streams"], "2");
    EXPECT_EQ(facts["streams.stream.0.codec_type"], "video");
    EXPECT_EQ(facts["streams.stream.0.codec_name"], "h264");
    EXPECT_EQ(facts["streams.stream.0.pix_fmt"], "yuv420p");
    EXPECT_EQ(facts["streams.stream.0.width"], "96");
    EXPECT_EQ(facts["streams.stream.0.height"], "64");
    EXPECT_EQ(facts["streams.stream.0.avg_frame_rate"], "10/1");
    EXPECT_EQ(facts["streams.stream.1.codec_type"], "audio");
    EXPECT_EQ(facts["streams.stream.1.codec_name"], "aac");
    EXPECT_EQ(facts["streams.stream.1.sample_rate"], "44100");
    EXPECT_EQ(facts["streams.stream.1.channels"], "2");
    EXPECT_EQ(facts["streams.stream.1.duration_ts"], "132300");   // the samples of 30 frames at 10 a second
    EXPECT_NEAR(std::atof(facts["format.duration"].c_str()), 3.0, 0.1);
    // The index comes before the pictures and sound, for players that read as they load.
    const std::string bytes = test::readText(dir.file("song.mp4"));
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
    // The WAV file has the same samples: 3 seconds of them.
    SF_INFO info{};
    SNDFILE* wav = sf_open(dir.file("song.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(wav, nullptr);
    sf_close(wav);
    EXPECT_EQ(info.frames, 30 * 4410);
}

TEST_F(RenderTest, AVideoOfAScriptWithoutSoundHasPicturesOnly)
{
    test::writeText(dir.file("show.txt"), kShow);
    const auto result = runMirva({"render", "show.txt", "--video", "show.mp4", "--frames", "5", "--fps", "12.5",
                                  "--size", "32x24"},
                                 dir.path().string());
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              "mirva render: the script plays no sound; the video has pictures only");
    auto facts = probe(dir.file("show.mp4"));
    EXPECT_EQ(facts["format.nb_streams"], "1");
    EXPECT_EQ(facts["streams.stream.0.codec_name"], "h264");
    EXPECT_EQ(facts["streams.stream.0.avg_frame_rate"], "25/2");
    EXPECT_EQ(facts["format.duration"], "0.400000");
}

TEST_F(RenderTest, AVideoFileThatCannotBeWrittenIsNamedWithTheReason)
{
    test::writeText(dir.file("show.txt"), kShow);
    const auto result = runMirva({"render", "show.txt", "--video", "none/show.mp4", "--size", "32x24"},
                                 dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_NE(result.err.find("render: can't write the video file 'none/show.mp4' (No such file or directory)"),
              std::string::npos)
        << result.err;
}

TEST_F(RenderTest, ABadCommandLineSaysWhatIsWrong)
{
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"show.txt"}, "no output given (--out DIR or --video FILE)"},
        {{"show.txt", "--out", "x", "--size", "0x10"}, "--size wants WIDTHxHEIGHT, each from 1 to 8192, not '0x10'"},
        {{"show.txt", "--out", "x", "--fps", "fast"}, "--fps wants a number from 1 to 1000, not 'fast'"},
        {{"show.txt", "--out", "x", "--loop"}, "unknown option '--loop'"},
        {{"show.txt", "--out", "x", "--frames"}, "option --frames needs a value"},
        {{"show.txt", "--out", "x", "--video", "v.mp4"}, "--out and --video are two outputs: give one of them"},
        {{"show.txt", "--stats", "--video", "v.mp4"}, "--stats writes no files: leave out --out, --video and --wav"},
        {{"show.txt", "--video", "v.mp4", "--size", "33x24"}, "--video needs an even width and height, not 33x24"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"render"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = runMirva(args, dir.path().string());
        EXPECT_EQ(result.exitCode, 2) << c.message;
        EXPECT_EQ(result.err.substr(0, result.err.find('\n')), "mirva render: " + c.message);
        EXPECT_NE(result.err.find("--video FILE.mp4"), std::string::npos) << "the usage follows";
    }
}

TEST_F(RenderTest, AScriptErrorEndsWithItsMessage)
{
    const auto result = runMirva({"render", "none.txt", "--out", "x"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_NE(result.err.find("script file 'none.txt' not found"), std::string::npos) << result.err;
}

TEST_F(RenderTest, TheShowRendersItsTitle)
{
    const std::string out = dir.file("show");
    const auto result = runMirva({"render", "scripts/deriravedivido.txt", "--out", out, "--frames", "36", "--fps",
                                  "10", "--size", "160x120"},
                                 MIRVA_DATA_DIR);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // At 3.5 s the title has faded in: gold letters on the dark sky.
    const Surface frame(out + "/frame00035.png");
    int gold = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const std::uint32_t p = frame.pixel(x, y);
            gold += (p >> 16 & 0xFF) > 150 && (p >> 8 & 0xFF) > 110 && (p & 0xFF) < 140;
        }
    EXPECT_GT(gold, 120);
    EXPECT_FALSE(std::filesystem::exists(std::string(MIRVA_DATA_DIR) + "/parameters.txt"));
}

TEST(RenderOptions, DefaultsAndValues)
{
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parseRenderOptions({"s.txt", "--out", "o", "--frames", "12", "--fps", "25.5", "--size", "320x200",
                                    "--wav", "w.wav"},
                                   options, error))
        << error;
    EXPECT_EQ(options.script, "s.txt");
    EXPECT_EQ(options.frames, 12);
    EXPECT_DOUBLE_EQ(options.fps, 25.5);
    EXPECT_EQ(options.width, 320);
    EXPECT_EQ(options.height, 200);
    EXPECT_EQ(options.wavFile, "w.wav");
    RenderOptions defaults;
    ASSERT_TRUE(parseRenderOptions({"s.txt", "--out", "o"}, defaults, error));
    EXPECT_EQ(defaults.frames, 0);
    EXPECT_DOUBLE_EQ(defaults.fps, 60.0);
    EXPECT_EQ(defaults.width, 640);
    EXPECT_EQ(defaults.height, 480);
    RenderOptions two;
    EXPECT_FALSE(parseRenderOptions({"a.txt", "b.txt", "--out", "o"}, two, error));
    EXPECT_EQ(error, "more than one script: 'a.txt' and 'b.txt'");
    EXPECT_EQ(frameFileName(123), "frame00123.png");
    RenderOptions stats;
    ASSERT_TRUE(parseRenderOptions({"s.txt", "--stats", "--frames", "5"}, stats, error)) << error;
    EXPECT_TRUE(stats.stats);
    RenderOptions both;
    EXPECT_FALSE(parseRenderOptions({"s.txt", "--stats", "--out", "o"}, both, error));
    EXPECT_EQ(error, "--stats writes no files: leave out --out, --video and --wav");
    RenderOptions video;
    ASSERT_TRUE(parseRenderOptions({"s.txt", "--video", "v.mp4", "--wav", "w.wav", "--size", "32x18"}, video, error))
        << error;
    EXPECT_EQ(video.videoFile, "v.mp4");
    EXPECT_EQ(video.wavFile, "w.wav");
    EXPECT_TRUE(video.outDir.empty());
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
