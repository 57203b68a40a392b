// The Win32 house the windows share: keys reach the window that owns them,
// the exception barrier, timer models bound to real timers, and repaints
// that follow every change.
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string_view>

#include "forms/render_win.h"
#include "forms/textbox_host_win.h"
#include "forms/timer_host_win.h"
#include "platform/barrier_win.h"
#include "platform/pictures_win.h"
#include "platform/resource_ids.h"
#include "scores/hall_of_fame.h"
#include "support/sample_pictures_win.h"
#include "win/skin/refused_subclass_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

class HouseTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetFaultSink([this](const std::wstring& text) { reports_.push_back(text); });
    }
    void TearDown() override {
        SetFaultSink(nullptr);
        MainWindowTest::TearDown();
    }
    std::vector<std::wstring> reports_;
};

// Presses Ctrl with each key through the system's input queue.
void PressCtrlKeys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        INPUT in[4] = {};
        for (auto& i : in) i.type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[3].ki.wVk = VK_CONTROL;
        in[1].ki.wVk = in[2].ki.wVk = key;
        in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(4, in, sizeof(INPUT));
    }
}

TEST_F(HouseTest, GameShortcutsTypedInTheNameBoxStayThereAndTheNameIsStored) {
    Choose(form().game.digitsGameItem);
    form().game.scoreLabel.SetCaption(L"900");
    form().game.livesLabel.SetCaption(L"0");
    PumpPending();
    HWND box = window_->Scores().HallOfFame()->NameBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(drive::WaitFor(
        [&] { return GetForegroundWindow() == window_->Scores().HallOfFame()->Handle(); }, 2000));
    SetWindowTextW(box, L"Ann");
    SendMessageW(box, EM_SETSEL, 3, 3);
    PressCtrlKeys({'S', 'H', 'Y'});
    PumpPending();  // the keys, queued by SendInput
    ASSERT_TRUE(form().scores.hallOfFame.Loaded()) << "no game was started, the window stayed";
    EXPECT_TRUE(form().game.digitsGameItem.Checked);
    EXPECT_FALSE(form().game.englishGameItem.Checked || form().game.chineseGameItem.Checked);
    EXPECT_EQ(form().game.livesLabel.Caption(), L"0");
    std::wstring typed = drive::ControlText(box);
    EXPECT_FALSE(typed.empty());
    drive::PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !form().scores.hallOfFame.Loaded(); })) << "Enter confirms";
    EXPECT_EQ(fakes_.settings.Get(kSectionHallOfFame, L"sm1"), typed);
    EXPECT_EQ(fakes_.settings.Get(kSectionHallOfFame, L"sf1"), L"900");
}

TEST_F(HouseTest, TheMainWindowsShortcutsAreNotTranslatedForOtherWindows) {
    Choose(form().scores.rankingItem);
    HWND hof = window_->Scores().HallOfFame()->Handle();
    ASSERT_NE(hof, nullptr);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{hof, WM_KEYDOWN, 'Y', 1, 0, {}};
    MessageLoop::Instance().PreTranslate(msg);  // the hall of fame's dialog keys may take it
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(form().game.englishGameItem.Checked) << "no English game";
    EXPECT_TRUE(form().scores.hallOfFame.Loaded());
}

TEST_F(HouseTest, AHandlerThatThrowsIsReportedOnceAndTheWindowGoesOn) {
    form().game.englishGameItem.Click = [] { throw std::out_of_range("control array index 6 out of range"); };
    Choose(form().game.englishGameItem);
    Choose(form().game.englishGameItem);
    ASSERT_EQ(reports_.size(), 1u) << "told once, however often it happens";
    EXPECT_NE(reports_[0].find(L"index 6"), std::wstring::npos);
    EXPECT_TRUE(IsWindow(hwnd_));
    Choose(form().game.digitsGameItem);
    EXPECT_TRUE(form().game.digitsGameItem.Checked) << "the window still handles messages";
}

TEST(PaintedFrameStartupTest, AFrameThatCannotBeAttachedIsToldOnceAndTheGameRunsInTheSystemFrameAndMenuBar) {
    test::FakeServices fakes;
    fakes.random.SetFallback({0.5, 0.25, 0.75});
    SetFaultSink([](const std::wstring&) {});  // no message box in a test
    const int faults = FaultCount();
    auto window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), fakes.services, fakes.practiceFiles);
    {
        const skin::test::RefusedSubclassing refused;  // the skin's subclassing fails at load
        ASSERT_TRUE(window->Create()) << "start-up goes on";
    }
    EXPECT_EQ(FaultCount(), faults + 1);
    const HWND hwnd = window->Handle();
    EXPECT_EQ(static_cast<ULONG_PTR>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)),
              GetClassLongPtrW(hwnd, GCLP_WNDPROC))
        << "nothing of the skin stays on the window";
    EXPECT_EQ(GetMenu(hwnd), window->Menus().Handle()) << "the ordinary menu bar";
    EXPECT_TRUE(IsWindowVisible(hwnd));
    SendMessageW(hwnd, WM_COMMAND,
                 MAKEWPARAM(window->Menus().CommandOf(&window->Form().game.englishGameItem), 0), 0);
    EXPECT_TRUE(window->Form().game.fallTimer.Running()) << "a game starts";
    SetFaultSink(nullptr);
    window.reset();
    PumpPending();  // takes the closed window's WM_QUIT, which would end the next modal loop at once
}

TEST_F(HouseTest, ATimerWhoseTickThrowsIsStoppedNotRepeated) {
    int faults = FaultCount();
    Choose(form().game.digitsGameItem);
    form().board.clock.Tick = [] { throw std::runtime_error("broken clock"); };
    ASSERT_TRUE(PumpUntil([&] { return FaultCount() > faults; }));
    EXPECT_FALSE(form().board.clock.Enabled()) << "stopped, so it cannot throw again";
    const float top = form().game.fallingLabels(1).Top;
    EXPECT_TRUE(PumpUntil([&] { return form().game.fallingLabels(1).Top > top; })) << "the fall goes on";
    EXPECT_EQ(FaultCount(), faults + 1);
    EXPECT_TRUE(form().game.fallTimer.Running()) << "the fall goes on";
}

// A bare window whose timers a host runs.
LRESULT CALLBACK HostedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* host = reinterpret_cast<forms::TimerHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (host && host->Filter(msg, wp, lp, result)) return result;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST_F(HouseTest, ATimerEnabledBeforeItIsBoundStartsWhenBound) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostedProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorlaxTimerHostTest";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                           nullptr);
    ASSERT_NE(w, nullptr);
    forms::Timer enabled{20, true}, off{20, false};
    int ticks = 0, off_ticks = 0;
    enabled.Tick = [&] { ++ticks; };
    off.Tick = [&] { ++off_ticks; };
    {
        forms::TimerHost host;
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
        host.Bind(w, {&enabled, &off}, 1);
        EXPECT_EQ(host.RunningCount(), 1);
        EXPECT_TRUE(PumpUntil([&] { return ticks > 2; }));
        EXPECT_EQ(off_ticks, 0);
        enabled.SetInterval(0);
        int now = ticks;
        off.SetEnabled(true);  // a timer that does run, to wait on
        EXPECT_TRUE(PumpUntil([&] { return off_ticks > 2; }));
        EXPECT_EQ(ticks, now) << "interval 0 stops the real timer";
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    }
    DestroyWindow(w);
}

TEST_F(HouseTest, ANewPictureIsPaintedEvenWhereTheOldOneLay) {
    OlePictures pictures;
    std::wstring red = test::WriteBitmap(L"quorlax_red.bmp", 255, 0, 0);
    std::wstring green = test::WriteBitmap(L"quorlax_green.bmp", 0, 255, 0);
    form().board.picture = pictures.Load(red);
    ASSERT_NE(form().board.picture, nullptr);
    EXPECT_EQ(Painted().At(10, 10), RGB(255, 0, 0));
    // Same size, same place, and memory that may well be reused.
    form().board.picture.reset();
    form().board.picture = pictures.Load(green);
    EXPECT_EQ(Painted().At(10, 10), RGB(0, 255, 0));
    DeleteFileW(red.c_str());
    DeleteFileW(green.c_str());
}

TEST_F(HouseTest, ACaptionChangedInPlaceIsRepaintedAndNothingElse) {
    Choose(form().game.englishGameItem);
    Painted();
    form().game.speedLabel.SetCaption(L"8");  // same width, same place: only the text differs
    auto before = drive::PrintClient(hwnd_);
    window_->AfterEvent();
    RECT dirty = window_->View().LastDirty();
    auto after = drive::PrintClient(hwnd_);
    EXPECT_FALSE(IsRectEmpty(&dirty));
    EXPECT_LT(dirty.right - dirty.left, 200) << "only the speed value, not the whole window";
    int changed = 0;
    for (int y = dirty.top; y < dirty.bottom; ++y)
        for (int x = dirty.left; x < dirty.right; ++x) changed += before.At(x, y) != after.At(x, y);
    EXPECT_GT(changed, 10) << "the new digit is on screen";
}

// What `draw` leaves on a page of w by h pixels in one colour.
drive::Capture OnPage(int w, int h, COLORREF back, const std::function<void(HDC)>& draw) {
    return drive::CaptureOf(w, h, [&](HDC dc) {
        const RECT all{0, 0, w, h};
        UniqueBrush brush(CreateSolidBrush(back));
        FillRect(dc, &all, brush.get());
        draw(dc);
    });
}

// The shots and the practice cursor are drawn from a copy of their icons
// made once; what lands is what the system's own icon drawing gives.
TEST(PainterTest, IconsLandAsTheSystemDrawsThem) {
    forms::Painter painter(GetModuleHandleW(nullptr), 96);
    for (const auto& [shown_art, id] :
         {std::pair{forms::Art::PracticeCursor, IDI_CURSOR}, {forms::Art::Shot, IDI_SHOT}}) {
        const forms::Art art = shown_art;  // a lambda below takes it
        UniqueIcon icon(static_cast<HICON>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
        ASSERT_NE(icon.get(), nullptr);
        for (COLORREF back : {RGB(0, 0, 160), RGB(250, 240, 200)}) {
            const RECT r{4, 4, 36, 36};
            auto ours = [&](HDC dc) { painter.DrawArt(dc, art, r); };
            OnPage(40, 40, back, ours);  // the copy made
            const drive::Capture drawn = OnPage(40, 40, back, ours);  // and drawn from
            const drive::Capture system = OnPage(40, 40, back, [&](HDC dc) {
                DrawIconEx(dc, 4, 4, icon.get(), 32, 32, 0, nullptr, DI_NORMAL);
            });
            int shown = 0, off = 0;
            for (size_t i = 0; i < system.pixels.size(); ++i) {
                shown += system.pixels[i] != back;
                for (int shift : {0, 8, 16})
                    off += std::abs(static_cast<int>((drawn.pixels[i] >> shift) & 0xFF) -
                                    static_cast<int>((system.pixels[i] >> shift) & 0xFF)) > 2;
            }
            EXPECT_GT(shown, 50) << "the icon shows";
            EXPECT_EQ(off, 0) << "icon " << id << " on " << std::hex << back;
        }
    }
}

// Only a label's ink is redrawn when it changes: no pixel of it may fall
// outside that place, or a change would leave a piece of the old text.
TEST(PainterTest, ALabelsInkStaysInsideThePlaceRedrawnForIt) {
    forms::Painter painter(GetModuleHandleW(nullptr), 96);
    const forms::Font fonts[] = {{L"宋体", 14.25f, true}, {L"黑体", 14.25f}, {L"楷体_GB2312", 14.25f},
                                 {L"宋体", 18, true}, {L"宋体", 10.5f}, {L"Arial", 12},
                                 {L"宋体", 14.25f, false, forms::kGb2312Charset, false, true}};
    for (const forms::Font& font : fonts) {
        for (const wchar_t* text : {L"总字数：", L"0123456789", L"jgfyW", L"按F1查询编码", L"王", L"f", L"：. "}) {
            forms::Label label;
            label.Place(150, 150, 300, 300);  // smaller than most texts: the ink alone counts
            label.Font = font;
            label.ForeColor = forms::kBlack;
            label.SetCaption(text);
            RECT ink{};
            const drive::Capture page = OnPage(400, 60, RGB(255, 255, 255), [&](HDC dc) {
                ink = painter.InkBounds(dc, label);
                painter.DrawLabel(dc, label);
            });
            int outside = 0;
            for (int y = 0; y < page.height; ++y)
                for (int x = 0; x < page.width; ++x)
                    outside += page.At(x, y) != RGB(255, 255, 255) && !PtInRect(&ink, POINT{x, y});
            EXPECT_EQ(outside, 0) << font.Size << (font.Bold ? " bold" : "") << " text " << std::wstring_view(text).size();
        }
    }
}

// A code turned into its character is added at the end of the box, where
// the caret then stands; the box's limit holds the user's typing, not this.
TEST(TextBoxHostTest, TextAddedAtTheEndIsShownWholeEvenPastTheLimitWithTheCaretAfterIt) {
    forms::Painter painter(GetModuleHandleW(nullptr), 96);
    forms::TextBox model;
    model.MaxLength = 4;
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 40, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    {
        forms::TextBoxHost host(model, painter);
        HWND edit = host.Create(GetModuleHandleW(nullptr), parent);
        ASSERT_NE(edit, nullptr);
        for (const wchar_t* text : {L"王工", L"王工中国人", L"王工中国人民", L"中"}) {
            model.SetText(text);
            EXPECT_EQ(drive::ControlText(edit), text);
            DWORD from = 0, to = 0;
            SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
            if (std::wstring_view(text) != L"中") {
                EXPECT_EQ(to, wcslen(text)) << "the caret after the text";
            }
        }
    }
    DestroyWindow(parent);
}

}  // namespace
}  // namespace quorlax::win
