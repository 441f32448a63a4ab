// The keys of the settings file (section "Option"), their value forms and
// defaults, and the load and save that carry them between the file and the
// main window. The load hands the stored window position back; placing the
// window (settings/WindowPlacement.h) is the window's own business.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CheckOptions.h"
#include "settings/WindowPlacement.h"

// The read buffer of one value, terminator included: at most 2047 characters return.
inline constexpr std::size_t kProfileBufferChars = 2048;

// The font choices kept in the settings: one for Japanese users, one for everybody else.
struct FontSettings {
    std::int32_t EngCharset = 0;
    std::wstring EngFontName;
    std::int32_t EngFontSize = 0;  // points
    std::int32_t JpCharset = 0;
    std::wstring JpFontName;
    std::int32_t JpFontSize = 0;  // points
};

// One section of one INI file.
class IProfile {
public:
    virtual ~IProfile() = default;
    virtual bool Exists() const = 0;
    // Creates the file holding only the UTF-16 byte-order mark FF FE.
    virtual bool CreateWithBom() = 0;
    // The key's value, or defaultText when the key is missing; cut to 2047 characters.
    virtual std::wstring ReadText(std::wstring_view key, std::wstring_view defaultText) const = 0;
    // Writes one key at once; false when the write is refused.
    virtual bool WriteText(std::wstring_view key, std::wstring_view value) = 0;
};

// What load and save touch in the main window.
class ISettingsWindow {
public:
    virtual ~ISettingsWindow() = default;
    virtual std::wstring EditText(EditBox which) const = 0;
    virtual void SetEditText(EditBox which, std::wstring_view text) = 0;
    virtual bool IsChecked(AlarmBox which) const = 0;
    // A change runs the box's click handler; the same state does nothing.
    virtual void SetChecked(AlarmBox which, bool checked) = 0;
    // Outer position in screen pixels, as it stands at the save.
    virtual std::int32_t WindowTop() const = 0;
    virtual std::int32_t WindowLeft() const = 0;
};

// Reads a 32-bit integer value: optional leading blanks, an optional sign,
// then decimal digits or hexadecimal ones after "$", "x", "X", "0x" or "0X",
// and nothing else. nullopt for any other shape and for values out of range:
// "$80000000" is 2147483648, too large, where the option boxes' reader
// (IntegerTextToInt) takes hexadecimal as a 32-bit pattern and gives
// -2147483648. Settings files hold the window's position in these keys, so a
// wrapped value would put it somewhere else rather than centre it.
std::optional<std::int32_t> ParseProfileInteger(std::wstring_view text);

// The first part of a load: creates a missing file as FF FE, then reads
// MainTop and MainLeft (kUnsetPosition when missing or unreadable). nullopt
// when the file cannot be created: the load ends there without a message,
// and nothing else is to be read.
std::optional<TWindowPosition> LoadWindowPosition(IProfile& profile);

// The rest of a load, once the window has been placed: the three boxes'
// texts and the three check states, each with the control's current value as
// its default and applied before the next key is read, then the six fonts.
void LoadOptions(IProfile& profile, ISettingsWindow& window, FontSettings& fonts);

// Writes the fourteen keys in order; a refused write ends the save there
// without a message. True when all fourteen were written.
bool SaveSettings(IProfile& profile, const ISettingsWindow& window, const FontSettings& fonts);

// The INI file at path through the platform's profile functions (Windows build only).
std::unique_ptr<IProfile> MakeIniProfile(std::wstring path);

// Saves the settings into the INI file at path so that it always holds either
// its old content or the new one whole, starting with FF FE: the keys go into
// a new file beside it, made as a missing settings file is made and carrying
// the old file's other entries, which then replaces the old file in one step.
// A read-only file, or any failure, leaves the old file as it was, without a
// message (Windows build only).
void SaveSettingsFile(const std::wstring& path, const ISettingsWindow& window, const FontSettings& fonts);
