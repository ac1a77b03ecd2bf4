#include "client/data/data_file_cache.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "client/data/anim_data.h"
#include "client/data/data_log.h"
#include "client/data/message_box.h"
#include "client/data/tile_data.h"
#include "core/byte_order.h"
#include "platform/bounded_file_read.h"

namespace {

const DataFileInfo kTable[kDataFileCount] = {
    {0, 1, kMapBlockBytes, "map0.mul"},
    {1, 4096, 12, "staidx0.mul"},
    {2, 1, -1, "statics0.mul"},
    {3, 4096, 12, "artidx.mul"},
    {4, 1, -1, "art.mul"},
    {5, 4096, 12, "anim.idx"},
    {6, 1, -1, "anim.mul"},
    {7, 4096, 12, "soundidx.mul"},
    {8, 1, -1, "sound.mul"},
    {9, 4096, 12, "texidx.mul"},
    {10, 1, -1, "texmaps.mul"},
    {11, 4096, 12, "gumpidx.mul"},
    {12, 1, -1, "gumpart.mul"},
    {13, 4096, 12, "multi.idx"},
    {14, 1, -1, "multi.mul"},
    {15, 256, 12, "skills.idx"},
    {16, 1, -1, "skills.mul"},
};

constexpr int kPatchBuckets = 1024;
constexpr const char* kNotWritable =
    "You are using a maximum install, but do not have your CdRomDataPath set to the installed "
    "directory in your zq.cfg file. With a maximum install, this should not point to your "
    "cdrom drive, but instead to the location where the files are installed.";

CDHDCache::FontPatchHandler& FontHandler() {
    static CDHDCache::FontPatchHandler handler;
    return handler;
}

// Whether something that opens stands at the path. A directory, device or pipe counts as
// there: mapping it then fails with a message that says what it is.
bool Opens(const std::string& path) {
    const platform::FileReadResult r = platform::CheckRegularFile(path);
    return r.Read() || r.status == platform::FileReadStatus::kNotAFile;
}

// Maps a file; a failure shows the mapping's message (not fatal by itself).
bool MapOrReport(platform::MappedFile& file) {
    if (file.Open()) return true;
    if (file.ErrorNumber() == ENOMEM) {
        ShowMessageBox("Out of memory", "Out of memory", true);
    }
    if (!file.ErrorText().empty()) ShowMessageBox(file.ErrorText(), "MMF Error", false);
    return false;
}

std::string JoinDir(const std::string& dir, const char* name) {
    std::string out = dir;
    if (!out.empty() && out.back() != '/') out += '/';
    return out + name;
}

}  // namespace

const DataFileInfo& DataFileTable(int file) {
    return kTable[file];
}

CDHDCache::CDHDCache() : patches_(static_cast<size_t>(kDataFileCount) * kPatchBuckets) {}

CDHDCache::~CDHDCache() {
    Shutdown();
}

void CDHDCache::SetFontPatchHandler(FontPatchHandler handler) {
    FontHandler() = std::move(handler);
}

std::string CDHDCache::HdPath(int file) const {
    return JoinDir(settings_.hdDir, kTable[file].name);
}

void CDHDCache::Shutdown() {
    cache_.Close();
    for (auto& f : files_)
        f.reset();
    onHd_.fill(false);
    verdata_.reset();
    for (auto& bucket : patches_)
        bucket.clear();
}

void CDHDCache::Init(const DataCacheSettings& settings) {
    Shutdown();
    settings_ = settings;
    if (settings_.maximumInstall) {
        for (int i = 0; i < kDataFileCount; ++i) {
            if (!Opens(HdPath(i))) {
                char text[512];
                std::snprintf(text, sizeof text,
                              "Failed to open '%s' from HD using a maximum install.  Either this "
                              "file is not readable, your system needs to be rebooted, or the "
                              "file does not exist and you either need to reinstall or  switch "
                              "to a non-maximum install.",
                              kTable[i].name);
                ShowMessageBox(text, "Unable to open file", true);
                return;
            }
        }
        for (int i = 0; i < kDataFileCount; ++i) {
            files_[i] = std::make_unique<platform::MappedFile>(HdPath(i));
            MapOrReport(*files_[i]);
            onHd_[i] = true;
        }
        return;
    }
    const int units = settings_.cacheSize < 1 ? 1 : settings_.cacheSize;
    if (!cache_.Create(JoinDir(settings_.hdDir, "cache.zq"), units * 1000000, units * 4000)) {
        if (cache_.ErrorNumber() == ENOMEM) ShowMessageBox("Out of memory", "Out of memory", true);
        ShowMessageBox(cache_.ErrorText(), "MMF Error", false);
    }
    for (int i = 0; i < kDataFileCount; ++i) {
        std::string path = HdPath(i);
        if (Opens(path)) {
            onHd_[i] = true;
        } else {
            path = JoinDir(settings_.cdDir, kTable[i].name);
            if (!Opens(path)) {
                for (int j = 0; j < i; ++j)
                    files_[j].reset();
                char text[512];
                std::snprintf(text, sizeof text, "Failed to open '%s' both from CD and HD.",
                              kTable[i].name);
                ShowMessageBox(text, "Unable to open file", true);
                return;
            }
            onHd_[i] = false;
        }
        files_[i] = std::make_unique<platform::MappedFile>(path);
        MapOrReport(*files_[i]);
    }
}

const CDHDCache::Patch* CDHDCache::FindPatch(int file, u32 id) const {
    if (!settings_.useVerData || file < 0 || file >= kDataFileCount) return nullptr;
    const auto& bucket = patches_[static_cast<size_t>(file) * kPatchBuckets + (id & 0x3FF)];
    for (auto it = bucket.rbegin(); it != bucket.rend(); ++it)
        if (it->id == id) return &*it;
    return nullptr;
}

void CDHDCache::LoadPatches() {
    if (!settings_.useVerData) return;
    const std::string path = JoinDir(settings_.hdDir, "verdata.mul");
    if (!Opens(path)) return;
    verdata_ = std::make_unique<platform::MappedFile>(path);
    if (!MapOrReport(*verdata_)) {
        verdata_.reset();
        return;
    }
    const u8* base = verdata_->Base();
    const size_t size = verdata_->Size();
    if (size < 4) return;
    const u32 count = LoadLe32(base);
    // Only records that lie wholly inside the file are read.
    const size_t records = std::min<size_t>(count, (size - 4) / 20);
    for (size_t i = 0; i < records; ++i) {
        const u8* r = base + 4 + i * 20;
        const Patch patch{LoadLe32(r + 4), LoadLe32(r + 8), LoadLe32(r + 12), LoadLe32(r + 16)};
        if (static_cast<u64>(patch.offset) + patch.length > size) continue;
        ApplyPatchRecord(LoadLe32(r), patch);
    }
}

void CDHDCache::ApplyPatchRecord(u32 file, const Patch& patch) {
    const u8* data = verdata_->Base() + patch.offset;
    if (file < kDataFileCount) {
        patches_[static_cast<size_t>(file) * kPatchBuckets + (patch.id & 0x3FF)].push_back(patch);
    } else if (file == kPatchTileData) {
        TheClientTileData().ApplyPatchBlock(patch.id, data, patch.length);
    } else if (file == kPatchAnimData) {
        TheAnimData().ApplyPatchBlock(patch.id, data, patch.length);
    } else if (file == kPatchFont) {
        if (FontHandler()) {
            FontHandler()(patch.id, data, patch.length);
        } else {
            DataLogOnce("font patch", "font patches in verdata.mul skipped: no font table");
        }
    }
}

const u8* CDHDCache::GetIndexEntry(int file, s32 n) {
    if (file < 0 || file >= kDataFileCount || n < 0) return nullptr;
    const DataFileInfo& info = kTable[file];
    if (const Patch* p = FindPatch(file, static_cast<u32>(n))) {
        if (p->length == 0 || p->length < static_cast<u32>(info.recordSize)) return nullptr;
        return verdata_->Base() + p->offset;
    }
    const platform::MappedFile* mapped = files_[file].get();
    if (!mapped || !mapped->IsOpen()) return nullptr;
    const u64 end = (static_cast<u64>(n) + 1) * static_cast<u64>(info.recordSize);
    if (end > mapped->Size()) return nullptr;
    // Without the block cache (it could not be written) records are read in place.
    if (onHd_[file] || !cache_.IsOpen()) {
        return mapped->Base() + static_cast<size_t>(n) * info.recordSize;
    }

    const s32 key = n - n % info.recordsPerBlock;
    const size_t within = static_cast<size_t>(n - key) * info.recordSize;
    if (u8* cached = cache_.Find(file, key)) return cached + within;
    const s32 blockBytes = info.recordsPerBlock * info.recordSize;
    u8* copy = cache_.Allocate(file, key, blockBytes);
    if (!copy) return nullptr;
    // The file may end inside the block: copy what it holds, zero the rest.
    const size_t got = mapped->Read(static_cast<size_t>(key) * info.recordSize,
                                    static_cast<size_t>(blockBytes), copy);
    std::memset(copy + got, 0, static_cast<size_t>(blockBytes) - got);
    return copy + within;
}

const u8* CDHDCache::GetRecord(int indexFile, int dataFile, s32 id, s32* length, u32* extra) {
    s32 ignoredLength;
    u32 ignoredExtra;
    if (!length) length = &ignoredLength;
    if (!extra) extra = &ignoredExtra;
    *length = 0;
    *extra = 0;
    if (indexFile < 0 || indexFile >= kDataFileCount || dataFile < 0 ||
        dataFile >= kDataFileCount || id < 0) {
        return nullptr;
    }
    if (const Patch* p = FindPatch(dataFile, static_cast<u32>(id))) {
        *extra = p->extra;
        if (p->length == 0) return nullptr;
        *length = static_cast<s32>(p->length);
        return verdata_->Base() + p->offset;
    }
    const platform::MappedFile* index = files_[indexFile].get();
    const platform::MappedFile* data = files_[dataFile].get();
    if (!index || !data || !data->IsOpen()) return nullptr;
    const u8* entry;
    if (onHd_[indexFile] && onHd_[dataFile]) {
        const u64 end = (static_cast<u64>(id) + 1) * kIndexEntrySize;
        if (!index->IsOpen() || end > index->Size()) return nullptr;
        entry = index->Base() + static_cast<size_t>(id) * kIndexEntrySize;
    } else {
        entry = GetIndexEntry(indexFile, id);
        if (!entry) return nullptr;
    }
    const s32 offset = static_cast<s32>(LoadLe32(entry));
    const s32 size = static_cast<s32>(LoadLe32(entry + 4));
    *extra = LoadLe32(entry + 8);
    if (offset < 0) return nullptr;
    // A record that does not lie wholly inside the data file is absent.
    if (size <= 0 || static_cast<u64>(offset) + static_cast<u64>(size) > data->Size())
        return nullptr;
    *length = size;
    if (onHd_[dataFile] || !cache_.IsOpen()) return data->Base() + offset;
    if (const u8* cached = cache_.Find(dataFile, id)) return cached;
    u8* copy = cache_.Allocate(dataFile, id, size);
    if (!copy) {
        *length = 0;
        return nullptr;
    }
    data->Read(static_cast<size_t>(offset), static_cast<size_t>(size), copy);
    return copy;
}

const platform::MappedFile& CDHDCache::GetCDFile(int file) {
    if (file < 0 || file >= kDataFileCount || !files_[file]) {
        ShowMessageBox("invalid file number.", "CDHDCache::GetCDFile:", true);
    }
    return *files_[file];
}

void CDHDCache::CloseFile(int file) {
    if (file >= 0 && file < kDataFileCount && files_[file]) files_[file]->Close();
}

void CDHDCache::ReopenFile(int file) {
    if (file >= 0 && file < kDataFileCount && files_[file]) MapOrReport(*files_[file]);
}

bool CDHDCache::UpdateRecord(int indexFile, int dataFile, s32 id, u32 extra, const u8* data,
                             s32 length) {
    if (indexFile < 0 || indexFile >= kDataFileCount || dataFile < 0 ||
        dataFile >= kDataFileCount || id < 0) {
        return false;
    }
    if (!onHd_[dataFile]) {
        const s32 perBlock = kTable[dataFile].recordsPerBlock;
        cache_.Drop(dataFile, id - id % perBlock);
    }
    if (!onHd_[indexFile] || !onHd_[dataFile]) return false;
    // Only files that mapped are written: one that did not is no regular file (a pipe
    // opened here would wait for ever) or is gone.
    if (!files_[indexFile] || !files_[indexFile]->IsOpen() || !files_[dataFile] ||
        !files_[dataFile]->IsOpen()) {
        return false;
    }
    if (length < 0) length = 0;

    CloseFile(indexFile);
    FILE* index = std::fopen(HdPath(indexFile).c_str(), "r+b");
    if (!index) {
        ShowMessageBox(kNotWritable, "Error", true);
        return false;
    }
    bool ok = false;
    u8 old[8] = {};
    const long at = static_cast<long>(id) * kIndexEntrySize;
    if (std::fseek(index, at, SEEK_SET) == 0) {
        // An entry past the end of the index reads as absent; the write extends the index.
        if (std::fread(old, 1, 8, index) != 8) {
            std::memset(old, 0xFF, 4);
            std::memset(old + 4, 0, 4);
        }
        const s32 oldOffset = static_cast<s32>(LoadLe32(old));
        s32 oldLength = static_cast<s32>(LoadLe32(old + 4));
        if (oldLength < 0 || oldOffset < 0) oldLength = 0;
        u8 entry[12];
        bool writeData = false;
        long dataAt = 0;
        if (oldLength >= length) {
            StoreLe32(entry, length <= 0 ? 0xFFFFFFFFu : static_cast<u32>(oldOffset));
            StoreLe32(entry + 4, static_cast<u32>(length));
            writeData = length > 0;
            dataAt = oldOffset;
        } else {
            FILE* probe = std::fopen(HdPath(dataFile).c_str(), "rb");
            long end = -1;
            if (probe && std::fseek(probe, 0, SEEK_END) == 0) end = std::ftell(probe);
            if (probe) std::fclose(probe);
            if (end >= 0) {
                StoreLe32(entry, static_cast<u32>(end));
                StoreLe32(entry + 4, static_cast<u32>(length));
                writeData = true;
                dataAt = end;
            }
        }
        StoreLe32(entry + 8, extra);
        bool dataOk = true;
        if (writeData) {
            CloseFile(dataFile);
            FILE* out = std::fopen(HdPath(dataFile).c_str(), "r+b");
            dataOk = out && std::fseek(out, dataAt, SEEK_SET) == 0 &&
                     std::fwrite(data, 1, static_cast<size_t>(length), out) ==
                         static_cast<size_t>(length);
            if (out) std::fclose(out);
            ReopenFile(dataFile);
            if (!out) ShowMessageBox(kNotWritable, "Error", true);
        }
        // The index points at the data only once the data is there.
        if (dataOk && (writeData || oldLength >= length) && std::fseek(index, at, SEEK_SET) == 0 &&
            std::fwrite(entry, 1, 12, index) == 12) {
            ok = true;
        }
    }
    std::fclose(index);
    ReopenFile(indexFile);
    return ok;
}

CDHDCache& TheDataCache() {
    static CDHDCache cache;
    return cache;
}

const u8* GetArtRecord(s32 id, s32* length) {
    u32 extra;
    s32 ignored;
    return TheDataCache().GetRecord(kFileArtIndex, kFileArt, id, length ? length : &ignored,
                                    &extra);
}
