#pragma once
// Wildcard matching with captures, as the speech triggers use it: letters compare without
// regard to case and each '*' of the pattern absorbs the shortest run of the text that lets
// the rest match, keeping that run in the next capture buffer. A text that begins with '@' is
// matched character for character ('*' is then an ordinary character).
#include <vector>

class WildcardCaptures {
public:
    // 2 buffers of 80 bytes.
    WildcardCaptures();
    WildcardCaptures(int count, int size);

    // Whether the text matches the pattern; false when either is null. The captures of the
    // match are left in the buffers and their number in Used(). A capture keeps at most
    // size - 1 characters, and stars past the last buffer still match but store nothing.
    bool Match(const char* text, const char* pattern);
    // The buffer, null outside 0 .. count - 1.
    const char* GetCapture(int index) const;
    int Used() const { return used_; }
    int Count() const { return count_; }

private:
    int count_;
    int size_;
    int used_ = 0;
    std::vector<char> buffers_;
};
