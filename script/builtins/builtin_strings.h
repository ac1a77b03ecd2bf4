#pragma once
// What the string builtins share with the assignments.
#include "platform/types.h"

// The decimal value at the start of a text (blanks skipped, optional sign); wraps.
s32 ScriptStrToInt(const char* text);
