#pragma once
// Rebuilding the dynamic objects of the world from their saved records at start-up: each
// object is made by its class letter, takes its fields, joins its container, its wearer or
// its cell, gets its scripts and variables back; afterwards followers rejoin their leaders,
// scripted objects hear "objectloaded" and every loaded character starts logged out.
//
// Lists come back in the order they were saved in: cell chains, contents, scripts,
// variables, resources and callbacks. An object that cannot be kept is dropped and counted
// by reason; a character whose serial another object holds is an error, never a second
// object under one serial.
//
// A record's container is looked up by serial: it is an object of the same cell's record read
// before it, or anything a live character holds. Nothing here recurses along a container
// chain, and a quit request ends the load between two records (the report says it was cut
// short).
#include <string>
#include <vector>

#include "platform/types.h"
#include "server/world/object_fields.h"

struct DynamicLoadReport {
    int loaded = 0;
    int dropped[static_cast<int>(DropReason::kCount)] = {};
    // Set when the load cannot go on (a character's serial is taken).
    std::string error;
    // The quit request ended the load before its last record.
    bool cutShort = false;
    int Dropped(DropReason reason) const { return dropped[static_cast<int>(reason)]; }
    int DroppedTotal() const;
};

// The name of a drop reason, for the log.
const char* DropReasonName(DropReason reason);

// Reads one cell's record of NUL-terminated strings (never past `length`). Answers 0, or -1
// when the report's error was set.
int ParseObjectRecords(int cell, const u8* bytes, size_t length, DynamicLoadReport& report);

// Reads every cell's record of the dynamic pair (12-byte index entries: offset, length,
// extra; offset 0xFFFFFFFF for none). `fileName` names the pair in errors. Answers 0, or -1
// with the report's error set. The drops are logged with a count per reason.
int LoadDynamicObjects(const std::vector<u8>& index, const std::vector<u8>& data,
                       const std::string& fileName, DynamicLoadReport* report = nullptr);

// "objectloaded" held back while the world loads: from BeginDeferLoadedTriggers on, the
// scripted objects the loader finishes are queued; EndDeferLoadedTriggers stops queueing and
// sends the trigger to every queued object that still exists.
void BeginDeferLoadedTriggers();
void EndDeferLoadedTriggers();
int QueuedLoadedTriggerCount();
