#include "engine/TimeNotes.h"

#include <gtest/gtest.h>

namespace {

const TDateTime kReference = DayNumber(2026, 4, 5);

// Dates against the reference: 1024 weeks early (within a week), or in the future.
TEST(TTimeNotes, DatesAgainstTheReference) {
    const struct {
        TDateTime Time;
        std::vector<NoteKind> Kinds;
        std::string StandsFor;
    } rows[] = {
        {DayNumber(2006, 8, 20) + 0.5, {NoteKind::WeekRollover}, "2026-04-05"},
        {DayNumber(2006, 8, 14), {NoteKind::WeekRollover}, "2026-03-30"},  // six days off
        {DayNumber(1987, 1, 4), {NoteKind::WeekRollover}, "2026-04-05"},   // 2048 weeks
        {DayNumber(2006, 8, 10), {}, ""},                                  // ten days off
        {DayNumber(2026, 4, 6) + 0.9, {}, ""},                             // a day after
        {DayNumber(2026, 4, 7), {NoteKind::FutureDate}, ""},
        {DayNumber(2019, 5, 1), {}, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Time);
        TTimeNotes notes(kReference, 2026);
        notes.TimeAccepted(r.Time, 5);
        const std::vector<TTimeNote> found = notes.Notes();
        ASSERT_EQ(found.size(), r.Kinds.size());
        if (!found.empty()) {
            EXPECT_EQ(found[0].Kind, r.Kinds[0]);
            EXPECT_EQ(found[0].StandsFor, r.StandsFor);
        }
        EXPECT_EQ(DatesWrong(found), !found.empty());
    }
}

// Second 60 is a leap second, anything else unreadable is counted with examples.
TEST(TTimeNotes, SkippedTimes) {
    TTimeNotes notes(kReference, 2026);
    notes.TimeUnread(7, "235960.00", "311216");
    TAnomaly step;
    step.Line = 8;
    notes.AnomalyFound(step, L"");
    notes.TimeAccepted(DayNumber(2017, 1, 1), 8);
    for (int line = 10; line < 14; ++line) notes.TimeUnread(line, "123519.1234", "010519");
    const std::vector<TTimeNote> found = notes.Notes();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].Text,
              L"leap second (second 60) at line 7 (2016-12-31), skipped: the time cannot be read; "
              L"the interval change at line 8 comes from it");
    EXPECT_EQ(found[1].Text,
              L"4 RMC sentences skipped: date or time cannot be read (line 10 '123519.1234' '010519', "
              L"line 11 '123519.1234' '010519', line 12 '123519.1234' '010519', ...)");
    EXPECT_FALSE(DatesWrong(found));
}

TEST(ReferenceDateFromText, TakesRealDatesOnly) {
    EXPECT_EQ(ReferenceDateFromText(L"2026-04-05"), kReference);
    for (const wchar_t* text : {L"2026-4-5", L"2026-04-31", L"2026-13-01", L"20260405", L"2026-04-0x", L""})
        EXPECT_FALSE(ReferenceDateFromText(text)) << testing::PrintToString(std::wstring(text));
}

}  // namespace
