// The text-box host.
#include "forms/textbox_host_win.h"

#include <commctrl.h>
#include <imm.h>

#include <string>

#include "platform/barrier_win.h"
#include "platform/lazy_dll_win.h"
#include "platform/window_win.h"

namespace forms {
namespace {

constexpr UINT_PTR kSubclassId = 0x5142;  // this host's subclass on the edit

// comctl32's subclassing and imm32's committed text, loaded with the first
// edit: a start-up pays for neither before its first frame.
template <class Fn>
Fn Comctl(const char* name) {
    return quorlax::win::LazyFunction<Fn>(L"comctl32.dll", name);
}
template <class Fn>
Fn Imm(const char* name) {
    return quorlax::win::LazyFunction<Fn>(L"imm32.dll", name);
}

BOOL Subclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR ref) {
    static const auto set = Comctl<decltype(&::SetWindowSubclass)>("SetWindowSubclass");
    return set ? set(hwnd, proc, id, ref) : FALSE;
}
BOOL Unsubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id) {
    static const auto remove = Comctl<decltype(&::RemoveWindowSubclass)>("RemoveWindowSubclass");
    return remove ? remove(hwnd, proc, id) : FALSE;
}
LRESULT NextProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const auto next = Comctl<decltype(&::DefSubclassProc)>("DefSubclassProc");
    return next ? next(hwnd, msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

TextBoxHost::TextBoxHost(TextBox& model, Painter& painter) : model_(model), painter_(painter) {
    model_.OnTextPushed = [this](const std::wstring& text) { Push(text); };
}

TextBoxHost::~TextBoxHost() {
    model_.OnTextPushed = nullptr;
    if (edit_) Unsubclass(edit_, SubclassProc, kSubclassId);
}

HWND TextBoxHost::Create(HINSTANCE instance, HWND parent, DWORD extra_style) {
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", model_.Text().c_str(),
                            WS_CHILD | ES_AUTOHSCROLL | ES_LEFT | extra_style, 0, 0, 10, 10, parent, nullptr,
                            instance, nullptr);
    if (!edit_) return nullptr;
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(painter_.FontFor(model_.Font)), FALSE);
    if (model_.MaxLength > 0) SendMessageW(edit_, EM_SETLIMITTEXT, static_cast<WPARAM>(model_.MaxLength), 0);
    Subclass(edit_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    Place();
    return edit_;
}

void TextBoxHost::Place() {
    if (!edit_) return;
    RECT r = painter_.Rect(model_);
    if (!EqualRect(&r, &placed_)) {
        placed_ = r;
        SetWindowPos(edit_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bool shown = model_.Shown();
    if (shown != (IsWindowVisible(edit_) != FALSE)) ShowWindow(edit_, shown ? SW_SHOWNA : SW_HIDE);
    if (model_.InputMethod != input_method_) {
        // Detached, the box gets the keys themselves; attached again, the
        // thread's own input method as before.
        static const auto associate = Imm<decltype(&::ImmAssociateContextEx)>("ImmAssociateContextEx");
        if (associate && associate(edit_, nullptr, model_.InputMethod ? IACE_DEFAULT : 0))
            input_method_ = model_.InputMethod;
    }
}

bool TextBoxHost::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (!edit_ || reinterpret_cast<HWND>(lp) != edit_) return false;
    if (msg == WM_CTLCOLOREDIT) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, Painter::Resolve(model_.ForeColor));
        SetBkColor(dc, Painter::Resolve(model_.BackColor));
        result = reinterpret_cast<LRESULT>(painter_.BrushFor(model_.BackColor));
        return true;
    }
    if (msg != WM_COMMAND) return false;
    result = 0;
    switch (HIWORD(wp)) {
        case EN_CHANGE:
            // Our own SetWindowText: the model already ran its handler.
            if (pushing_) return true;
            model_.SetText(quorlax::win::WindowTextOf(edit_));
            if (AfterChange) AfterChange();
            return true;
        case EN_KILLFOCUS:
            if (LostFocus) LostFocus();
            return true;
        default: return true;
    }
}

void TextBoxHost::Push(const std::wstring& text) {
    if (!edit_) return;
    const std::wstring shown = quorlax::win::WindowTextOf(edit_);
    if (shown == text) return;  // the user's own typing: leave the caret alone
    pushing_ = true;
    SetWindowTextW(edit_, text.c_str());
    pushing_ = false;
    // Text added at the end (a five-stroke code turned into its character)
    // is typed on from: the caret follows it, as after typing.
    if (text.starts_with(shown)) {
        const auto end = static_cast<WPARAM>(text.size());
        SendMessageW(edit_, EM_SETSEL, end, static_cast<LPARAM>(end));
    }
}

LRESULT CALLBACK TextBoxHost::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                           DWORD_PTR ref) {
    auto* self = reinterpret_cast<TextBoxHost*>(ref);
    if (msg == WM_NCDESTROY) {
        Unsubclass(hwnd, SubclassProc, kSubclassId);
        if (self) self->edit_ = nullptr;
        return NextProc(hwnd, msg, wp, lp);
    }
    if (!self) return NextProc(hwnd, msg, wp, lp);
    LRESULT result = 0;
    bool handled = quorlax::win::Guarded(L"TextBox", false, [&] {
        result = self->OnEditMessage(msg, wp, lp);
        return true;
    });
    return handled ? result : NextProc(hwnd, msg, wp, lp);
}

LRESULT TextBoxHost::OnEditMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Only what the input method commits enters the box, and a word of
    // several characters enters as one edit: a composition still being typed
    // must never be compared with the labels. The composition itself is left
    // to the system's input method window (DefWindowProc), not to the edit
    // control, which could show it inline as if it were typed text.
    constexpr LPARAM kResultFlags =
        GCS_RESULTSTR | GCS_RESULTCLAUSE | GCS_RESULTREADSTR | GCS_RESULTREADCLAUSE;
    switch (msg) {
        case WM_IME_STARTCOMPOSITION:
        case WM_IME_ENDCOMPOSITION: return DefWindowProcW(edit_, msg, wp, lp);
        case WM_IME_COMPOSITION:
            if (lp & GCS_RESULTSTR) InsertCommittedText();
            if (lp & ~kResultFlags) DefWindowProcW(edit_, msg, wp, lp & ~kResultFlags);
            return 0;
        case WM_CHAR:
            if (model_.CharTyped && model_.CharTyped(static_cast<wchar_t>(wp))) {
                if (AfterChange) AfterChange();
                return 0;
            }
            break;
        case WM_KEYDOWN:
            // The key is seen before the change it makes (F1, Backspace).
            if (model_.KeyDown) {
                model_.KeyDown(static_cast<int>(wp));
                if (AfterChange) AfterChange();
            }
            break;
        default: break;
    }
    return NextProc(edit_, msg, wp, lp);
}

void TextBoxHost::InsertCommittedText() {
    static const auto get_context = Imm<decltype(&::ImmGetContext)>("ImmGetContext");
    static const auto get_string = Imm<decltype(&::ImmGetCompositionStringW)>("ImmGetCompositionStringW");
    static const auto release = Imm<decltype(&::ImmReleaseContext)>("ImmReleaseContext");
    if (!get_context || !get_string || !release) return;
    HIMC imc = get_context(edit_);
    if (!imc) return;
    LONG bytes = get_string(imc, GCS_RESULTSTR, nullptr, 0);
    std::wstring text(bytes > 0 ? static_cast<size_t>(bytes) / sizeof(wchar_t) : 0, L'\0');
    if (bytes > 0) get_string(imc, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
    release(edit_, imc);
    if (!text.empty()) SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace forms
