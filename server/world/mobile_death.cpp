// What happens when a mobile dies: its corpse, the death packet, the death triggers and what
// the corpse takes; every other mobile forgetting it.
#include "server/world/mobile.h"
#include "server/world/world_utilities.h"

void CMobile::Die(CItem* killer, int drop) {
    (void)killer, (void)drop;
    static bool logged = false;
    LogNotBuiltOnce(logged, "mobiles", "the death of a mobile is not built yet");
}

void CMobile::Kill(CItem* killer, int drop) {
    Die(killer, drop);
}

void CMobile::ForgetMe() {
    static bool logged = false;
    LogNotBuiltOnce(logged, "mobiles", "forgetting a dead mobile is not built yet");
}

void CMobile::NameCorpse(CCorpse* corpse) const {
    (void)corpse;
    static bool logged = false;
    LogNotBuiltOnce(logged, "mobiles", "naming a corpse is not built yet");
}
