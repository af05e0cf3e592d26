// A test's own socket on 127.0.0.1, closed with its object, for tests that look at the machine's
// port tables. Used by the platform and the end-to-end tests.
#pragma once

#include <winsock2.h>

#include <cstdint>

namespace tolvane::testing {

class LoopbackSocket {
  public:
    // A TCP (SOCK_STREAM) or UDP (SOCK_DGRAM) socket bound to 127.0.0.1 at the port, 0 for one
    // the system picks. `shared`: other sockets that ask the same may bind the port too.
    explicit LoopbackSocket(int type, std::uint16_t port = 0, bool shared = false)
        : socket_(::socket(AF_INET, type, 0)) {
        if (socket_ == INVALID_SOCKET) {
            return;
        }
        const BOOL yes = TRUE;
        if (shared) {
            setsockopt(socket_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&yes),
                       sizeof(yes));
        }
        const sockaddr_in address = Loopback(port);
        bound_ = bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    }
    ~LoopbackSocket() {
        if (socket_ != INVALID_SOCKET) {
            closesocket(socket_);
        }
    }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    bool Listen() { return bound_ && listen(socket_, SOMAXCONN) == 0; }
    bool Connect(std::uint16_t port) {
        const sockaddr_in address = Loopback(port);
        return bound_ &&
               connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    }
    // The port it is bound to; 0 when it is not.
    std::uint16_t Port() const {
        sockaddr_in address{};
        int size = sizeof(address);
        if (!bound_ || getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            return 0;
        }
        return ntohs(address.sin_port);
    }
    SOCKET get() const { return socket_; }

  private:
    static sockaddr_in Loopback(std::uint16_t port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        return address;
    }

    // Winsock counts its starts: each socket keeps it started for as long as it lives.
    struct Winsock {
        Winsock() {
            WSADATA data;
            WSAStartup(MAKEWORD(2, 2), &data);
        }
        ~Winsock() { WSACleanup(); }
    } winsock_;
    SOCKET socket_;
    bool bound_ = false;
};

}  // namespace tolvane::testing
