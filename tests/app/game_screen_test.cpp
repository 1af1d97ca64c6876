// What game mode shows of the game: the board texels, the texts beside the board, the
// high-score file, and one game-mode frame through the headless device.
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "app/brikka_high_score.h"
#include "app/game_screen.h"
#include "engine/camera.h"
#include "engine/texture.h"
#include "tests/app/brikka_play.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/files.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kBlack = 0xFF000000, kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kRed = 0xFFFF0000,
                        kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kMagenta = 0xFFFF00FF, kWhite = 0xFFFFFFFF;

Surface boardOf(const Brikka& game)
{
    Surface board(8, 32);
    board.clear();  // transparent: a texel the drawing misses shows up
    drawBoard(game, board);
    return board;
}

// Texels that differ from black, as "x,y" -> colour.
std::map<std::string, std::uint32_t> coloured(const Surface& board)
{
    std::map<std::string, std::uint32_t> texels;
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x)
            if (board.pixel(x, y) != kBlack)
                texels[std::to_string(x) + "," + std::to_string(y)] = board.pixel(x, y);
    return texels;
}

using Board = BrikkaTest;

TEST_F(Board, TheWaitingPieceIsNotDrawn)
{
    const Brikka game = makeGame({1});
    EXPECT_TRUE(coloured(boardOf(game)).empty());
}

TEST_F(Board, GridCellsAndTheFallingPieceInTheirKindColours)
{
    Brikka game = startGame({4, 1});
    game.setCell(0, 31, 1);
    game.setCell(1, 31, 2);
    game.setCell(2, 31, 3);
    game.setCell(3, 31, 4);
    game.setCell(4, 31, 5);
    game.setCell(5, 31, 6);
    game.setCell(6, 31, 7);
    press(game, vk::SHIFT);  // kind 4, rotation 1: (0,-1) (0,0) (0,1) (1,0)
    press(game, vk::RIGHT);
    frame(game, 1.5f);
    frame(game, 1.5f);  // two rows down: (5,1) (5,2) (5,3) (6,2)
    const std::map<std::string, std::uint32_t> expected = {
        {"0,31", kYellow}, {"1,31", kCyan}, {"2,31", kRed},   {"3,31", kBlue}, {"4,31", kGreen},
        {"5,31", kMagenta}, {"6,31", kWhite}, {"5,1", kGreen}, {"5,2", kGreen}, {"5,3", kGreen},
        {"6,2", kGreen},
    };
    EXPECT_EQ(coloured(boardOf(game)), expected);
    EXPECT_EQ(boardOf(game).pixel(7, 31), kBlack);  // empty cells are opaque black
}

TEST_F(Board, APiecePartlyAboveTheTopShowsItsVisibleCells)
{
    const Brikka game = startGame({0});  // (4,-1) (5,-1) (4,0) (4,1)
    const std::map<std::string, std::uint32_t> expected = {{"4,0", kYellow}, {"4,1", kYellow}};
    EXPECT_EQ(coloured(boardOf(game)), expected);
}

TEST_F(Board, WhilePausedThePieceStaysWhereItStopped)
{
    Brikka game = startGame({3});
    frame(game, 1.5f);
    press(game, vk::KEY_P);
    frame(game, 1.5f);
    ASSERT_EQ(game.state(), Brikka::PAUSED);
    const std::map<std::string, std::uint32_t> expected = {
        {"4,1", kBlue}, {"5,1", kBlue}, {"4,2", kBlue}, {"5,2", kBlue}};
    EXPECT_EQ(coloured(boardOf(game)), expected);
}

TEST_F(Board, AfterGameOverTheLastPieceIsDrawnOverTheStackWhereItAppeared)
{
    Brikka game = startGame({3, 6});
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    game.setCell(5, 1, 2);  // kind 6 appears at (3,0) (4,0) (4,1) (5,1)
    dropQuietly(game);
    ASSERT_EQ(game.state(), Brikka::WAITING);
    const std::map<std::string, std::uint32_t> expected = {
        {"0,30", kBlue}, {"1,30", kBlue},  {"0,31", kBlue},  {"1,31", kBlue},
        {"3,0", kWhite}, {"4,0", kWhite}, {"4,1", kWhite}, {"5,1", kWhite},
    };
    EXPECT_EQ(coloured(boardOf(game)), expected);
}

// ---------------------------------------------------------------------------- texts

using Texts = BrikkaTest;

TEST_F(Texts, LabelsAndNumbersOnTheLeftAndTheMessageOnTheRight)
{
    writeText(kHighScoreFile, "highscore 1700\nhighlines 4\n");
    Brikka game = makeGame({3});
    const std::vector<GameScreenText> expected = {
        {-1.4f, 0.0f, "score"},   {-0.9f, 0.0f, "0"},   {-1.4f, -0.15f, "lines"}, {-0.9f, -0.15f, "0"},
        {-1.4f, -0.3f, "level"},  {-0.9f, -0.3f, "1"},  {-1.4f, -0.45f, "hiscr"}, {-0.9f, -0.45f, "1700"},
        {-1.4f, -0.6f, "hilns"},  {-0.9f, -0.6f, "4"},  {0.35f, 0.0f, "space to start"},
    };
    EXPECT_EQ(gameScreenTexts(game), expected);
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(gameScreenTexts(game).size(), 10u);  // no message while playing
}

// ---------------------------------------------------------------------------- high scores

using HighScoreFile = BrikkaTest;

// Plays a game that ends with 100 points and 0 lines: one square at the bottom, then a
// square that cannot appear.
void playA100PointGame(Brikka& game)
{
    BrikkaTest::frame(game, 0.0f, {vk::SPACE});
    for (int i = 0; i < 4; ++i)
        BrikkaTest::press(game, vk::LEFT);
    game.setCell(4, 1, 1);  // the next square cannot appear
    BrikkaTest::dropQuietly(game);
    ASSERT_EQ(game.state(), Brikka::WAITING);
    ASSERT_EQ(game.score(), 100);
}

TEST_F(HighScoreFile, WithoutAFileTheHighValuesAreZero)
{
    const Brikka game = makeGame({3});
    EXPECT_EQ(game.highScore(), 0);
    EXPECT_EQ(game.highLines(), 0);
    EXPECT_FALSE(std::filesystem::exists(kHighScoreFile));  // reading makes no file
}

TEST_F(HighScoreFile, ABeatenScoreIsWrittenAndReadBackAfterARestart)
{
    Brikka game = startGame({2, 2, 2, 2, 3});
    for (int i = 0; i < 4; ++i)
        clearFourRows(game);  // 4 x (100 + 1600) points, 16 lines
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    game.setCell(4, 1, 1);  // the square after this one cannot appear
    dropQuietly(game);      // 100 more
    ASSERT_EQ(game.state(), Brikka::WAITING);
    EXPECT_EQ(game.highScore(), 6900);
    EXPECT_EQ(game.highLines(), 16);
    EXPECT_EQ(readText(kHighScoreFile), "highscore 6900\nhighlines 16\n");

    const Brikka restarted = makeGame({3});
    EXPECT_EQ(restarted.highScore(), 6900);
    EXPECT_EQ(restarted.highLines(), 16);
    EXPECT_EQ(gameScreenTexts(restarted)[7].text, "6900");
    EXPECT_EQ(gameScreenTexts(restarted)[9].text, "16");
}

TEST_F(HighScoreFile, AScoreEqualToTheHighScoreLeavesTheFileUntouched)
{
    writeText(kHighScoreFile, "highscore 100\nhighlines 9\n");
    Brikka game = makeGame({3});
    playA100PointGame(game);
    EXPECT_EQ(game.highLines(), 9);
    EXPECT_EQ(readText(kHighScoreFile), "highscore 100\nhighlines 9\n");
    // One point more beats it.
    writeText(kHighScoreFile, "highscore 99\nhighlines 9\n");
    Brikka second = makeGame({3});
    playA100PointGame(second);
    EXPECT_EQ(readText(kHighScoreFile), "highscore 100\nhighlines 0\n");
}

TEST_F(HighScoreFile, UnreadableContentCountsAsZero)
{
    const std::pair<std::string, HighScores> cases[] = {
        {"", {0, 0}},
        {"hello", {0, 0}},
        {"highscore abc\nhighlines 7\n", {0, 0}},
        {"highscore 1700\nhighlines\n", {1700, 0}},
        {"highscore 99999999999999\nhighlines 4\n", {0, 0}},
        {"highscore 1700\r\nhighlines 4\r\n", {1700, 4}},  // line breaks of another system
        {"highscore 1700\nhighlines 4", {1700, 4}},
        {"HIGHSCORE 250\nHIGHLINES 3\n", {250, 3}},  // the labels are skipped, not read
    };
    for (const auto& [text, expected] : cases) {
        writeText(kHighScoreFile, text);
        EXPECT_EQ(readHighScores(), expected) << '"' << text << '"';
    }
}

TEST_F(HighScoreFile, AFileThatCannotBeOpenedGivesZerosAndIsNotWritten)
{
    std::filesystem::create_directory(kHighScoreFile);
    Brikka game = makeGame({3});
    EXPECT_EQ(game.highScore(), 0);
    playA100PointGame(game);  // writing fails quietly; the game goes on
    EXPECT_EQ(game.highScore(), 100);
    EXPECT_TRUE(std::filesystem::is_directory(kHighScoreFile));
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(game.state(), Brikka::PLAYING);
}

// ---------------------------------------------------------------------------- the frame

class GameScreenFrame : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        Texture::create(kBoardTexture, 8, 32, TextureEntry::A8R8G8B8, false);
    }
    TempDir dir_;
    ScopedWorkingDir workingDir_{dir_.path()};
};

TEST_F(GameScreenFrame, ClearsTheScreenRunsTheGameAtDoubleSpeedAndFillsTheBoardTexture)
{
    Brikka game(8, 32, [] { return 3; });
    Camera camera;
    int decorated = 0;
    GameScreen screen(camera, game, [&](Camera&, const Brikka& shown) {
        EXPECT_EQ(&shown, &game);
        ++decorated;
    });
    KeyStates keys{};
    keys[vk::SPACE] = 1;
    screen.frame(0.0f, keys);
    keys = {};
    // 0.3 s frames are 0.6 s steps: more than a row ahead after two frames, not one.
    screen.frame(0.3f, keys);
    EXPECT_EQ(game.y(), 0);
    screen.frame(0.3f, keys);
    EXPECT_EQ(game.y(), 1);
    EXPECT_EQ(decorated, 3);
    EXPECT_COLOR(frontBuffer(device()).at(5, 5), 0xFFC08000u);

    int pitch = 0;
    const auto* texels = static_cast<const unsigned char*>(Texture::lock(kBoardTexture, 0, pitch));
    const auto texel = [&](int x, int y) {
        std::uint32_t value = 0;
        std::memcpy(&value, texels + y * pitch + x * 4, 4);
        return value;
    };
    EXPECT_EQ(texel(4, 1), kBlue);  // the square at (4,1) (5,1) (5,2) (4,2)
    EXPECT_EQ(texel(5, 2), kBlue);
    EXPECT_EQ(texel(4, 0), kBlack);
    EXPECT_EQ(texel(7, 31), kBlack);
    Texture::unlock(kBoardTexture, 0);
}

}  // namespace
}  // namespace mirva::test
