#pragma once
// The script list value: a doubly linked list of typed elements that owns deep copies of its
// values. Tags are value-type indexes 0..5 (int, string, ustring, location, object, list).
// A list keeps count of what it holds, nested lists included, and refuses to grow past the
// limits of script values (script/runtime/script_limits.h): the operation is not done and the
// running script thread stops.
#include "core/cstr.h"
#include "core/custr.h"
#include "core/location.h"
#include "platform/types.h"

class CScriptList;

// A value handed to a list operation: the integer for int and object, a pointer to the source
// object for string, ustring, location and list (null string and ustring pointers stand for
// empty ones).
struct ScriptListValue {
    s32 i = 0;
    const void* p = nullptr;

    static ScriptListValue Int(s32 v) { return {v, nullptr}; }
    static ScriptListValue Ptr(const void* ptr) { return {0, ptr}; }
};

// A typed value that owns its object: ints and serials as they are; strings, ustrings,
// locations and lists on the heap. The holder keeps the type.
union ScriptPayload {
    s32 i;
    CStr* s;
    CUStr* q;
    Location* c;
    CScriptList* l;
};

// Makes the payload hold a deep copy of v as that type (what it held is not freed).
void CopyIntoPayload(ScriptPayload& payload, u8 type, ScriptListValue v);
// Frees what a payload of the type owns (the payload itself is left as it is).
void FreeScriptPayload(u8 type, ScriptPayload& payload);

// What a value weighs against the limits of a list: its elements (itself and those of a
// nested list) and the bytes of text in it.
struct ScriptListWeight {
    s32 items = 0;
    s32 textBytes = 0;
};
// The weight a value of the type would have in a list.
ScriptListWeight WeightOfValue(u8 type, ScriptListValue v);

struct CScriptListNode {
    CScriptListNode* next = nullptr;
    CScriptListNode* prev = nullptr;
    u8 tag = 0;
    // Its weight as counted when it was made (what its list adds and takes away).
    s32 heldItems = 1;
    ScriptPayload value{};
    s32 heldTextBytes = 0;

    // Sets the tag and copies the value by tag.
    void Init(u8 tag, ScriptListValue v);
    // Frees the owned payload by tag.
    void ReleasePayload();
    // Node equality of RemoveValue: strings ignoring case, ustrings with A-Z folded,
    // locations by x, y and z; comparing lists, void or unknown values stops the current
    // script thread and counts as unequal.
    bool Equals(const CScriptListNode& other) const;
};

class CScriptList {
public:
    // A position in a list for Unlink and LinkBefore; node null means past the end.
    struct Cursor {
        CScriptList* list;
        CScriptListNode* node;
    };

    CScriptList() = default;
    CScriptList(const CScriptList&) = delete;
    CScriptList& operator=(const CScriptList&) = delete;
    ~CScriptList() { Clear(); }

    void Clear();
    // A consistency hook run before a list is walked; it checks nothing.
    void CheckValid() const {}
    // Each growing operation first checks the limits; past them it does nothing and stops
    // the running thread (StopScriptOverLimit).
    CScriptList& Append(u8 tag, ScriptListValue v);
    CScriptList& Prepend(u8 tag, ScriptListValue v);
    // Before the node at the index (a negative index inserts first); at or past the count,
    // the same as Append.
    void InsertAt(u8 tag, ScriptListValue v, s32 index);
    s32 Count() const { return count_; }
    // Everything it holds: its elements with those of nested lists, and their text.
    ScriptListWeight Weight() const { return weight_; }
    // Removes the node at the index (a negative index removes the first); nothing at or past
    // the count.
    void RemoveAt(s32 index);
    // Removes the first node equal to (tag, value) by node equality.
    void RemoveValue(u8 tag, ScriptListValue v);
    // 1 when some node has the tag and an equal value: strings ignoring case, ustrings with
    // A-Z folded, locations by x, y, z, anything else (lists too) by integer or pointer.
    int Contains(u8 tag, ScriptListValue v) const;
    // Appends a deep copy of every node of the other list (the nodes it had when called).
    void AppendCopyOf(const CScriptList& other);

    // Unlinks the cursor's node, moves the cursor to the following node and returns the
    // unlinked node without freeing it.
    CScriptListNode* Unlink(Cursor& cursor);
    // Links an unlinked node before the cursor's node (after the tail when past the end);
    // the cursor then points at it.
    void LinkBefore(Cursor& cursor, CScriptListNode* node);

    // Links the list's own nodes again in the given order; `nodes` holds every node of the
    // list exactly once (what sortList computed).
    void Relink(CScriptListNode* const* nodes, s32 count);

    CScriptListNode* Head() const { return head_; }
    CScriptListNode* Tail() const { return tail_; }
    // The node at a 0-based index, or null.
    CScriptListNode* NodeAt(s32 index) const;

private:
    void LinkNodeBefore(CScriptListNode* at, CScriptListNode* node);
    void UnlinkNode(CScriptListNode* node);
    // True when the weight added stays within the limits; otherwise the refusal is reported.
    bool Admits(ScriptListWeight added) const;
    // A new node holding a copy of the value, or null when the list cannot take it.
    CScriptListNode* NewNode(u8 tag, ScriptListValue v);

    CScriptListNode* head_ = nullptr;
    CScriptListNode* tail_ = nullptr;
    s32 count_ = 0;
    ScriptListWeight weight_;
    // The node NodeAt found last and its index; cleared by every change of the chain.
    mutable CScriptListNode* cacheNode_ = nullptr;
    mutable s32 cacheIndex_ = 0;
};

// The node at the 0-based index when it exists and carries the tag; otherwise the running
// script thread is stopped and the answer is null (a negative index counts as past the end).
CScriptListNode* GetListItemOfType(CScriptList& list, s32 index, u8 tag);
