// Colour, font and open-file dialogs. The colour and font dialogs have no
// title field, so a hook sets the title when the dialog initialises.
#include "platform/dialogs_win.h"

#include <commdlg.h>

#include <string>

#include "platform/handles_win.h"
#include "platform/lazy_dll_win.h"
#include "platform/pictures_win.h"

namespace quorlax::win {
namespace {

// comdlg32 pulls in a good part of the shell when it loads; the dialogs are
// rare, so it is loaded on first use instead of slowing every start-up.
template <class Fn>
Fn CommonDialogFunction(const char* name) {
    return LazyFunction<Fn>(L"comdlg32.dll", name);
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

std::optional<Color> CommonDialogs::PickColor(std::wstring_view title, Color initial) {
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
    return static_cast<Color>(cc.rgbResult & 0xFFFFFF);
}

std::optional<std::wstring> CommonDialogs::PickFont(std::wstring_view title, const Font& initial) {
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

std::optional<std::wstring> CommonDialogs::OpenFile(std::wstring_view title, std::wstring_view filter_name,
                                                    std::wstring_view pattern) {
    const std::wstring caption(title);
    // Pairs of description and pattern, each ended by a NUL, the list by one more.
    std::wstring filter(filter_name);
    filter += L'\0';
    filter += pattern;
    filter += L'\0';
    std::wstring path(32768, L'\0');  // room for the longest path the system takes
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner_;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = static_cast<DWORD>(path.size());
    ofn.lpstrTitle = caption.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    // The Explorer-style dialog browses folders through the shell's COM objects.
    ComScope com;
    auto open = CommonDialogFunction<BOOL(WINAPI*)(OPENFILENAMEW*)>("GetOpenFileNameW");
    if (!open || !open(&ofn)) return std::nullopt;
    path.resize(path.find(L'\0'));
    return path;
}

}  // namespace quorlax::win
