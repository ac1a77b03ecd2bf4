#pragma once
// The effect sequence: while it is open, every effect (graphic effects, missiles, mobile
// animations, sounds) is kept as a record instead of being sent, and the places it touches
// are gathered; sending it frames the records' packets between a start and an end marker
// for the players near those places, so that their clients play them as one. There is one,
// g_effectSequence; nothing nests.
#include <cstddef>
#include <vector>

#include "core/location.h"
#include "platform/types.h"

class EffectSequence {
public:
    // A sequence never ended would grow without end: past this many records further ones
    // are dropped (with one log line per sequence).
    static constexpr size_t kMaxRecords = 65536;

    struct Record {
        int kind = 0;
        std::vector<u8> data;
    };

    bool IsOpen() const { return open_; }
    // Opens the sequence; an open one stays as it is.
    void Open() { open_ = true; }
    // Adds the place unless an equal one (x, y and z) is already listed.
    void AddLocation(const Location& at);
    // Appends a record with a copy of the bytes; false (nothing kept) once the sequence holds
    // kMaxRecords records.
    bool AddRecord(int kind, const u8* data, size_t n);
    // The places first, then the record; nothing at all when the record would be dropped.
    bool Append(int kind, const std::vector<u8>& data, const Location& first,
                const Location* second = nullptr);
    // Sends the start marker (0), each record's packet in order, and the end marker (the low
    // byte of `endValue`, 0 taken as 1) to the players within 18 tiles of any place. The
    // caller clears the sequence afterwards.
    void Send(int endValue) const;
    // Closed, without places or records.
    void Clear();

    const std::vector<Location>& Places() const { return places_; }
    const std::vector<Record>& Records() const { return records_; }

private:
    bool open_ = false;
    bool dropLogged_ = false;
    std::vector<Location> places_;
    std::vector<Record> records_;
};

extern EffectSequence g_effectSequence;
