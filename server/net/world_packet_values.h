#pragma once
// The world's answers to the values the item packets carry: resource units of stackable
// items, spellbook entries and multi types.
#include "server/net/object_packets.h"

const ItemPacketValues& GetWorldItemPacketValues();
