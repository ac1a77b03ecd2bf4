#include "server/world/timed_callbacks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <unordered_set>
#include <vector>

#include "script/compiler/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/triggers.h"

namespace {

// Nodes come from blocks of 1024 kept for the life of the process.
struct NodePool {
    std::vector<std::unique_ptr<TimedCallback[]>> blocks;
    TimedCallback* free = nullptr;

    TimedCallback* Take() {
        if (!free) {
            blocks.push_back(std::make_unique<TimedCallback[]>(1024));
            TimedCallback* block = blocks.back().get();
            for (int k = 1; k < 1024; ++k) {
                block[k].next = free;
                free = &block[k];
            }
            block[0] = TimedCallback{};
            return &block[0];
        }
        TimedCallback* node = free;
        free = node->next;
        *node = TimedCallback{};
        return node;
    }
    void Give(TimedCallback* node) {
        delete[] node->text;
        *node = TimedCallback{};
        node->next = free;
        free = node;
    }
};

NodePool& Pool() {
    static auto* pool = new NodePool();
    return *pool;
}

struct Pending {
    std::deque<u32> order;
    std::unordered_set<u32> members;
};
Pending g_pending;

void RemoveVariable(CBaseObject* object, const char* name) {
    if (!name) return;
    CObjAttachments** set = GetScriptObjectServices().AttachmentsOf(object);
    if (set) ObjVars::Remove(*set, name);
}

void ActionCallbackTrigger(CBaseObject* object, s32 key, const char*) {
    ScriptTriggerArgs args;
    args.key = key;
    sendTrigger(object, kTriggerCallback, args);
}
void ActionRemoveVariable(CBaseObject* object, s32, const char* text) {
    RemoveVariable(object, text);
}
void ActionRemoveChaos(CBaseObject* object, s32, const char*) {
    RemoveVariable(object, "chaos");
}
void ActionRemoveOrder(CBaseObject* object, s32, const char*) {
    RemoveVariable(object, "order");
}
void ActionDelete(CBaseObject* object, s32, const char*) {
    GetScriptObjectServices().DeleteObject(object);
}

CallbackAction g_actions[kCallbackActions] = {
    nullptr,           ActionDelete,      nullptr, nullptr, nullptr, ActionCallbackTrigger,
    ActionDelete,      nullptr,           nullptr, nullptr, nullptr, ActionRemoveVariable,
    nullptr,           nullptr,           nullptr, nullptr, nullptr, nullptr,
    ActionRemoveChaos, ActionRemoveOrder,
};

}  // namespace

CallbackAction SetCallbackAction(int action, CallbackAction effect) {
    if (action < 1 || action >= kCallbackActions) return nullptr;
    CallbackAction old = g_actions[action];
    g_actions[action] = effect;
    return old;
}

void EnsureCallbacksPending(u32 serial) {
    if (g_pending.members.insert(serial).second) g_pending.order.push_back(serial);
}

TimedCallback* AddCallback(TimedCallback*& head, u32 serial, s32 ticks, s32 action, s32 key,
                           const char* text) {
    TimedCallback* node = Pool().Take();
    node->ticks = ticks;
    node->action = action;
    node->key = key;
    if (text) {
        const size_t n = std::strlen(text);
        node->text = new char[n + 1];
        std::memcpy(node->text, text, n + 1);
    }
    if (!head) EnsureCallbacksPending(serial);
    node->next = head;
    head = node;
    return node;
}

void RemoveCallback(TimedCallback*& head, s32 action, s32 key) {
    for (TimedCallback** link = &head; *link;) {
        TimedCallback* node = *link;
        if (node->action == action && node->key == key) {
            *link = node->next;
            Pool().Give(node);
        } else {
            link = &node->next;
        }
    }
}

bool HasCallback(const TimedCallback* head, s32 action, s32 key) {
    for (const TimedCallback* n = head; n; n = n->next)
        if (n->action == action && n->key == key) return true;
    return false;
}

void ClearCallbacks(TimedCallback*& head) {
    while (head) {
        TimedCallback* next = head->next;
        Pool().Give(head);
        head = next;
    }
}

TimedCallback* ScheduleCallback(s32 ticks, u32 serial, s32 action, s32 key, const char* text) {
    ScriptObjectServices& link = GetScriptObjectServices();
    CBaseObject* object = link.FindBySerial(serial);
    TimedCallback** head = object ? link.CallbacksOf(object) : nullptr;
    if (!head) return nullptr;
    RemoveCallback(*head, action, key);
    return AddCallback(*head, serial, ticks, action, key, text);
}

int RunCallbacks(CBaseObject* object) {
    ScriptObjectServices& link = GetScriptObjectServices();
    TimedCallback** head = object ? link.CallbacksOf(object) : nullptr;
    if (!head || !*head || link.IsDetached(object)) return 0;
    const u32 serial = link.SerialOf(object);
    // Take the due ones out first: an action may add, remove or clear callbacks.
    std::vector<TimedCallback*> due;
    for (TimedCallback** l = head; *l;) {
        TimedCallback* node = *l;
        if (node->ticks <= 0) {
            *l = node->next;
            node->next = nullptr;
            due.push_back(node);
        } else {
            --node->ticks;
            l = &node->next;
        }
    }
    const int count = static_cast<int>(due.size());
    for (size_t k = 0; k < due.size(); ++k) {
        TimedCallback* node = due[k];
        const s32 action = node->action;
        if (action > 0 && action < kCallbackActions && g_actions[action])
            g_actions[action](object, node->key, node->text);
        if (link.FindBySerial(serial) != object) {
            for (size_t j = k; j < due.size(); ++j)
                Pool().Give(due[j]);
            return 0;
        }
        Pool().Give(node);
    }
    return count;
}

void RunAllCallbacks() {
    ScriptObjectServices& link = GetScriptObjectServices();
    std::vector<u32> run;
    std::deque<u32> kept;
    for (u32 serial : g_pending.order) {
        CBaseObject* object = link.FindBySerial(serial);
        TimedCallback** head = object ? link.CallbacksOf(object) : nullptr;
        if (head && *head) {
            run.push_back(serial);
            kept.push_back(serial);
        } else {
            g_pending.members.erase(serial);
        }
    }
    g_pending.order.swap(kept);
    for (u32 serial : run)
        if (CBaseObject* object = link.FindBySerial(serial)) RunCallbacks(object);
}

int PendingCallbackObjects() {
    return static_cast<int>(g_pending.order.size());
}

bool WriteCallbacks(const TimedCallback* head, CStr& out) {
    CStr text("callback=");
    bool any = false;
    for (const TimedCallback* n = head; n; n = n->next) {
        if (n->action == 7 || n->action == 10 || n->action == 11) continue;
        char item[48];
        std::snprintf(item, sizeof item, "%d %d %d ", n->action, n->key, n->ticks);
        text += item;
        any = true;
    }
    if (!any) return false;
    text += "0";
    out += text;
    return true;
}

int ReadCallbacks(TimedCallback*& head, u32 serial, const char* text) {
    int added = 0;
    const char* p = text ? text : "";
    for (;;) {
        char* end = nullptr;
        const long action = std::strtol(p, &end, 10);
        if (end == p || action == 0) break;
        p = end;
        const long key = std::strtol(p, &end, 10);
        if (end == p) break;
        p = end;
        const long ticks = std::strtol(p, &end, 10);
        if (end == p) break;
        p = end;
        if (action < 1 || action >= kCallbackActions) continue;
        AddCallback(head, serial, static_cast<s32>(ticks), static_cast<s32>(action),
                    static_cast<s32>(key), nullptr);
        ++added;
    }
    return added;
}
