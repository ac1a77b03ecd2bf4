#pragma once
// The handlers of the windows the server asks for by themselves: menus, course maps and their
// pins, the hue picker, text prompts, server-described gumps, paperdolls and signs.
#include <cstddef>

#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class WindowPacketHandlers {
public:
    explicit WindowPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnMenu(const u8* packet, size_t length);         // 0x7C
    void OnCourseMap(const u8* packet, size_t length);    // 0x90
    void OnCoursePin(const u8* packet, size_t length);    // 0x56
    void OnHuePicker(const u8* packet, size_t length);    // 0x95
    void OnStringQuery(const u8* packet, size_t length);  // 0xAB
    void OnGenericGump(const u8* packet, size_t length);  // 0xB0
    void OnPaperdoll(const u8* packet, size_t length);    // 0x88
    void OnSign(const u8* packet, size_t length);         // 0x8B

private:
    ClientLink& link_;
};
