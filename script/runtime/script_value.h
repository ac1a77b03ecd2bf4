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
