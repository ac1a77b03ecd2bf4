#include "server/world/resource_type.h"

#include <cstring>

#include "core/byte_order.h"
#include "core/log_sink.h"

namespace {
const char* const kDefaultNames[5] = {"No internal name", "No food name", "No shelter name",
                                      "No desire name", "No production name"};

void LogTypeError(const char* message) {
    GetLogSink().Log(0, 0, 0, "", "resources", "error", message);
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

CResourceType::CResourceType() {
    for (int i = 0; i < 5; ++i)
        SetName(i, kDefaultNames[i]);
}

void CResourceType::SetName(int which, const char* text) {
    char* name = names_[which];
    std::memset(name, 0, kResourceNameSize);
    if (text) std::memcpy(name, text, strnlen(text, kResourceNameSize - 1));
}

void CResourceType::Write(std::vector<u8>& out) const {
    AppendLe32(out, static_cast<u32>(number_));
    for (const char* name : names_) {
        out.insert(out.end(), name, name + kResourceNameSize);
    }
    AppendLe32(out, static_cast<u32>(value1_));
    AppendLe32(out, static_cast<u32>(value2_));
}

void CResourceType::Read(const u8* record) {
    number_ = static_cast<s32>(LoadLe32(record));
    for (int i = 0; i < 5; ++i) {
        std::memcpy(names_[i], record + 4 + i * kResourceNameSize, kResourceNameSize);
        names_[i][kResourceNameSize - 1] = '\0';
    }
    value1_ = static_cast<s32>(LoadLe32(record + 644));
    value2_ = static_cast<s32>(LoadLe32(record + 648));
}

int ResourceNameHash(const char* name) {
    if (!name || !name[0]) return 0;
    const int first = static_cast<unsigned char>(LowerAscii(name[0]));
    const int second = static_cast<unsigned char>(LowerAscii(name[1]));
    return ((first << 3) ^ second) & (kResourceHashBuckets - 1);
}

CResourceTypeTable::CResourceTypeTable() = default;
CResourceTypeTable::~CResourceTypeTable() = default;

int CResourceTypeTable::AllocNumber() {
    if (next_ > kMaxResourceTypeNumber) {
        LogTypeError("no resource type numbers left: the table holds numbers 1-101");
        return -1;
    }
    return next_++;
}

void CResourceTypeTable::Unlink(CResourceType* type) {
    CResourceType** link = &buckets_[ResourceNameHash(type->GetInternalName())];
    while (*link && *link != type)
        link = &(*link)->hashNext;
    if (*link) *link = type->hashNext;
    type->hashNext = nullptr;
}

bool CResourceTypeTable::Add(CResourceType* type) {
    if (!type) return false;
    const int number = type->GetNumber();
    if (number < 1 || number > kMaxResourceTypeNumber) {
        LogTypeError("a resource type outside the numbers 1-101 was refused");
        delete type;
        return false;
    }
    if (types_[number]) Unlink(types_[number].get());
    types_[number].reset(type);
    type->hashNext = nullptr;
    CResourceType** link = &buckets_[ResourceNameHash(type->GetInternalName())];
    while (*link)
        link = &(*link)->hashNext;
    *link = type;
    if (number >= next_) next_ = number + 1;
    return true;
}

CResourceType* CResourceTypeTable::FindByName(const char* name) const {
    if (!name) return nullptr;
    for (CResourceType* t = buckets_[ResourceNameHash(name)]; t; t = t->hashNext) {
        if (std::strcmp(t->GetInternalName(), name) == 0) return t;
    }
    return nullptr;
}

int CResourceTypeTable::FindNumber(const char* name) const {
    const CResourceType* type = FindByName(name);
    return type ? type->GetNumber() : 0;
}

CResourceType* CResourceTypeTable::GetByNumber(int number) const {
    if (number < 0 || number >= kResourceTypeSlots) return nullptr;
    return types_[number].get();
}

int CResourceTypeTable::CountTypes() const {
    int n = 0;
    for (const auto& t : types_)
        n += t ? 1 : 0;
    return n;
}

void CResourceTypeTable::Clear() {
    for (auto& t : types_)
        t.reset();
    for (auto& b : buckets_)
        b = nullptr;
    next_ = 1;
}

CResourceTypeTable& GetResourceTypes() {
    static CResourceTypeTable table;
    return table;
}
