#pragma once
// CDHDCache: the client's one access path to its 17 data files (map, statics, art,
// animations, sounds, textures, gump art, multis, skills). A file found in the install
// directory (or every file, on a maximum install) is mapped and read in place; a file found
// only on the CD path is mapped too, but its records reach the client through the block
// cache `cache.zq`. Patches from `verdata.mul` override single records and replace blocks of
// the tile data, the animation data and whole fonts.
//
// Every read is bounded by the mappings: index entries past the end of an index file, records
// outside their data file and patch data outside `verdata.mul` are absent.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/data/block_cache.h"
#include "platform/mapped_file.h"
#include "platform/types.h"

// File numbers of the data-file table.
enum DataFileNumber : int {
    kFileMap = 0,
    kFileStaticsIndex = 1,
    kFileStatics = 2,
    kFileArtIndex = 3,
    kFileArt = 4,
    kFileAnimIndex = 5,
    kFileAnim = 6,
    kFileSoundIndex = 7,
    kFileSound = 8,
    kFileTextureIndex = 9,
    kFileTextures = 10,
    kFileGumpIndex = 11,
    kFileGumpArt = 12,
    kFileMultiIndex = 13,
    kFileMulti = 14,
    kFileSkillsIndex = 15,
    kFileSkills = 16,
    kDataFileCount = 17,
};

struct DataFileInfo {
    int number;
    s32 recordsPerBlock;
    s32 recordSize;  // -1: variable-size records
    const char* name;
};
const DataFileInfo& DataFileTable(int file);

constexpr s32 kIndexEntrySize = 12;
constexpr s32 kMapBlockBytes = 196;

// Patch file kinds of `verdata.mul` beyond the 17 data files.
constexpr u32 kPatchTileData = 30;
constexpr u32 kPatchAnimData = 31;
constexpr u32 kPatchFont = 33;

// Where the files are and how to use them (from the client's options).
struct DataCacheSettings {
    std::string hdDir;            // the install directory ("" or ending in '/')
    std::string cdDir;            // option CdRomDataPath ("" or ending in '/')
    bool maximumInstall = false;  // option HdUsage "max"
    int cacheSize = 0;            // option CacheSize; below 1 counts as 1
    bool useVerData = true;       // option UseVerData
};

class CDHDCache {
public:
    CDHDCache();
    ~CDHDCache();
    CDHDCache(const CDHDCache&) = delete;
    CDHDCache& operator=(const CDHDCache&) = delete;

    // Opens the 17 files and, unless the install is a maximum install, creates the block
    // cache. A file that opens nowhere ends the process with its message.
    void Init(const DataCacheSettings& settings);
    // Reads `verdata.mul` when UseVerData is on; silent when the file is missing.
    void LoadPatches();
    // Unmaps everything and forgets the patches (the state before Init).
    void Shutdown();

    // The record's bytes, or null (length 0) when it is absent. The pointer stays valid until
    // the next call into the cache.
    const u8* GetRecord(int indexFile, int dataFile, s32 id, s32* length, u32* extra);
    // One fixed-size record: a 12-byte index entry, or a 196-byte block of file 0; null when
    // the file does not hold it.
    const u8* GetIndexEntry(int file, s32 n);
    // Stores a replacement record in the installed files; a CD install only forgets its cached
    // copy. False when nothing was written.
    bool UpdateRecord(int indexFile, int dataFile, s32 id, u32 extra, const u8* data, s32 length);
    // The file's mapping; a number outside 0-16 ends the process.
    const platform::MappedFile& GetCDFile(int file);
    void CloseFile(int file);
    void ReopenFile(int file);

    bool IsOnHardDisk(int file) const { return file >= 0 && file < kDataFileCount && onHd_[file]; }
    bool HasBlockCache() const { return cache_.IsOpen(); }
    BlockCache& Cache() { return cache_; }
    const DataCacheSettings& Settings() const { return settings_; }

    // Receiver of the font patches (kind 33): the font table installs one, and refuses font
    // numbers outside its table. Until then font patches are logged once and skipped.
    using FontPatchHandler = std::function<void(u32 font, const u8* data, size_t length)>;
    static void SetFontPatchHandler(FontPatchHandler handler);

private:
    struct Patch {
        u32 id;
        u32 offset;
        u32 length;
        u32 extra;
    };
    const Patch* FindPatch(int file, u32 id) const;
    void ApplyPatchRecord(u32 file, const Patch& patch);
    std::string HdPath(int file) const;

    DataCacheSettings settings_;
    std::array<std::unique_ptr<platform::MappedFile>, kDataFileCount> files_;
    std::array<bool, kDataFileCount> onHd_{};
    BlockCache cache_;
    std::unique_ptr<platform::MappedFile> verdata_;
    // 17 x 1024 buckets; within a bucket the later record of the file comes last.
    std::vector<std::vector<Patch>> patches_;
};

// The client's one cache.
CDHDCache& TheDataCache();

// The art record of an id (index file 3, data file 4; ids below 0x4000 are land tiles, from
// 0x4000 statics); null when missing.
const u8* GetArtRecord(s32 id, s32* length = nullptr);
