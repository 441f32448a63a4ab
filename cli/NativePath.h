// Paths as the rest of the program spells them: UTF-16 on Windows, UTF-8
// bytes on POSIX systems.
#pragma once

#include <filesystem>
#include <string>

#include "engine/WideText.h"

inline std::filesystem::path PathOf(const std::wstring& name) {
#ifdef _WIN32
    return std::filesystem::path(name);
#else
    return std::filesystem::path(WideToUtf8(name));
#endif
}

inline std::wstring NameOf(const std::filesystem::path& path) {
#ifdef _WIN32
    return path.wstring();
#else
    return Utf8ToWide(path.string());
#endif
}
