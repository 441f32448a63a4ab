// The Browse button's open-file dialog, centred over the main window: its
// frame is sub-classed from its show to its close, and the frame's first
// three position changes are rewritten into the main window's centre,
// kept inside the work area.
#include "ui/FormMain.h"

#include <commdlg.h>

#include <string>

#include "settings/SettingsPath.h"
#include "ui/ControlIds.h"

namespace {

constexpr wchar_t kOpenDialogFilter[] =
    L"Log file (*.nmea, *.nme,*.nma, *.log, *.txt)|*.nmea;*.nme;*.nma;*.log;*.txt|"
    L".nmea .nme .nma only (*.nmea, *.nme, *.nma)|*.nmea;*.nme;*.nma|.log only (*.log)|*.log|"
    L".txt only (*.txt)|*.txt|All file (*.*)|*.*";
constexpr std::uint8_t kRewrittenMoves = 3;
constexpr DWORD kFileBufferChars = 32768;

// The filter with "|" turned into the NULs that the dialog expects.
std::wstring DialogFilter() {
    std::wstring filter(kOpenDialogFilter);
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    filter.push_back(L'\0');
    return filter;
}

}  // namespace

void TFormMain::ButtonBrowseClick() {
    std::wstring file(kFileBufferChars, L'\0');
    const std::wstring filter = DialogFilter();
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = FHandle;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kFileBufferChars;
    dialog.lpstrInitialDir = FOpenDialogInitialDir.empty() ? nullptr : FOpenDialogInitialDir.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLEHOOK | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    dialog.lpfnHook = OpenDialogHook;
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    const BOOL chosen = GetOpenFileNameW(&dialog);
    FOpenDialog1Frame.reset();  // in case the dialog ended without its hook's close
    if (!chosen) return;
    file.resize(file.find(L'\0'));
    FOpenDialogInitialDir = std::wstring(FolderPart(file));
    SetEditText(EditBox::Filename, file);
}

// The hook is the dialog procedure of a child of the dialog's frame. The
// window object comes with WM_INITDIALOG, as the dialog's lCustData, and is
// kept in the child's DWLP_USER for the notifications that follow.
UINT_PTR CALLBACK TFormMain::OpenDialogHook(HWND hookWindow, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(hookWindow, DWLP_USER, reinterpret_cast<const OPENFILENAMEW*>(lParam)->lCustData);
        return 0;
    }
    auto* self = reinterpret_cast<TFormMain*>(GetWindowLongPtrW(hookWindow, DWLP_USER));
    if (!self) return 0;
    if (message == WM_NOTIFY && reinterpret_cast<OFNOTIFYW*>(lParam)->hdr.code == CDN_INITDONE) {
        self->OpenDialog1Show(hookWindow);
    } else if (message == WM_DESTROY) {
        self->OpenDialog1Close();
    }
    return 0;
}

void TFormMain::OpenDialog1Show(HWND hookWindow) {
    if (FOpenDialog1Frame) return;
    FOpenDialog1MoveFlag = kRewrittenMoves;
    FOpenDialog1Frame =
        std::make_unique<TFrameSubclass>(GetParent(hookWindow), OpenDialogFrameProc, reinterpret_cast<DWORD_PTR>(this));
}

void TFormMain::OpenDialog1Close() { FOpenDialog1Frame.reset(); }

// The sub-class's reference data is the window object that installed it.
LRESULT CALLBACK TFormMain::OpenDialogFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR self) {
    return reinterpret_cast<TFormMain*>(self)->OpenDialogWndProc(frame, message, wParam, lParam);
}

LRESULT TFormMain::OpenDialogWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING && FOpenDialog1MoveFlag > 0) {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        pos->flags &= ~static_cast<UINT>(SWP_NOMOVE);
        --FOpenDialog1MoveFlag;
        const RECT work = MonitorWorkArea(FHandle);
        RECT main{}, dialog{};
        GetWindowRect(FHandle, &main);
        GetWindowRect(frame, &dialog);
        const int width = dialog.right - dialog.left, height = dialog.bottom - dialog.top;
        int x = CentredStart(main.left, main.right - main.left, width);
        int y = CentredStart(main.top, main.bottom - main.top, height);
        // Unlike the main window's placement, an oversized dialog ends with
        // its bottom and right edges on the work area's.
        if (y < work.top) y = work.top;
        if (y > work.bottom - height) y = work.bottom - height;
        if (x < work.left) x = work.left;
        if (x > work.right - width) x = work.right - width;
        pos->x = x;
        pos->y = y;
    }
    return DefSubclassProc(frame, message, wParam, lParam);
}
