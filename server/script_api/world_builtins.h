#pragma once
// The world builtins: the builtins through which scripts ask and change the world. The
// script language names them in its builtin table (script/language/builtin_table.h) and
// knows nothing of the world; their handlers live here, one file per family, call the world
// directly and are bound to the table's rows by name and signature when the server starts
// (BindWorldBuiltins, beside the language's own BindLanguageBuiltins).
//
// A new world builtin: its handler and its binding row go into the family's file
// (builtin_<family>.cpp), with the object validators (object_validators.h) for its object
// arguments; a new family adds its file, its list below and the list in WorldBuiltins().
#include <span>
#include <string>
#include <vector>

#include "script/runtime/builtin_binding.h"

// The bindings of one family each.
std::span<const BuiltinBinding> RegionBuiltins();  // builtin_regions.cpp
std::span<const BuiltinBinding> ObjVarBuiltins();  // builtin_obj_vars.cpp

// Every family's bindings, in the order above.
std::vector<BuiltinBinding> WorldBuiltins();
// Binds them all (BindBuiltins): false, with one line per fault in `error`, when a binding
// names no row or a row twice.
bool BindWorldBuiltins(std::string& error);
