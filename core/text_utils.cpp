#include "core/text_utils.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/archive.h"

bool TextLineList::Load(const char* path) {
    ArchiveHandle f = ArchiveOpen(path, "r");
    if (f == nullptr) return false;
    lines_.clear();
    char buf[1024];
    while (!ArchiveEof(f)) {
        buf[0] = '\0';
        ArchiveGets(buf, sizeof buf, f);  // a last line without '\n' answers null but counts
        size_t n = std::strlen(buf);
        if (n > 0 && buf[n - 1] == '\n') buf[--n] = '\0';
        if (n > 0 && buf[n - 1] == '\r') buf[--n] = '\0';
        lines_.emplace_back(buf, n);
    }
    ArchiveClose(f);
    return true;
}

bool TextLineList::Save(const char* path) const {
    std::FILE* f = std::fopen(path, "w");
    if (f == nullptr) return false;
    for (const std::string& line : lines_) {
        std::fputs(line.c_str(), f);
        std::fputc('\n', f);
        std::fflush(f);
    }
    return std::fclose(f) == 0;
}

int TextLineList::Add(std::string_view text) {
    lines_.emplace_back(text);
    return Count() - 1;
}

const std::string& TextLineList::Get(int n) const {
    static const std::string kEmpty;
    if (n < 0 || n >= Count()) return kEmpty;
    return lines_[size_t(n)];
}

namespace {

inline unsigned char Fold(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

}  // namespace

int BoyerMooreSearch(std::string_view pattern, std::string_view text) {
    const int m = static_cast<int>(pattern.size());
    const int n = static_cast<int>(text.size());
    if (m == 0) return 0;
    if (m > n) return -1;

    // Bad-character shifts: how far the pattern's last occurrence of a character is from
    // its end.
    int bad[256];
    std::fill(std::begin(bad), std::end(bad), m);
    for (int i = 0; i < m; ++i)
        bad[Fold(pattern[size_t(i)])] = m - i - 1;

    // Good-suffix shifts, indexed by the number of characters matched before a mismatch:
    // the smallest shift that brings an equal stretch of the pattern (preceded by a
    // different character) or a prefix of it under the matched characters. suff[i] is the
    // length of the longest stretch ending at i that equals the pattern's end.
    std::vector<int> suff(size_t(m), m);
    for (int i = m - 2; i >= 0; --i) {
        int r = 0;
        while (r <= i && Fold(pattern[size_t(i - r)]) == Fold(pattern[size_t(m - 1 - r)]))
            ++r;
        suff[size_t(i)] = r;
    }
    std::vector<int> atMismatch(size_t(m), m);  // by the pattern index of the mismatch
    for (int i = m - 1, j = 0; i >= 0; --i) {
        if (suff[size_t(i)] == i + 1) {
            for (; j < m - 1 - i; ++j) {
                if (atMismatch[size_t(j)] == m) atMismatch[size_t(j)] = m - 1 - i;
            }
        }
    }
    for (int i = 0; i <= m - 2; ++i)
        atMismatch[size_t(m - 1 - suff[size_t(i)])] = m - 1 - i;
    std::vector<int> good(size_t(m) + 1, 1);
    for (int matched = 0; matched < m; ++matched) {
        good[size_t(matched)] = atMismatch[size_t(m - 1 - matched)];
    }

    int p = m - 1;
    while (p < n) {
        int i = 0;
        while (i < m && Fold(text[size_t(p - i)]) == Fold(pattern[size_t(m - 1 - i)]))
            ++i;
        if (i == m) return p - (m - 1);
        int c = Fold(text[size_t(p - i)]);
        p = std::max(p + bad[c] - i, p + good[size_t(i)]);
    }
    return -1;
}

char* CopyText(const char* text) {
    if (text == nullptr) return nullptr;
    const std::size_t n = std::strlen(text) + 1;
    char* copy = new char[n];
    std::memcpy(copy, text, n);
    return copy;
}

void ReplaceText(char*& slot, const char* text) {
    char* copy = CopyText(text);
    delete[] slot;
    slot = copy;
}
