// The log file through POSIX descriptors, for the command-line checker and
// the native tests. Wide names become UTF-8 bytes here; errno goes into the
// TUserError text.
//
// Files are read into the caller's block, never mapped: a copy into one
// buffer that stays in the cache costs the same on every machine, while the
// loads from a mapping pay for a page walk at every new page, which in a
// virtual machine costs more than the copy.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string>

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
        FSize = FLargestSize = static_cast<std::int64_t>(info.st_size);
        FRegular = S_ISREG(info.st_mode);
        FOffset = 0;
        return true;
    }

    std::int64_t Size() override { return FSize; }

    // A regular file is read at an offset, so that bytes appended meanwhile
    // are read too, and a rewind needs no seek.
    std::size_t Read(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t n = FRegular ? ::pread(FFd, buffer, size, FOffset) : ::read(FFd, buffer, size);
            if (n >= 0) {
                FOffset += n;
                if (FRegular && static_cast<std::size_t>(n) < size) CheckNotShrunk();
                return static_cast<std::size_t>(n);
            }
            if (errno != EINTR) Fail(L"Read error");
        }
    }

    // The descriptor stays: reading from the start again reads the same file
    // even when another program has renamed or replaced it meanwhile.
    void Reopen() override {
        if (!FRegular && ::lseek(FFd, 0, SEEK_SET) != 0) Fail(L"Cannot rewind");
        FOffset = 0;
    }

    void Close() override {
        const int fd = FFd;
        FFd = -1;
        if (fd >= 0 && ::close(fd) != 0) Fail(L"Cannot close");
    }

private:
    // A read that comes back short has reached the file's end as it stands
    // now. An end before the largest size seen means the file was cut while
    // it was read: the lines past the cut were lost, so the check fails
    // rather than reporting on a part of the log as if it were all of it.
    void CheckNotShrunk() {
        struct stat info {};
        if (::fstat(FFd, &info) != 0) Fail(L"Read error");
        const auto size = static_cast<std::int64_t>(info.st_size);
        if (size < FLargestSize) throw TUserError(L"Read error : " + FName + L" (the file shrank while it was read)");
        FLargestSize = size;
    }

    void CloseQuietly() {
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }

    [[noreturn]] void Fail(std::wstring_view what) const {
        throw TUserError(std::wstring(what) + L" : " + FName + L" (code " + std::to_wstring(errno) + L")");
    }

    int FFd = -1;
    std::int64_t FSize = 0;         // at the open
    std::int64_t FLargestSize = 0;  // of all the sizes seen since the open
    std::wstring FName;
    bool FRegular = false;
    std::int64_t FOffset = 0;  // of the next byte to read
};

}  // namespace

std::unique_ptr<IByteSource> MakeFileSource() { return std::make_unique<TPosixFileSource>(); }
