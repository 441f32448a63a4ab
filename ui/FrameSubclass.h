// A window procedure put in place of a window's own for as long as the guard
// lives: the old one comes back on every way out.
#pragma once

#include <windows.h>

class TFrameSubclass {
public:
    TFrameSubclass(HWND frame, WNDPROC procedure)
        : FFrame(frame),
          FOld(reinterpret_cast<WNDPROC>(
              SetWindowLongPtrW(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)))) {}
    ~TFrameSubclass() {
        if (IsWindow(FFrame)) SetWindowLongPtrW(FFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOld));
    }
    TFrameSubclass(const TFrameSubclass&) = delete;
    TFrameSubclass& operator=(const TFrameSubclass&) = delete;

    HWND Frame() const { return FFrame; }
    WNDPROC OldProcedure() const { return FOld; }

private:
    HWND FFrame;
    WNDPROC FOld;
};
