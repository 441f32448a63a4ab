// Any text through the number readers, as bytes and as wide text: no crash,
// byte and wide paths agree, and what reads as a number is finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/SentenceFields.h"

namespace {

bool SameDouble(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;  // tells -0 from 0
}

// Digits with at most one point, fifteen digits at most: such a text must
// read as the nearest double, which strtod gives.
bool PlainNumber(std::string_view text) {
    std::size_t digits = 0, points = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') ++digits;
        else if (c == '.') ++points;
        else return false;
    }
    return digits >= 1 && digits <= 15 && points <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::wstring wide;
    for (std::size_t i = 0; i + 1 < size; i += 2) wide += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    (void)FloatOrNaN(std::wstring_view(wide));
    (void)FloatOrZero(wide);
    (void)IntOrZero(wide);
    (void)IntegerTextToInt(wide);

    std::wstring widened;
    for (char c : bytes) widened += static_cast<wchar_t>(static_cast<unsigned char>(c));
    if (!SameDouble(FloatOrNaN(bytes), FloatOrNaN(std::wstring_view(widened)))) __builtin_trap();
    const auto value = DecimalTextToDouble(bytes);
    if (value && !std::isfinite(*value)) __builtin_trap();
    if (PlainNumber(bytes) && !(value && SameDouble(*value, std::strtod(std::string(bytes).c_str(), nullptr))))
        __builtin_trap();
    if (value.has_value() != DecimalTextToDouble(std::wstring_view(widened)).has_value()) __builtin_trap();
    const double zero = FloatOrZero(widened);
    if (!std::isfinite(zero)) __builtin_trap();
    (void)IntOrZero(widened);
    return 0;
}
