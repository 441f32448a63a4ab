// UTF-8 <-> wide text. Bytes that are not valid UTF-8 map to U+DC80..U+DCFF
// and back, so a file name of any bytes survives the round trip.
#pragma once

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::wstring_view text);
// The code points of a wide text: UTF-16 surrogate pairs joined, unpaired
// surrogates kept as they are.
std::u32string WideToCodePoints(std::wstring_view text);
// Appends one code point as UTF-8; U+DC80..U+DCFF as the byte it stands for,
// values beyond Unicode as U+FFFD.
void AppendUtf8(std::string& out, char32_t cp);

// True when every byte belongs to a valid UTF-8 sequence.
bool IsUtf8(std::string_view bytes);

// A runtime failure's narrow text: UTF-8 when it is valid UTF-8, otherwise
// the system's ANSI code page, in which the C++ runtime words system errors
// (Windows build only).
std::wstring NarrowMessageToWide(std::string_view bytes);
