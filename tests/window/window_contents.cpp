#include "tests/window/window_contents.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

#include "platform/d3d8/window.h"

namespace mirva::test {

namespace {

// A window that goes away while it is read (the program ending) is an error of the X
// protocol; Xlib's default handler would end the test process.
int ignoreErrors(Display*, XErrorEvent*)
{
    return 0;
}

Display* openDisplay(std::string& error)
{
    XSetErrorHandler(ignoreErrors);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        error = "cannot open the X display";
    return display;
}

}  // namespace

std::vector<std::uint32_t> xWindowPixels(unsigned long window, int& width, int& height, std::string& error)
{
    Display* display = openDisplay(error);
    if (!display)
        return {};
    std::vector<std::uint32_t> pixels;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) {
        error = "the window is not shown";
    } else {
        width = attributes.width;
        height = attributes.height;
        XSync(display, False);
        if (XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                                      static_cast<unsigned>(height), AllPlanes, ZPixmap)) {
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    pixels.push_back(0xFF000000u | static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF));
            XDestroyImage(image);
        } else {
            error = "XGetImage failed";
        }
    }
    XCloseDisplay(display);
    return pixels;
}

std::string whyNoTyping()
{
    std::string reason;
    if (!displayAvailable(&reason))
        return "no X display to open a window on (" + reason + ")";
    if (std::system("command -v xdotool > /dev/null") != 0)
        return "xdotool is not installed";
    return "";
}

bool xFocusNowhere(std::string& error)
{
    Display* display = openDisplay(error);
    if (!display)
        return false;
    XSetInputFocus(display, None, RevertToNone, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

}  // namespace mirva::test
