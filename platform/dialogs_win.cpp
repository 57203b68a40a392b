// Colour and font dialogs. Neither dialog has a title field, so a hook sets
// the title when the dialog initialises.
#include "platform/dialogs_win.h"

#include <commdlg.h>

#include <string>

#include "platform/handles_win.h"

namespace quorlax::win {
namespace {

// comdlg32 pulls in a good part of the shell when it loads; the dialogs are
// rare, so it is loaded on first use instead of slowing every start-up.
template <class Fn>
Fn CommonDialogFunction(const char* name) {
    static HMODULE module = LoadLibraryW(L"comdlg32.dll");
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

UINT_PTR CALLBACK ColorHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* cc = reinterpret_cast<const CHOOSECOLORW*>(lp);
        SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(cc->lCustData));
    }
    return 0;  // the dialog's own processing goes on
}

UINT_PTR CALLBACK FontHook(HWND dialog, UINT msg, WPARAM, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        const auto* cf = reinterpret_cast<const CHOOSEFONTW*>(lp);
        SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(cf->lCustData));
    }
    return 0;
}

}  // namespace

std::optional<forms::Color> CommonDialogs::PickColor(std::wstring_view title, forms::Color initial) {
    std::wstring caption(title);
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner_;
    cc.rgbResult =
        (initial & 0x80000000u) ? GetSysColor(static_cast<int>(initial & 0xFF)) : initial & 0xFFFFFF;
    cc.lpCustColors = custom_;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ENABLEHOOK;
    cc.lpfnHook = ColorHook;
    cc.lCustData = reinterpret_cast<LPARAM>(caption.c_str());
    auto choose = CommonDialogFunction<BOOL(WINAPI*)(CHOOSECOLORW*)>("ChooseColorW");
    if (!choose || !choose(&cc)) return std::nullopt;
    return static_cast<forms::Color>(cc.rgbResult & 0xFFFFFF);
}

std::optional<std::wstring> CommonDialogs::PickFont(std::wstring_view title, const forms::Font& initial) {
    std::wstring caption(title);
    LOGFONTW lf{};
    {
        WindowDc screen(nullptr);
        lf.lfHeight = -MulDiv(static_cast<int>(initial.Size * 100 + 0.5f),
                              GetDeviceCaps(screen.get(), LOGPIXELSY), 7200);
    }
    lf.lfCharSet = static_cast<BYTE>(initial.Charset);
    lstrcpynW(lf.lfFaceName, initial.Name.c_str(), LF_FACESIZE);
    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner_;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK;
    cf.lpfnHook = FontHook;
    cf.lCustData = reinterpret_cast<LPARAM>(caption.c_str());
    auto choose = CommonDialogFunction<BOOL(WINAPI*)(CHOOSEFONTW*)>("ChooseFontW");
    if (!choose || !choose(&cf)) return std::nullopt;
    return std::wstring(lf.lfFaceName);
}

}  // namespace quorlax::win
