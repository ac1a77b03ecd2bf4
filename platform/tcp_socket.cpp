#include "platform/tcp_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {

namespace {

thread_local int g_lastError = 0;

bool Fail() {
    g_lastError = errno;
    return false;
}

sockaddr_in AddressOf(u32 address, u16 port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(address);
    return a;
}

}  // namespace

SocketHandle OpenTcpSocket() {
    const int handle = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (handle < 0) Fail();
    return handle < 0 ? kNoSocket : handle;
}

void CloseSocket(SocketHandle handle) {
    if (handle != kNoSocket) close(handle);
}

bool SetSocketOption(SocketHandle handle, SocketOption option, bool on) {
    const int value = on ? 1 : 0;
    int level = SOL_SOCKET;
    int name = SO_REUSEADDR;
    switch (option) {
        case SocketOption::kReuseAddress:
            break;
        case SocketOption::kNoDelay:
            level = IPPROTO_TCP;
            name = TCP_NODELAY;
            break;
        case SocketOption::kKeepAlive:
            name = SO_KEEPALIVE;
            break;
    }
    return setsockopt(handle, level, name, &value, sizeof value) == 0 || Fail();
}

bool SetSocketBlocking(SocketHandle handle, bool blocking) {
    const int flags = fcntl(handle, F_GETFL, 0);
    if (flags < 0) return Fail();
    const int wanted = blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK);
    return fcntl(handle, F_SETFL, wanted) == 0 || Fail();
}

bool BindAnyAddress(SocketHandle handle, u16 port) {
    const sockaddr_in a = AddressOf(INADDR_ANY, port);
    return bind(handle, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 || Fail();
}

bool ListenOn(SocketHandle handle, int backlog) {
    return listen(handle, backlog) == 0 || Fail();
}

u16 BoundPort(SocketHandle handle) {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    if (getsockname(handle, reinterpret_cast<sockaddr*>(&a), &size) != 0) return Fail(), 0;
    return ntohs(a.sin_port);
}

SocketHandle AcceptConnection(SocketHandle listener, u32& peerAddress) {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    const int handle = accept4(listener, reinterpret_cast<sockaddr*>(&a), &size, SOCK_CLOEXEC);
    if (handle < 0) return Fail(), kNoSocket;
    peerAddress = ntohl(a.sin_addr.s_addr);
    return handle;
}

bool PeerAddressOf(SocketHandle handle, u32& address) {
    sockaddr_in a{};
    socklen_t size = sizeof a;
    if (getpeername(handle, reinterpret_cast<sockaddr*>(&a), &size) != 0) return Fail();
    address = ntohl(a.sin_addr.s_addr);
    return true;
}

bool ConnectTo(SocketHandle handle, u32 address, u16 port) {
    const sockaddr_in a = AddressOf(address, port);
    return connect(handle, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0 || Fail();
}

long SendBytes(SocketHandle handle, const void* data, size_t count) {
    const ssize_t sent = send(handle, data, count, MSG_NOSIGNAL);
    if (sent < 0) Fail();
    return static_cast<long>(sent);
}

long ReceiveBytes(SocketHandle handle, void* data, size_t count) {
    const ssize_t got = recv(handle, data, count, 0);
    if (got < 0) Fail();
    return static_cast<long>(got);
}

int LastSocketError() {
    return g_lastError;
}

bool SocketWouldBlock(int error) {
    return error == EAGAIN || error == EWOULDBLOCK || error == EINPROGRESS;
}

std::string SocketErrorText(int error) {
    return std::strerror(error);
}

int PollSockets(SocketPollEntry* entries, size_t count, int timeoutMs) {
    std::vector<pollfd> fds(count);
    for (size_t i = 0; i < count; ++i) {
        fds[i].fd = entries[i].handle;
        fds[i].events = static_cast<short>((entries[i].wantRead ? POLLIN : 0) |
                                           (entries[i].wantWrite ? POLLOUT : 0));
    }
    const int ready = poll(fds.data(), fds.size(), timeoutMs);
    if (ready < 0) {
        Fail();
        return -1;
    }
    for (size_t i = 0; i < count; ++i) {
        const short r = fds[i].revents;
        entries[i].readable = (r & POLLIN) != 0;
        entries[i].writable = (r & POLLOUT) != 0;
        entries[i].failed =
            (r & (POLLERR | POLLNVAL)) != 0 || ((r & POLLHUP) != 0 && (r & POLLIN) == 0);
    }
    return ready;
}

}  // namespace platform
