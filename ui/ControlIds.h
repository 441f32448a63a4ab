// Control identifiers of the main window; the GUI test driver finds the
// controls by them too.
#pragma once

enum TControlId : int {
    kIdEditFilename = 101,
    kIdButtonBrowse,
    kIdLabelFnmae,
    kIdButtonConv,
    kIdButtonExit,
    kIdStatusBar1,
    kIdMemo1,
    kIdEditFlucTime,
    kIdLabelFluc,
    kIdLabelSec,
    kIdCheckBoxSameTime,
    kIdButtonClear,
    kIdCheckBoxStepChange,
    kIdCheckBoxMovedBack,
    kIdLabelDecTime,
    kIdEditTdecimal,
};

// The window class of the main window.
inline constexpr wchar_t kFormMainClass[] = L"TFormMain";
