#include "server/net/listen_socket.h"

#include <cstdio>

#include "platform/tcp_socket.h"

namespace {
constexpr int kDefaultBacklog = 8;
}  // namespace

CListenSocket::CListenSocket() {
    className = "CListenSocket";
}

CListenSocket::CListenSocket(u16 listenPort) : CListenSocket() {
    Init(listenPort, kDefaultBacklog);
}

bool CListenSocket::Fail(const char* step) {
    const int error = platform::LastSocketError();
    std::fprintf(stderr, "CListenSocket::Init: %s: %s\n", step,
                 platform::SocketErrorText(error).c_str());
    if (handle != -1) platform::CloseSocket(handle);
    handle = -1;
    return false;
}

bool CListenSocket::OpenSocket() {
    if (handle != -1) platform::CloseSocket(handle);
    handle = platform::OpenTcpSocket();
    if (handle == platform::kNoSocket) return Fail("socket");
    if (!platform::SetSocketOption(handle, platform::SocketOption::kReuseAddress, true)) {
        return Fail("setsockopt");
    }
    return true;
}

bool CListenSocket::Init(u16 listenPort, int backlog) {
    if (!OpenSocket()) return false;
    if (!platform::BindAnyAddress(handle, listenPort)) return Fail("bind");
    platform::SetSocketBlocking(handle, false);
    if (!platform::ListenOn(handle, backlog)) return Fail("listen");
    port = platform::BoundPort(handle);
    return true;
}

bool CListenSocket::InitRange(u16 first, u16 last, int backlog) {
    if (!OpenSocket()) return false;
    bool bound = false;
    for (u32 p = first; p < last && !bound; ++p)
        bound = platform::BindAnyAddress(handle, static_cast<u16>(p));
    if (!bound) return Fail("bind");
    platform::SetSocketBlocking(handle, false);
    if (!platform::ListenOn(handle, backlog)) return Fail("listen");
    port = platform::BoundPort(handle);
    return true;
}

int CListenSocket::AcceptConnection(u32& peerAddress) {
    if (handle == -1) return -1;
    const int accepted = platform::AcceptConnection(handle, peerAddress);
    if (accepted == platform::kNoSocket) return -1;
    if (!platform::PeerAddressOf(accepted, peerAddress)) {
        platform::CloseSocket(accepted);
        return -1;
    }
    return accepted;
}

CUserSock* CListenSocket::Accept() {
    u32 peer = 0;
    const int accepted = AcceptConnection(peer);
    if (accepted == -1) return nullptr;
    if (accepted == kLocalSocketValue) {
        // That number stands for the local link; a real handle may not pose as it.
        platform::CloseSocket(accepted);
        return nullptr;
    }
    return new CUserSock(accepted, peer);
}
