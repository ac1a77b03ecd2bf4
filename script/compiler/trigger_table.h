#pragma once
// The 71 triggers: their numbers, names, the argument a handler declares after the name and
// the implicit parameters its body sees.
#include <string_view>

#include "platform/types.h"

constexpr int kTriggerCount = 71;
// The number a handler with an unknown trigger name gets; no object ever receives it.
constexpr int kNoTrigger = 71;

enum class TriggerArgKind : u8 { None, Text, Int };

struct TriggerParam {
    const char* name;
    char type;  // signature character: o, i, s, c, l
};

struct TriggerInfo {
    const char* name;
    TriggerArgKind arg;
    int paramCount;
    TriggerParam params[4];
};

const TriggerInfo& GetTriggerInfo(int number);  // number 0..70
// The trigger number of a lower-case name, compared exactly; kNoTrigger when none.
int FindTriggerNumber(std::string_view name);
