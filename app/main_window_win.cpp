// The main window of the game.
#include "app/main_window_win.h"

#include <windowsx.h>

#include "forms/main_window_ids_win.h"
#include "platform/barrier_win.h"
#include "platform/message_loop_win.h"
#include "platform/product.h"
#include "platform/resource_ids.h"
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

MainWindow::MainWindow(HINSTANCE instance, Services& services, PracticeFiles files)
    : instance_(instance),
      later_sound_(services.sound),
      services_{services.random, services.messages, services.files,    services.settings, later_sound_,
                services.battle, services.dialogs,  services.pictures, services.shell,    services.folders,
                services.clock},
      program_(services_, files),
      painter_(instance, ScreenDpi()),
      view_(painter_),
      game_(program_.game, program_.board, later_sound_, painter_),
      practice_(program_.practice, painter_),
      scores_(program_.scores),
      settings_(program_.settings),
      battle_(program_.battle),
      rooms_{&game_, &practice_, &scores_, &settings_, &battle_} {}

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
    if (!program_.Load()) return false;
    AfterEvent();
    return true;
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (chain_.Filter(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_CREATE: OnCreate(); return 0;
        case WM_COMMAND:
            if (lp == 0 && menus_.Command(LOWORD(wp))) AfterEvent();
            return 0;
        case WM_ERASEBKGND: return 1;  // the back buffer covers everything
        case WM_PAINT: {
            PaintScope paint(hwnd_);
            view_.Paint(paint.dc(), paint.area());
            // The first frame does not wait for the rooms' edit boxes (and
            // the common controls they load): they follow it at once.
            if (!painted_) painted_ = PostMessageW(hwnd_, kFirstFrameMessage, 0, 0) != FALSE;
            return 0;
        }
        case kFirstFrameMessage:
            for (forms::RoomWindows* room : rooms_) room->AfterFirstFrame();
            AfterEvent();
            return 0;
        case WM_PRINTCLIENT: view_.PaintAll(reinterpret_cast<HDC>(wp)); return 0;
        case WM_SETFOCUS:
            if (HWND box = ShownBox()) SetFocus(box);
            return 0;
        case WM_CLOSE:
            program_.board.programClosing();  // finished while the window can still own a message
            DestroyWindow(hwnd_);
            return 0;
        case WM_ENDSESSION:
            if (wp) program_.board.sessionEnding();
            return 0;
        case WM_DESTROY: OnDestroy(); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void MainWindow::OnCreate() {
    program_.onQuit = [this] { PostMessageW(hwnd_, WM_CLOSE, 0, 0); };
    program_.setupSkin = [this] { AttachSkin(); };
    timers_.AfterTick = [this] { AfterEvent(); };
    timers_.Bind(hwnd_, program_.Timers(), kFormTimersFirstId);
    chain_.SetFrame(&frame_link_);
    chain_.Add(&timers_);
    const forms::MainWindowParts parts{instance_, hwnd_, painter_, chain_, [this] { AfterEvent(); }};
    for (forms::RoomWindows* room : rooms_) room->Attach(parts);
    menus_.Attach(hwnd_, program_.menuBar);
    // The game's shortcuts belong to this window and its children alone.
    MessageLoop::Instance().Register(hwnd_, menus_.Accelerators(), false);
}

void MainWindow::OnDestroy() {
    // A drop-down of the painted bar may still be tracking (the window can
    // be closed from outside meanwhile): end it, so that no menu loop is
    // left running when the program's own loop should see its WM_QUIT.
    EndMenu();
    for (forms::RoomWindows* room : rooms_) room->Detach();  // the other windows go first
    // The skin lets go while the window is still valid; the menu it gives
    // back is destroyed with the window.
    if (caption_) caption_->Detach();
    caption_.reset();
    MessageLoop::Instance().Unregister(hwnd_);
    timers_.Unbind();
    MessageLoop::Instance().Quit(0);
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

bool MainWindow::FrameLink::Filter(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg < WM_MOUSEFIRST || msg > WM_MOUSELAST || msg == WM_MOUSEWHEEL || GET_Y_LPARAM(lp) >= 0)
        return false;
    result = 0;
    return true;
}

HWND MainWindow::ShownBox() const {
    for (const forms::RoomWindows* room : rooms_)
        if (HWND box = room->ShownBox()) return box;
    return nullptr;
}

void MainWindow::AfterEvent() {
    if (!hwnd_) return;
    if (shown_caption_ != program_.board.caption) {
        shown_caption_ = program_.board.caption;
        SetWindowTextW(hwnd_, shown_caption_.c_str());
    }
    menus_.Sync();
    for (forms::RoomWindows* room : rooms_) room->Sync();
    const HWND box = ShownBox();
    if (program_.board.visible && !IsWindowVisible(hwnd_)) {
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
    view_.Render(hwnd_, program_.board.scene, program_.board.picture.get(), program_.board.backColor);
}

}  // namespace quorlax::win
