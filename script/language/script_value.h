#pragma once
// The value types of the script language. The same index tags list elements, object
// variables and trigger arguments; the signature character is used in builtin and script
// function signatures.
#include "platform/types.h"

enum ScriptType : u8 {
    kTypeInt = 0,
    kTypeString = 1,
    kTypeUString = 2,
    kTypeLocation = 3,
    kTypeObject = 4,
    kTypeList = 5,
    kTypeVoid = 6,
    kTypeUnknown = 7,
    kTypeNone = 8,  // the answer of a lookup that found no type
};

struct TypeInfo {
    const char* name;  // three letters, the saved text form of lists
    char signature;
    u8 size;           // bytes of the value; laid out rounded up to 4
    int keywordClass;  // token class of the type keyword, -1 for none
};

// The eight rows, index 0..7.
const TypeInfo& GetTypeInfo(int type);
// Index of a signature character (scans the rows in order); kTypeNone when none matches.
u8 TypeFromSignature(char c);
// The value type a result character gives: kTypeUnknown where no type matches.
inline u8 ResultTypeFromSignature(char c) {
    const u8 t = TypeFromSignature(c);
    return t == kTypeNone ? static_cast<u8>(kTypeUnknown) : t;
}
// Index of a type keyword token class (rows 0..6); kTypeNone when none matches.
u8 TypeFromKeywordClass(int tokenClass);
// The signature character of a type; '?' for kTypeNone.
char SignatureOfType(int type);
// Bytes a value of the type takes in a frame, value stack or argument block.
inline u32 SlotSizeOfType(int type) {
    if (type < 0 || type > kTypeUnknown) return 0;
    return (GetTypeInfo(type).size + 3u) & ~3u;
}

// The int type's division and remainder. Arithmetic wraps; a zero divisor gives 2147483647
// for both, and the overflowing -2147483648 / -1 gives -2147483648 with remainder 0.
inline s32 ScriptDiv(s32 a, s32 b) {
    if (b == 0) return 2147483647;
    if (b == -1) return static_cast<s32>(0u - static_cast<u32>(a));
    return a / b;
}
inline s32 ScriptMod(s32 a, s32 b) {
    if (b == 0) return 2147483647;
    if (b == -1) return 0;
    return a % b;
}
