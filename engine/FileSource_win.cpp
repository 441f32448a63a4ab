// The log file through Win32 handles. Opening with sharing modes, 64-bit
// sizes and the system's error codes stay in here; the reader sees an
// IByteSource that reads blocks and throws TUserError naming the code.
#include <windows.h>

#include <string>

#include "engine/LogReader.h"
#include "engine/UserError.h"

namespace {

// The log through Win32 handles: read only, others may go on reading and writing it.
class TWinFileSource final : public IByteSource {
public:
    ~TWinFileSource() override { CloseQuietly(); }

    bool Open(std::wstring_view name) override {
        CloseQuietly();
        FName = name;
        HANDLE handle = OpenShared();
        if (handle == INVALID_HANDLE_VALUE) return false;
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(handle, &size)) {
            CloseHandle(handle);
            return false;
        }
        FHandle = handle;
        FSize = size.QuadPart;
        return true;
    }

    std::int64_t Size() override { return FSize; }

    std::size_t Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        if (!ReadFile(FHandle, buffer, static_cast<DWORD>(size), &read, nullptr)) Fail(L"Read error", GetLastError());
        return read;
    }

    void Reopen() override {
        HANDLE old = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        CloseHandle(old);
        FHandle = OpenShared();
        if (FHandle == INVALID_HANDLE_VALUE) Fail(L"Cannot reopen", GetLastError());
    }

    void Close() override {
        HANDLE handle = FHandle;
        FHandle = INVALID_HANDLE_VALUE;
        if (handle != INVALID_HANDLE_VALUE && !CloseHandle(handle)) Fail(L"Cannot close", GetLastError());
    }

private:
    void CloseQuietly() {
        if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }

    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open.
    HANDLE OpenShared() const {
        return CreateFileW(FName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    // The code is taken by the caller right after the failing call: building
    // the text allocates, and that may change the thread's last error.
    [[noreturn]] void Fail(std::wstring_view what, DWORD code) const {
        throw TUserError(std::wstring(what) + L" : " + FName + L" (code " + std::to_wstring(code) + L")");
    }

    HANDLE FHandle = INVALID_HANDLE_VALUE;
    std::int64_t FSize = 0;
    std::wstring FName;
};

}  // namespace

std::unique_ptr<IByteSource> MakeFileSource() { return std::make_unique<TWinFileSource>(); }
