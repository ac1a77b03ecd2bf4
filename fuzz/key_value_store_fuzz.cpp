// Fuzz target: the key/value store's file (per-user settings: "name=value" lines with
// backslash escapes in values). Whatever the file holds, the values it gives must survive
// a write of another value unchanged, and binary values read back as written.
//
// Input: the file's bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/key_value_store.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

std::string StorePath() {
    static const std::string path =
        "/tmp/zq_key_value_store_fuzz_" + std::to_string(getpid()) + ".txt";
    return path;
}

// The names the file's lines give (the text before the first '=').
std::vector<std::string> NamesIn(const std::string& text) {
    std::vector<std::string> names;
    size_t at = 0;
    while (at < text.size() && names.size() < 64) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const size_t eq = text.find('=', at);
        if (eq != std::string::npos && eq > at && eq < end)
            names.push_back(text.substr(at, eq - at));
        at = end + 1;
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(data, data + size);
    {
        std::ofstream out(StorePath(), std::ios::binary | std::ios::trunc);
        out << text;
    }
    platform::KeyValueStore store(StorePath());
    const std::vector<std::string> names = NamesIn(text);
    std::vector<std::optional<std::string>> before;
    for (const std::string& name : names) {
        before.push_back(store.GetString(name));
        Check(before.back().has_value());
        store.GetBinary(name);
    }

    // Another value written: every value that was there reads back the same.
    const std::vector<u8> blob(data, data + std::min<size_t>(size, 40));
    Check(store.SetBinary("Fuzz/blob", blob));
    Check(store.SetString("Fuzz/text", text.substr(0, 100)));
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == "Fuzz/blob" || names[i] == "Fuzz/text") continue;
        Check(store.GetString(names[i]) == before[i]);
    }
    Check(store.GetBinary("Fuzz/blob") == blob);
    Check(store.GetString("Fuzz/text") == text.substr(0, 100));
    Check(store.Remove("Fuzz/text"));
    Check(!store.GetString("Fuzz/text").has_value());
    std::remove(StorePath().c_str());
    std::remove((StorePath() + ".tmp").c_str());
    return 0;
}

// A store file as the program writes it, and some hand-made ones.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string path = StorePath() + ".seed";
    {
        platform::KeyValueStore store(path);
        store.SetString("ExePath", "/opt/zqdemo/zqdemo");
        store.SetString("HWProfile/totalRAMInMB", "2048");
        store.SetString("Lines", "one\ntwo\r\\three\\");
        store.SetBinary("Binary", {0x00, 0x7F, 0x80, 0xFF});
    }
    std::ifstream in(path, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    const std::string seeds[] = {
        written,
        "a=1\r\nb=\\\nc\\=d=x\n=novalue\nnoequals\nd=\\r\\n\\\\\\\n",
        "dup=1\ndup=2\n\n\n",
    };
    for (const std::string& s : seeds)
        emit(reinterpret_cast<const u8*>(s.data()), s.size());
}
