#pragma once
// SetupDialog: what the setup dialog "come on my selector" decides, without any window.
//
// Seven lists (adapter, mode, back-buffer format and count, depth buffer, vertex
// processing, multisampling), the realtime-priority check box and the "on" button. Every
// list offers only what the chosen adapter and the choices above it support: the lists
// are DXDriver's screen choices, filled again after every change, and each filling leaves
// the driver's settings as the dialog shows them. A view (the program's window) draws the
// lists and labels and passes the user's actions in; this class is all the behaviour.
//
// Order of use: construct (opening) -> select / toggleRealtime any number of times ->
// accept or cancel.
#include "engine/dx_driver.h"

namespace mirva {

class SetupDialog {
public:
    enum List { ADAPTER, MODE, BACKBUFFERFORMAT, BACKBUFFERCOUNT, ZBUFFER, VERTEXPROCESSING, MULTISAMPLETYPE };
    static constexpr int kListCount = 7;
    enum Result { OPEN = 0, ACCEPTED = 1, CANCELLED = 2 };

    static constexpr const char* kTitle = "come on my selector";
    static constexpr const char* kRealtimeLabel = "realtime priority";
    static constexpr const char* kRealtimeText = "(smoother, but i wouldn't have lots of unsaved data around)";
    static constexpr const char* kOkText = "on";
    // The label shown left of a list: "adapter", "mode", "backbufferformat", ...
    static const char* label(List list);

    // Opens on the driver's remembered selection. With `preferFullScreen`, an adapter's
    // 640 x 480 X8R8G8B8 mode is chosen and remembered at once.
    SetupDialog(DXDriver& driver, bool preferFullScreen);

    const ScreenChoiceList& list(List list) const;
    bool realtimeChecked() const { return choices_.realtimePriority; }

    // The user picked entry `entry` of a list (-1: an empty selection, which does
    // nothing). A new adapter starts over from its first choices; a new mode or
    // back-buffer format starts over from the first of the lists below it.
    void select(List list, int entry);
    void toggleRealtime();
    // "on" (Enter): a selection that differs from the one the dialog opened with becomes
    // the driver's remembered selection.
    void accept();
    // Escape or the close box.
    void cancel() { result_ = CANCELLED; }

    Result result() const { return result_; }
    const ScreenSelection& initialSelection() const { return initial_; }
    const ScreenSelection& workingSelection() const { return working_; }

private:
    void fill()
    {
        choices_ = driver_.screenChoices(working_, preferFullScreen_);
        driver_.applySelection(working_);
    }

    DXDriver& driver_;
    bool preferFullScreen_;
    ScreenSelection initial_, working_;
    ScreenChoices choices_;
    Result result_ = OPEN;
};

}  // namespace mirva
