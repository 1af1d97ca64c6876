// Windowed and full-screen OpenGL: an SDL2 window with an OpenGL 3.3 core context.
// The device draws into its own framebuffer objects and copies each presented frame
// into the window's framebuffer, so the window only ever receives finished frames.
#include <SDL2/SDL.h>

#include <cstring>

#include "platform/d3d8/direct3d_gl.h"
#include "platform/d3d8/gl_context.h"
#include "platform/d3d8/window.h"

namespace mirva {

namespace {

bool openVideo(std::string& error)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("no display: ") + SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
        error = std::string("no display: SDL video driver '") + (driver ? driver : "none") + "' shows nothing";
        return false;
    }
    if (SDL_GetNumVideoDisplays() < 1) {
        error = "no display: SDL finds no screen";
        return false;
    }
    return true;
}

void requestCoreContext()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // Depth and multisampling live in the device's own framebuffers.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

class SdlContext final : public GLContext {
public:
    SdlContext(SDL_Window* window, SDL_GLContext context, bool ownsWindow)
        : window_(window), context_(context), ownsWindow_(ownsWindow)
    {
    }
    ~SdlContext() override
    {
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
        if (ownsWindow_)
            SDL_DestroyWindow(window_);
    }
    bool hasWindow() const override { return !ownsWindow_; }
    void swapBuffers() override { SDL_GL_SwapWindow(window_); }
    void setSwapInterval(int interval) override { SDL_GL_SetSwapInterval(interval); }
    void drawableSize(int& width, int& height) const override { SDL_GL_GetDrawableSize(window_, &width, &height); }
    bool setFullScreen(bool fullScreen, int width, int height, int refreshRate) override
    {
        if (!fullScreen)
            return SDL_SetWindowFullscreen(window_, 0) == 0;
        SDL_DisplayMode wanted{};
        wanted.w = width;
        wanted.h = height;
        wanted.refresh_rate = refreshRate;
        SDL_DisplayMode closest{};
        const int display = SDL_GetWindowDisplayIndex(window_);
        if (!SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &wanted, &closest))
            return false;
        return SDL_SetWindowDisplayMode(window_, &closest) == 0 &&
               SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN) == 0;
    }

protected:
    bool bind() override { return SDL_GL_MakeCurrent(window_, context_) == 0; }

private:
    SDL_Window* window_;
    SDL_GLContext context_;
    bool ownsWindow_;
};

std::unique_ptr<GLContext> contextFor(SDL_Window* window, bool ownsWindow, std::string& error)
{
    requestCoreContext();
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        error = std::string("SDL cannot create an OpenGL 3.3 core context: ") + SDL_GetError();
        if (ownsWindow)
            SDL_DestroyWindow(window);
        return nullptr;
    }
    return std::make_unique<SdlContext>(window, context, ownsWindow);
}

}  // namespace

bool displayAvailable(std::string* reason)
{
    std::string error;
    const bool available = openVideo(error);
    if (reason)
        *reason = error;
    return available;
}

std::unique_ptr<SdlWindow> SdlWindow::create(const std::string& title, int width, int height, std::string& error)
{
    if (!openVideo(error))
        return nullptr;
    requestCoreContext();
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (!window) {
        error = std::string("SDL cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    return std::unique_ptr<SdlWindow>(new SdlWindow(window));
}

SdlWindow::~SdlWindow()
{
    SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
}

int SdlWindow::clientWidth() const
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &width, &height);
    return width;
}

int SdlWindow::clientHeight() const
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(window_), &width, &height);
    return height;
}

std::unique_ptr<GLContext> createSdlContext(D3DWindow* window, std::string& error)
{
    auto* sdl = dynamic_cast<SdlWindow*>(window);
    if (!sdl) {
        error = "the device window is neither headless nor an SDL window";
        return nullptr;
    }
    return contextFor(static_cast<SDL_Window*>(sdl->sdlWindow()), false, error);
}

std::unique_ptr<GLContext> createHiddenSdlContext(std::string& error)
{
    if (!openVideo(error))
        return nullptr;
    requestCoreContext();
    SDL_Window* window = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!window) {
        error = std::string("SDL cannot open a window: ") + SDL_GetError();
        return nullptr;
    }
    return contextFor(window, true, error);
}

bool screenDisplayModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop)
{
    std::string error;
    if (!openVideo(error))
        return false;
    const auto format = [](Uint32 pixelFormat) {
        switch (pixelFormat) {
        case SDL_PIXELFORMAT_RGB888:
        case SDL_PIXELFORMAT_ARGB8888: return D3DFMT_X8R8G8B8;
        case SDL_PIXELFORMAT_RGB24: return D3DFMT_R8G8B8;
        case SDL_PIXELFORMAT_RGB565: return D3DFMT_R5G6B5;
        case SDL_PIXELFORMAT_RGB555: return D3DFMT_X1R5G5B5;
        default: return D3DFMT_UNKNOWN;
        }
    };
    const auto toMode = [&](const SDL_DisplayMode& m) {
        return D3DDISPLAYMODE{static_cast<UINT>(m.w), static_cast<UINT>(m.h), static_cast<UINT>(m.refresh_rate),
                              format(m.format)};
    };
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    desktop = toMode(mode);
    if (desktop.Format == D3DFMT_UNKNOWN)
        desktop.Format = D3DFMT_X8R8G8B8;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
        if (SDL_GetDisplayMode(0, i, &mode) == 0 && format(mode.format) != D3DFMT_UNKNOWN)
            modes.push_back(toMode(mode));
    if (modes.empty())
        modes.push_back(desktop);
    return true;
}

}  // namespace mirva
