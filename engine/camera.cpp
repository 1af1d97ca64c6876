#include "engine/camera.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/dx_driver.h"
#include "engine/engine_state.h"
#include "engine/render_target.h"

namespace mirva {

D3DMATRIX matrixOf(const Transformation& t)
{
    D3DMATRIX m;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column)
            m.m[row][column] = t.m[row][column];
        m.m[row][3] = row == 3 ? 1.0f : 0.0f;
    }
    return m;
}

Camera::Camera()
    : screenWidth(dxDriver().screenWidth()), screenHeight(dxDriver().screenHeight())
{
    verticalFov = 2.0f * std::atan(static_cast<float>(screenHeight) / static_cast<float>(screenWidth));
    IDirect3DDevice8* device = dxDriver().device();
    if (!device)
        return;  // a camera made before the screen mode (loading a script to check it)
    device->SetRenderState(D3DRS_SOFTWAREVERTEXPROCESSING, TRUE);
    device->SetRenderState(D3DRS_DITHERENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    device->SetRenderState(D3DRS_POINTSIZE_MAX, floatBits(std::max(dxDriver().caps().MaxPointSize, 64.0f)));
    device->SetRenderState(D3DRS_POINTSIZE_MIN, floatBits(1.0f));
    device->SetRenderState(D3DRS_POINTSCALE_A, floatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_B, floatBits(0.0f));
    device->SetRenderState(D3DRS_POINTSCALE_C, floatBits(1.0f));
}

bool Camera::sceneOpen()
{
    return engineState().sceneOpen;
}

void Camera::setViewport()
{
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    const auto width = static_cast<float>(screenWidth), height = static_cast<float>(screenHeight);
    D3DVIEWPORT8 viewport;
    viewport.X = static_cast<DWORD>(left * width);
    viewport.Y = static_cast<DWORD>(top * height);
    viewport.Width = static_cast<DWORD>((right - left) * width);
    viewport.Height = static_cast<DWORD>((bottom - top) * height);
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    if (viewport.Width > 0 && viewport.Height > 0)
        if (HRESULT hr = device->SetViewport(&viewport); FAILED(hr))
            DXDriver::directXError("Camera: SetViewport ", hr);
    switch (depthMode) {
    case NO_DEPTH:
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        break;
    case DEPTH_TEST:
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
        break;
    case DEPTH_TEST_AND_WRITE:
        device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
        device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
        break;
    default: break;  // other values leave the depth states as they are
    }
    device->SetRenderState(D3DRS_AMBIENT, ambient & 0x00FFFFFF);
}

bool Camera::coversPixels() const
{
    const auto width = static_cast<float>(screenWidth), height = static_cast<float>(screenHeight);
    return (right - left) * width >= 1.0f && (bottom - top) * height >= 1.0f;
}

void Camera::beginScene()
{
    setViewport();
    if (HRESULT hr = dxDriver().drawingDevice()->BeginScene(); FAILED(hr))
        DXDriver::directXError("Camera: direct3d->BeginScene ", hr);
    engineState().sceneOpen = true;
}

void Camera::beginPass(RenderTarget& target)
{
    endPass();
    endScene();
    target.begin(*this);
    pass_ = &target;
}

bool Camera::endPass()
{
    if (!pass_)
        return false;
    RenderTarget* target = std::exchange(pass_, nullptr);
    target->end(*this);
    beginScene();
    return true;
}

void Camera::endScene()
{
    if (HRESULT hr = dxDriver().drawingDevice()->EndScene(); FAILED(hr))
        DXDriver::directXError("Camera: device->EndScene ", hr);
    engineState().sceneOpen = false;
}

void Camera::clear(D3DCOLOR color, bool clearColor, bool clearDepth, float depth)
{
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    if (clearDepth) {
        // A target without a depth buffer (a render target made without one) has no
        // depth to clear.
        IDirect3DSurface8* depthSurface = nullptr;
        if (SUCCEEDED(device->GetDepthStencilSurface(&depthSurface)) && depthSurface)
            depthSurface->Release();
        else
            clearDepth = false;
    }
    if ((!clearColor && !clearDepth) || !coversPixels())
        return;
    setViewport();
    const auto width = static_cast<float>(screenWidth), height = static_cast<float>(screenHeight);
    const D3DRECT rect{static_cast<long>(left * width), static_cast<long>(top * height),
                       static_cast<long>(right * width), static_cast<long>(bottom * height)};
    const DWORD flags = (clearColor ? D3DCLEAR_TARGET : 0) | (clearDepth ? D3DCLEAR_ZBUFFER : 0);
    if (HRESULT hr = device->Clear(1, &rect, flags, color, depth, 0); FAILED(hr))
        DXDriver::directXError("Camera: Clear ", hr);
}

D3DMATRIX Camera::projection(float depthOffset, float translationLength) const
{
    D3DMATRIX m;
    const float q = farPlane / (farPlane - nearPlane);
    m.m[0][0] = 1.0f / std::tan(horizontalFov / 2.0f);
    m.m[1][1] = 1.0f / std::tan(verticalFov / 2.0f);
    m.m[2][2] = q;
    m.m[2][3] = 1.0f;
    m.m[3][2] = -nearPlane * q;
    if (depthOffset != 0.0f) {
        const float factor = translationLength < 1.0f ? 1.0f - depthOffset
                                                      : (translationLength - depthOffset) / translationLength;
        m.m[0][0] *= factor;
        m.m[1][1] *= factor;
        m.m[2][2] *= factor;
        m.m[2][3] *= factor;
    }
    return m;
}

}  // namespace mirva
