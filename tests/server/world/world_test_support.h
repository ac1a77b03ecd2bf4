#pragma once
// Recording stand-ins for the services the world model calls (script triggers, object
// packets, NPC steps) and a fixture with a small world of 64 x 64 tiles at (0, 0).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "server/world/delete_all_objects.h"

#include "script/runtime/obj_attachments.h"
#include "script/runtime/trigger_services.h"
#include "server/world/container.h"
#include "server/world/item.h"
#include "server/world/item_kinds.h"
#include "server/world/mobile_table.h"
#include "server/world/npc_services.h"
#include "server/world/object_manager.h"
#include "server/world/packet_services.h"
#include "server/world/player.h"
#include "server/world/sector_grid.h"
#include "server/world/tile_data.h"
#include "server/world/timed_callbacks.h"

// Graphics of the test tile set.
enum TestGraphic {
    kPlainItem = 100,    // weight 1, height 1
    kTable = 101,        // surface, height 6
    kWall = 102,         // impassable, blocks sight, height 20
    kWindow = 103,       // impassable, lets sight through, height 20
    kDoorGraphic = 104,  // door, impassable, height 20
    kBridgePart = 107,   // surface + bridge, height 4
    kLowWall = 106,      // impassable, height 9 (for edges at 9/10)
    kBag = 110,          // container
    kSword = 111,        // weapon
    kMapGraphic = 112,   // map
    kValued = 113,       // base value 5
};
// Land tiles of the test tile set.
enum TestLand {
    kGrass = 3,
    kWater = 50,  // wet, impassable
    kRock = 60,   // impassable, background (blocks sight)
};

struct RecordingTriggers : TriggerServices {
    struct Call {
        u32 serial;
        int trigger;
        TriggerArgs args;
        std::vector<int> ints;  // the int parameters the sender gave (args.ints copied)
    };
    std::vector<Call> calls;
    std::set<u32> scripted;
    // serial -> (trigger, range) handlers
    std::map<u32, std::vector<std::pair<int, int>>> handlers;
    // (serial, trigger) -> answer (default 1)
    std::map<std::pair<u32, int>, int> answers;
    // Runs inside the trigger (e.g. deletes an object).
    std::function<void(CItem*, int)> onTrigger;
    // What a handler hands back through intRet (consumed by TakeIntReturn).
    std::optional<s32> intReturn;

    int SendTrigger(CItem* object, int trigger, const TriggerArgs& args) override {
        const u32 serial = object->GetSerial();
        calls.push_back(
            {serial, trigger, args, std::vector<int>(args.ints, args.ints + args.intCount)});
        calls.back().args.ints = nullptr;
        if (onTrigger) onTrigger(object, trigger);
        auto it = answers.find({serial, trigger});
        return it == answers.end() ? 1 : it->second;
    }
    bool HasAttachedScript(const CItem* object) override {
        return scripted.count(object->GetSerial()) > 0;
    }
    void GetHandlerRanges(const CItem* object, int trigger, std::vector<int>& out) override {
        auto it = handlers.find(object->GetSerial());
        if (it == handlers.end()) return;
        for (auto& [t, range] : it->second) {
            if (t == trigger) out.push_back(range);
        }
    }
    // Frees what the object carries: its variables and its timed callbacks.
    void FreeAttachments(CItem* object) override {
        ::FreeAttachments(object->ScriptAttachments());
        ClearCallbacks(object->TimedCallbacks());
    }
    bool TakeIntReturn(s32& value) override {
        if (!intReturn) return false;
        value = *intReturn;
        intReturn.reset();
        return true;
    }
    std::vector<int> TriggersFor(u32 serial) const {
        std::vector<int> out;
        for (const Call& c : calls) {
            if (c.serial == serial) out.push_back(c.trigger);
        }
        return out;
    }
};

struct RecordingPackets : PacketServices {
    std::vector<std::string> log;
    static std::string Serial(u32 s) { return std::to_string(s); }
    void SendObjectInfo(CItem* item, const Location&) override {
        log.push_back("1A " + Serial(item->GetSerial()));
    }
    void SendDeleteObject(u32 serial, const Location&, CPlayer*) override {
        log.push_back("1D " + Serial(serial));
    }
    void SendDeleteObjectTo(const std::vector<CPlayer*>& players, u32 serial) override {
        for (CPlayer* p : players)
            log.push_back("1D " + Serial(p->GetSerial()) + " " + Serial(serial));
    }
    void SendWornItem(CItem* item, CMobile*, int layer) override {
        log.push_back("2E " + Serial(item->GetSerial()) + " " + std::to_string(layer));
    }
    void SendContainerItem(CItem* item, const Location&) override {
        log.push_back("25 " + Serial(item->GetSerial()));
    }
    void SendCorpseEquipment(CItem* corpse, const Location&) override {
        log.push_back("89 " + Serial(corpse->GetSerial()));
    }
    void SendContainerContents(CItem* container, const Location&) override {
        log.push_back("3C " + Serial(container->GetSerial()));
    }
    void SendPlayerStatus(CPlayer* player) override {
        log.push_back("11 " + Serial(player->GetSerial()));
    }
    void SendObjectText(CPlayer* player, CItem* speaker, const char* text, int hue) override {
        log.push_back("1C " + Serial(player->GetSerial()) + " " + Serial(speaker->GetSerial()) +
                      " " + text + " " + std::to_string(hue));
    }
    void SendSound(int sound, const Location& at) override {
        log.push_back("54 " + std::to_string(sound) + " " + std::to_string(at.x) + "," +
                      std::to_string(at.y));
    }
    void NoteStaticsChanged(int cell) override { log.push_back("3F " + std::to_string(cell)); }
    void SendSystemMessage(CPlayer* player, const char* text) override {
        log.push_back("msg " + Serial(player->GetSerial()) + " " + text);
    }
    void TellSelf(CPlayer* player, const char* text) override {
        log.push_back("1C " + Serial(player->GetSerial()) + " " + text);
    }
    void SendVitals(CPlayer* to, CMobile* mobile, int kind) override {
        static const char* kPackets[] = {"A1", "A2", "A3", "2D"};
        log.push_back(std::string(kPackets[kind & 3]) + " " + Serial(to->GetSerial()) + " " +
                      Serial(mobile->GetSerial()));
    }
    void SendSkillUpdate(CPlayer* player, int skill) override {
        log.push_back("3A " + Serial(player->GetSerial()) + " " + std::to_string(skill));
    }
    void SendMobile(CPlayer* viewer, CMobile* mobile, bool full) override {
        log.push_back(std::string(full ? "78 " : "77 ") + Serial(viewer->GetSerial()) + " " +
                      Serial(mobile->GetSerial()));
    }
    void SendGroupNotice(CPlayer* player, u32 first, u32 second) override {
        log.push_back("39 " + Serial(player->GetSerial()) + " " + Serial(first) + " " +
                      Serial(second));
    }
    void SendMobileDeath(u32 mobile, u32 corpse, u32 flag, const Location& at,
                         CPlayer* except) override {
        log.push_back("AF " + Serial(mobile) + " " + Serial(corpse) + " " + std::to_string(flag) +
                      " " + std::to_string(at.x) + "," + std::to_string(at.y) +
                      (except ? " except " + Serial(except->GetSerial()) : ""));
    }
    void SendAllSkills(CMobile* mobile) override {
        log.push_back("3A all " + Serial(mobile->GetSerial()));
    }
    void SendMobileAction(CMobile* mobile, int action, int frames, int repeats, bool forward,
                          bool repeat, int delay, int range) override {
        log.push_back("6E " + Serial(mobile->GetSerial()) + " " + std::to_string(action) + " " +
                      std::to_string(frames) + " " + std::to_string(repeats) +
                      (forward ? " fwd " : " back ") + (repeat ? "rep " : "once ") +
                      std::to_string(delay) + " r" + std::to_string(range));
    }
    // The entries that start with the prefix.
    std::vector<std::string> With(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& e : log) {
            if (e.compare(0, prefix.size(), prefix) == 0) out.push_back(e);
        }
        return out;
    }
};

// Sets the test tile set into the server's tile data.
void InstallTestTileSet();
// Empties the resource type table and every graphic's resource prototype.
void ClearEconomy();
// Returns every cell's statics to the pool.
void ReleaseAllStatics();
class WorldTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CItem* NewItem(int graphic = kPlainItem);
    CItem* PlacedItem(int x, int y, int z, int graphic = kPlainItem);

    RecordingTriggers triggers;
    RecordingPackets packets;
};
