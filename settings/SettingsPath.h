// Which file holds the settings: the INI file beside the executable, or a copy
// in the user's own folder under APPDATA when the executable's folder cannot
// be written. The rules are portable; the facts come from ISettingsFiles.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "dates/DateTime.h"

// What the location rules ask of the file system. Paths are Windows-style:
// "\" separates folders and a drive ends in ":".
class ISettingsFiles {
public:
    virtual ~ISettingsFiles() = default;
    // The running program's own file, full path.
    virtual std::wstring ExecutablePath() const = 0;
    // A relative name expanded against the current directory.
    virtual std::wstring FullPath(std::wstring_view name) const = 0;
    // True iff a new file can be created in the folder (given with its
    // closing "\"); the probe file is removed again.
    virtual bool FolderWritable(const std::wstring& folder) = 0;
    virtual bool FileExists(const std::wstring& path) const = 0;
    virtual bool FolderExists(const std::wstring& folder) const = 0;
    // Creates the folder with every missing parent; false on failure.
    virtual bool CreateFolders(const std::wstring& folder) = 0;
    // Empty when the variable is not set.
    virtual std::wstring EnvironmentValue(std::wstring_view name) const = 0;
    // The later of the file's creation and last-write times, local time;
    // 0 when they cannot be read.
    virtual TDateTime FileNewestTime(const std::wstring& path) const = 0;
    // Copies over any file at `to`; false on failure.
    virtual bool CopyFileOver(const std::wstring& from, const std::wstring& to) = 0;
};

// The settings path for a name: empty for the default file beside the
// executable, a bare file name for a file in the executable's folder, any
// name with "\" or ":" against the current directory. Throws TUserError
// "Cannot create : <folder>" or "Cannot Copy : <path>".
std::wstring ResolveSettingsPath(std::wstring_view name, ISettingsFiles& files);

// The path itself when its folder can be written, otherwise the same file
// name in the per-user folder, refreshed from `path` when that is newer.
// Throws as ResolveSettingsPath.
std::wstring EnsureWritableSettingsPath(const std::wstring& path, ISettingsFiles& files);

// Everything up to and including the last "\" or ":"; empty when neither occurs.
std::wstring_view FolderPart(std::wstring_view path);
// Everything after the last "\" or ":".
std::wstring_view FileNamePart(std::wstring_view path);

// The operating system's files (Windows build only).
std::unique_ptr<ISettingsFiles> MakeSystemSettingsFiles();

#ifdef _WIN32
// The full path of the running program's executable file, however long.
std::wstring RunningExecutablePath();
#endif
