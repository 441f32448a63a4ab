// Small text and layout rules of the main window that need no window:
// the version text of the caption, the application title, the failure
// message's closing full stop, the arithmetic of the resize handler and the
// report pane's word rules.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "dates/AsciiText.h"

// "major.minor" from the high 32 bits of a file version, the minor number
// padded to two digits: 2.4 gives "2.04", 3.123 gives "3.123".
inline std::wstring VersionTextOf(std::uint32_t fileVersionMs) {
    std::wstring minor = std::to_wstring(fileVersionMs & 0xFFFFu);
    while (minor.size() < 2) minor.insert(0, 1, L'0');
    return std::to_wstring(fileVersionMs >> 16) + L"." + minor;
}

// The executable's file name up to its first ".", every character after the
// first in lower case (A to Z only).
inline std::wstring ApplicationTitleOf(std::wstring_view exeFileName) {
    std::wstring title(exeFileName.substr(0, exeFileName.find(L'.')));
    for (std::size_t i = 1; i < title.size(); ++i) title[i] = LowerAscii(title[i]);
    return title;
}

// A failure's message as the error box shows it: a "." is added when the
// last character sorts after "." (a letter, a digit, a "\").
inline std::wstring FailureText(std::wstring_view message) {
    std::wstring text(message);
    if (!text.empty() && text.back() > L'.') text += L'.';
    return text;
}

// Where the resize handler puts the controls that follow the window's size.
struct TResizeLayout {
    int ButtonTop, ButtonExitLeft, ButtonConvLeft, ButtonBrowseLeft;
    int EditFilenameLeft, EditFilenameWidth, MemoWidth, MemoHeight;
};

struct TResizeInput {
    int ClientWidth, ClientHeight;
    int ButtonHeight, StatusBarHeight;
    int ButtonExitWidth, ButtonConvWidth, ButtonBrowseWidth;
    int LabelFnmaeLeft, LabelFnmaeWidth;
    int MemoLeft, MemoTop;
};

inline TResizeLayout ResizeLayoutOf(const TResizeInput& in) {
    TResizeLayout out{};
    out.ButtonTop = in.ClientHeight - in.ButtonHeight - in.StatusBarHeight - 3;
    out.ButtonExitLeft = in.ClientWidth - in.ButtonExitWidth - 10;
    out.ButtonConvLeft = out.ButtonExitLeft - in.ButtonConvWidth - 5;
    out.ButtonBrowseLeft = in.ClientWidth - in.ButtonBrowseWidth - 8;
    out.EditFilenameLeft = in.LabelFnmaeLeft + in.LabelFnmaeWidth + 2;
    out.EditFilenameWidth = out.ButtonBrowseLeft - out.EditFilenameLeft;
    out.MemoWidth = in.ClientWidth - 2 * in.MemoLeft;
    out.MemoHeight = out.ButtonTop - in.MemoTop - 5;
    return out;
}

// Word rules of the report pane: lines wrap at blanks (space or tab), as the
// edit control's classic rules do. Positions are indexes into one line.
inline bool IsWordBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Start of the word that ends before `index` (blanks in between are passed over).
inline int WordStartLeftOf(std::wstring_view line, int index) {
    if (line.empty() || index <= 0) return 0;
    std::size_t i = std::min(static_cast<std::size_t>(index - 1), line.size() - 1);
    while (i > 0 && IsWordBlank(line[i])) --i;
    while (i > 0 && !IsWordBlank(line[i - 1])) --i;
    return static_cast<int>(i);
}

// Start of the next word after the one at `index - 1`, or the line's end.
inline int WordStartRightOf(std::wstring_view line, int index) {
    std::size_t i = std::min(index > 0 ? static_cast<std::size_t>(index - 1) : 0, line.size());
    while (i < line.size() && !IsWordBlank(line[i])) ++i;
    while (i < line.size() && IsWordBlank(line[i])) ++i;
    return static_cast<int>(i);
}
