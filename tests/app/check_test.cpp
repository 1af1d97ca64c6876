// End to end: `mirva check` on scripts, run as its own process. The summary names the
// time source as the source describes itself (the player's tests have each kind's
// description). A script that does not load ends the command with its message, whatever
// the message (the loaders' tests have them all; the fuzz replay loads junk as check does).
#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tests/support/run.h"

namespace mirva {
namespace {

TEST(CheckTest, ScriptsThatLoadGetASummaryAndOthersTheirMessage)
{
    test::TempDir dir;
    const struct {
        std::string script;  // written as s.txt, when given
        std::vector<std::string> args;
        int exitCode;
        std::string out, err;  // '*' in them stands for any text
    } cases[] = {
        {"Enum Layers { BACK FRONT }\nConstruct Clearer clear { Layer = BACK }\n"
         "Construct Writer text { Font = \"fonts/f.png\" MaxLines = 2 }\nTimer 2:0:0 130 1.5\n"
         "0:0:0 Begin clear\n1:0:0 Begin text { l = 0 txt = \"hi\" }\n",
         {"s.txt"}, 0,
         "script: s.txt\ntime source: Timer, end 2:0:0, tempo 130, time multiplier 1.5\ninstances: 2\n"
         "instructions: 5\nuser enums: 1\n",
         ""},
        {"Construct Clearer c\nTimer 5:0:0 120 1\n", {"s.txt"}, 255, "",
         "line 2 syntax error: '1' found time multiplier expected \n"},
        {"", {}, 2, "", "usage: mirva check SCRIPT\n"},
        {"Info Timer 1:0:0 120 1.0", {"s.txt"}, 0, "*wrote parameters.txt\n*", ""},  // the parameter reference
    };
    for (const auto& c : cases) {
        if (!c.script.empty())
            test::writeText(dir.file("s.txt"), c.script);
        std::vector<std::string> args{"check"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto result = test::runMirva(args, dir.path().string());
        EXPECT_EQ(std::pair(result.signal, result.exitCode), std::pair(0, c.exitCode)) << c.script;
        EXPECT_PRED2(test::matches, result.out, c.out);
        EXPECT_PRED2(test::matches, result.err, c.err);
        EXPECT_EQ(std::filesystem::exists(dir.file("parameters.txt")), c.script.starts_with("Info")) << c.script;
    }
}

}  // namespace
}  // namespace mirva
