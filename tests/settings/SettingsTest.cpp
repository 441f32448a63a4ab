#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// An INI section in memory that records the order of writes and can refuse them.
class TFakeProfile : public IProfile {
public:
    bool FileThere = true, CreateFails = false;
    int WritesAllowed = -1;   // -1: all
    std::map<std::wstring, std::wstring> Values;
    std::vector<std::wstring> WriteOrder;
    bool Created = false;

    bool Exists() const override { return FileThere; }
    bool CreateWithBom() override {
        if (CreateFails) return false;
        Created = FileThere = true;
        return true;
    }
    std::wstring ReadText(std::wstring_view key, std::wstring_view defaultText) const override {
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

// The main window's state as load and save see it. Placement centres an
// unset position in a 1000 x 800 work area and clamps the rest.
class TFakeWindow : public ISettingsWindow {
public:
    std::map<EditBox, std::wstring> Edits{{EditBox::Filename, L""},
                                          {EditBox::FlucTime, L"0.25"},
                                          {EditBox::Tdecimal, L"1"}};
    std::map<AlarmBox, bool> Checks{{AlarmBox::SameTime, true},
                                    {AlarmBox::StepChange, true},
                                    {AlarmBox::MovedBack, true}};
    std::vector<AlarmBox> Clicks;   // click handlers run by a changed state
    std::int32_t Top = 10, Left = 20;
    std::int32_t Height = 600, Width = 640;

    std::wstring EditText(EditBox which) const override { return Edits.at(which); }
    void SetEditText(EditBox which, std::wstring_view text) override { Edits[which] = text; }
    bool IsChecked(AlarmBox which) const override { return Checks.at(which); }
    void SetChecked(AlarmBox which, bool checked) override {
        if (Checks[which] != checked) Clicks.push_back(which);
        Checks[which] = checked;
    }
    std::int32_t WindowTop() const override { return Top; }
    std::int32_t WindowLeft() const override { return Left; }
    void SetWindowTop(std::int32_t top) override { Top = top; }
    void SetWindowLeft(std::int32_t left) override { Left = left; }
    void PlaceMainWindow(std::int32_t& top, std::int32_t& left) override {
        const TRect32 work{0, 0, 1000, 800};
        if (top == kUnsetPosition || left == kUnsetPosition) {
            CentreInWorkArea(top, left, Height, Width, work);
        }
        ClampToWorkArea(top, left, Height, Width, work);
    }
};

TEST(ParseProfileInteger, AcceptsDecimalAndHexWithSign) {
    struct Row { std::wstring text; std::optional<std::int32_t> value; };
    const Row rows[] = {
        {L"9", 9}, {L"  -12", -12}, {L"+7", 7},
        {L"0x0A", 10}, {L"0X1f", 31}, {L"$ff", 255}, {L"x10", 16}, {L"-$A", -10},
        {L"2147483647", 2147483647}, {L"-2147483648", -2147483647 - 1},
        {L"0x7FFFFFFF", 2147483647},
        // not integers
        {L"", std::nullopt}, {L"12pt", std::nullopt}, {L"yes", std::nullopt},
        {L"2147483648", std::nullopt}, {L"0x80000000", std::nullopt}, {L"-", std::nullopt},
        {L"0x", std::nullopt}, {L"$", std::nullopt}, {L"1 ", std::nullopt}, {L"1.5", std::nullopt},
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
    LoadSettings(profile, window, fonts);
    EXPECT_TRUE(profile.Created);
    EXPECT_EQ(window.Top, 100);    // centred: (800 - 600) / 2
    EXPECT_EQ(window.Left, 180);   // (1000 - 640) / 2
    EXPECT_EQ(window.Edits[EditBox::FlucTime], L"0.25");
    EXPECT_TRUE(window.Clicks.empty());
    EXPECT_EQ(fonts.EngCharset, 0);
    EXPECT_EQ(fonts.EngFontName, L"Tahoma");
    EXPECT_EQ(fonts.EngFontSize, 9);
    EXPECT_EQ(fonts.JpCharset, 128);
    EXPECT_EQ(fonts.JpFontName, L"Tahoma");
    EXPECT_EQ(fonts.JpFontSize, 9);
}

TEST(LoadSettings, FileThatCannotBeCreatedLeavesEverythingAsItWas) {
    TFakeProfile profile;
    profile.FileThere = false;
    profile.CreateFails = true;
    TFakeWindow window;
    FontSettings fonts;
    LoadSettings(profile, window, fonts);
    EXPECT_EQ(window.Top, 10);
    EXPECT_EQ(fonts.EngFontName, L"");
}

TEST(LoadSettings, PositionKeysAreCentredUnlessBothAreValid) {
    struct Row { const char* what; std::map<std::wstring, std::wstring> keys; std::int32_t top, left; };
    const Row rows[] = {
        {"both valid", {{L"MainTop", L"50"}, {L"MainLeft", L"60"}}, 50, 60},
        {"left missing", {{L"MainTop", L"50"}}, 100, 180},
        {"top not a number", {{L"MainTop", L"abc"}, {L"MainLeft", L"60"}}, 100, 180},
        {"far outside", {{L"MainTop", L"5000"}, {L"MainLeft", L"-5000"}}, 200, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TFakeProfile profile;
        profile.Values = r.keys;
        TFakeWindow window;
        FontSettings fonts;
        LoadSettings(profile, window, fonts);
        EXPECT_EQ(window.Top, r.top);
        EXPECT_EQ(window.Left, r.left);
    }
}

TEST(LoadSettings, BooleanKeysChangeOnlyOnIntegersAndRunTheClickOfAChangedBox) {
    struct Row { std::wstring value; bool checked; bool clicked; };
    const Row rows[] = {
        {L"0", false, true}, {L"1", true, false}, {L"2", true, false}, {L"-1", true, false},
        {L"yes", true, false}, {L"", true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.value);
        TFakeProfile profile;
        profile.Values[L"StepChange"] = r.value;
        TFakeWindow window;
        FontSettings fonts;
        LoadSettings(profile, window, fonts);
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
    LoadSettings(profile, window, fonts);
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
    const std::vector<std::wstring> order{
        L"Filename", L"FlucTime", L"SameTimeAlm", L"StepChange", L"MovedBack", L"TimeDecimal",
        L"EngCharset", L"EngFontName", L"EngFontSize", L"JpCharset", L"JpFontName", L"JpFontSize",
        L"MainTop", L"MainLeft"};
    EXPECT_EQ(profile.WriteOrder, order);
    EXPECT_EQ(profile.Values[L"Filename"], L"C:\\logs\\a.nmea");
    EXPECT_EQ(profile.Values[L"SameTimeAlm"], L"1");
    EXPECT_EQ(profile.Values[L"MovedBack"], L"0");
    EXPECT_EQ(profile.Values[L"JpFontName"], L"ＭＳ ゴシック");
    EXPECT_EQ(profile.Values[L"MainTop"], L"-8");

    // A save followed by a load gives the same window back.
    TFakeWindow reloaded;
    FontSettings fontsBack;
    LoadSettings(profile, reloaded, fontsBack);
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

TEST(ClampToWorkArea, AppliesTheFourClampsInOrder) {
    const TRect32 work{100, 50, 1100, 850};   // 1000 x 800
    struct Row { const char* what; std::int32_t top, left, height, width, wantTop, wantLeft; };
    const Row rows[] = {
        {"inside stays", 60, 150, 300, 400, 60, 150},
        {"off left and top", -500, -500, 300, 400, 50, 100},
        {"off right and bottom", 900, 1000, 300, 400, 550, 700},
        {"taller than the area: top edge wins", 0, 150, 900, 400, 50, 150},
        {"wider than the area: right edge wins", 60, 0, 300, 1200, 60, -100},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::int32_t top = r.top, left = r.left;
        ClampToWorkArea(top, left, r.height, r.width, work);
        EXPECT_EQ(top, r.wantTop);
        EXPECT_EQ(left, r.wantLeft);
    }
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
    struct Row { const char* what; const char* before; bool readOnly; };
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
        for (const wchar_t* key : {L"Filename", L"JpFontName", L"MainLeft"}) EXPECT_NE(profile->ReadText(key, L"-"), L"-");
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
