#include "cli/DateOptions.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// Day, month and year each once.
bool HasFullOrder(const DateConventions& conventions) {
    std::array<std::int32_t, 3> order = conventions.DateOrder;
    std::sort(order.begin(), order.end());
    return order == std::array<std::int32_t, 3>{1, 2, 3};
}

// The RMC date's numbers are taken apart again at the separator, so a digit
// would cut them in the wrong places.
bool CanSeparateNumbers(wchar_t separator) { return separator < L'0' || separator > L'9'; }

std::wstring Quoted(std::wstring_view text) { return L"'" + std::wstring(text) + L"'"; }

// "--date-pattern 'X' with --date-separator 'C'", or whichever was given.
std::wstring GivenOptions(const CliOptions& options, const std::wstring& pattern) {
    std::wstring named;
    if (options.DatePattern) named = L"--date-pattern " + Quoted(*options.DatePattern);
    if (options.DateSeparator) {
        if (!named.empty()) named += L" with ";
        named += L"--date-separator " + Quoted(std::wstring(1, *options.DateSeparator));
        if (!options.DatePattern) named += L" with the locale's date pattern " + Quoted(pattern);
    }
    return named;
}

}  // namespace

TDateChoice DateConventionsFor(const CliOptions& options) {
    TDateChoice choice;
    if (!options.DatePattern && !options.DateSeparator) {
        choice.Conventions = SetupDateConventions();
        return choice;
    }
    const std::wstring pattern = options.DatePattern ? *options.DatePattern : SetupDateConventions().DisplayDateFormat;
    wchar_t separator = L'/';
    if (options.DateSeparator) {
        separator = *options.DateSeparator;
    } else {
        const auto pos = pattern.find_first_not_of(L"dMyg ' ");
        if (pos != std::wstring::npos) separator = pattern[pos];
    }
    choice.Conventions = DateConventionsFromPattern(pattern, separator);
    if (!HasFullOrder(choice.Conventions)) {
        choice.Error = GivenOptions(options, pattern) +
                       L" does not give the order of day, month and year (each once, with separators between, "
                       L"e.g. yyyy/MM/dd or dd.MM.yyyy)";
    } else if (!CanSeparateNumbers(separator)) {
        choice.Error = GivenOptions(options, pattern) + L": the date separator " + Quoted(std::wstring(1, separator)) +
                       L" cannot stand between the numbers of a date";
    }
    return choice;
}
