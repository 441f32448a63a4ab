#include "settings/Settings.h"

#include <array>
#include <limits>
#include <variant>

#include "dates/AsciiText.h"

namespace {

// The font settings a key carries, with its default when reading.
struct TFontNumber {
    std::int32_t FontSettings::*Field;
    std::int32_t Default;
};
struct TFontName {
    std::wstring FontSettings::*Field;
    std::wstring_view Default;
};
enum class TPositionEdge { Top, Left };
// What a key carries: a box's text, a box's state, a font setting, or a
// coordinate of the window's position.
using TKeyPlace = std::variant<EditBox, AlarmBox, TFontNumber, TFontName, TPositionEdge>;

constexpr std::wstring_view kDefaultFontName = L"Tahoma";
constexpr std::int32_t kDefaultFontSize = 9;
constexpr std::int32_t kDefaultJpCharset = 128;  // SHIFTJIS_CHARSET

// Every key with what it carries; the order is the order of saving. The
// load reads the position first, then the rest in this order.
const std::array<std::pair<std::wstring_view, TKeyPlace>, 14> kKeys{{
    {L"Filename", EditBox::Filename},
    {L"FlucTime", EditBox::FlucTime},
    {L"SameTimeAlm", AlarmBox::SameTime},
    {L"StepChange", AlarmBox::StepChange},
    {L"MovedBack", AlarmBox::MovedBack},
    {L"TimeDecimal", EditBox::Tdecimal},
    {L"EngCharset", TFontNumber{&FontSettings::EngCharset, 0}},
    {L"EngFontName", TFontName{&FontSettings::EngFontName, kDefaultFontName}},
    {L"EngFontSize", TFontNumber{&FontSettings::EngFontSize, kDefaultFontSize}},
    {L"JpCharset", TFontNumber{&FontSettings::JpCharset, kDefaultJpCharset}},
    {L"JpFontName", TFontName{&FontSettings::JpFontName, kDefaultFontName}},
    {L"JpFontSize", TFontNumber{&FontSettings::JpFontSize, kDefaultFontSize}},
    {L"MainTop", TPositionEdge::Top},
    {L"MainLeft", TPositionEdge::Left},
}};

template <class... F>
struct TOverloaded : F... {
    using F::operator()...;
};
template <class... F>
TOverloaded(F...) -> TOverloaded<F...>;

int DigitValue(wchar_t c, int base) {
    const int v = HexDigitValue(static_cast<char32_t>(c));
    return v < base ? v : -1;
}

std::int32_t ReadInteger(const IProfile& profile, std::wstring_view key, std::int32_t fallback) {
    return ParseProfileInteger(profile.ReadText(key, L"")).value_or(fallback);
}

std::wstring IntegerText(std::int32_t value) { return std::to_wstring(value); }

// One key of the options into its control or font setting, with the current
// value as the default; the position was read before the window was placed.
void LoadKey(const IProfile& profile, std::wstring_view key, const TKeyPlace& place, ISettingsWindow& window,
             FontSettings& fonts) {
    std::visit(TOverloaded{
                   [&](EditBox box) { window.SetEditText(box, profile.ReadText(key, window.EditText(box))); },
                   [&](AlarmBox box) {
                       const std::int32_t current = window.IsChecked(box) ? 1 : 0;
                       window.SetChecked(box, ReadInteger(profile, key, current) != 0);
                   },
                   [&](const TFontNumber& font) { fonts.*font.Field = ReadInteger(profile, key, font.Default); },
                   [&](const TFontName& font) { fonts.*font.Field = profile.ReadText(key, font.Default); },
                   [](TPositionEdge) {},
               },
               place);
}

// One key's value as the save writes it.
std::wstring SavedText(const TKeyPlace& place, const ISettingsWindow& window, const FontSettings& fonts) {
    return std::visit(TOverloaded{
                          [&](EditBox box) { return window.EditText(box); },
                          [&](AlarmBox box) { return std::wstring(window.IsChecked(box) ? L"1" : L"0"); },
                          [&](const TFontNumber& font) { return IntegerText(fonts.*font.Field); },
                          [&](const TFontName& font) { return fonts.*font.Field; },
                          [&](TPositionEdge edge) {
                              return IntegerText(edge == TPositionEdge::Top ? window.WindowTop() : window.WindowLeft());
                          },
                      },
                      place);
}

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

std::optional<TWindowPosition> LoadWindowPosition(IProfile& profile) {
    if (!profile.Exists() && !profile.CreateWithBom()) return std::nullopt;
    TWindowPosition position;
    for (const auto& [key, place] : kKeys) {
        if (const auto* edge = std::get_if<TPositionEdge>(&place)) {
            (*edge == TPositionEdge::Top ? position.Top : position.Left) = ReadInteger(profile, key, kUnsetPosition);
        }
    }
    return position;
}

void LoadOptions(IProfile& profile, ISettingsWindow& window, FontSettings& fonts) {
    for (const auto& [key, place] : kKeys) LoadKey(profile, key, place, window, fonts);
}

bool SaveSettings(IProfile& profile, const ISettingsWindow& window, const FontSettings& fonts) {
    // Every value is taken from the window before the first key is written.
    std::array<std::wstring, kKeys.size()> values;
    for (std::size_t i = 0; i < kKeys.size(); ++i) values[i] = SavedText(kKeys[i].second, window, fonts);
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
        if (!profile.WriteText(kKeys[i].first, values[i])) return false;
    }
    return true;
}
