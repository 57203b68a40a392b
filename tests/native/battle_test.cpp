// The battle panel through a scripted link: opening it, hosting, joining
// with retries and name look-ups, the messages on arrival, the end of a
// battle, a lost connection, and the faults the panel must survive.
#include "form_fixture.h"

namespace quorlax::test {
namespace {

using Strings = std::vector<std::string>;
using Timers = std::vector<forms::Timer*>;

// Runs timer models as the window's timers run them, on a clock the test
// moves in steps of 10 ms: a tick an interval after the start and every
// interval on; stopping and starting again counts afresh.
class TimerClock {
public:
    explicit TimerClock(Timers timers) : timers_(std::move(timers)), elapsed_(timers_.size()) {
        for (size_t i = 0; i < timers_.size(); ++i)
            timers_[i]->OnChange = [this, i](forms::Timer&) { elapsed_[i] = 0; };
    }
    void Advance(int ms) {
        for (; ms > 0; ms -= 10) {
            for (size_t i = 0; i < timers_.size(); ++i) {
                if (!timers_[i]->Running() || (elapsed_[i] += 10) < timers_[i]->Interval()) continue;
                elapsed_[i] = 0;
                timers_[i]->Tick();
            }
        }
    }

private:
    Timers timers_;
    std::vector<int> elapsed_;
};

class BattleTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
        ASSERT_NE(link().events, nullptr) << "the room listens to the link";
    }
    RecordingBattle& link() { return fakes_.battle; }
    BattleRoom& room() { return form().battle; }
    const std::vector<std::wstring>& boxes() { return fakes_.messages.shown; }
    void Receive(std::string_view bytes) { link().events->LinkReceived(bytes); }

    // What the panel's controls allow, as one comparable text: hostOption,
    // joinOption, connectButton, startButton enabled (1) or greyed (0).
    std::string Enables() {
        auto bit = [](bool on) { return on ? '1' : '0'; };
        return {bit(room().hostOption.Enabled), bit(room().joinOption.Enabled),
                bit(room().connectButton.Enabled), bit(room().startButton.Enabled)};
    }
    // The panel open, hosting, a peer joined and said "ljcg".
    void HostConnected() {
        room().OnOpenPanel();
        room().OnConnect();
        link().events->LinkAccepted();
        Receive("ljcg");
    }
    // The room's timers, run from now on by the test's clock.
    TimerClock& clock() {
        if (!clock_)
            clock_ =
                std::make_unique<TimerClock>(Timers{&room().joinRetry, &room().heartbeat, &room().joinLimit});
        return *clock_;
    }
    // The player was told the connection is lost, once, and the game goes on alone.
    void ExpectToldLost() {
        EXPECT_EQ(boxes(), std::vector<std::wstring>{L"与对方计算机断开"});
        EXPECT_FALSE(room().heartbeat.Enabled());
        EXPECT_EQ(room().inBattle, 0);
        EXPECT_EQ(link().calls.back(), "close");
        EXPECT_EQ(room().statusLine.Caption(), L"与对方计算机断开");
        EXPECT_TRUE(form().game.speedMenu.Enabled);
        EXPECT_TRUE(form().fileMenu.Enabled);
        EXPECT_FALSE(room().startButton.Enabled);
    }
    // The panel open, joining 127.0.0.1, connected.
    void JoinerConnected() {
        room().OnOpenPanel();
        room().joinOption.Click();
        room().addressBox.SetText(L"127.0.0.1");
        room().OnConnect();
        link().events->LinkConnected();
    }
    std::unique_ptr<TimerClock> clock_;
};

TEST_F(BattleTest, OpeningThePanelGreysTheMenusAndOffersToHost) {
    form().practice.panel.Visible = true;
    room().wins = 3;
    room().winsLabel.SetCaption(L"3");
    room().battleItem.Click();
    EXPECT_TRUE(room().panel.Visible);
    EXPECT_FALSE(form().game.speedMenu.Enabled);
    EXPECT_FALSE(form().fileMenu.Enabled);
    EXPECT_FALSE(form().practice.panel.Visible);
    EXPECT_TRUE(room().hostOption.Value);
    EXPECT_FALSE(room().joinOption.Value);
    EXPECT_TRUE(room().chineseOption.Value);
    EXPECT_FALSE(room().englishOption.Value || room().digitsOption.Value);
    EXPECT_EQ(Enables(), "1110");
    EXPECT_EQ(room().statusLine.Caption(), L"欢迎使用Quorlax");
    EXPECT_EQ(room().addressCaption.Caption(), L"本机IP");
    EXPECT_EQ(room().addressBox.Text(), L"192.168.1.20") << "the link's own address";
    EXPECT_EQ(room().connectButton.Caption, L"建立连接");
    EXPECT_EQ(room().role, 1);
    EXPECT_EQ(room().wins, 0);
    EXPECT_EQ(room().winsLabel.Caption(), L"0");
    EXPECT_EQ(room().lossesLabel.Caption(), L"0");

    room().joinOption.Click();
    EXPECT_TRUE(room().joinOption.Value);
    EXPECT_FALSE(room().hostOption.Value);
    EXPECT_EQ(room().addressCaption.Caption(), L"请输入主机IP");
    EXPECT_EQ(room().connectButton.Caption, L"连接");
    EXPECT_EQ(room().addressBox.Text(), L"0.0.0.0");
    EXPECT_EQ(room().role, 2);
    room().hostOption.Click();
    EXPECT_EQ(room().connectButton.Caption, L"建立连接");
    EXPECT_EQ(room().role, 1);
    EXPECT_TRUE(link().sent.empty());
}

TEST_F(BattleTest, HostListensStartsOnLjcgAndEveryHitRaisesTheFloor) {
    room().OnOpenPanel();
    room().OnConnect();
    EXPECT_EQ(link().calls, (Strings{"close", "listen 5238"}));
    EXPECT_EQ(room().statusLine.Caption(), L"等待连线中...");
    EXPECT_EQ(Enables(), "0000");
    EXPECT_FALSE(room().heartbeat.Enabled());

    link().events->LinkAccepted();
    Receive("lj");  // split over two reads
    EXPECT_FALSE(room().startButton.Enabled);
    Receive("cg");
    EXPECT_EQ(room().statusLine.Caption(), L"连接成功，请开始");
    EXPECT_EQ(Enables(), "0001");
    EXPECT_TRUE(room().heartbeat.Enabled());
    EXPECT_EQ(room().inBattle, 0) << "the host's battle begins with Start";

    room().englishOption.Click();
    EXPECT_TRUE(room().englishOption.Value);
    EXPECT_FALSE(room().chineseOption.Value);
    form().game.floorLine.Top = 5000;
    room().startButton.Click();
    EXPECT_EQ(link().sent, (Strings{"gogogo2"}));
    EXPECT_TRUE(form().game.englishGameItem.Checked);
    EXPECT_TRUE(form().game.fallTimer.Running());
    EXPECT_FALSE(room().panel.Visible);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);
    EXPECT_EQ(room().inBattle, 1);
    EXPECT_TRUE(room().startButton.Enabled) << "stays enabled for the next battle";

    Receive("testjia200jia200jia2");  // merged, and one cut short
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6190);
    Receive("00");
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6090);
    for (int i = 0; i < 70; ++i) Receive("jia200");
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, -910) << "no lower bound";
}

TEST_F(BattleTest, BaiCountsAWinStopsTheBoardAndTheHostStartsAgain) {
    HostConnected();
    room().OnStart();
    ASSERT_TRUE(form().game.chineseGameItem.Checked);
    Receive("jia200bai");
    EXPECT_TRUE(room().panel.Visible);
    EXPECT_EQ(room().wins, 1);
    EXPECT_EQ(room().winsLabel.Caption(), L"1");
    EXPECT_FALSE(form().game.fallTimer.Enabled());
    EXPECT_FALSE(form().board.clock.Enabled());
    EXPECT_FALSE(form().game.gameOverBanner.Visible) << "the winner sees no GAME OVER";
    EXPECT_EQ(room().inBattle, 1);
    EXPECT_EQ(Enables(), "0001");

    room().OnStart();
    EXPECT_FALSE(room().panel.Visible);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);
    EXPECT_TRUE(form().game.fallTimer.Running());

    // This time the host loses: the peer hears "bai", the panel comes back.
    link().sent.clear();
    form().game.livesLabel.SetCaption(L"0");
    EXPECT_EQ(link().sent, (Strings{"bai"}));
    EXPECT_EQ(room().losses, 1);
    EXPECT_EQ(room().lossesLabel.Caption(), L"1");
    EXPECT_TRUE(room().panel.Visible);
    EXPECT_TRUE(form().game.gameOverBanner.Visible);
    EXPECT_EQ(room().winsLabel.Caption(), L"1") << "the tallies keep counting";
}

TEST_F(BattleTest, JoinerRetriesEveryTickUntilConnectedThenFollowsThePoolMessage) {
    room().OnOpenPanel();
    room().OnJoinOption();
    room().addressBox.SetText(L" 127.0.0.1 ");
    link().calls.clear();
    room().OnConnect();
    EXPECT_EQ(link().calls, (Strings{"close", "connect  127.0.0.1  5238"}));
    EXPECT_EQ(room().statusLine.Caption(), L"正在加入主机...");
    EXPECT_TRUE(room().joinRetry.Enabled());
    EXPECT_EQ(Enables(), "0000");

    link().calls.clear();
    room().OnJoinRetry();
    room().OnJoinRetry();
    EXPECT_EQ(link().calls.size(), 4u) << "close and connect again, twice";
    EXPECT_TRUE(room().joinRetry.Enabled());

    link().events->LinkConnected();
    EXPECT_EQ(link().sent, (Strings{"ljcg"}));
    EXPECT_EQ(room().inBattle, 1);
    EXPECT_EQ(room().statusLine.Caption(), L"连接成功，正在等待主机开始。");
    EXPECT_TRUE(room().heartbeat.Enabled());
    link().calls.clear();
    room().OnJoinRetry();
    EXPECT_FALSE(room().joinRetry.Enabled());
    EXPECT_TRUE(link().calls.empty()) << "no retry once connected";

    Receive("jia200");  // before any battle: the floor still rises
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6290);
    Receive("gogogo3");
    EXPECT_TRUE(form().game.digitsGameItem.Checked);
    EXPECT_FALSE(room().panel.Visible);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);

    // A hit on this board tells the host, once.
    link().sent.clear();
    form().game.fallingLabels(2).SetCaption(L"7.3");
    Type(L"7.3");
    FlyShot();
    EXPECT_EQ(link().sent, (Strings{"jia200"}));

    room().connectButton.Visible = false;
    Receive("xxkaishicontyy");
    EXPECT_TRUE(room().connectButton.Visible);
}

TEST_F(BattleTest, BadAddressesAndNamesNotFoundAreToldOnceAndDisconnectGivesTheChoiceBack) {
    room().OnOpenPanel();
    room().OnJoinOption();
    link().join_start = JoinStart::BadAddress;
    room().OnConnect();
    EXPECT_EQ(boxes(), std::vector<std::wstring>{L"请输入正确的IP地址"});
    EXPECT_FALSE(room().joinRetry.Enabled()) << "the join is abandoned";
    EXPECT_EQ(Enables(), "0000");
    room().OnDisconnect();
    EXPECT_EQ(Enables(), "1110");

    // A host name: no retry until it is found, so the look-up is not cancelled.
    link().join_start = JoinStart::LookingUp;
    room().OnConnect();
    EXPECT_EQ(room().statusLine.Caption(), L"正在加入主机...");
    EXPECT_FALSE(room().joinRetry.Enabled());
    link().events->LinkLookedUp(false);
    EXPECT_EQ(boxes().size(), 2u);
    EXPECT_EQ(room().statusLine.Caption(), L"欢迎使用Quorlax");
    room().OnDisconnect();
    room().OnConnect();
    link().events->LinkLookedUp(true);
    EXPECT_TRUE(room().joinRetry.Enabled()) << "found: connecting, retried from now on";
    room().OnJoinRetry();
    link().events->LinkLookedUp(false);  // a retry's look-up failing says nothing
    EXPECT_EQ(boxes().size(), 2u);
    EXPECT_TRUE(room().joinRetry.Enabled());
}

TEST_F(BattleTest, PortInUseIsToldAndThePanelIsBackToChoosing) {
    room().OnOpenPanel();
    link().listen_result = ListenResult::PortInUse;
    room().OnConnect();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find(L"5238"), std::wstring::npos) << boxes()[0];
    EXPECT_NE(boxes()[0].find(L"占用"), std::wstring::npos) << boxes()[0];
    EXPECT_EQ(Enables(), "1110");
    EXPECT_EQ(room().statusLine.Caption(), L"欢迎使用Quorlax");
    EXPECT_TRUE(room().panel.Visible);

    link().listen_result = ListenResult::Failed;
    room().OnConnect();
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_NE(boxes()[1], boxes()[0]);
    EXPECT_EQ(Enables(), "1110");
}

TEST_F(BattleTest, ALostPeerGivesOneBoxAndTheGameGoesOnLocally) {
    HostConnected();
    room().OnStart();
    link().send_ok = false;
    bool heartbeat_at_box = true;
    int ticks_in_box = 0;
    fakes_.messages.on_show = [&] {
        heartbeat_at_box = room().heartbeat.Enabled();
        // The box's own message loop would tick a running heartbeat here.
        if (room().heartbeat.Running() && ticks_in_box++ == 0) room().OnHeartbeat();
    };
    room().OnHeartbeat();
    ExpectToldLost();
    EXPECT_FALSE(heartbeat_at_box) << "stopped before the box shows";
    EXPECT_TRUE(form().game.fallTimer.Running()) << "a local game now";
    link().sent.clear();
    form().game.fallingLabels(1).SetCaption(L"ab");
    Type(L"ab");
    FlyShot();
    EXPECT_TRUE(link().sent.empty()) << "no more messages";
}

TEST_F(BattleTest, AConnectionThatNeverJoinsIsDroppedAndHostingGoesOn) {
    room().OnOpenPanel();
    room().OnConnect();
    clock();
    link().calls.clear();
    // A port scan: connects and closes; the link listens on.
    link().events->LinkAccepted();
    EXPECT_TRUE(room().joinLimit.Running());
    link().events->LinkClosed();
    EXPECT_FALSE(room().joinLimit.Enabled());
    // A silent connection and one that sends garbage get ten seconds.
    for (std::string_view bytes : {"", "GET / HTTP/1.1\r\n\r\n"}) {
        link().calls.clear();
        link().events->LinkAccepted();
        clock().Advance(5000);
        Receive(bytes);
        clock().Advance(4990);
        EXPECT_TRUE(link().calls.empty()) << bytes;
        clock().Advance(20);
        EXPECT_EQ(link().calls, Strings{"drop peer"}) << bytes;
    }
    // A known message gives ten more.
    link().calls.clear();
    link().events->LinkAccepted();
    clock().Advance(9000);
    Receive("test");
    clock().Advance(9990);
    EXPECT_TRUE(link().calls.empty());
    EXPECT_EQ(room().statusLine.Caption(), L"等待连线中...");
    EXPECT_EQ(Enables(), "0000");
    EXPECT_TRUE(boxes().empty());
    // A newer connection replaced it: its own ten seconds, and its ljcg keeps it.
    link().events->LinkAccepted();
    clock().Advance(9990);
    Receive("ljcg");
    EXPECT_EQ(link().calls, Strings{"stop listening"});
    EXPECT_EQ(Enables(), "0001");
    // An older joiner, which never sends "test", is never timed out.
    clock().Advance(60000);
    EXPECT_EQ(link().calls, Strings{"stop listening"});
    EXPECT_EQ(std::count(link().sent.begin(), link().sent.end(), "test"), 60);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(BattleTest, APeerThatBeatsIsLostAfterFiveSilentSeconds) {
    clock();
    for (bool hosting : {false, true}) {
        SCOPED_TRACE(hosting ? "host" : "joiner");
        fakes_.messages.shown.clear();
        link().sent.clear();
        if (hosting) {
            HostConnected();
            Receive("test");  // from now on its silence tells
        } else {
            JoinerConnected();  // the host always beats
        }
        // Its heartbeat comes just before each of ours.
        for (int i = 0; i < 10; ++i) {
            clock().Advance(990);
            Receive("test");
            clock().Advance(10);
        }
        EXPECT_EQ(std::count(link().sent.begin(), link().sent.end(), "test"), 10) << "we beat every second";
        clock().Advance(4990);  // five seconds since its last byte
        EXPECT_TRUE(boxes().empty());
        clock().Advance(20);
        ExpectToldLost();
    }
}

TEST_F(BattleTest, FailingHitAndDefeatSendsAreDroppedAndPlayGoesOn) {
    JoinerConnected();
    Receive("gogogo2");
    link().send_ok = false;
    form().game.fallingLabels(4).SetCaption(L"zz");
    Type(L"zz");
    FlyShot();
    EXPECT_EQ(Score(), 200);
    form().game.livesLabel.SetCaption(L"0");
    EXPECT_EQ(link().sent.back(), "bai");
    EXPECT_EQ(room().losses, 1);
    EXPECT_TRUE(form().game.gameOverBanner.Visible);
    EXPECT_TRUE(boxes().empty()) << "the heartbeat, not the game, reports the loss";
}

TEST_F(BattleTest, DisconnectAndLeave) {
    JoinerConnected();
    link().calls.clear();
    room().OnDisconnect();
    EXPECT_EQ(link().calls, Strings{"close"});
    EXPECT_EQ(Enables(), "1110");
    EXPECT_TRUE(room().heartbeat.Enabled()) << "its next send reports the disconnection";
    EXPECT_FALSE(room().joinRetry.Enabled());

    room().OnJoinOption();
    room().OnConnect();
    ASSERT_TRUE(room().joinRetry.Enabled());
    EXPECT_FALSE(room().heartbeat.Enabled()) << "the old heartbeat would close the new attempt";
    form().game.floorLine.Top = 5990;
    room().OnLeave();
    EXPECT_FALSE(room().panel.Visible);
    EXPECT_EQ(room().inBattle, 0);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);
    EXPECT_TRUE(form().game.speedMenu.Enabled);
    EXPECT_TRUE(form().fileMenu.Enabled);
    EXPECT_FALSE(room().joinRetry.Enabled()) << "no join behind the player's back";
    EXPECT_EQ(link().calls.back(), "close");
}

}  // namespace
}  // namespace quorlax::test
