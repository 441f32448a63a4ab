// The main window's message switchboard: which handler each message reaches,
// and the guard that keeps failures from unwinding into the window system.
#include "ui/FormMain.h"

#include <exception>

#include "engine/UserError.h"
#include "engine/WideText.h"
#include "ui/ControlIds.h"

namespace {

// Posted at the first activation, so that the one-time work runs once the
// window is shown and active.
constexpr UINT kMsgFormActivate = WM_APP + 1;
constexpr int kMinOuterHeight = 300;

}  // namespace

LRESULT CALLBACK TFormMain::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TFormMain* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<TFormMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->FHandle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TFormMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    // No failure may unwind into the window system: it ends this message and
    // is shown, and the program runs on.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const TUserError& e) {
        ShowUncaughtFailure(e.Text);
    } catch (const std::exception& e) {
        ShowUncaughtFailure(NarrowMessageToWide(e.what()));
    } catch (...) {
        ShowUncaughtFailure(L"Unexpected failure");
    }
    return 0;
}

LRESULT TFormMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            CreateControls();
            FormCreate();
            return 0;
        case WM_SIZE:
            if (wParam != SIZE_MINIMIZED) {
                SendMessageW(Control(kIdStatusBar1), WM_SIZE, 0, 0);
                FormResize();
            }
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.y = kMinOuterHeight;
            if (FMinTrackWidth > 0) info->ptMinTrackSize.x = FMinTrackWidth;
            return 0;
        }
        case WM_ACTIVATE:
            // The window remembers its focused control while inactive, as a dialog does.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(FHandle, focus)) FFocusedControl = focus;
                return 0;
            }
            if (!FActivated) {
                FActivated = true;
                PostMessageW(FHandle, kMsgFormActivate, 0, 0);
            }
            if (FFocusedControl && IsWindow(FFocusedControl)) {
                SetFocus(FFocusedControl);
                return 0;
            }
            break;
        case kMsgFormActivate: FormActivate(); return 0;
        case WM_SETCURSOR:
            if (FWaitCursor) {
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                switch (LOWORD(wParam)) {
                    case kIdButtonExit: ButtonExitClick(); return 0;
                    case kIdButtonConv: ButtonConvClick(); return 0;
                    case kIdButtonBrowse: ButtonBrowseClick(); return 0;
                    case kIdButtonClear: ButtonClearClick(); return 0;
                    case kIdCheckBoxStepChange: CheckBoxStepChangeClick(); return 0;
                    case kIdCheckBoxSameTime: CheckBoxSameTimeClick(); return 0;
                    case kIdCheckBoxMovedBack: CheckBoxMovedBackClick(); return 0;
                    default: break;
                }
            }
            break;
        case WM_DROPFILES: WMDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_CLOSE: FormCloseQuery(); return 0;
        case WM_QUERYENDSESSION: SaveSettingsNow(); return TRUE;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: break;
    }
    return DefWindowProcW(FHandle, message, wParam, lParam);
}
