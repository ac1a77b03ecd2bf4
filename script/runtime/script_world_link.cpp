#include "script/runtime/script_world_link.h"

#include "server/world/world_script_link.h"
#include "server/world/world_services.h"

namespace {
ScriptObjectLink* gObjects = nullptr;  // null: the world model's
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
    return gObjects ? *gObjects : WorldScriptObjectLink();
}
void SetScriptObjectLink(ScriptObjectLink* link) {
    gObjects = link;
}
ScriptTimeLink& GetScriptTimeLink() {
    return *gTime;
}
void SetScriptTimeLink(ScriptTimeLink* link) {
    gTime = link ? link : &gDefaultTime;
}
