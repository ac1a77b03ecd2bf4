#include "client/net/client_connection.h"

#include <cstdio>
#include <cstring>

#include "client/net/link_report.h"
#include "client/net/local_link.h"
#include "core/byte_order.h"
#include "core/chunk_queue.h"
#include "core/packet_writer.h"
#include "core/process_link.h"
#include "platform/tcp_socket.h"

ClientStreamState::ClientStreamState()
    : decoded(new u8[kConnectionBufferSize + HuffmanDecoder::kInputSlack]()) {}

ClientConnection::ClientConnection(const ServerPacketDispatcher& dispatcher,
                                   ClientStreamState& stream)
    : stream_(stream),
      framer_(dispatcher),
      receive_(new u8[kConnectionBufferSize + HuffmanDecoder::kInputSlack]()),
      send_(new u8[kConnectionBufferSize + 1]()) {}

ClientConnection::~ClientConnection() {
    if (socket_ != kClosedSocket && socket_ != kLocalLinkMarker) platform::CloseSocket(socket_);
}

void ClientConnection::ResetBuffers() {
    receiveCount_ = 0;
    sendCount_ = 0;
    framer_.Reset();
}

bool ClientConnection::OpenLocal() {
    if (socket_ != kClosedSocket) return true;
    if (linkClosed_) {
        ReopenLocalLink();
        linkClosed_ = false;
    }
    ResetBuffers();
    scrambling_ = false;
    peerAddress_ = 0;  // the in-process link has no peer address
    socket_ = kLocalLinkMarker;
    return true;
}

bool ClientConnection::Connect(u32 address, u16 port) {
    Close();
    ResetBuffers();
    const platform::SocketHandle handle = platform::OpenTcpSocket();
    if (handle == platform::kNoSocket) {
        ReportLink("socket creation failed");
        return false;
    }
    platform::SetSocketOption(handle, platform::SocketOption::kNoDelay, true);
    if (!platform::ConnectTo(handle, address, port)) {
        platform::CloseSocket(handle);
        return false;
    }
    socket_ = handle;
    peerAddress_ = address;
    scrambling_ = false;
    if (ClientServerAddress.load() == 0) {
        if (stream_.connectionKey == 0) stream_.connectionKey = kOwnAddress;
        scrambler_.Seed(stream_.connectionKey);
        u8 key[4];
        StoreBe32(key, stream_.connectionKey);
        platform::SetSocketBlocking(handle, true);
        size_t sent = 0;
        while (sent < sizeof key) {
            const long n = platform::SendBytes(handle, key + sent, sizeof key - sent);
            if (n <= 0) {
                ReportLink("socket error in send");
                Close();
                return false;
            }
            sent += size_t(n);
        }
        scrambling_ = true;
    }
    platform::SetSocketBlocking(handle, false);
    return true;
}

void ClientConnection::Close() {
    if (socket_ == kClosedSocket) return;
    if (socket_ == kLocalLinkMarker) {
        CloseLocalLinkToServer();
        // The next open starts a new session of the link.
        linkClosed_ = true;
    } else {
        platform::CloseSocket(socket_);
    }
    socket_ = kClosedSocket;
    if (framer_.Framing()) {
        // The buffer is in use by the framing on the stack: it empties it when it ends.
        framer_.Stop();
        sendCount_ = 0;
    } else {
        ResetBuffers();
    }
}

bool ClientConnection::SendPacket(const PacketWriter& packet) {
    const u8 id = packet.Length() ? packet.Data()[0] : 0;
    char idText[8];
    std::snprintf(idText, sizeof idText, "0x%02X", id);
    if (!packet.Ok() || packet.Length() == 0) {
        ReportLink(std::string("Client packet ") + idText + " dropped: it did not fit its buffer.");
        return false;
    }
    const size_t length = packet.Length();
    if (sendCount_ + length > kConnectionBufferSize) {
        ReportLink(std::string("Client packet ") + idText + " dropped: the send buffer is full.");
        return false;
    }
    u8* at = send_.get() + sendCount_;
    std::memcpy(at, packet.Data(), length);
    if (scrambling_) scrambler_.Apply(at, length);
    sendCount_ += length;
    return true;
}

bool ClientConnection::ReceiveLocal() {
    ChunkQueue* queue = LocalLinkFromServer();
    if (!queue) return true;
    const size_t room = kConnectionBufferSize - receiveCount_;
    if (room == 0) return true;
    const s32 got = queue->Get(receive_.get() + receiveCount_, s32(room));
    if (got < 0) return false;
    receiveCount_ += size_t(got);
    return true;
}

bool ClientConnection::ReceiveSocket() {
    while (receiveCount_ < kConnectionBufferSize) {
        const long got = platform::ReceiveBytes(socket_, receive_.get() + receiveCount_,
                                                kConnectionBufferSize - receiveCount_);
        if (got > 0) {
            receiveCount_ += size_t(got);
            continue;
        }
        if (got < 0 && platform::SocketWouldBlock(platform::LastSocketError())) return true;
        return false;
    }
    return true;
}

bool ClientConnection::SendLocal() {
    ChunkQueue* queue = LocalLinkToServer();
    if (!queue || sendCount_ == 0) return true;
    const s32 put = queue->Put(send_.get(), s32(sendCount_));
    if (put < 0) return false;
    if (put > 0) {
        std::memmove(send_.get(), send_.get() + put, sendCount_ - size_t(put));
        sendCount_ -= size_t(put);
    }
    return true;
}

bool ClientConnection::SendSocket() {
    while (sendCount_ > 0) {
        const long put = platform::SendBytes(socket_, send_.get(), sendCount_);
        if (put < 0) return platform::SocketWouldBlock(platform::LastSocketError());
        if (put == 0) return true;
        std::memmove(send_.get(), send_.get() + put, sendCount_ - size_t(put));
        sendCount_ -= size_t(put);
    }
    return true;
}

void ClientConnection::Poll() {
    if (socket_ == kClosedSocket) return;
    const bool local = socket_ == kLocalLinkMarker;
    if (!(local ? ReceiveLocal() : ReceiveSocket())) {
        if (local) linkClosed_ = true;
        Close();
        ReportLink("Exiting due to closed connection.");
        return;
    }
    if (!(local ? SendLocal() : SendSocket())) {
        Close();
        ReportLink("socket error in send");
        return;
    }
    if (receiveCount_ > 0) DecodeAndFrame();
}

void ClientConnection::DecodeAndFrame() {
    bool ok;
    if (stream_.compression) {
        const size_t consumed =
            stream_.decoder.Decode(receive_.get(), receiveCount_, stream_.decoded.get(),
                                   stream_.decodedCount, kConnectionBufferSize);
        std::memmove(receive_.get(), receive_.get() + consumed, receiveCount_ - consumed);
        receiveCount_ -= consumed;
        ok = framer_.Frame(stream_.decoded.get(), stream_.decodedCount, kConnectionBufferSize);
        if (socket_ == kClosedSocket) stream_.decodedCount = 0;
    } else {
        ok = framer_.Frame(receive_.get(), receiveCount_, kConnectionBufferSize);
    }
    if (!ok) {
        Close();
        stream_.decodedCount = 0;
    }
}
