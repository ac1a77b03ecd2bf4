#pragma once
// The message journal: the last 100 texts the client showed (overhead texts and system lines),
// oldest first, which the journal windows show and which can be written to a log file.
//
// The log's file name is the option JournalSaveFile (none: no log). It is opened once, on the
// first line, for appending; it holds 16-bit units (little-endian) when JournalSaveUnicode is
// 1, bytes when it is 0, and while it is -1 (its default) follows UnicodeSpeech. A byte log
// ends each line with "\n"; a 16-bit log with the units 10 and 13.
#include <cstdio>
#include <list>
#include <string>
#include <vector>

#include "core/wide_text.h"

struct JournalEntry {
    std::string text;         // a byte text
    std::u16string wideText;  // a 16-bit text
    int hue = 0;
    // The text's height and baseline in the journal's font (9).
    int height = 0;
    int baseline = 0;
    bool unicode = false;
    // The height a journal window last measured the text at, wrapped to `wrapWidth` (-1: not
    // measured): a window measures every entry for every line said.
    mutable int wrapWidth = -1;
    mutable int wrappedHeight = 0;
};

// A window that shows the journal (the journal window and its test fakes): the journal keeps
// its top entry valid and tells it of every new line.
class JournalWindow {
public:
    virtual ~JournalWindow() = default;
    // Scrolls so that the newest entry shows at the bottom (only while not held).
    virtual void ScrollToEnd() = 0;
    // The scroll thumb follows the text.
    virtual void SyncThumb() = 0;
    virtual void DrawText() = 0;

    const JournalEntry* topEntry = nullptr;
    // The player scrolled: the window stays where it is.
    bool held = false;
};

class CJournal {
public:
    static constexpr size_t kCapacity = 100;
    static constexpr int kFont = 9;

    CJournal() = default;
    ~CJournal();
    CJournal(const CJournal&) = delete;
    CJournal& operator=(const CJournal&) = delete;

    // Appends an entry; at the capacity the oldest goes first (a window showing it from the
    // top then starts at the next one).
    void AddText(const std::string& text, int hue);
    void AddUnicodeText(const std::u16string& text, int hue);
    // A line the client showed: appended, written to the log and shown by every window;
    // nothing while `suppress` is set.
    void AddLine(const std::string& text, int hue);
    void AddUnicodeLine(const std::u16string& text, int hue);

    const std::list<JournalEntry>& Entries() const { return entries_; }
    size_t Count() const { return entries_.size(); }
    // The entry after `entry` (newer), null for the newest.
    const JournalEntry* Newer(const JournalEntry* entry) const;

    void AddWindow(JournalWindow* window);
    void RemoveWindow(JournalWindow* window);

    // Closes the log (at the client's exit); the next line opens it again.
    void CloseLog();
    // Empties the journal and closes its log (a fresh client, and tests).
    void Reset();

    // Set while the world restores overhead texts that are already in the journal.
    bool suppress = false;

private:
    void Append(JournalEntry entry);
    void RefreshWindows();
    // The log in force, opened on first use; null when there is none.
    std::FILE* Log();
    bool LogIsWide() const;

    std::list<JournalEntry> entries_;
    std::vector<JournalWindow*> windows_;
    std::FILE* log_ = nullptr;
    bool logTried_ = false;
    bool logWide_ = false;
};

CJournal& TheJournal();

// Keeps the journal quiet for a scope (texts already journaled once).
class JournalSuppressScope {
public:
    JournalSuppressScope() : old_(TheJournal().suppress) { TheJournal().suppress = true; }
    ~JournalSuppressScope() { TheJournal().suppress = old_; }
    JournalSuppressScope(const JournalSuppressScope&) = delete;
    JournalSuppressScope& operator=(const JournalSuppressScope&) = delete;

private:
    bool old_;
};

// Who is speaking in the next overhead text: the handler of a speech packet sets it right
// before it adds the text, and the text's journal line then starts with the speaker's name
// (kNamed) or "You see: " (kLabel). Read and reset to kPlain by every overhead text.
struct BarkSpeaker {
    enum Mode { kPlain = 1, kNamed = 2, kLabel = 3 };
    int mode = kPlain;
    std::string name;
};
BarkSpeaker& TheBarkSpeaker();
// The journal line of an overhead text under the current speaker, which returns to kPlain.
std::string TakeSpeakerLine(const std::string& text);
// The same for a 16-bit text.
std::u16string TakeUnicodeSpeakerLine(const std::u16string& text);
