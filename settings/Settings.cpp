#include "settings/Settings.h"

#include <array>
#include <limits>

#include "dates/AsciiText.h"

namespace {

// Each key with where it lives in the window; the order is the order of saving.
constexpr std::array<std::pair<std::wstring_view, EditBox>, 2> kLeadingTexts{{
    {L"Filename", EditBox::Filename},
    {L"FlucTime", EditBox::FlucTime},
}};
constexpr std::array<std::pair<std::wstring_view, AlarmBox>, 3> kAlarms{{
    {L"SameTimeAlm", AlarmBox::SameTime},
    {L"StepChange", AlarmBox::StepChange},
    {L"MovedBack", AlarmBox::MovedBack},
}};
constexpr std::wstring_view kTimeDecimalKey = L"TimeDecimal";
constexpr std::wstring_view kDefaultFontName = L"Tahoma";
constexpr std::int32_t kDefaultFontSize = 9;
constexpr std::int32_t kDefaultJpCharset = 128;   // SHIFTJIS_CHARSET

int DigitValue(wchar_t c, int base) {
    const int v = HexDigitValue(static_cast<char32_t>(c));
    return v < base ? v : -1;
}

std::int32_t ReadInteger(const IProfile& profile, std::wstring_view key, std::int32_t fallback) {
    return ParseProfileInteger(profile.ReadText(key, L"")).value_or(fallback);
}

std::wstring IntegerText(std::int32_t value) { return std::to_wstring(value); }

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int base = 10;
    if (i < text.size() && (text[i] == L'$' || text[i] == L'x' || text[i] == L'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    // The magnitude may reach 2^31 only for a negative value.
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

void LoadSettings(IProfile& profile, ISettingsWindow& window, FontSettings& fonts) {
    if (!profile.Exists() && !profile.CreateWithBom()) return;

    std::int32_t top = ReadInteger(profile, L"MainTop", kUnsetPosition);
    std::int32_t left = ReadInteger(profile, L"MainLeft", kUnsetPosition);
    window.PlaceMainWindow(top, left);
    window.SetWindowTop(top);
    window.SetWindowLeft(left);

    // Each value lands in its control before the next key is read.
    for (const auto& [key, box] : kLeadingTexts) {
        window.SetEditText(box, profile.ReadText(key, window.EditText(box)));
    }
    for (const auto& [key, box] : kAlarms) {
        const std::int32_t current = window.IsChecked(box) ? 1 : 0;
        window.SetChecked(box, ReadInteger(profile, key, current) != 0);
    }
    window.SetEditText(EditBox::Tdecimal,
                       profile.ReadText(kTimeDecimalKey, window.EditText(EditBox::Tdecimal)));

    fonts.EngCharset = ReadInteger(profile, L"EngCharset", 0);
    fonts.EngFontName = profile.ReadText(L"EngFontName", kDefaultFontName);
    fonts.EngFontSize = ReadInteger(profile, L"EngFontSize", kDefaultFontSize);
    fonts.JpCharset = ReadInteger(profile, L"JpCharset", kDefaultJpCharset);
    fonts.JpFontName = profile.ReadText(L"JpFontName", kDefaultFontName);
    fonts.JpFontSize = ReadInteger(profile, L"JpFontSize", kDefaultFontSize);
}

bool SaveSettings(IProfile& profile, const ISettingsWindow& window, const FontSettings& fonts) {
    const std::pair<std::wstring_view, std::wstring> values[] = {
        {kLeadingTexts[0].first, window.EditText(EditBox::Filename)},
        {kLeadingTexts[1].first, window.EditText(EditBox::FlucTime)},
        {kAlarms[0].first, window.IsChecked(AlarmBox::SameTime) ? L"1" : L"0"},
        {kAlarms[1].first, window.IsChecked(AlarmBox::StepChange) ? L"1" : L"0"},
        {kAlarms[2].first, window.IsChecked(AlarmBox::MovedBack) ? L"1" : L"0"},
        {kTimeDecimalKey, window.EditText(EditBox::Tdecimal)},
        {L"EngCharset", IntegerText(fonts.EngCharset)},
        {L"EngFontName", fonts.EngFontName},
        {L"EngFontSize", IntegerText(fonts.EngFontSize)},
        {L"JpCharset", IntegerText(fonts.JpCharset)},
        {L"JpFontName", fonts.JpFontName},
        {L"JpFontSize", IntegerText(fonts.JpFontSize)},
        {L"MainTop", IntegerText(window.WindowTop())},
        {L"MainLeft", IntegerText(window.WindowLeft())},
    };
    for (const auto& [key, value] : values) {
        if (!profile.WriteText(key, value)) return false;
    }
    return true;
}

void CentreInWorkArea(std::int32_t& top, std::int32_t& left, std::int32_t height,
                      std::int32_t width, const TRect32& work) {
    top = CentredStart(work.Top, work.Bottom - work.Top, height);
    left = CentredStart(work.Left, work.Right - work.Left, width);
}

void ClampToWorkArea(std::int32_t& top, std::int32_t& left, std::int32_t height,
                     std::int32_t width, const TRect32& work) {
    if (left < work.Left) left = work.Left;
    if (top > work.Bottom - height) top = work.Bottom - height;
    if (left > work.Right - width) left = work.Right - width;
    if (top < work.Top) top = work.Top;
}
