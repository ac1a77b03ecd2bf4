#pragma once
// Decay of objects left lying in the world: a slow sweep over the serial hash gives each
// object a check from time to time; each check adds a step to its decay counter, and when the
// counter reaches the limit the object goes home or is deleted (a container first spilling its
// contents). A counter of 255 never decays.
#include "platform/types.h"

struct DecaySettings {
    u16 position = 0;         // next bucket of the serial hash
    int interval = 0;         // the sweep runs on pulses that are multiples of it; 0 never
    int bucketsPerSweep = 0;  // buckets visited per sweep
    int limit = 255;          // a counter reaching it decays the object
    u8 homeRate = 0;          // reported to scripts only
    u8 step = 0;              // added per check
    int mode = 2;
};

extern DecaySettings g_decay;

constexpr u8 kNeverDecays = 255;

// Mode 0: every object on its third check, the whole hash every 16,384 pulses. Mode 1: on the
// twelfth check, the whole hash every 32 pulses. Any other mode stops decay. Each restarts
// the sweep at bucket 0.
void SetDecayMode(int mode);
// The world tick's step: a sweep when the interval divides the pulse.
void DecayTick(s32 pulse);
void DecaySweep();
