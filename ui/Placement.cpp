// The main window's place: the work area it lies in, its normal place as
// the settings keep it, and its placement at a load of the settings.
#include "ui/FormMain.h"

namespace {

RECT WorkAreaOf(HMONITOR monitor) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

TRect32 Rect32Of(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

RECT TFormMain::MonitorWorkArea(HWND window) { return WorkAreaOf(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)); }

// The window's place is its normal (restored) rectangle, also while it is
// minimised or maximised. The placement holds it in workspace coordinates,
// which start at the work area's corner instead of the monitor's.
RECT TFormMain::NormalRect() const {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(FHandle, &placement);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(FHandle, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT r = placement.rcNormalPosition;
    OffsetRect(&r, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    return r;
}

void TFormMain::MoveNormalRect(int left, int top) {
    if (!IsIconic(FHandle) && !IsZoomed(FHandle)) {
        SetWindowPos(FHandle, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    const RECT current = NormalRect();
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(FHandle, &placement);
    OffsetRect(&placement.rcNormalPosition, left - current.left, top - current.top);
    if (IsIconic(FHandle)) placement.showCmd = SW_SHOWMINNOACTIVE;
    SetWindowPlacement(FHandle, &placement);
}

std::int32_t TFormMain::WindowTop() const { return NormalRect().top; }
std::int32_t TFormMain::WindowLeft() const { return NormalRect().left; }

// One move: the work area is that of the monitor nearest to where the stored
// position puts the window, or of the window's own monitor when it is centred.
void TFormMain::PlaceMainWindow(const TWindowPosition& stored) {
    const TRect32 window = Rect32Of(NormalRect());
    const std::optional<TRect32> moved = StoredWindowRect(stored, window);
    RECT work{};
    if (moved) {
        const RECT there{moved->Left, moved->Top, moved->Right, moved->Bottom};
        work = WorkAreaOf(MonitorFromRect(&there, MONITOR_DEFAULTTONEAREST));
    } else {
        work = MonitorWorkArea(FHandle);
    }
    const TRect32 placed = PlacedWindowRect(stored, window, Rect32Of(work));
    MoveNormalRect(placed.Left, placed.Top);
}
