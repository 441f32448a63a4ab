#include "cli/LogList.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

#include "cli/NativePath.h"
#include "dates/AsciiText.h"

namespace fs = std::filesystem;

namespace {

void AddFolder(const fs::path& folder, bool recursive, std::vector<std::wstring>& logs,
               const std::function<void(std::wstring_view)>& onError) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error) {
        onError(L"Can't read folder : " + NameOf(folder));
        return;
    }
    std::vector<fs::path> files, folders;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        const fs::directory_entry& entry = *it;
        std::error_code ignored;
        if (entry.is_directory(ignored)) {
            if (recursive && !entry.is_symlink(ignored)) folders.push_back(entry.path());
        } else if (HasLogExtension(NameOf(entry.path().filename()))) {
            files.push_back(entry.path());
        }
    }
    if (error) onError(L"Can't read folder : " + NameOf(folder));
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    for (const fs::path& file : files) logs.push_back(NameOf(file));
    for (const fs::path& sub : folders) AddFolder(sub, recursive, logs, onError);
}

}  // namespace

bool EndsWithNoCase(std::wstring_view name, std::wstring_view ending) {
    if (name.size() < ending.size()) return false;
    const auto tail = name.substr(name.size() - ending.size());
    return std::equal(tail.begin(), tail.end(), ending.begin(),
                      [](wchar_t a, wchar_t b) { return LowerAscii(a) == b; });
}

bool HasLogExtension(std::wstring_view name) {
    static constexpr std::array<std::wstring_view, 5> kEndings{L".nmea", L".nme", L".nma", L".log", L".txt"};
    // A gzip-compressed log keeps its ending before the ".gz".
    if (EndsWithNoCase(name, L".gz")) name.remove_suffix(3);
    return std::any_of(kEndings.begin(), kEndings.end(),
                       [name](std::wstring_view ending) { return EndsWithNoCase(name, ending); });
}

std::vector<std::wstring> ExpandLogs(const std::vector<std::wstring>& names, bool recursive,
                                     const std::function<void(std::wstring_view)>& onError) {
    std::vector<std::wstring> logs;
    for (const std::wstring& name : names) {
        std::error_code error;
        if (name != L"-" && fs::is_directory(PathOf(name), error)) {
            AddFolder(PathOf(name), recursive, logs, onError);
        } else {
            logs.push_back(name);
        }
    }
    return logs;
}
