#include "script/script_world_link.h"

#include "server/world/world_services.h"

namespace {
ScriptObjectLink gDefaultObjects;
ScriptObjectLink* gObjects = &gDefaultObjects;
ScriptTimeLink gDefaultTime;
ScriptTimeLink* gTime = &gDefaultTime;
}  // namespace

CBaseObject* ScriptObjectLink::FindBySerial(u32 serial) {
    return GetWorldServices().FindBySerial(serial);
}

void ScriptObjectLink::DeleteObject(CBaseObject* object) {
    GetWorldServices().DeleteSelf(object);
}

ScriptObjectLink& GetScriptObjectLink() {
    return *gObjects;
}
void SetScriptObjectLink(ScriptObjectLink* link) {
    gObjects = link ? link : &gDefaultObjects;
}
ScriptTimeLink& GetScriptTimeLink() {
    return *gTime;
}
void SetScriptTimeLink(ScriptTimeLink* link) {
    gTime = link ? link : &gDefaultTime;
}
