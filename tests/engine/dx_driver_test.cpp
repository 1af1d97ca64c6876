// The display driver and its setup dialog: the first candidates and the dialog's lists,
// which choices start over after a change, "on" and cancel, device creation, present and
// the lost-device path, and the fatal messages.
#include <gtest/gtest.h>

#include "engine/dx_driver.h"
#include "engine/setup_dialog.h"
#include "engine/video_memory_resource.h"
#include "io/surface.h"
#include "platform/d3d8/simulation.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/console_output.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

using Driver = EngineTest;

TEST(DirectXError, ComposesLabelAndResultTextVerbatim)
{
    // The composed text is never used as a format.
    EXPECT_FATAL(DXDriver::directXError("100% %s - ", E_FAIL), "DirectX error - 100% %s -  E_FAIL");
    EXPECT_FATAL(DXDriver::fatalError("RenderTarget: %d", 5), "RenderTarget: 5");
}

// A second driver shares the runtime and leaves the first working; selecting takes the
// realtime flag from the selection and gives the device back.
TEST_F(Driver, ASecondInstanceSharesTheRuntimeAndLeavesTheFirstWorking)
{
    DXDriver& first = dxDriver();
    IDirect3D8* runtime = first.direct3d();
    {
        DXDriver second;
        EXPECT_EQ(second.direct3d(), runtime);
        EXPECT_FATAL(second.flip(), "DXDriver::flip - screen mode must be set before flip");
    }
    EXPECT_EQ(std::pair(first.direct3d(), first.adapters().size()), std::pair(runtime, std::size_t{1}));
    bool realtime = true;
    EXPECT_TRUE(first.selectScreenMode(realtime, false));
    EXPECT_EQ(std::pair(realtime, first.device() == nullptr), std::pair(false, true));
}

// A window's back buffer has the window's client size and is cleared to black by setting
// the mode; a choice that no longer exists selects nothing and the first candidate is used.
TEST_F(Driver, TheFirstCandidatesStandInForTheDefaultAndForChoicesNoLongerThere)
{
    // The settings but for the desktop's mode, which a screen (if there is one) decides.
    const auto buffersOf = [](const std::string& s) { return s.substr(0, s.find(' ')) + s.substr(s.find(',')); };
    device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    flip();
    ASSERT_TRUE(setScreenMode(&window_));
    const Picture picture = frontBuffer(device());
    EXPECT_EQ(std::pair(screenWidth(), picture.height), std::pair(64, 48));
    EXPECT_COLOR(picture.at(5, 5), 0xFF000000u);
    const ScreenSelection selection{.backBufferCount = 1, .depthFormat = 99};
    const ScreenChoices choices = dxDriver().screenChoices(selection, false);
    dxDriver().applySelection(selection);
    EXPECT_EQ(std::pair(choices.depthFormat.selected, choices.backBufferCount.selected), std::pair(-1, 1));
    const std::string settings = driverSettings();
    EXPECT_EQ(buffersOf(settings), "window, X8R8G8B8 D24S8 x2");
    dxDriver().screenChoices({.mode = 1}, true);  // asking for another selection's lists changes nothing
    EXPECT_EQ(driverSettings(), settings);
}

// Records the order of the calls that a lost device causes, and the device's state then.
struct Witness : VideoMemoryResource {
    explicit Witness(std::vector<std::string>& calls) : log(calls) {}
    void releaseVideoMemory() override { log.push_back("release " + state()); }
    void restoreVideoMemory() override { log.push_back("restore " + state()); }
    static std::string state()
    {
        return dxDriver().device()->TestCooperativeLevel() == D3D_OK ? "while working" : "while lost";
    }
    std::vector<std::string>& log;
};

// A lost device releases, resets and restores in that order; a default-pool buffer that
// nobody releases keeps it from being reset.
TEST_F(Driver, ALostDeviceIsResetInOrderAndALivingDeviceSetsTheLimits)
{
    std::vector<std::string> log;
    Witness first(log), second(log);
    device()->simulateDeviceLoss();
    flip();
    EXPECT_EQ(log, (std::vector<std::string>{"release while lost", "release while lost", "restore while working",
                                             "restore while working"}));
    IDirect3DVertexBuffer8* stray = nullptr;
    device()->CreateVertexBuffer(40, 0, 0, D3DPOOL_DEFAULT, &stray);
    device()->simulateDeviceLoss();
    EXPECT_FATAL(flip(), "DirectX error - Device->Reset -  D3DERR_INVALIDCALL");
    stray->Release();
    // The largest texture and image are the device's while it lives; giving the device
    // back reports the references left over.
    d3dSimulation().largestTexture = 128;
    openScreen(64, 48);  // capabilities are read when the device is made
    EXPECT_EQ(std::pair(dxDriver().largestTextureHeight(), Surface::largestImageWidth()), std::pair(128, 128));
    IDirect3DDevice8* kept = device();
    kept->AddRef();
    EXPECT_EQ(consoleOutput([] { restoreScreenMode(); }),
              "DXDriver::restoreScreenMode - device reference count = 1\n");
    EXPECT_EQ(dxDriver().device(), nullptr);
    EXPECT_EQ(kept->Release(), 0u);
    EXPECT_EQ(std::tuple(dxDriver().largestTextureWidth(), Surface::largestImageWidth(), Surface::largestImageHeight()),
              std::tuple(16384, 16384, 16384));
}

// ---------------------------------------------------------------------------- the setup dialog

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // An adapter with a 1024 x 768 desktop and five full-screen modes, two of them
        // 640 x 480 X8R8G8B8.
        d3dSimulation() = {.replaceModes = true,
                           .modes = {{640, 480, 60, D3DFMT_X8R8G8B8}, {800, 600, 75, D3DFMT_X8R8G8B8},
                                     {640, 480, 60, D3DFMT_R5G6B5}, {640, 480, 85, D3DFMT_X8R8G8B8},
                                     {1024, 768, 60, D3DFMT_X8R8G8B8}},
                           .desktop = {1024, 768, 60, D3DFMT_X8R8G8B8}};
        dxDriver().rememberedSelection() = {};
    }
    void TearDown() override
    {
        restoreScreenMode();
        dxDriver().rememberedSelection() = {};
        DXDriver::setSetupDialog({});
        d3dSimulation() = {};
    }
    // The entries as "text=item data", joined by "|".
    static std::string shown(const ScreenChoiceList& list)
    {
        std::string entries;
        for (const auto& entry : list.entries)
            entries += (entries.empty() ? "" : "|") + entry.text + "=" + std::to_string(entry.data);
        return entries;
    }
};

TEST_F(SetupDialogTest, ListsWhatTheAdapterOffersWithTheirItemData)
{
    SetupDialog dialog(dxDriver(), false);
    EXPECT_EQ(shown(dialog.list(SetupDialog::ADAPTER)), std::string(dxDriver().adapters()[0].Description) + "=0");
    EXPECT_EQ(shown(dialog.list(SetupDialog::MODE)), "window=0|640x480 X8R8G8B8 60Hz=1|800x600 X8R8G8B8 75Hz=2|"
                                                     "640x480 R5G6B5 60Hz=3|640x480 X8R8G8B8 85Hz=4|"
                                                     "1024x768 X8R8G8B8 60Hz=5");
    EXPECT_EQ(shown(dialog.list(SetupDialog::BACKBUFFERFORMAT)).substr(0, 11), "X8R8G8B8=0|");
    EXPECT_EQ(shown(dialog.list(SetupDialog::BACKBUFFERCOUNT)), "1=0|2=1");
    EXPECT_EQ(driverSettings(), "window 1024x768 X8R8G8B8 60Hz, X8R8G8B8 D24S8 x1");  // as shown
    // A desktop without windowed back buffers offers no window (mode 0): nothing is selected
    // and the driver keeps the desktop mode in full screen.
    d3dSimulation().noWindowedBackBuffers = true;
    SetupDialog noWindow(dxDriver(), false);
    EXPECT_EQ(shown(noWindow.list(SetupDialog::MODE)).substr(0, 25), "640x480 X8R8G8B8 60Hz=1|8");
    EXPECT_EQ(noWindow.list(SetupDialog::MODE).selected, -1);
    EXPECT_EQ(driverSettings(), "full 1024x768 X8R8G8B8 60Hz, X8R8G8B8 D24S8 x1");
}

// Preferring full screen opens on the last 640 x 480 X8R8G8B8 mode and remembers it; without
// such a mode the dialog stays in a window.
TEST_F(SetupDialogTest, PreferringFullScreenOpensOnThe640x480X8R8G8B8Mode)
{
    {
        SetupDialog dialog(dxDriver(), true);
        // The 85 Hz one, listed last.
        EXPECT_EQ(std::tuple(dialog.list(SetupDialog::MODE).selected, dialog.initialSelection().mode,
                             dxDriver().rememberedSelection().mode),
                  std::tuple(4, 4, 4));
        EXPECT_EQ(driverSettings(), "full 640x480 X8R8G8B8 85Hz, X8R8G8B8 D24S8 x1");
    }
    // Selecting without a dialog does the same; the screen then has the mode's size,
    // whatever the window's.
    dxDriver().rememberedSelection() = {};
    bool realtime = false;
    ASSERT_TRUE(selectScreenMode(realtime, true));
    HeadlessWindow window(64, 48);
    ASSERT_TRUE(setScreenMode(&window));
    EXPECT_EQ(std::pair(screenWidth(), screenHeight()), std::pair(640, 480));
    restoreScreenMode();
    d3dSimulation().modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_R5G6B5}};
    dxDriver().rememberedSelection() = {};
    SetupDialog dialog(dxDriver(), true);
    EXPECT_EQ(std::tuple(dialog.list(SetupDialog::MODE).selected, dxDriver().rememberedSelection().mode,
                         dxDriver().windowed()),
              std::tuple(0, 0, true));
}

// A new adapter starts every choice over, an empty selection does nothing. A new mode
// starts formats, depth and multisampling over; a new back-buffer format starts depth and
// multisampling over.
TEST_F(SetupDialogTest, ANewChoiceStartsTheChoicesBelowItOver)
{
    // Adapter 1 is no longer there: no adapter entry is selected.
    const ScreenSelection start{.adapter = 1, .mode = 2, .backBufferCount = 1, .realtimePriority = 1};
    dxDriver().rememberedSelection() = start;
    SetupDialog adapters(dxDriver(), false);
    EXPECT_EQ(std::pair(adapters.list(SetupDialog::ADAPTER).selected, adapters.realtimeChecked()), std::pair(-1, true));
    adapters.select(SetupDialog::ADAPTER, -1);
    EXPECT_EQ(adapters.workingSelection(), start);
    adapters.select(SetupDialog::ADAPTER, 0);
    EXPECT_EQ(adapters.workingSelection(), ScreenSelection{});
    EXPECT_EQ(std::tuple(adapters.list(SetupDialog::ADAPTER).selected, adapters.realtimeChecked(),
                         dxDriver().windowed()),
              std::tuple(0, false, true));
    adapters.select(SetupDialog::BACKBUFFERCOUNT, 1);
    adapters.select(SetupDialog::ADAPTER, 0);  // the same adapter again changes nothing
    EXPECT_EQ(adapters.workingSelection().backBufferCount, 1);

    dxDriver().rememberedSelection() = {.depthFormat = 1, .multisample = 1};
    SetupDialog dialog(dxDriver(), false);
    dialog.select(SetupDialog::BACKBUFFERFORMAT, 1);
    dialog.select(SetupDialog::BACKBUFFERCOUNT, 1);
    dialog.toggleRealtime();
    EXPECT_EQ(dialog.workingSelection(), (ScreenSelection{.backBufferFormat = 1, .backBufferCount = 1,
                                                          .realtimePriority = 1}));
    EXPECT_EQ(dialog.list(SetupDialog::BACKBUFFERFORMAT).selected, 1);
    EXPECT_EQ(driverSettings(), "window 1024x768 X8R8G8B8 60Hz, A8R8G8B8 D24S8 x2");
    dialog.select(SetupDialog::MODE, 2);  // 800x600: the back-buffer count and check box are kept
    EXPECT_EQ(dialog.workingSelection(), (ScreenSelection{.mode = 2, .backBufferCount = 1, .realtimePriority = 1}));
    EXPECT_EQ(dialog.list(SetupDialog::BACKBUFFERFORMAT).selected, 0);
    EXPECT_EQ(driverSettings(), "full 800x600 X8R8G8B8 75Hz, X8R8G8B8 D24S8 x2");
}

// The dialog, run by selectScreenMode, picks 640x480 R5G6B5 and ticks the check box, then
// cancels or accepts: cancelling ends the selection and forgets, "on" remembers.
TEST_F(SetupDialogTest, OkRemembersChangesAndCancelForgetsThem)
{
    for (const bool accept : {false, true}) {
        DXDriver::setSetupDialog([accept](DXDriver& d, bool preferFullScreen) {
            SetupDialog dialog(d, preferFullScreen);
            dialog.select(SetupDialog::MODE, 3);
            dialog.toggleRealtime();
            accept ? dialog.accept() : dialog.cancel();
            EXPECT_EQ(dialog.result(), accept ? SetupDialog::ACCEPTED : SetupDialog::CANCELLED);
            return dialog.result() == SetupDialog::ACCEPTED;
        });
        bool realtime = false;
        EXPECT_EQ((std::pair{selectScreenMode(realtime, false), realtime}), std::pair(accept, accept));
        EXPECT_EQ(dxDriver().rememberedSelection(), (accept ? ScreenSelection{.mode = 3, .realtimePriority = 1}
                                                          : ScreenSelection{}));
    }
    EXPECT_EQ(driverSettings().substr(0, 24), "full 640x480 R5G6B5 60Hz");
    EXPECT_EQ(screenWidth(), 640);
}

}  // namespace
}  // namespace mirva::test
