#pragma once
// engine/: the rendering engine over the Direct3D 8-shaped layer of platform/d3d8. It
// never calls OpenGL or SDL; every drawing call goes through the device that DXDriver
// holds. It knows nothing about scripts or components.
//
// DXDriver ties the program to one adapter: it lists adapters and modes, decides which
// back-buffer, depth and multisample formats the chosen mode supports (the candidate
// lists below, answered by the layer's checks), creates the device for the program's
// window, presents frames, survives a lost device, and turns any failure into one fatal
// error report.
//
// Order of use: selectScreenMode (the setup dialog, or a ScreenSelection set by code)
// -> setScreenMode(window) -> per frame ... flip() -> restoreScreenMode at the end.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "io/surface.h"
#include "platform/d3d8/d3d8.h"

namespace mirva {

// The setup dialog's memory: what the user chose, as positions in the lists that the
// dialog showed. All start at 0.
struct ScreenSelection {
    int adapter = 0;
    int mode = 0;  // 0: in a window; k >= 1: the k-th full-screen mode of the adapter
    int backBufferFormat = 0;
    int backBufferCount = 0;  // 0: one back buffer, 1: two
    int depthFormat = 0;
    int vertexProcessing = 0;  // 0: software
    int multisample = 0;
    unsigned char realtimePriority = 0;
    bool operator==(const ScreenSelection&) const = default;
};

// One list of the setup dialog: the entries shown with their item data, and which entry
// is selected (-1: none).
struct ScreenChoiceList {
    struct Entry {
        std::string text;
        int data = 0;
    };
    std::vector<Entry> entries;
    int selected = -1;
};

// Everything the setup dialog shows for one selection.
struct ScreenChoices {
    ScreenChoiceList adapter, mode, backBufferFormat, backBufferCount, depthFormat, vertexProcessing, multisample;
    bool realtimePriority = false;
    // With the prefer-full-screen flag: the item data of the adapter's 640 x 480
    // X8R8G8B8 mode (the last one listed), or -1 when it has none.
    int preferredMode = -1;
};

// The settings a selection stands for: what the driver sets the screen mode with.
struct ScreenSettings {
    int adapter = 0;
    D3DDISPLAYMODE displayMode{};
    bool windowed = true;
    D3DFORMAT backBufferFormat = D3DFMT_UNKNOWN;
    int backBufferCount = 1;
    D3DFORMAT depthFormat = D3DFMT_UNKNOWN;
    D3DMULTISAMPLE_TYPE multisample = D3DMULTISAMPLE_NONE;
    DWORD vertexProcessing = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    D3DCAPS8 caps{};
};

class DXDriver {
public:
    DXDriver();
    ~DXDriver();
    DXDriver(const DXDriver&) = delete;
    DXDriver& operator=(const DXDriver&) = delete;

    // The window of the setup dialog (engine/setup_dialog.h): shown by selectScreenMode,
    // returns false when the user cancelled. It works on the remembered selection and
    // leaves the driver's settings as it last showed them. Without one, selectScreenMode
    // accepts the dialog's opening choices unseen.
    using SetupDialogRunner = std::function<bool(DXDriver& driver, bool preferFullScreen)>;
    static void setSetupDialog(SetupDialogRunner dialog);

    bool selectScreenMode(bool& realtime, bool preferFullScreen);
    bool setScreenMode(HWND window);
    void restoreScreenMode();
    void flip();
    void discardManagedResources();

    // The dialog's lists for a selection. Changes nothing.
    ScreenChoices screenChoices(const ScreenSelection& selection, bool preferFullScreen) const;
    // Makes the driver's settings those the selection stands for: every one of them, none
    // is kept from an earlier selection.
    void applySelection(const ScreenSelection& selection);
    const ScreenSettings& settings() const { return settings_; }
    ScreenSelection& rememberedSelection() { return remembered_; }

    int screenWidth() const { return screenRect_.right; }
    int screenHeight() const { return screenRect_.bottom; }
    bool windowed() const { return settings_.windowed; }
    HWND window() const { return window_; }
    IDirect3DDevice8* device() const { return device_; }
    // The device for drawing; without one (no screen mode set) the program ends with a
    // message instead of drawing into nothing.
    IDirect3DDevice8* drawingDevice() const;
    IDirect3D8* direct3d() const;
    const D3DCAPS8& caps() const { return settings_.caps; }
    // The largest texture the device can use, in pixels each way, from its capabilities;
    // without a device, the size images are held to by default. Textures, render targets
    // and font images larger than this are refused with a message instead of being cut
    // down or allocated.
    int largestTextureWidth() const { return largestTextureWidth_; }
    int largestTextureHeight() const { return largestTextureHeight_; }
    const D3DDISPLAYMODE& displayMode() const { return settings_.displayMode; }
    D3DFORMAT backBufferFormat() const { return settings_.backBufferFormat; }
    D3DFORMAT depthBufferFormat() const { return settings_.depthFormat; }
    D3DMULTISAMPLE_TYPE multisampleType() const { return settings_.multisample; }
    int backBufferCount() const { return settings_.backBufferCount; }
    int colorDepthBits() const { return colorDepthBits_; }
    int colorDepthBytes() const { return colorDepthBytes_; }
    const D3DGAMMARAMP& gammaRamp() const { return gammaRamp_; }
    const std::vector<D3DADAPTER_IDENTIFIER8>& adapters() const;

    const std::vector<D3DFORMAT>& textureFormats() const { return textureFormats_; }
    const std::vector<D3DFORMAT>& cubeTextureFormats() const { return cubeTextureFormats_; }
    const std::vector<D3DFORMAT>& volumeTextureFormats() const { return volumeTextureFormats_; }
    const std::vector<D3DFORMAT>& renderTargetFormats() const { return renderTargetFormats_; }
    // Pairs of (render-target colour format, depth format) usable together.
    const std::vector<std::pair<D3DFORMAT, D3DFORMAT>>& renderTargetDepthFormats() const
    {
        return renderTargetDepthFormats_;
    }

    static std::string formatName(DWORD format);
    [[noreturn]] static void fatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));
    // "DirectX error - <label> <text of the result code>".
    [[noreturn]] static void directXError(const char* label, HRESULT result);

private:
    void rebuildCapabilityLists();
    // The settings of a selection, and with `choices` the dialog's lists for it.
    ScreenSettings resolve(const ScreenSelection& selection, bool preferFullScreen, ScreenChoices* choices) const;
    // The candidates of an adapter, in order of preference.
    std::vector<D3DFORMAT> backBufferFormats(UINT adapter, D3DFORMAT displayFormat, bool windowed) const;
    std::vector<D3DFORMAT> depthFormats(UINT adapter, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat) const;
    std::vector<D3DMULTISAMPLE_TYPE> multisampleTypes(UINT adapter, D3DFORMAT backBufferFormat, bool windowed) const;

    // Settings chosen through the dialog.
    ScreenSettings settings_;
    ScreenSelection remembered_;
    int largestTextureWidth_ = Surface::kDefaultLargestImage;
    int largestTextureHeight_ = Surface::kDefaultLargestImage;

    IDirect3DDevice8* device_ = nullptr;
    D3DPRESENT_PARAMETERS presentation_;
    HWND window_ = nullptr;
    RECT screenRect_{0, 0, 1, 1};
    int colorDepthBits_ = 0;
    int colorDepthBytes_ = 0;
    D3DGAMMARAMP gammaRamp_;

    std::vector<D3DFORMAT> textureFormats_, cubeTextureFormats_, volumeTextureFormats_, renderTargetFormats_;
    std::vector<std::pair<D3DFORMAT, D3DFORMAT>> renderTargetDepthFormats_;
};

// The one driver of the program, made on first use.
DXDriver& dxDriver();
// Whether a screen mode is set (a device exists). Never makes the driver, so code that
// may run without any graphics (loading a script to check it) can ask.
bool screenModeSet();

// Program-wide entry points of the single driver.
inline bool selectScreenMode(bool& realtime, bool preferFullScreen)
{
    return dxDriver().selectScreenMode(realtime, preferFullScreen);
}
inline bool setScreenMode(HWND window)
{
    return dxDriver().setScreenMode(window);
}
inline void restoreScreenMode()
{
    dxDriver().restoreScreenMode();
}
inline void flip()
{
    dxDriver().flip();
}
inline int screenWidth()
{
    return dxDriver().screenWidth();
}
inline int screenHeight()
{
    return dxDriver().screenHeight();
}
inline bool windowed()
{
    return dxDriver().windowed();
}
inline HWND windowHandle()
{
    return dxDriver().window();
}

}  // namespace mirva
