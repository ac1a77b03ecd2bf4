#include "tools/content_builder/sound_files.h"

#include <cstring>

#include "core/byte_order.h"

namespace {

enum class Kind { kStep, kThud, kPage, kCreak, kClick, kLatch, kCall, kStrike, kSwish };

Kind KindOf(u32 id) {
    switch (id) {
        case 297:
        case 298:
        case 299:
        case 300:
            return Kind::kStep;
        case 81:
            return Kind::kThud;
        case 0x55:
            return Kind::kPage;
        case 45:
        case 47:
        case 72:
        case 79:
            return Kind::kCreak;
        case 44:
        case 46:
            return Kind::kClick;
        case 200:
        case 210:
        case 211:
        case 212:
        case 213:
        case 214:
        case 220:
        case 221:
        case 222:
        case 223:
        case 224:
        case 337:
        case 346:
            return Kind::kCall;
        case 560:
        case 562:
        case 563:
        case 565:
            return Kind::kStrike;
        case 561:
        case 564:
            return Kind::kSwish;
        default:
            return Kind::kLatch;
    }
}

// A triangle wave of the period in samples, amplitude +-1024.
int Triangle(int t, int period) {
    const int phase = t % period;
    const int half = period / 2;
    return (phase < half ? phase * 4096 / half : (period - phase) * 4096 / half) - 2048;
}

std::vector<u8> Synthesise(u32 id, const char* name) {
    std::vector<u8> out(kSoundHeaderBytes, 0);
    std::memcpy(out.data(), name, std::min<size_t>(std::strlen(name), kSoundHeaderBytes - 1));
    const Kind kind = KindOf(id);
    const int length = kind == Kind::kStep    ? kSoundRate / 8
                       : kind == Kind::kCreak ? kSoundRate / 2
                       : kind == Kind::kCall  ? kSoundRate * 2 / 5
                       : kind == Kind::kPage  ? kSoundRate / 4
                       : kind == Kind::kSwish ? kSoundRate / 5
                                              : kSoundRate / 6;
    u32 noise = 0x1234567u + id * 2654435761u;
    for (int t = 0; t < length; ++t) {
        noise = noise * 1103515245u + 12345u;
        const int white = static_cast<int>((noise >> 16) & 0x7FFF) - 0x4000;  // +-16384
        const int envelope = (length - t) * 256 / length;                     // 256 .. 1
        int sample = 0;
        switch (kind) {
            case Kind::kStep:
                // A short thump of low noise; the four footsteps differ in pitch.
                sample = white / 3 + Triangle(t, 180 + static_cast<int>(id - 297) * 20) * 4;
                sample = sample * envelope / 256 * envelope / 256;
                break;
            case Kind::kThud:
                sample = Triangle(t, 200) * 6 * envelope / 256;
                break;
            case Kind::kPage:
                sample = white / 2 * envelope / 256 * (t % 900 < 450 ? 1 : 2) / 2;
                break;
            case Kind::kCreak:
                // A squeak whose pitch rises.
                sample = Triangle(t, 90 - t * 40 / length) * 3 * envelope / 256 + white / 16;
                break;
            case Kind::kCall: {
                // An animal's voice: a tone whose pitch the id sets, rising and falling
                // once, with a little breath in it.
                const int base = 40 + static_cast<int>(id % 50) * 3;
                const int bend = (t < length / 2 ? t : length - t) * 30 / length;
                sample = (Triangle(t, base - bend) * 5 + white / 12) * envelope / 256;
                break;
            }
            case Kind::kStrike: {
                // A crack of noise over a low knock; each weapon knocks at its own pitch.
                const int knock = Triangle(t, 60 + static_cast<int>(id % 10) * 25) * 5;
                sample =
                    (t < length / 10 ? white : knock + white / 6) * envelope / 256 * envelope / 256;
                break;
            }
            case Kind::kSwish: {
                // Air: noise that swells and fades, thinned out as it goes.
                const int swell = t < length / 3 ? t * 768 / length : envelope;
                sample = white * swell / 256 * (t % 3 == 0 ? 1 : 2) / 2;
                break;
            }
            case Kind::kClick:
            case Kind::kLatch:
                sample =
                    (t < length / 8 ? white : Triangle(t, kind == Kind::kClick ? 40 : 70) * 3) *
                    envelope / 256 * envelope / 256;
                break;
        }
        sample = sample < -32768 ? -32768 : (sample > 32767 ? 32767 : sample);
        AppendLe16(out, static_cast<u16>(static_cast<s16>(sample)));
    }
    return out;
}

}  // namespace

const std::vector<DemoSound>& DemoSounds() {
    static const std::vector<DemoSound> sounds = {
        {44, "chest close"},  {45, "chest open"},     {46, "bag close"},     {47, "bag open"},
        {72, "crate open"},   {79, "box open"},       {81, "drop refused"},  {0x55, "page turn"},
        {88, "crate close"},  {297, "step grass a"},  {298, "step grass b"}, {299, "step a"},
        {300, "step b"},      {200, "sparrow chirp"}, {210, "wolf howl"},    {211, "wolf death"},
        {212, "wolf growl"},  {220, "deer call"},     {221, "deer snort"},   {213, "wolf bite"},
        {214, "wolf yelp"},   {222, "deer kick"},     {223, "deer cry"},     {224, "deer death"},
        {560, "blade hit"},   {561, "blade swish"},   {562, "club hit"},     {563, "spear hit"},
        {564, "bow release"}, {565, "arrow hit"},
        // The death cries of players: female and male.
        {337, "death cry female"}, {346, "death cry male"},
    };
    return sounds;
}

std::vector<IndexedRecord> BuildDemoSounds() {
    u32 highest = 0;
    for (const DemoSound& s : DemoSounds())
        highest = std::max(highest, s.id);
    std::vector<IndexedRecord> records(highest + 1);
    for (const DemoSound& s : DemoSounds())
        records[s.id] = {true, Synthesise(s.id, s.name), 0};
    return records;
}
