#pragma once
// A headless device for tests: a Direct3D object, a headless window and a device with a
// 32-bit back buffer and a D24S8 depth buffer.
#include <gtest/gtest.h>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/window.h"
#include "tests/support/graphics.h"

namespace mirva::test {

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes the device anew (SetUp makes a 64 x 48 one).
    void createDevice(UINT width = 64, UINT height = 48, D3DMULTISAMPLE_TYPE samples = D3DMULTISAMPLE_NONE);
    void releaseDevice();
    Picture present();

    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* device_ = nullptr;
    HeadlessWindow window_{64, 48};
    D3DPRESENT_PARAMETERS parameters_;
};

}  // namespace mirva::test
