#pragma once
// RenderTarget: a texture the engine draws into instead of the back buffer, optionally
// with its own depth buffer. Its format comes from the lists that the display driver
// built after the setup dialog; its Direct3D objects live in the default pool, so it is
// a VideoMemoryResource, rebuilt after a device reset.
//
// Use: begin(camera) ... draws ... end(camera); then draw with texture() (usually
// through the texture table, under a registered name). A target begun while another is
// being drawn into hands back to that one at its end (one level deep is what effects
// use: their own target inside a script's render-target pass).
#include "engine/video_memory_resource.h"
#include "platform/d3d8/d3d8.h"

namespace mirva {

class Camera;

class RenderTarget : public VideoMemoryResource {
public:
    RenderTarget(int width, int height, bool wantsAlpha, bool withDepth);
    ~RenderTarget() override;

    void begin(Camera& camera);
    void end(Camera& camera);

    IDirect3DTexture8* texture() const { return texture_; }
    int width() const { return width_; }
    int height() const { return height_; }
    D3DFORMAT colorFormat() const { return colorFormat_; }
    D3DFORMAT depthFormat() const { return depthFormat_; }

    void releaseVideoMemory() override;
    void restoreVideoMemory() override;

private:
    int width_;
    int height_;
    bool sceneWasOpen_ = false;
    D3DFORMAT colorFormat_ = D3DFMT_UNKNOWN;
    D3DFORMAT depthFormat_ = D3DFMT_UNKNOWN;
    IDirect3DTexture8* texture_ = nullptr;
    IDirect3DSurface8* depthSurface_ = nullptr;
    IDirect3DSurface8* savedDepthSurface_ = nullptr;
    IDirect3DSurface8* savedColorSurface_ = nullptr;
    int savedScreenWidth_ = 0, savedScreenHeight_ = 0;  // the camera's, given back at the end
    bool wantsAlpha_;
    bool withDepth_;
};

}  // namespace mirva
