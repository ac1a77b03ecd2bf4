// Fuzz target: the resource type reader (`restypes.mul`): a u32 count and records of 652
// bytes, each with a type number and five names. A count past the bytes is refused with the
// table left as it was; numbers outside 1-101 are refused one by one; every name is
// terminated; lookups by number and by name stay inside the table.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "server/world/resource_tables.h"
#include "server/world/resource_type.h"
#include "tools/content_builder/economy_content.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static CResourceTypeTable table;
    const std::vector<u8> bytes(data, data + size);
    const int before = table.CountTypes();
    const bool fits =
        size >= 4 && (4 + u64(data[0] | data[1] << 8 | data[2] << 16 | u32(data[3]) << 24) *
                              kResourceTypeRecordSize) <= size;
    const int result = LoadResourceTypes(bytes, table, nullptr);
    Check((result == 0) == fits);
    if (result != 0) Check(table.CountTypes() == before);
    Check(table.GetNextNumber() >= 1 && table.GetNextNumber() <= kResourceTypeSlots);
    for (int n = -2; n <= kResourceTypeSlots + 1; ++n) {
        const CResourceType* type = table.GetByNumber(n);
        if (!type) continue;
        Check(n >= 1 && n <= kMaxResourceTypeNumber && type->GetNumber() == n);
        for (const char* name :
             {type->GetInternalName(), type->GetFoodName(), type->GetShelterName(),
              type->GetDesireName(), type->GetProductionName()}) {
            Check(std::strlen(name) < kResourceNameSize);
        }
        // The table finds some type under every name it holds.
        Check(table.FindByName(type->GetInternalName()) != nullptr);
    }
    // What was read writes back as the same records.
    std::vector<u8> written = WriteResourceTypeTable(table);
    CResourceTypeTable again;
    Check(LoadResourceTypes(written, again, nullptr) == 0);
    Check(WriteResourceTypeTable(again) == written);
    table.AllocNumber();
    return 0;
}

// The demo's type file, whole and cut after its first record.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8> file = DemoResourceTypesFile();
    emit(file.data(), file.size());
    std::vector<u8> one(file.begin(), file.begin() + 4 + kResourceTypeRecordSize);
    one[0] = 1;
    one[1] = one[2] = one[3] = 0;
    emit(one.data(), one.size());
}
