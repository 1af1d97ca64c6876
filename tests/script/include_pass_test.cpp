// The include/comment pass: comments removed, motion files converted in place, and the
// line numbers the scanner sees afterwards.
#include "script/include_pass.h"

#include <gtest/gtest.h>

#include "io/phile.h"
#include "script/script_scanner.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

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
    // The identifiers the scanner meets in the passed `script`, each with its line.
    static std::string scanned(std::string_view script)
    {
        const std::string text = pass(script);
        ScriptTables tables;
        ScriptScanner scanner(text, tables, nullptr);
        std::string out;
        for (int token = scanner.next(); token != ScriptToken::EndOfInput; token = scanner.next())
            if (token == ScriptToken::Identifier)
                out += tables.identifiers.back() + "@" + std::to_string(scanner.line()) + " ";
        return out;
    }

    test::TempDir dir;
    test::ScopedWorkingDir cd{dir.path()};
};

TEST_F(IncludePassTest, CommentsGoAndIncludesBecomeTheConvertedMotion)
{
    test::writeText("crlf.mot", "LWMO\r\n3\r\nNumChannels 1\r\nChannel 0\r\n{ Envelope\r\n 1\r\n"
                                "  Key 2 0.5 3 0 0 0 0 0 0\r\n  Behaviors 1 2\r\n}\r\n");
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
        {"include \"crlf.mot\"", kConverted},
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

TEST_F(IncludePassTest, TheScannerCountsTheLinesThatRemain)
{
    // A five-line comment makes every later line five smaller; the converted text holds
    // two line feeds.
    EXPECT_EQ(scanned("a\n/*\n\n\n\n\n*/b\nc"), "a@1 b@2 c@3 ");
    EXPECT_EQ(scanned("a = include \"m.mot\"\nb"), "a@1 LINEAR@2 CONSTANT@3 REPEAT@3 b@4 ");
}

TEST_F(IncludePassTest, SteppedKeysReachTheScannerWithoutParameters)
{
    // A stepped key takes no numbers in a script, so the next thing after STEPPED is the
    // next key or the pre-behaviour, never a number.
    test::writeText("step.mot", "LWMO 3 NumChannels 1 Channel 0 { Envelope 2 Key 1 0 0 0 0 0 0 0 0 "
                                "Key 5 1 4 0.1 0.2 0.3 0 0 0 Behaviors 1 1 }");
    ScriptTables tables;
    const std::string out = pass("x = include \"step.mot\"");
    ScriptScanner scanner(out, tables, nullptr);
    std::vector<int> tokens;
    for (int token = scanner.next(); token != ScriptToken::EndOfInput; token = scanner.next())
        tokens.push_back(token);
    using namespace ScriptToken;
    EXPECT_EQ(tokens, (std::vector<int>{Identifier, '=', Key, Float, ',', Float, ',', Identifier, ',', Float, ',',
                                        Float, ',', Float, Key, Float, ',', Float, ',', Identifier, Identifier,
                                        Identifier}));
    EXPECT_EQ(tables.identifiers, (std::vector<std::string>{"x", "TCB", "STEPPED", "CONSTANT", "CONSTANT"}));
}

TEST_F(IncludePassTest, IncludesThatFailAreFatalAndAllAreRecordedInTheUsedFilesList)
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
}

TEST_F(IncludePassTest, TextFilesReadCrLfAsLineFeeds)
{
    test::writeText("s.txt", "a\r\nb\rc\r\n\r\n");
    std::string text;
    ASSERT_TRUE(readTextFile("s.txt", text));
    EXPECT_EQ(text, "a\nb\rc\n\n");
    EXPECT_FALSE(readTextFile("none.txt", text));
}

}  // namespace
}  // namespace mirva
