// The painted menu bar on a skinned window with a native menu and shortcuts,
// as the game builds them: titles, hot tracking, drop-downs switched by the
// mouse and the keyboard, owner-drawn items and their restoration.
#include "skin/menu_bar_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "skin/neo_caption_win.h"
#include "win/skin/skin_pictures.h"
#include "win/skin/skin_test_support.h"

namespace quorlax::skin {
namespace {

using test::Capture;
using test::Keys;
using test::Pump;
using test::PumpUntil;
using test::Tap;
using test::TestWindow;

constexpr int W = test::kGameWidth, H = test::kGameHeight;
constexpr UINT kNewGame = 101, kExit = 102, kEnglish = 103, kChinese = 104, kGreyed = 105, kHelp = 200;
constexpr UINT kSpeed1 = 301, kSpeed2 = 302, kRankA = 401;  // 一速, 二速, 汉字排名
constexpr COLORREF kMenuBlue = RGB(0, 0, 0xC0);             // ActiveMenuColor &H00C00000

StdFont Song() {
    StdFont f;
    f.Name = L"宋体";
    f.Size = 9;
    return f;
}

// Counts the WM_NCPAINT messages that reach the window after the skin's own handling.
class PaintCounter : public ISubclass {
public:
    EMsgResponse MsgResponse() override { return EMsgResponse::emrConsume; }
    void MsgResponse(EMsgResponse) override {}
    void WindowProc(HWND, UINT, WPARAM, LPARAM, LRESULT&) override { ++paints; }
    int paints = 0;
};

class MenuBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TestWindow>(test::kGameStyle, W, H, L"Quorlax 菜单");
        hwnd_ = window_->hwnd();
        window_->OnMessage = [this](UINT msg, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
            std::lock_guard<std::mutex> lock(mutex_);
            if (msg == WM_INITMENUPOPUP) opened_.push_back(reinterpret_cast<HMENU>(wp));
            if (msg == WM_ENTERMENULOOP) ++menu_loops_;
            if (msg == WM_EXITMENULOOP) --menu_loops_;
            if (msg == WM_COMMAND) commands_.push_back(LOWORD(wp));
            if (msg == WM_CLOSE) return 0;
            return std::nullopt;
        };
        // As the game builds its menu: CreateMenu and AppendMenuW, shortcuts after a TAB.
        file_ = CreatePopupMenu();
        AppendMenuW(file_, MF_STRING, kNewGame, L"新游戏(&N)\tCtrl+N");
        AppendMenuW(file_, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(file_, MF_STRING, kChinese, L"汉字(&C)");
        AppendMenuW(file_, MF_STRING | MF_CHECKED, kEnglish, L"英文(&E)");
        AppendMenuW(file_, MF_STRING | MF_GRAYED, kGreyed, L"联网(&W)");
        AppendMenuW(file_, MF_STRING, kExit, L"退出(&X)");
        CheckMenuRadioItem(file_, kChinese, kChinese, kChinese, MF_BYCOMMAND);
        speed_ = CreatePopupMenu();
        AppendMenuW(speed_, MF_STRING, kSpeed1, L"一速");
        AppendMenuW(speed_, MF_STRING, kSpeed2, L"二速");
        rank_ = CreatePopupMenu();
        AppendMenuW(rank_, MF_STRING, kRankA, L"汉字排名");
        HMENU bar = CreateMenu();
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file_), L"文件(&F)");
        AppendMenuW(bar, MF_STRING, kHelp, L"帮助!");  // a plain command in the bar
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(speed_), L"速度(&S)");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(rank_), L"排名");
        SetMenu(hwnd_, bar);
        ACCEL accel{FCONTROL | FVIRTKEY, 'N', static_cast<WORD>(kNewGame)};
        accelerators_ = CreateAcceleratorTableW(&accel, 1);

        caption_ = std::make_unique<cNeoCaption>();
        caption_->ActiveCaptionColor(0x00FFFFFF);
        caption_->InActiveCaptionColor(0x00C0FFC0);
        caption_->ActiveMenuColor(0x00C00000);
        caption_->ActiveMenuColorOver(0x000000FF);
        caption_->MenuBackgroundColor(0x8000000F);
        caption_->CaptionFont(Song());
        caption_->MenuFont(Song());
        caption_->Attach(hwnd_, strip_, border_, 19, 20, 90, 140, 240, 400);
        MSubclass::AttachMessage(&counter_, hwnd_, WM_NCPAINT);
        window_->Show();
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == hwnd_; }));
        Pump(50);
    }
    void TearDown() override {
        MSubclass::DetachMessage(&counter_, hwnd_, WM_NCPAINT);
        caption_.reset();
        window_.reset();  // destroys the menu with the window
        DestroyAcceleratorTable(accelerators_);
        DeleteObject(strip_);
        DeleteObject(border_);
        test::MouseTo(1000, 740);
        Pump(20);
    }
    cMenuBar& Bar() { return *caption_->MenuBar(); }
    // The middle of title n on the screen.
    POINT TitleSpot(int n, int dx = 0) {
        RECT r = Bar().TitleScreenRect(n);
        return POINT{dx ? r.left + dx : (r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    std::vector<HMENU> Opened() {
        std::lock_guard<std::mutex> lock(mutex_);
        return opened_;
    }
    size_t OpenedCount() { return Opened().size(); }
    Capture Painted() {
        return test::CaptureOf(W, H, [&](HDC dc) { caption_->NCPaint(dc, 0, 0, W, H); });
    }
    // Waits (on the helper thread) until `n` drop-downs have opened and the last one shows.
    static bool AwaitOpened(MenuBarTest* t, size_t n) {
        return test::WaitFor([&] { return t->OpenedCount() >= n && test::MenuShown(); });
    }
    // Waits until no drop-down shows and the menu mode has ended.
    static bool AwaitClosed(MenuBarTest* t) {
        return test::WaitFor([&] { return t->menu_loops_ == 0 && !test::MenuShown(); });
    }
    // Whether more than `n` drop-downs open within a short while: for what must not open.
    static bool OpensBeyond(MenuBarTest* t, size_t n) {
        return test::WaitFor([&] { return t->OpenedCount() > n; }, 300);
    }

    HBITMAP strip_ = test::MakeCaptionStrip();
    HBITMAP border_ = test::MakeBorderStrip();
    std::unique_ptr<TestWindow> window_;
    std::unique_ptr<cNeoCaption> caption_;
    PaintCounter counter_;
    HWND hwnd_ = nullptr;
    HMENU file_ = nullptr, speed_ = nullptr, rank_ = nullptr;
    HACCEL accelerators_ = nullptr;
    std::mutex mutex_;
    std::vector<HMENU> opened_;
    std::vector<UINT> commands_;
    std::atomic<int> menu_loops_{0};  // menu modes entered and not yet left
};

// Blue ink of a title (ActiveMenuColor over the artwork, whose blue is 0x80).
int BlueInk(const Capture& c, const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (GetBValue(c.At(x, y)) > 0x88) ++n;
    return n;
}

// Red ink (ActiveMenuColorOver pulls blue below the artwork's 0x80).
int RedInk(const Capture& c, const RECT& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF p = c.At(x, y);
            if (GetBValue(p) < 0x70 && GetRValue(p) > GetGValue(p) + 40) ++n;
        }
    return n;
}

TEST_F(MenuBarTest, DropDownTitlesAreDrawnInTheMenuRowAndPlainCommandsAreNot) {
    ASSERT_EQ(Bar().TitleCount(), 3);
    EXPECT_EQ(Bar().TitleMenu(1), file_);
    EXPECT_EQ(Bar().TitleMenu(2), speed_);
    EXPECT_EQ(Bar().TitleMenu(3), rank_);
    const Capture c = Painted();
    for (int n = 1; n <= 3; ++n) {
        const RECT r = Bar().TitleRect(n);
        EXPECT_GE(r.top, 24) << "in the lower half of the caption strip";
        EXPECT_LE(r.bottom, 48);
        EXPECT_GT(BlueInk(c, r), 20) << n;
        if (n > 1) {
            EXPECT_EQ(r.left - Bar().TitleRect(n - 1).right, 7) << "no room for the plain command";
        }
    }
    const RECT last = Bar().TitleRect(3);
    EXPECT_EQ(BlueInk(c, RECT{last.right + 1, 24, 700, 48}), 0) << "nothing drawn after the last title";
    EXPECT_EQ(Bar().TitleRect(1).left, 90 + 8 - 2) << "the first title starts 8 pixels into the row";
}

TEST_F(MenuBarTest, TitlesAreHitWhereTheyAreDrawnAndHoveringRepaintsOnlyWhenTheHotTitleChanges) {
    for (int n = 1; n <= 3; ++n) {
        const RECT r = Bar().TitleScreenRect(n);
        for (POINT p : {POINT{r.left + 1, r.top + 1}, POINT{r.right - 2, r.bottom - 2}}) {
            EXPECT_EQ(SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCLIENT) << n;
        }
    }
    EXPECT_FALSE(Bar().Tracking()) << "no timer while idle";
    const int before = counter_.paints;
    POINT p = TitleSpot(2, 3);  // the left edge of the drawn title
    test::MouseTo(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return Bar().HotTitle() == 2; }));
    EXPECT_TRUE(Bar().Tracking());
    EXPECT_EQ(counter_.paints, before + 1);
    EXPECT_GT(RedInk(Painted(), Bar().TitleRect(2)), 20) << "the hot title in ActiveMenuColorOver";
    EXPECT_EQ(RedInk(Painted(), Bar().TitleRect(1)), 0);
    p = TitleSpot(2);
    test::MouseTo(p.x, p.y);
    Pump(200);  // moving within the title, and four timer rounds
    EXPECT_EQ(counter_.paints, before + 1);
    test::MouseTo(p.x, p.y + 100);  // into the client area
    ASSERT_TRUE(PumpUntil([&] { return Bar().HotTitle() == 0; }));
    EXPECT_FALSE(Bar().Tracking());
    EXPECT_EQ(counter_.paints, before + 2);

    p = TitleSpot(3);
    test::MouseTo(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return Bar().HotTitle() == 3; }));
    SetCursorPos(1000, 740);  // off the window without a message to it: the timer notices
    ASSERT_TRUE(PumpUntil([&] { return Bar().HotTitle() == 0 && !Bar().Tracking(); }, 2000));
}

TEST_F(MenuBarTest, AClickOpensTheDropDownUnderTheDrawnTitleAndMovingOnSwitchesMenus) {
    std::atomic<long> popup_left{0}, title_left{0};
    const POINT t1 = TitleSpot(1, 3), t2 = TitleSpot(2), t3 = TitleSpot(3);
    title_left = Bar().TitleScreenRect(1).left;
    bool finished = test::RunScript([&] {
        test::MouseToVia(hwnd_, t1.x, t1.y);
        test::LeftButton(true);
        test::LeftButton(false);
        if (!AwaitOpened(this, 1)) return;
        RECT r{};
        GetWindowRect(FindWindowW(L"#32768", nullptr), &r);
        popup_left = r.left;
        test::MouseToVia(hwnd_, t2.x, t2.y);
        if (!AwaitOpened(this, 2)) return;
        test::MouseToVia(hwnd_, t3.x, t3.y);
        if (!AwaitOpened(this, 3)) return;
        Tap(VK_ESCAPE);
        AwaitClosed(this);
    });
    ASSERT_TRUE(finished);
    EXPECT_EQ(Opened(), (std::vector<HMENU>{file_, speed_, rank_}));
    EXPECT_EQ(popup_left.load(), title_left.load()) << "the drop-down opens under the drawn title";
    EXPECT_EQ(Bar().PressedTitle(), 0);
    EXPECT_FALSE(IsWindowVisible(FindWindowW(L"#32768", nullptr)));
}

TEST_F(MenuBarTest, AltAloneF10AndAltWithALetterOpenMenusAndLeftRightWrapAround) {
    bool finished = test::RunScript([&] {
        Tap(VK_MENU);  // Alt pressed and released alone: the first title
        if (!AwaitOpened(this, 1)) return;
        Tap(VK_LEFT);  // from the first to the last
        if (!AwaitOpened(this, 2)) return;
        Tap(VK_RIGHT);  // from the last to the first
        if (!AwaitOpened(this, 3)) return;
        Tap(VK_RIGHT);
        if (!AwaitOpened(this, 4)) return;
        Tap(VK_ESCAPE);
        if (!AwaitClosed(this)) return;
        Tap(VK_F10);
        if (!AwaitOpened(this, 5)) return;
        Tap(VK_ESCAPE);
        if (!AwaitClosed(this)) return;
        Keys({{VK_MENU, true}, {'S', true}, {'S', false}, {VK_MENU, false}});  // 速度(&S)
        if (!AwaitOpened(this, 6)) return;
        Tap(VK_ESCAPE);
        AwaitClosed(this);
    });
    ASSERT_TRUE(finished);
    EXPECT_EQ(Opened(), (std::vector<HMENU>{file_, rank_, file_, speed_, file_, speed_}));
    EXPECT_EQ(Bar().PressedTitle(), 0);
}

TEST_F(MenuBarTest, AGreyedTitleIsDrawnEmbossedAndNeitherAClickNorHoveringOpensIt) {
    EnableMenuItem(caption_->hMenu(), 2, MF_BYPOSITION | MF_GRAYED);  // 速度
    const Capture c = Painted();
    auto ink = [&](int n, int colour) {
        const RECT r = Bar().TitleRect(n);
        return c.Count(GetSysColor(colour), r.left, r.top, r.right, r.bottom);
    };
    // Text pixels of ActiveMenuColor: bluer than the artwork's 0x80 and than their red and green.
    auto blue = [&](int n) {
        const RECT r = Bar().TitleRect(n);
        int k = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF p = c.At(x, y);
                k += GetBValue(p) > 0x88 && GetBValue(p) > GetRValue(p) + 40 &&
                     GetBValue(p) > GetGValue(p) + 40;
            }
        return k;
    };
    EXPECT_GE(ink(2, COLOR_BTNSHADOW), 3) << "embossed like a disabled item";
    EXPECT_GE(ink(2, COLOR_BTNHIGHLIGHT), 3);
    EXPECT_EQ(blue(2), 0) << "not in ActiveMenuColor";
    EXPECT_GT(blue(3), 10);
    EXPECT_EQ(ink(3, COLOR_BTNSHADOW), 0);

    const POINT t2 = TitleSpot(2), t3 = TitleSpot(3);
    bool finished = test::RunScript([&] {
        test::MouseToVia(hwnd_, t2.x, t2.y);
        test::LeftButton(true);
        test::LeftButton(false);
        if (OpensBeyond(this, 0)) {
            Tap(VK_ESCAPE);
            return;
        }
        test::MouseToVia(hwnd_, t3.x, t3.y);  // the click reaches the bar: the next title opens
        test::LeftButton(true);
        test::LeftButton(false);
        if (!AwaitOpened(this, 1)) return;
        test::MouseToVia(hwnd_, t2.x, t2.y);  // moving onto the greyed title keeps the open one
        OpensBeyond(this, 1);
        Tap(VK_ESCAPE);
        AwaitClosed(this);
    });
    ASSERT_TRUE(finished);
    EXPECT_EQ(Opened(), (std::vector<HMENU>{rank_}));
    EXPECT_EQ(Bar().PressedTitle(), 0);
}

TEST_F(MenuBarTest, TheKeyboardSkipsGreyedTitlesAndOpensNothingWhenAllAreGreyed) {
    HMENU bar = caption_->hMenu();
    EnableMenuItem(bar, 0, MF_BYPOSITION | MF_GRAYED);  // 文件
    bool finished = test::RunScript([&] {
        Tap(VK_F10);  // the first title that is not greyed
        if (!AwaitOpened(this, 1)) return;
        Tap(VK_RIGHT);
        if (!AwaitOpened(this, 2)) return;
        Tap(VK_RIGHT);  // wraps round past the greyed title
        if (!AwaitOpened(this, 3)) return;
        Tap(VK_LEFT);  // and the other way
        if (!AwaitOpened(this, 4)) return;
        Tap(VK_ESCAPE);
        if (!AwaitClosed(this)) return;
        Keys({{VK_MENU, true}, {'F', true}, {'F', false}, {VK_MENU, false}});  // 文件(&F)
        OpensBeyond(this, 4);
        Tap(VK_ESCAPE);
        AwaitClosed(this);
    });
    ASSERT_TRUE(finished);
    EXPECT_EQ(Opened(), (std::vector<HMENU>{speed_, rank_, speed_, rank_}));

    EnableMenuItem(bar, 2, MF_BYPOSITION | MF_GRAYED);
    EnableMenuItem(bar, 3, MF_BYPOSITION | MF_GRAYED);
    finished = test::RunScript([&] {
        Tap(VK_MENU);
        OpensBeyond(this, 4);
        Tap(VK_F10);
        OpensBeyond(this, 4);
        Tap(VK_ESCAPE);
        AwaitClosed(this);
    });
    ASSERT_TRUE(finished);
    EXPECT_EQ(OpenedCount(), 4u) << "every title greyed: nothing opens";
    EXPECT_EQ(Bar().PressedTitle(), 0);
}

TEST_F(MenuBarTest, ShortcutsStillWorkAndALetterWithoutATitleOpensNothing) {
    Keys({{VK_CONTROL, true}, {'N', true}, {'N', false}, {VK_CONTROL, false}});
    // The program's own loop: shortcuts first.
    const auto end = GetTickCount64() + 5000;
    while (commands_.empty() && GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateAcceleratorW(hwnd_, accelerators_, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    EXPECT_EQ(commands_, (std::vector<UINT>{kNewGame}));
    Keys({{VK_MENU, true}, {'Q', true}, {'Q', false}, {VK_MENU, false}});
    ASSERT_TRUE(window_->AwaitInput());
    EXPECT_TRUE(Opened().empty());
}

// One drop-down item drawn by the bar into a surface of its own.
Capture DrawItem(HWND hwnd, HMENU menu, UINT position, UINT state, int w, int h) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    return test::CaptureOf(w, h, [&](HDC dc) {
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemID = info.wID;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = state;
        dis.hwndItem = reinterpret_cast<HWND>(menu);
        dis.hDC = dc;
        dis.rcItem = RECT{0, 0, w, h};
        dis.itemData = info.dwItemData;
        SendMessageW(hwnd, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    });
}

SIZE Measure(HWND hwnd, HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_DATA;
    GetMenuItemInfoW(menu, position, TRUE, &info);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemID = info.wID;
    mis.itemData = info.dwItemData;
    SendMessageW(hwnd, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
    return SIZE{static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
}

struct Record {
    UINT type, id;
    ULONG_PTR data;
    std::wstring text;
    bool operator==(const Record&) const = default;
};

std::vector<Record> Records(HMENU menu) {
    std::vector<Record> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        out.push_back({info.fType, info.wID, info.dwItemData, text});
    }
    return out;
}

// Pixels lighter / clearly darker than the menu background (the highlight
// colour may be only a little lighter than the button face).
int Sum(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }
int Lighter(const Capture& c, COLORREF base) {
    int n = 0;
    for (COLORREF p : c.pixels)
        if (Sum(p) > Sum(base) + 6 && GetRValue(p) >= GetRValue(base) && GetBValue(p) >= GetBValue(base)) ++n;
    return n;
}
int Darker(const Capture& c, COLORREF base) {
    int n = 0;
    for (COLORREF p : c.pixels)
        if (Sum(p) + 60 < Sum(base)) ++n;
    return n;
}
int Bluish(const Capture& c, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < c.height; ++y)
        for (int x = x0; x < x1; ++x)
            if (GetBValue(c.At(x, y)) > GetRValue(c.At(x, y)) + 40) ++n;
    return n;
}

TEST_F(MenuBarTest, DropDownItemsAreOwnerDrawnWithMarlettMarksAShortcutColumnEmbossingAndComeBackAfterwards) {
    const std::vector<Record> before = Records(file_);
    SendMessageW(hwnd_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file_), 0);
    for (const Record& r : Records(file_)) {
        EXPECT_TRUE(r.type & MFT_OWNERDRAW);
    }

    // Sizes: widest caption (+ widest shortcut) plus the margins.
    HDC screen = GetDC(nullptr);
    UniqueFont font = CreateSkinFont(Song(), screen);
    HGDIOBJ old = SelectObject(screen, font.get());
    auto width = [&](const wchar_t* s) {
        RECT r{0, 0, 0, 0};
        DrawTextW(screen, s, -1, &r, DT_CALCRECT | DT_SINGLELINE);
        return static_cast<int>(r.right);
    };
    int widest = 0;
    for (const wchar_t* s : {L"新游戏(&N)", L"汉字(&C)", L"英文(&E)", L"联网(&W)", L"退出(&X)"})
        widest = std::max(widest, width(s));
    const int shortcut = width(L"Ctrl+N");
    TEXTMETRICW tm{};
    GetTextMetricsW(screen, &tm);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const SIZE item = Measure(hwnd_, file_, 0);
    EXPECT_EQ(item.cx, widest + shortcut + 38);
    EXPECT_EQ(item.cy, tm.tmHeight + 8);
    EXPECT_EQ(Measure(hwnd_, file_, 1).cy, 6) << "separator";

    const int w = item.cx, h = item.cy;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    // Check marks: Marlett "b" for a check, "h" for a radio item, in a sunken box.
    const Capture radio = DrawItem(hwnd_, file_, 2, ODS_CHECKED, w, h);
    const Capture check = DrawItem(hwnd_, file_, 3, ODS_CHECKED, w, h);
    const Capture plain = DrawItem(hwnd_, file_, 3, 0, w, h);
    const int side = h - 8;
    auto glyph = [&](const wchar_t* g) {
        return test::CaptureOf(w, h, [&](HDC dc) {
            RECT all{0, 0, w, h};
            FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
            StdFont marlett;
            marlett.Name = L"Marlett";
            marlett.Size = 9 * 1.2;
            marlett.Charset = SYMBOL_CHARSET;
            UniqueFont f = CreateSkinFont(marlett, dc);
            HGDIOBJ o = SelectObject(dc, f.get());
            wchar_t face_name[LF_FACESIZE] = {};
            GetTextFaceW(dc, LF_FACESIZE, face_name);
            EXPECT_STREQ(face_name, L"Marlett") << "the symbol font is there";
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, kMenuBlue);
            RECT box{6, 4, 6 + side + 1, h - 4};
            DrawTextW(dc, g, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            SelectObject(dc, o);
        });
    };
    const Capture b = glyph(L"b"), hmark = glyph(L"h");
    int differ_b = 0, differ_h = 0, inked = 0;
    for (int y = 5; y < h - 5; ++y)
        for (int x = 7; x < 6 + side; ++x) {
            differ_b += check.At(x, y) != b.At(x, y);
            differ_h += radio.At(x, y) != hmark.At(x, y);
            inked += check.At(x, y) != face;
        }
    EXPECT_EQ(differ_b, 0);
    EXPECT_EQ(differ_h, 0);
    EXPECT_GT(inked, 3);
    EXPECT_EQ(check.At(6, 4), GetSysColor(COLOR_BTNSHADOW)) << "sunken box";
    EXPECT_EQ(plain.Count(face, 0, 0, 24, h), 24 * h) << "no mark when not checked";

    // Caption from x 24, shortcut in its own column.
    const Capture with_shortcut = DrawItem(hwnd_, file_, 0, 0, w, h);
    const int column = 24 + widest + 8;
    EXPECT_GT(Bluish(with_shortcut, 24, column - 8), 10);
    EXPECT_GT(Bluish(with_shortcut, column, w), 10);
    EXPECT_EQ(Bluish(plain, column, w), 0);

    // Highlighted: ActiveMenuColorOver and a raised frame; disabled: embossed, never highlighted.
    const Capture hot = DrawItem(hwnd_, file_, 0, ODS_SELECTED, w, h);
    EXPECT_EQ(hot.At(2, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(Bluish(hot, 24, w), 0);
    int red = 0;
    for (COLORREF p : hot.pixels) red += GetRValue(p) > GetBValue(p) + 60;
    EXPECT_GT(red, 10);
    const Capture greyed = DrawItem(hwnd_, file_, 4, ODS_GRAYED | ODS_SELECTED, w, h);
    EXPECT_EQ(Bluish(greyed, 0, w), 0);
    EXPECT_GT(Lighter(greyed, face), 5);
    EXPECT_GT(Darker(greyed, face), 5);
    EXPECT_EQ(greyed.At(2, 0), face) << "no frame on a disabled item";
    const Capture separator = DrawItem(hwnd_, file_, 1, 0, w, 6);
    EXPECT_EQ(separator.At(w / 2, 2), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(separator.At(w / 2, 3), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(separator.At(4, 2), face) << "8 pixels in from the sides";

    // Letters after "&" pick items even though the system cannot read owner-drawn texts.
    EXPECT_EQ(SendMessageW(hwnd_, WM_MENUCHAR, MAKEWPARAM(L'x', MF_POPUP), reinterpret_cast<LPARAM>(file_)),
              MAKELRESULT(5, MNC_EXECUTE));
    EXPECT_EQ(SendMessageW(hwnd_, WM_MENUCHAR, MAKEWPARAM(L'E', MF_POPUP), reinterpret_cast<LPARAM>(file_)),
              MAKELRESULT(3, MNC_EXECUTE));

    SendMessageW(hwnd_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file_), 0);  // again in the same mode
    SendMessageW(hwnd_, WM_EXITMENULOOP, 0, 0);
    EXPECT_EQ(Records(file_), before);
}

TEST_F(MenuBarTest, AfterARealMenuModeEveryOpenedItemIsRestored) {
    const std::vector<Record> file_before = Records(file_), speed_before = Records(speed_);
    const POINT t1 = TitleSpot(1), t2 = TitleSpot(2);
    bool finished = test::RunScript([&] {
        test::MouseToVia(hwnd_, t1.x, t1.y);
        test::LeftButton(true);
        test::LeftButton(false);
        if (!AwaitOpened(this, 1)) return;
        Tap(VK_DOWN);
        Tap(VK_DOWN);  // past the separator to 汉字
        if (!test::WaitFor([&] { return (GetMenuState(file_, 2, MF_BYPOSITION) & MF_HILITE) != 0; })) return;
        test::MouseToVia(hwnd_, t2.x, t2.y);
        if (!AwaitOpened(this, 2)) return;
        Tap(VK_DOWN);
        Tap(VK_RETURN);  // picks 一速
        AwaitClosed(this);
    });
    ASSERT_TRUE(finished);
    ASSERT_TRUE(window_->AwaitPosted());
    EXPECT_EQ(commands_, (std::vector<UINT>{kSpeed1}));
    EXPECT_EQ(Records(file_), file_before);
    EXPECT_EQ(Records(speed_), speed_before);
}

}  // namespace
}  // namespace quorlax::skin
