// Any text as a date-time: parsed, and a parsed value written back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dates/DateTime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
    const auto value = ParseDateTimeText(text, 2025);
    if (value) (void)FormatTimeDecimals(*value, L"yyyy/mm/dd hh:mm:ss", 3);
    return 0;
}
