#include "engine/dx_driver.h"

#include <algorithm>
#include <climits>
#include <cstdarg>
#include <cstdio>

#include "engine/engine_state.h"
#include "engine/setup_dialog.h"
#include "engine/video_memory_resource.h"
#include "io/console.h"
#include "platform/d3d8/d3dx8.h"
#include "platform/d3d8/window.h"

namespace mirva {

namespace {

// What all driver instances share: the Direct3D object and its adapters, made by the
// first instance and released by the last.
EngineState::Runtime& runtime()
{
    return engineState().runtime;
}

DXDriver::SetupDialogRunner& setupDialog()
{
    return engineState().setupDialog;
}

constexpr D3DFORMAT kBackBufferCandidates[] = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R8G8B8,
                                               D3DFMT_R5G6B5,   D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5};
constexpr D3DFORMAT kDepthCandidates[] = {D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32,         D3DFMT_D24X8,
                                          D3DFMT_D15S1, D3DFMT_D16,     D3DFMT_D16_LOCKABLE};
constexpr D3DFORMAT kTextureCandidates[] = {
    D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R8G8B8,   D3DFMT_R5G6B5,    D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5,
    D3DFMT_A4R4G4B4, D3DFMT_R3G3B2,   D3DFMT_A8,       D3DFMT_A8R3G3B2,  D3DFMT_X4R4G4B4, D3DFMT_A8P8,
    D3DFMT_P8,       D3DFMT_L8,       D3DFMT_A8L8,     D3DFMT_A4L4,      D3DFMT_V8U8,     D3DFMT_L6V5U5,
    D3DFMT_X8L8V8U8, D3DFMT_Q8W8V8U8, D3DFMT_V16U16,   D3DFMT_W11V11U10, D3DFMT_DXT1,     D3DFMT_DXT2,
    D3DFMT_DXT3,     D3DFMT_DXT4,     D3DFMT_DXT5,
};

// A capability check: admitted, left out (D3DERR_NOTAVAILABLE), or fatal.
bool admitted(HRESULT result, const char* label)
{
    if (result == D3D_OK)
        return true;
    if (result == D3DERR_NOTAVAILABLE)
        return false;
    DXDriver::directXError(label, result);
}

}  // namespace

// ---------------------------------------------------------------------------- lifecycle

DXDriver::DXDriver()
{
    EngineState::Runtime& shared = runtime();
    if (shared.instances == 0) {
        shared.direct3d = Direct3DCreate8(D3D_SDK_VERSION);
        if (!shared.direct3d)
            fatalError("Failed to create D3D8");
        shared.adapters.clear();
        for (UINT i = 0; i < shared.direct3d->GetAdapterCount(); ++i) {
            D3DADAPTER_IDENTIFIER8 identifier;
            const HRESULT hr = shared.direct3d->GetAdapterIdentifier(i, D3DENUM_NO_WHQL_LEVEL, &identifier);
            if (FAILED(hr)) {
                shared.direct3d->Release();
                shared.direct3d = nullptr;
                directXError("Direct3D->GetAdapterIdentifier - ", hr);
            }
            shared.adapters.push_back(identifier);
        }
    }
    ++shared.instances;
    for (int i = 0; i < 256; ++i)
        gammaRamp_.red[i] = gammaRamp_.green[i] = gammaRamp_.blue[i] = static_cast<WORD>(i * 256);
}

DXDriver::~DXDriver()
{
    // Each instance gives back its own device; the last one also the Direct3D object.
    restoreScreenMode();
    EngineState::Runtime& shared = runtime();
    if (--shared.instances > 0)
        return;
    const UINT count = shared.direct3d->Release();
    if (count > 0)
        Console::print("Direct3D reference count = %d\n", static_cast<int>(count));
    shared.direct3d = nullptr;
    shared.adapters.clear();
}

DXDriver& dxDriver()
{
    std::unique_ptr<DXDriver>& driver = engineState().driver;
    if (!driver)
        driver = std::make_unique<DXDriver>();
    return *driver;
}

bool screenModeSet()
{
    const std::unique_ptr<DXDriver>& driver = engineState().driver;
    return driver && driver->device();
}

IDirect3D8* DXDriver::direct3d() const
{
    return runtime().direct3d;
}

const std::vector<D3DADAPTER_IDENTIFIER8>& DXDriver::adapters() const
{
    return runtime().adapters;
}

void DXDriver::setSetupDialog(SetupDialogRunner dialog)
{
    setupDialog() = std::move(dialog);
}

// ---------------------------------------------------------------------------- candidates

std::vector<D3DFORMAT> DXDriver::backBufferFormats(UINT adapter, D3DFORMAT displayFormat, bool windowed) const
{
    std::vector<D3DFORMAT> formats;
    for (D3DFORMAT candidate : kBackBufferCandidates)
        if (admitted(direct3d()->CheckDeviceType(adapter, D3DDEVTYPE_HAL, displayFormat, candidate,
                                                 windowed),
                     "Direct3D->CheckDeviceType - "))
            formats.push_back(candidate);
    return formats;
}

std::vector<D3DFORMAT> DXDriver::depthFormats(UINT adapter, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat) const
{
    std::vector<D3DFORMAT> formats;
    for (D3DFORMAT candidate : kDepthCandidates)
        if (admitted(direct3d()->CheckDeviceFormat(adapter, D3DDEVTYPE_HAL, displayFormat, D3DUSAGE_DEPTHSTENCIL,
                                                   D3DRTYPE_SURFACE, candidate),
                     "Direct3D->CheckDeviceFormat - ") &&
            admitted(direct3d()->CheckDepthStencilMatch(adapter, D3DDEVTYPE_HAL, displayFormat, backBufferFormat,
                                                        candidate),
                     "Direct3D->CheckDepthStencilMatch - "))
            formats.push_back(candidate);
    return formats;
}

std::vector<D3DMULTISAMPLE_TYPE> DXDriver::multisampleTypes(UINT adapter, D3DFORMAT backBufferFormat, bool windowed) const
{
    std::vector<D3DMULTISAMPLE_TYPE> types;
    for (DWORD samples = 0; samples <= 16; ++samples) {
        if (samples == 1)
            continue;
        const auto type = static_cast<D3DMULTISAMPLE_TYPE>(samples);
        if (admitted(direct3d()->CheckDeviceMultiSampleType(adapter, D3DDEVTYPE_HAL,
                                                            backBufferFormat, windowed, type),
                     "Direct3D->CheckDeviceMultiSampleType - "))
            types.push_back(type);
    }
    return types;
}

void DXDriver::rebuildCapabilityLists()
{
    const auto adapter = static_cast<UINT>(settings_.adapter);
    const D3DFORMAT display = settings_.displayMode.Format;
    const std::pair<D3DRESOURCETYPE, std::vector<D3DFORMAT>*> textureLists[] = {
        {D3DRTYPE_TEXTURE, &textureFormats_},
        {D3DRTYPE_CUBETEXTURE, &cubeTextureFormats_},
        {D3DRTYPE_VOLUMETEXTURE, &volumeTextureFormats_},
    };
    for (const auto& [type, list] : textureLists) {
        list->clear();
        for (D3DFORMAT candidate : kTextureCandidates)
            if (admitted(direct3d()->CheckDeviceFormat(adapter, D3DDEVTYPE_HAL, display, 0, type, candidate),
                         "Direct3D->CheckDeviceFormat - "))
                list->push_back(candidate);
    }
    renderTargetFormats_.clear();
    for (D3DFORMAT candidate : kBackBufferCandidates)
        if (admitted(direct3d()->CheckDeviceFormat(adapter, D3DDEVTYPE_HAL, display, D3DUSAGE_RENDERTARGET,
                                                   D3DRTYPE_TEXTURE, candidate),
                     "Direct3D->CheckDeviceFormat - "))
            renderTargetFormats_.push_back(candidate);
    renderTargetDepthFormats_.clear();
    for (D3DFORMAT target : renderTargetFormats_)
        for (D3DFORMAT depth : depthFormats(adapter, display, target))
            renderTargetDepthFormats_.emplace_back(target, depth);
}

// ---------------------------------------------------------------------------- the dialog's lists

ScreenChoices DXDriver::screenChoices(const ScreenSelection& selection, bool preferFullScreen) const
{
    ScreenChoices choices;
    resolve(selection, preferFullScreen, &choices);
    return choices;
}

void DXDriver::applySelection(const ScreenSelection& selection)
{
    settings_ = resolve(selection, false, nullptr);
}

ScreenSettings DXDriver::resolve(const ScreenSelection& s, bool preferFullScreen, ScreenChoices* choices) const
{
    ScreenChoices unused;
    ScreenChoices& c = choices ? *choices : unused;
    ScreenSettings r;
    c.realtimePriority = s.realtimePriority != 0;
    const auto add = [](ScreenChoiceList& list, std::string text, int data, bool selected) {
        if (selected)
            list.selected = static_cast<int>(list.entries.size());
        list.entries.push_back({std::move(text), data});
    };

    // 1. Adapters.
    for (std::size_t i = 0; i < adapters().size(); ++i) {
        const bool selected = static_cast<int>(i) == s.adapter;
        add(c.adapter, adapters()[i].Description, static_cast<int>(i), selected);
        if (selected)
            r.adapter = s.adapter;
    }
    const auto adapter = static_cast<UINT>(r.adapter);

    // 2. The desktop mode and the device's capabilities.
    if (HRESULT hr = direct3d()->GetAdapterDisplayMode(adapter, &r.displayMode); FAILED(hr))
        directXError("Direct3D->GetAdapterDisplayMode - ", hr);
    if (HRESULT hr = direct3d()->GetDeviceCaps(adapter, D3DDEVTYPE_HAL, &r.caps); FAILED(hr))
        directXError("Direct3D->GetDeviceCaps - ", hr);
    r.windowed = false;

    // 3. Modes: the window first, then every full-screen mode that has back buffers.
    if (!backBufferFormats(adapter, r.displayMode.Format, true).empty()) {
        add(c.mode, "window", 0, s.mode == 0);
        if (s.mode == 0)
            r.windowed = true;
    }
    const UINT modeCount = direct3d()->GetAdapterModeCount(adapter);
    for (UINT i = 0; i < modeCount; ++i) {
        D3DDISPLAYMODE mode;
        if (HRESULT hr = direct3d()->EnumAdapterModes(adapter, i, &mode); FAILED(hr))
            directXError("Direct3D->EnumAdapterModes - ", hr);
        if (backBufferFormats(adapter, mode.Format, false).empty())
            continue;
        const int data = static_cast<int>(i) + 1;
        add(c.mode,
            formatText("%dx%d %s %dHz", static_cast<int>(mode.Width), static_cast<int>(mode.Height),
                       formatName(mode.Format).c_str(), static_cast<int>(mode.RefreshRate)),
            data, s.mode == data);
        if (s.mode == data) {
            r.windowed = false;
            r.displayMode = mode;
        }
        if (preferFullScreen && mode.Width == 640 && mode.Height == 480 && mode.Format == D3DFMT_X8R8G8B8)
            c.preferredMode = data;
    }

    // 4. Back-buffer formats; without any, nothing below can be chosen.
    const std::vector<D3DFORMAT> backBuffers = backBufferFormats(adapter, r.displayMode.Format, r.windowed);
    if (backBuffers.empty())
        return r;
    r.backBufferFormat = backBuffers.front();
    for (std::size_t i = 0; i < backBuffers.size(); ++i) {
        const bool selected = static_cast<int>(i) == s.backBufferFormat;
        add(c.backBufferFormat, formatName(backBuffers[i]), static_cast<int>(i), selected);
        if (selected)
            r.backBufferFormat = backBuffers[i];
    }

    // 5. Back-buffer count.
    add(c.backBufferCount, "1", 0, s.backBufferCount == 0);
    add(c.backBufferCount, "2", 1, s.backBufferCount == 1);
    if (s.backBufferCount == 1)
        r.backBufferCount = 2;

    // 6. Depth formats.
    const std::vector<D3DFORMAT> depths = depthFormats(adapter, r.displayMode.Format, r.backBufferFormat);
    if (!depths.empty()) {
        r.depthFormat = depths.front();
        for (std::size_t i = 0; i < depths.size(); ++i) {
            const bool selected = static_cast<int>(i) == s.depthFormat;
            add(c.depthFormat, formatName(depths[i]), static_cast<int>(i), selected);
            if (selected)
                r.depthFormat = depths[i];
        }
    }

    // 7. Multisampling.
    const std::vector<D3DMULTISAMPLE_TYPE> samples = multisampleTypes(adapter, r.backBufferFormat, r.windowed);
    if (!samples.empty()) {
        r.multisample = samples.front();
        for (std::size_t i = 0; i < samples.size(); ++i) {
            const bool selected = static_cast<int>(i) == s.multisample;
            add(c.multisample,
                samples[i] == D3DMULTISAMPLE_NONE ? std::string("none")
                                                  : formatText("%d samples", static_cast<int>(samples[i])),
                static_cast<int>(i), selected);
            if (selected)
                r.multisample = samples[i];
        }
    }

    // 8. Vertex processing (software only).
    add(c.vertexProcessing, "software", 0, s.vertexProcessing == 0);
    return r;
}

// ---------------------------------------------------------------------------- screen mode

bool DXDriver::selectScreenMode(bool& realtime, bool preferFullScreen)
{
    restoreScreenMode();
    if (setupDialog()) {
        if (!setupDialog()(*this, preferFullScreen))
            return false;
    } else {
        SetupDialog(*this, preferFullScreen).accept();
    }
    realtime = remembered_.realtimePriority != 0;
    screenRect_ = {0, 0, static_cast<long>(settings_.displayMode.Width), static_cast<long>(settings_.displayMode.Height)};
    switch (settings_.backBufferFormat) {
    case D3DFMT_R8G8B8: colorDepthBits_ = 24, colorDepthBytes_ = 3; break;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: colorDepthBits_ = 32, colorDepthBytes_ = 4; break;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: colorDepthBits_ = 16, colorDepthBytes_ = 2; break;
    default: colorDepthBits_ = colorDepthBytes_ = 0; break;
    }
    rebuildCapabilityLists();
    return true;
}

bool DXDriver::setScreenMode(HWND window)
{
    restoreScreenMode();
    window_ = window;
    long width = static_cast<long>(settings_.displayMode.Width), height = static_cast<long>(settings_.displayMode.Height);
    if (settings_.windowed && window) {
        width = window->clientWidth();
        height = window->clientHeight();
    }
    screenRect_ = {0, 0, width, height};

    D3DPRESENT_PARAMETERS& p = presentation_;
    p = {};
    p.BackBufferWidth = static_cast<UINT>(width);
    p.BackBufferHeight = static_cast<UINT>(height);
    p.BackBufferFormat = settings_.backBufferFormat;
    p.BackBufferCount = static_cast<UINT>(settings_.backBufferCount);
    p.MultiSampleType = settings_.multisample;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.hDeviceWindow = window;
    p.Windowed = settings_.windowed ? TRUE : FALSE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = settings_.depthFormat;
    p.Flags = 0;
    p.FullScreen_RefreshRateInHz = settings_.windowed ? 0 : settings_.displayMode.RefreshRate;
    p.FullScreen_PresentationInterval = settings_.windowed ? 0 : D3DPRESENT_INTERVAL_ONE;

    const DWORD flags = settings_.vertexProcessing | D3DCREATE_FPU_PRESERVE;
    D3DPRESENT_PARAMETERS attempt = p;
    HRESULT hr = direct3d()->CreateDevice(static_cast<UINT>(settings_.adapter), D3DDEVTYPE_HAL, window, flags, &attempt,
                                          &device_);
    if (FAILED(hr)) {
        attempt = p;
        hr = direct3d()->CreateDevice(static_cast<UINT>(settings_.adapter), D3DDEVTYPE_HAL, window, flags, &attempt, &device_);
        if (FAILED(hr)) {
            device_ = nullptr;
            directXError("Direct3D->CreateDevice - ", hr);
        }
    }
    // Images are loaded no larger than the device's textures from now on.
    D3DCAPS8 deviceCaps;
    if (HRESULT capsResult = device_->GetDeviceCaps(&deviceCaps); FAILED(capsResult))
        directXError("Device->GetDeviceCaps - ", capsResult);
    largestTextureWidth_ = static_cast<int>(std::min<DWORD>(deviceCaps.MaxTextureWidth, INT_MAX));
    largestTextureHeight_ = static_cast<int>(std::min<DWORD>(deviceCaps.MaxTextureHeight, INT_MAX));
    Surface::setLargestImage(largestTextureWidth_, largestTextureHeight_);
    for (int i = 0; i < settings_.backBufferCount; ++i) {
        device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        device_->Present(nullptr, nullptr, nullptr, nullptr);
    }
    device_->SetGammaRamp(D3DSGR_NO_CALIBRATION, &gammaRamp_);
    return true;
}

void DXDriver::restoreScreenMode()
{
    if (!device_)
        return;
    const UINT count = device_->Release();
    if (count > 0)
        Console::print("DXDriver::restoreScreenMode - device reference count = %d\n", static_cast<int>(count));
    device_ = nullptr;
    largestTextureWidth_ = largestTextureHeight_ = Surface::kDefaultLargestImage;
    Surface::setLargestImage(largestTextureWidth_, largestTextureHeight_);
}

void DXDriver::flip()
{
    if (!device_)
        fatalError("DXDriver::flip - screen mode must be set before flip");
    const HRESULT hr = device_->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3DERR_DEVICELOST) {
        VideoMemoryResource::releaseAll();
        D3DPRESENT_PARAMETERS p = presentation_;
        if (HRESULT reset = device_->Reset(&p); FAILED(reset))
            directXError("Device->Reset - ", reset);
        VideoMemoryResource::restoreAll();
    } else if (hr == D3DERR_INVALIDCALL) {
        directXError("Device->Present - ", hr);
    }
}

IDirect3DDevice8* DXDriver::drawingDevice() const
{
    if (!device_)
        fatalError("DXDriver - screen mode must be set before drawing");
    return device_;
}

void DXDriver::discardManagedResources()
{
    if (device_)
        device_->ResourceManagerDiscardBytes(0);
}

// ---------------------------------------------------------------------------- names and errors

std::string DXDriver::formatName(DWORD format)
{
    switch (format) {
    case D3DFMT_UNKNOWN: return "unknown";
    case D3DFMT_R8G8B8: return "R8G8B8";
    case D3DFMT_A8R8G8B8: return "A8R8G8B8";
    case D3DFMT_X8R8G8B8: return "X8R8G8B8";
    case D3DFMT_R5G6B5: return "R5G6B5";
    case D3DFMT_X1R5G5B5: return "X1R5G5B5";
    case D3DFMT_A1R5G5B5: return "A1R5G5B5";
    case D3DFMT_A4R4G4B4: return "A4R4G4B4";
    case D3DFMT_R3G3B2: return "R3G3B2";
    case D3DFMT_A8: return "A8";
    case D3DFMT_A8R3G3B2: return "A8R3G3B2";
    case D3DFMT_X4R4G4B4: return "X4R4G4B4";
    case D3DFMT_A8P8: return "A8P8";
    case D3DFMT_P8: return "P8";
    case D3DFMT_L8: return "L8";
    case D3DFMT_A8L8: return "A8L8";
    case D3DFMT_A4L4: return "A4L4";
    case D3DFMT_V8U8: return "V8U8";
    case D3DFMT_L6V5U5: return "L6V5U5";
    case D3DFMT_X8L8V8U8: return "X8L8V8U8";
    case D3DFMT_Q8W8V8U8: return "Q8W8V8U8";
    case D3DFMT_V16U16: return "V16U16";
    case D3DFMT_W11V11U10: return "W11V11U10";
    case D3DFMT_D16_LOCKABLE: return "D16_LOCKABLE";
    case D3DFMT_D32: return "D32";
    case D3DFMT_D15S1: return "D15S1";
    case D3DFMT_D24S8: return "D24S8";
    case D3DFMT_D24X8: return "D24X8";
    case D3DFMT_D24X4S4: return "D24X4S4";
    case D3DFMT_D16: return "D16";
    case D3DFMT_VERTEXDATA: return "VERTEXDATA";
    case D3DFMT_INDEX16: return "INDEX16";
    case D3DFMT_INDEX32: return "INDEX32";
    case D3DFMT_UYVY:
    case D3DFMT_YUY2:
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: {
        // Four-character codes name themselves, first letter in the lowest byte.
        std::string name(4, ' ');
        for (int i = 0; i < 4; ++i)
            name[static_cast<std::size_t>(i)] = static_cast<char>(format >> (8 * i) & 0xFF);
        return name;
    }
    default: return "format not found";
    }
}

void DXDriver::fatalError(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::string message = formatTextV(format, args);
    va_end(args);
    // The program's clean-up hook gives the display back (restoreScreenMode) and hides
    // the window before the message shows.
    Console::fatal(message);
}

void DXDriver::directXError(const char* label, HRESULT result)
{
    char text[100];
    D3DXGetErrorString(result, text, sizeof text);
    // The composed text is the message itself, never a format: a '%' in it stays as it is.
    Console::fatal(formatText("DirectX error - %s %s", label, text));
}

}  // namespace mirva
