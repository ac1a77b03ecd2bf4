#pragma once
// Placeholder until the call mechanism lands.
#include "script/builtin_table.h"
constexpr BuiltinHandler BuiltinIf = nullptr;
constexpr BuiltinHandler BuiltinJump = nullptr;
constexpr BuiltinHandler BuiltinNothing = nullptr;
constexpr BuiltinHandler BuiltinLoopBack = nullptr;
constexpr BuiltinHandler BuiltinSwitch = nullptr;
constexpr BuiltinHandler BuiltinReturnVoid = nullptr;
constexpr BuiltinHandler BuiltinReturnValue = nullptr;
constexpr BuiltinHandler BuiltinPlaceholder = nullptr;
