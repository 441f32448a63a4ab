// The main window and its controls: creation, the caption, font and layout
// of the controls, and the small handlers of the buttons and check boxes.
#include "ui/FormMain.h"

#include <commctrl.h>

#include <array>
#include <memory>
#include <vector>

#include "settings/SettingsPath.h"
#include "ui/ControlIds.h"
#include "ui/UiRules.h"
#include "ui/WindowHelpers.h"

TFormMain* FormMain = nullptr;

namespace {

constexpr int kClientWidth = 632;
constexpr int kClientHeight = 556;
constexpr int kInitialFontHeight = 12;  // pixels
constexpr BYTE kInitialCharset = SHIFTJIS_CHARSET;
constexpr wchar_t kInitialFontFace[] = L"\xFF2D\xFF33 \x660E\x671D";  // "ＭＳ 明朝"
constexpr DWORD kReportTextLimit = 0x7FFFFFFE;                        // the largest the edit control takes

// One control as the window creates it: its creation row.
struct TControlRow {
    int Id;
    const wchar_t* ClassName;
    const wchar_t* Text;
    DWORD Style;
    DWORD ExStyle;
    int Left, Top, Width, Height;
};

constexpr DWORD kLabelStyle = SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
constexpr DWORD kRightLabelStyle = SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX;
constexpr DWORD kEditStyle = WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheckStyle = WS_TABSTOP | BS_AUTOCHECKBOX;
// Wrapping needs the pane without ES_AUTOHSCROLL, which WS_HSCROLL would
// imply at creation; the horizontal bar is added afterwards.
constexpr DWORD kMemoStyle = WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL;

// Labels first (they take no focus), then the focusable controls in tab order.
const std::array<TControlRow, 15> kControls{{
    {kIdLabelFnmae, L"Static", L"File name", kLabelStyle, 0, 10, 14, 54, 12},
    {kIdLabelFluc, L"Static", L"Fluctuation", kRightLabelStyle, 0, 348, 49, 66, 12},
    {kIdLabelSec, L"Static", L"Sec.", kLabelStyle, 0, 458, 49, 24, 12},
    {kIdLabelDecTime, L"Static", L"Decimal of time", kRightLabelStyle, 0, 500, 49, 90, 12},
    {kIdEditFilename, L"Edit", L"", kEditStyle, WS_EX_CLIENTEDGE, 70, 10, 470, 21},
    {kIdButtonBrowse, L"Button", L"Browse", kButtonStyle, 0, 542, 8, 65, 25},
    {kIdCheckBoxSameTime, L"Button", L"Same time", kCheckStyle, 0, 10, 47, 90, 17},
    {kIdCheckBoxMovedBack, L"Button", L"Moved back", kCheckStyle, 0, 103, 47, 100, 17},
    {kIdCheckBoxStepChange, L"Button", L"Interval change", kCheckStyle, 0, 205, 47, 140, 17},
    {kIdEditFlucTime, L"Edit", L"0.25", kEditStyle, WS_EX_CLIENTEDGE, 416, 46, 40, 20},
    {kIdEditTdecimal, L"Edit", L"1", kEditStyle, WS_EX_CLIENTEDGE, 593, 46, 20, 20},
    {kIdMemo1, L"Edit", L"", kMemoStyle, WS_EX_CLIENTEDGE, 8, 72, 600, 424},
    {kIdButtonClear, L"Button", L"Clear", kButtonStyle, 0, 8, 502, 65, 25},
    {kIdButtonConv, L"Button", L"Check", kButtonStyle, 0, 468, 502, 65, 25},
    {kIdButtonExit, L"Button", L"Exit", kButtonStyle, 0, 544, 502, 65, 25},
}};

// The executable's version for the caption; 65535.65535 without a version resource.
std::wstring VersionText() {
    const std::wstring exe = RunningExecutablePath();
    std::uint32_t versionMs = 0xFFFFFFFFu;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    if (size > 0) {
        std::vector<BYTE> data(size);
        VS_FIXEDFILEINFO* info = nullptr;
        UINT length = 0;
        if (GetFileVersionInfoW(exe.c_str(), 0, size, data.data()) &&
            VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) && info &&
            length >= sizeof(VS_FIXEDFILEINFO)) {
            versionMs = info->dwFileVersionMS;
        }
    }
    return VersionTextOf(versionMs);
}

// The report pane wraps by these rules instead of the control's own: Wine's
// own rules are worked out over the whole text after every append, which
// makes a long report grow in quadratic time.
int CALLBACK ReportWordBreak(LPWSTR text, int current, int length, int action) {
    const std::wstring_view line(text, static_cast<std::size_t>(std::max(length, 0)));
    switch (action) {
        case WB_LEFT: return WordStartLeftOf(line, current);
        case WB_RIGHT: return WordStartRightOf(line, current);
        case WB_ISDELIMITER: return current >= 0 && current < length && IsWordBlank(text[current]) ? TRUE : FALSE;
        default: return 0;
    }
}

}  // namespace

TFormMain* TFormMain::Create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormMainClass;
    if (!RegisterClassExW(&wc)) return nullptr;

    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = CentredStart(0, GetSystemMetrics(SM_CXSCREEN), width);
    const int top = CentredStart(0, GetSystemMetrics(SM_CYSCREEN), height);
    auto form = std::unique_ptr<TFormMain>(new TFormMain(nullptr));
    FormMain = form.get();
    if (!CreateWindowExW(0, kFormMainClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width, height,
                         nullptr, nullptr, instance, form.get())) {
        FormMain = nullptr;
        return nullptr;
    }
    return form.release();
}

void TFormMain::CreateControls() {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(FHandle, GWLP_HINSTANCE));
    for (const TControlRow& c : kControls) {
        CreateWindowExW(c.ExStyle, c.ClassName, c.Text, WS_CHILD | WS_VISIBLE | c.Style, c.Left, c.Top, c.Width,
                        c.Height, FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.Id)), instance, nullptr);
    }
    for (int id : {kIdCheckBoxSameTime, kIdCheckBoxMovedBack, kIdCheckBoxStepChange}) {
        SendMessageW(Control(id), BM_SETCHECK, BST_CHECKED, 0);
    }
    const HWND memo = Control(kIdMemo1);
    SendMessageW(memo, EM_SETLIMITTEXT, kReportTextLimit, 0);
    SendMessageW(memo, EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(&ReportWordBreak));
    SetWindowSubclass(memo, ReportPaneProc, 0, 0);
    SetWindowLongPtrW(memo, GWL_STYLE, GetWindowLongPtrW(memo, GWL_STYLE) | WS_HSCROLL);
    SetWindowPos(memo, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ShowScrollBar(memo, SB_HORZ, TRUE);

    const HWND status =
        CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, FHandle,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar1)), instance, nullptr);
    int parts[1] = {-1};  // the one panel reaches the right edge
    SendMessageW(status, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));

    FToolTip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FHandle, nullptr, instance, nullptr);
    SendMessageW(FToolTip, TTM_SETMAXTIPWIDTH, 0, 600);

    LOGFONTW font{};
    font.lfHeight = -kInitialFontHeight;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = kInitialCharset;
    lstrcpynW(font.lfFaceName, kInitialFontFace, LF_FACESIZE);
    ApplyFont(CreateFontIndirectW(&font));
}

void TFormMain::FormCreate() { SetWindowTextW(FHandle, (L"Fixtally Ver" + VersionText()).c_str()); }

// Every control takes the window's font; labels then fit their captions.
void TFormMain::ApplyFont(HFONT font) {
    for (const TControlRow& c : kControls)
        SendMessageW(Control(c.Id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    SendMessageW(Control(kIdStatusBar1), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (FFont) DeleteObject(FFont);
    FFont = font;
    AutoSizeLabel(Control(kIdLabelFnmae), false);
    AutoSizeLabel(Control(kIdLabelFluc), true);
    AutoSizeLabel(Control(kIdLabelSec), false);
    AutoSizeLabel(Control(kIdLabelDecTime), true);
    SendMessageW(Control(kIdStatusBar1), WM_SIZE, 0, 0);
    FormResize();
}

// A right-aligned label keeps its right edge, any other its left edge.
void TFormMain::AutoSizeLabel(HWND label, bool keepRightEdge) {
    const std::wstring caption = WindowText(label);
    const HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, FFont);
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    const RECT r = ChildRect(label);
    const int left = keepRightEdge ? r.right - extent.cx : r.left;
    SetWindowPos(label, nullptr, left, r.top, extent.cx, metrics.tmHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

void TFormMain::FormResize() {
    const HWND status = Control(kIdStatusBar1);
    if (!status) return;  // still being created
    RECT client{};
    GetClientRect(FHandle, &client);
    auto height = [](HWND w) {
        const RECT r = WindowRectOf(w);
        return static_cast<int>(r.bottom - r.top);
    };
    auto width = [](HWND w) {
        const RECT r = WindowRectOf(w);
        return static_cast<int>(r.right - r.left);
    };
    const HWND label = Control(kIdLabelFnmae), memo = Control(kIdMemo1);
    const RECT labelRect = ChildRect(label), memoRect = ChildRect(memo);
    const TResizeLayout l =
        ResizeLayoutOf({client.right, client.bottom, height(Control(kIdButtonConv)), height(status),
                        width(Control(kIdButtonExit)), width(Control(kIdButtonConv)), width(Control(kIdButtonBrowse)),
                        labelRect.left, width(label), memoRect.left, memoRect.top});
    MoveChild(Control(kIdButtonExit), l.ButtonExitLeft, l.ButtonTop);
    MoveChild(Control(kIdButtonConv), l.ButtonConvLeft, l.ButtonTop);
    MoveChild(Control(kIdButtonClear), ChildRect(Control(kIdButtonClear)).left, l.ButtonTop);
    MoveChild(Control(kIdButtonBrowse), l.ButtonBrowseLeft, ChildRect(Control(kIdButtonBrowse)).top);
    const HWND edit = Control(kIdEditFilename);
    const RECT editRect = ChildRect(edit);
    SetWindowPos(edit, nullptr, l.EditFilenameLeft, editRect.top, l.EditFilenameWidth, editRect.bottom - editRect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(memo, nullptr, 0, 0, l.MemoWidth, l.MemoHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormMain::ButtonExitClick() { SendMessageW(FHandle, WM_CLOSE, 0, 0); }

void TFormMain::ButtonClearClick() { ClearReport(); }

void TFormMain::CheckBoxStepChangeClick() {
    const BOOL enabled = IsChecked(AlarmBox::StepChange) ? TRUE : FALSE;
    EnableWindow(Control(kIdLabelFluc), enabled);
    EnableWindow(Control(kIdEditFlucTime), enabled);
    EnableWindow(Control(kIdLabelSec), enabled);
    FState.AlarmStepChange = enabled != FALSE;
}

void TFormMain::CheckBoxSameTimeClick() { FState.AlarmSameTime = IsChecked(AlarmBox::SameTime); }

void TFormMain::CheckBoxMovedBackClick() { FState.AlarmMovedBack = IsChecked(AlarmBox::MovedBack); }
