// Containers, weights, resource units and stacks: the item rules that every carried object
// goes through.
#include <climits>
#include <cstring>

#include "core/byte_order.h"
#include "core/log_sink.h"
#include "platform/random.h"
#include "script/language/script_value.h"
#include "script/runtime/script_list.h"
#include "server/world/doors.h"
#include "server/world/object_texts.h"
#include "server/world/resource_entry.h"
#include "server/world/resource_type.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

constexpr int kGoldCoin = 3821;
constexpr int kWidget = 200;  // one unit: 2 wood and 1 metal
constexpr int kAnvil = 201;   // 50 stones
constexpr int kPack = 3701;   // window 60
constexpr int kWideArt = 202;

class ItemRulesTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        SetTile(kGoldCoin, kTileGeneric, 0, "gold coin%s%");
        SetTile(kWidget, kTileGeneric | kTileArticleA, 1, "widget%s%");
        SetTile(kAnvil, 0, 50, "anvil");
        SetTile(kPack, kTileContainer, 3, "backpack");
        SetTile(kWideArt, 0, 1, "banner");
        std::vector<u8> art(kArtDimFileSize, 0);
        StoreLe16(&art[kPlainItem * 4], 10);
        StoreLe16(&art[kPlainItem * 4 + 2], 20);
        StoreLe16(&art[kWideArt * 4], 200);
        StoreLe16(&art[kWideArt * 4 + 2], 300);
        GetTileData().ReadArtDimensions(art.data(), art.size());
        gold = AddType("gold");
        wood = AddType("wood");
        metal = AddType("metal");
        Prototype(kGoldCoin)->AddResource(gold, kResourceHeld, 1, 0, 1);
        Prototype(kWidget)->AddResource(wood, kResourceHeld, 2, 0, 2);
        Prototype(kWidget)->AddResource(metal, kResourceHeld, 1, 0, 1);
    }

    static void SetTile(int graphic, u32 flags, int weight, const char* name) {
        StaticTileRecord* r = GetTileData().MutableStatic(graphic);
        r->flags = flags;
        r->weight = static_cast<u8>(weight);
        std::memset(r->name, 0, sizeof r->name);
        std::memcpy(r->name, name, strnlen(name, 20));
    }
    static int AddType(const char* name) {
        auto* type = new CResourceType;
        type->SetNumber(GetResourceTypes().AllocNumber());
        type->SetInternalName(name);
        GetResourceTypes().Add(type);
        return type->GetNumber();
    }
    static CCountedObject* Prototype(int graphic) {
        return g_objectManager.GetResourcePrototype(graphic);
    }

    CItem* Coins(int n) {
        CItem* item = NewItem(kGoldCoin);
        item->AddResource(gold, kResourceHeld, n, 0, n);
        return item;
    }
    CItem* Widget(int woodAmount, int metalAmount) {
        CItem* item = NewItem(kWidget);
        if (woodAmount) item->AddResource(wood, kResourceHeld, woodAmount, 0, woodAmount);
        if (metalAmount) item->AddResource(metal, kResourceHeld, metalAmount, 0, metalAmount);
        return item;
    }
    CContainer* Bag(int graphic = kBag) { return NewItem(graphic)->AsContainer(); }
    CContainer* PlacedBag(int graphic = kBag) {
        CContainer* bag = Bag(graphic);
        bag->PlaceInWorld(Location(5, 5, 0));
        return bag;
    }
    static bool Put(CItem* item, CItem* into, int x = -1) {
        return item->AddToContainer(into, Location(x, x, 0));
    }
    CMobile* Mobile() {
        auto* m = new CMobile;
        m->PlaceInWorld(Location(10, 10, 0));
        return m;
    }

    int gold = 0, wood = 0, metal = 0;
};

// ---------------------------------------------------------------- weights and limits

TEST_F(ItemRulesTest, GoldWeighsAStonePerFiftyCoinsRoundedUp) {
    struct Case {
        int coins, stones;
    } cases[] = {{1, 1}, {50, 1}, {51, 2}, {60, 2}, {100, 2}, {101, 3}};
    for (const Case& c : cases) {
        CItem* coins = Coins(c.coins);
        EXPECT_EQ(coins->GetQuantity(), c.coins);
        EXPECT_EQ(coins->GetWeight(), c.stones) << c.coins << " coins";
        coins->DeleteSelf();
    }
    // Something weightless by its tiles weighs a stone per ten.
    CItem* widgets = Widget(2 * 11, 11);
    EXPECT_EQ(widgets->GetWeight(), 11);  // tile weight 1 x 11 units
}

TEST_F(ItemRulesTest, ContainerLimitsAreFourHundredStonesAndOneHundredTwentyFiveItems) {
    CContainer* bag = PlacedBag();
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(Put(NewItem(kAnvil), bag));
    int code = 0;
    CItem* anvil = NewItem(kAnvil);
    EXPECT_TRUE(bag->CanHold(anvil, &code));  // exactly 400 stones fit
    ASSERT_TRUE(Put(anvil, bag));
    ASSERT_EQ(bag->GetContentWeight(), 400);
    EXPECT_FALSE(bag->CanHold(NewItem(kPlainItem), &code));
    EXPECT_EQ(code, 1);

    // 124 items in a tree: a bag holding one item (two in all) is refused, an empty bag fits.
    CContainer* crate = PlacedBag();
    CContainer* inner = Bag();
    ASSERT_TRUE(Put(inner, crate));
    for (int i = 0; i < 123; ++i)
        ASSERT_TRUE(Put(NewItem(kPlainItem), i % 2 ? crate : inner));
    ASSERT_EQ(crate->CountItems(true), 124);
    CContainer* full = Bag();
    Put(NewItem(kPlainItem), full);
    code = 0;
    EXPECT_FALSE(crate->CanHold(full, &code));
    EXPECT_EQ(code, 2);
    // Asking the inner bag asks the outermost one.
    code = 0;
    EXPECT_FALSE(inner->CanHold(full, &code));
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(crate->CanHold(Bag(), &code));
}

TEST_F(ItemRulesTest, ContentWeightClimbsThreeLevelsAndStopsAtTheEndsOfItsRange) {
    CMobile* mobile = Mobile();
    CContainer* pack = Bag(kPack);
    ASSERT_TRUE(pack->EquipOn(mobile, 21));
    CContainer* pouch = Bag();
    ASSERT_TRUE(Put(pouch, pack));
    const int packBefore = pack->GetContentWeight();
    const int mobileBefore = mobile->GetContentWeight();
    ASSERT_TRUE(Put(NewItem(kAnvil), pouch));
    EXPECT_EQ(pouch->GetContentWeight(), 50);
    EXPECT_EQ(pack->GetContentWeight(), packBefore + 50);
    EXPECT_EQ(mobile->GetContentWeight(), mobileBefore + 50);
    pouch->GetFirstChild()->RemoveFromWorld();
    EXPECT_EQ(pouch->GetContentWeight(), 0);
    EXPECT_EQ(mobile->GetContentWeight(), mobileBefore);

    // 60,000 + 10,000 stops at 65,535; taking away more than is cached leaves 0.
    CContainer* box = PlacedBag();
    box->AddContentWeight(60000);
    box->AddContentWeight(10000);
    EXPECT_EQ(box->GetContentWeight(), 65535);
    box->RemoveContentWeight(70000);
    EXPECT_EQ(box->GetContentWeight(), 0);
}

TEST_F(ItemRulesTest, CoinsWeighNothingInTheBankBoxAndCountAgainOutsideIt) {
    CMobile* mobile = Mobile();
    CContainer* bank = Bag();
    ASSERT_TRUE(bank->EquipOn(mobile, kBankBoxLayer));
    EXPECT_TRUE(bank->IsWeightless());
    const int mobileWeight = mobile->GetContentWeight();

    CContainer* purse = Bag();
    ASSERT_TRUE(Put(Coins(500), purse));
    EXPECT_EQ(purse->GetContentWeight(), 10);
    ASSERT_TRUE(Put(purse, bank));
    // Inside the bank box the purse's coins stop counting; the bank box is weightless.
    EXPECT_EQ(purse->GetContentWeight(), 0);
    EXPECT_EQ(bank->GetCachedContentWeight(), purse->GetWeight());
    EXPECT_EQ(mobile->GetContentWeight(), mobileWeight);
    // A bank box counts no items of its own: only its 400-stone limit applies to it.
    EXPECT_EQ(bank->CountItems(true), 0);
    int code = 0;
    EXPECT_TRUE(bank->CanHold(Coins(60000), &code));

    purse->RemoveFromWorld();
    EXPECT_EQ(purse->GetContentWeight(), 10);
    EXPECT_EQ(bank->GetCachedContentWeight(), 0);
    purse->PlaceInWorld(Location(3, 3, 0));

    // Coins two levels down stop and start counting as well.
    CContainer* chest = Bag();
    CContainer* pouch = Bag();
    ASSERT_TRUE(Put(Coins(1000), pouch));
    ASSERT_TRUE(Put(pouch, chest));
    ASSERT_EQ(chest->GetContentWeight(), pouch->GetWeight());
    ASSERT_TRUE(Put(chest, bank));
    EXPECT_EQ(pouch->GetContentWeight(), 0);
    EXPECT_EQ(chest->GetContentWeight(), pouch->GetWeight());
    EXPECT_EQ(bank->GetCachedContentWeight(), ContainerTreeWeight(chest));
    chest->RemoveFromWorld();
    EXPECT_EQ(pouch->GetContentWeight(), 20);
    EXPECT_EQ(chest->GetContentWeight(), pouch->GetWeight());
    EXPECT_EQ(bank->GetCachedContentWeight(), 0);
    chest->PlaceInWorld(Location(3, 4, 0));
}

// ---------------------------------------------------------------- layout

TEST_F(ItemRulesTest, WindowsAndLayoutRectangles) {
    struct Case {
        int graphic, gump, minX, maxX, minY, maxY;
    } cases[] = {
        {kPack, 60, 44, 186, 65, 159},  {2448, 65, 35, 145, 38, 116}, {3646, 68, 20, 170, 10, 100},
        {4006, 2330, 50, 232, 50, 180}, {7774, 82, 0, 110, 0, 62},    {kBag, 9, 20, 124, 85, 196},
    };
    for (const Case& c : cases) {
        SetTile(c.graphic, kTileContainer, 1, "box");
        CContainer* box = Bag(c.graphic);
        ASSERT_NE(box, nullptr) << c.graphic;
        int minX, maxX, minY, maxY;
        box->GetGumpBounds(minX, maxX, minY, maxY);
        EXPECT_EQ(box->GetGumpId(), c.gump) << c.graphic;
        EXPECT_EQ(minX, c.minX);
        EXPECT_EQ(maxX, c.maxX);
        EXPECT_EQ(minY, c.minY);
        EXPECT_EQ(maxY, c.maxY);
        box->DeleteSelf();
    }
}

TEST_F(ItemRulesTest, ItemsLandInsideTheWindowAndOversizeArtAtTheCorner) {
    CContainer* bag = PlacedBag();
    platform::SeedRandom(7);
    for (int i = 0; i < 50; ++i) {
        CItem* pebble = NewItem(kPlainItem);  // art 10 x 20
        ASSERT_TRUE(Put(pebble, bag));
        EXPECT_GE(pebble->GetLocation().x, 20);
        EXPECT_LE(pebble->GetLocation().x, 124 - 10);
        EXPECT_GE(pebble->GetLocation().y, 85);
        EXPECT_LE(pebble->GetLocation().y, 196 - 20);
    }
    CItem* banner = NewItem(kWideArt);  // 200 x 300: wider and taller than the window
    ASSERT_TRUE(Put(banner, bag));
    EXPECT_EQ(banner->GetLocation().x, 0);
    EXPECT_EQ(banner->GetLocation().y, 0);
    // A given position is kept.
    CItem* placed = NewItem(kPlainItem);
    ASSERT_TRUE(Put(placed, bag, 33));
    EXPECT_EQ(placed->GetLocation().x, 33);
}

TEST_F(ItemRulesTest, AContainerNeverGoesIntoItselfOrItsOwnContents) {
    CContainer* outer = PlacedBag();
    CContainer* inner = Bag();
    ASSERT_TRUE(Put(inner, outer));
    outer->RemoveFromWorld();
    EXPECT_FALSE(Put(outer, inner));
    EXPECT_FALSE(Put(outer, outer));
    outer->PlaceInWorld(Location(1, 1, 0));
}

// ---------------------------------------------------------------- units

TEST_F(ItemRulesTest, UnitsAreTheWholeNeedsHeld) {
    struct Case {
        int wood, metal, units;
    } cases[] = {{7, 5, 3}, {7, 0, 0}, {2, 1, 1}, {1, 9, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        CItem* w = Widget(c.wood, c.metal);
        EXPECT_EQ(w->CountResourceUnits(), c.units) << c.wood << " wood " << c.metal << " metal";
        EXPECT_EQ(w->IsGeneric(), c.units > 0);
        EXPECT_EQ(w->GetQuantity(), c.units > 0 ? c.units : 1);
        w->DeleteSelf();
    }
    // Consuming one of 3 units leaves 4 wood and 2 metal.
    CItem* w = Widget(7, 5);
    EXPECT_TRUE(w->ConsumeResourceUnits(1));
    EXPECT_EQ(w->GetResourceAmount(wood), 4);
    EXPECT_EQ(w->GetResourceAmount(metal), 2);
}

TEST_F(ItemRulesTest, TransferMovesWholeUnitsAndTrimsTheSource) {
    CItem* source = Widget(7, 5);
    CItem* target = Widget(0, 0);
    EXPECT_TRUE(source->TransferResourceUnits(target, 2));
    EXPECT_EQ(target->GetResourceAmount(wood), 4);
    EXPECT_EQ(target->GetResourceAmount(metal), 2);
    // 3 wood and 3 metal are left: trimmed to one whole unit.
    EXPECT_EQ(source->GetResourceAmount(wood), 2);
    EXPECT_EQ(source->GetResourceAmount(metal), 1);
    // Moving the last unit deletes the source.
    const u32 serial = source->GetSerial();
    EXPECT_FALSE(source->TransferResourceUnits(target, 1));
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    EXPECT_EQ(target->CountResourceUnits(), 3);
}

TEST_F(ItemRulesTest, ANeedOfAmountZeroAsksForNothing) {
    Prototype(kWidget)->FindResource(metal, kResourceHeld)->amounts[0] = 0;
    CItem* w = Widget(6, 0);
    EXPECT_EQ(w->CountResourceUnits(), 3);
    EXPECT_TRUE(w->HasUnitsFor(3));
}

// ---------------------------------------------------------------- stacks

TEST_F(ItemRulesTest, StacksOfAtMostSixtyThousandUnitsStack) {
    struct Case {
        int a, b;
        int hueB;
        bool stacks;
    } cases[] = {
        {30000, 30000, 0, true}, {30000, 30001, 0, false}, {1, 1, 0, true},
        {1, 1, 33, false},       {59999, 1, 0, true},
    };
    for (const Case& c : cases) {
        CItem* a = Coins(c.a);
        CItem* b = Coins(c.b);
        b->SetHue(static_cast<u16>(c.hueB));
        EXPECT_EQ(a->CanStackWith(b), c.stacks) << c.a << "+" << c.b << " hue " << c.hueB;
        a->DeleteSelf();
        b->DeleteSelf();
    }
    // Not generic (no units held) never stacks.
    CItem* empty = Coins(0);
    EXPECT_FALSE(empty->CanStackWith(Coins(5)));
}

TEST_F(ItemRulesTest, AnIsStackableOnHandlerAnsweringZeroVetoes) {
    CItem* a = Coins(5);
    CItem* b = Coins(5);
    triggers.answers[{a->GetSerial(), kTriggerIsStackableOn}] = 0;
    EXPECT_FALSE(a->CanStackWith(b));
    EXPECT_TRUE(b->CanStackWith(a));
}

TEST_F(ItemRulesTest, DroppingWithoutPositionMergesAndWithPositionDoesNot) {
    CContainer* bag = PlacedBag();
    CItem* stack = Coins(40);
    ASSERT_TRUE(Put(stack, bag));
    EXPECT_EQ(bag->GetContentWeight(), 1);
    const u32 incoming = Coins(30)->GetSerial();
    ASSERT_TRUE(Put(g_objectManager.FindBySerial(incoming), bag));
    EXPECT_EQ(g_objectManager.FindBySerial(incoming), nullptr);  // merged and deleted
    EXPECT_EQ(stack->GetQuantity(), 70);
    EXPECT_EQ(bag->CountItems(false), 1);
    EXPECT_EQ(bag->GetContentWeight(), 2);
    ASSERT_TRUE(Put(Coins(30), bag, 40));
    EXPECT_EQ(bag->CountItems(false), 2);
    EXPECT_EQ(bag->GetContentWeight(), 3);
}

TEST_F(ItemRulesTest, HandlersThatDeleteTheirItemWhileStacking) {
    CContainer* bag = PlacedBag();
    CItem* stack = Coins(40);
    ASSERT_TRUE(Put(stack, bag));
    // isstackableon deletes the incoming item: nothing is merged or placed, nothing breaks.
    CItem* incoming = Coins(10);
    const u32 incomingSerial = incoming->GetSerial();
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (trigger == kTriggerIsStackableOn && object->GetSerial() == incomingSerial)
            object->DeleteSelf();
    };
    EXPECT_FALSE(Put(incoming, bag));
    EXPECT_EQ(g_objectManager.FindBySerial(incomingSerial), nullptr);
    EXPECT_EQ(stack->GetQuantity(), 40);
    EXPECT_EQ(bag->GetContentWeight(), 1);

    // stackonto deletes the source: the target is left as it was.
    CItem* source = Coins(10);
    const u32 sourceSerial = source->GetSerial();
    triggers.onTrigger = [&](CItem* object, int trigger) {
        if (trigger == kTriggerStackOnto && object->GetSerial() == sourceSerial)
            object->DeleteSelf();
    };
    EXPECT_TRUE(source->StackOnto(stack));
    EXPECT_EQ(g_objectManager.FindBySerial(sourceSerial), nullptr);
    EXPECT_EQ(stack->GetQuantity(), 40);
    EXPECT_EQ(stack->GetContainer(), bag);
}

TEST_F(ItemRulesTest, SplitTenOfTwentyFiveAndMergeBack) {
    CContainer* bag = PlacedBag();
    CItem* stack = Coins(25);
    ASSERT_TRUE(Put(stack, bag, 50));
    CItem* part = stack->SplitStack(10);
    ASSERT_NE(part, nullptr);
    EXPECT_TRUE(part->IsDetached());
    EXPECT_EQ(part->GetQuantity(), 10);
    EXPECT_EQ(stack->GetQuantity(), 15);
    EXPECT_EQ(stack->GetContainer(), bag);
    EXPECT_EQ(stack->GetLocation().x, 50);
    EXPECT_EQ(bag->GetContentWeight(), 1);
    // Returning the part puts it back onto the stack it came from.
    const u32 partSerial = part->GetSerial();
    EXPECT_TRUE(part->ReturnToLastPlace());
    EXPECT_EQ(g_objectManager.FindBySerial(partSerial), nullptr);
    EXPECT_EQ(stack->GetQuantity(), 25);
    EXPECT_EQ(bag->CountItems(false), 1);
}

TEST_F(ItemRulesTest, TakeAmountGathersFromNestedContainers) {
    CContainer* pack = PlacedBag();
    CContainer* pouch = Bag();
    ASSERT_TRUE(Put(pouch, pack));
    ASSERT_TRUE(Put(Coins(40), pouch));
    ASSERT_TRUE(Put(Coins(30), pack));
    EXPECT_EQ(pack->CountAmount(kGoldCoin), 70);
    const int before = pack->GetContentWeight();
    CItem* taken = pack->TakeAmount(kGoldCoin, 50, nullptr);
    ASSERT_NE(taken, nullptr);
    EXPECT_TRUE(taken->IsDetached());
    EXPECT_EQ(taken->GetQuantity(), 50);
    EXPECT_EQ(pack->CountAmount(kGoldCoin), 20);
    // The weights above follow: the pack's 30 coins went whole, 20 of the pouch's 40 stay.
    EXPECT_EQ(before, 1 + 1 + 1);  // 30 coins, the bag, its 40 coins
    EXPECT_EQ(pouch->GetContentWeight(), 1);
    EXPECT_EQ(pack->GetContentWeight(), pouch->GetWeight());
    EXPECT_EQ(pack->CountItems(false), 1);
    // Asking for more than there is gives what there is.
    CItem* rest = pack->TakeAmount(kGoldCoin, 500, nullptr);
    ASSERT_NE(rest, nullptr);
    EXPECT_EQ(rest->GetQuantity(), 20);
    EXPECT_EQ(pack->CountAmount(kGoldCoin), 0);
    EXPECT_EQ(pack->TakeAmount(kGoldCoin, 5, nullptr), nullptr);
}

// ---------------------------------------------------------------- recalculation

TEST_F(ItemRulesTest, RecalculationRebuildsNestedWeightsWithoutTriggers) {
    CContainer* outer = PlacedBag();
    CContainer* inner = Bag();
    ASSERT_TRUE(Put(inner, outer));
    ASSERT_TRUE(Put(NewItem(kAnvil), inner));
    ASSERT_TRUE(Put(NewItem(kAnvil), outer));
    const int innerRight = inner->GetContentWeight();
    const int outerRight = outer->GetContentWeight();
    inner->AddContentWeight(77);  // damaged caches, both levels
    ASSERT_NE(outer->GetContentWeight(), outerRight);
    triggers.calls.clear();
    outer->RecalcWeight();
    EXPECT_EQ(inner->GetContentWeight(), innerRight);
    EXPECT_EQ(outer->GetContentWeight(), outerRight);
    EXPECT_EQ(inner->GetContainer(), outer);
    EXPECT_EQ(outer->CountItems(true), 3);
    EXPECT_TRUE(triggers.calls.empty());
}

// An item that refuses to be worn again, as a weapon whose strength test now fails.
class RefusingItem : public CItem {
public:
    bool refuse = false;
    bool EquipOn(CMobile* mobile, int layer) override {
        return refuse ? false : CItem::EquipOn(mobile, layer);
    }
};

TEST_F(ItemRulesTest, AnItemThatCannotBeWornAgainGoesToThePackElseToTheFeet) {
    for (bool withPack : {true, false}) {
        CMobile* mobile = Mobile();
        CContainer* pack = nullptr;
        if (withPack) {
            pack = Bag(kPack);
            ASSERT_TRUE(pack->EquipOn(mobile, 21));
        }
        auto* sword = new RefusingItem;
        sword->SetType(kAnvil);
        ASSERT_TRUE(sword->EquipOn(mobile, 1));
        sword->refuse = true;
        const u32 serial = sword->GetSerial();
        mobile->RecalcWeight();
        ASSERT_EQ(g_objectManager.FindBySerial(serial), sword) << "never deleted";
        EXPECT_EQ(mobile->GetLayer(1), nullptr);
        if (withPack) {
            EXPECT_EQ(sword->GetContainer(), pack);
            EXPECT_EQ(pack->GetContentWeight(), 50);
        } else {
            EXPECT_FALSE(sword->IsContained());
            EXPECT_EQ(sword->GetLocation().x, 10);
            EXPECT_EQ(sword->GetLocation().y, 10);
        }
        EXPECT_EQ(mobile->GetContentWeight(), withPack ? pack->GetWeight() : 0);
        DeleteAllObjects();
    }
}

}  // namespace

namespace {

// ---------------------------------------------------------------- names

TEST(TileNames, PluralAndSingularPieces) {
    struct Case {
        const char* name;
        const char* singular;
        const char* plural;
    } cases[] = {
        {"loa%ves/f% of bread", "loaf of bread", "loaves of bread"},
        {"gold coin%s%", "gold coin", "gold coins"},
        {"%/a %sheep", "a sheep", "sheep"},
        {"pebble", "pebble", "pebble"},
        {"kni%ves/fe", "knife", "knives"},  // an unclosed piece runs to the end
        {"%%", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolveTileName(c.name, false), c.singular) << c.name;
        EXPECT_EQ(ResolveTileName(c.name, true), c.plural) << c.name;
    }
    EXPECT_EQ(ResolveTileName(nullptr, true), "");
    EXPECT_STREQ(TileArticle(0x4000), "a ");
    EXPECT_STREQ(TileArticle(0x8000), "an ");
    EXPECT_STREQ(TileArticle(0xC000), "the ");
    EXPECT_STREQ(TileArticle(0x2000), "");
}

TEST_F(ItemRulesTest, NamesCarryTheAmountAndTheArticle) {
    SetTile(kWidget, kTileGeneric | kTileArticleA, 1, "loa%ves/f% of bread");
    CItem* one = Widget(2, 1);
    CItem* three = Widget(6, 3);
    EXPECT_STREQ(one->GetName(1), "a loaf of bread");
    EXPECT_STREQ(three->GetName(1), "3 loaves of bread");
    EXPECT_STREQ(three->GetName(0), "loaf of bread");
    CStr text;
    three->GetDescriptiveName(text, 1);
    EXPECT_STREQ(text.CText(), "3 loaves of bread");
    // A "lookAtText" names the object instead.
    CStr custom("the baker's pride");
    ObjVars::Set(one->ScriptAttachments(), "lookAtText", kTypeString,
                 ScriptListValue::Ptr(&custom));
    EXPECT_STREQ(one->GetName(1), "the baker's pride");
}

TEST_F(ItemRulesTest, LookingAtAnObject) {
    auto* looker = new CPlayer;
    looker->PlaceInWorld(Location(12, 12, 0));
    CItem* coins = Coins(3);
    coins->PlaceInWorld(Location(12, 13, 0));
    const std::string seen = "1C " + std::to_string(looker->GetSerial()) + " " +
                             std::to_string(coins->GetSerial()) + " 3 gold coins 946";
    packets.log.clear();
    EXPECT_EQ(LookAtObject(looker, coins->GetSerial()), 1);
    EXPECT_EQ(packets.log, std::vector<std::string>{seen});
    EXPECT_EQ(triggers.TriggersFor(coins->GetSerial()), std::vector<int>{kTriggerLookedAt});

    struct Case {
        const char* what;
        bool hidden;
        bool editing;
        int answer;
        bool sees;
    } cases[] = {
        {"hidden", true, false, 1, false},
        {"hidden, looker in edit mode", true, true, 1, true},
        {"lookedat answers 0", false, false, 0, false},
    };
    for (const Case& c : cases) {
        coins->SetHidden(c.hidden);
        looker->SetFlagWord(c.editing ? u32{kPlayerEditing} : 0u);
        triggers.answers[{coins->GetSerial(), kTriggerLookedAt}] = c.answer;
        packets.log.clear();
        EXPECT_EQ(LookAtObject(looker, coins->GetSerial()), 1) << c.what;
        EXPECT_EQ(packets.log.size(), c.sees ? 1u : 0u) << c.what;
    }
    EXPECT_EQ(LookAtObject(looker, 0x7FFFFFF0), 0);

    // A lookedat handler that deletes the object: no text, nothing touched.
    triggers.answers.clear();
    coins->SetHidden(false);
    triggers.onTrigger = [](CItem* object, int trigger) {
        if (trigger == kTriggerLookedAt) object->DeleteSelf();
    };
    const u32 serial = coins->GetSerial();
    packets.log.clear();
    EXPECT_EQ(LookAtObject(looker, serial), 1);
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);
    for (const std::string& sent : packets.log)
        EXPECT_NE(sent.substr(0, 2), "1C") << sent;
}

}  // namespace

namespace {

// ---------------------------------------------------------------- access

TEST_F(ItemRulesTest, MovableByWeight) {
    struct Case {
        int tileWeight;
        int overloaded;  // -1: none
        bool movable;
    } cases[] = {{50, -1, true},   {90, -1, true},  {91, -1, false},
                 {255, -1, false}, {255, 90, true}, {10, 91, false}};
    CMobile* mover = Mobile();
    for (const Case& c : cases) {
        SetTile(kAnvil, 0, c.tileWeight, "anvil");
        CItem* item = NewItem(kAnvil);
        if (c.overloaded >= 0) item->SetOverloadedWeight(c.overloaded);
        EXPECT_EQ(item->IsMovableBy(mover), c.movable) << c.tileWeight << " " << c.overloaded;
        item->DeleteSelf();
    }
    auto* editor = new CPlayer;
    editor->SetFlagWord(kPlayerEditing);
    SetTile(kAnvil, 0, 255, "anvil");
    EXPECT_TRUE(NewItem(kAnvil)->IsMovableBy(editor));
}

TEST_F(ItemRulesTest, AnOverloadedWeightKeepsTheCachedWeightsRight) {
    CContainer* bag = PlacedBag();
    CItem* anvil = NewItem(kAnvil);
    ASSERT_TRUE(Put(anvil, bag));
    anvil->SetOverloadedWeight(7);
    EXPECT_EQ(anvil->GetWeight(), 7);
    EXPECT_EQ(bag->GetContentWeight(), 7);
    anvil->RemoveFromWorld();
    EXPECT_EQ(bag->GetContentWeight(), 0);
    anvil->PlaceInWorld(Location(2, 2, 0));
}

// An owner with an apple in his backpack, and another player next to him.
struct PackScene {
    CPlayer* owner;
    CContainer* pack;
    CItem* apple;
    CPlayer* other;
};

PackScene MakePackScene() {
    PackScene s;
    s.owner = new CPlayer;
    s.owner->PlaceInWorld(Location(20, 20, 0));
    s.pack = g_objectManager.CreateItem(kPack)->AsContainer();
    EXPECT_TRUE(s.pack->EquipOn(s.owner, 21));
    s.apple = g_objectManager.CreateItem(kPlainItem);
    EXPECT_TRUE(s.apple->AddToContainer(s.pack, Location(-1, -1, 0)));
    s.other = new CPlayer;
    s.other->PlaceInWorld(Location(21, 21, 0));
    return s;
}

TEST_F(ItemRulesTest, UsingItemsInPacksNearAndFar) {
    auto [owner, pack, apple, other] = MakePackScene();

    // The owner's own backpack items are usable within reach; a stranger needs the owner's
    // objaccess handler to answer 0.
    EXPECT_TRUE(apple->IsFreelyUsable(owner));
    triggers.calls.clear();
    EXPECT_FALSE(apple->IsFreelyUsable(other));
    ASSERT_EQ(triggers.calls.size(), 1u);
    EXPECT_EQ(triggers.calls[0].serial, owner->GetSerial());
    EXPECT_EQ(triggers.calls[0].trigger, kTriggerObjAccess);
    EXPECT_EQ(triggers.calls[0].args.value, 9);
    EXPECT_EQ(triggers.calls[0].args.serial, other->GetSerial());
    EXPECT_EQ(triggers.calls[0].args.other, apple->GetSerial());
    triggers.answers[{owner->GetSerial(), kTriggerObjAccess}] = 0;
    EXPECT_TRUE(apple->IsFreelyUsable(other));
    // Viewing asks no one.
    EXPECT_TRUE(apple->IsFreelyViewable(other));

    // Too far (4 tiles) is out of reach.
    other->MoveTo(Location(24, 20, 0));
    EXPECT_FALSE(apple->IsFreelyUsable(other));
    // A locked bag in the pack closes what is inside it.
    other->MoveTo(Location(21, 20, 0));
    CContainer* box = Bag();
    ASSERT_TRUE(Put(box, pack));
    CItem* ring = NewItem();
    ASSERT_TRUE(Put(ring, box));
    EXPECT_TRUE(ring->IsFreelyUsable(owner));
    ObjVars::Set(box->ScriptAttachments(), "isLocked", kTypeInt, ScriptListValue::Int(1));
    EXPECT_FALSE(ring->IsFreelyUsable(owner));
    EXPECT_FALSE(ring->IsFreelyViewable(owner));
    // Items in the bank box are not reached through the backpack.
    CContainer* bank = Bag();
    ASSERT_TRUE(bank->EquipOn(owner, kBankBoxLayer));
    CItem* deed = NewItem();
    ASSERT_TRUE(Put(deed, bank));
    EXPECT_FALSE(deed->IsFreelyUsable(owner));
}

TEST_F(ItemRulesTest, AnObjAccessHandlerThatDeletesTheItem) {
    auto [owner, pack, apple, other] = MakePackScene();
    const u32 serial = apple->GetSerial();
    triggers.answers[{owner->GetSerial(), kTriggerObjAccess}] = 0;
    triggers.onTrigger = [&](CItem*, int trigger) {
        if (trigger == kTriggerObjAccess) g_objectManager.FindBySerial(serial)->DeleteSelf();
    };
    EXPECT_FALSE(apple->IsFreelyUsable(other));
    EXPECT_EQ(g_objectManager.FindBySerial(serial), nullptr);

    // And one that deletes the owner it was sent to (his pack and what it holds go with him).
    CContainer* otherPack = Bag(kPack);
    ASSERT_TRUE(otherPack->EquipOn(other, 21));
    CItem* pear = NewItem();
    ASSERT_TRUE(Put(pear, otherPack));
    const u32 pearSerial = pear->GetSerial();
    triggers.answers[{other->GetSerial(), kTriggerObjAccess}] = 0;
    triggers.onTrigger = [](CItem* object, int trigger) {
        if (trigger == kTriggerObjAccess) {
            ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
            object->DeleteSelf();
        }
    };
    EXPECT_FALSE(pear->IsFreelyUsable(owner));
    EXPECT_EQ(g_objectManager.FindBySerial(pearSerial), nullptr);
}

// ---------------------------------------------------------------- values and packets

TEST_F(ItemRulesTest, ValuesCountVariablesAndHeldResources) {
    const int magic = AddType("magic");
    const int jewels = AddType("jewels");
    SetTile(kValued, 0, 1, "trinket");
    GetTileData().MutableStatic(kValued)->light = 5;  // the base value
    struct Case {
        const char* what;
        int baseVar, satiety, metalHeld, magicHeld, jewelsHeld;
        int value, typeBaseValue;
    } cases[] = {
        {"nothing", 0, 0, 0, 0, 0, 2 + 5, 2 + 5},
        {"base value variable", 40, 0, 0, 0, 0, 40 + 5, 40 + 5},
        {"metal twice, jewels twenty times", 0, 0, 3, 1, 2, 6 + 1 + 40 + 5, 2 + 5},
        {"satiety", 0, 9, 0, 0, 0, 9 + 5, 9 + 5},
    };
    for (const Case& c : cases) {
        CItem* item = NewItem(kValued);
        if (c.baseVar) {
            ObjVars::Set(item->ScriptAttachments(), "mybasevalue", kTypeInt,
                         ScriptListValue::Int(c.baseVar));
        }
        if (c.satiety) {
            ObjVars::Set(item->ScriptAttachments(), "satiety", kTypeInt,
                         ScriptListValue::Int(c.satiety));
        }
        if (c.metalHeld) item->AddResource(metal, kResourceHeld, c.metalHeld, 0, c.metalHeld);
        if (c.magicHeld) item->AddResource(magic, kResourceHeld, c.magicHeld, 0, c.magicHeld);
        if (c.jewelsHeld) item->AddResource(jewels, kResourceHeld, c.jewelsHeld, 0, c.jewelsHeld);
        EXPECT_EQ(item->GetValue(0, 1), c.value) << c.what;
        EXPECT_EQ(item->GetValue(1, 1), c.typeBaseValue) << c.what;
        item->DeleteSelf();
    }
    // Valueless: 0, and a container adds its children.
    CContainer* bag = PlacedBag();
    CItem* trinket = NewItem(kValued);
    ASSERT_TRUE(Put(trinket, bag));
    EXPECT_EQ(bag->GetValue(0, 1), bag->CItem::GetValue(0, 0) + 7);
    ObjVars::Set(trinket->ScriptAttachments(), "valueless", kTypeInt, ScriptListValue::Int(0));
    EXPECT_EQ(trinket->GetValue(0, 1), 0);

    // Sums stop at the end of the range: a hoard of jewels in a chest of hoards.
    CContainer* chest = PlacedBag();
    for (int i = 0; i < 3; ++i) {
        CItem* hoard = NewItem(kValued);
        hoard->AddResource(jewels, kResourceHeld, INT_MAX, 0, INT_MAX);
        ObjVars::Set(hoard->ScriptAttachments(), "mybasevalue", kTypeInt,
                     ScriptListValue::Int(INT_MAX));
        EXPECT_EQ(hoard->GetValue(0, 1), INT_MAX);
        ASSERT_TRUE(Put(hoard, chest, 30));
    }
    EXPECT_EQ(chest->GetValue(0, 1), INT_MAX);
}

TEST_F(ItemRulesTest, HidingResendsAndStatusBitsFollowThePacketBits) {
    CItem* item = PlacedItem(3, 3, 0);
    packets.log.clear();
    item->SetHidden(true);
    EXPECT_EQ(packets.log, std::vector<std::string>{"1A " + std::to_string(item->GetSerial())});
    u8 bits = 0;
    item->GetStatusFlags(bits);
    EXPECT_EQ(bits, 0x80);
    CItem* other = NewItem();
    other->ApplyStatusFlags(0xA0);
    EXPECT_TRUE(other->IsHidden());
    EXPECT_EQ(other->GetStatus() & kStatusWeightOverride, kStatusWeightOverride);
    // Books carry their number or pages, anything else its tile's misc word.
    SetTile(4079, 0, 1, "book");
    SetTile(4081, 0, 1, "book");
    GetTileData().MutableStatic(4081)->value = 0x12345;
    CItem* readOnly = NewItem(4079);
    EXPECT_EQ(readOnly->GetPacketAmount(), 0);
    ObjVars::Set(readOnly->ScriptAttachments(), "bookNum", kTypeInt, ScriptListValue::Int(0x10007));
    EXPECT_EQ(readOnly->GetPacketAmount(), 7);
    CItem* writable = NewItem(4081);
    EXPECT_EQ(writable->GetPacketAmount(), 0x2345);
    ObjVars::Set(writable->ScriptAttachments(), "bookPages", kTypeInt, ScriptListValue::Int(12));
    EXPECT_EQ(writable->GetPacketAmount(), 12);
}

}  // namespace

namespace {

// ---------------------------------------------------------------- doors

class DoorTest : public ItemRulesTest {
protected:
    static constexpr int kDoor = 1653;  // sound group 2: opens 236, closes 243
    void SetUp() override {
        ItemRulesTest::SetUp();
        for (int g : {kDoor, kDoor + 1})
            SetTile(g, kTileDoor, 255, "door");
    }
    CItem* Door(int x, int y, int variant) {
        GetTileData().MutableStatic(kDoor)->layer = static_cast<u8>(variant);
        CItem* door = NewItem(kDoor);
        door->PlaceInWorld(Location(x, y, 0));
        return door;
    }
};

TEST_F(DoorTest, VariantsOpenToTheirSideAndCloseBack) {
    struct Case {
        int variant, dx, dy;
    } cases[] = {{0, -1, 1}, {1, 1, 1},  {2, -1, 0}, {3, 1, -1},
                 {4, 1, 1},  {5, 1, -1}, {6, -1, 1}, {7, 0, -1}};
    for (const Case& c : cases) {
        CItem* door = Door(20, 20, c.variant);
        packets.log.clear();
        ASSERT_TRUE(OpenDoor(door)) << c.variant;
        EXPECT_EQ(door->GetLocation().x, 20 + c.dx);
        EXPECT_EQ(door->GetLocation().y, 20 + c.dy);
        EXPECT_FALSE(door->IsClosedDoor());
        EXPECT_EQ(packets.log.back(),
                  "54 236 " + std::to_string(20 + c.dx) + "," + std::to_string(20 + c.dy));
        EXPECT_FALSE(OpenDoor(door)) << "already open";
        ASSERT_TRUE(CloseDoor(door));
        EXPECT_EQ(door->GetLocation().x, 20);
        EXPECT_EQ(door->GetLocation().y, 20);
        EXPECT_TRUE(door->IsClosedDoor());
        EXPECT_EQ(packets.log.back(), "54 243 20,20");
        door->DeleteSelf();
    }
    // A variant of 8 or more does nothing.
    CItem* odd = Door(20, 20, 8);
    EXPECT_FALSE(OpenDoor(odd));
    EXPECT_TRUE(odd->IsClosedDoor());
    // Nor does a door at the edge whose open spot lies outside the world.
    CItem* edge = Door(0, 5, 2);
    EXPECT_FALSE(OpenDoor(edge));
}

TEST_F(DoorTest, ToggleOpensBothDoorsAndABlockedCloseIsRetried) {
    CItem* left = Door(20, 20, 1);
    CItem* right = Door(21, 20, 1);
    ToggleDoor(left);
    EXPECT_FALSE(left->IsClosedDoor());
    EXPECT_FALSE(right->IsClosedDoor());
    EXPECT_TRUE(HasCallback(left->TimedCallbacks(), 4, 0));
    EXPECT_TRUE(HasCallback(right->TimedCallbacks(), 4, 0));

    // A mobile standing in the closed spot: the close waits and is tried again later.
    auto* blocker = new CNPC;
    blocker->PlaceInWorld(Location(20, 20, 0));
    RemoveCallback(left->TimedCallbacks(), 4, 0);
    ToggleDoor(left);
    EXPECT_FALSE(left->IsClosedDoor());
    EXPECT_TRUE(HasCallback(left->TimedCallbacks(), 4, 0));
    blocker->MoveTo(Location(30, 30, 0));
    ToggleDoor(left);
    EXPECT_TRUE(left->IsClosedDoor());
    // A generic use toggles a door.
    UseGenericObject(nullptr, right);
    EXPECT_TRUE(right->IsClosedDoor());
}

}  // namespace

namespace {

// ---------------------------------------------------------------- ordered containers, drops

TEST_F(ItemRulesTest, SpellbooksSortBySpellAndTheWideBoardByX) {
    SetTile(3834, kTileContainer, 1, "spellbook");
    SetTile(11000, kTileContainer, 1, "board");
    CContainer* book = PlacedBag(3834);
    ASSERT_TRUE(book->IsSpellbook());
    EXPECT_FALSE(book->IsUsableContainer());
    EXPECT_TRUE(book->IsWeightless());
    for (int spell : {30, 4, 17}) {
        const int scroll = 300 + spell;
        SetTile(scroll, 0, 1, "scroll");
        GetTileData().MutableStatic(scroll)->value = static_cast<u32>(spell);
        ASSERT_TRUE(Put(NewItem(scroll), book, 40));
    }
    std::vector<int> order;
    for (CItem* c = book->GetFirstChild(); c; c = c->GetNextSibling())
        order.push_back(c->GetType() - 300);
    EXPECT_EQ(order, (std::vector<int>{4, 17, 30}));

    CContainer* board = PlacedBag(11000);
    for (int x : {90, 20, 55})
        ASSERT_TRUE(Put(NewItem(), board, x));
    order.clear();
    for (CItem* c = board->GetFirstChild(); c; c = c->GetNextSibling())
        order.push_back(c->GetLocation().x);
    EXPECT_EQ(order, (std::vector<int>{20, 55, 90}));
}

TEST_F(ItemRulesTest, DroppingAndDeletingContentsSendsHomeWhatHasAHome) {
    CContainer* chest = PlacedBag();
    CItem* homeward = NewItem();
    homeward->SetHome(Location(40, 40, 0));
    CItem* plain = NewItem();
    ASSERT_TRUE(Put(homeward, chest));
    ASSERT_TRUE(Put(plain, chest));
    chest->DropContentsOrSendHome(Location(7, 8, 0));
    EXPECT_EQ(homeward->GetLocation().x, 40);
    EXPECT_FALSE(homeward->IsContained());
    EXPECT_EQ(plain->GetLocation().x, 7);
    EXPECT_EQ(chest->GetContentWeight(), 0);

    CContainer* crate = PlacedBag();
    CContainer* inner = Bag();
    ASSERT_TRUE(Put(inner, crate));
    CItem* deep = NewItem();
    ASSERT_TRUE(Put(deep, inner));
    CItem* back = NewItem();
    back->SetHome(Location(41, 41, 0));
    ASSERT_TRUE(Put(back, inner));
    const u32 deepSerial = deep->GetSerial();
    crate->DeleteContentsOrSendHome();
    EXPECT_EQ(g_objectManager.FindBySerial(deepSerial), nullptr);
    EXPECT_EQ(back->GetLocation().x, 41);
    EXPECT_EQ(crate->GetFirstChild(), nullptr);
    EXPECT_EQ(crate->GetContentWeight(), 0);
}

}  // namespace

namespace {

TEST_F(ItemRulesTest, TheHolderOfAnObjectListIsFoundInsideContainersAndOnMobiles) {
    CItem* key = NewItem();
    auto listOf = [](CItem* holder, CItem* member) {
        CScriptList list;
        list.Append(kTypeObject, ScriptListValue::Int(static_cast<s32>(member->GetSerial())));
        ObjVars::Set(holder->ScriptAttachments(), "keys", kTypeList, ScriptListValue::Ptr(&list));
    };
    CMobile* mobile = Mobile();
    CContainer* pack = Bag(kPack);
    ASSERT_TRUE(pack->EquipOn(mobile, 21));
    CContainer* pouch = Bag();
    ASSERT_TRUE(Put(pouch, pack));
    CItem* ring = NewItem();
    ASSERT_TRUE(Put(ring, pouch));
    EXPECT_EQ(mobile->FindObjVarListHolder("keys", key), nullptr);
    listOf(ring, key);
    EXPECT_EQ(mobile->FindObjVarListHolder("keys", key), ring);
    EXPECT_EQ(pack->FindObjVarListHolder("keys", key), ring);
    EXPECT_EQ(mobile->FindObjVarListHolder("keys", ring), nullptr);
    EXPECT_EQ(mobile->FindObjVarListHolder("locks", key), nullptr);
    listOf(pack, key);
    EXPECT_EQ(mobile->FindObjVarListHolder("keys", key), pack);
}

}  // namespace
