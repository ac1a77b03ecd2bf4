// What players see and hear of a fight.
#include "server/rules/combat_effects.h"

#include "server/world/world_utilities.h"

namespace {

void SayEffectsNotBuilt() {
    static bool logged = false;
    LogNotBuiltOnce(logged, "combat", "the sights and sounds of a fight are not built yet");
}

}  // namespace

void PlaySwingAnimation(CMobile*, CWeapon*, CMobile*) {
    SayEffectsNotBuilt();
}
int GetSwingKind(const CWeapon*) {
    SayEffectsNotBuilt();
    return 0;
}
void FireMissileAt(CMobile*, CMobile*) {
    SayEffectsNotBuilt();
}
void FirePastTarget(CMobile*, CMobile*) {
    SayEffectsNotBuilt();
}
void PlayHitSound(CMobile*, CMobile*, CWeapon*) {
    SayEffectsNotBuilt();
}
void PlayMissSound(CMobile*, CMobile*, CWeapon*) {
    SayEffectsNotBuilt();
}
void PlayHitEffects(CMobile*, CMobile*, CWeapon*) {
    SayEffectsNotBuilt();
}
void HandleMiss(CMobile*, CMobile*, CWeapon*) {
    SayEffectsNotBuilt();
}
void BarkTaunt(CMobile*) {
    SayEffectsNotBuilt();
}
void TurnToFaceByAngle(CMobile*, CMobile*) {
    SayEffectsNotBuilt();
}
