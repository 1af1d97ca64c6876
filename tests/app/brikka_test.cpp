// The falling-block game played through updates with key states: starting, falling, moves
// and rotation at the walls, locking, clearing rows, scoring, levels, pausing, the end of a
// game and its high score; the board texels game mode shows. The game screen's frame (its
// clear colour, the game at double speed, the board texture) is seen in the application's
// pixel tests.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "app/brikka.h"
#include "app/brikka_high_score.h"
#include "app/game_screen.h"
#include "io/surface.h"
#include "tests/support/files.h"

namespace mirva::test {
namespace {

using Rows = std::vector<std::string>;

void frame(Brikka& game, float seconds, const std::vector<int>& down = {})
{
    KeyStates keys{};
    for (int key : down)
        keys[static_cast<std::size_t>(key)] = 1;
    game.update(seconds, keys);
}

// Keys pressed together and let go, `times` over, without time passing.
void press(Brikka& game, const std::vector<int>& keys, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        frame(game, 0.0f, keys);
        frame(game, 0.0f);
    }
}

// A waiting game (started with Space when `started`) whose pieces are `kinds` in order, the
// last one repeated for ever; creating the game draws two kinds that are never played.
Brikka makeGame(std::vector<int> kinds, bool started = true)
{
    kinds.insert(kinds.begin(), {0, 0});
    Brikka game(8, 32, [kinds, next = std::size_t{0}]() mutable { return kinds[std::min(next++, kinds.size() - 1)]; });
    if (started)
        frame(game, 0.0f, {vk::SPACE});
    return game;
}

// Lets the piece fall a row an update (1.5 rows of step time at the level's speed, which
// scores nothing) until it locks: the fall position is 0 only after a new piece appeared.
void drop(Brikka& game)
{
    for (int i = 0; i < 40 && game.state() == Brikka::PLAYING; ++i) {
        frame(game, 1.5f / static_cast<float>(game.level()));
        if (game.fallPosition() == 0.0f)
            return;
    }
    ASSERT_NE(game.state(), Brikka::PLAYING) << "the piece did not lock";
}

std::string state(const Brikka& g)
{
    std::ostringstream s;
    s << (g.state() == Brikka::PLAYING ? "playing" : g.state() == Brikka::PAUSED ? "paused" : "waiting") << " '"
      << g.message() << "' kind " << g.kind() << " at " << g.x() << "," << g.y() << " turn " << g.rotation()
      << " score " << g.score() << " lines " << g.lines() << " level " << g.level();
    return s.str();
}

// `count` rows from `top` down, each cell as '.' for 0, else its value's digit ('?' for -1).
Rows rowsOf(int top, int count, const std::function<int(int x, int y)>& value)
{
    Rows rows(static_cast<std::size_t>(count), std::string(8, '.'));
    for (int y = 0; y < count; ++y)
        for (int x = 0; x < 8; ++x)
            if (const int v = value(x, top + y))
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] =
                    v < 0 ? '?' : static_cast<char>('0' + v);
    return rows;
}

Rows grid(const Brikka& game, int top, int count) { return rowsOf(top, count, [&](int x, int y) { return game.cell(x, y); }); }

// Fills the grid's bottom rows; '.' leaves a cell empty.
void fillBottom(Brikka& game, const Rows& rows)
{
    const int top = 32 - static_cast<int>(rows.size());
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < 8; ++x)
            if (const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]; c != '.')
                game.setCell(x, top + y, c - '0');
}

// The board texels game mode shows, as the grid values whose colours they have ('?' for a
// colour of none: a texel missed).
Rows board(const Brikka& game, int top, int count)
{
    Surface texels(8, 32);
    texels.clear();
    drawBoard(game, texels);
    return rowsOf(top, count, [&](int x, int y) {
        const auto* value = std::find(std::begin(kBoardColors), std::end(kBoardColors), texels.pixel(x, y));
        return value == std::end(kBoardColors) ? -1 : static_cast<int>(value - std::begin(kBoardColors));
    });
}

const Rows kEmptyBoard(32, "........");

class BrikkaTest : public ::testing::Test {
protected:
    TempDir dir_;
    ScopedWorkingDir workingDir_{dir_.path()};
};

// One game: waiting, starting, falling at the level's speed, moving, rotating at the walls
// and against a cell, falling fast with Down.
TEST_F(BrikkaTest, AGameStartsFallsMovesAndRotatesByTheRules)
{
    Brikka game = makeGame({3, 2, 2, 2}, false);  // the square (columns x and x + 1), then the long piece
    const std::string waiting = "waiting 'space to start' kind 0 at -4,0 turn 0 score 0 lines 0 level 1";
    EXPECT_EQ(state(game), waiting);  // the piece off the board
    EXPECT_EQ(board(game, 0, 32), kEmptyBoard);
    frame(game, 5.0f, {vk::KEY_P, vk::DOWN, vk::LEFT});  // neither P nor time does anything
    EXPECT_EQ(state(game), waiting);
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(state(game), "playing '' kind 3 at 4,0 turn 0 score 0 lines 0 level 1");

    // A row a second at level 1; exactly one row ahead is not enough; falling on its own scores nothing.
    frame(game, 0.5f);
    frame(game, 0.5f);
    EXPECT_EQ(std::tuple(game.fallPosition(), game.y()), std::tuple(1.0f, 0));
    frame(game, 0.5f);
    EXPECT_EQ(std::pair(game.y(), game.score()), std::pair(1, 0));

    // Space while playing starts no new game: the board is as it was.
    press(game, {vk::LEFT});
    game.setCell(7, 31, 5);
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(std::pair(game.x(), game.cell(7, 31)), std::pair(3, 5));

    // Moves on presses; held, one column; Left with Right cancels unless the wall blocks one
    // of them; at the right wall Left moves first, then Right moves back.
    for (int i = 0; i < 5; ++i)
        frame(game, 0.0f, {vk::LEFT});
    frame(game, 0.0f);
    std::vector<int> xs = {game.x()};
    for (const auto& [down, times] : std::initializer_list<std::pair<std::vector<int>, int>>{
             {{vk::LEFT}, 1}, {{vk::RIGHT}, 2}, {{vk::LEFT, vk::RIGHT}, 1}, {{vk::LEFT}, 4},
             {{vk::LEFT, vk::RIGHT}, 1}, {{vk::RIGHT}, 6}, {{vk::LEFT, vk::RIGHT}, 1}}) {
        press(game, down, times);
        xs.push_back(game.x());
    }
    EXPECT_EQ(xs, (std::vector{2, 1, 3, 3, 0, 1, 6, 6}));
    drop(game);

    // Rotation into a wall is refused; a cell above the top is no obstacle.
    std::vector<std::pair<int, int>> turns;
    for (const auto& [key, times] : std::initializer_list<std::pair<int, int>>{
             {vk::SHIFT, 1}, {vk::LEFT, 4}, {vk::SHIFT, 1}, {vk::RIGHT, 7}, {vk::SHIFT, 1}, {vk::LEFT, 2}, {vk::SHIFT, 1}}) {
        press(game, {key}, times);
        turns.emplace_back(game.x(), game.rotation());
    }
    EXPECT_EQ(turns, (std::vector<std::pair<int, int>>{{4, 1}, {0, 1}, {0, 1}, {7, 1}, {7, 1}, {5, 1}, {5, 2}}));
    drop(game);
    // Nor into an occupied cell: upright, the piece would reach row 2.
    game.setCell(4, 2, 1);
    press(game, {vk::SHIFT});
    EXPECT_EQ(game.rotation(), 0);
    game.setCell(4, 2, 0);

    // 32 steps of 1/32 s with Down: 15 rows of fall position, 14 rows down; each scores the level.
    for (int i = 0; i < 32; ++i)
        frame(game, 0.03125f, {vk::DOWN});
    EXPECT_EQ(std::tuple(game.fallPosition(), game.y(), game.score()), std::tuple(15.0f, 14, 214));
    drop(game);
    // At most a row a step, whatever the time: 15 rows ahead with Down (each scoring), 10 at
    // the level's speed; the lock before scored 100.
    frame(game, 1.0f, {vk::DOWN});
    frame(game, 1.0f, {vk::DOWN});
    frame(game, 10.0f);
    EXPECT_EQ(std::pair(game.y(), game.score()), std::pair(3, 316));
}

// A piece dropped in column 0 completes two rows of those it spans: they go, score
// 100 + 400, and the rows above them move down; rows outside its span stay, full or not.
TEST_F(BrikkaTest, ALockRemovesTheFullRowsItSpansAndShowsTheColours)
{
    const struct {
        std::vector<int> kinds;  // the square (3) in columns 0 and 1, or the long piece (2) upright
        Rows before, after;
    } cases[] = {
        {{3, 3},
         {"......1.", "........", "........", ".....6..", "..777777", "..777777"},
         {"........", "........", "......1.", "........", "........", ".....6.."}},
        {{3, 3}, {"...5....", "..222222", "..222222", "11111111"}, {"........", "........", "...5....", "11111111"}},
        {{2}, {"........", ".2222222", "....6...", ".2222222"}, {"........", "........", "3.......", "3...6..."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before[0]);
        Brikka game = makeGame(c.kinds);
        fillBottom(game, c.before);
        if (game.kind() == 2)
            press(game, {vk::SHIFT});
        press(game, {vk::LEFT}, 4);
        drop(game);
        EXPECT_EQ(grid(game, 32 - static_cast<int>(c.after.size()), static_cast<int>(c.after.size())), c.after);
        EXPECT_EQ(state(game), "playing '' kind " + std::to_string(c.kinds.back()) + " at 4,0 turn 0 score 500 "
                                                                                      "lines 2 level 1");
    }

    // Grid cells and the falling piece show in their kinds' colours.
    Brikka game = makeGame({4, 1});
    fillBottom(game, {"1234567."});
    press(game, {vk::SHIFT});  // kind 4, rotation 1: (0,-1) (0,0) (0,1) (1,0)
    press(game, {vk::RIGHT});
    frame(game, 1.5f);
    frame(game, 1.5f);  // two rows down: (5,1) (5,2) (5,3) (6,2)
    Rows expected = kEmptyBoard;
    expected[1] = expected[3] = ".....5..";
    expected[2] = ".....55.";
    expected[31] = "1234567.";
    EXPECT_EQ(board(game, 0, 32), expected);
}

TEST_F(BrikkaTest, LevelsFollowTheLinesAndStopAtNine)
{
    Brikka game = makeGame({2});
    // Level after so many lines: one more for every 16, at most 9.
    const std::map<int, int> levels = {{4, 1},    {12, 1},  {16, 2},  {28, 2}, {32, 3},
                                       {124, 8}, {128, 9}, {140, 9}, {144, 9}};
    int expectedScore = 0;
    for (int fours = 1; fours <= 36; ++fours) {
        // The long piece, lying at the top, stood up in column 0 beside four rows full but there.
        ASSERT_EQ(game.kind(), 2);
        fillBottom(game, Rows(4, ".7777777"));
        press(game, {vk::SHIFT});
        press(game, {vk::LEFT}, 4);
        drop(game);
        expectedScore += 100 + 1600;
        ASSERT_EQ(std::pair(game.lines(), game.score()), std::pair(4 * fours, expectedScore));
        if (const auto level = levels.find(game.lines()); level != levels.end()) {
            EXPECT_EQ(game.level(), level->second) << "after " << game.lines() << " lines";
        }
        if (game.lines() == 16) {
            // Level 2: two rows a second, and a row of fast fall scores 2.
            frame(game, 0.75f);
            EXPECT_EQ(game.y(), 1);
            frame(game, 0.0625f, {vk::DOWN});
            EXPECT_EQ(std::pair(game.y(), game.score()), std::pair(2, expectedScore + 2));
            expectedScore += 2;
        }
    }
}

// Two games: the first ends at once, its piece coming to rest partly above the top; the
// second is paused and resumed, and ends when a piece cannot appear.
TEST_F(BrikkaTest, PausingStopsAGameAndAPieceThatCannotAppearOrRestInTheGridEndsIt)
{
    Brikka game = makeGame({0, 0, 3, 0});
    EXPECT_EQ(board(game, 0, 3), (Rows{"....1...", "....1...", "........"}));  // its visible cells
    // Kind 0 at (4,-1) (5,-1) (4,0) (4,1) can appear but not fall: it would lock with two
    // cells outside the grid. The grid stays untouched, and 0 beats nothing.
    game.setCell(4, 2, 7);
    frame(game, 1.5f);
    EXPECT_EQ(state(game), "waiting 'game over' kind 0 at 4,0 turn 0 score 0 lines 0 level 1");
    EXPECT_EQ(grid(game, 0, 3), (Rows{"........", "........", "....7..."}));
    EXPECT_FALSE(std::filesystem::exists(kHighScoreFile));

    frame(game, 0.0f, {vk::SPACE});
    frame(game, 1.5f);
    frame(game, 0.0f, {vk::KEY_P, vk::LEFT});
    const std::string paused = "paused 'paused' kind 3 at 4,1 turn 0 score 0 lines 0 level 1";
    EXPECT_EQ(state(game), paused);  // and no move
    frame(game, 5.0f, {vk::KEY_P, vk::DOWN});
    frame(game, 5.0f, {vk::DOWN, vk::RIGHT});  // held P is no new press
    EXPECT_EQ(std::pair(state(game), game.fallPosition()), std::pair(paused, 1.5f));
    EXPECT_EQ(board(game, 1, 2), (Rows{"....44..", "....44.."}));  // the piece stays where it stopped
    frame(game, 5.0f, {vk::KEY_P});
    EXPECT_EQ(state(game), "playing '' kind 3 at 4,1 turn 0 score 0 lines 0 level 1");
    frame(game, 0.5f, {vk::KEY_P});  // resuming took no step either
    EXPECT_EQ(std::pair(game.state() == Brikka::PLAYING, game.fallPosition()), std::pair(true, 2.0f));

    // Kind 0 will appear at (4,-1) (5,-1) (4,0) (4,1): blocked at (4,1) although half of
    // it is above the top.
    press(game, {vk::LEFT}, 4);
    game.setCell(4, 1, 7);
    drop(game);
    EXPECT_EQ(state(game), "waiting 'game over' kind 0 at 4,0 turn 0 score 100 lines 0 level 1");
    // The grid stays as it was, without the last piece; the board shows it over the stack.
    EXPECT_EQ(grid(game, 0, 2), (Rows{"........", "....7..."}));
    EXPECT_EQ(grid(game, 30, 2), (Rows{"44......", "44......"}));
    EXPECT_EQ(board(game, 0, 2), (Rows{"....1...", "....1..."}));
    // The next game starts on an empty board.
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(state(game), "playing '' kind 0 at 4,0 turn 0 score 0 lines 0 level 1");
    EXPECT_EQ(grid(game, 0, 32), kEmptyBoard);
}

TEST_F(BrikkaTest, HighScoresAreWrittenWhenBeatenAndReadBackUnreadableOnesCountingAsZero)
{
    // Line breaks of another system are read; the labels are skipped, not read.
    const std::pair<std::string, HighScores> files[] = {
        {"", {0, 0}}, {"hello", {0, 0}}, {"highscore abc\nhighlines 7\n", {0, 0}},
        {"highscore 1700\nhighlines\n", {1700, 0}}, {"highscore 99999999999999\nhighlines 4\n", {0, 0}},
        {"highscore 1700\r\nhighlines 4\r\n", {1700, 4}}, {"highscore 1700\nhighlines 4", {1700, 4}},
        {"HIGHSCORE 250\nHIGHLINES 3\n", {250, 3}}};
    for (const auto& [text, expected] : files) {
        writeText(kHighScoreFile, text);
        EXPECT_EQ(readHighScores(), expected) << '"' << text << '"';
    }
    // A game that ends with 600 points and 2 lines (a square clears two rows, another comes
    // to rest at the bottom, then a square cannot appear) beside a high-score file: a folder
    // that cannot be opened counts as zeros and is not written, and the game goes on; an
    // equal score leaves the file untouched; none, or one point less, is written.
    const struct {
        std::string before;  // "": no file; "/": a folder
        HighScores read, kept;
        std::string after;
    } games[] = {{"/", {0, 0}, {600, 2}, "/"},
                 {"highscore 600\nhighlines 9\n", {600, 9}, {600, 9}, "highscore 600\nhighlines 9\n"},
                 {"", {0, 0}, {600, 2}, "highscore 600\nhighlines 2\n"},
                 {"highscore 599\nhighlines 9\n", {599, 9}, {600, 2}, "highscore 600\nhighlines 2\n"}};
    for (const auto& c : games) {
        SCOPED_TRACE(c.before);
        std::filesystem::remove(kHighScoreFile);
        if (c.before == "/")
            std::filesystem::create_directory(kHighScoreFile);
        else if (!c.before.empty())
            writeText(kHighScoreFile, c.before);
        Brikka game = makeGame({3});
        EXPECT_EQ(HighScores(game.highScore(), game.highLines()), c.read);
        fillBottom(game, {"..777777", "..777777"});
        press(game, {vk::LEFT}, 4);
        drop(game);
        press(game, {vk::LEFT}, 4);
        game.setCell(4, 1, 1);
        drop(game);
        ASSERT_EQ(state(game), "waiting 'game over' kind 3 at 4,0 turn 0 score 600 lines 2 level 1");
        EXPECT_EQ(HighScores(game.highScore(), game.highLines()), c.kept);
        EXPECT_EQ(std::filesystem::is_directory(kHighScoreFile) ? "/" : readText(kHighScoreFile), c.after);
        frame(game, 0.0f, {vk::SPACE});
        EXPECT_EQ(game.state(), Brikka::PLAYING);
    }
    // A new game reads what the last one wrote, and game mode shows it.
    const Brikka restarted = makeGame({3}, false);
    std::string shown;
    for (const GameScreenText& text : gameScreenTexts(restarted))
        shown += text.text + " ";
    EXPECT_EQ(shown, "score 0 lines 0 level 1 hiscr 600 hilns 2 space to start ");
}

}  // namespace
}  // namespace mirva::test
