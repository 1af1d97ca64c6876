#pragma once
// The window a device presents into: what Direct3D calls the device window (HWND).
//
// A headless window is only a size: its device renders into an offscreen back buffer in
// an EGL surfaceless context, for tests, offline rendering and machines without a display.
// An SDL window is a real window with an OpenGL context; the program keeps it to read its
// events. Either kind stays owned by whoever created it and must outlive its device.
#include <memory>
#include <string>

namespace mirva {

class D3DWindow {
public:
    virtual ~D3DWindow() = default;
    // The size of the drawable area in pixels (the client rectangle).
    virtual int clientWidth() const = 0;
    virtual int clientHeight() const = 0;
    virtual bool isHeadless() const = 0;
};

class HeadlessWindow : public D3DWindow {
public:
    HeadlessWindow(int width, int height) : width_(width), height_(height) {}
    int clientWidth() const override { return width_; }
    int clientHeight() const override { return height_; }
    bool isHeadless() const override { return true; }
    void setClientSize(int width, int height)
    {
        width_ = width;
        height_ = height;
    }

private:
    int width_;
    int height_;
};

class SdlWindow : public D3DWindow {
public:
    // Opens a window with an OpenGL-capable surface. Returns null, with the reason in
    // `error`, when there is no display to open it on.
    static std::unique_ptr<SdlWindow> create(const std::string& title, int width, int height, std::string& error);
    ~SdlWindow() override;
    SdlWindow(const SdlWindow&) = delete;
    SdlWindow& operator=(const SdlWindow&) = delete;

    int clientWidth() const override;
    int clientHeight() const override;
    bool isHeadless() const override { return false; }
    // The SDL_Window, for the program's event handling.
    void* sdlWindow() const { return window_; }

private:
    explicit SdlWindow(void* window) : window_(window) {}
    void* window_;
};

// Whether SDL can open windows here (a real video driver and at least one display).
bool displayAvailable(std::string* reason = nullptr);

}  // namespace mirva
