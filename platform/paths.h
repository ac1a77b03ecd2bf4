#pragma once
// Where the program finds its own directory and the user's configuration directory.
#include <string>

namespace platform {

// The directory the game runs from: $ZQ_RUN_DIR when set (tests), else the working
// directory, where the server also finds its data archive; no trailing slash ("." when
// unknown).
std::string RunDirectory();
// The full path of the running executable (empty when unknown).
std::string ExecutablePath();
// The per-user configuration directory of the program: $ZQ_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/zqdemo, else $HOME/.config/zqdemo, else the run directory. Not created.
std::string UserConfigDirectory();
// Creates a directory and its parents; true when it exists afterwards.
bool MakeDirectories(const std::string& path);

}  // namespace platform
