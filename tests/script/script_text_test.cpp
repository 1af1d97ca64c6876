// The text of a script before the parser: the include/comment pass (comments removed,
// motion files converted in place, the line numbers the scanner sees afterwards) and the
// scanner (tokens, values, tables, line numbers and skipped characters).
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "io/phile.h"
#include "script/include_pass.h"
#include "script/script_scanner.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

// Every token of `text` up to the end, and what the scanner echoed. Tokens are shown
// space-separated: identifiers by their table entry, strings quoted, characters as
// themselves, numbers as i(...), f(...) and b(...), keywords as k(...). `placed` holds
// each token's text and line, and then the end's.
struct Scan {
    explicit Scan(std::string_view text)
    {
        char* buffer = nullptr;
        std::size_t size = 0;
        std::FILE* echo = open_memstream(&buffer, &size);
        ScriptScanner scanner(text, tables, echo);
        for (int token = scanner.next(); token != ScriptToken::EndOfInput; token = scanner.next()) {
            shown += (shown.empty() ? "" : " ") + show(token, scanner);
            placed += std::string(scanner.text()) + "@" + std::to_string(scanner.line()) + " ";
            words.push_back(scanner.word());
        }
        placed += std::string(scanner.text()) + "@" + std::to_string(scanner.line());
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
    std::string shown, placed, echoed;
    std::vector<std::uint32_t> words;
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
        {"-.5 5. .5e-2 -7 1.25E+2 -2.50e1 0.000", "f(-0.5) f(5) f(0.005) i(-7) f(125) f(-25) f(0)", ""},
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
    // The line is one plus the line feeds read, comments included. A token's text is the
    // text it matched; at the end it is empty.
    EXPECT_EQ(Scan("a\n\nb c\n\t d\n").placed, "a@1 b@3 c@3 d@4 @5");
    EXPECT_EQ(Scan("a // b c\nd/e // x").placed, "a@1 d@2 /@2 e@2 @2");
    EXPECT_EQ(Scan("x = -2.50e1, \"s\"").placed, "x@1 =@1 -2.50e1@1 ,@1 \"s\"@1 @1");
}

constexpr const char* kMotion = "LWMO\n3\nNumChannels 1\nChannel 0\n{ Envelope\n  1\n"
                                "  Key 2 0.5 3 0 0 0 0 0 0\n  Behaviors 1 2\n}\n";
const std::string kConverted = "\nKey 0.500000,2.000000,LINEAR\nCONSTANT REPEAT ";

class IncludePassTest : public testing::Test {
protected:
    void SetUp() override { test::writeText("m.mot", kMotion); }
    void TearDown() override { Phile::disableUsedFiles(); }

    static std::string pass(std::string_view script)
    {
        std::string out;
        IncludePass::run(script, out);
        return out;
    }

    test::TempDir dir;
    test::ScopedWorkingDir cd{dir.path()};
};

TEST_F(IncludePassTest, CommentsGoAndIncludesBecomeTheConvertedMotion)
{
    const std::string unchanged[] = {
        "Timer 1:0:0 120 1.0 // a * / comment\n0:0:0 EndAll\n\"s\" * / \t",
        "a*/*b*/c",   // a close outside a comment: its slash cannot start one with the star after it
        // Incomplete directives are text.
        "include(\"m.mot\")", "include \"m(1).mot\"", "include \"m.mot", "include m.mot", "include \"m\n.mot\""};
    for (const std::string& text : unchanged)
        EXPECT_EQ(pass(text), text);
    const std::pair<std::string, std::string> cases[] = {
        {"a /* one\ntwo */b", "a b"},
        {"a /* never closed\n x", "a "},
        {"x /* a /* b */ c */", "x  c */"},   // comments do not nest
        {"Motion = include \"m.mot\"\nx", "Motion = " + kConverted + "\nx"},
        {"include\t \"m.mot\"include\"m.mot\"", kConverted + kConverted},
        // Inside a comment an include is ignored; its name is part of the directive, so a
        // */ inside it doesn't end the comment.
        {"a /* include \"missing.mot\" */ b", "a  b"},
        {"/* include \"x*/y\" */ z", " z"},
        // Line comments are not this pass's business.
        {"// include \"m.mot\"\n", "// " + kConverted + "\n"},
        {"a // /* b\nc */ d", "a //  d"},
    };
    for (const auto& [text, out] : cases)
        EXPECT_EQ(pass(text), out) << text;
}

TEST_F(IncludePassTest, TheScannerCountsTheLinesThatRemainAndSteppedKeysComeWithoutParameters)
{
    // A five-line comment makes every later line five smaller; the converted text holds
    // two line feeds.
    EXPECT_EQ(Scan(pass("a\n/*\n\n\n\n\n*/b\nc")).placed, "a@1 b@2 c@3 @3");
    EXPECT_EQ(Scan(pass("a = include \"m.mot\"\nb")).placed,
              "a@1 =@1 Key@2 0.500000@2 ,@2 2.000000@2 ,@2 LINEAR@2 CONSTANT@3 REPEAT@3 b@4 @4");
    // A stepped key takes no numbers in a script, so the next thing after STEPPED is the
    // next key or the pre-behaviour, never a number.
    test::writeText("step.mot", "LWMO 3 NumChannels 1 Channel 0 { Envelope 2 Key 1 0 0 0 0 0 0 0 0 "
                                "Key 5 1 4 0.1 0.2 0.3 0 0 0 Behaviors 1 1 }");
    EXPECT_EQ(Scan(pass("x = include \"step.mot\"")).shown,
              "x = k(Key) f(0) , f(1) , TCB , f(0) , f(0) , f(0) k(Key) f(1) , f(5) , STEPPED CONSTANT CONSTANT");
}

TEST_F(IncludePassTest, IncludesThatFailAreFatalAllAreRecordedAndTextFilesReadCrLfAsLineFeeds)
{
    Phile::enableUsedFiles();
    pass("a = include \"m.mot\"");
    std::filesystem::create_directory("folder.mot");
    EXPECT_FATAL(pass("x = include \"motions/none.mot\""), "include file 'motions/none.mot' not found");
    EXPECT_FATAL(pass("include \"folder.mot\""), "include file 'folder.mot' not found");
    test::writeText("bad.mot", "LWMO\r\n4\r\n");
    EXPECT_FATAL(pass("include \"bad.mot\""), "motion file 'bad.mot': motion file version must be 3");
    test::writeText("bad.mot", "LWMO\r\n3\r\nNumChannels 1\r\nChannel 0 {\r\nEnvelope 1\r\nKey 1 2 0.5");
    EXPECT_FATAL(pass("include \"bad.mot\""), "motion file 'bad.mot': line 6 syntax error: '0.5' found shape expected ");
    EXPECT_EQ(test::readText("usedfiles.txt"), "m.mot\nmotions/none.mot\nfolder.mot\nbad.mot\nbad.mot\n");
    test::writeText("s.txt", "a\r\nb\rc\r\n\r\n");
    std::string text;
    ASSERT_TRUE(readTextFile("s.txt", text));
    EXPECT_EQ(text, "a\nb\rc\n\n");
    EXPECT_FALSE(readTextFile("none.txt", text));
}

}  // namespace
}  // namespace mirva
