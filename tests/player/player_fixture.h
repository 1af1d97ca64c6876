#pragma once
// Scripts written into a fresh folder that is the working directory meanwhile (so
// "parameters.txt" and included files live there too), loaded, played and read back.
// Scripts with a `Song` or `AudioStream` source are played offline: each test frame mixes
// exactly the samples of one video frame at 60 frames a second before reading the time,
// as the offline renderer does, so positions and triggers are exact. Scripts played frame
// by frame through the frame update on a headless screen read every presented frame back;
// also the images, objects and scenes they use.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/surface.h"
#include "platform/sound/sound_output.h"
#include "player/audio_stream_source.h"
#include "player/script_player.h"
#include "player/song_source.h"
#include "tests/engine/engine_fixture.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/audio_files.h"
#include "tests/support/fatal.h"
#include "tests/support/files.h"
#include "tests/support/scene_text.h"
#include "tools/module_writer.h"
#include "tools/object_writer.h"
#include "tools/tga_writer.h"

namespace mirva::test {

// The working folder, the script player of the last `play` and the traces it wrote.
struct ScriptFolder {
    Component& instance(std::size_t i) { return *player->instances().at(i); }
    std::unique_ptr<ScriptPlayer> load(const std::string& script)
    {
        writeText("script.txt", script);
        return std::make_unique<ScriptPlayer>("script.txt");
    }
    // The player of the last play goes first: it may hold the sound library.
    void play(const std::string& script)
    {
        player.reset();
        player = load(script);
        player->setTraceSink([this](const std::string& text) { traces += text; });
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


class FrameTest : public EngineTest, protected ScriptFolder {
protected:
    void SetUp() override { openScreen(64, 48); }
    void TearDown() override
    {
        player.reset();
        SoundOutput::choose(SoundOutput::Kind::Automatic);
        EngineTest::TearDown();
    }
    // Copies a file of the show's data folder (for example "fonts/defaultfont.png") to
    // the same place under the working folder.
    static void copyData(const std::string& name)
    {
        std::filesystem::create_directories(std::filesystem::path(name).parent_path());
        std::filesystem::copy_file(std::string(MIRVA_DATA_DIR) + "/" + name, name,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    // One frame of `seconds`, read back.
    Picture frame(float seconds)
    {
        player->frameUpdate(seconds);
        return frontBuffer(device());
    }
    // Video frame `n` of an offline Song script at `fps`: the frame's sound, then the
    // frame update, as the renderer does it.
    Picture songFrame(std::uint64_t n, double fps)
    {
        player->mixOfflineSound(n, fps);
        return frame(static_cast<float>(1.0 / fps));
    }
};

// Each (x, y, colour) of `points` in `picture`.
struct At {
    int x, y;
    std::uint32_t color;
};
inline void expectColors(const Picture& picture, std::initializer_list<At> points)
{
    for (const At& p : points)
        EXPECT_COLOR(picture.at(p.x, p.y), p.color) << "at " << p.x << "," << p.y;
}

// How many pixels of rows top..bottom - 1, columns 0..right - 1 are not black.
inline long lit(const Picture& picture, int top, int bottom, int right)
{
    long count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < right; ++x)
            count += (picture.at(x, y) & 0xFFFFFF) != 0;
    return count;
}

// Channel `shift` (16 red, 8 green, 0 blue) of a colour.
inline int channel(std::uint32_t color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

inline constexpr std::uint32_t kBlack = 0xFF000000;
inline constexpr std::uint32_t kRed = 0xFFFF0000;
inline constexpr std::uint32_t kGreen = 0xFF00FF00;
inline constexpr std::uint32_t kBlue = 0xFF0000FF;

// A script on the layers BACK and `layers`: a Clearer `back` of colour `color` on BACK, the
// instances of `body`, the Timer and the instructions of `timed`.
inline std::string layered(const std::string& layers, const std::string& color, const std::string& body,
                           const std::string& timed = "", const std::string& timer = "1:0:0 120 1.0")
{
    return "Enum Layers { BACK " + layers + " }\nConstruct Clearer back { Layer = BACK ClearColor = " + color +
           " Enabled = true }\n" + body + "Timer " + timer + "\n" + timed;
}

// A 4 x 4 image of one colour.
inline void writeImage(const std::string& path, std::uint32_t argb)
{
    Surface image(4, 4);
    std::fill_n(image.pixels(), 16, argb);
    writeFileBytes(path, tgaFile(image, 32));
}

// `object` with one surface of one colour (components 0..1).
inline void writeObject(const std::string& path, ObjectWriter object, float red, float green, float blue)
{
    object.addSurface("Paint", red, green, blue);
    object.write(path);
}

// Scene text: a header, then items; an item of object `file` standing at (x, y, z).
inline std::string scene(const std::string& items) { return "LWSC\n3\n\nFramesPerSecond 30\n" + items; }
inline std::string sceneObject(const std::string& file, float x, float y, float z)
{
    return "LoadObjectLayer 1 " + file + "\nObjectMotion\n" + motion({x, y, z, 0, 0, 0, 1, 1, 1});
}

}  // namespace mirva::test
