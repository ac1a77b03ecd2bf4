#pragma once
// The handlers of what the server says to the player as text: speech and system text (0x1C)
// and Unicode speech (0xAE), which become overhead text over their speaker or a system line,
// both entering the journal,
// and the text prompt (0x9A) that the speech line answers with the next typed line.
#include <cstddef>

#include "platform/types.h"

class ClientLink;
class ServerPacketDispatcher;

class SpeechPacketHandlers {
public:
    explicit SpeechPacketHandlers(ClientLink& link) : link_(link) {}
    void Install(ServerPacketDispatcher& dispatcher);

    void OnText(const u8* packet, size_t length);         // 0x1C
    void OnUnicodeText(const u8* packet, size_t length);  // 0xAE
    void OnPrompt(const u8* packet, size_t length);       // 0x9A

private:
    ClientLink& link_;
};
