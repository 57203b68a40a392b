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

// Puts a control into the panel (or its pool group) in the panel's font.
template <class C>
void PlaceOnPanel(C& control, forms::Panel& panel, float left, float top, float width, float height,
                  const wchar_t* caption) {
    forms::PlaceInPanel(control, panel, left, top, width, height, kPanelFont, caption);
}

void PlaceButton(forms::CommandButton& button, forms::Panel& panel, float left, float top,
                 const wchar_t* caption) {
    button.BackColor = kBattlePanelColor;
    PlaceOnPanel(button, panel, left, top, 1215, 375, caption);
}

}  // namespace

BattleRoom::BattleRoom(Board& board, Services& services)
    : panel(board.scene, forms::Layer::Overlay),
      poolGroup(board.scene, forms::Layer::Overlay),
      winsCaption(board.scene, forms::Layer::OverlayContent),
      winsLabel(board.scene, forms::Layer::OverlayContent),
      lossesCaption(board.scene, forms::Layer::OverlayContent),
      lossesLabel(board.scene, forms::Layer::OverlayContent),
      poolTitleTop(board.scene, forms::Layer::OverlayContent),
      poolTitleBottom(board.scene, forms::Layer::OverlayContent),
      statusLine(board.scene, forms::Layer::OverlayContent),
      addressCaption(board.scene, forms::Layer::OverlayContent),
      board_(board),
      services_(services) {
    battleItem.Define(L"网络对战");
    battleItem.Click = [this] { OnOpenPanel(); };

    panel.Place(2200, 2000, 7455, 3015);
    panel.Caption = L"连接";
    panel.BackColor = kBattlePanelColor;
    panel.Visible = false;
    poolGroup.Container = &panel;
    poolGroup.Place(3360, 120, 2535, 1095);
    poolGroup.BackColor = kBattlePanelColor;

    PlaceOnPanel(winsCaption, panel, 240, 240, 735, 375, L"胜：");
    PlaceOnPanel(winsLabel, panel, 960, 240, 615, 375, L"0");
    PlaceOnPanel(lossesCaption, panel, 1800, 240, 615, 375, L"负：");
    PlaceOnPanel(lossesLabel, panel, 2640, 240, 735, 375, L"0");
    PlaceOnPanel(poolTitleTop, poolGroup, 240, 150, 1000, 400, L"对战");
    PlaceOnPanel(poolTitleBottom, poolGroup, 240, 570, 1000, 400, L"项目");
    poolTitleTop.Font = poolTitleBottom.Font = {L"黑体", 14.25f};
    PlaceOnPanel(statusLine, panel, 240, 720, 3075, 375, kBattleWelcome);
    statusLine.Font = {L"宋体", 10.5f};
    PlaceOnPanel(addressCaption, panel, 3000, 1560, 2175, 435, L"");

    PlaceOnPanel(chineseOption, poolGroup, 1320, 80, 975, 285, L"汉字");
    PlaceOnPanel(englishOption, poolGroup, 1320, 410, 975, 285, L"英文");
    PlaceOnPanel(digitsOption, poolGroup, 1320, 740, 975, 285, L"数字");
    PlaceOnPanel(hostOption, panel, 240, 1560, 2175, 375, L"自己建立主机");
    PlaceOnPanel(joinOption, panel, 240, 2160, 2175, 375, L"加入别人主机");
    PlaceButton(startButton, panel, 6000, 240, L"开始");
    PlaceButton(leaveButton, panel, 6000, 720, L"退出");
    PlaceButton(connectButton, panel, 6000, 1590, kBattleConnect);
    PlaceButton(disconnectButton, panel, 6000, 2160, L"断开");
    startButton.Enabled = false;
    addressBox.Container = &panel;
    addressBox.Place(3000, 2160, 2175, 375);
    addressBox.Font = kPanelFont;
    addressBox.MaxLength = 255;

    hostOption.Click = [this] { OnHostOption(); };
    joinOption.Click = [this] { OnJoinOption(); };
    chineseOption.Click = [this] { SelectPool(3); };
    englishOption.Click = [this] { SelectPool(4); };
    digitsOption.Click = [this] { SelectPool(5); };
    connectButton.Click = [this] { OnConnect(); };
    leaveButton.Click = [this] { OnLeave(); };
    disconnectButton.Click = [this] { OnDisconnect(); };
    startButton.Click = [this] { OnStart(); };
    joinRetry.Tick = [this] { OnJoinRetry(); };
    heartbeat.Tick = [this] { OnHeartbeat(); };
    joinLimit.Tick = [this] { JoinLimitPassed(); };

    services_.battle.SetEvents(this);
    board_.hitLanded.Listen([this] { BattleHit(); });
    board_.livesOut.Listen([this] {
        if (inBattle == 1) BattleDefeat();
    });
}

BattleRoom::~BattleRoom() { services_.battle.SetEvents(nullptr); }

// --- the panel ---

void BattleRoom::OnOpenPanel() {
    board_.battlePanelShown();
    EnableMenus(false);
    panel.Visible = true;
    hostOption.Enabled = true;
    joinOption.Enabled = true;
    SelectRole(1);
    SelectPool(3);
    statusLine.SetCaption(kBattleWelcome);
    connectButton.Enabled = true;
    HostDefaults();
    wins = 0;
    losses = 0;
    winsLabel.SetCaption(L"0");
    lossesLabel.SetCaption(L"0");
}

void BattleRoom::HostDefaults() {
    addressCaption.SetCaption(kBattleOwnAddress);
    addressBox.SetText(services_.battle.LocalAddress());
    connectButton.Caption = kBattleSetUp;
    role = 1;
}

void BattleRoom::OnHostOption() {
    SelectRole(1);
    HostDefaults();
}

void BattleRoom::OnJoinOption() {
    SelectRole(2);
    addressCaption.SetCaption(kBattleHostAddress);
    connectButton.Caption = kBattleConnect;
    addressBox.SetText(kBattleNoAddress);
    role = 2;
}

void BattleRoom::SelectRole(int role) {
    hostOption.Value = role == 1;
    joinOption.Value = role == 2;
}

void BattleRoom::SelectPool(int pool) {
    chineseOption.Value = pool == 3;
    englishOption.Value = pool == 4;
    digitsOption.Value = pool == 5;
}

void BattleRoom::EnableMenus(bool on) { board_.menusLocked(!on); }

void BattleRoom::OnConnect() {
    CloseLink();
    // A heartbeat left running by 断开 would find the new socket not yet
    // connected and close it: the new connection starts without it.
    heartbeat.SetEnabled(false);
    bool listenFailed = false;
    if (role == 1) {
        const ListenResult result = services_.battle.Listen(kBattlePort);
        if (result == ListenResult::Listening) {
            statusLine.SetCaption(kBattleWaiting);
        } else {
            listenFailed = true;
            services_.messages.Show(
                WithBattlePort(result == ListenResult::PortInUse ? kBattlePortInUse : kBattleListenFailed));
        }
    } else {
        JoinFirst();
    }
    startButton.Enabled = false;
    connectButton.Enabled = listenFailed;
    hostOption.Enabled = listenFailed;
    joinOption.Enabled = listenFailed;
}

void BattleRoom::JoinFirst() { Join(true); }

void BattleRoom::JoinAgain() {
    CloseLink();
    Join(false);
}

void BattleRoom::Join(bool report) {
    firstJoinLookup_ = false;
    const std::wstring previous = statusLine.Caption();
    switch (services_.battle.Connect(addressBox.Text(), kBattlePort)) {
        case JoinStart::Connecting:
            statusLine.SetCaption(kBattleJoining);
            if (report) joinRetry.SetEnabled(true);
            break;
        case JoinStart::LookingUp:
            statusLine.SetCaption(kBattleJoining);
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
        joinRetry.SetEnabled(true);
        return;
    }
    statusLine.SetCaption(statusBeforeLookup_);
    services_.messages.Show(kBattleBadAddress);
}

void BattleRoom::OnJoinRetry() {
    if (inBattle != 1) JoinAgain();
    if (inBattle == 1) joinRetry.SetEnabled(false);
}

void BattleRoom::OnDisconnect() {
    CloseLink();
    // Retrying would connect again behind the player's back.
    joinRetry.SetEnabled(false);
    firstJoinLookup_ = false;
    hostOption.Enabled = true;
    joinOption.Enabled = true;
    connectButton.Enabled = true;
}

void BattleRoom::OnLeave() {
    CloseLink();
    joinRetry.SetEnabled(false);
    firstJoinLookup_ = false;
    panel.Visible = false;
    inBattle = 0;
    board_.restFloor();
    EnableMenus(true);
}

void BattleRoom::OnStart() {
    WireMessage pool;
    if (chineseOption.Value)
        pool = WireMessage::StartChinese;
    else if (englishOption.Value)
        pool = WireMessage::StartEnglish;
    else if (digitsOption.Value)
        pool = WireMessage::StartDigits;
    else
        return;  // no pool chosen: nothing to start
    Send(pool);
    StartBattle(pool);
}

// --- the connection ---

bool BattleRoom::Send(WireMessage message) { return services_.battle.Send(WireText(message)); }

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
    Restart(joinLimit);
}

void BattleRoom::StopWaitingForJoin() {
    awaitingJoin_ = false;
    joinLimit.SetEnabled(false);
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
    Send(WireMessage::Connected);
    inBattle = 1;
    statusLine.SetCaption(kBattleReadyJoiner);
    heartbeat.SetEnabled(true);
}

void BattleRoom::LinkReceived(std::string_view bytes) { OnReceived(bytes); }

void BattleRoom::OnReceived(std::string_view bytes) {
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
    if (spoke && awaitingJoin_) Restart(joinLimit);
}

void BattleRoom::Dispatch(WireMessage message) {
    switch (message) {
        case WireMessage::Connected:
            statusLine.SetCaption(kBattleReadyHost);
            startButton.Enabled = true;
            heartbeat.SetEnabled(true);
            break;
        case WireMessage::StartChinese:
        case WireMessage::StartEnglish:
        case WireMessage::StartDigits: StartBattle(message); break;
        case WireMessage::Hit: board_.raiseFloor(100); break;
        case WireMessage::Defeat:
            panel.Visible = true;
            ++wins;
            winsLabel.SetCaption(CounterText(wins));
            board_.stopPlay();
            break;
        case WireMessage::Heartbeat: break;
        case WireMessage::ShowConnect: connectButton.Visible = true; break;
    }
}

void BattleRoom::StartBattle(WireMessage pool) {
    switch (pool) {
        case WireMessage::StartEnglish: board_.startGame(GamePool::English); break;
        case WireMessage::StartDigits: board_.startGame(GamePool::Digits); break;
        default: board_.startGame(GamePool::Chinese); break;
    }
    panel.Visible = false;
    board_.restFloor();
    inBattle = 1;
}

void BattleRoom::OnHeartbeat() {
    // A send fails once the peer has closed the connection; a peer that
    // stalled (asleep, unplugged) never closes it, but its heartbeat stops.
    if (!Send(WireMessage::Heartbeat) || (peerBeats_ && ++silentBeats_ > kSilentBeatsLost)) HeartbeatLost();
}

void BattleRoom::HeartbeatLost() {
    // Stopped before the box: the box runs a message loop of its own, in
    // which a running heartbeat would fail again and stack box on box.
    heartbeat.SetEnabled(false);
    services_.messages.Show(kBattleLost);
    inBattle = 0;
    CloseLink();
    statusLine.SetCaption(kBattleLost);
    EnableMenus(true);
    startButton.Enabled = false;
}

// --- what a game tells the peer ---

void BattleRoom::BattleHit() {
    if (inBattle == 1) Send(WireMessage::Hit);
}

void BattleRoom::BattleDefeat() {
    Send(WireMessage::Defeat);
    panel.Visible = true;
    ++losses;
    lossesLabel.SetCaption(CounterText(losses));
}

}  // namespace quorlax
