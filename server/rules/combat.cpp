// Melee and ranged combat.
#include "server/rules/combat.h"

#include "server/world/mobile.h"
#include "server/world/world_utilities.h"

namespace {

void SayCombatNotBuilt() {
    static bool logged = false;
    LogNotBuiltOnce(logged, "combat", "combat is not built yet");
}

}  // namespace

void StartAttack(CMobile*, CMobile*, int) {
    SayCombatNotBuilt();
}

int DealDamage(CItem*, CMobile*, int, CWeapon*, int) {
    SayCombatNotBuilt();
    return 1;
}

int CMobile::GetSwingDelay() const {
    SayCombatNotBuilt();
    return 20;
}

int CMobile::AdvanceSwing() {
    SayCombatNotBuilt();
    return swingState_;
}

void CMobile::SetSwingState(int n) {
    (void)n;
    SayCombatNotBuilt();
}

int CMobile::RollDamage(const CWeapon*) const {
    SayCombatNotBuilt();
    return 1;
}

void CMobile::CombatStep() {
    SayCombatNotBuilt();
}
