// The console and the fatal end of the program, whole files and the used-files list, the
// frame timer, the random sequence, page prefaulting and placing a transformation in its
// own space.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "io/console.h"
#include "io/frame_timer.h"
#include "io/memory_pages.h"
#include "io/phile.h"
#include "io/random.h"
#include "io/transformation.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

TEST(Console, PrintWritesToAnOpenConsoleOnlyAndErrorFormatsWithoutALengthLimit)
{
    Console::close();
    testing::internal::CaptureStdout();
    Console::print("hidden %d\n", 1);
    Console::open();
    Console::print("frame %d took %.1f ms\n", 3, 16.5);
    Console::close();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "frame 3 took 16.5 ms\n");
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

class PhileTest : public testing::Test {
protected:
    test::TempDir dir;
    test::ScopedWorkingDir cd{dir.path()};
    void TearDown() override { Phile::disableUsedFiles(); }
};

TEST_F(PhileTest, LoadReturnsExactlyTheFileBytesAndMissingFilesAndFoldersNameTheOperation)
{
    std::filesystem::create_directory("usedfiles.txt");  // a list that cannot be written is ignored
    Phile::enableUsedFiles();
    for (const std::vector<std::uint8_t>& bytes : {std::vector<std::uint8_t>{0, 1, 2, 255, 0, 10, 13, 10}, {}}) {
        test::writeFile("data.bin", bytes);
        EXPECT_EQ(Phile::load("data.bin"), bytes);
        EXPECT_EQ(Phile::size("data.bin"), bytes.size());
    }
    std::filesystem::create_directory("folder");
    for (const char* name : {"nope/missing.bin", "folder"}) {
        EXPECT_FATAL(Phile::load(name), std::string("Phile::load - couldn't open file '") + name + "'");
        EXPECT_FATAL(Phile::size(name), std::string("Phile::size - couldn't open file '") + name + "'");
    }
}

TEST_F(PhileTest, TheUsedFilesListRecordsEveryOpenInOrderWithRepeatsOnlyWhenEnabled)
{
    test::writeFile("a.bin", {1});
    test::writeFile("b.bin", {2});
    Phile::load("a.bin");
    Phile::record("b.bin");
    EXPECT_FALSE(std::filesystem::exists("usedfiles.txt"));
    test::writeText("usedfiles.txt", "left over from an earlier run\n");
    Phile::enableUsedFiles();
    EXPECT_EQ(test::readText("usedfiles.txt"), "");
    Phile::load("a.bin");
    Phile::load("./b.bin");
    Phile::size("b.bin");  // size never records
    test::fatalMessage([] { Phile::load("missing.bin"); });   // nor does a failed load
    Phile::load("a.bin");
    Phile::record("music/song.xm");
    EXPECT_EQ(test::readText("usedfiles.txt"), "a.bin\n./b.bin\na.bin\nmusic/song.xm\n");
}

// A millisecond tick count the test moves by hand.
class FrameTimerTest : public testing::Test {
protected:
    std::uint32_t ticks = 5000;
    void SetUp() override { FrameTimer::setTickSource([this] { return ticks; }); }
    void TearDown() override { FrameTimer::setTickSource({}); }
};

TEST_F(FrameTimerTest, GetCountsFromCreationOrSetDeltaFromTheLastCallAFrozenOneHoldsAndAWrapCountsOn)
{
    ticks += 700;
    FrameTimer timer;
    EXPECT_FLOAT_EQ(timer.get(), 0.0f);
    ticks += 250;
    EXPECT_FLOAT_EQ(timer.get(), 0.25f);
    ticks += 3000;
    timer.set(12.5f);
    ticks += 1500;
    EXPECT_FLOAT_EQ(timer.get(), 14.0f);
    // Delta gives the time between calls, and lastDelta repeats it.
    timer.reset();
    timer.delta();
    ticks += 100;
    EXPECT_NEAR(timer.delta(), 0.1f, 1e-6f);
    ticks += 20;
    EXPECT_NEAR(timer.delta(), 0.02f, 1e-6f);
    ticks += 500;
    EXPECT_NEAR(timer.lastDelta(), 0.02f, 1e-6f);
    // A frozen timer holds its value until reset.
    timer.frozen = true;
    timer.frozenValue = 3.25f;
    ticks += 10000;
    EXPECT_FLOAT_EQ(timer.get(), 3.25f);
    timer.delta();
    ticks += 40;
    EXPECT_FLOAT_EQ(timer.delta(), 0.0f);
    timer.reset();   // unfreezes
    EXPECT_FLOAT_EQ(timer.get(), 0.0f);
    // A tick count that wraps still counts forward.
    ticks = 0xFFFFFFF0u;
    FrameTimer::setTickSource([this] { return ticks; });  // base taken just before the wrap
    FrameTimer wrapping;
    ticks += 32;  // wraps to 16
    EXPECT_NEAR(wrapping.get(), 0.032f, 1e-6f);
    EXPECT_NEAR(FrameTimer::now(), 0.032f, 1e-6f);
}

TEST(FrameTimerClock, SteadyClockMovesForwardInMilliseconds)
{
    FrameTimer timer;
    timer.delta();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const float d = timer.delta();
    EXPECT_GE(d, 0.029f);
    EXPECT_LT(d, 5.0f);
}

TEST(Random, TheSequenceStartsWith41_18467_6334AndTheProcessWideGeneratorDrawsIt)
{
    RandomGenerator generator;
    EXPECT_EQ((std::vector<int>{generator.next(), generator.next(), generator.next()}),
              (std::vector<int>{41, 18467, 6334}));
    // Nothing else in this test binary draws from the process-wide one.
    RandomGenerator reference;
    for (int i = 0; i < 1000; ++i) {
        const int value = randomNext();
        ASSERT_EQ(value, reference.next());
        ASSERT_GE(value, 0);
        ASSERT_LE(value, RandomGenerator::kMax);
    }
}

TEST(MemoryPages, PrefaultingLeavesTheBytesAsTheyWere)
{
    // Ranges of every alignment: whole, from odd addresses, at the very end, tiny, empty.
    std::vector<std::uint8_t> buffer(6u << 20);
    for (std::size_t i = 0; i < buffer.size(); ++i)
        buffer[i] = static_cast<std::uint8_t>(i * 131 + 7);
    const std::vector<std::uint8_t> before = buffer;
    const std::pair<std::size_t, std::size_t> ranges[] = {{0, buffer.size()}, {1, (3u << 20) + 5}, {4095, 1u << 20},
                                                          {12345, 100}, {buffer.size() - (1u << 20) - 1, (1u << 20) + 1},
                                                          {0, 0}};
    for (const auto& [offset, bytes] : ranges) {
        prefaultPages(buffer.data() + offset, bytes);
        EXPECT_TRUE(buffer == before) << "range at " << offset << " of " << bytes << " bytes";
    }
}

TEST(Transformation, WithTranslationAtMovesToAPointOfItsOwnSpaceKeepingTheAxes)
{
    // A camera turned 90 degrees to the right (it looks along +x) and standing at (1, 2, 3).
    const Transformation placement{{{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {1, 2, 3}}};
    // 1.4 in front of it, 0.5 to its right and 0.25 up: (1 + 1.4, 2 + 0.25, 3 - 0.5).
    const Transformation moved = placement.withTranslationAt(0.5f, 0.25f, 1.4f);
    const float expected[4][3] = {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}, {2.4f, 2.25f, 2.5f}};
    for (int i = 0; i < 12; ++i)
        EXPECT_FLOAT_EQ(moved.m[i / 3][i % 3], expected[i / 3][i % 3]) << "row " << i / 3 << " column " << i % 3;
}

}  // namespace
}  // namespace mirva
