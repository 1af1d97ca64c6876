#include "io/console.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/fatal.h"

namespace mirva {
namespace {

TEST(Console, PrintIsDroppedWithoutAConsole)
{
    Console::close();
    testing::internal::CaptureStdout();
    Console::print("hidden %d\n", 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(Console, PrintWritesFormattedLinesToAnOpenConsole)
{
    Console::open();
    testing::internal::CaptureStdout();
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
// the console (stderr without one), then the message box, then exit code 255.
TEST(ConsoleDeathTest, ErrorCleansUpShowsTheMessageAndExitsWith255)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Console::setFatalHandler({});
            Console::setCleanupHook([] { std::fputs("[cleanup]", stderr); });
            Console::setMessageBox([](const std::string& m) { std::fprintf(stderr, "[box: %s]", m.c_str()); });
            Console::error("Camera: %s", "Clear");
        },
        testing::ExitedWithCode(255), "^\\[cleanup\\]Camera: Clear\n\\[box: Camera: Clear\\]$");
}

TEST(ConsoleDeathTest, ErrorInsideTheCleanupDoesNotRunItAgain)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Console::setFatalHandler({});
            Console::setCleanupHook([] {
                std::fputs("[cleanup]", stderr);
                Console::fatal("restore failed");
            });
            Console::fatal("first");
        },
        testing::ExitedWithCode(255), "^\\[cleanup\\]restore failed\n$");
}

}  // namespace
}  // namespace mirva
