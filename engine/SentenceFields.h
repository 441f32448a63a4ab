// Splitting one NMEA-0183 sentence into fields, its checksum, trims, and the
// lenient number readers that return a fixed value instead of failing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr int kFieldCount = 25;

// Fields 0 to 24 of a sentence; fields the sentence does not reach are empty.
// The views point into the sentence that was split.
struct SentenceFields {
    std::array<std::string_view, kFieldCount> Field{};
    int Count = 1;
};

// Splits at the first 24 commas; field 24 keeps any further commas. Only the
// last field filled is cut before its first "*".
SentenceFields SplitSentence(std::string_view sentence);

// True iff the sentence has a "*" and the XOR of the bytes between its first
// byte (whatever it is) and the first "*" equals the one or two characters
// after the "*" read as hexadecimal, in either case, blanks around them
// trimmed. Anything else after the "*" (nothing, a sign, a non-hex
// character) reads as 0; bytes after those two characters are ignored.
// "$GPRMC,1*56" passes, so do "*56,xyz" and "*56" in lower case; "$*" passes.
bool ChecksumOk(std::string_view sentence);

// Without the leading and trailing bytes (code units) of value 0x20 or less.
std::string_view TrimBytes(std::string_view bytes);
std::wstring_view TrimText(std::wstring_view text);

// Strict conversions: nullopt when the text is not a number.
// Decimal: blanks (U+0020) around, a sign, digits with one optional point,
// an optional exponent; the nearest double for up to 15 significant digits.
std::optional<double> DecimalTextToDouble(std::string_view text);
std::optional<double> DecimalTextToDouble(std::wstring_view text);
// Blanks before, a sign, then decimal digits or "$", "x", "0x" and up to
// eight hexadecimal digits read as a 32-bit pattern ("$FFFFFFFF" is -1);
// nothing may follow the digits. Unlike settings integers, whose hexadecimal
// values must lie in the signed range, this follows the text readers of the
// window's option boxes and of checksums.
std::optional<std::int32_t> IntegerTextToInt(std::wstring_view text);

// Lenient readers: 0 for an empty text; NaN, 0.0 or 0 for one that is not a number.
double FloatOrNaN(std::string_view text);
double FloatOrNaN(std::wstring_view text);
double FloatOrZero(std::wstring_view text);
std::int32_t IntOrZero(std::wstring_view text);
