#pragma once
// A small town for the crime and guard rules: the 64 x 64 test world with a city over its
// west half and a "no_guard" camp in the east, guard templates 6 and 1006, townsfolk,
// players and guards, and the packets recorded with the speech, effects and sounds they carry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/random.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "server/area/region_area_services.h"
#include "server/area/regions.h"
#include "server/rules/crime.h"
#include "server/rules/guard.h"
#include "server/world/area_services.h"
#include "server/world/guard.h"
#include "server/world/object_templates.h"
#include "server/world/player.h"
#include "tests/server/world/world_test_support.h"

struct CrimePackets : RecordingPackets {
    void SendSpeech(CBaseObject* speaker, const char* text, int hue, int, int type) override {
        log.push_back("say " + Serial(static_cast<CItem*>(speaker)->GetSerial()) + " " + text + " h" +
                      std::to_string(hue) + " t" + std::to_string(type));
    }
    void SendTextTo(CPlayer* player, CBaseObject* speaker, const char* text, int hue,
                    int) override {
        log.push_back("to " + Serial(player->GetSerial()) + " " + Serial(static_cast<CItem*>(speaker)->GetSerial()) +
                      " " + text + " h" + std::to_string(hue));
    }
    void SendGraphicEffect(const GraphicEffect& e, const std::vector<Location>&) override {
        log.push_back("70 " + std::to_string(e.graphic) + " " + std::to_string(e.source.x) + "," +
                      std::to_string(e.source.y));
    }
    void SendSoundToNearest(int sound, int, const Location& at) override {
        log.push_back("54 " + std::to_string(sound) + " " + std::to_string(at.x) + "," +
                      std::to_string(at.y));
    }
};

class CrimeTest : public WorldTest {
public:
    // The city covers x 0-31, the camp x 40-63; a justice-free strip lies between.
    static constexpr int kCampX = 40;

    void SetUp() override {
        WorldTest::SetUp();
        SetPacketServices(&crimePackets);
        SetAreaServices(&areas);
        platform::SeedRandom(4242);
        g_regionManager.LoadText(
            "version 64207\n"
            "1 0 0 32 64 -128 127 0 city_Test@town 0 0 0 0 0 NONE\n"
            "2 40 0 24 64 -128 127 0 no_guard_camp 0 0 0 0 0 NONE\n");
        std::string templates;
        for (int number : kGuardTemplates)
            templates += "<" + std::to_string(number) +
                         ">\n<type guard 400>\n<name a guard>\n<@@@ END @@@>\n";
        g_templateTable.LoadTemplatesText(templates);
    }
    void TearDown() override {
        DeleteAllObjects();
        g_templateTable.Unload();
        g_regionManager.Clear();
        SetAreaServices(nullptr);
        WorldTest::TearDown();
    }
    // A human NPC (template 10, body 400) standing at (x, y, 0).
    CNPC* Townsperson(int x, int y, const char* name = "a townsperson") {
        CNPC* npc = new CNPC;
        Dress(npc, name, 10, x, y);
        return npc;
    }
    CNPC* Beast(int x, int y) {
        CNPC* npc = new CNPC;
        Dress(npc, "a wolf", 600, x, y);
        npc->SetBodyType(225);
        return npc;
    }
    CGuard* Guard(int x, int y) {
        CGuard* guard = new CGuard;
        Dress(guard, "a guard", 6, x, y);
        return guard;
    }
    CPlayer* Player(const char* name, int x, int y) {
        CPlayer* player = new CPlayer;
        player->SetSerial(g_objectManager.NewSerial());
        player->SetName(name);
        player->SetBodyType(400);
        player->SetMaxHits(100);
        player->SetCurHits(100);
        player->PlaceInWorldQuiet(Location(x, y, 0));
        return player;
    }
    static void SetAwareness(CMobile* m, int value) {
        ObjVars::Set(m->ScriptAttachments(), kAwarenessVar, kTypeInt,
                     ScriptListValue::Int(value));
    }
    static int Awareness(CMobile* m) {
        s32 value = -1;
        ObjVars::GetInt(m->ScriptAttachments(), kAwarenessVar, value);
        return value;
    }
    // The recorded entries with the prefix, and forgets the whole log.
    std::vector<std::string> Take(const std::string& prefix) {
        std::vector<std::string> out = crimePackets.With(prefix);
        crimePackets.log.clear();
        return out;
    }
    static std::string S(const CItem* object) { return std::to_string(object->GetSerial()); }

    CrimePackets crimePackets;
    RegionAreaServices areas;

private:
    static void Dress(CNPC* npc, const char* name, int templateId, int x, int y) {
        npc->SetName(name);
        npc->SetBodyType(400);
        npc->SetTemplateField(templateId);
        npc->SetMaxHits(100);
        npc->SetCurHits(100);
        npc->SetMaxFatigue(1000);
        npc->SetCurFatigue(1000);
        npc->PlaceInWorld(Location(x, y, 0));
    }
};
