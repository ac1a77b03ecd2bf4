#include "server/net/packet_framer.h"

#include <cstdio>
#include <cstring>

#include "core/byte_order.h"
#include "core/log_sink.h"
#include "core/packet_reader.h"
#include "core/protocol/packet_table.h"
#include "server/net/client_dispatcher.h"
#include "server/net/pre_login.h"
#include "server/net/socket.h"

bool IsPreLoginId(u8 id) {
    switch (id) {
        case 0x00:
        case 0x01:
        case 0x5D:
        case 0x80:
        case 0x83:
        case 0x84:
        case 0x91:
        case 0xA4:
            return true;
        default:
            return false;
    }
}

bool HasLoginMarker(const u8* packet, size_t length) {
    const size_t at = PacketHeaderSize(packet[0]);
    if (length < at + 4) return false;
    return LoadBe32(packet + at) == kLoginMarker;
}

bool CheckHandlerRead(CUserSock& socket, const PacketReader& packet) {
    if (packet.Ok()) return true;
    char text[96];
    std::snprintf(text, sizeof text, "client packet 0x%02X read past its end at offset %zu",
                  packet.Id(), packet.FailOffset());
    GetLogSink().Log(0, 0, 0, "", "badness", "error", text);
    socket.state = kSocketClosing;
    return false;
}

void FrameUserSockInput(CUserSock& socket) {
    u8* const buffer = socket.buffer;
    const size_t received = socket.received;
    size_t at = 0;
    while (at < received) {
        const u8* packet = buffer + at;
        const size_t available = received - at;
        const u8 id = packet[0];
        const int length = PacketFramedLength(packet, available);
        if (length == 0) {
            ++socket.badPacketCount;
            ++at;
            continue;
        }
        const bool preLogin = socket.loggedIn != 1;
        if (preLogin && !IsPreLoginId(id)) {
            socket.state = kSocketClosing;
            break;
        }
        if (length < 0 || available < static_cast<size_t>(length)) break;  // wait for the rest
        const size_t size = static_cast<size_t>(length);
        if (preLogin && (id == 0x00 || id == 0x5D) && !HasLoginMarker(packet, size)) {
            socket.state = kSocketClosing;
            break;
        }
        PacketReader reader(packet, size, PacketHeaderSize(id));
        if (!HandlePreLoginPacket(socket, id, reader) && socket.player) {
            DispatchClientPacket(*socket.player, id, reader);
        }
        at += size;
        CheckHandlerRead(socket, reader);
        if (socket.IsMarkedForClosing()) break;
    }
    // One move per call: the rest goes to the start of the buffer.
    if (at > 0) {
        std::memmove(buffer, buffer + at, received - at);
        socket.received = static_cast<u32>(received - at);
    }
}
