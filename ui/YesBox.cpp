#include "ui/YesBox.h"

#include <string>

#include "settings/Settings.h"
#include "ui/WindowHelpers.h"

namespace {

// The hook renames the button and places the box at its first activation,
// then removes itself.
struct TBoxPlacement {
    HHOOK Hook = nullptr;
    bool Centre = false;
    RECT Over{};
};
TBoxPlacement BoxPlacement;

LRESULT CALLBACK MessageBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && BoxPlacement.Hook) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDOK, L"&Yes");
        if (BoxPlacement.Centre) {
            const RECT d = WindowRectOf(box);
            const RECT& r = BoxPlacement.Over;
            const int top = CentredStart(r.top, r.bottom - r.top, d.bottom - d.top);
            const int left = CentredStart(r.left, r.right - r.left, d.right - d.left);
            SetWindowPos(box, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const HHOOK hook = BoxPlacement.Hook;
        BoxPlacement.Hook = nullptr;
        UnhookWindowsHookEx(hook);
        return 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int ShowYesBox(HWND owner, std::wstring_view text, const RECT* centreOver) {
    BoxPlacement.Centre = centreOver != nullptr;
    if (centreOver) BoxPlacement.Over = *centreOver;
    BoxPlacement.Hook = SetWindowsHookExW(WH_CBT, MessageBoxHook, nullptr, GetCurrentThreadId());
    const std::wstring body(text);
    const int result = MessageBoxW(owner, body.c_str(), L"Information", MB_OK | MB_ICONINFORMATION);
    if (BoxPlacement.Hook) {
        UnhookWindowsHookEx(BoxPlacement.Hook);
        BoxPlacement.Hook = nullptr;
    }
    return result == IDOK ? IDYES : result;
}
