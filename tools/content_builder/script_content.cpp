#include "tools/content_builder/script_content.h"

#include <filesystem>
#include <utility>
#include <vector>

#include "core/archive_builder.h"
#include "script/compiler/script_compiler.h"

bool AddScripts(ArchiveBuilder& builder, const std::string& contentDir, std::string* error) {
    const std::string dir = contentDir + "/scripts";
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return true;  // a world without scripts
    std::vector<std::pair<std::string, std::vector<u8>>> members;
    std::string errors;
    if (!CompileScriptDirectory(dir, members, errors)) {
        if (error) *error = "the demo scripts do not compile:\n" + errors;
        return false;
    }
    for (auto& [name, bytes] : members) {
        const std::string path = std::string(kScriptDataDirectory) + name;
        if (!builder.Add(path, bytes)) {
            if (error) *error = "cannot add " + path + ": " + builder.Error();
            return false;
        }
    }
    return true;
}
