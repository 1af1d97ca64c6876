#include "io/console.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

TEST(Console, PrintWritesFormattedLinesToAnOpenConsoleOnly)
{
    Console::close();
    testing::internal::CaptureStdout();
    Console::print("hidden %d\n", 1);
    Console::open();
    Console::print("frame %d took %.1f ms\n", 3, 16.5);
    Console::close();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "frame 3 took 16.5 ms\n");
}

TEST(Console, ErrorFormatsTheMessageWithoutALengthLimit)
{
    const std::string longName(3000, 'x');
    EXPECT_FATAL(Console::error("couldn't load '%s' (%d)", longName.c_str(), 7), "couldn't load '" + longName + "' (7)");
    // A composed text is used as it stands: a '%' in a name is not a conversion.
    EXPECT_FATAL(Console::fatal("file '100%s.png'"), "file '100%s.png'");
}

// The real end of the program, in a child process: cleanup first, then the message on
// the console (stderr without one), then the message box, then exit code 255. An error
// inside the cleanup does not run it again.
TEST(ConsoleDeathTest, ErrorCleansUpShowsTheMessageAndExitsWith255)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto end = [](bool failingCleanup) {
        Console::setFatalHandler({});
        Console::setCleanupHook([failingCleanup] {
            std::fputs("[cleanup]", stderr);
            if (failingCleanup)
                Console::fatal("restore failed");
        });
        Console::setMessageBox([](const std::string& m) { std::fprintf(stderr, "[box: %s]", m.c_str()); });
        Console::error("Camera: %s", "Clear");
    };
    EXPECT_EXIT(end(false), testing::ExitedWithCode(255), "^\\[cleanup\\]Camera: Clear\n\\[box: Camera: Clear\\]$");
    EXPECT_EXIT(end(true), testing::ExitedWithCode(255), "^\\[cleanup\\]restore failed\n\\[box: restore failed\\]$");
}

}  // namespace
}  // namespace mirva
