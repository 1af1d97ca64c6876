#include "platform/d3d8/direct3d_gl.h"
#include "platform/d3d8/failure_report.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/d3d8/device_gl.h"
#include "platform/d3d8/format_gl.h"
#include "platform/d3d8/gl_context.h"
#include "platform/d3d8/simulation.h"

namespace mirva {

namespace {

constexpr D3DFORMAT kColorCandidates[] = {
    D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8,   D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5,
    D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4, D3DFMT_R3G3B2,   D3DFMT_A8,     D3DFMT_L8,       D3DFMT_A8L8,
};
constexpr D3DFORMAT kDepthCandidates[] = {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D32, D3DFMT_D24S8};
// Render targets are offered only in the formats a back buffer may have.
constexpr D3DFORMAT kRenderTargetCandidates[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8,
                                                 D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};

// Without a screen: a fixed list that always has the 640 x 480 32-bit mode, the one
// the program prefers for full screen, and that mode as the desktop.
void headlessModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop)
{
    const UINT sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};
    for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8})
        for (const auto& size : sizes)
            modes.push_back({size[0], size[1], 60, format});
    desktop = {640, 480, 60, D3DFMT_X8R8G8B8};
}

bool texturable(const GLFormat& format)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    while (glGetError() != GL_NO_ERROR) {
    }
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format.internalFormat), 4, 4, 0, format.clientFormat,
                 format.clientType, nullptr);
    const bool ok = glGetError() == GL_NO_ERROR;
    glDeleteTextures(1, &texture);
    return ok;
}

// Whether a frame buffer with this colour texture format and depth format (either may be
// absent) is complete.
bool renderable(const GLFormat* color, const GLFormat* depth)
{
    GLuint framebuffer = 0, texture = 0, renderbuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    while (glGetError() != GL_NO_ERROR) {
    }
    if (color) {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(color->internalFormat), 4, 4, 0, color->clientFormat,
                     color->clientType, nullptr);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    } else {
        glDrawBuffer(GL_NONE);
        glReadBuffer(GL_NONE);
    }
    if (depth) {
        glGenRenderbuffers(1, &renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, depth->internalFormat, 4, 4);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, depth->stencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                  GL_RENDERBUFFER, renderbuffer);
    }
    const bool ok =
        glGetError() == GL_NO_ERROR && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
    glDeleteRenderbuffers(1, &renderbuffer);
    return ok;
}

void copyText(char (&dest)[512], const char* text)
{
    std::strncpy(dest, text ? text : "", sizeof dest - 1);
    dest[sizeof dest - 1] = '\0';
}

}  // namespace

Direct3DGL* Direct3DGL::create()
{
    std::string error;
    std::unique_ptr<GLContext> probe = GLContext::createProbe(error);
    if (!probe) {
        reportGraphicsFailure("no OpenGL 3.3 to draw with: " + error);
        return nullptr;
    }
    auto* d3d = new Direct3DGL;
    copyText(d3d->identifier_.Description, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    copyText(d3d->identifier_.Driver, reinterpret_cast<const char*>(glGetString(GL_VERSION)));

    for (D3DFORMAT candidate : kColorCandidates)
        if (const GLFormat* format = glFormat(candidate); format && texturable(*format))
            d3d->textureFormats_.insert(candidate);
    for (D3DFORMAT candidate : kRenderTargetCandidates)
        if (const GLFormat* format = glFormat(candidate); format && renderable(format, nullptr))
            d3d->renderTargetFormats_.insert(candidate);
    for (D3DFORMAT candidate : kDepthCandidates)
        if (renderable(nullptr, glFormat(candidate)))
            d3d->depthFormats_.insert(candidate);
    for (D3DFORMAT target : d3d->renderTargetFormats_)
        for (D3DFORMAT depth : d3d->depthFormats_)
            if (renderable(glFormat(target), glFormat(depth)))
                d3d->depthMatches_.insert({target, depth});

    GLint value = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &value);
    d3d->maxSamples_ = value;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &value);
    D3DCAPS8& caps = d3d->caps_;
    caps.MaxTextureWidth = caps.MaxTextureHeight = static_cast<DWORD>(value);
    glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &value);
    caps.MaxSimultaneousTextures = static_cast<DWORD>(std::min(value, static_cast<GLint>(D3D_TEXTURE_STAGES)));
    caps.MaxTextureBlendStages = D3D_TEXTURE_STAGES;
    caps.MaxActiveLights = 8;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 255;
    caps.MaxVertexShaderConst = 96;
    caps.VertexShaderVersion = 0xFFFE0101;  // vs.1.1
    caps.MaxPrimitiveCount = 0xFFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    GLfloat pointSizes[2] = {1, 1};
    glGetFloatv(GL_POINT_SIZE_RANGE, pointSizes);
    caps.MaxPointSize = pointSizes[1];
    probe.reset();

    if (!screenDisplayModes(d3d->modes_, d3d->desktop_)) {
        d3d->modes_.clear();
        headlessModes(d3d->modes_, d3d->desktop_);
    }
    return d3d;
}

UINT Direct3DGL::AddRef()
{
    return ++references_;
}

UINT Direct3DGL::Release()
{
    const UINT left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Direct3DGL::checkAdapter(UINT adapter, D3DDEVTYPE type) const
{
    if (adapter != 0)
        return D3DERR_INVALIDCALL;
    return type == D3DDEVTYPE_HAL ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DGL::GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* identifier)
{
    if (adapter != 0 || !identifier)
        return D3DERR_INVALIDCALL;
    *identifier = identifier_;
    return D3D_OK;
}

const std::vector<D3DDISPLAYMODE>& Direct3DGL::modes() const
{
    const D3DSimulation& simulation = d3dSimulation();
    return simulation.replaceModes ? simulation.modes : modes_;
}

const D3DDISPLAYMODE& Direct3DGL::desktop() const
{
    const D3DSimulation& simulation = d3dSimulation();
    return simulation.replaceModes ? simulation.desktop : desktop_;
}

UINT Direct3DGL::GetAdapterModeCount(UINT adapter)
{
    return adapter == 0 ? static_cast<UINT>(modes().size()) : 0;
}

HRESULT Direct3DGL::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode)
{
    if (adapter != 0 || mode >= modes().size() || !displayMode)
        return D3DERR_INVALIDCALL;
    *displayMode = modes()[mode];
    return D3D_OK;
}

HRESULT Direct3DGL::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode)
{
    if (adapter != 0 || !displayMode)
        return D3DERR_INVALIDCALL;
    *displayMode = desktop();
    return D3D_OK;
}

HRESULT Direct3DGL::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                    D3DFORMAT backBufferFormat, BOOL windowed)
{
    if (HRESULT hr = checkAdapter(adapter, type); hr != D3D_OK)
        return hr;
    const std::vector<D3DDISPLAYMODE>& known = modes();
    const bool displayKnown = std::any_of(known.begin(), known.end(),
                                          [&](const D3DDISPLAYMODE& m) { return m.Format == displayFormat; }) ||
                              desktop().Format == displayFormat;
    if (!displayKnown || renderTargetFormats_.count(backBufferFormat) == 0)
        return D3DERR_NOTAVAILABLE;
    if (windowed && d3dSimulation().noWindowedBackBuffers)
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

bool Direct3DGL::isRenderTargetFormat(D3DFORMAT format) const
{
    const D3DSimulation& simulation = d3dSimulation();
    if (simulation.restrictRenderTargets &&
        std::find(simulation.renderTargetFormats.begin(), simulation.renderTargetFormats.end(), format) ==
            simulation.renderTargetFormats.end())
        return false;
    return renderTargetFormats_.count(format) != 0;
}

bool Direct3DGL::isSampleCount(D3DMULTISAMPLE_TYPE multiSample) const
{
    const int samples = static_cast<int>(multiSample);
    return samples == 0 || (samples >= 2 && samples <= maxSamples_ && (samples & (samples - 1)) == 0);
}

HRESULT Direct3DGL::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT, DWORD usage,
                                      D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat)
{
    if (HRESULT hr = checkAdapter(adapter, type); hr != D3D_OK)
        return hr;
    bool ok = false;
    if (usage & D3DUSAGE_DEPTHSTENCIL)
        ok = resourceType == D3DRTYPE_SURFACE && isDepthFormat(checkFormat);
    else if (usage & D3DUSAGE_RENDERTARGET)
        ok = (resourceType == D3DRTYPE_SURFACE || resourceType == D3DRTYPE_TEXTURE) &&
             isRenderTargetFormat(checkFormat);
    else
        ok = (resourceType == D3DRTYPE_SURFACE || resourceType == D3DRTYPE_TEXTURE) && isTextureFormat(checkFormat);
    return ok ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DGL::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, BOOL,
                                               D3DMULTISAMPLE_TYPE multiSample)
{
    if (HRESULT hr = checkAdapter(adapter, type); hr != D3D_OK)
        return hr;
    if (multiSample == 1 || static_cast<DWORD>(multiSample) > 16)
        return D3DERR_INVALIDCALL;
    const bool formatOk = renderTargetFormats_.count(surfaceFormat) || depthFormats_.count(surfaceFormat);
    return formatOk && isSampleCount(multiSample) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DGL::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT,
                                           D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat)
{
    if (HRESULT hr = checkAdapter(adapter, type); hr != D3D_OK)
        return hr;
    return depthMatches_.count({renderTargetFormat, depthStencilFormat}) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

D3DCAPS8 Direct3DGL::caps() const
{
    D3DCAPS8 caps = caps_;
    if (d3dSimulation().powerOfTwoTextures)
        caps.TextureCaps |= D3DPTEXTURECAPS_POW2;
    if (d3dSimulation().largestTexture > 0)
        caps.MaxTextureWidth = caps.MaxTextureHeight = d3dSimulation().largestTexture;
    return caps;
}

HRESULT Direct3DGL::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps)
{
    if (HRESULT hr = checkAdapter(adapter, type); hr != D3D_OK)
        return hr;
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = this->caps();
    return D3D_OK;
}

HRESULT Direct3DGL::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                 D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice8** device)
{
    if (HRESULT hr = checkAdapter(adapter, type); hr != D3D_OK)
        return hr;
    if (!parameters || !device)
        return D3DERR_INVALIDCALL;
    *device = nullptr;
    return DeviceGL::create(this, focusWindow, behaviorFlags, *parameters, device);
}

D3DStatistics& d3dStatistics()
{
    static D3DStatistics statistics;
    return statistics;
}

D3DSimulation& d3dSimulation()
{
    static D3DSimulation simulation;
    return simulation;
}

IDirect3D8* Direct3DCreate8(UINT sdkVersion)
{
    if (sdkVersion != D3D_SDK_VERSION)
        return nullptr;
    return Direct3DGL::create();
}

}  // namespace mirva
