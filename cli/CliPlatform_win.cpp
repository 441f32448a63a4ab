// The command-line checker's system facts through Win32: the system's own
// text for a failed open, a spool file the system deletes with its last
// handle, and the console's width. Win32 error codes stay in here.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <cerrno>
#include <cstring>

#include "cli/CliPlatform.h"
#include "engine/WideText.h"

namespace {

// FormatMessageW's text without its line end and closing point.
std::wstring SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : L"";
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? L"system error " + std::to_wstring(code) : text;
}

// A name in the temporary folder that no file has yet, made and opened in one
// step with delete-on-close; INVALID_HANDLE_VALUE with the last error set.
HANDLE CreateDeleteOnCloseFile() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return INVALID_HANDLE_VALUE;
    static LONG counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = std::wstring(folder) + L"fixtally-stdin-" + std::to_wstring(GetCurrentProcessId()) +
                                  L"-" + std::to_wstring(GetTickCount64()) + L"-" +
                                  std::to_wstring(InterlockedIncrement(&counter)) + L".tmp";
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

std::wstring OpenFailureReason(const std::wstring& name) {
    HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return SystemText(GetLastError());
    CloseHandle(handle);
    return {};
}

std::wstring ErrnoText(int code) { return Utf8ToWide(std::strerror(code)); }

std::FILE* OpenAnonymousSpool() {
    HANDLE handle = CreateDeleteOnCloseFile();
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EACCES;
        return nullptr;
    }
    // From here the C runtime owns the handle: closing the stream closes it.
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(fd, "w+b");
    if (file == nullptr) _close(fd);
    return file;
}

// The C runtime turns a write to a pipe without reader into EINVAL; the
// system's code says what happened (Wine gives ERROR_PIPE_NOT_CONNECTED).
bool WriteHitClosedPipe(int code) {
    const DWORD error = GetLastError();
    return code == EPIPE || error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED;
}

int StderrTerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}
