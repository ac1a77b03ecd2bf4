#pragma once
// Shared set-up of the client data fuzz targets: a headless window back end (so message
// boxes only print) and a private scratch directory for files.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/types.h"
#include "platform/window_backend.h"

inline const std::string& FuzzScratchDir() {
    static const std::string dir = [] {
        platform::InstallBackend(std::make_unique<platform::HeadlessBackend>());
        const char* base = std::getenv("TEST_TMPDIR");
        std::string d = std::string(base ? base : "/tmp") + "/zq_client_fuzz_" +
                        std::to_string(::getpid()) + "/";
        std::filesystem::create_directories(d);
        return d;
    }();
    // Removed at exit.
    static const struct Remover {
        ~Remover() {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
    } remover;
    return dir;
}

inline void FuzzWriteFile(const std::string& path, const u8* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Splits an input into parts by u16 length prefixes; the last part takes the rest.
inline std::vector<std::vector<u8>> FuzzSplit(const u8* data, size_t size, int parts) {
    std::vector<std::vector<u8>> out;
    size_t at = 0;
    for (int i = 0; i < parts - 1; ++i) {
        size_t n = 0;
        if (at + 2 <= size) n = data[at] | data[at + 1] << 8;
        at = at + 2 <= size ? at + 2 : size;
        if (n > size - at) n = size - at;
        out.emplace_back(data + at, data + at + n);
        at += n;
    }
    out.emplace_back(data + at, data + size);
    return out;
}

inline std::vector<u8> FuzzJoin(const std::vector<std::vector<u8>>& parts) {
    std::vector<u8> out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i + 1 < parts.size()) {
            out.push_back(static_cast<u8>(parts[i].size()));
            out.push_back(static_cast<u8>(parts[i].size() >> 8));
        }
        out.insert(out.end(), parts[i].begin(), parts[i].end());
    }
    return out;
}
