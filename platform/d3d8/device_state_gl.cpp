// The device's states: Direct3D's defaults, the Set/Get calls, and their translation into
// OpenGL state, sampler objects and the key of the generated fixed-function program.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/d3d8/device_gl.h"
#include "platform/d3d8/resource_gl.h"

namespace mirva {

D3DMATRIX identityMatrix()
{
    D3DMATRIX m;
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

D3DMATRIX multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

namespace {

GLenum compareFunction(DWORD func)
{
    // D3DCMP_NEVER..ALWAYS are in the same order as GL_NEVER..GL_ALWAYS.
    return func >= D3DCMP_NEVER && func <= D3DCMP_ALWAYS ? GL_NEVER + (func - D3DCMP_NEVER) : GL_ALWAYS;
}

GLenum blendFactor(DWORD blend)
{
    switch (blend) {
    case D3DBLEND_ZERO: return GL_ZERO;
    case D3DBLEND_ONE: return GL_ONE;
    case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT: return GL_SRC_ALPHA_SATURATE;
    default: return GL_ONE;
    }
}

GLenum blendEquation(DWORD op)
{
    switch (op) {
    case D3DBLENDOP_SUBTRACT: return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT: return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN: return GL_MIN;
    case D3DBLENDOP_MAX: return GL_MAX;
    default: return GL_FUNC_ADD;
    }
}

GLenum stencilOperation(DWORD op)
{
    static const GLenum ops[] = {GL_KEEP, GL_KEEP, GL_ZERO, GL_REPLACE, GL_INCR, GL_DECR, GL_INVERT, GL_INCR_WRAP,
                                 GL_DECR_WRAP};
    return op < 9 ? ops[op] : GL_KEEP;
}

GLint addressMode(DWORD address)
{
    switch (address) {
    case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE: return GL_MIRRORED_REPEAT;
    default: return GL_REPEAT;
    }
}

GLint minificationFilter(DWORD min, DWORD mip)
{
    const bool linear = min != D3DTEXF_POINT && min != D3DTEXF_NONE;
    switch (mip) {
    case D3DTEXF_POINT: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case D3DTEXF_LINEAR:
    case D3DTEXF_ANISOTROPIC: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default: return linear ? GL_LINEAR : GL_NEAREST;
    }
}

bool validOperation(DWORD op)
{
    return op >= D3DTOP_DISABLE && op <= D3DTOP_LERP && op != D3DTOP_BUMPENVMAP && op != D3DTOP_BUMPENVMAPLUMINANCE;
}

bool validArgument(DWORD arg)
{
    return (arg & D3DTA_SELECTMASK) <= D3DTA_TEMP && (arg & ~(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE)) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------- defaults

void DeviceGL::resetStates()
{
    std::fill(std::begin(renderStates_), std::end(renderStates_), 0u);
    DWORD* rs = renderStates_;
    rs[D3DRS_ZENABLE] = parameters_.EnableAutoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = TRUE;
    rs[D3DRS_LASTPIXEL] = TRUE;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGEND] = floatBits(1.0f);
    rs[D3DRS_FOGDENSITY] = floatBits(1.0f);
    rs[D3DRS_STENCILFAIL] = rs[D3DRS_STENCILZFAIL] = rs[D3DRS_STENCILPASS] = 1;  // D3DSTENCILOP_KEEP
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[D3DRS_CLIPPING] = TRUE;
    rs[D3DRS_LIGHTING] = TRUE;
    rs[D3DRS_COLORVERTEX] = TRUE;
    rs[D3DRS_LOCALVIEWER] = TRUE;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_SOFTWAREVERTEXPROCESSING] = (behaviorFlags_ & D3DCREATE_SOFTWARE_VERTEXPROCESSING) ? TRUE : FALSE;
    rs[D3DRS_POINTSIZE] = floatBits(1.0f);
    rs[D3DRS_POINTSIZE_MIN] = floatBits(0.0f);
    rs[D3DRS_POINTSCALE_A] = floatBits(1.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = TRUE;
    rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
    rs[D3DRS_POINTSIZE_MAX] = floatBits(64.0f);
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;

    for (DWORD stage = 0; stage < D3D_TEXTURE_STAGES; ++stage) {
        DWORD* ts = stageStates_[stage];
        std::fill(ts, ts + D3D_TEXTURE_STAGE_STATE_COUNT, 0u);
        ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = stage;
        ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = ts[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
        ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        ts[D3DTSS_MAXANISOTROPY] = 1;
        ts[D3DTSS_COLORARG0] = ts[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
        ts[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    }
    world_ = view_ = projection_ = identityMatrix();
    for (D3DMATRIX& m : textureTransforms_)
        m = identityMatrix();
    material_ = {};
    lights_.clear();
    std::fill(std::begin(textures_), std::end(textures_), nullptr);
    stream_ = nullptr;
    streamStride_ = 0;
    indices_ = nullptr;
    baseVertexIndex_ = 0;
    vertexShader_ = 0;
    for (auto& c : shaderConstants_)
        std::fill(std::begin(c), std::end(c), 0.0f);
    for (int i = 0; i < 256; ++i)
        gammaRamp_.red[i] = gammaRamp_.green[i] = gammaRamp_.blue[i] = static_cast<WORD>(i * 257);
    statesDirty_ = samplersDirty_ = true;
}

// ---------------------------------------------------------------------------- Set / Get

HRESULT DeviceGL::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    if (state == D3DTS_VIEW)
        view_ = *matrix;
    else if (state == D3DTS_PROJECTION)
        projection_ = *matrix;
    else if (state == D3DTS_WORLD)
        world_ = *matrix;
    else if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + D3D_TEXTURE_STAGES)
        textureTransforms_[state - D3DTS_TEXTURE0] = *matrix;
    else if (state < D3DTS_WORLD || state > D3DTS_WORLD + 255)
        return D3DERR_INVALIDCALL;
    return D3D_OK;  // the blending world matrices 1..255 are accepted and not used
}

HRESULT DeviceGL::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    if (!matrix)
        return D3DERR_INVALIDCALL;
    if (state == D3DTS_VIEW)
        *matrix = view_;
    else if (state == D3DTS_PROJECTION)
        *matrix = projection_;
    else if (state == D3DTS_WORLD)
        *matrix = world_;
    else if (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + D3D_TEXTURE_STAGES)
        *matrix = textureTransforms_[state - D3DTS_TEXTURE0];
    else
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT DeviceGL::SetViewport(const D3DVIEWPORT8* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC target = renderTarget_->desc();
    if (viewport->Width == 0 || viewport->Height == 0 || viewport->X + viewport->Width > target.Width ||
        viewport->Y + viewport->Height > target.Height || viewport->MinZ < 0 || viewport->MaxZ > 1 ||
        viewport->MinZ > viewport->MaxZ)
        return D3DERR_INVALIDCALL;
    if (std::memcmp(&viewport_, viewport, sizeof viewport_) != 0) {
        viewport_ = *viewport;
        statesDirty_ = true;
    }
    return D3D_OK;
}

HRESULT DeviceGL::GetViewport(D3DVIEWPORT8* viewport)
{
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT DeviceGL::SetMaterial(const D3DMATERIAL8* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    material_ = *material;
    return D3D_OK;
}

HRESULT DeviceGL::GetMaterial(D3DMATERIAL8* material)
{
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = material_;
    return D3D_OK;
}

HRESULT DeviceGL::SetLight(DWORD index, const D3DLIGHT8* light)
{
    if (!light || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL || light->Range < 0)
        return D3DERR_INVALIDCALL;
    const D3DVECTOR& d = light->Direction;
    if (light->Type != D3DLIGHT_POINT && d.x == 0 && d.y == 0 && d.z == 0)
        return D3DERR_INVALIDCALL;
    lights_[index].light = *light;
    return D3D_OK;
}

HRESULT DeviceGL::GetLight(DWORD index, D3DLIGHT8* light)
{
    const auto found = lights_.find(index);
    if (!light || found == lights_.end())
        return D3DERR_INVALIDCALL;
    *light = found->second.light;
    return D3D_OK;
}

HRESULT DeviceGL::LightEnable(DWORD index, BOOL enable)
{
    // A slot that was never set gets the default light: white, directional, along +z.
    LightSlot& slot = lights_[index];
    if (enable) {
        const auto active = std::count_if(lights_.begin(), lights_.end(),
                                          [&](const auto& entry) { return entry.second.enabled && entry.first != index; });
        if (active >= kMaxLights)
            return D3DERR_INVALIDCALL;
    }
    slot.enabled = enable != FALSE;
    return D3D_OK;
}

HRESULT DeviceGL::GetLightEnable(DWORD index, BOOL* enable)
{
    const auto found = lights_.find(index);
    if (!enable || found == lights_.end())
        return D3DERR_INVALIDCALL;
    *enable = found->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT DeviceGL::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= D3D_RENDER_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    if (renderStates_[state] != value) {
        renderStates_[state] = value;
        statesDirty_ = true;
    }
    return D3D_OK;
}

HRESULT DeviceGL::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (state >= D3D_RENDER_STATE_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = renderStates_[state];
    return D3D_OK;
}

HRESULT DeviceGL::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture)
{
    if (stage >= D3D_TEXTURE_STAGES)
        return D3DERR_INVALIDCALL;
    auto* gl = texture ? dynamic_cast<TextureGL*>(texture) : nullptr;
    if (texture && (!gl || gl->device() != this))
        return D3DERR_INVALIDCALL;
    textures_[stage] = gl;
    return D3D_OK;
}

HRESULT DeviceGL::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture)
{
    if (stage >= D3D_TEXTURE_STAGES || !texture)
        return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (textures_[stage])
        textures_[stage]->AddRef();
    return D3D_OK;
}

HRESULT DeviceGL::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= D3D_TEXTURE_STAGES || type >= D3D_TEXTURE_STAGE_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    if (stageStates_[stage][type] != value) {
        stageStates_[stage][type] = value;
        samplersDirty_ = true;
    }
    return D3D_OK;
}

HRESULT DeviceGL::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (stage >= D3D_TEXTURE_STAGES || type >= D3D_TEXTURE_STAGE_STATE_COUNT || !value)
        return D3DERR_INVALIDCALL;
    *value = stageStates_[stage][type];
    return D3D_OK;
}

HRESULT DeviceGL::validateStages() const
{
    for (DWORD stage = 0; stage < D3D_TEXTURE_STAGES; ++stage) {
        const DWORD* ts = stageStates_[stage];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        if (!validOperation(ts[D3DTSS_COLOROP]))
            return D3DERR_UNSUPPORTEDCOLOROPERATION;
        if (!validOperation(ts[D3DTSS_ALPHAOP]))
            return D3DERR_UNSUPPORTEDALPHAOPERATION;
        if (!validArgument(ts[D3DTSS_COLORARG0]) || !validArgument(ts[D3DTSS_COLORARG1]) ||
            !validArgument(ts[D3DTSS_COLORARG2]))
            return D3DERR_UNSUPPORTEDCOLORARG;
        if (!validArgument(ts[D3DTSS_ALPHAARG0]) || !validArgument(ts[D3DTSS_ALPHAARG1]) ||
            !validArgument(ts[D3DTSS_ALPHAARG2]))
            return D3DERR_UNSUPPORTEDALPHAARG;
    }
    return D3D_OK;
}

HRESULT DeviceGL::ValidateDevice(DWORD* passes)
{
    if (!passes)
        return D3DERR_INVALIDCALL;
    *passes = 0;
    const HRESULT hr = validateStages();
    if (SUCCEEDED(hr))
        *passes = 1;
    return hr;
}

// ---------------------------------------------------------------------------- to OpenGL

void DeviceGL::applyStates()
{
    const DWORD* rs = renderStates_;
    BoundStates want;
    want.depthTest = depthStencil_ && rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    want.depthFunc = compareFunction(rs[D3DRS_ZFUNC]);
    want.depthMask = rs[D3DRS_ZWRITEENABLE] != 0;
    want.blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
    want.blendSource = blendFactor(rs[D3DRS_SRCBLEND]);
    want.blendDest = blendFactor(rs[D3DRS_DESTBLEND]);
    if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHSRCALPHA) {
        want.blendSource = GL_SRC_ALPHA;
        want.blendDest = GL_ONE_MINUS_SRC_ALPHA;
    } else if (rs[D3DRS_SRCBLEND] == D3DBLEND_BOTHINVSRCALPHA) {
        want.blendSource = GL_ONE_MINUS_SRC_ALPHA;
        want.blendDest = GL_SRC_ALPHA;
    }
    want.blendEquation = blendEquation(rs[D3DRS_BLENDOP]);
    // Rows are stored top row first, which turns every triangle's winding over: what
    // Direct3D sees clockwise on the screen, OpenGL sees anticlockwise (its front, set
    // when the context is made).
    want.cullFace = rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_FRONT : rs[D3DRS_CULLMODE] == D3DCULL_CCW ? GL_BACK : GL_NONE;
    const DWORD fill = rs[D3DRS_FILLMODE];
    want.polygonMode = fill == D3DFILL_POINT ? GL_POINT : fill == D3DFILL_WIREFRAME ? GL_LINE : GL_FILL;
    want.colorMask = rs[D3DRS_COLORWRITEENABLE] & 15;
    want.stencil = rs[D3DRS_STENCILENABLE] && depthStencil_ && depthStencil_->hasStencil();
    want.stencilFunc = compareFunction(rs[D3DRS_STENCILFUNC]);
    want.stencilReference = static_cast<GLint>(rs[D3DRS_STENCILREF]);
    want.stencilMask = rs[D3DRS_STENCILMASK];
    want.stencilFail = stencilOperation(rs[D3DRS_STENCILFAIL]);
    want.stencilDepthFail = stencilOperation(rs[D3DRS_STENCILZFAIL]);
    want.stencilPass = stencilOperation(rs[D3DRS_STENCILPASS]);
    want.stencilWriteMask = rs[D3DRS_STENCILWRITEMASK];
    want.multisample = rs[D3DRS_MULTISAMPLEANTIALIAS] != 0;
    // Rows top row first: Direct3D's viewport rectangle is OpenGL's as it is.
    want.viewport[0] = static_cast<GLint>(viewport_.X);
    want.viewport[1] = static_cast<GLint>(viewport_.Y);
    want.viewport[2] = static_cast<GLint>(viewport_.Width);
    want.viewport[3] = static_cast<GLint>(viewport_.Height);
    want.depthRange[0] = viewport_.MinZ;
    want.depthRange[1] = viewport_.MaxZ;
    sendStates(want);
    statesDirty_ = false;
}

void DeviceGL::sendStates(const BoundStates& want)
{
    const bool all = !bound_;
    const BoundStates& had = all ? want : *bound_;
    const auto toggle = [](GLenum capability, bool on) { on ? glEnable(capability) : glDisable(capability); };
    if (all || want.depthTest != had.depthTest)
        toggle(GL_DEPTH_TEST, want.depthTest);
    if (all || want.depthFunc != had.depthFunc)
        glDepthFunc(want.depthFunc);
    if (all || want.depthMask != had.depthMask)
        glDepthMask(want.depthMask ? GL_TRUE : GL_FALSE);
    if (all || want.blend != had.blend)
        toggle(GL_BLEND, want.blend);
    // Blending's and the stencil test's parameters are sent as they change, on or off: GL
    // keeps them while the test is off, so turning it on needs nothing more.
    if (all || want.blendSource != had.blendSource || want.blendDest != had.blendDest)
        glBlendFunc(want.blendSource, want.blendDest);
    if (all || want.blendEquation != had.blendEquation)
        glBlendEquation(want.blendEquation);
    if (all || want.cullFace != had.cullFace) {
        toggle(GL_CULL_FACE, want.cullFace != GL_NONE);
        if (want.cullFace != GL_NONE)
            glCullFace(want.cullFace);
    }
    if (all || want.polygonMode != had.polygonMode)
        glPolygonMode(GL_FRONT_AND_BACK, want.polygonMode);
    if (all || want.colorMask != had.colorMask)
        glColorMask(want.colorMask & 1 ? GL_TRUE : GL_FALSE, want.colorMask & 2 ? GL_TRUE : GL_FALSE,
                    want.colorMask & 4 ? GL_TRUE : GL_FALSE, want.colorMask & 8 ? GL_TRUE : GL_FALSE);
    if (all || want.stencil != had.stencil)
        toggle(GL_STENCIL_TEST, want.stencil);
    if (all || want.stencilFunc != had.stencilFunc || want.stencilReference != had.stencilReference ||
        want.stencilMask != had.stencilMask)
        glStencilFunc(want.stencilFunc, want.stencilReference, want.stencilMask);
    if (all || want.stencilFail != had.stencilFail || want.stencilDepthFail != had.stencilDepthFail ||
        want.stencilPass != had.stencilPass)
        glStencilOp(want.stencilFail, want.stencilDepthFail, want.stencilPass);
    if (all || want.stencilWriteMask != had.stencilWriteMask)
        glStencilMask(want.stencilWriteMask);
    if (all || want.multisample != had.multisample)
        toggle(GL_MULTISAMPLE, want.multisample);
    if (all || std::memcmp(want.viewport, had.viewport, sizeof want.viewport) != 0)
        glViewport(want.viewport[0], want.viewport[1], want.viewport[2], want.viewport[3]);
    if (all || want.depthRange[0] != had.depthRange[0] || want.depthRange[1] != had.depthRange[1])
        glDepthRange(want.depthRange[0], want.depthRange[1]);
    bound_ = want;
}

void DeviceGL::applySamplers()
{
    for (DWORD stage = 0; stage < D3D_TEXTURE_STAGES; ++stage) {
        const DWORD* ts = stageStates_[stage];
        const std::array<DWORD, kSamplerStates> states = {
            ts[D3DTSS_ADDRESSU],  ts[D3DTSS_ADDRESSV],      ts[D3DTSS_ADDRESSW],
            ts[D3DTSS_MAGFILTER], ts[D3DTSS_MINFILTER],     ts[D3DTSS_MIPFILTER],
            ts[D3DTSS_MIPMAPLODBIAS], ts[D3DTSS_MAXMIPLEVEL], ts[D3DTSS_BORDERCOLOR]};
        if (boundSamplers_[stage] == states)
            continue;
        boundSamplers_[stage] = states;
        const GLuint sampler = samplers_[stage];
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, addressMode(ts[D3DTSS_ADDRESSU]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, addressMode(ts[D3DTSS_ADDRESSV]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, addressMode(ts[D3DTSS_ADDRESSW]));
        const DWORD mag = ts[D3DTSS_MAGFILTER];
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                            mag == D3DTEXF_POINT || mag == D3DTEXF_NONE ? GL_NEAREST : GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                            minificationFilter(ts[D3DTSS_MINFILTER], ts[D3DTSS_MIPFILTER]));
        glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bitsFloat(ts[D3DTSS_MIPMAPLODBIAS]));
        glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(ts[D3DTSS_MAXMIPLEVEL]));
        const D3DCOLORVALUE border = colorValue(ts[D3DTSS_BORDERCOLOR]);
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, &border.r);
    }
    samplersDirty_ = false;
}

std::vector<const D3DLIGHT8*> DeviceGL::activeLights() const
{
    std::vector<const D3DLIGHT8*> lights;
    for (const auto& [index, slot] : lights_)
        if (slot.enabled && lights.size() < static_cast<std::size_t>(kMaxLights))
            lights.push_back(&slot.light);
    return lights;
}

FfpKey DeviceGL::shaderKey() const
{
    FfpKey key;
    const DWORD* rs = renderStates_;
    const bool programmable = (vertexShader_ & 1) != 0;
    if (programmable) {
        key.vertexShader = vertexShader_;
    } else {
        const DWORD fvf = vertexShader_;
        key.pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW ? 1 : 0;
        if (!key.pretransformed && rs[D3DRS_LIGHTING]) {
            key.lighting = 1;
            for (const D3DLIGHT8* light : activeLights())
                key.lightType[key.lightCount++] = static_cast<BYTE>(light->Type);
            // Vertex colours stand in for material colours only where the vertex has them.
            const auto source = [&](D3DRENDERSTATETYPE state) -> BYTE {
                const DWORD value = rs[state];
                if (!rs[D3DRS_COLORVERTEX] || (value == D3DMCS_COLOR1 && !(fvf & D3DFVF_DIFFUSE)) ||
                    (value == D3DMCS_COLOR2 && !(fvf & D3DFVF_SPECULAR)) || value > D3DMCS_COLOR2)
                    return D3DMCS_MATERIAL;
                return static_cast<BYTE>(value);
            };
            key.materialSource[0] = source(D3DRS_DIFFUSEMATERIALSOURCE);
            key.materialSource[1] = source(D3DRS_AMBIENTMATERIALSOURCE);
            key.materialSource[2] = source(D3DRS_SPECULARMATERIALSOURCE);
            key.materialSource[3] = source(D3DRS_EMISSIVEMATERIALSOURCE);
            key.localViewer = rs[D3DRS_LOCALVIEWER] ? 1 : 0;
            key.normalizeNormals = rs[D3DRS_NORMALIZENORMALS] ? 1 : 0;
        }
    }
    if (rs[D3DRS_FOGENABLE]) {
        const DWORD table = rs[D3DRS_FOGTABLEMODE];
        if (table >= D3DFOG_EXP && table <= D3DFOG_LINEAR) {
            key.fog = 2;
            key.tableFog = static_cast<BYTE>(table);
        } else {
            key.fog = 1;
            if (!programmable && !key.pretransformed) {
                const DWORD mode = rs[D3DRS_FOGVERTEXMODE];
                key.vertexFog = static_cast<BYTE>(mode <= D3DFOG_LINEAR ? mode : D3DFOG_NONE);
                key.rangeFog = key.vertexFog != D3DFOG_NONE && rs[D3DRS_RANGEFOGENABLE] ? 1 : 0;
            }
        }
    }
    for (DWORD i = 0; i < D3D_TEXTURE_STAGES; ++i) {
        const DWORD* ts = stageStates_[i];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        FfpStageKey& stage = key.stage[i];
        stage.colorOp = static_cast<BYTE>(ts[D3DTSS_COLOROP]);
        stage.colorArg[0] = static_cast<BYTE>(ts[D3DTSS_COLORARG0]);
        stage.colorArg[1] = static_cast<BYTE>(ts[D3DTSS_COLORARG1]);
        stage.colorArg[2] = static_cast<BYTE>(ts[D3DTSS_COLORARG2]);
        stage.alphaOp = static_cast<BYTE>(ts[D3DTSS_ALPHAOP]);
        stage.alphaArg[0] = static_cast<BYTE>(ts[D3DTSS_ALPHAARG0]);
        stage.alphaArg[1] = static_cast<BYTE>(ts[D3DTSS_ALPHAARG1]);
        stage.alphaArg[2] = static_cast<BYTE>(ts[D3DTSS_ALPHAARG2]);
        stage.texCoordIndex = static_cast<BYTE>(ts[D3DTSS_TEXCOORDINDEX] & 7);
        stage.hasTexture = textures_[i] ? 1 : 0;
        stage.resultTemp = ts[D3DTSS_RESULTARG] == D3DTA_TEMP ? 1 : 0;
        key.stageCount = static_cast<BYTE>(i + 1);
    }
    key.alphaFunc = static_cast<BYTE>(rs[D3DRS_ALPHATESTENABLE] ? rs[D3DRS_ALPHAFUNC] : D3DCMP_ALWAYS);
    key.specularAdd = rs[D3DRS_SPECULARENABLE] ? 1 : 0;
    key.flatShading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? 1 : 0;
    return key;
}

}  // namespace mirva
