// The Win32 side of the settings: the private-profile functions behind
// IProfile, the save through a staged file that replaces the old one, and the
// folder probe, file times, copy and environment behind ISettingsFiles. The portable rules only see paths, flags and TDateTime
// values; Win32 handles, FILETIMEs and error codes stay in this file.
#include <windows.h>

#include <functional>
#include <vector>

#include "settings/Settings.h"
#include "settings/SettingsPath.h"

namespace {

constexpr wchar_t kSection[] = L"Option";

bool PathExists(const std::wstring& path, bool wantFolder) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == wantFolder;
}

// A file at path holding only FF FE, the mark that makes the profile
// functions write UTF-16, so any text survives the round trip.
bool WriteBomFile(const std::wstring& path, DWORD disposition) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    static const unsigned char kBom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    const BOOL ok = WriteFile(file, kBom, sizeof kBom, &written, nullptr);
    return CloseHandle(file) && ok && written == sizeof kBom;
}

// A NUL-separated list from a profile function, in a buffer grown until the
// list fits: a list cut short comes back as the buffer's size less two.
std::vector<wchar_t> ProfileList(const std::function<DWORD(wchar_t*, DWORD)>& read) {
    std::vector<wchar_t> buffer(4096);
    while (read(buffer.data(), static_cast<DWORD>(buffer.size())) + 2 >= buffer.size()) {
        buffer.assign(buffer.size() * 2, L'\0');
    }
    return buffer;
}

// Every section of one INI file into another, read in whatever encoding the
// first one has, each section's keys in their order.
bool CopyProfileSections(const std::wstring& from, const std::wstring& to) {
    if (!PathExists(from, false)) return true;
    const std::vector<wchar_t> names = ProfileList(
        [&](wchar_t* buffer, DWORD size) { return GetPrivateProfileSectionNamesW(buffer, size, from.c_str()); });
    for (const wchar_t* name = names.data(); *name; name += lstrlenW(name) + 1) {
        const std::vector<wchar_t> entries = ProfileList(
            [&](wchar_t* buffer, DWORD size) { return GetPrivateProfileSectionW(name, buffer, size, from.c_str()); });
        if (!WritePrivateProfileSectionW(name, entries.data(), to.c_str())) return false;
    }
    return true;
}

// A FILETIME as a local TDateTime; nullopt-like 0 when the conversion fails.
TDateTime FileTimeToLocalDateTime(const FILETIME& fileTime) {
    if (fileTime.dwLowDateTime == 0 && fileTime.dwHighDateTime == 0) return 0.0;
    FILETIME local;
    SYSTEMTIME fields;
    if (!FileTimeToLocalFileTime(&fileTime, &local) || !FileTimeToSystemTime(&local, &fields)) return 0.0;
    if (fields.wYear < 1 || fields.wYear > 9999 || fields.wMonth < 1 || fields.wMonth > 12 || fields.wDay < 1 ||
        fields.wDay > 31 || fields.wHour > 23 || fields.wMinute > 59 || fields.wSecond > 59 ||
        fields.wMilliseconds > 999) {
        return 0.0;
    }
    const double milliseconds =
        ((fields.wHour * 60.0 + fields.wMinute) * 60.0 + fields.wSecond) * 1000.0 + fields.wMilliseconds;
    return DayNumber(fields.wYear, fields.wMonth, fields.wDay) + milliseconds / (kSecondsPerDay * 1000.0);
}

class TWinSettingsFiles final : public ISettingsFiles {
public:
    std::wstring ExecutablePath() const override { return RunningExecutablePath(); }

    std::wstring FullPath(std::wstring_view name) const override {
        const std::wstring text(name);
        const DWORD needed = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
        if (needed == 0) return text;
        std::wstring full(needed, L'\0');
        const DWORD n = GetFullPathNameW(text.c_str(), needed, full.data(), nullptr);
        full.resize(n < needed ? n : 0);
        return full.empty() ? text : full;
    }

    // GetTempFileNameW under Wine reports success in a folder that cannot be
    // written without creating the file, so the file must also be found.
    bool FolderWritable(const std::wstring& folder) override {
        wchar_t probe[MAX_PATH + 1] = L"";
        if (GetTempFileNameW(folder.c_str(), L"$$$", 0, probe) == 0) return false;
        if (GetFileAttributesW(probe) == INVALID_FILE_ATTRIBUTES) return false;
        DeleteFileW(probe);
        return true;
    }

    bool FileExists(const std::wstring& path) const override { return PathExists(path, false); }
    bool FolderExists(const std::wstring& folder) const override { return PathExists(folder, true); }

    bool CreateFolders(const std::wstring& folder) override {
        if (folder.empty()) return false;
        std::wstring path = folder;
        while (!path.empty() && path.back() == L'\\') path.pop_back();
        if (path.empty() || path.back() == L':' || FolderExists(path)) return true;
        const auto cut = path.find_last_of(L"\\:");
        if (cut != std::wstring::npos && cut > 0 && !CreateFolders(path.substr(0, cut + 1))) return false;
        return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    }

    std::wstring EnvironmentValue(std::wstring_view name) const override {
        const std::wstring key(name);
        const DWORD needed = GetEnvironmentVariableW(key.c_str(), nullptr, 0);
        if (needed == 0) return {};
        std::wstring value(needed, L'\0');
        const DWORD n = GetEnvironmentVariableW(key.c_str(), value.data(), needed);
        value.resize(n < needed ? n : 0);
        return value;
    }

    TDateTime FileNewestTime(const std::wstring& path) const override {
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 0.0;
        FILETIME created{}, accessed{}, written{};
        const BOOL ok = GetFileTime(file, &created, &accessed, &written);
        CloseHandle(file);
        if (!ok) return 0.0;
        const TDateTime creation = FileTimeToLocalDateTime(created);
        const TDateTime lastWrite = FileTimeToLocalDateTime(written);
        return lastWrite > creation ? lastWrite : creation;
    }

    bool CopyFileOver(const std::wstring& from, const std::wstring& to) override {
        return CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
    }
};

class TIniProfile final : public IProfile {
public:
    explicit TIniProfile(std::wstring path) : FPath(std::move(path)) {}

    bool Exists() const override { return PathExists(FPath, false); }

    bool CreateWithBom() override { return WriteBomFile(FPath, CREATE_NEW); }

    std::wstring ReadText(std::wstring_view key, std::wstring_view defaultText) const override {
        wchar_t buffer[kProfileBufferChars] = L"";
        const std::wstring keyText(key), fallback(defaultText);
        const DWORD n = GetPrivateProfileStringW(kSection, keyText.c_str(), fallback.c_str(), buffer,
                                                 static_cast<DWORD>(kProfileBufferChars), FPath.c_str());
        return std::wstring(buffer, n);
    }

    bool WriteText(std::wstring_view key, std::wstring_view value) override {
        const std::wstring keyText(key), valueText(value);
        return WritePrivateProfileStringW(kSection, keyText.c_str(), valueText.c_str(), FPath.c_str()) != 0;
    }

private:
    std::wstring FPath;
};

}  // namespace

std::unique_ptr<ISettingsFiles> MakeSystemSettingsFiles() { return std::make_unique<TWinSettingsFiles>(); }

std::wstring RunningExecutablePath() {
    // The buffer grows until the whole path fits: paths may pass MAX_PATH.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::unique_ptr<IProfile> MakeIniProfile(std::wstring path) { return std::make_unique<TIniProfile>(std::move(path)); }

void SaveSettingsFile(const std::wstring& path, const ISettingsWindow& window, const FontSettings& fonts) {
    // MoveFileExW would replace a read-only file too.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return;
    wchar_t staged[MAX_PATH + 1] = L"";
    if (GetTempFileNameW(std::wstring(FolderPart(path)).c_str(), L"ini", 0, staged) == 0) return;
    TIniProfile profile(staged);
    const bool written = WriteBomFile(staged, TRUNCATE_EXISTING) && CopyProfileSections(path, staged) &&
                         SaveSettings(profile, window, fonts);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, staged);  // flushes a cached file
    if (!written || !MoveFileExW(staged, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(staged);
    }
}
