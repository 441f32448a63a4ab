// Any text through the number readers, as bytes and as wide text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/SentenceFields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::wstring wide;
    for (std::size_t i = 0; i + 1 < size; i += 2) wide += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    (void)FloatOrNaN(bytes);
    (void)DecimalTextToDouble(bytes);
    (void)FloatOrNaN(std::wstring_view(wide));
    (void)FloatOrZero(wide);
    (void)IntOrZero(wide);
    (void)IntegerTextToInt(wide);
    const std::wstring widened(bytes.begin(), bytes.end());
    (void)IntOrZero(widened);
    (void)FloatOrZero(widened);
    return 0;
}
