// The main window: the log name box, the row of check options, the report
// pane, the buttons and the status bar. It is the check run's host and the
// window that the settings are loaded into and saved from.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <memory>
#include <string>

#include "dates/DateConventions.h"
#include "engine/ICheckHost.h"
#include "engine/LogReader.h"
#include "engine/ScanState.h"
#include "settings/Settings.h"
#include "ui/FrameSubclass.h"

class TFormMain final : public ICheckHost, public ISettingsWindow {
public:
    // Creates the window with its controls (FormCreate runs inside); nullptr on failure.
    static TFormMain* Create(HINSTANCE instance);

    HWND Handle() const { return FHandle; }

    // ICheckHost: the run's inputs from the boxes, its events into the
    // status bar and the report pane.
    std::wstring LogName() override;
    TCheckOptions TakeOptions() override;
    void OpenFailed(std::wstring_view text, MessagePlace place) override;
    void StatusChanged(std::wstring_view text) override { SetStatus(text); }
    void ProgressMade(const TProgress& progress) override;
    void ReportLine(std::wstring_view line) override { AppendReport(line); }
    bool YieldPoint() override;

    // ISettingsWindow, and the boxes for the run.
    std::wstring EditText(EditBox which) const override;
    void SetEditText(EditBox which, std::wstring_view text) override;
    bool IsChecked(AlarmBox which) const override;
    void SetChecked(AlarmBox which, bool checked) override;
    std::int32_t WindowTop() const override;
    std::int32_t WindowLeft() const override;

    // Seen by every message pump for key-downs on the window or its controls.
    void ApplicationEvents1ShortCut(const MSG& message);

    // The work area of the monitor holding the window (or the nearest one).
    static RECT MonitorWorkArea(HWND window);

private:
    explicit TFormMain(HWND handle) : FHandle(handle) {}
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void FormCreate();
    void FormResize();
    void FormActivate();
    void FormCloseQuery();
    void ButtonExitClick();
    void ButtonConvClick();
    void ButtonBrowseClick();
    void ButtonClearClick();
    void CheckBoxStepChangeClick();
    void CheckBoxSameTimeClick();
    void CheckBoxMovedBackClick();
    void WMDropFiles(HDROP drop);
    void OpenDialog1Show(HWND hookWindow);
    void OpenDialog1Close();
    LRESULT OpenDialogWndProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam);
    static UINT_PTR CALLBACK OpenDialogHook(HWND hookWindow, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OpenDialogFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                DWORD_PTR self);
    static LRESULT CALLBACK ReportPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);

    void CreateControls();
    void ApplyFont(HFONT font);
    void AutoSizeLabel(HWND label, bool keepRightEdge);
    void LayOutOptionsRow();
    void SetHints(bool japanese);
    void SetStatus(std::wstring_view text);
    void ClearReport();
    void AppendReport(std::wstring_view text);
    void SetWaitCursor(bool wait);
    void ProcessMessages();
    void FlushReport();
    HWND Control(int id) const { return GetDlgItem(FHandle, id); }
    HWND EditOf(EditBox which) const;
    HWND CheckBoxOf(AlarmBox which) const;
    void RunClickHandler(AlarmBox which);
    int ShowCenteredMessage(std::wstring_view text, HWND control);
    void EndIfClosePending();
    void LoadSettingsNow();
    void SaveSettingsNow();
    RECT NormalRect() const;
    void MoveNormalRect(int left, int top);
    // Moves the window once, to where the stored position places it.
    void PlaceMainWindow(const TWindowPosition& stored);

    HWND FHandle;
    HWND FToolTip = nullptr;
    HWND FFocusedControl = nullptr;
    HFONT FFont = nullptr;
    int FMinTrackWidth = 0;
    bool FActivated = false;  // the first activation's one-time work has been posted
    bool FWaitCursor = false;
    bool FClosePending = false;
    std::wstring FPendingReport;  // appended lines not yet in the pane
    std::wstring FRunLogName;     // the log the run under way took

    // The run state, the log reader, the date conventions and the settings
    // live as long as the window; nothing is freed between runs.
    ScanState FState;
    TLogReader FLogReader;
    DateConventions FConventions;
    FontSettings FFonts;
    std::wstring FSettingsPath;

    // The open dialog's frame, sub-classed while it is shown.
    std::unique_ptr<TFrameSubclass> FOpenDialog1Frame;
    std::uint8_t FOpenDialog1MoveFlag = 0;
    std::wstring FOpenDialogInitialDir;
};

// The one main window; nullptr until it is created.
extern TFormMain* FormMain;

// Hands one message of any pump (the main loop or a run's message
// processing) to its window, after the application-wide key hook.
void DispatchApplicationMessage(MSG& message);

// Shows a failure that no handler caught: error icon, one OK button, the
// application's title; the program runs on.
void ShowUncaughtFailure(std::wstring_view message);
