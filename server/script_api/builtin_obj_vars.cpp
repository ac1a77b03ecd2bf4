// The object variable builtins: scripts read the named, typed variables that hang on world
// objects. A read resolves its object (a detached one is not read); a missing variable, or
// one of another type, gives the default of the wanted type.
#include "core/location.h"
#include "script/runtime/obj_attachments.h"
#include "server/script_api/object_validators.h"
#include "server/script_api/world_builtins.h"
#include "server/world/item.h"

namespace {

// The attachment set of the object a read names, or null when the serial names no usable
// object (the validator's diagnostic is discarded).
const CObjAttachments* VariablesOf(BuiltinCall& c, int arg) {
    CItem* object = ResolveObject(static_cast<u32>(c.Int(arg)), "getObjVar");
    return object ? object->ScriptAttachments() : nullptr;
}

// getObjVar (object, name) -> int: the int variable, else 0.
void GetObjVarInt(BuiltinCall& c) {
    s32 value = 0;
    ObjVars::GetInt(VariablesOf(c, 0), c.Str(1).CText(), value);
    c.SetInt(value);
}

// getObjVar (object, name) -> string: the string variable, else the empty string.
void GetObjVarString(BuiltinCall& c) {
    if (const CStr* value = ObjVars::GetString(VariablesOf(c, 0), c.Str(1).CText()))
        c.ResultString() = *value;
}

// getObjVar (object, name) -> location: the location variable, else (-1, -1, 0).
void GetObjVarLocation(BuiltinCall& c) {
    Location value(-1, -1, 0);
    ObjVars::GetLocation(VariablesOf(c, 0), c.Str(1).CText(), value);
    c.SetLocation(value);
}

// getObjVar (object, name) -> object: the serial the object variable holds, else 0.
void GetObjVarObject(BuiltinCall& c) {
    u32 value = 0;
    ObjVars::GetObject(VariablesOf(c, 0), c.Str(1).CText(), value);
    c.SetInt(static_cast<s32>(value));
}

constexpr BuiltinBinding kBindings[] = {
    {"getObjVar", "ios", GetObjVarInt},          {"getObjVar", "sos", GetObjVarString},
    {"getObjVar", "cos", GetObjVarLocation},     {"getObjVar", "oos", GetObjVarObject},
    {"getobjvar_int", "ios", GetObjVarInt},      {"getobjvar_str", "sos", GetObjVarString},
    {"getobjvar_loc", "cos", GetObjVarLocation}, {"getobjvar_obj", "oos", GetObjVarObject},
};

}  // namespace

std::span<const BuiltinBinding> ObjVarBuiltins() {
    return kBindings;
}
