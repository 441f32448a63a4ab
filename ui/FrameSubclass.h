// A sub-class procedure on a window for as long as the guard lives: it is
// removed again on every way out, unless the window has gone already. The
// procedure gets the guard's reference data with every message.
#pragma once

#include <windows.h>

#include <commctrl.h>

class TFrameSubclass {
public:
    TFrameSubclass(HWND frame, SUBCLASSPROC procedure, DWORD_PTR refData)
        : FFrame(frame),
          FProcedure(procedure),
          FInstalled(SetWindowSubclass(frame, procedure, kId, refData) != FALSE) {}
    ~TFrameSubclass() {
        if (FInstalled && IsWindow(FFrame)) RemoveWindowSubclass(FFrame, FProcedure, kId);
    }
    TFrameSubclass(const TFrameSubclass&) = delete;
    TFrameSubclass& operator=(const TFrameSubclass&) = delete;

private:
    static constexpr UINT_PTR kId = 1;
    HWND FFrame;
    SUBCLASSPROC FProcedure;
    bool FInstalled;
};
