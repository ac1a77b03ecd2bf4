#pragma once
// Gump art sources for tests, installed while they exist: records kept in memory by id, or
// the pair gumpidx.mul / gumpart.mul read from their bytes (12-byte index entries {offset,
// length, extra}, offset -1 for none).
#include <cstring>
#include <map>
#include <vector>

#include "client/data/gump_art.h"

class ScopedGumpArtServices : public GumpArtServices {
public:
    ScopedGumpArtServices() : previous_(SetGumpArtServices(this)) {}
    ~ScopedGumpArtServices() override { SetGumpArtServices(previous_); }
    ScopedGumpArtServices(const ScopedGumpArtServices&) = delete;
    ScopedGumpArtServices& operator=(const ScopedGumpArtServices&) = delete;

private:
    GumpArtServices* previous_;
};

class GumpRecordsSource : public ScopedGumpArtServices {
public:
    void Put(u32 id, std::vector<u8> bytes, int width, int height) {
        records_[id] = {std::move(bytes), static_cast<u32>(width) << 16 | static_cast<u32>(height)};
    }
    bool FindGumpArt(u32 id, GumpArtRecord& out) override {
        auto it = records_.find(id);
        if (it == records_.end()) return false;
        out = GumpArtRecord{it->second.bytes.data(), it->second.bytes.size(), it->second.extra};
        return true;
    }

private:
    struct Stored {
        std::vector<u8> bytes;
        u32 extra;
    };
    std::map<u32, Stored> records_;
};

class GumpFilesSource : public ScopedGumpArtServices {
public:
    GumpFilesSource(std::vector<u8> index, std::vector<u8> data)
        : index_(std::move(index)), data_(std::move(data)) {}
    bool FindGumpArt(u32 id, GumpArtRecord& out) override {
        if ((index_.size() / 12) <= id) return false;
        s32 offset, length;
        u32 extra;
        std::memcpy(&offset, &index_[12 * size_t{id}], 4);
        std::memcpy(&length, &index_[12 * size_t{id} + 4], 4);
        std::memcpy(&extra, &index_[12 * size_t{id} + 8], 4);
        if (offset < 0 || length <= 0 || static_cast<size_t>(offset) > data_.size() ||
            data_.size() - static_cast<size_t>(offset) < static_cast<size_t>(length))
            return false;
        out = GumpArtRecord{data_.data() + offset, static_cast<size_t>(length), extra};
        return true;
    }

private:
    std::vector<u8> index_;
    std::vector<u8> data_;
};
