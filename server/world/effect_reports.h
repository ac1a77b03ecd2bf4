#pragma once
// What the world reports of a visual effect: a graphic effect between two places (a missile,
// an animation standing at a place or on a mobile, lightning) and a mobile's animation. The
// protocol turns each into its packet.
#include "core/location.h"
#include "platform/types.h"

// A graphic effect, with six parameter bytes in the caller's order.
struct GraphicEffect {
    int type = 0;
    u32 sourceSerial = 0;
    u32 targetSerial = 0;
    int graphic = 0;
    Location source;
    Location target;
    u8 params[6] = {};
};

// A mobile's animation with every value as the caller gives it (the packet keeps the low 16
// bits of action, frames and repeats and the low byte of the others).
struct MobileAnimation {
    u32 serial = 0;
    int action = 0;
    int frames = 0;
    int repeats = 0;
    int direction = 0;  // 0 forward
    int repeatFlag = 0;
    int delay = 0;
};
