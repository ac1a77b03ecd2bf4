// zqarchive: makes and inspects the game's data archives.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/archive_key.h"
#include "tools/zqarchive/archive_commands.h"

namespace {

const char kUsage[] =
    "usage: zqarchive [--key HEX] COMMAND ...\n"
    "  pack [--prefix P] [--writable PATH[:CAPACITY]]... DIR ARCHIVE\n"
    "      pack every file under DIR; a member is named after the file's path relative\n"
    "      to DIR (after P), lower-cased, with \".q\" appended. Members are read-only\n"
    "      unless named by --writable, which may give the most bytes they may grow to.\n"
    "  list ARCHIVE              logical length, stored size, capacity, access, name\n"
    "  extract [--prefix P] ARCHIVE DIR\n"
    "      write every member under DIR (P is taken off the front of member paths)\n"
    "  cat ARCHIVE MEMBER        write one member's bytes to standard output\n"
    "  --key HEX                 the 256-bit key as 64 hex digits (default: the game's)\n";

int Usage(const char* why) {
    if (why != nullptr) std::fprintf(stderr, "zqarchive: %s\n", why);
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ArchiveKey key = kArchiveKey;
    PackOptions pack;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char* option) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "zqarchive: %s needs a value\n", option);
                return nullptr;
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--key") {
            const char* v = value("--key");
            if (v == nullptr) return Usage(nullptr);
            if (!ParseKey(v, key)) return Usage("--key wants 64 hex digits");
        } else if (a == "--prefix") {
            const char* v = value("--prefix");
            if (v == nullptr) return Usage(nullptr);
            pack.prefix = v;
        } else if (a == "--writable") {
            const char* v = value("--writable");
            if (v == nullptr) return Usage(nullptr);
            WritableMember w;
            std::string s = v;
            size_t colon = s.rfind(':');
            w.path = s.substr(0, colon);
            if (colon != std::string::npos) {
                std::string cap = s.substr(colon + 1);
                char* end = nullptr;
                unsigned long long n = std::strtoull(cap.c_str(), &end, 10);
                if (cap.empty() || *end != '\0' || n > 0xFFFFFFFFull) {
                    return Usage("--writable wants PATH or PATH:CAPACITY in bytes");
                }
                w.capacity = u32(n);
            }
            pack.writable.push_back(w);
        } else if (a.size() > 1 && a[0] == '-') {
            return Usage(("unknown option " + a).c_str());
        } else {
            args.push_back(a);
        }
    }
    if (args.empty()) return Usage(nullptr);
    const std::string& cmd = args[0];
    if (cmd == "pack" && args.size() == 3) return PackCommand(args[1], args[2], pack, key);
    if (cmd == "list" && args.size() == 2) return ListCommand(args[1], key);
    if (cmd == "extract" && args.size() == 3) {
        return ExtractCommand(args[1], args[2], pack.prefix, key);
    }
    if (cmd == "cat" && args.size() == 3) return CatCommand(args[1], args[2], key);
    return Usage(("bad command line for " + cmd).c_str());
}
