// The fuzz targets' guard (a fatal message is a refusal, anything else passes through),
// and the script target leaving the process's working folder as it found it. That every
// target gets past its first check on some input is the corpus replay's business.
#include "fuzz/fuzz_targets.h"

#include <filesystem>
#include <new>
#include <string_view>

#include <gtest/gtest.h>

#include "io/console.h"
#include "tests/support/fatal.h"

namespace mirva::fuzz {
namespace {

TEST(FuzzGuard, AFatalMessageIsARefusalOtherExceptionsRemainFindingsAndTheHandlerIsPutBack)
{
    EXPECT_EQ(runGuarded([] { Console::fatal("broken"); }), Outcome::Refused);
    EXPECT_FATAL(Console::fatal("after"), "after");  // the test program's own handler is back
    EXPECT_THROW(runGuarded([] { throw std::bad_alloc(); }), std::bad_alloc);
    EXPECT_FATAL(Console::fatal("after"), "after");
}

TEST(FuzzTargets, ScriptsLoadInTheScratchFolderAndTheWorkingFolderStays)
{
    const auto script = [](std::string_view text) {
        return fuzz::script({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
    };
    const std::filesystem::path before = std::filesystem::current_path();
    EXPECT_EQ(script("Construct Clearer sky { ClearColor = 1, 2, 3 }\nSong \"music/pulse.mod\"\n"
                     "0:0:0 Begin sky { ClearColor = include \"motion.mot\", 40 }\n"
                     "1:0:0 SampleMessageBegin sky { SampleNumber = 1 Enabled = false }\n"),
              Outcome::Loaded);
    EXPECT_EQ(script("Construct Nothing x\n"), Outcome::Refused);
    EXPECT_EQ(std::filesystem::current_path(), before);
}

}  // namespace
}  // namespace mirva::fuzz
