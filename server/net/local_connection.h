#pragma once
// The server protocol's services that the process frame calls: the local connection that
// stands for the built-in client, the destruction of every socket at shutdown, the start-up
// texts and the phase notes. The protocol subsystem fills these in; until then the socket's
// work is empty and every service records that it was called, so the frame's order of
// calls can be checked.
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

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

// Creates the CUserSock (socket value 0xBEEF, peer 127.0.0.1) of the built-in client and
// keeps it as the local connection.
void CreateLocalUserSock();
// The local connection, or null before CreateLocalUserSock and after DestroyAllSockets.
CUserSock* LocalUserSock();
// Destroys every socket object; called once at shutdown.
void DestroyAllSockets();
// Loads the start-up texts (login.txt, update.txt, the tips). Not built yet: the call is
// only recorded.
void LoadTextFiles();
// Notes the phase the server is in ("startup", "loading"); does nothing but record the call.
void NoteServerPhase(const char* phase);

// The services called so far, in order: "NoteServerPhase startup", "CreateLocalUserSock",
// "LoadTextFiles", "DestroyAllSockets", and the local socket's "OnReadable",
// "FlushSendQueue" (the poll is recorded only when the recording of polls is on, so an
// idle server does not grow the list).
std::vector<std::string> ProtocolServiceCalls();
void ClearProtocolServiceCalls();
void RecordSocketPolls(bool on);
// Called with each recorded entry as it is made (tests look at the rest of the process
// at that moment); null removes it.
void SetProtocolServiceObserver(std::function<void(const std::string&)> observer);
