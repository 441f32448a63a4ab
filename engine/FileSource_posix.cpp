// The log file through POSIX descriptors, for the command-line checker and
// the native tests. Wide names become UTF-8 bytes here; errno goes into the
// TUserError text.
//
// A regular file is lent out of a mapped window instead of being copied by
// read(): the copy was a third of a check's time. Pipes and devices are read.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/LogReader.h"
#include "engine/UserError.h"
#include "engine/WideText.h"

namespace {

// Mapped at a time: a few page-table walks a megabyte, and the memory a check
// holds stays small.
constexpr std::size_t kWindowSize = 4u << 20;

// A mapped window of the log. When the file shrinks under it, a touch of a
// page past the new end raises SIGBUS; the handler below puts zero pages
// there instead and marks the window, and the source fails at its next call,
// so a shrinking log ends in a read error rather than a crash.
struct TMappedWindow {
    char* Begin = nullptr;
    std::size_t Size = 0;
    volatile std::sig_atomic_t Shrunk = 0;
    TMappedWindow* Next = nullptr;
};

// The windows this thread has mapped (a thread reads each of its logs itself).
thread_local TMappedWindow* tWindows = nullptr;
struct sigaction gFormerBusAction {};

std::size_t PageSize() {
    static const auto size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

void OnBusError(int signal, siginfo_t* info, void*) {
    auto* const address = static_cast<char*>(info->si_addr);
    for (TMappedWindow* w = tWindows; w != nullptr; w = w->Next) {
        if (address < w->Begin || address >= w->Begin + w->Size) continue;
        const auto pageStart = reinterpret_cast<std::uintptr_t>(address) & ~(PageSize() - 1);
        char* const page = reinterpret_cast<char*>(pageStart);
        const std::size_t rest = static_cast<std::size_t>(w->Begin + w->Size - page);
        if (::mmap(page, rest, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) break;
        w->Shrunk = 1;
        return;  // the touch is made again, and reads zeros
    }
    // Not a window's: whatever was there before takes it, as the fault recurs.
    ::sigaction(SIGBUS, &gFormerBusAction, nullptr);
    if (info->si_code <= 0) ::raise(signal);
}

void CatchBusErrors() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &gFormerBusAction);
    });
}

// The log through POSIX descriptors, opened for reading only. POSIX has no
// sharing modes: other programs may read and write the file meanwhile anyway.
class TPosixFileSource final : public IByteSource {
public:
    ~TPosixFileSource() override { CloseQuietly(); }

    bool Open(std::wstring_view name) override {
        CloseQuietly();
        FName = name;
        const int fd = ::open(WideToUtf8(name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        struct stat info {};
        if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
            ::close(fd);
            return false;
        }
        FFd = fd;
        FSize = static_cast<std::int64_t>(info.st_size);
        FRegular = FMappable = S_ISREG(info.st_mode);
        FOffset = 0;
        return true;
    }

    std::int64_t Size() override { return FSize; }

    std::size_t Read(char* buffer, std::size_t size) override {
        Unmap();
        for (;;) {
            const ssize_t n = FRegular ? ::pread(FFd, buffer, size, FOffset) : ::read(FFd, buffer, size);
            if (n >= 0) {
                FOffset += n;
                return static_cast<std::size_t>(n);
            }
            if (errno != EINTR) Fail(L"Read error");
        }
    }

    std::string_view ReadView(char* scratch, std::size_t size) override {
        if (FWindow.Shrunk) ShrankFail();
        if (FOffset >= FWindowEnd && !(FMappable && MapNextWindow())) return {scratch, Read(scratch, size)};
        const std::size_t n = std::min(size, static_cast<std::size_t>(FWindowEnd - FOffset));
        const char* const bytes = FWindow.Begin + (FOffset - FWindowStart);
        FOffset += static_cast<std::int64_t>(n);
        return {bytes, n};
    }

    // The descriptor stays: reading from the start again reads the same file
    // even when another program has renamed or replaced it meanwhile.
    void Reopen() override {
        Unmap();
        if (!FRegular && ::lseek(FFd, 0, SEEK_SET) != 0) Fail(L"Cannot rewind");
        FOffset = 0;
    }

    void Close() override {
        Unmap();
        const int fd = FFd;
        FFd = -1;
        if (fd >= 0 && ::close(fd) != 0) Fail(L"Cannot close");
    }

private:
    // Maps the window from the next byte on, taking in what was appended
    // meanwhile. False at the end of the file, or where it cannot be mapped;
    // reading takes over then.
    bool MapNextWindow() {
        Unmap();
        struct stat info {};
        if (::fstat(FFd, &info) != 0) Fail(L"Read error");
        const std::int64_t left = static_cast<std::int64_t>(info.st_size) - FOffset;
        if (left <= 0) return false;
        const auto n = static_cast<std::size_t>(std::min(left, static_cast<std::int64_t>(kWindowSize)));
        const std::int64_t start = FOffset & ~static_cast<std::int64_t>(PageSize() - 1);
        const std::size_t length = static_cast<std::size_t>(FOffset - start) + n;
        void* const map = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, FFd, static_cast<off_t>(start));
        if (map == MAP_FAILED) {
            FMappable = false;
            return false;
        }
        CatchBusErrors();
        FWindow.Begin = static_cast<char*>(map);
        FWindow.Size = length;
        FWindowList = &tWindows;
        FWindow.Next = tWindows;
        tWindows = &FWindow;
        FWindowStart = start;
        FWindowEnd = FOffset + static_cast<std::int64_t>(n);
        return true;
    }

    void Unmap() {
        if (FWindow.Begin == nullptr) return;
        for (TMappedWindow** link = FWindowList; *link != nullptr; link = &(*link)->Next) {
            if (*link != &FWindow) continue;
            *link = FWindow.Next;
            break;
        }
        ::munmap(FWindow.Begin, FWindow.Size);
        FWindow.Begin = nullptr;
        FWindowStart = FWindowEnd = 0;
    }

    void CloseQuietly() {
        Unmap();
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }

    [[noreturn]] void Fail(std::wstring_view what) const {
        throw TUserError(std::wstring(what) + L" : " + FName + L" (code " + std::to_wstring(errno) + L")");
    }

    [[noreturn]] void ShrankFail() {
        FWindow.Shrunk = 0;
        throw TUserError(L"Read error : " + FName + L" (the file shrank while it was read)");
    }

    int FFd = -1;
    std::int64_t FSize = 0;
    std::wstring FName;
    bool FRegular = false;     // read at an offset, not from the descriptor's position
    bool FMappable = false;
    std::int64_t FOffset = 0;  // of the next byte to hand out
    TMappedWindow FWindow;
    TMappedWindow** FWindowList = nullptr;  // the list of the thread that mapped it
    std::int64_t FWindowStart = 0, FWindowEnd = 0;  // file offsets of the window's first byte and end
};

}  // namespace

std::unique_ptr<IByteSource> MakeFileSource() { return std::make_unique<TPosixFileSource>(); }
