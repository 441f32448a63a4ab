#include "dates/DateTime.h"

#include <array>
#include <cmath>

#include "dates/AsciiText.h"

namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int64_t kDaysBeforeEpoch = 693594;  // day numbers count from 30 Dec 1899

bool IsLeap(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

}  // namespace

TCivilDate CivilFromDayNumber(std::int64_t dayNumber) {
    TCivilDate c;
    std::int64_t d = dayNumber + kDaysBeforeEpoch;  // days since 1 Jan of year 1, 1-based below
    if (d <= 0) return c;
    d -= 1;
    const std::int64_t n400 = d / 146097;
    d %= 146097;
    std::int64_t n100 = d / 36524;
    if (n100 == 4) n100 = 3;
    d -= n100 * 36524;
    const std::int64_t n4 = d / 1461;
    d %= 1461;
    std::int64_t n1 = d / 365;
    if (n1 == 4) n1 = 3;
    d -= n1 * 365;
    c.Year = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
    c.Month = 1;
    while (d >= DaysInMonth(c.Year, c.Month)) d -= DaysInMonth(c.Year, c.Month++);
    c.Day = static_cast<int>(d) + 1;
    return c;
}

namespace {

void AppendNumber(std::wstring& out, std::int64_t value, int minDigits) {
    std::array<wchar_t, 24> buffer{};
    int n = 0;
    do {
        buffer[static_cast<std::size_t>(n++)] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = n; i < minDigits; ++i) out += L'0';
    while (n > 0) out += buffer[static_cast<std::size_t>(--n)];
}

// The reading of a date-time text, position by position.
class TTextReader {
public:
    explicit TTextReader(std::wstring_view text) : FText(text) {}
    std::size_t Pos = 0;

    bool AtEnd() const { return Pos >= FText.size(); }
    wchar_t At(std::size_t k) const { return k < FText.size() ? FText[k] : L'\0'; }
    static bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
    void Skip() {
        while (At(Pos) == L' ') ++Pos;
    }
    bool Char(wchar_t c) {
        if (At(Pos) != c) return false;
        ++Pos;
        return true;
    }
    // Up to maxDigits digits while the value stays below 1000; false when none.
    bool Number(int& value, int maxDigits = 1 << 30, int* read = nullptr) {
        Skip();
        value = 0;
        int count = 0;
        while (count < maxDigits && value < 1000 && IsDigit(At(Pos))) {
            value = value * 10 + static_cast<int>(At(Pos++) - L'0');
            ++count;
        }
        if (read) *read = count;
        return count > 0;
    }
    bool MarkerAt(std::size_t k) const {
        const wchar_t a = LowerAscii(At(k)), m = LowerAscii(At(k + 1));
        return (a == L'a' || a == L'p') && m == L'm';
    }
    // Moves over an "AM"/"PM" marker; 0 none, 1 AM, 2 PM.
    int Marker() {
        Skip();
        if (!MarkerAt(Pos)) return 0;
        const int kind = LowerAscii(At(Pos)) == L'p' ? 2 : 1;
        Pos += 2;
        return kind;
    }

private:
    std::wstring_view FText;
};

struct TimeOfDay {
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

bool ClockTimeValid(const TimeOfDay& t) {
    return t.Hour <= 23 && t.Minute <= 59 && t.Second <= 59 && t.Millisecond <= 999;
}

bool ApplyTwelveHour(int marker, int& hour) {
    if (marker == 0) return true;
    if (hour < 1 || hour > 12) return false;
    if (hour == 12) hour = 0;
    if (marker == 2) hour += 12;
    return true;
}

// hour[:minutes[:seconds[.milliseconds]]] with an optional marker before or after.
bool FirstTimeReading(TTextReader& r, TimeOfDay& t) {
    int marker = r.Marker();
    if (!r.Number(t.Hour)) return false;
    if (r.Char(L':')) {
        if (!r.Number(t.Minute)) return false;
        if (r.Char(L':')) {
            if (!r.Number(t.Second)) return false;
            if (r.Char(L'.') && !r.Number(t.Millisecond)) return false;
        }
    }
    if (marker == 0) marker = r.Marker();
    if (!ApplyTwelveHour(marker, t.Hour)) return false;
    r.Skip();
    return ClockTimeValid(t);
}

// The short time pattern: hh ":" nn, at least one blank, an optional marker.
bool SecondTimeReading(TTextReader& r, TimeOfDay& t) {
    t = TimeOfDay();
    if (!r.Number(t.Hour, 2)) return false;
    r.Skip();
    if (!r.Char(L':')) return false;
    if (!r.Number(t.Minute, 2)) return false;
    if (r.At(r.Pos) != L' ') return false;
    r.Skip();
    int marker = 0;
    const wchar_t c = LowerAscii(r.At(r.Pos));
    if (c == L'a' || c == L'p') {
        marker = c == L'p' ? 2 : 1;
        r.Pos += r.MarkerAt(r.Pos) ? 2 : 1;
    }
    if (!ApplyTwelveHour(marker, t.Hour)) return false;
    return t.Hour <= 23 && t.Minute <= 59;
}

std::optional<TimeOfDay> ReadTime(std::wstring_view text, std::size_t start, bool mustEnd) {
    TTextReader r(text);
    r.Pos = start;
    TimeOfDay t;
    const bool first = FirstTimeReading(r, t);
    const bool stopsWell = r.AtEnd() || r.At(r.Pos) == L'-' || r.At(r.Pos) == L'+';
    if (first && (mustEnd ? r.AtEnd() : stopsWell)) return t;
    TTextReader second(text);
    second.Pos = start;
    if (!SecondTimeReading(second, t)) return std::nullopt;
    if (mustEnd) {
        second.Skip();
        if (!second.AtEnd()) return std::nullopt;
    }
    return t;
}

double TimeFraction(const TimeOfDay& t) {
    const std::int64_t ms = ((t.Hour * 60LL + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond;
    return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

// A year of one or two digits placed in the century around currentYear.
int WidenYear(int year, int currentYear) {
    const int base = currentYear - 50;
    year += base / 100 * 100;
    return year < base ? year + 100 : year;
}

bool DateValid(int year, int month, int day) {
    return month >= 1 && month <= 12 && year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

// A date's day number and a time of day as one value; days before 1900 count
// the time backwards.
TDateTime Combine(double dayNumber, double timeFraction) {
    return dayNumber < 0 ? dayNumber - timeFraction : dayNumber + timeFraction;
}

struct DateRead {
    bool Ok = false;
    double Day = 0.0;
    std::size_t End = 0;
};

DateRead ReadDate(std::wstring_view text, int currentYear) {
    TTextReader r(text);
    DateRead result;
    int month = 0, day = 0, year = currentYear;
    r.Skip();
    if (!r.Number(month, 2)) return result;
    r.Skip();
    if (!r.Char(L'/')) return result;
    if (!r.Number(day, 2)) return result;
    r.Skip();
    const bool slash = r.Char(L'/');
    if (!slash && !r.AtEnd()) return result;
    if (slash) {
        r.Skip();
        if (!r.AtEnd()) {
            int digits = 0;
            if (!r.Number(year, 4, &digits)) return result;
            if (digits <= 2) year = WidenYear(year, currentYear);
        }
    }
    r.Skip();
    if (!DateValid(year, month, day)) return result;
    result.Ok = true;
    result.Day = DayNumber(year, month, day);
    result.End = r.Pos;
    return result;
}

}  // namespace

double DayNumber(int year, int month, int day) {
    int dayOfYear = day;
    for (int m = 1; m < month; ++m) dayOfYear += DaysInMonth(year, m);
    const std::int64_t y = year - 1;
    return static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - kDaysBeforeEpoch);
}

std::optional<std::wstring> FormatByPattern(TDateTime value, std::wstring_view pattern) {
    const double product = value * static_cast<double>(kMsPerDay);
    if (!std::isfinite(product) || std::fabs(product) >= 9223372036854775808.0) return std::nullopt;
    const auto ms = static_cast<std::int64_t>(std::nearbyint(product));
    const TCivilDate date = CivilFromDayNumber(ms / kMsPerDay);
    const std::int64_t msOfDay = (ms < 0 ? -ms : ms) % kMsPerDay;
    const std::int64_t hour = msOfDay / 3600000, minute = msOfDay / 60000 % 60, second = msOfDay / 1000 % 60,
                       milli = msOfDay % 1000;
    std::wstring out;
    wchar_t previousLetter = 0;
    for (std::size_t i = 0; i < pattern.size();) {
        const wchar_t c = pattern[i];
        if (c == L'"' || c == L'\'') {
            const auto close = pattern.find(c, i + 1);
            const std::size_t end = close == std::wstring_view::npos ? pattern.size() : close;
            out.append(pattern.substr(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c) ++run;
        const int length = static_cast<int>(run);
        const wchar_t letter = LowerAscii(c);
        switch (letter) {
            case L'y':
                if (length >= 3) AppendNumber(out, date.Year, 4);
                else AppendNumber(out, date.Year % 100, 2);
                break;
            case L'm':
                if (previousLetter == L'h') AppendNumber(out, minute, std::min(length, 2));
                else AppendNumber(out, date.Month, std::min(length, 2));
                break;
            case L'd': AppendNumber(out, date.Day, std::min(length, 2)); break;
            case L'h': AppendNumber(out, hour, std::min(length, 2)); break;
            case L'n': AppendNumber(out, minute, std::min(length, 2)); break;
            case L's': AppendNumber(out, second, std::min(length, 2)); break;
            case L'z': AppendNumber(out, milli, std::min(length, 3)); break;
            default: out.append(pattern.substr(i, run)); break;
        }
        if (letter >= L'a' && letter <= L'z') previousLetter = letter;
        i += run;
    }
    return out;
}

std::string IsoUtcText(TDateTime value) {
    constexpr std::size_t kIsoLength = 24;  // four-digit years only
    const auto text = FormatByPattern(value, L"yyyy-mm-dd'T'hh:nn:ss.zzz'Z'");
    if (!text || text->size() != kIsoLength || text->starts_with(L"0000")) return {};
    return std::string(text->begin(), text->end());  // ASCII only
}

std::wstring FormatTimeDecimals(TDateTime value, std::wstring_view pattern, std::int32_t digits) {
    if (digits < 1) return FormatByPattern(value, pattern).value_or(L"");
    auto text = FormatByPattern(value, std::wstring(pattern) + L".zzz");
    if (!text) return L"";
    if (digits < 3) text->resize(text->size() + static_cast<std::size_t>(digits) - 3);
    return *text;
}

std::optional<TDateTime> ParseDateTimeText(std::wstring_view text, int currentYear) {
    const DateRead date = ReadDate(text, currentYear);
    if (!date.Ok) {
        const auto time = ReadTime(text, 0, true);
        if (!time) return std::nullopt;
        return TimeFraction(*time);
    }
    std::size_t digit = date.End;
    while (digit < text.size() && !TTextReader::IsDigit(text[digit])) ++digit;
    if (digit + 1 >= text.size()) return date.Day;
    TTextReader r(text);
    std::size_t start = digit;
    if (r.MarkerAt(date.End)) {
        start = date.End;
    } else {
        for (std::size_t k = date.End; k < digit; ++k)
            if (text[k] == L' ' && r.MarkerAt(k + 1) && k + 1 < digit) {
                start = k + 1;
                break;
            }
    }
    const auto time = ReadTime(text, start, false);
    if (!time) return std::nullopt;
    return Combine(date.Day, TimeFraction(*time));
}

std::optional<TDateTime> TwoDigitYearDateTime(int month, int day, int year, int hour, int minute, int second,
                                              int millisecond, int currentYear) {
    const TimeOfDay t{hour, minute, second, millisecond};
    year = WidenYear(year, currentYear);
    if (!DateValid(year, month, day) || !ClockTimeValid(t)) return std::nullopt;
    return Combine(DayNumber(year, month, day), TimeFraction(t));
}
