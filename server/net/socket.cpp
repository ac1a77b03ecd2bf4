#include "server/net/socket.h"

#include <cstring>
#include <vector>

#include "core/chunk_queue.h"
#include "core/protocol/packet_table.h"
#include "platform/clock.h"
#include "platform/tcp_socket.h"
#include "server/net/packet_framer.h"
#include "server/net/send_queue.h"
#include "server/world/player.h"

SocketListHead SocketList;
CUserSock* LocalUserSock = nullptr;

namespace {

// The C2S generation the last local socket was made for; a reopened link has another.
u32 g_servedLinkGeneration = 0;
bool g_linkStarted = false;

constexpr u32 kFlushAllMs = 10;
constexpr u32 kDrainMs = 1000;

void LogOutAndUnlink(CUserSock* socket) {
    CPlayer* player = socket->player;
    if (player == nullptr) return;
    if (player->IsLoggedIn()) player->LogOut(1);
    // LogOut may have let the player go; its destructor then cleared our pointer.
    UnlinkPlayer(socket);
}

}  // namespace

// ---------------------------------------------------------------- CSocket

CSocket::CSocket() {
    next = SocketList.head;
    if (next) next->prev = this;
    SocketList.head = this;
}

CSocket::~CSocket() {
    if (SocketList.walkCursor == this) SocketList.walkCursor = next;
    if (prev) prev->next = next;
    if (next) next->prev = prev;
    if (SocketList.head == this) SocketList.head = next;
    if (handle != -1 && handle != kLocalSocketValue) platform::CloseSocket(handle);
    while (oldest)
        ReleaseOldest();
}

void CSocket::QueuePacket(const u8* data, size_t length) {
    if (data == nullptr || length == 0) return;
    u8* copy = new u8[length];
    std::memcpy(copy, data, length);
    SendQueueNode* node = AllocSendQueueNode();
    node->owner = this;
    node->data = copy;
    node->length = static_cast<u32>(length);
    node->older = newest;
    if (newest) {
        newest->newer = node;
    } else {
        oldest = node;
    }
    newest = node;
    queuedBytes += node->length;
}

void CSocket::ReleaseOldest() {
    SendQueueNode* node = oldest;
    oldest = node->newer;
    if (oldest) {
        oldest->older = nullptr;
    } else {
        newest = nullptr;
    }
    queuedBytes -= node->length;
    FreeSendQueueNode(node);
}

long CSocket::SendRaw(const u8* data, size_t count) {
    const long sent = platform::SendBytes(handle, data, count);
    if (sent < 0 && platform::SocketWouldBlock(platform::LastSocketError())) return 0;
    return sent;
}

bool CSocket::SendQueuedData(SendQueueNode* node) {
    const long sent = SendRaw(node->data + sentOfOldest, node->length - sentOfOldest);
    if (sent < 0) {
        Close();
        return false;
    }
    if (sent == 0) return false;
    sentOfOldest += static_cast<u32>(sent);
    return true;
}

void CSocket::FlushSendQueue() {
    while (oldest && handle != -1) {
        const bool sent = SendQueuedData(oldest);
        if (oldest && sentOfOldest >= oldest->length) {
            ReleaseOldest();
            sentOfOldest = 0;
        }
        if (!sent) break;
    }
}

void CSocket::Close() {
    state |= 1;
    if (handle != -1) platform::CloseSocket(handle);
    handle = -1;
}

bool CSocket::Connect(u32 address, u16 port, bool keepNagle) {
    const int h = platform::OpenTcpSocket();
    if (h == platform::kNoSocket) return false;
    if (!keepNagle) platform::SetSocketOption(h, platform::SocketOption::kNoDelay, true);
    platform::SetSocketOption(h, platform::SocketOption::kKeepAlive, true);
    if (!platform::ConnectTo(h, address, port)) {
        platform::CloseSocket(h);
        handle = -1;
        return false;
    }
    handle = h;
    return true;
}

bool CSocket::SetBlocking(bool blocking) {
    if (handle == -1 || handle == kLocalSocketValue) return false;
    return platform::SetSocketBlocking(handle, blocking);
}

void CSocket::Drain() {
    const u32 start = platform::NowMs();
    while (HasPendingOutput() && handle != -1) {
        FlushSendQueue();
        if (platform::HasElapsed(start, platform::NowMs(), kDrainMs)) break;
    }
}

// ---------------------------------------------------------------- CUserSock

CUserSock::CUserSock(int socketHandle, u32 peer) {
    className = "CUserSock";
    std::memset(buffer, 0, sizeof buffer);
    peerAddress = peer;
    handle = socketHandle;
    local_ = socketHandle == kLocalSocketValue;
    if (local_) {
        inGeneration_ = ClientToServerQueue ? ClientToServerQueue->Generation() : 0;
        outGeneration_ = ServerToClientQueue ? ServerToClientQueue->Generation() : 0;
        LocalUserSock = this;
    } else {
        SetBlocking(false);
    }
}

CUserSock::~CUserSock() {
    if (LocalUserSock == this) LocalUserSock = nullptr;
    LogOutAndUnlink(this);
}

void CUserSock::Close() {
    state |= 1;
    // The local link's pseudo-handle is no handle of the system's: nothing to close.
    if (!local_ && handle != -1) platform::CloseSocket(handle);
    handle = -1;
}

void CUserSock::OnReaped() {
    if (!local_) return;
    // Both directions of this session end: the client reads -1 once it has what was sent.
    if (ClientToServerQueue) ClientToServerQueue->CloseSession(inGeneration_);
    if (ServerToClientQueue) ServerToClientQueue->CloseSession(outGeneration_);
}

long CUserSock::ReceiveRaw(u8* into, size_t room) {
    if (local_) {
        if (ClientToServerQueue == nullptr) return 0;
        return ClientToServerQueue->GetInSession(inGeneration_, into, static_cast<s32>(room));
    }
    if (handle == -1) return -1;
    const long got = platform::ReceiveBytes(handle, into, room);
    if (got == 0) return -1;  // the peer closed the connection
    if (got < 0 && platform::SocketWouldBlock(platform::LastSocketError())) return 0;
    return got;
}

void CUserSock::ReceiveUserSock() {
    if (IsMarkedForClosing()) return;
    const size_t room = kReceiveBufferSize - received;
    if (room > 0) {
        const long got = ReceiveRaw(buffer + received, room);
        if (got == 0) return;
        if (got < 0) {
            state = kSocketClosing;
            return;
        }
        received += static_cast<u32>(got);
    }
    if (received < 1) return;
    const int length = PacketFramedLength(buffer, received);
    if (length == 0 || (length > 0 && received >= static_cast<u32>(length))) {
        FrameUserSockInput(*this);
    } else if (received == kReceiveBufferSize) {
        state = kSocketClosing;  // a full buffer without one whole packet
    }
}

long CUserSock::SendRaw(const u8* data, size_t count) {
    if (!local_) return CSocket::SendRaw(data, count);
    if (ServerToClientQueue == nullptr) return 0;
    const s32 put =
        ServerToClientQueue->PutInSession(outGeneration_, data, static_cast<s32>(count));
    return put < 0 ? -1 : put;
}

void CUserSock::FlushSendQueue() {
    if (!local_ || oldest == nullptr || oldest == newest) {
        CSocket::FlushSendQueue();
        return;
    }
    // The local link takes one put per flush: everything queued, gathered.
    static thread_local std::vector<u8> gathered;
    gathered.clear();
    gathered.reserve(queuedBytes);
    for (SendQueueNode* node = oldest; node; node = node->newer) {
        const u32 skip = node == oldest ? sentOfOldest : 0;
        gathered.insert(gathered.end(), node->data + skip, node->data + node->length);
    }
    const long sent = SendRaw(gathered.data(), gathered.size());
    if (sent < 0) {
        Close();
        return;
    }
    if (sent == 0) return;
    while (oldest)
        ReleaseOldest();
    sentOfOldest = 0;
}

// ---------------------------------------------------------------- the list

CUserSock* CreateLocalUserSock() {
    NoteNetworkStartup();
    g_linkStarted = true;
    g_servedLinkGeneration = ClientToServerQueue ? ClientToServerQueue->Generation() : 0;
    return new CUserSock(kLocalSocketValue, kLocalPeerAddress);
}

void DeleteAllSockets() {
    while (SocketList.head)
        delete SocketList.head;
    g_linkStarted = false;
}

void ReapSockets() {
    CSocket* socket = SocketList.head;
    while (socket) {
        SocketList.walkCursor = socket->next;
        if (socket->state == kSocketClosing) {
            socket->state = kSocketDeleting;
            socket->OnReaped();
            delete socket;
        } else if (socket->state == kSocketCloseHandle) {
            socket->state = kSocketHandleClosed;
            if (socket->handle != -1 && socket->handle != kLocalSocketValue) {
                platform::CloseSocket(socket->handle);
            }
            socket->handle = -1;
        }
        socket = SocketList.walkCursor;
    }
    SocketList.walkCursor = nullptr;
}

CUserSock* RefreshLocalLink() {
    CUserSock* local = LocalUserSock;
    if (local && ClientToServerQueue &&
        ClientToServerQueue->Generation() != g_servedLinkGeneration) {
        local->state = kSocketClosing;  // the client reopened the link: this session is over
    }
    ReapSockets();
    // A new session is served once both of its queues are open.
    if (LocalUserSock == nullptr && g_linkStarted && ClientToServerQueue && ServerToClientQueue &&
        !ClientToServerQueue->IsClosed() && !ServerToClientQueue->IsClosed() &&
        ClientToServerQueue->Generation() != g_servedLinkGeneration) {
        CreateLocalUserSock();
    }
    return LocalUserSock;
}

void FlushAllSockets() {
    const u32 start = platform::NowMs();
    for (;;) {
        bool pending = false;
        for (CSocket* s = SocketList.head; s; s = s->next) {
            if (s->handle != -1 && s->HasPendingOutput()) {
                pending = true;
                s->FlushSendQueue();
            }
        }
        if (!pending || platform::HasElapsed(start, platform::NowMs(), kFlushAllMs)) break;
    }
}

CUserSock* UserSockOf(const CPlayer* player) {
    return player ? static_cast<CUserSock*>(player->GetConnection()) : nullptr;
}

void LinkPlayerToSocket(CPlayer* player, CUserSock* socket) {
    if (player == nullptr || socket == nullptr) return;
    if (socket->player && socket->player != player) LogOutAndUnlink(socket);
    CUserSock* other = UserSockOf(player);
    if (other && other != socket) {
        other->state = kSocketClosing;
        other->player = nullptr;
        player->SetConnection(nullptr);
    }
    socket->player = player;
    player->SetConnection(socket);
}

void UnlinkPlayer(CUserSock* socket) {
    if (socket == nullptr || socket->player == nullptr) return;
    if (socket->player->GetConnection() == socket) socket->player->SetConnection(nullptr);
    socket->player = nullptr;
}

void NoteNetworkStartup() {}
void NoteNetworkPoll() {}
void NoteServerPhase(const char*) {}
