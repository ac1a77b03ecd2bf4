#include "client/world/world_effects.h"

#include <set>

#include "client/data/client_log.h"
#include "client/world/bark_views.h"
#include "client/world/client_world.h"

namespace {

// The running client's stand-in: nothing is kept, each subsystem is said once.
class UnbuiltWorldEffects : public WorldEffects {
public:
    void SetWeather(int, int, int) override { Say("weather"); }
    void SetLoopedSound(int) override { Say("sound"); }
    void StartGraphicEffect(const GraphicEffectRequest&) override { Say("graphic effects"); }
    void StartMissile(const MissileRequest&) override { Say("graphic effects"); }
    void PlaySequence(const std::vector<EffectRecord>&, u8) override { Say("effect sequences"); }
    void ShowWaitingGump(const std::string&) override { Say("waiting gump"); }
    void ShiftForScroll(int, int) override { Say("weather and moving effects"); }
    // The speech bubbles are the bark views' (bark_views.h).
    void LayOutBarks() override { TheBarkViews().FollowAll(); }
    void BarksFollow(u32 serial) override {
        if (CClientObject* o = TheClientWorld().FindBySerial(serial)) TheBarkViews().Follow(*o);
    }
    void InvalidateWornLights(u32) override { Say("lights"); }
    void CloseContainersOutOfReach() override { Say("container gumps"); }

private:
    void Say(const char* what) {
        if (!said_.insert(what).second) return;
        LogClientError("effects", (std::string(what) + ": not built yet").c_str());
    }
    std::set<std::string> said_;
};

WorldEffects* g_effects = nullptr;

}  // namespace

WorldEffects& TheWorldEffects() {
    static UnbuiltWorldEffects unbuilt;
    return g_effects ? *g_effects : unbuilt;
}

WorldEffects* SetWorldEffects(WorldEffects* effects) {
    WorldEffects* old = g_effects;
    g_effects = effects;
    return old;
}

void WorldEffects::SetWeather(int type, int count, int temperature) {
    Record("SetWeather " + std::to_string(type) + " " + std::to_string(count) + " " +
           std::to_string(temperature));
}
void WorldEffects::SetLoopedSound(int sound) {
    Record("SetLoopedSound " + std::to_string(sound));
}
void WorldEffects::StartGraphicEffect(const GraphicEffectRequest& request) {
    effects.push_back(request);
    Record("StartGraphicEffect " + std::to_string(request.type));
}
void WorldEffects::StartMissile(const MissileRequest& request) {
    missiles.push_back(request);
    Record("StartMissile " + std::to_string(int(request.ends)));
}
void WorldEffects::PlaySequence(const std::vector<EffectRecord>& records, u8 endByte) {
    Record("PlaySequence " + std::to_string(records.size()) + " " + std::to_string(endByte));
}
void WorldEffects::ShowWaitingGump(const std::string& text) {
    Record("ShowWaitingGump " + text);
}
void WorldEffects::ShiftForScroll(int dx, int dy) {
    Record("ShiftForScroll " + std::to_string(dx) + " " + std::to_string(dy));
}
void WorldEffects::LayOutBarks() {
    Record("LayOutBarks");
}
void WorldEffects::BarksFollow(u32 serial) {
    Record("BarksFollow " + std::to_string(serial));
}
void WorldEffects::InvalidateWornLights(u32 serial) {
    Record("InvalidateWornLights " + std::to_string(serial));
}
void WorldEffects::CloseContainersOutOfReach() {
    Record("CloseContainersOutOfReach");
}
