#pragma once
// TCP sockets for the network path of the protocol: a thin layer over POSIX sockets with
// IPv4 addresses and ports in host order. Every call answers failure by its return value;
// `LastSocketError()` tells why (the system's errno), `SocketErrorText` says it in words.
#include <cstddef>
#include <string>

#include "platform/types.h"

namespace platform {

using SocketHandle = int;
inline constexpr SocketHandle kNoSocket = -1;

enum class SocketOption { kReuseAddress, kNoDelay, kKeepAlive };

// A new TCP socket, or kNoSocket.
SocketHandle OpenTcpSocket();
void CloseSocket(SocketHandle handle);
bool SetSocketOption(SocketHandle handle, SocketOption option, bool on);
bool SetSocketBlocking(SocketHandle handle, bool blocking);
// Binds to any local address on `port` (0: a free port the system picks).
bool BindAnyAddress(SocketHandle handle, u16 port);
bool ListenOn(SocketHandle handle, int backlog);
// The local port a bound socket holds; 0 when it cannot be told.
u16 BoundPort(SocketHandle handle);
// Accepts one pending connection: its handle and the peer's address, or kNoSocket.
SocketHandle AcceptConnection(SocketHandle listener, u32& peerAddress);
bool PeerAddressOf(SocketHandle handle, u32& address);
// Connects (blocking) to address:port.
bool ConnectTo(SocketHandle handle, u32 address, u16 port);
// Bytes sent or received; -1 on an error (see SocketWouldBlock), 0 from Receive when the
// peer closed the connection. Sending never raises SIGPIPE.
long SendBytes(SocketHandle handle, const void* data, size_t count);
long ReceiveBytes(SocketHandle handle, void* data, size_t count);

int LastSocketError();
// True when the last failed call would have had to wait (non-blocking socket).
bool SocketWouldBlock(int error);
std::string SocketErrorText(int error);

// One socket of a poll: what is asked, and what was found.
struct SocketPollEntry {
    SocketHandle handle = kNoSocket;
    bool wantRead = false;
    bool wantWrite = false;
    bool readable = false;
    bool writable = false;
    bool failed = false;  // an error or hang-up condition on the socket
};

// Waits up to `timeoutMs` (0: just looks) for any of the entries to be ready; answers how
// many are, or -1 with LastSocketError() set.
int PollSockets(SocketPollEntry* entries, size_t count, int timeoutMs);

}  // namespace platform
