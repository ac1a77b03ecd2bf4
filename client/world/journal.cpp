#include "client/world/journal.h"

#include <algorithm>

#include "client/data/client_log.h"
#include "client/data/client_settings.h"
#include "client/data/fonts.h"
#include "client/data/unicode_fonts.h"
#include "client/data/ustr.h"

CJournal::~CJournal() {
    CloseLog();
}

const JournalEntry* CJournal::Newer(const JournalEntry* entry) const {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (&*it != entry) continue;
        ++it;
        return it == entries_.end() ? nullptr : &*it;
    }
    return nullptr;
}

void CJournal::Append(JournalEntry entry) {
    if (entries_.size() >= kCapacity) {
        const JournalEntry* oldest = &entries_.front();
        const JournalEntry* next = Newer(oldest);
        for (JournalWindow* w : windows_)
            if (w->topEntry == oldest) w->topEntry = next;
        entries_.pop_front();
    }
    entries_.push_back(std::move(entry));
}

void CJournal::AddText(const std::string& text, int hue) {
    JournalEntry e;
    e.text = text;
    e.hue = hue;
    int width = 0;
    GetFontTable().MeasureText(kFont, text, width, e.height, e.baseline);
    Append(std::move(e));
}

void CJournal::AddUnicodeText(const std::u16string& text, int hue) {
    JournalEntry e;
    e.wideText = text;
    e.hue = hue;
    e.unicode = true;
    int width = 0;
    UnicodeMeasureText(e.wideText.c_str(), width, e.height, e.baseline);
    Append(std::move(e));
}

namespace {

void PutWide(std::FILE* f, const std::u16string& text) {
    std::string bytes;
    bytes.reserve(text.size() * 2 + 4);
    auto put = [&bytes](char16_t u) {
        bytes.push_back(char(u & 0xFF));
        bytes.push_back(char(u >> 8));
    };
    for (char16_t u : text)
        put(u);
    put(10);
    put(13);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
}

std::u16string Widen(const std::string& text) {
    std::u16string wide;
    wide.reserve(text.size());
    for (char c : text)
        wide.push_back(char16_t(static_cast<unsigned char>(c)));
    return wide;
}

}  // namespace

void CJournal::AddLine(const std::string& text, int hue) {
    if (suppress) return;
    AddText(text, hue);
    if (std::FILE* f = Log()) {
        if (logWide_) {
            PutWide(f, Widen(text));
        } else {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fputc('\n', f);
        }
        std::fflush(f);
    }
    RefreshWindows();
}

void CJournal::AddUnicodeLine(const std::u16string& text, int hue) {
    if (suppress) return;
    AddUnicodeText(text, hue);
    if (std::FILE* f = Log()) {
        if (logWide_) {
            PutWide(f, text);
        } else {
            const std::string narrow = UStrToAscii(text.c_str());
            std::fwrite(narrow.data(), 1, narrow.size(), f);
            std::fputc('\n', f);
        }
        std::fflush(f);
    }
    RefreshWindows();
}

void CJournal::RefreshWindows() {
    // A window may close itself while it redraws: walk a copy.
    const std::vector<JournalWindow*> windows = windows_;
    for (JournalWindow* w : windows) {
        if (std::find(windows_.begin(), windows_.end(), w) == windows_.end()) continue;
        if (!w->held) w->ScrollToEnd();
        w->SyncThumb();
        w->DrawText();
    }
}

void CJournal::AddWindow(JournalWindow* window) {
    if (std::find(windows_.begin(), windows_.end(), window) == windows_.end())
        windows_.push_back(window);
}

void CJournal::RemoveWindow(JournalWindow* window) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
}

bool CJournal::LogIsWide() const {
    const ClientOptions& o = TheClientSettings().options;
    return o.journalSaveUnicode == 1 || (o.journalSaveUnicode == -1 && o.unicodeSpeech);
}

std::FILE* CJournal::Log() {
    if (logTried_) return log_;
    logTried_ = true;
    const std::string& name = TheClientSettings().options.journalSaveFile;
    if (name.empty()) return nullptr;
    logWide_ = LogIsWide();
    log_ = std::fopen(name.c_str(), "ab");
    if (!log_)
        LogClientError("journal", ("the journal log " + name + " does not open").c_str());
    return log_;
}

void CJournal::CloseLog() {
    if (log_) std::fclose(log_);
    log_ = nullptr;
    logTried_ = false;
}

void CJournal::Reset() {
    CloseLog();
    entries_.clear();
    for (JournalWindow* w : windows_)
        w->topEntry = nullptr;
    suppress = false;
}

CJournal& TheJournal() {
    static CJournal journal;
    return journal;
}

BarkSpeaker& TheBarkSpeaker() {
    static BarkSpeaker speaker;
    return speaker;
}

namespace {

// The journal prefix of the current speaker, which returns to kPlain.
std::string TakeSpeakerPrefix() {
    BarkSpeaker& s = TheBarkSpeaker();
    std::string prefix = s.mode == BarkSpeaker::kNamed   ? s.name + ": "
                         : s.mode == BarkSpeaker::kLabel ? "You see: "
                                                         : std::string();
    s.mode = BarkSpeaker::kPlain;
    s.name.clear();
    return prefix;
}

}  // namespace

std::string TakeSpeakerLine(const std::string& text) {
    return TakeSpeakerPrefix() + text;
}

std::u16string TakeUnicodeSpeakerLine(const std::u16string& text) {
    const std::string prefix = TakeSpeakerPrefix();
    std::u16string line;
    for (unsigned char c : prefix)
        line.push_back(char16_t(c));
    return line + text;
}
