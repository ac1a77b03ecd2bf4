#pragma once
// The mobile's alignment flag bytes, derived from the resources it holds.
#include "platform/types.h"

class CMobile;

// The sides of the bytes: byte A holds those the mobile belongs to, byte B those it is
// hostile to.
constexpr u8 kSideMeat = 0x01;
constexpr u8 kSideHumans = 0x02;
constexpr u8 kSideEvil = 0x04;
constexpr u8 kSideGood = 0x08;

// Both bytes again from the kind-3 amounts held of "good", "evil", "humans", "meat" and
// "CARNIVOREMEAT": holding a kind puts the mobile on that side (byte A), holding a negative
// amount of it makes the mobile hostile to whoever holds it (byte B). Run after creation from
// a template and after loading, since the bytes are not saved.
void DeriveAlignmentFlags(CMobile& mobile);
