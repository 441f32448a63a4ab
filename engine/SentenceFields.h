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

SentenceFields SplitSentence(std::string_view sentence);
bool ChecksumOk(std::string_view sentence);

std::string_view TrimBytes(std::string_view bytes);
std::wstring_view TrimText(std::wstring_view text);

// Strict conversions: nullopt when the text is not a number.
std::optional<double> DecimalTextToDouble(std::string_view text);
std::optional<double> DecimalTextToDouble(std::wstring_view text);
std::optional<std::int32_t> IntegerTextToInt(std::wstring_view text);

// Lenient readers: 0 for an empty text; NaN, 0.0 or 0 for one that is not a number.
double FloatOrNaN(std::string_view text);
double FloatOrNaN(std::wstring_view text);
double FloatOrZero(std::wstring_view text);
std::int32_t IntOrZero(std::wstring_view text);
