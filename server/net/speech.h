#pragma once
// Speech: a player's typed text (0x03) becomes text messages to the players who can hear it
// and the speech trigger of scripted objects nearby. Ghosts are heard by the living only
// garbled, and only when they are allowed to be heard at all.
#include <string>
#include <vector>

#include "core/random_numbers.h"
#include "platform/types.h"

class CMobile;
class CPlayer;
class PacketReader;

// Message types of speech.
enum SpeechType : int {
    kSpeechNormal = 0,
    kSpeechBroadcast = 1,
    kSpeechEmote = 2,
    kSpeechSystem = 6,
    kSpeechWhisper = 8,
    kSpeechYell = 9,
};
// Hearing ranges in tiles.
inline constexpr int kNormalSpeechRange = 9;
inline constexpr int kEmoteRange = 7;
inline constexpr int kWhisperRange = 1;
inline constexpr int kYellRange = 18;
inline constexpr int kDefaultSpeechHue = 946;
inline constexpr int kDefaultSpeechFont = 3;
// The hues a player not in god mode may speak in; others become the highest.
inline constexpr int kLowestSpeechHue = 2;
inline constexpr int kHighestSpeechHue = 1001;
// A text is blank when this many first characters are all white space.
inline constexpr int kBlankTestLength = 240;

// 0x03 from a player.
void HandleSpeech(CPlayer& player, PacketReader& packet);

// 0x1C from the speaker to every player within `range` tiles who sees the speaker's head.
void SpeakInRange(CMobile& speaker, int type, const char* text, int hue, int font, int range);
// The ghost's speech: each player within `range` gets the clear text, the garbled one or
// nothing, by sight, god mode or counselor, the speaker's flag 0x20 and the listener being a
// ghost or having flag 0x400.
void SpeakAsGhost(CMobile& speaker, int type, const char* text, int hue, int font, int range);

// What a listener hears of a ghost: 0 nothing, 1 the garbled text, 2 the clear text.
enum class GhostHearing : u8 { kNothing, kGarbled, kClear };
GhostHearing HowListenerHearsGhost(const CMobile& speaker, const CPlayer& listener,
                                   bool speakerSeesListener);

// The ghost's garbled text: every character that is not a space becomes 'O' or 'o' with
// equal chance.
template <class Char>
std::basic_string<Char> GarbleGhostText(const Char* text) {
    std::basic_string<Char> out(text);
    for (Char& c : out) {
        if (c != Char(' ')) c = static_cast<Char>(RandomRange(0, 1) * 32 + 'O');
    }
    return out;
}
// The players within `range` of the ghost who hear its clear text and its garbled text.
void CollectGhostListeners(CMobile& speaker, int range, std::vector<CPlayer*>& clear,
                           std::vector<CPlayer*>& garbled);

// A system message to one player: 0x1C without a speaker, type 6, hue 946, font 3.
void SendSystemMessage(CPlayer& player, const char* text);
