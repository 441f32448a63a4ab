// Any double through any format, and any bytes as a pattern.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "dates/DateTime.h"
#include "dates/FormatFixed.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < sizeof(double)) return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const std::wstring format(reinterpret_cast<const char*>(data) + sizeof value,
                              reinterpret_cast<const char*>(data) + size);
    (void)FormatFixed(format, value);
    (void)FormatFixed(L"%10.8f", value);
    (void)FormatTimeDecimals(value, format, static_cast<std::int32_t>(size % 5) - 1);
    return 0;
}
