// The log file through POSIX descriptors, for the command-line checker and
// the native tests. Wide names become UTF-8 bytes here; errno goes into the
// TUserError text.
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/LogReader.h"
#include "engine/UserError.h"
#include "engine/WideText.h"

namespace {

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
        return true;
    }

    std::int64_t Size() override { return FSize; }

    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t n = ::read(FFd, buffer, size);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno != EINTR) Fail(L"Read error");
        }
    }

    // The descriptor stays: seeking back reads the same file even when
    // another program has renamed or replaced it meanwhile.
    void Reopen() override {
        if (::lseek(FFd, 0, SEEK_SET) != 0) Fail(L"Cannot rewind");
    }

    void Close() override {
        const int fd = FFd;
        FFd = -1;
        if (fd >= 0 && ::close(fd) != 0) Fail(L"Cannot close");
    }

private:
    void CloseQuietly() {
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }

    [[noreturn]] void Fail(std::wstring_view what) const {
        throw TUserError(std::wstring(what) + L" : " + FName + L" (code " + std::to_wstring(errno) + L")");
    }

    int FFd = -1;
    std::int64_t FSize = 0;
    std::wstring FName;
};

}  // namespace

std::unique_ptr<IByteSource> MakeFileSource() { return std::make_unique<TPosixFileSource>(); }
