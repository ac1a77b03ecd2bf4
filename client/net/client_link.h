#pragma once
// The client's side of the game link: the current connection (and the one a relay replaced),
// the state all connections share, the dispatcher with a slot for every accepted server
// packet, the client state record and the login flags. Packets whose handlers belong to
// later parts of the client are recorded (and said once to be unhandled) until they land.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "client/net/client_connection.h"
#include "client/net/client_state_record.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/world/walk_queue.h"
#include "client/world/world_request_link.h"
#include "platform/types.h"

class ClientLoginHooks;
class LoginFrontEnd;
class LoginPacketHandlers;
class WorldPacketHandlers;
class MovementPacketHandlers;
class StatusPacketHandlers;
class BookBoardPacketHandlers;
class ContainerPacketHandlers;
class TradePacketHandlers;
class WindowPacketHandlers;
class GroupPacketHandlers;
class TargetCursor;
class SpeechPacketHandlers;
class PacketReader;
class PacketWriter;

class ClientLink : public WalkRequestLink, public WorldRequestLink {
public:
    // Front end and hooks stay the caller's; null uses recording ones of the link's own.
    explicit ClientLink(LoginFrontEnd* frontEnd = nullptr, ClientLoginHooks* hooks = nullptr);
    ~ClientLink() override;
    ClientLink(const ClientLink&) = delete;
    ClientLink& operator=(const ClientLink&) = delete;

    // Opens the connection to the login server (in this process: marks the in-process link
    // open); a closed link is opened afresh.
    bool OpenLocalConnection();
    // Takes and dispatches what the server sent and hands on what the client sent.
    void Poll();
    bool Send(const PacketWriter& packet);
    // Closes the connection and clears the connection-open flag.
    void CloseConnection();
    // A handler found its packet malformed: reported, and the connection closes.
    void RefusePacket(const PacketReader& reader);

    // The walk queue's requests: open while the connection is, sent as 0x02 or 0x22.
    bool WalkRequestsOpen() override { return connection_->IsOpen(); }
    void SendWalkRequest(const WalkRequest& request) override;
    // The client world's own requests: 0x06 and 0x34.
    void SendUseObject(u32 serial) override;
    void SendStatusRequest(u8 type, u32 serial) override;

    ClientConnection& Connection() { return *connection_; }
    // A new, unconnected connection of this link.
    std::unique_ptr<ClientConnection> NewConnection();
    // Makes `next` current; the old one is kept as the previous connection until the
    // player enters the world.
    void ReplaceConnection(std::unique_ptr<ClientConnection> next, bool keepPrevious);
    void DeletePreviousConnection() { Retire(std::move(previous_)); }
    ClientConnection* PreviousConnection() { return previous_.get(); }

    ServerPacketDispatcher& Dispatcher() { return dispatcher_; }
    WorldPacketHandlers& WorldHandlers() { return *worldHandlers_; }
    MovementPacketHandlers& MovementHandlers() { return *movementHandlers_; }
    // The server's target cursor and the client's answers to it.
    TargetCursor& Target() { return *target_; }
    SpeechPacketHandlers& SpeechHandlers() { return *speechHandlers_; }
    ClientStreamState& Stream() { return stream_; }
    LoginFrontEnd& FrontEnd() { return *frontEnd_; }
    // Puts a front end in force (null: the link's own recording one); the caller keeps it.
    void SetFrontEnd(LoginFrontEnd* frontEnd);
    ClientLoginHooks& Hooks() { return *hooks_; }
    ClientStateRecord state;

    // The edit-server path: the server in this process answers the account login itself.
    static bool EditServerSet();

    bool connectionWanted = false;
    bool connectionOpen = false;
    bool gameServer = false;
    u32 relayKey = 0;
    int loginServerIndex = 0;
    int loginServerCount = 0;
    u32 loginServerAddress = 0;
    u16 loginServerPort = 0;

    // Packets of accepted ids whose handlers are not built yet: how many came, and the last.
    int UnhandledCount(int id) const { return unhandledCount_[u8(id)]; }
    const std::vector<u8>& LastUnhandled(int id) const { return lastUnhandled_[u8(id)]; }

private:
    void Retire(std::unique_ptr<ClientConnection> connection);
    void RecordUnhandled(const u8* packet, size_t length);

    ServerPacketDispatcher dispatcher_;
    ClientStreamState stream_;
    std::unique_ptr<LoginFrontEnd> ownFrontEnd_;
    std::unique_ptr<ClientLoginHooks> ownHooks_;
    LoginFrontEnd* frontEnd_;
    ClientLoginHooks* hooks_;
    std::unique_ptr<ClientConnection> connection_;
    std::unique_ptr<ClientConnection> previous_;
    // Connections replaced while their own poll may still be on the stack; freed at the
    // start of the next poll.
    std::vector<std::unique_ptr<ClientConnection>> retired_;
    std::unique_ptr<LoginPacketHandlers> handlers_;
    std::unique_ptr<WorldPacketHandlers> worldHandlers_;
    std::unique_ptr<MovementPacketHandlers> movementHandlers_;
    std::unique_ptr<StatusPacketHandlers> statusHandlers_;
    std::unique_ptr<BookBoardPacketHandlers> bookBoardHandlers_;
    std::unique_ptr<ContainerPacketHandlers> containerHandlers_;
    std::unique_ptr<TradePacketHandlers> tradeHandlers_;
    std::unique_ptr<WindowPacketHandlers> windowHandlers_;
    std::unique_ptr<GroupPacketHandlers> groupHandlers_;
    std::unique_ptr<TargetCursor> target_;
    std::unique_ptr<SpeechPacketHandlers> speechHandlers_;
    std::array<int, 256> unhandledCount_{};
    std::array<std::vector<u8>, 256> lastUnhandled_;
};

// The running client's link, or null: the shell names it while its connection exists.
ClientLink* TheClientLink();
void SetTheClientLink(ClientLink* link);
