#pragma once
// The handlers of what the server gives the player to read: books and their pages, bulletin
// boards with their message summaries and messages, the two option lists with their online
// states, and a text pop-up over an object. They write the client state record and reach the
// windows through the text window hooks, by object serial at every use.
#include <cstddef>

#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class BookBoardPacketHandlers {
public:
    explicit BookBoardPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnBookOpen(const u8* packet, size_t length);       // 0x93
    void OnBookPages(const u8* packet, size_t length);      // 0x66
    void OnBulletinBoard(const u8* packet, size_t length);  // 0x71
    void OnOptionLists(const u8* packet, size_t length);    // 0x69
    void OnOnlineState(const u8* packet, size_t length);    // 0x6A
    void OnTextPopup(const u8* packet, size_t length);      // 0xB7

private:
    ClientLink& link_;
};
