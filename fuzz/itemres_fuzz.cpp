// Fuzz target: the item resource reader (`itemres.mul`): 0x4000 blocks of a u32 count and
// that many 33-byte entries. A count past the bytes is refused before anything changes; a
// file that reads writes back the same, and every held entry stays within its capacity.
//
// Input: the blocks of the first item types; the rest of the file is empty blocks, so that
// short inputs still reach the whole reader.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/byte_order.h"
#include "server/world/object_manager.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_tables.h"
#include "server/world/tile_data.h"
#include "tools/content_builder/economy_content.h"

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}

// The input as the leading blocks: how many whole blocks it holds decides the file's tail.
std::vector<u8> AsFile(const uint8_t* data, size_t size, int& blocks) {
    std::vector<u8> out(data, data + size);
    size_t pos = 0;
    blocks = 0;
    while (blocks < kTileCount && pos + 4 <= out.size()) {
        const u64 count = LoadLe32(&out[pos]);
        if (count * kResourceEntryRecordSize > out.size() - pos - 4) break;
        pos += 4 + count * kResourceEntryRecordSize;
        ++blocks;
    }
    if (pos != out.size()) return out;  // a damaged input stays damaged
    for (int i = blocks; i < kTileCount; ++i)
        AppendLe32(out, 0);
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int blocks = 0;
    const std::vector<u8> file = AsFile(data, size, blocks);
    const std::vector<u8> before = WriteItemResourceTable();
    const int result = LoadItemResources(file, nullptr);
    if (result != 0) {
        Check(WriteItemResourceTable() == before);
        return 0;
    }
    for (int graphic = 0; graphic < kTileCount; graphic += 1 + graphic / 64) {
        const CCountedObject* prototype = g_objectManager.GetResourcePrototype(graphic);
        for (const ResourceEntry* e = prototype->GetResources(); e; e = e->next) {
            if (e->kind == kResourceHeld && e->type != 0) Check(e->amounts[2] <= e->amounts[0]);
            Check(e->type <= 101);
        }
    }
    const std::vector<u8> written = WriteItemResourceTable();
    Check(LoadItemResources(written, nullptr) == 0);
    Check(WriteItemResourceTable() == written);
    return 0;
}

// The demo's blocks up to and including the gold coin's need.
extern "C" void ZqFuzzSeeds(void (*emit)(const u8* data, size_t size)) {
    const std::vector<u8> file = DemoItemResourcesFile();
    emit(file.data(), file.size());
    const size_t goldBlock = 3821u * 4;
    emit(file.data(), goldBlock + 4 + kResourceEntryRecordSize);
}
