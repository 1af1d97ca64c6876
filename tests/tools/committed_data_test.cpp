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

// A module written under `dataDir` as `file`.
std::vector<std::string> module(const std::string& dataDir, const std::string& file, const ModuleWriter& music)
{
    std::filesystem::create_directories(std::filesystem::path(dataDir) / "music");
    music.write(dataDir + "/" + file);
    return {file};
}

// Every shaders/NAME.vsh assembled into NAME.vso under `dataDir`.
std::vector<std::string> shaders(const std::string& dataDir)
{
    std::vector<std::string> files;
    std::filesystem::create_directories(std::filesystem::path(dataDir) / "shaders");
    for (const auto& entry : std::filesystem::directory_iterator("shaders"))
        if (entry.path().extension() == ".vsh") {
            const std::vector<unsigned char> bytes =
                vertexShaderFileBytes(assembleVertexShader(test::readText(entry.path().string()), "shader"));
            files.push_back(std::filesystem::path(entry.path()).replace_extension(".vso").string());
            test::writeFile(dataDir + "/" + files.back(), {bytes.begin(), bytes.end()});
        }
    return files;
}

TEST(CommittedData, EveryFileIsWhatItsToolWrites)
{
    const struct {
        const char* tool;
        std::function<std::vector<std::string>(const std::string&)> write;
    } tools[] = {
        {"mirva-vsa", shaders},
        {"mirva-show3d", writeShow3dData},
        {"mirva-flatmaps", writeFlatMaps},
        {"mirva-showanim", writeShowAnimations},
        {"mirva-textobject --data",
         [](const std::string& dir) { return writeTextObjectData(dir, "/usr/share/fonts/truetype/dejavu"); }},
        {"mirva_compose_music", [](const std::string& dir) { return module(dir, "music/pulse.mod", composePulse()); }},
        {"mirva_compose_music --divido",
         [](const std::string& dir) { return module(dir, "music/divido.mod", composeDivido()); }},
    };
    const test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    for (const auto& tool : tools) {
        test::TempDir dir;
        const std::vector<std::string> files = tool.write(dir.path().string());
        EXPECT_FALSE(files.empty()) << tool.tool;
        for (const std::string& file : files)
            EXPECT_TRUE(test::readFile(dir.file(file)) == test::readFile(file))
                << file << " differs from what " << tool.tool << " writes: rebuild it with the mirva_data target";
    }
}

}  // namespace
}  // namespace mirva
