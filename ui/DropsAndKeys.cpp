// Files dropped on the main window, and the keys that every message pump
// hands to the window: Esc stops a run, the report pane leaves Tab and Esc
// to the window's dialog keys.
#include "ui/FormMain.h"

#include <commctrl.h>

#include "dates/AsciiText.h"
#include "settings/SettingsPath.h"

namespace {

// The extension from the last "." of the file-name part, lower-cased A to Z.
std::wstring LowerExtension(std::wstring_view path) {
    const std::wstring_view name = FileNamePart(path);
    const auto dot = name.rfind(L'.');
    return LowerAscii(dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot));
}

// One dropped name whole, however long: its length is asked for first.
std::wstring DroppedName(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
    name.resize(DragQueryFileW(drop, index, name.data(), length + 1));
    return name;
}

// Releases a drop on every way out of its handler.
class TDropGuard {
public:
    explicit TDropGuard(HDROP drop) : FDrop(drop) {}
    ~TDropGuard() { DragFinish(FDrop); }
    TDropGuard(const TDropGuard&) = delete;
    TDropGuard& operator=(const TDropGuard&) = delete;

private:
    HDROP FDrop;
};

}  // namespace

void TFormMain::WMDropFiles(HDROP drop) {
    TDropGuard release(drop);
    if (FState.RunActive) return;   // released all the same
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const std::wstring name = DroppedName(drop, i);
        if (LowerExtension(name) == L".ini") {
            SaveSettingsNow();
            const auto files = MakeSystemSettingsFiles();
            FSettingsPath = ResolveSettingsPath(name, *files);
            LoadSettingsNow();
        } else {
            SetEditText(EditBox::Filename, name);
            ButtonConvClick();
            if (!IsWindow(FHandle)) return;   // closed during that run
        }
    }
}

void DispatchApplicationMessage(MSG& message) {
    const HWND main = FormMain ? FormMain->Handle() : nullptr;
    const bool ours = main && (message.hwnd == main || IsChild(main, message.hwnd));
    if (ours && message.message == WM_KEYDOWN) FormMain->ApplicationEvents1ShortCut(message);
    if (ours && IsDialogMessageW(main, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void TFormMain::ApplicationEvents1ShortCut(const MSG& message) {
    if (message.wParam == VK_ESCAPE) FState.AbortRequested = true;
}

// Tab, Shift+Tab and Esc in the report pane are left to the window's
// dialog keys, as in a single-line box: a multi-line edit control that
// takes them itself under IsDialogMessageW turns Esc into a close request of
// its parent and Tab into a focus move that a plain window ignores.
LRESULT CALLBACK TFormMain::ReportPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(pane, message, wParam, lParam);
    if (message == WM_GETDLGCODE && lParam) {
        const MSG& key = *reinterpret_cast<const MSG*>(lParam);
        if (key.message == WM_KEYDOWN && (key.wParam == VK_TAB || key.wParam == VK_ESCAPE)) {
            result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        }
    }
    return result;
}
