#pragma once
// Loads scripts written into a fresh folder that is the working directory meanwhile (so
// "parameters.txt" and included files live there too).
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "player/script_player.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"

namespace mirva::test {

// The working folder, the script player of the last `play` and the traces it wrote.
struct ScriptFolder {
    std::unique_ptr<ScriptPlayer> load(const std::string& script)
    {
        writeText("script.txt", script);
        return std::make_unique<ScriptPlayer>("script.txt");
    }
    ScriptPlayer& play(const std::string& script)
    {
        player = load(script);
        player->setTraceSink([this](const std::string& text) { traces += text; });
        return *player;
    }

    TempDir dir;
    ScopedWorkingDir inDir{dir.path()};
    std::unique_ptr<ScriptPlayer> player;
    std::string traces;
};

class ScriptPlayerTest : public testing::Test, protected ScriptFolder {
protected:
    // The message that loading `script` ends in; empty when it loads.
    std::string messageOf(const std::string& script)
    {
        const std::string message = fatalMessage([&] { load(script); });
        return message == "<no fatal error>" ? "" : message;
    }
    // Scripts and the messages their loads stop with ("" for one that loads), in order.
    void expectMessages(const std::vector<std::pair<std::string, std::string>>& loads)
    {
        for (const auto& [script, message] : loads)
            EXPECT_EQ(messageOf(script), message) << script;
    }
};

// A Timer header for scripts whose time source does not matter.
inline constexpr const char* kTimer = "Timer 100:0:0 120 1.0\n";

}  // namespace mirva::test
