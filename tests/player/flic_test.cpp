// FlicDecompress in scripts: the animation plays into the texture named by its file at
// FPS frames a second of updates, a Sprite naming that file shows each frame, a file that
// is no FLC shows nothing, and the texture goes with the destruct.
//
// The animation is 16 x 16: a transparent border of 4 pixels round a square of one colour
// a frame (red, green, blue, white). The sprite at depth 2 with half-size 1 covers the
// middle 32 x 32 pixels of the 64 x 48 screen, two pixels a texel.
#include <gtest/gtest.h>

#include "engine/texture.h"
#include "tests/player/frame_fixture.h"
#include "tests/support/fatal.h"
#include "tools/flc_writer.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kBackground = 0xFF000050;

class FlicInScripts : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        FlcPalette palette{};
        palette[1] = {255, 0, 0};
        palette[2] = {0, 255, 0};
        palette[3] = {0, 0, 255};
        palette[4] = {255, 255, 255};
        FlcWriter writer(16, 16);
        for (std::uint8_t frame = 0; frame < 4; ++frame) {
            FlcBytes indices(256, 0);
            for (int y = 4; y < 12; ++y)
                std::fill_n(indices.begin() + y * 16 + 4, 8, static_cast<std::uint8_t>(frame + 1));
            writer.addFrame(indices, palette);
        }
        writer.write("squares.flc");
    }

    void show(const std::string& animation, const std::string& fps)
    {
        play(layered("ANIM SHOW", "0, 0, 80",
                     "Construct FlicDecompress anim { Layer = ANIM Flic = \"" + animation + "\" FPS = " + fps +
                         " Enabled = true }\nConstruct Sprite show { Layer = SHOW Map = \"" + animation +
                         "\" Motion = 0, 0, 2, 0, 0, 0, 1, 1, 1 Size = 1, 1 Enabled = true }\n",
                     "0:1:0 Destruct anim\n0:1:0 Destruct show\n"));
    }
};

// Construct decodes the first picture, then every `updatesPerFrame` updates the next; after
// the fourth comes the ring frame, the first picture again.
TEST_F(FlicInScripts, ASpriteNamingTheFileShowsAFrameEveryFpsFramesASecondOfUpdates)
{
    const std::uint32_t colours[] = {kRed, kGreen, kBlue, 0xFFFFFFFF};
    for (const auto& [fps, updatesPerFrame] : {std::pair{"10", 5}, {"50", 1}, {"0", 0}, {"-5", 0}}) {
        SCOPED_TRACE(fps);
        show("squares.flc", fps);
        for (int update = 1; update <= 20; ++update) {
            const int decoded = updatesPerFrame ? update / updatesPerFrame : 0;
            // The square, and the transparent border.
            expectColors(frame(0.02f), {{32, 24, colours[decoded % 4]}, {20, 12, kBackground}});
        }
        // The animation's own reference and the sprite's.
        EXPECT_EQ(Texture::getD3DSurface("squares.flc").referenceCount, 2);
        while (player->previousTime() < (1 << 8))   // the destructs release it
            frame(0.25f);
        EXPECT_FALSE(Texture::exists("squares.flc"));
    }
}

TEST_F(FlicInScripts, AFileThatIsNoFlcShowsNothing)
{
    writeText("text.flc", "this is not an animation, just some text long enough to be read");
    show("text.flc", "50");
    for (int update = 0; update < 3; ++update)
        EXPECT_COLOR(frame(0.02f).at(32, 24), kBackground);
    EXPECT_EQ(Texture::getD3DSurface("text.flc").width, 1);
    EXPECT_EQ(Texture::getD3DSurface("text.flc").height, 1);
}

TEST_F(FlicInScripts, ATextureOfTheSameNameThatDoesNotFitIsRefused)
{
    play("Construct RenderTargetBegin target { MapName = \"squares.flc\" Width = 32 Height = 32 ZBuffer = false "
         "Alpha = false }\nConstruct FlicDecompress anim { Flic = \"squares.flc\" }\nTimer 4:0:0 120 1.0\n");
    EXPECT_FATAL(frame(0.02f), "FlicDecompress: texture 'squares.flc' exists already, not as a 16 x 16 A4R4G4B4 texture");
}

}  // namespace
}  // namespace mirva::test
