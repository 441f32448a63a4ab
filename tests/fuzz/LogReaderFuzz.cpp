// Any bytes as a log, read in two passes like the check run does, with reads
// of any length; the lines must match the byte-by-byte rules exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/LogReader.h"

namespace {

// Hands out at most Chunk bytes a read, as a pipe or a growing file may.
class TChunkedSource : public IByteSource {
public:
    TChunkedSource(std::string bytes, std::size_t chunk) : FBytes(std::move(bytes)), FChunk(chunk) {}
    bool Open(std::wstring_view) override { return true; }
    std::int64_t Size() override { return static_cast<std::int64_t>(FBytes.size()); }
    std::size_t Read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min({size, FChunk, FBytes.size() - FPos});
        FBytes.copy(buffer, n, FPos);
        FPos += n;
        return n;
    }
    void Reopen() override { FPos = 0; }
    void Close() override {}

private:
    std::string FBytes;
    std::size_t FChunk;
    std::size_t FPos = 0;
};

// A line end ends a line unless it is the other kind right after the last byte.
std::vector<std::string> ModelLines(const std::string& bytes, char& lastChar) {
    std::vector<std::string> lines(1);
    for (char c : bytes) {
        const bool paired = (c == '\n' && lastChar == '\r') || (c == '\r' && lastChar == '\n');
        if (c != '\n' && c != '\r') lines.back() += c;
        else if (!paired) lines.emplace_back();
        lastChar = c;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the read length: small ones move the block
    // boundaries, 0 keeps whole 2048-byte blocks.
    const std::size_t chunk = data[0] == 0 ? SIZE_MAX : data[0];
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    TLogReader reader(std::make_unique<TChunkedSource>(bytes, chunk));
    if (!reader.OpenLog(L"log")) __builtin_trap();
    char lastChar = 0;
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::string> lines;
        while (!reader.AtEnd()) lines.emplace_back(reader.ReadLogLine());
        if (lines != ModelLines(bytes, lastChar)) __builtin_trap();
        if (!reader.ReadLogLine().empty()) __builtin_trap();  // nothing after the end
        reader.RewindLog();
    }
    reader.CloseLog();
    return 0;
}
