// The battle connection over Winsock 2.
#include "net/battle_link_win.h"

#include <iphlpapi.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "net/wire.h"
#include "platform/lazy_dll_win.h"

namespace quorlax::win {
namespace {

constexpr wchar_t kSocketMessageName[] = L"Quorlax.BattleSocket";
constexpr wchar_t kLookupMessageName[] = L"Quorlax.BattleLookup";
constexpr wchar_t kLoopback[] = L"127.0.0.1";

// Winsock, once the link has started it (or LocalAddress has found it).
const WinsockApi& ws() { return *Winsock(); }

// An address one can connect to: not "any", not broadcast, not multicast.
bool Joinable(IN_ADDR address) {
    const std::uint32_t a = ws().ntohl(address.s_addr);
    return a != 0 && a != 0xFFFFFFFFu && (a >> 28) != 0xE;
}

bool Loopback(IN_ADDR address) { return (ws().ntohl(address.s_addr) >> 24) == 127; }

// Each message leaves at once, in a segment of its own where the network
// allows: with Nagle's algorithm a heartbeat and a hit could share one, and
// an older copy of the game, which compares each read as a whole, would
// drop both. The bytes themselves stay as they are.
void SendAtOnce(SOCKET s) {
    const BOOL on = TRUE;
    ws().setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

}  // namespace

const WinsockApi* Winsock() {
    static const std::optional<WinsockApi> api = []() -> std::optional<WinsockApi> {
        HMODULE ws2 = SystemLibrary(L"ws2_32.dll");
        if (!ws2) return std::nullopt;
        WinsockApi a{};
        bool all = true;
        auto get = [&](auto& fn, const char* name) {
            fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
                reinterpret_cast<void*>(GetProcAddress(ws2, name)));
            all = all && fn;
        };
        get(a.WSAStartup, "WSAStartup");
        get(a.WSACleanup, "WSACleanup");
        get(a.WSAGetLastError, "WSAGetLastError");
        get(a.WSAAsyncSelect, "WSAAsyncSelect");
        get(a.WSAAsyncGetHostByName, "WSAAsyncGetHostByName");
        get(a.socket, "socket");
        get(a.setsockopt, "setsockopt");
        get(a.getsockopt, "getsockopt");
        get(a.WSACancelAsyncRequest, "WSACancelAsyncRequest");
        get(a.bind, "bind");
        get(a.listen, "listen");
        get(a.accept, "accept");
        get(a.connect, "connect");
        get(a.recv, "recv");
        get(a.send, "send");
        get(a.shutdown, "shutdown");
        get(a.closesocket, "closesocket");
        get(a.htonl, "htonl");
        get(a.htons, "htons");
        get(a.ntohl, "ntohl");
        get(a.InetPtonW, "InetPtonW");
        get(a.InetNtopW, "InetNtopW");
        if (!all) return std::nullopt;
        return a;
    }();
    return api ? &*api : nullptr;
}

WinsockSession::WinsockSession() {
    WSADATA data{};
    started_ = Winsock() && ws().WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WinsockSession::~WinsockSession() {
    if (started_) ws().WSACleanup();
}

bool BattleLinkWin::Started() {
    if (!session_) session_.emplace();
    return static_cast<bool>(*session_);
}

BattleLinkWin::BattleLinkWin()
    : socket_message_(RegisterWindowMessageW(kSocketMessageName)),
      lookup_message_(RegisterWindowMessageW(kLookupMessageName)),
      read_buffer_(kReadBytes) {}

BattleLinkWin::~BattleLinkWin() {
    events_ = nullptr;
    Close();
    // Winsock writes a look-up's answer into its buffer from another thread
    // until the answer's message is posted, and the window that would take
    // that message is gone. So the buffers of look-ups still under way stay
    // allocated: leaked on purpose, at exit, about a kilobyte each. Cancelling
    // is asked for but not trusted to have stopped the writer: Wine answers
    // success without cancelling anything.
    for (auto& lookup : given_up_) {
        ws().WSACancelAsyncRequest(lookup->request);
        static_cast<void>(lookup.release());
    }
}

void BattleLinkWin::Attach(HWND window, UINT_PTR read_timer, forms::MessageChain& chain,
                           std::function<void()> after_event) {
    window_ = window;
    read_timer_ = read_timer;
    after_event_ = std::move(after_event);
    chain.Add(this);
}

bool BattleLinkWin::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == socket_message_ && socket_message_) {
        OnSocket(static_cast<SOCKET>(wp), WSAGETSELECTEVENT(lp), WSAGETSELECTERROR(lp));
    } else if (msg == lookup_message_ && lookup_message_) {
        OnLookup(reinterpret_cast<HANDLE>(wp), WSAGETASYNCERROR(lp));
    } else if (msg == WM_TIMER && wp == read_timer_) {
        KillTimer(window_, read_timer_);
        read_deferred_ = false;
        if (state_ == State::Connected) ReadOnce();
    } else {
        return false;
    }
    result = 0;
    if (after_event_) after_event_();
    return true;
}

// --- hosting ---

ListenResult BattleLinkWin::Listen(std::uint16_t port) {
    Close();
    if (!window_ || !Started()) return ListenResult::Failed;
    UniqueSocket s(ws().socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!s) return ListenResult::Failed;
    // No SO_REUSEADDR: a program that holds the port already makes this bind
    // fail instead of sharing it. (No SO_EXCLUSIVEADDRUSE either: with it,
    // hosting again right after a battle fails while the last connection
    // lingers in TIME_WAIT.)
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = ws().htonl(INADDR_ANY);
    any.sin_port = ws().htons(port);
    if (ws().bind(s.get(), reinterpret_cast<const sockaddr*>(&any), sizeof any) == SOCKET_ERROR) {
        const int error = ws().WSAGetLastError();
        return error == WSAEADDRINUSE || error == WSAEACCES ? ListenResult::PortInUse : ListenResult::Failed;
    }
    if (ws().listen(s.get(), 1) == SOCKET_ERROR ||
        ws().WSAAsyncSelect(s.get(), window_, socket_message_, FD_ACCEPT) == SOCKET_ERROR)
        return ListenResult::Failed;
    listener_ = std::move(s);
    return ListenResult::Listening;
}

// The listener stays open until the room keeps a peer: a connection that
// never joins (a port scan, a health check, a join given up) is dropped
// without a new bind, which could find the port still taken.
void BattleLinkWin::OnAccept() {
    // Newest first: a connection that said nothing must not keep a joiner
    // out. The last one's bytes are read first, as its join may be among them.
    if (ReadBeforeKept()) return;  // it was a joiner: the newer one is turned away with the listener
    UniqueSocket peer(ws().accept(listener_.get(), nullptr, nullptr));
    if (!peer) return;  // the caller gave up already; keep listening
    // The accepted socket inherits the listener's events; it needs its own.
    if (ws().WSAAsyncSelect(peer.get(), window_, socket_message_, FD_READ | FD_CLOSE) == SOCKET_ERROR) return;
    SendAtOnce(peer.get());
    DropAtOnce();
    socket_ = std::move(peer);
    state_ = State::Connected;
    if (events_) events_->LinkAccepted();
}

bool BattleLinkWin::ReadBeforeKept() {
    for (int i = 0; i < kDrainReads && listener_ && socket_ && state_ == State::Connected; ++i) {
        const int n = ws().recv(socket_.get(), read_buffer_.data(), kReadBytes, 0);
        if (n <= 0) break;
        bytes_read_ += static_cast<std::uint64_t>(n);
        if (events_) events_->LinkReceived(std::string_view(read_buffer_.data(), static_cast<size_t>(n)));
    }
    return !listener_;
}

void BattleLinkWin::StopListening() { StopListener(); }

void BattleLinkWin::DropPeer() {
    DropAtOnce();
    state_ = State::Idle;
}

// --- joining ---

JoinStart BattleLinkWin::Connect(std::wstring_view host, std::uint16_t port) {
    Close();
    if (!window_ || !Started()) return JoinStart::BadAddress;
    const std::wstring_view text = TrimAddress(host);
    switch (ClassifyAddress(text)) {
        case AddressKind::Invalid: return JoinStart::BadAddress;
        case AddressKind::Ipv4: {
            IN_ADDR address{};
            const std::wstring dotted(text);
            if (ws().InetPtonW(AF_INET, dotted.c_str(), &address) != 1 || !Joinable(address))
                return JoinStart::BadAddress;
            return StartConnect(address, port) ? JoinStart::Connecting : JoinStart::BadAddress;
        }
        case AddressKind::HostName: break;
    }
    // A host name is plain ASCII (ClassifyAddress has checked it).
    std::string name(text.size(), '\0');
    std::transform(text.begin(), text.end(), name.begin(), [](wchar_t c) { return static_cast<char>(c); });
    if (!found_name_.empty() && _stricmp(name.c_str(), found_name_.c_str()) == 0)
        return StartConnect(found_address_, port) ? JoinStart::Connecting : JoinStart::BadAddress;
    lookup_port_ = port;
    // A retry while the same name is still being looked up waits for it.
    auto same = std::find_if(given_up_.begin(), given_up_.end(),
                             [&](const std::unique_ptr<Lookup>& l) { return l->name == name; });
    if (same != given_up_.end()) {
        lookup_ = std::move(*same);
        given_up_.erase(same);
        state_ = State::LookingUp;
        return JoinStart::LookingUp;
    }
    auto lookup = std::make_unique<Lookup>();
    lookup->name = std::move(name);
    lookup->answer.resize(MAXGETHOSTSTRUCT);
    lookup->request =
        ws().WSAAsyncGetHostByName(window_, lookup_message_, lookup->name.c_str(), lookup->answer.data(),
                                   static_cast<int>(lookup->answer.size()));
    if (!lookup->request) return JoinStart::BadAddress;
    lookup_ = std::move(lookup);
    state_ = State::LookingUp;
    return JoinStart::LookingUp;
}

void BattleLinkWin::OnLookup(HANDLE request, WORD error) {
    if (!lookup_ || request != lookup_->request) {
        std::erase_if(given_up_,
                      [request](const std::unique_ptr<Lookup>& l) { return l->request == request; });
        return;
    }
    const std::unique_ptr<Lookup> lookup = std::move(lookup_);
    state_ = State::Idle;
    const auto* host = reinterpret_cast<const hostent*>(lookup->answer.data());
    bool found = error == 0 && host->h_addrtype == AF_INET && host->h_length == sizeof(IN_ADDR) &&
                 host->h_addr_list && host->h_addr_list[0];
    if (found) {
        IN_ADDR address{};
        std::memcpy(&address, host->h_addr_list[0], sizeof address);
        found = Joinable(address) && StartConnect(address, lookup_port_);
        if (found) {
            found_name_ = lookup->name;
            found_address_ = address;
        }
    }
    if (events_) events_->LinkLookedUp(found);
}

bool BattleLinkWin::StartConnect(IN_ADDR address, std::uint16_t port) {
    UniqueSocket s(ws().socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!s) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = ws().htonl(INADDR_ANY);
    local.sin_port = 0;  // any free port
    if (ws().bind(s.get(), reinterpret_cast<const sockaddr*>(&local), sizeof local) == SOCKET_ERROR)
        return false;
    SendAtOnce(s.get());  // kept by the connection it makes
    // Events first: the connection's outcome is reported as FD_CONNECT.
    if (ws().WSAAsyncSelect(s.get(), window_, socket_message_, FD_CONNECT | FD_READ | FD_CLOSE) ==
        SOCKET_ERROR)
        return false;
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr = address;
    remote.sin_port = ws().htons(port);
    socket_ = std::move(s);
    state_ = State::Connecting;
    if (ws().connect(socket_.get(), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) ==
            SOCKET_ERROR &&
        ws().WSAGetLastError() != WSAEWOULDBLOCK)
        state_ = State::Failed;  // the retry tries again
    return true;
}

// --- the connection ---

void BattleLinkWin::OnSocket(SOCKET s, WORD event, WORD error) {
    if (listener_ && s == listener_.get()) {
        if (event == FD_ACCEPT && !error) OnAccept();
        return;
    }
    if (!socket_ || s != socket_.get()) return;  // a socket closed since
    switch (event) {
        case FD_CONNECT:
            if (state_ != State::Connecting) break;
            if (error) {
                state_ = State::Failed;  // nobody listens (yet): the retry tries again
                break;
            }
            state_ = State::Connected;
            if (events_) events_->LinkConnected();
            break;
        case FD_READ:
            if (state_ != State::Connected || read_deferred_) break;
            // A peer that floods us must not starve the game: Winsock posts
            // the next FD_READ at once, and posted messages go before timer
            // ticks and repaints. So after a full read, when a tick or a
            // repaint is due, they go first and the read follows. A message
            // in a quiet stream is read at once.
            if (last_read_full_ && HIWORD(GetQueueStatus(QS_TIMER | QS_PAINT)) != 0) {
                read_deferred_ = true;
                ++reads_put_off_;
                SetTimer(window_, read_timer_, USER_TIMER_MINIMUM, nullptr);
                break;
            }
            ReadOnce();
            break;
        case FD_CLOSE:
            if (state_ == State::Connected)
                PeerClosed();
            else if (state_ == State::Connecting)
                state_ = State::Failed;
            break;
        default: break;
    }
}

void BattleLinkWin::ReadOnce() {
    const int n = ws().recv(socket_.get(), read_buffer_.data(), kReadBytes, 0);
    last_read_full_ = n == kReadBytes;
    if (n > 0) {
        bytes_read_ += static_cast<std::uint64_t>(n);
        if (events_) events_->LinkReceived(std::string_view(read_buffer_.data(), static_cast<size_t>(n)));
    } else if (n == 0 || ws().WSAGetLastError() != WSAEWOULDBLOCK) {
        PeerClosed();
    }
}

void BattleLinkWin::PeerClosed() {
    // FD_CLOSE may come while data is still queued: what the peer said last
    // (its "bai", say) is read before the socket goes.
    for (int i = 0; i < kDrainReads && socket_ && state_ == State::Connected; ++i) {
        const int n = ws().recv(socket_.get(), read_buffer_.data(), kReadBytes, 0);
        if (n <= 0) break;
        bytes_read_ += static_cast<std::uint64_t>(n);
        if (events_) events_->LinkReceived(std::string_view(read_buffer_.data(), static_cast<size_t>(n)));
    }
    if (state_ != State::Connected) return;  // the room closed it meanwhile
    Drop();
    state_ = State::Failed;
    if (events_) events_->LinkClosed();
}

bool BattleLinkWin::Send(std::string_view message) {
    if (state_ != State::Connected || !socket_) return false;
    const int n = ws().send(socket_.get(), message.data(), static_cast<int>(message.size()), 0);
    return n == static_cast<int>(message.size());
}

bool BattleLinkWin::NoDelay() const {
    if (!socket_) return false;
    BOOL on = FALSE;
    int size = sizeof on;
    const int got =
        ws().getsockopt(socket_.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<char*>(&on), &size);
    return got == 0 && on;
}

void BattleLinkWin::Drop() {
    if (!socket_) return;
    if (window_) ws().WSAAsyncSelect(socket_.get(), window_, 0, 0);
    socket_.reset();
}

void BattleLinkWin::DropAtOnce() {
    if (!socket_) return;
    const linger reset{1, 0};
    ws().setsockopt(socket_.get(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset),
                    sizeof reset);
    if (read_deferred_ && window_) KillTimer(window_, read_timer_);
    read_deferred_ = false;
    last_read_full_ = false;
    Drop();
}

void BattleLinkWin::StopListener() {
    if (!listener_) return;
    if (window_) ws().WSAAsyncSelect(listener_.get(), window_, 0, 0);
    listener_.reset();  // connections still waiting to be accepted are reset
}

void BattleLinkWin::GiveUpLookup() {
    if (lookup_) given_up_.push_back(std::move(lookup_));
}

void BattleLinkWin::Close() {
    GiveUpLookup();
    StopListener();
    if (read_deferred_ && window_) KillTimer(window_, read_timer_);
    read_deferred_ = false;
    last_read_full_ = false;
    if (socket_) {
        if (window_) ws().WSAAsyncSelect(socket_.get(), window_, 0, 0);
        // Unread bytes would turn the close into a reset; read them away so
        // the peer sees an orderly end.
        if (state_ == State::Connected) {
            for (int i = 0; i < kDrainReads; ++i)
                if (ws().recv(socket_.get(), read_buffer_.data(), kReadBytes, 0) <= 0) break;
            ws().shutdown(socket_.get(), SD_SEND);
        }
        socket_.reset();
    }
    state_ = State::Idle;
}

std::wstring BattleLinkWin::LocalAddress() {
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    static const auto adapters =
        LazyFunction<ULONG(WINAPI*)(ULONG, ULONG, void*, IP_ADAPTER_ADDRESSES*, ULONG*)>(
            L"iphlpapi.dll", "GetAdaptersAddresses");
    if (!adapters || !Winsock()) return kLoopback;
    ULONG status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 3 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.resize(size);
        status = adapters(AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
                          nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (status != NO_ERROR) return kLoopback;
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter;
         adapter = adapter->Next) {
        if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK || adapter->OperStatus != IfOperStatusUp) continue;
        for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
            const sockaddr* sa = unicast->Address.lpSockaddr;
            if (!sa || sa->sa_family != AF_INET) continue;
            const IN_ADDR address = reinterpret_cast<const sockaddr_in*>(sa)->sin_addr;
            if (Loopback(address) || !Joinable(address)) continue;
            wchar_t text[INET_ADDRSTRLEN] = {};
            if (ws().InetNtopW(AF_INET, &address, text, INET_ADDRSTRLEN)) return text;
        }
    }
    return kLoopback;
}

}  // namespace quorlax::win
