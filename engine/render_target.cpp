#include "engine/render_target.h"

#include "engine/camera.h"
#include "engine/dx_driver.h"
#include "engine/texture.h"
#include "io/console.h"
#include "platform/d3d8/d3dx8.h"

namespace mirva {

namespace {

bool acceptable(D3DFORMAT format, bool wantsAlpha)
{
    return !wantsAlpha || format == D3DFMT_A8R8G8B8 || format == D3DFMT_A1R5G5B5;
}

}  // namespace

RenderTarget::RenderTarget(int width, int height, bool wantsAlpha, bool withDepth)
    : width_(width), height_(height), wantsAlpha_(wantsAlpha), withDepth_(withDepth)
{
    const DXDriver& driver = dxDriver();
    // The utility library's check below would quietly cut a larger size down to the
    // device's largest texture; a size the device can't take is refused instead.
    if (width < 1 || height < 1)
        DXDriver::fatalError("RenderTarget: %d x %d is no size; a render target has at least 1 x 1 pixels", width,
                             height);
    if (width > driver.largestTextureWidth() || height > driver.largestTextureHeight())
        DXDriver::fatalError("RenderTarget: %d x %d is larger than the %d x %d the device can use", width, height,
                             driver.largestTextureWidth(), driver.largestTextureHeight());
    bool found = false;
    if (withDepth) {
        for (const auto& [color, depth] : driver.renderTargetDepthFormats())
            if (acceptable(color, wantsAlpha)) {
                colorFormat_ = color;
                depthFormat_ = depth;
                found = true;
                break;
            }
    } else {
        for (D3DFORMAT color : driver.renderTargetFormats())
            if (acceptable(color, wantsAlpha)) {
                colorFormat_ = color;
                found = true;
                break;
            }
    }
    if (!found)
        DXDriver::fatalError("RenderTarget: couldn't find suitable render target format. try some other screen mode. "
                             "32 bit modes might work better. or then the card doesn't support rendering to textures.");
    auto w = static_cast<UINT>(width_), h = static_cast<UINT>(height_);
    UINT levels = 1;
    if (HRESULT hr = D3DXCheckTextureRequirements(driver.drawingDevice(), &w, &h, &levels, D3DUSAGE_RENDERTARGET,
                                                  &colorFormat_, D3DPOOL_DEFAULT);
        FAILED(hr))
        DXDriver::directXError("RenderTarget: D3DXCheckTextureRequirements - ", hr);
    width_ = static_cast<int>(w);
    height_ = static_cast<int>(h);
    restoreVideoMemory();
}

RenderTarget::~RenderTarget()
{
    Texture::forgetRenderTarget(*this);
    releaseVideoMemory();
}

void RenderTarget::restoreVideoMemory()
{
    DXDriver& driver = dxDriver();
    driver.discardManagedResources();
    IDirect3DDevice8* device = driver.drawingDevice();
    if (HRESULT hr = device->CreateTexture(static_cast<UINT>(width_), static_cast<UINT>(height_), 1,
                                           D3DUSAGE_RENDERTARGET, colorFormat_, D3DPOOL_DEFAULT, &texture_);
        FAILED(hr))
        DXDriver::directXError("RenderTarget: Device->CreateTexture (target) - ", hr);
    if (withDepth_)
        if (HRESULT hr = device->CreateDepthStencilSurface(static_cast<UINT>(width_), static_cast<UINT>(height_),
                                                           depthFormat_, D3DMULTISAMPLE_NONE, &depthSurface_);
            FAILED(hr))
            DXDriver::directXError("RenderTarget: Device->CreateDepthStencilSurface - ", hr);
}

void RenderTarget::releaseVideoMemory()
{
    if (texture_) {
        if (const UINT count = texture_->Release(); count > 0)
            Console::print("rendertarget reference count = %d\n", static_cast<int>(count));
        texture_ = nullptr;
    }
    if (depthSurface_) {
        if (const UINT count = depthSurface_->Release(); count > 0)
            Console::print("rendertarget zbuffer reference count = %d\n", static_cast<int>(count));
        depthSurface_ = nullptr;
    }
}

void RenderTarget::begin(Camera& camera)
{
    sceneWasOpen_ = Camera::sceneOpen();
    if (sceneWasOpen_)
        camera.endScene();
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    IDirect3DSurface8* level = nullptr;
    if (HRESULT hr = texture_->GetSurfaceLevel(0, &level); FAILED(hr))
        DXDriver::directXError("RenderTarget: Texture->GetSurfaceLevel - ", hr);
    // A target without depth buffer (an outer pass made without one) has none to save.
    savedDepthSurface_ = nullptr;
    if (HRESULT hr = device->GetDepthStencilSurface(&savedDepthSurface_); FAILED(hr) && hr != D3DERR_NOTFOUND)
        DXDriver::directXError("RenderTarget: Device->GetDepthStencilSurface - ", hr);
    if (HRESULT hr = device->GetRenderTarget(&savedColorSurface_); FAILED(hr))
        DXDriver::directXError("RenderTarget: Device->GetRenderTarget - ", hr);
    if (HRESULT hr = device->SetRenderTarget(level, withDepth_ ? depthSurface_ : nullptr); FAILED(hr))
        DXDriver::directXError("RenderTarget: Device->SetRenderTarget - ", hr);
    level->Release();
    savedScreenWidth_ = camera.screenWidth;
    savedScreenHeight_ = camera.screenHeight;
    camera.setScreenSize(width_, height_);
    camera.beginScene();
}

void RenderTarget::end(Camera& camera)
{
    camera.endScene();
    IDirect3DDevice8* device = dxDriver().drawingDevice();
    // Back to the target that was drawn into before: the back buffer, or the target of a
    // pass this one was begun inside (an effect drawing its own texture in the middle of
    // a RenderTargetBegin pass).
    IDirect3DSurface8* previous = savedColorSurface_;
    if (!previous)
        if (HRESULT hr = device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &previous); FAILED(hr))
            DXDriver::directXError("RenderTarget: Device->GetBackBuffer - ", hr);
    if (HRESULT hr = device->SetRenderTarget(previous, savedDepthSurface_); FAILED(hr))
        DXDriver::directXError("RenderTarget: Device->SetRenderTarget - ", hr);
    previous->Release();
    savedColorSurface_ = nullptr;
    if (savedDepthSurface_)
        savedDepthSurface_->Release();
    savedDepthSurface_ = nullptr;
    if (savedScreenWidth_ > 0)
        camera.setScreenSize(savedScreenWidth_, savedScreenHeight_);
    else
        camera.setScreenSize(dxDriver().screenWidth(), dxDriver().screenHeight());
    if (sceneWasOpen_)
        camera.beginScene();
}

}  // namespace mirva
