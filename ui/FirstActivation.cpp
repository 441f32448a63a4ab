// The main window's first activation, which loads the settings, accepts
// dropped files and sets up the dates, the font, the hints and the options
// row, and its close, which saves the settings.
#include "ui/FormMain.h"

#include <commctrl.h>

#include <array>

#include "settings/SettingsPath.h"
#include "ui/ControlIds.h"
#include "ui/WindowHelpers.h"

namespace {

constexpr LCID kJapaneseLocale = 1041;
// The stored font sizes were chosen on a 96 pixels-per-inch screen and are
// scaled down on denser ones, as the window has always done (9 pt at 120
// ppi becomes 7 pt). A point is 1/72 inch.
constexpr int kDesignPixelsPerInch = 96;
constexpr int kPointsPerInch = 72;

struct THint {
    int Id;
    const wchar_t* Japanese;
    const wchar_t* English;
};

const std::array<THint, 10> kHints{{
    {kIdEditFilename, L"入力ファイル名", L"Input file name"},
    {kIdButtonBrowse, L"オープンダイアログを開く", L"Open dialog is opened"},
    {kIdButtonClear, L"表示テキストを消去する", L"Display text is cleared"},
    {kIdButtonConv, L"チェックを実行する", L"Run a check"},
    {kIdButtonExit, L"終了する", L"Terminated"},
    {kIdCheckBoxSameTime, L"同一時刻のアラームを表示する", L"The alarm of the same time is displayed"},
    {kIdCheckBoxMovedBack, L"時刻逆行のアラームを表示する", L"The alarm of the time retrogression is displayed"},
    {kIdCheckBoxStepChange, L"出力周期変動のアラームを表示する", L"The alarm of the output cycle change is displayed"},
    {kIdEditFlucTime, L"出力周期変動の許容時間", L"Permissible time of change at output cycle"},
    {kIdEditTdecimal, L"秒表示の小数点未満の桁数", L"Digit number for less than decimal point of display at second"},
}};

// Left-to-right placement of the options row: each control after the one
// before it with a gap.
struct TRowStep {
    int Id, After, Gap;
};
const std::array<TRowStep, 7> kOptionsRow{{
    {kIdCheckBoxMovedBack, kIdCheckBoxSameTime, 5},
    {kIdCheckBoxStepChange, kIdCheckBoxMovedBack, 5},
    {kIdLabelFluc, kIdCheckBoxStepChange, 10},
    {kIdEditFlucTime, kIdLabelFluc, 2},
    {kIdLabelSec, kIdEditFlucTime, 2},
    {kIdLabelDecTime, kIdLabelSec, 20},
    {kIdEditTdecimal, kIdLabelDecTime, 2},
}};

}  // namespace

// Runs once, posted at the window's first activation (FActivated). A failure
// ends the one-time work where it happens: nothing below it runs, then or later.
void TFormMain::FormActivate() {
    SetFocus(Control(kIdButtonBrowse));

    const auto files = MakeSystemSettingsFiles();
    FSettingsPath = ResolveSettingsPath(L"", *files);
    LoadSettingsNow();
    DragAcceptFiles(FHandle, TRUE);
    FConventions = SetupDateConventions();

    const bool japanese = GetUserDefaultLCID() == kJapaneseLocale;
    const std::int32_t charset = japanese ? FFonts.JpCharset : FFonts.EngCharset;
    const std::wstring& face = japanese ? FFonts.JpFontName : FFonts.EngFontName;
    const std::int32_t size = japanese ? FFonts.JpFontSize : FFonts.EngFontSize;
    const HDC dc = GetDC(FHandle);
    const int pixelsPerInchX = GetDeviceCaps(dc, LOGPIXELSX);
    const int pixelsPerInchY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(FHandle, dc);
    const int points = MulDiv(size, kDesignPixelsPerInch, pixelsPerInchX);
    LOGFONTW font{};
    font.lfCharSet = static_cast<BYTE>(charset & 0xFF);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    font.lfHeight = -MulDiv(points, pixelsPerInchY, kPointsPerInch);  // negative: character height
    font.lfWeight = FW_NORMAL;
    ApplyFont(CreateFontIndirectW(&font));
    SetHints(japanese);
    LayOutOptionsRow();

    const RECT last = ChildRect(Control(kIdEditTdecimal));
    RECT client{};
    GetClientRect(FHandle, &client);
    RECT outer = WindowRectOf(FHandle);
    const int width = (outer.right - outer.left) - client.right + last.right + 8;
    SetWindowPos(FHandle, nullptr, 0, 0, width, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    outer = WindowRectOf(FHandle);
    FMinTrackWidth = outer.right - outer.left;
}

void TFormMain::SetHints(bool japanese) {
    for (const THint& h : kHints) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = FHandle;
        tool.uId = reinterpret_cast<UINT_PTR>(Control(h.Id));
        tool.lpszText = const_cast<wchar_t*>(japanese ? h.Japanese : h.English);
        SendMessageW(FToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void TFormMain::LayOutOptionsRow() {
    for (const TRowStep& step : kOptionsRow) {
        const RECT before = ChildRect(Control(step.After));
        const HWND control = Control(step.Id);
        MoveChild(control, before.right + step.Gap, ChildRect(control).top);
    }
}

// Closing always proceeds; during a run it waits for the run to stop at its
// next message-processing point, so no run goes on without its window.
void TFormMain::FormCloseQuery() {
    SaveSettingsNow();
    if (FState.RunActive) {
        FClosePending = true;
        FState.AbortRequested = true;
        return;
    }
    DestroyWindow(FHandle);
}

void TFormMain::EndIfClosePending() {
    if (FClosePending && !FState.RunActive && IsWindow(FHandle)) DestroyWindow(FHandle);
}

// The window is placed before the options are read, as the load has always done it.
void TFormMain::LoadSettingsNow() {
    const auto profile = MakeIniProfile(FSettingsPath);
    const std::optional<TWindowPosition> stored = LoadWindowPosition(*profile);
    if (!stored) return;  // the file could not be created: nothing is loaded
    PlaceMainWindow(*stored);
    LoadOptions(*profile, *this, FFonts);
}

void TFormMain::SaveSettingsNow() {
    // Before the first activation has resolved a path there is no file to write.
    if (FSettingsPath.empty()) return;
    SaveSettingsFile(FSettingsPath, *this, FFonts);
}
