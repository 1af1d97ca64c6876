// The device: creation, frame buffers, present and reset, render targets, scenes, clears
// and the creation of resources.
#include "platform/d3d8/device_gl.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "io/console.h"
#include "platform/d3d8/direct3d_gl.h"
#include "platform/d3d8/failure_report.h"
#include "platform/d3d8/format_gl.h"
#include "platform/d3d8/resource_gl.h"
#include "platform/d3d8/window.h"

namespace mirva {

namespace {

bool isPowerOfTwo(UINT value)
{
    return value && (value & (value - 1)) == 0;
}

UINT fullChainLevels(UINT width, UINT height)
{
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size >>= 1)
        ++levels;
    return levels;
}

}  // namespace

// ---------------------------------------------------------------------------- creation

DeviceGL::DeviceGL(Direct3DGL* direct3d, HWND window, DWORD behaviorFlags)
    : direct3d_(direct3d), window_(window), behaviorFlags_(behaviorFlags)
{
    direct3d_->AddRef();
}

DeviceGL::~DeviceGL()
{
    if (context_) {
        context_->makeCurrent();
        close(false);
        context_.reset();
    }
    direct3d_->Release();
}

HRESULT DeviceGL::create(Direct3DGL* direct3d, HWND window, DWORD behaviorFlags, D3DPRESENT_PARAMETERS& parameters,
                         IDirect3DDevice8** device)
{
    if (parameters.hDeviceWindow)
        window = parameters.hDeviceWindow;
    if (!window)
        return D3DERR_INVALIDCALL;
    auto* created = new DeviceGL(direct3d, window, behaviorFlags);
    const HRESULT hr = created->open(parameters);
    if (FAILED(hr)) {
        created->Release();
        return hr;
    }
    parameters = created->parameters_;
    *device = created;
    return D3D_OK;
}

HRESULT DeviceGL::open(const D3DPRESENT_PARAMETERS& requested)
{
    D3DPRESENT_PARAMETERS p = requested;
    if (p.Windowed && (p.BackBufferWidth == 0 || p.BackBufferHeight == 0)) {
        p.BackBufferWidth = static_cast<UINT>(std::max(1, window_->clientWidth()));
        p.BackBufferHeight = static_cast<UINT>(std::max(1, window_->clientHeight()));
    }
    if (p.BackBufferCount == 0)
        p.BackBufferCount = 1;
    const D3DCAPS8 caps = direct3d_->caps();
    if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0 || p.BackBufferWidth > caps.MaxTextureWidth ||
        p.BackBufferHeight > caps.MaxTextureHeight || p.BackBufferCount > 3 ||
        !direct3d_->isRenderTargetFormat(p.BackBufferFormat) || !direct3d_->isSampleCount(p.MultiSampleType) ||
        (p.EnableAutoDepthStencil && !direct3d_->isDepthFormat(p.AutoDepthStencilFormat)))
        return D3DERR_INVALIDCALL;

    std::string error;
    context_ = GLContext::create(window_, error);
    if (!context_)
        return refuse("CreateDevice", error, D3DERR_NOTAVAILABLE);
    parameters_ = p;
    if (context_->hasWindow()) {
        if (!p.Windowed && !context_->setFullScreen(true, static_cast<int>(p.BackBufferWidth),
                                                    static_cast<int>(p.BackBufferHeight),
                                                    static_cast<int>(p.FullScreen_RefreshRateInHz)))
            return refuse("CreateDevice",
                          formatText("no full-screen mode of %u x %u", p.BackBufferWidth, p.BackBufferHeight),
                          D3DERR_NOTAVAILABLE);
        if (p.Windowed)
            context_->setFullScreen(false, 0, 0, 0);
        context_->setSwapInterval(!p.Windowed && p.FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_ONE ? 1 : 0);
    }

    backBuffer_ = std::make_unique<RenderbufferSurfaceGL>(this, true, p.BackBufferWidth, p.BackBufferHeight,
                                                          p.BackBufferFormat, p.MultiSampleType);
    if (p.EnableAutoDepthStencil)
        autoDepthStencil_ = std::make_unique<RenderbufferSurfaceGL>(
            this, true, p.BackBufferWidth, p.BackBufferHeight, p.AutoDepthStencilFormat, p.MultiSampleType);

    glGenRenderbuffers(1, &frontRenderbuffer_);
    glBindRenderbuffer(GL_RENDERBUFFER, frontRenderbuffer_);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, static_cast<GLsizei>(p.BackBufferWidth),
                          static_cast<GLsizei>(p.BackBufferHeight));
    glGenFramebuffers(1, &frontFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, frontFramebuffer_);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, frontRenderbuffer_);
    glGenFramebuffers(1, &backFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, backFramebuffer_);
    backBuffer_->attach(GL_COLOR_ATTACHMENT0);
    glGenFramebuffers(1, &drawFramebuffer_);
    glGenVertexArrays(1, &vertexArray_);
    glBindVertexArray(vertexArray_);
    glGenSamplers(D3D_TEXTURE_STAGES, samplers_);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);  // flat shading takes the first vertex's colour
    glEnable(GL_PROGRAM_POINT_SIZE);
    // Rows are stored top row first, so Direct3D's clockwise is OpenGL's front.
    glFrontFace(GL_CCW);
    forgetBoundStates();

    renderTarget_ = backBuffer_.get();
    depthStencil_ = autoDepthStencil_.get();
    resetStates();
    if (FAILED(attachRenderTarget()))
        return D3DERR_NOTAVAILABLE;

    // The first frame shows black, not whatever the memory held.
    glClearColor(0, 0, 0, 1);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, frontFramebuffer_);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    return D3D_OK;
}

void DeviceGL::close(bool contextLost)
{
    if (backBuffer_)
        backBuffer_->dropGL(contextLost);
    if (autoDepthStencil_)
        autoDepthStencil_->dropGL(contextLost);
    if (!contextLost) {
        if (frameFence_)
            glDeleteSync(frameFence_);
        glDeleteFramebuffers(1, &drawFramebuffer_);
        glDeleteFramebuffers(1, &frontFramebuffer_);
        glDeleteFramebuffers(1, &backFramebuffer_);
        glDeleteRenderbuffers(1, &frontRenderbuffer_);
        glDeleteVertexArrays(1, &vertexArray_);
        glDeleteSamplers(D3D_TEXTURE_STAGES, samplers_);
    }
    frameFence_ = nullptr;
    drawFramebuffer_ = frontFramebuffer_ = backFramebuffer_ = frontRenderbuffer_ = vertexArray_ = 0;
    std::fill(std::begin(samplers_), std::end(samplers_), 0u);
    shaders_.clear(contextLost);
    renderTarget_ = depthStencil_ = nullptr;
    backBuffer_.reset();
    autoDepthStencil_.reset();
}

UINT DeviceGL::AddRef()
{
    return ++references_;
}

UINT DeviceGL::Release()
{
    const UINT left = --references_;
    if (left == 0)
        delete this;
    return left;
}

void DeviceGL::registerResource(ResourceGL* resource)
{
    resources_.insert(resource);
}

void DeviceGL::unregisterResource(ResourceGL* resource)
{
    resources_.erase(resource);
    // A bound object that goes away is unbound.
    for (TextureGL*& texture : textures_)
        if (texture && static_cast<ResourceGL*>(texture) == resource)
            texture = nullptr;
    if (stream_ && static_cast<ResourceGL*>(stream_) == resource)
        stream_ = nullptr;
    if (indices_ && static_cast<ResourceGL*>(indices_) == resource)
        indices_ = nullptr;
    bool reattach = false;
    if (auto* level = dynamic_cast<LevelSurfaceGL*>(renderTarget_);
        level && static_cast<ResourceGL*>(level->texture()) == resource) {
        renderTarget_ = backBuffer_.get();
        reattach = true;
    }
    if (depthStencil_ && dynamic_cast<ResourceGL*>(depthStencil_) == resource) {
        depthStencil_ = nullptr;
        reattach = true;
    }
    if (reattach && renderTarget_ && context_) {
        makeCurrent();
        attachRenderTarget();
    }
}

HRESULT DeviceGL::TestCooperativeLevel()
{
    return lost_ ? D3DERR_DEVICENOTRESET : D3D_OK;
}

HRESULT DeviceGL::GetDeviceCaps(D3DCAPS8* caps)
{
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = direct3d_->caps();
    return D3D_OK;
}

HRESULT DeviceGL::GetDisplayMode(D3DDISPLAYMODE* mode)
{
    if (!mode)
        return D3DERR_INVALIDCALL;
    if (parameters_.Windowed)
        return direct3d_->GetAdapterDisplayMode(0, mode);
    *mode = {parameters_.BackBufferWidth, parameters_.BackBufferHeight, parameters_.FullScreen_RefreshRateInHz,
             parameters_.BackBufferFormat};
    return D3D_OK;
}

HRESULT DeviceGL::GetDirect3D(IDirect3D8** direct3d)
{
    if (!direct3d)
        return D3DERR_INVALIDCALL;
    direct3d_->AddRef();
    *direct3d = direct3d_;
    return D3D_OK;
}

// ---------------------------------------------------------------------------- present, reset

void DeviceGL::waitForPreviousFrame()
{
    // Headless frames have no swap to pace them: keep at most one frame in flight, as a
    // swap chain would, so that a caller's frame rate is the renderer's.
    if (frameFence_) {
        glClientWaitSync(frameFence_, GL_SYNC_FLUSH_COMMANDS_BIT, GLuint64(10'000'000'000));
        glDeleteSync(frameFence_);
    }
    frameFence_ = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
}

HRESULT DeviceGL::Present(const RECT*, const RECT*, HWND, const void*)
{
    if (lost_)
        return D3DERR_DEVICELOST;
    if (inScene_)
        return D3DERR_INVALIDCALL;
    makeCurrent();
    const auto width = static_cast<GLint>(parameters_.BackBufferWidth);
    const auto height = static_cast<GLint>(parameters_.BackBufferHeight);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    statesDirty_ = true;
    bound_.reset();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, frontFramebuffer_);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    if (context_->hasWindow()) {
        int drawableWidth = 0, drawableHeight = 0;
        context_->drawableSize(drawableWidth, drawableHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, frontFramebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        // Our rows are stored top row first; the window's bottom row first.
        glBlitFramebuffer(0, 0, width, height, 0, drawableHeight, drawableWidth, 0, GL_COLOR_BUFFER_BIT,
                          drawableWidth == width && drawableHeight == height ? GL_NEAREST : GL_LINEAR);
        context_->swapBuffers();
    } else {
        waitForPreviousFrame();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    return D3D_OK;
}

HRESULT DeviceGL::GetFrontBuffer(IDirect3DSurface8* dest)
{
    auto* image = dynamic_cast<ImageSurfaceGL*>(static_cast<SurfaceGL*>(dest));
    if (!image || image->desc().Format != D3DFMT_A8R8G8B8 || image->desc().Width != parameters_.BackBufferWidth ||
        image->desc().Height != parameters_.BackBufferHeight)
        return D3DERR_INVALIDCALL;
    makeCurrent();
    const auto width = static_cast<GLsizei>(parameters_.BackBufferWidth);
    const auto height = static_cast<GLsizei>(parameters_.BackBufferHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, image->pitch() / 4);
    // The front buffer holds the frame as presented (in a window, also what was copied
    // into the window), rows top row first.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, frontFramebuffer_);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, image->data());
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    // The screen has no alpha: the copy is opaque.
    for (GLsizei y = 0; y < height; ++y)
        for (GLsizei x = 0; x < width; ++x)
            image->data()[y * image->pitch() + x * 4 + 3] = 0xFF;
    return D3D_OK;
}

HRESULT DeviceGL::Reset(D3DPRESENT_PARAMETERS* parameters)
{
    if (!parameters)
        return D3DERR_INVALIDCALL;
    for (ResourceGL* resource : resources_)
        if (resource->blocksReset())
            return D3DERR_INVALIDCALL;
    // The context is made anew, as after a real loss: every OpenGL object is gone, and
    // the resources with a copy in memory upload again when next used.
    for (ResourceGL* resource : resources_)
        resource->dropGL(true);
    close(true);
    context_.reset();
    lost_ = false;
    inScene_ = false;
    stream_ = nullptr;
    indices_ = nullptr;
    std::fill(std::begin(textures_), std::end(textures_), nullptr);
    const HRESULT hr = open(*parameters);
    if (SUCCEEDED(hr))
        *parameters = parameters_;
    return hr;
}

HRESULT DeviceGL::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface)
{
    if (!surface || index >= parameters_.BackBufferCount)
        return D3DERR_INVALIDCALL;
    backBuffer_->AddRef();
    *surface = backBuffer_.get();
    return D3D_OK;
}

void DeviceGL::SetGammaRamp(DWORD, const D3DGAMMARAMP* ramp)
{
    if (ramp)
        gammaRamp_ = *ramp;
}

void DeviceGL::GetGammaRamp(D3DGAMMARAMP* ramp)
{
    if (ramp)
        *ramp = gammaRamp_;
}

HRESULT DeviceGL::ResourceManagerDiscardBytes(DWORD)
{
    makeCurrent();
    for (ResourceGL* resource : resources_)
        if (resource->pool() == D3DPOOL_MANAGED)
            resource->dropGL(false);
    return D3D_OK;
}

// ---------------------------------------------------------------------------- resources

namespace {

// A resource whose memory the process can't get is the caller's E_OUTOFMEMORY, as
// Direct3D reports it, rather than an exception through the interface.
template <class Make>
HRESULT outOfMemoryAsResult(Make make)
{
    try {
        make();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

}  // namespace

bool DeviceGL::withinLargestTexture(UINT width, UINT height) const
{
    const D3DCAPS8 caps = direct3d_->caps();
    return width > 0 && height > 0 && width <= caps.MaxTextureWidth && height <= caps.MaxTextureHeight;
}

HRESULT DeviceGL::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture8** texture)
{
    if (!texture)
        return D3DERR_INVALIDCALL;
    *texture = nullptr;
    const D3DCAPS8 caps = direct3d_->caps();
    if (!withinLargestTexture(width, height))
        return D3DERR_INVALIDCALL;
    if ((caps.TextureCaps & D3DPTEXTURECAPS_POW2) && (!isPowerOfTwo(width) || !isPowerOfTwo(height)))
        return D3DERR_INVALIDCALL;
    if (usage & D3DUSAGE_RENDERTARGET) {
        if (pool != D3DPOOL_DEFAULT || !direct3d_->isRenderTargetFormat(format))
            return D3DERR_INVALIDCALL;
    } else if (!direct3d_->isTextureFormat(format) || usage & D3DUSAGE_DEPTHSTENCIL) {
        return D3DERR_INVALIDCALL;
    }
    const UINT full = fullChainLevels(width, height);
    if (levels == 0 || levels > full)
        levels = full;
    return outOfMemoryAsResult([&] { *texture = new TextureGL(this, width, height, levels, usage, format, pool); });
}

HRESULT DeviceGL::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer8** buffer)
{
    if (!buffer || length == 0)
        return D3DERR_INVALIDCALL;
    return outOfMemoryAsResult([&] { *buffer = new VertexBufferGL(this, length, usage, fvf, pool); });
}

HRESULT DeviceGL::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer8** buffer)
{
    if (!buffer || length == 0 || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    return outOfMemoryAsResult([&] { *buffer = new IndexBufferGL(this, length, usage, format, pool); });
}

HRESULT DeviceGL::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                            D3DMULTISAMPLE_TYPE multiSample, IDirect3DSurface8** surface)
{
    if (!surface || !withinLargestTexture(width, height) || !direct3d_->isDepthFormat(format) ||
        !direct3d_->isSampleCount(multiSample))
        return D3DERR_INVALIDCALL;
    makeCurrent();
    *surface = new RenderbufferSurfaceGL(this, false, width, height, format, multiSample);
    return D3D_OK;
}

HRESULT DeviceGL::CreateImageSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface8** surface)
{
    if (!surface || !withinLargestTexture(width, height) || !pixelFormat(format))
        return D3DERR_INVALIDCALL;
    return outOfMemoryAsResult([&] { *surface = new ImageSurfaceGL(this, width, height, format); });
}

// ---------------------------------------------------------------------------- render targets

HRESULT DeviceGL::attachRenderTarget()
{
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    renderTarget_->attach(GL_COLOR_ATTACHMENT0);
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
    if (depthStencil_)
        depthStencil_->attach(depthStencil_->hasStencil() ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT);
    const D3DSURFACE_DESC desc = renderTarget_->desc();
    viewport_ = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    statesDirty_ = true;
    return glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT DeviceGL::SetRenderTarget(IDirect3DSurface8* renderTarget, IDirect3DSurface8* depthStencil)
{
    auto* color = renderTarget ? static_cast<SurfaceGL*>(renderTarget) : renderTarget_;
    auto* depth = static_cast<SurfaceGL*>(depthStencil);
    const D3DSURFACE_DESC colorDesc = color->desc();
    if (!(colorDesc.Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    if (depth) {
        const D3DSURFACE_DESC depthDesc = depth->desc();
        if (!depth->isDepth() || depthDesc.Width < colorDesc.Width || depthDesc.Height < colorDesc.Height ||
            depthDesc.MultiSampleType != colorDesc.MultiSampleType)
            return D3DERR_INVALIDCALL;
    }
    makeCurrent();
    SurfaceGL* oldColor = renderTarget_;
    SurfaceGL* oldDepth = depthStencil_;
    renderTarget_ = color;
    depthStencil_ = depth;
    if (FAILED(attachRenderTarget())) {
        renderTarget_ = oldColor;
        depthStencil_ = oldDepth;
        attachRenderTarget();
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

HRESULT DeviceGL::GetRenderTarget(IDirect3DSurface8** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    renderTarget_->AddRef();
    *surface = renderTarget_;
    return D3D_OK;
}

HRESULT DeviceGL::GetDepthStencilSurface(IDirect3DSurface8** surface)
{
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = depthStencil_;
    if (!depthStencil_)
        return D3DERR_NOTFOUND;
    depthStencil_->AddRef();
    return D3D_OK;
}

// ---------------------------------------------------------------------------- scenes, clear

HRESULT DeviceGL::BeginScene()
{
    if (inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT DeviceGL::EndScene()
{
    if (!inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT DeviceGL::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if ((flags & D3DCLEAR_ZBUFFER) && !depthStencil_)
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && !(depthStencil_ && depthStencil_->hasStencil()))
        return D3DERR_INVALIDCALL;
    if (count && !rects)
        return D3DERR_INVALIDCALL;
    if (lost_)
        return D3D_OK;
    GLbitfield mask = 0;
    if (flags & D3DCLEAR_TARGET)
        mask |= GL_COLOR_BUFFER_BIT;
    if (flags & D3DCLEAR_ZBUFFER)
        mask |= GL_DEPTH_BUFFER_BIT;
    if (flags & D3DCLEAR_STENCIL)
        mask |= GL_STENCIL_BUFFER_BIT;
    if (!mask)
        return D3D_OK;
    makeCurrent();
    glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFFFFFFFF);
    glClearColor(static_cast<float>(color >> 16 & 0xFF) / 255.0f, static_cast<float>(color >> 8 & 0xFF) / 255.0f,
                 static_cast<float>(color & 0xFF) / 255.0f, static_cast<float>(color >> 24) / 255.0f);
    glClearDepth(std::clamp(z, 0.0f, 1.0f));
    glClearStencil(static_cast<GLint>(stencil));
    glEnable(GL_SCISSOR_TEST);
    // Rectangles are cleared where they meet the viewport. Rows are stored top row first,
    // so Direct3D's rectangles are OpenGL's scissor boxes as they are.
    const long vx1 = static_cast<long>(viewport_.X), vy1 = static_cast<long>(viewport_.Y);
    const long vx2 = vx1 + static_cast<long>(viewport_.Width), vy2 = vy1 + static_cast<long>(viewport_.Height);
    const D3DRECT whole{vx1, vy1, vx2, vy2};
    for (DWORD i = 0; i < std::max<DWORD>(count, 1); ++i) {
        const D3DRECT& r = count ? rects[i] : whole;
        const long x1 = std::max(r.x1, vx1), y1 = std::max(r.y1, vy1);
        const long x2 = std::min(r.x2, vx2), y2 = std::min(r.y2, vy2);
        if (x1 >= x2 || y1 >= y2)
            continue;
        glScissor(static_cast<GLint>(x1), static_cast<GLint>(y1), static_cast<GLsizei>(x2 - x1),
                  static_cast<GLsizei>(y2 - y1));
        glClear(mask);
    }
    glDisable(GL_SCISSOR_TEST);
    statesDirty_ = true;  // the write masks are the render states' again at the next draw
    bound_.reset();
    return D3D_OK;
}

}  // namespace mirva
