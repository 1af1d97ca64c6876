#include "tests/engine/engine_fixture.h"

#include "engine/camera.h"
#include "engine/texture.h"
#include "platform/d3d8/simulation.h"

namespace mirva::test {

std::string driverSettings()
{
    const DXDriver& d = dxDriver();
    const D3DDISPLAYMODE& m = d.displayMode();
    return (d.windowed() ? "window " : "full ") + std::to_string(m.Width) + "x" + std::to_string(m.Height) + " " +
           DXDriver::formatName(m.Format) + " " + std::to_string(m.RefreshRate) + "Hz, " +
           DXDriver::formatName(d.backBufferFormat()) + " " + DXDriver::formatName(d.depthBufferFormat()) + " x" +
           std::to_string(d.backBufferCount());
}

void EngineTest::TearDown()
{
    if (dxDriver().device() && Camera::sceneOpen())
        Camera().endScene();
    Texture::releaseAll();
    restoreScreenMode();
    dxDriver().rememberedSelection() = {};
    d3dSimulation() = {};
}

void EngineTest::openScreen(int width, int height, const ScreenSelection& selection)
{
    dxDriver().rememberedSelection() = selection;
    bool realtime = false;
    ASSERT_TRUE(selectScreenMode(realtime, false));
    window_.setClientSize(width, height);
    ASSERT_TRUE(setScreenMode(&window_));
}

Picture EngineTest::flipAndRead()
{
    flip();
    return frontBuffer(device());
}

void EngineTest::drawTexture(IDirect3DTexture8* texture)
{
    plainStates(device(), true);
    device()->SetTexture(0, texture);
    device()->BeginScene();
    drawQuad(device(), -1, 1, 1, -1, 0.5f, 0xFFFFFFFF);
    device()->EndScene();
    device()->SetTexture(0, nullptr);
}

}  // namespace mirva::test
