// The link end to end in one thread: the server builds mobile updates (0x77) with its real
// builder, queues them on the local link's socket and flushes (one put per flush); the client
// takes the chunk from the in-process queue, frames it and dispatches every packet.
#include <benchmark/benchmark.h>

#include <vector>

#include "client/net/client_link.h"
#include "client/net/link_report.h"
#include "core/chunk_queue.h"
#include "core/packet_writer.h"
#include "server/net/object_packets.h"
#include "server/net/socket.h"
#include "server/world/player.h"

namespace {

void BM_ServerBuildsClientDispatches(benchmark::State& state) {
    const int perFlush = static_cast<int>(state.range(0));
    LinkReportCapture quiet;
    ChunkQueue toServer;
    ChunkQueue toClient;
    ChunkQueue* oldTo = ClientToServerQueue;
    ChunkQueue* oldFrom = ServerToClientQueue;
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &toClient;
    {
        CUserSock* local = CreateLocalUserSock();
        CPlayer mobile;
        mobile.SetBodyType(400);
        ClientLink link;
        size_t handled = 0;
        u32 sum = 0;
        link.Dispatcher().SetSlot(0x77, [&](const u8* packet, size_t) {
            ++handled;
            sum += packet[8];
        });
        link.OpenLocalConnection();
        u8 bytes[kMobileUpdateLength];
        size_t packets = 0;
        int step = 0;
        for (auto _ : state) {
            for (int i = 0; i < perFlush; ++i) {
                PacketWriter w(bytes, sizeof bytes);
                BuildMobileUpdatePacket(w, mobile, (step + i) & 7, 1);
                local->QueuePacket(w.Data(), w.Length());
            }
            local->FlushSendQueue();
            link.Poll();
            packets += size_t(perFlush);
            ++step;
        }
        benchmark::DoNotOptimize(sum);
        if (handled != packets) state.SkipWithError("packets lost");
        state.SetItemsProcessed(int64_t(packets));
        DeleteAllSockets();
    }
    ClientToServerQueue = oldTo;
    ServerToClientQueue = oldFrom;
}
BENCHMARK(BM_ServerBuildsClientDispatches)->Arg(1)->Arg(32)->Arg(256);

}  // namespace
