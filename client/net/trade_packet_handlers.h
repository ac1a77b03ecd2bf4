#pragma once
// The handlers of secure trade and vendors: the trade window's start, close and check boxes,
// the prices and names of a vendor's goods, the vendor's offer for the player's items and the
// close of a vendor's windows.
#include <cstddef>

#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class TradePacketHandlers {
public:
    explicit TradePacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnSecureTrade(const u8* packet, size_t length);  // 0x6F
    void OnShopList(const u8* packet, size_t length);     // 0x74
    void OnSellList(const u8* packet, size_t length);     // 0x9E
    void OnShopClose(const u8* packet, size_t length);    // 0x3B

private:
    ClientLink& link_;
};
