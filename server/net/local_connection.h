#pragma once
// The server side of a client connection, and the local connection that stands for the
// built-in client. Until the protocol is built, the socket's work is empty.
#include <memory>

#include "platform/types.h"
#include "server/net/net_services.h"

// A server-side connection. The main loop polls the local one through these operations.
class CSocket {
public:
    CSocket(u32 socketValue, u32 peerAddress) : socketValue_(socketValue), peer_(peerAddress) {}
    virtual ~CSocket() = default;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    // Takes the bytes that arrived and handles the packets in them.
    virtual void OnReadable() {}
    // True while packets wait in the send queue.
    virtual bool HasPendingOutput() const { return false; }
    // Sends the queued packets.
    virtual void FlushSendQueue() {}

    u32 SocketValue() const { return socketValue_; }
    u32 PeerAddress() const { return peer_; }  // IPv4, host order

private:
    u32 socketValue_;
    u32 peer_;
};

// The server side of one client connection. For the local connection the bytes come from
// ClientToServerQueue and go to ServerToClientQueue; for now its work is empty.
class CUserSock : public CSocket {
public:
    using CSocket::CSocket;
    void OnReadable() override;
    bool HasPendingOutput() const override;
    void FlushSendQueue() override;
};

inline constexpr u32 kLocalSocketValue = 0xBEEF;
inline constexpr u32 kLocalPeerAddress = 0x7F000001;  // 127.0.0.1

// The protocol's services as far as they are built: the local connection of the built-in
// client, made at start-up and destroyed with every other socket at shutdown. The phase notes
// and the start-up texts are not built yet (NetServices' own answers: nothing happens).
class LocalConnectionServices : public NetServices {
public:
    void CreateLocalUserSock() override;
    CUserSock* LocalUserSock() override;
    void DestroyAllSockets() override;

private:
    std::unique_ptr<CUserSock> localUserSock_;
};
