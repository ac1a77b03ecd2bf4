#include "tools/content_builder/anim_files.h"

#include <cstdlib>

#include "core/byte_order.h"
#include "tools/content_builder/tile_set.h"

namespace {

constexpr int kFigureWidth = 24;
constexpr int kFigureHeight = 62;

// Palette: 1-31 greys (a hue recolours them: skin and hair), 32-63 a cloth ramp, 64 steel.
std::vector<u16> Palette() {
    std::vector<u16> colours(256, 0);
    for (int i = 1; i < 32; ++i)
        colours[i] = static_cast<u16>(i << 10 | i << 5 | i);
    for (int i = 0; i < 32; ++i)
        colours[32 + i] = static_cast<u16>((i * 3 / 4) << 10 | (i / 2) << 5 | (i / 4));
    colours[64] = static_cast<u16>(22 << 10 | 22 << 5 | 25);
    return colours;
}

// What a layer paints of the figure.
enum class Part {
    kBody,
    kTunic,
    kShirt,
    kSword,
    kPants,
    kSkirt,
    kBoots,
    kCap,
    kGorget,
    kSleeves,
    kGloves,
    kHair,
    kBeard,
    kBeast
};

Part PartOf(int body) {
    // The leather armour pieces: cap, gorget, sleeves, gloves.
    if (body >= 545 && body <= 548)
        return static_cast<Part>(static_cast<int>(Part::kCap) + body - 545);
    if (body < 500) return Part::kBody;
    if (body < 510) return Part::kTunic;
    if (body < 520) return Part::kShirt;
    if (body < 530) return Part::kSword;
    if (body < 535) return Part::kPants;
    if (body < 540) return Part::kSkirt;
    if (body < 600) return Part::kBoots;
    if (body < 660) return Part::kHair;
    return Part::kBeard;
}

// A rider sits astride its mount: its feet end at this row.
constexpr int kRiderCut = 52;

bool IsMountedAction(int action) {
    return action >= 23 && action <= 29;
}

// A blow: the one-handed (9-11) and two-handed (12-14) swings, the shot (18), the mounted
// blows (26-29) and the punch (31).
bool IsAttackAction(int action) {
    return (action >= 9 && action <= 14) || action == 18 || (action >= 26 && action <= 29) ||
           action == 31;
}

// How far the figure is pushed sideways in a frame: it reels back when hit (20) and steps
// aside and back when it dodges (30).
int Lean(int action, int frame) {
    const int f = frame % 5;
    const int out = f < 3 ? f : 4 - f;  // 0 1 2 1 0
    if (action == 20) return -out;
    if (action == 30) return -2 * out;
    return 0;
}

// The figure's pixel (palette index, 0 nothing) at (x, y) of a frame: the legs swing with the
// walking phase, a dying figure sinks towards the ground.
u8 FigurePixel(Part part, int style, int action, int frame, int direction, int x, int y) {
    const bool dying = action == 21 || action == 22;
    const int frames = 6;
    if (dying) {
        // Lying down: rows squeezed towards the bottom as the frames go on; a longer death
        // stays down after the sixth frame.
        const int squeeze = (std::min(frame, frames - 1) + 1) * 8 / frames;  // 1..8
        const int top = kFigureHeight - kFigureHeight * (9 - squeeze) / 9;
        if (y < top) return 0;
        y = top == kFigureHeight ? y : (y - top) * kFigureHeight / (kFigureHeight - top + 1);
    }
    // Turns a little with the direction; sways when hit or dodging.
    const int cx = kFigureWidth / 2 + (direction - 2) + Lean(action, frame);
    const int dx = x - cx;
    // In a blow the weapon arm sweeps from behind the head down to the front: the held
    // weapon leans by the frame.
    const int sweep = IsAttackAction(action) ? frame - 3 : 0;
    if (part != Part::kBeast && IsMountedAction(action) && y >= kRiderCut) return 0;
    const bool moving = action == 0 || action == 2 || action == 23 || action == 24;
    const int swing = moving ? (frame % 5 - 2) * (action == 2 ? 2 : 1) : 0;
    const bool head = (dx * dx) * 4 + (y - 7) * (y - 7) * 4 <= 64;  // radius 4 around (cx, 7)
    const bool neck = y >= 11 && y < 13 && std::abs(dx) <= 1;
    const bool torso = y >= 13 && y < 34 && std::abs(dx) <= 5 - (y > 28 ? 1 : 0);
    const bool arms = y >= 14 && y < 32 && (dx == -7 || dx == -6 || dx == 6 || dx == 7);
    const bool legs = y >= 34 && y < kFigureHeight &&
                      (std::abs(dx - 2 - swing * (y - 34) / 14) <= 1 ||
                       std::abs(dx + 2 + swing * (y - 34) / 14) <= 1);
    if (part == Part::kBeast) {
        // Four legs under a long body, head forward; the legs move in pairs.
        const int by = y - (kFigureHeight - 26);  // the beast stands in the last 26 rows
        if (by < 0) return 0;
        const bool trunk = by >= 6 && by < 16 && std::abs(dx) <= 9;
        const bool snout = by >= 2 && by < 10 && dx >= 8 && dx <= 11;
        const int step = moving ? (frame % 4 - 1) : 0;
        const bool leg =
            by >= 16 && (std::abs(dx + 7 + step) <= 1 || std::abs(dx - 7 - step) <= 1 ||
                         std::abs(dx + 3 - step) <= 1 || std::abs(dx - 3 + step) <= 1);
        return trunk || snout || leg ? static_cast<u8>(40 + (dx + by + 40) % 4) : 0;
    }
    switch (part) {
        case Part::kBeast:
            return 0;
        case Part::kBody:
            if (head || neck || torso || arms || legs) return static_cast<u8>(14 + (dx + y) % 3);
            return 0;
        case Part::kTunic:
            if ((torso || (arms && y < 24)) && y >= 13) return static_cast<u8>(44 + (y % 4));
            return 0;
        case Part::kShirt:
            // Light greys, so that a hue gives the cloth its colour; long sleeves.
            if ((torso && y < 31) || (arms && y < 28)) return static_cast<u8>(23 + (y % 3));
            return 0;
        case Part::kSword:
            if (dx == 8 + sweep * (32 - y) / 8 && y >= 6 && y < 32) return 64;
            return 0;
        case Part::kCap: {
            const bool cap = (dx * dx) * 4 + (y - 6) * (y - 6) * 4 <= 110 && y <= 7;
            return cap ? static_cast<u8>(45 + (x % 2)) : 0;
        }
        case Part::kGorget:
            return y >= 11 && y < 15 && std::abs(dx) <= 3 ? static_cast<u8>(46 + (y % 2)) : 0;
        case Part::kSleeves:
            return arms && y < 28 ? static_cast<u8>(43 + (y % 3)) : 0;
        case Part::kGloves:
            return arms && y >= 28 ? static_cast<u8>(41 + (y % 2)) : 0;
        case Part::kSkirt: {
            // From the waist to the knees, widening downwards; greys for the hue as well.
            const bool skirt = y >= 29 && y < 48 && std::abs(dx) <= 4 + (y - 29) / 4;
            return skirt ? static_cast<u8>(18 + (y % 2)) : 0;
        }
        case Part::kPants:
            if ((torso && y >= 29) || (legs && y < kFigureHeight - 6))
                return static_cast<u8>(36 + (y % 3));
            return 0;
        case Part::kBoots:
            return legs && y >= (IsMountedAction(action) ? kRiderCut : kFigureHeight) - 8
                       ? static_cast<u8>(33 + (y % 2))
                       : 0;
        case Part::kHair: {
            const int length = style == 1 ? 20 : (style == 2 ? 16 : 10);
            const bool cap = (dx * dx) * 4 + (y - 6) * (y - 6) * 4 <= 100 && y <= 6;
            const bool back = y >= 4 && y < length && std::abs(dx) == 4 + (style == 2 ? 0 : 1);
            const bool crest = style == 3 && y >= 0 && y < 4 && std::abs(dx) <= 1;
            if (style == 3) return crest ? 20 : 0;
            return cap || back ? 20 : 0;
        }
        case Part::kBeard: {
            const int bottom = style == 1 ? 16 : (style == 0 ? 13 : 12);
            const int half = style == 0 ? 1 : 3;
            return y >= 9 && y < bottom && std::abs(dx) <= half ? 20 : 0;
        }
    }
    return 0;
}

std::vector<u8> EncodeFrame(Part part, int style, int action, int frame, int direction) {
    std::vector<u8> out;
    // The anchor is under the figure's feet: centre x the middle, centre y 0 (the frame's
    // bottom row sits on the anchor line).
    AppendLe16(out, static_cast<u16>(kFigureWidth / 2));
    AppendLe16(out, 0);
    AppendLe16(out, static_cast<u16>(kFigureWidth));
    AppendLe16(out, static_cast<u16>(kFigureHeight));
    for (int y = 0; y < kFigureHeight; ++y) {
        int x = 0;
        while (x < kFigureWidth) {
            if (FigurePixel(part, style, action, frame, direction, x, y) == 0) {
                ++x;
                continue;
            }
            int n = 0;
            while (x + n < kFigureWidth &&
                   FigurePixel(part, style, action, frame, direction, x + n, y) != 0)
                ++n;
            const u32 xo = static_cast<u32>(x - kFigureWidth / 2) & 0x3FF;
            const u32 yo = static_cast<u32>(y - kFigureHeight) & 0x3FF;
            AppendLe32(out, xo << 22 | yo << 12 | static_cast<u32>(n));
            for (int i = 0; i < n; ++i)
                out.push_back(FigurePixel(part, style, action, frame, direction, x + i, y));
            x += n;
        }
    }
    AppendLe32(out, 0x7FFF7FFF);
    return out;
}

std::vector<u8> EncodeAnimation(Part part, int style, int action, int direction, int frames) {
    std::vector<u8> out;
    for (u16 c : Palette())
        AppendLe16(out, c);
    AppendLe32(out, static_cast<u32>(frames));
    std::vector<std::vector<u8>> encoded;
    for (int f = 0; f < frames; ++f)
        encoded.push_back(EncodeFrame(part, style, action, f, direction));
    u32 offset = static_cast<u32>(4 + 4 * frames);
    for (const auto& frame : encoded) {
        AppendLe32(out, offset);
        offset += static_cast<u32>(frame.size());
    }
    for (const auto& frame : encoded)
        out.insert(out.end(), frame.begin(), frame.end());
    return out;
}

}  // namespace

const std::vector<int>& DemoHumanActions() {
    // Walking, running, standing, war stance and walk, both deaths, and riding (walk, run,
    // stand).
    // The blows of a fight, one- and two-handed, shooting, mounted and bare-handed, being hit
    // (20) and dodging (30).
    static const std::vector<int> actions = {0,  2,  4,  5,  6,  7,  9,  10, 11, 12, 13, 14, 15, 18,
                                             20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 33};
    return actions;
}

int DemoActionFrames(int action) {
    if (action == 21 || action == 22) return 6;
    if ((action >= 9 && action <= 14) || action == 18 || action == 31) return 7;
    if ((action >= 26 && action <= 30) || action == 20) return 5;
    if (action == 5 || action == 6 || action == 33) return 5;  // the gestures of people
    if (action == 23 || action == 24) return 5;
    if (action == 25) return 1;
    return 10;
}

u32 HumanAnimationId(int body, int action, int direction) {
    return AnimationId(body, action, direction);
}

u32 AnimationId(int body, int action, int direction) {
    if (body < 200) return static_cast<u32>(body * 110 + 5 * action + direction);
    if (body < 400) return static_cast<u32>(22000 + (body - 200) * 65 + 5 * action + direction);
    return static_cast<u32>(35000 + (body - 400) * 175 + 5 * action + direction);
}

const std::vector<DemoCreature>& DemoCreatures() {
    // Walking, standing and both deaths of each; frame counts as the mobile drawing expects
    // them (a death shows frame 3 or 5 of its corpse, so it has more).
    // The gestures of each body band follow, with the frames the server sends for them:
    // below 150 actions 11, 17 and 18; 150-199 actions 3 and 4 (and 5); 200-399 actions 3 and
    // 9 (and 10, which the client plays when a creature idles). Then the fight: creatures of
    // 150-399 strike with 5 or 6 and are hit with 7 (they do not dodge).
    static const std::vector<DemoCreature> creatures = {
        {6, {{0, 10}, {1, 1}, {2, 6}, {3, 6}, {11, 5}, {17, 5}, {18, 5}}},
        {kDemoDeerBody,
         {{0, 10}, {1, 1}, {3, 15}, {4, 20}, {5, 5}, {6, 20}, {7, 5}, {8, 15}, {12, 15}}},
        {225,
         {{0, 5},
          {1, 5},
          {2, 1},
          {3, 5},
          {5, 5},
          {6, 5},
          {7, 5},
          {8, 6},
          {9, 5},
          {10, 3},
          {12, 6}}},
    };
    return creatures;
}

namespace {

// The pose a creature's action is drawn in: its deaths lie down (2 and 8 one way, 12 and, in
// the first band, 3 the other), a creature of 200-399 runs with 1, and a gesture is drawn as a
// shuffle of the legs.
int CreatureDrawing(int body, int action) {
    // A creature of 150-399 lunges as it strikes (6, and 5 above 199) and reels when hit (7).
    if (body >= 150 && (action == 6 || (action == 5 && body >= 200))) return 30;
    if (body >= 150 && action == 7) return 20;
    if (action == 8 || action == 2) return 21;
    if (action == 12 || (body < 150 && action == 3)) return 22;
    if (action == 1 && body >= 200) return 2;
    if (action == 0 || action == 1) return action;
    return 0;
}

}  // namespace

std::vector<IndexedRecord> BuildDemoAnimations() {
    struct Body {
        int body;
        Part part;
        int style;
    };
    std::vector<Body> bodies = {{400, Part::kBody, 0}, {401, Part::kBody, 1}};
    for (const WornAnimation& w : DemoWornAnimations()) {
        const Part part = PartOf(w.animation);
        const int style = part == Part::kHair ? w.animation - 600
                                              : (part == Part::kBeard ? w.animation - 660 : 0);
        bodies.push_back({w.animation, part, style});
    }
    u32 highest = AnimationId(demo_tiles::kMountAnimation, 34, 4);
    for (const Body& b : bodies)
        highest = std::max(highest, HumanAnimationId(b.body, 34, 4));
    std::vector<IndexedRecord> records(highest + 1);
    for (const Body& b : bodies)
        for (int action : DemoHumanActions())
            for (int d = 0; d < 5; ++d)
                records[HumanAnimationId(b.body, action, d)] = {
                    true, EncodeAnimation(b.part, b.style, action, d, DemoActionFrames(action)), 0};
    // The mount under its rider: the beast walking, running and standing.
    for (int action : {23, 24, 25})
        for (int d = 0; d < 5; ++d)
            records[AnimationId(demo_tiles::kMountAnimation, action, d)] = {
                true,
                EncodeAnimation(Part::kBeast, 0,
                                action == 25       ? 4
                                : action - 23 == 0 ? 0
                                                   : 2,
                                d, DemoActionFrames(action)),
                0};
    for (const DemoCreature& c : DemoCreatures())
        for (const auto& [action, frames] : c.actions) {
            // Creatures of the second range die with actions 8 and 12; the drawing is the
            // same lying-down sequence as the first range's 2 and 3.
            const int drawn = CreatureDrawing(c.body, action);
            for (int d = 0; d < 5; ++d)
                records[AnimationId(c.body, action, d)] = {
                    true, EncodeAnimation(Part::kBeast, 0, drawn, d, frames), 0};
        }
    return records;
}
