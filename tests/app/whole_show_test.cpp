// The show itself, scripts/deriravedivido.txt with music/divido.mod, rendered whole at
// 64 x 48 and 10 frames a second, as `mirva render` does it: the title fades in, every
// section moves and looks unlike the one before, and the white flash of the crash opens
// the sections that begin with one, and only those.
#include <algorithm>
#include <array>
#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "app/render.h"
#include "engine/dx_driver.h"
#include "player/script_player.h"
#include "tests/support/files.h"
#include "tests/support/graphics.h"

namespace mirva {
namespace {

// Orders where a section begins, and whether a crash opens it.
constexpr std::array<std::pair<int, bool>, 9> kSections = {
    {{0, false}, {2, true}, {5, true}, {8, true}, {11, false}, {12, true}, {15, false}, {17, true}, {19, true}}};

// The share of pixels (0..1) that differ by more than 24 in some channel.
double difference(const test::Picture& a, const test::Picture& b)
{
    long changed = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        changed += !test::near(a.pixels[i] | 0xFF000000, b.pixels[i] | 0xFF000000, 24);
    return static_cast<double>(changed) / static_cast<double>(a.pixels.size());
}

bool white(const test::Picture& picture)
{
    return test::countPixels(picture, 0, 0, 64, 48, [](std::uint32_t p) {
               return (p >> 16 & 0xFF) > 150 && (p >> 8 & 0xFF) > 140 && (p & 0xFF) > 120;
           }) > static_cast<long>(picture.pixels.size()) * 9 / 10;
}

TEST(WholeShow, EverySectionMovesDiffersFromTheLastAndOpensWithItsFlash)
{
    test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    std::map<int, std::vector<test::Picture>> bySection;  // frames by index in kSections
    std::size_t frames = 0;
    {
        OfflineRenderer renderer({.script = "scripts/deriravedivido.txt", .fps = 10, .width = 64, .height = 48});
        while (!renderer.finished()) {
            renderer.renderFrame();
            if (renderer.player().restarts() > 0)
                continue;
            const int order = (renderer.player().previousTime() >> 14) & 0x1FFFF;
            int section = 0;
            while (section + 1 < 9 && kSections[static_cast<std::size_t>(section) + 1].first <= order)
                ++section;
            bySection[section].push_back(test::frontBuffer(dxDriver().device()));
            ++frames;
        }
    }
    ASSERT_GT(frames, 1500u);  // 153.6 s
    EXPECT_FALSE(std::filesystem::exists("parameters.txt"));
    // At 3.5 s the title has faded in: gold letters on the dark sky.
    EXPECT_GT(test::countPixels(bySection[0][35], 0, 0, 64, 48, [](std::uint32_t p) {
                  return (p >> 16 & 0xFF) > 150 && (p >> 8 & 0xFF) > 110 && (p & 0xFF) < 140;
              }),
              20);

    ASSERT_EQ(bySection.size(), kSections.size());
    for (const auto& [index, shown] : bySection) {
        SCOPED_TRACE(testing::Message() << "section from order " << kSections[static_cast<std::size_t>(index)].first);
        // Moving: somewhere in it a frame and the one a second later are different pictures.
        double moved = 0;
        for (std::size_t k = 0; k + 10 < shown.size(); k += 10)
            moved = std::max(moved, difference(shown[k], shown[k + 10]));
        EXPECT_GT(moved, 0.05);
        // Not the last section again: its middle frame against the last one's.
        if (index > 0) {
            const auto& before = bySection[index - 1];
            EXPECT_GT(difference(shown[shown.size() / 2], before[before.size() / 2]), 0.5);
        }
        // The crash flashes the first frames of the section white (the flash lasts two
        // rows), and no frame in its middle.
        EXPECT_EQ(white(shown[0]) || white(shown[1]), kSections[static_cast<std::size_t>(index)].second);
        EXPECT_FALSE(white(shown[shown.size() / 2]));
    }
}

}  // namespace
}  // namespace mirva
