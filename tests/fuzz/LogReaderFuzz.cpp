// Any bytes as a log, read in two passes like the check run does.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/LogReader.h"

namespace {

class TBytesSource : public IByteSource {
public:
    explicit TBytesSource(std::string bytes) : FBytes(std::move(bytes)) {}
    bool Open(std::wstring_view) override { return true; }
    std::int64_t Size() override { return static_cast<std::int64_t>(FBytes.size()); }
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, FBytes.size() - FPos);
        FBytes.copy(buffer, n, FPos);
        FPos += n;
        return n;
    }
    void Reopen() override { FPos = 0; }
    void Close() override {}

private:
    std::string FBytes;
    std::size_t FPos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TLogReader reader(std::make_unique<TBytesSource>(std::string(reinterpret_cast<const char*>(data), size)));
    if (!reader.OpenLog(L"log")) return 0;
    std::size_t bytes = 0;
    for (int pass = 0; pass < 2; ++pass) {
        while (!reader.AtEnd()) bytes += reader.ReadLogLine().size();
        if (bytes > 2 * size) __builtin_trap();  // a line never holds bytes twice
        reader.RewindLog();
        bytes = 0;
    }
    reader.CloseLog();
    return 0;
}
