// Small window helpers that the main window's files share: rectangles,
// moves of a child and a window's text.
#pragma once

#include <windows.h>

#include <string>

inline RECT WindowRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// A child's rectangle in its parent's client coordinates.
inline RECT ChildRect(HWND child) {
    RECT r = WindowRectOf(child);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline void MoveChild(HWND child, int left, int top) {
    SetWindowPos(child, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
}

inline std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}
