// The information box of the check run: one "Yes" button and, when wanted,
// centred over a rectangle before it is first shown.
#pragma once

#include <windows.h>

#include <string_view>

// Shows the box owned by owner; IDYES when the button was pressed.
int ShowYesBox(HWND owner, std::wstring_view text, const RECT* centreOver);
