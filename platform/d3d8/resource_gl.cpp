#include "platform/d3d8/resource_gl.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d8/device_gl.h"
#include "platform/d3d8/format_gl.h"

namespace mirva {

// ---------------------------------------------------------------------------- ResourceGL

ResourceGL::ResourceGL(DeviceGL* device, D3DPOOL pool, bool counted) : device_(device), pool_(pool), counted_(counted)
{
    device_->registerResource(this);
    if (counted_)
        device_->AddRef();
}

ResourceGL::~ResourceGL()
{
    device_->unregisterResource(this);
    if (counted_)
        device_->Release();
}

HRESULT SurfaceGL::GetDesc(D3DSURFACE_DESC* out)
{
    if (!out)
        return D3DERR_INVALIDCALL;
    *out = desc();
    return D3D_OK;
}

namespace {

// The part of a lockable block of rows that a rectangle selects.
HRESULT lockRows(BYTE* base, int pitch, int bytesPerPixel, UINT width, UINT height, const RECT* rect,
                 D3DLOCKED_RECT* locked)
{
    if (!locked)
        return D3DERR_INVALIDCALL;
    long left = 0, top = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->right > static_cast<long>(width) ||
            rect->bottom > static_cast<long>(height) || rect->left >= rect->right || rect->top >= rect->bottom)
            return D3DERR_INVALIDCALL;
        left = rect->left;
        top = rect->top;
    }
    locked->Pitch = pitch;
    locked->pBits = base + top * pitch + left * bytesPerPixel;
    return D3D_OK;
}

}  // namespace

// ---------------------------------------------------------------------------- textures

UINT LevelSurfaceGL::AddRef()
{
    return texture_->AddRef();
}

UINT LevelSurfaceGL::Release()
{
    return texture_->Release();
}

HRESULT LevelSurfaceGL::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    return texture_->LockRect(level_, locked, rect, flags);
}

HRESULT LevelSurfaceGL::UnlockRect()
{
    return texture_->UnlockRect(level_);
}

D3DSURFACE_DESC LevelSurfaceGL::desc() const
{
    return texture_->levelDesc(level_);
}

void LevelSurfaceGL::attach(GLenum attachment)
{
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture_->name(),
                           static_cast<GLint>(level_));
}

TextureGL::TextureGL(DeviceGL* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                     D3DPOOL pool)
    : ResourceGL(device, pool, true), usage_(usage), format_(format), gl_(glFormat(format)),
      pixel_(pixelFormat(format))
{
    levels_.resize(levels);
    for (UINT i = 0; i < levels; ++i) {
        Level& level = levels_[i];
        level.width = std::max(1u, width >> i);
        level.height = std::max(1u, height >> i);
        level.pitch = pixel_ ? rowPitch(*pixel_, static_cast<int>(level.width)) : 0;
        if (pool != D3DPOOL_DEFAULT && pixel_)
            level.data.assign(static_cast<std::size_t>(level.pitch) * level.height, 0);
        level.surface = std::make_unique<LevelSurfaceGL>(this, i);
    }
    if (pool == D3DPOOL_DEFAULT)
        createGL();
}

TextureGL::~TextureGL()
{
    if (name_) {
        device_->makeCurrent();
        glDeleteTextures(1, &name_);
    }
}

HRESULT TextureGL::GetDevice(IDirect3DDevice8** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

void TextureGL::createGL()
{
    device_->makeCurrent();
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels_.size()) - 1);
    glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, gl_->swizzle);
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), static_cast<GLint>(gl_->internalFormat),
                     static_cast<GLsizei>(levels_[i].width), static_cast<GLsizei>(levels_[i].height), 0,
                     gl_->clientFormat, gl_->clientType, nullptr);
        levels_[i].dirty = !levels_[i].data.empty();
    }
}

GLuint TextureGL::name()
{
    if (!name_)
        createGL();
    return name_;
}

void TextureGL::bind()
{
    glBindTexture(GL_TEXTURE_2D, name());
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        Level& level = levels_[i];
        if (!level.dirty || level.data.empty())
            continue;
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);  // rows are padded to four bytes, as rowPitch says
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), 0, 0, static_cast<GLsizei>(level.width),
                        static_cast<GLsizei>(level.height), gl_->clientFormat, gl_->clientType, level.data.data());
        level.dirty = false;
    }
}

void TextureGL::PreLoad()
{
    device_->makeCurrent();
    bind();
}

void TextureGL::dropGL(bool contextLost)
{
    if (name_ && !contextLost) {
        device_->makeCurrent();
        glDeleteTextures(1, &name_);
    }
    name_ = 0;
    for (Level& level : levels_)
        level.dirty = !level.data.empty();
}

D3DSURFACE_DESC TextureGL::levelDesc(UINT level) const
{
    D3DSURFACE_DESC desc;
    desc.Format = format_;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = usage_;
    desc.Pool = pool_;
    desc.Width = levels_[level].width;
    desc.Height = levels_[level].height;
    desc.Size = static_cast<UINT>(levels_[level].pitch) * desc.Height;
    return desc;
}

HRESULT TextureGL::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (level >= levels_.size() || !desc)
        return D3DERR_INVALIDCALL;
    *desc = levelDesc(level);
    return D3D_OK;
}

HRESULT TextureGL::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface)
{
    if (level >= levels_.size() || !surface)
        return D3DERR_INVALIDCALL;
    AddRef();
    *surface = levels_[level].surface.get();
    return D3D_OK;
}

HRESULT TextureGL::LockRect(UINT index, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (index >= levels_.size())
        return D3DERR_INVALIDCALL;
    Level& level = levels_[index];
    // Only textures with a copy in memory can be locked; render targets cannot.
    if (level.data.empty() || level.locked)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = lockRows(level.data.data(), level.pitch, pixel_->bytes, level.width, level.height, rect, locked);
    if (hr == D3D_OK) {
        level.locked = true;
        if (!(flags & D3DLOCK_READONLY))
            level.dirty = true;
    }
    return hr;
}

HRESULT TextureGL::UnlockRect(UINT index)
{
    if (index >= levels_.size() || !levels_[index].locked)
        return D3DERR_INVALIDCALL;
    levels_[index].locked = false;
    return D3D_OK;
}

// ---------------------------------------------------------------------------- renderbuffers

RenderbufferSurfaceGL::RenderbufferSurfaceGL(DeviceGL* device, bool implicit, UINT width, UINT height,
                                             D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample)
    : ResourceGL(device, D3DPOOL_DEFAULT, !implicit), implicit_(implicit), gl_(glFormat(format))
{
    if (implicit)
        references_ = 0;  // the device owns it; Get* calls hand out references
    desc_.Format = format;
    desc_.Type = D3DRTYPE_SURFACE;
    desc_.Usage = gl_ && gl_->depth ? D3DUSAGE_DEPTHSTENCIL : D3DUSAGE_RENDERTARGET;
    desc_.Pool = D3DPOOL_DEFAULT;
    desc_.MultiSampleType = multiSample;
    desc_.Width = width;
    desc_.Height = height;
    createGL();
}

RenderbufferSurfaceGL::~RenderbufferSurfaceGL()
{
    if (name_) {
        device_->makeCurrent();
        glDeleteRenderbuffers(1, &name_);
    }
}

UINT RenderbufferSurfaceGL::Release()
{
    if (!implicit_)
        return RefCountedGL<SurfaceGL>::Release();
    if (references_ > 0)
        --references_;
    return references_;
}

void RenderbufferSurfaceGL::createGL()
{
    device_->makeCurrent();
    glGenRenderbuffers(1, &name_);
    glBindRenderbuffer(GL_RENDERBUFFER, name_);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, static_cast<GLsizei>(desc_.MultiSampleType),
                                     gl_->internalFormat, static_cast<GLsizei>(desc_.Width),
                                     static_cast<GLsizei>(desc_.Height));
}

void RenderbufferSurfaceGL::attach(GLenum attachment)
{
    glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name_);
}

bool RenderbufferSurfaceGL::isDepth() const
{
    return gl_->depth;
}

bool RenderbufferSurfaceGL::hasStencil() const
{
    return gl_->stencil;
}

void RenderbufferSurfaceGL::dropGL(bool contextLost)
{
    if (!contextLost)
        return;  // renderbuffers are never evicted
    name_ = 0;
}

bool RenderbufferSurfaceGL::blocksReset() const
{
    return !implicit_ || references_ > 0;
}

// ---------------------------------------------------------------------------- image surfaces

ImageSurfaceGL::ImageSurfaceGL(DeviceGL* device, UINT width, UINT height, D3DFORMAT format)
    : ResourceGL(device, D3DPOOL_SYSTEMMEM, true), pixel_(pixelFormat(format)),
      pitch_(rowPitch(*pixel_, static_cast<int>(width)))
{
    desc_.Format = format;
    desc_.Type = D3DRTYPE_SURFACE;
    desc_.Pool = D3DPOOL_SYSTEMMEM;
    desc_.Width = width;
    desc_.Height = height;
    desc_.Size = static_cast<UINT>(pitch_) * height;
    data_.assign(desc_.Size, 0);
}

HRESULT ImageSurfaceGL::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD)
{
    if (locked_)
        return D3DERR_INVALIDCALL;
    const HRESULT hr = lockRows(data_.data(), pitch_, pixel_->bytes, desc_.Width, desc_.Height, rect, locked);
    locked_ = hr == D3D_OK;
    return hr;
}

HRESULT ImageSurfaceGL::UnlockRect()
{
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

// ---------------------------------------------------------------------------- buffers

BufferGL::BufferGL(DeviceGL* device, UINT length, DWORD usage, D3DPOOL pool)
    : ResourceGL(device, pool, true), data_(length, 0), usage_(usage)
{
}

BufferGL::~BufferGL()
{
    if (name_) {
        device_->makeCurrent();
        glDeleteBuffers(1, &name_);
    }
}

HRESULT BufferGL::lock(UINT offset, UINT size, BYTE** data, DWORD flags)
{
    if (!data || locked_ || offset > data_.size())
        return D3DERR_INVALIDCALL;
    if (size == 0)
        size = static_cast<UINT>(data_.size()) - offset;
    if (size > data_.size() - offset)
        return D3DERR_INVALIDCALL;
    *data = data_.data() + offset;
    locked_ = true;
    lockBegin_ = offset;
    lockEnd_ = offset + size;
    if (flags & D3DLOCK_DISCARD)
        discarded_ = true;
    return D3D_OK;
}

HRESULT BufferGL::unlock()
{
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    if (dirtyEnd_ <= dirtyBegin_) {
        dirtyBegin_ = lockBegin_;
        dirtyEnd_ = lockEnd_;
    } else {
        dirtyBegin_ = std::min(dirtyBegin_, lockBegin_);
        dirtyEnd_ = std::max(dirtyEnd_, lockEnd_);
    }
    return D3D_OK;
}

// Only the locked range goes to GL: a dynamic buffer is often much larger than what a
// frame writes into it (an outline has room for every edge, and draws a few).
void BufferGL::bind(GLenum target)
{
    if (!name_) {
        glGenBuffers(1, &name_);
        allocated_ = false;
    }
    glBindBuffer(target, name_);
    const GLenum hint = (usage_ & D3DUSAGE_DYNAMIC) ? GL_STREAM_DRAW : GL_STATIC_DRAW;
    const auto size = static_cast<GLsizeiptr>(data_.size());
    if (!allocated_ || (dirtyEnd_ > dirtyBegin_ && !discarded_ && dirtyEnd_ > storeSize_)) {
        glBufferData(target, size, data_.data(), hint);
        allocated_ = true;
        storeSize_ = data_.size();
    } else if (dirtyEnd_ > dirtyBegin_ && discarded_) {
        // After a discard the rest of the buffer is undefined: a fresh store of just the
        // bytes up to the end of what was written lets the driver keep drawing from the
        // old one meanwhile, and costs no more than those bytes.
        glBufferData(target, static_cast<GLsizeiptr>(dirtyEnd_), data_.data(), hint);
        storeSize_ = dirtyEnd_;
    } else if (dirtyEnd_ > dirtyBegin_) {
        glBufferSubData(target, static_cast<GLintptr>(dirtyBegin_), static_cast<GLsizeiptr>(dirtyEnd_ - dirtyBegin_),
                        data_.data() + dirtyBegin_);
    }
    dirtyBegin_ = dirtyEnd_ = 0;
    discarded_ = false;
}

void BufferGL::dropGL(bool contextLost)
{
    if (name_ && !contextLost) {
        device_->makeCurrent();
        glDeleteBuffers(1, &name_);
    }
    name_ = 0;
    allocated_ = false;
}

HRESULT VertexBufferGL::GetDevice(IDirect3DDevice8** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

HRESULT IndexBufferGL::GetDevice(IDirect3DDevice8** device)
{
    if (!device)
        return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

}  // namespace mirva
