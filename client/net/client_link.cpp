#include "client/net/client_link.h"

#include <cstdio>

#include "client/net/client_login_hooks.h"
#include "client/net/client_packets.h"
#include "client/net/container_packet_handlers.h"
#include "client/net/group_packet_handlers.h"
#include "client/net/link_report.h"
#include "client/net/login_front_end.h"
#include "client/net/login_packet_handlers.h"
#include "client/net/book_board_packet_handlers.h"
#include "client/net/movement_packet_handlers.h"
#include "client/net/status_packet_handlers.h"
#include "client/net/target_cursor.h"
#include "client/net/trade_packet_handlers.h"
#include "client/net/window_packet_handlers.h"
#include "client/net/speech_packet_handlers.h"
#include "client/net/world_packet_handlers.h"
#include "core/packet_reader.h"
#include "core/packet_writer.h"
#include "core/process_link.h"
#include "platform/clock.h"
#include "platform/random.h"

ClientLink::ClientLink(LoginFrontEnd* frontEnd, ClientLoginHooks* hooks)
    : ownFrontEnd_(frontEnd ? nullptr : new LoginFrontEnd),
      ownHooks_(hooks ? nullptr : new ClientLoginHooks),
      frontEnd_(frontEnd ? frontEnd : ownFrontEnd_.get()),
      hooks_(hooks ? hooks : ownHooks_.get()),
      connection_(NewConnection()) {
    for (int id = 0; id < 256; ++id) {
        if (ServerPacketDispatcher::Accepts(id) && id != kPausePacketId) {
            dispatcher_.SetSlot(
                id, [this](const u8* packet, size_t length) { RecordUnhandled(packet, length); });
        }
    }
    handlers_.reset(new LoginPacketHandlers(*this));
    handlers_->Install(dispatcher_);
    worldHandlers_.reset(new WorldPacketHandlers(*this));
    worldHandlers_->Install(dispatcher_);
    movementHandlers_.reset(new MovementPacketHandlers(*this));
    movementHandlers_->Install(dispatcher_);
    statusHandlers_.reset(new StatusPacketHandlers(*this));
    statusHandlers_->Install(dispatcher_);
    bookBoardHandlers_.reset(new BookBoardPacketHandlers(*this));
    bookBoardHandlers_->Install(dispatcher_);
    containerHandlers_.reset(new ContainerPacketHandlers(*this));
    containerHandlers_->Install(dispatcher_);
    tradeHandlers_.reset(new TradePacketHandlers(*this));
    tradeHandlers_->Install(dispatcher_);
    windowHandlers_.reset(new WindowPacketHandlers(*this));
    windowHandlers_->Install(dispatcher_);
    groupHandlers_.reset(new GroupPacketHandlers(*this));
    groupHandlers_->Install(dispatcher_);
    target_.reset(new TargetCursor(*this));
    target_->Install(dispatcher_);
    speechHandlers_.reset(new SpeechPacketHandlers(*this));
    speechHandlers_->Install(dispatcher_);
}

ClientLink::~ClientLink() = default;

void ClientLink::SetFrontEnd(LoginFrontEnd* frontEnd) {
    if (!frontEnd && !ownFrontEnd_) ownFrontEnd_.reset(new LoginFrontEnd);
    frontEnd_ = frontEnd ? frontEnd : ownFrontEnd_.get();
}

bool ClientLink::EditServerSet() {
    return ClientServerAddress.load() != 0;
}

std::unique_ptr<ClientConnection> ClientLink::NewConnection() {
    return std::unique_ptr<ClientConnection>(new ClientConnection(dispatcher_, stream_));
}

void ClientLink::Retire(std::unique_ptr<ClientConnection> connection) {
    if (connection) retired_.push_back(std::move(connection));
}

void ClientLink::ReplaceConnection(std::unique_ptr<ClientConnection> next, bool keepPrevious) {
    if (keepPrevious) {
        Retire(std::move(previous_));
        previous_ = std::move(connection_);
    } else {
        Retire(std::move(connection_));
    }
    connection_ = std::move(next);
}

bool ClientLink::OpenLocalConnection() {
    connectionWanted = true;
    if (connection_->IsOpen()) return true;
    platform::SeedRandom(platform::NowMs());
    loginServerIndex = loginServerCount > 0 ? int(platform::Rand() % loginServerCount) : 0;
    loginServerAddress = ClientConnection::kOwnAddress;
    loginServerPort = 12346;
    connectionOpen = true;
    return connection_->OpenLocal();
}

void ClientLink::Poll() {
    retired_.clear();
    connection_->Poll();
}

bool ClientLink::Send(const PacketWriter& packet) {
    return connection_->SendPacket(packet);
}

void ClientLink::SendWalkRequest(const WalkRequest& request) {
    u8 buffer[8];
    PacketWriter w(buffer, sizeof buffer);
    if (request.kind == WalkRequest::Kind::kStep)
        BuildWalkRequestPacket(w, request.direction, request.sequence);
    else
        BuildResyncRequestPacket(w);
    Send(w);
}

void ClientLink::SendUseObject(u32 serial) {
    u8 buffer[8];
    PacketWriter w(buffer, sizeof buffer);
    BuildUseObjectPacket(w, serial);
    Send(w);
}

void ClientLink::SendStatusRequest(u8 type, u32 serial) {
    u8 buffer[16];
    PacketWriter w(buffer, sizeof buffer);
    BuildStatusRequestPacket(w, type, serial);
    Send(w);
}

void ClientLink::CloseConnection() {
    connectionOpen = false;
    connection_->Close();
}

void ClientLink::RefusePacket(const PacketReader& reader) {
    char text[96];
    std::snprintf(text, sizeof text,
                  "Closing the connection: server packet 0x%02X is malformed at byte %zu.",
                  reader.Id(), reader.FailOffset());
    ReportLink(text);
    CloseConnection();
}

void ClientLink::RecordUnhandled(const u8* packet, size_t length) {
    const u8 id = packet[0];
    char text[64];
    std::snprintf(text, sizeof text, "Server packet 0x%02X is not handled yet.", id);
    ReportLinkOnce(text);
    ++unhandledCount_[id];
    lastUnhandled_[id].assign(packet, packet + length);
}

namespace {
ClientLink* g_runningLink = nullptr;
}  // namespace

ClientLink* TheClientLink() {
    return g_runningLink;
}

void SetTheClientLink(ClientLink* link) {
    g_runningLink = link;
    SetRunningWalkRequestLink(link);
    SetRunningWorldRequestLink(link);
}
