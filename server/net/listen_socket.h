#pragma once
// The TCP listener of the network path: accepts client connections, each of which becomes a
// CUserSock on its own handle. Nothing in the in-process game starts it.
#include "platform/types.h"
#include "server/net/socket.h"

class CListenSocket : public CSocket {
public:
    CListenSocket();
    // Init(port, 8).
    explicit CListenSocket(u16 port);

    // Socket, SO_REUSEADDR, bind to any address on `port`, non-blocking, listen. A failing
    // step prints "CListenSocket::Init: <step>" with the system's reason on stderr, closes the
    // handle and answers false.
    bool Init(u16 port, int backlog);
    // Binds the first port of [first, last) that can be bound; "CListenSocket::Init: bind"
    // when none can.
    bool InitRange(u16 first, u16 last, int backlog);

    // Accepts one pending connection: its handle and the peer address (host order), or -1.
    int AcceptConnection(u32& peerAddress);
    // Accepts one connection and makes its CUserSock (owned by the socket list); null when
    // there was none.
    CUserSock* Accept();

    // A listener is readable when a connection waits: it is accepted.
    void OnReadable() override { Accept(); }

    u16 port = 0;

private:
    bool OpenSocket();
    bool Fail(const char* step);
};
