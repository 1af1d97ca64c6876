#include "tests/platform/device_fixture.h"

#include <cstring>

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
    parameters_ = {.BackBufferWidth = width, .BackBufferHeight = height, .BackBufferFormat = D3DFMT_X8R8G8B8,
                   .BackBufferCount = 1, .MultiSampleType = samples, .SwapEffect = D3DSWAPEFFECT_DISCARD,
                   .hDeviceWindow = &window_, .Windowed = TRUE, .EnableAutoDepthStencil = TRUE,
                   .AutoDepthStencilFormat = D3DFMT_D24S8};
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

IDirect3DTexture8* DeviceTest::makeTexture(D3DFORMAT format, UINT width, UINT height, UINT levels, const void* rows,
                                           UINT rowBytes)
{
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device_->CreateTexture(width, height, levels, 0, format, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<BYTE*>(locked.pBits) + y * static_cast<UINT>(locked.Pitch),
                    static_cast<const BYTE*>(rows) + y * rowBytes, rowBytes);
    texture->UnlockRect(0);
    return texture;
}

void DeviceTest::readLevel(IDirect3DTexture8* texture, UINT level, void* rows, UINT rowBytes, UINT rowCount)
{
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (UINT y = 0; y < rowCount; ++y)
        std::memcpy(static_cast<BYTE*>(rows) + y * rowBytes,
                    static_cast<const BYTE*>(locked.pBits) + y * static_cast<UINT>(locked.Pitch), rowBytes);
    texture->UnlockRect(level);
}

}  // namespace mirva::test
