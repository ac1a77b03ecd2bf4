#include "server/rules/name_rules.h"

#include <string_view>

#include "core/text_utils.h"

namespace {

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool Occurs(const char* word, std::string_view text) {
    return BoyerMooreSearch(word, text) >= 0;
}

// Only the first occurrence is looked at: it counts when separators (or the text's ends)
// stand on both sides.
bool OccursAsWord(const char* word, std::string_view text) {
    const int at = BoyerMooreSearch(word, text);
    if (at < 0) return false;
    const size_t end = static_cast<size_t>(at) + std::string_view(word).size();
    const bool startOk = at == 0 || IsNameSeparator(text[at - 1]);
    const bool endOk = end >= text.size() || IsNameSeparator(text[end]);
    return startOk && endOk;
}

bool AnyOccurs(const std::vector<const char*>& words, std::string_view text) {
    for (const char* w : words)
        if (Occurs(w, text)) return true;
    return false;
}

bool AnyOccursAsWord(const std::vector<const char*>& words, std::string_view text) {
    for (const char* w : words)
        if (OccursAsWord(w, text)) return true;
    return false;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           BoyerMooreSearch(prefix, text.substr(0, prefix.size())) == 0;
}

}  // namespace

const NameWordLists& DefaultNameWordLists() {
    static const NameWordLists lists = {
        // Rank and profession words of the titles, and the demo's lore figures.
        {"Neophyte",  "Novice",      "Apprentice", "Journeyman", "Expert",    "Adept",
         "Master",    "Grandmaster", "Alchemist",  "Healer",     "Scholar",   "Merchant",
         "Warrior",   "Beggar",      "Smith",      "Bowyer",     "Bard",      "Ranger",
         "Carpenter", "Chef",        "Fisherman",  "Rogue",      "Mage",      "Assassin",
         "Archer",    "Medium",      "Tailor",     "Tinker",     "Swordsman", "Fencer",
         "Sorvenmar", "Sorv"},
        // The demo's maker and its short form, and words of staff notices.
        {"Zenquill", "ZQ", "Staff", "Admin", "Moderator"},
        {"fuck", "shit", "cunt", "bitch", "whore"},
        {"ass", "tit", "cock", "dick", "piss", "crap"},
    };
    return lists;
}

bool IsNameSeparator(char c) {
    return c == ' ' || c == '\'' || c == '-' || c == '.';
}

bool IsInvalidNameCharacter(char c) {
    return !IsLetter(c) && !IsNameSeparator(c);
}

int IsObsceneName(const char* text, const NameWordLists& lists) {
    if (!text) return 0;
    const std::string_view t(text);
    return AnyOccurs(lists.reservedWords, t) || AnyOccurs(lists.obsceneFragments, t) ||
                   AnyOccurs(lists.obsceneWords, t)
               ? 1
               : 0;
}

int IsInvalidName(const char* text, const NameWordLists& lists) {
    if (!text || !IsLetter(text[0])) return 1;
    const std::string_view t(text);
    for (size_t i = 0; i < t.size(); ++i) {
        if (IsInvalidNameCharacter(t[i])) return 1;
        if (i > 0 && IsNameSeparator(t[i]) && IsNameSeparator(t[i - 1])) return 1;
    }
    for (const char* title : {"Lord", "Lady", "GM", "Counselor", "Seer"})
        if (StartsWithNoCase(t, title)) return 1;
    if (AnyOccursAsWord(lists.reservedTitles, t)) return 1;
    if (AnyOccursAsWord(lists.reservedWords, t)) return 1;
    if (AnyOccurs(lists.obsceneFragments, t)) return 1;
    if (AnyOccursAsWord(lists.obsceneWords, t)) return 1;
    return 0;
}
