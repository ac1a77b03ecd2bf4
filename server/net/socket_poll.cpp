#include "server/net/socket_poll.h"

#include <vector>

#include "platform/tcp_socket.h"
#include "server/net/socket.h"

namespace {
constexpr size_t kMaxPolledSockets = 64;
}  // namespace

int PollNetwork(u32 microseconds) {
    NoteNetworkPoll();
    return SocketSelectPoll(microseconds, true);
}

int SocketSelectPoll(u32 timeoutMicroseconds, bool withRead) {
    std::vector<platform::SocketPollEntry> entries;
    std::vector<CSocket*> sockets;
    for (CSocket* s = SocketList.head; s && entries.size() < kMaxPolledSockets; s = s->next) {
        if ((s->state & 1) || s->handle == -1 || s->handle == kLocalSocketValue) continue;
        platform::SocketPollEntry e;
        e.handle = s->handle;
        e.wantRead = withRead;
        e.wantWrite = s->HasPendingOutput();
        entries.push_back(e);
        sockets.push_back(s);
    }
    if (!entries.empty()) {
        const int ready = platform::PollSockets(entries.data(), entries.size(),
                                                static_cast<int>(timeoutMicroseconds / 1000));
        if (ready < 0) return platform::LastSocketError();
        if (ready > 0) {
            // Served in list order. Serving only marks sockets; the reaper alone deletes.
            for (size_t i = 0; i < sockets.size(); ++i) {
                CSocket* s = sockets[i];
                const platform::SocketPollEntry& e = entries[i];
                if (e.failed && !e.readable) s->Close();
                if (!(s->state & 1) && e.writable) s->FlushSendQueue();
                if (withRead && !(s->state & 1) && (e.readable || e.failed)) s->OnReadable();
            }
        }
    }
    ReapSockets();
    return 0;
}
