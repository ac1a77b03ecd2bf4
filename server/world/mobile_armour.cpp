// A mobile's armour: the piece worn at each hit location and the rating the status window
// shows, from the armour pieces and shield it wears and its natural armour.
#include <algorithm>

#include "server/world/mobile.h"
#include "server/world/weapon.h"

namespace {

constexpr int kHitLocations = 14;
constexpr int kShieldLayer = 2;
constexpr int kParryingSkill = 5;
// The layers each hit location looks at, in order; 0 ends a row early.
constexpr int kHitLocationLayers[kHitLocations][4] = {
    {6, 0, 0, 0},      {6, 0, 0, 0},      {10, 0, 0, 0},     {13, 5, 22, 20}, {13, 5, 22, 20},
    {13, 5, 22, 20},   {13, 5, 22, 20},   {13, 5, 22, 20},   {24, 4, 3, 23},  {24, 4, 3, 23},
    {24, 4, 3, 23},    {19, 5, 0, 0},     {19, 5, 0, 0},     {7, 0, 0, 0},
};

}  // namespace

CWeapon* CMobile::GetArmorAt(int row) const {
    if (row < 0 || row >= kHitLocations) return nullptr;
    CWeapon* best = nullptr;
    int bestClass = 0;  // a piece of armour class 0 never counts
    for (int layer : kHitLocationLayers[row]) {
        if (layer == 0) break;
        CItem* worn = GetLayer(layer);
        CWeapon* piece = worn ? worn->AsWeapon() : nullptr;
        if (!piece) continue;
        const int armour = piece->GetEffectiveArmorClass();
        if (armour > bestClass) {
            bestClass = armour;
            best = piece;
        }
    }
    return best;
}

int CMobile::GetArmorRating() const {
    long long sum = 0;
    for (int row = 0; row < kHitLocations; ++row) {
        if (const CWeapon* piece = GetArmorAt(row)) sum += piece->GetEffectiveArmorClass();
    }
    long long rating = sum / kHitLocations + GetNaturalArmor();
    CItem* held = GetLayer(kShieldLayer);
    if (const CWeapon* shield = held ? held->AsWeapon() : nullptr; shield && shield->IsShield()) {
        const long long parry =
            std::min<long long>((GetEffectiveSkill(kParryingSkill, 0) + 1) / 2, 1000);
        rating += (shield->GetEffectiveArmorClass() * parry + 999) / 1000;
    }
    return static_cast<int>(std::clamp<long long>(rating, 0, 9999));
}
