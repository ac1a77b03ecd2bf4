// Fuzz target: the name rules over any bytes, as names come from the wire. Both tests must
// answer 0 or 1 without reading past the text, and a text that does not begin with a letter
// is never a valid name.
//
// Input: the name's bytes (cut at the first NUL, as the text ends there).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/types.h"
#include "server/rules/name_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int invalid = IsInvalidName(text.c_str());
    const int obscene = IsObsceneName(text.c_str());
    if ((invalid != 0 && invalid != 1) || (obscene != 0 && obscene != 1)) std::abort();
    const char first = text.c_str()[0];
    const bool letter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
    if (!letter && !invalid) std::abort();
    return 0;
}

extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    for (const char* seed : {"Tester", "Ann-Marie", "Lord Ann", "Ann  Lee", "O'Neil St. Clair"})
        emit(reinterpret_cast<const u8*>(seed), std::string(seed).size());
}
