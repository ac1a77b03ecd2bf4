#include "server/script_api/object_validators.h"

#include <cstdio>

#include "server/world/item.h"
#include "server/world/object_manager.h"

namespace {

// The graphics of a book a player can write in.
constexpr u16 kWritableBookGraphics[] = {4081, 4082};

bool IsWritableBookGraphic(int graphic) {
    for (u16 g : kWritableBookGraphics) {
        if (graphic == g) return true;
    }
    return false;
}

bool IsOfKind(const CItem& item, ScriptObjectKind kind) {
    switch (kind) {
        case ScriptObjectKind::Any:
            return true;
        case ScriptObjectKind::Player:
            return item.IsPlayer();
        case ScriptObjectKind::Weapon:
            return item.IsWeapon();
        case ScriptObjectKind::Mobile:
            return item.IsMobile();
        case ScriptObjectKind::Npc:
            return item.IsNPC();
        case ScriptObjectKind::Container:
            return item.IsContainer();
        case ScriptObjectKind::Corpse:
            return item.IsCorpse();
        case ScriptObjectKind::Map:
            return item.IsMap();
        case ScriptObjectKind::Book:
            return IsWritableBookGraphic(item.GetType());
    }
    return false;
}

// What a failed validation says, per kind: when resolving and when checking.
struct KindDiagnostics {
    ScriptObjectKind kind;
    const char* resolve;
    const char* check;
};

constexpr KindDiagnostics kDiagnostics[] = {
    {ScriptObjectKind::Any, "%s: object id is invalid.\n", "%s: tried to check invalid object.\n"},
    {ScriptObjectKind::Weapon, "%s: weapon id is invalid.\n",
     "%s: tried to check invalid weapon.\n"},
    {ScriptObjectKind::Mobile, "%s: mobile id is invalid.\n",
     "%s: tried to check invalid mobile.\n"},
    {ScriptObjectKind::Npc, "%s: NPC id is invalid.\n", "%s: tried to check invalid NPC.\n"},
    {ScriptObjectKind::Container, "%s: container id is invalid.\n",
     "%s: tried to check invalid container.\n"},
    {ScriptObjectKind::Player, "%s: player id is invalid.\n",
     "%s: tried to check invalid player.\n"},
    {ScriptObjectKind::Corpse, "%s: id is invalid.\n", "%s: tried to check invalid corpse.\n"},
    {ScriptObjectKind::Map, "%s: map id is invalid.\n", "%s: tried to check invalid map.\n"},
    {ScriptObjectKind::Book, "%s: RWBook id is invalid.\n", "%s: tried to check invalid RWBook.\n"},
};

const KindDiagnostics& DiagnosticsOf(ScriptObjectKind kind) {
    for (const KindDiagnostics& d : kDiagnostics) {
        if (d.kind == kind) return d;
    }
    return kDiagnostics[0];
}

char g_diagnostic[256];

CItem* Resolve(u32 serial, ScriptObjectKind kind, const char* format, const char* who) {
    CItem* object = serial ? g_objectManager.FindBySerial(serial) : nullptr;
    if (object && !object->IsDetached() && IsOfKind(*object, kind)) return object;
    std::snprintf(g_diagnostic, sizeof g_diagnostic, format, who ? who : "(null)");
    return nullptr;
}

}  // namespace

CItem* ResolveObject(u32 serial, const char* who, ScriptObjectKind kind) {
    return Resolve(serial, kind, DiagnosticsOf(kind).resolve, who);
}

int CheckObject(u32 serial, ObjectPredicate predicate, const char* who, ScriptObjectKind kind) {
    CItem* object = Resolve(serial, kind, DiagnosticsOf(kind).check, who);
    return object && predicate ? predicate(object) : 0;
}

const char* LastValidatorDiagnostic() {
    return g_diagnostic;
}
