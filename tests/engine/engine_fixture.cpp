#include "tests/engine/engine_fixture.h"

#include "engine/camera.h"
#include "engine/texture.h"
#include "io/console.h"
#include "platform/d3d8/simulation.h"

namespace mirva::test {

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

std::string EngineTest::restoreScreenModeLog()
{
    Console::open();
    testing::internal::CaptureStdout();
    restoreScreenMode();
    std::string out = testing::internal::GetCapturedStdout();
    Console::close();
    return out;
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
