// Object variables and the attachment set: replacing across types, typed reads, removal
// releasing the set, list values copied element by element, deferred release of records.
#include <gtest/gtest.h>

#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"

namespace {

struct ObjVarsTest : ::testing::Test {
    void TearDown() override {
        FreeAttachments(set);
        FreeReleasedValues();
    }
    CObjAttachments* set = nullptr;
};

TEST_F(ObjVarsTest, SettingANameReplacesItWhateverItsType) {
    ObjVars::Set(set, "x", kTypeInt, ScriptListValue::Int(5));
    const CStr text("five");
    ObjVars::Set(set, "x", kTypeString, ScriptListValue::Ptr(&text));
    EXPECT_FALSE(ObjVars::Has(set, "x", kTypeInt));
    EXPECT_TRUE(ObjVars::Has(set, "x", kTypeString));
    EXPECT_TRUE(ObjVars::Has(set, "x", kAnyVarType));
    EXPECT_FALSE(ObjVars::Has(set, "X", kAnyVarType));  // names are case-sensitive
    s32 i = 77;
    EXPECT_FALSE(ObjVars::GetInt(set, "x", i));
    EXPECT_EQ(i, 77);  // left unchanged
    ASSERT_NE(ObjVars::GetString(set, "x"), nullptr);
    EXPECT_STREQ(ObjVars::GetString(set, "x")->CText(), "five");
    int count = 0;
    for (CScriptValue* v = set->vars; v; v = v->next)
        ++count;
    EXPECT_EQ(count, 1);
    // The replaced record's value was released, not the record.
    EXPECT_EQ(ReleasedValueCount(), 0);
}

TEST_F(ObjVarsTest, TypedReads) {
    const Location here(10, 20, -5);
    const CUStr wide(u"wide");
    ObjVars::Set(set, "n", kTypeInt, ScriptListValue::Int(-3));
    ObjVars::Set(set, "o", kTypeObject, ScriptListValue::Int(4000));
    ObjVars::Set(set, "l", kTypeLocation, ScriptListValue::Ptr(&here));
    ObjVars::Set(set, "w", kTypeUString, ScriptListValue::Ptr(&wide));
    s32 n = 0;
    u32 o = 0;
    Location l;
    EXPECT_TRUE(ObjVars::GetInt(set, "n", n));
    EXPECT_TRUE(ObjVars::GetObject(set, "o", o));
    EXPECT_TRUE(ObjVars::GetLocation(set, "l", l));
    EXPECT_EQ(n, -3);
    EXPECT_EQ(o, 4000u);
    EXPECT_EQ(l, here);
    EXPECT_FALSE(ObjVars::GetObject(set, "n", o));  // wrong type
    EXPECT_EQ(ObjVars::GetString(set, "w"), nullptr);
    ASSERT_NE(ObjVars::GetUString(set, "w"), nullptr);
    EXPECT_EQ(ObjVars::GetList(set, "missing"), nullptr);
}

TEST_F(ObjVarsTest, ListValuesAreCopiesAndReleasedRecordsWaitForTheTick) {
    CScriptList source;
    const CStr s("a");
    source.Append(kTypeInt, ScriptListValue::Int(1));
    source.Append(kTypeString, ScriptListValue::Ptr(&s));
    source.Append(kTypeInt, ScriptListValue::Int(3));
    ObjVars::Set(set, "list", kTypeList, ScriptListValue::Ptr(&source));
    source.Clear();
    const CScriptList* copy = ObjVars::GetList(set, "list");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Count(), 3);
    // Setting a variable from its own value keeps it.
    ObjVars::Set(set, "list", kTypeList, ScriptListValue::Ptr(copy));
    EXPECT_EQ(ObjVars::GetList(set, "list")->Count(), 3);

    CScriptValue* record = ObjVars::Find(set, "list");
    ObjVars::Remove(set, "list");
    EXPECT_EQ(set, nullptr);  // the emptied set is released
    EXPECT_TRUE(record->released);
    EXPECT_EQ(record->type, kTypeUnknown);
    EXPECT_EQ(ReleasedValueCount(), 1);
    FreeReleasedValues();
    EXPECT_EQ(ReleasedValueCount(), 0);
    ObjVars::Remove(set, "list");  // nothing to remove
}

TEST_F(ObjVarsTest, PrefixAndLinkLookups) {
    const CStr link("xxxxxxtarget");
    ObjVars::Set(set, "trigcmd1", kTypeInt, ScriptListValue::Int(1));
    ObjVars::Set(set, "link1", kTypeString, ScriptListValue::Ptr(&link));
    EXPECT_NE(ObjVars::FindByPrefix(set, "trigc"), nullptr);
    EXPECT_EQ(ObjVars::FindByPrefix(set, "linkx"), nullptr);  // "link1" is too short
    EXPECT_TRUE(ObjVars::HasLinkTo(set, "target"));
    EXPECT_FALSE(ObjVars::HasLinkTo(set, "other"));
}

}  // namespace
