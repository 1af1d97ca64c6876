#pragma once
// The game's best score, kept in "brikkahighscore.txt" in the working directory as two
// text lines: "highscore <score>" and "highlines <lines of that game>".
//
// Reading never fails: a missing or unreadable file gives zeros, and a number that cannot
// be read counts as 0. Writing replaces the file; when it cannot be written the game goes
// on without it. Neither shows a message.
namespace mirva {

struct HighScores {
    int score = 0;
    int lines = 0;
    bool operator==(const HighScores&) const = default;
};

constexpr const char* kHighScoreFile = "brikkahighscore.txt";

HighScores readHighScores();
void writeHighScores(const HighScores& scores);

}  // namespace mirva
