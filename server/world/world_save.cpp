#include "server/world/world_save.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "core/archive.h"
#include "core/byte_order.h"
#include "platform/bounded_file_read.h"
#include "server/server_config.h"
#include "server/world/item.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"

namespace {

constexpr u8 kScriptHiddenStatus = 0x08;
constexpr size_t kTagSize = 8;
// The header after the tag: the world (name field, corner and size), then the cell count and
// the two lengths. The first form of the file had the counts only.
constexpr size_t kWorldFieldsSize = kSavedWorldNameSize + 16;
constexpr size_t kCountsSize = 12;
constexpr size_t kHeaderSize = kTagSize + kWorldFieldsSize + kCountsSize;
constexpr size_t kFirstFormHeaderSize = kTagSize + kCountsSize;
constexpr size_t kDigestSize = 8;
// A bound far above any world this game makes (the demo's save is a few hundred kilobytes);
// a save larger than this is not read into memory.
constexpr size_t kMaxSaveFileBytes = size_t{512} << 20;

// The tag of the first form of a save of the same kind ("ZQWORLD1" for "ZQWORLD2").
std::string FirstFormTag(const char* tag) {
    std::string first(tag, kTagSize);
    first.back() = '1';
    return first;
}

std::string g_worldSavePath;
std::string g_staticsSavePath;

void StoreLe64(u8* p, u64 v) {
    StoreLe32(p, static_cast<u32>(v));
    StoreLe32(p + 4, static_cast<u32>(v >> 32));
}

u64 LoadLe64(const u8* p) {
    return LoadLe32(p) | (static_cast<u64>(LoadLe32(p + 4)) << 32);
}

void AppendIndexEntry(std::vector<u8>& index, u32 offset, u32 length) {
    AppendLe32(index, offset);
    AppendLe32(index, length);
    AppendLe32(index, 0);
}

void StoreRecord(SectorPair& pair, const std::string& record) {
    if (record.empty()) {
        AppendIndexEntry(pair.index, 0xFFFFFFFFu, 0);
        return;
    }
    AppendIndexEntry(pair.index, static_cast<u32>(pair.data.size()),
                     static_cast<u32>(record.size()));
    pair.data.insert(pair.data.end(), record.begin(), record.end());
}

std::string PathBesideOpenArchive(const char* extension) {
    return PathBesideArchive(
        GetDataArchive() ? GetDataArchive()->Label() : std::string(kArchiveFileName), extension);
}

int WritePair(const std::string& path, const char* tag, const SectorPair& pair, std::string* error,
              platform::FileOps& ops, const std::string& keepOldAs = std::string()) {
    const std::vector<u8> bytes = EncodeSaveFile(tag, RunningWorldIdentity(), pair);
    std::string why;
    if (!platform::WriteFileSafely(path, bytes.data(), bytes.size(), &why, ops, keepOldAs)) {
        if (error) *error = "the save " + path + " was not written safely (" + why + ")";
        return 1;
    }
    return 0;
}

// Whether the save's header fits the running world; the reason otherwise.
bool FitsRunningWorld(const SaveFileHeader& header, std::string& why) {
    const SavedWorldIdentity running = RunningWorldIdentity();
    const u32 cells = static_cast<u32>(g_sectorGrid.GetCellCount());
    if (header.hasWorld) {
        if (header.world == running && header.cellCount == cells) return true;
        why = "it is the save of the world " + header.world.Describe() + ", not of the world " +
              running.Describe() + " that runs";
        if (header.world == running) {
            why = "it holds " + std::to_string(header.cellCount) + " cells, not the " +
                  std::to_string(cells) + " of the world " + running.Describe() + " that runs";
        }
        return false;
    }
    if (header.cellCount == cells) return true;
    why = "it is the save of a world of " + std::to_string(header.cellCount) +
          " cells, not of the world " + running.Describe() + " (" + std::to_string(cells) +
          " cells) that runs";
    return false;
}

}  // namespace

SectorPair BuildDynamicPair() {
    SectorPair pair;
    const int cells = g_sectorGrid.GetCellCount();
    // The logged-out characters belong to the cells they left.
    std::unordered_map<int, std::vector<CPlayer*>> away;
    std::vector<CPlayer*> loggedOut;
    CollectLoggedOutPlayers(loggedOut);
    for (CPlayer* player : loggedOut) {
        const int cell = g_sectorGrid.CellIndexOf(player->GetLocation());
        if (cell >= 0) away[cell].push_back(player);
    }
    std::string record;
    for (int n = 0; n < cells; ++n) {
        record.clear();
        const SectorCell* cell = g_sectorGrid.GetCell(n);
        auto it = away.find(n);
        if (!cell->objects && it == away.end()) {
            StoreRecord(pair, record);
            continue;
        }
        if (it != away.end()) {
            for (CPlayer* player : it->second)
                player->WriteSaveFields(record, 1);
        }
        for (CItem* o = cell->objects; o; o = o->GetNextSibling()) {
            if (o->GetStatus() & kScriptHiddenStatus) continue;
            o->WriteSaveFields(record, 1);
        }
        record.append("end", 4);
        StoreRecord(pair, record);
    }
    return pair;
}

SectorPair BuildStaticsPair() {
    SectorPair pair;
    const int cells = g_sectorGrid.GetCellCount();
    std::string record;
    for (int n = 0; n < cells; ++n) {
        record.clear();
        for (const CStaticObject* s = g_sectorGrid.GetCell(n)->statics; s; s = s->next) {
            u8 r[7];
            StoreLe16(r, s->GetType());
            r[2] = static_cast<u8>(s->GetLocation().x & 7);
            r[3] = static_cast<u8>(s->GetLocation().y & 7);
            r[4] = static_cast<u8>(s->GetLocation().z);
            StoreLe16(r + 5, s->GetHue());
            record.append(reinterpret_cast<const char*>(r), 7);
        }
        StoreRecord(pair, record);
    }
    return pair;
}

std::string SavedWorldIdentity::Describe() const {
    return (name.empty() ? std::string("(unnamed)") : name) + " (corner " + std::to_string(x) +
           ", " + std::to_string(y) + "; " + std::to_string(width) + " x " +
           std::to_string(height) + " tiles)";
}

SavedWorldIdentity RunningWorldIdentity() {
    SavedWorldIdentity world;
    world.name = g_serverConfig.serverName.substr(0, kSavedWorldNameSize - 1);
    world.x = g_sectorGrid.GetX0();
    world.y = g_sectorGrid.GetY0();
    world.width = g_sectorGrid.GetWidth();
    world.height = g_sectorGrid.GetHeight();
    return world;
}

// FNV-1a over 64 bits: any changed byte changes it.
u64 SaveFileDigest(const u8* bytes, size_t size) {
    u64 h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= bytes[i];
        h *= 0x100000001b3ull;
    }
    return h;
}

std::vector<u8> EncodeSaveFile(const char* tag, const SavedWorldIdentity& world,
                               const SectorPair& pair) {
    const size_t body = kHeaderSize + pair.index.size() + pair.data.size();
    std::vector<u8> out(body + kDigestSize);
    u8* p = out.data();
    std::memcpy(p, tag, kTagSize);
    u8* fields = p + kTagSize;
    std::memcpy(fields, world.name.data(), std::min(world.name.size(), kSavedWorldNameSize - 1));
    StoreLe32(fields + kSavedWorldNameSize, static_cast<u32>(world.x));
    StoreLe32(fields + kSavedWorldNameSize + 4, static_cast<u32>(world.y));
    StoreLe32(fields + kSavedWorldNameSize + 8, static_cast<u32>(world.width));
    StoreLe32(fields + kSavedWorldNameSize + 12, static_cast<u32>(world.height));
    u8* counts = fields + kWorldFieldsSize;
    StoreLe32(counts, static_cast<u32>(pair.index.size() / 12));
    StoreLe32(counts + 4, static_cast<u32>(pair.index.size()));
    StoreLe32(counts + 8, static_cast<u32>(pair.data.size()));
    if (!pair.index.empty()) std::memcpy(p + kHeaderSize, pair.index.data(), pair.index.size());
    if (!pair.data.empty()) {
        std::memcpy(p + kHeaderSize + pair.index.size(), pair.data.data(), pair.data.size());
    }
    StoreLe64(p + body, SaveFileDigest(p, body));
    return out;
}

bool DecodeSaveFile(const std::vector<u8>& bytes, const char* tag, SectorPair& out,
                    std::string* why, SaveFileHeader* headerOut) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        return false;
    };
    if (bytes.size() < kTagSize) return fail("it is cut short");
    SaveFileHeader header;
    if (std::memcmp(bytes.data(), tag, kTagSize) == 0) {
        header.hasWorld = true;
    } else if (std::memcmp(bytes.data(), FirstFormTag(tag).data(), kTagSize) != 0) {
        return fail("it is not a world save");
    }
    const size_t headerSize = header.hasWorld ? kHeaderSize : kFirstFormHeaderSize;
    if (bytes.size() < headerSize + kDigestSize) return fail("it is cut short");
    const u8* counts = bytes.data() + headerSize - kCountsSize;
    const u64 indexSize = LoadLe32(counts + 4);
    const u64 dataSize = LoadLe32(counts + 8);
    if (headerSize + indexSize + dataSize + kDigestSize != bytes.size())
        return fail(bytes.size() < headerSize + indexSize + dataSize + kDigestSize
                        ? "it is cut short"
                        : "its length does not match its contents");
    const size_t body = bytes.size() - kDigestSize;
    if (SaveFileDigest(bytes.data(), body) != LoadLe64(bytes.data() + body))
        return fail("its digest does not match: the file is damaged");
    header.cellCount = LoadLe32(counts);
    if (indexSize % 12 != 0 || header.cellCount != indexSize / 12)
        return fail("its index is malformed");
    if (header.hasWorld) {
        const u8* fields = bytes.data() + kTagSize;
        const u8* nameEnd = static_cast<const u8*>(std::memchr(fields, 0, kSavedWorldNameSize));
        if (!nameEnd) return fail("its world name is not ended");
        // The writer pads the field with NULs: anything else after the name is damage.
        if (std::any_of(nameEnd, fields + kSavedWorldNameSize, [](u8 b) { return b != 0; }))
            return fail("its world name field is malformed");
        header.world.name.assign(fields, nameEnd);
        header.world.x = static_cast<s32>(LoadLe32(fields + kSavedWorldNameSize));
        header.world.y = static_cast<s32>(LoadLe32(fields + kSavedWorldNameSize + 4));
        header.world.width = static_cast<s32>(LoadLe32(fields + kSavedWorldNameSize + 8));
        header.world.height = static_cast<s32>(LoadLe32(fields + kSavedWorldNameSize + 12));
    }
    out.index.assign(bytes.begin() + headerSize, bytes.begin() + headerSize + indexSize);
    out.data.assign(bytes.begin() + headerSize + indexSize, bytes.begin() + body);
    if (headerOut) *headerOut = header;
    return true;
}

std::string PathBesideArchive(const std::string& archivePath, const char* extension) {
    std::string base = archivePath;
    const size_t slash = base.find_last_of('/');
    const size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) base.erase(dot);
    return base + extension;
}

std::string WorldSavePath() {
    return g_worldSavePath.empty() ? PathBesideOpenArchive(".sav") : g_worldSavePath;
}

std::string StaticsSavePath() {
    return g_staticsSavePath.empty() ? PathBesideOpenArchive(".sta") : g_staticsSavePath;
}

void SetWorldSavePaths(const std::string& world, const std::string& statics) {
    g_worldSavePath = world;
    g_staticsSavePath = statics;
}

int SaveWorld(std::string* error, platform::FileOps& ops, const std::string& keepOldAs) {
    return WritePair(WorldSavePath(), kWorldSaveTag, BuildDynamicPair(), error, ops, keepOldAs);
}

int SaveStatics(std::string* error, platform::FileOps& ops) {
    return WritePair(StaticsSavePath(), kStaticsSaveTag, BuildStaticsPair(), error, ops);
}

int ReadSaveFile(const std::string& path, const char* tag, SectorPair& out, std::string* error) {
    platform::RemoveLeftoverTemporary(path);
    auto unusable = [&](const std::string& why) {
        if (error) *error = "the world save " + path + " is unusable: " + why;
        return -1;
    };
    std::string text;
    const platform::FileReadResult read =
        platform::ReadBoundedFile(path, kMaxSaveFileBytes, platform::Oversize::kWholeOnly, text);
    switch (read.status) {
        case platform::FileReadStatus::kRead:
            break;
        case platform::FileReadStatus::kMissing:
            return 1;
        case platform::FileReadStatus::kNotAFile:
            return unusable("it is not a regular file (" + read.reason + ")");
        case platform::FileReadStatus::kTooLarge:
            return unusable("it is " + read.reason + ", more than any save can hold");
        case platform::FileReadStatus::kUnreadable:
            if (error) *error = "the world save " + path + " cannot be read (" + read.reason + ")";
            return -1;
    }
    const std::vector<u8> bytes(text.begin(), text.end());
    text = std::string();
    std::string why;
    SaveFileHeader header;
    if (!DecodeSaveFile(bytes, tag, out, &why, &header) || !FitsRunningWorld(header, why)) {
        out = SectorPair{};
        return unusable(why);
    }
    return 0;
}
