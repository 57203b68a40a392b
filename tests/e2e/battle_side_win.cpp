// One side of the end-to-end battle: starts the real quorlax.exe in this
// Wine prefix and plays it from outside, as a user would, through the
// panel's real windows (and a bare socket, as a port scan would). tests/e2e/battle_e2e.sh runs the joiner in
// one private prefix and the host in another (the single-copy rule holds per prefix) on one X display, and
// the two sides meet only on 127.0.0.1 and in a folder of marker files (QUORLAX_BATTLE_SYNC) that orders
// their steps.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// After windows.h, which it needs.
#include <tlhelp32.h>

#include "app/program.h"
#include "drive/drive_win.h"
#include "forms/menu_win.h"
#include "net/battle_panel_win.h"
#include "support/fakes.h"
#include "support/raw_peer_win.h"

namespace quorlax::drive {
namespace {

using win::kAddressBoxId;
using win::kConnectButtonId;
using win::kDisconnectButtonId;
using win::kEnglishOptionId;
using win::kJoinOptionId;
using win::kLeaveButtonId;
using win::kStartButtonId;

std::wstring SyncFolder() {
    wchar_t buf[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"QUORLAX_BATTLE_SYNC", buf, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(buf, n) : std::wstring();
}

// A step this side has reached, for the other side to wait on.
void Mark(const wchar_t* step) {
    HANDLE f = CreateFileW((SyncFolder() + L"\\" + step).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
    if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
}

bool Reached(const wchar_t* step, int timeout_ms) {
    const std::wstring path = SyncFolder() + L"\\" + step;
    return WaitFor([&] { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout_ms,
                   50);
}

// Stops or resumes every thread of the process: a computer gone to sleep,
// whose connections stay open and silent.
void SetSuspended(DWORD process, bool suspended) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != process) continue;
        if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
            suspended ? SuspendThread(thread) : ResumeThread(thread);
            CloseHandle(thread);
        }
    }
    CloseHandle(snapshot);
}

using Clock = std::chrono::steady_clock;
long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The command ids of the real program's menu items: the same code builds
// the same menu from the same models.
struct Commands {
    test::FakeServices fakes;
    Program form{fakes.services, fakes.practiceFiles};
    forms::MenuBarWin bar;
    Commands() { bar.Attach(nullptr, form.menuBar); }
    UINT Of(const forms::MenuItem& item) const { return bar.CommandOf(&item); }
};

// The pixels of a tally value on the panel (its label's place in twips).
std::vector<COLORREF> Tally(HWND main, float left_in_panel) {
    const Capture c = CaptureClient(main);
    const int x0 = TwipsToPixels(2200 + left_in_panel), y0 = TwipsToPixels(2000 + 240),
              w = TwipsToPixels(600), h = TwipsToPixels(375);
    std::vector<COLORREF> pixels;
    for (int y = y0; y < y0 + h && y < c.height; ++y)
        for (int x = x0; x < x0 + w && x < c.width; ++x) pixels.push_back(c.At(x, y));
    return pixels;
}
constexpr float kWinsLeft = 960, kLossesLeft = 2640;

// A tally drawn: more than one colour in its place.
bool Drawn(const std::vector<COLORREF>& tally) {
    return std::any_of(tally.begin(), tally.end(), [&](COLORREF p) { return p != tally.front(); });
}

// Falling yellow labels seen moving down the play area.
bool BoardRuns(HWND main) {
    const int floor_y = TwipsToPixels(6390) - 6;
    int first = -1, later = -1;
    if (!WaitFor([&] { return (first = LowestRowWith(CaptureClient(main), RGB(255, 255, 0), floor_y)) >= 0; },
                 5000))
        return false;
    return WaitFor(
        [&] { return (later = LowestRowWith(CaptureClient(main), RGB(255, 255, 0), floor_y)) > first + 4; },
        5000);
}

// The side's own program, placed on its half of the screen.
class Side {
public:
    explicit Side(int screen_x) {
        if (!game_.Start(ExeFolder() + L"\\quorlax.exe", ExeFolder())) return;
        main_ = WaitForWindowOf(game_.Id(), L"QuorlaxMainWindow", 30000);
        if (main_)
            SetWindowPos(main_, nullptr, screen_x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND Main() const { return main_; }
    HWND Control(int id) const { return GetDlgItem(main_, id); }
    bool Visible(int id) const { return IsWindowVisible(Control(id)) != FALSE; }
    // Posted, as a click is: a handler's message box must not block us.
    void Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }
    void Choose(UINT command) const { PostMessageW(main_, WM_COMMAND, MAKEWPARAM(command, 0), 0); }
    // The text of this program's message box, once one shows; then closes it.
    std::wstring TakeMessageBox(int timeout_ms) {
        HWND box = WaitForWindowOf(game_.Id(), L"#32770", timeout_ms);
        if (!box) return L"<no message box>";
        std::wstring text;
        WaitFor([&] { return !(text = MessageBoxText(box)).empty(); }, 5000);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return text;
    }
    bool Running() const { return game_.Running(); }
    DWORD Id() const { return game_.Id(); }
    // 网络对战: false when the panel does not show with its tallies painted.
    bool OpenPanel(UINT battle_command) const {
        Choose(battle_command);
        return WaitFor([&] { return Visible(kConnectButtonId); }, 5000) &&
               WaitFor([&] { return Drawn(Tally(main_, kWinsLeft)) && Drawn(Tally(main_, kLossesLeft)); });
    }
    // 加入别人主机, 127.0.0.1 in the address box, 连接; false when the
    // panel never turned to joining.
    bool JoinLoopback() const {
        Click(kJoinOptionId);
        if (!WaitFor([&] { return WindowText(Control(kConnectButtonId)) == L"连接"; }, 5000)) return false;
        SendMessageW(Control(kAddressBoxId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"127.0.0.1"));
        Click(kConnectButtonId);
        return true;
    }

private:
    Process game_;
    HWND main_ = nullptr;
};

class BattleSide : public ::testing::Test {
protected:
    void SetUp() override {
        if (SyncFolder().empty()) GTEST_SKIP() << "run by tests/e2e/battle_e2e.sh, one side per Wine prefix";
    }
    Commands commands_;
};

TEST_F(BattleSide, Joiner) {
    Side me(0);
    ASSERT_NE(me.Main(), nullptr) << "the main window never showed";
    // The joiner plays at the top speed and so loses first.
    me.Choose(commands_.Of(commands_.form.game.speedItems(10)));
    ASSERT_TRUE(me.OpenPanel(commands_.Of(commands_.form.battle.battleItem)))
        << "the battle panel, its tallies painted";
    const auto wins = Tally(me.Main(), kWinsLeft), losses = Tally(me.Main(), kLossesLeft);
    ASSERT_TRUE(me.JoinLoopback());
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(me.Control(kConnectButtonId)); }, 5000));
    Mark(L"joining");  // nobody listens yet: the join retries every two seconds

    ASSERT_TRUE(WaitFor([&] { return !me.Visible(kConnectButtonId); }, 40000))
        << "the host's Start never came";
    EXPECT_TRUE(BoardRuns(me.Main())) << "no labels seen falling on the joiner's board";
    Mark(L"joiner-running");

    // Five labels pass the floor at once after 69 ticks of 168 ms.
    ASSERT_TRUE(WaitFor([&] { return me.Visible(kStartButtonId); }, 40000)) << "the panel never came back";
    // The hall of fame opens over the board for the loser's total: away with it.
    HWND hof = nullptr;
    if (WaitFor([&] { return (hof = FindWindowOf(me.Id(), L"QuorlaxHallOfFame")) != nullptr; }, 3000)) {
        PostMessageW(hof, WM_CLOSE, 0, 0);
        WaitFor([&] { return !IsWindow(hof); }, 5000);
    }
    EXPECT_TRUE(WaitFor([&] { return Tally(me.Main(), kLossesLeft) != losses; })) << "负 counts the loss";
    // The screen catches up with the panel as a whole: wait for it, then compare.
    EXPECT_TRUE(WaitFor([&] { return Tally(me.Main(), kWinsLeft) == wins; })) << "负 only";
    Mark(L"joiner-lost");

    ASSERT_TRUE(Reached(L"host-won", 60000));
    me.Click(kLeaveButtonId);  // 退出
    Mark(L"joiner-left");
    // This side's own heartbeat reports the closed connection as well.
    EXPECT_EQ(me.TakeMessageBox(3000), L"与对方计算机断开");
    EXPECT_TRUE(me.Running());

    // The host hosts again and turns away connections that never join;
    // then this side joins, and the host's computer stops answering.
    ASSERT_TRUE(Reached(L"host-listening", 60000)) << "the host never hosted again";
    me.Choose(commands_.Of(commands_.form.battle.battleItem));
    ASSERT_TRUE(WaitFor([&] { return me.Visible(kConnectButtonId); }, 5000));
    ASSERT_TRUE(me.JoinLoopback());
    ASSERT_TRUE(Reached(L"host-asleep", 30000)) << "the host never saw this side join";
    const auto asleep = Clock::now();
    EXPECT_EQ(me.TakeMessageBox(10000), L"与对方计算机断开");
    const long long told = MsSince(asleep);
    std::printf("a silent host told after %lld ms\n", told);
    EXPECT_GT(told, 3000) << "its last heartbeat came at most a second before it slept";
    EXPECT_LT(told, 7000) << "five seconds of silence, counted in heartbeats";
    Mark(L"joiner-told");
    Reached(L"host-done", 20000);
}

TEST_F(BattleSide, Host) {
    // The joiner's first attempt was made before it marked this, while no
    // program listened: it found nobody, and one of its retries connects.
    ASSERT_TRUE(Reached(L"joining", 90000)) << "the joiner never started joining";
    Side me(850);
    ASSERT_NE(me.Main(), nullptr) << "the main window never showed";
    ASSERT_TRUE(me.OpenPanel(commands_.Of(commands_.form.battle.battleItem)))
        << "the battle panel, its tallies painted";
    const auto wins = Tally(me.Main(), kWinsLeft), losses = Tally(me.Main(), kLossesLeft);
    EXPECT_EQ(WindowText(me.Control(kConnectButtonId)), L"建立连接");
    me.Click(kConnectButtonId);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(me.Control(kStartButtonId)) != FALSE; }, 10000))
        << "the joiner's retry never connected";
    me.Click(kEnglishOptionId);
    ASSERT_TRUE(WaitFor(
        [&] { return SendMessageW(me.Control(kEnglishOptionId), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000));
    me.Click(kStartButtonId);
    ASSERT_TRUE(WaitFor([&] { return !me.Visible(kStartButtonId); }, 5000));
    EXPECT_TRUE(BoardRuns(me.Main())) << "no labels seen falling on the host's board";
    ASSERT_TRUE(Reached(L"joiner-running", 20000));

    ASSERT_TRUE(WaitFor([&] { return me.Visible(kStartButtonId); }, 60000))
        << "the joiner's defeat never came";
    EXPECT_TRUE(WaitFor([&] { return Tally(me.Main(), kWinsLeft) != wins; })) << "胜 counts the win";
    EXPECT_TRUE(WaitFor([&] { return Tally(me.Main(), kLossesLeft) == losses; })) << "胜 only";
    Mark(L"host-won");

    ASSERT_TRUE(Reached(L"joiner-left", 60000));
    EXPECT_EQ(me.TakeMessageBox(3000), L"与对方计算机断开") << "the other side's 退出 is told";
    EXPECT_TRUE(me.Running());

    // Host again; a port scan and a connection that never speaks come first.
    me.Click(kDisconnectButtonId);  // 断开 gives the choice back
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(me.Control(kConnectButtonId)) != FALSE; }, 5000));
    me.Click(kConnectButtonId);
    ASSERT_TRUE(WaitFor([&] { return !IsWindowEnabled(me.Control(kConnectButtonId)); }, 5000));
    {
        win::RawPeer scan, silent;
        ASSERT_TRUE(WaitFor([&] { return scan.Connect(); }, 5000)) << "not listening";
        scan.Close();
        ASSERT_TRUE(silent.Connect()) << "a closed connection ended hosting";
        const auto connected = Clock::now();
        ASSERT_TRUE(WaitFor([&] { return silent.Ended(); }, 20000, 50)) << "a silent connection kept";
        const long long dropped = MsSince(connected);
        std::printf("a silent connection dropped after %lld ms\n", dropped);
        EXPECT_GT(dropped, 9000);
    }
    EXPECT_FALSE(IsWindowEnabled(me.Control(kConnectButtonId))) << "still hosting";
    EXPECT_FALSE(IsWindowEnabled(me.Control(kStartButtonId)));
    EXPECT_EQ(FindWindowOf(me.Id(), L"#32770"), nullptr) << "nothing to tell";
    Mark(L"host-listening");
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(me.Control(kStartButtonId)) != FALSE; }, 30000))
        << "the joiner never got in";
    SetSuspended(me.Id(), true);
    Mark(L"host-asleep");
    Reached(L"joiner-told", 20000);
    SetSuspended(me.Id(), false);
    Mark(L"host-done");
}

}  // namespace
}  // namespace quorlax::drive
