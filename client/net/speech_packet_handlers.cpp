#include "client/net/speech_packet_handlers.h"

#include <string>

#include "client/data/client_word_lists.h"
#include "client/data/profanity_filter.h"
#include "client/data/ustr.h"
#include "client/net/client_link.h"
#include "client/net/server_packet_dispatcher.h"
#include "client/net/speech_line.h"
#include "client/render/dirty_rects.h"
#include "client/world/client_object.h"
#include "client/world/client_world.h"
#include "client/world/journal.h"
#include "client/world/system_message.h"
#include "core/packet_reader.h"

namespace {

constexpr u32 kNoSerial = 0xFFFFFFFFu;
constexpr size_t kNameWidth = 30;

// The rest of the packet as a text: up to its terminator, or to the packet's end when the
// server left it out.
std::string RestAsText(PacketReader& r) {
    const size_t n = r.Remaining();
    const u8* bytes = nullptr;
    if (n == 0 || !r.ReadFixedBytes(bytes, n)) return std::string();
    size_t end = 0;
    while (end < n && bytes[end] != 0)
        ++end;
    return std::string(reinterpret_cast<const char*>(bytes), end);
}

// The rest of the packet as big-endian 16-bit units: up to a 0 unit, or to the packet's end
// when the server left it out (a last odd byte is not a unit), at most kMaxUnicodeUnits.
constexpr size_t kMaxUnicodeUnits = 2048;
std::u16string RestAsUnicodeText(PacketReader& r) {
    std::u16string text;
    u16 unit = 0;
    while (text.size() < kMaxUnicodeUnits && r.Remaining() >= 2 && r.ReadShort(unit) && unit != 0)
        text.push_back(char16_t(unit));
    return text;
}

enum class TextHandling { kSystem, kLabel, kReplace, kSpeech, kIgnored };

TextHandling HandlingOf(u8 type) {
    switch (type) {
        case 1: return TextHandling::kSystem;
        case 6: return TextHandling::kLabel;
        case 7: return TextHandling::kReplace;
        case 0:
        case 2:
        case 3:
        case 4:
        case 8:
        case 9: return TextHandling::kSpeech;
        default: return TextHandling::kIgnored;  // 5 and 10-255
    }
}

enum class Speaker { kUnknown, kIgnored, kReady };

// The object that speaks a text: none (the text becomes a system line), one the player
// ignores, or one ready to speak, whose name and kind the journal line then takes.
Speaker FindSpeaker(u32 serial, const char* name, TextHandling handling, CClientObject*& out) {
    out = serial == kNoSerial ? nullptr : TheClientWorld().FindBySerial(serial);
    if (out == nullptr) return Speaker::kUnknown;
    if (TheClientWordLists().IsIgnored(serial)) return Speaker::kIgnored;
    BarkSpeaker& who = TheBarkSpeaker();
    who.name = name;
    who.mode = handling == TextHandling::kLabel ? BarkSpeaker::kLabel : BarkSpeaker::kNamed;
    return Speaker::kReady;
}

}  // namespace

void SpeechPacketHandlers::Install(ServerPacketDispatcher& d) {
    d.SetSlot(0x1C, [this](const u8* packet, size_t length) { OnText(packet, length); });
    d.SetSlot(0xAE, [this](const u8* packet, size_t length) { OnUnicodeText(packet, length); });
    d.SetSlot(0x9A, [this](const u8* packet, size_t length) { OnPrompt(packet, length); });
}

void SpeechPacketHandlers::OnText(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0;
    u16 graphic = 0, hue = 0, font = 0;
    u8 type = 0;
    char name[kNameWidth + 1] = {};
    r.ReadLong(serial);
    r.ReadShort(graphic);
    r.ReadByte(type);
    r.ReadShort(hue);
    r.ReadShort(font);
    r.ReadFixedText(name, sizeof name, kNameWidth);
    if (!r.Ok()) return link_.RefusePacket(r);
    std::string text = RestAsText(r);
    // The dead hear nothing while the death fade runs.
    if (DeathFadeStep != 0) return;
    const ClientWordLists& lists = TheClientWordLists();
    if (lists.ObscenityFilterOn()) FilterProfanity(text, lists.ObsceneWords());

    const TextHandling handling = HandlingOf(type);
    if (handling == TextHandling::kIgnored) return;
    if (handling == TextHandling::kSystem) {
        const std::string line =
            serial == kNoSerial ? "[System]: " + text : std::string(name) + ": " + text;
        return ShowSystemMessage(hue, font, line);
    }
    CClientObject* speaker = nullptr;
    const Speaker found = FindSpeaker(serial, name, handling, speaker);
    if (found == Speaker::kUnknown) return ShowSystemMessage(hue, font, text);
    if (found == Speaker::kIgnored) return;
    if (handling == TextHandling::kReplace)
        speaker->ReplaceBarks(text, hue, font, 0);
    else
        speaker->AddBark(text, hue, font, 0);
}

void SpeechPacketHandlers::OnUnicodeText(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0, language = 0;
    u16 graphic = 0, hue = 0, font = 0;
    u8 type = 0;
    char name[kNameWidth + 1] = {};
    r.ReadLong(serial);
    r.ReadShort(graphic);
    r.ReadByte(type);
    r.ReadShort(hue);
    r.ReadShort(font);
    r.ReadLong(language);
    r.ReadFixedText(name, sizeof name, kNameWidth);
    if (!r.Ok()) return link_.RefusePacket(r);
    std::u16string text = RestAsUnicodeText(r);
    if (DeathFadeStep != 0) return;
    if (TheClientWordLists().ObscenityFilterOn()) UStrFilterProfanity(text.data());

    const TextHandling handling = HandlingOf(type);
    // A system text in Unicode goes to a hook that shows nothing.
    if (handling == TextHandling::kIgnored || handling == TextHandling::kSystem) return;
    CClientObject* speaker = nullptr;
    const Speaker found = FindSpeaker(serial, name, handling, speaker);
    if (found == Speaker::kUnknown) return ShowUnicodeSystemMessage(text, hue, font, language);
    if (found == Speaker::kIgnored) return;
    if (handling == TextHandling::kReplace)
        speaker->ReplaceUnicodeBarks(text, hue, font, language);
    else
        speaker->AddUnicodeBark(text, hue, font, language);
}

void SpeechPacketHandlers::OnPrompt(const u8* packet, size_t length) {
    PacketReader r(packet, length, 3);
    u32 serial = 0, id = 0, value = 0;
    r.ReadLong(serial);
    r.ReadLong(id);
    r.ReadLong(value);
    if (!r.Ok()) return link_.RefusePacket(r);
    // The prompt's own text is not shown.
    PendingPrompt& prompt = ThePendingPrompt();
    prompt.pending = true;
    prompt.serial = serial;
    prompt.id = id;
}
