// Server bytes into the client's link: Huffman decoding (when the first byte asks for it),
// framing with the pause, and dispatch to recording slots and the real handlers (login,
// world, movement, text and prompts). The first byte also chooses the edit-server path and
// how the bytes are cut into chunks.
#include <cstdint>
#include <vector>

#include "client/net/client_link.h"
#include "client/net/client_login_hooks.h"
#include "client/net/link_report.h"
#include "client/net/login_front_end.h"
#include "client/net/login_packet_handlers.h"
#include "core/byte_order.h"
#include "core/chunk_queue.h"
#include "core/process_link.h"
#include "core/protocol/packet_table.h"
#include "tests/client/net/huffman_test_encoder.h"

namespace {

// The bytes of a server packet: id, length for a variable id, body.
std::vector<u8> Packet(u8 id, std::vector<u8> body, bool variable) {
    std::vector<u8> p{id};
    if (variable) {
        p.push_back(u8((body.size() + 3) >> 8));
        p.push_back(u8(body.size() + 3));
    }
    p.insert(p.end(), body.begin(), body.end());
    return p;
}

std::vector<u8> Concat(std::vector<u8> a, const std::vector<u8>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<u8> CharacterList() {
    std::vector<u8> body{1, 0xCD};
    for (int i = 0; i < 5; ++i) {
        for (int j = 0; j < 60; ++j)
            body.push_back(i == 0 && j < 6 ? u8("Tester"[j]) : 0);
    }
    body.push_back(1);
    body.push_back(0);
    for (int j = 0; j < 16; ++j)
        body.push_back(j < 5 ? u8("Local"[j]) : 0);
    body.push_back(2);
    for (u8 index : {u8(1), u8(0)}) {
        body.push_back(index);
        for (int j = 0; j < 62; ++j)
            body.push_back(j == 0 ? u8('T') : j == 31 ? u8('P') : 0);
    }
    return Packet(0x81, body, true);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const u8 mode = data[0];
    ++data;
    --size;

    LinkReportCapture quiet;
    ChunkQueue toServer, fromServer;
    ChunkQueue* oldTo = ClientToServerQueue;
    ChunkQueue* oldFrom = ServerToClientQueue;
    const u32 oldAddress = ClientServerAddress.load();
    ClientToServerQueue = &toServer;
    ServerToClientQueue = &fromServer;
    ClientServerAddress.store(mode & 2 ? 0x7F000001 : 0);
    {
        LoginFrontEnd frontEnd;
        ClientLoginHooks hooks;
        ClientLink link(&frontEnd, &hooks);
        link.Stream().compression = (mode & 1) != 0;
        // The relay's network path stays out: only its refusal runs here.
        LoginPacketHandlers relay(link);
        link.Dispatcher().SetSlot(0x8C, [&](const u8* packet, size_t length) {
            if (LoadBe32(packet + 1) == 0) relay.HandleServerRedirect(packet, length);
        });
        link.OpenLocalConnection();
        const size_t chunk = 1 + (size_t(mode) >> 2) * 61;
        for (size_t at = 0; at < size; at += chunk) {
            const size_t n = size - at < chunk ? size - at : chunk;
            fromServer.Put(data + at, s32(n));
            link.Poll();
            if (!link.Connection().IsOpen()) link.OpenLocalConnection();
        }
        for (int i = 0; i < 4; ++i)
            link.Poll();
    }
    ClientToServerQueue = oldTo;
    ServerToClientQueue = oldFrom;
    ClientServerAddress.store(oldAddress);
    return 0;
}

// Valid streams: the login road plain and compressed, and a pause with held packets.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8> enterWorld = Packet(0x1B, std::vector<u8>(36, 1), false);
    std::vector<u8> road = CharacterList();
    road.insert(road.end(), enterWorld.begin(), enterWorld.end());
    for (u8 b : {0x55, 0x33, 0x01, 0x4F, 0x05, 0x29, 0x33, 0x01, 0x33, 0x00, 0x53, 0x02}) {
        road.push_back(b);
    }
    for (u8 mode : {u8(0x02), u8(0x06), u8(0xFE)}) {
        std::vector<u8> input{mode};
        input.insert(input.end(), road.begin(), road.end());
        emit(input.data(), input.size());
    }
    std::vector<u8> coded{0x03};
    for (size_t at = 0; at < road.size();) {
        const u8 id = road[at];
        size_t length = ClientPacketLengthTable(id) & kVariableLength
                            ? size_t(road[at + 1] << 8 | road[at + 2])
                            : ClientPacketLengthTable(id);
        HuffmanEncodeAppend(road.data() + at, length, coded);
        at += length;
    }
    emit(coded.data(), coded.size());
    // Worn-item entries that name the mobile being dressed or the player: the 31-byte
    // 0x78 that once freed the mobile and then wrote to it, and its kin.
    const std::vector<u8> mobile{0x00, 0x00, 0x00, 0x21, 0x01, 0x90, 0x00, 0x0C,
                                 0x00, 0x0A, 0x00, 0x02, 0x00, 0x00, 0x00, 0x03};
    auto incoming = [&](u32 wornSerial) {
        std::vector<u8> body = mobile;
        for (u8 b : {u8(wornSerial >> 24), u8(wornSerial >> 16), u8(wornSerial >> 8),
                     u8(wornSerial), u8(0x15), u8(0x17), u8(0x05), u8(0), u8(0), u8(0), u8(0)})
            body.push_back(b);
        return Packet(0x78, body, true);
    };
    auto worn = [](u32 itemSerial, u32 mobileSerial) {
        std::vector<u8> body{u8(itemSerial >> 24),
                             u8(itemSerial >> 16),
                             u8(itemSerial >> 8),
                             u8(itemSerial),
                             0x15,
                             0x17,
                             0,
                             4};
        for (u8 b : {u8(mobileSerial >> 24), u8(mobileSerial >> 16), u8(mobileSerial >> 8),
                     u8(mobileSerial), u8(0), u8(5)})
            body.push_back(b);
        return Packet(0x2E, body, false);
    };
    const u32 playerSerial = 0x01010101;  // the serial the login road's 0x1B gives
    const std::vector<std::vector<u8>> wornStreams = {
        incoming(0x21),
        Concat(incoming(0x40000110), worn(0x21, 0x21)),
        Concat(road, incoming(playerSerial)),
        Concat(Concat(road, incoming(0x40000110)), worn(playerSerial, 0x21)),
    };
    for (const std::vector<u8>& stream : wornStreams) {
        std::vector<u8> input{0x04};
        input.insert(input.end(), stream.begin(), stream.end());
        emit(input.data(), input.size());
    }
    const std::vector<u8> relay = Packet(0x8C, std::vector<u8>(10, 0), false);
    std::vector<u8> refused{0x00};
    refused.insert(refused.end(), relay.begin(), relay.end());
    emit(refused.data(), refused.size());
    // Text from a known speaker, a system line, a text cut before its zero, and a prompt.
    auto text = [](u32 speaker, u8 type, const char* words, bool terminated) {
        std::vector<u8> body{u8(speaker >> 24), u8(speaker >> 16), u8(speaker >> 8), u8(speaker),
                             0x01, 0x90, type, 0x00, 0x21, 0x00, 0x03};
        for (int i = 0; i < 30; ++i)
            body.push_back(i < 5 ? u8("Guard"[i]) : 0);
        for (const char* c = words; *c; ++c)
            body.push_back(u8(*c));
        if (terminated) body.push_back(0);
        return Packet(0x1C, body, true);
    };
    const std::vector<u8> prompt =
        Packet(0x9A, {0, 0, 0, 0x21, 0, 0, 0, 1, 0, 0, 0, 0, 'P', 0}, true);
    std::vector<u8> talk{0x04};
    for (const std::vector<u8>& p :
         {incoming(0x21), text(0x21, 0, "hello", true), text(0x21, 7, "again", true),
          text(0xFFFFFFFF, 1, "notice", true), text(0x21, 6, "cut", false)})
        talk.insert(talk.end(), p.begin(), p.end());
    emit(talk.data(), talk.size());
    std::vector<u8> asked{0x04};
    asked.insert(asked.end(), prompt.begin(), prompt.end());
    emit(asked.data(), asked.size());
}
