// The command-line checker's system facts through POSIX calls.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "cli/CliPlatform.h"
#include "engine/WideText.h"

std::wstring OpenFailureReason(const std::wstring& name) {
    const int fd = ::open(WideToUtf8(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return ErrnoText(errno);
    struct stat info {};
    const bool folder = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
    ::close(fd);
    return folder ? ErrnoText(EISDIR) : std::wstring();
}

std::wstring ErrnoText(int code) { return Utf8ToWide(std::strerror(code)); }

// glibc makes the file with O_TMPFILE, or unlinks it at once where the file
// system cannot.
std::FILE* OpenAnonymousSpool() { return std::tmpfile(); }

bool WriteHitClosedPipe(int code) { return code == EPIPE; }

int StderrTerminalColumns() {
    if (!::isatty(STDERR_FILENO)) return 0;
    struct winsize size {};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}
