// The display driver: candidate lists, the dialog's choices driven by code, device
// creation, present and the lost-device path, and its fatal messages.
#include <algorithm>

#include <gtest/gtest.h>

#include "engine/dx_driver.h"
#include "engine/video_memory_resource.h"
#include "io/surface.h"
#include "platform/d3d8/simulation.h"
#include "tests/engine/engine_fixture.h"
#include "tests/support/fatal.h"

namespace mirva::test {
namespace {

using Driver = EngineTest;

TEST(FormatName, NamesEveryKnownCode)
{
    EXPECT_EQ(DXDriver::formatName(0), "unknown");
    EXPECT_EQ(DXDriver::formatName(20), "R8G8B8");
    EXPECT_EQ(DXDriver::formatName(22), "X8R8G8B8");
    EXPECT_EQ(DXDriver::formatName(41), "P8");
    EXPECT_EQ(DXDriver::formatName(65), "W11V11U10");
    EXPECT_EQ(DXDriver::formatName(70), "D16_LOCKABLE");
    EXPECT_EQ(DXDriver::formatName(79), "D24X4S4");
    EXPECT_EQ(DXDriver::formatName(102), "INDEX32");
    EXPECT_EQ(DXDriver::formatName(0x31545844), "DXT1");  // 'D' 'X' 'T' '1', first letter lowest
    EXPECT_EQ(DXDriver::formatName(0x59565955), "UYVY");
    EXPECT_EQ(DXDriver::formatName(72), "format not found");
    EXPECT_EQ(DXDriver::formatName(0x36545844), "format not found");  // "DXT6"
}

TEST(DirectXError, ComposesLabelAndResultTextVerbatim)
{
    EXPECT_FATAL(DXDriver::directXError("Camera: Clear ", D3DERR_INVALIDCALL),
                 "DirectX error - Camera: Clear  D3DERR_INVALIDCALL");
    EXPECT_FATAL(DXDriver::directXError("D3DXCreateTexture - ", D3DERR_OUTOFVIDEOMEMORY),
                 "DirectX error - D3DXCreateTexture -  D3DERR_OUTOFVIDEOMEMORY");
    // The composed text is never used as a format.
    EXPECT_FATAL(DXDriver::directXError("100% %s - ", E_FAIL), "DirectX error - 100% %s -  E_FAIL");
    EXPECT_FATAL(DXDriver::fatalError("RenderTarget: %d", 5), "RenderTarget: 5");
}

TEST(DriverInstances, ASecondInstanceSharesTheRuntimeAndLeavesTheFirstWorking)
{
    DXDriver& first = dxDriver();
    IDirect3D8* runtime = first.direct3d();
    {
        DXDriver second;
        EXPECT_EQ(second.direct3d(), runtime);
        EXPECT_FATAL(second.flip(), "DXDriver::flip - screen mode must be set before flip");
    }
    EXPECT_EQ(first.direct3d(), runtime);
    EXPECT_EQ(first.adapters().size(), 1u);
    bool realtime = true;
    EXPECT_TRUE(first.selectScreenMode(realtime, false));
    EXPECT_FALSE(realtime);
}

TEST_F(Driver, DefaultSelectionIsAWindowWithTheFirstCandidates)
{
    const DXDriver& driver = dxDriver();
    EXPECT_TRUE(driver.windowed());
    EXPECT_EQ(driver.backBufferFormat(), D3DFMT_X8R8G8B8);
    EXPECT_EQ(driver.depthBufferFormat(), D3DFMT_D24S8);
    EXPECT_EQ(driver.multisampleType(), D3DMULTISAMPLE_NONE);
    EXPECT_EQ(driver.backBufferCount(), 1);
    EXPECT_EQ(driver.colorDepthBits(), 32);
    EXPECT_EQ(driver.colorDepthBytes(), 4);
    // Windowed: the back buffer has the window's client size, not the desktop's.
    EXPECT_EQ(driver.screenWidth(), 64);
    EXPECT_EQ(driver.screenHeight(), 48);
    IDirect3DSurface8* back = nullptr;
    device()->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back);
    D3DSURFACE_DESC desc;
    back->GetDesc(&desc);
    back->Release();
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.Height, 48u);
    // The identity ramp holds i * 256.
    EXPECT_EQ(driver.gammaRamp().red[0], 0);
    EXPECT_EQ(driver.gammaRamp().green[1], 256);
    EXPECT_EQ(driver.gammaRamp().blue[255], 65280);
}

TEST_F(Driver, CapabilityListsFollowTheCandidateOrder)
{
    const DXDriver& driver = dxDriver();
    const auto& textures = driver.textureFormats();
    ASSERT_GE(textures.size(), 3u);
    EXPECT_EQ(textures[0], D3DFMT_A8R8G8B8);
    EXPECT_EQ(textures[1], D3DFMT_X8R8G8B8);
    EXPECT_NE(std::find(textures.begin(), textures.end(), D3DFMT_A4R4G4B4), textures.end());
    EXPECT_EQ(std::find(textures.begin(), textures.end(), D3DFMT_DXT1), textures.end());
    EXPECT_TRUE(driver.cubeTextureFormats().empty());
    EXPECT_TRUE(driver.volumeTextureFormats().empty());
    ASSERT_FALSE(driver.renderTargetFormats().empty());
    EXPECT_EQ(driver.renderTargetFormats()[0], D3DFMT_X8R8G8B8);
    // Pairs: render-target formats in their order, each with the depth formats in theirs.
    const auto& pairs = driver.renderTargetDepthFormats();
    ASSERT_FALSE(pairs.empty());
    EXPECT_EQ(pairs[0], std::make_pair(D3DFMT_X8R8G8B8, D3DFMT_D24S8));
    for (std::size_t i = 1; i < pairs.size(); ++i) {
        if (pairs[i].first == pairs[i - 1].first) {
            EXPECT_NE(pairs[i].second, pairs[i - 1].second);
        }
    }
}

TEST_F(Driver, ChoicesListWhatTheAdapterOffers)
{
    if (displayAvailable())
        GTEST_SKIP() << "the modes of this screen are not the headless list";
    DXDriver& driver = dxDriver();
    const ScreenChoices choices = driver.screenChoices({}, false);
    ASSERT_EQ(choices.adapter.entries.size(), 1u);
    EXPECT_EQ(choices.adapter.selected, 0);
    EXPECT_EQ(choices.adapter.entries[0].text, driver.adapters()[0].Description);
    ASSERT_GE(choices.mode.entries.size(), 2u);
    EXPECT_EQ(choices.mode.entries[0].text, "window");
    EXPECT_EQ(choices.mode.entries[0].data, 0);
    EXPECT_EQ(choices.mode.entries[1].text, "640x480 R5G6B5 60Hz");
    EXPECT_EQ(choices.mode.entries[1].data, 1);
    EXPECT_EQ(choices.backBufferFormat.entries[0].text, "X8R8G8B8");
    EXPECT_EQ(choices.backBufferCount.entries.size(), 2u);
    EXPECT_EQ(choices.backBufferCount.entries[1].text, "2");
    EXPECT_EQ(choices.depthFormat.entries[0].text, "D24S8");
    EXPECT_EQ(choices.multisample.entries[0].text, "none");
    if (choices.multisample.entries.size() > 1) {
        EXPECT_EQ(choices.multisample.entries[1].text, "2 samples");
    }
    ASSERT_EQ(choices.vertexProcessing.entries.size(), 1u);
    EXPECT_EQ(choices.vertexProcessing.entries[0].text, "software");
    EXPECT_EQ(choices.preferredMode, -1);  // only looked for with the prefer-full-screen flag
}

TEST_F(Driver, AChoiceThatNoLongerExistsSelectsNothingAndTheFirstCandidateIsUsed)
{
    ScreenSelection selection;
    selection.depthFormat = 99;
    selection.backBufferCount = 1;
    const ScreenChoices choices = dxDriver().screenChoices(selection, false);
    dxDriver().applySelection(selection);
    EXPECT_EQ(choices.depthFormat.selected, -1);
    EXPECT_EQ(dxDriver().depthBufferFormat(), D3DFMT_D24S8);
    EXPECT_EQ(choices.backBufferCount.selected, 1);
    EXPECT_EQ(dxDriver().backBufferCount(), 2);
    // Asking for another selection's lists changes none of the settings.
    const ScreenSettings before = dxDriver().settings();
    dxDriver().screenChoices({.mode = 1}, true);
    EXPECT_EQ(dxDriver().backBufferCount(), 2);
    EXPECT_TRUE(dxDriver().windowed());
    EXPECT_EQ(dxDriver().displayMode().Width, before.displayMode.Width);
}

TEST_F(Driver, PreferringFullScreenPicksThe640x480X8R8G8B8ModeWithItsSize)
{
    if (displayAvailable())
        GTEST_SKIP() << "the modes of this screen are not the headless list";
    restoreScreenMode();
    bool realtime = false;
    ASSERT_TRUE(selectScreenMode(realtime, true));
    DXDriver& driver = dxDriver();
    EXPECT_FALSE(driver.windowed());
    EXPECT_EQ(driver.rememberedSelection().mode, 7);  // R5G6B5 modes 1-6, then 640x480 X8R8G8B8
    EXPECT_EQ(driver.displayMode().Width, 640u);
    EXPECT_EQ(driver.displayMode().Format, D3DFMT_X8R8G8B8);
    // Full screen: the mode's size, whatever the window's.
    ASSERT_TRUE(setScreenMode(&window_));
    EXPECT_EQ(driver.screenWidth(), 640);
    EXPECT_EQ(driver.screenHeight(), 480);
}

TEST_F(Driver, RealtimeFlagComesFromTheSelection)
{
    ScreenSelection selection;
    selection.realtimePriority = 1;
    dxDriver().rememberedSelection() = selection;
    bool realtime = false;
    ASSERT_TRUE(selectScreenMode(realtime, false));
    EXPECT_TRUE(realtime);
    EXPECT_EQ(dxDriver().device(), nullptr);  // selecting gives the device back
}

TEST_F(Driver, ACancelledDialogReturnsFalse)
{
    DXDriver::setSetupDialog([](DXDriver&, bool) { return false; });
    bool realtime = false;
    const bool accepted = selectScreenMode(realtime, false);
    DXDriver::setSetupDialog({});
    EXPECT_FALSE(accepted);
}

TEST_F(Driver, FlipPresentsTheFrame)
{
    device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
    EXPECT_COLOR(flipAndRead().at(10, 10), 0xFF204060u);
}

TEST_F(Driver, SettingTheScreenModeClearsTheBackBuffersToBlack)
{
    device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0);
    flip();
    ASSERT_TRUE(setScreenMode(&window_));
    EXPECT_COLOR(frontBuffer(device()).at(5, 5), 0xFF000000u);
}

// Records the order of the calls that a lost device causes.
class Witness : public VideoMemoryResource {
public:
    explicit Witness(std::vector<std::string>& log) : log_(log) {}
    void releaseVideoMemory() override
    {
        log_.push_back(dxDriver().device()->TestCooperativeLevel() == D3DERR_DEVICENOTRESET ? "release while lost"
                                                                                            : "release");
        if (buffer_) {
            buffer_->Release();
            buffer_ = nullptr;
        }
    }
    void restoreVideoMemory() override
    {
        log_.push_back(dxDriver().device()->TestCooperativeLevel() == D3D_OK ? "restore after reset" : "restore");
        dxDriver().device()->CreateVertexBuffer(40, 0, 0, D3DPOOL_DEFAULT, &buffer_);
    }
    IDirect3DVertexBuffer8* buffer_ = nullptr;
    std::vector<std::string>& log_;
};

TEST_F(Driver, LostDeviceReleasesResetsAndRestoresInThatOrder)
{
    std::vector<std::string> log;
    Witness first(log), second(log);
    first.restoreVideoMemory();
    second.restoreVideoMemory();
    log.clear();
    device()->simulateDeviceLoss();
    flip();
    EXPECT_EQ(log, (std::vector<std::string>{"release while lost", "release while lost", "restore after reset",
                                             "restore after reset"}));
    EXPECT_NE(first.buffer_, nullptr);
    first.releaseVideoMemory();
    second.releaseVideoMemory();
}

TEST_F(Driver, AResetThatFailsEndsTheProgram)
{
    // A default-pool buffer that nobody releases keeps the device from being reset.
    IDirect3DVertexBuffer8* stray = nullptr;
    device()->CreateVertexBuffer(40, 0, 0, D3DPOOL_DEFAULT, &stray);
    device()->simulateDeviceLoss();
    EXPECT_FATAL(flip(), "DirectX error - Device->Reset -  D3DERR_INVALIDCALL");
    stray->Release();
}

TEST_F(Driver, TheLargestTextureAndImageAreTheDevicesWhileItLives)
{
    d3dSimulation().largestTexture = 128;
    openScreen(64, 48);  // capabilities are read when the device is made
    EXPECT_EQ(dxDriver().largestTextureWidth(), 128);
    EXPECT_EQ(dxDriver().largestTextureHeight(), 128);
    EXPECT_EQ(Surface::largestImageWidth(), 128);
    EXPECT_EQ(Surface::largestImageHeight(), 128);
    restoreScreenMode();
    EXPECT_EQ(dxDriver().largestTextureWidth(), 16384);
    EXPECT_EQ(Surface::largestImageWidth(), 16384);
    EXPECT_EQ(Surface::largestImageHeight(), 16384);
}

TEST_F(Driver, ReleasingTheDeviceReportsReferencesLeftOver)
{
    IDirect3DDevice8* kept = device();
    kept->AddRef();
    EXPECT_EQ(restoreScreenModeLog(), "DXDriver::restoreScreenMode - device reference count = 1\n");
    EXPECT_EQ(dxDriver().device(), nullptr);
    EXPECT_EQ(kept->Release(), 0u);
}

}  // namespace
}  // namespace mirva::test
