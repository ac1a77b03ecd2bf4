#include "core/hash_table.h"

int IntHashMod(int key, int n) {
    if (n < 0) return 0;
    return static_cast<int>(static_cast<u32>(key) % (static_cast<u32>(n) + 1u));
}

int StringHashMod(const char* text, int n) {
    if (n < 0) return 0;
    u32 h = 0;
    if (text != nullptr) {
        for (const char* p = text; *p != 0; ++p) {
            u8 byte = static_cast<u8>(*p);
            if (byte >= 'A' && byte <= 'Z') byte = static_cast<u8>(byte - 'A' + 'a');
            // Bytes 0x80-0xFF count as negative numbers; the sum wraps as unsigned.
            const s32 value = static_cast<s8>(byte);
            h = (h << 4) + static_cast<u32>(value);
            const u32 g = h & 0xF0000000u;
            if (g != 0) {
                h ^= g >> 24;
                h ^= g;
            }
        }
    }
    return static_cast<int>(h % (static_cast<u32>(n) + 1u));
}

int CStrHashMod(const CStr& key, int n) {
    return StringHashMod(key.GetText(), n);
}
