#pragma once
// How large a script value may grow. A handler that builds a value without end (a string
// doubled in a loop, a list appended to itself) would otherwise eat the server's memory, or
// keep it copying ever larger values while its statement budget is far away. An operation
// that would pass a limit is not done: the running thread stops with a log line naming its
// class, its handler and the statement.
#include <string>

#include "platform/types.h"

// A string at most this many bytes, a ustring this many bytes (two per unit), and a list
// at most this many bytes of text in its strings and ustrings, nested lists included.
constexpr s32 kMaxScriptTextBytes = s32{16} << 20;
// A list at most this many elements, the elements of lists inside it included.
constexpr s32 kMaxScriptListItems = 1'000'000;

// The bytes a ustring of the given length takes against kMaxScriptTextBytes.
constexpr s64 UStringTextBytes(s64 units) {
    return units * 2;
}

// Whether a string of that many bytes is allowed.
constexpr bool ScriptTextFits(s64 bytes) {
    return bytes <= kMaxScriptTextBytes;
}

// The reasons the limits give, for the log line.
std::string StringOverLimitReason();
std::string ListItemsOverLimitReason();
std::string ListTextOverLimitReason();

// Stops the running thread because an operation would pass a limit (the reason says which);
// logged once per thread. Without a running thread the refusal is logged once per reason in a
// row, so a loader refusing item after item does not flood the log.
void StopScriptOverLimit(const std::string& reason);
