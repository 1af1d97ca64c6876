// The data the show reads is made by the project's tools: every committed file is, byte
// for byte, what its tool writes now.
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "tests/support/files.h"
#include "tools/divido_music.h"
#include "tools/flat_maps.h"
#include "tools/pulse_music.h"
#include "tools/show3d.h"
#include "tools/show_anim.h"
#include "tools/text_object.h"
#include "tools/vs_assembler.h"

namespace mirva {
namespace {

// Each file with the tool that makes it and the bytes the tool makes now.
struct Made {
    std::string file, tool;
    std::vector<std::uint8_t> bytes;
};

TEST(CommittedData, EveryFileIsWhatItsToolWrites)
{
    const test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    std::vector<Made> made = {{"music/pulse.mod", "mirva_compose_music", composePulse().bytes()},
                              {"music/divido.mod", "mirva_compose_music --divido", composeDivido().bytes()}};
    for (const auto& entry : std::filesystem::directory_iterator("shaders"))
        if (entry.path().extension() == ".vsh") {
            const auto bytes = vertexShaderFileBytes(assembleVertexShader(test::readText(entry.path()), "shader"));
            made.push_back({std::filesystem::path(entry.path()).replace_extension(".vso"), "mirva-vsa",
                            {bytes.begin(), bytes.end()}});
        }
    EXPECT_GT(made.size(), 2u) << "no shaders";
    const struct {
        const char* tool;
        std::function<std::vector<std::string>(const std::string&)> write;
    } tools[] = {
        {"mirva-show3d", writeShow3dData},
        {"mirva-flatmaps", writeFlatMaps},
        {"mirva-showanim", writeShowAnimations},
        {"mirva-textobject --data",
         [](const std::string& dir) { return writeTextObjectData(dir, "/usr/share/fonts/truetype/dejavu"); }},
    };
    const test::TempDir dir;
    for (const auto& tool : tools) {
        const std::vector<std::string> files = tool.write(dir.path().string());
        EXPECT_FALSE(files.empty()) << tool.tool;
        for (const std::string& file : files)
            made.push_back({file, tool.tool, test::readFile(dir.file(file))});
    }
    for (const Made& m : made)
        EXPECT_TRUE(m.bytes == test::readFile(m.file))
            << m.file << " differs from what " << m.tool << " writes: rebuild it with the mirva_data target";
}

}  // namespace
}  // namespace mirva
