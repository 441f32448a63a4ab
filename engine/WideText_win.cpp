// The ANSI code page half of the text conversions: the C++ runtime words
// system errors in it, so a failure text that is not UTF-8 is decoded here.
#include <windows.h>

#include "engine/WideText.h"

std::wstring NarrowMessageToWide(std::string_view bytes) {
    if (IsUtf8(bytes)) return Utf8ToWide(bytes);
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), n);
    return text;
}
