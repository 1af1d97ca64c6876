// The application on a headless 320 x 240 screen: the start-up screen it draws while it
// loads, demo and game mode with their keys, the game screen's board and texts where they
// belong, what a shutdown gives back, and the used-files list.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "app/application.h"
#include "app/brikka.h"
#include "app/game_screen.h"
#include "engine/texture.h"
#include "io/phile.h"
#include "player/script_player.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/files.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kShowBlue = 0xFF0040FF;
constexpr std::uint32_t kEmptyCell = 0xFF000000;

class ApplicationTest : public EngineTest {
protected:
    void SetUp() override
    {
        openScreen(320, 240);
        std::filesystem::copy(std::string(MIRVA_DATA_DIR) + "/fonts", "fonts");
        std::filesystem::create_directory("scripts");
        writeText(Application::kScriptFile, "Enum Layers { BACK }\n"
                                            "Construct Clearer back { Layer = BACK ClearColor = 0, 64, 255 "
                                            "Enabled = true }\n"
                                            "Timer 8:0:0 120 1.0\n");
    }
    void TearDown() override
    {
        app.reset();
        Phile::disableUsedFiles();
        EngineTest::TearDown();
    }

    Picture frame(float seconds, std::initializer_list<int> down = {})
    {
        KeyStates keys{};
        for (int key : down)
            keys[static_cast<std::size_t>(key)] = 1;
        app->frame(seconds, keys, gameMode);
        return frontBuffer(device());
    }

    TempDir dir_;
    ScopedWorkingDir inDir_{dir_.path()};
    std::unique_ptr<Application> app;
    bool gameMode = false;
};

// The board on a 320 x 240 screen: 0.5 x 2.0 units at depth 1.4, 90 degrees across and
// the screen's 4 : 3 upright, so 57.1 x 228.6 pixels in the middle, cells of 7.14 pixels.
constexpr double kCell = 160.0 * (0.5 / 1.4) / 8.0;
std::uint32_t boardCell(const Picture& p, int column, int row)
{
    const double left = 160.0 - 4 * kCell, top = 120.0 - 16 * kCell;
    return p.at(static_cast<int>(left + (column + 0.5) * kCell), static_cast<int>(top + (row + 0.5) * kCell));
}

// The box around the pixels that differ from `color`, as left, top, right, bottom.
std::array<int, 4> boxOtherThan(const Picture& p, int left, int top, int right, int bottom, std::uint32_t color)
{
    std::array<int, 4> box = {right, bottom, left - 1, top - 1};
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (!near(p.at(x, y), color, 24))
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    return box;
}

// One run: the start-up screen, the show, the game screen on '0' with a game started, the
// show again on '9' while the game waits, and a shutdown; then builds that list the files
// they use.
TEST_F(ApplicationTest, StartUpShowAndGameScreensEachModeLeavesTheOtherStandingAndUsedFiles)
{
    app = std::make_unique<Application>(false);
    const Picture startUp = frontBuffer(device());  // drawn into every back buffer
    EXPECT_COLOR(startUp.at(0, 0), Application::kStartUpColor);
    EXPECT_COLOR(startUp.at(319, 239), Application::kStartUpColor);
    const std::array<int, 4> text = boxOtherThan(startUp, 0, 0, 320, 240, Application::kStartUpColor);
    ASSERT_LT(text[0], text[2]) << "no text";
    // "kolu" centred on its pen advance; the glyphs' glow makes the ink a few pixels
    // lopsided. Anchored at its top-left instead, it would begin in the middle.
    EXPECT_NEAR((text[0] + text[2]) / 2.0, 160.0, 16.0);
    EXPECT_NEAR((text[1] + text[3]) / 2.0, 120.0, 4.0);
    // At 0.002 units a font pixel, 0.12 in front: most of the screen's width.
    EXPECT_GT(text[2] - text[0], 100);
    EXPECT_FALSE(std::filesystem::exists("usedfiles.txt"));  // not asked for

    frame(0.5f);
    EXPECT_COLOR(frame(0.5f).at(5, 5), kShowBlue);
    const Time shown = app->scriptPlayer().previousTime();
    EXPECT_EQ(shown, 1 << 8);  // one row in at 120 rows a minute

    const Picture game = frame(0.1f, {vk::KEY_0});
    ASSERT_TRUE(gameMode);
    const std::uint32_t background = kGameScreenClearColor;
    // The board spans x 131.4 to 188.6 and y 5.7 to 234.3.
    const std::tuple<int, int, std::uint32_t> points[] = {
        {129, 120, background}, {133, 120, kEmptyCell}, {187, 120, kEmptyCell}, {190, 120, background},
        {160, 4, background},   {160, 7, kEmptyCell},   {160, 233, kEmptyCell}, {160, 236, background}};
    for (const auto& [x, y, color] : points)
        EXPECT_COLOR(game.at(x, y), color) << x << "," << y;
    // Labels from the left edge, the message from x = 200, each with its top at its height
    // (y = 0 is the middle row, 120); "hilns" 0.6 lower, 22 pixels high.
    const std::array<int, 4> score = boxOtherThan(game, 0, 100, 130, 131, background);
    const std::array<int, 4> message = boxOtherThan(game, 190, 100, 320, 240, background);
    EXPECT_NEAR(score[0], 0, 3);
    EXPECT_NEAR(score[1], 120, 3);
    EXPECT_NEAR(message[0], 200, 3);
    EXPECT_NEAR(message[1], 120, 3);
    EXPECT_NEAR(boxOtherThan(game, 0, 100, 130, 240, background)[3], 120 + 0.6 / 1.4 / 0.75 * 120 + 11, 4);

    // The falling piece in its cells and colour after 1.2 s of game time: one row down.
    frame(0.0f, {vk::SPACE});
    const Picture falling = frame(0.6f);
    const Brikka& brikka = app->game();
    ASSERT_EQ(std::pair(brikka.state() == Brikka::PLAYING, brikka.y()), std::pair(true, 1));
    for (const Brikka::Cell& cell : Brikka::shape(brikka.kind(), brikka.rotation())) {
        const int column = brikka.x() + cell.dx, row = brikka.y() + cell.dy;
        EXPECT_TRUE(row < 0 || near(boardCell(falling, column, row), kBoardColors[brikka.kind() + 1]))
            << column << "," << row << ": " << hex(boardCell(falling, column, row));
    }
    for (int i = 0; i < 3; ++i)
        frame(0.5f);
    EXPECT_EQ(app->scriptPlayer().previousTime(), shown);  // the script's clock stood still
    const int row = brikka.y();
    EXPECT_GE(row, 3);

    frame(0.5f, {vk::KEY_9});
    for (int i = 0; i < 4; ++i)
        frame(0.5f);
    EXPECT_EQ(brikka.y(), row);  // the game waits
    EXPECT_EQ(app->scriptPlayer().previousTime(), shown + 5 * 256);

    frame(0.1f, {vk::KEY_9, vk::KEY_0});
    EXPECT_TRUE(gameMode);  // both at once: the game

    ASSERT_GT(Texture::textureMemory(), 0);
    app.reset();
    EXPECT_EQ(Texture::textureMemory(), 0);  // the board's texture too

    // Asked for, the used-files list covers every build of a run: a rebuild, as after F1
    // or a resize, adds its files again.
    std::string used;
    for (int builds = 1; builds <= 2; ++builds) {
        app.reset();
        app = std::make_unique<Application>(true);
        used += std::string(Application::kFontFile) + "\n" + Application::kScriptFile + "\n";
        EXPECT_EQ(readText("usedfiles.txt"), used);
    }
}

}  // namespace
}  // namespace mirva::test
