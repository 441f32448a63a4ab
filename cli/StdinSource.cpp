#include "cli/StdinSource.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include "cli/CliPlatform.h"
#include "cli/KeptBytes.h"
#include "engine/UserError.h"

namespace {

constexpr std::wstring_view kName = L"-";

[[noreturn]] void Fail(std::wstring_view what, int code) {
    throw TUserError(std::wstring(what) + L" : " + std::wstring(kName) + L" (" + ErrnoText(code) + L")");
}

class TStdinSource final : public IByteSource {
public:
    bool Open(std::wstring_view) override {
        FFirstPass.Restart();
        return true;
    }

    std::int64_t Size() override { return 0; }

    std::size_t Read(char* buffer, std::size_t size) override {
        if (const std::size_t n = FFirstPass.Replay(buffer, size); n > 0) return n;
        const std::size_t n = std::fread(buffer, 1, size, stdin);
        if (n == 0 && std::ferror(stdin)) Fail(L"Read error", errno);
        FFirstPass.Took({buffer, n});
        return n;
    }

    void Reopen() override { FFirstPass.Rewind(); }

    void Close() override { FFirstPass.Restart(); }

private:
    TFirstPass FFirstPass{L"Can't keep standard input", kName};
};

}  // namespace

std::unique_ptr<IByteSource> MakeStdinSource() { return std::make_unique<TStdinSource>(); }
