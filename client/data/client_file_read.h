#pragma once
// Bounded reads of the client's own files (word lists, character colours, configuration).
#include <cstddef>
#include <string>

// Reads one of the client's own files from the install directory, at most `maxBytes` of it
// (with `prefixOnly` a longer file gives its first `maxBytes`, else it is refused). A file
// that is there but cannot be read (a directory, a device, no permission, too large) is
// reported on stderr with its path, the reason and `instead`, what happens in its place.
enum class ClientFileRead { kRead, kMissing, kFailed };
ClientFileRead ReadClientFile(const std::string& path, size_t maxBytes, bool prefixOnly,
                              std::string& out, const char* instead);
