// Fuzz target: the reader of the type-script list (`objscr.txt`: the object type numbers
// that carry a type script). It sets exactly the bits of the numbers in the text that are
// inside the table and followed by another character.
#include <bitset>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "server/world/world_data_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<u8> bytes(data, data + size);
    TypeScriptBitSet bits;
    LoadTypeScriptList(bytes, bits);
    // The same numbers read again a simpler way: digits up to a non-digit.
    TypeScriptBitSet expected;
    std::string digits;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] >= '0' && data[i] <= '9') {
            digits += static_cast<char>(data[i]);
            continue;
        }
        if (!digits.empty()) {
            size_t first = digits.find_first_not_of('0');
            std::string value = first == std::string::npos ? "0" : digits.substr(first);
            if (value.size() <= 9) {
                const unsigned long n = std::stoul(value);
                if (n > 0 && n < expected.size()) expected.set(n);
            }
        }
        digits.clear();
    }
    if (bits != expected) std::abort();
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::string seeds[] = {
        "\n",  // the demo's list: no type carries a script
        "3701\n3645\n7774\n",
        "1 2 3\r\n0\n65535\n65536\n4294967296\n00012\n-5\n12",
    };
    for (const std::string& s : seeds)
        emit(reinterpret_cast<const u8*>(s.data()), s.size());
}
