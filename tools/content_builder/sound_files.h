#pragma once
// Sound effects in the client's soundidx.mul / sound.mul layout: one record per sound id, a
// 40-byte header (the sound's name, NUL-padded; the client does not play it) and then 16-bit
// mono samples at 22048 per second. Synthesised with integer arithmetic only, so the bytes are
// the same on every build.
#include <vector>

#include "tools/content_builder/client_files.h"

constexpr int kSoundHeaderBytes = 40;
constexpr int kSoundRate = 22048;

struct DemoSound {
    u32 id;
    const char* name;
};
// The sounds the client plays by id: footsteps (297-300), the refused drop (81), page turns
// (0x55), the containers' open and close sounds, the voices of the demo's animals (the
// "sfxnotice", "sfxidle", "sfxhit", "sfxwashit" and "sfxdie" numbers of their templates:
// 200, 210-214, 220-224), the weapons' hit and miss sounds (560-565, demo_sounds) and the
// players' death cries (337 female, 346 male).
const std::vector<DemoSound>& DemoSounds();

// Every sound record, index = sound id.
std::vector<IndexedRecord> BuildDemoSounds();
