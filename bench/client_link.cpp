// The client's side of the link: server packets taken from the in-process queue, framed and
// dispatched (packets per second), and Huffman decoding (decoded bytes per second).
#include <benchmark/benchmark.h>

#include <vector>

#include "client/net/client_link.h"
#include "client/net/huffman_decoder.h"
#include "client/net/link_report.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"
#include "tests/client/net/huffman_test_encoder.h"

namespace {

// A mobile update (0x77, 17 bytes) as the server sends them, serial and position varying.
std::vector<u8> MobileUpdates(size_t count) {
    std::vector<u8> out;
    for (size_t i = 0; i < count; ++i) {
        const u8 p[17] = {0x77, 0x00, 0x00, u8(i >> 8), u8(i), 0x01, 0x90, 0x05, u8(i & 0x3F),
                          0x06, 0x40, 0x00, u8(i & 7),  0x03,  0xB2, 0x00, 0x01};
        out.insert(out.end(), p, p + sizeof p);
    }
    return out;
}

void BM_FrameAndDispatch(benchmark::State& state) {
    LinkReportCapture quiet;
    ChunkQueue toServer, fromServer;
    ChunkQueue* oldTo = ClientToServerQueue;
    ChunkQueue* oldFrom = ServerToClientQueue;
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &fromServer;
    {
        ClientLink link;
        size_t handled = 0, sum = 0;
        link.Dispatcher().SetSlot(0x77, [&](const u8* packet, size_t) {
            ++handled;
            sum += packet[4];
        });
        link.OpenLocalConnection();
        // One chunk of 3,800 packets per pass, as a busy server's flush would queue.
        const std::vector<u8> chunk = MobileUpdates(3800);
        for (auto _ : state) {
            fromServer.Put(chunk.data(), s32(chunk.size()));
            link.Poll();
        }
        benchmark::DoNotOptimize(sum);
        if (handled != size_t(state.iterations()) * 3800) state.SkipWithError("packets lost");
        state.SetItemsProcessed(int64_t(state.iterations()) * 3800);
    }
    ClientToServerQueue = oldTo;
    ServerToClientQueue = oldFrom;
}
BENCHMARK(BM_FrameAndDispatch);

void BM_HuffmanDecode(benchmark::State& state) {
    const std::vector<u8> plain = MobileUpdates(3800);
    std::vector<u8> coded;
    for (size_t at = 0; at < plain.size(); at += 17)
        HuffmanEncodeAppend(&plain[at], 17, coded);
    coded.resize(coded.size() + HuffmanDecoder::kInputSlack);
    std::vector<u8> out(65536);
    for (auto _ : state) {
        HuffmanDecoder decoder;
        size_t count = 0;
        decoder.Decode(coded.data(), coded.size() - HuffmanDecoder::kInputSlack, out.data(), count,
                       out.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(plain.size()));
}
BENCHMARK(BM_HuffmanDecode);

}  // namespace
