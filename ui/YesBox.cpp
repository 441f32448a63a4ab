#include "ui/YesBox.h"

#include <string>

#include "settings/WindowPlacement.h"
#include "ui/WindowHelpers.h"

namespace {

// Renames the box's button and places the box at its first activation, then
// removes itself; it lives as long as the box is shown. A CBT hook procedure
// has no context argument, so it finds the object through a pointer of its
// thread that only a live object sets.
class TYesBoxHook {
public:
    explicit TYesBoxHook(const RECT* centreOver)
        : FCentre(centreOver != nullptr), FOver(centreOver ? *centreOver : RECT{}), FPrevious(FWaiting) {
        FWaiting = this;
        FHook = SetWindowsHookExW(WH_CBT, Procedure, nullptr, GetCurrentThreadId());
    }
    ~TYesBoxHook() {
        Unhook();
        FWaiting = FPrevious;
    }
    TYesBoxHook(const TYesBoxHook&) = delete;
    TYesBoxHook& operator=(const TYesBoxHook&) = delete;

private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam) {
        TYesBoxHook* self = FWaiting;
        if (code == HCBT_ACTIVATE && self && self->FHook) {
            self->Prepare(reinterpret_cast<HWND>(wParam));
            self->Unhook();
            return 0;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    void Prepare(HWND box) const {
        SetDlgItemTextW(box, IDOK, L"&Yes");
        if (!FCentre) return;
        const RECT d = WindowRectOf(box);
        const int top = CentredStart(FOver.top, FOver.bottom - FOver.top, d.bottom - d.top);
        const int left = CentredStart(FOver.left, FOver.right - FOver.left, d.right - d.left);
        SetWindowPos(box, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void Unhook() {
        if (!FHook) return;
        UnhookWindowsHookEx(FHook);
        FHook = nullptr;
    }

    static thread_local TYesBoxHook* FWaiting;
    bool FCentre;
    RECT FOver;
    TYesBoxHook* FPrevious;  // a box shown from within another's
    HHOOK FHook = nullptr;
};

thread_local TYesBoxHook* TYesBoxHook::FWaiting = nullptr;

}  // namespace

int ShowYesBox(HWND owner, std::wstring_view text, const RECT* centreOver) {
    const std::wstring body(text);
    int result = 0;
    {
        TYesBoxHook hook(centreOver);
        result = MessageBoxW(owner, body.c_str(), L"Information", MB_OK | MB_ICONINFORMATION);
    }
    return result == IDOK ? IDYES : result;
}
