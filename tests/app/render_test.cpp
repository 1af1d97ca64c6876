// End to end: `mirva render` as its own process: numbered PNG frames that are the same on
// every run, until the end of the script or for a number of frames, the sound of exactly
// those frames in a WAV file, an MP4 video as ffprobe reads it, the frame-time table of
// --stats, the progress line, and bad command lines.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include <gtest/gtest.h>
#include <sndfile.h>

#include "app/frame_stats.h"
#include "io/surface.h"
#include "tests/player/sound_script_fixture.h"
#include "tests/support/files.h"
#include "tests/support/run.h"

namespace mirva {
namespace {

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

// A WAV file's sample frames, channels and rate.
std::tuple<sf_count_t, int, int> wavFacts(const std::string& file)
{
    SF_INFO info{};
    if (SNDFILE* wav = sf_open(file.c_str(), SFM_READ, &info))
        sf_close(wav);
    return {info.frames, info.channels, info.samplerate};
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
        test::fourRowModule().write(dir.file("four.mod"));
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

TEST_F(RenderTest, TwoRendersOfAScriptGiveIdenticalFramesAndWithoutFramesItRendersToTheEnd)
{
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
    EXPECT_EQ(filesIn("frames").back(), "frame00009.png");
    EXPECT_NE(whole.err.find("frame 10/10"), std::string::npos) << whole.err;
}

TEST_F(RenderTest, ASongScriptWritesTheSoundOfExactlyItsFrames)
{
    const auto result = render({"song.txt", "--out", "f", "--size", "16x16", "--wav", "song.wav"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The module's 4 rows end in frame 29 at 60 frames a second: 30 frames, 30 * 735
    // samples of sound.
    EXPECT_EQ(filesIn("f").size(), 30u);
    EXPECT_EQ(wavFacts(dir.file("song.wav")), std::tuple(30 * 735, 2, 44100));
}

TEST_F(RenderTest, AVideoHasTheFramesAndTheirSoundAsH264AndAac)
{
    const auto result = render(
        {"song.txt", "--video", "song.mp4", "--frames", "30", "--fps", "10", "--size", "96x64", "--wav", "song.wav"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("frame 30/30"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("frame00000.png")));

    auto facts = probe(dir.file("song.mp4"));
    const std::map<std::string, std::string> expected = {
        {"format.nb_streams", "2"},          {"streams.stream.0.codec_type", "video"},
        {"streams.stream.0.codec_name", "h264"}, {"streams.stream.0.pix_fmt", "yuv420p"},
        {"streams.stream.0.width", "96"},     {"streams.stream.0.height", "64"},
        {"streams.stream.0.avg_frame_rate", "10/1"}, {"streams.stream.1.codec_type", "audio"},
        {"streams.stream.1.codec_name", "aac"},  {"streams.stream.1.sample_rate", "44100"},
        {"streams.stream.1.channels", "2"},
        {"streams.stream.1.duration_ts", "132300"},  // the samples of 30 frames at 10 a second
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(facts[name], value) << name;
    EXPECT_NEAR(std::atof(facts["format.duration"].c_str()), 3.0, 0.1);
    // The index comes before the pictures and sound, for players that read as they load.
    const std::string bytes = test::readText(dir.file("song.mp4"));
    EXPECT_LT(bytes.find("moov"), bytes.find("mdat"));
    EXPECT_EQ(std::get<0>(wavFacts(dir.file("song.wav"))), 30 * 4410);  // the WAV has the same 3 seconds
}

TEST_F(RenderTest, AVideoWithoutSoundHasPicturesOnlyAndAnUnwritableOneIsNamed)
{
    const auto result =
        render({"show.txt", "--video", "show.mp4", "--frames", "5", "--fps", "12.5", "--size", "32x24"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')),
              "mirva render: the script plays no sound; the video has pictures only");
    auto facts = probe(dir.file("show.mp4"));
    EXPECT_EQ(facts["format.nb_streams"], "1");
    EXPECT_EQ(facts["streams.stream.0.codec_name"], "h264");
    EXPECT_EQ(facts["streams.stream.0.avg_frame_rate"], "25/2");
    EXPECT_EQ(facts["format.duration"], "0.400000");

    const auto unwritable = render({"show.txt", "--video", "none/show.mp4", "--size", "32x24"});
    EXPECT_EQ(unwritable.exitCode, 255);
    EXPECT_NE(unwritable.err.find("render: can't write the video file 'none/show.mp4' (No such file or directory)"),
              std::string::npos)
        << unwritable.err;
}

// The table of frame times by section on the standard output, nothing written: the frame
// that passes the end of the script shows nothing of it and is not counted.
TEST_F(RenderTest, StatsListTheFrameTimesOfEachSection)
{
    const auto result = render({"show.txt", "--stats", "--fps", "8", "--size", "32x24"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::istringstream lines(result.out);
    std::vector<std::string> starts;
    for (std::string line, name, frames; std::getline(lines, line);) {
        std::istringstream(line) >> name >> frames;
        starts.push_back(name + " " + frames);
    }
    EXPECT_EQ(starts, (std::vector<std::string>{"section frames", "0s 9", "all 9"})) << result.out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);  // fonts and the three inputs
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
