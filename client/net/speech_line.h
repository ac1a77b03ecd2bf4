#pragma once
// The player talks by typing: characters go to the speech line, which shows the line being
// typed on the typing line at the bottom edge with its mode's prefix and a caret, lets a
// one-character prefix choose the speech mode (":" emote, ";" whisper, "!" yell, "'"
// normal, each followed by a space), and on Enter sends the line as speech, answers a pending
// server prompt or, in command mode, runs a dot command. While the line is empty its key
// handler turns the cursor keys into single steps of the player.
//
// The line holds bytes in the speech font, or, while the client speaks Unicode (a setting
// read when the line is made), 16-bit characters in the Unicode font, sent as Unicode speech.
//
// Command mode is entered only through SetMode: a "." typed first stays an ordinary
// character, so ".where" is spoken.
#include <set>
#include <string>
#include <string_view>

#include "platform/types.h"

class ClientLink;

// The server's text prompt (0x9A) that the next typed line answers.
struct PendingPrompt {
    bool pending = false;
    u32 serial = 0;
    u32 id = 0;
};
PendingPrompt& ThePendingPrompt();

// What the speech line asks of the windows and the shell above it. This class itself: no
// player, no window open, no modifier held; the typing line and the window's menu commands
// are not built here (each said once in the client log). The shell installs the real ones;
// tests install a recording one.
class SpeechLineHost {
public:
    virtual ~SpeechLineHost() = default;
    // The typing line shows `prefix` + `text` (+ "_" when `caret`) in the hue and font.
    virtual void UpdateBark(const std::string& prefix, const std::string& text, bool caret,
                            u16 hue, u16 font);
    // The same for a line of 16-bit characters.
    virtual void UpdateUnicodeBark(const std::string& prefix, const std::u16string& text,
                                   bool caret, u16 hue, u16 font);
    virtual bool CharacterPlaying();
    virtual bool ModalGumpOpen();
    // A window holds the keyboard focus (typed keys go to it; the line shows no caret).
    virtual bool KeyboardFocusTaken();
    virtual bool CtrlHeld();
    // A menu command of the client window (101: full screen).
    virtual void MenuCommand(u32 command);

protected:
    // Says once, in the client log, that a part the line needs is not built.
    void NotBuiltYet(const char* what);

private:
    std::set<std::string> notBuiltSaid_;
};
SpeechLineHost& TheSpeechLineHost();
// Installs a host (kept alive by the caller; null puts back the default one); answers the
// previous one.
SpeechLineHost* SetSpeechLineHost(SpeechLineHost* host);

class CSpeechLine {
public:
    enum Mode { kNormal = 0, kBroadcast = 1, kEmote = 2, kCommand = 5, kWhisper = 8, kYell = 9 };
    static constexpr size_t kMaxLength = 128;
    static constexpr int kMaxWidth = 600;
    static constexpr int kFont = 3;
    static constexpr u16 kPlainPrefixHue = 946;

    // An empty line in mode 0; sends through `link`, or the running client's link when null.
    explicit CSpeechLine(ClientLink* link = nullptr);

    // A key went down (virtual-key code and key data); true when the line used it.
    bool OnKeyDown(u32 virtualKey, u32 keyData);
    // A typed character.
    void OnChar(u32 character);
    void SetMode(int mode);
    int GetMode() const { return mode_; }
    // The line as bytes (a 16-bit line narrowed: characters of 128 or more are dropped).
    std::string Text() const;
    const std::u16string& WideText() const { return line_; }
    bool Unicode() const { return unicode_; }
    // Shows the line on the typing line.
    void UpdateBark();
    // Answers the pending prompt (0x9A) with a type (1 a typed line, 0 cancelled) and text,
    // then empties the line. Without a pending prompt nothing is sent.
    void AnswerPrompt(u32 type, const std::string& text);
    // Escape: cancels a pending prompt; false when none was pending.
    bool CancelPrompt();
    // Runs the line as a dot command; false when its first word is no command (nothing is
    // shown then).
    bool RunDotCommand();

    // Coming '+' or '-' characters to ignore.
    int swallowCount = 0;
    // Each dot command is shown as a system line first.
    bool commandEcho = false;

private:
    ClientLink* Link() const;
    void Append(char16_t c);
    void Empty();
    int LineWidth() const;

    ClientLink* link_;
    bool unicode_;
    // The typed characters: bytes (each below 256) or 16-bit characters.
    std::u16string line_;
    int mode_ = kNormal;
    std::u16string lastLine_;
    int lastMode_ = kNormal;
    bool ignoreNextChar_ = false;
};

// The running client's speech line, or null before the shell made it.
CSpeechLine* TheSpeechLine();
void SetTheSpeechLine(CSpeechLine* line);

// Sends a line as speech (0x03) in the player's speech hue and font, or for an emote (mode 2,
// sent as "*text*") the emote hue and font. Each run of spaces of a text of two or more
// characters is sent as one space. `link` null: the running client's.
void SendSpeech(const std::string& text, int mode, ClientLink* link = nullptr);
// Sends a 16-bit line as Unicode speech (0xAD, language 0) in the same hues and fonts, its
// trailing spaces cut and an emote sent as "*text*".
void SendUnicodeSpeech(const std::u16string& text, int mode, ClientLink* link = nullptr);
// The help request (0x9B) with an empty text.
void SendHelpRequest(ClientLink* link = nullptr);
// Skips leading spaces and copies the first word, lower-cased, into `word`; answers the text
// after the word and one space following it.
std::string_view SplitFirstWord(std::string_view source, std::string& word);
