// The battle connection over Winsock 2 on the user-interface thread: one
// non-blocking socket whose events (WSAAsyncSelect) and host-name look-ups
// (WSAAsyncGetHostByName) arrive as private messages of the main window,
// through its message chain and so behind the exception barrier.
#pragma once

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/message_chain_win.h"
#include "net/wire.h"
#include "platform/handles_win.h"
#include "platform/non_copyable.h"
#include "platform/services.h"

namespace quorlax::win {

// Winsock's functions, from ws2_32 loaded when a battle first needs it: the
// program does not import it, so a start-up does not load it.
struct WinsockApi {
    decltype(&::WSAStartup) WSAStartup;
    decltype(&::WSACleanup) WSACleanup;
    decltype(&::WSAGetLastError) WSAGetLastError;
    decltype(&::WSAAsyncSelect) WSAAsyncSelect;
    decltype(&::WSAAsyncGetHostByName) WSAAsyncGetHostByName;
    decltype(&::socket) socket;
    decltype(&::setsockopt) setsockopt;
    decltype(&::getsockopt) getsockopt;
    decltype(&::WSACancelAsyncRequest) WSACancelAsyncRequest;
    decltype(&::bind) bind;
    decltype(&::listen) listen;
    decltype(&::accept) accept;
    decltype(&::connect) connect;
    decltype(&::recv) recv;
    decltype(&::send) send;
    decltype(&::shutdown) shutdown;
    decltype(&::closesocket) closesocket;
    decltype(&::htonl) htonl;
    decltype(&::htons) htons;
    decltype(&::ntohl) ntohl;
    decltype(&::InetPtonW) InetPtonW;
    decltype(&::InetNtopW) InetNtopW;
};
// Null when ws2_32 or one of its functions is missing.
const WinsockApi* Winsock();

struct SocketTraits {
    static SOCKET Invalid() { return INVALID_SOCKET; }
    static void Close(SOCKET s) { Winsock()->closesocket(s); }  // a socket was made: Winsock is there
};
using UniqueSocket = UniqueHandle<SOCKET, SocketTraits>;

// WSAStartup for as long as it lives.
class WinsockSession : NonCopyable {
public:
    WinsockSession();
    ~WinsockSession();
    explicit operator bool() const { return started_; }

private:
    bool started_ = false;
};

class BattleLinkWin final : public IBattleLink, public forms::MessageFilter, NonCopyable {
public:
    // Bytes one read takes at most; a read of a flooding peer yields to
    // pending timers and painting before the next one.
    static constexpr int kReadBytes = static_cast<int>(kWireReadLimit);
    // Reads taken when the peer closes, so that its last messages still count.
    static constexpr int kDrainReads = 16;

    BattleLinkWin();
    ~BattleLinkWin() override;

    // Events go to `window` as its private messages, and a read put off
    // waits for its timer `read_timer`; the link joins the window's chain to
    // receive them. `after_event` brings the window up to date after each.
    // The window (and its chain) must go before the link.
    void Attach(HWND window, UINT_PTR read_timer, forms::MessageChain& chain,
                std::function<void()> after_event);

    void SetEvents(IBattleEvents* events) override { events_ = events; }
    ListenResult Listen(std::uint16_t port) override;
    void StopListening() override;
    void DropPeer() override;
    JoinStart Connect(std::wstring_view host, std::uint16_t port) override;
    bool Send(std::string_view message) override;
    void Close() override;
    std::wstring LocalAddress() override;

    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    // Bytes received since the program started (the benchmark's check).
    std::uint64_t BytesRead() const { return bytes_read_; }
    // Reads put off for a timer tick or a repaint (the benchmark's check).
    std::uint64_t ReadsPutOff() const { return reads_put_off_; }
    // True while a connection to a peer is up.
    bool Connected() const { return state_ == State::Connected; }
    // True while hosting lets a peer in.
    bool Listening() const { return static_cast<bool>(listener_); }
    // True when the socket sends each message at once (TCP_NODELAY; the tests' check).
    bool NoDelay() const;

private:
    // The state of socket_; hosting listens on listener_ beside it.
    enum class State { Idle, LookingUp, Connecting, Connected, Failed };

    void OnSocket(SOCKET s, WORD event, WORD error);
    void OnLookup(HANDLE request, WORD error);
    void OnAccept();
    // Hands what the peer has sent so far to the room, while the peer is
    // not yet kept; true if the room kept it meanwhile.
    bool ReadBeforeKept();
    // One read of at most kReadBytes, handed to the room.
    void ReadOnce();
    // Reads what the peer sent before it closed, then lets the socket go.
    void PeerClosed();
    bool StartConnect(IN_ADDR address, std::uint16_t port);
    // Stops the connection's events, then closes it.
    void Drop();
    // The same, at once and with a reset: the peer never joined, and the
    // port's side of the connection must not linger.
    void DropAtOnce();
    void StopListener();
    // The look-up under way, if any, is no longer waited for.
    void GiveUpLookup();

    // Winsock started on first use; false when it cannot be.
    bool Started();

    std::optional<WinsockSession> session_;
    HWND window_ = nullptr;
    UINT_PTR read_timer_ = 0;  // the window's timer that resumes a read that yielded
    UINT socket_message_ = 0;  // WSAAsyncSelect's notifications
    UINT lookup_message_ = 0;  // WSAAsyncGetHostByName's answers
    std::function<void()> after_event_;
    IBattleEvents* events_ = nullptr;

    UniqueSocket listener_;  // hosting, until the room keeps a peer
    UniqueSocket socket_;    // the connection, or the attempt to make one
    State state_ = State::Idle;
    bool read_deferred_ = false;
    bool last_read_full_ = false;  // more is likely queued: the peer floods us
    std::vector<char> read_buffer_;
    std::uint64_t bytes_read_ = 0;
    std::uint64_t reads_put_off_ = 0;

    // A host-name look-up. Its answer is written into `answer` on another
    // thread, so the buffer lives until the answer's message arrives, even
    // when the look-up was given up meanwhile (while the program runs a
    // look-up is never cancelled: not every Winsock honours a cancellation);
    // at exit the buffers of look-ups still under way are left allocated.
    struct Lookup {
        HANDLE request = nullptr;
        std::string name;
        std::vector<char> answer;
    };
    std::unique_ptr<Lookup> lookup_;                 // the one the room waits for
    std::vector<std::unique_ptr<Lookup>> given_up_;  // answers still to come, then dropped
    std::uint16_t lookup_port_ = 0;
    std::string found_name_;  // the last name found, so a retry need not look it up again
    IN_ADDR found_address_{};
};

}  // namespace quorlax::win
