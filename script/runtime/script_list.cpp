#include "script/runtime/script_list.h"

#include "core/wide_text.h"
#include "script/language/script_value.h"
#include "script/runtime/script_limits.h"
#include "script/runtime/script_thread_control.h"

void CopyIntoPayload(ScriptPayload& payload, u8 type, ScriptListValue v) {
    switch (type) {
        case kTypeString: {
            const CStr* src = static_cast<const CStr*>(v.p);
            payload.s = src ? new CStr(*src) : new CStr();
            break;
        }
        case kTypeUString: {
            const CUStr* src = static_cast<const CUStr*>(v.p);
            payload.q = src ? new CUStr(*src) : new CUStr();
            break;
        }
        case kTypeLocation: {
            payload.c = new Location();
            if (v.p) *payload.c = *static_cast<const Location*>(v.p);
            break;
        }
        case kTypeList: {
            payload.l = new CScriptList();
            if (v.p) payload.l->AppendCopyOf(*static_cast<const CScriptList*>(v.p));
            break;
        }
        default:
            payload.i = v.i;
            break;
    }
}

void FreeScriptPayload(u8 type, ScriptPayload& payload) {
    switch (type) {
        case kTypeString:
            delete payload.s;
            break;
        case kTypeUString:
            delete payload.q;
            break;
        case kTypeLocation:
            delete payload.c;
            break;
        case kTypeList:
            delete payload.l;
            break;
        default:
            break;
    }
}

ScriptListWeight WeightOfValue(u8 type, ScriptListValue v) {
    ScriptListWeight w{1, 0};
    if (!v.p) return w;
    switch (type) {
        case kTypeString:
            w.textBytes = static_cast<const CStr*>(v.p)->GetLength();
            break;
        case kTypeUString: {
            // Clamped just past the limit, so that no length overflows the count.
            const s64 bytes = UStringTextBytes(static_cast<const CUStr*>(v.p)->GetLength());
            w.textBytes = static_cast<s32>(bytes > kMaxScriptTextBytes ? kMaxScriptTextBytes + 1
                                                                       : bytes);
            break;
        }
        case kTypeList: {
            const ScriptListWeight inner = static_cast<const CScriptList*>(v.p)->Weight();
            w.items += inner.items;
            w.textBytes = inner.textBytes;
            break;
        }
        default:
            break;
    }
    return w;
}

void CScriptListNode::Init(u8 newTag, ScriptListValue v) {
    tag = newTag;
    const ScriptListWeight w = WeightOfValue(tag, v);
    heldItems = w.items;
    heldTextBytes = w.textBytes;
    CopyIntoPayload(value, tag, v);
}

void CScriptListNode::ReleasePayload() {
    FreeScriptPayload(tag, value);
    value.i = 0;
}

bool CScriptListNode::Equals(const CScriptListNode& other) const {
    if (tag != other.tag) return false;
    switch (tag) {
        case kTypeString:
            return *value.s == *other.value.s;
        case kTypeUString:
            return WideStrCompareNoCase(value.q->CText(), other.value.q->CText()) == 0;
        case kTypeLocation:
            return *value.c == *other.value.c;
        case kTypeList:
        case kTypeVoid:
        case kTypeUnknown:
            KillCurrentThread();
            return false;
        default:
            return value.i == other.value.i;
    }
}

void CScriptList::Clear() {
    CScriptListNode* node = head_;
    while (node) {
        CScriptListNode* next = node->next;
        node->ReleasePayload();
        delete node;
        node = next;
    }
    head_ = tail_ = nullptr;
    count_ = 0;
    weight_ = ScriptListWeight{};
    cacheNode_ = nullptr;
}

bool CScriptList::Admits(ScriptListWeight added) const {
    // Each side is within the limits, so the sums cannot overflow.
    if (weight_.items + static_cast<s64>(added.items) > kMaxScriptListItems) {
        StopScriptOverLimit(ListItemsOverLimitReason());
        return false;
    }
    if (weight_.textBytes + static_cast<s64>(added.textBytes) > kMaxScriptTextBytes) {
        StopScriptOverLimit(ListTextOverLimitReason());
        return false;
    }
    return true;
}

CScriptListNode* CScriptList::NewNode(u8 tag, ScriptListValue v) {
    if (!Admits(WeightOfValue(tag, v))) return nullptr;
    CScriptListNode* node = new CScriptListNode();
    node->Init(tag, v);
    return node;
}

void CScriptList::LinkNodeBefore(CScriptListNode* at, CScriptListNode* node) {
    cacheNode_ = nullptr;
    if (!at) {
        node->prev = tail_;
        node->next = nullptr;
        if (tail_) {
            tail_->next = node;
        } else {
            head_ = node;
        }
        tail_ = node;
    } else {
        node->next = at;
        node->prev = at->prev;
        if (at->prev) {
            at->prev->next = node;
        } else {
            head_ = node;
        }
        at->prev = node;
    }
    ++count_;
    weight_.items += node->heldItems;
    weight_.textBytes += node->heldTextBytes;
}

void CScriptList::UnlinkNode(CScriptListNode* node) {
    cacheNode_ = nullptr;
    if (node->prev) {
        node->prev->next = node->next;
    } else {
        head_ = node->next;
    }
    if (node->next) {
        node->next->prev = node->prev;
    } else {
        tail_ = node->prev;
    }
    node->next = node->prev = nullptr;
    --count_;
    weight_.items -= node->heldItems;
    weight_.textBytes -= node->heldTextBytes;
}

CScriptList& CScriptList::Append(u8 tag, ScriptListValue v) {
    if (CScriptListNode* node = NewNode(tag, v)) LinkNodeBefore(nullptr, node);
    return *this;
}

CScriptList& CScriptList::Prepend(u8 tag, ScriptListValue v) {
    if (CScriptListNode* node = NewNode(tag, v)) LinkNodeBefore(head_, node);
    return *this;
}

CScriptListNode* CScriptList::NodeAt(s32 index) const {
    if (index < 0 || index >= count_) return nullptr;
    // Walk from the nearest of the head, the tail and the last node found, so that reading a
    // list in order costs one step per item.
    s32 at = 0;
    CScriptListNode* node = head_;
    s32 best = index;
    if (count_ - 1 - index < best) {
        best = count_ - 1 - index;
        at = count_ - 1;
        node = tail_;
    }
    if (cacheNode_ && (index > cacheIndex_ ? index - cacheIndex_ : cacheIndex_ - index) < best) {
        at = cacheIndex_;
        node = cacheNode_;
    }
    while (at < index) {
        node = node->next;
        ++at;
    }
    while (at > index) {
        node = node->prev;
        --at;
    }
    cacheIndex_ = index;
    cacheNode_ = node;
    return node;
}

void CScriptList::InsertAt(u8 tag, ScriptListValue v, s32 index) {
    if (index >= count_) {
        Append(tag, v);
        return;
    }
    CScriptListNode* at = index < 0 ? head_ : NodeAt(index);
    if (CScriptListNode* node = NewNode(tag, v)) LinkNodeBefore(at, node);
}

void CScriptList::RemoveAt(s32 index) {
    if (index >= count_ || !head_) return;
    CScriptListNode* node = index < 0 ? head_ : NodeAt(index);
    if (!node) return;
    UnlinkNode(node);
    node->ReleasePayload();
    delete node;
}

void CScriptList::RemoveValue(u8 tag, ScriptListValue v) {
    CScriptListNode probe;
    probe.Init(tag, v);
    for (CScriptListNode* node = head_; node; node = node->next) {
        if (node->Equals(probe)) {
            UnlinkNode(node);
            node->ReleasePayload();
            delete node;
            break;
        }
    }
    probe.ReleasePayload();
}

int CScriptList::Contains(u8 tag, ScriptListValue v) const {
    for (CScriptListNode* node = head_; node; node = node->next) {
        if (node->tag != tag) continue;
        switch (tag) {
            case kTypeString: {
                const CStr* s = static_cast<const CStr*>(v.p);
                if (*node->value.s == (s ? s->CText() : "")) return 1;
                break;
            }
            case kTypeUString: {
                const CUStr* q = static_cast<const CUStr*>(v.p);
                if (WideStrCompareNoCase(node->value.q->CText(), q ? q->CText() : u"") == 0) {
                    return 1;
                }
                break;
            }
            case kTypeLocation: {
                const Location* c = static_cast<const Location*>(v.p);
                if (c && *node->value.c == *c) return 1;
                break;
            }
            case kTypeList:
                if (node->value.l == v.p) return 1;
                break;
            default:
                if (node->value.i == v.i) return 1;
                break;
        }
    }
    return 0;
}

void CScriptList::AppendCopyOf(const CScriptList& other) {
    // All or nothing: a copy that would not fit is refused before anything is copied.
    if (!Admits(other.weight_)) return;
    // Only the nodes present now: appending a list to itself copies its former content.
    const s32 n = other.count_;
    CScriptListNode* node = other.head_;
    for (s32 i = 0; i < n && node; ++i, node = node->next) {
        ScriptListValue v;
        switch (node->tag) {
            case kTypeString:
                v = ScriptListValue::Ptr(node->value.s);
                break;
            case kTypeUString:
                v = ScriptListValue::Ptr(node->value.q);
                break;
            case kTypeLocation:
                v = ScriptListValue::Ptr(node->value.c);
                break;
            case kTypeList:
                v = ScriptListValue::Ptr(node->value.l);
                break;
            default:
                v = ScriptListValue::Int(node->value.i);
                break;
        }
        Append(node->tag, v);
    }
}

CScriptListNode* CScriptList::Unlink(Cursor& cursor) {
    CScriptListNode* node = cursor.node;
    if (!node) return nullptr;
    cursor.node = node->next;
    UnlinkNode(node);
    return node;
}

void CScriptList::LinkBefore(Cursor& cursor, CScriptListNode* node) {
    if (!node) return;
    LinkNodeBefore(cursor.node, node);
    cursor.node = node;
}

void CScriptList::Relink(CScriptListNode* const* nodes, s32 count) {
    // The same nodes in another order: the weight stays.
    cacheNode_ = nullptr;
    head_ = count > 0 ? nodes[0] : nullptr;
    tail_ = count > 0 ? nodes[count - 1] : nullptr;
    for (s32 i = 0; i < count; ++i) {
        nodes[i]->prev = i > 0 ? nodes[i - 1] : nullptr;
        nodes[i]->next = i + 1 < count ? nodes[i + 1] : nullptr;
    }
    count_ = count;
}

CScriptListNode* GetListItemOfType(CScriptList& list, s32 index, u8 tag) {
    CScriptListNode* node = index >= 0 ? list.NodeAt(index) : nullptr;
    if (!node || node->tag != tag) {
        KillCurrentThread();
        return nullptr;
    }
    return node;
}
