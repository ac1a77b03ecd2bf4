#pragma once
// Object validators: every world builtin that acts on an object turns the script's serial
// into a live world object of the kind it needs. A serial that names nothing, a detached
// object or one of the wrong kind fails; the diagnostic is formed and discarded (nothing
// reaches the script or a player), and the builtin answers the zero of its result type.
#include "platform/types.h"

class CItem;

// The kinds the validators test.
enum class ScriptObjectKind : u8 { Any, Weapon, Mobile, Npc, Container, Player, Corpse, Map, Book };

// Resolving validator: the object or null. `who` is the builtin's name for the diagnostic.
CItem* ResolveObject(u32 serial, const char* who, ScriptObjectKind kind = ScriptObjectKind::Any);

// Check-and-call validator: the predicate's answer for a usable object, else 0.
using ObjectPredicate = int (*)(CItem* object);
int CheckObject(u32 serial, ObjectPredicate predicate, const char* who,
                ScriptObjectKind kind = ScriptObjectKind::Any);

// The diagnostic of the last failed validation (kept for tests; never shown).
const char* LastValidatorDiagnostic();
