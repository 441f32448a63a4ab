#include "settings/SettingsPath.h"

#include "engine/UserError.h"

namespace {

constexpr std::wstring_view kPathDelimiters = L"\\:";

// The executable's file name without folder and extension.
std::wstring_view BaseName(std::wstring_view path) {
    std::wstring_view name = FileNamePart(path);
    const auto dot = name.rfind(L'.');
    return dot == std::wstring_view::npos ? name : name.substr(0, dot);
}

}  // namespace

std::wstring_view FolderPart(std::wstring_view path) {
    const auto cut = path.find_last_of(kPathDelimiters);
    return cut == std::wstring_view::npos ? std::wstring_view() : path.substr(0, cut + 1);
}

std::wstring_view FileNamePart(std::wstring_view path) { return path.substr(FolderPart(path).size()); }

std::wstring ResolveSettingsPath(std::wstring_view name, ISettingsFiles& files) {
    std::wstring path;
    if (name.empty()) {
        const std::wstring exe = files.ExecutablePath();
        const std::wstring_view exeName = FileNamePart(exe);
        const auto dot = exeName.rfind(L'.');
        const std::size_t keep = dot == std::wstring_view::npos ? exe.size() : FolderPart(exe).size() + dot;
        path = exe.substr(0, keep) + L".ini";
    } else if (name.find_first_of(kPathDelimiters) != std::wstring_view::npos) {
        path = files.FullPath(name);
    } else {
        path = std::wstring(FolderPart(files.ExecutablePath())) + std::wstring(name);
    }
    return EnsureWritableSettingsPath(path, files);
}

std::wstring EnsureWritableSettingsPath(const std::wstring& path, ISettingsFiles& files) {
    if (files.FolderWritable(std::wstring(FolderPart(path)))) return path;

    // An unset APPDATA leaves the folder starting with "\", on the current drive.
    const std::wstring userFolder =
        files.EnvironmentValue(L"APPDATA") + L"\\" + std::wstring(BaseName(files.ExecutablePath())) + L"\\";
    if (!files.FolderExists(userFolder) && !files.CreateFolders(userFolder)) {
        throw TUserError(L"Cannot create : " + userFolder);
    }
    const std::wstring userPath = userFolder + std::wstring(FileNamePart(path));
    if (files.FileExists(path) && files.FileNewestTime(path) > files.FileNewestTime(userPath) &&
        !files.CopyFileOver(path, userPath)) {
        throw TUserError(L"Cannot Copy : " + userPath);
    }
    return userPath;
}
