// A bare TCP peer on 127.0.0.1 for the battle tests: the other end of the
// program's connection, or a port scan, as plain Winsock calls.
#pragma once

#include <winsock2.h>

#include <string>

#include "net/battle_link_win.h"
#include "net/battle_room.h"

namespace quorlax::win {

// The other end of the connection, as plain Winsock calls on the test's
// thread: blocking connect and send (a few bytes), reads that never block.
class RawPeer {
public:
    // Connects to 127.0.0.1 on the battle port.
    bool Connect() {
        socket_.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        sockaddr_in to = Loopback(kBattlePort);
        if (!socket_ || connect(socket_.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0)
            return false;
        u_long nonblocking = 1;
        return ioctlsocket(socket_.get(), FIONBIO, &nonblocking) == 0;
    }
    // Listens on 127.0.0.1 on the battle port (as a host, or to hold the port).
    bool Listen() {
        listener_.reset(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        sockaddr_in at = Loopback(kBattlePort);
        u_long nonblocking = 1;
        return listener_ && bind(listener_.get(), reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
               listen(listener_.get(), 1) == 0 && ioctlsocket(listener_.get(), FIONBIO, &nonblocking) == 0;
    }
    bool Accept() {
        if (!listener_) return false;
        SOCKET s = accept(listener_.get(), nullptr, nullptr);
        if (s == INVALID_SOCKET) return false;
        socket_.reset(s);
        u_long nonblocking = 1;
        ioctlsocket(socket_.get(), FIONBIO, &nonblocking);
        return true;
    }
    bool Send(const std::string& bytes) {
        return send(socket_.get(), bytes.data(), static_cast<int>(bytes.size()), 0) ==
               static_cast<int>(bytes.size());
    }
    // Everything received so far.
    const std::string& Received() {
        char buffer[4096];
        int n;
        while (socket_ && (n = recv(socket_.get(), buffer, sizeof buffer, 0)) > 0)
            received_.append(buffer, n);
        if (socket_ && (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK)) ended_ = true;
        return received_;
    }
    // True once the program has closed or reset the connection.
    bool Ended() {
        Received();
        return ended_;
    }
    void Close() { socket_.reset(); }

private:
    static sockaddr_in Loopback(std::uint16_t port) {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        return a;
    }
    WinsockSession session_;
    UniqueSocket listener_, socket_;
    std::string received_;
    bool ended_ = false;
};

}  // namespace quorlax::win
