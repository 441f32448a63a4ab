#include "cli/StdinSource.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/CliPlatform.h"
#include "engine/UserError.h"

namespace {

constexpr std::size_t kMemoryLimit = 8u << 20;
constexpr std::wstring_view kName = L"-";

[[noreturn]] void Fail(std::wstring_view what, int code) {
    throw TUserError(std::wstring(what) + L" : " + std::wstring(kName) + L" (" + ErrnoText(code) + L")");
}

// The bytes read so far, to be read again from the first: in memory, and past
// kMemoryLimit all of them in an anonymous spool file.
class TKeptBytes {
public:
    ~TKeptBytes() { Clear(); }

    void Append(const char* bytes, std::size_t size) {
        if (FSpool == nullptr && FMemory.size() + size > kMemoryLimit) MoveToSpool();
        if (FSpool == nullptr) {
            FMemory.append(bytes, size);
        } else if (std::fwrite(bytes, 1, size, FSpool) != size) {
            Fail(L"Can't keep standard input", errno);
        }
    }

    void Rewind() {
        FReadPos = 0;
        if (FSpool != nullptr && std::fseek(FSpool, 0, SEEK_SET) != 0) Fail(L"Cannot rewind", errno);
    }

    // Up to size of the kept bytes from the read position on; 0 past them.
    std::size_t Read(char* buffer, std::size_t size) {
        if (FSpool != nullptr) {
            const std::size_t n = std::fread(buffer, 1, size, FSpool);
            if (n == 0 && std::ferror(FSpool)) Fail(L"Read error", errno);
            return n;
        }
        const std::size_t n = std::min(size, FMemory.size() - FReadPos);
        FMemory.copy(buffer, n, FReadPos);
        FReadPos += n;
        return n;
    }

    void Clear() {
        if (FSpool != nullptr) std::fclose(FSpool);
        FSpool = nullptr;
        std::string().swap(FMemory);
        FReadPos = 0;
    }

private:
    void MoveToSpool() {
        FSpool = OpenAnonymousSpool();
        if (FSpool == nullptr) Fail(L"Can't keep standard input", errno);
        if (std::fwrite(FMemory.data(), 1, FMemory.size(), FSpool) != FMemory.size())
            Fail(L"Can't keep standard input", errno);
        std::string().swap(FMemory);
    }

    std::string FMemory;
    std::size_t FReadPos = 0;
    std::FILE* FSpool = nullptr;
};

class TStdinSource final : public IByteSource {
public:
    bool Open(std::wstring_view) override {
        FKept.Clear();
        FMode = TMode::Keeping;
        return true;
    }

    std::int64_t Size() override { return 0; }

    std::size_t Read(char* buffer, std::size_t size) override {
        if (FMode == TMode::Replaying) {
            const std::size_t n = FKept.Read(buffer, size);
            if (n > 0) return n;
            FKept.Clear();
            FMode = TMode::Streaming;
        }
        const std::size_t n = ReadStdin(buffer, size);
        if (FMode == TMode::Keeping) FKept.Append(buffer, n);
        return n;
    }

    void Reopen() override {
        if (FMode != TMode::Keeping) Fail(L"Cannot rewind", ESPIPE);
        FKept.Rewind();
        FMode = TMode::Replaying;
    }

    void Close() override {
        FKept.Clear();
        FMode = TMode::Keeping;
    }

private:
    // Keeping while the first pass reads; Replaying the kept bytes after the
    // rewind, then Streaming the rest.
    enum class TMode { Keeping, Replaying, Streaming };

    static std::size_t ReadStdin(char* buffer, std::size_t size) {
        const std::size_t n = std::fread(buffer, 1, size, stdin);
        if (n == 0 && std::ferror(stdin)) Fail(L"Read error", errno);
        return n;
    }

    TKeptBytes FKept;
    TMode FMode = TMode::Keeping;
};

}  // namespace

std::unique_ptr<IByteSource> MakeStdinSource() { return std::make_unique<TStdinSource>(); }
