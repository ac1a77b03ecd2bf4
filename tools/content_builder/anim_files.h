#pragma once
// Mobile animations in the client's anim.idx / anim.mul layout: one record per animation id
// (35000 + (body - 400) x 175 + 5 x action + stored direction for bodies from 400): 256 16-bit
// palette colours, a u32 frame count at byte 512, one u32 offset per frame counted from byte
// 512, and per frame {s16 centre x, centre y, width, height} then runs, each a u32 header
// (count bits 0-11, y offset bits 12-21, x offset bits 22-31, both signed and relative to the
// anchor) followed by count palette indices, ended by 0x7FFF7FFF.
//
// The demo has the human bodies 400 (male) and 401 (female) and the worn layers of the tile
// set (hair, beards, clothes, boots, the leather armour, the weapons) standing (4), walking
// (0), running (2), in war stance (7, 15), dying (21, 22) and riding (23, 24, 25), five stored
// directions each, their gestures (5, 6, 33) and their fight: the blows on foot (9-14, 18, 31)
// and mounted (26-29), being hit (20) and dodging (30); the mount under a rider
// (kMountAnimation: 23, 24, 25); and a few creatures walking, standing, dying, making the
// gestures of their band, striking and being hit.
#include <vector>

#include "tools/content_builder/client_files.h"

// The actions every human body and worn layer has (the gestures included).
const std::vector<int>& DemoHumanActions();
// Frames of an action.
int DemoActionFrames(int action);
// The animation id of a body (400 and above), action and stored direction 0-4.
u32 HumanAnimationId(int body, int action, int direction);

// The animation id of any body: below 200 body x 110, 200-399 22000 + (body - 200) x 65, from
// 400 35000 + (body - 400) x 175; then + 5 x action + stored direction.
u32 AnimationId(int body, int action, int direction);

// The deer's body, of the band 150-199.
constexpr int kDemoDeerBody = 170;

// The demo's creatures: a body below 150, one of 150-199 and one of 200-399, each with
// {action, frames}: walking, standing, dying and the gestures of its band.
struct DemoCreature {
    int body;
    std::vector<std::pair<int, int>> actions;
};
const std::vector<DemoCreature>& DemoCreatures();

// Every animation record, index = animation id.
std::vector<IndexedRecord> BuildDemoAnimations();
