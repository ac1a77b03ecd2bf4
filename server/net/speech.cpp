#include "server/net/speech.h"

#include <climits>
#include <string>
#include <vector>

#include "core/log_sink.h"
#include "core/packet_reader.h"
#include "core/packet_writer.h"
#include "core/random_numbers.h"
#include "script/runtime/trigger_services.h"
#include "server/net/packet_senders.h"
#include "server/net/protocol_world_services.h"
#include "server/net/text_packets.h"
#include "server/world/map_queries.h"
#include "server/world/player.h"
#include "server/world/object_manager.h"
#include "server/world/player_registry.h"

namespace {

// Only a game master can be in the game-master body, which comes with the player rules.
bool IsGameMasterInGmBody(const CMobile& speaker) {
    const CPlayer* player = speaker.IsPlayer() ? static_cast<const CPlayer*>(&speaker) : nullptr;
    if (player && player->IsGameMaster()) {
        static bool logged = false;
        LogProtocolNotBuilt(logged, "the game-master body is not built yet");
    }
    return false;
}

bool IsBlank(const char* text) {
    for (int i = 0; i < kBlankTestLength && text[i] != '\0'; ++i) {
        const char c = text[i];
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') {
            return false;
        }
    }
    return true;
}

bool HearsEverything(const CPlayer& listener) {
    return listener.IsEditing() || listener.IsCounselor();
}

u32 SpeakerFlags(const CMobile& speaker) {
    const CPlayer* p = speaker.IsPlayer() ? static_cast<const CPlayer*>(&speaker) : nullptr;
    return p ? p->GetFlagWord() : 0;
}

void SendMessageTo(CPlayer& listener, const CMobile& speaker, int type, const char* text, int hue,
                   int font) {
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, &speaker, type, text, hue, font, IsGameMasterInGmBody(speaker));
    SendPacketToPlayer(&listener, w);
}

void SendSpeechTrigger(CPlayer& speaker, const char* text, int range) {
    g_objectManager.SendSpeechTrigger(&speaker, speaker.GetLocation(), text, range);
}

// Normal speech, whisper and yell: the living are heard in range, ghosts by the ghost rules;
// the hue becomes the speaker's own.
void Speak(CPlayer& player, int type, const char* text, int hue, int font, int range) {
    if (player.IsGhost()) {
        SpeakAsGhost(player, type, text, hue, font, range);
    } else {
        SpeakInRange(player, type, text, hue, font, range);
    }
    player.SetDefaultTextHue(hue);
}

}  // namespace

GhostHearing HowListenerHearsGhost(const CMobile& speaker, const CPlayer& listener,
                                   bool speakerSeesListener) {
    if (HearsEverything(listener)) return GhostHearing::kClear;
    if (!speakerSeesListener) return GhostHearing::kNothing;
    if ((SpeakerFlags(speaker) & kPlayerGhostHeard) == 0 && !listener.IsGhost()) {
        return GhostHearing::kNothing;
    }
    if (listener.IsGhost() || listener.HasFlag(kPlayerHearsGhosts)) return GhostHearing::kClear;
    return GhostHearing::kGarbled;
}

void SpeakInRange(CMobile& speaker, int type, const char* text, int hue, int font, int range) {
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, &speaker, type, text, hue, font, IsGameMasterInGmBody(speaker));
    const Location head = speaker.GetLocation() + Location(0, 0, speaker.GetHeight() / 2);
    SendPacketToNearestPlayersInSight(w, head, INT_MAX, range);
}

void CollectGhostListeners(CMobile& speaker, int range, std::vector<CPlayer*>& clear,
                           std::vector<CPlayer*>& garbled) {
    std::vector<CPlayer*> listeners;
    GetPlayerRegistry().CollectInRange(listeners, speaker.GetLocation(), range);
    for (CPlayer* listener : listeners) {
        const bool sees = ItemCanSee(speaker, *listener, kSightWalls);
        switch (HowListenerHearsGhost(speaker, *listener, sees)) {
            case GhostHearing::kClear:
                clear.push_back(listener);
                break;
            case GhostHearing::kGarbled:
                garbled.push_back(listener);
                break;
            case GhostHearing::kNothing:
                break;
        }
    }
}

void SpeakAsGhost(CMobile& speaker, int type, const char* text, int hue, int font, int range) {
    const std::string garbled = GarbleGhostText(text);
    std::vector<CPlayer*> clear;
    std::vector<CPlayer*> garbledListeners;
    CollectGhostListeners(speaker, range, clear, garbledListeners);
    for (CPlayer* listener : clear)
        SendMessageTo(*listener, speaker, type, text, hue, font);
    for (CPlayer* listener : garbledListeners)
        SendMessageTo(*listener, speaker, type, garbled.c_str(), hue, font);
}

void SendSystemMessage(CPlayer& player, const char* text) {
    u8 buffer[kMaxTextMessageLength];
    PacketWriter w(buffer, sizeof buffer);
    BuildTextMessagePacket(w, nullptr, kSpeechSystem, text, kDefaultSpeechHue, kDefaultSpeechFont,
                           false);
    SendPacketToPlayer(&player, w);
}

void HandleSpeech(CPlayer& player, PacketReader& packet) {
    if (player.IsSquelched()) {
        SendSystemMessage(player, "You can not say anything, you have been squelched.");
        return;
    }
    u8 type = 0;
    u16 hueField = 0;
    u16 fontField = 0;
    const char* text = nullptr;
    if (!packet.ReadByte(type) || !packet.ReadShort(hueField) || !packet.ReadShort(fontField) ||
        !packet.ReadCText(text)) {
        return;
    }
    int hue = hueField;
    int font = fontField;
    if (!player.IsEditing()) {
        font = kDefaultSpeechFont;
        if (hue < kLowestSpeechHue || hue > kHighestSpeechHue) hue = kHighestSpeechHue;
    }
    if (IsBlank(text)) return;
    if (player.IsCounselor()) GetLogSink().Log(0, 0, 0, "", "misc", "counselortext", text);
    if ((player.IsCounselor() || player.IsGameMaster()) && (text[0] == '.' || text[0] == '=')) {
        static bool logged = false;
        LogProtocolNotBuilt(logged, "counselor commands are not built yet");
        return;
    }
    const u32 serial = player.GetSerial();
    if (!player.IsGhost() && player.IsHidden()) {
        TriggerArgs args;
        args.serial = serial;
        args.text = "uninvis";
        GetTriggerServices().SendTrigger(&player, kTriggerMessage, args);
        if (!IsObjectAlive(serial, &player)) return;
    }
    switch (type) {
        case kSpeechNormal:
        case 3:
        case 4:
            Speak(player, type, text, hue, font, kNormalSpeechRange);
            if (!player.IsNonCombatant()) SendSpeechTrigger(player, text, kNormalSpeechRange);
            break;
        case kSpeechBroadcast:
            if (player.IsEditing()) {
                std::vector<CPlayer*> everyone;
                GetPlayerRegistry().CollectOnline(everyone);
                u8 buffer[kMaxTextMessageLength];
                PacketWriter w(buffer, sizeof buffer);
                BuildTextMessagePacket(w, &player, type, text, hue, font, false);
                SendPacketToPlayers(everyone, w);
            }
            break;
        case kSpeechEmote:
            if (!player.IsGhost()) SpeakInRange(player, type, text, hue, font, kEmoteRange);
            break;
        case kSpeechWhisper:
            Speak(player, type, text, hue, font, kWhisperRange);
            break;
        case kSpeechYell:
            Speak(player, type, text, hue, font, kYellRange);
            SendSpeechTrigger(player, text, kYellRange);
            break;
        default:
            break;
    }
}
