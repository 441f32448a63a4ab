#include "settings/SettingsPath.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "engine/UserError.h"

namespace {

// A file system in memory: folders that can or cannot be written, files
// with newest times, and a record of copies and created folders.
class TFakeFiles : public ISettingsFiles {
public:
    std::wstring Exe = L"C:\\Prog\\Fixtally.exe";
    std::wstring CurrentDir = L"D:\\work\\";
    std::wstring AppData = L"C:\\Users\\u\\AppData\\Roaming";
    std::set<std::wstring> ReadOnlyFolders, Folders{L"C:\\Prog\\", L"D:\\work\\"};
    std::map<std::wstring, TDateTime> Files;  // path -> newest time
    bool CreateFails = false, CopyFails = false;
    std::vector<std::wstring> Created, Probed;
    std::vector<std::pair<std::wstring, std::wstring>> Copies;

    std::wstring ExecutablePath() const override { return Exe; }
    std::wstring FullPath(std::wstring_view name) const override {
        const bool absolute = name.size() > 1 && name[1] == L':';
        return absolute ? std::wstring(name) : CurrentDir + std::wstring(name);
    }
    bool FolderWritable(const std::wstring& folder) override {
        Probed.push_back(folder);
        return Folders.count(folder) && !ReadOnlyFolders.count(folder);
    }
    bool FileExists(const std::wstring& path) const override { return Files.count(path) > 0; }
    bool FolderExists(const std::wstring& folder) const override { return Folders.count(folder) > 0; }
    bool CreateFolders(const std::wstring& folder) override {
        if (CreateFails) return false;
        Created.push_back(folder);
        Folders.insert(folder);
        return true;
    }
    std::wstring EnvironmentValue(std::wstring_view name) const override { return name == L"APPDATA" ? AppData : L""; }
    TDateTime FileNewestTime(const std::wstring& path) const override {
        auto it = Files.find(path);
        return it == Files.end() ? 0.0 : it->second;
    }
    bool CopyFileOver(const std::wstring& from, const std::wstring& to) override {
        if (CopyFails) return false;
        Copies.emplace_back(from, to);
        Files[to] = Files[from];
        return true;
    }
};

const std::wstring kUserFolder = L"C:\\Users\\u\\AppData\\Roaming\\Fixtally\\";

TEST(ResolveSettingsPath, NamesResolveBesideTheExecutableOrAgainstTheCurrentFolder) {
    struct Row {
        std::wstring exe, name, path;
    };
    const Row rows[] = {
        {L"C:\\Prog\\Fixtally.exe", L"", L"C:\\Prog\\Fixtally.ini"},
        {L"C:\\Prog\\Fixtally", L"", L"C:\\Prog\\Fixtally.ini"},              // no extension: appended
        {L"C:\\Prog\\Fix.v2.exe", L"", L"C:\\Prog\\Fix.v2.ini"},              // only the last one replaced
        {L"C:\\Prog\\Fixtally.exe", L"other.ini", L"C:\\Prog\\other.ini"},    // bare name: executable's folder
        {L"C:\\Prog\\Fixtally.exe", L"sub\\a.ini", L"D:\\work\\sub\\a.ini"},  // relative: current folder
        {L"C:\\Prog\\Fixtally.exe", L"D:\\work\\b.ini", L"D:\\work\\b.ini"},  // already full
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.exe + L" | " + r.name);
        TFakeFiles files;
        files.Exe = r.exe;
        files.Folders.insert(L"D:\\work\\sub\\");
        EXPECT_EQ(ResolveSettingsPath(r.name, files), r.path);
        EXPECT_TRUE(files.Created.empty());
    }
}

TEST(EnsureWritableSettingsPath, UnwritableFolderMovesToTheUserFolderAndCopiesOnlyNewerFiles) {
    struct Row {
        const char* what;
        std::optional<TDateTime> beside, user;  // newest times; nullopt: no file
        bool copied;
    };
    const Row rows[] = {
        {"no file anywhere", std::nullopt, std::nullopt, false},
        {"file beside, none in the user folder", 100.5, std::nullopt, true},
        {"user copy newer", 100.5, 100.6, false},
        {"file beside newer", 100.7, 100.6, true},
        {"equal to the millisecond", 100.5, 100.5, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TFakeFiles files;
        files.ReadOnlyFolders.insert(L"C:\\Prog\\");
        if (r.beside) files.Files[L"C:\\Prog\\Fixtally.ini"] = *r.beside;
        if (r.user) files.Files[kUserFolder + L"Fixtally.ini"] = *r.user;
        EXPECT_EQ(ResolveSettingsPath(L"", files), kUserFolder + L"Fixtally.ini");
        EXPECT_EQ(files.Copies.size(), r.copied ? 1u : 0u);
        EXPECT_EQ(files.Created, std::vector<std::wstring>{kUserFolder});
    }
}

TEST(EnsureWritableSettingsPath, DroppedFileOnReadOnlyMediaKeepsItsOwnNameInTheUserFolder) {
    TFakeFiles files;
    files.Folders.insert(L"E:\\");
    files.ReadOnlyFolders.insert(L"E:\\");
    files.Folders.insert(kUserFolder);
    files.Files[L"E:\\team.ini"] = 200.0;
    EXPECT_EQ(ResolveSettingsPath(L"E:\\team.ini", files), kUserFolder + L"team.ini");
    EXPECT_TRUE(files.Created.empty());  // the folder was there already
    ASSERT_EQ(files.Copies.size(), 1u);
    EXPECT_EQ(files.Copies[0].first, L"E:\\team.ini");
}

TEST(EnsureWritableSettingsPath, MissingFolderCountsAsUnwritable) {
    TFakeFiles files;
    EXPECT_EQ(EnsureWritableSettingsPath(L"Q:\\gone\\x.ini", files), kUserFolder + L"x.ini");
    EXPECT_EQ(files.Probed, std::vector<std::wstring>{L"Q:\\gone\\"});
}

TEST(EnsureWritableSettingsPath, UnsetAppDataGivesAFolderFromTheDriveRoot) {
    TFakeFiles files;
    files.AppData.clear();
    files.ReadOnlyFolders.insert(L"C:\\Prog\\");
    EXPECT_EQ(ResolveSettingsPath(L"", files), L"\\Fixtally\\Fixtally.ini");
}

TEST(EnsureWritableSettingsPath, FailuresCarryTheFolderOrTheCopy) {
    TFakeFiles files;
    files.ReadOnlyFolders.insert(L"C:\\Prog\\");
    files.Files[L"C:\\Prog\\Fixtally.ini"] = 1.0;
    files.CreateFails = true;
    try {
        ResolveSettingsPath(L"", files);
        FAIL() << "no failure";
    } catch (const TUserError& e) {
        EXPECT_EQ(e.Text, L"Cannot create : " + kUserFolder);
    }
    files.CreateFails = false;
    files.CopyFails = true;
    try {
        ResolveSettingsPath(L"", files);
        FAIL() << "no failure";
    } catch (const TUserError& e) {
        EXPECT_EQ(e.Text, L"Cannot Copy : " + kUserFolder + L"Fixtally.ini");
    }
}

}  // namespace
