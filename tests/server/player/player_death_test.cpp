// A player's death and resurrection as the world and the clients around see it: what the player
// loses and keeps (the backpack's sorting, worn items, hair and beard, the hand item), the ghost
// in its death robe with the death screen, the corpse and its decay, the veto and the death
// without a corpse; the death screen's answers, the graded resurrection with its forgiving
// clock, the murder penalty and what a resurrection gives back; handlers deleting the player
// or the corpse at each script call.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/packet_reader.h"
#include "core/protocol/packet_table.h"
#include "platform/clock.h"
#include "script/language/script_value.h"
#include "script/language/trigger_table.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/triggers.h"
#include "script/runtime/type_script_bits.h"
#include "server/net/client_dispatcher.h"
#include "server/world/mobile_alignment.h"
#include "server/world/npc.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/timed_callbacks.h"
#include "server/world/world_script_link.h"
#include "tests/script/script_runtime_fixture.h"
#include "tests/server/net/packet_test_support.h"
#include "tests/server/player/player_walk_support.h"

namespace {

// A serial as the hex of its four bytes.
std::string Serial(u32 serial) {
    return ToHex({u8(serial >> 24), u8(serial >> 16), u8(serial >> 8), u8(serial)});
}

constexpr int kPack = 0xE75;
constexpr int kSpellbook = 3834;
constexpr int kHair = 8251;
constexpr int kBeard = 8254;
constexpr int kDeathRobe = 0x204E;
constexpr int kLifeRobe = 0x1F03;
constexpr u16 kRobeHue = 0x8FD;
constexpr int kCorpse = 8198;

class PlayerDeathTest : public WalkWorldTest {
protected:
    void SetUp() override {
        WalkWorldTest::SetUp();
        for (int graphic : {kPack, kSpellbook})
            GetTileData().MutableStatic(graphic)->flags |= kTileContainer;
        // Hair and beard are wearables of their layers.
        for (auto [graphic, layer] : {std::pair{kHair, 11}, std::pair{kBeard, 16}}) {
            GetTileData().MutableStatic(graphic)->flags |= kTileWearable;
            GetTileData().MutableStatic(graphic)->layer = static_cast<u8>(layer);
        }
        for (const char* name : {"meat", "humans", "good", "evil", "hide"}) {
            auto* t = new CResourceType;
            t->SetInternalName(name);
            t->SetNumber(GetResourceTypes().AllocNumber());
            GetResourceTypes().Add(t);
        }
        GetScriptManager().SetClassSource(&source_);
        ASSERT_EQ(CompileSources({{"starteq", "member int kit;\n"}}, source_), "");
    }
    void TearDown() override {
        DeleteAllSockets();
        DeleteAllObjects();
        RunAllCallbacks();
        GetScriptManager().FreeReleasedInstances();
        FreeReleasedValues();
        GetScriptManager().UnloadAll();
        GetScriptManager().SetClassSource(nullptr);
        WalkWorldTest::TearDown();
    }

    static int Type(const char* name) { return GetResourceTypes().FindNumber(name); }
    static s32 Held(const CCountedObject* object, const char* name) {
        const ResourceEntry* e = object->FindResource(Type(name), kResourceHeld);
        return e ? e->amounts[2] : -1;
    }
    // A living player in game with a backpack, hair and beard, the resources and sides of
    // the living; what its client and its neighbours' clients received so far is dropped.
    CPlayer* Dressed(int x, int y, int sex = 0) {
        CPlayer* p = NewPlayer(x, y);
        p->SetFlag(kPlayerLoggedIn, true);
        p->SetSex(sex);
        p->SetBodyType(400 + sex);
        p->SetName("Ann");
        p->SetMaxMana(30);
        p->SetCurMana(30);
        Wear(p, kHair, 11, 1102);
        Wear(p, kBeard, 16, 1103);
        CItem* pack = g_objectManager.CreateContainer(kPack);
        EXPECT_TRUE(pack->EquipOn(p, 21));
        p->RestoreLivingResources();
        p->AddResource(Type("hide"), kResourceHeld, 3, 0, 3);
        DropAll();
        return p;
    }
    static CItem* Wear(CMobile* m, int graphic, int layer, u16 hue = 0) {
        CItem* item = g_objectManager.CreateItem(graphic);
        item->SetHue(hue);
        EXPECT_TRUE(item->EquipOn(m, layer));
        return item;
    }
    static CItem* Put(CItem* container, int graphic, bool valueless = false) {
        CItem* item = g_objectManager.CreateItem(graphic);
        if (valueless) item->MakeValueless();
        EXPECT_TRUE(item->AddToContainer(container, Location(1, 1, 0)));
        return item;
    }
    static CItem* Pack(CPlayer* p) { return p->GetLayer(21); }
    static void MakeMurderer(CPlayer* p, int murders) {
        SetObjectVariable(p, "murderCount", kTypeInt, ScriptListValue::Int(murders));
    }
    // The corpse lying at the place, or null.
    static CCorpse* CorpseAt(int x, int y) {
        for (CItem* o = g_sectorGrid.CellAt(x, y)->objects; o; o = o->GetNextSibling()) {
            if (o->IsCorpse() && o->GetLocation().x == x && o->GetLocation().y == y)
                return static_cast<CCorpse*>(o);
        }
        return nullptr;
    }
    // The client's packet through its handler, as the dispatcher runs it.
    static void Send(CPlayer* p, const std::string& hex) {
        const std::vector<u8> packet = FromHex(hex);
        PacketReader r(packet.data(), packet.size(), PacketTableIsVariable(packet[0]) ? 3 : 1);
        FindClientPacketHandler(packet[0], false)(*p, r);
        ASSERT_TRUE(r.Ok()) << hex;
    }
    static std::string Hex(const Received& got, u8 id) {
        std::string out;
        for (const auto& p : got.Of(id))
            out += (out.empty() ? "" : " | ") + ToHex(p);
        return out;
    }

    platform::ManualClock clock_{500000};
    MemoryClassSource source_;
};

// ---------------------------------------------------------------- what is lost

TEST_F(PlayerDeathTest, WhatAPlayerLosesByMurdersAndMarks) {
    CPlayer* p = Dressed(10, 10);
    CItem* book = Put(Pack(p), kSpellbook);
    struct Case {
        const char* what;
        CItem* item;
        bool lostByInnocent, lostByMurderer;
    } cases[] = {
        {"a plain item", Put(Pack(p), kValued), true, true},
        {"a spellbook", book, false, false},
        {"what lies in a spellbook", Put(book, kPlainItem), false, false},
        {"starting equipment", Put(Pack(p), kValued), false, true},
        {"a valueless item", Put(Pack(p), kValued, true), false, true},
    };
    ASSERT_EQ(AttachScript(cases[3].item, "starteq", 0), nullptr);
    for (const Case& c : cases)
        EXPECT_EQ(p->LosesOnDeath(*c.item), c.lostByInnocent) << c.what;
    MakeMurderer(p, 4);
    for (const Case& c : cases)
        EXPECT_EQ(p->LosesOnDeath(*c.item), c.lostByInnocent) << c.what << ", four murders";
    MakeMurderer(p, 5);
    for (const Case& c : cases)
        EXPECT_EQ(p->LosesOnDeath(*c.item), c.lostByMurderer) << c.what << ", a murderer";
}

// A lost bag lying in the backpack goes to the corpse with what it holds, but a kept item in it
// comes out into the backpack; a lost item inside a kept bag stays in the bag; a spellbook's
// contents stay in it. Bags nest as deep as players make them.
TEST_F(PlayerDeathTest, TheBackpackIsSortedBetweenTheCorpseAndTheGhost) {
    CPlayer* p = Dressed(10, 10);
    CItem* pack = Pack(p);
    CItem* lost = Put(pack, kValued);
    CItem* kept = Put(pack, kValued, true);
    CItem* lostBag = Put(pack, kBag);
    CItem* keptInLostBag = Put(lostBag, kValued, true);
    CItem* lostInLostBag = Put(lostBag, kValued);
    CItem* keptBag = Put(pack, kBag, true);
    CItem* lostInKeptBag = Put(keptBag, kValued);
    CItem* keptInKeptBag = Put(keptBag, kValued, true);
    CItem* book = Put(pack, kSpellbook);
    CItem* spell = Put(book, kPlainItem);
    // A chain of 3000 lost bags with a kept item at its bottom.
    CItem* deep = Put(lostBag, kBag);
    CItem* chain = deep;
    for (int i = 0; i < 3000; ++i)
        chain = Put(chain, kBag);
    CItem* keptAtTheBottom = Put(chain, kValued, true);

    p->Kill(nullptr, 1);

    CCorpse* corpse = CorpseAt(10, 10);
    ASSERT_NE(corpse, nullptr);
    EXPECT_EQ(p->GetLayer(21), pack) << "the backpack stays on the ghost";
    EXPECT_EQ(lost->GetContainer(), corpse);
    EXPECT_EQ(kept->GetContainer(), pack);
    EXPECT_EQ(lostBag->GetContainer(), corpse);
    EXPECT_EQ(keptInLostBag->GetContainer(), pack);
    EXPECT_EQ(lostInLostBag->GetContainer(), lostBag);
    EXPECT_EQ(keptBag->GetContainer(), pack);
    EXPECT_EQ(lostInKeptBag->GetContainer(), keptBag);
    EXPECT_EQ(keptInKeptBag->GetContainer(), pack);
    EXPECT_EQ(book->GetContainer(), pack);
    EXPECT_EQ(spell->GetContainer(), book);
    EXPECT_EQ(deep->GetContainer(), lostBag);
    int depth = 0;
    for (CItem* up = chain; up && up != deep; up = up->GetContainer())
        ++depth;
    EXPECT_EQ(depth, 3000) << "the lost chain stays whole in the lost bag";
    EXPECT_EQ(keptAtTheBottom->GetContainer(), pack);
}

TEST_F(PlayerDeathTest, TheGhostTheRobeTheCorpseAndWhatTheyHold) {
    CPlayer* p = Dressed(10, 10);
    CItem* hair = p->GetLayer(11);
    CItem* beard = p->GetLayer(16);
    CItem* sword = Wear(p, kSword, 1);
    CItem* shirt = Wear(p, kPlainItem, 5);
    shirt->MakeValueless();
    CItem* chest = PlacedItem(12, 12, 0, kBag);
    CItem* piece = Wear(p, kPlainItem, 0);
    SetObjectVariable(piece, "lockedContainer", kTypeInt,
                      ScriptListValue::Int(static_cast<s32>(chest->GetSerial())));
    p->AddOpponent(77);
    p->SetResurrectionCount(2, platform::NowMs() - 2500);
    p->SetManifesting(true);
    CNPC* killer = NewNpc(11, 10);

    p->Kill(killer, 1);

    CCorpse* corpse = CorpseAt(10, 10);
    ASSERT_NE(corpse, nullptr);
    EXPECT_EQ(corpse->GetType(), kCorpse);
    EXPECT_EQ(corpse->GetCorpseType(), 400);
    EXPECT_EQ(p->GetLastCorpse(), corpse->GetSerial());
    EXPECT_EQ(p->GetDeathLocation(), Location(10, 10, 0));
    // The ghost: body, frozen, no vitals, the robe, no longer manifesting, out of the fight.
    EXPECT_EQ(p->GetBody(), 402);
    EXPECT_TRUE(p->IsGhost());
    EXPECT_TRUE(p->IsFrozen());
    EXPECT_FALSE(p->IsManifesting());
    EXPECT_EQ(p->GetCurHits(), 0);
    EXPECT_EQ(p->GetCurFatigue(), 0);
    EXPECT_EQ(p->GetCurMana(), 0);
    EXPECT_TRUE(p->GetCombatList().IsEmpty());
    CItem* robe = p->GetLayer(22);
    ASSERT_NE(robe, nullptr);
    EXPECT_EQ(robe->GetType(), kDeathRobe);
    EXPECT_EQ(robe->GetHue(), kRobeHue);
    EXPECT_TRUE(robe->IsValueless());
    // Two forgiven in the 2500 ms since the last resurrection.
    EXPECT_EQ(p->GetResurrectionCount(), 0);
    // What is worn: lost into the corpse, recorded by layer; kept into the backpack.
    EXPECT_EQ(sword->GetContainer(), corpse);
    EXPECT_EQ(corpse->worn[1], sword);
    EXPECT_EQ(shirt->GetContainer(), Pack(p));
    EXPECT_EQ(corpse->worn[5], nullptr);
    // Hair and beard stay on the ghost; copies lie in the corpse.
    EXPECT_EQ(p->GetLayer(11), hair);
    EXPECT_EQ(p->GetLayer(16), beard);
    for (int layer : {11, 16}) {
        CItem* copy = corpse->worn[layer];
        ASSERT_NE(copy, nullptr) << layer;
        EXPECT_NE(copy, p->GetLayer(layer));
        EXPECT_EQ(copy->GetContainer(), corpse);
        EXPECT_EQ(copy->GetType(), p->GetLayer(layer)->GetType());
        EXPECT_EQ(copy->GetHue(), p->GetLayer(layer)->GetHue());
    }
    // The hand item went home.
    EXPECT_EQ(piece->GetContainer(), chest);
    // The resources of the living go to the corpse, but its sides; the bits go too.
    EXPECT_EQ(Held(corpse, "hide"), 3);
    EXPECT_EQ(Held(corpse, "meat"), 10);
    EXPECT_EQ(Held(corpse, "humans"), -1);
    EXPECT_EQ(Held(corpse, "good"), -1);
    EXPECT_EQ(p->GetResources(), nullptr);
    EXPECT_EQ(p->GetAlignmentFlags(0), 0);
    // The triggers: the player's death names the killer and the corpse, the corpse's the
    // killer and the player.
    int deaths = 0;
    for (const RecordingTriggers::Call& call : triggers.calls) {
        if (call.trigger != kTriggerDeath) continue;
        ++deaths;
        EXPECT_EQ(call.args.serial, killer->GetSerial());
        const bool ofPlayer = call.serial == p->GetSerial();
        EXPECT_TRUE(ofPlayer || call.serial == corpse->GetSerial());
        EXPECT_EQ(call.args.other, ofPlayer ? corpse->GetSerial() : p->GetSerial());
    }
    EXPECT_EQ(deaths, 2);

    // Seven minutes on the corpse spills onto the ground and goes; the hair copies go with it.
    const u32 corpseSerial = corpse->GetSerial();
    const u32 hairCopy = corpse->worn[11]->GetSerial();
    for (int pulse = 0; pulse < 1680; ++pulse)
        RunAllCallbacks();
    ASSERT_NE(g_objectManager.FindBySerial(corpseSerial), nullptr);
    RunAllCallbacks();
    EXPECT_EQ(g_objectManager.FindBySerial(corpseSerial), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(hairCopy), nullptr);
    EXPECT_EQ(sword->GetContainer(), nullptr);
    EXPECT_FALSE(sword->IsDetached());
    EXPECT_EQ(sword->GetLocation().x, 10);
}

TEST_F(PlayerDeathTest, AHandItemWithoutAHomeFallsWhereThePlayerDies) {
    CPlayer* p = Dressed(10, 10);
    CItem* piece = Wear(p, kPlainItem, 0);
    SetObjectVariable(piece, "lockedContainer", kTypeInt, ScriptListValue::Int(0x40001234));
    p->Kill(nullptr, 1);
    EXPECT_EQ(piece->GetContainer(), nullptr);
    EXPECT_FALSE(piece->IsDetached());
    EXPECT_EQ(piece->GetLocation(), Location(10, 10, 0));
}

// A hair copy whose type script does not stay attached is deleted, never left lying about.
class RefusingTypeScripts : public ScriptObjectServices {
public:
    explicit RefusingTypeScripts(ScriptObjectServices& world) : world_(world) {}
    CObjAttachments** AttachmentsOf(CBaseObject* o) override { return world_.AttachmentsOf(o); }
    TimedCallback** CallbacksOf(CBaseObject* o) override { return world_.CallbacksOf(o); }
    u32 SerialOf(CBaseObject* o) override { return world_.SerialOf(o); }
    int TypeOf(CBaseObject* o) override { return world_.TypeOf(o); }
    bool HasTypeScript(int type) override { return type == kHair || world_.HasTypeScript(type); }
    bool IsPlayer(CBaseObject* o) override { return world_.IsPlayer(o); }
    void DeleteObject(CBaseObject* o) override { world_.DeleteObject(o); }
    bool IsDetached(CBaseObject* o) override { return world_.IsDetached(o); }
    // A new hair (not yet anywhere) is not found: its script "did not attach".
    CBaseObject* FindBySerial(u32 serial) override {
        CBaseObject* o = world_.FindBySerial(serial);
        CItem* item = o ? g_objectManager.FindBySerial(serial) : nullptr;
        return item && item->GetType() == kHair && item->IsDetached() ? nullptr : o;
    }
    bool SortKeyOf(u32 serial, int& key) override { return world_.SortKeyOf(serial, key); }

private:
    ScriptObjectServices& world_;
};

TEST_F(PlayerDeathTest, AHairCopyWhoseTypeScriptFailsIsDeleted) {
    CPlayer* p = Dressed(10, 10);
    RefusingTypeScripts refusing(WorldScriptObjectServices());
    SetScriptObjectServices(&refusing);
    const int before = g_liveObjects.items;
    p->Kill(nullptr, 1);
    SetScriptObjectServices(&WorldScriptObjectServices());
    CCorpse* corpse = CorpseAt(10, 10);
    ASSERT_NE(corpse, nullptr);
    EXPECT_EQ(corpse->worn[11], nullptr);
    ASSERT_NE(corpse->worn[16], nullptr) << "the beard's copy is unaffected";
    EXPECT_EQ(p->GetLayer(11)->GetType(), kHair);
    // The corpse, the beard copy and the robe are new; no hair copy is left anywhere.
    EXPECT_EQ(g_liveObjects.items, before + 3);
}

// ---------------------------------------------------------------- as the clients see it

TEST_F(PlayerDeathTest, TheDeathAsTheClientsReadIt) {
    struct Case {
        int sex;
        int ghost;
        const char* cry;
    } cases[] = {{0, 402, "01 5A"}, {1, 403, "01 51"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sex);
        CPlayer* p = Dressed(10, 10, c.sex);
        CPlayer* near = NewPlayer(20, 20);
        CPlayer* far = NewPlayer(40, 40);
        DropAll();
        p->Kill(nullptr, 1);
        CCorpse* corpse = CorpseAt(10, 10);
        ASSERT_NE(corpse, nullptr);
        const Received own = Got(p);
        const Received seen = Got(near);
        EXPECT_EQ(Hex(own, 0x2C), "2C 00");
        EXPECT_TRUE(own.Of(0xAF).empty()) << "the dead get no death packet of their own";
        EXPECT_EQ(Hex(seen, 0xAF), "AF " + Serial(p->GetSerial()) + " " +
                                       Serial(corpse->GetSerial()) + " 00 00 00 00");
        // The cry: 0x54 with the sound id after the mode byte.
        const auto sounds = seen.Of(0x54);
        ASSERT_EQ(sounds.size(), 1u);
        EXPECT_EQ(ToHex({sounds[0].begin() + 1, sounds[0].begin() + 4}), std::string("01 ") + c.cry);
        EXPECT_FALSE(seen.Of(0x1A).empty()) << "the corpse is shown";
        // The living lose sight of the ghost and are not shown it again.
        bool removed = false;
        for (const auto& packet : seen.Of(0x1D))
            removed = removed || ReadSerial(packet) == p->GetSerial();
        EXPECT_TRUE(removed);
        for (const auto& packet : seen.Of(0x78))
            EXPECT_NE(ReadSerial(packet), p->GetSerial());
        EXPECT_EQ(Got(far).Ids(), "");
        // The player's own update shows the ghost's body.
        ASSERT_FALSE(own.Of(0x20).empty());
        EXPECT_EQ(Be16(own.Of(0x20).back(), 5), c.ghost);
        for (CItem* o : {static_cast<CItem*>(corpse), static_cast<CItem*>(near),
                         static_cast<CItem*>(far)})
            Destroy(o);
        ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
        Destroy(p);
    }
}

TEST_F(PlayerDeathTest, WithoutKeepingTheCorpseTheGhostKeepsEverything) {
    CPlayer* p = Dressed(10, 10);
    CItem* sword = Wear(p, kSword, 1);
    CItem* loot = Put(Pack(p), kValued);
    p->Die(nullptr, 0);
    EXPECT_EQ(CorpseAt(10, 10), nullptr);
    EXPECT_EQ(p->GetBody(), 402);
    EXPECT_TRUE(p->IsFrozen());
    ASSERT_NE(p->GetLayer(22), nullptr);
    EXPECT_EQ(p->GetLayer(22)->GetType(), kDeathRobe);
    EXPECT_EQ(Hex(Got(p), 0x2C), "2C 00");
    EXPECT_EQ(p->GetLayer(1), sword);
    EXPECT_EQ(loot->GetContainer(), Pack(p));
    EXPECT_EQ(p->GetLastCorpse(), 0u);
}

TEST_F(PlayerDeathTest, AVetoedDeathLeavesTheLivingPlayerAsItWas) {
    CPlayer* p = Dressed(10, 10);
    CItem* sword = Wear(p, kSword, 1);
    const u8 sides = p->GetAlignmentFlags(0);
    ASSERT_EQ(sides, kSideMeat | kSideHumans | kSideGood);
    triggers.answers[{p->GetSerial(), kTriggerDeath}] = 0;
    p->Kill(nullptr, 1);
    EXPECT_EQ(CorpseAt(10, 10), nullptr);
    EXPECT_EQ(p->GetBody(), 400);
    EXPECT_FALSE(p->IsFrozen());
    EXPECT_EQ(p->GetCurHits(), 50);
    EXPECT_EQ(p->GetLayer(1), sword);
    EXPECT_EQ(p->GetLayer(22), nullptr);
    EXPECT_EQ(Held(p, "meat"), 10);
    EXPECT_EQ(Held(p, "humans"), 10);
    EXPECT_EQ(Held(p, "good"), 1);
    EXPECT_EQ(Held(p, "hide"), 3);
    EXPECT_EQ(p->GetAlignmentFlags(0), sides);
    EXPECT_TRUE(Got(p).Of(0x2C).empty());
}

TEST_F(PlayerDeathTest, KillingAGhostDoesNothing) {
    CPlayer* p = Dressed(10, 10);
    p->Kill(nullptr, 1);
    CCorpse* first = CorpseAt(10, 10);
    ASSERT_NE(first, nullptr);
    Destroy(first);
    CPlayer* near = NewPlayer(12, 12);
    DropAll();
    triggers.calls.clear();
    p->Kill(nullptr, 1);
    p->Die(nullptr, 1);
    EXPECT_EQ(CorpseAt(10, 10), nullptr);
    EXPECT_TRUE(triggers.calls.empty());
    EXPECT_EQ(Got(p).Ids(), "");
    EXPECT_EQ(Got(near).Ids(), "");
}

// ---------------------------------------------------------------- the death screen

TEST_F(PlayerDeathTest, TheDeathScreenActsOnlyForAFrozenGhost) {
    CPlayer* p = Dressed(10, 10);
    Send(p, "2C 01");
    EXPECT_EQ(Got(p).Ids(), "") << "the living are not answered";
    EXPECT_EQ(p->GetBody(), 400);

    p->Kill(nullptr, 1);
    DropAll();
    Send(p, "2C 02");
    EXPECT_FALSE(p->IsFrozen());
    EXPECT_TRUE(p->IsGhost());
    EXPECT_EQ(Got(p).Ids(), "");
    Send(p, "2C 01");
    EXPECT_TRUE(p->IsGhost()) << "a walking ghost's choice is ignored";
    EXPECT_EQ(Got(p).Ids(), "");

    // A frozen ghost that is not logged in stays frozen.
    p->SetMobFlag(kMobFrozen, true);
    p->SetFlag(kPlayerLoggedIn, false);
    p->UnfreezeGhost();
    EXPECT_TRUE(p->IsFrozen());
}

TEST_F(PlayerDeathTest, ResurrectionFromTheDeathScreenAsTheClientsReadIt) {
    CPlayer* p = Dressed(10, 10);
    CPlayer* near = NewPlayer(14, 14);
    p->Kill(nullptr, 1);
    p->AddResource(Type("hide"), kResourceHeld, 1, 0, 1);  // a ghost's, cleared
    DropAll();
    Send(p, "2C 01");
    const Received own = Got(p);

    EXPECT_EQ(Hex(own, 0x2C), "2C 01");
    EXPECT_EQ(own.Messages(), std::vector<std::string>{"Your spirit rejoins your body."});
    ASSERT_FALSE(own.Of(0x20).empty());
    EXPECT_EQ(Be16(own.Of(0x20).back(), 5), 400);
    const Received seen = Got(near);
    ASSERT_FALSE(seen.Of(0x78).empty()) << "the living see it again";
    EXPECT_EQ(Be16(seen.Of(0x78).back(), 7), 400);
    EXPECT_EQ(p->GetBody(), 400);
    EXPECT_FALSE(p->IsFrozen());
    CItem* robe = p->GetLayer(22);
    ASSERT_NE(robe, nullptr);
    EXPECT_EQ(robe->GetType(), kLifeRobe);
    EXPECT_EQ(robe->GetHue(), kRobeHue);
    EXPECT_TRUE(robe->IsValueless());
    // Full at the resurrection; the menu's penalty lowers the maximum only afterwards.
    EXPECT_EQ(p->GetCurFatigue(), 50);
    EXPECT_EQ(p->GetMaxFatigue(), 47);
    EXPECT_EQ(Held(p, "hide"), -1);
    EXPECT_EQ(Held(p, "meat"), 10);
    EXPECT_EQ(Held(p, "humans"), 10);
    EXPECT_EQ(Held(p, "good"), 1);
    EXPECT_EQ(p->GetAlignmentFlags(0), kSideMeat | kSideHumans | kSideGood);
    // The menu's penalty: stats of 50 (total 150) lose 10 % of what lies above the start.
    // f = 10000 - 10 * 100 * 85 / 120 = 9292: (40 * 9292 + 5000) / 10000 + 10 = 47.
    EXPECT_EQ(p->GetBaseStat(kStatStrength), 47);
}

// The count of recent resurrections grades the message; the fifth within moments is refused;
// one point is forgiven per 1200 ms of the loop's clock, also across the clock's wrap.
TEST_F(PlayerDeathTest, ResurrectionsAreGradedRefusedAndForgiven) {
    const std::vector<std::string> texts = {
        "Your spirit rejoins your body.",
        "With some effort, you reunite your spirit and your body.",
        "With great difficulty, you manage to bring your spirit and body together.",
        "You barely manage to bring your spirit and body together--the connection is very "
        "tenuous.",
    };
    const std::string tooWeak =
        "The connection between your spirit and body is too weak to resurrect. You will have "
        "to wait a while.";
    clock_.Set(0xFFFFFFFFu - 3000);  // the clock wraps on the way
    CPlayer* p = Dressed(10, 10);
    for (int grade = 0; grade < 4; ++grade) {
        p->Kill(nullptr, 1);
        DropAll();
        Send(p, "2C 01");
        EXPECT_EQ(Got(p).Messages(), std::vector<std::string>{texts[grade]}) << grade;
        EXPECT_FALSE(p->IsGhost()) << grade;
        clock_.Advance(1000);  // less than a point's worth between resurrections
    }
    // Four resurrections 1000 ms apart: each came before a point was forgiven.
    p->Kill(nullptr, 1);
    EXPECT_EQ(p->GetResurrectionCount(), 4);
    DropAll();
    Send(p, "2C 01");
    EXPECT_EQ(Got(p).Messages(), std::vector<std::string>{tooWeak});
    EXPECT_TRUE(p->IsGhost());
    EXPECT_FALSE(p->IsFrozen()) << "refused, the ghost walks";
    EXPECT_EQ(p->Resurrect(1), false);
    clock_.Advance(201);  // now 1201 ms after the last point's time
    EXPECT_TRUE(p->Resurrect(1));
    EXPECT_EQ(Got(p).Messages(), (std::vector<std::string>{tooWeak, texts[3]}));
    EXPECT_FALSE(p->IsGhost());
    EXPECT_EQ(p->GetResurrectionCount(), 4);
}

// What a resurrection costs: the murder penalty by the count (4 none, 5 the curve's 5 %, 25
// its 18 %), a tenth of the fame, war mode; the murderer comes back on the evil side.
TEST_F(PlayerDeathTest, TheMurderPenaltyAndWhatResurrectionTakes) {
    struct Case {
        int murders;
        int statAfter;  // from 60 each (total 180)
        u8 side;
    } cases[] = {
        {4, 60, kSideGood},
        // f = 10000 - 5 * 100 * 115 / 150 = 9617: (50 * 9617 + 5000) / 10000 + 10 = 58
        {5, 58, kSideEvil},
        // f = 10000 - 18 * 100 * 115 / 150 = 8620: (50 * 8620 + 5000) / 10000 + 10 = 53
        {25, 53, kSideEvil},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.murders);
        CPlayer* p = Dressed(10, 10);
        for (int stat = kStatStrength; stat <= kStatIntelligence; ++stat)
            p->SetRealStat(stat, 60);
        p->SetFame(5000);
        p->Kill(nullptr, 1);
        MakeMurderer(p, c.murders);
        p->SetStatusFlag(kMobileFighting);
        DropAll();
        EXPECT_TRUE(p->Resurrect(0));
        for (int stat = kStatStrength; stat <= kStatIntelligence; ++stat)
            EXPECT_EQ(p->GetBaseStat(stat), c.statAfter);
        EXPECT_EQ(p->GetFame(), 4500);
        EXPECT_FALSE(p->HasStatusFlag(kMobileFighting));
        EXPECT_EQ(Hex(Got(p), 0x72).substr(0, 5), "72 00");
        EXPECT_EQ(p->GetAlignmentFlags(0), kSideMeat | kSideHumans | c.side);
        EXPECT_TRUE(p->Resurrect(1)) << "the living need nothing";
        Destroy(CorpseAt(10, 10));
        ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
        Destroy(p);
    }
}

TEST_F(PlayerDeathTest, TheBodyComesBackAsTheScriptsSavedIt) {
    struct Case {
        const char* what;
        int oldBody, oldHue;  // -1: no variable
        int body;
        u16 hue;
    } cases[] = {
        {"nothing saved", -1, -1, 400, 0x83EA},
        {"a saved female body and hue", 401, 0x8401, 401, 0x8401},
        {"a body that is not human", 200, -1, 400, 0x83EA},
    };
    for (const Case& c : cases) {
        CPlayer* p = Dressed(10, 10);
        p->SetHue(0x83EA);
        p->SetBodyType(200);
        if (c.oldBody >= 0)
            SetObjectVariable(p, "oldBodyType", kTypeInt, ScriptListValue::Int(c.oldBody));
        if (c.oldHue >= 0)
            SetObjectVariable(p, "oldHue", kTypeInt, ScriptListValue::Int(c.oldHue));
        p->RestoreBody();
        EXPECT_EQ(p->GetBody(), c.body) << c.what;
        EXPECT_EQ(p->GetHue(), c.hue) << c.what;
        ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
        Destroy(p);
    }
}

// ---------------------------------------------------------------- handlers deleting

// A handler deleting the player or the corpse at each script call of death and resurrection:
// what is left goes on, nothing is touched after it is gone.
TEST_F(PlayerDeathTest, HandlersDeletingThePlayerOrTheCorpse) {
    struct Case {
        const char* what;
        int trigger;
        bool onCorpse;       // the trigger is the corpse's (else the player's or a belonging's)
        bool deletePlayer;   // else the corpse
        bool ghostAfter;     // the player is still there and a ghost
        bool corpseAfter;
    } cases[] = {
        {"player's death deletes the corpse", kTriggerDeath, false, false, true, false},
        {"player's death deletes the player", kTriggerDeath, false, true, false, true},
        {"corpse's death deletes the corpse", kTriggerDeath, true, false, true, false},
        {"corpse's death deletes the player", kTriggerDeath, true, true, false, true},
        {"a belonging's unequip deletes the corpse", kTriggerUnequip, false, false, true, false},
        {"a belonging's unequip deletes the player", kTriggerUnequip, false, true, false, true},
        {"the robe's equip deletes the player", kTriggerEquip, false, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPlayer* p = Dressed(10, 10);
        const u32 self = p->GetSerial();
        CItem* sword = Wear(p, kSword, 1);
        const u32 swordSerial = sword->GetSerial();
        bool done = false;
        triggers.onTrigger = [&](CItem* object, int trigger) {
            if (done || trigger != c.trigger || object->IsCorpse() != c.onCorpse) return;
            if (c.trigger == kTriggerEquip && object->GetType() != kDeathRobe) return;
            done = true;
            ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
            CItem* doomed = c.deletePlayer ? static_cast<CItem*>(FindLivePlayerBySerial(self))
                                           : static_cast<CItem*>(CorpseAt(10, 10));
            if (doomed) doomed->DeleteSelf();
        };
        p->Kill(nullptr, 1);
        triggers.onTrigger = nullptr;
        EXPECT_TRUE(done);
        CPlayer* left = FindLivePlayerBySerial(self);
        EXPECT_EQ(left != nullptr && left->IsGhost(), c.ghostAfter);
        CCorpse* corpse = CorpseAt(10, 10);
        EXPECT_EQ(corpse != nullptr, c.corpseAfter);
        if (corpse) {
            EXPECT_TRUE(HasCallback(corpse->TimedCallbacks(), 2, 0));
        }
        // The sword is somewhere: on the ghost, in the corpse or gone with the player.
        if (CItem* s = g_objectManager.FindBySerial(swordSerial)) {
            EXPECT_TRUE(s->GetContainer() != nullptr || !s->IsDetached());
        }
        if (left) {
            players.erase(std::remove(players.begin(), players.end(), left), players.end());
            ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
            Destroy(left);
        } else {
            players.erase(std::remove(players.begin(), players.end(), p), players.end());
        }
        if (corpse) Destroy(corpse);
    }
}

TEST_F(PlayerDeathTest, AFameHandlerDeletingThePlayerEndsTheResurrection) {
    CPlayer* p = Dressed(10, 10);
    const u32 self = p->GetSerial();
    p->Kill(nullptr, 1);
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (trigger != kTriggerFameChanged || object->GetSerial() != self) return;
        ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
        object->DeleteSelf();
    };
    players.erase(std::remove(players.begin(), players.end(), p), players.end());
    Send(p, "2C 01");
    triggers.onTrigger = nullptr;
    EXPECT_EQ(FindLivePlayerBySerial(self), nullptr);
}

}  // namespace
