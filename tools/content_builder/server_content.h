#pragma once
// The server's configuration member of the demo archive.
#include <string>

class ArchiveBuilder;

inline constexpr const char* kDefaultWorldName = "ZQGoldDemo";

// The text of `server.txt` when the content folder has none: the demo world's defaults.
std::string DefaultServerTxt();

// The world's `server.txt`: `<contentDir>/server.txt`, else the defaults. False with a
// message in `error` when the file is there but cannot be read.
bool ReadServerTxt(const std::string& contentDir, std::string& text, std::string* error);

// Adds the text of the world's `server.txt` under the path the server opens for `worldName`.
// False with a message in `error`.
bool AddServerConfig(ArchiveBuilder& builder, const std::string& serverTxt,
                     const std::string& worldName, std::string* error);
