#include "client/gumps/frontend/character_name.h"

#include <cctype>
#include <string>

namespace {

// Name tables of the character-name check (case-insensitive).
constexpr const char* kReservedNames[] = {
    "varnok",     "guard",    "guards",    "admin",   "administrator", "system",    "server",
    "staff",      "official", "moderator", "helper",  "support",       "developer", "dev",
    "player",     "unknown",  "nobody",    "someone", "ghost",         "corpse",    "vendor",
    "shopkeeper", "banker",   "healer",    "mage",    "warrior",       "king",      "queen",
    "prince",     "princess", "god",       "goddess"};
constexpr const char* kObsceneNameWords[] = {
    "damn", "crap", "bastard", "bugger", "arse",   "hell",   "piss",     "bloody",
    "sod",  "git",  "prat",    "twit",   "wanker", "tosser", "bollocks", "slag",
    "tart", "cow",  "pig",     "scum",   "filth",  "dung",   "turd"};
constexpr const char* kAnywhereWords[] = {
    "fuck", "shit",  "cunt",   "dick", "cock",  "pussy", "whore", "slut", "nigg", "fag", "rape",
    "nazi", "penis", "vagina", "anus", "semen", "porn",  "sex",   "tits", "boob", "jizz"};
constexpr const char* kWholeWordsLast[] = {"ass", "cum", "nut", "hoe", "homo"};

bool IsSeparator(char c) {
    return c == ' ' || c == '\'' || c == '-' || c == '.';
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Whether the first occurrence of `word` in `name` stands as a whole word.
bool FirstOccurrenceIsWholeWord(const std::string& name, std::string_view word) {
    auto at = name.find(word);
    if (at == std::string::npos) return false;
    bool startOk = at == 0 || IsSeparator(name[at - 1]);
    size_t end = at + word.size();
    bool endOk = end == name.size() || IsSeparator(name[end]);
    return startOk && endOk;
}

}  // namespace

bool IsUnacceptableName(std::string_view raw) {
    if (raw.empty() || !std::isalpha(static_cast<unsigned char>(raw[0]))) return true;
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (!std::isalpha(static_cast<unsigned char>(c)) && !IsSeparator(c)) return true;
        if (i > 0 && IsSeparator(c) && IsSeparator(raw[i - 1])) return true;
    }
    std::string name = Lower(raw);
    for (const char* prefix : {"lord", "lady", "gm", "counselor", "seer"}) {
        if (name.rfind(prefix, 0) == 0) return true;
    }
    for (const char* w : kReservedNames) {
        if (FirstOccurrenceIsWholeWord(name, w)) return true;
    }
    for (const char* w : kObsceneNameWords) {
        if (FirstOccurrenceIsWholeWord(name, w)) return true;
    }
    for (const char* w : kAnywhereWords) {
        if (name.find(w) != std::string::npos) return true;
    }
    for (const char* w : kWholeWordsLast) {
        if (FirstOccurrenceIsWholeWord(name, w)) return true;
    }
    return false;
}
