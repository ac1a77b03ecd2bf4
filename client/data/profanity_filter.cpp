#include "client/data/profanity_filter.h"

#include <bitset>

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
// passed over without a search. Masking only adds what the masked stretch now holds (a pair
// that went away may still be marked: that costs a search, never an occurrence).
class TextPairs {
public:
    void Fill(const std::string& text) {
        Clear();
        Add(text, 0, text.size());
    }
    // Marks what the characters from `start` to `end` (and the pair reaching into them) hold.
    void Add(const std::string& text, size_t start, size_t end) {
        for (size_t i = start > 0 ? start - 1 : 0; i < end && i < text.size(); ++i) {
            singles_.set(Fold(text[i]));
            if (i + 1 < text.size()) Mark(Pair(text[i], text[i + 1]));
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
    void Mark(size_t pair) {
        if (pairs_.test(pair)) return;
        pairs_.set(pair);
        marked_.push_back(pair);
    }
    // Clears only the marked pairs: far fewer than the whole table.
    void Clear() {
        for (size_t pair : marked_)
            pairs_.reset(pair);
        marked_.clear();
        singles_.reset();
    }
    std::bitset<256> singles_;
    std::bitset<65536> pairs_;
    std::vector<size_t> marked_;
};

// The first occurrence of `word` at or after `from`, ignoring the case of A-Z; npos for none.
// Words are short (at most 29 characters) and the pair test keeps the search for words that
// are likely there, so a plain comparison at each position is the quickest correct search.
size_t Find(const std::string& word, const std::string& text, size_t from) {
    const size_t n = word.size();
    const unsigned char first = Fold(word[0]);
    for (size_t i = from; i + n <= text.size(); ++i) {
        if (Fold(text[i]) != first) continue;
        size_t k = 1;
        while (k < n && Fold(text[i + k]) == Fold(word[k]))
            ++k;
        if (k == n) return i;
    }
    return std::string::npos;
}

// Masks the word's occurrences, marking what each masked stretch now holds.
void MaskOccurrences(const std::string& word, std::string& text, TextPairs* pairs) {
    if (word.empty()) return;
    // Only a word of mask characters can be found again in its own mask.
    const bool goOnAfter = OnlyMaskChars(word);
    size_t from = 0;
    for (;;) {
        const size_t start = Find(word, text, from);
        if (start == std::string::npos) break;
        MaskChars(text, start, word.size());
        if (pairs) pairs->Add(text, start, start + word.size());
        from = goOnAfter ? start + word.size() : 0;
    }
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
    MaskOccurrences(word, text, nullptr);
}

void FilterProfanity(std::string& text, const std::vector<std::string>& words) {
    if (words.empty() || text.empty()) return;
    // Large (8 KiB) and kept between texts; only its marked pairs are cleared.
    thread_local TextPairs pairs;
    pairs.Fill(text);
    for (const std::string& word : words) {
        if (word.empty() || word.size() > text.size() || !pairs.MayHold(word)) continue;
        MaskOccurrences(word, text, &pairs);
    }
}
