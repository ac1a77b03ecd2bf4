#include "server/world/timed_callbacks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/log_sink.h"
#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/triggers.h"
#include "server/world/callback_schedule.h"
#include "server/world/container.h"
#include "server/world/doors.h"
#include "server/world/item.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/reputation.h"

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

CallbackSchedule& Schedule() {
    static auto* schedule = new CallbackSchedule();
    return *schedule;
}

void RemoveVariable(CBaseObject* object, const char* name) {
    if (!name) return;
    CObjAttachments** set = GetScriptObjectServices().AttachmentsOf(object);
    if (set) ObjVars::Remove(*set, name);
}

// The world object behind an action's object (every object with callbacks is a CItem).
CItem* AsItem(CBaseObject* object) {
    return object && object->IsDynamic() ? static_cast<CItem*>(object) : nullptr;
}

void ActionDelete(CBaseObject* object, s32, const char*) {
    GetScriptObjectServices().DeleteObject(object);
}

// A corpse empties onto the ground where it lies (hair is deleted), then goes.
void ActionCorpseDecay(CBaseObject* object, s32, const char*) {
    CItem* corpse = AsItem(object);
    if (!corpse || !corpse->IsCorpse()) return;
    const u32 serial = corpse->GetSerial();
    if (corpse->IsContainer()) {
        // Serials first: a trigger run by a move or a deletion may delete any of them.
        std::vector<u32> contents;
        for (CItem* c = static_cast<CContainer*>(corpse)->GetFirstChild(); c;
             c = c->GetNextSibling())
            contents.push_back(c->GetSerial());
        for (u32 content : contents) {
            if (!IsObjectAlive(serial, corpse)) return;
            CItem* item = g_objectManager.FindBySerial(content);
            if (!item || item->GetContainer() != corpse) continue;
            if (item->IsHair()) {
                item->DeleteSelf();
            } else {
                item->MoveTo(corpse->GetWorldLocation());
            }
        }
        if (!IsObjectAlive(serial, corpse)) return;
    }
    GetScriptObjectServices().DeleteObject(corpse);
}

void ActionCallbackTrigger(CBaseObject* object, s32 key, const char*) {
    ScriptTriggerArgs args;
    args.key = key;
    sendTrigger(object, kTriggerCallback, args);
}

void ActionDeleteValueless(CBaseObject* object, s32, const char*) {
    ScriptObjectServices& link = GetScriptObjectServices();
    CObjAttachments** set = link.AttachmentsOf(object);
    if (set && ObjVars::Has(*set, "valueless", kTypeInt)) link.DeleteObject(object);
}

void ActionNothing(CBaseObject*, s32, const char*) {}

void ActionRemoveVariable(CBaseObject* object, s32, const char* text) {
    RemoveVariable(object, text);
}

// The variable goes and the object is placed again where it stands, so that the players
// around see it afresh. Only an object lying in the world is placed again: the Location of
// a contained or worn one is its place inside its holder.
void ActionRemoveVariableAndReplace(CBaseObject* object, s32, const char* text) {
    if (!text) return;
    RemoveVariable(object, text);
    CItem* item = AsItem(object);
    if (!item || item->IsDetached() || item->IsContained()) return;
    const Location at = item->GetLocation();
    item->RemoveFromWorldQuiet();
    item->PlaceInWorld(at);
}

void ActionRemoveChaos(CBaseObject* object, s32, const char*) {
    RemoveVariable(object, "chaos");
}
void ActionRemoveOrder(CBaseObject* object, s32, const char*) {
    RemoveVariable(object, "order");
}

// A player whose log-out waited leaves the game now.
void ActionDelayedLogOut(CBaseObject* object, s32, const char*) {
    CItem* item = AsItem(object);
    if (CPlayer* player = item ? item->AsPlayer() : nullptr) player->GoLoggedOut();
}

// A ghost's war mode runs out.
void ActionGhostWarModeTimeout(CBaseObject* object, s32, const char*) {
    CItem* item = AsItem(object);
    if (CPlayer* player = item ? item->AsPlayer() : nullptr) player->GhostWarModeTimeout();
}

// A door closes (or tries again later when a mobile stands in its way).
void ActionCloseDoor(CBaseObject* object, s32, const char*) {
    if (CItem* door = AsItem(object)) CloseDoor(door);
}

// A mobile flag runs out; a player is told.
void ClearMobFlag(CBaseObject* object, int flag, const char* told) {
    CItem* item = AsItem(object);
    CMobile* mobile = item ? item->AsMobile() : nullptr;
    if (!mobile || !mobile->GetMobFlag(flag)) return;
    if (flag == kMobInvulnerable) {
        mobile->MakeVulnerable();
    } else {
        mobile->SetMobFlag(flag, false);
    }
    if (CPlayer* player = mobile->AsPlayer()) GetPacketServices().SendSystemMessage(player, told);
}

void ActionUnfreeze(CBaseObject* object, s32, const char*) {
    ClearMobFlag(object, kMobFrozen, "You are no longer frozen.");
}

void ActionUnsquelch(CBaseObject* object, s32, const char*) {
    ClearMobFlag(object, kMobSquelched, "You are no longer squelched.");
}

void ActionVulnerable(CBaseObject* object, s32, const char*) {
    ClearMobFlag(object, kMobInvulnerable, "You are no longer invulnerable.");
}

// One entry per action. An entry without an effect is not built yet: its callbacks stay
// where they are (and in the save text) until the effect exists, and the first one that
// comes due says so in the log.
struct ActionEntry {
    CallbackAction effect;
    const char* waitsFor;  // what a missing effect needs, for the log
    bool logged;
};

ActionEntry g_actions[kCallbackActions] = {
    {nullptr, "", false},
    {ActionDelete, "", false},
    {ActionCorpseDecay, "", false},
    {ActionDelayedLogOut, "", false},
    {ActionCloseDoor, "", false},
    {ActionCallbackTrigger, "", false},
    {ActionDelete, "", false},
    {nullptr, "object speech", false},
    {ActionDeleteValueless, "", false},
    {ActionNothing, "", false},
    {ActionNothing, "", false},
    {ActionRemoveVariable, "", false},
    {ActionGhostWarModeTimeout, "", false},
    {ActionRemoveVariableAndReplace, "", false},
    {ActionUnfreeze, "", false},
    {ActionUnsquelch, "", false},
    {ActionVulnerable, "", false},
    {ReputationTimerExpired, "", false},
    {ActionRemoveChaos, "", false},
    {ActionRemoveOrder, "", false},
};

void LogNotBuilt(int action) {
    ActionEntry& entry = g_actions[action];
    if (entry.logged) return;
    entry.logged = true;
    char message[160];
    std::snprintf(message, sizeof message,
                  "timed callback action %d is not built yet (it needs %s); its callbacks are "
                  "kept",
                  action, entry.waitsFor[0] ? entry.waitsFor : "an effect");
    GetLogSink().Log(0, 0, 0, "", "callback", "error", message);
}

}  // namespace

CallbackAction SetCallbackAction(int action, CallbackAction effect) {
    if (action < 1 || action >= kCallbackActions) return nullptr;
    ActionEntry& entry = g_actions[action];
    CallbackAction old = entry.effect;
    entry.effect = effect;
    entry.logged = false;
    return old;
}

bool IsCallbackActionBuilt(int action) {
    return action >= 1 && action < kCallbackActions && g_actions[action].effect != nullptr;
}

void EnsureCallbacksPending(u32 serial) {
    Schedule().Join(serial, nullptr);
}

void CallbacksObjectMoved(CBaseObject* object) {
    ScriptObjectServices& link = GetScriptObjectServices();
    TimedCallback** head = object ? link.CallbacksOf(object) : nullptr;
    if (head && *head) Schedule().Update(link.SerialOf(object), head);
}

s32 CallbackTicksLeft(const TimedCallback& node) {
    return Schedule().TicksLeft(node);
}

TimedCallback* AddCallback(TimedCallback*& head, u32 serial, s32 ticks, s32 action, s32 key,
                           const char* text) {
    // The other nodes are brought up to date first: the new one counts from now.
    Schedule().Settle(serial, head);
    TimedCallback* node = Pool().Take();
    node->ticks = ticks;
    node->action = action;
    node->key = key;
    node->serial = serial;
    if (text) {
        const size_t n = std::strlen(text);
        node->text = new char[n + 1];
        std::memcpy(node->text, text, n + 1);
    }
    const bool first = head == nullptr;
    node->next = head;
    head = node;
    if (first) {
        Schedule().Join(serial, &head);
    } else {
        Schedule().Update(serial, &head);
    }
    return node;
}

void RemoveCallback(TimedCallback*& head, s32 action, s32 key) {
    bool removed = false;
    u32 serial = 0;
    for (TimedCallback** link = &head; *link;) {
        TimedCallback* node = *link;
        if (node->action == action && node->key == key) {
            *link = node->next;
            serial = node->serial;
            removed = true;
            Pool().Give(node);
        } else {
            link = &node->next;
        }
    }
    if (removed) Schedule().Update(serial, &head);
}

bool HasCallback(const TimedCallback* head, s32 action, s32 key) {
    for (const TimedCallback* n = head; n; n = n->next)
        if (n->action == action && n->key == key) return true;
    return false;
}

void ClearCallbacks(TimedCallback*& head) {
    if (!head) return;
    const u32 serial = head->serial;
    while (head) {
        TimedCallback* next = head->next;
        Pool().Give(head);
        head = next;
    }
    Schedule().Update(serial, &head);
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
    if (!head || !*head) return 0;
    const u32 serial = link.SerialOf(object);
    if (link.IsDetached(object)) {
        Schedule().Update(serial, head);
        return 0;
    }
    Schedule().Settle(serial, *head);
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
    Schedule().Visited(serial);
    int ran = 0;
    std::vector<TimedCallback*> kept;  // due, but their action is not built yet
    for (size_t k = 0; k < due.size(); ++k) {
        TimedCallback* node = due[k];
        const s32 action = node->action;
        if (action > 0 && action < kCallbackActions && !g_actions[action].effect) {
            LogNotBuilt(action);
            kept.push_back(node);
            continue;
        }
        if (action > 0 && action < kCallbackActions) {
            g_actions[action].effect(object, node->key, node->text);
            ++ran;
        }
        if (link.FindBySerial(serial) != object) {
            for (size_t j = k; j < due.size(); ++j)
                Pool().Give(due[j]);
            for (TimedCallback* n : kept)
                Pool().Give(n);
            Schedule().Update(serial, nullptr);
            return 0;
        }
        Pool().Give(node);
    }
    // The kept ones go back to the head of the list in the order they had.
    for (size_t k = kept.size(); k-- > 0;) {
        kept[k]->next = *head;
        *head = kept[k];
    }
    Schedule().Update(serial, head);
    return ran;
}

namespace {

void VisitDue(u32 serial) {
    ScriptObjectServices& link = GetScriptObjectServices();
    if (CBaseObject* object = link.FindBySerial(serial)) RunCallbacks(object);
}

}  // namespace

void RunAllCallbacks() {
    Schedule().RunPulse(VisitDue);
}

int PendingCallbackObjects() {
    return Schedule().PendingCount();
}

bool WriteCallbacks(const TimedCallback* head, CStr& out) {
    CStr text("callback=");
    bool any = false;
    for (const TimedCallback* n = head; n; n = n->next) {
        if (n->action == 7 || n->action == 10 || n->action == 11) continue;
        char item[48];
        std::snprintf(item, sizeof item, "%d %d %d ", n->action, n->key,
                      CallbackTicksLeft(*n));
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
