#pragma once
// A headless device for tests: a Direct3D object, a headless window and a device with a
// 32-bit back buffer and a D24S8 depth buffer.
#include <cstring>

#include <gtest/gtest.h>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/window.h"
#include "tests/platform/pixels.h"

namespace mirva::test {

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes the device anew (SetUp makes a 64 x 48 one).
    void createDevice(UINT width = 64, UINT height = 48, D3DMULTISAMPLE_TYPE samples = D3DMULTISAMPLE_NONE);
    void releaseDevice();
    Picture present();
    // A managed texture whose top level is filled from `rows` (`rowBytes` each).
    IDirect3DTexture8* makeTexture(D3DFORMAT format, UINT width, UINT height, UINT levels, const void* rows,
                                   UINT rowBytes);
    // Copies `rowCount` rows of `rowBytes` from a texture level.
    static void readLevel(IDirect3DTexture8* texture, UINT level, void* rows, UINT rowBytes, UINT rowCount = 1);
    // A vertex buffer in `pool` holding `vertices`.
    template <typename T>
    IDirect3DVertexBuffer8* vertexBuffer(const T& vertices, DWORD fvf, D3DPOOL pool)
    {
        IDirect3DVertexBuffer8* buffer = nullptr;
        EXPECT_EQ(device_->CreateVertexBuffer(sizeof vertices, 0, fvf, pool, &buffer), D3D_OK);
        BYTE* data = nullptr;
        buffer->Lock(0, 0, &data, 0);
        std::memcpy(data, &vertices, sizeof vertices);
        buffer->Unlock();
        return buffer;
    }

    IDirect3D8* d3d_ = nullptr;
    IDirect3DDevice8* device_ = nullptr;
    HeadlessWindow window_{64, 48};
    D3DPRESENT_PARAMETERS parameters_;
};

}  // namespace mirva::test
