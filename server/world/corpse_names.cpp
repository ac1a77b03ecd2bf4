#include "server/world/corpse_names.h"

#include <cstring>

#include "core/cstr.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "server/world/container.h"

namespace {

void SetLookAtText(CCorpse& corpse, const CStr& text) {
    ObjVars::Set(corpse.ScriptAttachments(), "lookAtText", kTypeString, ScriptListValue::Ptr(&text));
}

}  // namespace

void SetCorpseKindName(CCorpse& corpse, const char* kind) {
    CStr text(kind ? kind : "");
    if (!text.IsEmpty()) text += " ";
    text += "corpse";
    const bool vowel = std::strchr("aeiou", text.CText()[0]) != nullptr;
    CStr named(vowel ? "an " : "a ");
    named += text;
    SetLookAtText(corpse, named);
}

void SetCorpseOwnerName(CCorpse& corpse, const char* owner) {
    CStr text("a corpse of ");
    text += owner ? owner : "";
    SetLookAtText(corpse, text);
}
