#pragma once
// The client's one connection to the game server: outgoing packets are buffered and handed
// on once per pass of the main loop; incoming data is taken, Huffman-decoded once
// compression is on, framed and dispatched. In this process the bytes go through the two
// in-memory queues (the socket field then holds only a marker); the network path of the
// full game (a TCP connect after a relay, with the send-side scrambler) is kept too.
#include <cstddef>
#include <memory>

#include "client/net/client_packet_framer.h"
#include "client/net/huffman_decoder.h"
#include "client/net/stream_scrambler.h"
#include "platform/types.h"

class PacketWriter;
class ServerPacketDispatcher;

// What all connections of the client share: compression, once on, stays on for the process,
// and the relay key seeds the scrambler.
struct ClientStreamState {
    ClientStreamState();
    bool compression = false;
    u32 connectionKey = 0;
    HuffmanDecoder decoder;
    std::unique_ptr<u8[]> decoded;  // kConnectionBufferSize bytes
    size_t decodedCount = 0;
};

inline constexpr size_t kConnectionBufferSize = 65536;

class ClientConnection {
public:
    static constexpr s32 kClosedSocket = -1;
    static constexpr s32 kLocalLinkMarker = 0xBEEF;
    // The client's own address, written into the packets that carry it.
    static constexpr u32 kOwnAddress = 0x7F000001;

    ClientConnection(const ServerPacketDispatcher& dispatcher, ClientStreamState& stream);
    virtual ~ClientConnection();
    ClientConnection(const ClientConnection&) = delete;
    ClientConnection& operator=(const ClientConnection&) = delete;

    // Marks the connection open on the in-process link; a link found closed before is
    // reopened and the connection starts afresh.
    bool OpenLocal();
    // The network path: a TCP connection to address:port (host order). With no edit-server
    // address the scrambler is switched on and the key goes first. False when it failed.
    bool Connect(u32 address, u16 port);
    void Close();

    bool IsOpen() const { return socket_ != kClosedSocket; }
    s32 Socket() const { return socket_; }
    u32 OwnAddress() const { return kOwnAddress; }
    u32 PeerAddress() const { return peerAddress_; }
    bool Scrambling() const { return scrambling_; }

    // Appends the packet to the send buffer; the next poll hands it on. A failed writer's
    // packet, or one that does not fit the buffer, is dropped (and reported).
    bool SendPacket(const PacketWriter& packet);
    // Takes what the server sent, hands on what was sent, frames and dispatches.
    void Poll();

    size_t ReceiveCount() const { return receiveCount_; }
    size_t SendCount() const { return sendCount_; }
    const u8* SendBuffer() const { return send_.get(); }
    const ClientPacketFramer& Framer() const { return framer_; }

private:
    bool ReceiveLocal();
    bool ReceiveSocket();
    bool SendLocal();
    bool SendSocket();
    void DecodeAndFrame();
    void ResetBuffers();

    ClientStreamState& stream_;
    ClientPacketFramer framer_;
    s32 socket_ = kClosedSocket;
    bool linkClosed_ = false;  // the in-process link was closed, by either side
    std::unique_ptr<u8[]> receive_;
    std::unique_ptr<u8[]> send_;
    size_t receiveCount_ = 0;
    size_t sendCount_ = 0;
    bool scrambling_ = false;
    StreamScrambler scrambler_;
    u32 peerAddress_ = 0;
};
