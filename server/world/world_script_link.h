#pragma once
// The world model's side of the script runtime: world objects (CItem) as the runtime sees
// them (attachment set, timed callbacks, the player test, range listeners, type scripts, the
// object order of sortList), the trigger services the world model calls (sending a trigger with the
// world's argument record, handler ranges, freeing an object's scripts), and sending a trigger
// to every object near a place.
#include "core/location.h"
#include "platform/types.h"

class CItem;
struct ScriptTriggerArgs;

class ScriptObjectServices;
class TriggerServices;

// The world model's object services and trigger services, one of each for the process;
// InstallServerServices puts them in force.
ScriptObjectServices& WorldScriptObjectServices();
TriggerServices& WorldScriptTriggerServices();

// Sends the trigger to every object whose Chebyshev distance to the place is below the
// range (strictly), cell by cell; 0 as soon as one dispatch answers 0, else 1.
int SendTriggerInRange(const Location& at, int range, int trigger, const ScriptTriggerArgs& args);
