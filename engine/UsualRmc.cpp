#include "engine/UsualRmc.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "dates/DateTime.h"
#include "engine/RmcSteps.h"
#include "engine/SentenceFields.h"

namespace {

constexpr std::size_t kClockDigits = 6;  // hhmmss
constexpr std::size_t kDateDigits = 6;   // ddmmyy
constexpr std::size_t kMaxFractionDigits = 3;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool AllDigits(std::string_view text) {
    for (const char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

int Pair(std::string_view digits, std::size_t at) { return (digits[at] - '0') * 10 + (digits[at + 1] - '0'); }

// The commas among the 16 bytes at p (or fewer, up to end) as bits, byte 0
// the lowest; begin is where the sentence starts.
unsigned CommaBits([[maybe_unused]] const char* begin, const char* p, const char* end) {
#ifdef __SSE2__
    const __m128i commas = _mm_set1_epi8(',');
    if (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, commas)));
    }
    if (end - begin >= 16) {
        // The sentence's last 16 bytes, shifted down to p.
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, commas))) >> (16 - (end - p));
    }
#endif
    unsigned bits = 0;
    for (int k = 0; k < 16 && p + k < end; ++k)
        if (p[k] == ',') bits |= 1u << k;
    return bits;
}

constexpr std::size_t kUsualFields = 10;  // up to the date, field 9

// Where fields 0 to 9 end, found as the split finds them when none of them is
// the last field; filled before it is read, so not zeroed first.
class TUsualFields {
public:
    bool Split(std::string_view sentence) {
        FSentence = sentence;
        const char* const begin = sentence.data();
        const char* const end = begin + sentence.size();
        std::size_t n = 0;
        for (const char* p = begin; p < end; p += 16) {
            for (unsigned bits = CommaBits(begin, p, end); bits != 0; bits &= bits - 1) {
                FEnds[n] = static_cast<std::size_t>(p - begin) + static_cast<std::size_t>(std::countr_zero(bits));
                if (++n == kUsualFields) return true;
            }
        }
        return false;
    }

    std::string_view operator[](std::size_t k) const {
        const std::size_t start = k == 0 ? 0 : FEnds[k - 1] + 1;
        return FSentence.substr(start, FEnds[k] - start);
    }

private:
    std::string_view FSentence;
    std::array<std::size_t, kUsualFields> FEnds;
};

// Whether the date reaches the parse as "mm/dd/yy" whatever the user's order:
// the order names the day, the month and the year once each, and the locale's
// separator cannot be mistaken for a digit of the date.
bool DateReachesParseMonthFirst(const DateConventions& c) {
    unsigned seen = 0;
    for (const std::int32_t element : c.DateOrder) {
        if (element < 1 || element > 3) return false;
        seen |= 1u << element;
    }
    const bool digitSeparator = c.LocaleDateSeparator >= L'0' && c.LocaleDateSeparator <= L'9';
    return seen == 0b1110u && !digitSeparator && c.UsDateSeparator == L'/';
}

struct TUsualTime {
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
    std::array<char, 12> Text{};  // "hh:mm:ss.fff", the full decoding's time text
};

// "hhmmss" with an optional point and up to three fraction digits, which count
// as tenths, hundredths or thousandths; false for any other shape.
bool ReadUsualTime(std::string_view field, TUsualTime& t) {
    if (field.size() < kClockDigits || !AllDigits(field.substr(0, kClockDigits))) return false;
    std::string_view fraction;
    if (field.size() > kClockDigits) {
        if (field[kClockDigits] != '.') return false;
        fraction = field.substr(kClockDigits + 1);
        if (fraction.size() > kMaxFractionDigits || !AllDigits(fraction)) return false;
    }
    t.Hour = Pair(field, 0);
    t.Minute = Pair(field, 2);
    t.Second = Pair(field, 4);
    const char clock[] = {field[0], field[1], ':', field[2], field[3], ':', field[4], field[5], '.'};
    std::size_t at = 0;
    for (const char c : clock) t.Text[at++] = c;
    for (std::size_t k = 0; k < kMaxFractionDigits; ++k) {
        const char digit = k < fraction.size() ? fraction[k] : '0';
        t.Text[at++] = digit;
        t.Millisecond = t.Millisecond * 10 + (digit - '0');
    }
    return true;
}

std::optional<TDateTime> UsualDateTime(std::string_view date, const TUsualTime& t, int millisecond, int currentYear) {
    return TwoDigitYearDateTime(Pair(date, 2), Pair(date, 0), Pair(date, 4), t.Hour, t.Minute, t.Second, millisecond,
                                currentYear);
}

}  // namespace

// The usual shape, nearly every RMC sentence of a log:
// $GNRMC,223745.00,A,3806.62964,N,12237.61382,W,0.040,,110720,,,D,V*0E
bool DecodeUsualRmc(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context) {
    if (!DateReachesParseMonthFirst(context.Conventions)) return false;
    TUsualFields fields;
    if (!fields.Split(sentence)) return false;
    const std::string_view date = fields[9];
    TUsualTime t;
    if (fields[2] != kRmcValid || date.size() != kDateDigits || !AllDigits(date) || !ReadUsualTime(fields[1], t))
        return false;
    const auto read = UsualDateTime(date, t, t.Millisecond, context.CurrentYear);
    if (!read || !ChecksumOk(sentence)) return false;
    const std::string_view timeText(t.Text.data(), t.Text.size());
    TDateTime time = *read;
    // Another tenth leaves the date and the time valid.
    if (const auto tenth = InterpolatedTenth(timeText, pass, state))
        time = UsualDateTime(date, t, *tenth * 100, context.CurrentYear).value();
    StoreRmc(time, timeText, TRmcFixText{fields[3], fields[4], fields[5], fields[6], fields[7]}, pass, state, context);
    return true;
}
