// The main window of the game.
#include "app/main_window_win.h"

#include <windowsx.h>

#include "app/main_window_ids_win.h"
#include "app/resource_ids.h"
#include "platform/barrier_win.h"
#include "platform/message_loop_win.h"
#include "platform/window_win.h"

namespace quorlax::win {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr float kClientWidth = 11910;  // twips
constexpr float kClientHeight = 7920;  // twips

int ScreenDpi() {
    WindowDc screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Services& services)
    : instance_(instance),
      later_sound_(services.sound),
      services_{services.random, services.messages, services.files,   services.settings,
                later_sound_,    services.battle,   services.dialogs, services.pictures,
                services.shell,  services.folders,  services.history, services.clock},
      form_(services_),
      painter_(instance, ScreenDpi()),
      typing_box_(form_.Text1, painter_),
      practice_panel_(form_.practice, painter_),
      view_(painter_) {
    flash_ = form_.Image4;
    form_.scene.Add(flash_, forms::Layer::Shots);
}

MainWindow::~MainWindow() {
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

    RECT r{0, 0, painter_.Px(kClientWidth), painter_.Px(kClientHeight)};
    AdjustWindowRectEx(&r, kStyle, TRUE, 0);
    CreateWindowExW(0, kMainWindowClass, kProductName, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                    r.bottom - r.top, nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
    if (!form_.Form_Load()) return false;
    AfterEvent();
    return true;
}

void MainWindow::OnAttach(HWND hwnd) { hwnd_ = hwnd; }

void MainWindow::OnDetach() { hwnd_ = nullptr; }

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (chain_.Filter(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_TIMER:
            if (wp == kFlashTimerId) {
                KillTimer(hwnd_, kFlashTimerId);
                AfterEvent();
            }
            return 0;
        case WM_COMMAND:
            if (lp == 0 && menus_.Command(LOWORD(wp))) AfterEvent();
            return 0;
        case kPlayHitMessage: later_sound_.Play(); return 0;
        case WM_ERASEBKGND: return 1;  // the back buffer covers everything
        case WM_PAINT: {
            PaintScope paint(hwnd_);
            view_.Paint(paint.dc(), paint.area());
            return 0;
        }
        case WM_PRINTCLIENT: view_.PaintAll(reinterpret_cast<HDC>(wp)); return 0;
        case WM_SETFOCUS:
            if (HWND box = ShownBox()) SetFocus(box);
            return 0;
        case WM_CLOSE:
            form_.practice.EndRun();  // recorded while the window can still own a message
            form_.practice.History().AtExit();
            DestroyWindow(hwnd_);
            return 0;
        case WM_ENDSESSION:
            if (wp) {
                // Silently: a message box now would hold up the logoff.
                form_.practice.History().Quiet();
                form_.practice.EndRun();
                form_.practice.History().AtExit();
            }
            return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void MainWindow::OnCreate() {
    later_sound_.Start(hwnd_);
    form_.Unload = [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); };
    form_.HitFlash = [this](float left, float top) { ShowFlash(left, top); };
    timers_.AfterTick = [this] { AfterEvent(); };
    timers_.Bind(hwnd_, form_.Timers(), kFormTimersFirstId);
    typing_box_.AfterChange = [this] { AfterEvent(); };
    typing_box_.Create(instance_, hwnd_);
    chain_.SetFrame(&frame_link_);
    chain_.Add(&timers_);
    chain_.Add(&typing_box_);
    battle_panel_ = std::make_unique<BattlePanelWin>(instance_, hwnd_, form_.battle, painter_);
    battle_panel_->AfterClick = [this] { AfterEvent(); };
    chain_.Add(battle_panel_.get());
    practice_panel_.AfterChange = [this] { AfterEvent(); };
    practice_panel_.Create(instance_, hwnd_);
    chain_.Add(&practice_panel_);
    hof_ = std::make_unique<HallOfFameWindow>(instance_, hwnd_, form_.scores.form2, painter_);
    settings_ = std::make_unique<SettingsWindows>(instance_, hwnd_, form_.appearance, painter_,
                                                  [this] { AfterEvent(); });
    form_.practice.ShowRecord = [this] { ShowRecord(); };
    form_.practice.CloseRecord = [this] {
        if (record_) record_->Form().Unload();
    };
    menus_.Attach(hwnd_, form_.MenuBar);
    form_.SetupSkin = [this] { AttachSkin(); };
    // The game's shortcuts belong to this window and its children alone.
    MessageLoop::Instance().Register(hwnd_, menus_.Accelerators(), false);
}

void MainWindow::OnDestroy() {
    // A drop-down of the painted bar may still be tracking (the window can
    // be closed from outside meanwhile): end it, so that no menu loop is
    // left running when the program's own loop should see its WM_QUIT.
    EndMenu();
    form_.scores.form2.Unload();  // the other windows go first
    form_.appearance.CloseWindows();
    if (record_) record_->Form().Unload();
    // The skin lets go while the window is still valid; the menu it gives
    // back is destroyed with the window.
    if (caption_) caption_->Detach();
    caption_.reset();
    MessageLoop::Instance().Unregister(hwnd_);
    timers_.Unbind();
    KillTimer(hwnd_, kFlashTimerId);
    later_sound_.Stop();
    MessageLoop::Instance().Quit(0);
}

void MainWindow::LaterSound::PlayHit() {
    if (!window_) {
        sound_.PlayHit();
        return;
    }
    if (!pending_) pending_ = PostMessageW(window_, kPlayHitMessage, 0, 0) != FALSE;
    if (!pending_) sound_.PlayHit();  // the queue is full: play it now
}

void MainWindow::LaterSound::Play() {
    if (!pending_) return;
    pending_ = false;
    sound_.PlayHit();
}

void MainWindow::AttachSkin() {
    // The skin's numbered errors come up to here: a frame that cannot be
    // attached is reported once, and the window keeps the system's frame and
    // its ordinary menu bar (the skin gives back what it took).
    Guarded(L"skin", [this] {
        caption_ =
            skin::SetupSkin(instance_, hwnd_, SIZE{painter_.Px(kClientWidth), painter_.Px(kClientHeight)});
    });
}

void MainWindow::ShowRecord() {
    if (!record_) {
        record_ = std::make_unique<RecordWindow>(instance_, hwnd_, form_.practice.History(), form_.codeTable,
                                                 form_.BackColor, painter_);
        // The drill as its menu item starts it, after the window has gone.
        record_->Form().StartDrill = [this] {
            SendMessageW(hwnd_, WM_COMMAND, menus_.CommandOf(&form_.practice.cuozi), 0);
        };
    }
    record_->Form().Load();
}

bool MainWindow::FrameLink::Filter(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg < WM_MOUSEFIRST || msg > WM_MOUSELAST || msg == WM_MOUSEWHEEL || GET_Y_LPARAM(lp) >= 0)
        return false;
    result = 0;
    return true;
}

HWND MainWindow::ShownBox() const {
    for (HWND box : {typing_box_.Handle(), practice_panel_.Box()})
        if (box && IsWindowVisible(box)) return box;
    return nullptr;
}

void MainWindow::ShowFlash(float left, float top) {
    // The rules show and hide the flash inside one handler; keep it on
    // screen for a moment so the player sees the hit.
    flash_.Left = left;
    flash_.Top = top;
    flash_until_ = GetTickCount() + kFlashMs;
    SetTimer(hwnd_, kFlashTimerId, kFlashMs, nullptr);
}

void MainWindow::AfterEvent() {
    if (!hwnd_) return;
    if (shown_caption_ != form_.Caption) {
        shown_caption_ = form_.Caption;
        SetWindowTextW(hwnd_, shown_caption_.c_str());
    }
    menus_.Sync();
    typing_box_.Place();
    // The battle panel's controls are brought up to date while it is shown,
    // and once more as it goes.
    const bool battle_shown = form_.battle.Frame1.Shown();
    if (battle_panel_ && (battle_shown || battle_shown_)) battle_panel_->Sync();
    battle_shown_ = battle_shown;
    practice_panel_.Place();
    const HWND box = ShownBox();
    if (form_.Visible && !IsWindowVisible(hwnd_)) {
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        if (box) SetFocus(box);
    } else if (box != shown_box_) {
        // A box hidden with the focus (a practice run or game starting)
        // hands it to the box now shown. Asked only when the boxes change:
        // asking for the focus is a round trip to the system under Wine.
        if (HWND focus = GetFocus();
            box && (focus == hwnd_ || (focus && GetParent(focus) == hwnd_ && !IsWindowVisible(focus))))
            SetFocus(box);
    }
    shown_box_ = box;
    flash_.Visible = flash_until_ && static_cast<LONG>(flash_until_ - GetTickCount()) > 0;
    view_.Render(hwnd_, form_.scene, form_.Picture.get(), form_.BackColor);
}

}  // namespace quorlax::win
