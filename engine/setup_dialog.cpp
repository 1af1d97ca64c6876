#include "engine/setup_dialog.h"

namespace mirva {

const char* SetupDialog::label(List list)
{
    switch (list) {
    case ADAPTER: return "adapter";
    case MODE: return "mode";
    case BACKBUFFERFORMAT: return "backbufferformat";
    case BACKBUFFERCOUNT: return "backbuffercount";
    case ZBUFFER: return "zbuffer";
    case VERTEXPROCESSING: return "vertexprocessing";
    case MULTISAMPLETYPE: return "multisampletype";
    }
    return "";
}

SetupDialog::SetupDialog(DXDriver& driver, bool preferFullScreen)
    : driver_(driver), preferFullScreen_(preferFullScreen), initial_(driver.rememberedSelection()),
      working_(initial_)
{
    fill();
    if (preferFullScreen_ && choices_.preferredMode >= 0) {
        initial_.mode = working_.mode = driver_.rememberedSelection().mode = choices_.preferredMode;
        fill();
    }
}

const ScreenChoiceList& SetupDialog::list(List list) const
{
    switch (list) {
    case ADAPTER: return choices_.adapter;
    case MODE: return choices_.mode;
    case BACKBUFFERFORMAT: return choices_.backBufferFormat;
    case BACKBUFFERCOUNT: return choices_.backBufferCount;
    case ZBUFFER: return choices_.depthFormat;
    case VERTEXPROCESSING: return choices_.vertexProcessing;
    case MULTISAMPLETYPE: return choices_.multisample;
    }
    return choices_.adapter;
}

void SetupDialog::select(List which, int entry)
{
    const ScreenChoiceList& shown = list(which);
    if (entry < 0 || entry >= static_cast<int>(shown.entries.size()))
        return;
    const int data = shown.entries[static_cast<std::size_t>(entry)].data;
    ScreenSelection& s = working_;
    switch (which) {
    case ADAPTER:
        if (data != s.adapter) {
            s = {};
            s.adapter = data;
        }
        break;
    case MODE:
        s.mode = data;
        s.backBufferFormat = s.depthFormat = s.multisample = 0;
        break;
    case BACKBUFFERFORMAT:
        s.backBufferFormat = data;
        s.depthFormat = s.multisample = 0;
        break;
    case BACKBUFFERCOUNT: s.backBufferCount = data; break;
    case ZBUFFER: s.depthFormat = data; break;
    case VERTEXPROCESSING: s.vertexProcessing = data; break;
    case MULTISAMPLETYPE: s.multisample = data; break;
    }
    fill();
}

void SetupDialog::toggleRealtime()
{
    working_.realtimePriority = working_.realtimePriority ? 0 : 1;
    fill();
}

void SetupDialog::accept()
{
    if (!(working_ == initial_))
        driver_.rememberedSelection() = working_;
    result_ = ACCEPTED;
}

}  // namespace mirva
