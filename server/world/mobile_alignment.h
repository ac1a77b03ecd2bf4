#pragma once
// The mobile's alignment flag bytes, derived from the resources it holds.
class CMobile;

// Both bytes again from the kind-3 amounts held of "good", "evil", "humans", "meat" and
// "CARNIVOREMEAT": holding a kind puts the mobile on that side (byte A), holding a negative
// amount of it makes the mobile hostile to whoever holds it (byte B). Run after creation from
// a template and after loading, since the bytes are not saved.
void DeriveAlignmentFlags(CMobile& mobile);
