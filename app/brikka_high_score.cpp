#include "app/brikka_high_score.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <string>

#include "io/phile.h"

namespace mirva {

namespace {

// Reads a decimal integer at `pos` after any white space, as a C stream read of "%d"
// would; false when there is none or it does not fit an int. `pos` ends after what was
// read.
bool readNumber(const PhileBlock& text, std::size_t& pos, int& value)
{
    while (pos < text.size() && std::isspace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    const std::size_t first = pos;
    long long number = 0;
    while (pos < text.size() && std::isdigit(text[pos])) {
        number = number * 10 + (text[pos++] - '0');
        if (number > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (pos == first)
        return false;
    number = negative ? -number : number;
    if (number > INT_MAX || number < INT_MIN)
        return false;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

HighScores readHighScores()
{
    HighScores scores;
    PhileBlock text;
    if (!Phile::tryLoad(kHighScoreFile, text))
        return scores;
    // "highscore " is 10 characters; after the first number, the line break and
    // "highlines " are 11 more.
    std::size_t pos = 10;
    if (!readNumber(text, pos, scores.score))
        scores.score = 0;
    pos += 11;
    if (!readNumber(text, pos, scores.lines))
        scores.lines = 0;
    return scores;
}

void writeHighScores(const HighScores& scores)
{
    std::FILE* file = std::fopen(kHighScoreFile, "w");
    if (!file)
        return;
    std::fprintf(file, "highscore %d\nhighlines %d\n", scores.score, scores.lines);
    std::fclose(file);
}

}  // namespace mirva
