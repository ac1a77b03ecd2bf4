#pragma once
// The language's own builtins: control flow, operators and assignments, lists, strings and
// script control (messages, attaching and detaching scripts, a handler's answers). They act
// on script values and on the scripts attached to objects, never on the world: the host
// binds the world's builtins itself. Each family keeps its handlers and its list of
// bindings in its own file; BindLanguageBuiltins binds every family, and every place that
// runs scripts (the server's start-up, the script tests, tools, fuzz targets, benchmarks)
// calls it before the first script runs.
#include <span>
#include <string>
#include <vector>

#include "script/runtime/builtin_binding.h"

// The bindings of one family each.
std::span<const BuiltinBinding> ControlFlowBuiltins();    // builtin_control_flow.cpp
std::span<const BuiltinBinding> OperatorBuiltins();       // builtin_operators.cpp
std::span<const BuiltinBinding> ListBuiltins();           // builtin_lists.cpp
std::span<const BuiltinBinding> StringBuiltins();         // builtin_strings.cpp
std::span<const BuiltinBinding> ScriptControlBuiltins();  // builtin_script_control.cpp

// Every family's bindings, in the order above.
std::vector<BuiltinBinding> LanguageBuiltins();
// Binds them all (BindBuiltins): false, with one line per fault in `error`, when a binding
// names no row or a row twice.
bool BindLanguageBuiltins(std::string& error);
