// A followed log through POSIX descriptors. A regular file is read at an
// offset with pread() and, at its end, waited on with inotify (Linux) or a
// short poll; a stream is waited on with poll() and read with read(), never
// through stdio, which would wait to fill its buffer. Ctrl-C and SIGTERM
// reach a wait through a pipe that the handler writes a byte into, so no
// wait outlasts them.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <csignal>
#include <optional>
#ifdef __linux__
#include <sys/inotify.h>
#endif

#include "cli/CliPlatform.h"
#include "cli/FollowSource.h"
#include "cli/KeptBytes.h"
#include "engine/UserError.h"
#include "engine/WideText.h"

namespace {

using TClock = std::chrono::steady_clock;

// With inotify a wait still looks at the file once a second: a file on a
// network share changes without events. Without inotify, five times a second.
constexpr int kWatchedFileRecheckMs = 1000;
constexpr int kFilePollMs = 200;

// The signal handler touches nothing else: a count, and the pipe's write end.
std::atomic<int> SignalsCaught{0};
std::atomic<int> WakeRead{-1};
std::atomic<int> WakeWrite{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnFollowSignal(int) {
    const int saved = errno;
    SignalsCaught.fetch_add(1);
    const int fd = WakeWrite.load();
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);  // a full pipe wakes anyway
    }
    errno = saved;
}

// Reads everything a non-blocking descriptor holds now, to throw it away.
void Drain(int fd) {
    alignas(8) char buffer[4096];
    while (::read(fd, buffer, sizeof buffer) > 0) {}
}

bool SetNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Standard output goes to a pipe or a socket, whose reader may go away while
// nothing is written.
bool OutputIsStream() {
    struct stat info {};
    return ::fstat(STDOUT_FILENO, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

class TPosixFollowSource final : public IFollowSource {
public:
    explicit TPosixFollowSource(TFollowSettings settings) : FSettings(std::move(settings)) {}
    ~TPosixFollowSource() override { CloseQuietly(); }

    bool Open(std::wstring_view name) override {
        CloseQuietly();
        FName = name;
        FNamed = name != L"-";
        FEnd = FollowEnd::Running;
        FFirstPass.emplace(L"Can't keep the log", name);
        FOffset = 0;
        FLastArrival = TClock::now();
        // Not blocking: the open of a named pipe would wait for its writer,
        // and that of a serial port for its carrier.
        FFd = FNamed ? ::open(WideToUtf8(name).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK) : STDIN_FILENO;
        if (FFd < 0) return false;
        struct stat info {};
        if (::fstat(FFd, &info) != 0 || S_ISDIR(info.st_mode)) {
            CloseQuietly();
            return false;
        }
        FRegular = S_ISREG(info.st_mode);
        FDevice = info.st_dev;
        FInode = info.st_ino;
        FBase = 0;
        // Standard input may have been read from before: its log begins where it stands.
        if (FRegular && !FNamed) FBase = std::max<off_t>(0, ::lseek(FFd, 0, SEEK_CUR));
        if (FRegular) WatchFile();
        FWatchOutput = OutputIsStream();
        return true;
    }

    std::int64_t Size() override { return 0; }

    // The first pass is kept for a file too: a file cut before the rewind
    // would otherwise give the second pass another log.
    std::size_t Read(char* buffer, std::size_t size) override {
        if (const std::size_t n = FFirstPass->Replay(buffer, size); n > 0) return n;
        const std::size_t n = FRegular ? ReadFile(buffer, size) : ReadStream(buffer, size);
        FFirstPass->Took({buffer, n});
        return n;
    }

    void Reopen() override { FFirstPass->Rewind(); }

    void Close() override {
        FFirstPass.reset();
        CloseWatch();
        const int fd = FFd;
        FFd = -1;
        if (fd >= 0 && FNamed && ::close(fd) != 0) Fail(L"Cannot close", errno);
    }

    FollowEnd End() const override { return FEnd; }

private:
    // True once the follow has ended; the first signal ends it here.
    bool Ended() {
        if (SignalsCaught.load() > 0) EndAs(FollowEnd::Asked);
        return FEnd != FollowEnd::Running;
    }

    std::size_t ReadFile(char* buffer, std::size_t size) {
        while (!Ended()) {
            const ssize_t n = ::pread(FFd, buffer, size, FBase + FOffset);
            if (n > 0) return Took(n);
            if (n < 0 && errno != EINTR) Fail(L"Read error", errno);
            if (n < 0) continue;
            // At the end of what the file holds now.
            if (const FollowEnd changed = FileChange(); changed != FollowEnd::Running) EndAs(changed);
            else Wait(FWatchFd, FWatchFd >= 0 ? kWatchedFileRecheckMs : kFilePollMs);
        }
        return 0;
    }

    std::size_t ReadStream(char* buffer, std::size_t size) {
        while (!Ended()) {
            // A read only after poll() said so: standard input may block, and
            // a named pipe without a writer yet would read as its end.
            if (!Ready(FFd)) {
                Wait(FFd, -1);
                continue;
            }
            const ssize_t n = ::read(FFd, buffer, size);
            if (n > 0) return Took(n);
            if (n == 0) {
                EndAs(FollowEnd::Closed);
            } else if (errno == EIO && ::isatty(FFd)) {
                EndAs(FollowEnd::Closed);  // the terminal hung up
            } else if (errno != EINTR && errno != EAGAIN) {
                Fail(L"Read error", errno);
            }
        }
        return 0;
    }

    static bool Ready(int fd) {
        pollfd one{fd, POLLIN, 0};
        return ::poll(&one, 1, 0) > 0;
    }

    // n > 0 new bytes.
    std::size_t Took(ssize_t n) {
        FOffset += n;
        FLastArrival = TClock::now();
        return static_cast<std::size_t>(n);
    }

    // Truncated or Replaced when the file has changed so that following it
    // makes no sense any more; Running otherwise.
    FollowEnd FileChange() const {
        struct stat info {};
        if (::fstat(FFd, &info) != 0) Fail(L"Read error", errno);
        if (info.st_size < FBase + FOffset) return FollowEnd::Truncated;
        if (!FNamed) return FollowEnd::Running;
        struct stat named {};
        if (::stat(WideToUtf8(FName).c_str(), &named) != 0)
            return errno == ENOENT || errno == ENOTDIR ? FollowEnd::Replaced : FollowEnd::Running;
        return named.st_dev != FDevice || named.st_ino != FInode ? FollowEnd::Replaced : FollowEnd::Running;
    }

    // Waits until the descriptor (-1: none) has something, a signal comes,
    // the idle time is up, standard output's reader goes, or timeoutMs (-1:
    // no limit) have passed; the caller looks again in each case.
    void Wait(int fd, int timeoutMs) {
        if (FSettings.OnWait) FSettings.OnWait();
        if (FSettings.IdleSeconds) {
            const double left =
                *FSettings.IdleSeconds - std::chrono::duration<double>(TClock::now() - FLastArrival).count();
            if (left <= 0) {
                EndAs(FollowEnd::Idle);
                return;
            }
            const int leftMs = static_cast<int>(std::min(std::ceil(left * 1000.0), double{INT_MAX}));
            timeoutMs = timeoutMs < 0 ? leftMs : std::min(timeoutMs, leftMs);
        }
        pollfd fds[3];
        nfds_t count = 0;
        if (fd >= 0) fds[count++] = {fd, POLLIN, 0};
        const int wake = WakeRead.load();
        if (wake >= 0) fds[count++] = {wake, POLLIN, 0};
        const nfds_t output = count;
        if (FWatchOutput) fds[count++] = {STDOUT_FILENO, 0, 0};  // POLLERR comes unasked
        if (::poll(fds, count, timeoutMs) < 0) {
            if (errno != EINTR) Fail(L"Read error", errno);
            return;
        }
        if (wake >= 0) Drain(wake);
        if (fd >= 0 && fd == FWatchFd && (fds[0].revents & POLLIN)) Drain(fd);
        if (FWatchOutput && (fds[output].revents & (POLLERR | POLLHUP))) EndAs(FollowEnd::OutputGone);
    }

    void EndAs(FollowEnd end) {
        if (FEnd == FollowEnd::Running) FEnd = end;
    }

    // Events on the file: written, cut, its links changed (renamed over, or
    // removed), moved away. Polling stands in where there is no inotify.
    void WatchFile() {
#ifdef __linux__
        FWatchFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (FWatchFd < 0) return;
        const std::string path = FNamed ? WideToUtf8(FName) : "/proc/self/fd/0";
        constexpr std::uint32_t kEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVE_SELF | IN_DELETE_SELF;
        if (::inotify_add_watch(FWatchFd, path.c_str(), kEvents) < 0) CloseWatch();
#endif
    }

    void CloseWatch() {
        if (FWatchFd >= 0) ::close(FWatchFd);
        FWatchFd = -1;
    }

    void CloseQuietly() {
        CloseWatch();
        if (FFd >= 0 && FNamed) ::close(FFd);
        FFd = -1;
    }

    [[noreturn]] void Fail(std::wstring_view what, int code) const {
        throw TUserError(std::wstring(what) + L" : " + FName + L" (" + ErrnoText(code) + L")");
    }

    TFollowSettings FSettings;
    std::wstring FName;
    bool FNamed = false;  // false for standard input, which stays open
    int FFd = -1;
    bool FRegular = false;
    dev_t FDevice = 0;  // of the file opened, to tell a replacement
    ino_t FInode = 0;
    off_t FBase = 0;    // where a regular file's log begins
    off_t FOffset = 0;  // of the next byte, from FBase
    int FWatchFd = -1;  // inotify; -1 when polling
    bool FWatchOutput = false;
    TClock::time_point FLastArrival;
    FollowEnd FEnd = FollowEnd::Running;
    std::optional<TFirstPass> FFirstPass;  // from the open to the close
};

}  // namespace

std::unique_ptr<IFollowSource> MakeFollowSource(TFollowSettings settings) {
    return std::make_unique<TPosixFollowSource>(std::move(settings));
}

bool FollowAvailable() { return true; }

void CatchFollowSignals() {
    int fds[2];
    if (::pipe(fds) == 0) {
        if (SetNonBlocking(fds[0]) && SetNonBlocking(fds[1]) && ::fcntl(fds[0], F_SETFD, FD_CLOEXEC) == 0 &&
            ::fcntl(fds[1], F_SETFD, FD_CLOEXEC) == 0) {
            WakeRead.store(fds[0]);
            WakeWrite.store(fds[1]);
        } else {
            ::close(fds[0]);
            ::close(fds[1]);
        }
    }
    // Restarted calls: a write to standard output that a signal interrupts
    // goes on instead of failing. poll() is never restarted.
    struct sigaction action {};
    action.sa_handler = OnFollowSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int FollowSignalsCaught() { return SignalsCaught.load(); }
