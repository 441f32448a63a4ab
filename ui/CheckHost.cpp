// The main window as the check run's host: the boxes it reads and corrects,
// the status bar, the report pane, the wait cursor, the message processing
// and the information box.
#include "ui/FormMain.h"

#include <commctrl.h>

#include <functional>

#include "dates/DateTime.h"
#include "engine/CheckRun.h"
#include "engine/UserError.h"
#include "ui/ControlIds.h"
#include "ui/WindowHelpers.h"
#include "ui/YesBox.h"

namespace {

// Writes the buffered report lines into the pane however a run ends.
class TReportFlushGuard {
public:
    explicit TReportFlushGuard(std::function<void()> flush) : FFlush(std::move(flush)) {}
    ~TReportFlushGuard() { FFlush(); }
    TReportFlushGuard(const TReportFlushGuard&) = delete;
    TReportFlushGuard& operator=(const TReportFlushGuard&) = delete;

private:
    std::function<void()> FFlush;
};

}  // namespace

void TFormMain::ButtonConvClick() {
    if (FState.RunActive) return;   // a start request during a run is ignored
    TReportFlushGuard flush([this] {
        if (IsWindow(FHandle)) FlushReport();
        EndIfClosePending();
    });
    const TRunResult result = RunCheck(*this, FState, FLogReader, FConventions, CurrentLocalYear());
    // A log that cannot be read is a failure of the program's own kind: the
    // failure box shows it, and a drop stops at that log.
    if (result.End == RunEnd::ReadError) throw TUserError(result.Message);
}

HWND TFormMain::EditOf(EditBox which) const {
    switch (which) {
    case EditBox::Filename: return Control(kIdEditFilename);
    case EditBox::FlucTime: return Control(kIdEditFlucTime);
    case EditBox::Tdecimal: return Control(kIdEditTdecimal);
    }
    return nullptr;
}

HWND TFormMain::CheckBoxOf(AlarmBox which) const {
    switch (which) {
    case AlarmBox::SameTime: return Control(kIdCheckBoxSameTime);
    case AlarmBox::StepChange: return Control(kIdCheckBoxStepChange);
    case AlarmBox::MovedBack: return Control(kIdCheckBoxMovedBack);
    }
    return nullptr;
}

std::wstring TFormMain::EditText(EditBox which) const { return WindowText(EditOf(which)); }

void TFormMain::SetEditText(EditBox which, std::wstring_view text) {
    SetWindowTextW(EditOf(which), std::wstring(text).c_str());
}

bool TFormMain::IsChecked(AlarmBox which) const {
    return SendMessageW(CheckBoxOf(which), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TFormMain::SetChecked(AlarmBox which, bool checked) {
    if (IsChecked(which) == checked) return;
    SendMessageW(CheckBoxOf(which), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    RunClickHandler(which);
}

void TFormMain::RunClickHandler(AlarmBox which) {
    switch (which) {
    case AlarmBox::SameTime: CheckBoxSameTimeClick(); break;
    case AlarmBox::StepChange: CheckBoxStepChangeClick(); break;
    case AlarmBox::MovedBack: CheckBoxMovedBackClick(); break;
    }
}

void TFormMain::SetStatus(std::wstring_view text) {
    SendMessageW(Control(kIdStatusBar1), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(std::wstring(text).c_str()));
}

void TFormMain::ClearReport() {
    FPendingReport.clear();
    SetWindowTextW(Control(kIdMemo1), L"");
}

// Lines are collected, each ended with CR LF, and reach the pane at the next
// message-processing point: one replace per 10000 lines keeps a huge report linear.
void TFormMain::AppendReport(std::wstring_view line) {
    FPendingReport.append(line);
    FPendingReport.append(L"\r\n");
}

void TFormMain::FlushReport() {
    if (FPendingReport.empty()) return;
    const HWND memo = Control(kIdMemo1);
    const LRESULT length = SendMessageW(memo, WM_GETTEXTLENGTH, 0, 0);
    SendMessageW(memo, EM_SETSEL, static_cast<WPARAM>(length), length);
    SendMessageW(memo, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(FPendingReport.c_str()));
    FPendingReport.clear();
    FPendingReport.shrink_to_fit();
}

void TFormMain::SetWaitCursor(bool wait) {
    FWaitCursor = wait;
    SetCursor(LoadCursorW(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void TFormMain::ProcessMessages() {
    FlushReport();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DispatchApplicationMessage(message);
    }
}

void TFormMain::ShowMessage(std::wstring_view text, MessagePlace place) {
    if (place == MessagePlace::OverMainWindow) ShowCenteredMessage(text, nullptr);
    else ShowYesBox(FHandle, text, nullptr);
}

int TFormMain::ShowCenteredMessage(std::wstring_view text, HWND control) {
    const RECT over = WindowRectOf(control ? control : FHandle);
    return ShowYesBox(FHandle, text, &over);
}
