#include "script/runtime/script_list.h"

#include <gtest/gtest.h>

#include "script/language/script_value.h"
#include "script/runtime/script_thread_control.h"

namespace {

int g_kills = 0;
void CountKill() {
    ++g_kills;
}

std::string Texts(const CScriptList& list) {
    std::string out;
    for (CScriptListNode* n = list.Head(); n; n = n->next) {
        if (!out.empty()) out += ",";
        switch (n->tag) {
            case kTypeString:
                out += n->value.s->CText();
                break;
            case kTypeList:
                out += "[" + Texts(*n->value.l) + "]";
                break;
            default:
                out += std::to_string(n->value.i);
        }
    }
    return out;
}

TEST(ScriptTypes, TableLookups) {
    EXPECT_EQ(TypeFromSignature('c'), kTypeLocation);
    EXPECT_EQ(TypeFromSignature('x'), kTypeNone);
    EXPECT_EQ(TypeFromKeywordClass(34), kTypeList);
    EXPECT_EQ(TypeFromKeywordClass(36), kTypeNone);
    EXPECT_EQ(SlotSizeOfType(kTypeLocation), 8u);
    EXPECT_EQ(SlotSizeOfType(kTypeObject), 4u);
    EXPECT_STREQ(GetTypeInfo(kTypeUString).name, "ust");
}

TEST(ScriptList, AppendingAListToItselfCopiesItsFormerContent) {
    CScriptList list;
    CStr a("a");
    list.Append(kTypeString, ScriptListValue::Ptr(&a)).Append(kTypeInt, ScriptListValue::Int(2));
    list.Append(kTypeList, ScriptListValue::Ptr(&list));
    EXPECT_EQ(Texts(list), "a,2,[a,2]");
    EXPECT_EQ(list.Count(), 3);
}

TEST(ScriptList, NullStringsBecomeEmptyAndCaseIsIgnored) {
    CScriptList list;
    list.Append(kTypeString, ScriptListValue::Ptr(nullptr));
    ASSERT_NE(list.Head()->value.s, nullptr);
    EXPECT_STREQ(list.Head()->value.s->CText(), "");
    CStr hello("Hello");
    list.Append(kTypeString, ScriptListValue::Ptr(&hello));
    CStr lower("hELLO");
    EXPECT_EQ(list.Contains(kTypeString, ScriptListValue::Ptr(&lower)), 1);
    list.RemoveValue(kTypeString, ScriptListValue::Ptr(&lower));
    EXPECT_EQ(list.Count(), 1);
}

TEST(ScriptList, IndexesOutsideTheListNeverFail) {
    CScriptList list;
    list.Append(kTypeInt, ScriptListValue::Int(1)).Append(kTypeInt, ScriptListValue::Int(2));
    list.InsertAt(kTypeInt, ScriptListValue::Int(0), -3);
    EXPECT_EQ(Texts(list), "0,1,2");
    list.InsertAt(kTypeInt, ScriptListValue::Int(9), 7);
    EXPECT_EQ(Texts(list), "0,1,2,9");
    list.RemoveAt(-1);
    list.RemoveAt(3);
    EXPECT_EQ(Texts(list), "1,2,9");
    list.RemoveAt(1);
    EXPECT_EQ(Texts(list), "1,9");
}

TEST(ScriptList, LocationsAreCopiedAndListsFoundOnlyByIdentity) {
    CScriptList list;
    {
        Location here(10, 20, 5);
        list.Append(kTypeLocation, ScriptListValue::Ptr(&here));
    }
    EXPECT_EQ(list.Head()->value.c->x, 10);
    Location same(10, 20, 5);
    EXPECT_EQ(list.Contains(kTypeLocation, ScriptListValue::Ptr(&same)), 1);
    CScriptList inner;
    list.Append(kTypeList, ScriptListValue::Ptr(&inner));
    EXPECT_EQ(list.Contains(kTypeList, ScriptListValue::Ptr(&inner)), 0);
    EXPECT_EQ(list.Contains(kTypeList, ScriptListValue::Ptr(list.Tail()->value.l)), 1);
}

TEST(ScriptList, ComparingListsByEqualityStopsTheThread) {
    const KillCurrentThreadHook previous = SetKillCurrentThreadHook(&CountKill);
    g_kills = 0;
    CScriptList list;
    CScriptList inner;
    list.Append(kTypeList, ScriptListValue::Ptr(&inner));
    list.RemoveValue(kTypeList, ScriptListValue::Ptr(&inner));
    EXPECT_EQ(g_kills, 1);
    EXPECT_EQ(list.Count(), 1);
    SetKillCurrentThreadHook(previous);
}

TEST(ScriptList, CursorMovesNodesWithoutCopying) {
    CScriptList list;
    for (int i = 1; i <= 3; ++i)
        list.Append(kTypeInt, ScriptListValue::Int(i));
    CScriptList::Cursor first{&list, list.Head()};
    CScriptListNode* one = list.Unlink(first);
    EXPECT_EQ(first.node->value.i, 2);
    CScriptList::Cursor end{&list, nullptr};
    list.LinkBefore(end, one);
    EXPECT_EQ(Texts(list), "2,3,1");
    EXPECT_EQ(list.Count(), 3);
}

}  // namespace
