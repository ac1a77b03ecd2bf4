#pragma once
// The speech line and the text handlers under test: the walk fixture's world and open link,
// a font table with the speech font (3) and the journal's font (9), a recording speech-line
// host, and the journal, the pending prompt and the speaker emptied before and after.
#include <string>
#include <vector>

#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/net/speech_line.h"
#include "client/world/journal.h"
#include "core/protocol/packet_table.h"
#include "tests/client/data/font_fixture.h"
#include "tests/client/world/walk_fixture.h"

class RecordingSpeechHost : public SpeechLineHost {
public:
    struct Shown {
        std::string prefix, text;
        bool caret;
        u16 hue, font;
    };
    void UpdateBark(const std::string& prefix, const std::string& text, bool caret, u16 hue,
                    u16 font) override {
        shown.push_back({prefix, text, caret, hue, font});
    }
    void UpdateUnicodeBark(const std::string& prefix, const std::u16string& text, bool caret,
                           u16 hue, u16 font) override {
        wideShown.push_back({prefix, text, caret, hue, font});
    }
    bool CharacterPlaying() override { return playing; }
    bool ModalGumpOpen() override { return modal; }
    bool KeyboardFocusTaken() override { return focus; }
    bool CtrlHeld() override { return ctrl; }
    void MenuCommand(u32 command) override { commands.push_back(command); }

    struct WideShown {
        std::string prefix;
        std::u16string text;
        bool caret;
        u16 hue, font;
    };
    std::vector<Shown> shown;
    std::vector<WideShown> wideShown;
    std::vector<u32> commands;
    bool playing = true, modal = false, focus = false, ctrl = false;
};

// One packet the client sent, as the server frames it.
struct ClientPacket {
    u8 id = 0;
    Bytes bytes;  // the whole packet
};

class SpeechFixture : public WalkFixture {
protected:
    static constexpr u16 kSpeechHue = 0x5A, kEmoteHue = 0x225;

    SpeechFixture() {
        // The speech font (3) and the journal's (9).
        const std::vector<u8> fonts = FixtureFontsMulIn({3, 9});
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        oldHost_ = SetSpeechLineHost(&host);
        Clean();
        TheClientWorld().speech = SpeechStyle{kSpeechHue, 3, kEmoteHue, 3};
    }
    ~SpeechFixture() override {
        Clean();
        SetSpeechLineHost(oldHost_);
        GetFontTable().Clear();
        TheClientWorld().speech = SpeechStyle{};
        SetClientSettings(ClientSettings{});
    }
    static void Clean() {
        TheJournal().Reset();
        ThePendingPrompt() = PendingPrompt{};
        TheBarkSpeaker() = BarkSpeaker{};
    }

    // Every packet the client sent since the last call.
    std::vector<ClientPacket> Packets() {
        const Bytes bytes = net.ClientSent();
        std::vector<ClientPacket> out;
        for (size_t i = 0; i < bytes.size();) {
            const int n = PacketFramedLength(&bytes[i], bytes.size() - i);
            if (n <= 0 || i + size_t(n) > bytes.size()) {
                ADD_FAILURE() << "unframed client bytes at " << i;
                break;
            }
            out.push_back({bytes[i], Bytes(bytes.begin() + long(i), bytes.begin() + long(i) + n)});
            i += size_t(n);
        }
        return out;
    }
    std::vector<std::string> JournalTexts() const {
        std::vector<std::string> out;
        for (const JournalEntry& e : TheJournal().Entries())
            out.push_back(e.text);
        return out;
    }

    RecordingSpeechHost host;

private:
    SpeechLineHost* oldHost_ = nullptr;
};

// The text of a 0x03 (mode, hue, font, text) or 0x12 / 0x9A packet from `offset` to its zero.
inline std::string TextAt(const Bytes& packet, size_t offset) {
    std::string s;
    for (size_t i = offset; i < packet.size() && packet[i] != 0; ++i)
        s.push_back(char(packet[i]));
    return s;
}
