// The show itself, scripts/deriravedivido.txt with music/divido.mod, rendered whole at
// 64 x 48 and 10 frames a second, as `mirva render` does it: every section moves and
// looks unlike the one before, and the white flash of the crash opens the sections that
// begin with one, and only those.
#include <algorithm>
#include <array>
#include <cstdlib>
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
struct Section {
    int order;
    bool crash;
};
constexpr std::array<Section, 9> kSections = {{{0, false}, {2, true}, {5, true}, {8, true}, {11, false},
                                               {12, true}, {15, false}, {17, true}, {19, true}}};

struct Shown {
    Time time;
    test::Picture picture;
};

// The share of pixels (0..1) that differ by more than 24 in some channel.
double difference(const test::Picture& a, const test::Picture& b)
{
    long changed = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) - static_cast<int>((b.pixels[i] >> shift) & 0xFF)) > 24) {
                ++changed;
                break;
            }
    return static_cast<double>(changed) / static_cast<double>(a.pixels.size());
}

bool white(const test::Picture& picture)
{
    const auto bright = std::count_if(picture.pixels.begin(), picture.pixels.end(), [](std::uint32_t p) {
        return ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) > 140 && (p & 0xFF) > 120;
    });
    return bright > static_cast<long>(picture.pixels.size()) * 9 / 10;
}

int sectionOf(Time time)
{
    const int order = (time >> 14) & 0x1FFFF;
    int index = 0;
    while (index + 1 < static_cast<int>(kSections.size()) && kSections[static_cast<std::size_t>(index) + 1].order <= order)
        ++index;
    return index;
}

TEST(WholeShow, EverySectionMovesDiffersFromTheLastAndOpensWithItsFlash)
{
    test::ScopedWorkingDir inData{MIRVA_DATA_DIR};
    RenderOptions options;
    options.script = "scripts/deriravedivido.txt";
    options.fps = 10;
    options.width = 64;
    options.height = 48;
    std::vector<Shown> frames;
    {
        OfflineRenderer renderer(options);
        while (!renderer.finished()) {
            renderer.renderFrame();
            if (renderer.player().restarts() == 0)
                frames.push_back({renderer.player().previousTime(), test::frontBuffer(dxDriver().device())});
        }
    }
    ASSERT_GT(frames.size(), 1500u);   // 153.6 s

    std::map<int, std::vector<const Shown*>> bySection;
    for (const Shown& frame : frames)
        bySection[sectionOf(frame.time)].push_back(&frame);
    ASSERT_EQ(bySection.size(), kSections.size());
    for (const auto& [index, shown] : bySection) {
        SCOPED_TRACE(testing::Message() << "section from order " << kSections[static_cast<std::size_t>(index)].order);
        // Moving: somewhere in it a frame and the one a second later are different pictures.
        double moved = 0;
        for (std::size_t k = 0; k + 10 < shown.size(); k += 10)
            moved = std::max(moved, difference(shown[k]->picture, shown[k + 10]->picture));
        EXPECT_GT(moved, 0.05);
        // Not the last section again: its middle frame against the last one's.
        if (index > 0) {
            const auto& before = bySection[index - 1];
            EXPECT_GT(difference(shown[shown.size() / 2]->picture, before[before.size() / 2]->picture), 0.5);
        }
        // The crash flashes the first frames of the section white (the flash lasts two
        // rows), and no frame in its middle.
        const bool flashed = white(shown[0]->picture) || white(shown[1]->picture);
        EXPECT_EQ(flashed, kSections[static_cast<std::size_t>(index)].crash);
        EXPECT_FALSE(white(shown[shown.size() / 2]->picture));
    }
}

}  // namespace
}  // namespace mirva
