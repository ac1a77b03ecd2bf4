#include "client/net/speech_line.h"

#include <cstdio>

#include "client/data/client_log.h"
#include "client/data/client_settings.h"
#include "client/data/client_version.h"
#include "client/data/fonts.h"
#include "client/net/client_link.h"
#include "client/net/client_packets.h"
#include "client/world/client_map.h"
#include "client/world/client_mobile.h"
#include "client/world/client_world.h"
#include "client/world/system_message.h"
#include "client/world/walk_queue.h"
#include "core/packet_writer.h"
#include "platform/keys.h"

namespace {

void SayNotBuilt(const char* what) {
    LogClientError("speech line", (std::string(what) + ": not built yet").c_str());
}

constexpr u32 kVkF4 = platform::kVkF1 + 3;
constexpr u32 kVkQ = platform::kVkA + ('Q' - 'A');
constexpr u32 kFullScreenCommand = 101;

// The cursor keys step the player; screen up is north-west, the walk queue's index 0.
constexpr struct {
    u32 key;
    int index;
} kWalkKeys[] = {{platform::kVkUp, 0},   {platform::kVkPrior, 1}, {platform::kVkRight, 2},
                 {platform::kVkNext, 3}, {platform::kVkDown, 4},  {platform::kVkEnd, 5},
                 {platform::kVkLeft, 6}, {platform::kVkHome, 7}};

const char* ModePrefix(int mode) {
    switch (mode) {
        case CSpeechLine::kBroadcast: return "Broadcast: ";
        case CSpeechLine::kEmote: return "Emote: ";
        case CSpeechLine::kCommand: return "Command: ";
        case CSpeechLine::kWhisper: return "Whisper: ";
        case CSpeechLine::kYell: return "Yell: ";
        default: return "";
    }
}

// The system lines of the dot commands.
void SayLine(const std::string& text) {
    ShowSystemMessage(0, CSpeechLine::kFont, text);
}

SpeechLineHost g_defaultHost;
SpeechLineHost* g_host = nullptr;
CSpeechLine* g_speechLine = nullptr;

}  // namespace

PendingPrompt& ThePendingPrompt() {
    static PendingPrompt prompt;
    return prompt;
}

// --- The host's own answers ---------------------------------------------------------------------

void SpeechLineHost::NotBuiltYet(const char* what) {
    if (notBuiltSaid_.insert(what).second) SayNotBuilt(what);
}

void SpeechLineHost::UpdateBark(const std::string&, const std::string&, bool, u16, u16) {
    NotBuiltYet("typing line");
}

bool SpeechLineHost::CharacterPlaying() {
    return false;
}

bool SpeechLineHost::ModalGumpOpen() {
    return false;
}

bool SpeechLineHost::KeyboardFocusTaken() {
    return false;
}

bool SpeechLineHost::CtrlHeld() {
    return false;
}

void SpeechLineHost::MenuCommand(u32) {
    NotBuiltYet("menu commands");
}

SpeechLineHost& TheSpeechLineHost() {
    return g_host ? *g_host : g_defaultHost;
}

SpeechLineHost* SetSpeechLineHost(SpeechLineHost* host) {
    SpeechLineHost* previous = g_host;
    g_host = host;
    return previous;
}

CSpeechLine* TheSpeechLine() {
    return g_speechLine;
}

void SetTheSpeechLine(CSpeechLine* line) {
    g_speechLine = line;
}

// --- Sending ------------------------------------------------------------------------------------

namespace {

ClientLink* LinkOr(ClientLink* link) {
    return link ? link : TheClientLink();
}

void SendPacket(ClientLink* link, const PacketWriter& w) {
    if (ClientLink* l = LinkOr(link)) l->Send(w);
}

}  // namespace

void SendSpeech(const std::string& text, int mode, ClientLink* link) {
    std::string line;
    if (text.size() >= 2) {
        for (char c : text)
            if (c != ' ' || line.empty() || line.back() != ' ') line.push_back(c);
    } else {
        line = text;
    }
    const SpeechStyle& style = TheClientWorld().speech;
    const bool emote = mode == CSpeechLine::kEmote;
    if (emote) line = "*" + line + "*";
    u8 buffer[300];
    PacketWriter w(buffer, sizeof buffer);
    BuildSpeechPacket(w, u8(mode), emote ? style.emoteHue : style.speechHue,
                      emote ? style.emoteFont : style.speechFont, line);
    SendPacket(link, w);
}

void SendHelpRequest(ClientLink* link) {
    u8 buffer[300];
    PacketWriter w(buffer, sizeof buffer);
    BuildHelpRequestPacket(w, "");
    SendPacket(link, w);
}

std::string_view SplitFirstWord(std::string_view source, std::string& word) {
    size_t i = 0;
    while (i < source.size() && source[i] == ' ')
        ++i;
    word.clear();
    for (; i < source.size() && source[i] != ' '; ++i) {
        const char c = source[i];
        word.push_back(c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c);
    }
    if (i < source.size()) ++i;  // the space after the word
    return source.substr(i);
}

// --- The line -----------------------------------------------------------------------------------

CSpeechLine::CSpeechLine(ClientLink* link) : link_(link) {
    // The 16-bit line (with the Unicode font and speech packet) is not built; the line keeps
    // bytes.
    static bool unicodeSaid = false;
    if (TheClientSettings().options.unicodeSpeech && !unicodeSaid) {
        unicodeSaid = true;
        SayNotBuilt("Unicode speech line");
    }
}

ClientLink* CSpeechLine::Link() const {
    return LinkOr(link_);
}

void CSpeechLine::SetMode(int mode) {
    mode_ = mode;
}

int CSpeechLine::LineWidth() const {
    return GetFontTable().TextWidth(kFont, int(text_.size()), text_);
}

void CSpeechLine::Empty() {
    text_.clear();
    mode_ = kNormal;
    UpdateBark();
}

void CSpeechLine::Append(char c) {
    text_.push_back(c);
    UpdateBark();
}

void CSpeechLine::UpdateBark() {
    SpeechLineHost& host = TheSpeechLineHost();
    const SpeechStyle& style = TheClientWorld().speech;
    u16 hue = style.speechHue, font = style.speechFont;
    if (mode_ == kEmote) {
        hue = style.emoteHue;
        font = style.emoteFont;
    } else if (mode_ == kBroadcast || mode_ == kCommand) {
        hue = kPlainPrefixHue;
    }
    host.UpdateBark(ModePrefix(mode_), text_, !host.KeyboardFocusTaken(), hue, font);
}

bool CSpeechLine::OnKeyDown(u32 vk, u32 keyData) {
    SpeechLineHost& host = TheSpeechLineHost();
    if (keyData & platform::kKeyDataAltDown) {
        if (vk == platform::kVkReturn) {
            host.MenuCommand(kFullScreenCommand);
            return true;
        }
        if (vk == kVkF4 || vk == platform::kVkTab) return false;
    }
    if (!host.CharacterPlaying() || host.ModalGumpOpen() || !text_.empty()) return true;
    for (const auto& k : kWalkKeys) {
        if (k.key != vk) continue;
        TheWalkQueue().Walk(k.index, keyData & platform::kKeyDataWasDown, host.CtrlHeld());
        return true;
    }
    if (vk == kVkQ && host.CtrlHeld()) {
        text_ = lastText_;
        mode_ = lastMode_;
        UpdateBark();
        // The Q arrives as a character too.
        ignoreNextChar_ = true;
        return true;
    }
    return false;
}

void CSpeechLine::OnChar(u32 character) {
    if (!TheSpeechLineHost().CharacterPlaying()) return;
    if (ignoreNextChar_) {
        ignoreNextChar_ = false;
        return;
    }
    if (character > 0xFF) return;  // the byte line has no such character
    const char c = char(character);
    switch (character) {
        case 8:  // Backspace
            if (!text_.empty()) {
                text_.pop_back();
                if (text_.empty()) mode_ = kNormal;
            }
            UpdateBark();
            return;
        case 13:
        case 10:
            if (!text_.empty()) {
                lastText_ = text_;
                lastMode_ = mode_;
                if (ThePendingPrompt().pending)
                    AnswerPrompt(1, text_);
                else if (mode_ == kCommand)
                    RunDotCommand();
                else
                    SendSpeech(text_, mode_, link_);
            }
            Empty();
            return;
        case ' ':
            if (text_.size() == 1) {
                const int mode = text_[0] == '!'    ? kYell
                                 : text_[0] == '\'' ? kNormal
                                 : text_[0] == ':'  ? kEmote
                                 : text_[0] == ';'  ? kWhisper
                                                    : -1;
                if (mode >= 0) {
                    text_.clear();
                    mode_ = mode;
                    UpdateBark();
                } else {
                    Append(c);
                }
                return;
            }
            if (text_.size() >= kMaxLength || LineWidth() >= kMaxWidth) return;
            Append(c);
            return;
        case '+':
        case '-':
            if (swallowCount > 0) {
                --swallowCount;
                return;
            }
            break;
        case '.':
            if (text_.size() >= kMaxLength || LineWidth() >= kMaxWidth) return;
            Append(c);
            return;
        default:
            break;
    }
    if (text_.size() >= kMaxLength) return;
    if (!GetFontTable().HasGlyph(kFont, static_cast<unsigned char>(c))) return;
    if (LineWidth() >= kMaxWidth) return;
    Append(c);
}

void CSpeechLine::AnswerPrompt(u32 type, const std::string& text) {
    PendingPrompt& prompt = ThePendingPrompt();
    if (prompt.pending) {
        u8 buffer[300];
        PacketWriter w(buffer, sizeof buffer);
        BuildPromptAnswerPacket(w, prompt.serial, prompt.id, type, text);
        SendPacket(link_, w);
    }
    prompt = PendingPrompt{};
    Empty();
}

bool CSpeechLine::CancelPrompt() {
    if (!ThePendingPrompt().pending) return false;
    AnswerPrompt(0, "");
    return true;
}

bool CSpeechLine::RunDotCommand() {
    enum Type { kNone, kWhere, kAction, kHelpMe, kVersion };
    static const struct {
        const char* word;
        Type type;
    } kCommands[] = {{"who", kNone},        {"where", kWhere},   {"query", kNone},
                     {"fullscreen", kNone}, {"action", kAction}, {"helpme", kHelpMe},
                     {"version", kVersion}, {"a", kNone}};
    std::string word;
    const std::string argument(SplitFirstWord(text_, word));
    const auto* command = std::begin(kCommands);
    while (command != std::end(kCommands) && word != command->word)
        ++command;
    if (command == std::end(kCommands)) return false;
    if (commandEcho) SayLine("." + word + " " + argument);
    switch (command->type) {
        case kWhere: {
            const CClientPlayer* player = ThePlayer();
            char line[160];
            std::snprintf(line, sizeof line, "You are at: %d %d %d in %s.",
                          player ? player->loc.x : 0, player ? player->loc.y : 0,
                          player ? player->loc.z : 0, TheClientMap().areaName.c_str());
            SayLine(line);
            break;
        }
        case kAction: {
            u8 buffer[300];
            PacketWriter w(buffer, sizeof buffer);
            BuildTextCommandPacket(w, 0xC7, argument);
            SendPacket(link_, w);
            break;
        }
        case kHelpMe: {
            ClientLink* link = Link();
            if (!link || !link->Connection().IsOpen()) break;
            u8 buffer[300];
            PacketWriter w(buffer, sizeof buffer);
            BuildHelpRequestPacket(w, argument);
            link->Send(w);
            break;
        }
        case kVersion:
            SayLine(ClientVersionLine());
            break;
        case kNone:
            break;
    }
    return true;
}
