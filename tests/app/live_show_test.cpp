// A script played for its author on a headless 160 x 120 screen: starting at a time or a
// number of seconds, jumping back, the info overlay, and with watching, reloads that keep
// the music time, errors shown over the last good frame, and many reloads that give
// back everything they take; the file watch and the play command's options.
#include <filesystem>
#include <chrono>

#include <gtest/gtest.h>

#include "app/file_watch.h"
#include "app/live_show.h"
#include "app/play.h"
#include "engine/texture.h"
#include "io/phile.h"
#include "platform/sound/sound_output.h"
#include "player/script_player.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/files.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF, kYellow = 0xFFFFFF00;

// Red, green from 1:0:0, blue from 1:8:0, white from 2:0:0; 120 rows a minute (a row
// lasts half a second).
constexpr const char* kColours = "Enum Layers { BACK }\n"
                                 "Construct Clearer back { Layer = BACK Enabled = true ClearColor = 255, 0, 0 }\n"
                                 "Timer 8:0:0 120 1.0\n"
                                 "1:0:0 Set back { ClearColor = 0, 255, 0 }\n"
                                 "1:8:0 Set back { ClearColor = 0, 0, 255 }\n"
                                 "2:0:0 Set back { ClearColor = 255, 255, 255 }\n";

Time at(int order, int row) { return order << 14 | row << 8; }

class LiveShowTest : public EngineTest {
protected:
    void SetUp() override
    {
        openScreen(160, 120);
        SoundOutput::choose(SoundOutput::Kind::Offline);
        std::filesystem::copy(std::string(MIRVA_DATA_DIR) + "/fonts", "fonts");
        writeText("show.txt", kColours);
    }
    void TearDown() override
    {
        show.reset();
        SoundOutput::choose(SoundOutput::Kind::Automatic);
        EngineTest::TearDown();
    }

    void start(bool watch, StartTime from = {})
    {
        show = std::make_unique<LiveShow>("show.txt", watch);
        show->start(from);
    }
    // One frame of `seconds`, read back: the colour of the bottom-right corner (below the
    // failure screen's band).
    std::uint32_t frame(float seconds = 0.02f)
    {
        show->frame(seconds);
        last = frontBuffer(device());
        return last.at(150, 110);
    }
    // Saves the script with `from` replaced by `to`.
    static void edit(const std::string& from, const std::string& to)
    {
        std::string text = readText("show.txt");
        text.replace(text.find(from), from.size(), to);
        writeText("show.txt", text);
    }

    TempDir dir_;
    ScopedWorkingDir inDir_{dir_.path()};
    std::unique_ptr<LiveShow> show;
    Picture last;
};

// Pausing, going an order on and back to the start are the play window's keys in its own
// test; here a jump back replays the script from its start.
TEST_F(LiveShowTest, StartsAtATimeOrSecondsJumpsBackAndReloadsASaveAtTheSameTime)
{
    start(false, {at(1, 8)});
    EXPECT_EQ(frame(), kBlue);
    show->jump(-8);  // green before blue
    EXPECT_EQ(frame(0.0f), kGreen);
    const Time now = show->time();
    EXPECT_EQ(now & ~255, at(1, 0));
    show->jump(7 * 64);  // past the end at 8:0:0: nothing happens
    EXPECT_EQ(show->time(), now);

    // F2: the overlay's lines over the top-left corner, and gone again.
    const auto light = [](std::uint32_t p) { return (p & 0xFF) > 0x80; };
    show->toggleInfoOverlay();
    frame(0.0f);
    EXPECT_GT(countPixels(last, 0, 0, 40, 12, light), 10);
    show->toggleInfoOverlay();
    frame(0.0f);
    EXPECT_EQ(countPixels(last, 0, 0, 40, 12, light), 0);

    // Watching, from 33 seconds at two rows a second: 1:2:0. A save reloads at the same time.
    start(true, {0, 33.0});
    EXPECT_EQ(frame(0.0f), kGreen);
    edit("ClearColor = 0, 255, 0", "ClearColor = 255, 255, 0");
    show->reload();
    EXPECT_EQ(frame(0.0f), kYellow);
    EXPECT_EQ(show->time() & ~255, at(1, 2));

    // A broken save stands still at the time of the last good frame, and a fixed one goes
    // on from there (PlayWindow sees the frames: the last good one under the message, then
    // the fixed script's).
    const Time before = show->time();
    edit("1:8:0 Set back", "1:8:0 Set nobody");
    show->reload();
    EXPECT_EQ(show->failure(), "line 5: component 'nobody' doesn't exist");
    frame(1.0f);
    edit("Set nobody", "Set back");
    show->reload();
    EXPECT_EQ(show->time(), before);

    // An error while playing, at 2:1:0, where a sprite's image is missing, stops on the last
    // good frame (white, from 2:0:0) until a reload finds the image.
    writeText("show.txt", readText("show.txt") + "2:1:0 Construct Sprite s { Layer = BACK Map = \"missing.png\" }\n");
    show->reload();
    show->jump(64 - 2);
    EXPECT_EQ(frame(0.0f), kWhite);
    frame(0.5f);
    EXPECT_NE(show->failure().find("missing.png"), std::string::npos) << show->failure();
    EXPECT_EQ(frame(0.0f), kWhite);
    EXPECT_EQ(show->time() & ~255, at(2, 0));
    Surface(4, 4).savePng("missing.png");
    show->reload();
    EXPECT_EQ(show->failure(), "");
}

// Every reload gives back what the player before it took: textures (the table's total
// stays the same), the sound library (a Song starts it again each time) and the
// instances; the sanitizer build reports any memory that is not.
TEST_F(LiveShowTest, FiftyReloadsOfASongShowGiveBackEverything)
{
    std::filesystem::copy_file(std::string(MIRVA_DATA_DIR) + "/music/pulse.mod", "song.mod");
    Surface(16, 16).savePng("dot.png");
    writeText("show.txt", "Enum Layers { BACK FRONT }\n"
                          "Construct Clearer back { Layer = BACK Enabled = true ClearColor = 0, 0, 255 }\n"
                          "Construct Sprite dot { Layer = FRONT Enabled = true Map = \"dot.png\" }\n"
                          "Construct RenderTargetBegin rt { Layer = FRONT MapName = \"capture\" Width = 32 "
                          "Height = 32 ZBuffer = false Alpha = false Enabled = true }\n"
                          "Song \"song.mod\"\n"
                          "0:0:0 SampleMessageBegin back { SampleNumber = 1 ClearColor = 0, 0, 250 }\n");
    // A row of the show's test tune lasts 0.12 s, an order 7.68 s: 8 s lies in row 1:2,
    // nearer to the start of 1:3.
    start(true, {0, 8.0});
    EXPECT_EQ(show->time(), at(1, 3));
    frame();
    const int memory = Texture::textureMemory();
    ASSERT_GT(memory, 0);
    for (int i = 0; i < 50; ++i) {
        show->reload();
        ASSERT_EQ(show->failure(), "") << "reload " << i;
        frame();
        ASSERT_EQ(Texture::textureMemory(), memory) << "reload " << i;
    }
    EXPECT_EQ(show->time() & ~255, at(1, 3));
}

TEST(FileWatch, AChangeCountsOnceItHasSettledAndMissingFilesAreWatchedToo)
{
    TempDir dir;
    const std::string file = dir.file("a.txt"), missing = dir.file("b.txt");
    writeText(file, "one");
    FileWatch watch(std::chrono::milliseconds(100));
    PhileBlock bytes;
    Phile::tryLoad(file, bytes);
    Phile::tryLoad(missing, bytes);

    using namespace std::chrono_literals;
    FileWatch::Clock::time_point t{};
    const auto look = [&](auto after) { return watch.changed(t += after); };
    EXPECT_FALSE(look(1s));
    writeText(file, "two two");
    EXPECT_FALSE(look(50ms));  // too soon to look
    EXPECT_FALSE(look(100ms)); // seen, not settled
    EXPECT_TRUE(look(100ms));  // the same new state again
    watch.acceptAll();
    EXPECT_FALSE(look(100ms));
    EXPECT_FALSE(look(100ms));
    writeText(missing, "");
    EXPECT_FALSE(look(100ms));
    EXPECT_TRUE(look(100ms));
}

TEST(PlayOptions, ValuesAndWhatIsWrongWithABadLine)
{
    PlayOptions options, seconds;
    std::string error;
    ASSERT_TRUE(parsePlayOptions({"s.txt", "--watch", "--at", "3:63:255", "--size", "320x200"}, options, error));
    EXPECT_EQ(std::tuple(options.at.time, options.watch, options.fullscreen, options.width),
              std::tuple(at(3, 63) | 255, true, false, 320));
    ASSERT_TRUE(parsePlayOptions({"--at", "12.5", "s.txt", "--fullscreen"}, seconds, error));
    EXPECT_EQ(std::pair(seconds.at.seconds, seconds.fullscreen), std::pair(std::optional(12.5), true));

    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{}, "no script given"},
        {{"a.txt", "b.txt"}, "more than one script: 'a.txt' and 'b.txt'"},
        {{"s.txt", "--at"}, "option --at needs a value"},
        {{"s.txt", "--at", "1:64:0"}, "--at wants ORDER:ROW:DECIMALS or seconds, not '1:64:0'"},
        {{"s.txt", "--at", "1:0"}, "--at wants ORDER:ROW:DECIMALS or seconds, not '1:0'"},
        {{"s.txt", "--at", "-2"}, "--at wants ORDER:ROW:DECIMALS or seconds, not '-2'"},
        {{"s.txt", "--at", "1:0:0x"}, "--at wants ORDER:ROW:DECIMALS or seconds, not '1:0:0x'"},
        {{"s.txt", "--loop"}, "unknown option '--loop'"},
    };
    for (const auto& [args, message] : bad) {
        PlayOptions ignored;
        EXPECT_FALSE(parsePlayOptions(args, ignored, error)) << message;
        EXPECT_EQ(error, message);
    }
}

}  // namespace
}  // namespace mirva::test
