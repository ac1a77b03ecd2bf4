#pragma once
// The handlers of containers and dragging: a window opened for an object, one item or a
// container's whole contents put in, a refused pick-up that puts the dragged item back with
// its reason, and the ends of a drag.
#include <cstddef>
#include <vector>

#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

// One item of a container (0x25, and each entry of 0x3C).
struct ContainedItem {
    u32 serial = 0;
    u16 graphic = 0;
    u8 increment = 0;
    u16 amount = 0, x = 0, y = 0;
    u32 container = 0;
    u16 hue = 0;
};

class ContainerPacketHandlers {
public:
    explicit ContainerPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnOpenGump(const u8* packet, size_t length);           // 0x24
    void OnContainerItem(const u8* packet, size_t length);      // 0x25
    void OnContainerContents(const u8* packet, size_t length);  // 0x3C
    void OnPickUpRefused(const u8* packet, size_t length);      // 0x27
    void OnDropCleared(const u8* packet, size_t length);        // 0x28
    void OnDropAccepted(const u8* packet, size_t length);       // 0x29

private:
    ClientLink& link_;
    std::vector<ContainedItem> entries_;  // 0x3C's entries, kept to spare the allocation
};
