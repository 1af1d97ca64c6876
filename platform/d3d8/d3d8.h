#pragma once
// platform/d3d8: a Direct3D 8-shaped graphics device over OpenGL 3.3 core.
//
// What it does: the subset of Direct3D 8 that the engine uses, under Direct3D's own names,
// formats, states and result codes: the Direct3D object (adapters, display modes, format
// checks, device creation) and the device (present, reset, clear, scenes, viewport,
// render and texture-stage states, transforms, lights and materials, textures, vertex and
// index buffers, vs.1.1 vertex shaders, render targets, draws), with fixed-function
// lighting and fog done in generated shaders. Behind it is OpenGL 3.3 core loaded with
// libepoxy, in an SDL2 window or in an EGL surfaceless context for headless use.
//
// What it does not: it knows nothing about scripts, components, fonts or files; it never
// reports errors itself. Every call returns a result code, and the caller decides.
//
// Conventions kept from Direct3D: row vectors (p' = p * M), left-handed spaces, clip depth
// 0..w, pixel and texel (0,0) at the top-left, clockwise front faces (D3DCULL_CCW, the
// default, removes anticlockwise triangles), pixel centres at integer coordinates. A
// picture rendered into a texture and then drawn from it comes out upright.
//
// Order of use:
//   Direct3DCreate8 -> adapters, modes, Check* -> CreateDevice(window, parameters)
//   per frame: BeginScene, SetRenderState/SetTexture/SetTransform/..., Draw*, EndScene,
//   Present; D3DERR_DEVICELOST from Present: release default-pool resources, Reset,
//   recreate them.
//
// Reference counts work as in COM: Create* and Get* hand out a reference that the caller
// releases. Resources hold a reference on their device, so a device released while
// resources live reports a count above zero and stays. Binding an object to the device
// (SetTexture, SetStreamSource, SetRenderTarget...) does not count; an object destroyed
// while bound is unbound.
#include "platform/d3d8/d3d8_types.h"

namespace mirva {

class IDirect3D8;
class IDirect3DDevice8;

class IUnknown8 {
public:
    virtual UINT AddRef() = 0;
    virtual UINT Release() = 0;

protected:
    virtual ~IUnknown8() = default;
};

class IDirect3DResource8 : public IUnknown8 {
public:
    virtual HRESULT GetDevice(IDirect3DDevice8** device) = 0;
    virtual D3DRESOURCETYPE GetType() = 0;
    // Makes a managed resource resident (uploads what changed since the last upload).
    virtual void PreLoad() = 0;
};

class IDirect3DSurface8 : public IUnknown8 {
public:
    virtual HRESULT GetDesc(D3DSURFACE_DESC* desc) = 0;
    // Lockable surfaces: levels of managed textures and image surfaces. The rectangle
    // may be null for the whole surface; the pitch is in bytes.
    virtual HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect() = 0;
};

class IDirect3DBaseTexture8 : public IDirect3DResource8 {
public:
    virtual DWORD GetLevelCount() = 0;
};

class IDirect3DTexture8 : public IDirect3DBaseTexture8 {
public:
    virtual HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) = 0;
    // The surface of one mip level; it keeps the texture alive until released.
    virtual HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) = 0;
    virtual HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) = 0;
    virtual HRESULT UnlockRect(UINT level) = 0;
};

class IDirect3DVertexBuffer8 : public IDirect3DResource8 {
public:
    // size 0 locks from offset to the end.
    virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IDirect3DIndexBuffer8 : public IDirect3DResource8 {
public:
    virtual HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) = 0;
    virtual HRESULT Unlock() = 0;
};

class IDirect3DDevice8 : public IUnknown8 {
public:
    virtual HRESULT TestCooperativeLevel() = 0;
    virtual HRESULT GetDeviceCaps(D3DCAPS8* caps) = 0;
    virtual HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) = 0;
    virtual HRESULT GetDirect3D(IDirect3D8** direct3d) = 0;

    virtual HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow, const void* dirtyRegion) = 0;
    virtual HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) = 0;
    virtual HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) = 0;
    // Copies the last presented frame into an A8R8G8B8 image surface of the back-buffer size.
    virtual HRESULT GetFrontBuffer(IDirect3DSurface8* dest) = 0;
    virtual void SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) = 0;
    virtual void GetGammaRamp(D3DGAMMARAMP* ramp) = 0;
    // Evicts managed resources from video memory; they upload again when next used.
    virtual HRESULT ResourceManagerDiscardBytes(DWORD bytes) = 0;

    virtual HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture8** texture) = 0;
    virtual HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer8** buffer) = 0;
    virtual HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer8** buffer) = 0;
    virtual HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample, IDirect3DSurface8** surface) = 0;
    // A lockable surface in system memory (the target of GetFrontBuffer).
    virtual HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) = 0;

    // A null colour surface keeps the current one; a null depth surface means none.
    virtual HRESULT SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* depthStencil) = 0;
    virtual HRESULT GetRenderTarget(IDirect3DSurface8** surface) = 0;
    virtual HRESULT GetDepthStencilSurface(IDirect3DSurface8** surface) = 0;

    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    virtual HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) = 0;

    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(const D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT8* viewport) = 0;
    virtual HRESULT SetMaterial(const D3DMATERIAL8* material) = 0;
    virtual HRESULT GetMaterial(D3DMATERIAL8* material) = 0;
    virtual HRESULT SetLight(DWORD index, const D3DLIGHT8* light) = 0;
    virtual HRESULT GetLight(DWORD index, D3DLIGHT8* light) = 0;
    virtual HRESULT LightEnable(DWORD index, BOOL enable) = 0;
    virtual HRESULT GetLightEnable(DWORD index, BOOL* enable) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    virtual HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) = 0;
    virtual HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) = 0;
    // Whether the current states can be drawn in one pass; passes is set to 1 when so.
    virtual HRESULT ValidateDevice(DWORD* passes) = 0;

    // A vs.1.1 shader: the declaration (D3DVSD_* tokens, see vs11.h) maps vertex stream 0
    // onto the input registers, the function is the token stream of a compiled shader
    // (read up to its end token; a null function is not supported). The handle it
    // gives is odd, so it never looks like a flexible vertex format code.
    virtual HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle,
                                       DWORD usage) = 0;
    virtual HRESULT DeleteVertexShader(DWORD handle) = 0;
    // A flexible vertex format code (D3DFVF_*) selects fixed-function processing; a
    // handle from CreateVertexShader selects that shader and loads the constants of its
    // declaration and of its def instructions.
    virtual HRESULT SetVertexShader(DWORD handle) = 0;
    virtual HRESULT GetVertexShader(DWORD* handle) = 0;
    virtual HRESULT SetVertexShaderConstant(DWORD reg, const void* data, DWORD count) = 0;
    virtual HRESULT GetVertexShaderConstant(DWORD reg, void* data, DWORD count) = 0;

    virtual HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) = 0;
    virtual HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) = 0;
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) = 0;
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                         UINT primitiveCount) = 0;

    // Not Direct3D: makes the device lost, as when another program took the screen. The
    // next Present answers D3DERR_DEVICELOST and Reset succeeds only once every
    // default-pool resource is released; the GL context is then created anew, so every
    // resource really goes through release and restore.
    virtual void simulateDeviceLoss() = 0;
};

class IDirect3D8 : public IUnknown8 {
public:
    virtual UINT GetAdapterCount() = 0;
    virtual HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) = 0;
    virtual UINT GetAdapterModeCount(UINT adapter) = 0;
    virtual HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) = 0;
    virtual HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                                    BOOL windowed) = 0;
    virtual HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) = 0;
    virtual HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL windowed,
                                               D3DMULTISAMPLE_TYPE multiSample) = 0;
    virtual HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                           D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) = 0;
    virtual HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) = 0;
    virtual HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device) = 0;
};

constexpr UINT D3D_SDK_VERSION = 120;

// The Direct3D object, or null when no OpenGL 3.3 core context can be had at all.
IDirect3D8* Direct3DCreate8(UINT sdkVersion);

}  // namespace mirva
