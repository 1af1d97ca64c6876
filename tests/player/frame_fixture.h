#pragma once
// Scripts played frame by frame through the frame update on a headless screen: each
// test loads a script written into a fresh working folder (fonts copied in when asked)
// and reads every presented frame back. Also the images, objects and scenes they use.
#include <algorithm>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "io/surface.h"
#include "platform/sound/sound_output.h"
#include "tests/engine/engine_fixture.h"
#include "tests/player/script_player_fixture.h"
#include "tests/support/scene_text.h"
#include "tools/object_writer.h"
#include "tools/tga_writer.h"

namespace mirva::test {

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
