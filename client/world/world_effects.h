#pragma once
// What the movement and effect packets, and the steps of the walk, ask of weather, sound, the
// graphic effects, lights, bark texts and gumps: the subsystems that do it are not built yet. This
// class itself records every call (tests install one); the running client's stand-in says once per
// subsystem in the client log that it is not built yet.
#include <string>
#include <vector>

#include "client/world/client_location.h"
#include "platform/types.h"

// One record of an effect sequence: kind 8 a sound {id, x, y, z}; kind 0x70 a graphic effect
// (the packet's body).
struct EffectRecord {
    int kind = 0;
    std::vector<u8> data;
};

struct GraphicEffectRequest {
    int type = 0;
    u32 source = 0, target = 0;  // serials of known mobiles, else 0
    int graphic = 0;
    ClientLocation from, to;
    u8 parameters[6] = {};
};

enum class MissileEnds { kLocToLoc, kMobileToMobile, kMobileToLoc, kLocToMobile };

struct MissileRequest {
    MissileEnds ends = MissileEnds::kLocToLoc;
    int graphic = 0;
    u32 source = 0, target = 0;
    ClientLocation from, to;
    int speed = 5, fixedDirection = 1, explode = 0;
};

class WorldEffects {
public:
    virtual ~WorldEffects() = default;
    virtual void SetWeather(int type, int count, int temperature);
    virtual void SetLoopedSound(int sound);
    virtual void StartGraphicEffect(const GraphicEffectRequest& request);
    virtual void StartMissile(const MissileRequest& request);
    // The recorded sequence played from its first record.
    virtual void PlaySequence(const std::vector<EffectRecord>& records, u8 endByte);
    // A centred waiting gump with a text ("not sequencing!").
    virtual void ShowWaitingGump(const std::string& text);

    // --- what a step asks --------------------------------------------------------------------
    // The view scrolled by (dx, dy) (old minus new scroll offsets): weather particles and
    // moving effects follow.
    virtual void ShiftForScroll(int dx, int dy);
    // The bark texts laid out again after the view moved.
    virtual void LayOutBarks();
    // A mobile that stepped: its barks follow it.
    virtual void BarksFollow(u32 serial);
    // The lights a mobile wears are drawn anew.
    virtual void InvalidateWornLights(u32 serial);
    // Container gumps whose object is no longer in reach close (after a step request).
    virtual void CloseContainersOutOfReach();

    std::vector<std::string> calls;
    std::vector<GraphicEffectRequest> effects;
    std::vector<MissileRequest> missiles;

protected:
    void Record(const std::string& call) { calls.push_back(call); }
};

WorldEffects& TheWorldEffects();
// Installs effects (the caller keeps them alive; null puts back the running stand-in);
// answers the previous ones.
WorldEffects* SetWorldEffects(WorldEffects* effects);
