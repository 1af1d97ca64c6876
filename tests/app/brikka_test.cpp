// The falling-block game's rules, played through updates with key states: starting,
// falling and fast falling, moves and rotation at the walls, locking, clearing rows,
// scoring, levels, pausing and the end of a game.
#include <deque>
#include <filesystem>
#include <initializer_list>
#include <map>

#include <gtest/gtest.h>

#include "app/brikka.h"
#include "app/brikka_high_score.h"
#include "tests/app/brikka_play.h"
#include "tests/support/files.h"

namespace mirva::test {
namespace {

TEST_F(BrikkaTest, WaitsForSpaceWithThePieceOffTheBoard)
{
    Brikka game = makeGame({2});
    EXPECT_EQ(game.state(), Brikka::WAITING);
    EXPECT_EQ(game.message(), "space to start");
    EXPECT_EQ(game.x(), -4);
    EXPECT_EQ(game.kind(), 0);
    EXPECT_EQ(game.level(), 1);
    EXPECT_EQ(game.highScore(), 0);
    // P while waiting does nothing; neither does time.
    frame(game, 5.0f, {vk::KEY_P, vk::DOWN, vk::LEFT});
    EXPECT_EQ(game.state(), Brikka::WAITING);
    EXPECT_EQ(game.message(), "space to start");
    EXPECT_EQ(game.x(), -4);

    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(game.state(), Brikka::PLAYING);
    EXPECT_EQ(game.message(), "");
    EXPECT_EQ(game.kind(), 2);
    EXPECT_EQ(game.x(), 4);
    EXPECT_EQ(game.y(), 0);
    EXPECT_EQ(game.rotation(), 0);
    EXPECT_EQ(game.score(), 0);
}

TEST_F(BrikkaTest, KindsComeFromTheGeneratorInOrder)
{
    // Creating the game draws twice, starting it twice more: the first piece is the
    // third draw, the one after it the fourth, each taken modulo 7.
    std::deque<int> draws = {100, 101, 102, 103, 104, 105};
    Brikka game(8, 32, [&] {
        const int draw = draws.front();
        draws.pop_front();
        return draw;
    });
    EXPECT_EQ(game.nextKind(), 101 % 7);
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(game.kind(), 102 % 7);
    EXPECT_EQ(game.nextKind(), 103 % 7);
    EXPECT_EQ(draws.size(), 2u);
}

TEST_F(BrikkaTest, SpaceWhilePlayingDoesNothing)
{
    Brikka game = startGame({3});
    press(game, vk::LEFT);
    game.setCell(7, 31, 5);
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(game.x(), 3);
    EXPECT_EQ(game.cell(7, 31), 5);  // no new game: the board is as it was
}

TEST_F(BrikkaTest, FallsLevelRowsPerSecondAndTakesARowOnlyWhenMoreThanOneAhead)
{
    Brikka game = startGame({3});
    frame(game, 0.5f);
    frame(game, 0.5f);
    EXPECT_FLOAT_EQ(game.fallPosition(), 1.0f);
    EXPECT_EQ(game.y(), 0);  // exactly one row ahead is not enough
    frame(game, 0.5f);
    EXPECT_EQ(game.y(), 1);
    EXPECT_EQ(game.score(), 0);  // falling on its own scores nothing
}

TEST_F(BrikkaTest, HoldingDownFalls15RowsASecondAndScoresTheLevelPerRow)
{
    Brikka game = startGame({3});
    // 32 steps of 1/32 s: one second of step time, 15 rows of fall position. The piece
    // is 14 rows down: the 15th row waits until the position is more than a row ahead.
    for (int i = 0; i < 32; ++i)
        frame(game, 0.03125f, {vk::DOWN});
    EXPECT_FLOAT_EQ(game.fallPosition(), 15.0f);
    EXPECT_EQ(game.y(), 14);
    EXPECT_EQ(game.score(), 14);
}

TEST_F(BrikkaTest, NeverMoreThanOneRowPerStep)
{
    Brikka game = startGame({3});
    frame(game, 1.0f, {vk::DOWN});  // 15 rows ahead
    EXPECT_EQ(game.y(), 1);
    frame(game, 1.0f, {vk::DOWN});
    EXPECT_EQ(game.y(), 2);
    EXPECT_EQ(game.score(), 2);
    frame(game, 10.0f);  // level speed, 10 rows more
    EXPECT_EQ(game.y(), 3);
    EXPECT_EQ(game.score(), 2);
}

TEST_F(BrikkaTest, MovesOnKeyPressesWithoutRepeat)
{
    Brikka game = startGame({3});
    for (int i = 0; i < 5; ++i)
        frame(game, 0.0f, {vk::LEFT});
    EXPECT_EQ(game.x(), 3);  // held: one column
    frame(game, 0.0f);
    frame(game, 0.0f, {vk::LEFT});
    EXPECT_EQ(game.x(), 2);
    press(game, vk::RIGHT);
    press(game, vk::RIGHT);
    EXPECT_EQ(game.x(), 4);
}

TEST_F(BrikkaTest, LeftAndRightTogetherCancelUnlessOneIsBlocked)
{
    Brikka game = startGame({3});  // the square: columns x and x + 1
    frame(game, 0.0f, {vk::LEFT, vk::RIGHT});
    EXPECT_EQ(game.x(), 4);
    frame(game, 0.0f);
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    ASSERT_EQ(game.x(), 0);
    // Left is blocked by the wall, right is not.
    frame(game, 0.0f, {vk::LEFT, vk::RIGHT});
    EXPECT_EQ(game.x(), 1);
    frame(game, 0.0f);
    // Against the right wall: left moves first, then right moves back.
    for (int i = 0; i < 6; ++i)
        press(game, vk::RIGHT);
    ASSERT_EQ(game.x(), 6);
    frame(game, 0.0f, {vk::LEFT, vk::RIGHT});
    EXPECT_EQ(game.x(), 6);
}

TEST_F(BrikkaTest, RotatingTheLongPieceIntoAWallIsRefused)
{
    Brikka game = startGame({2, 2});
    press(game, vk::SHIFT);
    ASSERT_EQ(game.rotation(), 1);  // upright; a cell above the top is no obstacle
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    ASSERT_EQ(game.x(), 0);
    press(game, vk::SHIFT);  // lying down would put a cell in column -1
    EXPECT_EQ(game.rotation(), 1);
    for (int i = 0; i < 7; ++i)
        press(game, vk::RIGHT);
    ASSERT_EQ(game.x(), 7);
    press(game, vk::SHIFT);  // and here in columns 8 and 9
    EXPECT_EQ(game.rotation(), 1);
    press(game, vk::LEFT);
    press(game, vk::LEFT);
    press(game, vk::SHIFT);  // room enough at column 5
    EXPECT_EQ(game.rotation(), 2);
}

TEST_F(BrikkaTest, RotationIsRefusedByOccupiedCellsToo)
{
    Brikka game = startGame({2});
    game.setCell(4, 2, 1);  // upright, the piece would reach row 2
    press(game, vk::SHIFT);
    EXPECT_EQ(game.rotation(), 0);
}

TEST_F(BrikkaTest, ALockCompletingTheTwoBottomRowsRemovesBothAndScores500)
{
    Brikka game = startGame({3, 3});
    for (int column = 2; column < 8; ++column) {
        game.setCell(column, 30, 7);
        game.setCell(column, 31, 7);
    }
    game.setCell(5, 29, 6);  // above the full rows: moves down two
    game.setCell(6, 20, 1);
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    dropQuietly(game);
    EXPECT_EQ(game.score(), 100 + 400);
    EXPECT_EQ(game.lines(), 2);
    EXPECT_EQ(game.level(), 1);
    EXPECT_EQ(game.cell(5, 31), 6);
    EXPECT_EQ(game.cell(5, 29), 0);
    EXPECT_EQ(game.cell(0, 31), 0);
    EXPECT_EQ(game.cell(2, 30), 0);
    EXPECT_EQ(game.cell(6, 22), 1);
    EXPECT_EQ(game.cell(6, 20), 0);
    // The next piece is on its way.
    EXPECT_EQ(game.state(), Brikka::PLAYING);
    EXPECT_EQ(game.y(), 0);
    EXPECT_EQ(game.x(), 4);
}

TEST_F(BrikkaTest, OnlyTheRowsThePieceSpansAreChecked)
{
    Brikka game = startGame({3, 3});
    for (int column = 0; column < 8; ++column)
        game.setCell(column, 31, 1);  // full, but below the piece
    for (int column = 2; column < 8; ++column) {
        game.setCell(column, 29, 2);
        game.setCell(column, 30, 2);
    }
    game.setCell(3, 28, 5);
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    dropQuietly(game);  // the square comes to rest on rows 29 and 30
    EXPECT_EQ(game.lines(), 2);
    EXPECT_EQ(game.score(), 500);
    for (int column = 0; column < 8; ++column)
        EXPECT_EQ(game.cell(column, 31), 1) << column;
    EXPECT_EQ(game.cell(3, 30), 5);
    EXPECT_EQ(game.cell(3, 29), 0);
}

TEST_F(BrikkaTest, RowsOfTheSpanThatAreNotFullStay)
{
    Brikka game = startGame({2});
    // Upright in column 0 over rows 28..31: rows 29 and 31 become full, 28 and 30 not.
    for (int column = 1; column < 8; ++column) {
        game.setCell(column, 29, 2);
        game.setCell(column, 31, 2);
    }
    game.setCell(4, 30, 6);
    press(game, vk::SHIFT);
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    dropQuietly(game);
    EXPECT_EQ(game.lines(), 2);
    EXPECT_EQ(game.score(), 500);
    EXPECT_EQ(game.cell(0, 31), 3);  // what was row 30, moved down one
    EXPECT_EQ(game.cell(4, 31), 6);
    EXPECT_EQ(game.cell(0, 30), 3);  // what was row 28, moved down two
    EXPECT_EQ(game.cell(4, 30), 0);
    EXPECT_EQ(game.cell(0, 29), 0);
}

TEST_F(BrikkaTest, APieceLockedWithoutFullRowsStaysInTheGridWithItsKind)
{
    Brikka game = startGame({4, 3});
    dropWithDown(game);
    // Kind 4 in rotation 0 at the bottom: (3,30) (4,30) (5,30) (4,31).
    EXPECT_EQ(game.cell(3, 30), 5);
    EXPECT_EQ(game.cell(4, 30), 5);
    EXPECT_EQ(game.cell(5, 30), 5);
    EXPECT_EQ(game.cell(4, 31), 5);
    EXPECT_EQ(game.cell(3, 31), 0);
    EXPECT_EQ(game.score(), 30 + 100);  // 30 rows with Down at level 1, then the lock
    EXPECT_EQ(game.kind(), 3);
}

TEST_F(BrikkaTest, LevelsFollowTheLinesAndStopAtNine)
{
    Brikka game = startGame({2});
    // Level after so many lines: one more for every 16, at most 9.
    const std::map<int, int> levels = {{4, 1}, {12, 1}, {16, 2}, {28, 2}, {32, 3},
                                       {124, 8}, {128, 9}, {140, 9}, {144, 9}};
    int expectedScore = 0;
    for (int fours = 1; fours <= 36; ++fours) {
        clearFourRows(game);
        expectedScore += 100 + 1600;
        ASSERT_EQ(game.lines(), 4 * fours);
        ASSERT_EQ(game.score(), expectedScore);
        if (const auto level = levels.find(game.lines()); level != levels.end()) {
            EXPECT_EQ(game.level(), level->second) << "after " << game.lines() << " lines";
        }
        if (game.lines() == 16) {
            // Level 2: two rows a second, and a row of fast fall scores 2.
            frame(game, 0.75f);
            EXPECT_EQ(game.y(), 1);
            frame(game, 0.0625f, {vk::DOWN});
            EXPECT_EQ(game.y(), 2);
            EXPECT_EQ(game.score(), expectedScore + 2);
            expectedScore += 2;
        }
    }
    EXPECT_EQ(game.level(), 9);
}

TEST_F(BrikkaTest, PausingStopsTheGameUntilPIsPressedAgain)
{
    Brikka game = startGame({3});
    frame(game, 0.0f, {vk::KEY_P, vk::LEFT});
    EXPECT_EQ(game.state(), Brikka::PAUSED);
    EXPECT_EQ(game.message(), "paused");
    EXPECT_EQ(game.x(), 4);  // nothing else happens in that frame
    frame(game, 5.0f, {vk::KEY_P, vk::DOWN});
    frame(game, 5.0f, {vk::DOWN, vk::RIGHT});
    EXPECT_EQ(game.state(), Brikka::PAUSED);  // held P is no new press
    EXPECT_EQ(game.y(), 0);
    EXPECT_EQ(game.x(), 4);
    EXPECT_FLOAT_EQ(game.fallPosition(), 0.0f);
    frame(game, 5.0f, {vk::KEY_P});
    EXPECT_EQ(game.state(), Brikka::PLAYING);
    EXPECT_EQ(game.message(), "");
    EXPECT_FLOAT_EQ(game.fallPosition(), 0.0f);  // resuming takes no step either
    frame(game, 0.5f, {vk::KEY_P});
    EXPECT_EQ(game.state(), Brikka::PLAYING);
    EXPECT_FLOAT_EQ(game.fallPosition(), 0.5f);
}

TEST_F(BrikkaTest, APieceThatCannotAppearEndsTheGameAndStaysShown)
{
    Brikka game = startGame({3, 0});
    for (int i = 0; i < 4; ++i)
        press(game, vk::LEFT);
    // Kind 0 will appear at (4,-1) (5,-1) (4,0) (4,1): blocked at (4,1) although half of
    // it is above the top.
    game.setCell(4, 1, 7);
    dropQuietly(game);
    EXPECT_EQ(game.state(), Brikka::WAITING);
    EXPECT_EQ(game.message(), "game over");
    EXPECT_EQ(game.kind(), 0);
    EXPECT_EQ(game.x(), 4);
    EXPECT_EQ(game.y(), 0);
    EXPECT_EQ(game.cell(0, 31), 4);  // the board stays as it was
    EXPECT_EQ(game.cell(4, 1), 7);
    EXPECT_EQ(game.cell(4, 0), 0);  // the last piece is not written into it
    EXPECT_EQ(game.score(), 100);
    // The next game starts on an empty board.
    frame(game, 0.0f, {vk::SPACE});
    EXPECT_EQ(game.state(), Brikka::PLAYING);
    EXPECT_EQ(game.cell(4, 1), 0);
    EXPECT_EQ(game.score(), 0);
}

TEST_F(BrikkaTest, APieceComingToRestPartlyAboveTheTopEndsTheGameWithoutTouchingTheGrid)
{
    Brikka game = startGame({0, 3});
    // Kind 0 at (4,-1) (5,-1) (4,0) (4,1) can appear but not fall: it would lock with two
    // cells outside the grid.
    game.setCell(4, 2, 7);
    frame(game, 1.5f);
    EXPECT_EQ(game.state(), Brikka::WAITING);
    EXPECT_EQ(game.message(), "game over");
    EXPECT_EQ(game.kind(), 0);
    EXPECT_EQ(game.y(), 0);
    EXPECT_EQ(game.cell(4, 0), 0);
    EXPECT_EQ(game.cell(4, 1), 0);
    EXPECT_EQ(game.cell(4, 2), 7);
    EXPECT_EQ(game.score(), 0);
    EXPECT_FALSE(std::filesystem::exists(kHighScoreFile));  // 0 beats nothing
}

}  // namespace
}  // namespace mirva::test
