// The flat effects in scripts: the ChaosZoomer's feedback shown on sprites, the
// FlowerZoomer's field of flowers, and a Sprite placed by a scene, on a headless screen.
//
// The view looks along +z from the origin with the default fields of view (90 x 73.74
// degrees): on the W x H screen a point (x, y, z) shows at (W/2 (1 + x/z), H/2 - W/2 y/z).
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "components/flower_zoomer.h"
#include "engine/primitive.h"
#include "tests/player/player_fixture.h"

namespace mirva::test {
namespace {

class FlatEffects : public FrameTest {
protected:
    void SetUp() override
    {
        openScreen(screenWidth, screenHeight);
        for (const char* map : {"maps/flare4.tga", "maps/inner3.tga", "maps/petal.tga", "maps/middle.tga"})
            copyData(map);
    }
    int screenWidth = 64, screenHeight = 48;
};

// The zoomer's texture over the whole screen, drawn after the zoomer; two more users of
// it, one drawn before the zoomer each frame, one destructed at row 1.
std::string zoomerScript(const std::string& rates)
{
    return layered("BEFORE ZOOM SHOW", "0, 0, 0",
                   "Construct ChaosZoomer zoomer { Layer = ZOOM " + rates + " Enabled = true }\n"
                   "Construct Sprite before { Layer = BEFORE Map = \"chaoszoomertexture\" Size = 0, 0 "
                   "Enabled = true }\nConstruct Sprite gone { Layer = SHOW Map = \"chaoszoomertexture\" Size = 0, 0 "
                   "Enabled = true }\n"
                   "Construct Sprite show { Layer = SHOW Map = \"chaoszoomertexture\" Blend = COPY\n"
                   "  Motion = 0, 0, 1, 0, 0, 0, 1, 1, 1 Size = 1, 0.75 Enabled = true }\n",
                   "0:1:0 Destruct gone\n");
}

TEST_F(FlatEffects, TheZoomersFrameMovesUnlessEveryRateIsZeroAndAPassAroundItKeepsItsTarget)
{
    for (const auto& [rates, still] :
         {std::pair{"", false}, {"Param1 = 0 Param2 = 0 Param3 = 0 Param4 = 0 Param5 = 0", true}}) {
        SCOPED_TRACE(rates);
        play(zoomerScript(rates));
        // The very first frame already shows flares: the sprite gets the frame just drawn.
        EXPECT_GT(lit(frame(0.04f), 0, 48, 64), 20);
        // Well after the other user of the name went at row 1, the zoomer and its viewer
        // carry on; the flare circle turns a quarter turn a second, so a fifth of a second
        // later the picture is another one, unless nothing moves.
        for (int n = 0; n < 59; ++n)
            frame(0.04f);
        const Picture a = frame(0.04f);
        for (int n = 0; n < 4; ++n)
            frame(0.04f);
        const Picture b = frame(0.04f);
        long moved = 0;
        for (std::size_t i = 0; i < a.pixels.size(); ++i)
            moved += a.pixels[i] != b.pixels[i];
        EXPECT_GT(lit(a, 0, 48, 64), still ? 100 : 200);
        EXPECT_TRUE(still ? moved < 20 : moved > 300) << moved << " of 3072 pixels changed";
    }
    // A zoomer inside a capture pass leaves the pass drawing into its target: the red clear
    // after the zoomer belongs to the capture, shown on the left half only.
    play(layered("OPEN ZOOM PAINT CLOSE SHOW", "0, 0, 0",
                 "Construct RenderTargetBegin open { Layer = OPEN MapName = \"capture\" Width = 64 Height = 64 "
                 "ZBuffer = false Alpha = false Enabled = true }\n"
                 "Construct ChaosZoomer zoomer { Layer = ZOOM Enabled = true }\n"
                 "Construct Clearer paint { Layer = PAINT ClearColor = 255, 0, 0 Enabled = true }\n"
                 "Construct RenderTargetEnd close { Layer = CLOSE Enabled = true }\n"
                 "Construct Sprite show { Layer = SHOW Map = \"capture\" Blend = COPY\n"
                 "  Motion = -0.5, 0, 1, 0, 0, 0, 1, 1, 1 Size = 0.5, 0.75 Enabled = true }\n"));
    const Picture picture = frame(0.04f);
    EXPECT_COLOR(picture.at(16, 24), kRed);
    EXPECT_COLOR(picture.at(48, 24), kBlack);
}

class Flowers : public FlatEffects {
protected:
    static constexpr int kWidth = 256, kHeight = 192;
    Flowers() { screenWidth = kWidth, screenHeight = kHeight; }

    // The field after its first frame, of `seconds`.
    FlowerZoomerComponent& flowers(const std::string& settings, float seconds = 0.04f)
    {
        play(layered("DRAW", "255, 0, 0",
                     "Construct FlowerZoomer field { Layer = DRAW MiddleMap = \"maps/middle.tga\" "
                     "PetalMap = \"maps/petal.tga\"\n  Petals = 6 PetalWidth = 0.3 PetalInnerRadius = 0.5 "
                     "PetalOuterRadius = 1.5 Enabled = true\n  BackGroundColor = 255, 0, 0 MiddleColor = 0, 0, 255 "
                     "PetalColor = 0, 0, 255 " + settings + " }\n"));
        frame(seconds);
        return dynamic_cast<FlowerZoomerComponent&>(*player->findInstance("field"));
    }

    static float screenX(const FlowerZoomerComponent::Flower& f) { return kWidth / 2.0f * (1 + f.x / f.z); }
    static float screenY(const FlowerZoomerComponent::Flower& f) { return kHeight / 2.0f - kWidth / 2.0f * f.y / f.z; }

    // Whether the middle of flower k shows: on the screen, and no nearer flower (drawn
    // after it) reaches over it; a flower reaches 1.6 units from its middle.
    static bool inSight(const FlowerZoomerComponent& field, std::size_t k)
    {
        const FlowerZoomerComponent::Flower& f = field.flowers()[k];
        if (f.z < 1 || std::abs(f.x / f.z) > 0.9f || std::abs(f.y / f.z) > 0.6f)
            return false;
        for (const FlowerZoomerComponent::Flower& other : field.flowers())
            if (other.z < f.z && std::hypot(screenX(other) - screenX(f), screenY(other) - screenY(f)) <
                                     kWidth / 2.0f * 1.6f / other.z + 2)
                return false;
        return true;
    }
};

TEST_F(Flowers, AFlowerLeavingTheNearEndComesBackFarthestAndIsDrawnFirst)
{
    // Flower 59 stands nearest, a third of a unit away: a 0.2 s frame at -2.5 units a
    // second takes it to -0.17, which is 19.83 at the far end, behind flower 0 (19.5).
    FlowerZoomerComponent& field = flowers("RotationSpeed = 0", 0.2f);
    EXPECT_NEAR(field.flowers()[59].z, 20 - 0.5f + 1.0f / 3, 1e-4);
    EXPECT_NEAR(field.flowers()[0].z, 19.5f, 1e-4);
    EXPECT_EQ(field.startIndex(), 59);
    // Petals are evenly turned, the first pointing up: the middle of the outer edge of
    // petal k is 1.5 from the centre, k x 60 degrees on.
    const Primitive& petals = *field.petals();
    ASSERT_EQ(petals.vertexCapacity(), 24);
    for (int k = 0; k < 6; ++k) {
        const Primitive::Vertex& a = petals.vertex(4 * k), &b = petals.vertex(4 * k + 1);
        const float angle = static_cast<float>(k) * 1.0471976f;
        EXPECT_NEAR((a.x + b.x) / 2, -1.5f * std::sin(angle), 1e-5) << k;
        EXPECT_NEAR((a.y + b.y) / 2, 1.5f * std::cos(angle), 1e-5) << k;
    }
    EXPECT_EQ((std::pair<int, int>{petals.index(6), petals.index(11)}), (std::pair{4, 7}));
    // Eight seconds later every flower went round once more and the order is the same.
    for (int n = 0; n < 16; ++n)
        frame(0.5f);
    EXPECT_EQ(field.startIndex(), 59);
    EXPECT_NEAR(field.flowers()[59].z, 20 - 0.5f + 1.0f / 3, 1e-3);
}

// Before depth 15 a middle shows its own blue, from there on (20 - z) / 5 of the blue over
// the red.
TEST_F(Flowers, FarFlowersFadeIntoTheBackgroundColour)
{
    // Where the flowers stand depends on what the program's generator gave before; new
    // fields are made until one shows both a near and an almost fogged-out middle.
    int near = 0, far = 0;
    for (int field = 0; field < 20 && (near == 0 || far == 0); ++field) {
        const FlowerZoomerComponent& flowerField = flowers("ZoomSpeed = 0 RotationSpeed = 0");
        const Picture picture = frame(0.04f);
        near = far = 0;
        for (std::size_t k = 0; k < flowerField.flowers().size(); ++k) {
            const FlowerZoomerComponent::Flower& f = flowerField.flowers()[k];
            if (!inSight(flowerField, k))
                continue;
            const std::uint32_t pixel = picture.at(static_cast<int>(screenX(f)), static_cast<int>(screenY(f)));
            SCOPED_TRACE(testing::Message() << "flower " << k << " at depth " << f.z << ": " << hex(pixel));
            const float blue = std::min(1.0f, (20 - f.z) / 5);
            EXPECT_NEAR(channel(pixel, 0), blue * 238, 40);
            EXPECT_NEAR(channel(pixel, 16), (1 - blue) * 255, 40);
            near += f.z < 14;
            far += f.z > 19;
        }
    }
    EXPECT_TRUE(near > 0 && far > 0) << near << " near, " << far << " far";
}

TEST_F(FlatEffects, ASpriteOnASceneIsDrawnAtEveryObjectOfItsName)
{
    writeText("dots.lws", scene(sceneObject("dot.lwo", -2, 0, 4) + sceneObject("dot.lwo", 0, 0, 4) +
                                sceneObject("dot.lwo", 2, 0, 4) + sceneObject("other.lwo", 0, 1.2f, 4)));
    play(layered("SCENE DRAW", "0, 0, 0",
                 "Construct LWS dots { Layer = SCENE Scene = \"dots.lws\" Enabled = true }\n"
                 "Construct Sprite flare { Layer = DRAW Map = \"maps/middle.tga\" Scene = dots Name = \"dot.lwo\"\n"
                 "  Size = 0.4, 0.4 Enabled = true }\n"));
    const Picture picture = frame(0.04f);
    // Middles at x = 32 + 8 x: 16, 32 and 48; nothing where the other object is.
    for (int x : {16, 32, 48})
        EXPECT_GT(channel(picture.at(x, 24), 8), 150) << x;
    for (const auto& [x, y] : {std::pair{24, 24}, {40, 24}, {32, 14}})
        EXPECT_COLOR(picture.at(x, y), kBlack);
}

}  // namespace
}  // namespace mirva::test
