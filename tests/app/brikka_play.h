#pragma once
// Playing the falling-block game from tests: a game whose pieces come in a given order,
// in a fresh working directory (for its high-score file), and key presses by frames.
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "app/brikka.h"
#include "tests/support/files.h"

namespace mirva::test {

class BrikkaTest : public ::testing::Test {
public:
    // A waiting game whose pieces, once started, are `kinds` in order, the last one
    // repeated for ever.
    static Brikka makeGame(std::vector<int> kinds);
    // The same game, started with Space.
    static Brikka startGame(std::vector<int> kinds);

    // One update of `seconds` step time with these keys down.
    static void frame(Brikka& game, float seconds, std::initializer_list<int> down = {});
    // A key pressed and let go, without time passing.
    static void press(Brikka& game, int key);
    // Lets the piece fall at one row per update, without Down (so without scoring), until
    // it locks.
    static void dropQuietly(Brikka& game);
    // Holds Down until the piece locks.
    static void dropWithDown(Brikka& game);
    // With the long piece lying at the top: fills the four bottom rows but column 0,
    // stands the piece up in column 0 and drops it.
    static void clearFourRows(Brikka& game);

protected:
    TempDir dir_;
    ScopedWorkingDir workingDir_{dir_.path()};
};

}  // namespace mirva::test
