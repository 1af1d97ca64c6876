#pragma once
// The Direct3D object over OpenGL: one adapter (the GL renderer), its display modes, and
// format checks answered from what the driver was seen to support when the object was
// made (a short-lived probe context tries every candidate format).
#include <atomic>
#include <set>
#include <utility>
#include <vector>

#include "platform/d3d8/d3d8.h"

namespace mirva {

class Direct3DGL final : public IDirect3D8 {
public:
    static Direct3DGL* create();

    UINT AddRef() override;
    UINT Release() override;
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) override;
    UINT GetAdapterModeCount(UINT adapter) override;
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL windowed,
                                       D3DMULTISAMPLE_TYPE multiSample) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) override;

    // For devices: the same answers without the adapter arguments.
    bool isTextureFormat(D3DFORMAT format) const { return textureFormats_.count(format) != 0; }
    bool isRenderTargetFormat(D3DFORMAT format) const;
    bool isDepthFormat(D3DFORMAT format) const { return depthFormats_.count(format) != 0; }
    bool isSampleCount(D3DMULTISAMPLE_TYPE multiSample) const;
    D3DCAPS8 caps() const;

private:
    Direct3DGL() = default;
    ~Direct3DGL() override = default;
    HRESULT checkAdapter(UINT adapter, D3DDEVTYPE type) const;
    // The display modes and the desktop mode, or those of the simulation.
    const std::vector<D3DDISPLAYMODE>& modes() const;
    const D3DDISPLAYMODE& desktop() const;

    std::atomic<UINT> references_{1};
    D3DADAPTER_IDENTIFIER8 identifier_;
    std::vector<D3DDISPLAYMODE> modes_;
    D3DDISPLAYMODE desktop_;
    D3DCAPS8 caps_;
    int maxSamples_ = 0;
    std::set<D3DFORMAT> textureFormats_;
    std::set<D3DFORMAT> renderTargetFormats_;
    std::set<D3DFORMAT> depthFormats_;
    std::set<std::pair<D3DFORMAT, D3DFORMAT>> depthMatches_;  // (render target, depth)
};

// Display modes of the first screen when there is one (false otherwise).
bool screenDisplayModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop);

}  // namespace mirva
