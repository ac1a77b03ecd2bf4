// How fast the server's link moves packets: client packets framed and dispatched from full
// 64 KB receive buffers of mixed packets, and 0x77 mobile-moving packets built, queued on the
// local link's socket and flushed (one put per flush).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "core/chunk_queue.h"
#include "core/packet_writer.h"
#include "core/protocol/packet_table.h"
#include "server/net/packet_framer.h"
#include "server/net/socket.h"
#include "server/world/player.h"

namespace {

// A full receive buffer of whole packets, in-game ids of every kind of slot (read-only,
// empty, not built yet), fixed and variable.
struct MixedBuffer {
    std::vector<u8> bytes;
    size_t packets = 0;
    MixedBuffer() {
        const std::vector<std::vector<u8>> kinds = {
            {0x73, 0x00},
            {0x02, 0x01, 0x05},
            {0x22, 0x00, 0x00},
            {0xA0, 0x00, 0x01},
            {0x39, 0x40, 0, 0, 1, 0x40, 0, 0, 2},
            {0x03, 0x00, 0x0B, 0x00, 0x00, 0x03, 0x00, 0x03, 'H', 'i', 0},
            {0x6B, 0, 0, 0, 0, 0, 0, 0, 0},
            {0x69, 0x00, 0x05, 0x00, 0x00},
            {0xA7, 0x00, 0x00, 0x00},
            {0x09, 0x40, 0x00, 0x00, 0x01},
        };
        for (size_t i = 0;; ++i) {
            const std::vector<u8>& p = kinds[i % kinds.size()];
            if (bytes.size() + p.size() > kReceiveBufferSize) break;
            bytes.insert(bytes.end(), p.begin(), p.end());
            ++packets;
        }
    }
};

void BM_FrameAndDispatchFullBuffers(benchmark::State& state) {
    static const MixedBuffer mixed;
    CPlayer player;
    CUserSock* socket = new CUserSock(-1, kLocalPeerAddress);
    LinkPlayerToSocket(&player, socket);
    socket->loggedIn = 1;
    size_t packets = 0;
    for (auto _ : state) {
        std::memcpy(socket->buffer, mixed.bytes.data(), mixed.bytes.size());
        socket->received = static_cast<u32>(mixed.bytes.size());
        FrameUserSockInput(*socket);
        if (socket->received != 0 || socket->state != 0) state.SkipWithError("not all framed");
        packets += mixed.packets;
    }
    state.SetItemsProcessed(static_cast<int64_t>(packets));
    UnlinkPlayer(socket);
    delete socket;
}
BENCHMARK(BM_FrameAndDispatchFullBuffers);

// 0x77: serial, body, x, y, z, direction, hue, flags, notoriety.
void BuildMobileMoving(PacketWriter& w, u32 serial, int x, int y) {
    w.Begin(0x77, false);
    w.AppendLong(serial);
    w.AppendShort(400);
    w.AppendShort(static_cast<u16>(x));
    w.AppendShort(static_cast<u16>(y));
    w.AppendByte(0);
    w.AppendByte(2);
    w.AppendShort(0x83EA);
    w.AppendByte(0);
    w.AppendByte(1);
}

// Packets per flush: a pass of the main loop sends what the tick queued for the client.
void BM_BuildQueueFlushMobileMoving(benchmark::State& state) {
    const int perFlush = static_cast<int>(state.range(0));
    ChunkQueue toServer;
    ChunkQueue toClient;
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &toClient;
    CUserSock* local = CreateLocalUserSock();
    std::vector<u8> client(kReceiveBufferSize);
    u8 bytes[17];
    size_t packets = 0;
    int x = 0;
    for (auto _ : state) {
        for (int i = 0; i < perFlush; ++i) {
            PacketWriter w(bytes, sizeof bytes);
            BuildMobileMoving(w, 0x40000001u + static_cast<u32>(i), x & 1023, i);
            local->QueuePacket(w.Data(), w.Length());
        }
        local->FlushSendQueue();
        ++x;
        packets += static_cast<size_t>(perFlush);
        // The client reads what arrived.
        if ((x & 15) == 0) {
            while (toClient.Get(client.data(), static_cast<s32>(client.size())) > 0) {
            }
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(packets));
    DeleteAllSockets();
    ClientToServerQueue = nullptr;
    ServerToClientQueue = nullptr;
}
BENCHMARK(BM_BuildQueueFlushMobileMoving)->Arg(1)->Arg(8)->Arg(32);

}  // namespace
