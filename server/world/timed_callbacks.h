#pragma once
// Per-object timed callbacks: after so many pulses, perform one of 19 actions with a key
// (and possibly a text) on the object. Each object keeps the head of its own list (new
// nodes first); the world tick runs RunAllCallbacks once per pulse, which visits only the
// objects on the pending list whose earliest callback is due. A callback added with n ticks
// runs on the (n + 1)-th pulse after it was added.
//
// Actions are looked up in a table. Built: 1 and 6 delete the object, 2 empties a corpse
// onto the ground and deletes it, 3 ends a player's delayed log-out, 5 fires the script
// trigger "callback", 8 deletes a valueless object, 9 and 10 have no effect, 11 removes the
// object variable named by the text, 13 does the same and places the object again where it
// lies, 12 takes a ghost out of war mode, 17 expires a reputation mark, 18 and 19 remove
// "chaos" and "order". The others wait for the rules they act on (7 object speech): a due
// callback of such an action is kept, not run and not counted, and the first one logs that
// it is not built.
// An action may delete the object: the pass then stops and frees the object's remaining
// due callbacks. The objects given to actions are world objects (CItem).
#include "core/cstr.h"
#include "platform/types.h"

class CBaseObject;

struct TimedCallback {
    // The pulses left as of the object's last visit or change: a waiting object is not
    // counted down pulse by pulse (see callback_schedule.h). CallbackTicksLeft reads the
    // ticks as they stand.
    s32 ticks = 0;
    s32 key = 0;
    s32 action = 0;
    u32 serial = 0;        // the object whose list holds the node
    char* text = nullptr;  // owned copy, or null
    TimedCallback* next = nullptr;
};

constexpr int kCallbackActions = 20;  // 1..19; 0 is empty

using CallbackAction = void (*)(CBaseObject* object, s32 key, const char* text);
// Installs the effect of an action (1..19); null marks it not built. Either way its "not
// built" log entry may come again. Returns the previous effect.
CallbackAction SetCallbackAction(int action, CallbackAction effect);
bool IsCallbackActionBuilt(int action);

// The operations on one object's list (its head and its serial).
TimedCallback* AddCallback(TimedCallback*& head, u32 serial, s32 ticks, s32 action, s32 key,
                           const char* text);
void RemoveCallback(TimedCallback*& head, s32 action, s32 key);
bool HasCallback(const TimedCallback* head, s32 action, s32 key);
void ClearCallbacks(TimedCallback*& head);
// Puts the serial on the pending list when it is not there.
void EnsureCallbacksPending(u32 serial);
// The object left or rejoined the world or the serial index: its countdown stands still
// while it is detached or not found by serial. Whoever changes either calls this.
void CallbacksObjectMoved(CBaseObject* object);
// The pulses a callback has left before it comes due.
s32 CallbackTicksLeft(const TimedCallback& node);

// Finds the object, replaces its callbacks of that action and key by a new one; null when
// the serial names no object.
TimedCallback* ScheduleCallback(s32 ticks, u32 serial, s32 action, s32 key, const char* text);
// One pulse for one object: the number of due callbacks whose action ran (those of actions
// not built stay), 0 when it deleted itself.
int RunCallbacks(CBaseObject* object);
// The world tick's step: every pending object once.
void RunAllCallbacks();
int PendingCallbackObjects();

// Save text: "callback=" then "action key ticks " for every callback whose action is not
// 7, 10 or 11, then "0". False (nothing written) when no callback qualifies.
bool WriteCallbacks(const TimedCallback* head, CStr& out);
// Reads "action key ticks" triples up to an action of 0 (the text after "callback=") and
// adds them without text. Stops at malformed input; actions outside 1..19 are skipped.
// Returns the number added.
int ReadCallbacks(TimedCallback*& head, u32 serial, const char* text);
