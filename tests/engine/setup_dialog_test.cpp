// The setup dialog's behaviour without a window: what its lists show for an adapter's
// modes, which choices start over after a change, the check box, "on" and cancel, and
// the driver's settings afterwards.
#include <gtest/gtest.h>

#include "engine/dx_driver.h"
#include "engine/setup_dialog.h"
#include "platform/d3d8/simulation.h"

namespace mirva::test {
namespace {

class SetupDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // An adapter with a 1024 x 768 desktop and five full-screen modes, two of them
        // 640 x 480 X8R8G8B8.
        D3DSimulation& simulation = d3dSimulation();
        simulation.replaceModes = true;
        simulation.modes = {
            {640, 480, 60, D3DFMT_X8R8G8B8},  {800, 600, 75, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_R5G6B5},
            {640, 480, 85, D3DFMT_X8R8G8B8},  {1024, 768, 60, D3DFMT_X8R8G8B8},
        };
        simulation.desktop = {1024, 768, 60, D3DFMT_X8R8G8B8};
        dxDriver().rememberedSelection() = {};
    }
    void TearDown() override
    {
        restoreScreenMode();
        dxDriver().rememberedSelection() = {};
        DXDriver::setSetupDialog({});
        d3dSimulation() = {};
    }

    static std::vector<std::string> texts(const ScreenChoiceList& list)
    {
        std::vector<std::string> shown;
        for (const auto& entry : list.entries)
            shown.push_back(entry.text);
        return shown;
    }
    static std::vector<int> data(const ScreenChoiceList& list)
    {
        std::vector<int> numbers;
        for (const auto& entry : list.entries)
            numbers.push_back(entry.data);
        return numbers;
    }
    static DXDriver& driver() { return dxDriver(); }
};

TEST_F(SetupDialogTest, ListsWhatTheAdapterOffersWithTheirItemData)
{
    SetupDialog dialog(driver(), false);
    const ScreenChoiceList& adapters = dialog.list(SetupDialog::ADAPTER);
    ASSERT_EQ(adapters.entries.size(), 1u);
    EXPECT_EQ(adapters.entries[0].text, driver().adapters()[0].Description);
    EXPECT_EQ(adapters.selected, 0);

    const ScreenChoiceList& modes = dialog.list(SetupDialog::MODE);
    EXPECT_EQ(texts(modes), (std::vector<std::string>{"window", "640x480 X8R8G8B8 60Hz", "800x600 X8R8G8B8 75Hz",
                                                      "640x480 R5G6B5 60Hz", "640x480 X8R8G8B8 85Hz",
                                                      "1024x768 X8R8G8B8 60Hz"}));
    EXPECT_EQ(data(modes), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(modes.selected, 0);

    const ScreenChoiceList& formats = dialog.list(SetupDialog::BACKBUFFERFORMAT);
    ASSERT_FALSE(formats.entries.empty());
    EXPECT_EQ(formats.entries[0].text, "X8R8G8B8");
    for (std::size_t i = 0; i < formats.entries.size(); ++i)
        EXPECT_EQ(formats.entries[i].data, static_cast<int>(i));  // positions in the list
    EXPECT_EQ(formats.selected, 0);
    EXPECT_EQ(texts(dialog.list(SetupDialog::BACKBUFFERCOUNT)), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(dialog.list(SetupDialog::ZBUFFER).entries[0].text, "D24S8");
    EXPECT_EQ(dialog.list(SetupDialog::MULTISAMPLETYPE).entries[0].text, "none");
    EXPECT_EQ(texts(dialog.list(SetupDialog::VERTEXPROCESSING)), (std::vector<std::string>{"software"}));
    EXPECT_FALSE(dialog.realtimeChecked());

    // The driver is set as shown: a window on the desktop mode.
    EXPECT_TRUE(driver().windowed());
    EXPECT_EQ(driver().displayMode().Width, 1024u);
    EXPECT_EQ(driver().backBufferFormat(), D3DFMT_X8R8G8B8);
    EXPECT_EQ(driver().depthBufferFormat(), D3DFMT_D24S8);
}

TEST_F(SetupDialogTest, PreferringFullScreenOpensOnTheLast640x480X8R8G8B8Mode)
{
    SetupDialog dialog(driver(), true);
    EXPECT_EQ(dialog.list(SetupDialog::MODE).selected, 4);  // the 85 Hz one, listed last
    EXPECT_EQ(dialog.initialSelection().mode, 4);
    EXPECT_EQ(dialog.workingSelection().mode, 4);
    EXPECT_EQ(driver().rememberedSelection().mode, 4);
    EXPECT_FALSE(driver().windowed());
    EXPECT_EQ(driver().displayMode().RefreshRate, 85u);
    EXPECT_EQ(driver().displayMode().Width, 640u);
}

TEST_F(SetupDialogTest, PreferringFullScreenWithoutSuchAModeStaysInAWindow)
{
    d3dSimulation().modes = {{800, 600, 60, D3DFMT_X8R8G8B8}, {640, 480, 60, D3DFMT_R5G6B5}};
    SetupDialog dialog(driver(), true);
    EXPECT_EQ(dialog.list(SetupDialog::MODE).selected, 0);
    EXPECT_EQ(driver().rememberedSelection().mode, 0);
    EXPECT_TRUE(driver().windowed());
}

TEST_F(SetupDialogTest, ADesktopWithoutWindowedBackBuffersOffersNoWindow)
{
    d3dSimulation().noWindowedBackBuffers = true;
    SetupDialog dialog(driver(), false);
    const ScreenChoiceList& modes = dialog.list(SetupDialog::MODE);
    ASSERT_EQ(modes.entries.size(), 5u);
    EXPECT_EQ(modes.entries[0].text, "640x480 X8R8G8B8 60Hz");
    EXPECT_EQ(modes.entries[0].data, 1);
    // Mode 0 is not there: nothing is selected and the driver keeps the desktop mode in
    // full screen.
    EXPECT_EQ(modes.selected, -1);
    EXPECT_FALSE(driver().windowed());
    EXPECT_EQ(driver().displayMode().Width, 1024u);
    EXPECT_EQ(dialog.list(SetupDialog::BACKBUFFERFORMAT).entries[0].text, "X8R8G8B8");
}

TEST_F(SetupDialogTest, ChangingTheModeStartsFormatsDepthAndMultisamplingOver)
{
    SetupDialog dialog(driver(), false);
    const int formats = static_cast<int>(dialog.list(SetupDialog::BACKBUFFERFORMAT).entries.size());
    ASSERT_GE(formats, 2);
    dialog.select(SetupDialog::BACKBUFFERFORMAT, 1);
    dialog.select(SetupDialog::BACKBUFFERCOUNT, 1);
    dialog.toggleRealtime();
    EXPECT_EQ(dialog.workingSelection().backBufferFormat, 1);
    EXPECT_EQ(dialog.list(SetupDialog::BACKBUFFERFORMAT).selected, 1);
    EXPECT_EQ(driver().backBufferFormat(), D3DFMT_A8R8G8B8);
    EXPECT_EQ(driver().backBufferCount(), 2);

    dialog.select(SetupDialog::MODE, 2);  // 800x600
    const ScreenSelection& s = dialog.workingSelection();
    EXPECT_EQ(s.mode, 2);
    EXPECT_EQ(s.backBufferFormat, 0);
    EXPECT_EQ(s.depthFormat, 0);
    EXPECT_EQ(s.multisample, 0);
    EXPECT_EQ(s.backBufferCount, 1);  // kept
    EXPECT_EQ(s.realtimePriority, 1);
    EXPECT_EQ(dialog.list(SetupDialog::BACKBUFFERFORMAT).selected, 0);
    EXPECT_FALSE(driver().windowed());
    EXPECT_EQ(driver().displayMode().Width, 800u);
    EXPECT_EQ(driver().displayMode().RefreshRate, 75u);
    EXPECT_EQ(driver().backBufferFormat(), D3DFMT_X8R8G8B8);
    EXPECT_EQ(driver().backBufferCount(), 2);
}

TEST_F(SetupDialogTest, ChangingTheBackBufferFormatStartsDepthAndMultisamplingOver)
{
    ScreenSelection start;
    start.mode = 1;
    start.depthFormat = 1;
    start.multisample = 1;
    driver().rememberedSelection() = start;
    SetupDialog dialog(driver(), false);
    dialog.select(SetupDialog::BACKBUFFERFORMAT, 1);
    EXPECT_EQ(dialog.workingSelection().mode, 1);
    EXPECT_EQ(dialog.workingSelection().backBufferFormat, 1);
    EXPECT_EQ(dialog.workingSelection().depthFormat, 0);
    EXPECT_EQ(dialog.workingSelection().multisample, 0);
    EXPECT_EQ(driver().depthBufferFormat(), D3DFMT_D24S8);
}

TEST_F(SetupDialogTest, ANewAdapterStartsEveryChoiceOverAndAnEmptySelectionDoesNothing)
{
    ScreenSelection start;
    start.adapter = 1;  // no longer there: no adapter entry is selected
    start.mode = 2;
    start.backBufferCount = 1;
    start.realtimePriority = 1;
    driver().rememberedSelection() = start;
    SetupDialog dialog(driver(), false);
    EXPECT_EQ(dialog.list(SetupDialog::ADAPTER).selected, -1);
    dialog.select(SetupDialog::ADAPTER, -1);
    EXPECT_EQ(dialog.workingSelection(), start);
    dialog.select(SetupDialog::ADAPTER, 0);
    EXPECT_EQ(dialog.workingSelection(), ScreenSelection{});
    EXPECT_FALSE(dialog.realtimeChecked());
    EXPECT_EQ(dialog.list(SetupDialog::ADAPTER).selected, 0);
    EXPECT_TRUE(driver().windowed());
    // The same adapter again changes nothing.
    dialog.select(SetupDialog::BACKBUFFERCOUNT, 1);
    dialog.select(SetupDialog::ADAPTER, 0);
    EXPECT_EQ(dialog.workingSelection().backBufferCount, 1);
}

TEST_F(SetupDialogTest, OkWithoutChangesKeepsTheRememberedSelectionAndTheSettingsShown)
{
    ScreenSelection start;
    start.mode = 5;
    start.backBufferCount = 1;
    driver().rememberedSelection() = start;
    SetupDialog dialog(driver(), false);
    dialog.select(SetupDialog::BACKBUFFERCOUNT, 0);
    dialog.select(SetupDialog::BACKBUFFERCOUNT, 1);  // back where it was
    dialog.accept();
    EXPECT_EQ(dialog.result(), SetupDialog::ACCEPTED);
    EXPECT_EQ(driver().rememberedSelection(), start);
    EXPECT_FALSE(driver().windowed());
    EXPECT_EQ(driver().displayMode().Width, 1024u);
    EXPECT_EQ(driver().backBufferCount(), 2);
}

TEST_F(SetupDialogTest, OkWithChangesRemembersThemForTheNextRun)
{
    DXDriver::setSetupDialog([](DXDriver& d, bool preferFullScreen) {
        SetupDialog dialog(d, preferFullScreen);
        dialog.select(SetupDialog::MODE, 3);  // 640x480 R5G6B5
        dialog.toggleRealtime();
        dialog.accept();
        return dialog.result() == SetupDialog::ACCEPTED;
    });
    bool realtime = false;
    ASSERT_TRUE(selectScreenMode(realtime, false));
    EXPECT_TRUE(realtime);
    EXPECT_EQ(driver().rememberedSelection().mode, 3);
    EXPECT_EQ(driver().rememberedSelection().realtimePriority, 1);
    EXPECT_EQ(driver().displayMode().Format, D3DFMT_R5G6B5);
    EXPECT_EQ(screenWidth(), 640);

    // The next run opens where this one ended.
    DXDriver::setSetupDialog([](DXDriver& d, bool preferFullScreen) {
        SetupDialog dialog(d, preferFullScreen);
        EXPECT_EQ(dialog.list(SetupDialog::MODE).selected, 3);
        EXPECT_TRUE(dialog.realtimeChecked());
        dialog.toggleRealtime();
        dialog.accept();
        return true;
    });
    ASSERT_TRUE(selectScreenMode(realtime, false));
    EXPECT_FALSE(realtime);
}

TEST_F(SetupDialogTest, CancelLeavesTheRememberedSelectionAndEndsSelection)
{
    DXDriver::setSetupDialog([](DXDriver& d, bool preferFullScreen) {
        SetupDialog dialog(d, preferFullScreen);
        dialog.select(SetupDialog::MODE, 2);
        dialog.toggleRealtime();
        dialog.cancel();
        EXPECT_EQ(dialog.result(), SetupDialog::CANCELLED);
        return dialog.result() == SetupDialog::ACCEPTED;
    });
    bool realtime = false;
    EXPECT_FALSE(selectScreenMode(realtime, false));
    EXPECT_EQ(driver().rememberedSelection(), ScreenSelection{});
}

}  // namespace
}  // namespace mirva::test
