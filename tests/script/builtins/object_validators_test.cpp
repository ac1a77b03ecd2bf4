// Validators turn a script's serial into a usable object of the wanted kind, or fail with a
// diagnostic that names the builtin and the kind.
#include "script/builtins/object_validators.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>

#include "script/fake_world.h"

namespace {

// A stand-in world whose objects each have one kind.
class KindWorld : public FakeWorld {
public:
    bool IsKind(CBaseObject* o, ScriptObjectKind kind) override {
        return kind == ScriptObjectKind::Any || kinds[SerialOf(o)] == kind;
    }
    std::map<u32, ScriptObjectKind> kinds;
};

int AnswerSeven(CBaseObject*) {
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

TEST(ObjectValidatorsTest, AnObjectOfTheKindPassesAndEveryFailureNamesBuiltinAndKind) {
    for (const auto& [kind, word] : kKindWords) {
        const int k = static_cast<int>(kind);
        // The corpse validator's resolve text names no kind.
        const std::string resolveText = kind == ScriptObjectKind::Corpse
                                            ? "b: id is invalid.\n"
                                            : "b: " + word + " id is invalid.\n";
        const std::string checkText = "b: tried to check invalid " + word + ".\n";
        KindWorld world;
        CBaseObject* right = world.Add(10);
        world.kinds[10] = kind;
        world.Add(11);  // a plain object: of no kind but Any
        world.kinds[11] = ScriptObjectKind::Any;
        CBaseObject* gone = world.Add(12);
        world.kinds[12] = kind;
        FakeWorld::Obj(gone)->detached = true;

        EXPECT_EQ(ResolveObject(10, "b", kind), right) << k;
        EXPECT_EQ(CheckObject(10, AnswerSeven, "b", kind), 7) << k;
        // Wrong kind (Any accepts it), detached, unknown and zero serials fail.
        for (u32 serial : {11u, 12u, 99u, 0u}) {
            if (serial == 11 && kind == ScriptObjectKind::Any) continue;
            EXPECT_EQ(ResolveObject(serial, "b", kind), nullptr) << k << " " << serial;
            EXPECT_EQ(LastValidatorDiagnostic(), resolveText) << k;
            EXPECT_EQ(CheckObject(serial, AnswerSeven, "b", kind), 0) << k << " " << serial;
            EXPECT_EQ(LastValidatorDiagnostic(), checkText) << k;
        }
        // A usable object with no predicate answers 0.
        EXPECT_EQ(CheckObject(10, nullptr, "b", kind), 0) << k;
    }
}

TEST(ObjectValidatorsTest, TheKindDefaultsToAnyAndAMissingNameIsSaidSo) {
    KindWorld world;
    CBaseObject* object = world.Add(5);
    world.kinds[5] = ScriptObjectKind::Map;
    EXPECT_EQ(ResolveObject(5, "b"), object);
    EXPECT_EQ(CheckObject(5, AnswerSeven, "b"), 7);
    EXPECT_EQ(ResolveObject(6, nullptr), nullptr);
    EXPECT_EQ(std::string(LastValidatorDiagnostic()), "(null): object id is invalid.\n");
}

}  // namespace
