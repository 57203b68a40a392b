// The battle room: the battle panel "连接", its timers, the battle flag and
// tallies, the connection's events, and what a game tells the peer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/board.h"
#include "forms/controls.h"
#include "net/battle_controls.h"
#include "net/wire.h"
#include "platform/non_copyable.h"
#include "platform/services.h"

namespace quorlax {

// The battle port: the host listens on it, the joiner connects to it.
inline constexpr std::uint16_t kBattlePort = 5238;

// Hosting: a connection that sends no known message for this long before its
// "ljcg" is no joiner; it is dropped and hosting goes on.
inline constexpr int kJoinLimitMs = 10000;
// A peer that sends the heartbeat and has sent nothing for more than this
// many of our own heartbeats (seconds) has stalled or vanished: it is lost.
inline constexpr int kSilentBeatsLost = 5;

// Texts of the battle panel, written once.
inline constexpr wchar_t kBattleWelcome[] = L"欢迎使用Quorlax";
inline constexpr wchar_t kBattleWaiting[] = L"等待连线中...";
inline constexpr wchar_t kBattleJoining[] = L"正在加入主机...";
inline constexpr wchar_t kBattleReadyHost[] = L"连接成功，请开始";
inline constexpr wchar_t kBattleReadyJoiner[] = L"连接成功，正在等待主机开始。";
inline constexpr wchar_t kBattleLost[] = L"与对方计算机断开";
inline constexpr wchar_t kBattleBadAddress[] = L"请输入正确的IP地址";
// The two texts that name the port carry "{port}" where its number goes.
inline constexpr wchar_t kBattlePortInUse[] =
    L"无法建立主机：端口 {port} 已被占用。\n"
    L"也许另一个程序，或另一个 Quorlax，正在这台计算机上使用它。请关闭它后再试，或者加入别人的主机。";
inline constexpr wchar_t kBattleListenFailed[] =
    L"无法建立主机：网络拒绝在端口 {port} "
    L"上等待连线。\n请检查这台计算机的网络设置后再试，或者加入别人的主机。";
inline constexpr wchar_t kBattleOwnAddress[] = L"本机IP";
inline constexpr wchar_t kBattleHostAddress[] = L"请输入主机IP";
inline constexpr wchar_t kBattleSetUp[] = L"建立连接";
inline constexpr wchar_t kBattleConnect[] = L"连接";
inline constexpr wchar_t kBattleNoAddress[] = L"0.0.0.0";

// The panel's colour, RGB(255, 255, 128).
inline constexpr forms::Color kBattlePanelColor = 0x0080FFFF;

class BattleRoom final : private IBattleEvents, NonCopyable {
public:
    BattleRoom(Board& board, Services& services);
    ~BattleRoom() override;

    forms::MenuItem battleItem;  // "网络对战": opens the battle panel

    // --- the battle panel and its controls (positions inside the panel) ---
    forms::Panel panel;                     // the battle panel "连接"
    forms::Panel poolGroup;                 // the pool group, inside panel
    forms::Label winsCaption;               // "胜：", caption of the wins tally
    forms::Label winsLabel;                 // the wins tally
    forms::Label lossesCaption;             // "负：", caption of the losses tally
    forms::Label lossesLabel;               // the losses tally
    forms::Label poolTitleTop;              // "对战", in the pool group
    forms::Label poolTitleBottom;           // "项目", in the pool group
    forms::Label statusLine;                // the status line
    forms::Label addressCaption;            // caption of the address box
    OptionButton hostOption;                // "自己建立主机": role host
    OptionButton joinOption;                // "加入别人主机": role join
    OptionButton chineseOption;             // "汉字": pool 1
    OptionButton englishOption;             // "英文": pool 2
    OptionButton digitsOption;              // "数字": pool 3
    forms::CommandButton connectButton;     // "建立连接" / "连接": listen or join
    forms::CommandButton leaveButton;       // "退出": leave the panel
    forms::CommandButton disconnectButton;  // "断开": close the connection
    forms::CommandButton startButton;       // "开始": the host's Start
    forms::TextBox addressBox;              // the address: own when hosting, the host's when joining

    forms::Timer joinRetry{2000};          // join retry
    forms::Timer heartbeat{1000};          // heartbeat
    forms::Timer joinLimit{kJoinLimitMs};  // hosting: how long a connection may wait without a word

    // --- module-level state of the battle ---
    std::int16_t role = 0;      // 1 = this side hosts, 2 = this side joins
    std::int32_t inBattle = 0;  // 1 while a network battle is up
    std::int32_t wins = 0;      // battle tally: won
    std::int32_t losses = 0;    // battle tally: lost

    // --- handlers ---
    void OnOpenPanel();
    void OnHostOption();
    void OnJoinOption();
    void OnConnect();
    void OnLeave();
    void OnDisconnect();
    void OnStart();
    void OnJoinRetry();
    void OnHeartbeat();
    // The accepted connection said nothing known in time: it goes.
    void JoinLimitPassed();
    // First join attempt: a bad address is reported.
    void JoinFirst();
    // Join retry: nothing is reported.
    void JoinAgain();

    // A hit on this board: the peer's floor line goes up.
    void BattleHit();
    // This board lost: tell the peer, count it, show the panel.
    void BattleDefeat();
    // Sends one message to the peer. A failure drops the message: the
    // heartbeat finds a lost connection within a second and says so.
    bool Send(WireMessage message);

    // The stream reader of the connection (for tests and the benchmark).
    const WireReader& Reader() const { return reader_; }

private:
    // The connection's events, as the socket control's events were named.
    void LinkAccepted() override;   // Winsock1_ConnectionRequest, accepted
    void LinkConnected() override;  // Winsock1_Connect
    void LinkLookedUp(bool found) override;
    void LinkReceived(std::string_view bytes) override;  // Winsock1_DataArrival
    void LinkClosed() override;

    // Reads and dispatches what arrived.
    void OnReceived(std::string_view bytes);
    void Dispatch(WireMessage message);
    void StartBattle(WireMessage pool);
    // Closes the link and forgets what this connection was.
    void CloseLink();
    // Hosting: the accepted connection is no longer waited for.
    void StopWaitingForJoin();
    void HeartbeatLost();
    void HostDefaults();
    void SelectRole(int role);
    void SelectPool(int pool);
    void EnableMenus(bool on);
    // Starts a join; `report` says whether a bad address is told to the user.
    void Join(bool report);

    Board& board_;
    Services& services_;
    WireReader reader_;
    bool awaitingJoin_ = false;        // hosting: a connection is accepted, its "ljcg" has not come
    bool peerBeats_ = false;           // the peer sends the heartbeat, so its silence tells
    int silentBeats_ = 0;              // our heartbeats since the peer's last byte
    bool firstJoinLookup_ = false;     // JoinFirst's host name is being looked up
    std::wstring statusBeforeLookup_;  // the status line to restore if it is not found
};

}  // namespace quorlax
