// The text-box host.
#include "forms/textbox_host_win.h"

#include <imm.h>

#include <string>

#include "platform/barrier_win.h"
#include "platform/lazy_dll_win.h"
#include "platform/window_win.h"

namespace forms {
namespace {

// imm32's committed text and input-method switch, loaded on first use: a
// start-up does not pay for it before its first frame.
template <class Fn>
Fn Imm(const char* name) {
    return quorlax::win::LazyFunction<Fn>(L"imm32.dll", name);
}

}  // namespace

TextBoxHost::TextBoxHost(TextBox& model, Painter& painter) : model_(model), painter_(painter) {
    model_.OnTextPushed = [this](const std::wstring& text) { Push(text); };
}

TextBoxHost::~TextBoxHost() {
    model_.OnTextPushed = nullptr;
    if (edit_) Unsubclass();
}

// The edit's own procedure is swapped for ours, with the host beside it in
// the window's user data: comctl32's subclassing keeps its bookkeeping in
// window properties, and under Wine every property read is a round trip to
// the server, two for every message the edit gets (a keystroke sends it
// several).
void TextBoxHost::Subclass() {
    SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    next_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextBoxHost::EditProc)));
}

// Put back when the edit is ours still; when another procedure came after
// ours, ours stays in its chain and passes every message on unseen.
void TextBoxHost::Unsubclass() {
    SetWindowLongPtrW(edit_, GWLP_USERDATA, 0);
    if (GetWindowLongPtrW(edit_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TextBoxHost::EditProc))
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next_));
}

HWND TextBoxHost::Create(HINSTANCE instance, HWND parent, DWORD extra_style) {
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", model_.Text().c_str(),
                            WS_CHILD | ES_AUTOHSCROLL | ES_LEFT | extra_style, 0, 0, 10, 10, parent, nullptr,
                            instance, nullptr);
    if (!edit_) return nullptr;
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(painter_.FontFor(model_.Font)), FALSE);
    if (model_.MaxLength > 0) SendMessageW(edit_, EM_SETLIMITTEXT, static_cast<WPARAM>(model_.MaxLength), 0);
    Subclass();
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
    if (text.starts_with(shown)) {
        // Text added at the end (a five-stroke code turned into its
        // character) is typed on from: put in where the caret goes after
        // typing, as one edit. Replacing the whole text costs Wine's edit
        // about twice as much, and a keystroke waits on it.
        const auto end = static_cast<LPARAM>(shown.size());
        SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str() + shown.size()));
        // The edit's limit cuts what the user types, never what the game sets.
        if (quorlax::win::WindowTextOf(edit_) != text) {
            SetWindowTextW(edit_, text.c_str());
            SendMessageW(edit_, EM_SETSEL, static_cast<WPARAM>(text.size()), static_cast<LPARAM>(text.size()));
        }
    } else {
        SetWindowTextW(edit_, text.c_str());
    }
    pushing_ = false;
}

LRESULT CALLBACK TextBoxHost::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TextBoxHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // Without its host (gone, or not yet set), the class's own procedure.
    const auto next = self ? self->next_ : reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC));
    if (msg == WM_NCDESTROY && self) {
        self->Unsubclass();
        self->edit_ = nullptr;
        return CallWindowProcW(next, hwnd, msg, wp, lp);
    }
    if (!self) return CallWindowProcW(next, hwnd, msg, wp, lp);
    LRESULT result = 0;
    bool handled = quorlax::win::Guarded(L"TextBox", false, [&] {
        result = self->OnEditMessage(msg, wp, lp);
        return true;
    });
    return handled ? result : CallWindowProcW(next, hwnd, msg, wp, lp);
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
    return CallWindowProcW(next_, edit_, msg, wp, lp);
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
