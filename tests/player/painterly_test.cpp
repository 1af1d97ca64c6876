// Painterly in scripts: objects drawn as brush strokes by the frame update on the headless
// 64 x 48 screen, looking along +z from the origin (the light comes from the camera). The
// brush is opaque white, so a stroke shows its vertex colour as it is.
#include <gtest/gtest.h>

#include "components/painterly.h"
#include "tests/player/frame_fixture.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

constexpr std::uint32_t kClear = kGreen;

class Painterly : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        writeImage("brush.tga", 0xFFFFFFFF);
        writeImage("blue.tga", 0xFF0000FF);
        // An open tube of radius 1.5 along y, 3 high (its strokes run round it).
        writeObject("tube.lwo", ObjectWriter::cylinder(1.5f, 3, 24, 10), 0, 0, 0);
        writeObject("white.lwo", ObjectWriter::cylinder(1.5f, 3, 24, 10), 1, 1, 1);
    }

    Picture paint(const std::string& object, const std::string& motion, const std::string& brush = "brush.tga",
                  const std::string& environment = "blue.tga")
    {
        play(layered("DRAW", "0, 255, 0", "Construct Painterly paint { Layer = DRAW Object = \"" + object +
                     "\" BrushMap = \"" + brush + "\" EnvMap = \"" + environment + "\" Motion = " + motion +
                     " Enabled = true }\n"));
        return frame(0.1f);
    }
    PainterlyComponent& painterly() { return dynamic_cast<PainterlyComponent&>(*player->findInstance("paint")); }
};

TEST_F(Painterly, ADarkSurfaceShowsTheEnvironmentAndALightOneItsOwnColour)
{
    // The tube's rim, where the strokes turn away from the light, has no highlight.
    const Picture dark = paint("tube.lwo", "0, -1.5, 6, 0, 0, 0, 1, 1, 1");
    EXPECT_COLOR(dark.at(2, 24), kClear);
    const std::uint32_t darkRim = dark.at(26, 24);
    EXPECT_GT(channel(darkRim, 0), channel(darkRim, 16) + 80) << hex(darkRim);
    const std::uint32_t whiteRim = paint("white.lwo", "0, -1.5, 6, 0, 0, 0, 1, 1, 1").at(26, 24);
    EXPECT_GT(channel(whiteRim, 16), 110) << hex(whiteRim);
    // A tenth of the blue environment at most (26), wherever the strokes fell: the
    // generator they are scattered with is the program's, drawn by other tests too.
    EXPECT_NEAR(channel(whiteRim, 16), channel(whiteRim, 0), 30) << hex(whiteRim);
}

TEST_F(Painterly, MoreThan512VisibleStrokesAreDrawnInSeveralBatches)
{
    // A ring tipped towards the camera: the first batch holds its far side (above), the
    // last its near side (below).
    writeObject("ring.lwo", ObjectWriter::torus(1.4f, 0.5f, 24, 12), 0, 0, 0);
    const Picture picture = paint("ring.lwo", "0, 0, 4.5, 0, -0.6, 0, 1, 1, 1");
    const int strokes = painterly().strokesDrawn();
    EXPECT_GT(strokes, kStrokesPerBatch);
    EXPECT_EQ(painterly().batchesDrawn(), (strokes + kStrokesPerBatch - 1) / kStrokesPerBatch);
    EXPECT_EQ(PainterlyComponent::sharing("ring.lwo"), 1);
    EXPECT_NE(picture.at(32, 19), kClear);
    EXPECT_NE(picture.at(32, 32), kClear);
    EXPECT_COLOR(picture.at(32, 25), kClear);  // the hole
}

TEST_F(Painterly, AMissingBrushOrEnvironmentStopsWithTheFileItNames)
{
    for (const auto& [brush, environment, missing] : {std::tuple{"nobrush.tga", "blue.tga", "nobrush.tga"},
                                                      {"brush.tga", "noenv.tga", "noenv.tga"}})
        EXPECT_FATAL(paint("tube.lwo", "0, 0, 6, 0, 0, 0, 1, 1, 1", brush, environment),
                     std::string("Phile::load - couldn't open file '") + missing + "'");
}

}  // namespace
}  // namespace mirva::test
