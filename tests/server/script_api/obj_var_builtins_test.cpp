// getObjVar from a compiled script on real world objects: each typed form reads the variable
// of its own type, and anything else (another type, no such variable, a detached object)
// gives the default of the wanted type. The aliases read the same.
#include <gtest/gtest.h>

#include <string>

#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "script/runtime/triggers.h"
#include "tests/server/world/world_scripts_fixture.h"

namespace {

class ObjVarBuiltins : public WorldScriptsTest {
protected:
    static void Set(CItem* item, const char* name, u8 type, ScriptListValue value) {
        ObjVars::Set(item->ScriptAttachments(), name, type, value);
    }
};

TEST_F(ObjVarBuiltins, EachTypedFormReadsItsOwnTypeElseTheDefault) {
    Compile({{"reader", R"(
member int n;
member string t;
member loc spot;
member obj pal;
member int wrongType;
member string noText;
member loc noSpot;
member obj noPal;
member int fromDetached;
member int aliasN;
member string aliasT;
member loc aliasSpot;
member obj aliasPal;
trigger use {
    n = getObjVar(this, "n");
    t = getObjVar(this, "t");
    spot = getObjVar(this, "spot");
    pal = getObjVar(this, "pal");
    wrongType = 7;
    wrongType = getObjVar(this, "t");
    noText = "kept";
    noText = getObjVar(this, "n");
    noSpot = 1, 2, 3;
    noSpot = getObjVar(this, "nothing");
    noPal = this;
    noPal = getObjVar(this, "n");
    obj away = getObjVar(this, "away");
    fromDetached = 7;
    fromDetached = getObjVar(away, "n");
    aliasN = getobjvar_int(this, "n");
    aliasT = getobjvar_str(this, "t");
    aliasSpot = getobjvar_loc(this, "spot");
    aliasPal = getobjvar_obj(this, "pal");
    return 1;
}
)"}});
    CItem* item = PlacedItem(10, 10, 0);
    CItem* pal = PlacedItem(11, 10, 0);
    CItem* away = NewItem();  // never placed: detached
    const CStr text("some text");
    const Location spot(4, 5, 6);
    Set(item, "n", kTypeInt, ScriptListValue::Int(5));
    Set(item, "t", kTypeString, ScriptListValue::Ptr(&text));
    Set(item, "spot", kTypeLocation, ScriptListValue::Ptr(&spot));
    Set(item, "pal", kTypeObject, ScriptListValue::Int(static_cast<s32>(pal->GetSerial())));
    Set(item, "away", kTypeObject, ScriptListValue::Int(static_cast<s32>(away->GetSerial())));
    Set(away, "n", kTypeInt, ScriptListValue::Int(9));
    ASSERT_EQ(AttachScript(item, "reader", 0), nullptr);
    TriggerArgs args;
    args.serial = pal->GetSerial();
    EXPECT_EQ(GetTriggerServices().SendTrigger(item, kTriggerUse, args), 1);

    CScriptInstance* in = First(item);
    ASSERT_NE(in, nullptr);
    const auto at = [](const ScriptSlot& slot) {
        return std::to_string(slot.c.x) + "," + std::to_string(slot.c.y) + "," +
               std::to_string(slot.c.z);
    };
    EXPECT_EQ(Member(in, "n").i, 5);
    EXPECT_STREQ(Member(in, "t").s->CText(), "some text");
    EXPECT_EQ(at(Member(in, "spot")), "4,5,6");
    EXPECT_EQ(static_cast<u32>(Member(in, "pal").i), pal->GetSerial());
    // Another type, no such variable, a detached object: the wanted type's default.
    EXPECT_EQ(Member(in, "wrongType").i, 0);
    EXPECT_STREQ(Member(in, "noText").s->CText(), "");
    EXPECT_EQ(at(Member(in, "noSpot")), "-1,-1,0");
    EXPECT_EQ(Member(in, "noPal").i, 0);
    EXPECT_EQ(Member(in, "fromDetached").i, 0);
    // The aliases are the same builtins.
    EXPECT_EQ(Member(in, "aliasN").i, 5);
    EXPECT_STREQ(Member(in, "aliasT").s->CText(), "some text");
    EXPECT_EQ(at(Member(in, "aliasSpot")), "4,5,6");
    EXPECT_EQ(static_cast<u32>(Member(in, "aliasPal").i), pal->GetSerial());
}

}  // namespace
