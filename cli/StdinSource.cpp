#include "cli/StdinSource.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "cli/NativePath.h"

namespace fs = std::filesystem;

namespace {

// A name nobody can guess, so that no other user can plant a file there.
fs::path SpoolPath() {
    std::random_device random;
    const unsigned long long tag = (static_cast<unsigned long long>(random()) << 32) ^ random();
    std::error_code error;
    const fs::path folder = fs::temp_directory_path(error);
    if (error) return {};
    char name[48];
    std::snprintf(name, sizeof name, "fixtally-stdin-%016llx.nmea", tag);
    return folder / name;
}

// False when standard input could not be read whole or the copy not written.
bool CopyStdinTo(const fs::path& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::array<char, 65536> buffer{};
    for (;;) {
        const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), stdin);
        if (n > 0 && !out.write(buffer.data(), static_cast<std::streamsize>(n))) return false;
        if (n < buffer.size()) break;
    }
    out.close();
    return !std::ferror(stdin) && out;
}

class TStdinSource final : public IByteSource {
public:
    ~TStdinSource() override {
        FFile.reset();
        RemoveSpool();
    }

    bool Open(std::wstring_view) override {
        RemoveSpool();
        FSpool = SpoolPath();
        if (FSpool.empty() || !CopyStdinTo(FSpool)) {
            RemoveSpool();
            return false;
        }
        if (FFile->Open(NameOf(FSpool))) return true;
        RemoveSpool();
        return false;
    }

    std::int64_t Size() override { return FFile->Size(); }
    std::size_t Read(char* buffer, std::size_t size) override { return FFile->Read(buffer, size); }
    void Reopen() override { FFile->Reopen(); }

    void Close() override {
        FFile->Close();
        RemoveSpool();
    }

private:
    void RemoveSpool() {
        if (FSpool.empty()) return;
        std::error_code ignored;
        fs::remove(FSpool, ignored);
        FSpool.clear();
    }

    std::unique_ptr<IByteSource> FFile = MakeFileSource();
    fs::path FSpool;
};

}  // namespace

std::unique_ptr<IByteSource> MakeStdinSource() { return std::make_unique<TStdinSource>(); }
