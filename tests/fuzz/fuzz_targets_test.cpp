// The fuzz targets' guard (a fatal message is a refusal, anything else passes through)
// and each entry point on a good and a bad input, so that a harness that never gets past
// its first check, or leaves the process changed, is noticed.
#include "fuzz/fuzz_targets.h"

#include <filesystem>
#include <new>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/console.h"
#include "io/surface.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tools/object_writer.h"

namespace mirva::fuzz {
namespace {

std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

// A file written by `write` into a temporary folder, read back as bytes.
template <typename Write>
std::vector<std::uint8_t> fileBytes(const std::string& name, Write write)
{
    const test::TempDir dir;
    write(dir.file(name));
    return test::readFile(dir.file(name));
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

TEST(FuzzTargets, EachHasItsOwnName)
{
    std::set<std::string_view> names;
    for (const Target& target : targets()) {
        EXPECT_TRUE(names.insert(target.name).second) << target.name;
        EXPECT_EQ(findTarget(target.name), &target);
    }
    EXPECT_EQ(names.size(), 6u);
    EXPECT_EQ(findTarget("nothing"), nullptr);
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

TEST(FuzzTargets, ObjectsAndTheirMeshSteps)
{
    EXPECT_EQ(object(ObjectWriter::geodesicSphere(1, 1).lwo2()), Outcome::Loaded);
    EXPECT_EQ(object(ObjectWriter::box(0, 0, 0, 1, 1, 1).lwob()), Outcome::Loaded);
    std::vector<std::uint8_t> cut = ObjectWriter::tetrahedron().lwo2();
    cut.resize(cut.size() - 9);
    EXPECT_EQ(object(cut), Outcome::Refused);
}

TEST(FuzzTargets, ScenesAndMotionFiles)
{
    EXPECT_EQ(scene(bytesOf("LWSC\n3\nAddNullObject Null\nObjectMotion\nNumChannels 1\nChannel 0\n"
                            "{ Envelope\n  1\n  Key 1 0 0 0 0 0 0 0 0\n  Behaviors 2 2\n}\n")),
              Outcome::Loaded);
    EXPECT_EQ(scene(bytesOf("LWSC\n3\nLightName x\n")), Outcome::Refused);
    EXPECT_EQ(motion(bytesOf("LWMO 3 NumChannels 1 Channel 0 { Envelope 1 Key 1 0 0 0 0 0 0 0 0 Behaviors 1 1 }")),
              Outcome::Loaded);
    EXPECT_EQ(motion(bytesOf("LWMO 2")), Outcome::Refused);
}

TEST(FuzzTargets, ImagesGoToTheReaderTheirSignatureNames)
{
    Surface picture(3, 2);
    picture.setPixel(2, 1, 0xFF102030);
    const std::vector<std::uint8_t> png = fileBytes("p.png", [&](const std::string& path) { picture.savePng(path); });
    EXPECT_EQ(image(png), Outcome::Loaded);
    // A 1 x 1 24-bit TGA, and the same with its pixel missing.
    std::vector<std::uint8_t> tga = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0, 9, 8, 7};
    EXPECT_EQ(image(tga), Outcome::Loaded);
    tga.pop_back();
    EXPECT_EQ(image(tga), Outcome::Refused);
}

TEST(FuzzTargets, FontImagesArePackedUpToTheTexture)
{
    // Row 0 marks one glyph 3 wide (code 0), row 1 its advance; one row of glyph pixels.
    Surface glyphs(4, 3);
    glyphs.clear();
    for (int x = 0; x < 2; ++x) {
        glyphs.setPixel(x, 0, 0xFFFFFFFF);
        glyphs.setPixel(x, 1, 0xFFFFFFFF);
    }
    EXPECT_EQ(font(fileBytes("f.png", [&](const std::string& path) { glyphs.savePng(path); })), Outcome::Loaded);
    const Surface flat(4, 2);
    EXPECT_EQ(font(fileBytes("g.png", [&](const std::string& path) { flat.savePng(path); })), Outcome::Refused);
}

}  // namespace
}  // namespace mirva::fuzz
