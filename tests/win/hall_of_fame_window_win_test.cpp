// The hall-of-fame window for real: placement, focus, name entry through the
// edit control and the OK button, the ranking menu.
#include "scores/hall_of_fame.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

class HallOfFameWindowTest : public MainWindowTest {
protected:
    HWND Hof() { return window_->Scores().HallOfFame()->Handle(); }
    HWND NameBox() { return window_->Scores().HallOfFame()->NameBox(); }
    HWND Ok() { return window_->Scores().HallOfFame()->OkButton(); }
    std::wstring Stored(const wchar_t* key) { return fakes_.settings.Get(kSectionHallOfFame, key); }
    void EndGame(const wchar_t* score) {
        form().game.scoreLabel.SetCaption(score);
        form().game.livesLabel.SetCaption(L"0");
        PumpPending();
    }
};

TEST_F(HallOfFameWindowTest, GameOverOpensItTopmostAtItsPlaceWithTheNameBoxFocused) {
    Choose(form().game.chineseGameItem);
    EndGame(L"700");
    ASSERT_NE(Hof(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Hof()));
    EXPECT_EQ(drive::WindowText(Hof()), L"    英   雄   榜");
    EXPECT_TRUE(GetWindowLongW(Hof(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r{};
    GetWindowRect(Hof(), &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 130);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(GetFocus(), NameBox());
    EXPECT_EQ(drive::WindowText(NameBox()), L"姓名");
    RECT client{}, ok{};
    GetClientRect(Hof(), &client);
    GetWindowRect(Ok(), &ok);
    MapWindowPoints(nullptr, Hof(), reinterpret_cast<POINT*>(&ok), 2);
    EXPECT_LE(ok.bottom, client.bottom) << "the OK button can be reached";
}

TEST_F(HallOfFameWindowTest, ANameTypedAndOkEntersTheTotalOnce) {
    Choose(form().game.englishGameItem);
    EndGame(L"1500");
    SetWindowTextW(NameBox(), L"小明");
    EXPECT_EQ(form().scores.hallOfFame.nameBox.Text(), L"小明");
    // Clicking into the main window and back loses the focus once more.
    SetFocus(window_->Game().TypingBox());
    SetFocus(NameBox());
    SendMessageW(Ok(), BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(Stored(L"ym1"), L"小明");
    EXPECT_EQ(Stored(L"yf1"), L"1500");
    EXPECT_EQ(Stored(L"ym2"), L"") << "entered once";
    EXPECT_EQ(window_->Scores().HallOfFame()->Handle(), nullptr) << "OK closes the window";
    EXPECT_FALSE(form().scores.hallOfFame.Loaded());
}

TEST_F(HallOfFameWindowTest, EnterInTheNameBoxConfirmsLikeOk) {
    Choose(form().game.digitsGameItem);
    EndGame(L"800");
    SetWindowTextW(NameBox(), L"Ann");
    PostMessageW(NameBox(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_TRUE(PumpUntil([&] { return !form().scores.hallOfFame.Loaded(); })) << "Enter closes it";
    EXPECT_EQ(Stored(L"sm1"), L"Ann");
    EXPECT_EQ(Stored(L"sf1"), L"800");
}

TEST_F(HallOfFameWindowTest, NamesLongerThanTheLimitAreCut) {
    Choose(form().game.englishGameItem);
    EndGame(L"100");
    SendMessageW(NameBox(), EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"abcdefghijklmnopqrst")) SendMessageW(NameBox(), WM_CHAR, c, 1);
    EXPECT_EQ(form().scores.hallOfFame.nameBox.Text(), L"abcdefghijkl");
}

TEST_F(HallOfFameWindowTest, TheRankingMenuShowsTheTablesWhileTheGameGoesOn) {
    fakes_.settings.Save(kSectionHallOfFame, L"f1", L"900");
    fakes_.settings.Save(kSectionHallOfFame, L"m1", L"甲");
    Choose(form().game.speedItems(10));
    Choose(form().game.chineseGameItem);
    Choose(form().scores.rankingItem);
    ASSERT_NE(Hof(), nullptr);
    EXPECT_FALSE(IsWindowVisible(NameBox()));
    EXPECT_EQ(form().scores.hallOfFame.nameCells[0][0].Caption(), L"甲");
    float top = form().game.fallingLabels(1).Top;
    EXPECT_TRUE(PumpUntil([&] { return form().game.fallingLabels(1).Top > top; })) << "the game did not stop";
    auto shot = drive::PrintClient(Hof());
    EXPECT_GT(shot.width, 0);
}

// Names edited into the registry may be of any length: each is cut at its
// column, and everything outside the name columns reads as with short names.
TEST_F(HallOfFameWindowTest, AVeryLongNameStaysInsideItsColumn) {
    auto shotWithNames = [&](const std::wstring& name) {
        for (const wchar_t* key : {L"m1", L"sm1"}) fakes_.settings.Save(kSectionHallOfFame, key, name);
        fakes_.settings.Save(kSectionHallOfFame, L"f1", L"900");
        fakes_.settings.Save(kSectionHallOfFame, L"sf1", L"900");
        Choose(form().scores.rankingItem);
        PumpPending();
        EXPECT_EQ(form().scores.hallOfFame.nameCells[0][0].Caption(), name);
        auto shot = drive::PrintClient(Hof());
        form().scores.hallOfFame.Unload();
        PumpPending();
        return shot;
    };
    const auto plain = shotWithNames(L"甲");
    const auto longNames = shotWithNames(std::wstring(2000, L'鬼'));
    ASSERT_EQ(plain.pixels.size(), longNames.pixels.size());
    ASSERT_GT(plain.pixels.size(), 0u);

    const int dpi = drive::ScreenDpi();
    auto px = [&](float twips) {
        return static_cast<int>(twips * dpi / 1440.0 + 0.5);
    };  // as the painter rounds
    const HallOfFameForm& f = form().scores.hallOfFame;
    auto inNameColumn = [&](int x, int y) {
        if (y < px(1350) || y >= px(3570)) return false;
        for (int t = 0; t < 3; ++t)
            if (x >= px(f.nameCells[t][0].Left) &&
                x < px(f.nameCells[t][0].Left + f.nameCells[t][0].Width + 60) - 2)
                return true;
        return false;
    };
    int changedInside = 0, changedOutside = 0;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x)
            if (plain.At(x, y) != longNames.At(x, y)) ++(inNameColumn(x, y) ? changedInside : changedOutside);
    EXPECT_GT(changedInside, 0) << "the long names are drawn";
    EXPECT_EQ(changedOutside, 0) << "nothing beyond the name columns, the neighbouring tables or the frame";
}

TEST_F(HallOfFameWindowTest, ClosingTheMainWindowClosesItToo) {
    Choose(form().scores.rankingItem);
    HWND hof = Hof();
    ASSERT_TRUE(IsWindow(hof));
    Choose(form().exitItem);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hof); }));
}

}  // namespace
}  // namespace quorlax::win
