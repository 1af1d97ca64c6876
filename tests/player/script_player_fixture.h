#pragma once
// Loads scripts written into a fresh folder that is the working directory meanwhile (so
// "parameters.txt" and included files live there too). Scripts with a `Song` or
// `AudioStream` source are played offline: each test frame mixes exactly the samples of
// one video frame at 60 frames a second before reading the time, as the offline renderer
// does, so positions and triggers are exact.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sound/sound_output.h"
#include "player/audio_stream_source.h"
#include "player/script_player.h"
#include "player/song_source.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/audio_files.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tools/module_writer.h"

namespace mirva::test {

// The working folder, the script player of the last `play` and the traces it wrote.
struct ScriptFolder {
    Component& instance(std::size_t i) { return *player->instances().at(i); }
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

inline constexpr double kFps = 60.0;
inline constexpr std::uint64_t kFrameSamples = 735;   // 44100 / 60

// One order that breaks after row 3, instrument 3 on row 1: 4 rows, 21168 samples.
inline ModuleWriter fourRowModule()
{
    ModuleWriter mod(4);
    mod.addSample(ModuleWriter::squareWave(32));
    mod.addSample(ModuleWriter::squareWave(32));
    mod.addSample(ModuleWriter::squareWave(16));
    const int p = mod.addPattern();
    mod.setCell(p, 1, 0, {.note = "C-2", .sample = 3});
    mod.setCell(p, 3, 1, {.effect = 0xD, .param = 0});
    mod.setOrders({p});
    return mod;
}

constexpr Time time(int order, int row, int decimals = 0) { return order << 14 | row << 8 | decimals; }

// In the working folder: the three-order module "song.mod", the four-row "four.mod" and
// "tune.wav", a silent stereo second at the output rate (44100 frames).
class SoundScriptTest : public ScriptPlayerTest {
protected:
    void SetUp() override
    {
        SoundOutput::choose(SoundOutput::Kind::Offline);
        threeOrderModule().write("song.mod");
        fourRowModule().write("four.mod");
        writeWav("tune.wav", 44100, 2, std::vector<std::int16_t>(88200, 0));
    }
    void TearDown() override
    {
        player.reset();
        SoundOutput::choose(SoundOutput::Kind::Automatic);
    }

    // Video frame `n` as far as time goes: the sound up to the frame, the time, the due
    // instructions and the trigger snapshot. Returns the frame's time.
    Time frame(std::uint64_t n)
    {
        player->mixOfflineSound(n, kFps);
        const Time now = player->readTime(static_cast<float>(1.0 / kFps));
        player->executeDueInstructions(now);
        player->sampleTriggers().takeSnapshot();
        return now;
    }
    SongSource& song() { return dynamic_cast<SongSource&>(player->timeSource()); }
    AudioStreamSource& stream() { return dynamic_cast<AudioStreamSource&>(player->timeSource()); }
};

}  // namespace mirva::test
