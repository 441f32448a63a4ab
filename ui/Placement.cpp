// The main window's place: the work area it lies in, its normal place as
// the settings keep it, and the placement at a load of the settings.
#include "ui/FormMain.h"

RECT TFormMain::MonitorWorkArea(HWND window) {
    const HMONITOR monitor =
        MonitorFromWindow(window ? window : FormMain->Handle(), MONITOR_DEFAULTTONEAREST);
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    return info.rcWork;
}

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

void TFormMain::SetWindowTop(std::int32_t top) { MoveNormalRect(WindowLeft(), top); }
void TFormMain::SetWindowLeft(std::int32_t left) { MoveNormalRect(left, WindowTop()); }

void TFormMain::PlaceMainWindow(std::int32_t& top, std::int32_t& left) {
    const RECT outer = NormalRect();
    const std::int32_t height = outer.bottom - outer.top, width = outer.right - outer.left;
    if (top == kUnsetPosition || left == kUnsetPosition) {
        const RECT work = MonitorWorkArea(FHandle);
        CentreInWorkArea(top, left, height, width, {work.left, work.top, work.right, work.bottom});
    } else {
        SetWindowTop(top);
        SetWindowLeft(left);
    }
    const RECT work = MonitorWorkArea(FHandle);
    ClampToWorkArea(top, left, height, width, {work.left, work.top, work.right, work.bottom});
}
