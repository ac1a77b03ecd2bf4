#include "server/net/unicode_speech.h"

#include <string>

#include "server/net/packet_build.h"
#include "server/net/text_packets.h"
#include "server/world/item.h"

bool BuildUnicodeSpeechPacket(PacketWriter& w, const CBaseObject* speaker, int type,
                              const WChar* text, int hue, int font, u32 language,
                              bool gameMasterInGmBody) {
    const CItem* item = speaker ? speaker->AsItem() : nullptr;
    const std::string name = SpeakerNameField(speaker, gameMasterInGmBody);
    int length = WideStrLen(text);
    if (length > kMaxUnicodeSpeechChars) length = kMaxUnicodeSpeechChars;

    w.Begin(0xAE, true);
    w.AppendLong(item ? item->GetSerial() : 0xFFFFFFFFu);
    w.AppendShort(speaker ? speaker->GetType() : 0xFFFF);
    w.AppendByte(static_cast<u8>(type));
    w.AppendShort(static_cast<u16>(hue));
    w.AppendShort(static_cast<u16>(font));
    w.AppendLong(language);
    w.AppendFixedText(name.c_str(), 30);
    for (int i = 0; i < length && w.Ok(); ++i)
        w.AppendShort(static_cast<u16>(text[i]));
    w.AppendShort(0);
    return FinishPacket(w, 0xAE);
}
