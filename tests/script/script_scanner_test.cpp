// The script scanner: tokens, values, tables, line numbers and skipped characters.
#include "script/script_scanner.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

namespace mirva {
namespace {

// Every token of `text` up to the end, and what the scanner echoed. Tokens are shown
// space-separated: identifiers by their table entry, strings quoted, characters as
// themselves, numbers as i(...), f(...) and b(...), keywords as k(...).
struct Scan {
    explicit Scan(std::string_view text)
    {
        char* buffer = nullptr;
        std::size_t size = 0;
        std::FILE* echo = open_memstream(&buffer, &size);
        ScriptScanner scanner(text, tables, echo);
        for (int token = scanner.next(); token != ScriptToken::EndOfInput; token = scanner.next()) {
            shown += (shown.empty() ? "" : " ") + show(token, scanner);
            lines.push_back(scanner.line());
            words.push_back(scanner.word());
            texts.emplace_back(scanner.text());
        }
        endText = std::string(scanner.text());
        endLine = scanner.line();
        std::fclose(echo);
        echoed.assign(buffer, size);
        std::free(buffer);
    }
    std::string show(int token, const ScriptScanner& scanner) const
    {
        char number[32] = {};
        switch (token) {
        case ScriptToken::Identifier: return tables.identifiers.at(scanner.word());
        case ScriptToken::String: return '"' + tables.strings.at(scanner.word()) + '"';
        case ScriptToken::Int: return "i(" + std::to_string(scanner.intValue()) + ")";
        case ScriptToken::Bool: return "b(" + std::to_string(scanner.word()) + ")";
        case ScriptToken::Float:
            std::to_chars(number, number + sizeof number - 1, scanner.floatValue());
            return "f(" + std::string(number) + ")";
        default: return token < 256 ? std::string(1, static_cast<char>(token)) : "k(" + std::string(scanner.text()) + ")";
        }
    }

    ScriptTables tables;
    std::string shown;
    std::vector<int> lines;
    std::vector<std::uint32_t> words;
    std::vector<std::string> texts;
    std::string endText = "?";
    int endLine = 0;
    std::string echoed;
};

TEST(ScriptScannerTest, TokensAndTheirValues)
{
    using namespace std::string_literals;
    const struct {
        std::string text, shown, echoed;
    } cases[] = {
        {"Set Settings EndAll", "k(Set) Settings k(EndAll)", ""},
        // Keywords are exact, and a longer word is an identifier.
        {"CONSTRUCT construct Setting Set_ Set1 EndAlls _x inf INFINITY True",
         "CONSTRUCT construct Setting Set_ Set1 EndAlls _x inf INFINITY True", ""},
        {"( ) * + , - . / : ; = [ ] { }", "( ) * + , - . / : ; = [ ] { }", ""},
        {"-.5 5. .5e-2 -7 1.25E+2 0.000", "f(-0.5) f(5) f(0.005) i(-7) f(125) f(0)", ""},
        // Beyond a float's range the conversion gives infinity, below it zero.
        {"1.0e999 -1.5e40 1.0e-999 123456789.0", "f(inf) f(-inf) f(0) f(123456792)", ""},
        // An integer has no exponent; an incomplete exponent is not taken; a second point
        // starts a new number; a minus sign joins only a digit or a point and a digit.
        {"1e5 1.5e+x 1.2.3 3-5 - 5 -x -.", "i(1) e5 f(1.5) e + x f(1.2) f(0.3) i(3) i(-5) - i(5) - x - .", ""},
        {"INF true TRUE false FALSE INF2", "i(2147483647) b(1) b(1) b(0) b(0) INF2", ""},
        {"99999999999 -99999999999 2147483647 -2147483648",
         "i(2147483647) i(-2147483648) i(2147483647) i(-2147483648)", ""},
        {"a \"x\" a \"\" \"x\"", "a \"x\" a \"\" \"x\"", ""},
        // A quoted text with a parenthesis or over a line end is no string: both quotes
        // are echoed and skipped, and what lies between comes as ordinary tokens.
        {"\"f(x)\"", "f ( x )", "\"\""},
        {"\"a\nb\"", "a b", "\"\""},
        // Characters that start no token are echoed and skipped.
        {"a#!%b\r\nc\0d\x80"s, "a b c d", "#!%\r\0\x80"s},
        {"a // b c\nd/e // x", "a d / e", ""},
    };
    for (const auto& c : cases) {
        const Scan scan(c.text);
        EXPECT_EQ(scan.shown, c.shown) << c.text;
        EXPECT_EQ(scan.echoed, c.echoed) << c.text;
    }
}

TEST(ScriptScannerTest, EntriesLinesAndTokenTexts)
{
    // Every identifier and string gets its own entry, and its token the entry's index.
    const Scan entries("a \"x\" a \"\" \"x\"");
    EXPECT_EQ(entries.tables.identifiers, (std::vector<std::string>{"a", "a"}));
    EXPECT_EQ(entries.tables.strings, (std::vector<std::string>{"x", "", "x"}));
    EXPECT_EQ(entries.words, (std::vector<std::uint32_t>{0, 0, 1, 1, 2}));
    EXPECT_EQ(entries.texts[1], "\"x\"");
    // The line is one plus the line feeds read, comments included.
    const Scan lines("a\n\nb c\n\t d\n");
    EXPECT_EQ(lines.lines, (std::vector<int>{1, 3, 3, 4}));
    EXPECT_EQ(lines.endLine, 5);
    const Scan comment("a // b c\nd/e // x");
    EXPECT_EQ(comment.lines, (std::vector<int>{1, 2, 2, 2}));
    EXPECT_EQ(comment.endLine, 2);
    // A token's text is the text it matched; at the end it is empty.
    const Scan texts("x = -2.50e1, \"s\"");
    EXPECT_EQ(texts.texts, (std::vector<std::string>{"x", "=", "-2.50e1", ",", "\"s\""}));
    EXPECT_EQ(texts.shown, "x = f(-25) , \"s\"");
    EXPECT_EQ(texts.endText, "");
}

}  // namespace
}  // namespace mirva
