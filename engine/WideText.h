// UTF-8 <-> wide text. Bytes that are not valid UTF-8 map to U+DC80..U+DCFF
// and back, so a file name of any bytes survives the round trip.
#pragma once

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::wstring_view text);
