#include "server/world/world_save.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unordered_map>

#include "core/archive.h"
#include "core/byte_order.h"
#include "server/world/item.h"
#include "server/world/player.h"
#include "server/world/player_registry.h"
#include "server/world/sector_grid.h"

namespace {

constexpr u8 kScriptHiddenStatus = 0x08;
constexpr size_t kTagSize = 8;
constexpr size_t kHeaderSize = kTagSize + 12;
constexpr size_t kDigestSize = 8;

std::string g_worldSavePath;
std::string g_staticsSavePath;

// FNV-1a over 64 bits: any changed byte changes it.
u64 Digest(const u8* bytes, size_t size) {
    u64 h = 0xcbf29ce484222325ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= bytes[i];
        h *= 0x100000001b3ull;
    }
    return h;
}

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

std::string PathBesideArchive(const char* extension) {
    std::string base = GetDataArchive() ? GetDataArchive()->Label() : std::string(kArchiveFileName);
    const size_t slash = base.find_last_of('/');
    const size_t dot = base.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) base.erase(dot);
    return base + extension;
}

int WritePair(const std::string& path, const char* tag, const SectorPair& pair, std::string* error,
              platform::FileOps& ops) {
    const std::vector<u8> bytes = EncodeSaveFile(tag, pair);
    std::string why;
    if (!platform::WriteFileSafely(path, bytes.data(), bytes.size(), &why, ops)) {
        if (error) *error = "the save " + path + " was not written (" + why + ")";
        return 1;
    }
    return 0;
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

std::vector<u8> EncodeSaveFile(const char* tag, const SectorPair& pair) {
    const size_t body = kHeaderSize + pair.index.size() + pair.data.size();
    std::vector<u8> out(body + kDigestSize);
    u8* p = out.data();
    std::memcpy(p, tag, kTagSize);
    StoreLe32(p + kTagSize, static_cast<u32>(pair.index.size() / 12));
    StoreLe32(p + kTagSize + 4, static_cast<u32>(pair.index.size()));
    StoreLe32(p + kTagSize + 8, static_cast<u32>(pair.data.size()));
    if (!pair.index.empty()) std::memcpy(p + kHeaderSize, pair.index.data(), pair.index.size());
    if (!pair.data.empty()) {
        std::memcpy(p + kHeaderSize + pair.index.size(), pair.data.data(), pair.data.size());
    }
    StoreLe64(p + body, Digest(p, body));
    return out;
}

bool DecodeSaveFile(const std::vector<u8>& bytes, const char* tag, SectorPair& out,
                    std::string* why) {
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        return false;
    };
    if (bytes.size() < kHeaderSize + kDigestSize) return fail("it is cut short");
    if (std::memcmp(bytes.data(), tag, kTagSize) != 0) return fail("it is not a world save");
    const u64 indexSize = LoadLe32(bytes.data() + kTagSize + 4);
    const u64 dataSize = LoadLe32(bytes.data() + kTagSize + 8);
    if (kHeaderSize + indexSize + dataSize + kDigestSize != bytes.size())
        return fail(bytes.size() < kHeaderSize + indexSize + dataSize + kDigestSize
                        ? "it is cut short"
                        : "its length does not match its contents");
    const size_t body = bytes.size() - kDigestSize;
    if (Digest(bytes.data(), body) != LoadLe64(bytes.data() + body))
        return fail("its digest does not match: the file is damaged");
    if (indexSize % 12 != 0 || LoadLe32(bytes.data() + kTagSize) != indexSize / 12)
        return fail("its index is malformed");
    out.index.assign(bytes.begin() + kHeaderSize, bytes.begin() + kHeaderSize + indexSize);
    out.data.assign(bytes.begin() + kHeaderSize + indexSize, bytes.begin() + body);
    return true;
}

std::string WorldSavePath() {
    return g_worldSavePath.empty() ? PathBesideArchive(".sav") : g_worldSavePath;
}

std::string StaticsSavePath() {
    return g_staticsSavePath.empty() ? PathBesideArchive(".sta") : g_staticsSavePath;
}

void SetWorldSavePaths(const std::string& world, const std::string& statics) {
    g_worldSavePath = world;
    g_staticsSavePath = statics;
}

int SaveWorld(std::string* error, platform::FileOps& ops) {
    return WritePair(WorldSavePath(), kWorldSaveTag, BuildDynamicPair(), error, ops);
}

int SaveStatics(std::string* error, platform::FileOps& ops) {
    return WritePair(StaticsSavePath(), kStaticsSaveTag, BuildStaticsPair(), error, ops);
}

int ReadSaveFile(const std::string& path, const char* tag, SectorPair& out, std::string* error) {
    platform::RemoveLeftoverTemporary(path);
    std::error_code code;
    if (!std::filesystem::exists(path, code) && !code) return 1;
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path, code)) {
        if (error) *error = "the world save " + path + " cannot be opened";
        return -1;
    }
    std::vector<u8> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = "the world save " + path + " cannot be read";
        return -1;
    }
    std::string why;
    if (!DecodeSaveFile(bytes, tag, out, &why)) {
        if (error) *error = "the world save " + path + " is unusable: " + why;
        return -1;
    }
    return 0;
}
