#pragma once
// The script parser: turns the token stream of one class file into a CScriptClass in one
// recursive-descent pass. Control-flow keywords, operators and assignments compile into
// calls of builtin records; the parser itself knows declarations, calls, variables,
// constants and blocks. Operators have no precedence and apply left to right.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"
#include "script/language/script_class.h"
#include "script/language/string_table.h"

struct CompileNote {
    size_t offset;  // the token the note is about
    std::string text;
};

struct CompileReport {
    std::string error;       // empty on success
    size_t errorOffset = 0;  // the last token read when the compile failed
    // What the server accepts but does nothing with or keeps silently (an assignment that
    // emits nothing, a jump to a missing label, a repeated declaration). The script
    // compiler treats these as errors.
    std::vector<CompileNote> notes;
};

// Finds (loading and compiling when needed) the parent class named by `inherits`; null with
// an error when there is none. The parser refuses a parent that is being compiled itself.
using ParentClassResolver =
    std::function<const CScriptClass*(const std::string& name, std::string& error)>;

// Compiles one class. Null on a compile error; the report then says what and where.
std::unique_ptr<CScriptClass> CompileScriptClass(const u8* tokens, size_t size,
                                                 const ScriptStringTable& table,
                                                 const std::string& className,
                                                 const ParentClassResolver& resolveParent,
                                                 CompileReport& report);
