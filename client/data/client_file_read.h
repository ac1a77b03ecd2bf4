#pragma once
// Bounded reads of the client's own files (data tables, fonts, hues, pictures, word lists,
// character colours, configuration): every file the client reads whole comes through here.
#include <cstddef>
#include <string>

// Reads one of the client's own files from the install directory, at most `maxBytes` of it
// (with `prefixOnly` a longer file gives its first `maxBytes`, else it is refused). A file
// that is there but cannot be read (a directory, a device, a pipe, no permission, too large)
// is reported on stderr with its path, the reason and `instead`, what happens in its place.
enum class ClientFileRead { kRead, kMissing, kFailed };
ClientFileRead ReadClientFile(const std::string& path, size_t maxBytes, bool prefixOnly,
                              std::string& out, const char* instead);

// Reports on stderr a file that was read but is damaged: its path, what is wrong with it
// ("is 10 bytes, 265500 expected") and what happens instead.
void ReportDamagedClientFile(const std::string& path, const std::string& what, const char* instead);
// The same for a file shorter than its fixed layout.
void ReportShortClientFile(const std::string& path, size_t size, size_t expected,
                           const char* instead);
