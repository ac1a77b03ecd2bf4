#include "script/builtins/object_validators.h"

#include <cstdio>

namespace {

char gDiagnostic[256];

CBaseObject* Resolve(u32 serial, ScriptObjectKind kind, const char* format, const char* who) {
    ScriptObjectServices& link = GetScriptObjectServices();
    CBaseObject* object = serial ? link.FindBySerial(serial) : nullptr;
    if (object && !link.IsDetached(object) && link.IsKind(object, kind)) return object;
    std::snprintf(gDiagnostic, sizeof gDiagnostic, format, who ? who : "(null)");
    return nullptr;
}

}  // namespace

CBaseObject* ResolveObject(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Any, "%s: object id is invalid.\n", who);
}
CBaseObject* ResolveWeapon(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Weapon, "%s: weapon id is invalid.\n", who);
}
CBaseObject* ResolveMobile(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Mobile, "%s: mobile id is invalid.\n", who);
}
CBaseObject* ResolveNpc(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Npc, "%s: NPC id is invalid.\n", who);
}
CBaseObject* ResolveContainer(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Container, "%s: container id is invalid.\n", who);
}
CBaseObject* ResolvePlayer(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Player, "%s: player id is invalid.\n", who);
}
CBaseObject* ResolveCorpse(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Corpse, "%s: id is invalid.\n", who);
}
CBaseObject* ResolveMap(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Map, "%s: map id is invalid.\n", who);
}
CBaseObject* ResolveWritableBook(u32 serial, const char* who) {
    return Resolve(serial, ScriptObjectKind::Book, "%s: RWBook id is invalid.\n", who);
}

namespace {
int Check(u32 serial, ScriptObjectKind kind, const char* format, ObjectPredicate p,
          const char* who) {
    CBaseObject* object = Resolve(serial, kind, format, who);
    return object && p ? p(object) : 0;
}
}  // namespace

int CheckObject(u32 serial, ObjectPredicate p, const char* who) {
    return Check(serial, ScriptObjectKind::Any, "%s: tried to check invalid object.\n", p, who);
}
int CheckMobile(u32 serial, ObjectPredicate p, const char* who) {
    return Check(serial, ScriptObjectKind::Mobile, "%s: tried to check invalid mobile.\n", p, who);
}
int CheckContainer(u32 serial, ObjectPredicate p, const char* who) {
    return Check(serial, ScriptObjectKind::Container, "%s: tried to check invalid container.\n", p,
                 who);
}
int CheckPlayer(u32 serial, ObjectPredicate p, const char* who) {
    return Check(serial, ScriptObjectKind::Player, "%s: tried to check invalid player.\n", p, who);
}

const char* LastValidatorDiagnostic() {
    return gDiagnostic;
}
