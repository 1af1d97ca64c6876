// The shade ramp, the two scenes and the writing of all the show's 3D data.
#include "tools/show3d.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tools/scene_writer.h"
#include "tools/tga_writer.h"

namespace mirva {

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kSeconds = 24.0f;   // both scenes loop after this
constexpr int kFramesPerSecond = 30;
constexpr int kKeySteps = 48;       // a key every half second

// The turn of the scene so far, 0 .. 2pi over its length.
float turn(float t)
{
    return 2 * kPi * t / kSeconds;
}

// A distant light at `from`, shining towards the origin.
SceneLightDesc sun(const std::string& name, float x, float y, float z)
{
    const Aim aim = aimAt(x, y, z, 0, 0, 0);
    SceneLightDesc light;
    light.name = name;
    light.motion = SceneMotion::still({.x = x, .y = y, .z = z, .heading = aim.heading, .pitch = aim.pitch});
    light.colour[0] = 1.0f;
    light.colour[1] = 0.96f;
    light.colour[2] = 0.88f;
    return light;
}

// Where the flight's object `k` (0 knot, 1 star, 2 spheres) is at t: the three circle
// the centre a third of a turn apart (the knot starting behind the middle, the others in
// front to its left and right), each bobbing on its own beat.
Placement flightObject(int k, float t)
{
    const float a = turn(t), place = a + kPi / 2 + 2 * kPi * static_cast<float>(k) / 3;
    Placement p{.x = 2.4f * std::cos(place), .y = 0.5f * std::sin(2 * a + static_cast<float>(k)),
                .z = 2.4f * std::sin(place)};
    if (k == 0) {   // tumbling slowly
        p.heading = 2 * a;
        p.pitch = 0.4f * std::sin(a);
        p.bank = a;
    } else if (k == 1) {   // a pinwheel that sways
        p.heading = 0.6f * std::sin(2 * a);
        p.bank = -3 * a;
    } else {   // rolling over
        p.heading = -a;
        p.pitch = a;
    }
    return p;
}

}  // namespace

std::vector<std::uint8_t> shadeRampLevels()
{
    // N.L below 0.31: shadow; up to 0.69: half light; above: full light.
    std::vector<std::uint8_t> levels;
    for (int i = 0; i < 64; ++i)
        levels.push_back(i < 20 ? 90 : i < 44 ? 166 : 255);
    return levels;
}

std::vector<std::uint8_t> shadeRampTga()
{
    constexpr int kWidth = 64, kHeight = 4;
    const std::vector<std::uint8_t> levels = shadeRampLevels();
    Surface ramp(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const std::uint8_t level = levels[static_cast<std::size_t>(x)];
            ramp.setPixel(x, y, packArgb(255, level, level, level));
        }
    return tgaFile(ramp, 24);
}

std::vector<std::uint8_t> tilesTga()
{
    // 8 x 8 tiles of 16 pixels, cream and teal in turn, each with a bevel: its top and
    // left edges lighter, its bottom and right edges darker, so that lit tiles stand out.
    constexpr int kSize = 128, kTile = 16;
    Surface tiles(kSize, kSize);
    for (int row = 0; row < kSize; ++row)
        for (int x = 0; x < kSize; ++x) {
            const bool cream = ((x / kTile) + (row / kTile)) % 2 == 0;
            const int u = x % kTile, v = row % kTile;
            const float shade = u < 2 || v < 2 ? 1.25f : u > kTile - 3 || v > kTile - 3 ? 0.6f : 1.0f;
            const auto channel = [shade](float level) { return static_cast<std::uint8_t>(std::min(255.0f, level * shade)); };
            tiles.setPixel(x, row, packArgb(255, channel(cream ? 235.0f : 50.0f),
                                         channel(cream ? 205.0f : 140.0f), channel(cream ? 150.0f : 160.0f)));
        }
    return tgaFile(tiles, 24);
}

std::string flightSceneText()
{
    SceneWriter scene(static_cast<int>(kSeconds) * kFramesPerSecond, kFramesPerSecond);
    const char* files[3] = {kTorusKnotFile, kStarFile, kSpheresFile};
    for (int k = 0; k < 3; ++k)
        scene.addObject(files[k], SceneMotion::sampled(kSeconds, kKeySteps, [k](float t) { return flightObject(k, t); }));

    scene.setAmbient(1, 1, 1, 0.2f);
    scene.addLight(sun("Sun", -6, 8, -6));
    SceneLightDesc fill;
    fill.name = "Fill";
    fill.motion = SceneMotion::still({.x = 6, .y = -2, .z = -5});
    fill.colour[0] = 0.55f;
    fill.colour[1] = 0.65f;
    fill.colour[2] = 1.0f;
    fill.intensity = 0.5f;
    fill.type = 1;
    scene.addLight(fill);

    // The camera circles the other way round, starting straight in front (at -z), dollying
    // in and out and rising and sinking, always aimed at the middle of the three objects.
    auto camera = [](float t) {
        const float a = turn(t), around = 1.5f * kPi - a, distance = 10.0f + 1.5f * std::cos(2 * a);
        Placement p{.x = distance * std::cos(around), .y = 2.5f + 1.5f * std::sin(a), .z = distance * std::sin(around)};
        float y = 0;
        for (int k = 0; k < 3; ++k)
            y += flightObject(k, t).y / 3;
        const Aim aim = aimAt(p.x, p.y, p.z, 0, y, 0);
        p.heading = aim.heading;
        p.pitch = aim.pitch;
        return p;
    };
    SceneEnvelope zoom;
    zoom.keys = {{0, 2.4f}, {kSeconds / 2, 3.0f}, {kSeconds, 2.4f}};
    zoom.pre = zoom.post = 2;
    scene.addCamera("Camera", SceneMotion::sampled(kSeconds, kKeySteps, camera), zoom);
    scene.setBackdrop(0.05f, 0.05f, 0.12f);
    return scene.text();
}

std::string familySceneText()
{
    SceneWriter scene(static_cast<int>(kSeconds) * kFramesPerSecond, kFramesPerSecond);
    // The carousel: a null turning twice round y; five stars ride it facing outwards,
    // bobbing in turn and spinning in their own plane, every second one the other way.
    const std::int32_t carousel =
        scene.addNull("Carousel", SceneMotion::sampled(kSeconds, kKeySteps, [](float t) {
                          return Placement{.heading = 2 * turn(t)};
                      }));
    std::int32_t firstStar = -1;
    for (int k = 0; k < 5; ++k) {
        const float place = 2 * kPi * static_cast<float>(k) / 5;
        auto star = [k, place](float t) {
            const float a = turn(t), outwards = std::atan2(-std::cos(place), -std::sin(place));
            return Placement{.x = 3.2f * std::cos(place), .y = 0.4f * std::sin(2 * a + place),
                             .z = 3.2f * std::sin(place), .heading = outwards, .bank = (k % 2 ? -2 : 2) * a,
                             .scaleX = 0.9f, .scaleY = 0.9f, .scaleZ = 0.9f};
        };
        const std::int32_t id = scene.addObject(kStarFile, SceneMotion::sampled(kSeconds, kKeySteps, star), carousel);
        if (k == 0)
            firstStar = id;
    }
    // A small knot above the first star, carried round it by the star's spin.
    scene.addObject(kTorusKnotFile, SceneMotion::sampled(kSeconds, kKeySteps, [](float t) {
                        return Placement{.y = 1.9f, .heading = 4 * turn(t), .scaleX = 0.5f, .scaleY = 0.5f,
                                         .scaleZ = 0.5f};
                    }),
                    firstStar);
    scene.addObject(kSpheresFile, SceneMotion::sampled(kSeconds, kKeySteps, [](float t) {
                        const float a = turn(t);
                        return Placement{.y = 0.3f * std::sin(3 * a), .heading = -a, .scaleX = 1.2f, .scaleY = 1.2f,
                                         .scaleZ = 1.2f};
                    }));

    scene.setAmbient(1, 1, 1, 0.2f);
    scene.addLight(sun("Sun", -5, 9, -7));
    // Above and in front of the carousel, swaying a little, looking down at its middle.
    auto camera = [](float t) {
        const float a = turn(t);
        Placement p{.x = 2.0f * std::sin(a), .y = 4.2f + 0.6f * std::sin(2 * a), .z = -11.0f};
        const Aim aim = aimAt(p.x, p.y, p.z, 0, 0, 0);
        p.heading = aim.heading;
        p.pitch = aim.pitch;
        return p;
    };
    scene.addCamera("Camera", SceneMotion::sampled(kSeconds, kKeySteps, camera), SceneEnvelope::constant(2.8f));
    scene.setBackdrop(0.08f, 0.04f, 0.12f);
    return scene.text();
}

std::vector<std::string> writeShow3dData(const std::string& dataDir)
{
    const std::filesystem::path root(dataDir);
    for (const char* folder : {"maps", "objects", "scenes"})
        std::filesystem::create_directories(root / folder);
    auto at = [&](const char* file) { return (root / file).string(); };
    writeFileBytes(at(kShadeRampFile), shadeRampTga());
    writeFileBytes(at(kTilesFile), tilesTga());
    torusKnotObject().write(at(kTorusKnotFile));
    starObject().write(at(kStarFile));
    spheresObject().write(at(kSpheresFile));
    const std::string flight = flightSceneText(), family = familySceneText();
    writeFileBytes(at(kFlightSceneFile), {flight.begin(), flight.end()});
    writeFileBytes(at(kFamilySceneFile), {family.begin(), family.end()});
    return {kShadeRampFile, kTilesFile, kTorusKnotFile, kStarFile, kSpheresFile, kFlightSceneFile, kFamilySceneFile};
}

}  // namespace mirva
