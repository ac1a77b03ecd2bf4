#include "server/net/unicode_speech.h"

#include <string>
#include <vector>

#include "server/net/packet_build.h"
#include "server/net/packet_senders.h"
#include "server/net/speech.h"
#include "server/net/text_packets.h"
#include "server/world/item.h"
#include "server/world/player.h"
#include "server/world/object_manager.h"

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

namespace {

std::vector<u8> BuildUnicodeMessage(const CMobile& speaker, int type, const WChar* text, int hue,
                                    int font, u32 language) {
    std::vector<u8> buffer(kMaxUnicodeSpeechLength);
    PacketWriter w(buffer.data(), buffer.size());
    if (!BuildUnicodeSpeechPacket(w, &speaker, type, text, hue, font, language, false)) return {};
    buffer.resize(w.Length());
    return buffer;
}

}  // namespace

std::string UnicodeTriggerText(const WChar* text) {
    std::string out;
    for (; text && *text && static_cast<int>(out.size()) < kMaxUnicodeTriggerChars; ++text) {
        if (*text < 128) out.push_back(static_cast<char>(*text & 0x7F));
    }
    return out;
}

int SendUnicodeSpeechTrigger(CItem* speaker, const Location& at, const WChar* text, int range) {
    const std::string ascii = UnicodeTriggerText(text);
    return g_objectManager.SendSpeechTrigger(speaker, at, ascii.c_str(), range);
}

void SpeakUnicodeAsGhost(CMobile& speaker, int type, const WChar* text, int hue, int font,
                         u32 language, int range) {
    if (!text) return;
    const std::u16string garbled = GarbleGhostText(text);
    const std::vector<u8> clearPacket =
        BuildUnicodeMessage(speaker, type, text, hue, font, language);
    const std::vector<u8> garbledPacket =
        BuildUnicodeMessage(speaker, type, garbled.c_str(), hue, font, language);
    std::vector<CPlayer*> clear;
    std::vector<CPlayer*> garbledListeners;
    CollectGhostListeners(speaker, range, clear, garbledListeners);
    for (CPlayer* listener : clear)
        SendPacketToPlayer(listener, clearPacket.data(), clearPacket.size());
    for (CPlayer* listener : garbledListeners)
        SendPacketToPlayer(listener, garbledPacket.data(), garbledPacket.size());
}

void SpeakUnicodeInRange(CMobile& speaker, int type, const WChar* text, int hue, int font,
                         u32 language, int count) {
    std::vector<u8> buffer(kMaxUnicodeSpeechLength);
    PacketWriter w(buffer.data(), buffer.size());
    BuildUnicodeSpeechPacket(w, &speaker, type, text, hue, font, language, false);
    const Location head = speaker.GetLocation() + Location(0, 0, speaker.GetHeight() / 2);
    SendPacketToNearestPlayersInSight(w, head, count, kNearestPlayersRadius);
}
