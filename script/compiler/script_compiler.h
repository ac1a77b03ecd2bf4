#pragma once
// Our script compiler: turns readable script sources (".zqs", C-like) into the token files
// ("<class>.m") and the shared string table ("sdb.txt") that the server loads. Every source
// construct maps onto the token stream the server's parser accepts; what the server would
// mis-handle is refused with "file:line: message" errors. After tokenising, each class is
// compiled by the server's own parser, so a script that compiles here loads there.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/types.h"
#include "script/language/string_table.h"

struct ScriptSource {
    std::string fileName;   // for messages
    std::string className;  // the token file is "<className>.m"
    std::string text;
};

class ScriptCompiler {
public:
    // Tokenises one source into the shared string table. False with errors appended.
    bool AddSource(const ScriptSource& source, std::string& errors);
    // Compiles every added class with the server's parser (parents from the added set).
    // False with errors appended.
    bool Validate(std::string& errors);

    const ScriptStringTable& Strings() const { return strings_; }
    // The token files by class name.
    const std::map<std::string, std::vector<u8>>& TokenFiles() const { return tokens_; }

private:
    struct LineMap {
        std::string fileName;
        std::vector<std::pair<size_t, int>> offsets;  // token offset -> source line
        int LineAt(size_t offset) const;
    };

    ScriptStringTable strings_;
    std::map<std::string, std::vector<u8>> tokens_;
    std::map<std::string, LineMap> lines_;
};

// The data-file directory the server reads the members from: the content builder stores
// member "sdb.txt" as kScriptDataDirectory + "sdb.txt", and so on.
constexpr const char* kScriptDataDirectory = "../.rundir/scripts/";

// Compiles every "*.zqs" file of a directory (in name order; the class name is the file name
// without ".zqs"). On success outMembers holds "sdb.txt" and one "<class>.m" per class, in a
// fixed order, ready to be packed into the archive's "scripts/" directory. On failure the
// errors say what and where ("file:line: message"), one per line.
bool CompileScriptDirectory(const std::string& dir,
                            std::vector<std::pair<std::string, std::vector<u8>>>& outMembers,
                            std::string& errors);
// The same for the named source files, in the order given (a class's parent must be among
// them).
bool CompileScriptFiles(const std::vector<std::string>& files,
                        std::vector<std::pair<std::string, std::vector<u8>>>& outMembers,
                        std::string& errors);
