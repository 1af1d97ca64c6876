// The script scanner: tokens, values, tables, line numbers and skipped characters.
#include "script/script_scanner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <gtest/gtest.h>

namespace mirva {
namespace {

struct Scanned {
    int token;
    std::string text;
    std::uint32_t word;
};

// Every token of `text` up to the end, and what the scanner echoed.
class Scan {
public:
    explicit Scan(std::string_view text)
    {
        char* buffer = nullptr;
        std::size_t size = 0;
        std::FILE* echo = open_memstream(&buffer, &size);
        ScriptScanner scanner(text, tables, echo);
        for (int token = scanner.next(); token != ScriptToken::EndOfInput; token = scanner.next()) {
            tokens.push_back({token, std::string(scanner.text()), scanner.word()});
            lines.push_back(scanner.line());
        }
        endText = std::string(scanner.text());
        endLine = scanner.line();
        std::fclose(echo);
        echoed.assign(buffer, size);
        std::free(buffer);
    }

    std::vector<int> codes() const
    {
        std::vector<int> result;
        for (const Scanned& s : tokens)
            result.push_back(s.token);
        return result;
    }
    float floatAt(std::size_t i) const
    {
        float f;
        std::memcpy(&f, &tokens.at(i).word, sizeof f);
        return f;
    }
    std::int32_t intAt(std::size_t i) const { return static_cast<std::int32_t>(tokens.at(i).word); }

    ScriptTables tables;
    std::vector<Scanned> tokens;
    std::vector<int> lines;
    std::string endText = "?";
    int endLine = 0;
    std::string echoed;
};

using namespace ScriptToken;

TEST(ScriptScannerTest, KeywordsHaveTheirCodes)
{
    const Scan scan("Construct Destruct Set Begin End SampleMessageBegin SampleMessageEnd Song Timer EndAll Skip "
                    "Info Enum Key EnvelopePhase EnvelopeSpeed AudioStream");
    EXPECT_EQ(scan.codes(), (std::vector<int>{262, 263, 264, 265, 266, 267, 268, 269, 270, 271, 272, 273, 274, 275,
                                              276, 277, 278}));
    EXPECT_TRUE(scan.tables.identifiers.empty());
}

TEST(ScriptScannerTest, OtherSpellingsAndLongerWordsAreIdentifiers)
{
    const Scan scan("CONSTRUCT construct Setting Set_ Set1 EndAlls _x inf INFINITY True");
    EXPECT_EQ(scan.codes(), std::vector<int>(10, Identifier));
    EXPECT_EQ(scan.tables.identifiers, (std::vector<std::string>{"CONSTRUCT", "construct", "Setting", "Set_", "Set1",
                                                                 "EndAlls", "_x", "inf", "INFINITY", "True"}));
}

TEST(ScriptScannerTest, SingleCharacterTokensAreTheCharacter)
{
    const Scan scan("( ) * + , - . / : ; = [ ] { }");
    EXPECT_EQ(scan.codes(), (std::vector<int>{'(', ')', '*', '+', ',', '-', '.', '/', ':', ';', '=', '[', ']', '{', '}'}));
    EXPECT_EQ(scan.codes(), (std::vector<int>{40, 41, 42, 43, 44, 45, 46, 47, 58, 59, 61, 91, 93, 123, 125}));
}

TEST(ScriptScannerTest, NumberForms)
{
    const Scan scan("-.5 5. .5e-2 -7 1.25E+2 0.000");
    EXPECT_EQ(scan.codes(), (std::vector<int>{Float, Float, Float, Int, Float, Float}));
    EXPECT_EQ(scan.floatAt(0), -0.5f);
    EXPECT_EQ(scan.floatAt(1), 5.0f);
    EXPECT_EQ(scan.floatAt(2), 0.005f);
    EXPECT_EQ(scan.intAt(3), -7);
    EXPECT_EQ(scan.floatAt(4), 125.0f);
    EXPECT_EQ(scan.floatAt(5), 0.0f);

    // Beyond a float's range the conversion gives infinity, below it zero.
    const Scan extremes("1.0e999 -1.5e40 1.0e-999 123456789.0");
    EXPECT_EQ(extremes.floatAt(0), std::numeric_limits<float>::infinity());
    EXPECT_EQ(extremes.floatAt(1), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(extremes.floatAt(2), 0.0f);
    EXPECT_EQ(extremes.floatAt(3), 123456792.0f);
}

TEST(ScriptScannerTest, NumbersEndWhereTheirPatternEnds)
{
    // An integer has no exponent; an incomplete exponent is not taken; a second point
    // starts a new number; a minus sign joins only a digit or a point and a digit.
    const Scan scan("1e5 1.5e+x 1.2.3 3-5 - 5 -x -.");
    EXPECT_EQ(scan.codes(), (std::vector<int>{Int, Identifier, Float, Identifier, '+', Identifier, Float, Float, Int,
                                              Int, '-', Int, '-', Identifier, '-', '.'}));
    EXPECT_EQ(scan.intAt(0), 1);
    EXPECT_EQ(scan.tables.identifiers[0], "e5");
    EXPECT_EQ(scan.floatAt(2), 1.5f);
    EXPECT_EQ(scan.tables.identifiers[1], "e");
    EXPECT_EQ(scan.floatAt(6), 1.2f);
    EXPECT_EQ(scan.floatAt(7), 0.3f);
    EXPECT_EQ(scan.intAt(8), 3);
    EXPECT_EQ(scan.intAt(9), -5);
    EXPECT_EQ(scan.intAt(11), 5);
}

TEST(ScriptScannerTest, InfAndBools)
{
    const Scan scan("INF true TRUE false FALSE INF2");
    EXPECT_EQ(scan.codes(), (std::vector<int>{Int, Bool, Bool, Bool, Bool, Identifier}));
    EXPECT_EQ(scan.intAt(0), 2147483647);
    EXPECT_EQ(scan.tokens[1].word, 1u);
    EXPECT_EQ(scan.tokens[2].word, 1u);
    EXPECT_EQ(scan.tokens[3].word, 0u);
    EXPECT_EQ(scan.tokens[4].word, 0u);
}

TEST(ScriptScannerTest, IntegersBeyondTheRangeAreClamped)
{
    const Scan scan("99999999999 -99999999999 2147483647 -2147483648");
    EXPECT_EQ(scan.intAt(0), 2147483647);
    EXPECT_EQ(scan.intAt(1), -2147483647 - 1);
    EXPECT_EQ(scan.intAt(2), 2147483647);
    EXPECT_EQ(scan.intAt(3), -2147483647 - 1);
}

TEST(ScriptScannerTest, EveryIdentifierAndStringGetsItsOwnEntry)
{
    const Scan scan("a \"x\" a \"\" \"x\"");
    EXPECT_EQ(scan.codes(), (std::vector<int>{Identifier, String, Identifier, String, String}));
    EXPECT_EQ(scan.tables.identifiers, (std::vector<std::string>{"a", "a"}));
    EXPECT_EQ(scan.tables.strings, (std::vector<std::string>{"x", "", "x"}));
    EXPECT_EQ(scan.tokens[0].word, 0u);
    EXPECT_EQ(scan.tokens[2].word, 1u);
    EXPECT_EQ(scan.tokens[1].word, 0u);
    EXPECT_EQ(scan.tokens[3].word, 1u);
    EXPECT_EQ(scan.tokens[4].word, 2u);
    EXPECT_EQ(scan.tokens[1].text, "\"x\"");
}

TEST(ScriptScannerTest, AQuotedTextWithAParenthesisIsNoString)
{
    // Both quotes are echoed and skipped; what lies between comes as ordinary tokens.
    const Scan scan("\"f(x)\"");
    EXPECT_EQ(scan.codes(), (std::vector<int>{Identifier, '(', Identifier, ')'}));
    EXPECT_EQ(scan.tables.identifiers, (std::vector<std::string>{"f", "x"}));
    EXPECT_TRUE(scan.tables.strings.empty());
    EXPECT_EQ(scan.echoed, "\"\"");
    // Nor is one that runs over a line end.
    const Scan lines("\"a\nb\"");
    EXPECT_EQ(lines.codes(), (std::vector<int>{Identifier, Identifier}));
    EXPECT_EQ(lines.echoed, "\"\"");
}

TEST(ScriptScannerTest, CharactersThatStartNoTokenAreEchoedAndSkipped)
{
    const std::string text = std::string("a#!%b\r\nc") + '\0' + "d\x80";
    const Scan scan(text);
    EXPECT_EQ(scan.tables.identifiers, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(scan.echoed, std::string("#!%\r") + '\0' + "\x80");
}

TEST(ScriptScannerTest, LineCommentsRunToTheLineEnd)
{
    const Scan scan("a // b c\nd/e // x");
    EXPECT_EQ(scan.codes(), (std::vector<int>{Identifier, Identifier, '/', Identifier}));
    EXPECT_EQ(scan.tables.identifiers, (std::vector<std::string>{"a", "d", "e"}));
    EXPECT_EQ(scan.lines, (std::vector<int>{1, 2, 2, 2}));
    EXPECT_EQ(scan.endLine, 2);
}

TEST(ScriptScannerTest, LineNumberIsOnePlusTheLineFeedsRead)
{
    const Scan scan("a\n\nb c\n\t d\n");
    EXPECT_EQ(scan.lines, (std::vector<int>{1, 3, 3, 4}));
    EXPECT_EQ(scan.endLine, 5);
}

TEST(ScriptScannerTest, TokenTextIsTheMatchedTextAndEmptyAtTheEnd)
{
    const Scan scan("x = -2.50e1, \"s\"");
    ASSERT_EQ(scan.tokens.size(), 5u);
    EXPECT_EQ(scan.tokens[2].text, "-2.50e1");
    EXPECT_EQ(scan.floatAt(2), -25.0f);
    EXPECT_EQ(scan.tokens[3].text, ",");
    EXPECT_EQ(scan.endText, "");
}

}  // namespace
}  // namespace mirva
