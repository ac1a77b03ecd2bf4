// Operator, assignment, list-subscript and list builtins.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "script/builtins/builtin_call.h"
#include "script/builtins/builtin_handlers.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_thread_control.h"
#include "script/runtime/script_value.h"
#include "script/runtime/script_world_link.h"

namespace {

// Wrapping arithmetic: computed in unsigned so that overflow is defined.
s32 Wrap(u32 v) {
    return static_cast<s32>(v);
}

ScriptListValue ValueOfArg(BuiltinValue& v) {
    switch (v.kind) {
        case ArgKind::String:
            return ScriptListValue::Ptr(v.s);
        case ArgKind::UString:
            return ScriptListValue::Ptr(v.q);
        case ArgKind::Location:
            return ScriptListValue::Ptr(&v.loc);
        case ArgKind::List:
            return ScriptListValue::Ptr(v.l);
        default:
            return ScriptListValue::Int(v.i);
    }
}

u8 TagOfArg(const BuiltinValue& v) {
    return static_cast<u8>(v.kind);
}

}  // namespace

CScriptListNode* GetListItemOfType(CScriptList& list, s32 index, u8 tag) {
    CScriptListNode* node = index >= 0 ? list.NodeAt(index) : nullptr;
    if (!node || node->tag != tag) {
        KillCurrentThread();
        return nullptr;
    }
    return node;
}

void OprNull(BuiltinCall& c) {
    c.SetInt(c.Int(0));
}
void OprNot(BuiltinCall& c) {
    c.SetInt(c.Int(0) == 0);
}
void OprPlus(BuiltinCall& c) {
    c.SetInt(Wrap(static_cast<u32>(c.Int(0)) + static_cast<u32>(c.Int(1))));
}
void OprMinus(BuiltinCall& c) {
    c.SetInt(Wrap(static_cast<u32>(c.Int(0)) - static_cast<u32>(c.Int(1))));
}
void OprMult(BuiltinCall& c) {
    c.SetInt(Wrap(static_cast<u32>(c.Int(0)) * static_cast<u32>(c.Int(1))));
}
void OprDiv(BuiltinCall& c) {
    c.SetInt(ScriptDiv(c.Int(0), c.Int(1)));
}
void OprMod(BuiltinCall& c) {
    c.SetInt(ScriptMod(c.Int(0), c.Int(1)));
}
void OprAnd(BuiltinCall& c) {
    c.SetInt(c.Int(0) != 0 && c.Int(1) != 0);
}
void OprOr(BuiltinCall& c) {
    c.SetInt(c.Int(0) != 0 || c.Int(1) != 0);
}
void OprXor(BuiltinCall& c) {
    c.SetInt(c.Int(0) ^ c.Int(1));
}
void OprEquiv(BuiltinCall& c) {
    c.SetInt(c.Int(0) == c.Int(1));
}
void OprNEquiv(BuiltinCall& c) {
    c.SetInt(c.Int(0) != c.Int(1));
}
void OprGt(BuiltinCall& c) {
    c.SetInt(c.Int(0) > c.Int(1));
}
void OprLt(BuiltinCall& c) {
    c.SetInt(c.Int(0) < c.Int(1));
}
void OprGtEq(BuiltinCall& c) {
    c.SetInt(c.Int(0) >= c.Int(1));
}
void OprLtEq(BuiltinCall& c) {
    c.SetInt(c.Int(0) <= c.Int(1));
}
void OprInc(BuiltinCall& c) {
    c.IntRef(0) = Wrap(static_cast<u32>(c.Int(0)) + 1u);
}
void OprDec(BuiltinCall& c) {
    c.IntRef(0) = Wrap(static_cast<u32>(c.Int(0)) - 1u);
}
void OprEquivLoc(BuiltinCall& c) {
    c.SetInt(c.Loc(0).EqualsXY(c.Loc(1)));
}
void OprNEquivLoc(BuiltinCall& c) {
    c.SetInt(!c.Loc(0).EqualsXY(c.Loc(1)));
}
void ObjToInt(BuiltinCall& c) {
    c.SetInt(c.Int(0));
}

void AssignInt(BuiltinCall& c) {
    c.IntRef(0) = c.Int(1);
}
void AssignStr(BuiltinCall& c) {
    if (c.Arg(0).s != c.Arg(1).s) c.Str(0) = c.Str(1);
}
void AssignUst(BuiltinCall& c) {
    if (c.Arg(0).q != c.Arg(1).q) c.UStr(0) = c.UStr(1);
}
void AssignLoc(BuiltinCall& c) {
    c.Loc(0) = c.Loc(1);
}
void AssignList(BuiltinCall& c) {
    if (c.Arg(0).l == c.Arg(1).l) return;
    c.List(0).Clear();
    c.List(0).AppendCopyOf(c.List(1));
}
void AssignLocInt(BuiltinCall& c) {
    c.Loc(0).Set(c.Int(1), c.Int(2), c.Int(3));
}
void AssignIntStr(BuiltinCall& c) {
    c.IntRef(0) = ScriptStrToInt(c.Str(1).CText());
}
void AssignStrInt(BuiltinCall& c) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", c.Int(1));
    c.Str(0) = text;
}
void AssignUstInt(BuiltinCall& c) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", c.Int(1));
    WChar wide[16];
    int i = 0;
    for (; text[i]; ++i)
        wide[i] = static_cast<WChar>(static_cast<unsigned char>(text[i]));
    wide[i] = 0;
    c.UStr(0) = wide;
}

void OprListList(BuiltinCall& c) {
    auto* out = new CScriptList();
    if (CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeList))
        out->AppendCopyOf(*n->value.l);
    c.SetList(out);
}
void OprListInt(BuiltinCall& c) {
    const u8 tag = BuiltinResultChar(c.record) == 'o' ? kTypeObject : kTypeInt;
    CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), tag);
    c.SetInt(n ? n->value.i : 0);
}
void OprListStr(BuiltinCall& c) {
    if (CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeString))
        c.ResultString() = *n->value.s;
}
void OprListUst(BuiltinCall& c) {
    if (CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeUString))
        c.ResultUString() = *n->value.q;
}
void OprListLoc(BuiltinCall& c) {
    CScriptListNode* n = GetListItemOfType(c.List(0), c.Int(1), kTypeLocation);
    c.SetLocation(n ? *n->value.c : Location(-1, -1, 0));
}

void ListAppend(BuiltinCall& c) {
    c.List(0).Append(TagOfArg(c.Arg(1)), ValueOfArg(c.Arg(1)));
}
void ListPrepend(BuiltinCall& c) {
    c.List(0).Prepend(TagOfArg(c.Arg(1)), ValueOfArg(c.Arg(1)));
}
// A negative index of insert and removeItem means the front of the list; other builtins
// refuse negative indexes.
void ListInsert(BuiltinCall& c) {
    const s32 index = c.Int(2);
    if (index > c.List(0).Count()) {
        c.host.Kill();
        return;
    }
    c.List(0).InsertAt(TagOfArg(c.Arg(1)), ValueOfArg(c.Arg(1)), index);
}
void ListSetItem(BuiltinCall& c) {
    const s32 index = c.Int(2);
    CScriptList& list = c.List(0);
    if (index < 0 || index > list.Count()) {
        c.host.Kill();
        return;
    }
    // The value may be an item of this very list: insert the copy before removing.
    list.InsertAt(TagOfArg(c.Arg(1)), ValueOfArg(c.Arg(1)), index);
    list.RemoveAt(index + 1);
}
void ListCount(BuiltinCall& c) {
    c.SetInt(c.List(0).Count());
}
void ListContains(BuiltinCall& c) {
    c.SetInt(c.List(0).Contains(TagOfArg(c.Arg(1)), ValueOfArg(c.Arg(1))));
}
void ListConcat(BuiltinCall& c) {
    c.List(0).AppendCopyOf(c.List(1));
}
void ListTruncate(BuiltinCall& c) {
    const s32 n = c.Int(1);
    if (n < 0) return;
    CScriptList& list = c.List(0);
    while (list.Count() > n)
        list.RemoveAt(list.Count() - 1);
}
void ListRemoveItem(BuiltinCall& c) {
    const s32 index = c.Int(1);
    CScriptList& list = c.List(0);
    if (index > list.Count()) {
        c.host.Kill();
        return;
    }
    if (index < list.Count()) list.RemoveAt(index);
}
void ListRemoveSpecific(BuiltinCall& c) {
    c.List(0).RemoveValue(TagOfArg(c.Arg(1)), ValueOfArg(c.Arg(1)));
}
void ListClear(BuiltinCall& c) {
    c.List(0).Clear();
}
void ListItemType(BuiltinCall& c) {
    const s32 index = c.Int(1);
    CScriptListNode* n = index >= 0 ? c.List(0).NodeAt(index) : nullptr;
    c.SetInt(n ? static_cast<s32>(n->tag) : static_cast<s32>(kTypeUnknown));
}
void ListPrint(BuiltinCall&) {}

namespace {

// Answers >0 when a should go after b. Wrong types stop the thread and compare equal.
int SortCompare(BuiltinCall& c, int mode, const CScriptListNode* a, const CScriptListNode* b) {
    switch (mode) {
        case 0:
            if (a->tag != kTypeInt || b->tag != kTypeInt) {
                c.host.Kill();
                return 0;
            }
            return a->value.i > b->value.i ? 1 : (a->value.i < b->value.i ? -1 : 0);
        case 2: {
            if (a->tag != kTypeString || b->tag != kTypeString) return 0;
            const CStr& x = *a->value.s;
            const CStr& y = *b->value.s;
            return x > y ? 1 : (x < y ? -1 : 0);
        }
        default: {
            if (a->tag != kTypeObject || b->tag != kTypeObject) {
                c.host.Kill();
                return 0;
            }
            int ka = 0, kb = 0;
            ScriptObjectServices& objects = GetScriptObjectServices();
            if (!objects.SortKeyOf(static_cast<u32>(a->value.i), ka) ||
                !objects.SortKeyOf(static_cast<u32>(b->value.i), kb))
                return 0;
            return ka > kb ? 1 : (ka < kb ? -1 : 0);
        }
    }
}

// One pass of the exchange sort: each item against its successor, the later one moved in
// front when the pair is out of order.
void ExchangePass(BuiltinCall& c, CScriptList& list, int mode, bool descending) {
    CScriptList::Cursor cur{&list, list.Head()};
    while (cur.node && cur.node->next) {
        CScriptListNode* a = cur.node;
        CScriptListNode* b = a->next;
        const int cmp = descending ? SortCompare(c, mode, b, a) : SortCompare(c, mode, a, b);
        if (cmp > 0) {
            CScriptList::Cursor at{&list, b};
            CScriptListNode* taken = list.Unlink(at);
            CScriptList::Cursor before{&list, a};
            list.LinkBefore(before, taken);
        } else {
            cur.node = b;
        }
    }
}

struct SortItem {
    CScriptListNode* node;
    s32 key;           // int mode: the value; object mode: the misc word
    const CStr* text;  // string mode
};

}  // namespace

// The order is the one the exchange sort of sortList gives (passes of adjacent exchanges
// until nothing moves; equal items keep their order), found in O(n log n):
// - An item that compares equal with everything (a non-string in string mode, an object
//   without a misc word in object mode) is never exchanged, so it stays where it is and no
//   item passes it: each run of items between such fixed items is sorted on its own, and a
//   stable sort gives exactly the exchange sort's order.
// - A wrong type in integer or object mode stops the thread at the first pass, which the
//   exchange sort still finishes and then ends: that one pass is run as it is.
void ListSort(BuiltinCall& c) {
    CScriptList& list = c.List(0);
    const s32 modeArg = c.Int(1);
    const bool descending = (modeArg & 1) != 0;
    const int mode = modeArg & ~1;
    if (mode != 0 && mode != 2 && mode != 4) {
        c.host.Kill();
        return;
    }
    if (list.Count() < 2) return;
    const u8 wanted = mode == 0 ? kTypeInt : (mode == 2 ? kTypeString : kTypeObject);
    if (mode != 2) {
        for (CScriptListNode* n = list.Head(); n; n = n->next) {
            if (n->tag != wanted) {
                ExchangePass(c, list, mode, descending);
                return;
            }
        }
    }
    std::vector<SortItem> items;
    std::vector<bool> fixed;
    items.reserve(static_cast<size_t>(list.Count()));
    fixed.reserve(static_cast<size_t>(list.Count()));
    for (CScriptListNode* n = list.Head(); n; n = n->next) {
        SortItem item{n, 0, nullptr};
        bool movable = true;
        if (mode == 0) {
            item.key = n->value.i;
        } else if (mode == 2) {
            movable = n->tag == kTypeString;
            if (movable) item.text = n->value.s;
        } else {
            int key = 0;
            movable = GetScriptObjectServices().SortKeyOf(static_cast<u32>(n->value.i), key);
            item.key = key;
        }
        items.push_back(item);
        fixed.push_back(!movable);
    }
    const auto before = [mode, descending](const SortItem& x, const SortItem& y) {
        if (mode == 2) return descending ? *x.text > *y.text : *x.text < *y.text;
        return descending ? x.key > y.key : x.key < y.key;
    };
    for (size_t first = 0; first < items.size();) {
        if (fixed[first]) {
            ++first;
            continue;
        }
        size_t last = first;
        while (last < items.size() && !fixed[last])
            ++last;
        std::stable_sort(items.begin() + static_cast<std::ptrdiff_t>(first),
                         items.begin() + static_cast<std::ptrdiff_t>(last), before);
        first = last;
    }
    std::vector<CScriptListNode*> order;
    order.reserve(items.size());
    for (const SortItem& item : items)
        order.push_back(item.node);
    list.Relink(order.data(), static_cast<s32>(order.size()));
}

void SetDefaultReturn(BuiltinCall& c) {
    c.host.SetDefaultResult(c.Int(0));
}

TriggerReturnSlot& GlobalTriggerReturn() {
    static TriggerReturnSlot slot;
    return slot;
}

void IntRet(BuiltinCall& c) {
    GlobalTriggerReturn().set = true;
    GlobalTriggerReturn().value = c.Int(0);
}
