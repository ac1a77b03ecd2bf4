#pragma once
// The type-script bit set: one bit per object type 0..16383; objects of a type whose bit is
// set get that type's script attached. All clear at start; the world load fills it from
// `objscr.txt`.
#include <bitset>

using TypeScriptBitSet = std::bitset<0x4000>;

TypeScriptBitSet& TypeScriptBits();
