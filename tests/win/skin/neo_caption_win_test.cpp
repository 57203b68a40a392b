// The caption painter by its pixels: artwork, tiles, title and buttons drawn
// from synthetic strips, button clicks, and attaching as the game does.
#include "skin/neo_caption_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "win/skin/skin_pictures.h"
#include "win/skin/skin_test_support.h"

namespace quorlax::skin {
namespace {

using test::BorderPixel;
using test::CaptionPixel;
using test::Capture;
using test::OnScreen;
using test::Pump;
using test::PumpUntil;
using test::TestWindow;

constexpr int W = test::kGameWidth, H = test::kGameHeight;
constexpr COLORREF kWhite = RGB(255, 255, 255);      // ActiveCaptionColor &H00FFFFFF
constexpr COLORREF kPaleGreen = RGB(192, 255, 192);  // InActiveCaptionColor &H00C0FFC0

// The game's skin settings, as its main window makes them at load.
void SetupSkin(cNeoCaption& c) {
    c.ActiveCaptionColor(0x00FFFFFF);
    c.InActiveCaptionColor(0x00C0FFC0);
    c.ActiveMenuColor(0x00C00000);
    c.ActiveMenuColorOver(0x000000FF);
    c.MenuBackgroundColor(0x8000000F);
    StdFont song;
    song.Name = L"宋体";
    song.Size = 9;
    c.CaptionFont(song);
    c.MenuFont(song);
}

// Title pixels drawn in `colour` (white or pale green: both full green) over
// the caption's middle and right pieces, where the artwork's green is the
// row number and its blue 0x80. A pixel's coverage shows in its green; its
// blue must be what that coverage of `colour` gives over 0x80.
int TitleInk(const Capture& c, COLORREF colour) {
    int n = 0;
    for (int y = 11; y < 29; ++y)
        for (int x = 92; x < W - 96; ++x) {
            const COLORREF p = c.At(x, y);
            const double coverage = (GetGValue(p) - y) / static_cast<double>(255 - y);
            if (coverage < 0.35) continue;
            const double blue = 0x80 + coverage * (GetBValue(colour) - 0x80);
            if (std::abs(GetBValue(p) - blue) <= 10) ++n;
        }
    return n;
}

class CaptionTest : public ::testing::Test {
protected:
    void Make(DWORD style, int width = W, int height = H) {
        window_ = std::make_unique<TestWindow>(style, width, height, L"Quorlax 打字");
        ASSERT_TRUE(window_->hwnd());
        hwnd_ = window_->hwnd();
        window_->OnMessage = [](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == WM_CLOSE || msg == WM_SYSCOMMAND) return 0;
            return std::nullopt;
        };
        caption_ = std::make_unique<cNeoCaption>();
        SetupSkin(*caption_);
        caption_->Attach(hwnd_, strip_, border_, 19, 20, 90, 140, 240, 400);
        window_->Show();
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == hwnd_; }));
    }
    void TearDown() override {
        caption_.reset();
        window_.reset();
        DeleteObject(strip_);
        DeleteObject(border_);
        Pump(10);
    }
    // What the painter draws for the window as it is now.
    Capture Painted() {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        return test::CaptureOf(w, h, [&](HDC dc) { caption_->NCPaint(dc, 0, 0, w, h); });
    }
    int SysCommands(WPARAM command) {
        int n = 0;
        for (const auto& l : window_->log)
            if (l.msg == WM_SYSCOMMAND && (l.wp & 0xFFF0) == command) ++n;
        return n;
    }
    // Checks a 19 x 20 glyph at (x, y) against the strip's glyph at (column, row).
    static bool GlyphShows(const Capture& c, int x, int y, int column, int row) {
        for (int j = 0; j < 20; j += 3)
            for (int i = 0; i < 19; i += 3)
                if (c.At(x + i, y + j) != CaptionPixel(column + i, row + j)) return false;
        return true;
    }
    void ExpectGlyph(const Capture& c, int x, int y, int column, int row) {
        for (int j = 0; j < 20; j += 3)
            for (int i = 0; i < 19; i += 3)
                ASSERT_EQ(c.At(x + i, y + j), CaptionPixel(column + i, row + j)) << x + i << "," << y + j;
    }

    HBITMAP strip_ = test::MakeCaptionStrip();
    HBITMAP border_ = test::MakeBorderStrip();
    std::unique_ptr<TestWindow> window_;
    std::unique_ptr<cNeoCaption> caption_;
    HWND hwnd_ = nullptr;
};

TEST_F(CaptionTest, ActiveFrameIsTheActiveArtworkTheTilesTheBoldTitleAndTheButtons) {
    Make(test::kGameStyle);
    const Capture shown = test::CaptureWindow(hwnd_);  // what WM_NCPAINT put on the window
    EXPECT_EQ(shown.At(5, 3), CaptionPixel(5, 3));
    EXPECT_EQ(shown.At(W - 1, 300), BorderPixel(40, (300 - 48) % 10));
    const Capture c = Painted();
    for (int y : {0, 11, 30, 47}) {
        for (int x : {0, 44, 89}) EXPECT_EQ(c.At(x, y), CaptionPixel(x, y)) << "left end " << x << "," << y;
        for (int d : {0, 40, 99})
            EXPECT_EQ(c.At(714 + d, y == 11 ? 40 : y), CaptionPixel(140 + d, y == 11 ? 40 : y));
    }
    for (int k : {0, 51, 52, 103, 600, 623}) EXPECT_EQ(c.At(90 + k, 44), CaptionPixel(91 + k % 52, 44)) << k;

    EXPECT_GT(c.Count(kWhite, 92, 11, W - 96, 29), 20) << "the title";
    EXPECT_EQ(c.Count(kWhite, 0, 0, W, 11) + c.Count(kWhite, 0, 29, W, 48), 0)
        << "nothing of it outside its row";

    ExpectGlyph(c, 789, 5, 241, 0);  // close
    ExpectGlyph(c, 769, 5, 297, 0);  // minimize closes up: no maximize box

    for (int y : {48, 57, 300, 575}) {
        EXPECT_EQ(c.At(0, y), BorderPixel(0, (y - 48) % 10)) << y;
        EXPECT_EQ(c.At(9, y), BorderPixel(9, (y - 48) % 10)) << y;
        EXPECT_EQ(c.At(W - 10, y), BorderPixel(40, (y - 48) % 10)) << y;
        EXPECT_EQ(c.At(W - 1, y), BorderPixel(49, (y - 48) % 10)) << y;
    }
    for (int y = H - 10; y < H; y += 3) {
        EXPECT_EQ(c.At(3, y), BorderPixel(20, y - (H - 10)));
        EXPECT_EQ(c.At(10, y), BorderPixel(30, y - (H - 10)));
        EXPECT_EQ(c.At(400, y), BorderPixel(30, y - (H - 10)));
        EXPECT_EQ(c.At(W - 3, y), BorderPixel(60, y - (H - 10)));
    }
}

TEST_F(CaptionTest, InactiveFrameUsesTheArtwork400ColumnsRightAndTheInactiveTitleColourAtItsOwnWeight) {
    Make(test::kGameStyle);
    const Capture active = Painted();
    SendMessageW(hwnd_, WM_NCACTIVATE, FALSE, 0);
    const Capture c = Painted();
    EXPECT_EQ(c.At(5, 3), CaptionPixel(405, 3));
    EXPECT_EQ(c.At(90, 44), CaptionPixel(491, 44));
    EXPECT_EQ(c.At(714 + 50, 44), CaptionPixel(590, 44));
    ExpectGlyph(c, 789, 5, 241, 0);  // the glyphs are the same
    EXPECT_EQ(TitleInk(c, kWhite), 0);
    const int inactive_title = TitleInk(c, kPaleGreen);
    EXPECT_GT(inactive_title, 40);
    EXPECT_GT(TitleInk(active, kWhite), inactive_title * 5 / 4) << "the active title is bold";
}

TEST_F(CaptionTest, AWindowNarrowerThan201PixelsDrawsNoTitleAndKeepsTheRightPieceAfterTheLeft) {
    Make(test::kGameStyle, 180, 120);
    const Capture c = Painted();
    EXPECT_EQ(c.At(101 + 5, 44), CaptionPixel(145, 44)) << "the right end piece starts at column 101";
    EXPECT_EQ(c.At(95, 44), CaptionPixel(91 + 5, 44));
    EXPECT_EQ(c.Count(kWhite, 0, 0, 180, 48), 0);
    ExpectGlyph(c, 176 - 20, 5, 297, 0);  // minimize left of close
}

TEST_F(CaptionTest, MissingMaximizeAndMinimizeButtonsAreNeitherDrawnNorHitAndTheRestCloseUp) {
    Make(WS_OVERLAPPEDWINDOW);
    Capture c = Painted();
    ExpectGlyph(c, 789, 5, 241, 0);
    ExpectGlyph(c, 769, 5, 278, 0);  // maximize
    ExpectGlyph(c, 749, 5, 297, 0);  // minimize
    POINT p = OnScreen(hwnd_, 755, 15);
    EXPECT_EQ(SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTSYSMENU);

    SetWindowLongPtrW(hwnd_, GWL_STYLE, test::kGameStyle | WS_VISIBLE);
    c = Painted();
    ExpectGlyph(c, 769, 5, 297, 0);
    EXPECT_EQ(c.At(755, 44), CaptionPixel(140 + 41, 44)) << "right end piece where the minimize glyph was";
    EXPECT_EQ(SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCAPTION);

    SetWindowLongPtrW(hwnd_, GWL_STYLE, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);
    c = Painted();
    EXPECT_EQ(c.At(775, 15), CaptionPixel(140 + 61, 15)) << "no minimize glyph";
    p = OnScreen(hwnd_, 775, 15);
    EXPECT_EQ(SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTCAPTION);
    p = OnScreen(hwnd_, 30, 30);
    EXPECT_EQ(SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTSYSMENU)
        << "the system icon spot";
}

TEST_F(CaptionTest, AClickOnTheCloseGlyphPostsScCloseAndPressSlideOffReleasePostsNothing) {
    Make(test::kGameStyle);
    const POINT close = OnScreen(hwnd_, 798, 15);
    const POINT away = OnScreen(hwnd_, 400, 20);
    auto shows = [&](int row) { return GlyphShows(test::CaptureWindow(hwnd_), 789, 5, 241, row); };
    test::MouseTo(close.x, close.y);
    test::LeftButton(true);
    ASSERT_TRUE(PumpUntil([&] { return shows(20); }, 2000)) << "drawn pressed";
    test::LeftButton(false);
    ASSERT_TRUE(PumpUntil([&] { return SysCommands(SC_CLOSE) == 1; }, 2000));

    test::MouseTo(close.x, close.y);
    test::LeftButton(true);
    ASSERT_TRUE(PumpUntil([&] { return shows(20); }, 2000)) << "drawn pressed";
    test::MouseTo(away.x, away.y);
    EXPECT_TRUE(PumpUntil([&] { return shows(0); }, 2000)) << "drawn released once the pointer left it";
    test::LeftButton(false);
    ASSERT_TRUE(window_->AwaitInput());
    ASSERT_TRUE(window_->AwaitPosted());
    EXPECT_EQ(SysCommands(SC_CLOSE), 1);
    // Back on the button, a release alone (no press before it) does nothing either.
    test::MouseTo(close.x, close.y);
    ASSERT_TRUE(window_->AwaitInput());
    SendMessageW(hwnd_, WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(close.x, close.y));
    ASSERT_TRUE(window_->AwaitPosted());
    EXPECT_EQ(SysCommands(SC_CLOSE), 1);
}

TEST_F(CaptionTest, TheGameAttachesWithItsNativeMenuAndGetsItBackOnDetach) {
    window_ = std::make_unique<TestWindow>(test::kGameStyle, W, H, L"Quorlax");
    hwnd_ = window_->hwnd();
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 100, L"退出(&X)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件(&F)");
    SetMenu(hwnd_, bar);
    RECT plain{};
    GetClientRect(hwnd_, &plain);
    caption_ = std::make_unique<cNeoCaption>();
    SetupSkin(*caption_);
    caption_->Attach(hwnd_, strip_, border_, 19, 20, 90, 140, 240, 400);
    EXPECT_EQ(GetMenu(hwnd_), nullptr);
    EXPECT_EQ(caption_->hMenu(), bar);
    const SIZE size = caption_->WindowSizeFor(SIZE{794, 528});
    EXPECT_EQ(size.cx, W);
    EXPECT_EQ(size.cy, H);
    RECT c{};
    GetClientRect(hwnd_, &c);
    EXPECT_EQ(c.right, 794);
    EXPECT_EQ(c.bottom, 528);

    caption_->Detach();
    EXPECT_EQ(GetMenu(hwnd_), bar);
    GetClientRect(hwnd_, &c);
    EXPECT_EQ(c.bottom, plain.bottom) << "the system's caption and menu bar are back";
    caption_->Attach(hwnd_, strip_, border_, 19, 20, 90, 140, 240, 400);  // and again, as after a detach
    EXPECT_EQ(caption_->hMenu(), bar);
}

TEST(SkinFontTest, TheFaceNameIsTheWideNameCutAt31CharactersAndTheHeightComesFromThePoints) {
    HDC screen = GetDC(nullptr);
    StdFont song;
    song.Name = L"宋体";
    song.Size = 9;
    UniqueFont font = CreateSkinFont(song, screen);
    LOGFONTW lf{};
    ASSERT_TRUE(GetObjectW(font.get(), sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, L"宋体");
    EXPECT_EQ(lf.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
    EXPECT_EQ(lf.lfWeight, 400);

    song.Name = std::wstring(40, L'字');
    song.Size = 8.25;
    song.Bold = true;
    font = CreateSkinFont(song, screen);
    GetObjectW(font.get(), sizeof lf, &lf);
    EXPECT_EQ(std::wstring(lf.lfFaceName), std::wstring(31, L'字'));
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72));
    EXPECT_EQ(lf.lfWeight, 700);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace quorlax::skin
