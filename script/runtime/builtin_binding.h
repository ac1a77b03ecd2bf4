#pragma once
// The handlers of the builtin rows. The language names every builtin with its signature
// (script/language/builtin_table.h); what runs a call is bound to its row when the host
// starts, by name and signature: the language's own builtins (BindLanguageBuiltins,
// script/builtins/language_builtins.h) and the host's (the server binds its world builtins).
// A row with no handler is a builtin not built yet: calling it stops the script thread with
// a log line naming it.
#include <span>
#include <string>

#include "script/runtime/builtin_call.h"

// One handler for the row of exactly this name and signature.
struct BuiltinBinding {
    const char* name;
    const char* signature;
    BuiltinHandler handler;
};

// Binds the handlers, all or nothing. False, binding none of them, when any names no row,
// has no handler, names a row twice, or names a row already bound to another handler;
// `error` then gets one line per fault naming the builtin and its signature. Binding a row
// again to the handler it has changes nothing, so a host or a test may bind its lists more
// than once.
bool BindBuiltins(std::span<const BuiltinBinding> bindings, std::string& error);

// The handler bound to a row of the table; null when none is (or the row is not one of the
// table's).
BuiltinHandler BoundHandler(const BuiltinRecord& record);
