#pragma once
// The builtin table: every builtin function of the script language as a row of its name and
// its signature. The compiler looks rows up by name and argument types (FindBuiltin) and
// stores them in call nodes. The handlers that run them are bound to the rows by name and
// signature when the host starts (script/runtime/builtin_binding.h): the language's own
// builtins from script/builtins/, the world's from the server that embeds the language.
//
// Signature text: the result character, then one character per argument (i int, s string,
// q ustring, c location, o object, l list, v void result, u any type). Upper case marks a
// by-reference argument. After '|' come hidden operands the compiler adds itself: i a jump
// target, j a switch jump table.
#include <span>
#include <string>
#include <string_view>

#include "platform/types.h"

struct BuiltinRecord {
    const char* name;
    const char* signature;
};

// All records in table order (the overloads of a name in the order they are tried).
std::span<const BuiltinRecord> BuiltinTable();

// The first record whose name and signature fit the call signature: a result character
// ('u' when any result will do) and one character per argument ('u' for an argument of
// unknown type, '*' accepts whatever follows). The first twenty records (the control-flow
// keywords) also match their keyword's class name, with every class above TK_RETURN
// standing for TK_RETURN. Null when none fits.
const BuiltinRecord* FindBuiltin(std::string_view name, std::string_view callSignature);
// True when some record has this exact name.
bool IsBuiltinName(std::string_view name);
// The compile error text of a failed lookup (a null name or signature prints "(null)").
std::string FormatBuiltinNotFound(const char* name, const char* callSignature);

// Signature helpers.
char BuiltinResultChar(const BuiltinRecord& record);
// Every argument character, hidden operands included ('|' not counted).
int BuiltinArgCount(const BuiltinRecord& record);
// The index of a record in the table.
int BuiltinIndex(const BuiltinRecord& record);
