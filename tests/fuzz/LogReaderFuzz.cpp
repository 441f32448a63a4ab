// Any bytes as a log, read in two passes like the check run does.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/LogReader.h"
#include "engine/MemorySource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TLogReader reader(std::make_unique<TMemorySource>(std::string(reinterpret_cast<const char*>(data), size)));
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
