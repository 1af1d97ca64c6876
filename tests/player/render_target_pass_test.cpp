// RenderTargetBegin and RenderTargetEnd in the layer order: the layers between them draw
// into the texture named by MapName, not onto the screen; the texture is there for the
// layers after them; a pass left open ends with the frame; the texture goes with the
// destruct and comes back with every construct.
#include <gtest/gtest.h>

#include "components/render_target_begin.h"
#include "engine/camera.h"
#include "engine/render_target.h"
#include "engine/texture.h"
#include "tests/player/frame_fixture.h"
#include "tests/support/fatal.h"

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

constexpr const char* kPass =
    "Enum Layers { SCREEN BEGIN INSIDE END AFTER }\n"
    "Construct Clearer screen { Layer = SCREEN ClearColor = 255, 0, 0 Enabled = true }\n"
    "Construct RenderTargetBegin begin { Layer = BEGIN MapName = \"capture\" Width = 32 Height = 32 ZBuffer = true "
    "Alpha = false Enabled = true }\n"
    "Construct Clearer inside { Layer = INSIDE ClearColor = 0, 255, 0 Enabled = true }\n"
    "Construct RenderTargetEnd end { Layer = END Enabled = true }\n"
    "Construct Clearer after { Layer = AFTER ClearColor = 0, 0, 255 Viewport = 0.5, 0, 1, 1 Enabled = true }\n";

TEST_F(RenderTargetPass, LayersBetweenBeginAndEndDrawIntoTheNamedTexture)
{
    play(std::string(kPass) + "Timer 1:0:0 120 1.0\n");
    const Picture screen = frame(0.5f);
    EXPECT_COLOR(screen.at(10, 24), kRed);    // the pass's green never reached the screen
    EXPECT_COLOR(screen.at(50, 24), kBlue);   // the layer after the pass draws on the screen
    ASSERT_TRUE(Texture::exists("capture"));
    const Picture texture = captured("capture");
    EXPECT_COLOR(texture.at(10, 10), kGreen);
    EXPECT_COLOR(texture.at(60, 40), kGreen);
}

TEST_F(RenderTargetPass, ACapturedPictureShowsUpInALaterLayer)
{
    // A sprite of half-size 1 at depth 2 covers the middle half of the screen across and
    // two thirds of it down (at depth 2 the screen is 4 x 3 units).
    play("Enum Layers { SCREEN BEGIN INSIDE END SHOW }\n"
         "Construct Clearer screen { Layer = SCREEN ClearColor = 255, 0, 0 Enabled = true }\n"
         "Construct RenderTargetBegin begin { Layer = BEGIN MapName = \"capture\" Width = 32 Height = 32 "
         "ZBuffer = false Alpha = false Enabled = true }\n"
         "Construct Clearer inside { Layer = INSIDE ClearColor = 0, 255, 0 Enabled = true }\n"
         "Construct RenderTargetEnd end { Layer = END Enabled = true }\n"
         "Construct Sprite show { Layer = SHOW Map = \"capture\" Motion = 0, 0, 2, 0, 0, 0, 1, 1, 1 Size = 1, 1 "
         "Enabled = true }\n"
         "Timer 0:4:0 120 1.0\n");
    const Picture screen = frame(0.5f);
    EXPECT_COLOR(screen.at(32, 24), kGreen);
    EXPECT_COLOR(screen.at(18, 10), kGreen);
    EXPECT_COLOR(screen.at(46, 38), kGreen);
    EXPECT_COLOR(screen.at(14, 24), kRed);
    EXPECT_COLOR(screen.at(50, 24), kRed);
    EXPECT_COLOR(screen.at(32, 6), kRed);
    EXPECT_COLOR(screen.at(32, 42), kRed);
    // After the restart both are made again and the sprite shows the new target.
    while (player->restarts() == 0)
        frame(0.5f);
    EXPECT_COLOR(frame(0.5f).at(32, 24), kGreen);
}

TEST_F(RenderTargetPass, APassWithoutEndEndsWithTheFrame)
{
    play("Enum Layers { SCREEN BEGIN INSIDE }\n"
         "Construct Clearer screen { Layer = SCREEN ClearColor = 255, 0, 0 Enabled = true }\n"
         "Construct RenderTargetBegin begin { Layer = BEGIN MapName = \"capture\" Width = 16 Height = 16 "
         "ZBuffer = false Alpha = false Enabled = true }\n"
         "Construct Clearer inside { Layer = INSIDE ClearColor = 0, 255, 0 Enabled = true }\n"
         "Timer 1:0:0 120 1.0\n"
         "0:2:0 End begin\n");
    EXPECT_COLOR(frame(0.5f).at(32, 24), kRed);
    while (player->previousTime() < (2 << 8))
        frame(0.5f);
    // Without the pass the green clearer draws on the screen again.
    EXPECT_COLOR(frontBuffer(device()).at(32, 24), kGreen);
}

TEST_F(RenderTargetPass, EndWithoutBeginDoesNothing)
{
    play("Enum Layers { SCREEN END }\n"
         "Construct Clearer screen { Layer = SCREEN ClearColor = 255, 0, 0 Enabled = true }\n"
         "Construct RenderTargetEnd end { Layer = END Enabled = true }\n"
         "Timer 1:0:0 120 1.0\n");
    EXPECT_COLOR(frame(0.5f).at(32, 24), kRed);
    EXPECT_EQ(player->camera()->openPass(), nullptr);
}

TEST_F(RenderTargetPass, DestructReleasesTheTextureAndTheRestartMakesItAgain)
{
    play(std::string(kPass) + "Timer 0:4:0 120 1.0\n0:2:0 Destruct begin\n");
    frame(0.5f);
    const auto& begin = static_cast<const RenderTargetBeginComponent&>(*player->findInstance("begin"));
    RenderTarget* first = begin.target();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width(), 32);
    while (player->previousTime() < (2 << 8))
        frame(0.5f);
    EXPECT_FALSE(Texture::exists("capture"));
    EXPECT_EQ(begin.target(), nullptr);
    // Without its Begin, the pass's layers draw on the screen.
    EXPECT_COLOR(frontBuffer(device()).at(10, 24), kGreen);
    while (player->restarts() == 0)
        frame(0.5f);
    frame(0.5f);
    EXPECT_TRUE(Texture::exists("capture"));
    EXPECT_COLOR(frontBuffer(device()).at(10, 24), kRed);
    EXPECT_COLOR(captured("capture").at(32, 24), kGreen);
}

TEST_F(RenderTargetPass, TwoPassesInOneFrameEachFillTheirOwnTexture)
{
    play("Enum Layers { SCREEN B1 IN1 E1 B2 IN2 E2 }\n"
         "Construct Clearer screen { Layer = SCREEN ClearColor = 255, 0, 0 Enabled = true }\n"
         "Construct RenderTargetBegin one { Layer = B1 MapName = \"one\" Width = 16 Height = 16 ZBuffer = false "
         "Alpha = false Enabled = true }\n"
         "Construct Clearer green { Layer = IN1 ClearColor = 0, 255, 0 Enabled = true }\n"
         "Construct RenderTargetEnd end1 { Layer = E1 Enabled = true }\n"
         "Construct RenderTargetBegin two { Layer = B2 MapName = \"two\" Width = 16 Height = 16 ZBuffer = false "
         "Alpha = false Enabled = true }\n"
         "Construct Clearer blue { Layer = IN2 ClearColor = 0, 0, 255 Enabled = true }\n"
         "Construct RenderTargetEnd end2 { Layer = E2 Enabled = true }\n"
         "Timer 1:0:0 120 1.0\n");
    EXPECT_COLOR(frame(0.5f).at(32, 24), kRed);
    EXPECT_COLOR(captured("one").at(32, 24), kGreen);
    EXPECT_COLOR(captured("two").at(32, 24), kBlue);
}

}  // namespace
}  // namespace mirva::test
