#pragma once
// ScriptScanner: the tokens of a script, read from the text the include pass made.
//
// Longest match at every position; between matches of equal length the earlier rule
// wins, so keywords beat identifiers of the same text and `Setting` is an identifier.
// Keywords are exact and case-sensitive. `//` comments, blanks, tabs and line feeds
// separate tokens. A character that starts no token is written to the echo stream
// (standard output) and skipped; every real error shows up as a syntax error in the
// parser.
//
// Identifiers and strings are appended to the parser's tables, one new entry per token
// (equal names are not shared), and the token carries the index of its entry.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace mirva {

// Token codes; the parser's value tag lists use the same numbers. Codes below 256 are
// the character itself: ( ) * + , - . / : ; = [ ] { }
namespace ScriptToken {
enum : int {
    EndOfInput = 0,
    Float = 257,
    Int = 258,
    Bool = 259,
    String = 260,
    Identifier = 261,
    Construct = 262,
    Destruct = 263,
    Set = 264,
    Begin = 265,
    End = 266,
    SampleMessageBegin = 267,
    SampleMessageEnd = 268,
    Song = 269,
    Timer = 270,
    EndAll = 271,
    Skip = 272,
    Info = 273,
    Enum = 274,
    Key = 275,
    EnvelopePhase = 276,
    EnvelopeSpeed = 277,
    AudioStream = 278,
};
}

// The two tables the parser keeps for one load; the scanner appends to them.
struct ScriptTables {
    std::vector<std::string> identifiers;
    std::vector<std::string> strings;
};

class ScriptScanner {
public:
    ScriptScanner(std::string_view text, ScriptTables& tables, std::FILE* echo = stdout);

    // The next token's code; its value is read with the accessors below.
    int next();

    // One plus the number of line feeds read so far.
    int line() const { return line_; }
    // The text of the token last returned (empty at the end of the input).
    std::string_view text() const { return token_; }

    // The semantic value as one 32-bit word: a float's bits, an int, 1 or 0 for a
    // bool, a table index for an identifier or a string.
    std::uint32_t word() const { return word_; }
    float floatValue() const;
    std::int32_t intValue() const { return static_cast<std::int32_t>(word_); }
    bool boolValue() const { return word_ != 0; }
    std::int32_t index() const { return static_cast<std::int32_t>(word_); }

private:
    int wordToken(std::size_t end);
    int take(std::size_t end, int token);

    std::string_view text_;
    ScriptTables& tables_;
    std::FILE* echo_;
    std::size_t pos_ = 0;
    int line_ = 1;
    std::string_view token_;
    std::uint32_t word_ = 0;
};

}  // namespace mirva
