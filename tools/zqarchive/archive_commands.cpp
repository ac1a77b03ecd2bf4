#include "tools/zqarchive/archive_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "core/archive.h"
#include "core/archive_builder.h"
#include "platform/hex_digit.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The data file path a member name stands for (the name without its ".q").
bool PathOfMember(const std::string& name, std::string& path) {
    if (!EndsWith(name, ".q")) return false;
    path = name.substr(0, name.size() - 2);
    return true;
}

// Reads a whole member through the file API; false when it cannot be opened.
bool ReadMember(const std::string& path, std::vector<u8>& out) {
    ArchiveHandle h = ArchiveOpen(path.c_str(), "r");
    if (h == nullptr) return false;
    out.clear();
    u8 buf[65536];
    size_t n;
    while ((n = ArchiveRead(buf, 1, sizeof buf, h)) > 0)
        out.insert(out.end(), buf, buf + n);
    ArchiveClose(h);
    return true;
}

bool OpenArchive(const std::string& archive, const ArchiveKey& key) {
    if (!InitDataArchive(archive.c_str(), key)) {
        std::fprintf(stderr, "zqarchive: %s\n", DataArchiveError().c_str());
        return false;
    }
    return true;
}

// A relative path that stays inside the output directory.
bool SafeRelative(const std::string& path) {
    if (path.empty() || path[0] == '/') return false;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") return false;
        start = end + 1;
    }
    return true;
}

}  // namespace

bool ParseKey(const std::string& hex, ArchiveKey& key) {
    if (hex.size() != 64) return false;
    for (size_t i = 0; i < 32; ++i) {
        unsigned v = 0;
        for (int k = 0; k < 2; ++k) {
            const int d = HexDigit(hex[2 * i + size_t(k)]);
            if (d < 0) return false;
            v = v * 16 + unsigned(d);
        }
        key[i] = u8(v);
    }
    return true;
}

int PackCommand(const std::string& dir, const std::string& archive, PackOptions& options,
                const ArchiveKey& key) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        std::fprintf(stderr, "zqarchive: %s is not a directory\n", dir.c_str());
        return 1;
    }
    // Regular files under the directory by member name, so that the archive's bytes do
    // not depend on the order the file system lists them in, nor on the files' case.
    struct Source {
        std::string rel;
        fs::path path;
    };
    std::map<std::string, Source> files;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string rel = fs::relative(it->path(), dir, ec).generic_string();
        std::string name = ArchiveMemberName(options.prefix + rel);
        auto [at, fresh] = files.emplace(name, Source{rel, it->path()});
        if (!fresh) {
            std::fprintf(stderr, "zqarchive: %s and %s both make the member %s\n",
                         at->second.rel.c_str(), rel.c_str(), name.c_str());
            return 1;
        }
    }
    if (ec) {
        std::fprintf(stderr, "zqarchive: cannot read %s: %s\n", dir.c_str(), ec.message().c_str());
        return 1;
    }

    ArchiveBuilder builder(key);
    for (const auto& [name, source] : files) {
        const std::string& rel = source.rel;
        const fs::path& path = source.path;
        std::ifstream in(path, std::ios::binary);
        std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), {});
        if (!in.good() && !in.eof()) {
            std::fprintf(stderr, "zqarchive: cannot read %s\n", path.string().c_str());
            return 1;
        }
        std::string full = options.prefix + rel;
        bool readOnly = true;
        u32 capacity = 0;
        for (WritableMember& w : options.writable) {
            if (Lower(w.path) == Lower(rel) || Lower(w.path) == Lower(full)) {
                readOnly = false;
                capacity = w.capacity;
                w.used = true;
            }
        }
        if (!builder.Add(full, bytes, readOnly, capacity)) {
            std::fprintf(stderr, "zqarchive: %s\n", builder.Error().c_str());
            return 1;
        }
    }
    for (const WritableMember& w : options.writable) {
        if (!w.used) {
            std::fprintf(stderr, "zqarchive: --writable %s names no file under %s\n",
                         w.path.c_str(), dir.c_str());
            return 1;
        }
    }
    if (!builder.Write(archive)) {
        std::fprintf(stderr, "zqarchive: %s\n", builder.Error().c_str());
        return 1;
    }
    return 0;
}

int ListCommand(const std::string& archive, const ArchiveKey& key) {
    if (!OpenArchive(archive, key)) return 1;
    DataArchive* a = GetDataArchive();
    int rc = 0;
    std::printf("%10s %10s %10s %-6s %s\n", "length", "stored", "capacity", "access", "name");
    for (int i = 0; i < a->EntryCount(); ++i) {
        const ArchiveEntry e = a->Entry(i);
        std::string path;
        std::string length = "?";
        ArchiveHandle h = PathOfMember(e.name, path) ? ArchiveOpen(path.c_str(), "r") : nullptr;
        if (h != nullptr) {
            ArchiveSeek(h, 0, SEEK_END);
            length = std::to_string(ArchiveTell(h));
            ArchiveClose(h);
        } else {
            std::fprintf(stderr, "zqarchive: member %s cannot be read\n", e.name.c_str());
            rc = 1;
        }
        std::printf("%10s %10u %10u %-6s %s\n", length.c_str(), e.size, e.capacity,
                    e.readOnly != 0 ? "ro" : "rw", e.name.c_str());
    }
    ShutdownDataArchive();
    return rc;
}

int ExtractCommand(const std::string& archive, const std::string& dir, const std::string& prefix,
                   const ArchiveKey& key) {
    if (!OpenArchive(archive, key)) return 1;
    DataArchive* a = GetDataArchive();
    std::vector<std::string> names;
    for (int i = 0; i < a->EntryCount(); ++i)
        names.push_back(a->Entry(i).name);
    int rc = 0;
    for (const std::string& name : names) {
        std::string path;
        if (!PathOfMember(name, path)) {
            std::fprintf(stderr, "zqarchive: member %s has no .q ending, skipped\n", name.c_str());
            rc = 1;
            continue;
        }
        std::string rel = path;
        if (!prefix.empty() && rel.compare(0, prefix.size(), Lower(prefix)) == 0) {
            rel = rel.substr(prefix.size());
        }
        if (!SafeRelative(rel)) {
            std::fprintf(stderr,
                         "zqarchive: member %s would be written outside %s, skipped "
                         "(see --prefix)\n",
                         name.c_str(), dir.c_str());
            rc = 1;
            continue;
        }
        std::vector<u8> bytes;
        if (!ReadMember(path, bytes)) {
            std::fprintf(stderr, "zqarchive: member %s cannot be read\n", name.c_str());
            rc = 1;
            continue;
        }
        fs::path out = fs::path(dir) / rel;
        std::error_code ec;
        fs::create_directories(out.parent_path(), ec);
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        file.close();
        if (!file) {
            std::fprintf(stderr, "zqarchive: cannot write %s\n", out.string().c_str());
            rc = 1;
        }
    }
    ShutdownDataArchive();
    return rc;
}

int CatCommand(const std::string& archive, const std::string& member, const ArchiveKey& key) {
    if (!OpenArchive(archive, key)) return 1;
    std::vector<u8> bytes;
    bool found = ReadMember(member, bytes);
    std::string path;
    if (!found && PathOfMember(Lower(member), path)) found = ReadMember(path, bytes);
    ShutdownDataArchive();
    if (!found) {
        std::fprintf(stderr, "zqarchive: no readable member %s in %s\n", member.c_str(),
                     archive.c_str());
        return 1;
    }
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
