#include "engine/TimeNotes.h"

#include <algorithm>
#include <cmath>

#include "engine/WideText.h"

namespace {

// GPS weeks are counted in 10 bits: a receiver that misses the rollover
// writes dates 1024 weeks early.
constexpr double kRolloverDays = 1024.0 * 7.0;
constexpr double kRolloverSlackDays = 7.0;
constexpr double kFutureSlackDays = 1.0;
constexpr std::size_t kUnreadExamples = 3;
constexpr std::size_t kMostLeapNotes = 10;

std::string IsoDate(TDateTime time) { return IsoUtcText(time).substr(0, 10); }

std::wstring Wide(const std::string& text) { return Utf8ToWide(text); }

// The seconds of an RMC time field: its two digits before the point (or the
// fifth and sixth digit of a field without one).
bool IsSecondSixty(std::string_view timeField) {
    const std::size_t point = std::min(timeField.find('.'), std::size_t{6});
    return point >= 2 && point <= timeField.size() && timeField.substr(point - 2, 2) == "60";
}

// The ddmmyy field as an ISO date, its year widened as the check widens it;
// the field as written when it is no date.
std::string DateOfField(std::string_view field, int currentYear) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (field.size() != 6 || !std::all_of(field.begin(), field.end(), digit)) return std::string(field);
    const auto pair = [&](std::size_t at) { return (field[at] - '0') * 10 + (field[at + 1] - '0'); };
    const auto noon = TwoDigitYearDateTime(pair(2), pair(0), pair(4), 12, 0, 0, 0, currentYear);
    return noon ? IsoDate(*noon) : std::string(field);
}

}  // namespace

void TTimeNotes::TimeAccepted(TDateTime time, std::int64_t line) {
    for (TLeap& leap : FLeaps) {
        if (leap.NextLine != 0) continue;
        leap.NextLine = line;
        leap.CausedStep = FStepLine == line;
    }
    const double early = FReference - std::floor(time);
    const double weeks = std::round(early / kRolloverDays);
    if (!FRollover && weeks >= 1.0 && std::fabs(early - weeks * kRolloverDays) <= kRolloverSlackDays)
        FRollover = TDated{time, line, static_cast<std::int64_t>(weeks) * 1024};
    if (!FFuture && time >= FReference + 1.0 + kFutureSlackDays) FFuture = TDated{time, line};
}

void TTimeNotes::TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) {
    if (IsSecondSixty(timeField)) {
        if (FLeaps.size() < kMostLeapNotes) FLeaps.push_back(TLeap{line, DateOfField(dateField, FCurrentYear)});
        return;
    }
    if (FUnreadCount++ == 0) FFirstUnreadLine = line;
    if (FUnreadExamples.size() < kUnreadExamples)
        FUnreadExamples.push_back(L"line " + std::to_wstring(line) + L" '" + Utf8ToWide(timeField) + L"' '" +
                                  Utf8ToWide(dateField) + L"'");
}

std::vector<TTimeNote> TTimeNotes::Notes() const {
    std::vector<TTimeNote> notes;
    const std::string reference = IsoDate(FReference);
    if (FRollover) {
        const std::string standsFor = IsoDate(FRollover->Time + static_cast<double>(FRollover->Weeks) * 7.0);
        notes.push_back({NoteKind::WeekRollover, FRollover->Line,
                         L"dated " + std::to_wstring(FRollover->Weeks) + L" weeks early (GPS week rollover?): " +
                             Wide(IsoDate(FRollover->Time)) + L" at line " + std::to_wstring(FRollover->Line) +
                             L" likely stands for " + Wide(standsFor) + L" (reference date " + Wide(reference) + L")",
                         IsoDate(FRollover->Time), standsFor});
    }
    if (FFuture) {
        notes.push_back({NoteKind::FutureDate, FFuture->Line,
                         L"dated in the future: " + Wide(IsoDate(FFuture->Time)) + L" at line " +
                             std::to_wstring(FFuture->Line) + L" is after the reference date " + Wide(reference),
                         IsoDate(FFuture->Time), ""});
    }
    for (const TLeap& leap : FLeaps) {
        std::wstring text = L"leap second (second 60) at line " + std::to_wstring(leap.Line) + L" (" + Wide(leap.Date) +
                            L"), skipped: the time cannot be read";
        if (leap.CausedStep)
            text += L"; the interval change at line " + std::to_wstring(leap.NextLine) + L" comes from it";
        notes.push_back({NoteKind::LeapSecond, leap.Line, text, leap.Date, ""});
    }
    if (FUnreadCount > 0) {
        std::wstring text = std::to_wstring(FUnreadCount) + L" RMC sentence" + (FUnreadCount == 1 ? L"" : L"s") +
                            L" skipped: date or time cannot be read (";
        for (std::size_t i = 0; i < FUnreadExamples.size(); ++i) text += (i > 0 ? L", " : L"") + FUnreadExamples[i];
        text += FUnreadCount > static_cast<std::int64_t>(FUnreadExamples.size()) ? L", ...)" : L")";
        notes.push_back({NoteKind::UnreadTime, FFirstUnreadLine, text, "", "", FUnreadCount});
    }
    return notes;
}

bool DatesWrong(const std::vector<TTimeNote>& notes) {
    return std::any_of(notes.begin(), notes.end(), [](const TTimeNote& note) {
        return note.Kind == NoteKind::WeekRollover || note.Kind == NoteKind::FutureDate;
    });
}

TTimeNote TrailingBytesNote(std::int64_t bytes, std::int64_t lines) {
    return {NoteKind::TrailingBytes,
            lines,
            std::to_wstring(bytes) + (bytes == 1 ? L" byte" : L" bytes") +
                L" after the compressed log were not read (not gzip data)",
            "",
            "",
            bytes};
}

std::optional<TDateTime> ReferenceDateFromText(std::wstring_view text) {
    if (text.size() != 10 || text[4] != L'-' || text[7] != L'-') return std::nullopt;
    int parts[3] = {};
    const std::size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
    for (int p = 0; p < 3; ++p) {
        for (std::size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
            if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
            parts[p] = parts[p] * 10 + (text[i] - L'0');
        }
    }
    if (parts[0] < 1 || parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31) return std::nullopt;
    const TDateTime day = DayNumber(parts[0], parts[1], parts[2]);
    // 31 April and the like come back as another date.
    if (Utf8ToWide(IsoDate(day)) != text) return std::nullopt;
    return day;
}
