#include "cli/DateOptions.h"

#include <gtest/gtest.h>

namespace {

CliOptions WithDates(std::optional<std::wstring> pattern, std::optional<wchar_t> separator) {
    CliOptions options;
    options.DatePattern = std::move(pattern);
    options.DateSeparator = separator;
    return options;
}

TEST(DateConventionsFor, TakesPatternsThatGiveDayMonthAndYear) {
    const struct {
        std::wstring Pattern;
        std::optional<wchar_t> Separator;
        std::wstring Display;
    } rows[] = {
        {L"yyyy/MM/dd", std::nullopt, L"yyyy/mm/dd"}, {L"dd.MM.yyyy", std::nullopt, L"dd.mm.yyyy"},
        {L"d. M. yyyy", L'.', L"dd.mm.yyyy"},         {L"M-d-yy", std::nullopt, L"mm-dd-yyyy"},
        {L"dd.MM.yyyy", L'/', L"dd/mm/yyyy"},  // elements found at the points
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.Pattern));
        const TDateChoice choice = DateConventionsFor(WithDates(r.Pattern, r.Separator));
        EXPECT_EQ(choice.Error, L"");
        EXPECT_EQ(choice.Conventions.DisplayDateFormat, r.Display);
    }
}

TEST(DateConventionsFor, RefusesWhatCannotReadADate) {
    const struct {
        std::wstring Pattern;
        std::optional<wchar_t> Separator;
        std::wstring Error;
    } rows[] = {
        {L"yyyyMMdd", std::nullopt, L"--date-pattern 'yyyyMMdd' does not give the order of day, month and year"},
        {L"dd/MM/dd", std::nullopt, L"--date-pattern 'dd/MM/dd' does not give the order"},
        {L"yyyy MM dd", L'/', L"--date-pattern 'yyyy MM dd' with --date-separator '/' does not give"},
        {L"yyyy0MM0dd", std::nullopt, L"--date-pattern 'yyyy0MM0dd': the date separator '0' cannot stand"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.Pattern));
        EXPECT_EQ(DateConventionsFor(WithDates(r.Pattern, r.Separator)).Error.rfind(r.Error, 0), 0u);
    }
}

}  // namespace
