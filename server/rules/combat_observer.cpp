#include "server/rules/combat_observer.h"

namespace {
CombatObserver* g_observer = nullptr;
}  // namespace

CombatObserver* GetCombatObserver() {
    return g_observer;
}

CombatObserver* SetCombatObserver(CombatObserver* observer) {
    CombatObserver* previous = g_observer;
    g_observer = observer;
    return previous;
}
