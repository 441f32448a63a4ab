// Pieces of SVG text: numbers and coordinates written the same way
// everywhere, and any wide text made into escaped XML character data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

void PutPiece(std::string& out, std::string_view text);
void PutPiece(std::string& out, char c);
void PutPiece(std::string& out, std::int64_t value);
void PutPiece(std::string& out, int value);
// A coordinate to a tenth of a pixel, without trailing ".0". Anything not
// finite or far off the picture is pulled in, so the text is always a number.
void PutPiece(std::string& out, double px);

// Appends texts and numbers; a double is a coordinate in pixels.
template <typename... Pieces>
void Put(std::string& out, const Pieces&... pieces) {
    (PutPiece(out, pieces), ...);
}

template <typename... Pieces>
std::string Text(const Pieces&... pieces) {
    std::string out;
    Put(out, pieces...);
    return out;
}

// The characters of a wide text; what XML cannot carry (control characters,
// unpaired surrogates, the stand-ins for undecodable name bytes) becomes U+FFFD.
std::u32string XmlChars(std::wstring_view text);

// UTF-8 with the markup characters escaped; text holds XML characters only.
std::string XmlText(std::u32string_view text);

// <text> at x, y; attributes start with a blank, body is escaped already.
void PutText(std::string& out, double x, double y, std::string_view attributes, std::string_view body);
