#include "app/setup_dialog_window.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>
#include <imgui.h>

#include <backends/imgui_impl_opengl3.h>
#include <backends/imgui_impl_sdl.h>

#include <string>

#include "engine/setup_dialog.h"
#include "io/console.h"
#include "platform/d3d8/window.h"

namespace mirva {

namespace {

using Layout = SetupDialogLayout;

constexpr SetupDialog::List kLists[SetupDialog::kListCount] = {
    SetupDialog::ADAPTER, SetupDialog::MODE,             SetupDialog::BACKBUFFERFORMAT, SetupDialog::BACKBUFFERCOUNT,
    SetupDialog::ZBUFFER, SetupDialog::VERTEXPROCESSING, SetupDialog::MULTISAMPLETYPE,
};

// The SDL window with its OpenGL context and the ImGui context, released in reverse.
class DialogWindow {
public:
    DialogWindow()
    {
        std::string reason;
        if (!displayAvailable(&reason))
            Console::fatal("setup dialog - couldn't open a window: " + reason);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        window_ = SDL_CreateWindow(SetupDialog::kTitle, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, Layout::kWidth,
                                   Layout::kHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
        if (!window_)
            Console::fatal(std::string("setup dialog - couldn't open a window: ") + SDL_GetError());
        context_ = SDL_GL_CreateContext(window_);
        if (!context_) {
            const std::string error = SDL_GetError();
            SDL_DestroyWindow(window_);
            Console::fatal("setup dialog - couldn't create an OpenGL context: " + error);
        }
        SDL_GL_MakeCurrent(window_, context_);
        SDL_GL_SetSwapInterval(1);
        SDL_RaiseWindow(window_);

        IMGUI_CHECKVERSION();
        ImGui::CreateContext();
        ImGui::GetIO().IniFilename = nullptr;  // nothing is written into the show's folder
        ImGui::GetIO().LogFilename = nullptr;
        ImGui::StyleColorsClassic();
        ImGui_ImplSDL2_InitForOpenGL(window_, context_);
        ImGui_ImplOpenGL3_Init("#version 330 core");
    }
    ~DialogWindow()
    {
        ImGui_ImplOpenGL3_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext();
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
        SDL_DestroyWindow(window_);
    }
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    Uint32 id() const { return SDL_GetWindowID(window_); }
    void present() { SDL_GL_SwapWindow(window_); }

private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
};

// One list: its label on the left, a drop-down list of its entries on the right. Returns
// the entry picked this frame, or -1.
int drawList(const SetupDialog& dialog, SetupDialog::List which, int row)
{
    const ScreenChoiceList& list = dialog.list(which);
    ImGui::SetCursorPos(ImVec2(Layout::kMargin, static_cast<float>(Layout::rowTop(row)) + 3));
    ImGui::TextUnformatted(SetupDialog::label(which));
    ImGui::SetCursorPos(ImVec2(Layout::kListX, static_cast<float>(Layout::rowTop(row))));
    ImGui::SetNextItemWidth(Layout::kListWidth);
    const char* shown = list.selected >= 0 ? list.entries[static_cast<std::size_t>(list.selected)].text.c_str() : "";
    int picked = -1;
    ImGui::PushID(row);
    if (ImGui::BeginCombo("", shown)) {
        for (std::size_t i = 0; i < list.entries.size(); ++i) {
            ImGui::PushID(static_cast<int>(i));
            if (ImGui::Selectable(list.entries[i].text.c_str(), static_cast<int>(i) == list.selected))
                picked = static_cast<int>(i);
            ImGui::PopID();
        }
        ImGui::EndCombo();
    }
    ImGui::PopID();
    return picked;
}

// Draws the whole dialog; the user's picks are passed on after drawing, as each of them
// fills the lists again. Returns whether a drop-down list is open.
bool drawDialog(SetupDialog& dialog)
{
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("##selector", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);
    SetupDialog::List pickedList = SetupDialog::ADAPTER;
    int picked = -1;
    for (int row = 0; row < SetupDialog::kListCount; ++row)
        if (const int entry = drawList(dialog, kLists[row], row); entry >= 0) {
            pickedList = kLists[row];
            picked = entry;
        }

    const float checkRow = static_cast<float>(Layout::rowTop(SetupDialog::kListCount));
    ImGui::SetCursorPos(ImVec2(Layout::kMargin, checkRow + 3));
    ImGui::TextUnformatted(SetupDialog::kRealtimeLabel);
    ImGui::SetCursorPos(ImVec2(Layout::kListX, checkRow));
    bool checked = dialog.realtimeChecked();
    const bool toggled = ImGui::Checkbox(SetupDialog::kRealtimeText, &checked);

    const float buttonRow = static_cast<float>(Layout::rowTop(SetupDialog::kListCount + 1)) + 4;
    ImGui::SetCursorPos(ImVec2(Layout::kListX, buttonRow));
    const bool ok = ImGui::Button(SetupDialog::kOkText, ImVec2(Layout::kListWidth, 0));
    const bool popupOpen = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopup);
    ImGui::End();

    if (picked >= 0)
        dialog.select(pickedList, picked);
    if (toggled)
        dialog.toggleRealtime();
    if (ok)
        dialog.accept();
    return popupOpen;
}

}  // namespace

bool runSetupDialogWindow(DXDriver& driver, bool preferFullScreen)
{
    SetupDialog dialog(driver, preferFullScreen);
    DialogWindow window;
    bool popupOpen = false;
    while (dialog.result() == SetupDialog::OPEN) {
        SDL_Event event;
        // Sleep until something happens, but keep drawing now and then so that hovering
        // and opening lists show without delay.
        bool have = SDL_WaitEventTimeout(&event, 50) != 0;
        while (have && dialog.result() == SetupDialog::OPEN) {
            ImGui_ImplSDL2_ProcessEvent(&event);
            if (event.type == SDL_QUIT)
                dialog.cancel();
            else if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE &&
                     event.window.windowID == window.id())
                dialog.cancel();
            else if (event.type == SDL_KEYDOWN && !popupOpen) {
                // Enter presses the default button; Escape cancels. An open drop-down list
                // keeps both keys for itself.
                const SDL_Keycode key = event.key.keysym.sym;
                if (key == SDLK_RETURN || key == SDLK_KP_ENTER)
                    dialog.accept();
                else if (key == SDLK_ESCAPE)
                    dialog.cancel();
            }
            have = SDL_PollEvent(&event) != 0;
        }
        if (dialog.result() != SetupDialog::OPEN)
            break;
        ImGui_ImplOpenGL3_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        popupOpen = drawDialog(dialog);
        ImGui::Render();
        const ImGuiIO& io = ImGui::GetIO();
        glViewport(0, 0, static_cast<int>(io.DisplaySize.x), static_cast<int>(io.DisplaySize.y));
        glClearColor(0.75f, 0.75f, 0.75f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        window.present();
    }
    return dialog.result() == SetupDialog::ACCEPTED;
}

}  // namespace mirva
