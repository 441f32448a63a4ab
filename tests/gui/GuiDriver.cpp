// Drives Fixtally.exe from outside, as a user would, under Wine and Xvfb:
// starts it, finds its window and controls, types, clicks, drops files and
// reads everything back. Prints PASS/FAIL per step and exits with the number
// of failures.
//
//   GuiDriver.exe SCENARIO APP DATA SHOTS
//     SCENARIO  first | restart | japanese | readonly | closerun | big | timed | abort | dialog | keys | hands |
//               placement | unpacked | installed | picture
//     APP       Windows path of Fixtally.exe (its folder holds Fixtally.ini); for installed,
//               of its Start-menu shortcut
//     DATA      Windows folder with sample.nmea, expected.txt and the generated logs
//               (unpacked: caption.txt, expected.txt, sample.nmea.gz, cut.nmea.gz;
//               installed: caption.txt, expected.txt, program.txt with the installed
//               Fixtally.exe's path)
//     SHOTS     Unix folder for screenshots
#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ui/ControlIds.h"

namespace {

int Passed = 0, Failed = 0;
HANDLE AppProcess = nullptr;
DWORD AppPid = 0;
HWND Main = nullptr;
std::wstring App, Data, Shots;

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string OneLine(std::wstring s) {
    for (std::size_t i; (i = s.find(L"\r\n")) != std::wstring::npos;) s.replace(i, 2, L" | ");
    if (s.size() > 400) s = s.substr(0, 200) + L" ... " + s.substr(s.size() - 200);
    return Utf8(s);
}

void Check(bool ok, const char* step, const std::wstring& detail = L"") {
    std::printf("%s %s%s%s\n", ok ? "PASS" : "FAIL", step, detail.empty() ? "" : ": ", OneLine(detail).c_str());
    std::fflush(stdout);
    ok ? ++Passed : ++Failed;
}

void Note(const char* what, const std::wstring& detail) {
    std::printf("NOTE %s: %s\n", what, OneLine(detail).c_str());
    std::fflush(stdout);
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(30)) {
        if (done()) return true;
    }
    return done();
}

// Every send has a time-out: a hung application must not hang the driver.
LRESULT Send(HWND h, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, UINT ms = 10000) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(h, message, wParam, lParam, SMTO_ABORTIFHUNG, ms, &result);
    return static_cast<LRESULT>(result);
}

// WM_GETTEXT is marshalled across processes; GetWindowTextW is not.
std::wstring Text(HWND h) {
    const auto length = static_cast<std::size_t>(Send(h, WM_GETTEXTLENGTH));
    std::wstring s(length + 1, L'\0');
    const auto got =
        static_cast<std::size_t>(Send(h, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(s.data()), 60000));
    s.resize(got);
    return s;
}

void SetText(HWND h, const std::wstring& text) { Send(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }

HWND Ctl(int id) { return GetDlgItem(Main, id); }
std::wstring Status() { return Text(Ctl(kIdStatusBar1)); }
std::wstring Report() { return Text(Ctl(kIdMemo1)); }
bool Checked(int id) { return Send(Ctl(id), BM_GETCHECK) == BST_CHECKED; }
void Click(int id) { PostMessageW(Ctl(id), BM_CLICK, 0, 0); }
bool Contains(const std::wstring& s, const std::wstring& part) { return s.find(part) != std::wstring::npos; }

RECT ClientRectOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, Main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring RectText(const RECT& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L"x" +
           std::to_wstring(r.bottom - r.top);
}

bool Alive() { return AppProcess && WaitForSingleObject(AppProcess, 0) == WAIT_TIMEOUT; }

bool Start(const std::wstring& environment = L"") {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + App + L"\"";
    const std::wstring folder = App.substr(0, App.rfind(L'\\') + 1);
    void* env = environment.empty() ? nullptr : const_cast<wchar_t*>(environment.c_str());
    if (!CreateProcessW(App.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, env,
                        folder.c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    AppProcess = info.hProcess;
    AppPid = info.dwProcessId;
    WaitForInputIdle(AppProcess, 30000);
    Main = nullptr;
    return WaitFor(
        [] {
            HWND h = nullptr;
            while ((h = FindWindowExW(nullptr, h, kFormMainClass, nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == AppPid && IsWindowVisible(h)) {
                    Main = h;
                    return true;
                }
            }
            return false;
        },
        60000);
}

// The window is ready once the first activation has widened it to the options row.
bool WaitActivated() {
    return WaitFor(
        [] {
            RECT client{};
            GetClientRect(Main, &client);
            const RECT last = ClientRectOf(Ctl(kIdEditTdecimal));
            return client.right == last.right + 8;
        },
        30000);
}

bool Close() {
    PostMessageW(Main, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(AppProcess, 30000) == WAIT_OBJECT_0;
    DWORD code = 99;
    GetExitCodeProcess(AppProcess, &code);
    CloseHandle(AppProcess);
    AppProcess = nullptr;
    return ended && code == 0;
}

// A top-level #32770 box owned by the main window.
HWND WaitBox(DWORD ms, const std::function<bool(HWND)>& wanted) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            HWND h = nullptr;
            while ((h = FindWindowExW(nullptr, h, L"#32770", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(h, &pid);
                if (pid == AppPid && IsWindowVisible(h) && GetWindow(h, GW_OWNER) == Main && wanted(h)) {
                    found = h;
                    return true;
                }
            }
            return false;
        },
        ms);
    return found;
}

bool IsMessageBox(HWND h) { return GetDlgItem(h, 0xFFFF) != nullptr; }

// Centre offset of one window over another.
bool CentredOver(HWND inner, HWND outer, std::wstring& detail) {
    RECT a{}, b{};
    GetWindowRect(inner, &a);
    GetWindowRect(outer, &b);
    const long dx = (b.left + b.right) / 2 - (a.left + a.right) / 2;
    const long dy = (b.top + b.bottom) / 2 - (a.top + a.bottom) / 2;
    detail = L"offset " + std::to_wstring(dx) + L"," + std::to_wstring(dy);
    return std::labs(dx) <= 1 && std::labs(dy) <= 1;
}

// A Linux program, run by Wine, with its output away from the driver's: a
// program that outlived the driver must not keep the test's output open.
bool RunUnix(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = L"Z:\\bin\\sh -c \"exec " + commandLine + L" </dev/null >/dev/null 2>&1\"";
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    WaitForSingleObject(info.hProcess, 30000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

void Screenshot(HWND window, const std::wstring& name) {
    Sleep(500);  // let the last paint land
    RECT r{};
    GetWindowRect(window, &r);
    std::wstring file = L"Z:" + Shots + L"/" + name;
    for (wchar_t& c : file) {
        if (c == L'/') c = L'\\';
    }
    DeleteFileW(file.c_str());
    RunUnix(L"/usr/bin/import -window root -crop " + std::to_wstring(r.right - r.left) + L"x" +
            std::to_wstring(r.bottom - r.top) + L"+" + std::to_wstring(r.left) + L"+" + std::to_wstring(r.top) +
            L" +repage " + Shots + L"/" + name);
    // A Unix program's process handle may signal at once: wait for the picture itself.
    LONGLONG last = -1;
    WaitFor(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA info{};
            if (!GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &info)) return false;
            const LONGLONG size = (static_cast<LONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
            const bool stable = size > 0 && size == last;
            last = size;
            return stable;
        },
        20000);
}

std::wstring ReadFileText(const std::wstring& path) {
    const HANDLE f =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return L"<missing>";
    std::string bytes(static_cast<std::size_t>(GetFileSize(f, nullptr)), '\0');
    DWORD got = 0;
    ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(f);
    const int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(got), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(got), text.data(), n);
    return text;
}

std::wstring Ini(const std::wstring& path, const wchar_t* key) {
    wchar_t buffer[2048] = L"";
    GetPrivateProfileStringW(L"Option", key, L"<none>", buffer, 2048, path.c_str());
    return buffer;
}

bool StartsWithBom(const std::wstring& path) {
    const HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    unsigned char bom[2] = {};
    DWORD got = 0;
    ReadFile(f, bom, 2, &got, nullptr);
    CloseHandle(f);
    return got == 2 && bom[0] == 0xFF && bom[1] == 0xFE;
}

std::wstring IniPath() { return App.substr(0, App.rfind(L'.')) + L".ini"; }

// Where the settings go when the program's folder cannot be written.
std::wstring UserIniPath() {
    wchar_t appData[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"APPDATA", appData, MAX_PATH);
    return std::wstring(appData) + L"\\Fixtally\\Fixtally.ini";
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The program that a shortcut starts, as the shell reads it; empty when it cannot.
std::wstring ShortcutTarget(const std::wstring& shortcut) {
    std::wstring target;
    if (FAILED(CoInitialize(nullptr))) return target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = L"";
            if (SUCCEEDED(file->Load(shortcut.c_str(), STGM_READ)) &&
                SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0))) {
                target = path;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

// Text in the app's memory: the tooltip's copy of a control's hint.
std::wstring Hint(HWND tooltip, HWND control) {
    const SIZE_T bytes = sizeof(TTTOOLINFOW) + 1024 * sizeof(wchar_t);
    auto* remote = static_cast<char*>(VirtualAllocEx(AppProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return L"<no memory>";
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Main;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = reinterpret_cast<wchar_t*>(remote + sizeof tool);
    WriteProcessMemory(AppProcess, remote, &tool, sizeof tool, nullptr);
    Send(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(remote));
    wchar_t text[1024] = L"";
    ReadProcessMemory(AppProcess, remote + sizeof tool, text, sizeof text - sizeof(wchar_t), nullptr);
    VirtualFreeEx(AppProcess, remote, 0, MEM_RELEASE);
    return text;
}

HWND ToolTipOfApp() {
    HWND h = nullptr;
    while ((h = FindWindowExW(nullptr, h, TOOLTIPS_CLASSW, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        if (pid == AppPid && GetWindow(h, GW_OWNER) == Main) return h;
    }
    return nullptr;
}

// Width of a caption in a font, measured here the way a label sizes itself.
int TextWidth(const wchar_t* face, int points, BYTE charset, const std::wstring& text) {
    const HDC dc = GetDC(nullptr);
    const HFONT font = CreateFontW(-MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                   charset, 0, 0, 0, 0, face);
    const HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

// A DROPFILES block written into the app's memory and posted as the drop handle.
void Drop(const std::vector<std::wstring>& files) {
    std::wstring list;
    for (const auto& f : files) list += f + L'\0';
    list += L'\0';
    std::vector<char> block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* header = reinterpret_cast<DROPFILES*>(block.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(block.data() + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    void* remote = VirtualAllocEx(AppProcess, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    WriteProcessMemory(AppProcess, remote, block.data(), block.size(), nullptr);
    PostMessageW(Main, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

// Clicks Check with the status emptied first, so that a "Completed." left by
// the run before cannot answer for this one.
void ClickCheck() {
    SetText(Ctl(kIdStatusBar1), L"");
    Click(kIdButtonConv);
}

bool WaitCompleted(DWORD ms) {
    return WaitFor([] { return Status().rfind(L"Completed.", 0) == 0; }, ms);
}

// The pane's text as the command-line checker prints it: LF line ends, then the status.
std::wstring AsCliOutput() {
    std::wstring text = Report();
    for (std::size_t i; (i = text.find(L"\r\n")) != std::wstring::npos;) text.replace(i, 2, L"\n");
    return text + Status() + L"\n";
}

// The first start, without a settings file: the window as created, checks
// and corrections, the information box, dropped logs, and the settings file
// that the close writes.
void FirstStart() {
    Check(Start(), "window of class TFormMain appears");
    if (!Main) return;
    Check(WaitActivated(), "first activation widens the window to the options row");
    Check(Text(Main) == L"Fixtally Ver1.00", "caption from the version resource", Text(Main));

    struct Expect {
        int id;
        const wchar_t* text;
    };
    const Expect texts[] = {
        {kIdLabelFnmae, L"File name"},
        {kIdButtonBrowse, L"Browse"},
        {kIdCheckBoxSameTime, L"Same time"},
        {kIdCheckBoxMovedBack, L"Moved back"},
        {kIdCheckBoxStepChange, L"Interval change"},
        {kIdLabelFluc, L"Fluctuation"},
        {kIdEditFlucTime, L"0.25"},
        {kIdLabelSec, L"Sec."},
        {kIdLabelDecTime, L"Decimal of time"},
        {kIdEditTdecimal, L"1"},
        {kIdButtonClear, L"Clear"},
        {kIdButtonConv, L"Check"},
        {kIdButtonExit, L"Exit"},
        {kIdEditFilename, L""},
        {kIdMemo1, L""},
    };
    std::wstring wrong;
    for (const Expect& e : texts) {
        if (Text(Ctl(e.id)) != e.text) wrong += std::to_wstring(e.id) + L"=" + Text(Ctl(e.id)) + L" ";
    }
    Check(wrong.empty(), "control captions and initial texts", wrong);
    Check(Checked(kIdCheckBoxSameTime) && Checked(kIdCheckBoxMovedBack) && Checked(kIdCheckBoxStepChange),
          "the three alarm boxes start checked");

    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(Main, nullptr), &gui);
    Check(gui.hwndFocus == Ctl(kIdButtonBrowse), "focus on Browse after the first activation");

    const auto memoStyle = static_cast<DWORD>(GetWindowLongPtrW(Ctl(kIdMemo1), GWL_STYLE));
    Check((memoStyle & (WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN)) ==
                  (WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN) &&
              !(memoStyle & ES_AUTOHSCROLL),
          "report pane: both scroll bars, multi-line, Return, wrapping");
    Check(GetWindowLongPtrW(Ctl(kIdStatusBar1), GWL_STYLE) & SBARS_SIZEGRIP, "status bar with size grip");

    // Layout after the font change: Tahoma 9 pt, labels fitted, options row gaps, resize rules.
    const int flucWidth = TextWidth(L"Tahoma", 9, 0, L"Fluctuation");
    const RECT fluc = ClientRectOf(Ctl(kIdLabelFluc)), step = ClientRectOf(Ctl(kIdCheckBoxStepChange));
    const RECT edit = ClientRectOf(Ctl(kIdEditFlucTime)), sec = ClientRectOf(Ctl(kIdLabelSec));
    const RECT dec = ClientRectOf(Ctl(kIdLabelDecTime)), tdec = ClientRectOf(Ctl(kIdEditTdecimal));
    Check(fluc.right - fluc.left == flucWidth, "LabelFluc fits its caption in Tahoma 9 pt",
          std::to_wstring(fluc.right - fluc.left) + L" vs " + std::to_wstring(flucWidth));
    Check(fluc.left == step.right + 10 && edit.left == fluc.right + 2 && sec.left == edit.right + 2 &&
              dec.left == sec.right + 20 && tdec.left == dec.right + 2,
          "options row laid out with its gaps", RectText(fluc) + L" " + RectText(edit) + L" " + RectText(dec));
    RECT client{};
    GetClientRect(Main, &client);
    const RECT exitButton = ClientRectOf(Ctl(kIdButtonExit)), conv = ClientRectOf(Ctl(kIdButtonConv));
    const RECT status = ClientRectOf(Ctl(kIdStatusBar1)), memo = ClientRectOf(Ctl(kIdMemo1));
    const RECT browse = ClientRectOf(Ctl(kIdButtonBrowse)), name = ClientRectOf(Ctl(kIdEditFilename));
    const RECT label = ClientRectOf(Ctl(kIdLabelFnmae));
    const long buttonTop = client.bottom - 25 - (status.bottom - status.top) - 3;
    Check(exitButton.top == buttonTop && conv.top == buttonTop && exitButton.left == client.right - 75 &&
              conv.left == exitButton.left - 70 && browse.left == client.right - 73 && name.left == label.right + 2 &&
              name.right == browse.left && memo.right - memo.left == client.right - 16 && memo.bottom == buttonTop - 5,
          "resize rules at start", RectText(client) + L" exit " + RectText(exitButton) + L" memo " + RectText(memo));

    // Resizing: the bottom row follows, and the window cannot get lower than 300.
    RECT outer{};
    GetWindowRect(Main, &outer);
    SetWindowPos(Main, nullptr, 0, 0, outer.right - outer.left + 100, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT resized{};
    GetWindowRect(Main, &resized);
    Check(resized.bottom - resized.top == 300, "minimum outer height 300", RectText(resized));
    SetWindowPos(Main, nullptr, 0, 0, 200, outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(Main, &resized);
    Check(resized.right - resized.left == outer.right - outer.left, "minimum width is the options row's",
          RectText(resized));
    SetWindowPos(Main, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Hints in English.
    const HWND tip = ToolTipOfApp();
    Check(tip && Hint(tip, Ctl(kIdButtonConv)) == L"Run a check" &&
              Hint(tip, Ctl(kIdEditTdecimal)) == L"Digit number for less than decimal point of display at second",
          "English hints", tip ? Hint(tip, Ctl(kIdButtonConv)) : L"no tooltip");

    // The interval box greys out its label, box and unit, not the decimals.
    Send(Ctl(kIdCheckBoxStepChange), BM_CLICK);
    Check(!IsWindowEnabled(Ctl(kIdLabelFluc)) && !IsWindowEnabled(Ctl(kIdEditFlucTime)) &&
              !IsWindowEnabled(Ctl(kIdLabelSec)) && IsWindowEnabled(Ctl(kIdEditTdecimal)),
          "clearing Interval change disables Fluctuation, its box and Sec.");
    Send(Ctl(kIdCheckBoxStepChange), BM_CLICK);
    Check(IsWindowEnabled(Ctl(kIdEditFlucTime)), "checking it again enables them");

    // A check of the sample log: report and status as the command-line checker prints them.
    SetText(Ctl(kIdEditFilename), Data + L"\\sample.nmea");
    ClickCheck();
    Check(WaitCompleted(30000), "check of sample.nmea completes", Status());
    const std::wstring expected = ReadFileText(Data + L"\\expected.txt");
    Check(AsCliOutput() == expected, "report and status equal fixtally-check's output", AsCliOutput());
    Screenshot(Main, L"after-check-en.png");

    // Clear empties the pane and leaves the status.
    const std::wstring statusBefore = Status();
    Send(Ctl(kIdButtonClear), BM_CLICK);
    Check(Report().empty() && Status() == statusBefore, "Clear empties the report, keeps the status");

    // Corrections written back into the boxes.
    SetText(Ctl(kIdEditFlucTime), L"abc");
    SetText(Ctl(kIdEditTdecimal), L"7");
    for (int id : {kIdCheckBoxSameTime, kIdCheckBoxMovedBack, kIdCheckBoxStepChange}) Send(Ctl(id), BM_CLICK);
    ClickCheck();
    WaitCompleted(30000);
    Check(Text(Ctl(kIdEditFlucTime)) == L"0.5" && Text(Ctl(kIdEditTdecimal)) == L"3" &&
              Checked(kIdCheckBoxStepChange) && !Checked(kIdCheckBoxSameTime) && IsWindowEnabled(Ctl(kIdEditFlucTime)),
          "corrections: 0.5, 3, Interval change checked and enabled",
          Text(Ctl(kIdEditFlucTime)) + L" " + Text(Ctl(kIdEditTdecimal)));
    SetText(Ctl(kIdEditFlucTime), L"-0.3");
    ClickCheck();
    WaitCompleted(30000);
    Check(Text(Ctl(kIdEditFlucTime)) == L"-0.3", "a negative tolerance stays on screen as typed");

    // A log that cannot be opened: the centred information box with one Yes button.
    SetText(Ctl(kIdEditFilename), Data + L"\\no-such.nmea");
    ClickCheck();
    const HWND box = WaitBox(15000, IsMessageBox);
    Check(box != nullptr, "\"Can't open\" box appears");
    if (box) {
        std::wstring offset;
        Check(Text(GetDlgItem(box, 0xFFFF)) == L"Can't open : " + Data + L"\\no-such.nmea" &&
                  Text(box) == L"Information" && Text(GetDlgItem(box, IDOK)) == L"&Yes",
              "box text, title Information, button Yes", Text(GetDlgItem(box, 0xFFFF)) + L" / " + Text(box));
        Check(CentredOver(box, Main, offset), "box centred over the main window", offset);
        Screenshot(box, L"cant-open-box.png");
        PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        Check(WaitFor([&] { return !IsWindow(box); }, 10000) && Status() == L" Reading..." && Report().empty(),
              "after the box the status keeps \" Reading...\"", Status());
    }

    // Two logs dropped at once: two checks, the second one's report shown.
    SetText(Ctl(kIdEditFlucTime), L"0.25");
    SetText(Ctl(kIdEditTdecimal), L"1");
    for (int id : {kIdCheckBoxSameTime, kIdCheckBoxMovedBack}) Send(Ctl(id), BM_CLICK);
    Drop({Data + L"\\clean.nmea", Data + L"\\sample.nmea"});
    Check(WaitFor(
              [] {
                  return Text(Ctl(kIdEditFilename)) == Data + L"\\sample.nmea" && Status().rfind(L"Completed.", 0) == 0;
              },
              30000) &&
              AsCliOutput() == expected,
          "two dropped logs: the second one's report is shown", Text(Ctl(kIdEditFilename)));

    // Settings written at close: options, name and position.
    SetText(Ctl(kIdEditFlucTime), L"0.75");
    Send(Ctl(kIdCheckBoxMovedBack), BM_CLICK);
    SetWindowPos(Main, nullptr, 37, 45, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Click(kIdButtonExit);
    Check(WaitForSingleObject(AppProcess, 30000) == WAIT_OBJECT_0, "Exit ends the program");
    const std::wstring ini = IniPath();
    Check(Ini(ini, L"FlucTime") == L"0.75" && Ini(ini, L"MovedBack") == L"0" && Ini(ini, L"SameTimeAlm") == L"1" &&
              Ini(ini, L"Filename") == Data + L"\\sample.nmea" && Ini(ini, L"MainTop") == L"45" &&
              Ini(ini, L"MainLeft") == L"37" && Ini(ini, L"EngFontName") == L"Tahoma" &&
              Ini(ini, L"JpCharset") == L"128",
          "settings file holds the options, name and position", Ini(ini, L"MainTop") + L"," + Ini(ini, L"MainLeft"));
    Check(StartsWithBom(ini), "settings file is UTF-16 with FF FE");
}

void Restart() {
    Check(Start() && WaitActivated(), "second start");
    if (!Main) return;
    RECT r{};
    GetWindowRect(Main, &r);
    Check(r.left == 37 && r.top == 45, "position restored", RectText(r));
    Check(Text(Ctl(kIdEditFlucTime)) == L"0.75" && !Checked(kIdCheckBoxMovedBack) && Checked(kIdCheckBoxSameTime) &&
              Text(Ctl(kIdEditFilename)) == Data + L"\\sample.nmea",
          "options and file name restored");
    // A dropped settings file: the current settings are saved first, then the new file loaded.
    const std::wstring other = Data + L"\\other.ini";
    WritePrivateProfileStringW(L"Option", L"FlucTime", L"1.5", other.c_str());
    WritePrivateProfileStringW(L"Option", L"StepChange", L"0", other.c_str());
    SetText(Ctl(kIdEditTdecimal), L"2");
    Drop({Data + L"\\OTHER.INI"});
    Check(WaitFor([] { return Text(Ctl(kIdEditFlucTime)) == L"1.5"; }, 15000) && !Checked(kIdCheckBoxStepChange) &&
              !IsWindowEnabled(Ctl(kIdEditFlucTime)) && Ini(IniPath(), L"TimeDecimal") == L"2",
          "dropped .INI saved the old settings and loaded the new ones", Text(Ctl(kIdEditFlucTime)));
    Check(Close(), "close after the settings switch");
    Check(Ini(other, L"TimeDecimal") == L"2" && Ini(other, L"FlucTime") == L"1.5", "close saved into the dropped file");
}

void Japanese() {
    Check(Start() && WaitActivated(), "start under the Japanese locale");
    if (!Main) return;
    const HWND tip = ToolTipOfApp();
    Check(tip && Hint(tip, Ctl(kIdButtonConv)) == L"チェックを実行する" &&
              Hint(tip, Ctl(kIdEditFilename)) == L"入力ファイル名",
          "Japanese hints", tip ? Hint(tip, Ctl(kIdButtonConv)) : L"no tooltip");
    // The settings file of this run asks for IPAGothic at 12 pt for Japanese users.
    const int width = TextWidth(L"IPAGothic", 12, SHIFTJIS_CHARSET, L"Decimal of time");
    const RECT dec = ClientRectOf(Ctl(kIdLabelDecTime));
    Check(dec.right - dec.left == width, "labels sized in the Jp font of the settings",
          std::to_wstring(dec.right - dec.left) + L" vs " + std::to_wstring(width));
    SetText(Ctl(kIdEditFilename), Data + L"\\sample.nmea");
    ClickCheck();
    Check(WaitCompleted(30000), "check completes", Status());
    // Japanese short dates put the year first.
    Check(Contains(Status(), L"2019/05/01 12:00:00.5 to 2019/05/02"), "dates in the Japanese order", Status());
    Screenshot(Main, L"after-check-ja.png");
    Check(Close(), "close");
}

// The program's folder cannot be written: settings go to APPDATA\Fixtally\.
void ReadOnly() {
    Check(Start() && WaitActivated(), "start from a read-only folder");
    if (!Main) return;
    SetText(Ctl(kIdEditFlucTime), L"0.33");
    Check(Close(), "close");
    Check(Ini(UserIniPath(), L"FlucTime") == L"0.33", "settings saved in the per-user folder", UserIniPath());
    // A per-user folder that cannot be created: the failure box, and the program runs on.
    std::wstring env = L"APPDATA=" + App.substr(0, App.rfind(L'\\')) + L"\\sub";
    env += L'\0';
    env += L'\0';
    Check(Start(env), "start with an APPDATA that cannot be created");
    const HWND box = WaitBox(30000, IsMessageBox);
    const std::wstring expected = L"Cannot create : " + App.substr(0, App.rfind(L'\\')) + L"\\sub\\Fixtally\\.";
    Check(box && Text(GetDlgItem(box, 0xFFFF)) == expected && Text(box) == L"Fixtally",
          "\"Cannot create\" failure box with the full stop and the application title",
          box ? Text(GetDlgItem(box, 0xFFFF)) + L" / " + Text(box) : L"no box");
    if (box) PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    Check(WaitFor([&] { return box && !IsWindow(box); }, 10000) && Alive(), "the program runs on after the failure");
    if (Alive()) Check(Close(), "close");
}

// A close request during a long run stops the run and ends the program.
void CloseDuringRun() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    SetText(Ctl(kIdEditFilename), Data + L"\\long.nmea");
    ClickCheck();
    const bool running = WaitFor([] { return Contains(Status(), L"long.nmea: Line "); }, 60000);
    Check(running, "run under way", Status() + L" / " + Report().substr(0, 200));
    const DWORD start = GetTickCount();
    PostMessageW(Main, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(AppProcess, 20000) == WAIT_OBJECT_0;
    Check(ended, "the program ends at the run's next point", std::to_wstring(GetTickCount() - start) + L" ms");
    if (!ended) TerminateProcess(AppProcess, 1);
    Check(Ini(IniPath(), L"Filename") == Data + L"\\long.nmea", "settings saved by that close");
}

// A report of a million lines: time to completion and the longest wait for an answer.
void Big() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    SetText(Ctl(kIdEditFilename), Data + L"\\million.nmea");
    const DWORD start = GetTickCount();
    ClickCheck();
    DWORD worst = 0;
    bool done = false;
    while (!done && GetTickCount() - start < 900000) {
        const DWORD before = GetTickCount();
        done = Status().rfind(L"Completed.", 0) == 0;
        worst = std::max(worst, GetTickCount() - before);
        Sleep(100);
    }
    const DWORD total = GetTickCount() - start;
    Check(done, "million-line report completes", std::to_wstring(total) + L" ms");
    Note("million-line run",
         L"total " + std::to_wstring(total) + L" ms, slowest status answer " + std::to_wstring(worst) + L" ms");
    const LRESULT lines = Send(Ctl(kIdMemo1), EM_GETLINECOUNT, 0, 0, 60000);
    Check(lines >= 1000000, "the pane holds every line", std::to_wstring(lines) + L" lines");
    Screenshot(Main, L"after-million.png");
    Check(Close(), "close after the big run");
}

// The time from the Check click to "Completed." on a log of any size, for
// measurements: gui-tests.sh puts it in place as timed.nmea.
void Timed() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    SetText(Ctl(kIdEditFilename), Data + L"\\timed.nmea");
    const DWORD start = GetTickCount();
    ClickCheck();
    const bool done = WaitFor([] { return Status().rfind(L"Completed.", 0) == 0; }, 1800000);
    const DWORD total = GetTickCount() - start;
    Check(done, "timed run completes", std::to_wstring(total) + L" ms");
    Note("timed run", L"Check click to Completed.: " + std::to_wstring(total) + L" ms");
    Check(Close(), "close after the timed run");
}

// Esc during a long run ends it with "Aborted by user."; Esc between runs does nothing.
void Abort() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    SetText(Ctl(kIdEditFilename), Data + L"\\long.nmea");
    ClickCheck();
    Check(WaitFor([] { return Contains(Status(), L"long.nmea: Line "); }, 60000), "long run under way", Status());
    // A second start while the run processes messages is ignored.
    Click(kIdButtonConv);
    Drop({Data + L"\\sample.nmea"});
    const HWND focus = Ctl(kIdEditFlucTime);
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    Check(WaitFor([] { return Contains(Report(), L"\r\nAborted by user.\r\n"); }, 30000), "Esc aborts the run");
    // The log has nothing to report before the abort: an empty line, then the words.
    Check(Report() == L"\r\nAborted by user.\r\n" && Contains(Status(), L"long.nmea: Line ") &&
              Text(Ctl(kIdEditFilename)) == Data + L"\\long.nmea",
          "report ends with the abort line, status keeps the progress, no second run started", Status());
    Screenshot(Main, L"aborted-run.png");
    // Posted to the same thread, the Esc is handled before the click below.
    PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    SetText(Ctl(kIdEditFilename), Data + L"\\sample.nmea");
    ClickCheck();
    Check(WaitCompleted(30000), "Esc between runs does not abort the next run", Status());
    Check(Close(), "close");
}

HWND FindDescendant(HWND parent, const wchar_t* cls, int id) {
    struct Ctx {
        const wchar_t* cls;
        int id;
        HWND found;
    } ctx{cls, id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(lp);
            wchar_t name[64] = L"";
            if (GetDlgCtrlID(h) == c->id && GetClassNameW(h, name, 64) && !lstrcmpW(name, c->cls)) {
                c->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

bool IsOpenDialog(HWND h) { return FindDescendant(h, L"Edit", 0x47C) != nullptr; }

// The open dialog: centred over the window, inside the work area near an edge,
// the chosen name in the box and its folder remembered.
void Dialog() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    Click(kIdButtonBrowse);
    HWND dialog = WaitBox(30000, IsOpenDialog);
    Check(dialog != nullptr, "open dialog appears");
    if (!dialog) return;
    std::wstring offset;
    Check(WaitFor([&] { return CentredOver(dialog, Main, offset); }, 5000), "dialog centred over the main window",
          offset);
    const HWND type = FindDescendant(dialog, L"ComboBox", 0x470);
    Check(type && Text(type).rfind(L"Log file (*.nmea, *.nme,*.nma, *.log, *.txt)", 0) == 0, "first filter selected",
          type ? Text(type) : L"none");
    Screenshot(Main, L"open-dialog.png");
    SetText(FindDescendant(dialog, L"Edit", 0x47C), Data + L"\\sample.nmea");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    Check(WaitFor([&] { return !IsWindow(dialog) && !Text(Ctl(kIdEditFilename)).empty(); }, 15000) &&
              _wcsicmp(Text(Ctl(kIdEditFilename)).c_str(), (Data + L"\\sample.nmea").c_str()) == 0 && Report().empty(),
          "chosen file lands in the name box, no check starts", Text(Ctl(kIdEditFilename)));

    // Near the bottom-right corner the dialog stays inside the work area.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Main, MONITOR_DEFAULTTONEAREST), &monitor);
    SetWindowPos(Main, nullptr, monitor.rcWork.right - 300, monitor.rcWork.bottom - 200, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Click(kIdButtonBrowse);
    dialog = WaitBox(30000, IsOpenDialog);
    if (dialog) {
        RECT d{};
        Check(WaitFor(
                  [&] {
                      GetWindowRect(dialog, &d);
                      return d.right == monitor.rcWork.right && d.bottom == monitor.rcWork.bottom;
                  },
                  5000),
              "near an edge: against the work area", RectText(d));
        const HWND look = FindDescendant(dialog, L"ComboBox", 0x471);
        Note("second Browse opens in", look ? Text(look) : L"?");
        PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        WaitFor([&] { return !IsWindow(dialog); }, 10000);
    }
    Check(_wcsicmp(Text(Ctl(kIdEditFilename)).c_str(), (Data + L"\\sample.nmea").c_str()) == 0,
          "cancel keeps the name");
    Check(Close(), "close");
}

// A released program, started: the caption with the release's version, and
// the sample that came with it reported as fixtally-check reports it.
void CheckReleasedSample() {
    Check(Text(Main) == ReadFileText(Data + L"\\caption.txt"), "caption with the release's version", Text(Main));
    SetText(Ctl(kIdEditFilename), App.substr(0, App.rfind(L'\\')) + L"\\sample.nmea");
    ClickCheck();
    const bool checked = WaitCompleted(30000);
    Check(checked && AsCliOutput() == ReadFileText(Data + L"\\expected.txt"), "the sample beside the program",
          AsCliOutput());
}

// The programs as unpacked from the release zip: caption from their version,
// the sample beside them, a compressed log and a cut-off one.
void Unpacked() {
    Check(Start() && WaitActivated(), "start from the unpacked folder");
    if (!Main) return;
    CheckReleasedSample();
    const std::wstring expected = ReadFileText(Data + L"\\expected.txt");
    // Cleared first: the same report and status as before, with a report in
    // the pane again, can only come from the dropped log's check.
    Send(Ctl(kIdButtonClear), BM_CLICK);
    Drop({Data + L"\\sample.nmea.gz"});
    const bool dropped = WaitFor(
        [] {
            return Text(Ctl(kIdEditFilename)) == Data + L"\\sample.nmea.gz" && !Report().empty() &&
                   Status().rfind(L"Completed.", 0) == 0;
        },
        30000);
    Check(dropped && AsCliOutput() == expected, "a dropped compressed log reports as the log inside", AsCliOutput());
    // Read as gzip -d reads them: zeros or other bytes after the compressed
    // log, and a plain log that begins with gzip's magic by chance.
    for (const wchar_t* name : {L"padded.nmea.gz", L"trailing.nmea.gz", L"magic.nmea"}) {
        Send(Ctl(kIdButtonClear), BM_CLICK);
        SetText(Ctl(kIdEditFilename), Data + L"\\" + name);
        ClickCheck();
        const bool done = WaitFor([] { return !Report().empty() && Status().rfind(L"Completed.", 0) == 0; }, 30000);
        const std::string step = Utf8(name) + ": the report of the log inside, no box";
        Check(done && AsCliOutput() == expected && !WaitBox(0, IsMessageBox), step.c_str(), AsCliOutput());
    }
    SetText(Ctl(kIdEditFilename), Data + L"\\cut.nmea.gz");
    ClickCheck();
    const HWND box = WaitBox(30000, IsMessageBox);
    const std::wstring text = box ? Text(GetDlgItem(box, 0xFFFF)) : L"no box";
    Check(box && text == L"Read error : " + Data + L"\\cut.nmea.gz (compressed log cut short)" &&
              Text(box) == L"Fixtally" && !Contains(Report(), L"no error."),
          "a cut-off compressed log: the failure box, no clean report", text);
    if (box) PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    Check(WaitFor([&] { return box && !IsWindow(box); }, 10000) && Alive(), "the program runs on after the failure");
    Check(Close(), "close");
}

// The program as the setup program installed it, started from its Start-menu
// entry, in a folder that the user cannot write: the sample beside it, and
// the settings in the per-user folder, none beside the program.
void Installed() {
    const std::wstring target = ShortcutTarget(App);
    Check(!target.empty() && _wcsicmp(target.c_str(), ReadFileText(Data + L"\\program.txt").c_str()) == 0,
          "the Start-menu entry starts the installed program", target);
    if (target.empty()) return;
    App = target;
    Check(Start() && WaitActivated(), "start from the installed folder");
    if (!Main) return;
    CheckReleasedSample();
    SetText(Ctl(kIdEditFlucTime), L"0.4");
    Check(Close(), "close");
    const std::wstring sample = App.substr(0, App.rfind(L'\\')) + L"\\sample.nmea";
    Check(Ini(UserIniPath(), L"FlucTime") == L"0.4" && Ini(UserIniPath(), L"Filename") == sample,
          "settings saved in the per-user folder", UserIniPath());
    Check(!FileExists(IniPath()), "no settings file beside the installed program");
}

// One xdotool command line. Its process handle may signal before the input
// is sent, so each caller waits for the input's effect.
void Xdo(const std::wstring& arguments) { RunUnix(L"/usr/bin/xdotool " + arguments); }

std::wstring PointArgs(POINT p) { return std::to_wstring(p.x) + L" " + std::to_wstring(p.y); }

POINT CentreOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND Focus() {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(Main, nullptr), &gui);
    return gui.hwndFocus;
}

bool WaitFocus(int id) {
    return WaitFor([id] { return Alive() && Focus() == Ctl(id); }, 10000);
}

// Esc and Tab in the report pane, between runs and during one, typed and clicked.
void Keys() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    SetText(Ctl(kIdEditFilename), Data + L"\\sample.nmea");
    ClickCheck();
    Check(WaitCompleted(30000), "sample checked", Status());
    const std::wstring report = Report(), status = Status();

    // Keys arrive in order: once Tab has moved the focus, Esc and Return are handled.
    Xdo(L"mousemove " + PointArgs(CentreOf(Ctl(kIdMemo1))) + L" click 1 key Escape key Return key Tab");
    Check(WaitFocus(kIdButtonClear) && Alive(),
          "Esc in the report pane between runs: the program runs on, Tab reaches Clear");
    Check(Report().size() == report.size() + 2 && Status() == status,
          "the report only got Return's line break, the status is kept");
    Screenshot(Main, L"tab-focus-clear.png");
    Xdo(L"key shift+Tab");
    Check(WaitFocus(kIdMemo1), "Shift+Tab from Clear returns to the report pane");
    Xdo(L"key shift+Tab");
    Check(WaitFocus(kIdEditTdecimal), "Shift+Tab once more reaches the digits box");

    SetText(Ctl(kIdEditFilename), Data + L"\\long.nmea");
    Xdo(L"mousemove " + PointArgs(CentreOf(Ctl(kIdButtonConv))) + L" click 1");
    Check(WaitFor([] { return Contains(Status(), L"long.nmea: Line "); }, 60000),
          "a click on Check starts the long run", Status());
    Xdo(L"mousemove " + PointArgs(CentreOf(Ctl(kIdMemo1))) + L" click 1 key Escape");
    Check(WaitFor([] { return Contains(Report(), L"Aborted by user."); }, 30000),
          "Esc in the report pane aborts the run");
    Screenshot(Main, L"esc-in-pane-abort.png");
    Xdo(L"key Tab");
    Check(WaitFocus(kIdButtonClear) && Alive() && Report() == L"\r\nAborted by user.\r\n" &&
              Contains(Status(), L"long.nmea: Line "),
          "the window stays open with the report, the status keeps the progress", Status());
    Check(Close(), "close");
}

// Closing while minimised, a settings file deleted under the running program,
// and a dropped name longer than 300 characters.
void Hands() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    SetWindowPos(Main, nullptr, 61, 83, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    const std::wstring longName = Data + L"\\" + std::wstring(200, L'd') + L"\\" + std::wstring(100, L'l') + L".nmea";
    Drop({longName});
    HWND box = nullptr;
    const bool ended = WaitFor(
        [&] { return Status().rfind(L"Completed.", 0) == 0 || (box = WaitBox(0, IsMessageBox)) != nullptr; }, 30000);
    const std::wstring outcome = box ? Text(GetDlgItem(box, 0xFFFF)) : AsCliOutput();
    Check(ended && Text(Ctl(kIdEditFilename)) == longName &&
              outcome == (box ? L"Can't open : " + longName : ReadFileText(Data + L"\\expected.txt")),
          "a dropped name of over 300 characters is taken whole", outcome);
    if (box) PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);

    DeleteFileW(IniPath().c_str());
    // The minimise button, found where the window answers that it is.
    RECT outer{};
    GetWindowRect(Main, &outer);
    const int y = outer.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    int x = outer.right;
    while (x > outer.left && Send(Main, WM_NCHITTEST, 0, MAKELPARAM(x, y)) != HTMINBUTTON) --x;
    Xdo(L"mousemove " + PointArgs({x, y}) + L" click 1");
    Check(WaitFor([] { return IsIconic(Main) != FALSE; }, 10000), "a click on the minimise button minimises");
    Check(Close(), "close while minimised");
    const std::wstring ini = IniPath();
    std::wstring missing;
    for (const wchar_t* key :
         {L"Filename", L"FlucTime", L"SameTimeAlm", L"StepChange", L"MovedBack", L"TimeDecimal", L"EngCharset",
          L"EngFontName", L"EngFontSize", L"JpCharset", L"JpFontName", L"JpFontSize", L"MainTop", L"MainLeft"}) {
        if (Ini(ini, key) == L"<none>") missing += std::wstring(key) + L" ";
    }
    Check(StartsWithBom(ini) && missing.empty(), "the recreated settings file starts with FF FE and holds every key",
          missing);
    Check(Ini(ini, L"MainTop") == L"83" && Ini(ini, L"MainLeft") == L"61", "the settings file holds the normal place",
          Ini(ini, L"MainTop") + L"," + Ini(ini, L"MainLeft"));
    Check(Start() && WaitActivated(), "start again");
    GetWindowRect(Main, &outer);
    Check(outer.left == 61 && outer.top == 83, "the window is back at its place", RectText(outer));
    Check(Close(), "close");
}

// A settings file of the two bytes FF FE and the given keys of "Option".
void WriteSettings(const std::wstring& path, const std::vector<std::pair<std::wstring, std::wstring>>& keys) {
    const HANDLE f =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(f, bom, sizeof bom, &written, nullptr);
    CloseHandle(f);
    for (const auto& [key, value] : keys)
        WritePrivateProfileStringW(L"Option", key.c_str(), value.c_str(), path.c_str());
}

// Stored positions of every kind, each at its own start: the window lands
// inside the work area of its monitor, or centred in it when the position
// is unset or unreadable; the first activation fits its width to the options
// row afterwards, so the placement works with the size it is created with.
void Placement() {
    RECT created{0, 0, 632, 556};
    AdjustWindowRectEx(&created, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const long w = created.right - created.left, h = created.bottom - created.top;
    enum class TWant { Centre, Given, Start, End };
    struct TRow {
        const char* what;
        std::vector<std::pair<std::wstring, std::wstring>> keys;
        TWant top, left;
    };
    const TRow rows[] = {
        {"no position keys: centred", {}, TWant::Centre, TWant::Centre},
        {"inside the work area: as stored", {{L"MainTop", L"100"}, {L"MainLeft", L"200"}}, TWant::Given, TWant::Given},
        {"hexadecimal values", {{L"MainTop", L"$40"}, {L"MainLeft", L"0x50"}}, TWant::Given, TWant::Given},
        {"negative: against the top and left edges",
         {{L"MainTop", L"-50"}, {L"MainLeft", L"-70"}},
         TWant::Start,
         TWant::Start},
        {"off the bottom right: against those edges",
         {{L"MainTop", L"5000"}, {L"MainLeft", L"9000"}},
         TWant::End,
         TWant::End},
        {"32-bit extremes", {{L"MainTop", L"2147483646"}, {L"MainLeft", L"-2147483648"}}, TWant::End, TWant::Start},
        {"far left only", {{L"MainTop", L"300"}, {L"MainLeft", L"-100000"}}, TWant::Given, TWant::Start},
        {"left missing: centred", {{L"MainTop", L"100"}}, TWant::Centre, TWant::Centre},
        {"top not a number: centred", {{L"MainTop", L"abc"}, {L"MainLeft", L"10"}}, TWant::Centre, TWant::Centre},
        {"left out of range: centred",
         {{L"MainTop", L"10"}, {L"MainLeft", L"2147483648"}},
         TWant::Centre,
         TWant::Centre},
        {"left unset: centred", {{L"MainTop", L"10"}, {L"MainLeft", L"2147483647"}}, TWant::Centre, TWant::Centre},
    };
    for (const TRow& r : rows) {
        WriteSettings(IniPath(), r.keys);
        if (!Start() || !WaitActivated()) {
            Check(false, r.what, L"no window");
            if (Alive()) TerminateProcess(AppProcess, 1);
            continue;
        }
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(Main, MONITOR_DEFAULTTONEAREST), &monitor);
        const RECT& work = monitor.rcWork;
        auto want = [&](TWant kind, const std::wstring& key, long start, long end, long size) {
            switch (kind) {
                case TWant::Centre: return start + (end - start - size) / 2;
                case TWant::Given:
                    for (const auto& [k, v] : r.keys) {
                        if (k == key)
                            return std::wcstol(v.c_str() + (v[0] == L'$' ? 1 : 0), nullptr, v[0] == L'$' ? 16 : 0);
                    }
                    return -1L;
                case TWant::Start: return start;
                case TWant::End: return end - size;
            }
            return -1L;
        };
        RECT outer{};
        GetWindowRect(Main, &outer);
        const long top = want(r.top, L"MainTop", work.top, work.bottom, h);
        const long left = want(r.left, L"MainLeft", work.left, work.right, w);
        Check(outer.top == top && outer.left == left && outer.bottom - outer.top == h, r.what,
              RectText(outer) + L" (wanted " + std::to_wstring(left) + L"," + std::to_wstring(top) +
                  L" in the work area " + RectText(work) + L")");
        Check(Close(), "close");
    }
}

// The picture of the window for the README: a first start at the normal size,
// the sample checked, the window as the user then sees it.
void Picture() {
    Check(Start() && WaitActivated(), "start");
    if (!Main) return;
    SetText(Ctl(kIdEditFilename), Data + L"\\sample.nmea");
    ClickCheck();
    const bool completed = WaitCompleted(30000);
    Check(completed, "the sample is checked", Status());
    Screenshot(Main, L"window.png");
    Check(Close(), "close");
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info) {
    std::printf("FAIL driver crashed: exception 0x%08lx\n",
                static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    std::fflush(stdout);
    ExitProcess(100);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    SetUnhandledExceptionFilter(OnCrash);
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 5) {
        std::fprintf(stderr, "usage: GuiDriver SCENARIO APP DATA SHOTS\n");
        return 2;
    }
    const std::wstring scenario = argv[1];
    App = argv[2];
    Data = argv[3];
    Shots = argv[4];
    if (scenario == L"first") FirstStart();
    else if (scenario == L"restart") Restart();
    else if (scenario == L"japanese") Japanese();
    else if (scenario == L"readonly") ReadOnly();
    else if (scenario == L"closerun") CloseDuringRun();
    else if (scenario == L"big") Big();
    else if (scenario == L"timed") Timed();
    else if (scenario == L"abort") Abort();
    else if (scenario == L"dialog") Dialog();
    else if (scenario == L"unpacked") Unpacked();
    else if (scenario == L"installed") Installed();
    else if (scenario == L"keys") Keys();
    else if (scenario == L"hands") Hands();
    else if (scenario == L"placement") Placement();
    else if (scenario == L"picture") Picture();
    else {
        std::fprintf(stderr, "unknown scenario\n");
        return 2;
    }
    if (Alive()) TerminateProcess(AppProcess, 1);
    std::printf("%d passed, %d failed\n", Passed, Failed);
    return Failed;
}
