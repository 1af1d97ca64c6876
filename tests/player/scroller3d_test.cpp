// Scroller3D in scripts: objects bent between two paths, read back from the mesh it
// writes and from the frame, on the headless 64 x 48 screen looking along +z.
#include <gtest/gtest.h>

#include "components/scroller3d.h"
#include "engine/primitive.h"
#include "lightwave/lw_object.h"
#include "tests/player/frame_fixture.h"

namespace mirva::test {
namespace {

// Paths whose x runs back as their time runs on (x = -t), as a scroller's text enters
// from the right: a vertex at object x shows at -(phase - x * Stretch).
constexpr const char* kRunningX = "Key -10,10,LINEAR Key 10,-10,LINEAR CONSTANT CONSTANT";

class Scroller3D : public FrameTest {
protected:
    // `before`: instances the scroller's settings name.
    Scroller3DComponent& scroller(const std::string& object, const std::string& settings,
                                  const std::string& before = "")
    {
        play(layered("DRAW", "0, 0, 0", before + "Construct Scroller3D bent { Layer = DRAW Object = \"" + object +
                                            "\" " + settings + " Enabled = true }\n"));
        picture = frame(0.5f);
        return dynamic_cast<Scroller3DComponent&>(*player->findInstance("bent"));
    }

    Picture picture;
};

TEST_F(Scroller3D, StretchSpreadsTheObjectAlongThePathsAndZeroCollapsesIt)
{
    writeObject("box.lwo", ObjectWriter::box(-1, -1, -1, 1, 3, 1), 1, 0, 0);   // height 4 from y = -1
    const struct {
        const char* stretch;
        float left, right;   // where the box's x = -1 and x = 1 land, half a second in
    } cases[] = {{"0", -0.5f, -0.5f}, {"2", -2.5f, 1.5f}, {"1", -1.5f, 0.5f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stretch);
        const std::string paths = std::string("UpperMotion = ") + kRunningX + ", 1, 6 LowerMotion = " + kRunningX +
                                  ", -1, 6 Stretch = " + c.stretch;
        const Primitive& mesh = *scroller("box.lwo", paths).mesh();
        const LWObject box = LWObject::Load("box.lwo");
        for (int i = 0; i < 8; ++i)
            EXPECT_NEAR(mesh.vertex(i).x, box.vertices[static_cast<std::size_t>(i)].position.x < 0 ? c.left : c.right,
                        1e-4) << i;
    }
    // Stretch 1: the box spans x -1.5..0.5 at depth 6, pixels 24 to 34 across, 19 to 29 up.
    EXPECT_COLOR(picture.at(28, 24), kRed);
    EXPECT_COLOR(picture.at(40, 24), kBlack);
}

TEST_F(Scroller3D, AnObjectWithoutHeightLiesOnTheLowerPath)
{
    writeObject("flat.lwo", ObjectWriter::grid(2, 2), 0, 1, 0);
    const Primitive& mesh = *scroller("flat.lwo", "UpperMotion = 0, 9, 0 LowerMotion = 5, 6, 7").mesh();
    for (int i = 0; i < mesh.vertexCapacity(); ++i) {
        const Primitive::Vertex& v = mesh.vertex(i);
        EXPECT_EQ((std::array<float, 3>{v.x, v.y, v.z}), (std::array<float, 3>{5, 6, 7})) << i;
    }
}

TEST_F(Scroller3D, TheShowsTextReadsAlongStraightPaths)
{
    // Paths at x = -3.5 - t, a unit apart, with Stretch 1: half a second in, every vertex
    // lands at (x - 4, y - 0.5, 4), where an Object at that Motion, flattened to depth 0,
    // shows the unbent text. Both in one colour on a 160 x 120 screen: the bent text must
    // cover the same pixels.
    openScreen(160, 120);
    copyData("objects/scrolltext.lwo");
    const std::string gold = "Construct Material gold { Layer = BACK Type = FACTOR Culling = NOCULLING "
                             "Factor = 255, 200, 0, 255 Enabled = true }\n";
    const std::string run = "Key -40,36.5,LINEAR Key 10,-13.5,LINEAR CONSTANT CONSTANT";
    scroller("objects/scrolltext.lwo",
             "Material = gold Stretch = 1 UpperMotion = " + run + ", 0.5, 4 LowerMotion = " + run + ", -0.5, 4", gold);
    const Picture bent = picture;
    play(layered("DRAW", "0, 0, 0", gold + "Construct Object flat { Layer = DRAW Object = \"objects/scrolltext.lwo\" "
                                          "Material = gold Motion = -4, -0.5, 4, 0, 0, 0, 1, 1, 0 Enabled = true }\n"));
    const Picture straight = frame(0.5f);
    int letters = 0, differing = 0;
    for (std::size_t i = 0; i < bent.pixels.size(); ++i) {
        letters += (bent.pixels[i] & 0xFFFFFF) == 0xFFC800;
        differing += (bent.pixels[i] != straight.pixels[i]);
    }
    EXPECT_GT(letters, 1000);
    EXPECT_LT(differing, letters / 10);
}

}  // namespace
}  // namespace mirva::test
