#include "server/world/resource_tables.h"

#include "core/byte_order.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/tile_data.h"

std::vector<u8> WriteResourceTypeTable(const CResourceTypeTable& table) {
    std::vector<u8> out;
    AppendLe32(out, static_cast<u32>(table.CountTypes()));
    for (int n = 0; n < kResourceTypeSlots; ++n) {
        if (const CResourceType* type = table.GetByNumber(n)) type->Write(out);
    }
    return out;
}

int LoadResourceTypes(const std::vector<u8>& bytes, CResourceTypeTable& table, std::string* error) {
    const size_t have = bytes.size();
    const u64 count = have >= 4 ? LoadLe32(bytes.data()) : 0;
    const u64 needed = 4 + count * kResourceTypeRecordSize;
    if (have < 4 || needed > have) {
        if (error) {
            *error = std::string("The resource type file ") + kResourceTypesPath +
                     " is damaged: it holds " + std::to_string(have) + " bytes of the " +
                     std::to_string(have < 4 ? 4 : needed) + " its count needs.";
        }
        return -1;
    }
    table.Clear();
    for (u64 i = 0; i < count; ++i) {
        auto* type = new CResourceType;
        type->Read(bytes.data() + 4 + i * kResourceTypeRecordSize);
        table.Add(type);  // refuses (and frees) a number outside 1-101
    }
    return 0;
}

std::vector<u8> WriteItemResourceTable() {
    std::vector<u8> out;
    for (int graphic = 0; graphic < kTileCount; ++graphic) {
        const CCountedObject* prototype = g_objectManager.GetResourcePrototype(graphic);
        u32 count = 0;
        for (const ResourceEntry* e = prototype->GetResources(); e; e = e->next)
            ++count;
        AppendLe32(out, count);
        // The list runs from its head; reading inserts each entry at the head, so the file
        // holds the entries from the tail and a read gives back the same order.
        std::vector<const ResourceEntry*> entries;
        for (const ResourceEntry* e = prototype->GetResources(); e; e = e->next)
            entries.push_back(e);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            (*it)->Write(out);
    }
    return out;
}

int LoadItemResources(const std::vector<u8>& bytes, std::string* error) {
    // Every count is checked against the bytes before anything changes.
    size_t pos = 0;
    for (int graphic = 0; graphic < kTileCount; ++graphic) {
        if (bytes.size() < pos + 4) {
            if (error) {
                *error = std::string("The item resource file ") + kItemResourcesPath +
                         " is damaged: it ends in the block of item type " +
                         std::to_string(graphic) + " (" + std::to_string(bytes.size()) + " bytes).";
            }
            return -1;
        }
        const u64 count = LoadLe32(bytes.data() + pos);
        pos += 4;
        if (count * kResourceEntryRecordSize > bytes.size() - pos) {
            if (error) {
                *error = std::string("The item resource file ") + kItemResourcesPath +
                         " is damaged: item type " + std::to_string(graphic) + " counts " +
                         std::to_string(count) + " entries past its " +
                         std::to_string(bytes.size()) + " bytes.";
            }
            return -1;
        }
        pos += count * kResourceEntryRecordSize;
    }
    g_objectManager.UnlockItemResources();
    pos = 0;
    for (int graphic = 0; graphic < kTileCount; ++graphic) {
        CCountedObject* prototype = g_objectManager.GetResourcePrototype(graphic);
        prototype->ClearResources();
        const u32 count = LoadLe32(bytes.data() + pos);
        pos += 4;
        for (u32 i = 0; i < count; ++i, pos += kResourceEntryRecordSize) {
            ResourceEntry* entry = AllocResourceEntry();
            entry->Read(bytes.data() + pos);
            // A type number no table can hold names nothing: the entry is skipped by every
            // search, as type 0 is.
            if (entry->type > kMaxResourceTypeNumber) entry->type = 0;
            if (entry->kind == kResourceHeld && entry->type != 0 &&
                entry->amounts[2] > entry->amounts[0]) {
                entry->amounts[2] = entry->amounts[0];
            }
            prototype->InsertResource(entry);
        }
    }
    g_objectManager.LockItemResources();
    return 0;
}
