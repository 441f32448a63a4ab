// The main window: creation of its controls, its handlers, first activation
// and close, and the settings and check run that it hosts.
#include "ui/FormMain.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "dates/DateConventions.h"
#include "engine/CheckRun.h"
#include "engine/LogReader.h"
#include "engine/ScanState.h"
#include "engine/UserError.h"
#include "engine/WideText.h"
#include "settings/SettingsPath.h"
#include "ui/ControlIds.h"
#include "ui/UiRules.h"

TFormMain* FormMain = nullptr;

namespace {

// The run state, the log reader, the date conventions and the settings live
// as long as the process; nothing is freed between runs.
ScanState State;
TLogReader LogReader;
DateConventions Conventions;
FontSettings Fonts;
std::wstring SettingsPath;
bool FirstActivationDone = false;

constexpr UINT kMsgFormActivate = WM_APP + 1;
constexpr LCID kJapaneseLocale = 1041;
constexpr int kClientWidth = 632;
constexpr int kClientHeight = 556;
constexpr int kMinOuterHeight = 300;
constexpr int kInitialFontHeight = 12;   // pixels
constexpr BYTE kInitialCharset = SHIFTJIS_CHARSET;
constexpr wchar_t kInitialFontFace[] = L"\xFF2D\xFF33 \x660E\x671D";   // "ＭＳ 明朝"
constexpr DWORD kReportTextLimit = 0x7FFFFFFE;   // the largest the edit control takes

struct TControlSpec {
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
const std::array<TControlSpec, 15> kControls{{
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
    {kIdEditTdecimal, L"秒表示の小数点未満の桁数",
     L"Digit number for less than decimal point of display at second"},
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

std::wstring ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

// The executable's version for the caption; 65535.65535 without a version resource.
std::wstring VersionText() {
    const std::wstring exe = ExecutablePath();
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

// Tab, Shift+Tab and Esc in the report pane are left to the window's
// dialog keys, as in a single-line box: a multi-line edit control that
// takes them itself under IsDialogMessageW turns Esc into a close request of
// its parent and Tab into a focus move that a plain window ignores.
LRESULT CALLBACK ReportPaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    LRESULT result = DefSubclassProc(pane, message, wParam, lParam);
    if (message == WM_GETDLGCODE && lParam) {
        const MSG& key = *reinterpret_cast<const MSG*>(lParam);
        if (key.message == WM_KEYDOWN && (key.wParam == VK_TAB || key.wParam == VK_ESCAPE)) {
            result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
        }
    }
    return result;
}

RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
    RECT r = WindowRectOf(child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MoveChild(HWND child, int left, int top) {
    SetWindowPos(child, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}

// The extension from the last "." of the file-name part, lower-cased A to Z.
std::wstring LowerExtension(std::wstring_view path) {
    const std::wstring_view name = FileNamePart(path);
    const auto dot = name.rfind(L'.');
    std::wstring ext(dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot));
    for (wchar_t& c : ext) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return ext;
}

void SaveSettingsTo(const std::wstring& path, const TFormMain& form) {
    // Before the first activation has resolved a path there is no file to write.
    if (path.empty()) return;
    SaveSettingsFile(path, form, Fonts);
}

// The message box of ShowCenteredMessage: a single "Yes" button and, when
// wanted, centred over a rectangle before it is first shown.
struct TBoxPlacement {
    HHOOK Hook = nullptr;
    bool Centre = false;
    RECT Over{};
};
TBoxPlacement BoxPlacement;

LRESULT CALLBACK MessageBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && BoxPlacement.Hook) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        SetDlgItemTextW(box, IDOK, L"&Yes");
        if (BoxPlacement.Centre) {
            const RECT d = WindowRectOf(box);
            const RECT& r = BoxPlacement.Over;
            const int top = r.top + ((r.bottom - r.top) - (d.bottom - d.top)) / 2;
            const int left = r.left + ((r.right - r.left) - (d.right - d.left)) / 2;
            SetWindowPos(box, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const HHOOK hook = BoxPlacement.Hook;
        BoxPlacement.Hook = nullptr;
        UnhookWindowsHookEx(hook);
        return 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int ShowYesBox(HWND owner, std::wstring_view text, const RECT* centreOver) {
    BoxPlacement.Centre = centreOver != nullptr;
    if (centreOver) BoxPlacement.Over = *centreOver;
    BoxPlacement.Hook = SetWindowsHookExW(WH_CBT, MessageBoxHook, nullptr, GetCurrentThreadId());
    const std::wstring body(text);
    const int result = MessageBoxW(owner, body.c_str(), L"Information", MB_OK | MB_ICONINFORMATION);
    if (BoxPlacement.Hook) {
        UnhookWindowsHookEx(BoxPlacement.Hook);
        BoxPlacement.Hook = nullptr;
    }
    return result == IDOK ? IDYES : result;
}

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

// ---- creation ---------------------------------------------------------------

TFormMain* TFormMain::Create(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kFormMainClass;
    if (!RegisterClassExW(&wc)) return nullptr;

    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    auto form = std::unique_ptr<TFormMain>(new TFormMain(nullptr));
    FormMain = form.get();
    if (!CreateWindowExW(0, kFormMainClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width,
                         height, nullptr, nullptr, instance, form.get())) {
        FormMain = nullptr;
        return nullptr;
    }
    return form.release();
}

void TFormMain::CreateControls() {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(FHandle, GWLP_HINSTANCE));
    for (const TControlSpec& c : kControls) {
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

    const HWND status = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0,
                                        0, FHandle, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdStatusBar1)),
                                        instance, nullptr);
    int parts[1] = {-1};   // the one panel reaches the right edge
    SendMessageW(status, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));

    FToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FHandle, nullptr,
                               instance, nullptr);
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
    for (const TControlSpec& c : kControls) SendMessageW(Control(c.Id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
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
    if (!status) return;   // still being created
    RECT client{};
    GetClientRect(FHandle, &client);
    auto height = [](HWND w) { const RECT r = WindowRectOf(w); return static_cast<int>(r.bottom - r.top); };
    auto width = [](HWND w) { const RECT r = WindowRectOf(w); return static_cast<int>(r.right - r.left); };
    const HWND label = Control(kIdLabelFnmae), memo = Control(kIdMemo1);
    const RECT labelRect = ChildRect(label), memoRect = ChildRect(memo);
    const TResizeLayout l = ResizeLayoutOf({client.right, client.bottom, height(Control(kIdButtonConv)), height(status),
                                            width(Control(kIdButtonExit)), width(Control(kIdButtonConv)),
                                            width(Control(kIdButtonBrowse)), labelRect.left, width(label),
                                            memoRect.left, memoRect.top});
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

// ---- the message switchboard ---------------------------------------------------

LRESULT CALLBACK TFormMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TFormMain* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TFormMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->FHandle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TFormMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // No failure may unwind into the window system: it ends this message and
    // is shown, and the program runs on.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const TUserError& e) {
        ShowUncaughtFailure(e.Text);
    } catch (const std::exception& e) {
        ShowUncaughtFailure(NarrowMessageToWide(e.what()));
    } catch (...) {
        ShowUncaughtFailure(L"Unexpected failure");
    }
    return 0;
}

LRESULT TFormMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls();
        FormCreate();
        return 0;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            SendMessageW(Control(kIdStatusBar1), WM_SIZE, 0, 0);
            FormResize();
        }
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.y = kMinOuterHeight;
        if (FMinTrackWidth > 0) info->ptMinTrackSize.x = FMinTrackWidth;
        return 0;
    }
    case WM_ACTIVATE:
        // The window remembers its focused control while inactive, as a dialog does.
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(FHandle, focus)) FFocusedControl = focus;
            return 0;
        }
        if (!FActivated) {
            FActivated = true;
            PostMessageW(FHandle, kMsgFormActivate, 0, 0);
        }
        if (FFocusedControl && IsWindow(FFocusedControl)) {
            SetFocus(FFocusedControl);
            return 0;
        }
        break;
    case kMsgFormActivate:
        FormActivate();
        return 0;
    case WM_SETCURSOR:
        if (FWaitCursor) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case kIdButtonExit: ButtonExitClick(); return 0;
            case kIdButtonConv: ButtonConvClick(); return 0;
            case kIdButtonBrowse: ButtonBrowseClick(); return 0;
            case kIdButtonClear: ButtonClearClick(); return 0;
            case kIdCheckBoxStepChange: CheckBoxStepChangeClick(); return 0;
            case kIdCheckBoxSameTime: CheckBoxSameTimeClick(); return 0;
            case kIdCheckBoxMovedBack: CheckBoxMovedBackClick(); return 0;
            default: break;
            }
        }
        break;
    case WM_DROPFILES:
        WMDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_CLOSE:
        FormCloseQuery();
        return 0;
    case WM_QUERYENDSESSION:
        SaveSettingsTo(SettingsPath, *this);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(FHandle, message, wParam, lParam);
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
    if (message.wParam == VK_ESCAPE) State.AbortRequested = true;
}

// ---- first activation and close ------------------------------------------------

void TFormMain::FormActivate() {
    SetFocus(Control(kIdButtonBrowse));
    if (FirstActivationDone) return;

    // A failure here ends the one-time work: nothing below runs.
    const auto files = MakeSystemSettingsFiles();
    SettingsPath = ResolveSettingsPath(L"", *files);
    LoadSettings(*MakeIniProfile(SettingsPath), *this, Fonts);
    DragAcceptFiles(FHandle, TRUE);
    Conventions = SetupDateConventions();

    const bool japanese = GetUserDefaultLCID() == kJapaneseLocale;
    const std::int32_t charset = japanese ? Fonts.JpCharset : Fonts.EngCharset;
    const std::wstring& face = japanese ? Fonts.JpFontName : Fonts.EngFontName;
    const std::int32_t size = japanese ? Fonts.JpFontSize : Fonts.EngFontSize;
    const HDC dc = GetDC(FHandle);
    const int pixelsPerInchX = GetDeviceCaps(dc, LOGPIXELSX);
    const int pixelsPerInchY = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(FHandle, dc);
    const int points = MulDiv(size, 96, pixelsPerInchX);
    LOGFONTW font{};
    font.lfCharSet = static_cast<BYTE>(charset & 0xFF);
    lstrcpynW(font.lfFaceName, face.c_str(), LF_FACESIZE);
    font.lfHeight = -MulDiv(points, pixelsPerInchY, 72);
    font.lfWeight = FW_NORMAL;
    ApplyFont(CreateFontIndirectW(&font));
    SetHints(japanese);
    LayOutOptionsRow();

    const RECT last = ChildRect(Control(kIdEditTdecimal));
    RECT client{};
    GetClientRect(FHandle, &client);
    RECT outer = WindowRectOf(FHandle);
    const int width = (outer.right - outer.left) - client.right + last.right + 8;
    SetWindowPos(FHandle, nullptr, 0, 0, width, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    outer = WindowRectOf(FHandle);
    FMinTrackWidth = outer.right - outer.left;
    FirstActivationDone = true;
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
    SaveSettingsTo(SettingsPath, *this);
    if (State.RunActive) {
        FClosePending = true;
        State.AbortRequested = true;
        return;
    }
    DestroyWindow(FHandle);
}

void TFormMain::EndIfClosePending() {
    if (FClosePending && !State.RunActive && IsWindow(FHandle)) DestroyWindow(FHandle);
}

// ---- handlers -------------------------------------------------------------------

void TFormMain::ButtonExitClick() { SendMessageW(FHandle, WM_CLOSE, 0, 0); }

void TFormMain::ButtonConvClick() {
    if (State.RunActive) return;   // a start request during a run is ignored
    TReportFlushGuard flush([this] {
        if (IsWindow(FHandle)) FlushReport();
        EndIfClosePending();
    });
    RunCheck(*this, State, LogReader, Conventions);
}

void TFormMain::ButtonClearClick() { ClearReport(); }

void TFormMain::CheckBoxStepChangeClick() {
    const BOOL enabled = IsChecked(AlarmBox::StepChange) ? TRUE : FALSE;
    EnableWindow(Control(kIdLabelFluc), enabled);
    EnableWindow(Control(kIdEditFlucTime), enabled);
    EnableWindow(Control(kIdLabelSec), enabled);
    State.AlarmStepChange = enabled != FALSE;
}

void TFormMain::CheckBoxSameTimeClick() { State.AlarmSameTime = IsChecked(AlarmBox::SameTime); }

void TFormMain::CheckBoxMovedBackClick() { State.AlarmMovedBack = IsChecked(AlarmBox::MovedBack); }

void TFormMain::WMDropFiles(HDROP drop) {
    TDropGuard release(drop);
    if (State.RunActive) return;   // released all the same
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const std::wstring name = DroppedName(drop, i);
        if (LowerExtension(name) == L".ini") {
            SaveSettingsTo(SettingsPath, *this);
            const auto files = MakeSystemSettingsFiles();
            SettingsPath = ResolveSettingsPath(name, *files);
            LoadSettings(*MakeIniProfile(SettingsPath), *this, Fonts);
        } else {
            SetEditText(EditBox::Filename, name);
            ButtonConvClick();
            if (!IsWindow(FHandle)) return;   // closed during that run
        }
    }
}

// ---- the check run's host -------------------------------------------------------

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

// Lines are collected and reach the pane at the next message-processing
// point: one replace per 10000 lines keeps a huge report linear.
void TFormMain::AppendReport(std::wstring_view text) {
    FPendingReport.append(text);
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

void TFormMain::ShowMessage(std::wstring_view text) { ShowCenteredMessage(text, nullptr); }

void TFormMain::ShowMessageAtDefaultPlace(std::wstring_view text) { ShowYesBox(FHandle, text, nullptr); }

int TFormMain::ShowCenteredMessage(std::wstring_view text, HWND control) {
    const RECT over = WindowRectOf(control ? control : FHandle);
    return ShowYesBox(FHandle, text, &over);
}

// ---- placement -----------------------------------------------------------------

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
