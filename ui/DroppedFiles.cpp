// Files dropped on the main window: a settings file switches the settings,
// any other file is checked, one after the other.
#include "ui/FormMain.h"

#include "dates/AsciiText.h"
#include "settings/SettingsPath.h"

namespace {

// The extension from the last "." of the file-name part, lower-cased A to Z.
std::wstring LowerExtension(std::wstring_view path) {
    const std::wstring_view name = FileNamePart(path);
    const auto dot = name.rfind(L'.');
    return LowerAscii(dot == std::wstring_view::npos ? std::wstring_view() : name.substr(dot));
}

// One dropped name whole, however long: its length is asked for first.
std::wstring DroppedName(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
    name.resize(DragQueryFileW(drop, index, name.data(), length + 1));
    return name;
}

// Releases a drop on every way out of its handler.
class TDropGuard {
public:
    explicit TDropGuard(HDROP drop) : FDrop(drop) {}
    ~TDropGuard() { DragFinish(FDrop); }
    TDropGuard(const TDropGuard&) = delete;
    TDropGuard& operator=(const TDropGuard&) = delete;

private:
    HDROP FDrop;
};

}  // namespace

void TFormMain::WMDropFiles(HDROP drop) {
    TDropGuard release(drop);
    if (FState.RunActive) return;  // released all the same
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const std::wstring name = DroppedName(drop, i);
        if (LowerExtension(name) == L".ini") {
            SaveSettingsNow();
            const auto files = MakeSystemSettingsFiles();
            FSettingsPath = ResolveSettingsPath(name, *files);
            LoadSettingsNow();
        } else {
            SetEditText(EditBox::Filename, name);
            ButtonConvClick();
            if (!IsWindow(FHandle)) return;  // closed during that run
        }
    }
}
