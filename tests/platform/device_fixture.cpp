#include "tests/platform/device_fixture.h"

namespace mirva::test {

void DeviceTest::SetUp()
{
    d3d_ = Direct3DCreate8(D3D_SDK_VERSION);
    ASSERT_NE(d3d_, nullptr);
    createDevice();
}

void DeviceTest::TearDown()
{
    releaseDevice();
    if (d3d_) {
        EXPECT_EQ(d3d_->Release(), 0u);
    }
}

void DeviceTest::createDevice(UINT width, UINT height, D3DMULTISAMPLE_TYPE samples)
{
    releaseDevice();
    window_.setClientSize(static_cast<int>(width), static_cast<int>(height));
    parameters_ = {};
    parameters_.BackBufferWidth = width;
    parameters_.BackBufferHeight = height;
    parameters_.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters_.BackBufferCount = 1;
    parameters_.MultiSampleType = samples;
    parameters_.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters_.hDeviceWindow = &window_;
    parameters_.Windowed = TRUE;
    parameters_.EnableAutoDepthStencil = TRUE;
    parameters_.AutoDepthStencilFormat = D3DFMT_D24S8;
    ASSERT_EQ(d3d_->CreateDevice(0, D3DDEVTYPE_HAL, &window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters_,
                                 &device_),
              D3D_OK);
}

void DeviceTest::releaseDevice()
{
    if (device_) {
        EXPECT_EQ(device_->Release(), 0u);
    }
    device_ = nullptr;
}

Picture DeviceTest::present()
{
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    return frontBuffer(device_);
}

}  // namespace mirva::test
