#include "script/runtime/type_script_bits.h"

TypeScriptBitSet& TypeScriptBits() {
    static TypeScriptBitSet bits;
    return bits;
}
