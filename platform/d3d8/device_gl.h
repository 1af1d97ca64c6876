#pragma once
// The device over OpenGL 3.3 core.
//
// Frames are drawn into framebuffer objects: the back buffer is a renderbuffer (with as
// many samples as the multisample type asks for) and every render target is attached to
// the same drawing framebuffer. Present resolves the back buffer into a front buffer;
// in a window the front buffer is then copied, turned right side up, into the window's
// own framebuffer and swapped. Rows of every render target are stored top row first
// (the y turn is in the vertex shaders' epilogue), so a render target's texture reads
// exactly like a loaded image.
//
// State is kept as Direct3D numbers and turned into OpenGL state and a generated program
// at each draw (device_state_gl.cpp, device_draw_gl.cpp).
#include <epoxy/gl.h>

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/ffp_shader.h"
#include "platform/d3d8/gl_context.h"
#include "platform/d3d8/vs11.h"

namespace mirva {

class Direct3DGL;
class ResourceGL;
class SurfaceGL;
class TextureGL;
class RenderbufferSurfaceGL;
class VertexBufferGL;
class IndexBufferGL;

class DeviceGL final : public IDirect3DDevice8 {
public:
    static HRESULT create(Direct3DGL* direct3d, HWND window, DWORD behaviorFlags,
                          D3DPRESENT_PARAMETERS& parameters, IDirect3DDevice8** device);

    UINT AddRef() override;
    UINT Release() override;

    HRESULT TestCooperativeLevel() override;
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override;
    HRESULT GetDirect3D(IDirect3D8** direct3d) override;

    HRESULT Present(const RECT* source, const RECT* dest, HWND overrideWindow, const void* dirtyRegion) override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* parameters) override;
    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface8** surface) override;
    HRESULT GetFrontBuffer(IDirect3DSurface8* dest) override;
    void SetGammaRamp(DWORD flags, const D3DGAMMARAMP* ramp) override;
    void GetGammaRamp(D3DGAMMARAMP* ramp) override;
    HRESULT ResourceManagerDiscardBytes(DWORD bytes) override;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** buffer) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer8** buffer) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      IDirect3DSurface8** surface) override;
    HRESULT CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface) override;

    HRESULT SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* depthStencil) override;
    HRESULT GetRenderTarget(IDirect3DSurface8** surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface8** surface) override;

    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT8* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT8* viewport) override;
    HRESULT SetMaterial(const D3DMATERIAL8* material) override;
    HRESULT GetMaterial(D3DMATERIAL8* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT8* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT8* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT ValidateDevice(DWORD* passes) override;

    HRESULT CreateVertexShader(const DWORD* declaration, const DWORD* function, DWORD* handle, DWORD usage) override;
    HRESULT DeleteVertexShader(DWORD handle) override;
    HRESULT SetVertexShader(DWORD handle) override;
    HRESULT GetVertexShader(DWORD* handle) override;
    HRESULT SetVertexShaderConstant(DWORD reg, const void* data, DWORD count) override;
    HRESULT GetVertexShaderConstant(DWORD reg, void* data, DWORD count) override;

    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer8* buffer, UINT baseVertexIndex) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, UINT minIndex, UINT vertexCount, UINT startIndex,
                                 UINT primitiveCount) override;

    void simulateDeviceLoss() override { lost_ = true; }

    // For the device's resources.
    void makeCurrent() { context_->makeCurrent(); }
    void registerResource(ResourceGL* resource);
    void unregisterResource(ResourceGL* resource);

    static constexpr int kMaxLights = kFfpMaxLights;
    static constexpr int kShaderConstants = 96;

private:
    DeviceGL(Direct3DGL* direct3d, HWND window, DWORD behaviorFlags);
    ~DeviceGL() override;

    // device_gl.cpp
    HRESULT open(const D3DPRESENT_PARAMETERS& parameters);
    void close(bool contextLost);
    HRESULT attachRenderTarget();
    void waitForPreviousFrame();
    // Whether a surface or texture of this size is at least 1 x 1 and within the largest
    // texture of the capabilities.
    bool withinLargestTexture(UINT width, UINT height) const;

    struct LightSlot {
        D3DLIGHT8 light;
        bool enabled = false;
    };
    // A created vertex shader: what it reads and does, and its GLSL (without and with
    // flat shading, made when first drawn).
    struct VertexShaderGL {
        vs11::Declaration declaration;
        vs11::Program program;
        std::string glsl[2];
    };

    // device_state_gl.cpp
    void resetStates();
    void applyStates();
    struct BoundStates;
    void sendStates(const BoundStates& want);
    // After a new context: nothing is known to be bound.
    void forgetBoundStates()
    {
        bound_.reset();
        for (auto& stage : boundSamplers_)
            stage.reset();
    }
    void applySamplers();
    FfpKey shaderKey() const;
    HRESULT validateStages() const;
    // The enabled lights that the fixed-function lighting uses (slot order, at most 8).
    std::vector<const D3DLIGHT8*> activeLights() const;
    const VertexShaderGL* currentVertexShader() const;

    // device_draw_gl.cpp
    HRESULT draw(D3DPRIMITIVETYPE type, UINT primitiveCount, bool indexed, UINT first);
    void bindVertexInputs(DWORD fvf, UINT stride);
    void bindDeclaredInputs(const vs11::Declaration& declaration, UINT stride);
    void setUniforms(const FfpProgram& program, const FfpKey& key);
    void setLightingUniforms(const FfpProgram& program);

    std::atomic<UINT> references_{1};
    Direct3DGL* direct3d_;
    HWND window_;
    DWORD behaviorFlags_;
    D3DPRESENT_PARAMETERS parameters_;
    std::unique_ptr<GLContext> context_;
    std::set<ResourceGL*> resources_;

    // OpenGL objects of the device itself.
    std::unique_ptr<RenderbufferSurfaceGL> backBuffer_;
    std::unique_ptr<RenderbufferSurfaceGL> autoDepthStencil_;
    GLuint drawFramebuffer_ = 0;
    GLuint frontFramebuffer_ = 0;
    GLuint frontRenderbuffer_ = 0;
    GLuint backFramebuffer_ = 0;  // the back buffer alone, to read it at present
    GLuint vertexArray_ = 0;
    GLuint samplers_[D3D_TEXTURE_STAGES] = {};
    GLsync frameFence_ = nullptr;
    FfpShaderCache shaders_;

    SurfaceGL* renderTarget_ = nullptr;
    SurfaceGL* depthStencil_ = nullptr;
    bool inScene_ = false;
    bool lost_ = false;
    bool statesDirty_ = true;
    bool samplersDirty_ = true;
    // The GL state that the render states and the viewport stand for, as last sent: a
    // draw sends only the parts that differ. Unknown (all sent) after anything else
    // touched them (a clear, a present, a new context).
    struct BoundStates {
        bool depthTest = false;
        GLenum depthFunc = 0;
        bool depthMask = false;
        bool blend = false;
        GLenum blendSource = 0, blendDest = 0, blendEquation = 0;
        GLenum cullFace = 0;  // GL_NONE: no culling
        GLenum polygonMode = 0;
        DWORD colorMask = 0;
        bool stencil = false;
        GLenum stencilFunc = 0;
        GLint stencilReference = 0;
        GLuint stencilMask = 0, stencilWriteMask = 0;
        GLenum stencilFail = 0, stencilDepthFail = 0, stencilPass = 0;
        bool multisample = false;
        GLint viewport[4] = {};
        float depthRange[2] = {};
    };
    std::optional<BoundStates> bound_;
    // The sampler states of each stage as last sent.
    static constexpr int kSamplerStates = 9;
    std::optional<std::array<DWORD, kSamplerStates>> boundSamplers_[D3D_TEXTURE_STAGES];

    DWORD renderStates_[D3D_RENDER_STATE_COUNT] = {};
    DWORD stageStates_[D3D_TEXTURE_STAGES][D3D_TEXTURE_STAGE_STATE_COUNT] = {};
    D3DMATRIX world_, view_, projection_;
    D3DMATRIX textureTransforms_[D3D_TEXTURE_STAGES];
    D3DVIEWPORT8 viewport_;
    D3DMATERIAL8 material_;
    std::map<DWORD, LightSlot> lights_;
    std::map<DWORD, VertexShaderGL> vertexShaders_;  // by handle; they survive a reset
    DWORD nextVertexShader_ = 1;
    TextureGL* textures_[D3D_TEXTURE_STAGES] = {};
    VertexBufferGL* stream_ = nullptr;
    UINT streamStride_ = 0;
    IndexBufferGL* indices_ = nullptr;
    UINT baseVertexIndex_ = 0;
    DWORD vertexShader_ = 0;
    float shaderConstants_[kShaderConstants][4] = {};
    D3DGAMMARAMP gammaRamp_;
};

D3DMATRIX identityMatrix();
D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b);

}  // namespace mirva
