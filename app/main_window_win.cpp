// The main window of the game.
#include "app/main_window_win.h"

#include <imm.h>
#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/resource_ids.h"
#include "platform/window_win.h"

namespace quorlax::win {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr float kClientWidth = 11910;  // twips
constexpr float kClientHeight = 7920;  // twips

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Services& services) : instance_(instance), form_(services) {}

MainWindow::~MainWindow() {
    if (back_dc_ && back_old_) SelectObject(back_dc_.get(), back_old_);
    // The window normally is gone already (the message loop ended on its
    // WM_DESTROY); if not, destroy it while `this` is still valid.
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProcOf<MainWindow>;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kMainWindowClass;
    if (!GetClassInfoExW(instance_, kMainWindowClass, &wc) && !RegisterClassExW(&wc)) return false;

    {
        WindowDc screen(nullptr);
        painter_ = std::make_unique<forms::Painter>(instance_, GetDeviceCaps(screen.get(), LOGPIXELSY));
    }
    RECT r{0, 0, painter_->Px(kClientWidth), painter_->Px(kClientHeight)};
    AdjustWindowRectEx(&r, kStyle, TRUE, 0);
    hwnd_ = CreateWindowExW(0, kMainWindowClass, kProductName, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
    if (!form_.Form_Load()) return false;
    AfterEvent();
    return true;
}

void MainWindow::OnAttach(HWND hwnd) { hwnd_ = hwnd; }

void MainWindow::OnDetach() {
    hwnd_ = nullptr;
    edit_ = nullptr;
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_TIMER: OnTimer(wp); return 0;
        case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)); return 0;
        case WM_ERASEBKGND: return 1;  // the back buffer covers everything
        case WM_PAINT: OnPaint(); return 0;
        case WM_PRINTCLIENT:
            if (back_dc_)
                BitBlt(reinterpret_cast<HDC>(wp), 0, 0, back_w_, back_h_, back_dc_.get(), 0, 0, SRCCOPY);
            return 0;
        case WM_CTLCOLOREDIT:
            if (reinterpret_cast<HWND>(lp) == edit_) {
                HDC dc = reinterpret_cast<HDC>(wp);
                SetTextColor(dc, forms::Painter::Resolve(form_.Text1.ForeColor));
                SetBkColor(dc, forms::Painter::Resolve(form_.Text1.BackColor));
                return reinterpret_cast<LRESULT>(painter_->BrushFor(form_.Text1.BackColor));
            }
            break;
        case WM_SETFOCUS:
            if (edit_ && IsWindowVisible(edit_)) SetFocus(edit_);
            return 0;
        case WM_CLOSE: DestroyWindow(hwnd_); return 0;
        case WM_DESTROY:
            form_.form2.Unload();  // the hall-of-fame window goes first
            for (UINT_PTR id = 1; id <= 6; ++id) KillTimer(hwnd_, id);
            PostQuitMessage(0);
            return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void MainWindow::OnCreate() {
    form_.Unload = [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); };
    form_.HitFlash = [this](float left, float top) {
        // The rules show and hide the flash inside one handler; keep it on
        // screen for a moment so the player sees the hit.
        flash_left_ = left;
        flash_top_ = top;
        flash_until_ = GetTickCount() + kFlashMs;
        SetTimer(hwnd_, kFlashTimer, kFlashMs, nullptr);
    };
    BindTimers();
    hof_ = std::make_unique<HallOfFameWindow>(instance_, hwnd_, form_.form2, *painter_);
    menus_.Attach(hwnd_, form_.MenuBar);
    CreateTypingBox();
    ResizeBackBuffer();
}

void MainWindow::BindTimers() {
    forms::Timer* timers[] = {&form_.Timer1, &form_.Timer2, &form_.Timer3,
                              &form_.Timer4, &form_.Timer5, &form_.Timer6};
    for (UINT_PTR id = 1; id <= 6; ++id) {
        timers[id - 1]->OnChange = [this, id](forms::Timer& t) {
            if (!hwnd_) return;
            if (t.Running())
                SetTimer(hwnd_, id, static_cast<UINT>(t.Interval()), nullptr);
            else
                KillTimer(hwnd_, id);
        };
    }
}

forms::Timer* MainWindow::TimerById(UINT_PTR id) {
    switch (id) {
        case 1: return &form_.Timer1;
        case 2: return &form_.Timer2;
        case 3: return &form_.Timer3;
        case 4: return &form_.Timer4;
        case 5: return &form_.Timer5;
        case 6: return &form_.Timer6;
        default: return nullptr;
    }
}

void MainWindow::OnTimer(UINT_PTR id) {
    if (id == kFlashTimer) {
        KillTimer(hwnd_, kFlashTimer);
        RenderNow();
        return;
    }
    forms::Timer* timer = TimerById(id);
    // A tick may still be queued after the timer was stopped.
    if (!timer || !timer->Running()) return;
    if (timer->Tick) timer->Tick();
    AfterEvent();
}

void MainWindow::OnCommand(UINT id, UINT code, HWND control) {
    if (control && control == edit_) {
        if (code == EN_CHANGE) OnTypingBoxChanged();
        return;
    }
    if (menus_.Command(id)) AfterEvent();
}

void MainWindow::CreateTypingBox() {
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL | ES_LEFT, 0, 0, 10, 10,
                            hwnd_, nullptr, instance_, nullptr);
    if (!edit_) return;
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(painter_->FontFor(form_.Text1.Font)), FALSE);
    SendMessageW(edit_, EM_SETLIMITTEXT, static_cast<WPARAM>(form_.Text1.MaxLength), 0);
    SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    edit_default_proc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProc)));
    form_.Text1.OnTextPushed = [this](const std::wstring& text) { PushTypingBoxText(text); };
    PlaceTypingBox();
}

LRESULT CALLBACK MainWindow::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return self->OnEditMessage(msg, wp, lp);
}

LRESULT MainWindow::OnEditMessage(UINT msg, WPARAM wp, LPARAM lp) {
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
        default: break;
    }
    WNDPROC base = edit_default_proc_;
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        SetWindowLongPtrW(edit_, GWLP_USERDATA, 0);
    }
    return CallWindowProcW(base, edit_, msg, wp, lp);
}

void MainWindow::InsertCommittedText() {
    HIMC imc = ImmGetContext(edit_);
    if (!imc) return;
    LONG bytes = ImmGetCompositionStringW(imc, GCS_RESULTSTR, nullptr, 0);
    std::wstring text(bytes > 0 ? static_cast<size_t>(bytes) / sizeof(wchar_t) : 0, L'\0');
    if (bytes > 0) ImmGetCompositionStringW(imc, GCS_RESULTSTR, text.data(), static_cast<DWORD>(bytes));
    ImmReleaseContext(edit_, imc);
    if (!text.empty()) SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindow::OnTypingBoxChanged() {
    if (pushing_text_) return;  // our own SetWindowText: the model already ran its handler
    form_.Text1.SetText(WindowTextOf(edit_));
    AfterEvent();
}

void MainWindow::PushTypingBoxText(const std::wstring& text) {
    if (!edit_) return;
    if (WindowTextOf(edit_) == text) return;  // the user's own typing: leave the caret alone
    pushing_text_ = true;
    SetWindowTextW(edit_, text.c_str());
    pushing_text_ = false;
}

void MainWindow::PlaceTypingBox() {
    if (!edit_) return;
    RECT r = painter_->Rect(form_.Text1);
    if (!EqualRect(&r, &edit_rect_)) {
        edit_rect_ = r;
        SetWindowPos(edit_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bool shown = form_.Text1.Shown();
    if (shown != (IsWindowVisible(edit_) != FALSE)) ShowWindow(edit_, shown ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::AfterEvent() {
    if (!hwnd_) return;
    if (shown_caption_ != form_.Caption) {
        shown_caption_ = form_.Caption;
        SetWindowTextW(hwnd_, shown_caption_.c_str());
    }
    menus_.Sync();
    PlaceTypingBox();
    if (form_.Visible && !IsWindowVisible(hwnd_)) {
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        if (edit_ && IsWindowVisible(edit_)) SetFocus(edit_);
    }
    RenderNow();
}

void MainWindow::ResizeBackBuffer() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    int w = client.right > 1 ? client.right : 1;
    int h = client.bottom > 1 ? client.bottom : 1;
    if (back_dc_ && w == back_w_ && h == back_h_) return;
    if (back_dc_ && back_old_) SelectObject(back_dc_.get(), back_old_);
    WindowDc screen(hwnd_);
    back_dc_.reset(CreateCompatibleDC(screen.get()));
    back_bitmap_.reset(CreateCompatibleBitmap(screen.get(), w, h));
    back_old_ = SelectObject(back_dc_.get(), back_bitmap_.get());
    back_w_ = w;
    back_h_ = h;
    drawn_once_ = false;
}

void MainWindow::BuildScene(std::vector<SceneItem>& scene) {
    auto& p = *painter_;
    auto& f = form_;
    HDC dc = back_dc_.get();
    scene.clear();
    auto label = [&](const forms::Label& l) {
        if (!l.Shown()) return;
        scene.push_back({p.LabelBounds(dc, l), p.Signature(l), &l, SceneItem::kLabel});
    };
    auto picture = [&](const forms::Picture& pic) {
        if (!pic.Shown()) return;
        scene.push_back({p.Rect(pic), p.Signature(pic), &pic, SceneItem::kPicture});
    };
    auto panel = [&](const forms::Panel& pan) {
        if (!pan.Shown()) return;
        scene.push_back({p.Rect(pan), p.Signature(pan), &pan, SceneItem::kPanel});
    };

    // The background picture, at its natural size from the top-left corner.
    if (f.Picture) {
        RECT r{0, 0, f.Picture->Width(), f.Picture->Height()};
        scene.push_back(
            {r, reinterpret_cast<std::uintptr_t>(f.Picture.get()), nullptr, SceneItem::kBackground});
    }

    // The play area: everything drawn on the window itself, under the panels.
    for (int i = 1; i <= kGridCells; ++i) {
        const auto& cell = f.La(i);
        bool blends_in = cell.BackStyle == forms::BackStyle::Transparent || cell.BackColor == f.BackColor;
        if (cell.Caption().empty() && blends_in) continue;  // draws nothing visible
        label(cell);
    }
    label(f.La(0));
    picture(f.Image5);
    picture(f.Image1);
    picture(f.Image2);
    for (auto& l : f.Label) label(l);
    for (auto& shot : f.Image3) picture(shot);
    picture(f.Image4);
    if (flash_until_ && static_cast<LONG>(flash_until_ - GetTickCount()) > 0) {
        flash_ = f.Image4;
        flash_.Left = flash_left_;
        flash_.Top = flash_top_;
        flash_.Visible = true;
        picture(flash_);
    }
    label(f.Label15);
    label(f.Label13);
    label(f.Label19);

    // The panels and what they hold.
    panel(f.Frame3);
    label(f.Label22);
    panel(f.Frame4);
    for (const forms::Label* l : {&f.Label7, &f.Label6, &f.Label17, &f.Label16, &f.Label8, &f.Label9,
                                  &f.Label14, &f.Label10, &f.Label11})
        label(*l);
    panel(f.Frame1);
}

void MainWindow::Draw(HDC dc, const SceneItem& item) {
    switch (item.kind) {
        case SceneItem::kLabel:
            painter_->DrawLabel(dc, *static_cast<const forms::Label*>(item.control));
            break;
        case SceneItem::kPicture:
            painter_->DrawPicture(dc, *static_cast<const forms::Picture*>(item.control));
            break;
        case SceneItem::kPanel:
            painter_->DrawPanel(dc, *static_cast<const forms::Panel*>(item.control));
            break;
        case SceneItem::kBackground:
            if (form_.Picture) painter_->DrawImage(dc, *form_.Picture, item.bounds);
            break;
    }
}

void MainWindow::RenderNow() {
    if (!hwnd_ || !back_dc_) return;
    ResizeBackBuffer();
    std::vector<SceneItem> scene;
    BuildScene(scene);

    // Only what changed since the last frame is drawn again and painted:
    // the old and the new place of every item that moved or changed.
    UniqueHandle<HRGN, GdiTraits<HRGN>> dirty(CreateRectRgn(0, 0, 0, 0));
    bool everything = !drawn_once_ || drawn_back_color_ != form_.BackColor;
    auto add = [&](const RECT& r) {
        UniqueHandle<HRGN, GdiTraits<HRGN>> piece(CreateRectRgnIndirect(&r));
        CombineRgn(dirty.get(), dirty.get(), piece.get(), RGN_OR);
    };
    if (!everything) {
        size_t n = std::max(scene.size(), scene_.size());
        for (size_t i = 0; i < n; ++i) {
            const SceneItem* now = i < scene.size() ? &scene[i] : nullptr;
            const SceneItem* before = i < scene_.size() ? &scene_[i] : nullptr;
            if (now && before && now->control == before->control &&
                EqualRect(&now->bounds, &before->bounds) && now->signature == before->signature)
                continue;
            if (now) add(now->bounds);
            if (before) add(before->bounds);
        }
    } else {
        RECT all{0, 0, back_w_, back_h_};
        add(all);
    }
    scene_ = std::move(scene);
    drawn_once_ = true;
    drawn_back_color_ = form_.BackColor;

    RECT box{};
    if (GetRgnBox(dirty.get(), &box) == NULLREGION) return;
    HDC dc = back_dc_.get();
    SelectClipRgn(dc, dirty.get());
    painter_->Fill(dc, box, form_.BackColor);
    for (auto& item : scene_) {
        RECT overlap{};
        if (IntersectRect(&overlap, &item.bounds, &box)) Draw(dc, item);
    }
    SelectClipRgn(dc, nullptr);
    // Copy the changed part straight to the window; WM_PAINT serves only
    // what the system itself asks to have repainted.
    WindowDc window_dc(hwnd_);
    SelectClipRgn(window_dc.get(), dirty.get());
    BitBlt(window_dc.get(), box.left, box.top, box.right - box.left, box.bottom - box.top, dc, box.left,
           box.top, SRCCOPY);
}

void MainWindow::OnPaint() {
    PaintScope paint(hwnd_);
    if (!back_dc_) return;
    const RECT& r = paint.area();
    BitBlt(paint.dc(), r.left, r.top, r.right - r.left, r.bottom - r.top, back_dc_.get(), r.left, r.top,
           SRCCOPY);
}

}  // namespace quorlax::win
