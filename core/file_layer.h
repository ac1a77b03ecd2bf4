#pragma once
// The server's data files by number: a fixed table of paths (files, or directories whose
// files are named by the caller), opened through the data archive's file API.
#include <vector>

#include "core/archive.h"
#include "platform/types.h"

struct DataFileRecord {
    const char* path;  // null: the id has no file
    int isDirectory;
    int flag;  // kept with the record; nothing reads it
};

// The record of a data-file id, or null for an id outside the table.
const DataFileRecord* DataFilePath(int id);

// Opens data file `id` with `ArchiveOpen` and the mode: for a directory record its path
// followed by `name`, else the record's path (the name is not used). Null for an id
// without a record or a path, or when the open fails.
ArchiveHandle net_openfile(int id, const char* name, const char* mode);

// Reads an open data file whole (its size taken by seeking to the end); false when it cannot
// be sized or read.
bool ReadWholeArchiveFile(ArchiveHandle file, std::vector<u8>& out);

// A plain file on disk and its ".q" companion (the same name with ".q" appended) move or go
// together. Each answers true when the file itself was renamed or deleted and its companion,
// when there is one, followed it; false when the file could not be, and then the companion
// is not touched either; false too when the file went but an existing companion could not
// follow.
bool RenameDataFile(const char* from, const char* to);
bool DeleteDataFile(const char* path);
