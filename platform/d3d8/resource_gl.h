#pragma once
// The objects a device hands out, over OpenGL: textures and their level surfaces,
// renderbuffer surfaces (back buffer, depth buffers), image surfaces in system memory,
// vertex and index buffers.
//
// Managed and system-memory resources keep their contents in memory and upload what
// changed when they are next used, so they survive eviction and device reset. Default-pool
// resources live only in OpenGL and must be released before a reset.
#include <epoxy/gl.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/pixel_format.h"

namespace mirva {

class DeviceGL;
struct GLFormat;

// What every device object shares: its device, pool and place in the device's list.
class ResourceGL {
public:
    // `counted` resources hold a reference on the device (those made by Create*); the
    // device's own back buffer and depth buffer do not.
    ResourceGL(DeviceGL* device, D3DPOOL pool, bool counted);
    virtual ~ResourceGL();
    ResourceGL(const ResourceGL&) = delete;
    ResourceGL& operator=(const ResourceGL&) = delete;

    D3DPOOL pool() const { return pool_; }
    DeviceGL* device() const { return device_; }
    // The OpenGL objects are gone (the context was replaced) or are to be evicted.
    // Resources with a copy in memory upload again when next used.
    virtual void dropGL(bool contextLost) = 0;
    // Whether it must be released before the device can be reset.
    virtual bool blocksReset() const { return pool_ == D3DPOOL_DEFAULT; }

protected:
    DeviceGL* device_;
    D3DPOOL pool_;
    bool counted_;
};

template <class Interface>
class RefCountedGL : public Interface {
public:
    UINT AddRef() override { return ++references_; }
    UINT Release() override
    {
        const UINT left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    UINT references() const { return references_; }

protected:
    std::atomic<UINT> references_{1};
};

// A surface the device can draw into or copy from.
class SurfaceGL : public IDirect3DSurface8 {
public:
    virtual D3DSURFACE_DESC desc() const = 0;
    // Attaches it to the bound draw framebuffer at `attachment`.
    virtual void attach(GLenum attachment) = 0;
    virtual bool isDepth() const { return false; }
    virtual bool hasStencil() const { return false; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
};

class TextureGL;

// One mip level of a texture; its references are the texture's.
class LevelSurfaceGL final : public SurfaceGL {
public:
    LevelSurfaceGL(TextureGL* texture, UINT level) : texture_(texture), level_(level) {}
    UINT AddRef() override;
    UINT Release() override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    D3DSURFACE_DESC desc() const override;
    void attach(GLenum attachment) override;
    TextureGL* texture() const { return texture_; }

private:
    TextureGL* texture_;
    UINT level_;
};

class TextureGL final : public RefCountedGL<IDirect3DTexture8>, public ResourceGL {
public:
    TextureGL(DeviceGL* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~TextureGL() override;

    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    void PreLoad() override;
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    void dropGL(bool contextLost) override;
    D3DSURFACE_DESC levelDesc(UINT level) const;
    // Makes the texture resident and binds it to the active texture unit.
    void bind();
    GLuint name();
    D3DFORMAT format() const { return format_; }
    DWORD usage() const { return usage_; }

private:
    struct Level {
        UINT width = 0, height = 0;
        int pitch = 0;
        std::vector<BYTE> data;  // managed pool only
        bool dirty = true;
        bool locked = false;
        std::unique_ptr<LevelSurfaceGL> surface;
    };
    void createGL();

    std::vector<Level> levels_;
    DWORD usage_;
    D3DFORMAT format_;
    const GLFormat* gl_;
    const PixelFormat* pixel_;
    GLuint name_ = 0;
};

// A renderbuffer: the device's back buffer and depth buffer, and depth surfaces made by
// CreateDepthStencilSurface.
class RenderbufferSurfaceGL final : public RefCountedGL<SurfaceGL>, public ResourceGL {
public:
    RenderbufferSurfaceGL(DeviceGL* device, bool implicit, UINT width, UINT height, D3DFORMAT format,
                          D3DMULTISAMPLE_TYPE multiSample);
    ~RenderbufferSurfaceGL() override;

    UINT Release() override;
    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockRect() override { return D3DERR_INVALIDCALL; }
    D3DSURFACE_DESC desc() const override { return desc_; }
    void attach(GLenum attachment) override;
    bool isDepth() const override;
    bool hasStencil() const override;
    void dropGL(bool contextLost) override;
    bool blocksReset() const override;
    GLuint name() const { return name_; }

private:
    void createGL();
    bool implicit_;
    D3DSURFACE_DESC desc_;
    const GLFormat* gl_;
    GLuint name_ = 0;
};

// A lockable surface in system memory.
class ImageSurfaceGL final : public RefCountedGL<SurfaceGL>, public ResourceGL {
public:
    ImageSurfaceGL(DeviceGL* device, UINT width, UINT height, D3DFORMAT format);
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    D3DSURFACE_DESC desc() const override { return desc_; }
    void attach(GLenum) override {}
    void dropGL(bool) override {}
    BYTE* data() { return data_.data(); }
    int pitch() const { return pitch_; }

private:
    D3DSURFACE_DESC desc_;
    const PixelFormat* pixel_;
    int pitch_;
    std::vector<BYTE> data_;
    bool locked_ = false;
};

// Vertex and index buffers: a copy in memory that is locked and written, uploaded to a
// buffer object when unlocked.
class BufferGL : public ResourceGL {
public:
    BufferGL(DeviceGL* device, UINT length, DWORD usage, D3DPOOL pool);
    ~BufferGL() override;
    HRESULT lock(UINT offset, UINT size, BYTE** data, DWORD flags);
    HRESULT unlock();
    void dropGL(bool contextLost) override;
    // Binds the buffer object to `target`, uploading first when needed.
    void bind(GLenum target);
    UINT length() const { return static_cast<UINT>(data_.size()); }
    DWORD usage() const { return usage_; }
    const BYTE* data() const { return data_.data(); }

private:
    std::vector<BYTE> data_;
    DWORD usage_;
    GLuint name_ = 0;
    bool locked_ = false;
    bool allocated_ = false;   // the GL store exists
    std::size_t storeSize_ = 0;   // its size: the whole buffer, or what a discard wrote
    bool discarded_ = false;   // a lock since the last upload discarded the contents
    UINT lockBegin_ = 0, lockEnd_ = 0;     // the range of the lock in progress
    UINT dirtyBegin_ = 0, dirtyEnd_ = 0;   // what was written since the last upload
};

class VertexBufferGL final : public RefCountedGL<IDirect3DVertexBuffer8>, public BufferGL {
public:
    VertexBufferGL(DeviceGL* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
        : BufferGL(device, length, usage, pool), fvf_(fvf)
    {
    }
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    void PreLoad() override {}
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override { return lock(offset, size, data, flags); }
    HRESULT Unlock() override { return unlock(); }
    DWORD fvf() const { return fvf_; }

private:
    DWORD fvf_;
};

class IndexBufferGL final : public RefCountedGL<IDirect3DIndexBuffer8>, public BufferGL {
public:
    IndexBufferGL(DeviceGL* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
        : BufferGL(device, length, usage, pool), format_(format)
    {
    }
    HRESULT GetDevice(IDirect3DDevice8** device) override;
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    void PreLoad() override {}
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override { return lock(offset, size, data, flags); }
    HRESULT Unlock() override { return unlock(); }
    D3DFORMAT format() const { return format_; }

private:
    D3DFORMAT format_;
};

}  // namespace mirva
