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
constexpr const char* kConverted = "\nKey 0.500000,2.000000,LINEAR\nCONSTANT REPEAT ";

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

    // The line on which the scanner meets the identifier `name`.
    static int lineOf(std::string_view text, const std::string& name)
    {
        ScriptTables tables;
        ScriptScanner scanner(text, tables, nullptr);
        for (int token = scanner.next(); token != ScriptToken::EndOfInput; token = scanner.next())
            if (token == ScriptToken::Identifier && tables.identifiers.back() == name)
                return scanner.line();
        return -1;
    }

    test::TempDir dir;
    test::ScopedWorkingDir cd{dir.path()};
};

TEST_F(IncludePassTest, TextWithoutCommentsOrIncludesIsCopiedAsItIs)
{
    const std::string script = "Timer 1:0:0 120 1.0 // a * / comment\n0:0:0 EndAll\n\"s\" * / \t";
    EXPECT_EQ(pass(script), script);
}

TEST_F(IncludePassTest, BlockCommentsDisappearWithTheirLineFeeds)
{
    EXPECT_EQ(pass("a /* one\ntwo */b"), "a b");
    EXPECT_EQ(pass("a /* never closed\n x"), "a ");
    // A five-line comment makes every later line five smaller.
    const std::string out = pass("a\n/*\n\n\n\n\n*/b\nc");
    EXPECT_EQ(lineOf(out, "b"), 2);
    EXPECT_EQ(lineOf(out, "c"), 3);
}

TEST_F(IncludePassTest, CommentsDoNotNest)
{
    EXPECT_EQ(pass("x /* a /* b */ c */"), "x  c */");
}

TEST_F(IncludePassTest, CloseOutsideACommentIsCopiedWholly)
{
    // Its slash cannot start a comment with the star that follows.
    EXPECT_EQ(pass("a*/*b*/c"), "a*/*b*/c");
}

TEST_F(IncludePassTest, IncludeIsReplacedByTheConvertedMotion)
{
    EXPECT_EQ(pass("Motion = include \"m.mot\"\nx"), std::string("Motion = ") + kConverted + "\nx");
    EXPECT_EQ(pass("include\t \"m.mot\"include\"m.mot\""), std::string(kConverted) + kConverted);
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

TEST_F(IncludePassTest, IncludedLinesCountForTheLinesAfterThem)
{
    // The converted text holds two line feeds.
    const std::string out = pass("a = include \"m.mot\"\nb");
    EXPECT_EQ(lineOf(out, "b"), 4);
}

TEST_F(IncludePassTest, IncludeInsideACommentIsIgnored)
{
    EXPECT_EQ(pass("a /* include \"missing.mot\" */ b"), "a  b");
    // The name is part of the directive, so a */ inside it doesn't end the comment.
    EXPECT_EQ(pass("/* include \"x*/y\" */ z"), " z");
}

TEST_F(IncludePassTest, IncompleteDirectivesAreCopiedAsText)
{
    for (const char* text : {"include(\"m.mot\")", "include \"m(1).mot\"", "include \"m.mot", "include m.mot",
                             "include \"m\n.mot\""})
        EXPECT_EQ(pass(text), text);
}

TEST_F(IncludePassTest, LineCommentsAreNotThisPasssBusiness)
{
    EXPECT_EQ(pass("// include \"m.mot\"\n"), std::string("// ") + kConverted + "\n");
    EXPECT_EQ(pass("a // /* b\nc */ d"), "a //  d");
}

TEST_F(IncludePassTest, MissingIncludeIsFatal)
{
    EXPECT_FATAL(pass("x = include \"motions/none.mot\""), "include file 'motions/none.mot' not found");
    std::filesystem::create_directory("folder.mot");
    EXPECT_FATAL(pass("include \"folder.mot\""), "include file 'folder.mot' not found");
}

TEST_F(IncludePassTest, BadMotionFileEndsInTheConvertersMessage)
{
    test::writeText("bad.mot", "LWMO\r\n4\r\n");
    EXPECT_FATAL(pass("include \"bad.mot\""), "motion file 'bad.mot': motion file version must be 3");
    test::writeText("bad.mot", "LWMO\r\n3\r\nNumChannels 1\r\nChannel 0 {\r\nEnvelope 1\r\nKey 1 2 0.5");
    EXPECT_FATAL(pass("include \"bad.mot\""),
                 "motion file 'bad.mot': line 6 syntax error: '0.5' found shape expected ");
}

TEST_F(IncludePassTest, IncludedFilesAreRecordedInTheUsedFilesList)
{
    Phile::enableUsedFiles();
    pass("a = include \"m.mot\"");
    EXPECT_FATAL(pass("include \"gone.mot\""), "include file 'gone.mot' not found");
    EXPECT_EQ(test::readText("usedfiles.txt"), "m.mot\ngone.mot\n");
}

TEST_F(IncludePassTest, TextFilesReadCrLfAsLineFeeds)
{
    test::writeText("s.txt", "a\r\nb\rc\r\n\r\n");
    test::writeText("crlf.mot", "LWMO\r\n3\r\nNumChannels 1\r\nChannel 0\r\n{ Envelope\r\n 1\r\n"
                                "  Key 2 0.5 3 0 0 0 0 0 0\r\n  Behaviors 1 2\r\n}\r\n");
    std::string text;
    ASSERT_TRUE(readTextFile("s.txt", text));
    EXPECT_EQ(text, "a\nb\rc\n\n");
    EXPECT_FALSE(readTextFile("none.txt", text));
    EXPECT_EQ(pass("include \"crlf.mot\""), kConverted);
}

}  // namespace
}  // namespace mirva
