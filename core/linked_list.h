#pragma once
// The program's own doubly linked list. Callers write their walks with the node operations
// (start, test, step), so nodes, direction numbers and ownership are part of the interface:
// - a list owns its nodes and a node owns its element (one heap object per element);
// - a direction of 1 walks head to tail, any other value tail to head;
// - a "where" of 1 means the head (or after a node), any other value the tail (or before).
// Null node arguments are tolerated everywhere and answer null.
//
// Each node also remembers the list that made it. The operations that change links refuse a
// node of another list, so a stale or foreign position cannot corrupt the links or count.
#include "platform/types.h"

template <typename T>
class CLinkedList;

template <typename T>
class CLinkedListNode {
public:
    CLinkedListNode(const CLinkedListNode&) = delete;
    CLinkedListNode& operator=(const CLinkedListNode&) = delete;
    ~CLinkedListNode() { delete element_; }

    T* GetData() const { return element_; }

    // Copies a value in: assigned to the element when there is one, else a new copy.
    void SetValue(const T& value) {
        if (element_ != nullptr) {
            *element_ = value;
        } else {
            element_ = new T(value);
        }
    }

    // Takes over a heap element, deleting the one held before.
    void AdoptData(T* element) {
        if (element != element_) delete element_;
        element_ = element;
    }

    // Stores the pointer and hands back the previous one; nothing is deleted.
    T* SwapData(T* element) {
        T* old = element_;
        element_ = element;
        return old;
    }

private:
    friend class CLinkedList<T>;
    explicit CLinkedListNode(const CLinkedList<T>* owner) : owner_(owner) {}

    CLinkedListNode* next_ = nullptr;
    CLinkedListNode* prev_ = nullptr;
    T* element_ = nullptr;
    const CLinkedList<T>* owner_;
};

// A position in a list: a node pointer, null when there is no entry.
template <typename T>
class CListPos {
public:
    CListPos() = default;
    explicit CListPos(CLinkedListNode<T>* node) : node(node) {}
    bool IsValid() const { return node != nullptr; }

    CLinkedListNode<T>* node = nullptr;
};

template <typename T>
class CLinkedList {
public:
    using Node = CLinkedListNode<T>;

    CLinkedList() = default;
    CLinkedList(const CLinkedList&) = delete;
    CLinkedList& operator=(const CLinkedList&) = delete;
    ~CLinkedList() { RemoveAll(); }

    // Queries.
    Node* GetHead() const { return head_; }
    Node* GetTail() const { return tail_; }
    int GetCount() const { return count_; }
    Node* GetStart(int direction) const { return direction == 1 ? head_ : tail_; }
    static bool IsValid(const Node* node) { return node != nullptr; }
    static Node* NextOf(const Node* node) { return node != nullptr ? node->next_ : nullptr; }
    static Node* PrevOf(const Node* node) { return node != nullptr ? node->prev_ : nullptr; }
    static Node* Step(const Node* node, int direction) {
        return direction == 1 ? NextOf(node) : PrevOf(node);
    }
    static T* GetAt(const Node* node) { return node != nullptr ? node->element_ : nullptr; }

    // True when the node is one of this list's nodes.
    bool Owns(const Node* node) const { return node != nullptr && node->owner_ == this; }

    // Making nodes: each new node has no element yet.
    Node* NewTailNode() { return tail_ != nullptr ? InsertNodeAfter(tail_) : MakeOnlyNode(); }
    Node* NewHeadNode() { return head_ != nullptr ? InsertNodeBefore(head_) : MakeOnlyNode(); }

    Node* InsertNodeAfter(Node* node) {
        if (!Owns(node)) return nullptr;
        Node* made = new Node(this);
        made->next_ = node->next_;
        made->prev_ = node;
        if (node->next_ != nullptr) {
            node->next_->prev_ = made;
        } else {
            tail_ = made;
        }
        node->next_ = made;
        ++count_;
        return made;
    }

    Node* InsertNodeBefore(Node* node) {
        if (!Owns(node)) return nullptr;
        Node* made = new Node(this);
        made->prev_ = node->prev_;
        made->next_ = node;
        if (node->prev_ != nullptr) {
            node->prev_->next_ = made;
        } else {
            head_ = made;
        }
        node->prev_ = made;
        ++count_;
        return made;
    }

    // Adding copies of values.
    Node* AddTail(const T& value) { return Filled(NewTailNode(), value); }
    Node* AddHead(const T& value) { return Filled(NewHeadNode(), value); }
    Node* AddAtEnd(const T& value, int where) {
        return where == 1 ? AddHead(value) : AddTail(value);
    }

    // Adding heap elements the list takes over. When no node can be made (a foreign node),
    // the element stays the caller's.
    Node* AttachTail(T* element) { return Adopted(NewTailNode(), element); }
    Node* AttachHead(T* element) { return Adopted(NewHeadNode(), element); }
    Node* AttachAfter(Node* node, T* element) { return Adopted(InsertNodeAfter(node), element); }
    Node* AttachBefore(Node* node, T* element) { return Adopted(InsertNodeBefore(node), element); }
    Node* AttachAtEnd(T* element, int where) {
        return where == 1 ? AttachHead(element) : AttachTail(element);
    }
    Node* AttachBeside(Node* node, T* element, int where) {
        return where == 1 ? AttachAfter(node, element) : AttachBefore(node, element);
    }

    // Unlinks and destroys the node, handing its element to the caller. Returns the node that
    // followed it (direction 1) or preceded it (any other direction).
    Node* Detach(Node* node, T*& element, int direction) {
        element = nullptr;
        if (!Owns(node)) return nullptr;
        Node* next = node->next_;
        Node* prev = node->prev_;
        if (prev != nullptr) {
            prev->next_ = next;
        } else {
            head_ = next;
        }
        if (next != nullptr) {
            next->prev_ = prev;
        } else {
            tail_ = prev;
        }
        element = node->SwapData(nullptr);
        delete node;
        --count_;
        return direction == 1 ? next : prev;
    }

    // Detach, then delete the element. Assigning the result to a walk's node continues it.
    Node* RemoveNode(Node* node, int direction) {
        T* element = nullptr;
        Node* neighbour = Detach(node, element, direction);
        delete element;
        return neighbour;
    }

    void RemoveAll() {
        Node* node = head_;
        while (node != nullptr)
            node = RemoveNode(node, 1);
    }

    // First node, from start (inclusive) or the direction's end when start is null, whose
    // element equals the key. A start node of another list finds nothing.
    template <typename K>
    Node* Find(const K& key, Node* start, int direction) const {
        Node* node = FirstOfWalk(start, direction);
        for (; node != nullptr; node = Step(node, direction)) {
            if (node->element_ != nullptr && *node->element_ == key) return node;
        }
        return nullptr;
    }

    // As Find over a sorted list, giving up (null) at the first element the key sorts below
    // (ascending 1) or above (otherwise). Equality is tested before order.
    Node* FindSorted(const T& key, Node* start, int direction, int ascending) const {
        Node* node = FirstOfWalk(start, direction);
        for (; node != nullptr; node = Step(node, direction)) {
            const T* element = node->element_;
            if (element == nullptr) continue;
            if (*element == key) return node;
            if (ascending == 1 ? key < *element : *element < key) return nullptr;
        }
        return nullptr;
    }

    // Takes over a heap value and links it at its sorted place. Walking from the direction's
    // end, it stops at the first element the value sorts below (ascending 1) or above
    // (otherwise) and goes before it when walking forward, after it when walking backward;
    // with no such element it goes to the far end of the walk. Equal values keep their
    // arrival order on a forward ascending walk.
    Node* InsertSorted(T* value, int direction, int ascending) {
        if (value == nullptr) return nullptr;
        for (Node* node = GetStart(direction); node != nullptr; node = Step(node, direction)) {
            const T* element = node->element_;
            if (element == nullptr) continue;
            if (ascending == 1 ? *value < *element : *element < *value) {
                return direction == 1 ? AttachBefore(node, value) : AttachAfter(node, value);
            }
        }
        return direction == 1 ? AttachTail(value) : AttachHead(value);
    }

    Node* InsertSortedCopy(const T& value, int direction, int ascending) {
        return InsertSorted(new T(value), direction, ascending);
    }

private:
    Node* MakeOnlyNode() {
        Node* made = new Node(this);
        head_ = made;
        tail_ = made;
        ++count_;
        return made;
    }

    static Node* Filled(Node* node, const T& value) {
        if (node != nullptr) node->SetValue(value);
        return node;
    }

    static Node* Adopted(Node* node, T* element) {
        if (node != nullptr) node->AdoptData(element);
        return node;
    }

    Node* FirstOfWalk(Node* start, int direction) const {
        if (start == nullptr) return GetStart(direction);
        return Owns(start) ? start : nullptr;
    }

    Node* head_ = nullptr;
    Node* tail_ = nullptr;
    s32 count_ = 0;
};
