// The show's window without a window: which resizes rebuild, how keys become
// virtual-key codes, the options of its command line, and what the program says where no
// display can be had.
#include <SDL2/SDL_keycode.h>

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/key_map.h"
#include "app/show_window.h"
#include "tests/support/files.h"
#include "tests/support/run.h"

namespace mirva::test {
namespace {

TEST(ResizeWatch, OnlyAChangedSizeAbove16PixelsRebuilds)
{
    ResizeWatch watch(640, 480);
    EXPECT_FALSE(watch.rebuildFor(640, 480));  // unchanged
    EXPECT_TRUE(watch.rebuildFor(320, 240));
    EXPECT_FALSE(watch.rebuildFor(16, 240));  // too narrow, but remembered
    EXPECT_TRUE(watch.rebuildFor(17, 240));
    EXPECT_FALSE(watch.rebuildFor(17, 16));
    EXPECT_FALSE(watch.rebuildFor(0, 0));  // minimised
    EXPECT_TRUE(watch.rebuildFor(17, 17));
}

// The edges of the ranges the codes are counted in; the program's own keys are typed at
// the show's window in its end-to-end tests.
TEST(KeyMap, KeysGetTheirVirtualKeyCodes)
{
    const std::pair<SDL_Keycode, int> keys[] = {{SDLK_a, 'A'},     {SDLK_z, 'Z'},       {SDLK_0, '0'},
                                                {SDLK_9, '9'},     {SDLK_F12, 0x7B},    {SDLK_KP_0, 0x60},
                                                {SDLK_KP_9, 0x69}, {SDLK_RSHIFT, 0x10}, {SDLK_MENU, 0}};
    for (const auto& [sdl, code] : keys)
        EXPECT_EQ(virtualKeyCode(sdl), code) << "SDL key " << sdl;
}

TEST(CommandLine, OptionsAreFoundAnywhereEvenInsideAnotherWordAndCaseCounts)
{
    EXPECT_TRUE(CommandLine({"-console", "-fullscreen"}).has("-fullscreen"));
    EXPECT_TRUE(CommandLine({"x-usedfilesy"}).has("-usedfiles"));
    EXPECT_FALSE(CommandLine({"-Console"}).has("-console"));
    EXPECT_FALSE(CommandLine({}).has("-console"));
}

TEST(ShowWithoutDisplay, SaysSoInOneLinePointsToRenderAndEndsWith255)
{
    TempDir dir;
    const RunResult result =
        runProgram({"env", "SDL_VIDEODRIVER=offscreen", std::getenv("MIRVA_BINARY"), "-usedfiles"}, dir.path().string());
    EXPECT_EQ(result.exitCode, 255);
    EXPECT_EQ(result.err,
              "mirva: no display: SDL video driver 'offscreen' shows nothing - the show needs a window; "
              "`mirva render SCRIPT --out DIR` renders a script to PNG files without one\n");
    EXPECT_EQ(result.out, "");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "usedfiles.txt"));
}

}  // namespace
}  // namespace mirva::test
