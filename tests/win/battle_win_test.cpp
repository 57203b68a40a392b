// The battle over a real socket on 127.0.0.1: the main window with its real
// link and panel windows, against a raw test peer that speaks the wire.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "app/main_window_win.h"
#include "drive/drive_win.h"
#include "forms/main_window_ids_win.h"
#include "net/battle_link_win.h"
#include "platform/message_loop_win.h"
#include "support/fakes.h"
#include "support/raw_peer_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

// The main window over the real battle link.
class BattleWinTest : public MainWindowTest {
protected:
    void SetUp() override {
        MakeWindow(services_);
        if (HasFatalFailure()) return;
        link_.Attach(hwnd_, kBattleReadTimerId, window_->Chain(), [this] { window_->AfterEvent(); });
        PumpPending();
    }
    HWND Control(int id) { return GetDlgItem(hwnd_, id); }
    void Click(int id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
    bool Enabled(int id) { return IsWindowEnabled(Control(id)) != FALSE; }
    bool Greyed(int menu) {
        return (GetMenuState(window_->Menus().Handle(), menu, MF_BYPOSITION) & MF_GRAYED) != 0;
    }
    BattleRoom& room() { return form().battle; }
    // Opens the panel and joins 127.0.0.1.
    void JoinLoopback() {
        Choose(room().battleItem);
        Click(kJoinOptionId);
        SetWindowTextW(Control(kAddressBoxId), L"127.0.0.1");
        Click(kConnectButtonId);
    }
    static size_t Beats(const std::string& received) {
        size_t n = 0;
        for (size_t at = 0; (at = received.find("test", at)) != std::string::npos; at += 4) ++n;
        return n;
    }
    int Boxes(const wchar_t* text) {
        int n = 0;
        for (const auto& shown : fakes_.messages.shown) n += shown == text;
        return n;
    }

    BattleLinkWin link_;  // goes after the window, as in the program
    Services services_{fakes_.random,  fakes_.messages, fakes_.files, fakes_.settings, fakes_.sound, link_,
                       fakes_.dialogs, fakes_.pictures, fakes_.shell, fakes_.folders,  fakes_.clock};
};

TEST_F(BattleWinTest, HostingABattleAgainstARawPeerOnLoopback) {
    Choose(room().battleItem);
    EXPECT_TRUE(Greyed(0) && Greyed(1)) << "文件 and 速度 greyed while the panel is open";
    ASSERT_TRUE(IsWindowVisible(Control(kConnectButtonId)));
    EXPECT_EQ(drive::WindowText(Control(kConnectButtonId)), L"建立连接");
    EXPECT_EQ(SendMessageW(Control(kHostOptionId), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(Enabled(kStartButtonId));
    EXPECT_FALSE(drive::ControlText(Control(kAddressBoxId)).empty()) << "the own address";
    // A game's shortcut under the greyed 文件 does nothing.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{window_->Game().TypingBox(), WM_KEYDOWN, 'Y', 1, 0, {}};
    MessageLoop::Instance().PreTranslate(msg);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(form().game.englishGameItem.Checked);

    Click(kConnectButtonId);
    EXPECT_FALSE(Enabled(kConnectButtonId) || Enabled(kHostOptionId) || Enabled(kJoinOptionId));
    RawPeer peer;
    ASSERT_TRUE(peer.Connect()) << "the program listens on 5238";
    ASSERT_TRUE(PumpUntil([&] { return link_.Connected(); }));
    EXPECT_TRUE(link_.NoDelay()) << "no two messages wait to share a segment";
    ASSERT_TRUE(peer.Send("ljcg"));
    ASSERT_TRUE(PumpUntil([&] { return Enabled(kStartButtonId); })) << "ljcg enables Start";

    Click(kEnglishOptionId);
    EXPECT_EQ(SendMessageW(Control(kEnglishOptionId), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(Control(kChineseOptionId), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SetFocus(Control(kStartButtonId));
    Click(kStartButtonId);
    EXPECT_TRUE(PumpUntil([&] { return peer.Received().find("gogogo2") != std::string::npos; }));
    EXPECT_TRUE(form().game.englishGameItem.Checked) << "an English game";
    EXPECT_TRUE(form().game.fallTimer.Running());
    EXPECT_FALSE(IsWindowVisible(Control(kStartButtonId)));
    EXPECT_EQ(GetFocus(), window_->Game().TypingBox()) << "the keys go to the typing box at once";

    ASSERT_TRUE(peer.Send("jia200jia200jia200"));  // one packet
    EXPECT_TRUE(PumpUntil([&] { return form().game.floorLine.Top == 6390 - 300; }))
        << form().game.floorLine.Top;

    ASSERT_TRUE(peer.Send("bai"));
    ASSERT_TRUE(PumpUntil([&] { return room().wins == 1; }));
    EXPECT_EQ(room().winsLabel.Caption(), L"1");
    EXPECT_FALSE(form().game.fallTimer.Running());
    EXPECT_FALSE(form().board.clock.Running());
    EXPECT_TRUE(IsWindowVisible(Control(kStartButtonId)));
    EXPECT_TRUE(Enabled(kStartButtonId)) << "the host can start the next battle";

    EXPECT_TRUE(PumpUntil([&] { return peer.Received().find("test") != std::string::npos; }))
        << "the heartbeat";
    peer.Close();
    ASSERT_TRUE(PumpUntil([&] { return Boxes(L"与对方计算机断开") > 0; })) << "the heartbeat finds it";
    ASSERT_TRUE(PumpPending());
    EXPECT_EQ(Boxes(L"与对方计算机断开"), 1) << "one loss, one box";
    EXPECT_FALSE(room().heartbeat.Enabled()) << "no heartbeat left to find it again";
    EXPECT_EQ(room().inBattle, 0);
    EXPECT_EQ(room().statusLine.Caption(), L"与对方计算机断开");
    EXPECT_FALSE(Greyed(0) || Greyed(1));
    EXPECT_FALSE(Enabled(kStartButtonId));
}

TEST_F(BattleWinTest, JoiningByNameRetriesUntilTheHostListens) {
    Choose(room().battleItem);
    Click(kJoinOptionId);
    EXPECT_EQ(drive::WindowText(Control(kConnectButtonId)), L"连接");
    SetWindowTextW(Control(kAddressBoxId), L"localhost");
    EXPECT_EQ(room().addressBox.Text(), L"localhost");
    int retries = 0;
    room().joinRetry.Tick = [&retries, retry = room().joinRetry.Tick] {
        ++retries;
        retry();
    };
    Click(kConnectButtonId);
    ASSERT_TRUE(PumpUntil([&] { return retries > 0; })) << "the first attempt finds nobody";
    RawPeer host;
    ASSERT_TRUE(host.Listen());
    ASSERT_TRUE(PumpUntil([&] { return host.Accept(); })) << "a retry connects";
    EXPECT_TRUE(PumpUntil([&] { return host.Received() == "ljcg"; })) << host.Received();
    EXPECT_TRUE(link_.NoDelay());
    EXPECT_EQ(room().inBattle, 1);
    EXPECT_TRUE(host.Send("gogogo3"));
    EXPECT_TRUE(PumpUntil([&] { return form().game.digitsGameItem.Checked; }));
    EXPECT_FALSE(IsWindowVisible(Control(kConnectButtonId)));
    // The joiner leaves first, so the port's side of the connection never
    // lingers in TIME_WAIT.
    room().OnLeave();
    PumpPending();
    EXPECT_EQ(room().inBattle, 0);
}

TEST_F(BattleWinTest, ConnectionsThatNeverJoinAreDroppedAndAJoinerStillGetsIn) {
    Choose(room().battleItem);
    Click(kConnectButtonId);
    for (const char* says : {"<closes>", "", "GET / HTTP/1.1\r\n\r\n"}) {
        SCOPED_TRACE(says);
        RawPeer probe;
        ASSERT_TRUE(probe.Connect()) << "the program listens again";
        ASSERT_TRUE(PumpUntil([&] { return link_.Connected(); }));
        if (std::string(says) == "<closes>") {
            probe.Close();
            ASSERT_TRUE(PumpUntil([&] { return !room().joinLimit.Enabled(); }, kJoinLimitMs / 2))
                << "no longer waited for";
            room().joinLimit.SetInterval(300);  // ten seconds in play
        } else {
            ASSERT_TRUE(probe.Send(says));
            ASSERT_TRUE(PumpUntil([&] { return probe.Ended(); })) << "dropped after the limit";
        }
        EXPECT_TRUE(link_.Listening());
    }
    EXPECT_EQ(room().statusLine.Caption(), L"等待连线中...");
    EXPECT_FALSE(Enabled(kConnectButtonId));
    EXPECT_TRUE(fakes_.messages.shown.empty());

    // A silent connection does not keep a joiner waiting: the newer one goes first.
    room().joinLimit.SetInterval(kJoinLimitMs);
    RawPeer silent, joiner, late;
    ASSERT_TRUE(silent.Connect());
    ASSERT_TRUE(PumpUntil([&] { return link_.Connected(); }));
    ASSERT_TRUE(joiner.Connect());
    ASSERT_TRUE(joiner.Send("ljcg"));
    ASSERT_TRUE(PumpUntil([&] { return Enabled(kStartButtonId); }));
    EXPECT_TRUE(PumpUntil([&] { return silent.Ended(); }));
    EXPECT_FALSE(link_.Listening());
    EXPECT_FALSE(late.Connect()) << "nobody else gets in";
    EXPECT_EQ(room().statusLine.Caption(), L"连接成功，请开始");
}

TEST_F(BattleWinTest, AHostThatFallsSilentIsToldAfterFiveSilentBeats) {
    room().heartbeat.SetInterval(100);  // a second in play
    RawPeer host;
    ASSERT_TRUE(host.Listen());
    JoinLoopback();
    ASSERT_TRUE(PumpUntil([&] { return host.Accept(); }));
    ASSERT_TRUE(host.Send("gogogo2"));
    // The host answers each of the joiner's beats, and so stays.
    for (size_t answered = 0; answered < 12; ++answered) {
        ASSERT_TRUE(PumpUntil([&] { return Beats(host.Received()) > answered; })) << "the joiner beats";
        ASSERT_TRUE(host.Send("test"));
    }
    EXPECT_TRUE(fakes_.messages.shown.empty());
    EXPECT_EQ(room().inBattle, 1);
    const auto last = std::chrono::steady_clock::now();
    ASSERT_TRUE(PumpUntil([&] { return Boxes(L"与对方计算机断开") > 0; }));
    EXPECT_GE(std::chrono::steady_clock::now() - last, std::chrono::milliseconds(500));
    EXPECT_EQ(room().statusLine.Caption(), L"与对方计算机断开");
    EXPECT_FALSE(room().heartbeat.Enabled());
}

TEST_F(BattleWinTest, AHostThatClosesMidBattleIsToldByTheNextHeartbeat) {
    int beats = 0;
    room().heartbeat.Tick = [&beats, beat = room().heartbeat.Tick] {
        ++beats;
        beat();
    };
    for (bool read_all : {true, false}) {
        SCOPED_TRACE(read_all ? "an orderly close" : "a close with bytes unread (a reset)");
        RawPeer host;
        ASSERT_TRUE(host.Listen());
        JoinLoopback();
        ASSERT_TRUE(PumpUntil([&] { return host.Accept(); }));
        if (read_all) {
            ASSERT_TRUE(PumpUntil([&] { return host.Received() == "ljcg"; }));
        }
        room().heartbeat.SetEnabled(false);  // its next beat a second after the close
        ASSERT_TRUE(host.Send("gogogo2"));
        host.Close();
        EXPECT_TRUE(PumpUntil([&] { return form().game.englishGameItem.Checked; }))
            << "its last message counts";
        PumpPending();
        beats = 0;
        room().heartbeat.SetEnabled(true);
        ASSERT_TRUE(PumpUntil([&] { return Boxes(L"与对方计算机断开") > 0; }));
        EXPECT_EQ(beats, 1);
        room().OnLeave();
        fakes_.messages.shown.clear();
    }
}

TEST_F(BattleWinTest, AMalformedAddressIsToldAtOnce) {
    Choose(room().battleItem);
    Click(kJoinOptionId);
    SetWindowTextW(Control(kAddressBoxId), L"1.2.3");
    Click(kConnectButtonId);
    EXPECT_EQ(Boxes(L"请输入正确的IP地址"), 1);
    EXPECT_FALSE(room().joinRetry.Enabled());
}

TEST_F(BattleWinTest, APortHeldByAnotherProgramIsToldAndChoosingComesBack) {
    RawPeer holder;
    ASSERT_TRUE(holder.Listen()) << "port 5238 is free for the test";
    Choose(room().battleItem);
    Click(kConnectButtonId);
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(L"5238"), std::wstring::npos);
    EXPECT_TRUE(Enabled(kConnectButtonId) && Enabled(kHostOptionId) && Enabled(kJoinOptionId));
}

}  // namespace
}  // namespace quorlax::win
