#include "engine/RmcDecode.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "dates/DateTime.h"
#include "engine/RmcSteps.h"
#include "engine/SentenceFields.h"
#include "engine/UsualRmc.h"

namespace {

constexpr std::string_view kRmcTypeTable = "$GPRMC$GNRMC$GLRMC$PGRMT$GQRMC$GIRMC$";
constexpr std::size_t kTypeLength = 6;
constexpr int kAnnouncementCategory = 3;
constexpr int kLastRmcCategory = 5;
constexpr std::string_view kGloAnnouncement = "GLO Software Version 2.40";
constexpr std::wstring_view kGloDetected = L"GLO Version 2.40 was detected:  Less than second of time is interpolated.";

// The category of the table entry at pos.
constexpr int CategoryAt(std::size_t pos) { return static_cast<int>((pos + 1) / kTypeLength); }

// The table search, out of line: the many sentences dismissed before it
// need not pay for its registers.
[[gnu::noinline]] int TableCategory(std::string_view type) {
    const auto pos = kRmcTypeTable.find(type);
    if (pos == std::string_view::npos) return -1;
    return CategoryAt(pos);
}

// The table's category of "$G" + c + "RMC" for each byte c, -1 where it has none.
constexpr auto kGnssRmcCategories = [] {
    std::array<std::int8_t, 256> categories{};
    categories.fill(-1);
    for (std::size_t pos = 0; pos + kTypeLength < kRmcTypeTable.size(); pos += kTypeLength) {
        const std::string_view entry = kRmcTypeTable.substr(pos, kTypeLength);
        if (entry[1] == 'G' && entry.substr(3) == "RMC")
            categories[static_cast<unsigned char>(entry[2])] = static_cast<std::int8_t>(CategoryAt(pos));
    }
    return categories;
}();

// Field 0 found anywhere in the table: its first position (from 1) over 6.
int SentenceCategory(std::string_view type) {
    if (type.empty()) return -1;
    if (type.size() == kTypeLength && type[0] == '$') {
        // "$" only begins entries, so a whole type matches whole entries
        // only: the kind "RMC" or "RMT" decides, tested without a call.
        if (!NamesRmcOrRmt(type)) return -1;
        if (type[1] == 'G' && type[5] == 'C') return kGnssRmcCategories[static_cast<unsigned char>(type[2])];
    }
    return TableCategory(type);
}

// Field 0 as the split would give it, without splitting the rest: most
// sentences of a log are dismissed on it alone.
std::string_view FieldZero(std::string_view sentence) {
    if constexpr (std::endian::native == std::endian::little) {
        // The first comma nearly always lies in the first eight bytes: a
        // test of all eight at once finds it.
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighs = 0x8080808080808080ull;
        if (sentence.size() >= sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, sentence.data(), sizeof word);
            const std::uint64_t x = word ^ (kOnes * ',');
            // The lowest flag is exact; borrows can only flag bytes above it.
            const std::uint64_t commas = (x - kOnes) & ~x & kHighs;
            if (commas != 0) return sentence.substr(0, static_cast<std::size_t>(std::countr_zero(commas)) / 8);
        }
    }
    std::size_t end = 0;
    while (end < sentence.size() && sentence[end] != ',') ++end;  // types are short
    if (end < sentence.size()) return sentence.substr(0, end);
    return sentence.substr(0, sentence.find('*'));  // the only field is also the last
}

// The GLO receiver's announcement, once at the start of its log:
// $PGRMT,GLO Software Version 2.40*79
void HandleAnnouncement(std::string_view sentence, const SentenceFields& fields, ScanState& state,
                        const CheckContext& context) {
    if (!ChecksumOk(sentence) || fields.Field[1] != kGloAnnouncement) return;
    if (!state.GloMode) {
        context.Events.ReportLine(kGloDetected);
        context.Events.ReportLine(L"");  // the announcement stands apart
    }
    state.GloMode = true;
}

bool RmcAccepted(std::string_view sentence, const SentenceFields& fields) {
    return ChecksumOk(sentence) && fields.Field[2] == kRmcValid && !fields.Field[9].empty() && !fields.Field[1].empty();
}

// The tenth of the GLO receiver's whole-second time, e.g. "12:35:19." + "7" + "00".
void AppendInterpolatedTime(TShortText<wchar_t>& text, std::string_view timeText, std::size_t pointPos,
                            std::int32_t tenth) {
    text.AppendBytes(timeText.substr(0, pointPos + 1));
    text.Append(static_cast<wchar_t>(L'0' + tenth));
    text.Append(L"00");
}

// The date-time text to parse, month first; advances the GLO tenth counter's
// phase as the pass requires. The counter itself grows after a good parse.
TShortText<wchar_t> DateTimeText(std::wstring_view date, std::string_view timeText, ScanPass pass, ScanState& state) {
    TShortText<wchar_t> text;
    text.Append(date);
    text.Append(L' ');
    if (const auto tenth = InterpolatedTenth(timeText, pass, state)) {
        AppendInterpolatedTime(text, timeText, timeText.find(".000"), *tenth);
        return text;
    }
    text.AppendBytes(timeText);
    return text;
}

// Any RMC sentence the full way, e.g. one whose time has no fraction:
// $GPRMC,113258,A,3238.9148,N,10822.4466,W,005.3,247.1,181022,009.3,E*6B
void DecodeRmc(std::string_view sentence, const SentenceFields& fields, ScanPass pass, ScanState& state,
               const CheckContext& context) {
    if (!RmcAccepted(sentence, fields)) return;
    const auto timeText = PadMilliseconds(TimeFieldToText(fields.Field[1]).Text());
    // The date goes the long way round: its pairs into the user's date order,
    // then read back by that order into month-first text for the parse. For
    // the usual orders that is the ddmmyy field itself; an order that lacks
    // or repeats an element (a pattern without the year) drops or repeats a
    // pair on the way, and the parse then fills the gap as it fills any
    // missing year, so the report's dates follow the user's pattern exactly.
    const auto date =
        LocalDateToUsDate(DateFieldToLocalOrder(fields.Field[9], context.Conventions).Text(), context.Conventions);
    const auto text = DateTimeText(date.Text(), timeText.Text(), pass, state);
    const auto time = ParseDateTimeText(text.Text(), context.CurrentYear);
    if (!time) {
        if (pass == ScanPass::Check) context.Events.TimeUnread(state.LineNumber, fields.Field[1], fields.Field[9]);
        return;
    }
    const auto& f = fields.Field;
    StoreRmc(*time, timeText.Text(), TRmcFixText{f[3], f[4], f[5], f[6], f[7]}, pass, state, context);
}

// Kept out of line like TableCategory.
[[gnu::noinline]] void Handle(std::string_view sentence, int category, ScanPass pass, ScanState& state,
                              const CheckContext& context, bool usualShapesDirectly) {
    try {
        if (category != kAnnouncementCategory && usualShapesDirectly && DecodeUsualRmc(sentence, pass, state, context))
            return;
        const SentenceFields fields = SplitSentence(sentence);
        if (category == kAnnouncementCategory) {
            HandleAnnouncement(sentence, fields, state, context);
        } else {
            DecodeRmc(sentence, fields, pass, state, context);
        }
    } catch (const std::exception&) {
        // A sentence that fails anywhere is skipped; the run goes on.
    }
}

// Most sentences of a log are of other types: they are dismissed here, on
// field 0 alone, before any of the work of Handle begins.
void Process(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context,
             bool usualShapesDirectly) {
    const int category = SentenceCategory(FieldZero(sentence));
    if (category >= 0 && category <= kLastRmcCategory)
        Handle(sentence, category, pass, state, context, usualShapesDirectly);
}

}  // namespace

void ProcessPossibleRmc(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context) {
    Process(sentence, pass, state, context, true);
}

void ProcessSentenceExactly(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context) {
    Process(sentence, pass, state, context, false);
}

TShortText<char> TimeFieldToText(std::string_view field) {
    TShortText<char> out;
    if (field.empty()) return out;
    // Without a point, a seventh digit on starts the fraction.
    TShortText<char> withPoint;
    std::size_t digits = field.find('.');
    if (digits == std::string_view::npos && field.size() > 6) {
        withPoint.Append(field.substr(0, 6));
        withPoint.Append('.');
        withPoint.Append(field.substr(6));
        digits = 6;
    } else {
        withPoint.Append(field);
        if (digits == std::string_view::npos) digits = field.size();
    }
    // Colons before the last two and the last four digits in front of the point.
    const std::string_view text = withPoint.Text();
    const std::size_t minutesAt = digits >= 4 ? digits - 4 : 0;
    const std::size_t secondsAt = digits >= 2 ? digits - 2 : 0;
    out.Append(text.substr(0, minutesAt));
    out.Append(':');
    out.Append(text.substr(minutesAt, secondsAt - minutesAt));
    out.Append(':');
    out.Append(text.substr(secondsAt));
    if (text.find('.') == std::string_view::npos) out.Append(".000");
    return out;
}

TShortText<char> PadMilliseconds(std::string_view timeText) {
    TShortText<char> out;
    out.Append(timeText);
    const auto point = timeText.find('.');
    const std::size_t fraction = timeText.size() - (point == std::string_view::npos ? 0 : point + 1);
    if (fraction < 3) out.Append(std::string_view("000").substr(fraction));
    return out;
}

TShortText<wchar_t> DateFieldToLocalOrder(std::string_view field, const DateConventions& conventions) {
    TShortText<wchar_t> out;
    if (field.empty()) return out;
    for (int i = 0; i < 3; ++i) {
        if (i > 0) out.Append(conventions.LocaleDateSeparator);
        const int element = conventions.DateOrder[static_cast<std::size_t>(i)];
        const std::size_t start = static_cast<std::size_t>(2 * element - 2);
        if (element >= 1 && start < field.size()) out.AppendBytes(field.substr(start, 2));
    }
    return out;
}

TShortText<wchar_t> LocalDateToUsDate(std::wstring_view text, const DateConventions& conventions) {
    TShortText<wchar_t> out;
    if (text.empty()) return out;
    std::wstring_view day, month, year;
    for (int i = 0; i < 3; ++i) {
        std::wstring_view part = text;
        const auto sep = text.find(conventions.LocaleDateSeparator);
        if (sep != std::wstring_view::npos) {
            part = text.substr(0, sep);
            text.remove_prefix(sep + 1);
        }
        switch (conventions.DateOrder[static_cast<std::size_t>(i)]) {
            case 1: day = part; break;
            case 2: month = part; break;
            case 3: year = part; break;
            default: break;
        }
    }
    out.Append(month);
    out.Append(conventions.UsDateSeparator);
    out.Append(day);
    out.Append(conventions.UsDateSeparator);
    out.Append(year);
    return out;
}
