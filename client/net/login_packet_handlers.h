#pragma once
// The handlers that carry the client from the account login to the world: refusals, server
// and character lists, the relay to a game server, game-server errors, entering the world
// and the end of the login, server change, web pages, tips, and the forced step.
#include <string>
#include <vector>

#include "client/net/client_state_record.h"
#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class LoginPacketHandlers {
public:
    explicit LoginPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnCharacterList(const u8* packet, size_t length);        // 0x81
    void OnServerList(const u8* packet, size_t length);           // 0xA8
    void OnGameCharacterList(const u8* packet, size_t length);    // 0xA9
    void OnLoginDenied(const u8* packet, size_t length);          // 0x82
    void OnDeleteRefused(const u8* packet, size_t length);        // 0x85
    void OnCharacterListUpdate(const u8* packet, size_t length);  // 0x86
    void HandleServerRedirect(const u8* packet, size_t length);   // 0x8C
    void OnLoginError(const u8* packet, size_t length);           // 0x53
    void OnEnterWorld(const u8* packet, size_t length);           // 0x1B
    void OnLoginComplete(const u8* packet, size_t length);        // 0x55
    void OnServerChange(const u8* packet, size_t length);         // 0x76
    void OnOpenUrl(const u8* packet, size_t length);              // 0xA5
    void OnTipNotice(const u8* packet, size_t length);            // 0xA6
    void OnPacket5C(const u8* packet, size_t length);             // 0x5C
    void OnForcedStep(const u8* packet, size_t length);           // 0x97
    void FinishLogin();

private:
    void HardwareProfileStep();
    void SetTitle(bool characterName);
    // Closes the connection and says the servers are down over the account login.
    void ServersDown(bool centred);
    void ClearLoginScreens();
    void ServerChoiceList(int art, bool fromCharacterList);

    ClientLink& link_;
    // Local time-zone offset in whole hours, taken with the hardware profile.
    int localTimeZoneOffset_ = 0;
};

// Towns in a random order, the places of one town together and in the server's order.
// `groupStarts` holds the first entry of every group of one town.
void ShuffleTownGroups(std::vector<StartLocation>& list, const std::vector<size_t>& groupStarts);
// Distance in hours between a server's time zone and the local offset.
int TimeZoneDistance(int timeZone, int localOffset);
// The server list's order: nearest time zone first, time zone 50 never chosen (last).
std::vector<size_t> SortServersByTimeZone(const std::vector<int>& timeZones,
                                          const std::vector<bool>& excluded, int localOffset);
