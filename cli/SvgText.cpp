#include "cli/SvgText.h"

#include <charconv>
#include <cmath>

#include "engine/WideText.h"

namespace {

bool IsXmlChar(char32_t cp) {
    // Control characters are allowed by XML only in part, and nowhere useful in a name.
    return (cp >= 0x20 && cp < 0x7F) || (cp >= 0xA0 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
           (cp >= 0x10000 && cp <= 0x10FFFF);
}

}  // namespace

void PutPiece(std::string& out, std::string_view text) { out += text; }
void PutPiece(std::string& out, char c) { out += c; }

void PutPiece(std::string& out, std::int64_t value) {
    char text[24];
    out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}
void PutPiece(std::string& out, int value) { PutPiece(out, std::int64_t{value}); }

void PutPiece(std::string& out, double px) {
    constexpr double kFar = 100000.0;
    if (!(px > -kFar && px < kFar)) px = px > 0 ? kFar : (px < 0 ? -kFar : 0.0);
    const std::int64_t tenths = std::llround(px * 10.0);
    if (tenths < 0) out += '-';
    const std::int64_t magnitude = tenths < 0 ? -tenths : tenths;
    PutPiece(out, magnitude / 10);
    if (magnitude % 10 != 0) {
        out += '.';
        out += static_cast<char>('0' + magnitude % 10);
    }
}

std::u32string XmlChars(std::wstring_view text) {
    constexpr char32_t kReplacement = 0xFFFD;
    std::u32string out = WideToCodePoints(text);
    for (char32_t& cp : out)
        if (!IsXmlChar(cp)) cp = kReplacement;
    return out;
}

std::string XmlText(std::u32string_view text) {
    std::string out;
    for (const char32_t cp : text) {
        switch (cp) {
            case U'&': out += "&amp;"; continue;
            case U'<': out += "&lt;"; continue;
            case U'>': out += "&gt;"; continue;
            case U'"': out += "&quot;"; continue;
            default: break;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

void PutText(std::string& out, double x, double y, std::string_view attributes, std::string_view body) {
    Put(out, "<text x=\"", x, "\" y=\"", y, '"', attributes, '>', body, "</text>\n");
}
