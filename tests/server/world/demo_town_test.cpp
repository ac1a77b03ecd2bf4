// The demo town made as objects: the demo world, its economy, scripts, regions and templates
// loaded as the server loads them, then BuildDemoTown over the shipped town file.
#include "tests/server/world/demo_town_fixture.h"

#include "server/world/map_queries.h"
#include "server/world/player_registry.h"

namespace {

TEST_F(DemoTownTest, TheWorldIsNamedAfterTheDemoTown) {
    // The load names the world after its town, cut at the first '_'.
    EXPECT_STREQ(GetAreaServices().GetWorldAreaName(), "demo_town");
    GetWorldLoadServices().SetWorldName("demo");
    EXPECT_STREQ(GetNetServices().GetWorldName(), "demo");
}

TEST_F(DemoTownTest, DoorsSignsLampsChestsAndTownsfolk) {
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    ASSERT_EQ(serials.size(), content->placements.size());
    std::map<int, std::vector<CItem*>> byTemplate;
    for (u32 s : serials) {
        CItem* item = g_objectManager.FindBySerial(s);
        ASSERT_NE(item, nullptr);
        byTemplate[item->GetTemplateId()].push_back(item);
    }
    // Doors: dynamic items at the houses' doorways.
    ASSERT_EQ(byTemplate[1000].size(), 3u);
    for (CItem* door : byTemplate[1000]) {
        EXPECT_TRUE(door->IsDoor());
        EXPECT_FALSE(door->IsDetached());
    }
    EXPECT_EQ(byTemplate[1000][0]->GetLocation().x, 374);
    EXPECT_EQ(byTemplate[1000][0]->GetLocation().y, 563);
    // The sign, the lamps and the healing stone carry their scripts.
    ASSERT_EQ(byTemplate[1001].size(), 1u);
    EXPECT_TRUE(HasScript(byTemplate[1001][0], "townsign"));
    ASSERT_EQ(byTemplate[1002].size(), 4u);
    for (CItem* lamp : byTemplate[1002])
        EXPECT_TRUE(HasScript(lamp, "lamppost"));
    ASSERT_EQ(byTemplate[1003].size(), 1u);
    EXPECT_TRUE(HasScript(byTemplate[1003][0], "healstone"));
    EXPECT_EQ(byTemplate[1005].size(), 1u);
    // The chests are stocked.
    ASSERT_EQ(byTemplate[1004].size(), 2u);
    for (CItem* chest : byTemplate[1004]) {
        ASSERT_TRUE(chest->IsContainer());
        int held = 0;
        for (CItem* c = chest->AsContainer()->GetFirstChild(); c; c = c->GetNextSibling())
            ++held;
        EXPECT_EQ(held, 4);
    }
    // Townsfolk: named from the townsfolk set, dressed, of the demo town.
    ASSERT_EQ(byTemplate[10].size(), 3u);
    for (CItem* person : byTemplate[10]) {
        CNPC* npc = person->AsNPC();
        ASSERT_NE(npc, nullptr);
        EXPECT_NE(std::string(npc->GetRealName()), "error");
        EXPECT_NE(std::string(npc->GetRealName()), "");
        EXPECT_EQ(npc->GetTown(), "Demo Town");
        EXPECT_NE(npc->GetLayer(13), nullptr);  // the tunic
        EXPECT_NE(npc->GetLayer(11), nullptr);  // hair
        EXPECT_TRUE(HasScript(person, "townguide"));
    }
    ASSERT_EQ(byTemplate[11].size(), 2u);
    for (CItem* guard : byTemplate[11]) {
        EXPECT_TRUE(guard->IsGuard());
        EXPECT_NE(guard->AsMobile()->GetLayer(1), nullptr);  // the sword
    }
    ASSERT_EQ(byTemplate[12].size(), 1u);
    EXPECT_TRUE(byTemplate[12][0]->IsShopKeeper());
    EXPECT_EQ(byTemplate[12][0]->AsNPC()->GetJob(), "baker");
}

// People carry template numbers the server counts as human, animals those of animals; every
// creature of the town stands on the ground of the map where it was placed.
TEST_F(DemoTownTest, PeopleAreHumanAnimalsAreAnimalsAndAllStandOnTheGround) {
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    int people = 0, animals = 0;
    for (size_t i = 0; i < serials.size(); ++i) {
        CNPC* npc = g_objectManager.FindBySerial(serials[i])->AsNPC();
        if (!npc) continue;
        const int body = npc->GetBody();
        SCOPED_TRACE(::testing::Message() << "template " << npc->GetTemplateId() << " line "
                                          << content->placements[i].line);
        if (body == 400 || body == 401) {
            EXPECT_TRUE(npc->IsHuman());
            EXPECT_FALSE(npc->IsAnimalTemplate());
            ++people;
        } else {
            EXPECT_FALSE(npc->IsHuman());
            EXPECT_TRUE(npc->IsAnimalTemplate());
            ++animals;
        }
        const Location at = npc->GetWorldLocation();
        const int exist = g_worldMap.CanExistAt(at, 16, 1, npc, 0, npc);
        EXPECT_TRUE(exist & kExistFits) << at.x << " " << at.y << " " << at.z;
        EXPECT_TRUE(exist & kExistOnSurfaceTop)
            << "not on the ground at " << at.x << " " << at.y << " " << at.z << " (ground "
            << g_worldMap.GetElevation(at.x, at.y) << ")";
    }
    EXPECT_EQ(people, 8);
    EXPECT_EQ(animals, 6);
}

// The loiterers keep to their spots with their jobs; the herd has one leader; the wolves bite
// and call.
TEST_F(DemoTownTest, LoiterersHerdAndWolves) {
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    std::map<std::string, int> loiterersByJob;
    std::vector<CNPC*> deer, wolves;
    for (size_t i = 0; i < serials.size(); ++i) {
        CNPC* npc = g_objectManager.FindBySerial(serials[i])->AsNPC();
        if (!npc) continue;
        if (npc->HasNpcFlags(kNpcLoiterMode)) {
            ++loiterersByJob[npc->GetJob()];
            EXPECT_EQ(npc->ai.loiterLoc, content->placements[i].at);
            EXPECT_EQ(npc->GetTown(), "Demo Town");
        }
        if (npc->GetTemplateId() == 502) deer.push_back(npc);
        if (npc->GetTemplateId() == 501) wolves.push_back(npc);
    }
    EXPECT_EQ(loiterersByJob, (std::map<std::string, int>{{"smith", 1}, {"tapster", 1},
                                                          {"trader", 3}}));
    ASSERT_EQ(deer.size(), 4u);
    CNPC* leader = deer[0];
    EXPECT_EQ(leader->GetLeader(), nullptr);
    int followers = 0;
    for (CMobile* f = leader->GetFirstFollower(); f; f = f->GetNextFollower())
        ++followers;
    EXPECT_EQ(followers, 3);
    for (size_t i = 1; i < deer.size(); ++i)
        EXPECT_EQ(deer[i]->GetLeader(), leader);
    for (CNPC* d : deer) {
        d->InitNeeds();
        EXPECT_TRUE(d->HasNpcFlags(kNpcFormsPacks)) << "the herd's self desire";
        EXPECT_EQ(d->GetFleeValue(), 100);
        EXPECT_GE(d->GetBaseStat(kStatIntelligence), 72);
        EXPECT_EQ(d->ai.maxFood, 20);
    }
    ASSERT_EQ(wolves.size(), 2u);
    for (CNPC* w : wolves) {
        EXPECT_EQ(w->GetNaturalWeapon().GetCount(), 2);
        EXPECT_EQ(w->GetNaturalWeapon().GetSides(), 4);
        EXPECT_EQ(w->GetSoundId(CMobile::kSoundNotice), 210);
        EXPECT_EQ(w->GetSoundId(CMobile::kSoundIdle), 212);
        EXPECT_EQ(w->GetLeader(), nullptr);
    }
}

// Who is hostile to whom, from the resources each holds: wolves hunt players and deer and leave
// each other and the townsfolk alone; deer and townsfolk are hostile to no one.
TEST_F(DemoTownTest, WolvesHuntPlayersAndDeerAndNoOneElseHunts) {
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    std::map<int, std::vector<CNPC*>> byTemplate;
    for (u32 s : serials)
        if (CNPC* npc = g_objectManager.FindBySerial(s)->AsNPC())
            byTemplate[npc->GetTemplateId()].push_back(npc);
    NewCharacter c;
    std::snprintf(c.name, sizeof c.name, "Tamsin");
    c.x = 398;
    c.y = 610;
    c.z = static_cast<s8>(g_worldMap.FindGoodZ(
        Location(c.x, c.y, g_worldMap.GetElevation(c.x, c.y) + 2), -128, 128, 16, 1, nullptr, 0));
    c.strength = c.dexterity = c.intelligence = 30;
    CPlayerRegistry registry;
    CPlayer* player = registry.CreatePlayer(c);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->GetAlignmentFlags(0), 0x0B) << "meat, human and good";

    struct Who {
        const char* name;
        CMobile* mobile;
    };
    const Who all[] = {
        {"wolf", byTemplate[501].at(0)},   {"other wolf", byTemplate[501].at(1)},
        {"deer", byTemplate[502].at(0)},   {"townsperson", byTemplate[10].at(0)},
        {"guard", byTemplate[11].at(0)},   {"smith", byTemplate[14].at(0)},
        {"player", player},
    };
    // hostile[a][b]: a hunts b.
    const std::map<std::pair<std::string, std::string>, bool> hunts = {
        {{"wolf", "player"}, true},
        {{"wolf", "deer"}, true},
        {{"other wolf", "player"}, true},
        {{"other wolf", "deer"}, true},
    };
    for (const Who& a : all) {
        CNPC* npc = a.mobile->AsNPC();
        if (!npc) continue;
        for (const Who& b : all) {
            if (a.mobile == b.mobile) continue;
            const auto it = hunts.find({a.name, b.name});
            const bool expected = it != hunts.end() && it->second;
            EXPECT_EQ(npc->IsHostileTo(b.mobile), expected) << a.name << " -> " << b.name;
        }
    }
}

// A role given to something that is no creature stops the town naming the line.
TEST_F(DemoTownTest, ARoleForAThingIsRefusedNamingTheLine) {
    std::vector<TownPlacement> placements(1);
    placements[0].templateNumber = 1000;  // a door
    placements[0].at = Location(374, 563, 0);
    placements[0].role = TownRole::kLoiter;
    placements[0].line = 12;
    std::vector<u32> serials;
    std::string error;
    EXPECT_FALSE(BuildDemoTown(placements, serials, &error));
    EXPECT_EQ(error, "town.txt:12: template 1000 makes no creature to give a role");
}

TEST_F(DemoTownTest, TheSameTownEveryTime) {
    const u32 first = g_objectManager.PeekSerialCounter();
    std::vector<u32> a, b;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, a, &error)) << error;
    const std::string once = Describe(a);
    DeleteAllObjects();
    g_objectManager.SetSerialCounter(first);
    ASSERT_TRUE(BuildDemoTown(content->placements, b, &error)) << error;
    EXPECT_EQ(a, b);
    EXPECT_EQ(Describe(b), once);
}

// The town as the content builder writes it is the town the server loads and writes back: every
// object under the serial it was made with, and the same bytes.
TEST_F(DemoTownTest, SavedLoadedAndSavedAgainTheTownIsTheSameBytes) {
    std::vector<u32> serials;
    std::string error;
    ASSERT_TRUE(BuildDemoTown(content->placements, serials, &error)) << error;
    std::vector<u32> all;
    g_objectManager.CollectAllSerials(all);
    // The alignment bytes are not saved; the load derives them again from what each holds.
    std::map<u32, std::pair<u8, u8>> alignment;
    for (u32 s : all)
        if (CMobile* m = g_objectManager.FindBySerial(s)->AsMobile())
            alignment[s] = {m->GetAlignmentFlags(0), m->GetAlignmentFlags(1)};
    const SectorPair first = BuildDynamicPair();
    DeleteAllObjects();
    DynamicLoadReport report;
    ASSERT_EQ(LoadDynamicObjects(first.index, first.data, "dynamic0.mul", &report), 0)
        << report.error;
    for (int r = 0; r < static_cast<int>(DropReason::kCount); ++r)
        EXPECT_EQ(report.dropped[r], 0) << DropReasonName(static_cast<DropReason>(r));
    EXPECT_EQ(report.loaded, static_cast<int>(all.size()));
    for (u32 s : serials)
        EXPECT_NE(g_objectManager.FindBySerial(s), nullptr) << s;
    int hunters = 0;
    for (const auto& [s, bytes] : alignment) {
        CMobile* m = g_objectManager.FindBySerial(s)->AsMobile();
        ASSERT_NE(m, nullptr) << s;
        EXPECT_EQ(std::make_pair(m->GetAlignmentFlags(0), m->GetAlignmentFlags(1)), bytes) << s;
        hunters += bytes.second != 0;
    }
    EXPECT_EQ(hunters, 2) << "the wolves";
    const SectorPair second = BuildDynamicPair();
    EXPECT_EQ(first.index, second.index);
    EXPECT_EQ(std::string(first.data.begin(), first.data.end()),
              std::string(second.data.begin(), second.data.end()));
    // The guards' swords are weapons of their weapon template.
    for (u32 s : serials) {
        CItem* guard = g_objectManager.FindBySerial(s);
        if (!guard || !guard->IsGuard()) continue;
        CWeapon* sword = guard->AsMobile()->GetLayer(1)->AsWeapon();
        ASSERT_NE(sword, nullptr);
        EXPECT_NE(g_weaponTemplates.Get(sword->GetWeaponTemplate()), nullptr);
    }
}

TEST_F(DemoTownTest, StartingKits) {
    auto* player = new CPlayer;
    player->SetBodyType(400);
    player->SetRealStat(kStatStrength, 30);
    player->PlaceInWorld(Location(390, 575, 0));
    EXPECT_EQ(player->BecomeTemplate(2998, 0), 1);
    EXPECT_EQ(player->BecomeTemplate(3013, 0), 1);
    CItem* pack = player->GetLayer(21);
    ASSERT_NE(pack, nullptr);
    ASSERT_NE(player->GetLayer(5), nullptr);
    EXPECT_EQ(player->GetLayer(5)->GetType(), demo_tiles::kShirt);
    ASSERT_NE(player->GetLayer(4), nullptr);
    EXPECT_EQ(player->GetLayer(4)->GetType(), demo_tiles::kPants);
    int breads = 0, gold = 0;
    for (CItem* c = pack->AsContainer()->GetFirstChild(); c; c = c->GetNextSibling()) {
        if (c->GetType() == demo_tiles::kBread) breads += c->GetQuantity();
        if (c->GetType() == demo_tiles::kGold) gold += c->GetQuantity();
        // Every piece of the kit is starting equipment, which a death spares.
        EXPECT_TRUE(HasScript(c, "starteq")) << c->GetType();
    }
    EXPECT_EQ(gold, 100);
    EXPECT_EQ(breads, 7);
    for (int layer : {4, 5})
        EXPECT_TRUE(HasScript(player->GetLayer(layer), "starteq")) << layer;
}

TEST_F(DemoTownTest, ANewCharacterIsDressedByItsKit) {
    NewCharacter c;
    std::snprintf(c.name, sizeof c.name, "Mira");
    c.x = 390;
    c.y = 575;
    c.sex = 1;
    c.strength = c.dexterity = 30;
    c.intelligence = 40;
    c.skill[0] = 13;
    c.skillValue[0] = 50;
    c.skill[1] = 1;
    c.skillValue[1] = 30;
    c.skill[2] = 2;
    c.skillValue[2] = 20;
    CPlayerRegistry registry;
    CPlayer* player = registry.CreatePlayer(c);
    ASSERT_NE(player, nullptr);
    ASSERT_NE(player->GetLayer(5), nullptr) << "the female kit's shirt";
    ASSERT_NE(player->GetLayer(23), nullptr) << "the female kit's skirt";
    EXPECT_EQ(player->GetLayer(23)->GetType(), demo_tiles::kSkirt);
    EXPECT_NE(player->GetLayer(23)->GetHue(), 0);
    int gold = 0;
    for (CItem* i = player->GetLayer(21)->AsContainer()->GetFirstChild(); i;
         i = i->GetNextSibling()) {
        if (i->GetType() == demo_tiles::kGold) gold += i->GetQuantity();
    }
    EXPECT_GT(gold, 0);
}

}  // namespace
