#pragma once
// The server's configuration member of the demo archive.
#include <string>

class ArchiveBuilder;

inline constexpr const char* kDefaultWorldName = "ZQGoldDemo";

// The text of `server.txt` when the content folder has none: the demo world's defaults.
std::string DefaultServerTxt();

// Adds the world's `server.txt` (from `<contentDir>/server.txt`, else the defaults) under
// the path the server opens for `worldName`. False with a message in `error`.
bool AddServerConfig(ArchiveBuilder& builder, const std::string& contentDir,
                     const std::string& worldName, std::string* error);
