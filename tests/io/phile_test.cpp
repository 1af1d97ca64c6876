#include "io/phile.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

using test::TempDir;

class PhileTest : public testing::Test {
protected:
    TempDir dir;
    test::ScopedWorkingDir cd{dir.path()};
    void TearDown() override { Phile::disableUsedFiles(); }
};

TEST_F(PhileTest, LoadReturnsExactlyTheFileBytes)
{
    const std::vector<std::uint8_t> bytes{0, 1, 2, 255, 0, 10, 13, 10};
    test::writeFile("data.bin", bytes);
    EXPECT_EQ(Phile::load("data.bin"), bytes);
    EXPECT_EQ(Phile::size("data.bin"), bytes.size());
}

TEST_F(PhileTest, EmptyFileLoadsAsEmptyBlock)
{
    test::writeFile("empty.bin", {});
    EXPECT_TRUE(Phile::load("empty.bin").empty());
    EXPECT_EQ(Phile::size("empty.bin"), 0u);
}

TEST_F(PhileTest, MissingFileNamesTheOperation)
{
    EXPECT_FATAL(Phile::load("nope/missing.bin"), "Phile::load - couldn't open file 'nope/missing.bin'");
    EXPECT_FATAL(Phile::size("missing.bin"), "Phile::size - couldn't open file 'missing.bin'");
}

TEST_F(PhileTest, DirectoryIsNotAFile)
{
    std::filesystem::create_directory("folder");
    EXPECT_FATAL(Phile::load("folder"), "Phile::load - couldn't open file 'folder'");
    EXPECT_FATAL(Phile::size("folder"), "Phile::size - couldn't open file 'folder'");
}

TEST_F(PhileTest, WithoutTheListNoUsedFilesIsWritten)
{
    test::writeFile("a.bin", {1});
    Phile::load("a.bin");
    Phile::record("b.bin");
    EXPECT_FALSE(std::filesystem::exists("usedfiles.txt"));
}

TEST_F(PhileTest, ListRecordsEveryOpenInOrderWithRepeats)
{
    test::writeText("usedfiles.txt", "left over from an earlier run\n");
    test::writeFile("a.bin", {1});
    test::writeFile("b.bin", {2});
    Phile::enableUsedFiles();
    EXPECT_EQ(test::readText("usedfiles.txt"), "");
    Phile::load("a.bin");
    Phile::load("./b.bin");
    Phile::size("b.bin");  // size never records
    Phile::load("a.bin");
    Phile::record("music/song.xm");
    EXPECT_EQ(test::readText("usedfiles.txt"), "a.bin\n./b.bin\na.bin\nmusic/song.xm\n");
}

TEST_F(PhileTest, MissingFileIsNotRecorded)
{
    Phile::enableUsedFiles();
    test::fatalMessage([] { Phile::load("missing.bin"); });
    EXPECT_EQ(test::readText("usedfiles.txt"), "");
}

TEST_F(PhileTest, UnwritableListIsIgnored)
{
    std::filesystem::create_directory("usedfiles.txt");  // cannot be opened for writing
    test::writeFile("a.bin", {7});
    Phile::enableUsedFiles();
    EXPECT_EQ(Phile::load("a.bin"), std::vector<std::uint8_t>{7});
}

}  // namespace
}  // namespace mirva
