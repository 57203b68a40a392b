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

    // What the panel's controls allow, as one comparable text: Option1,
    // Option2, Command1, Command4 enabled (1) or greyed (0).
    std::string Enables() {
        auto bit = [](bool on) { return on ? '1' : '0'; };
        return {bit(room().Option1.Enabled), bit(room().Option2.Enabled), bit(room().Command1.Enabled),
                bit(room().Command4.Enabled)};
    }
    // The panel open, hosting, a peer joined and said "ljcg".
    void HostConnected() {
        room().wldz_Click();
        room().Command1_Click();
        link().events->LinkAccepted();
        Receive("ljcg");
    }
    // The room's timers, run from now on by the test's clock.
    TimerClock& clock() {
        if (!clock_)
            clock_ = std::make_unique<TimerClock>(Timers{&room().Timer4, &room().Timer5, &room().JoinLimit});
        return *clock_;
    }
    // The player was told the connection is lost, once, and the game goes on alone.
    void ExpectToldLost() {
        EXPECT_EQ(boxes(), std::vector<std::wstring>{L"与对方计算机断开"});
        EXPECT_FALSE(room().Timer5.Enabled());
        EXPECT_EQ(room().netBattle, 0);
        EXPECT_EQ(link().calls.back(), "close");
        EXPECT_EQ(room().Label23.Caption(), L"与对方计算机断开");
        EXPECT_TRUE(form().game.speedMenu.Enabled);
        EXPECT_TRUE(form().fileMenu.Enabled);
        EXPECT_FALSE(room().Command4.Enabled);
    }
    // The panel open, joining 127.0.0.1, connected.
    void JoinerConnected() {
        room().wldz_Click();
        room().Option2.Click();
        room().Text7.SetText(L"127.0.0.1");
        room().Command1_Click();
        link().events->LinkConnected();
    }
    std::unique_ptr<TimerClock> clock_;
};

TEST_F(BattleTest, OpeningThePanelGreysTheMenusAndOffersToHost) {
    form().practice.Frame3.Visible = true;
    room().battleWins = 3;
    room().Label27.SetCaption(L"3");
    room().wldz.Click();
    EXPECT_TRUE(room().Frame1.Visible);
    EXPECT_FALSE(form().game.speedMenu.Enabled);
    EXPECT_FALSE(form().fileMenu.Enabled);
    EXPECT_FALSE(form().practice.Frame3.Visible);
    EXPECT_TRUE(room().Option1.Value);
    EXPECT_FALSE(room().Option2.Value);
    EXPECT_TRUE(room().Option3.Value);
    EXPECT_FALSE(room().Option4.Value || room().Option5.Value);
    EXPECT_EQ(Enables(), "1110");
    EXPECT_EQ(room().Label23.Caption(), L"欢迎使用Quorlax");
    EXPECT_EQ(room().Label24.Caption(), L"本机IP");
    EXPECT_EQ(room().Text7.Text(), L"192.168.1.20") << "the link's own address";
    EXPECT_EQ(room().Command1.Caption, L"建立连接");
    EXPECT_EQ(room().battleRole, 1);
    EXPECT_EQ(room().battleWins, 0);
    EXPECT_EQ(room().Label27.Caption(), L"0");
    EXPECT_EQ(room().Label28.Caption(), L"0");

    room().Option2.Click();
    EXPECT_TRUE(room().Option2.Value);
    EXPECT_FALSE(room().Option1.Value);
    EXPECT_EQ(room().Label24.Caption(), L"请输入主机IP");
    EXPECT_EQ(room().Command1.Caption, L"连接");
    EXPECT_EQ(room().Text7.Text(), L"0.0.0.0");
    EXPECT_EQ(room().battleRole, 2);
    room().Option1.Click();
    EXPECT_EQ(room().Command1.Caption, L"建立连接");
    EXPECT_EQ(room().battleRole, 1);
    EXPECT_TRUE(link().sent.empty());
}

TEST_F(BattleTest, HostListensStartsOnLjcgAndEveryHitRaisesTheFloor) {
    room().wldz_Click();
    room().Command1_Click();
    EXPECT_EQ(link().calls, (Strings{"close", "listen 5238"}));
    EXPECT_EQ(room().Label23.Caption(), L"等待连线中...");
    EXPECT_EQ(Enables(), "0000");
    EXPECT_FALSE(room().Timer5.Enabled());

    link().events->LinkAccepted();
    Receive("lj");  // split over two reads
    EXPECT_FALSE(room().Command4.Enabled);
    Receive("cg");
    EXPECT_EQ(room().Label23.Caption(), L"连接成功，请开始");
    EXPECT_EQ(Enables(), "0001");
    EXPECT_TRUE(room().Timer5.Enabled());
    EXPECT_EQ(room().netBattle, 0) << "the host's battle begins with Start";

    room().Option4.Click();
    EXPECT_TRUE(room().Option4.Value);
    EXPECT_FALSE(room().Option3.Value);
    form().game.floorLine.Top = 5000;
    room().Command4.Click();
    EXPECT_EQ(link().sent, (Strings{"gogogo2"}));
    EXPECT_TRUE(form().game.englishGameItem.Checked);
    EXPECT_TRUE(form().game.fallTimer.Running());
    EXPECT_FALSE(room().Frame1.Visible);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);
    EXPECT_EQ(room().netBattle, 1);
    EXPECT_TRUE(room().Command4.Enabled) << "stays enabled for the next battle";

    Receive("testjia200jia200jia2");  // merged, and one cut short
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6190);
    Receive("00");
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6090);
    for (int i = 0; i < 70; ++i) Receive("jia200");
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, -910) << "no lower bound";
}

TEST_F(BattleTest, BaiCountsAWinStopsTheBoardAndTheHostStartsAgain) {
    HostConnected();
    room().Command4_Click();
    ASSERT_TRUE(form().game.chineseGameItem.Checked);
    Receive("jia200bai");
    EXPECT_TRUE(room().Frame1.Visible);
    EXPECT_EQ(room().battleWins, 1);
    EXPECT_EQ(room().Label27.Caption(), L"1");
    EXPECT_FALSE(form().game.fallTimer.Enabled());
    EXPECT_FALSE(form().board.clock.Enabled());
    EXPECT_FALSE(form().game.gameOverBanner.Visible) << "the winner sees no GAME OVER";
    EXPECT_EQ(room().netBattle, 1);
    EXPECT_EQ(Enables(), "0001");

    room().Command4_Click();
    EXPECT_FALSE(room().Frame1.Visible);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);
    EXPECT_TRUE(form().game.fallTimer.Running());

    // This time the host loses: the peer hears "bai", the panel comes back.
    link().sent.clear();
    form().game.livesLabel.SetCaption(L"0");
    EXPECT_EQ(link().sent, (Strings{"bai"}));
    EXPECT_EQ(room().battleLosses, 1);
    EXPECT_EQ(room().Label28.Caption(), L"1");
    EXPECT_TRUE(room().Frame1.Visible);
    EXPECT_TRUE(form().game.gameOverBanner.Visible);
    EXPECT_EQ(room().Label27.Caption(), L"1") << "the tallies keep counting";
}

TEST_F(BattleTest, JoinerRetriesEveryTickUntilConnectedThenFollowsThePoolMessage) {
    room().wldz_Click();
    room().Option2_Click();
    room().Text7.SetText(L" 127.0.0.1 ");
    link().calls.clear();
    room().Command1_Click();
    EXPECT_EQ(link().calls, (Strings{"close", "connect  127.0.0.1  5238"}));
    EXPECT_EQ(room().Label23.Caption(), L"正在加入主机...");
    EXPECT_TRUE(room().Timer4.Enabled());
    EXPECT_EQ(Enables(), "0000");

    link().calls.clear();
    room().Timer4_Timer();
    room().Timer4_Timer();
    EXPECT_EQ(link().calls.size(), 4u) << "close and connect again, twice";
    EXPECT_TRUE(room().Timer4.Enabled());

    link().events->LinkConnected();
    EXPECT_EQ(link().sent, (Strings{"ljcg"}));
    EXPECT_EQ(room().netBattle, 1);
    EXPECT_EQ(room().Label23.Caption(), L"连接成功，正在等待主机开始。");
    EXPECT_TRUE(room().Timer5.Enabled());
    link().calls.clear();
    room().Timer4_Timer();
    EXPECT_FALSE(room().Timer4.Enabled());
    EXPECT_TRUE(link().calls.empty()) << "no retry once connected";

    Receive("jia200");  // before any battle: the floor still rises
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6290);
    Receive("gogogo3");
    EXPECT_TRUE(form().game.digitsGameItem.Checked);
    EXPECT_FALSE(room().Frame1.Visible);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);

    // A hit on this board tells the host, once.
    link().sent.clear();
    form().game.fallingLabels(2).SetCaption(L"7.3");
    Type(L"7.3");
    FlyShot();
    EXPECT_EQ(link().sent, (Strings{"jia200"}));

    room().Command1.Visible = false;
    Receive("xxkaishicontyy");
    EXPECT_TRUE(room().Command1.Visible);
}

TEST_F(BattleTest, BadAddressesAndNamesNotFoundAreToldOnceAndDisconnectGivesTheChoiceBack) {
    room().wldz_Click();
    room().Option2_Click();
    link().join_start = JoinStart::BadAddress;
    room().Command1_Click();
    EXPECT_EQ(boxes(), std::vector<std::wstring>{L"请输入正确的IP地址"});
    EXPECT_FALSE(room().Timer4.Enabled()) << "the join is abandoned";
    EXPECT_EQ(Enables(), "0000");
    room().Command3_Click();
    EXPECT_EQ(Enables(), "1110");

    // A host name: no retry until it is found, so the look-up is not cancelled.
    link().join_start = JoinStart::LookingUp;
    room().Command1_Click();
    EXPECT_EQ(room().Label23.Caption(), L"正在加入主机...");
    EXPECT_FALSE(room().Timer4.Enabled());
    link().events->LinkLookedUp(false);
    EXPECT_EQ(boxes().size(), 2u);
    EXPECT_EQ(room().Label23.Caption(), L"欢迎使用Quorlax");
    room().Command3_Click();
    room().Command1_Click();
    link().events->LinkLookedUp(true);
    EXPECT_TRUE(room().Timer4.Enabled()) << "found: connecting, retried from now on";
    room().Timer4_Timer();
    link().events->LinkLookedUp(false);  // a retry's look-up failing says nothing
    EXPECT_EQ(boxes().size(), 2u);
    EXPECT_TRUE(room().Timer4.Enabled());
}

TEST_F(BattleTest, PortInUseIsToldAndThePanelIsBackToChoosing) {
    room().wldz_Click();
    link().listen_result = ListenResult::PortInUse;
    room().Command1_Click();
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_NE(boxes()[0].find(L"5238"), std::wstring::npos) << boxes()[0];
    EXPECT_NE(boxes()[0].find(L"占用"), std::wstring::npos) << boxes()[0];
    EXPECT_EQ(Enables(), "1110");
    EXPECT_EQ(room().Label23.Caption(), L"欢迎使用Quorlax");
    EXPECT_TRUE(room().Frame1.Visible);

    link().listen_result = ListenResult::Failed;
    room().Command1_Click();
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_NE(boxes()[1], boxes()[0]);
    EXPECT_EQ(Enables(), "1110");
}

TEST_F(BattleTest, ALostPeerGivesOneBoxAndTheGameGoesOnLocally) {
    HostConnected();
    room().Command4_Click();
    link().send_ok = false;
    bool heartbeat_at_box = true;
    int ticks_in_box = 0;
    fakes_.messages.on_show = [&] {
        heartbeat_at_box = room().Timer5.Enabled();
        // The box's own message loop would tick a running heartbeat here.
        if (room().Timer5.Running() && ticks_in_box++ == 0) room().Timer5_Timer();
    };
    room().Timer5_Timer();
    ExpectToldLost();
    EXPECT_FALSE(heartbeat_at_box) << "stopped before the box shows";
    EXPECT_FALSE(room().Timer5.Enabled());
    EXPECT_EQ(room().netBattle, 0);
    EXPECT_EQ(link().calls.back(), "close");
    EXPECT_EQ(room().Label23.Caption(), L"与对方计算机断开");
    EXPECT_TRUE(form().game.speedMenu.Enabled);
    EXPECT_TRUE(form().fileMenu.Enabled);
    EXPECT_FALSE(room().Command4.Enabled);
    EXPECT_TRUE(form().game.fallTimer.Running()) << "a local game now";
    link().sent.clear();
    form().game.fallingLabels(1).SetCaption(L"ab");
    Type(L"ab");
    FlyShot();
    EXPECT_TRUE(link().sent.empty()) << "no more messages";
}

TEST_F(BattleTest, AConnectionThatNeverJoinsIsDroppedAndHostingGoesOn) {
    room().wldz_Click();
    room().Command1_Click();
    clock();
    link().calls.clear();
    // A port scan: connects and closes; the link listens on.
    link().events->LinkAccepted();
    EXPECT_TRUE(room().JoinLimit.Running());
    link().events->LinkClosed();
    EXPECT_FALSE(room().JoinLimit.Enabled());
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
    EXPECT_EQ(room().Label23.Caption(), L"等待连线中...");
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
    EXPECT_EQ(room().battleLosses, 1);
    EXPECT_TRUE(form().game.gameOverBanner.Visible);
    EXPECT_TRUE(boxes().empty()) << "the heartbeat, not the game, reports the loss";
}

TEST_F(BattleTest, DisconnectAndLeave) {
    JoinerConnected();
    link().calls.clear();
    room().Command3_Click();
    EXPECT_EQ(link().calls, Strings{"close"});
    EXPECT_EQ(Enables(), "1110");
    EXPECT_TRUE(room().Timer5.Enabled()) << "its next send reports the disconnection";
    EXPECT_FALSE(room().Timer4.Enabled());

    room().Option2_Click();
    room().Command1_Click();
    ASSERT_TRUE(room().Timer4.Enabled());
    EXPECT_FALSE(room().Timer5.Enabled()) << "the old heartbeat would close the new attempt";
    form().game.floorLine.Top = 5990;
    room().Command2_Click();
    EXPECT_FALSE(room().Frame1.Visible);
    EXPECT_EQ(room().netBattle, 0);
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6390);
    EXPECT_TRUE(form().game.speedMenu.Enabled);
    EXPECT_TRUE(form().fileMenu.Enabled);
    EXPECT_FALSE(room().Timer4.Enabled()) << "no join behind the player's back";
    EXPECT_EQ(link().calls.back(), "close");
}

}  // namespace
}  // namespace quorlax::test
