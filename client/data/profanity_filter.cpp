#include "client/data/profanity_filter.h"

#include <bitset>
#include <string_view>

#include "core/text_utils.h"

namespace {

constexpr char kMaskAlphabet[7] = {'!', '@', '#', '$', '%', '&', '*'};

unsigned char Fold(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool IsMaskChar(char c) {
    for (char m : kMaskAlphabet)
        if (c == m) return true;
    return false;
}

bool OnlyMaskChars(const std::string& word) {
    for (char c : word)
        if (!IsMaskChar(c)) return false;
    return true;
}

// Which folded characters and pairs of neighbouring folded characters a text holds: a word
// with a character or a pair the text lacks cannot occur in it, so most words of a list are
// passed over without a search.
class TextPairs {
public:
    void Fill(const std::string& text) {
        singles_.reset();
        pairs_.reset();
        for (size_t i = 0; i < text.size(); ++i) {
            singles_.set(Fold(text[i]));
            if (i + 1 < text.size()) pairs_.set(Pair(text[i], text[i + 1]));
        }
    }
    bool MayHold(const std::string& word) const {
        if (word.size() == 1) return singles_.test(Fold(word[0]));
        for (size_t i = 0; i + 1 < word.size(); ++i)
            if (!pairs_.test(Pair(word[i], word[i + 1]))) return false;
        return true;
    }

private:
    static size_t Pair(char a, char b) { return size_t(Fold(a)) << 8 | Fold(b); }
    std::bitset<256> singles_;
    std::bitset<65536> pairs_;
};

// Masks the word's occurrences; true when any was masked.
bool MaskOccurrences(const std::string& word, std::string& text) {
    if (word.empty()) return false;
    // Only a word of mask characters can be found again in its own mask.
    const bool goOnAfter = OnlyMaskChars(word);
    bool masked = false;
    size_t from = 0;
    while (from + word.size() <= text.size()) {
        const int at = BoyerMooreSearch(word, std::string_view(text).substr(from));
        if (at < 0) break;
        const size_t start = from + size_t(at);
        MaskChars(text, start, word.size());
        masked = true;
        from = goOnAfter ? start + word.size() : 0;
    }
    return masked;
}

}  // namespace

char MaskChar(char c) {
    return kMaskAlphabet[static_cast<unsigned char>(c) % 7];
}

void MaskChars(std::string& text, size_t start, size_t count) {
    for (size_t i = start; i < text.size() && i - start < count; ++i)
        text[i] = MaskChar(text[i]);
}

void MaskWord(const std::string& word, std::string& text) {
    MaskOccurrences(word, text);
}

void FilterProfanity(std::string& text, const std::vector<std::string>& words) {
    if (words.empty() || text.empty()) return;
    // Large (8 KiB) and rebuilt for every text; kept out of the stack frame.
    thread_local TextPairs pairs;
    pairs.Fill(text);
    for (const std::string& word : words) {
        if (word.empty() || word.size() > text.size() || !pairs.MayHold(word)) continue;
        if (MaskOccurrences(word, text)) pairs.Fill(text);
    }
}
