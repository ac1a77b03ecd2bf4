#include "core/debug_print.h"

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <list>
#include <mutex>
#include <string>

namespace {

// Widths and precisions beyond this are held to it: nobody pads a diagnostic line with more,
// and it keeps a stray huge number from spinning.
constexpr int kMaxFieldWidth = 0xFFFF;

std::atomic<int> g_printKind{0};

// The output of one DebugFormat call: counts every character, stores those that fit.
struct Output {
    char* buffer;
    std::size_t size;
    std::size_t length = 0;

    void Put(char c) {
        if (length + 1 < size) buffer[length] = c;
        ++length;
    }
    void Repeat(char c, int n) {
        for (int i = 0; i < n; ++i)
            Put(c);
    }
    void Finish() {
        if (size == 0) return;
        buffer[length < size ? length : size - 1] = '\0';
    }
};

struct Spec {
    bool left = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    bool zero = false;
    int width = 0;
    bool hasWidth = false;
    int precision = 0;
    bool hasPrecision = false;
    char length = 0;  // 0, 'h', 'H' (hh), 'l', 'L' (ll or L)
};

int ReadNumber(const char*& f) {
    int n = 0;
    while (*f >= '0' && *f <= '9') {
        n = n * 10 + (*f++ - '0');
        if (n > kMaxFieldWidth) n = kMaxFieldWidth;
    }
    return n;
}

int HoldWidth(int w) {
    return w > kMaxFieldWidth ? kMaxFieldWidth : w;
}

// Writes the digits of value in base (2..36), least significant first into scratch, then
// answers their count; the caller reads them back to front.
int ToDigits(std::uint64_t value, unsigned base, bool upper, char* scratch) {
    const char* digits =
        upper ? "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" : "0123456789abcdefghijklmnopqrstuvwxyz";
    int n = 0;
    do {
        scratch[n++] = digits[value % base];
        value /= base;
    } while (value != 0);
    return n;
}

void PutNumber(Output& out, const Spec& spec, std::uint64_t magnitude, bool negative, bool isSigned,
               unsigned base, bool upper) {
    char scratch[72];
    int ndigits = ToDigits(magnitude, base, upper, scratch);
    // A zero printed with precision 0 has no digits at all.
    if (spec.hasPrecision && spec.precision == 0 && magnitude == 0) ndigits = 0;

    char prefix[3];
    int nprefix = 0;
    if (isSigned) {
        if (negative) {
            prefix[nprefix++] = '-';
        } else if (spec.plus) {
            prefix[nprefix++] = '+';
        } else if (spec.space) {
            prefix[nprefix++] = ' ';
        }
    }
    int minDigits = spec.hasPrecision ? spec.precision : 0;
    if (spec.alternate) {
        if (base == 8) {
            // The octal form starts with a 0: add one unless a zero already leads.
            bool leadsWithZero =
                minDigits > ndigits || (ndigits > 0 && scratch[ndigits - 1] == '0');
            if (!leadsWithZero) minDigits = ndigits + 1;
        } else if (base == 16 && magnitude != 0) {
            prefix[nprefix++] = '0';
            prefix[nprefix++] = upper ? 'X' : 'x';
        }
    }
    int zeros = minDigits > ndigits ? minDigits - ndigits : 0;
    int body = nprefix + zeros + ndigits;
    int pad = spec.width > body ? spec.width - body : 0;
    if (!spec.left && spec.zero && !spec.hasPrecision) {
        zeros += pad;
        pad = 0;
    }
    if (!spec.left) out.Repeat(' ', pad);
    for (int i = 0; i < nprefix; ++i)
        out.Put(prefix[i]);
    out.Repeat('0', zeros);
    for (int i = ndigits - 1; i >= 0; --i)
        out.Put(scratch[i]);
    if (spec.left) out.Repeat(' ', pad);
}

void PutText(Output& out, const Spec& spec, const char* text, std::size_t n) {
    int pad = spec.width > static_cast<int>(n > INT_MAX ? INT_MAX : n)
                  ? spec.width - static_cast<int>(n)
                  : 0;
    if (!spec.left) out.Repeat(' ', pad);
    for (std::size_t i = 0; i < n; ++i)
        out.Put(text[i]);
    if (spec.left) out.Repeat(' ', pad);
}

std::uint64_t ReadUnsigned(const Spec& spec, va_list& args) {
    switch (spec.length) {
        case 'H':
            return static_cast<unsigned char>(va_arg(args, unsigned));
        case 'h':
            return static_cast<unsigned short>(va_arg(args, unsigned));
        case 'l':
            return va_arg(args, unsigned long);
        case 'L':
            return va_arg(args, unsigned long long);
        default:
            return va_arg(args, unsigned);
    }
}

std::int64_t ReadSigned(const Spec& spec, va_list& args) {
    switch (spec.length) {
        case 'H':
            return static_cast<signed char>(va_arg(args, int));
        case 'h':
            return static_cast<short>(va_arg(args, int));
        case 'l':
            return va_arg(args, long);
        case 'L':
            return va_arg(args, long long);
        default:
            return va_arg(args, int);
    }
}

void StoreCount(const Spec& spec, va_list& args, std::size_t count) {
    long long c = count > LLONG_MAX ? LLONG_MAX : static_cast<long long>(count);
    switch (spec.length) {
        case 'H':
            if (signed char* p = va_arg(args, signed char*)) *p = static_cast<signed char>(c);
            break;
        case 'h':
            if (short* p = va_arg(args, short*)) *p = static_cast<short>(c);
            break;
        case 'l':
            if (long* p = va_arg(args, long*)) *p = static_cast<long>(c);
            break;
        case 'L':
            if (long long* p = va_arg(args, long long*)) *p = c;
            break;
        default:
            if (int* p = va_arg(args, int*)) *p = static_cast<int>(c > INT_MAX ? INT_MAX : c);
            break;
    }
}

// Formats with a va_list we own (so that it can be passed by reference on every ABI).
int FormatOwned(char* buffer, std::size_t size, const char* format, va_list& args) {
    Output out{buffer, buffer != nullptr ? size : 0};
    const char* f = format != nullptr ? format : "";
    while (*f != '\0') {
        if (*f != '%') {
            out.Put(*f++);
            continue;
        }
        ++f;
        Spec spec;
        for (;; ++f) {
            if (*f == '-') {
                spec.left = true;
            } else if (*f == '+') {
                spec.plus = true;
            } else if (*f == ' ') {
                spec.space = true;
            } else if (*f == '#') {
                spec.alternate = true;
            } else if (*f == '0') {
                spec.zero = true;
            } else {
                break;
            }
        }
        if (*f == '*') {
            ++f;
            int w = va_arg(args, int);
            if (w < 0) {
                spec.left = true;
                w = w == INT_MIN ? INT_MAX : -w;
            }
            spec.width = HoldWidth(w);
            spec.hasWidth = true;
        } else if (*f >= '0' && *f <= '9') {
            spec.width = ReadNumber(f);
            spec.hasWidth = true;
        }
        if (*f == '.') {
            ++f;
            spec.hasPrecision = true;
            if (*f == '*') {
                ++f;
                int p = va_arg(args, int);
                spec.precision = p < 0 ? 0 : HoldWidth(p);
            } else {
                spec.precision = ReadNumber(f);
            }
        }
        if (*f == 'h') {
            ++f;
            spec.length = 'h';
            if (*f == 'h') {
                ++f;
                spec.length = 'H';
            }
        } else if (*f == 'l') {
            ++f;
            spec.length = 'l';
            if (*f == 'l') {
                ++f;
                spec.length = 'L';
            }
        } else if (*f == 'L') {
            ++f;
            spec.length = 'L';
        }
        char conversion = *f;
        if (conversion == '\0') break;  // a format ending in a lone '%'
        ++f;
        switch (conversion) {
            case 'd':
            case 'i': {
                std::int64_t v = ReadSigned(spec, args);
                std::uint64_t magnitude =
                    v < 0 ? static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(v)
                          : static_cast<std::uint64_t>(v);
                PutNumber(out, spec, magnitude, v < 0, true, 10, false);
                break;
            }
            case 'u':
                PutNumber(out, spec, ReadUnsigned(spec, args), false, false, 10, false);
                break;
            case 'o':
                PutNumber(out, spec, ReadUnsigned(spec, args), false, false, 8, false);
                break;
            case 'x':
            case 'X':
                PutNumber(out, spec, ReadUnsigned(spec, args), false, false, 16, conversion == 'X');
                break;
            case 'p': {
                auto v = reinterpret_cast<std::uintptr_t>(va_arg(args, void*));
                Spec p = spec;
                if (!p.hasWidth) {
                    p.width = 8;
                    p.zero = true;
                }
                PutNumber(out, p, v, false, false, 16, false);
                break;
            }
            case 'c': {
                char c = static_cast<char>(va_arg(args, int));
                PutText(out, spec, &c, 1);
                break;
            }
            case 's': {
                const char* s = va_arg(args, const char*);
                if (s == nullptr) s = "(null)";
                std::size_t n = spec.hasPrecision
                                    ? strnlen(s, static_cast<std::size_t>(spec.precision))
                                    : std::strlen(s);
                PutText(out, spec, s, n);
                break;
            }
            case 'n':
                StoreCount(spec, args, out.length);
                break;
            default:
                // "%%" and '%' before any other character write that character.
                out.Put(conversion);
                break;
        }
    }
    out.Finish();
    return out.length > INT_MAX ? INT_MAX : static_cast<int>(out.length);
}

constexpr std::size_t kPrintBufferSize = 1024;

int WriteFormatted(int kind, std::FILE* file, const char* format, va_list args) {
    char buffer[kPrintBufferSize];
    DebugFormat(buffer, sizeof buffer, format, args);
    if (file == nullptr) return 0;
    g_printKind.store(kind);
    int written = std::fputs(buffer, file) >= 0 ? static_cast<int>(std::strlen(buffer)) : -1;
    g_printKind.store(0);
    return written;
}

struct TrackedFileRecord {
    std::string path;
    std::FILE* file;
    std::string sourceFile;
    int sourceLine;
};

std::mutex& TrackedMutex() {
    static std::mutex m;
    return m;
}

std::list<TrackedFileRecord>& TrackedFiles() {
    static std::list<TrackedFileRecord> files;
    return files;
}

}  // namespace

int DebugFormat(char* buffer, std::size_t size, const char* format, va_list args) {
    va_list own;
    va_copy(own, args);
    int n = FormatOwned(buffer, size, format, own);
    va_end(own);
    return n;
}

int DebugPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = WriteFormatted(1, stdout, format, args);
    va_end(args);
    return n;
}

int DebugSprintf(char* buffer, std::size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = DebugFormat(buffer, size, format, args);
    va_end(args);
    return n;
}

int DebugFprintf(std::FILE* file, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int n = WriteFormatted(2, file, format, args);
    va_end(args);
    return n;
}

int DebugVprintf(const char* format, va_list args) {
    return WriteFormatted(3, stdout, format, args);
}

int DebugVfprintf(std::FILE* file, const char* format, va_list args) {
    return WriteFormatted(4, file, format, args);
}

int DebugPrintKind() {
    return g_printKind.load();
}

void DebugAssert(const char* expression, int condition, const char* file, int line) {
    if (condition != 0) return;
    DebugPrintf("Assertion (%s) failed, %s:%d\n", expression, file, line);
}

std::FILE* TrackedOpen(const char* path, const char* mode, const char* sourceFile, int sourceLine) {
    if (path == nullptr || mode == nullptr) return nullptr;
    std::FILE* file = std::fopen(path, mode);
    if (file == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(TrackedMutex());
    TrackedFiles().push_back(
        TrackedFileRecord{path, file, sourceFile != nullptr ? sourceFile : "", sourceLine});
    return file;
}

int TrackedClose(std::FILE* file) {
    if (file == nullptr) return EOF;
    {
        std::lock_guard<std::mutex> lock(TrackedMutex());
        auto& files = TrackedFiles();
        for (auto it = files.begin(); it != files.end(); ++it) {
            if (it->file == file) {
                files.erase(it);
                break;
            }
        }
    }
    return std::fclose(file);
}

void PrintOpenFiles() {
    std::lock_guard<std::mutex> lock(TrackedMutex());
    for (const TrackedFileRecord& r : TrackedFiles()) {
        DebugPrintf("[%s] (%s:%d)\n", r.path.c_str(), r.sourceFile.c_str(), r.sourceLine);
    }
}
