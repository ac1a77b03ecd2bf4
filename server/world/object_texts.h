#pragma once
// How objects are named to players: the tile-name grammar (%plural/singular% pieces), the
// article of a single item, and the single-click look.
#include <string>

#include "core/tile_data_record.h"
#include "platform/types.h"

class CPlayer;

// The tile name with its '%' pieces resolved: for the plural the text between the opening
// '%' and the '/' (or the closing '%'), for the singular the text between the '/' and the
// closing '%'. Either part may be empty; an unclosed piece runs to the end of the name.
std::string ResolveTileName(const char* name, bool plural);
// The hue of each notoriety class 0-7 in a looked-at name.
int NotorietyHue(int notorietyClass);

// The single-click look (client packet 0x09, script doLookAt): 0 when no object has the
// serial. A hidden object gives no text unless the looker is in edit mode; a lookedat
// handler answering 0 suppresses it. Else the object's name goes to the looker as a text
// message (type 6, font 3). Answers 1 when the object was found.
int LookAtObject(CPlayer* looker, u32 serial);
