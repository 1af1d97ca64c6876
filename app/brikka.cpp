#include "app/brikka.h"

#include <algorithm>

#include "app/brikka_high_score.h"
#include "io/random.h"

namespace mirva {

namespace {

// Cells of every kind and rotation, in the order the game has always used them.
constexpr Brikka::Shape kShapes[Brikka::kKinds][4] = {
    {{{{0, -1}, {1, -1}, {0, 0}, {0, 1}}},
     {{{-1, 0}, {-1, -1}, {0, 0}, {1, 0}}},
     {{{0, -1}, {0, 0}, {0, 1}, {-1, 1}}},
     {{{-1, 0}, {0, 0}, {1, 0}, {1, 1}}}},
    {{{{0, -1}, {1, -1}, {1, 0}, {1, 1}}},
     {{{-1, 0}, {-1, 1}, {0, 0}, {1, 0}}},
     {{{0, -1}, {0, 0}, {0, 1}, {1, 1}}},
     {{{-1, 0}, {0, 0}, {1, 0}, {1, -1}}}},
    {{{{-1, 0}, {0, 0}, {1, 0}, {2, 0}}},
     {{{0, -1}, {0, 0}, {0, 1}, {0, 2}}},
     {{{-1, 0}, {0, 0}, {1, 0}, {2, 0}}},
     {{{0, -1}, {0, 0}, {0, 1}, {0, 2}}}},
    {{{{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
     {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
     {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}},
     {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}}},
    {{{{-1, 0}, {0, 0}, {1, 0}, {0, 1}}},
     {{{0, -1}, {0, 0}, {0, 1}, {1, 0}}},
     {{{0, -1}, {-1, 0}, {0, 0}, {1, 0}}},
     {{{0, -1}, {0, 0}, {0, 1}, {-1, 0}}}},
    {{{{0, 0}, {1, 0}, {-1, 1}, {0, 1}}},
     {{{0, -1}, {0, 0}, {1, 0}, {1, 1}}},
     {{{0, -1}, {1, -1}, {-1, 0}, {0, 0}}},
     {{{-1, -1}, {-1, 0}, {0, 0}, {0, 1}}}},
    {{{{-1, 0}, {0, 0}, {0, 1}, {1, 1}}},
     {{{0, 0}, {0, 1}, {1, -1}, {1, 0}}},
     {{{-1, -1}, {0, -1}, {0, 0}, {1, 0}}},
     {{{-1, 0}, {-1, 1}, {0, -1}, {0, 0}}}},
};

constexpr int kFastFallSpeed = 15;  // rows per second of step time while Down is held
constexpr int kLinesPerLevel = 16;
constexpr int kMaxLevel = 9;

}  // namespace

const Brikka::Shape& Brikka::shape(int kind, int rotation)
{
    return kShapes[kind][rotation];
}

Brikka::Brikka(int columns, int rows, RandomSource random)
    : random_(random ? std::move(random) : RandomSource(randomNext)), columns_(columns), rows_(rows),
      grid_(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0)
{
    // A game is started and then put to rest, so that everything has its start value;
    // the piece waits off the board, where it is not drawn.
    newGame();
    state_ = WAITING;
    kind_ = 0;
    rotation_ = 0;
    x_ = -4;
    y_ = 0;
    message_ = "space to start";
    const HighScores scores = readHighScores();
    highScore_ = scores.score;
    highLines_ = scores.lines;
}

int Brikka::randomKind()
{
    return random_() % kKinds;
}

bool Brikka::collides(int x, int y, int kind, int rotation) const
{
    for (const Cell& c : shape(kind, rotation)) {
        const int column = x + c.dx, row = y + c.dy;
        if (column < 0 || column >= columns_ || row >= rows_)
            return true;
        if (row >= 0 && grid_[index(column, row)] != 0)
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------- update

void Brikka::update(float stepSeconds, const KeyStates& keys)
{
    switch (state_) {
    case WAITING:
        if (keys[vk::SPACE])
            newGame();
        break;
    case PAUSED: {
        const bool pause = keys[vk::KEY_P] != 0;
        if (pause && !pauseLatch_) {
            message_.clear();
            state_ = PLAYING;
        }
        pauseLatch_ = pause;
        break;
    }
    case PLAYING: {
        const bool left = keys[vk::LEFT] != 0, right = keys[vk::RIGHT] != 0;
        const bool rotate = keys[vk::SHIFT] != 0, pause = keys[vk::KEY_P] != 0;
        Requests requests;
        requests.left = left && !leftLatch_;
        requests.right = right && !rightLatch_;
        requests.rotate = rotate && !rotateLatch_;
        requests.fastFall = keys[vk::DOWN] != 0;
        const bool pauseToggle = pause && !pauseLatch_;
        leftLatch_ = left;
        rightLatch_ = right;
        rotateLatch_ = rotate;
        pauseLatch_ = pause;
        if (pauseToggle) {
            message_ = "paused";
            state_ = PAUSED;
            break;
        }
        step(stepSeconds, requests);
        break;
    }
    }
}

void Brikka::newGame()
{
    std::fill(grid_.begin(), grid_.end(), 0);
    state_ = PLAYING;
    score_ = 0;
    level_ = 1;
    lines_ = 0;
    nextKind_ = randomKind();
    message_.clear();
    spawn();
}

void Brikka::spawn()
{
    fall_ = 0.0f;
    kind_ = nextKind_;
    nextKind_ = randomKind();
    x_ = columns_ / 2;
    y_ = 0;
    rotation_ = 0;
    if (collides(x_, y_, kind_, rotation_))
        gameOver();
}

void Brikka::step(float seconds, const Requests& requests)
{
    const int speed = requests.fastFall ? kFastFallSpeed : level_;
    fall_ += static_cast<float>(speed) * seconds;

    // Left first, then right from wherever left ended: both pressed together cancel out
    // unless one of them was blocked.
    if (requests.left && !collides(x_ - 1, y_, kind_, rotation_))
        --x_;
    if (requests.right && !collides(x_ + 1, y_, kind_, rotation_))
        ++x_;
    if (requests.rotate) {
        const int turned = (rotation_ + 1) % 4;
        if (!collides(x_, y_, kind_, turned))
            rotation_ = turned;
    }

    // At most one row per step, however far the fall position is ahead.
    if (fall_ - static_cast<float>(y_) > 1.0f) {
        if (collides(x_, y_ + 1, kind_, rotation_)) {
            lock();
        } else {
            ++y_;
            if (requests.fastFall)
                score_ += level_;
        }
    }
}

// ---------------------------------------------------------------------------- lock

void Brikka::lock()
{
    // A piece that comes to rest with a cell still above the top does not fit into the
    // well: the game ends there, the piece is left drawn where it stopped and nothing of
    // it is written outside the grid.
    for (const Cell& c : shape(kind_, rotation_))
        if (y_ + c.dy < 0) {
            gameOver();
            return;
        }

    int lowest = y_, highest = y_;
    for (const Cell& c : shape(kind_, rotation_)) {
        const int row = y_ + c.dy;
        grid_[index(x_ + c.dx, row)] = kind_ + 1;
        lowest = std::max(lowest, row);
        highest = std::min(highest, row);
    }
    score_ += 100;
    removeFullRows(lowest, highest);
    spawn();
}

void Brikka::removeFullRows(int lowest, int highest)
{
    // One check per row the piece spans, from its lowest row upward. A full row is
    // removed and the rows above move down, so the same row index is checked again.
    int removed = 0;
    int row = lowest;
    for (int checks = lowest - highest + 1; checks > 0; --checks) {
        const auto begin = grid_.begin() + static_cast<std::ptrdiff_t>(index(0, row));
        const bool full = std::find(begin, begin + columns_, 0) == begin + columns_;
        if (!full) {
            --row;
            continue;
        }
        std::copy_backward(grid_.begin(), begin, begin + columns_);
        std::fill(grid_.begin(), grid_.begin() + columns_, 0);
        ++removed;
    }
    if (removed == 0)
        return;
    lines_ += removed;
    score_ += 100 * removed * removed;
    level_ = std::min(kMaxLevel, lines_ / kLinesPerLevel + 1);
}

void Brikka::gameOver()
{
    state_ = WAITING;
    message_ = "game over";
    if (score_ > highScore_) {
        highScore_ = score_;
        highLines_ = lines_;
        writeHighScores({highScore_, highLines_});
    }
}

}  // namespace mirva
