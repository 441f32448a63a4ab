// The date-time value and its text forms: pattern formatting for the report,
// the parse of the date-time text built from an RMC sentence, and the
// fixed-point number text of the report. All conversions use the fixed
// US-English conventions: "/" dates, ":" times, "." decimals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Days since 30 December 1899 00:00; the fraction is the time of day.
using TDateTime = double;

inline constexpr double kSecondsPerDay = 86400.0;

// Day number of a Gregorian date (years 1 to 9999, month 1 to 12, day 1 to 31).
double DayNumber(int year, int month, int day);

struct TCivilDate {
    int Year = 0, Month = 0, Day = 0;
};
// The Gregorian date of a day number; all 0 for day numbers of -693594 or
// below (before 1 January of the year 1).
TCivilDate CivilFromDayNumber(std::int64_t dayNumber);

// Writes a value by a pattern such as "yyyy/mm/dd hh:mm:ss". Fails (nullopt)
// on a NaN, an infinity, or a value whose millisecond count does not fit.
std::optional<std::wstring> FormatByPattern(TDateTime value, std::wstring_view pattern);

// 2019-05-01T12:00:04.500Z: the value to the nearest millisecond in ISO
// 8601 form; empty for a value that is not a time of the years 1 to 9999.
std::string IsoUtcText(TDateTime value);

// FormatByPattern with 0 to 3 digits after the seconds, cut, not rounded.
// Never fails: the empty text instead.
std::wstring FormatTimeDecimals(TDateTime value, std::wstring_view pattern, std::int32_t digits);

// Reads a month-first date-time text such as "03/23/94 12:35:19.000".
// currentYear widens two-digit years and stands in for a missing year.
std::optional<TDateTime> ParseDateTimeText(std::wstring_view text, int currentYear);

// What ParseDateTimeText gives for the text "mm/dd/yy hh:mm:ss.zzz" holding
// these numbers (two digits each, three for the milliseconds), without
// building the text; nullopt where the parse fails.
std::optional<TDateTime> TwoDigitYearDateTime(int month, int day, int year, int hour, int minute, int second,
                                              int millisecond, int currentYear);

// The calendar year of the local clock.
int CurrentLocalYear();
