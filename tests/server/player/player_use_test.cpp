// A player using objects: reach, ghosts, the action delay, mobiles and their paperdolls,
// riding, spellbooks, the "objaccess" vetoes, snooping, and the 0x06 request reaching it.
#include "server/player/player_use.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/packet_reader.h"
#include "server/net/client_dispatcher.h"
#include "server/net/socket.h"
#include "server/world/mobile.h"
#include "server/world/player.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "server/world/rules_services.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/world/world_test_support.h"
#include "server/world/npc.h"

namespace {

constexpr int kSpellbookGraphic = 3834;

struct AnsweringRules : RulesServices {
    int answer = -1;
    std::vector<int> skills;
    int TestSkill(CMobile&, int skill, CItem*, int) override {
        skills.push_back(skill);
        return answer;
    }
    int WitnessCrime(const Location&, CMobile&, CItem*, const char*, int, int, int) override {
        return 0;
    }
};

class PlayerUseTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        GetTileData().MutableStatic(kSpellbookGraphic)->flags = kTileContainer;
        savedRules_ = SetRulesServices(&rules);
        ann = new CPlayer;
        ann->SetSerial(g_objectManager.NewSerial());
        ann->SetName("Ann");
        ann->SetBodyType(400);
        ann->PlaceInWorldQuiet(Location(10, 10, 0));
        ThrottledSock* s = new ThrottledSock;
        s->budget = 1 << 20;
        s->loggedIn = 1;
        LinkPlayerToSocket(ann, s);
    }
    void TearDown() override {
        DeleteAllSockets();
        SetRulesServices(savedRules_);
        GetTileData().MutableStatic(kSpellbookGraphic)->flags = 0;
        GetResourceTypes().Clear();
        WorldTest::TearDown();
    }
    // The ids of the packets Ann's connection received since the last look, as hex.
    std::string ReceivedIds() {
        ThrottledSock* s = static_cast<ThrottledSock*>(ann->GetConnection());
        s->FlushSendQueue();
        std::string out;
        for (const auto& p : SplitPackets(s->wire))
            out += (out.empty() ? "" : " ") + ToHex({p[0]});
        s->wire.clear();
        return out;
    }
    std::vector<std::vector<u8>> Received() {
        ThrottledSock* s = static_cast<ThrottledSock*>(ann->GetConnection());
        s->FlushSendQueue();
        std::vector<u8> wire;
        wire.swap(s->wire);
        return SplitPackets(wire);
    }
    bool Used(const CItem* object) const {
        for (int t : triggers.TriggersFor(object->GetSerial()))
            if (t == kTriggerUse) return true;
        return false;
    }
    void Use(CItem* object, int flag = 0) {
        UseObject(ann, ann->GetSerial(), ann->GetWorldLocation(), object, flag);
    }
    CNPC* Npc(int x, int y, int body) {
        CNPC* npc = new CNPC;
        npc->SetSerial(g_objectManager.NewSerial());
        npc->SetBodyType(body);
        npc->PlaceInWorld(Location(x, y, 0));
        return npc;
    }
    CNPC* Horse(int x, int y) {
        CResourceType* type = new CResourceType;
        type->SetNumber(GetResourceTypes().AllocNumber());
        type->SetInternalName("horse");
        type->SetFoodName("ridable");
        const int number = type->GetNumber();
        GetResourceTypes().Add(type);
        CNPC* horse = Npc(x, y, 200);
        horse->AddResource(number, kResourceHeld, 1, 0, 1);
        return horse;
    }
    CItem* Backpack(CMobile* owner) {
        CItem* pack = g_objectManager.CreateContainer(kBag);
        EXPECT_TRUE(pack->EquipOn(owner, 21));
        return pack;
    }
    std::vector<std::string> Told() const { return packets.With("1C"); }

    CPlayer* ann = nullptr;
    AnsweringRules rules;

private:
    RulesServices* savedRules_ = nullptr;
};

TEST_F(PlayerUseTest, ReachIsTwoTilesAndSixteenUpOrEightDown) {
    // Ann hovers at z 20 (what she stands on would stand in the line of sight); the items'
    // height is 1.
    ann->RemoveFromWorldQuiet();
    ann->PlaceInWorldQuiet(Location(10, 10, 20));
    struct Case {
        const char* what;
        int dx, z;
        bool used;
    };
    const Case cases[] = {
        {"1 tile", 1, 20, true},       {"2 tiles", 2, 20, true},   {"3 tiles", 3, 20, false},
        {"16 above", 1, 36, true},     {"17 above", 1, 37, false}, {"top 8 below", 1, 11, true},
        {"top 9 below", 1, 10, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        packets.log.clear();
        CItem* item = PlacedItem(10 + k.dx, 10, k.z);
        Use(item);
        EXPECT_EQ(Used(item), k.used);
        EXPECT_EQ(Told(), k.used
                              ? std::vector<std::string>{}
                              : std::vector<std::string>{"1C " + std::to_string(ann->GetSerial()) +
                                                         " I can't reach that."});
    }
}

TEST_F(PlayerUseTest, AHorseTenTilesAwayPassesTheRangeButIsTooFarToRide) {
    CNPC* far = Horse(20, 10);
    Use(far);
    EXPECT_TRUE(Used(far));
    EXPECT_EQ(packets.With("msg"),
              std::vector<std::string>{"msg " + std::to_string(ann->GetSerial()) +
                                       " That is too far away to ride."});
    EXPECT_FALSE(ann->IsMounted());

    CNPC* fighting = Horse(11, 10);
    fighting->AddAggressor(999);
    packets.log.clear();
    Use(fighting);
    EXPECT_EQ(packets.With("msg").size(), 1u);
    EXPECT_FALSE(ann->IsMounted());

    CNPC* near = Horse(10, 11);
    Use(near);
    EXPECT_TRUE(ann->IsMounted());
}

TEST_F(PlayerUseTest, AGhostUsesNoItemButStillSeesPaperdolls) {
    ann->SetBodyType(402);
    CItem* item = PlacedItem(11, 10, 0);
    Use(item);
    EXPECT_FALSE(Used(item));
    EXPECT_EQ(Told(), std::vector<std::string>{"1C " + std::to_string(ann->GetSerial()) +
                                               " I am dead and cannot do that."});
    CNPC* human = Npc(15, 10, 400);
    Received();
    Use(human);
    EXPECT_EQ(ReceivedIds(), "88");
    CNPC* far = Npc(29, 10, 400);
    Use(far);
    EXPECT_EQ(ReceivedIds(), "") << "19 tiles: out of reach";
}

TEST_F(PlayerUseTest, TheActionDelayOfFourPulsesRefusesTheSecondDoubleClick) {
    CItem* item = PlacedItem(11, 10, 0);
    UseObjectRequest(*ann, item, 0);
    EXPECT_EQ(triggers.TriggersFor(item->GetSerial()).size(), 2u) << "ooruse, use";
    EXPECT_EQ(ann->GetActionDelay(), kUseActionDelay);
    for (int click = 0; click < 3; ++click)
        UseObjectRequest(*ann, item, 0);
    EXPECT_EQ(packets.With("msg").size(), 2u) << "the third wait message is not sent";
    for (int pulse = 0; pulse < 3; ++pulse) {
        ann->Tick();
        UseObjectRequest(*ann, item, 0);
    }
    EXPECT_EQ(triggers.TriggersFor(item->GetSerial()).size(), 2u);
    ann->Tick();
    UseObjectRequest(*ann, item, 0);
    EXPECT_EQ(triggers.TriggersFor(item->GetSerial()).size(), 4u);
}

TEST_F(PlayerUseTest, ASpellbookOpensFromTheBackpackButNotFromAPouchInIt) {
    CItem* pack = Backpack(ann);
    CItem* pouch = g_objectManager.CreateContainer(kBag);
    ASSERT_TRUE(pouch->AddToContainer(pack, Location(1, 1, 0)));
    CItem* inPouch = g_objectManager.CreateContainer(kSpellbookGraphic);
    ASSERT_TRUE(inPouch->AddToContainer(pouch, Location(1, 1, 0)));
    CItem* inPack = g_objectManager.CreateContainer(kSpellbookGraphic);
    ASSERT_TRUE(inPack->AddToContainer(pack, Location(2, 2, 0)));
    Received();

    Use(inPouch);
    EXPECT_EQ(ReceivedIds(), "");
    EXPECT_EQ(packets.With("msg"),
              std::vector<std::string>{"msg " + std::to_string(ann->GetSerial()) +
                                       " The spellbook must be in your backpack (and not in a "
                                       "container within) to open."});
    Use(inPack);
    const auto got = Received();
    ASSERT_EQ(got.size(), 5u) << "the pack, the book, its gump and contents";
    EXPECT_EQ(got[0][0], 0x24);
    EXPECT_EQ(got[2][0], 0x25) << "the book itself, in the pack";
    EXPECT_EQ(got[3][0], 0x24);
    EXPECT_EQ((got[3][5] << 8 | got[3][6]), 0xFFFF) << "the spellbook gump";
}

// Answers "objaccess" by its question: 9 for an item on another mobile, 8 for the holder.
struct QuestionTriggers : RecordingTriggers {
    int answer9 = 1;
    int answer8 = 1;
    int SendTrigger(CItem* object, int trigger, const TriggerArgs& args) override {
        const int answer = RecordingTriggers::SendTrigger(object, trigger, args);
        if (trigger != kTriggerObjAccess) return answer;
        return args.value == 9 ? answer9 : answer8;
    }
};

TEST_F(PlayerUseTest, ObjaccessVetoesUseOfWhatOthersAndOneselfHold) {
    QuestionTriggers questions;
    SetTriggerServices(&questions);
    CNPC* bob = Npc(11, 10, 400);
    CItem* bobsPebble = NewItem();
    ASSERT_TRUE(bobsPebble->AddToContainer(Backpack(bob), Location(1, 1, 0)));
    CItem* pack = Backpack(ann);
    CItem* mine = NewItem();
    ASSERT_TRUE(mine->AddToContainer(pack, Location(1, 1, 0)));
    struct Case {
        const char* what;
        CItem* object;
        u32 owner;
        int answer9, answer8;
        std::vector<int> questions;  // asked of the owner, in order
        bool used;
    };
    const Case cases[] = {
        {"another's item, no handler", bobsPebble, bob->GetSerial(), 1, 1, {9}, false},
        {"another's item, handler allows", bobsPebble, bob->GetSerial(), 0, 1, {9, 8}, true},
        {"another's item, holder refuses", bobsPebble, bob->GetSerial(), 0, 0, {9, 8}, false},
        {"own item", mine, ann->GetSerial(), 1, 1, {8}, true},
        {"own item, holder refuses", mine, ann->GetSerial(), 1, 0, {8}, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        questions.calls.clear();
        questions.answer9 = k.answer9;
        questions.answer8 = k.answer8;
        Use(k.object);
        std::vector<int> asked;
        bool used = false;
        for (const auto& call : questions.calls) {
            if (call.trigger == kTriggerObjAccess) {
                EXPECT_EQ(call.serial, k.owner);
                EXPECT_EQ(call.ints,
                          (std::vector<int>{call.args.value, static_cast<int>(ann->GetSerial()),
                                            static_cast<int>(k.object->GetSerial())}));
                asked.push_back(call.args.value);
            }
            used |= call.serial == k.object->GetSerial() && call.trigger == kTriggerUse;
        }
        EXPECT_EQ(asked, k.questions);
        EXPECT_EQ(used, k.used);
    }
    SetTriggerServices(&triggers);
}

TEST_F(PlayerUseTest, SnoopingTestsTheSkillAndCostsKarma) {
    CNPC* bob = Npc(11, 10, 400);
    CItem* bobsPack = Backpack(bob);
    CItem* bobsBag = g_objectManager.CreateContainer(kBag);
    ASSERT_TRUE(bobsBag->AddToContainer(bobsPack, Location(1, 1, 0)));
    ann->SetKarma(1000);
    Received();
    Use(bobsBag);
    EXPECT_EQ(rules.skills, std::vector<int>{kSnoopingSkill});
    ASSERT_FALSE(packets.With("msg").empty());
    EXPECT_EQ(packets.With("msg").back(), "msg " + std::to_string(ann->GetSerial()) +
                                              " You failed to peek into the container.");
    EXPECT_EQ(ReceivedIds(), "");
    EXPECT_LT(ann->GetKarma(), 1000);

    rules.answer = 0;
    Use(bobsBag);
    EXPECT_EQ(ReceivedIds(), "24 3C");
    EXPECT_EQ(ann->GetActionDelay(), kLookActionDelay);

    // A game master in edit mode keeps its pack closed to everyone.
    CPlayer* gm = new CPlayer;
    gm->SetSerial(g_objectManager.NewSerial());
    gm->PlaceInWorldQuiet(Location(10, 11, 0));
    CItem* gmBag = g_objectManager.CreateContainer(kBag);
    ASSERT_TRUE(gmBag->AddToContainer(Backpack(gm), Location(1, 1, 0)));
    gm->SetFlag(kPlayerEditing | kPlayerGameMaster, true);
    packets.log.clear();
    Use(gmBag);
    EXPECT_EQ(packets.With("msg"),
              std::vector<std::string>{"msg " + std::to_string(ann->GetSerial()) +
                                       " You can not peek into the "
                                       "container."});
    EXPECT_EQ(ReceivedIds(), "");
}

TEST_F(PlayerUseTest, ACounselorOnlyLooksAtPaperdolls) {
    ann->SetFlag(kPlayerNonCombatant | kPlayerCounselor, true);
    CNPC* bob = Npc(25, 10, 30);
    CItem* item = PlacedItem(11, 10, 0);
    Received();
    UseObjectRequest(*ann, item, 0);
    EXPECT_FALSE(Used(item));
    UseObjectRequest(*ann, bob, 0);
    EXPECT_EQ(ReceivedIds(), "88");
    EXPECT_EQ(ann->GetActionDelay(), kLookActionDelay);
}

TEST_F(PlayerUseTest, TheUseRequestReachesTheRoutine) {
    CItem* item = PlacedItem(11, 10, 0);
    const u32 serial = item->GetSerial() | 0x80000000u;
    u8 packet[5] = {0x06, u8(serial >> 24), u8(serial >> 16), u8(serial >> 8), u8(serial)};
    PacketReader reader(packet, sizeof packet, 1);
    DispatchClientPacket(*ann, 0x06, reader);
    EXPECT_TRUE(Used(item));
    CItem* far = PlacedItem(40, 40, 0);
    const u32 farSerial = far->GetSerial();
    u8 farPacket[5] = {0x06, u8(farSerial >> 24), u8(farSerial >> 16), u8(farSerial >> 8),
                       u8(farSerial)};
    PacketReader farReader(farPacket, sizeof farPacket, 1);
    ann->SetActionDelay(0);
    DispatchClientPacket(*ann, 0x06, farReader);
    EXPECT_TRUE(triggers.TriggersFor(farSerial).empty()) << "beyond 18 tiles nothing is found";
}

}  // namespace
