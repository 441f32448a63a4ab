// Any bytes through the gzip-recognising source, as they are and behind a
// gzip header (so that they are inflated as a compressed body): reading two
// passes either ends cleanly, having taken every compressed byte, or throws
// the reader's own error; nothing else may happen.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/LogReader.h"
#include "engine/MemorySource.h"
#include "engine/UserError.h"

namespace {

// Magic, deflate, no flags, no time, no extra flags, unknown system.
const std::string kGzipHeader("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\xFF", 10);

void ReadTwice(const std::string& bytes) {
    TLogReader reader(MakeGzipAwareSource(std::make_unique<TMemorySource>(bytes)));
    if (!reader.OpenLog(L"log.gz")) __builtin_trap();
    try {
        for (int pass = 0; pass < 2; ++pass) {
            while (!reader.AtEnd()) reader.ReadLogLine();
            const auto taken = reader.CompressedBytesRead();
            if (taken && *taken != static_cast<std::int64_t>(bytes.size())) __builtin_trap();
            reader.RewindLog();
        }
    } catch (const TUserError&) {
        // A damaged stream: the run reports it.
    }
    reader.CloseLog();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ReadTwice(bytes);
    ReadTwice(kGzipHeader + bytes);
    return 0;
}
