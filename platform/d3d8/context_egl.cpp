// Headless OpenGL: an EGL context with no surface at all. The device renders into its own
// framebuffer objects, so nothing needs a window. Mesa's surfaceless platform is asked
// for first (llvmpipe on any machine); a GPU driver's device platform is the fallback.
#include <epoxy/egl.h>

#include "platform/d3d8/gl_context.h"

namespace mirva {

namespace {

// The name of the calling thread's last EGL error, for messages.
std::string eglErrorName()
{
    switch (const EGLint code = eglGetError()) {
    case EGL_SUCCESS: return "EGL_SUCCESS";
    case EGL_NOT_INITIALIZED: return "EGL_NOT_INITIALIZED";
    case EGL_BAD_ACCESS: return "EGL_BAD_ACCESS";
    case EGL_BAD_ALLOC: return "EGL_BAD_ALLOC";
    case EGL_BAD_ATTRIBUTE: return "EGL_BAD_ATTRIBUTE";
    case EGL_BAD_CONTEXT: return "EGL_BAD_CONTEXT";
    case EGL_BAD_CONFIG: return "EGL_BAD_CONFIG";
    case EGL_BAD_CURRENT_SURFACE: return "EGL_BAD_CURRENT_SURFACE";
    case EGL_BAD_DISPLAY: return "EGL_BAD_DISPLAY";
    case EGL_BAD_SURFACE: return "EGL_BAD_SURFACE";
    case EGL_BAD_MATCH: return "EGL_BAD_MATCH";
    case EGL_BAD_PARAMETER: return "EGL_BAD_PARAMETER";
    case EGL_BAD_NATIVE_PIXMAP: return "EGL_BAD_NATIVE_PIXMAP";
    case EGL_BAD_NATIVE_WINDOW: return "EGL_BAD_NATIVE_WINDOW";
    case EGL_CONTEXT_LOST: return "EGL_CONTEXT_LOST";
    default: return "EGL error " + std::to_string(code);
    }
}

struct EglDisplay {
    EGLDisplay display = EGL_NO_DISPLAY;
    std::string error;
};

EGLDisplay openDisplay(std::string& error)
{
    const auto tryPlatform = [](EGLenum platform, void* native) -> EGLDisplay {
        EGLDisplay display = eglGetPlatformDisplayEXT(platform, native, nullptr);
        if (display == EGL_NO_DISPLAY)
            return EGL_NO_DISPLAY;
        EGLint major = 0, minor = 0;
        if (!eglInitialize(display, &major, &minor))
            return EGL_NO_DISPLAY;
        if (!epoxy_has_egl_extension(display, "EGL_KHR_surfaceless_context") ||
            !epoxy_has_egl_extension(display, "EGL_KHR_no_config_context")) {
            eglTerminate(display);
            return EGL_NO_DISPLAY;
        }
        return display;
    };
    if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_platform_base")) {
        error = "EGL has no platform displays";
        return EGL_NO_DISPLAY;
    }
    if (epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display = tryPlatform(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY);
        if (display != EGL_NO_DISPLAY)
            return display;
    }
    if (epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_platform_device")) {
        EGLDeviceEXT devices[8];
        EGLint count = 0;
        if (eglQueryDevicesEXT(8, devices, &count))
            for (EGLint i = 0; i < count; ++i) {
                EGLDisplay display = tryPlatform(EGL_PLATFORM_DEVICE_EXT, devices[i]);
                if (display != EGL_NO_DISPLAY)
                    return display;
            }
    }
    error = "no EGL display renders without a surface (" + eglErrorName() + ")";
    return EGL_NO_DISPLAY;
}

// One display for the process, opened on first use and kept: contexts come and go with
// devices, and terminating the display under a live context would break it.
const EglDisplay& display()
{
    static const EglDisplay shared = [] {
        EglDisplay d;
        d.display = openDisplay(d.error);
        return d;
    }();
    return shared;
}

class EglContext final : public GLContext {
public:
    explicit EglContext(EGLContext context) : context_(context) {}
    ~EglContext() override
    {
        eglMakeCurrent(display().display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display().display, context_);
    }
    bool hasWindow() const override { return false; }
    void swapBuffers() override {}
    void setSwapInterval(int) override {}
    void drawableSize(int& width, int& height) const override { width = height = 0; }
    bool setFullScreen(bool, int, int, int) override { return false; }

protected:
    bool bind() override { return eglMakeCurrent(display().display, EGL_NO_SURFACE, EGL_NO_SURFACE, context_); }

private:
    EGLContext context_;
};

}  // namespace

std::unique_ptr<GLContext> createEglContext(std::string& error)
{
    const EglDisplay& d = display();
    if (d.display == EGL_NO_DISPLAY) {
        error = d.error;
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = "EGL cannot bind the OpenGL API (" + eglErrorName() + ")";
        return nullptr;
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(d.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT) {
        error = "EGL cannot create an OpenGL 3.3 core context (" + eglErrorName() + ")";
        return nullptr;
    }
    if (!eglMakeCurrent(d.display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "EGL cannot make a surfaceless context current (" + eglErrorName() + ")";
        eglDestroyContext(d.display, context);
        return nullptr;
    }
    return std::make_unique<EglContext>(context);
}

}  // namespace mirva
