// The fuzz targets' guard (a fatal message is a refusal, anything else passes through),
// and the script target leaving the process's working folder as it found it. That every
// target gets past its first check on some input is the corpus replay's business.
#include "fuzz/fuzz_targets.h"

#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/console.h"
#include "tests/support/fatal.h"

namespace mirva::fuzz {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

TEST(FuzzGuard, AFatalMessageIsARefusalAndTheHandlerIsPutBack)
{
    EXPECT_EQ(runGuarded([] { Console::fatal("broken"); }), Outcome::Refused);
    EXPECT_EQ(runGuarded([] {}), Outcome::Loaded);
    // The test program's own handler is back in place.
    EXPECT_FATAL(Console::fatal("after"), "after");
}

TEST(FuzzGuard, OtherExceptionsRemainFindings)
{
    EXPECT_THROW(runGuarded([] { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_FATAL(Console::fatal("after"), "after");
}

TEST(FuzzTargets, ScriptsLoadInTheScratchFolderAndTheWorkingFolderStays)
{
    const std::filesystem::path before = std::filesystem::current_path();
    EXPECT_EQ(script(bytesOf("Construct Clearer sky { ClearColor = 1, 2, 3 }\n"
                             "Song \"music/pulse.mod\"\n0:0:0 Begin sky { ClearColor = include \"motion.mot\", 40 }\n"
                             "1:0:0 SampleMessageBegin sky { SampleNumber = 1 Enabled = false }\n")),
              Outcome::Loaded);
    EXPECT_EQ(script(bytesOf("Construct Nothing x\n")), Outcome::Refused);
    EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace mirva::fuzz
