#pragma once
// Brikka: the program's falling-block game, shown in game mode.
//
// Seven kinds of four-cell pieces fall into a well of columns x rows cells (8 x 32 in the
// program); the player moves, rotates and drops the falling piece, full rows disappear
// and score. This class holds the whole game state and its rules and nothing else: it
// draws nothing (game_screen.h shows it) and reads no window; each update gets the step
// seconds and the key states by virtual-key code.
//
// Order of use: construct (reads the high scores) -> update once per game-mode frame.
//
// Row 0 is the top of the well, rows grow downward. A grid cell holds 0 when empty,
// otherwise kind + 1 of the piece that left it there.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/keys.h"

namespace mirva {

class Brikka {
public:
    enum State { WAITING = 0, PAUSED = 1, PLAYING = 2 };
    static constexpr int kKinds = 7;

    struct Cell {
        int dx, dy;
    };
    using Shape = std::array<Cell, 4>;
    // The four cells of a kind (0..6) in a rotation (0..3), as offsets from the piece's
    // reference cell, in their fixed order. Kind 2 is the four-in-a-row piece, kind 3 the
    // square.
    static const Shape& shape(int kind, int rotation);

    // Where new kinds come from: the program's shared generator unless a test says
    // otherwise. Each draw is taken modulo 7.
    using RandomSource = std::function<int()>;

    // Starts waiting for Space with the piece off the board, and reads the high scores
    // from "brikkahighscore.txt" in the working directory.
    Brikka(int columns, int rows, RandomSource random = nullptr);

    // One frame of the game: `stepSeconds` of game time (the program passes twice the
    // frame's seconds) and the keys by virtual-key code.
    void update(float stepSeconds, const KeyStates& keys);

    // Whether the piece of `kind` in `rotation` at (x, y) would leave the well at the
    // sides or the bottom or overlap an occupied cell. Cells above the top never collide.
    bool collides(int x, int y, int kind, int rotation) const;

    int state() const { return state_; }
    int level() const { return level_; }
    int score() const { return score_; }
    int lines() const { return lines_; }
    int highScore() const { return highScore_; }
    int highLines() const { return highLines_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    float fallPosition() const { return fall_; }
    int kind() const { return kind_; }
    int nextKind() const { return nextKind_; }
    int rotation() const { return rotation_; }
    int x() const { return x_; }
    int y() const { return y_; }
    const std::string& message() const { return message_; }
    int cell(int x, int y) const { return grid_[index(x, y)]; }
    // Puts a value into one grid cell, to set up a position (tests, demonstrations).
    void setCell(int x, int y, int value) { grid_[index(x, y)] = value; }

private:
    struct Requests {
        bool left = false, right = false, fastFall = false, rotate = false;
    };

    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(x);
    }
    int randomKind();
    void newGame();
    void spawn();
    void step(float seconds, const Requests& requests);
    void lock();
    void removeFullRows(int lowest, int highest);
    void gameOver();

    RandomSource random_;
    int columns_, rows_;
    std::vector<int> grid_;

    int state_ = WAITING;
    int level_ = 1;
    int score_ = 0;
    int lines_ = 0;
    int highScore_ = 0;
    int highLines_ = 0;
    float fall_ = 0.0f;
    int kind_ = 0;
    int nextKind_ = 0;
    int rotation_ = 0;
    int x_ = 0, y_ = 0;
    std::string message_;

    // Keys seen down at the previous update, for presses (edges) without auto-repeat.
    bool leftLatch_ = false, rightLatch_ = false, rotateLatch_ = false, pauseLatch_ = false;
};

}  // namespace mirva
