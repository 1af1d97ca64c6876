// FlicDecompress in scripts: the animation plays into the texture named by its file at
// FPS frames a second of updates, a Sprite naming that file shows each frame, a file that
// is no FLC shows nothing, and the texture goes with the destruct.
//
// The animation is 16 x 16: a transparent border of 4 pixels round a square of one colour
// a frame (red, green, blue, white). The sprite at depth 2 with half-size 1 covers the
// middle 32 x 32 pixels of the 64 x 48 screen, two pixels a texel.
#include <gtest/gtest.h>

#include "components/flic_decompress.h"
#include "engine/texture.h"
#include "io/flic_player.h"
#include "tests/player/frame_fixture.h"
#include "tests/support/fatal.h"
#include "tools/flc_writer.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kBackground = 0xFF000050;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
const std::uint32_t kFrameColours[] = {kRed, kGreen, kBlue, kWhite};

void writeSquares(const std::string& path)
{
    FlcPalette palette{};
    palette[1] = {255, 0, 0};
    palette[2] = {0, 255, 0};
    palette[3] = {0, 0, 255};
    palette[4] = {255, 255, 255};
    FlcWriter writer(16, 16);
    for (std::uint8_t frame = 0; frame < 4; ++frame) {
        FlcBytes indices(256, 0);
        for (int y = 4; y < 12; ++y)
            for (int x = 4; x < 12; ++x)
                indices[static_cast<std::size_t>(y * 16 + x)] = static_cast<std::uint8_t>(frame + 1);
        writer.addFrame(indices, palette);
    }
    writer.write(path);
}

std::string script(const std::string& animation, const std::string& fps)
{
    return "Enum Layers { BACK ANIM SHOW }\n"
           "Construct Clearer back { Layer = BACK ClearColor = 0, 0, 80 Enabled = true }\n"
           "Construct FlicDecompress anim { Layer = ANIM Flic = \"" + animation + "\" FPS = " + fps +
           " Enabled = true }\n"
           "Construct Sprite show { Layer = SHOW Map = \"" + animation +
           "\" Motion = 0, 0, 2, 0, 0, 0, 1, 1, 1 Size = 1, 1 Enabled = true }\n"
           "Timer 4:0:0 120 1.0\n";
}

class FlicInScripts : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        writeSquares("squares.flc");
    }
    const FlicPlayer& animation() const
    {
        return *static_cast<FlicDecompressComponent*>(player->findInstance("anim"))->player();
    }
};

TEST_F(FlicInScripts, FramesAreDecodedAtFpsFramesASecondOfUpdates)
{
    const struct {
        const char* fps;
        int updatesPerFrame;   // 0: never
    } cases[] = {{"10", 5}, {"50", 1}, {"0", 0}, {"-5", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fps);
        play(script("squares.flc", c.fps));
        for (int update = 1; update <= 20; ++update) {
            frame(0.02f);
            const int decoded = c.updatesPerFrame ? 1 + update / c.updatesPerFrame : 1;
            ASSERT_EQ(animation().currentFrame(), (decoded - 1) % 4 + 1) << "update " << update;
        }
    }
}

TEST_F(FlicInScripts, ASpriteNamingTheFileShowsEachFrame)
{
    play(script("squares.flc", "50"));
    for (int update = 1; update <= 9; ++update) {
        const Picture screen = frame(0.02f);
        // Construct decodes the first picture, every update the next; the fourth update
        // decodes the ring frame, the first picture again.
        SCOPED_TRACE(update);
        EXPECT_COLOR(screen.at(32, 24), kFrameColours[update % 4]);
        EXPECT_COLOR(screen.at(20, 12), kBackground);   // the transparent border
    }
    // The animation's own reference and the sprite's.
    EXPECT_EQ(Texture::getD3DSurface("squares.flc").referenceCount, 2);
}

TEST_F(FlicInScripts, AFileThatIsNoFlcShowsNothing)
{
    writeText("text.flc", "this is not an animation, just some text long enough to be read");
    play(script("text.flc", "50"));
    for (int update = 0; update < 3; ++update)
        EXPECT_COLOR(frame(0.02f).at(32, 24), kBackground);
    EXPECT_EQ(Texture::getD3DSurface("text.flc").width, 1);
    EXPECT_EQ(Texture::getD3DSurface("text.flc").height, 1);
}

TEST_F(FlicInScripts, DestructReleasesTheTexture)
{
    play("Construct FlicDecompress anim { Flic = \"squares.flc\" Enabled = true }\n"
         "Timer 4:0:0 120 1.0\n0:1:0 Destruct anim\n");
    frame(0.02f);
    EXPECT_TRUE(Texture::exists("squares.flc"));
    while (player->previousTime() < (1 << 8))
        frame(0.25f);
    EXPECT_FALSE(Texture::exists("squares.flc"));
}

TEST_F(FlicInScripts, ATextureOfTheSameNameThatDoesNotFitIsRefused)
{
    play("Construct RenderTargetBegin target { MapName = \"squares.flc\" Width = 32 Height = 32 "
         "ZBuffer = false Alpha = false }\n"
         "Construct FlicDecompress anim { Flic = \"squares.flc\" }\n"
         "Timer 4:0:0 120 1.0\n");
    EXPECT_FATAL(frame(0.02f), "FlicDecompress: texture 'squares.flc' exists already, not as a 16 x 16 A4R4G4B4 texture");
}

}  // namespace
}  // namespace mirva::test
