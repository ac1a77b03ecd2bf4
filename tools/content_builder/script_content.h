#pragma once
// The compiled demo scripts: the string table and one token file per class, compiled from
// the readable sources in content/scripts/.
#include <string>

class ArchiveBuilder;

// Compiles `<contentDir>/scripts` and adds every output member under the script directory
// the server reads. False with the compiler's file:line messages in `error`.
bool AddScripts(ArchiveBuilder& builder, const std::string& contentDir, std::string* error);
