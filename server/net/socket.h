#pragma once
// The server's connections. Every socket is on the process-wide SocketList and keeps a queue
// of outgoing packets. A CUserSock is the connection of one client: it owns the receive
// buffer the framer turns into packets and is linked to the client's CPlayer.
//
// The local link: the one CUserSock made with the pseudo-handle 0xBEEF stands for the built-in
// client. It is the only socket that reads ClientToServerQueue and writes ServerToClientQueue;
// sockets with a real handle recv() and send() on it. Each local socket belongs to one session
// of the link (the queues' generations when it was made): a link closed or reopened since is
// not its link any more.
//
// State: 0 open; bit 0 closed or marked for closing. The framer and the receive step mark a
// socket by setting the state to exactly 1, and only the reaper (ReapSockets, run after each
// poll) deletes it: 1 becomes 5 and the object goes; 3 becomes 2 and only the handle is closed.
#include <cstddef>

#include "platform/types.h"
#include "server/world/player_connection.h"

class CPlayer;
struct SendQueueNode;

inline constexpr int kLocalSocketValue = 0xBEEF;      // the local link's pseudo-handle
inline constexpr u32 kLocalPeerAddress = 0x7F000001;  // 127.0.0.1
inline constexpr size_t kReceiveBufferSize = 65536;

enum SocketStateValue : u32 {
    kSocketOpen = 0,
    kSocketClosing = 1,       // marked: the reaper deletes it
    kSocketHandleClosed = 2,  // handle closed, object kept
    kSocketCloseHandle = 3,   // marked: the reaper closes only the handle
    kSocketDeleting = 5,
};

class CSocket {
public:
    CSocket();
    virtual ~CSocket();
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;

    // Data can be read.
    virtual void OnReadable() = 0;
    // Sends queued packets until the queue is empty or the handle cannot take more now.
    virtual void FlushSendQueue();
    virtual bool HasPendingOutput() const { return oldest != nullptr; }
    // Sets state bit 0 and closes the handle.
    virtual void Close();
    // Run by the reaper just before it deletes the socket.
    virtual void OnReaped() {}

    // Appends a private copy of `length` bytes (wire form) at the newest end of the queue.
    void QueuePacket(const u8* data, size_t length);

    // Connects to address:port (host order) on a new TCP socket; TCP_NODELAY unless
    // `keepNagle`, and keep-alive. Answers false (handle -1) when it fails.
    bool Connect(u32 address, u16 port, bool keepNagle);
    void SetHandle(int newHandle) { handle = newHandle; }
    bool SetBlocking(bool blocking);
    // Flushes while output is pending and the handle is open, for at most 1000 ms.
    void Drain();

    // The handle as a number (the local link's is 0xBEEF).
    u32 SocketValue() const { return static_cast<u32>(handle); }
    bool IsMarkedForClosing() const { return (state & 1) != 0; }

    CSocket* next = nullptr;
    CSocket* prev = nullptr;
    int handle = -1;
    u32 state = kSocketOpen;
    SendQueueNode* oldest = nullptr;
    SendQueueNode* newest = nullptr;
    u32 sentOfOldest = 0;
    u32 queuedBytes = 0;
    const char* className = "CSocket";

protected:
    // Sends bytes of the oldest node: the count sent, 0 when nothing could go now, -1 when
    // the connection failed.
    virtual long SendRaw(const u8* data, size_t count);
    // Sends the unsent rest of the oldest node; true when bytes went out. A failure other
    // than "would block" closes the socket.
    bool SendQueuedData(SendQueueNode* node);
    // Unlinks the oldest node and frees it.
    void ReleaseOldest();
};

class CUserSock : public CSocket, public PlayerConnection {
public:
    // A client connection on `socketHandle`; kLocalSocketValue makes the local link's socket,
    // which becomes LocalUserSock.
    CUserSock(int socketHandle, u32 peer);
    ~CUserSock() override;

    void OnReadable() override { ReceiveUserSock(); }
    void FlushSendQueue() override;
    void Close() override;
    void OnReaped() override;

    // Takes what arrived (at most the free room of the buffer) and frames the packets in it.
    void ReceiveUserSock();

    bool IsLocalLink() const { return local_; }
    u32 PeerAddress() const { return peerAddress; }

    u8 buffer[kReceiveBufferSize];
    u32 badPacketCount = 0;
    u32 received = 0;
    u32 peerAddress = 0;  // IPv4, host order
    u32 loggedIn = 0;     // 1 once the player has entered the world
    // `player` (PlayerConnection): the character this connection plays, or null.

protected:
    long SendRaw(const u8* data, size_t count) override;

private:
    long ReceiveRaw(u8* into, size_t room);

    bool local_ = false;
    u32 inGeneration_ = 0;   // the link session this local socket reads
    u32 outGeneration_ = 0;  // and writes
};

// The process-wide list of sockets (a new socket goes at the head). A walk keeps its next
// socket in `walkCursor`, which a socket deleted meanwhile moves on.
struct SocketListHead {
    CSocket* head = nullptr;
    CSocket* walkCursor = nullptr;
};
extern SocketListHead SocketList;
// The local link's socket, or null.
extern CUserSock* LocalUserSock;

// Makes the local link's socket (0xBEEF, 127.0.0.1) for the link's current session.
CUserSock* CreateLocalUserSock();
// Deletes every socket (at shutdown).
void DeleteAllSockets();
// The reaping walk: state 1 becomes 5 and the socket is deleted (OnReaped first); state 3
// becomes 2 and only the handle is closed.
void ReapSockets();
// Reaps, then makes a fresh local socket when the link has been reopened since the last
// one was made (a session the server has not served yet); answers LocalUserSock.
CUserSock* RefreshLocalLink();
// Calls FlushSendQueue on every socket with a handle and pending output, pass after pass,
// until none has output left or 10 ms have passed.
void FlushAllSockets();

// The connection playing the player (every player's connection is a CUserSock), or null for
// no player or none linked.
CUserSock* UserSockOf(const CPlayer* player);

// Links a player and a connection both ways. A connection that already plays another
// character logs it out first; a player linked elsewhere is taken from that connection,
// which is marked for closing (unless it is this one).
void LinkPlayerToSocket(CPlayer* player, CUserSock* socket);
// Clears both links between the socket and its player.
void UnlinkPlayer(CUserSock* socket);

// Hooks of the network path; they do nothing.
void NoteNetworkStartup();
void NoteNetworkPoll();
void NoteServerPhase(const char* name);
