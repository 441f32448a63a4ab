// The keys that every message pump hands to the window: each key-down on
// the window or its controls is seen first by the application-wide shortcut,
// where Esc stops a run, then by the window's dialog keys, which the report
// pane leaves Tab and Esc to.
#include "ui/FormMain.h"

#include <commctrl.h>

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
