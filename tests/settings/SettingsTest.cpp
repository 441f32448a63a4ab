#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

static void PrintTo(const TWindowPosition& p, std::ostream* os) {
    *os << "{top " << p.Top << ", left " << p.Left << "}";
}

namespace {

// An INI section in memory that records the order of writes and can refuse
// them; reads go into Log, when given.
class TFakeProfile : public IProfile {
public:
    bool FileThere = true, CreateFails = false;
    int WritesAllowed = -1;  // -1: all
    std::map<std::wstring, std::wstring> Values;
    std::vector<std::wstring> WriteOrder;
    std::vector<std::wstring>* Log = nullptr;
    bool Created = false;

    bool Exists() const override { return FileThere; }
    bool CreateWithBom() override {
        if (CreateFails) return false;
        Created = FileThere = true;
        return true;
    }
    std::wstring ReadText(std::wstring_view key, std::wstring_view defaultText) const override {
        if (Log) Log->push_back(L"read " + std::wstring(key));
        auto it = Values.find(std::wstring(key));
        std::wstring v = it == Values.end() ? std::wstring(defaultText) : it->second;
        return v.substr(0, kProfileBufferChars - 1);
    }
    bool WriteText(std::wstring_view key, std::wstring_view value) override {
        if (WritesAllowed == 0) return false;
        if (WritesAllowed > 0) --WritesAllowed;
        WriteOrder.emplace_back(key);
        Values[std::wstring(key)] = value;
        return true;
    }
};

// The main window's state as load and save see it; changes go into Log, when given.
class TFakeWindow : public ISettingsWindow {
public:
    std::map<EditBox, std::wstring> Edits{
        {EditBox::Filename, L""}, {EditBox::FlucTime, L"0.25"}, {EditBox::Tdecimal, L"1"}};
    std::map<AlarmBox, bool> Checks{
        {AlarmBox::SameTime, true}, {AlarmBox::StepChange, true}, {AlarmBox::MovedBack, true}};
    std::vector<AlarmBox> Clicks;  // click handlers run by a changed state
    std::vector<std::wstring>* Log = nullptr;
    std::int32_t Top = 10, Left = 20;

    std::wstring EditText(EditBox which) const override { return Edits.at(which); }
    void SetEditText(EditBox which, std::wstring_view text) override {
        if (Log) Log->push_back(L"set box " + std::to_wstring(static_cast<int>(which)));
        Edits[which] = text;
    }
    bool IsChecked(AlarmBox which) const override { return Checks.at(which); }
    void SetChecked(AlarmBox which, bool checked) override {
        if (Log) Log->push_back(L"set check " + std::to_wstring(static_cast<int>(which)));
        if (Checks[which] != checked) Clicks.push_back(which);
        Checks[which] = checked;
    }
    std::int32_t WindowTop() const override { return Top; }
    std::int32_t WindowLeft() const override { return Left; }
};

TEST(ParseProfileInteger, AcceptsDecimalAndHexWithSign) {
    struct Row {
        std::wstring text;
        std::optional<std::int32_t> value;
    };
    const Row rows[] = {
        {L"9", 9},
        {L"  -12", -12},
        {L"+7", 7},
        {L"0x0A", 10},
        {L"0X1f", 31},
        {L"$ff", 255},
        {L"x10", 16},
        {L"-$A", -10},
        {L"2147483647", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"0x7FFFFFFF", 2147483647},
        // not integers
        {L"", std::nullopt},
        {L"12pt", std::nullopt},
        {L"yes", std::nullopt},
        {L"2147483648", std::nullopt},
        {L"0x80000000", std::nullopt},
        {L"-", std::nullopt},
        {L"0x", std::nullopt},
        {L"$", std::nullopt},
        {L"1 ", std::nullopt},
        {L"1.5", std::nullopt},
        {L"99999999999999999999", std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        EXPECT_EQ(ParseProfileInteger(r.text), r.value);
    }
}

TEST(LoadSettings, MissingFileIsCreatedAndEveryKeyTakesItsDefault) {
    TFakeProfile profile;
    profile.FileThere = false;
    TFakeWindow window;
    FontSettings fonts;
    EXPECT_EQ(LoadWindowPosition(profile), TWindowPosition{});  // both unset: centred
    EXPECT_TRUE(profile.Created);
    LoadOptions(profile, window, fonts);
    EXPECT_EQ(window.Edits[EditBox::FlucTime], L"0.25");
    EXPECT_TRUE(window.Clicks.empty());
    EXPECT_EQ(fonts.EngCharset, 0);
    EXPECT_EQ(fonts.EngFontName, L"Tahoma");
    EXPECT_EQ(fonts.EngFontSize, 9);
    EXPECT_EQ(fonts.JpCharset, 128);
    EXPECT_EQ(fonts.JpFontName, L"Tahoma");
    EXPECT_EQ(fonts.JpFontSize, 9);
}

TEST(LoadSettings, FileThatCannotBeCreatedEndsTheLoad) {
    TFakeProfile profile;
    profile.FileThere = false;
    profile.CreateFails = true;
    EXPECT_EQ(LoadWindowPosition(profile), std::nullopt);
}

TEST(LoadSettings, PositionKeysReadAsIntegersOrUnset) {
    struct Row {
        const char* what;
        std::map<std::wstring, std::wstring> keys;
        TWindowPosition want;
    };
    const Row rows[] = {
        {"both valid", {{L"MainTop", L"50"}, {L"MainLeft", L"60"}}, {50, 60}},
        {"hexadecimal and negative", {{L"MainTop", L"$10"}, {L"MainLeft", L"-0x10"}}, {16, -16}},
        {"far outside", {{L"MainTop", L"5000"}, {L"MainLeft", L"-5000"}}, {5000, -5000}},
        {"left missing", {{L"MainTop", L"50"}}, {50, kUnsetPosition}},
        {"top not a number", {{L"MainTop", L"abc"}, {L"MainLeft", L"60"}}, {kUnsetPosition, 60}},
        {"top out of range", {{L"MainTop", L"2147483648"}, {L"MainLeft", L"60"}}, {kUnsetPosition, 60}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TFakeProfile profile;
        profile.Values = r.keys;
        EXPECT_EQ(LoadWindowPosition(profile), r.want);
    }
}

// The position first, then each value into its control before the next key
// is read, then the fonts; the same key order as the save's.
TEST(LoadSettings, ReadsAndAppliesKeyByKey) {
    std::vector<std::wstring> log;
    TFakeProfile profile;
    TFakeWindow window;
    profile.Log = window.Log = &log;
    FontSettings fonts;
    LoadWindowPosition(profile);
    LoadOptions(profile, window, fonts);
    const std::vector<std::wstring> want{
        L"read MainTop",     L"read MainLeft",    L"read Filename",    L"set box 0",       L"read FlucTime",
        L"set box 1",        L"read SameTimeAlm", L"set check 0",      L"read StepChange", L"set check 1",
        L"read MovedBack",   L"set check 2",      L"read TimeDecimal", L"set box 2",       L"read EngCharset",
        L"read EngFontName", L"read EngFontSize", L"read JpCharset",   L"read JpFontName", L"read JpFontSize"};
    EXPECT_EQ(log, want);
}

TEST(LoadSettings, BooleanKeysChangeOnlyOnIntegersAndRunTheClickOfAChangedBox) {
    struct Row {
        std::wstring value;
        bool checked;
        bool clicked;
    };
    const Row rows[] = {
        {L"0", false, true},  {L"1", true, false},   {L"2", true, false},
        {L"-1", true, false}, {L"yes", true, false}, {L"", true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.value);
        TFakeProfile profile;
        profile.Values[L"StepChange"] = r.value;
        TFakeWindow window;
        FontSettings fonts;
        LoadOptions(profile, window, fonts);
        EXPECT_EQ(window.Checks[AlarmBox::StepChange], r.checked);
        EXPECT_EQ(window.Clicks.size(), r.clicked ? 1u : 0u);
    }
}

TEST(LoadSettings, TextsComeBackCutTo2047Characters) {
    TFakeProfile profile;
    profile.Values[L"Filename"] = std::wstring(3000, L'a');
    profile.Values[L"EngFontSize"] = L"0x0A";
    profile.Values[L"JpFontSize"] = L"12pt";
    TFakeWindow window;
    FontSettings fonts;
    LoadOptions(profile, window, fonts);
    EXPECT_EQ(window.Edits[EditBox::Filename].size(), 2047u);
    EXPECT_EQ(fonts.EngFontSize, 10);
    EXPECT_EQ(fonts.JpFontSize, 9);
}

TEST(SaveSettings, WritesTheFourteenKeysInOrder) {
    TFakeProfile profile;
    TFakeWindow window;
    window.Edits[EditBox::Filename] = L"C:\\logs\\a.nmea";
    window.Checks[AlarmBox::MovedBack] = false;
    window.Top = -8;
    const FontSettings fonts{0, L"Tahoma", 9, 128, L"ＭＳ ゴシック", 10};
    EXPECT_TRUE(SaveSettings(profile, window, fonts));
    const std::vector<std::wstring> order{L"Filename",    L"FlucTime",   L"SameTimeAlm", L"StepChange",  L"MovedBack",
                                          L"TimeDecimal", L"EngCharset", L"EngFontName", L"EngFontSize", L"JpCharset",
                                          L"JpFontName",  L"JpFontSize", L"MainTop",     L"MainLeft"};
    EXPECT_EQ(profile.WriteOrder, order);
    EXPECT_EQ(profile.Values[L"Filename"], L"C:\\logs\\a.nmea");
    EXPECT_EQ(profile.Values[L"SameTimeAlm"], L"1");
    EXPECT_EQ(profile.Values[L"MovedBack"], L"0");
    EXPECT_EQ(profile.Values[L"JpFontName"], L"ＭＳ ゴシック");
    EXPECT_EQ(profile.Values[L"MainTop"], L"-8");

    // A save followed by a load gives the same window back.
    TFakeWindow reloaded;
    FontSettings fontsBack;
    EXPECT_EQ(LoadWindowPosition(profile), (TWindowPosition{-8, 20}));
    LoadOptions(profile, reloaded, fontsBack);
    EXPECT_EQ(reloaded.Edits, window.Edits);
    EXPECT_EQ(reloaded.Checks, window.Checks);
    EXPECT_EQ(fontsBack.JpFontName, fonts.JpFontName);
}

TEST(SaveSettings, RefusedWriteEndsTheSaveAtThatKey) {
    TFakeProfile profile;
    profile.WritesAllowed = 3;
    TFakeWindow window;
    EXPECT_FALSE(SaveSettings(profile, window, FontSettings{}));
    EXPECT_EQ(profile.WriteOrder.size(), 3u);
}

#ifdef _WIN32
std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// On real files: whatever the old file was, the saved one starts with FF FE
// and holds every key and the old file's other entries; a read-only one stays.
TEST(SaveSettingsFile, LeavesAMarkedFileWithEveryKeyOrTheOldOne) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / L"fixtally-save-test.ini";
    struct Row {
        const char* what;
        const char* before;
        bool readOnly;
    };
    const Row rows[] = {
        {"missing file", nullptr, false},
        {"file that lost its mark", "[Other]\r\nKeep=yes\r\n[Option]\r\nFlucTime=9\r\n", false},
        {"one byte left of a creation cut short", "\xff", false},
        {"read-only file", "[Option]\r\nFlucTime=9\r\n", true},
    };
    TFakeWindow window;
    window.Edits[EditBox::Filename] = L"C:\\日本\\a.nmea";
    const FontSettings fonts{0, L"Tahoma", 9, 128, L"ＭＳ ゴシック", 10};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove(path);
        if (r.before) std::ofstream(path, std::ios::binary) << r.before;
        if (r.readOnly) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
        SaveSettingsFile(path.wstring(), window, fonts);
        if (r.readOnly) {
            EXPECT_EQ(FileBytes(path), r.before);
            continue;
        }
        EXPECT_EQ(FileBytes(path).substr(0, 2), "\xff\xfe");
        const auto profile = MakeIniProfile(path.wstring());
        for (const wchar_t* key : {L"Filename", L"JpFontName", L"MainLeft"})
            EXPECT_NE(profile->ReadText(key, L"-"), L"-");
        EXPECT_EQ(profile->ReadText(L"Filename", L""), window.Edits[EditBox::Filename]);
        EXPECT_EQ(profile->ReadText(L"JpFontName", L""), fonts.JpFontName);
        if (r.before && r.before[0] == '[') {
            wchar_t kept[8] = L"";
            GetPrivateProfileStringW(L"Other", L"Keep", L"", kept, 8, path.c_str());
            EXPECT_STREQ(kept, L"yes");
        }
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::filesystem::remove(path);
}
#endif

}  // namespace
