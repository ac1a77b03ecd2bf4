#include "script/language/script_value.h"

#include "script/language/token_codes.h"

namespace {

const TypeInfo kTypes[8] = {
    {"int", 'i', 4, TK_INT},  {"str", 's', 4, TK_STRING}, {"ust", 'q', 4, TK_USTRING},
    {"loc", 'c', 6, TK_LOC},  {"obj", 'o', 4, TK_OBJ},    {"lis", 'l', 4, TK_LIST},
    {"voi", 'v', 0, TK_VOID}, {"unk", 'u', 0, -1},
};

}  // namespace

const TypeInfo& GetTypeInfo(int type) {
    if (type < 0 || type > kTypeUnknown) return kTypes[kTypeUnknown];
    return kTypes[type];
}

u8 TypeFromSignature(char c) {
    for (u8 i = 0; i < 8; ++i) {
        if (kTypes[i].signature == c) return i;
    }
    return kTypeNone;
}

u8 TypeFromKeywordClass(int tokenClass) {
    for (u8 i = 0; i < 8; ++i) {
        if (kTypes[i].keywordClass >= 0 && kTypes[i].keywordClass == tokenClass) return i;
    }
    return kTypeNone;
}

char SignatureOfType(int type) {
    if (type < 0 || type > kTypeUnknown) return '?';
    return kTypes[type].signature;
}
