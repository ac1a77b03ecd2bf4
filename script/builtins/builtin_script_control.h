#pragma once
// Script attachment, script message and object deletion builtins.
class BuiltinCall;

void BuiltinMessage(BuiltinCall& call);     // message "vosl"
void BuiltinMessageRet(BuiltinCall& call);  // messageret "ioosl"
void BuiltinHasScript(BuiltinCall& call);   // hasScript "ios"
void BuiltinAttachScript(BuiltinCall& call);
void BuiltinDetachScript(BuiltinCall& call);
void BuiltinDeleteObjectNoFall(BuiltinCall& call);  // deleteObjectNoFall "vo"
