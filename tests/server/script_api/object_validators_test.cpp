// Validators turn a script's serial into a usable world object of the wanted kind, or fail
// with a diagnostic that names the builtin and the kind.
#include "server/script_api/object_validators.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "server/world/container.h"
#include "server/world/item_kinds.h"
#include "server/world/mobile.h"
#include "server/world/player.h"
#include "server/world/weapon.h"
#include "tests/server/world/world_test_support.h"
#include "server/world/npc.h"

namespace {

// A graphic of a book a player can write in.
constexpr int kWritableBook = 4081;

class ObjectValidatorsTest : public WorldTest {
protected:
    // A new object of exactly the kind (a plain item for Any), placed in the world unless
    // `placed` is false (then it is detached).
    CItem* OfKind(ScriptObjectKind kind, bool placed = true) {
        CItem* object = nullptr;
        switch (kind) {
            case ScriptObjectKind::Any:
                object = NewItem();
                break;
            case ScriptObjectKind::Weapon:
                object = new CWeapon;
                object->SetType(kSword);
                break;
            case ScriptObjectKind::Mobile:
                object = new CMobile;
                break;
            case ScriptObjectKind::Npc:
                object = new CNPC;
                break;
            case ScriptObjectKind::Container:
                object = new CContainer;
                object->SetType(kBag);
                break;
            case ScriptObjectKind::Player:
                object = new CPlayer;
                break;
            case ScriptObjectKind::Corpse:
                object = new CCorpse;
                break;
            case ScriptObjectKind::Map:
                object = new CMapItem;
                break;
            case ScriptObjectKind::Book:
                object = NewItem(kWritableBook);
                break;
        }
        if (placed) object->PlaceInWorld(Location(10, 10, 0));
        return object;
    }
};

int AnswerSeven(CItem*) {
    return 7;
}

// Each kind and the word its diagnostics use for it.
const std::pair<ScriptObjectKind, std::string> kKindWords[] = {
    {ScriptObjectKind::Any, "object"},          {ScriptObjectKind::Weapon, "weapon"},
    {ScriptObjectKind::Mobile, "mobile"},       {ScriptObjectKind::Npc, "NPC"},
    {ScriptObjectKind::Container, "container"}, {ScriptObjectKind::Player, "player"},
    {ScriptObjectKind::Corpse, "corpse"},       {ScriptObjectKind::Map, "map"},
    {ScriptObjectKind::Book, "RWBook"},
};

// A serial no object has.
constexpr u32 kNobody = 99;

TEST_F(ObjectValidatorsTest, AnObjectOfTheKindPassesAndEveryFailureNamesBuiltinAndKind) {
    for (const auto& [kind, word] : kKindWords) {
        const int k = static_cast<int>(kind);
        // The corpse validator's resolve text names no kind.
        const std::string resolveText = kind == ScriptObjectKind::Corpse
                                            ? "b: id is invalid.\n"
                                            : "b: " + word + " id is invalid.\n";
        const std::string checkText = "b: tried to check invalid " + word + ".\n";
        CItem* right = OfKind(kind);
        const u32 plain = OfKind(ScriptObjectKind::Any)->GetSerial();  // of no kind but Any
        const u32 gone = OfKind(kind, false)->GetSerial();             // detached

        EXPECT_EQ(ResolveObject(right->GetSerial(), "b", kind), right) << k;
        EXPECT_EQ(CheckObject(right->GetSerial(), AnswerSeven, "b", kind), 7) << k;
        // Wrong kind (Any accepts it), detached, unknown and zero serials fail.
        for (u32 serial : {plain, gone, kNobody, 0u}) {
            if (serial == plain && kind == ScriptObjectKind::Any) continue;
            EXPECT_EQ(ResolveObject(serial, "b", kind), nullptr) << k << " " << serial;
            EXPECT_EQ(LastValidatorDiagnostic(), resolveText) << k;
            EXPECT_EQ(CheckObject(serial, AnswerSeven, "b", kind), 0) << k << " " << serial;
            EXPECT_EQ(LastValidatorDiagnostic(), checkText) << k;
        }
        // A usable object with no predicate answers 0.
        EXPECT_EQ(CheckObject(right->GetSerial(), nullptr, "b", kind), 0) << k;
    }
}

TEST_F(ObjectValidatorsTest, TheKindDefaultsToAnyAndAMissingNameIsSaidSo) {
    CItem* object = OfKind(ScriptObjectKind::Map);
    EXPECT_EQ(ResolveObject(object->GetSerial(), "b"), object);
    EXPECT_EQ(CheckObject(object->GetSerial(), AnswerSeven, "b"), 7);
    EXPECT_EQ(ResolveObject(6, nullptr), nullptr);
    EXPECT_EQ(std::string(LastValidatorDiagnostic()), "(null): object id is invalid.\n");
}

}  // namespace
