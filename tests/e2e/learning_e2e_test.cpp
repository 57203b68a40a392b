// End-to-end runs of the real quorlax.exe under Wine on learning to type by
// five-stroke codes: the codes typed in a Chinese game and in practice (the
// hint line and the radical chart after a wrong key), the lessons' bands as
// the per-character record opens them, and the card at a run's end. Texts
// the program paints are read off the screen by drawing them in its own
// fonts and finding them there.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "core/board.h"
#include "core/stored_names.h"
#include "drive/drive_win.h"
#include "forms/render_win.h"
#include "practice/char_record.h"
#include "practice/radical_keys.h"
#include "practice/record_file.h"
#include "practice/run_card.h"
#include "practice/stats.h"

namespace quorlax::drive {
namespace {

constexpr wchar_t kMainClass[] = L"QuorlaxMainWindow";
constexpr wchar_t kBand1[] = L"王土大木工目日口田山禾白月人金言立水火之已子女又纟";  // the key names
constexpr wchar_t kBand2[] = L"一地在要上是中国同和的有我主产不为这民了发以经";  // 工 and 人 are key names
const COLORREF kBack = forms::Painter::Resolve(kDefaultBackColor);  // the window, the panels, the card
const COLORREF kText = forms::Painter::Resolve(forms::kYellow);     // labels, cells, the card's lines
// A chosen text keeps the colour the cells had since start-up.
const COLORREF kChosenText = forms::Painter::Resolve(forms::kWhite);
const COLORREF kKeyDueFrame = RGB(0xE0, 0, 0);
const COLORREF kKeyPressedFrame = RGB(0, 0x60, 0xE0);

int Px(float twips) { return TwipsToPixels(twips); }
RECT PxRect(float left, float top, float width, float height) {
    return {Px(left), Px(top), Px(left + width), Px(top + height)};
}
const RECT kPlayArea = PxRect(0, 0, 11835, 6390);
const RECT kLowerPanel = PxRect(0, 6480, 11865, 1485);  // the game's statistics, the practice panel
const RECT kChart = PxRect(1200, 3450, 9315, 2895);     // the radical chart, and the card over it

// Cell `i` (from 1) of the practice grid: 29 to a row.
RECT Cell(int i) { return PxRect(90 + (i - 1) % 29 * 400.f, 60 + (i - 1) / 29 * 450.f, 400, 400); }

// --- text on screen ---

// `text` as the program's painter draws it in `font`, in `colour` over `back`.
Capture Drawn(const std::wstring& text, const forms::Font& font, COLORREF colour, COLORREF back) {
    static forms::Painter painter(GetModuleHandleW(nullptr), ScreenDpi());
    HFONT face = painter.FontFor(font);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, face);
    SIZE size{};
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return CaptureOf(size.cx, size.cy, [&](HDC mem) {
        const RECT all{0, 0, size.cx, size.cy};
        HBRUSH brush = CreateSolidBrush(back);
        FillRect(mem, &all, brush);
        DeleteObject(brush);
        SelectObject(mem, face);
        SetBkMode(mem, TRANSPARENT);
        SetTextColor(mem, colour);
        ExtTextOutW(mem, 0, 0, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    });
}

// Whether `text` shows somewhere inside `area`, drawn in `font` and
// `colour` over the window's.
bool Shows(const Capture& shot, const RECT& area, const std::wstring& text, const forms::Font& font,
           COLORREF colour = kText) {
    const Capture t = Drawn(text, font, colour, kBack);
    for (int top = area.top; top + t.height <= std::min<int>(area.bottom, shot.height); ++top)
        for (int left = area.left; left + t.width <= std::min<int>(area.right, shot.width); ++left) {
            bool same = true;
            for (int y = 0; y < t.height && same; ++y)
                for (int x = 0; x < t.width && same; ++x)
                    same = ColourDistance(shot.At(left + x, top + y), t.At(x, y)) < 30;
            if (same) return true;
        }
    return false;
}

bool ShowsOnScreen(HWND main, const RECT& area, const std::wstring& text, const forms::Font& font) {
    return Shows(CaptureClient(main), area, text, font);
}

const forms::Font kCellFont{L"宋体", 18};

// The character of `candidates` that cell `i` shows in `colour`; 0 for none of them.
wchar_t CellShows(const Capture& shot, int i, std::wstring_view candidates, COLORREF colour = kText) {
    RECT around = Cell(i);
    InflateRect(&around, 2, 2);
    for (wchar_t c : candidates)
        if (Shows(shot, around, std::wstring(1, c), kCellFont, colour)) return c;
    return 0;
}

// --- the program and its files ---

std::wstring InFolder(const std::wstring& folder, const wchar_t* name) { return folder + L"\\" + name; }

std::wstring RecordFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path) + L"\\Quorlax" : std::wstring();
}

std::wstring ScratchFolder() {
    wchar_t tmp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tmp);
    return std::wstring(tmp) + L"quorlax_learning";
}

const std::wstring kChoicesKey = std::wstring(L"Software\\Quorlax\\") + kChoicesSection;

std::wstring CodeModeStored() {
    wchar_t value[16] = {};
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kChoicesKey.c_str(), kCodeModeKey, RRF_RT_REG_SZ, nullptr, value,
                     &bytes) != ERROR_SUCCESS)
        return L"<absent>";
    return value;
}

void StoreCodeMode() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kChoicesKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, kCodeModeKey, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 2 * sizeof(wchar_t));
    RegCloseKey(key);
}

// Starts the program in `folder`; its main window, or null.
HWND Launch(Process& game, const std::wstring& folder = ExeFolder()) {
    return game.Start(InFolder(folder, L"quorlax.exe"), folder) ? WaitForWindowOf(game.Id(), kMainClass)
                                                                : nullptr;
}

// Closes the window as its close box does.
bool Close(Process& game, HWND main) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    return game.Wait(20000) == 0;
}

// 练习 › 选择 (Ctrl+G), answered with `path` in the open-file dialog.
bool ChooseText(const Process& game, HWND main, const std::wstring& path) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetForegroundWindow(main);
        WaitFor([&] { return GetForegroundWindow() == main; }, 2000);
        PressCtrl(main, 'G');
        HWND dialog = nullptr, name = nullptr;
        if (!WaitFor(
                [&] {
                    dialog = FindWindowOf(game.Id(), L"#32770");
                    name = dialog ? FindShownChild(dialog, L"Edit") : nullptr;
                    return name != nullptr;
                },
                4000))
            continue;
        // The dialog may still be filling its boxes: the name goes in until it takes.
        return WaitFor(
            [&] {
                if (!IsWindow(dialog)) return true;
                SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
                PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                return WaitFor([&] { return !IsWindow(dialog); }, 1000);
            },
            15000);
    }
    return false;
}

// Everything the program keeps for its player, and the stored code mode,
// gone before and after each run: no record is left in the prefix.
class LearningEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        Clean();
        CreateDirectoryW(RecordFolder().c_str(), nullptr);
        CreateDirectoryW(ScratchFolder().c_str(), nullptr);
    }
    void TearDown() override { Clean(); }

    // A file of the scratch folder, removed with it.
    std::wstring Remember(const wchar_t* name) {
        scratch_.push_back(InFolder(ScratchFolder(), name));
        return scratch_.back();
    }
    std::wstring Scratch(const wchar_t* name, const std::string& bytes) {
        const std::wstring path = Remember(name);
        EXPECT_TRUE(WriteWholeFile(path, bytes));
        return path;
    }

private:
    void Clean() {
        for (const RecordFileNames& names : {kHistoryFiles, kCharRecordFiles, kKeyRecordFiles})
            for (const wchar_t* name : {names.file, names.old, names.pending, names.backup})
                DeleteFileW(InFolder(RecordFolder(), name).c_str());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kChoicesKey.c_str(), kCodeModeKey);
        for (const std::wstring& path : scratch_) DeleteFileW(path.c_str());
        scratch_.clear();
        RemoveDirectoryW(ScratchFolder().c_str());
    }
    std::vector<std::wstring> scratch_;
};

// --- typing by codes in a game ---

TEST_F(LearningEndToEnd, CodesTypedInAChineseGameShootTheWordTheySpell) {
    // A copy of the program whose word pool holds only 中国.
    const std::wstring folder = ScratchFolder();
    for (const wchar_t* name : {L"quorlax.exe", kCodeTableFile, L"wubi86-codes.txt", L"hit.wav"}) {
        ASSERT_TRUE(CopyFileW(InFolder(ExeFolder(), name).c_str(), Remember(name).c_str(), FALSE));
    }
    std::string pool;
    for (int i = 0; i < 20; ++i) pool += " \xD6\xD0\xB9\xFA";  // 中国 in GBK
    Scratch(kWordPoolFile, pool + " \r\n");

    Process game;
    HWND main = Launch(game, folder);
    ASSERT_NE(main, nullptr);
    // 设置 › 五笔编码输入, kept for the next start.
    ASSERT_TRUE(PressCtrlUntil(main, 'W', [] { return CodeModeStored() == L"1"; }));
    // 游戏 › 汉字.
    ASSERT_TRUE(PressCtrlUntil(main, 'H', [&] { return CountOnScreen(main, kPlayArea, kText) > 200; }));
    HWND box = FindShownChild(main, L"Edit");
    ASSERT_NE(box, nullptr) << "the typing box";

    // The score's row of the panel, above the bonus.
    const RECT scoreRow = PxRect(0, 6480, 4500, 700);
    const forms::Font scoreFont{L"宋体", 14.25f, true};
    auto scored = [&](const wchar_t* score) {
        return WaitFor([&] { return ShowsOnScreen(main, scoreRow, score, scoreFont); }, 10000);
    };
    // A character's code completed by Space, then one at its fourth letter.
    TypeText(L"khk ");
    EXPECT_TRUE(WaitFor([&] { return ControlText(box) == L"中"; }, 5000)) << ControlText(box);
    TypeText(L"lgyi");
    EXPECT_TRUE(scored(L"200")) << "中国 shot down";
    EXPECT_EQ(ControlText(box), L"");
    // First-level short codes.
    TypeText(L"k ");
    EXPECT_TRUE(WaitFor([&] { return ControlText(box) == L"中"; }, 5000)) << ControlText(box);
    TypeText(L"l ");
    EXPECT_TRUE(scored(L"400"));
    // The word's own code.
    TypeText(L"khlg");
    EXPECT_TRUE(scored(L"600"));
    EXPECT_TRUE(Close(game, main));
}

// --- typing by codes in practice ---

const std::string kWangGong = "\xE7\x8E\x8B\xE5\xB7\xA5";  // 王工 in UTF-8

TEST_F(LearningEndToEnd, PracticeByCodesJudgesEachKeyAndNamesAWrongOneOnTheHintLineAndTheChart) {
    const std::wstring text = Scratch(L"wanggong.txt", kWangGong);
    StoreCodeMode();  // as a choice of an earlier start
    Process game;
    HWND main = Launch(game);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ChooseText(game, main, text));
    ASSERT_TRUE(WaitFor([&] { return CellShows(CaptureClient(main), 2, L"工", kChosenText) == L'工'; }));

    // 显示字根表, clicked.
    const RECT link = PxRect(3210, 6480 + 510, 1500, 285);
    const LPARAM at = MAKELPARAM((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    PostMessageW(main, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(main, WM_LBUTTONUP, 0, at);
    const int chartArea = (kChart.right - kChart.left) * (kChart.bottom - kChart.top);
    ASSERT_TRUE(WaitFor([&] { return CountOnScreen(main, kChart, kBack) < chartArea / 4; }))
        << "the chart shown";

    // 王 by its full code.
    const COLORREF correct = forms::Painter::Resolve(CorrectTextColor(forms::kYellow));
    TypeText(L"gggg");
    EXPECT_TRUE(WaitFor([&] { return CountOnScreen(main, Cell(1), correct) > 20; }, 5000))
        << "王 typed right";
    const int half = (Cell(2).right - Cell(2).left) * (Cell(2).bottom - Cell(2).top) / 2;
    EXPECT_LT(CountOnScreen(main, Cell(1), RGB(255, 0, 0)), half);

    // 工 is a, aaa or aaaa: the fourth key pressed wrong.
    TypeText(L"aaab");
    ASSERT_TRUE(WaitFor([&] { return CountOnScreen(main, Cell(2), RGB(255, 0, 0)) > half; }, 5000))
        << "工's cell turned red";
    const Capture shot = CaptureClient(main);
    EXPECT_TRUE(Shows(shot, kLowerPanel, L"工 a / aaa / aaaa：第 4 键应为 a，按了 b", {L"宋体", 10.5f}))
        << "the hint line names the key due and the key pressed";
    forms::Control chart;
    chart.Place(1200, 3450, 9315, 2895);
    auto onKey = [&](wchar_t key, COLORREF frame) {
        const forms::Control k = *KeyOnChart(key, chart);
        return shot.Count(frame, Px(k.Left), Px(k.Top), Px(k.Left + k.Width), Px(k.Top + k.Height));
    };
    const int frame = Px(900) * 4;  // a frame one pixel wide around the key
    EXPECT_GT(onKey(L'a', kKeyDueFrame), frame) << "A framed as the key due";
    EXPECT_GT(onKey(L'b', kKeyPressedFrame), frame) << "B marked as the key pressed";
    EXPECT_EQ(onKey(L'b', kKeyDueFrame) + onKey(L'a', kKeyPressedFrame), 0);
    EXPECT_TRUE(game.Running());
}

// --- lessons ---

// A record in which every key-name character has `attempts` sure and fast
// attempts, but 王 has `wangAttempts`.
std::string KeyNamesLearnt(int attempts, int wangAttempts) {
    std::vector<Attempt> typed;
    for (const wchar_t* c = kBand1; *c; ++c)
        for (int i = 0; i < (*c == L'王' ? wangAttempts : attempts); ++i)
            typed.push_back({*c, false, 400, -1});
    CharRecord record;
    record.Apply(typed, Today(), TargetMs(kDefaultTargetSpeed));
    return record.Format();
}

// 练习 › 入门 (Ctrl+L) in a fresh start: what the first row shows clear of
// the blinking cursor (cells 3 to 29), as characters of `candidates` (0 for
// any other).
std::wstring LessonRow(std::wstring_view candidates) {
    Process game;
    HWND main = Launch(game);
    if (!main) return L"<no window>";
    const RECT row1{Cell(1).left, Cell(1).top, Cell(29).right, Cell(29).bottom};
    if (!PressCtrlUntil(main, 'L', [&] { return CountOnScreen(main, row1, kText) > 200; }))
        return L"<no lesson>";
    const Capture shot = CaptureClient(main);
    std::wstring row;
    for (int i = 3; i <= 29; ++i) row += CellShows(shot, i, candidates);
    Close(game, main);
    return row;
}

TEST_F(LearningEndToEnd, ALessonMovesOnToTheShortCodesOnceEveryKeyNameIsTypedThreeTimesSureAndFast) {
    const std::wstring both = std::wstring(kBand1) + kBand2;
    auto count = [](const std::wstring& row, std::wstring_view of) {
        return std::count_if(row.begin(), row.end(), [&](wchar_t c) { return c && of.find(c) != of.npos; });
    };
    // No record yet: the key names alone.
    std::wstring row = LessonRow(both);
    EXPECT_EQ(count(row, kBand1), 27) << row.c_str();

    const std::wstring chars = InFolder(RecordFolder(), kCharRecordFiles.file);
    ASSERT_TRUE(WriteWholeFile(chars, KeyNamesLearnt(3, 2)));
    row = LessonRow(both);
    EXPECT_EQ(count(row, kBand1), 27) << "王 has two attempts only: " << row.c_str();

    ASSERT_TRUE(WriteWholeFile(chars, KeyNamesLearnt(3, 3)));
    row = LessonRow(both);
    EXPECT_EQ(count(row, both), 27) << "every piece of the lesson is of the bands in play: " << row.c_str();
    // Each piece, of up to four characters, holds a short code's character.
    EXPECT_GE(count(row, kBand2), 6);
}

// --- the card at a run's end ---

TEST_F(LearningEndToEnd, EndingARunShowsItsCardOverTheGridUntilAKey) {
    const std::wstring text = Scratch(L"wanggongtu.txt", kWangGong + "\xE5\x9C\x9F");  // 王工土
    Process game;
    HWND main = Launch(game);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(ChooseText(game, main, text));
    ASSERT_TRUE(WaitFor([&] { return CellShows(CaptureClient(main), 2, L"工", kChosenText) == L'工'; }));
    const int half = (Cell(2).right - Cell(2).left) * (Cell(2).bottom - Cell(2).top) / 2;
    TypeText(L"王大土");
    ASSERT_TRUE(WaitFor([&] { return CountOnScreen(main, Cell(2), RGB(255, 0, 0)) > half; }, 5000));
    EXPECT_EQ(CountOnScreen(main, kChart, kText), 0) << "nothing over the empty rows yet";

    // 练习 › 结束.
    const forms::Font line{L"宋体", 12};
    ASSERT_TRUE(PressCtrlUntil(main, 'T', [&] {
        return ShowsOnScreen(main, kChart, kCardTitle, {L"黑体", 14.25f});
    })) << "the card";
    const Capture card = CaptureClient(main);
    EXPECT_TRUE(Shows(card, kChart, L"打错的字：工 aaaa", line)) << "the miss, with its code";
    forms::Font link = line;
    link.Underline = true;
    EXPECT_TRUE(Shows(card, kChart, kCardDrill, link)) << "the drill of the run's misses offered";

    PressKey(VK_RIGHT);
    EXPECT_TRUE(WaitFor([&] { return CountOnScreen(main, kChart, kText) == 0; }, 5000)) << "a key closed it";
    EXPECT_TRUE(game.Running());
}

}  // namespace
}  // namespace quorlax::drive
