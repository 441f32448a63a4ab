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

// Runs its end step however a run ends: the buffered report lines into the
// pane, the default cursor back.
class TScopeEnd {
public:
    explicit TScopeEnd(std::function<void()> end) : FEnd(std::move(end)) {}
    ~TScopeEnd() { FEnd(); }
    TScopeEnd(const TScopeEnd&) = delete;
    TScopeEnd& operator=(const TScopeEnd&) = delete;

private:
    std::function<void()> FEnd;
};

}  // namespace

void TFormMain::ButtonConvClick() {
    if (FState.RunActive) return;  // a start request during a run is ignored
    TScopeEnd flush([this] {
        if (IsWindow(FHandle)) FlushReport();
        EndIfClosePending();
    });
    SetWaitCursor(true);
    TScopeEnd cursor([this] { SetWaitCursor(false); });
    ClearReport();
    const TRunResult result = RunCheck(*this, FState, FLogReader, FConventions, CurrentLocalYear());
    // A log that cannot be read is a failure of the program's own kind: the
    // failure box shows it, and a drop stops at that log.
    if (result.End == RunEnd::ReadError) throw TUserError(result.Message);
}

std::wstring TFormMain::LogName() {
    FRunLogName = EditText(EditBox::Filename);
    return FRunLogName;
}

// The boxes as they stand, corrected on screen in the order the run needs:
// the tolerance text, the interval box (whose click handler runs), the digits.
TCheckOptions TFormMain::TakeOptions() {
    const TOptionIntake intake =
        OptionsFromRow({EditText(EditBox::FlucTime), EditText(EditBox::Tdecimal), IsChecked(AlarmBox::SameTime),
                        IsChecked(AlarmBox::StepChange), IsChecked(AlarmBox::MovedBack)});
    const TOptionCorrections& corrections = intake.Corrections;
    if (corrections.FlucTimeText) SetEditText(EditBox::FlucTime, *corrections.FlucTimeText);
    if (corrections.CheckStepChange) SetChecked(AlarmBox::StepChange, true);
    if (corrections.TdecimalText) SetEditText(EditBox::Tdecimal, *corrections.TdecimalText);
    return intake.Options;
}

void TFormMain::ProgressMade(const TProgress& progress) { SetStatus(ProgressStatusText(FRunLogName, progress)); }

bool TFormMain::YieldPoint() {
    ProcessMessages();
    return FState.AbortRequested;
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

void TFormMain::OpenFailed(std::wstring_view text, MessagePlace place) {
    if (place == MessagePlace::OverMainWindow) ShowCenteredMessage(text, nullptr);
    else ShowYesBox(FHandle, text, nullptr);
}

int TFormMain::ShowCenteredMessage(std::wstring_view text, HWND control) {
    const RECT over = WindowRectOf(control ? control : FHandle);
    return ShowYesBox(FHandle, text, &over);
}
