#include "client/net/speech_line.h"

#include <cstdio>

#include "client/data/client_log.h"
#include "client/data/client_settings.h"
#include "client/data/client_version.h"
#include "client/data/fonts.h"
#include "client/data/unicode_fonts.h"
#include "client/data/ustr.h"
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

void SpeechLineHost::UpdateUnicodeBark(const std::string&, const std::u16string&, bool, u16,
                                       u16) {
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

void SendUnicodeSpeech(const std::u16string& text, int mode, ClientLink* link) {
    std::u16string line = text;
    while (!line.empty() && line.back() == u' ')
        line.pop_back();
    const SpeechStyle& style = TheClientWorld().speech;
    const bool emote = mode == CSpeechLine::kEmote;
    if (emote) line = u"*" + line + u"*";
    u8 buffer[320];
    PacketWriter w(buffer, sizeof buffer);
    BuildUnicodeSpeechPacket(w, u8(mode), emote ? style.emoteHue : style.speechHue,
                             emote ? style.emoteFont : style.speechFont, 0, line);
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

CSpeechLine::CSpeechLine(ClientLink* link)
    : link_(link), unicode_(TheClientSettings().options.unicodeSpeech) {}

std::string CSpeechLine::Text() const {
    if (unicode_) return UStrToAscii(line_.c_str());
    return std::string(line_.begin(), line_.end());
}

ClientLink* CSpeechLine::Link() const {
    return LinkOr(link_);
}

void CSpeechLine::SetMode(int mode) {
    mode_ = mode;
}

int CSpeechLine::LineWidth() const {
    if (unicode_) return UnicodeTextWidth(int(line_.size()), line_.c_str());
    return GetFontTable().TextWidth(kFont, int(line_.size()), Text());
}

void CSpeechLine::Empty() {
    line_.clear();
    mode_ = kNormal;
    UpdateBark();
}

void CSpeechLine::Append(char16_t c) {
    line_.push_back(c);
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
    const bool caret = !host.KeyboardFocusTaken();
    if (unicode_)
        host.UpdateUnicodeBark(ModePrefix(mode_), line_, caret, hue, font);
    else
        host.UpdateBark(ModePrefix(mode_), Text(), caret, hue, font);
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
    if (!host.CharacterPlaying() || host.ModalGumpOpen() || !line_.empty()) return true;
    for (const auto& k : kWalkKeys) {
        if (k.key != vk) continue;
        TheWalkQueue().Walk(k.index, keyData & platform::kKeyDataWasDown, host.CtrlHeld());
        return true;
    }
    if (vk == kVkQ && host.CtrlHeld()) {
        line_ = lastLine_;
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
    // Beyond the line's character width there is no such character.
    if (character > (unicode_ ? 0xFFFFu : 0xFFu)) return;
    const char16_t c = char16_t(character);
    switch (character) {
        case 8:  // Backspace
            if (!line_.empty()) {
                line_.pop_back();
                if (line_.empty()) mode_ = kNormal;
            }
            UpdateBark();
            return;
        case 13:
        case 10:
            if (!line_.empty()) {
                lastLine_ = line_;
                lastMode_ = mode_;
                if (ThePendingPrompt().pending)
                    AnswerPrompt(1, Text());
                else if (mode_ == kCommand)
                    RunDotCommand();
                else if (unicode_)
                    SendUnicodeSpeech(line_, mode_, link_);
                else
                    SendSpeech(Text(), mode_, link_);
            }
            Empty();
            return;
        case ' ':
            if (line_.size() == 1) {
                const int mode = line_[0] == u'!'    ? kYell
                                 : line_[0] == u'\'' ? kNormal
                                 : line_[0] == u':'  ? kEmote
                                 : line_[0] == u';'  ? kWhisper
                                                     : -1;
                if (mode >= 0) {
                    line_.clear();
                    mode_ = mode;
                    UpdateBark();
                } else {
                    Append(c);
                }
                return;
            }
            if (line_.size() >= kMaxLength || LineWidth() >= kMaxWidth) return;
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
            if (line_.size() >= kMaxLength || LineWidth() >= kMaxWidth) return;
            Append(c);
            return;
        default:
            break;
    }
    if (line_.size() >= kMaxLength) return;
    const bool glyph =
        unicode_ ? UnicodeHasGlyph(c) : GetFontTable().HasGlyph(kFont, static_cast<unsigned char>(c));
    if (!glyph) return;
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
    const std::string line = Text();
    const std::string argument(SplitFirstWord(line, word));
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
