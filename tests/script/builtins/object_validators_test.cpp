// Validators turn a script's serial into a usable object of the wanted kind, or fail with a
// diagnostic that names the builtin and the kind.
#include "script/builtins/object_validators.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

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

struct KindCase {
    ScriptObjectKind kind;
    const char* resolveText;
    const char* checkText;
};

const KindCase kCases[] = {
    {ScriptObjectKind::Any, "b: object id is invalid.\n", "b: tried to check invalid object.\n"},
    {ScriptObjectKind::Weapon, "b: weapon id is invalid.\n", "b: tried to check invalid weapon.\n"},
    {ScriptObjectKind::Mobile, "b: mobile id is invalid.\n", "b: tried to check invalid mobile.\n"},
    {ScriptObjectKind::Npc, "b: NPC id is invalid.\n", "b: tried to check invalid NPC.\n"},
    {ScriptObjectKind::Container, "b: container id is invalid.\n",
     "b: tried to check invalid container.\n"},
    {ScriptObjectKind::Player, "b: player id is invalid.\n", "b: tried to check invalid player.\n"},
    {ScriptObjectKind::Corpse, "b: id is invalid.\n", "b: tried to check invalid corpse.\n"},
    {ScriptObjectKind::Map, "b: map id is invalid.\n", "b: tried to check invalid map.\n"},
    {ScriptObjectKind::Book, "b: RWBook id is invalid.\n", "b: tried to check invalid RWBook.\n"},
};

TEST(ObjectValidatorsTest, AnObjectOfTheKindPassesAndEveryFailureNamesBuiltinAndKind) {
    for (const KindCase& c : kCases) {
        const int k = static_cast<int>(c.kind);
        KindWorld world;
        CBaseObject* right = world.Add(10);
        world.kinds[10] = c.kind;
        world.Add(11);  // a plain object: of no kind but Any
        world.kinds[11] = ScriptObjectKind::Any;
        CBaseObject* gone = world.Add(12);
        world.kinds[12] = c.kind;
        FakeWorld::Obj(gone)->detached = true;

        EXPECT_EQ(ResolveObject(10, "b", c.kind), right) << k;
        EXPECT_EQ(CheckObject(10, AnswerSeven, "b", c.kind), 7) << k;
        // Wrong kind (Any accepts it), detached, unknown and zero serials fail.
        for (u32 serial : {11u, 12u, 99u, 0u}) {
            if (serial == 11 && c.kind == ScriptObjectKind::Any) continue;
            EXPECT_EQ(ResolveObject(serial, "b", c.kind), nullptr) << k << " " << serial;
            EXPECT_EQ(std::string(LastValidatorDiagnostic()), c.resolveText) << k;
            EXPECT_EQ(CheckObject(serial, AnswerSeven, "b", c.kind), 0) << k << " " << serial;
            EXPECT_EQ(std::string(LastValidatorDiagnostic()), c.checkText) << k;
        }
        // A usable object with no predicate answers 0.
        EXPECT_EQ(CheckObject(10, nullptr, "b", c.kind), 0) << k;
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
