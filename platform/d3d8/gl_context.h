#pragma once
// An OpenGL 3.3 core context and the surface it shows frames on. Inside the layer only:
// the device makes its context current before it touches GL.
//
// Two kinds: an EGL surfaceless context (headless; nothing to show, frames stay in the
// device's own framebuffer objects) and an SDL window context (frames are copied into
// the window's framebuffer and swapped).
#include <memory>
#include <string>

namespace mirva {

class D3DWindow;

class GLContext {
public:
    virtual ~GLContext();
    GLContext(const GLContext&) = delete;
    GLContext& operator=(const GLContext&) = delete;

    // Makes the context current on this thread (cheap when it already is).
    void makeCurrent();
    virtual bool hasWindow() const = 0;
    // Window contexts: shows the window's back buffer.
    virtual void swapBuffers() = 0;
    virtual void setSwapInterval(int interval) = 0;
    // Window contexts: the drawable size in pixels.
    virtual void drawableSize(int& width, int& height) const = 0;
    // Window contexts: switches between full screen in the given mode and windowed.
    virtual bool setFullScreen(bool fullScreen, int width, int height, int refreshRate) = 0;

    // A context for a device in `window`; null with the reason in `error` when none can be made.
    static std::unique_ptr<GLContext> create(D3DWindow* window, std::string& error);
    // A context for asking the driver what it supports (headless when possible).
    static std::unique_ptr<GLContext> createProbe(std::string& error);

protected:
    GLContext() = default;
    virtual bool bind() = 0;
};

std::unique_ptr<GLContext> createEglContext(std::string& error);
std::unique_ptr<GLContext> createSdlContext(D3DWindow* window, std::string& error);
std::unique_ptr<GLContext> createHiddenSdlContext(std::string& error);

}  // namespace mirva
