// The program's entry: common controls, the main window, and the message
// loop. Failures that no handler catches are shown by ShowUncaughtFailure,
// called from the window procedure, and the loop goes on.
#include <windows.h>

#include <commctrl.h>

#include "settings/SettingsPath.h"
#include "ui/FormMain.h"
#include "ui/UiRules.h"

namespace {

// The executable's file name up to its first ".", as the error boxes' caption.
std::wstring ApplicationTitle() {
    const std::wstring path = RunningExecutablePath();
    return ApplicationTitleOf(path.substr(path.find_last_of(L"\\:") + 1));
}

}  // namespace

void ShowUncaughtFailure(std::wstring_view message) {
    const HWND owner = FormMain && IsWindow(FormMain->Handle()) ? FormMain->Handle() : nullptr;
    MessageBoxW(owner, FailureText(message).c_str(), ApplicationTitle().c_str(), MB_OK | MB_ICONERROR);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    TFormMain* form = TFormMain::Create(instance);
    if (!form) return 1;
    ShowWindow(form->Handle(), show);
    UpdateWindow(form->Handle());
    SetForegroundWindow(form->Handle());
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchApplicationMessage(message);
    FormMain = nullptr;
    delete form;
    return static_cast<int>(message.wParam);
}
