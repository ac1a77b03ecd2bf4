#pragma once
// The server's feature flag: bit 0 of what packet 0xB9 carries. The paperdoll reads it when
// it is built (0: its optional button is unavailable).
#include "platform/types.h"

void SetServerFeatureFlag(u16 value);
int GetServerFeatureFlag();
