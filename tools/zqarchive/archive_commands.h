#pragma once
// The commands of the archive tool. Each prints its own error lines on stderr and answers
// the process exit code (0 success, 1 failure).
#include <string>
#include <vector>

#include "core/archive_key.h"
#include "platform/types.h"

// A member packed writable, optionally with a capacity in bytes.
struct WritableMember {
    std::string path;  // as given, relative to the packed directory or with the prefix
    u32 capacity = 0;
    bool used = false;
};

struct PackOptions {
    std::string prefix;  // put in front of every member's path
    std::vector<WritableMember> writable;
};

int PackCommand(const std::string& dir, const std::string& archive, PackOptions& options,
                const ArchiveKey& key);
int ListCommand(const std::string& archive, const ArchiveKey& key);
int ExtractCommand(const std::string& archive, const std::string& dir, const std::string& prefix,
                   const ArchiveKey& key);
int CatCommand(const std::string& archive, const std::string& member, const ArchiveKey& key);

// 64 hex digits to a key; false when malformed.
bool ParseKey(const std::string& hex, ArchiveKey& key);
