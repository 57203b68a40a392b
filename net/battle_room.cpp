// The battle room: the panel, hosting and joining, the messages and what
// each does on arrival, the heartbeat.
#include "net/battle_room.h"

#include <string>
#include <string_view>
#include <vector>

#include "core/counters.h"

namespace quorlax {
namespace {

// A text with the battle port's number in place of "{port}".
std::wstring WithBattlePort(std::wstring text) {
    constexpr std::wstring_view kPlace = L"{port}";
    if (const size_t at = text.find(kPlace); at != std::wstring::npos)
        text.replace(at, kPlace.size(), std::to_wstring(kBattlePort));
    return text;
}

// Counts the timer's interval from now.
void Restart(forms::Timer& timer) {
    timer.SetEnabled(false);
    timer.SetEnabled(true);
}

const forms::Font kPanelFont{L"宋体", 9};

void PlaceLabel(forms::Label& label, forms::Panel& panel, float left, float top, float width, float height,
                const wchar_t* caption) {
    label.Container = &panel;
    label.Place(left, top, width, height);
    label.Font = kPanelFont;
    label.SetCaption(caption);
}

void PlaceOption(OptionButton& option, forms::Panel& panel, float left, float top, float width, float height,
                 const wchar_t* caption) {
    option.Container = &panel;
    option.Place(left, top, width, height);
    option.Font = kPanelFont;
    option.Caption = caption;
}

void PlaceButton(forms::CommandButton& button, forms::Panel& panel, float left, float top,
                 const wchar_t* caption) {
    button.Container = &panel;
    button.Place(left, top, 1215, 375);
    button.Font = kPanelFont;
    button.BackColor = kBattlePanelColor;
    button.Caption = caption;
}

}  // namespace

BattleRoom::BattleRoom(Board& board, Services& services)
    : Frame1(board.scene, forms::Layer::Overlay),
      Frame2(board.scene, forms::Layer::Overlay),
      Label25(board.scene, forms::Layer::OverlayContent),
      Label27(board.scene, forms::Layer::OverlayContent),
      Label26(board.scene, forms::Layer::OverlayContent),
      Label28(board.scene, forms::Layer::OverlayContent),
      Label29(board.scene, forms::Layer::OverlayContent),
      Label30(board.scene, forms::Layer::OverlayContent),
      Label23(board.scene, forms::Layer::OverlayContent),
      Label24(board.scene, forms::Layer::OverlayContent),
      board_(board),
      services_(services) {
    wldz.Define(L"网络对战");
    wldz.Click = [this] { wldz_Click(); };

    Frame1.Place(2200, 2000, 7455, 3015);
    Frame1.Caption = L"连接";
    Frame1.BackColor = kBattlePanelColor;
    Frame1.Visible = false;
    Frame2.Container = &Frame1;
    Frame2.Place(3360, 120, 2535, 1095);
    Frame2.BackColor = kBattlePanelColor;

    PlaceLabel(Label25, Frame1, 240, 240, 735, 375, L"胜：");
    PlaceLabel(Label27, Frame1, 960, 240, 615, 375, L"0");
    PlaceLabel(Label26, Frame1, 1800, 240, 615, 375, L"负：");
    PlaceLabel(Label28, Frame1, 2640, 240, 735, 375, L"0");
    PlaceLabel(Label29, Frame2, 240, 150, 1000, 400, L"对战");
    PlaceLabel(Label30, Frame2, 240, 570, 1000, 400, L"项目");
    Label29.Font = Label30.Font = {L"黑体", 14.25f};
    PlaceLabel(Label23, Frame1, 240, 720, 3075, 375, kBattleWelcome);
    Label23.Font = {L"宋体", 10.5f};
    PlaceLabel(Label24, Frame1, 3000, 1560, 2175, 435, L"");

    PlaceOption(Option3, Frame2, 1320, 80, 975, 285, L"汉字");
    PlaceOption(Option4, Frame2, 1320, 410, 975, 285, L"英文");
    PlaceOption(Option5, Frame2, 1320, 740, 975, 285, L"数字");
    PlaceOption(Option1, Frame1, 240, 1560, 2175, 375, L"自己建立主机");
    PlaceOption(Option2, Frame1, 240, 2160, 2175, 375, L"加入别人主机");
    PlaceButton(Command4, Frame1, 6000, 240, L"开始");
    PlaceButton(Command2, Frame1, 6000, 720, L"退出");
    PlaceButton(Command1, Frame1, 6000, 1590, kBattleConnect);
    PlaceButton(Command3, Frame1, 6000, 2160, L"断开");
    Command4.Enabled = false;
    Text7.Container = &Frame1;
    Text7.Place(3000, 2160, 2175, 375);
    Text7.Font = kPanelFont;
    Text7.MaxLength = 255;

    Option1.Click = [this] { Option1_Click(); };
    Option2.Click = [this] { Option2_Click(); };
    Option3.Click = [this] { SelectPool(3); };
    Option4.Click = [this] { SelectPool(4); };
    Option5.Click = [this] { SelectPool(5); };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Command4.Click = [this] { Command4_Click(); };
    Timer4.Tick = [this] { Timer4_Timer(); };
    Timer5.Tick = [this] { Timer5_Timer(); };
    JoinLimit.Tick = [this] { JoinLimitPassed(); };

    services_.battle.SetEvents(this);
    board_.hitLanded.Listen([this] { BattleHit(); });
    board_.livesOut.Listen([this] {
        if (netBattle == 1) BattleDefeat();
    });
}

BattleRoom::~BattleRoom() { services_.battle.SetEvents(nullptr); }

// --- the panel ---

void BattleRoom::wldz_Click() {
    board_.battlePanelShown();
    EnableMenus(false);
    Frame1.Visible = true;
    Option1.Enabled = true;
    Option2.Enabled = true;
    SelectRole(1);
    SelectPool(3);
    Label23.SetCaption(kBattleWelcome);
    Command1.Enabled = true;
    HostDefaults();
    battleWins = 0;
    battleLosses = 0;
    Label27.SetCaption(L"0");
    Label28.SetCaption(L"0");
}

void BattleRoom::HostDefaults() {
    Label24.SetCaption(kBattleOwnAddress);
    Text7.SetText(services_.battle.LocalAddress());
    Command1.Caption = kBattleSetUp;
    battleRole = 1;
}

void BattleRoom::Option1_Click() {
    SelectRole(1);
    HostDefaults();
}

void BattleRoom::Option2_Click() {
    SelectRole(2);
    Label24.SetCaption(kBattleHostAddress);
    Command1.Caption = kBattleConnect;
    Text7.SetText(kBattleNoAddress);
    battleRole = 2;
}

void BattleRoom::SelectRole(int role) {
    Option1.Value = role == 1;
    Option2.Value = role == 2;
}

void BattleRoom::SelectPool(int pool) {
    Option3.Value = pool == 3;
    Option4.Value = pool == 4;
    Option5.Value = pool == 5;
}

void BattleRoom::EnableMenus(bool on) {
    board_.menusLocked(!on);
}

void BattleRoom::Command1_Click() {
    CloseLink();
    // A heartbeat left running by 断开 would find the new socket not yet
    // connected and close it: the new connection starts without it.
    Timer5.SetEnabled(false);
    bool listenFailed = false;
    if (battleRole == 1) {
        const ListenResult result = services_.battle.Listen(kBattlePort);
        if (result == ListenResult::Listening) {
            Label23.SetCaption(kBattleWaiting);
        } else {
            listenFailed = true;
            services_.messages.Show(
                WithBattlePort(result == ListenResult::PortInUse ? kBattlePortInUse : kBattleListenFailed));
        }
    } else {
        jiaru1();
    }
    Command4.Enabled = false;
    Command1.Enabled = listenFailed;
    Option1.Enabled = listenFailed;
    Option2.Enabled = listenFailed;
}

void BattleRoom::jiaru1() { Join(true); }

void BattleRoom::jiaru2() {
    CloseLink();
    Join(false);
}

void BattleRoom::Join(bool report) {
    firstJoinLookup_ = false;
    const std::wstring previous = Label23.Caption();
    switch (services_.battle.Connect(Text7.Text(), kBattlePort)) {
        case JoinStart::Connecting:
            Label23.SetCaption(kBattleJoining);
            if (report) Timer4.SetEnabled(true);
            break;
        case JoinStart::LookingUp:
            Label23.SetCaption(kBattleJoining);
            // The retry starts once the name is found: a retry would cancel
            // the look-up, and a name that is not found is told only once.
            if (report) {
                firstJoinLookup_ = true;
                statusBeforeLookup_ = previous;
            }
            break;
        case JoinStart::BadAddress:
            if (report) services_.messages.Show(kBattleBadAddress);
            break;
    }
}

void BattleRoom::LinkLookedUp(bool found) {
    if (!firstJoinLookup_) return;  // a retry's look-up: it only tries again
    firstJoinLookup_ = false;
    if (found) {
        Timer4.SetEnabled(true);
        return;
    }
    Label23.SetCaption(statusBeforeLookup_);
    services_.messages.Show(kBattleBadAddress);
}

void BattleRoom::Timer4_Timer() {
    if (netBattle != 1) jiaru2();
    if (netBattle == 1) Timer4.SetEnabled(false);
}

void BattleRoom::Command3_Click() {
    CloseLink();
    // Retrying would connect again behind the player's back.
    Timer4.SetEnabled(false);
    firstJoinLookup_ = false;
    Option1.Enabled = true;
    Option2.Enabled = true;
    Command1.Enabled = true;
}

void BattleRoom::Command2_Click() {
    CloseLink();
    Timer4.SetEnabled(false);
    firstJoinLookup_ = false;
    Frame1.Visible = false;
    netBattle = 0;
    board_.restFloor();
    EnableMenus(true);
}

void BattleRoom::Command4_Click() {
    WireMessage pool;
    if (Option3.Value)
        pool = WireMessage::StartChinese;
    else if (Option4.Value)
        pool = WireMessage::StartEnglish;
    else if (Option5.Value)
        pool = WireMessage::StartDigits;
    else
        return;  // no pool chosen: nothing to start
    SendMyData(pool);
    StartBattle(pool);
}

// --- the connection ---

bool BattleRoom::SendMyData(WireMessage message) { return services_.battle.Send(WireText(message)); }

void BattleRoom::CloseLink() {
    services_.battle.Close();
    StopWaitingForJoin();
    peerBeats_ = false;
}

void BattleRoom::LinkAccepted() {
    // A newer connection replaced one that had not joined: start afresh.
    reader_.Reset();
    peerBeats_ = false;
    awaitingJoin_ = true;
    Restart(JoinLimit);
}

void BattleRoom::StopWaitingForJoin() {
    awaitingJoin_ = false;
    JoinLimit.SetEnabled(false);
}

void BattleRoom::JoinLimitPassed() {
    if (!awaitingJoin_) return;
    StopWaitingForJoin();
    // The status line still says "等待连线中...", and so it is.
    services_.battle.DropPeer();
}

void BattleRoom::LinkClosed() {
    // Before its "ljcg" it was no joiner, and the link still listens: the
    // wait is over. Once joined, the heartbeat's next send tells the player.
    StopWaitingForJoin();
}

void BattleRoom::LinkConnected() {
    reader_.Reset();
    // The host sends its heartbeat from the moment it reads our "ljcg".
    peerBeats_ = true;
    silentBeats_ = 0;
    SendMyData(WireMessage::Connected);
    netBattle = 1;
    Label23.SetCaption(kBattleReadyJoiner);
    Timer5.SetEnabled(true);
}

void BattleRoom::LinkReceived(std::string_view bytes) { GetMyData(bytes); }

void BattleRoom::GetMyData(std::string_view bytes) {
    silentBeats_ = 0;
    std::vector<WireMessage> messages;
    reader_.Feed(bytes, messages);
    bool spoke = false;  // a known message before "ljcg": a copy of the game, given more time
    for (WireMessage m : messages) {
        if (awaitingJoin_ && m == WireMessage::Connected) {
            StopWaitingForJoin();
            services_.battle.StopListening();
        }
        spoke = spoke || awaitingJoin_;
        // Older copies may never send it; those are never timed out.
        if (m == WireMessage::Heartbeat) peerBeats_ = true;
        Dispatch(m);
    }
    // Once a read, however many messages it brought.
    if (spoke && awaitingJoin_) Restart(JoinLimit);
}

void BattleRoom::Dispatch(WireMessage message) {
    switch (message) {
        case WireMessage::Connected:
            Label23.SetCaption(kBattleReadyHost);
            Command4.Enabled = true;
            Timer5.SetEnabled(true);
            break;
        case WireMessage::StartChinese:
        case WireMessage::StartEnglish:
        case WireMessage::StartDigits: StartBattle(message); break;
        case WireMessage::Hit: board_.raiseFloor(100); break;
        case WireMessage::Defeat:
            Frame1.Visible = true;
            ++battleWins;
            Label27.SetCaption(CounterText(battleWins));
            board_.stopPlay();
            break;
        case WireMessage::Heartbeat: break;
        case WireMessage::ShowConnect: Command1.Visible = true; break;
    }
}

void BattleRoom::StartBattle(WireMessage pool) {
    switch (pool) {
        case WireMessage::StartEnglish: board_.startGame(GamePool::English); break;
        case WireMessage::StartDigits: board_.startGame(GamePool::Digits); break;
        default: board_.startGame(GamePool::Chinese); break;
    }
    Frame1.Visible = false;
    board_.restFloor();
    netBattle = 1;
}

void BattleRoom::Timer5_Timer() {
    // A send fails once the peer has closed the connection; a peer that
    // stalled (asleep, unplugged) never closes it, but its heartbeat stops.
    if (!SendMyData(WireMessage::Heartbeat) || (peerBeats_ && ++silentBeats_ > kSilentBeatsLost))
        HeartbeatLost();
}

void BattleRoom::HeartbeatLost() {
    // Stopped before the box: the box runs a message loop of its own, in
    // which a running heartbeat would fail again and stack box on box.
    Timer5.SetEnabled(false);
    services_.messages.Show(kBattleLost);
    netBattle = 0;
    CloseLink();
    Label23.SetCaption(kBattleLost);
    EnableMenus(true);
    Command4.Enabled = false;
}

// --- what a game tells the peer ---

void BattleRoom::BattleHit() {
    if (netBattle == 1) SendMyData(WireMessage::Hit);
}

void BattleRoom::BattleDefeat() {
    SendMyData(WireMessage::Defeat);
    Frame1.Visible = true;
    ++battleLosses;
    Label28.SetCaption(CounterText(battleLosses));
}

}  // namespace quorlax
