// The list builtins: appending, inserting, replacing and removing items, counting, searching,
// concatenating and sorting.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "script/builtins/language_builtins.h"
#include "script/language/script_value.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_world_link.h"

namespace {

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
    // The value may be an item of this very list: insert the copy before removing. A copy
    // the list cannot take leaves the list as it was.
    const s32 before = list.Count();
    list.InsertAt(TagOfArg(c.Arg(1)), ValueOfArg(c.Arg(1)), index);
    if (list.Count() == before) return;
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

constexpr BuiltinBinding kBindings[] = {
    {"clearlist", "vl", ListClear},
    {"append", "vlu", ListAppend},
    {"appendToList", "vlu", ListAppend},
    {"prepend", "vlu", ListPrepend},
    {"prependToList", "vlu", ListPrepend},
    {"insert", "vlui", ListInsert},
    {"insertInList", "vlui", ListInsert},
    {"setitem", "vlui", ListSetItem},
    {"setItem", "vlui", ListSetItem},
    {"setLocItem", "vlci", ListSetItem},
    {"numinlist", "il", ListCount},
    {"numInList", "il", ListCount},
    {"isinlist", "ilu", ListContains},
    {"isInList", "ilu", ListContains},
    {"concatList", "vll", ListConcat},
    {"truncateList", "vli", ListTruncate},
    {"removeitem", "vli", ListRemoveItem},
    {"removeItem", "vli", ListRemoveItem},
    {"removespecificitem", "vlu", ListRemoveSpecific},
    {"removeSpecificItem", "vlu", ListRemoveSpecific},
    {"clearList", "vl", ListClear},
    {"getListItemType", "ili", ListItemType},
    {"printList", "vl", ListPrint},
    {"sortList", "vli", ListSort},
};

}  // namespace

std::span<const BuiltinBinding> ListBuiltins() {
    return kBindings;
}
