#include "io/phile.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva {
namespace {

class PhileTest : public testing::Test {
protected:
    test::TempDir dir;
    test::ScopedWorkingDir cd{dir.path()};
    void TearDown() override { Phile::disableUsedFiles(); }
};

TEST_F(PhileTest, LoadReturnsExactlyTheFileBytes)
{
    for (const std::vector<std::uint8_t>& bytes : {std::vector<std::uint8_t>{0, 1, 2, 255, 0, 10, 13, 10}, {}}) {
        test::writeFile("data.bin", bytes);
        EXPECT_EQ(Phile::load("data.bin"), bytes);
        EXPECT_EQ(Phile::size("data.bin"), bytes.size());
    }
}

TEST_F(PhileTest, MissingFilesAndFoldersNameTheOperation)
{
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

TEST_F(PhileTest, UnwritableListIsIgnored)
{
    std::filesystem::create_directory("usedfiles.txt");  // cannot be opened for writing
    test::writeFile("a.bin", {7});
    Phile::enableUsedFiles();
    EXPECT_EQ(Phile::load("a.bin"), std::vector<std::uint8_t>{7});
}

}  // namespace
}  // namespace mirva
