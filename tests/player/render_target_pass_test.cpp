// RenderTargetBegin and RenderTargetEnd in the layer order: the layers between them draw
// into the texture named by MapName, not onto the screen; the texture is there for the
// layers after them; a pass left open ends with the frame or at the next Begin; the
// texture goes with the destruct and comes back with every construct.
#include <gtest/gtest.h>

#include "components/render_target_begin.h"
#include "engine/camera.h"
#include "engine/render_target.h"
#include "engine/texture.h"
#include "tests/player/frame_fixture.h"

namespace mirva::test {
namespace {

class RenderTargetPass : public FrameTest {
protected:
    // What the texture named `name` holds now, drawn over the whole back buffer.
    Picture captured(const std::string& name)
    {
        D3DVIEWPORT8 whole{0, 0, 64, 48, 0.0f, 1.0f};
        device()->SetViewport(&whole);
        drawTexture(Texture::getD3DSurface(name).texture());
        return flipAndRead();
    }
};

// A red screen; a RenderTargetBegin named `name` into `map`, `side` pixels square, in `layer`.
const std::string kRedScreen = "Construct Clearer screen { Layer = SCREEN ClearColor = 255, 0, 0 Enabled = true }\n";
std::string begin(const std::string& name, const std::string& layer, const std::string& map, int side = 32,
                  const std::string& zBuffer = "false")
{
    const std::string size = std::to_string(side);
    return "Construct RenderTargetBegin " + name + " { Layer = " + layer + " MapName = \"" + map + "\" Width = " + size +
           " Height = " + size + " ZBuffer = " + zBuffer + " Alpha = false Enabled = true }\n";
}

// A green pass into "capture", then a blue clear of the right half of the screen.
const std::string kPass = "Enum Layers { SCREEN BEGIN INSIDE END AFTER }\n" + kRedScreen +
                          begin("begin", "BEGIN", "capture", 32, "true") +
                          "Construct Clearer inside { Layer = INSIDE ClearColor = 0, 255, 0 Enabled = true }\n"
                          "Construct RenderTargetEnd end { Layer = END Enabled = true }\n"
                          "Construct Clearer after { Layer = AFTER ClearColor = 0, 0, 255 Viewport = 0.5, 0, 1, 1 "
                          "Enabled = true }\n";

TEST_F(RenderTargetPass, LayersBetweenBeginAndEndDrawIntoTheNamedTextureUntilTheDestruct)
{
    play(kPass + "Timer 0:4:0 120 1.0\n0:2:0 Destruct begin\n");
    // The pass's green never reached the screen; the layer after the pass draws on it.
    expectColors(frame(0.5f), {{10, 24, kRed}, {50, 24, kBlue}});
    const auto& begin = static_cast<const RenderTargetBeginComponent&>(*player->findInstance("begin"));
    ASSERT_NE(begin.target(), nullptr);
    EXPECT_EQ(begin.target()->width(), 32);
    EXPECT_EQ(player->camera()->openPass(), nullptr);  // the End closed it
    expectColors(captured("capture"), {{10, 10, kGreen}, {60, 40, kGreen}});
    // The destruct releases the texture; without its Begin, the pass's layers draw on the
    // screen (and the End finds no target).
    while (player->previousTime() < (2 << 8))
        frame(0.5f);
    EXPECT_FALSE(Texture::exists("capture"));
    EXPECT_EQ(begin.target(), nullptr);
    EXPECT_COLOR(frontBuffer(device()).at(10, 24), kGreen);
    // The restart makes it again.
    while (player->restarts() == 0)
        frame(0.5f);
    EXPECT_COLOR(frame(0.5f).at(10, 24), kRed);
    EXPECT_TRUE(Texture::exists("capture"));
    EXPECT_COLOR(captured("capture").at(32, 24), kGreen);
}

TEST_F(RenderTargetPass, ACapturedPictureShowsUpInALaterLayer)
{
    // A sprite of half-size 1 at depth 2 covers the middle half of the screen across and
    // two thirds of it down (at depth 2 the screen is 4 x 3 units).
    play("Enum Layers { SCREEN BEGIN INSIDE END SHOW }\n" + kRedScreen + begin("begin", "BEGIN", "capture") +
         "Construct Clearer inside { Layer = INSIDE ClearColor = 0, 255, 0 Enabled = true }\n"
         "Construct RenderTargetEnd end { Layer = END Enabled = true }\n"
         "Construct Sprite show { Layer = SHOW Map = \"capture\" Motion = 0, 0, 2, 0, 0, 0, 1, 1, 1 Size = 1, 1 "
         "Enabled = true }\nTimer 0:4:0 120 1.0\n");
    expectColors(frame(0.5f), {{32, 24, kGreen}, {18, 10, kGreen}, {46, 38, kGreen}, {14, 24, kRed}, {50, 24, kRed},
                               {32, 6, kRed}, {32, 42, kRed}});
    // After the restart both are made again and the sprite shows the new target.
    while (player->restarts() == 0)
        frame(0.5f);
    EXPECT_COLOR(frame(0.5f).at(32, 24), kGreen);
}

// Two passes in one frame, each with its End or, without them, each Begin ending the pass
// before it and the frame ending the last: either way each fills its own texture and the
// screen keeps its own picture frame after frame.
TEST_F(RenderTargetPass, TwoPassesInOneFrameEachFillTheirOwnTexture)
{
    for (const char* ends : {"true", "false"}) {
        SCOPED_TRACE(ends);
        play("Enum Layers { SCREEN B1 IN1 E1 B2 IN2 E2 }\n" + kRedScreen + begin("one", "B1", "one", 16) +
             "Construct Clearer green { Layer = IN1 ClearColor = 0, 255, 0 Enabled = true }\n"
             "Construct RenderTargetEnd end1 { Layer = E1 Enabled = " + ends + " }\n" + begin("two", "B2", "two", 16) +
             "Construct Clearer blue { Layer = IN2 ClearColor = 0, 0, 255 Enabled = true }\n"
             "Construct RenderTargetEnd end2 { Layer = E2 Enabled = " + ends + " }\nTimer 1:0:0 120 1.0\n");
        EXPECT_COLOR(frame(0.5f).at(32, 24), kRed);
        EXPECT_COLOR(frame(0.5f).at(32, 24), kRed);
        EXPECT_COLOR(captured("one").at(32, 24), kGreen);
        EXPECT_COLOR(captured("two").at(32, 24), kBlue);
    }
}

}  // namespace
}  // namespace mirva::test
