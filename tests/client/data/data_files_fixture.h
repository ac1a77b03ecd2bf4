#pragma once
// Install directories of data files for the data-layer tests, written with the content
// builder's own writers.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "client/data/data_file_cache.h"
#include "tools/content_builder/client_files.h"

inline std::vector<u8> Bytes(const std::string& s) {
    return std::vector<u8>(s.begin(), s.end());
}

inline void WriteBytes(const std::string& path, const std::vector<u8>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<u8> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<u8>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Writes all 17 data files into `dir`: empty, except art (ids 0.. of `art`) and the map
// blocks given.
inline void WriteDataFiles(const std::string& dir, const std::vector<IndexedRecord>& art,
                           const std::vector<u8>& map = {}) {
    for (int f = 0; f < kDataFileCount; ++f)
        WriteBytes(dir + "/" + DataFileTable(f).name, {});
    std::vector<u8> index, data;
    WriteIndexedRecords(art, index, data);
    WriteBytes(dir + "/artidx.mul", index);
    WriteBytes(dir + "/art.mul", data);
    WriteBytes(dir + "/map0.mul", map);
}

inline IndexedRecord Record(const std::string& bytes, u32 extra = 0) {
    return IndexedRecord{true, Bytes(bytes), extra};
}

inline std::string AsText(const u8* p, s32 length) {
    return p ? std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(length))
             : std::string("<null>");
}
