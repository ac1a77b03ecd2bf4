// The world save's text encodings and the records each class writes, the records read back
// by the loader (its edge cases, orders and triggers), the round trip of a world of every
// class, and the safe save file.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "../../script/script_runtime_fixture.h"
#include "../server_services_scope.h"
#include "core/byte_order.h"
#include "core/log_sink.h"
#include "core/loop_state.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_instance.h"
#include "script/runtime/script_list.h"
#include "script/runtime/script_world_link.h"
#include "script/runtime/triggers.h"
#include "script/runtime/type_script_bits.h"
#include "server/server_config.h"
#include "server/world/bulletin_board.h"
#include "server/world/container.h"
#include "server/world/item_kinds.h"
#include "server/world/logged_out_list.h"
#include "server/world/object_fields.h"
#include "server/world/player_registry.h"
#include "server/world/weapon.h"
#include "server/world/world_data_files.h"
#include "server/world/world_load.h"
#include "server/world/world_save.h"
#include "world_test_support.h"
#include "server/world/npc.h"

namespace {

// The NUL-terminated strings of a record.
std::vector<std::string> Strings(const std::string& bytes) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t end = bytes.find('\0', at);
        if (end == std::string::npos) {
            out.push_back(bytes.substr(at));
            break;
        }
        out.push_back(bytes.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// Joins strings into record bytes, each with its NUL.
std::string Record(const std::vector<std::string>& strings) {
    std::string out;
    for (const std::string& s : strings) {
        out += s;
        out += '\0';
    }
    return out;
}

std::string Written(CItem* object) {
    std::string out;
    object->WriteSaveFields(out, 1);
    return out;
}

// --- encodings ---------------------------------------------------------------------------

TEST(SaveEncodingTest, EscapedTextRoundTripsAndStopsAtItsEnd) {
    struct Case {
        const char* text;
        const char* escaped;
    };
    for (const Case& c : {Case{"a b\\c", "a\\ b\\\\c"}, Case{"", ""}, Case{"plain", "plain"},
                          Case{" \\", "\\ \\\\"}}) {
        std::string out;
        AppendEscapedText(out, c.text);
        EXPECT_EQ(out, c.escaped) << c.text;
        const std::string followed = out + " next";
        std::string back;
        const char* stop = UnescapeWord(followed.data(), followed.data() + followed.size(), back);
        EXPECT_EQ(back, c.text);
        EXPECT_EQ(std::string(stop), " next") << c.text;
    }
    // A backslash at the very end of the bytes reads nothing past them.
    const std::string cut = "ab\\";
    std::string back;
    EXPECT_EQ(UnescapeWord(cut.data(), cut.data() + cut.size(), back), cut.data() + 3);
    EXPECT_EQ(back, "ab");
}

TEST(SaveEncodingTest, WideTextIsFourLowerCaseDigitsPerUnit) {
    std::string out;
    AppendHexUnits(out, u"AB\xfe0a");
    EXPECT_EQ(out, "00410042fe0a");
    const std::string text = out + " rest";
    std::u16string back;
    const char* stop = DecodeHexUnits(text.data(), text.data() + text.size(), back);
    EXPECT_EQ(back, u"AB\xfe0a");
    EXPECT_EQ(std::string(stop), " rest");
    // An unfinished group at the end is dropped, never read past.
    const std::string cut = "004100";
    EXPECT_EQ(DecodeHexUnits(cut.data(), cut.data() + cut.size(), back), cut.data() + 6);
    EXPECT_EQ(back, u"A");
    // Upper-case digits are hex as well; the writer keeps to lower case.
    for (const char* digits : {"00E9FE0A", "00e9fe0a", "00e9FE0a"}) {
        const std::string upper = digits;
        DecodeHexUnits(upper.data(), upper.data() + upper.size(), back);
        EXPECT_EQ(back, u"\u00e9\ufe0a") << digits;
    }
}

class ListTextTest : public ::testing::Test {
protected:
    static std::string Text(const CScriptList& list) {
        std::string out;
        AppendListText(out, &list);
        return out;
    }
};

TEST_F(ListTextTest, NestedListsWriteAndReadBack) {
    CScriptList inner;
    inner.Append(kTypeObject, ScriptListValue::Int(7));
    CScriptList list;
    const CStr text("a b");
    list.Append(kTypeInt, ScriptListValue::Int(5));
    list.Append(kTypeString, ScriptListValue::Ptr(&text));
    list.Append(kTypeList, ScriptListValue::Ptr(&inner));
    const std::string written = Text(list);
    EXPECT_EQ(written, " int 5 str a\\ b lis 1 obj 7");

    CScriptList back;
    const char* end = ReadListText(written.data(), written.data() + written.size(), back, 3);
    EXPECT_EQ(end, written.data() + written.size());
    EXPECT_EQ(Text(back), written);
    ASSERT_EQ(back.Count(), 3);
    EXPECT_EQ(back.NodeAt(2)->value.l->NodeAt(0)->value.i, 7);
}

TEST_F(ListTextTest, ElementsOfEveryKindAndTheVoidWord) {
    struct Case {
        const char* what;
        std::string text;
        int count;
        std::string readBack;  // the list text of what was read
    };
    const std::vector<Case> cases = {
        {"ustring and location", " ust 00410042 loc 1 -2 3", 2, " ust 00410042 loc 1 -2 3"},
        {"void is skipped but counts", " voi int 5 int 6", 3, " int 5 int 6"},
        {"the count stops the read", " int 1 int 2 int 3", 2, " int 1 int 2"},
        {"unknown words are skipped", " xyz int 4", 2, " int 4"},
        {"cut short", " int 1 str", 5, " int 1 str "},
        {"a count larger than the text", " lis 99999 int 1", 1, " lis 1 int 1"},
    };
    for (const Case& c : cases) {
        CScriptList back;
        ReadListText(c.text.data(), c.text.data() + c.text.size(), back, c.count);
        EXPECT_EQ(Text(back), c.readBack) << c.what;
    }
}

TEST_F(ListTextTest, DeepNestingIsBounded) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += " lis 1";
    text += " int 1";
    CScriptList back;
    ReadListText(text.data(), text.data() + text.size(), back, 1);
    EXPECT_EQ(back.Count(), 1);
}

// --- records of each class -----------------------------------------------------------------

class SaveRecordTest : public WorldTest {
protected:
    void TearDown() override {
        DeleteAllObjects();
        WorldTest::TearDown();
    }
    CItem* Item(u32 serial, int graphic = kPlainItem) {
        CItem* item = NewItem(graphic);
        item->SetSerial(serial);
        return item;
    }
};

TEST_F(SaveRecordTest, APlainItemWritesIdTypeAndLocation) {
    CItem* item = Item(7, 3701);
    item->SetCreationLocation(Location(100, 200, 5));
    item->PlaceInWorldQuiet(Location(100, 200, 5));
    item->SetCreationLocation(Location());
    EXPECT_EQ(Strings(Written(item)),
              (std::vector<std::string>{"@=D", "id=7", "type=3701", "loc=100 200 5", ""}));
}

TEST_F(SaveRecordTest, MobileVitalsAndMoveTypeFollowTheirDefaults) {
    struct Case {
        int maxHits, curHits, moveType;
        bool hp, curhp, movetype;
    };
    for (const Case& c : {Case{50, 50, 1, true, false, false}, Case{50, 40, 0, true, true, true},
                          Case{0, 0, 1, false, false, false}}) {
        auto* m = new CMobile();
        m->SetSerial(5);
        m->SetMaxHits(c.maxHits);
        m->SetCurHits(c.curHits);
        m->SetMoveType(c.moveType);
        const std::vector<std::string> s = Strings(Written(m));
        auto has = [&](const std::string& f) {
            return std::find(s.begin(), s.end(), f) != s.end();
        };
        EXPECT_EQ(has("hp=" + std::to_string(c.maxHits)), c.hp);
        EXPECT_EQ(has("curhp=" + std::to_string(c.curHits)), c.curhp);
        EXPECT_EQ(has("movetype=0"), c.movetype);
        EXPECT_EQ(s.front(), "@=M");
        delete m;
    }
}

TEST_F(SaveRecordTest, ContentsAndWornItemsFollowTheirHolder) {
    CItem* bag = g_objectManager.CreateContainer(kBag);
    bag->SetSerial(10);
    bag->PlaceInWorldQuiet(Location(4, 4, 0));
    CItem* a = Item(11);
    CItem* b = Item(12);
    ASSERT_TRUE(b->AddToContainer(bag, Location(1, 1, 0)));
    ASSERT_TRUE(a->AddToContainer(bag, Location(2, 2, 0)));
    auto* m = new CMobile();
    m->SetSerial(20);
    m->PlaceInWorldQuiet(Location(5, 5, 0));
    CItem* hat = Item(21);
    ASSERT_TRUE(hat->EquipOn(m, 11));

    const std::vector<std::string> bagRecord = Strings(Written(bag));
    // The container's own fields, its closing empty string, then each child whole.
    std::vector<std::string> expected = {"@=C", "id=10", "type=110", "cloc=4 4 0", "loc=4 4 0", ""};
    for (CItem* child = bag->AsContainer()->GetFirstChild(); child;
         child = child->GetNextSibling()) {
        const std::vector<std::string> c = Strings(Written(child));
        EXPECT_NE(std::find(c.begin(), c.end(), "cont=10"), c.end());
        expected.insert(expected.end(), c.begin(), c.end());
    }
    EXPECT_EQ(bagRecord, expected);

    const std::vector<std::string> mobile = Strings(Written(m));
    const std::vector<std::string> worn = Strings(Written(hat));
    EXPECT_NE(std::find(worn.begin(), worn.end(), "cont=20"), worn.end());
    EXPECT_NE(std::find(worn.begin(), worn.end(), "eqpos=11"), worn.end());
    ASSERT_GE(mobile.size(), worn.size());
    EXPECT_TRUE(std::equal(worn.begin(), worn.end(), mobile.end() - worn.size()));
}

TEST_F(SaveRecordTest, PlayerSlotsFlagsAndCallbacks) {
    auto* p = new CPlayer();
    p->SetSerial(30);
    p->playerExtras.sessionIds[0] = 4;
    p->playerExtras.sessionIds[1] = 5;
    p->playerExtras.sessionIds[3] = 6;
    p->SetFlagWord(0x3000);
    AddCallback(p->TimedCallbacks(), 30, 9, 2, 4, nullptr);
    AddCallback(p->TimedCallbacks(), 30, 8, 7, 3, nullptr);  // newest first: written second
    const std::vector<std::string> s = Strings(Written(p));
    std::vector<std::string> sids, flags, callbacks;
    for (const std::string& f : s) {
        if (f.rfind("sid=", 0) == 0) sids.push_back(f);
        if (f.rfind("pflags=", 0) == 0) flags.push_back(f);
        if (f.rfind("callback=", 0) == 0) callbacks.push_back(f);
    }
    EXPECT_EQ(sids, (std::vector<std::string>{"sid=4", "sid=5"}));
    EXPECT_EQ(flags, (std::vector<std::string>{"pflags=4096"}));
    EXPECT_EQ(callbacks, (std::vector<std::string>{"callback=2 4 9 0"}));
    EXPECT_EQ(s.front(), "@=P");
    ClearCallbacks(p->TimedCallbacks());
    delete p;
}

TEST_F(SaveRecordTest, LongValuesAreWrittenWhole) {
    auto* npc = new CNPC();
    npc->SetSerial(40);
    const std::string name(20000, 'n');
    npc->SetName(name.c_str());
    npc->ai.job = std::string(5000, 'j');
    const std::vector<std::string> s = Strings(Written(npc));
    EXPECT_NE(std::find(s.begin(), s.end(), "name=" + name), s.end());
    EXPECT_NE(std::find(s.begin(), s.end(), "job=" + npc->ai.job), s.end());
    delete npc;
}

// --- loading ------------------------------------------------------------------------------

class LoadRecordTest : public SaveRecordTest {
protected:
    void SetUp() override {
        SaveRecordTest::SetUp();
        g_weaponTemplates.Clear();
        g_weaponTemplates.LoadFromText(0, "Name test sword\n");
    }
    void TearDown() override {
        g_weaponTemplates.Clear();
        SaveRecordTest::TearDown();
    }
    // Loads records into cells (cell index -> bytes) as a dynamic pair.
    int Load(const std::map<int, std::string>& cells, DynamicLoadReport* report = nullptr) {
        SectorPair pair;
        for (int n = 0; n < g_sectorGrid.GetCellCount(); ++n) {
            auto it = cells.find(n);
            u8 entry[12] = {};
            if (it == cells.end()) {
                StoreLe32(entry, 0xFFFFFFFFu);
            } else {
                StoreLe32(entry, static_cast<u32>(pair.data.size()));
                StoreLe32(entry + 4, static_cast<u32>(it->second.size()));
                pair.data.insert(pair.data.end(), it->second.begin(), it->second.end());
            }
            pair.index.insert(pair.index.end(), entry, entry + 12);
        }
        return LoadDynamicObjects(pair.index, pair.data, "dynamic0.mul", report);
    }
    // The cell of a tile.
    static int Cell(int x, int y) { return g_sectorGrid.CellIndexAt(x, y); }
};

TEST_F(LoadRecordTest, ClassLettersAreReadWithoutCase) {
    struct Case {
        const char* letter;
        bool container, mobile, npc, weapon;
    };
    for (const Case& c :
         {Case{"D", false, false, false, false}, Case{"d", false, false, false, false},
          Case{"q", false, false, false, false}, Case{"c", true, false, false, false},
          Case{"N", true, true, true, false}, Case{"w", false, false, false, true}}) {
        ASSERT_EQ(Load({{Cell(1, 1), Record({std::string("@=") + c.letter, "id=100",
                                             "type=" + std::to_string(c.weapon ? kSword : 100),
                                             "loc=1 1 0", "", "end"})}}),
                  0);
        CItem* o = g_objectManager.FindBySerial(100);
        ASSERT_NE(o, nullptr) << c.letter;
        EXPECT_EQ(o->IsContainer(), c.container) << c.letter;
        EXPECT_EQ(o->IsMobile(), c.mobile) << c.letter;
        EXPECT_EQ(o->IsNPC(), c.npc) << c.letter;
        EXPECT_EQ(o->IsWeapon(), c.weapon) << c.letter;
        DeleteAllObjects();
    }
}

TEST_F(LoadRecordTest, SerialsCollisionsAndTheCounter) {
    // The first record keeps a serial; the second, and a mobile whose serial differs only in
    // bit 30, are dropped.
    DynamicLoadReport report;
    ASSERT_EQ(
        Load({{Cell(1, 1), Record({"@=D", "id=1073741900", "loc=1 1 0", "", "@=D", "id=1073741900",
                                   "loc=1 1 0", "", "@=M", "id=76", "loc=1 1 0", "", "end"})}},
             &report),
        0);
    EXPECT_EQ(report.loaded, 1);
    EXPECT_EQ(report.Dropped(DropReason::kDuplicate), 2);
    // A mobile saved with bit 30 comes back without it, still wearing what names it with
    // the bit.
    DeleteAllObjects();
    ASSERT_EQ(
        Load({{Cell(1, 1), Record({"@=M", "id=1073741901", "loc=1 1 0", "", "@=D", "id=1073741950",
                                   "cont=1073741901", "eqpos=11", "loc=0 0 0", "", "end"})}}),
        0);
    CMobile* wearer = g_objectManager.FindMobile(77);
    ASSERT_NE(wearer, nullptr);
    EXPECT_EQ(wearer->GetLayer(11), g_objectManager.FindBySerial(1073741950));
    // The next new serial is one above the highest loaded.
    DeleteAllObjects();
    ASSERT_EQ(Load({{Cell(1, 1), Record({"@=D", "id=1090000000", "loc=1 1 0", "", "end"})}}), 0);
    CItem* fresh = NewItem();
    EXPECT_EQ(fresh->GetSerial(), 1090000001u);
}

TEST_F(LoadRecordTest, MobileFieldsReadInOrder) {
    struct Case {
        const char* what;
        std::vector<std::string> fields;
        bool frozen;
        int curHits;
    };
    const std::vector<Case> cases = {
        {"movetype 0 freezes", {"movetype=0"}, true, 0},
        {"a later mobflags 0 wins", {"movetype=0", "mobflags=0"}, false, 0},
        {"hp then curhp keeps the current value", {"hp=50", "curhp=40"}, false, 40},
        {"hp alone fills both", {"hp=50"}, false, 50},
    };
    for (const Case& c : cases) {
        std::vector<std::string> record = {"@=M", "id=300"};
        record.insert(record.end(), c.fields.begin(), c.fields.end());
        record.insert(record.end(), {"loc=2 2 0", "", "end"});
        ASSERT_EQ(Load({{Cell(2, 2), Record(record)}}), 0) << c.what;
        CMobile* m = g_objectManager.FindMobile(300);
        ASSERT_NE(m, nullptr) << c.what;
        EXPECT_EQ(m->IsFrozen(), c.frozen) << c.what;
        EXPECT_EQ(m->GetCurHits(), c.curHits) << c.what;
        DeleteAllObjects();
    }
}

TEST_F(LoadRecordTest, PlayerSkillTimesAndLogOut) {
    // Saved inside a bag, a character still comes back standing in the world.
    ASSERT_EQ(Load({{Cell(3, 3), Record({"@=C", "id=49", "type=110", "loc=3 3 0", "", "@=P",
                                         "id=50", "tsk=4 0", "tsk=5 77", "tsk=60 1", "name=Wren",
                                         "cont=49", "loc=3 3 0", "", "end"})}}),
              0);
    EXPECT_EQ(g_objectManager.FindBySerial(49)->AsContainer()->GetFirstChild(), nullptr);
    // Logged out, it has left the serial hash for the logged-out list.
    EXPECT_EQ(g_objectManager.FindMobile(50), nullptr);
    CMobile* p = g_loggedOutList.FindBySerial(50);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetSkillUseTime(4), 872023169u);
    EXPECT_EQ(p->GetSkillUseTime(5), 77u);
    EXPECT_STREQ(p->GetRealName(), "Wren");
    // Every character loaded starts logged out, out of the world.
    EXPECT_EQ(LoggedOutCount(), 1);
    EXPECT_TRUE(p->IsDetached());
    ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
}

TEST_F(LoadRecordTest, APlayerWhoseSerialIsTakenIsAnErrorNamingIt) {
    CItem* item = Item(60);
    item->PlaceInWorldQuiet(Location(3, 3, 0));
    DynamicLoadReport report;
    EXPECT_EQ(Load({{Cell(3, 3), Record({"@=P", "id=60", "loc=3 3 0", "", "end"})}}, &report), -1);
    EXPECT_NE(report.error.find("dynamic0.mul"), std::string::npos) << report.error;
    EXPECT_NE(report.error.find("60"), std::string::npos) << report.error;
    EXPECT_EQ(g_objectManager.FindBySerial(60), item);
}

TEST_F(LoadRecordTest, DroppedObjectsAreCountedByReason) {
    LogCapture log;
    DynamicLoadReport report;
    ASSERT_EQ(Load({{Cell(1, 1),
                     Record({"@=D", "loc=1 1 0", "",                            // no id
                             "@=D", "id=1000", "cont=999", "loc=1 1 0", "",     // no container
                             "@=W", "id=1001", "type=100", "loc=1 1 0", "",     // not a weapon tile
                             "@=D", "id=1002", "loc=500 500 0", "", "end"})}},  // off the grid
                   &report),
              0);
    EXPECT_EQ(report.loaded, 0);
    EXPECT_EQ(report.Dropped(DropReason::kNoId), 1);
    EXPECT_EQ(report.Dropped(DropReason::kNoContainer), 1);
    EXPECT_EQ(report.Dropped(DropReason::kOffGrid), 1);
    EXPECT_EQ(report.Dropped(DropReason::kBadWeaponTemplate), 1);
    EXPECT_EQ(g_liveObjects.items, 0);
    // One log line per reason, naming the file and the count.
    std::vector<std::string> lines;
    for (const LogRecord& r : log.FromSource("load"))
        lines.push_back(r.message);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"dynamic0.mul: dropped 1 object(s): no id",
                                        "dynamic0.mul: dropped 1 object(s): no container",
                                        "dynamic0.mul: dropped 1 object(s): outside the world",
                                        "dynamic0.mul: dropped 1 object(s): bad weapon template"}));
}

TEST_F(LoadRecordTest, AContainerOfAnotherCellIsNotFound) {
    DynamicLoadReport report;
    ASSERT_EQ(
        Load({{Cell(1, 1), Record({"@=C", "id=2000", "type=110", "loc=1 1 0", "", "end"})},
              {Cell(20, 20), Record({"@=D", "id=2001", "cont=2000", "loc=1 1 0", "", "end"})}},
             &report),
        0);
    EXPECT_EQ(report.loaded, 1);
    EXPECT_EQ(report.Dropped(DropReason::kNoContainer), 1);
}

// A save holding a chain of containers 200,000 deep (each bag in the one before): the load
// finds each container by its serial without searching the chain and never recurses along
// it, so it ends in bounded time; what lies deeper than the chain bound is dropped and
// counted.
TEST_F(LoadRecordTest, AVeryDeepContainerChainLoadsInBoundedTime) {
    constexpr int kDepth = 200000;
    std::string record = Record({"@=C", "id=100000", "type=110", "loc=1 1 0", ""});
    for (int n = 1; n < kDepth; ++n) {
        record += Record({"@=C", "id=" + std::to_string(100000 + n), "type=110",
                          "cont=" + std::to_string(100000 + n - 1), ""});
    }
    record += Record({"end"});
    DynamicLoadReport report;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Load({{Cell(1, 1), record}}, &report), 0);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), 20.0);
    EXPECT_FALSE(report.cutShort);
    // The bag on the ground and kMaxContainerDepth bags in it are kept.
    EXPECT_EQ(report.loaded, kMaxContainerDepth + 1);
    EXPECT_EQ(report.Dropped(DropReason::kTooDeep), 1);
    EXPECT_EQ(report.Dropped(DropReason::kNoContainer), kDepth - kMaxContainerDepth - 2);
    CItem* deepest = g_objectManager.FindBySerial(100000 + kMaxContainerDepth);
    ASSERT_NE(deepest, nullptr);
    int depth = 0;
    for (CItem* o = deepest; o->GetContainer(); o = o->GetContainer())
        ++depth;
    EXPECT_EQ(depth, kMaxContainerDepth);
    EXPECT_EQ(g_objectManager.FindBySerial(100000 + kMaxContainerDepth + 1), nullptr);
}

// A quit request ends a load between two records: the rest is not read, and the report says
// the load was cut short (such a world is never saved over its files).
TEST_F(LoadRecordTest, AQuitRequestEndsTheLoadBetweenRecords) {
    std::string record;
    for (int n = 0; n < 1000; ++n)
        record += Record({"@=D", "id=" + std::to_string(5000 + n), "loc=1 1 0", ""});
    record += Record({"end"});
    g_quitFlag.store(1);
    DynamicLoadReport report;
    const int result = Load({{Cell(1, 1), record}, {Cell(30, 30), record}}, &report);
    g_quitFlag.store(0);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(report.cutShort);
    EXPECT_EQ(report.loaded, 0);
    // Unasked, the same records load whole.
    DynamicLoadReport whole;
    ASSERT_EQ(Load({{Cell(1, 1), record}}, &whole), 0);
    EXPECT_FALSE(whole.cutShort);
    EXPECT_EQ(whole.loaded, 1000);
}

TEST_F(LoadRecordTest, RecordsEndAtTheFirstStringThatIsNoObjectAndAtTheirLength) {
    // No "end": the record stops at the first string that is not "@".
    ASSERT_EQ(Load({{Cell(1, 1), Record({"@=D", "id=3000", "loc=1 1 0", "", "junk", "@=D",
                                         "id=3001", "loc=1 1 0", ""})}}),
              0);
    EXPECT_NE(g_objectManager.FindBySerial(3000), nullptr);
    EXPECT_EQ(g_objectManager.FindBySerial(3001), nullptr);
    DeleteAllObjects();
    // A record whose last string runs into its end: read up to the end, no further.
    std::string cut = Record({"@=D", "id=3002", "loc=1 1 0", ""}) + "hue=5";
    cut.pop_back();
    ASSERT_EQ(
        Load({{Cell(1, 1), Record({"@=D", "id=3003", "loc=1 1 0", "hue=12345"}).substr(0, 27)}}),
        0);
}

TEST_F(LoadRecordTest, CallbacksStartingWithZeroAddNone) {
    ASSERT_EQ(
        Load({{Cell(1, 1), Record({"@=D", "id=4000", "loc=1 1 0", "callback=0", "", "@=D",
                                   "id=4001", "loc=1 1 0", "callback=2 4 9 5 6 7 0", "", "end"})}}),
        0);
    EXPECT_EQ(g_objectManager.FindBySerial(4000)->TimedCallbacks(), nullptr);
    // Two callbacks, in the order they were saved.
    CStr text;
    ASSERT_TRUE(WriteCallbacks(g_objectManager.FindBySerial(4001)->TimedCallbacks(), text));
    EXPECT_STREQ(text.GetText(), "callback=2 4 9 5 6 7 0");
}

TEST_F(LoadRecordTest, FollowersRejoinTheirLeaders) {
    ASSERT_EQ(Load({{Cell(1, 1), Record({"@=M", "id=70", "master=71", "loc=1 1 0", "", "@=M",
                                         "id=71", "loc=1 1 0", "", "end"})}}),
              0);
    CMobile* leader = g_objectManager.FindMobile(71);
    ASSERT_NE(leader, nullptr);
    EXPECT_EQ(leader->GetFirstFollower(), g_objectManager.FindMobile(70));
}

TEST_F(LoadRecordTest, ChainsAndContentsKeepTheirSavedOrder) {
    const std::string record =
        Record({"@=D",       "id=5001",   "loc=1 1 0", "",          "@=C",       "id=5002",
                "type=110",  "loc=1 1 0", "",          "@=D",       "id=5003",   "cont=5002",
                "loc=5 5 0", "",          "@=D",       "id=5004",   "cont=5002", "loc=6 6 0",
                "",          "@=D",       "id=5005",   "loc=2 2 0", "",          "end"});
    ASSERT_EQ(Load({{Cell(1, 1), record}}), 0);
    std::vector<u32> chain, contents;
    for (CItem* o = g_sectorGrid.GetCell(Cell(1, 1))->objects; o; o = o->GetNextSibling())
        chain.push_back(o->GetSerial());
    for (CItem* o = g_objectManager.FindBySerial(5002)->AsContainer()->GetFirstChild(); o;
         o = o->GetNextSibling())
        contents.push_back(o->GetSerial());
    EXPECT_EQ(chain, (std::vector<u32>{5001, 5002, 5005}));
    EXPECT_EQ(contents, (std::vector<u32>{5003, 5004}));
    // And the save writes them back the same way.
    const SectorPair pair = BuildDynamicPair();
    const u32 offset = LoadLe32(pair.index.data() + Cell(1, 1) * 12);
    const u32 length = LoadLe32(pair.index.data() + Cell(1, 1) * 12 + 4);
    std::string saved(pair.data.begin() + offset, pair.data.begin() + offset + length);
    auto ids = [](const std::string& bytes) {
        std::vector<std::string> out;
        for (const std::string& s : Strings(bytes))
            if (s.rfind("id=", 0) == 0) out.push_back(s);
        return out;
    };
    EXPECT_EQ(ids(saved), ids(record));
}

TEST_F(LoadRecordTest, VariableNamesAndWideTextSurviveTwoSavesAndLoads) {
    // Names with blanks and backslashes, and wide text saved with upper-case digits.
    const std::string record = Record({"@=D", "id=5101", "loc=1 1 0", "wom_var=int a\\ b 5",
                                       "wom_var=int c\\\\d 6", "wom_var=ust w 00E9", "",
                                       "end"});
    ASSERT_EQ(Load({{Cell(1, 1), record}}), 0);
    for (int round = 1; round <= 2; ++round) {
        const SectorPair pair = BuildDynamicPair();
        DeleteAllObjects();
        ASSERT_EQ(LoadDynamicObjects(pair.index, pair.data, "save", nullptr), 0) << round;
        CItem* back = g_objectManager.FindBySerial(5101);
        ASSERT_NE(back, nullptr) << round;
        s32 value = 0;
        EXPECT_TRUE(ObjVars::GetInt(back->ScriptAttachments(), "a b", value)) << round;
        EXPECT_EQ(value, 5) << round;
        EXPECT_TRUE(ObjVars::GetInt(back->ScriptAttachments(), "c\\d", value)) << round;
        EXPECT_EQ(value, 6) << round;
        EXPECT_EQ(ObjVars::Find(back->ScriptAttachments(), "a"), nullptr) << round;
        const CUStr* wide = ObjVars::GetUString(back->ScriptAttachments(), "w");
        ASSERT_NE(wide, nullptr) << round;
        EXPECT_EQ(std::u16string(wide->GetText()), u"\u00e9") << round;
    }
}

// --- scripts: triggers and the round trip ------------------------------------------------------

class WorldSaveScripts : public LoadRecordTest {
protected:
    void SetUp() override {
        LoadRecordTest::SetUp();
        GetScriptManager().SetClassSource(&source);
        realServices_.emplace();
    }
    void TearDown() override {
        {
            ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
            DeleteAllObjects();
        }
        TypeScriptBits().reset();
        GetScriptManager().FreeReleasedInstances();
        FreeReleasedValues();
        realServices_.reset();
        GetScriptManager().UnloadAll();
        GetScriptManager().SetClassSource(nullptr);
        LoadRecordTest::TearDown();
    }
    void Compile(const std::vector<std::pair<std::string, std::string>>& sources) {
        ASSERT_EQ(CompileSources(sources, source), "");
    }
    static s32 Member(CItem* item, const char* cls, const char* name) {
        CScriptInstance* in = ObjScripts::FindClassNamed(item->ScriptAttachments(), cls);
        return in ? in->Member(in->GetClass()->members.Find(name)).i : -1;
    }
    MemoryClassSource source;
    std::optional<ServerServicesScope> realServices_;
};

TEST_F(WorldSaveScripts, ObjectLoadedWaitsForTheDeferralAndCreationForTheWholeLoad) {
    Compile({{"watch",
              "member int loaded;\ntrigger objectloaded {\n loaded = loaded + 1;\n"
              " return 1;\n}\n"},
             {"100",
              "member int created;\ntrigger creation {\n created = created + 1;\n"
              " return 1;\n}\n"}});
    TypeScriptBits().set(100);
    const std::string record = Record({"@=D", "id=6000", "type=100", "loc=1 1 0",
                                       "wom_scr=watch 2 obj this 6000 int loaded 0", "", "@=D",
                                       "id=6001", "type=100", "loc=1 1 0", "", "end"});
    BeginDeferCreationTriggers();
    BeginDeferLoadedTriggers();
    ASSERT_EQ(Load({{Cell(1, 1), record}}), 0);
    CItem* first = g_objectManager.FindBySerial(6000);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Member(first, "watch", "loaded"), 0);
    EXPECT_EQ(Member(first, "100", "created"), 0);
    EXPECT_EQ(QueuedLoadedTriggerCount(), 2);  // both carry a script by now
    // An object deleted before the triggers run drops its triggers.
    g_objectManager.FindBySerial(6001)->SetStatus(kStatusNoTriggers);
    delete g_objectManager.FindBySerial(6001);
    FireDeferredCreationTriggers();
    EndDeferLoadedTriggers();
    EXPECT_EQ(Member(first, "100", "created"), 1);
    EXPECT_EQ(Member(first, "watch", "loaded"), 1);
    EXPECT_EQ(QueuedLoadedTriggerCount(), 0);
    // Without the deferral the trigger comes at the end of each record.
    DeleteAllObjects();
    ASSERT_EQ(Load({{Cell(1, 1), record}}), 0);
    EXPECT_EQ(Member(g_objectManager.FindBySerial(6000), "watch", "loaded"), 1);
}

// A world of every class with scripts, variables, callbacks and resources.
TEST_F(WorldSaveScripts, SaveLoadSaveGivesTheSameBytes) {
    Compile({{"keeper",
              "member int n;\nmember string s;\nmember ustring u;\nmember location at;\n"
              "member list l;\n"},
             {"other", "member int k;\n"}});
    // Items, containers, a board, a corpse, a map, a weapon, sector resources.
    CItem* plain = Item(0x40000100);
    plain->SetHue(33);
    plain->SetHome(Location(9, 9, 0));
    plain->AddResource(5, 3, 1, 2, 3);
    plain->AddResource(6, 1, -4, 5, 6);
    plain->PlaceInWorldQuiet(Location(1, 1, 0));
    ASSERT_EQ(AttachScript(plain, "other", 0), nullptr);
    ASSERT_EQ(AttachScript(plain, "keeper", 0), nullptr);
    CScriptInstance* keeper = ObjScripts::FindClassNamed(plain->ScriptAttachments(), "keeper");
    const auto& members = keeper->GetClass()->members;
    keeper->Member(members.Find("n")).i = -12;
    *keeper->Member(members.Find("s")).s = "two words\\";
    *keeper->Member(members.Find("u")).q = u"\x263a!";
    SetSlotLocation(keeper->Member(members.Find("at")), Location(3, -4, 5));
    CScriptList nested;
    nested.Append(kTypeObject, ScriptListValue::Int(77));
    keeper->Member(members.Find("l")).l->Append(kTypeList, ScriptListValue::Ptr(&nested));
    const CStr text("a value");
    SetObjectVariable(plain, "first", kTypeInt, ScriptListValue::Int(4));
    SetObjectVariable(plain, "second", kTypeString, ScriptListValue::Ptr(&text));
    SetObjectVariable(plain, "third", kTypeList, ScriptListValue::Ptr(&nested));
    AddCallback(plain->TimedCallbacks(), plain->GetSerial(), 10, 2, 1, nullptr);
    AddCallback(plain->TimedCallbacks(), plain->GetSerial(), 20, 5, 2, nullptr);

    CItem* bag = g_objectManager.CreateContainer(kBag);
    bag->SetSerial(0x40000101);
    bag->PlaceInWorldQuiet(Location(1, 1, 0));
    for (u32 s : {0x40000102u, 0x40000103u, 0x40000104u}) {
        CItem* child = Item(s);
        ASSERT_TRUE(child->AddToContainer(bag, Location(static_cast<int>(s & 15), 2, 0)));
    }
    auto* board = new CBulletinBoard();
    board->SetSerial(0x40000105);
    board->SetType(7774);
    board->PlaceInWorldQuiet(Location(2, 1, 0));
    auto* corpse = new CCorpse();
    corpse->SetSerial(0x40000106);
    corpse->SetCorpseType(400);
    corpse->PlaceInWorldQuiet(Location(2, 2, 0));
    CItem* shirt = Item(0x40000107);
    ASSERT_TRUE(shirt->AddToContainer(corpse, Location(3, 3, 0)));
    corpse->worn[5] = shirt;
    auto* map = new CMapItem();
    map->SetSerial(0x40000108);
    map->SetType(kMapGraphic);
    map->PlaceInWorldQuiet(Location(3, 1, 0));
    CItem* sword = g_objectManager.CreateWeapon(kSword);
    sword->SetSerial(0x40000109);
    sword->AsWeapon()->SetTemplateNumber(0);
    sword->AsWeapon()->SetWeaponClass(Dice("2d6+3"));
    sword->AsWeapon()->SetArmorClass(4);
    sword->AsWeapon()->SetHitPoints(9);
    sword->AsWeapon()->SetMaxHitPoints(12);
    sword->PlaceInWorldQuiet(Location(20, 20, 0));
    auto* holder = new CSectorResources();
    holder->SetSerial(0x4000010A);
    holder->AddResource(9, 3, 100, 200, 100);
    holder->PlaceInWorldQuiet(Location(30, 30, 0));
    g_sectorGrid.CellAt(30, 30)->resources = holder;

    // Mobiles of every class, with the fields of their records.
    const std::string mobiles = Record({"@=S",
                                        "restockCounter=7",
                                        "flags=3",
                                        "frag=greeting",
                                        "frag=trade",
                                        "job=smith",
                                        "town=Ashford",
                                        "npcflee=20",
                                        "desireLoc=1 2 3",
                                        "lastDesireLoc=4 5 6",
                                        "homeLoc=7 8 9",
                                        "followObjs=1 2 3",
                                        "npcInfo1=4 5 6 7",
                                        "homeInfo=1 2 3",
                                        "npcInfo2=4 5",
                                        "loiterInfo=-1 2 -3 4",
                                        "stateInfo=4 8 9 10",
                                        "skill=3 500",
                                        "skillmod=3 -20",
                                        "skillslush=4",
                                        "str=50",
                                        "dex=40",
                                        "int=30",
                                        "strmod=2",
                                        "hp=60",
                                        "curhp=55",
                                        "mana=30",
                                        "fat=40",
                                        "curfat=10",
                                        "clocks=1 2 3 4",
                                        "not=-5",
                                        "fame=300",
                                        "karma=-200",
                                        "hung=3",
                                        "att=2",
                                        "deftexthue=55",
                                        "dir=3",
                                        "stclk=9",
                                        "stom=4",
                                        "sex=1",
                                        "name=Brann the smith",
                                        "lt=2",
                                        "lv=3",
                                        "lifeclock=100",
                                        "sfxdie=4",
                                        "sfxhit=8",
                                        "movetype=2",
                                        "savedriding=44",
                                        "mobflags=5",
                                        "attacking=77 40",
                                        "attackedby=78 50",
                                        "id=300",
                                        "type=400",
                                        "cloc=10 10 0",
                                        "loc=10 10 0",
                                        "",
                                        "@=G",
                                        "id=301",
                                        "type=401",
                                        "clocks=0 0 0 0",
                                        "name=guard",
                                        "movetype=0",
                                        "mobflags=2",
                                        "loc=11 10 0",
                                        "",
                                        "@=D",
                                        "id=1073742400",
                                        "type=100",
                                        "loc=0 0 0",
                                        "cont=301",
                                        "eqpos=11",
                                        "",
                                        "@=N",
                                        "id=302",
                                        "master=300",
                                        "clocks=0 0 0 0",
                                        "name=pet",
                                        "loc=12 10 0",
                                        "",
                                        "@=M",
                                        "id=303",
                                        "clocks=0 0 0 0",
                                        "name=beast",
                                        "loc=13 10 0",
                                        "",
                                        "@=P",
                                        "cct=2",
                                        "pswd=secret",
                                        "sid=11",
                                        "sid=12",
                                        "ltype=401",
                                        "dc=3",
                                        "fs=1",
                                        "fa=-2",
                                        "fw=3",
                                        "pflags=4106",
                                        "frnd=500",
                                        "frndallw=501",
                                        "lastvalidloc=14 10 0",
                                        "acct=6 99",
                                        "playage=1234",
                                        "tsk=0 5",
                                        "id=304",
                                        "type=400",
                                        "clocks=0 0 0 0",
                                        "name=Wren",
                                        "loc=14 10 0",
                                        "",
                                        "end"});
    ASSERT_EQ(ParseObjectRecords(g_sectorGrid.CellIndexAt(10, 10),
                                 reinterpret_cast<const u8*>(mobiles.data()), mobiles.size(),
                                 *std::make_unique<DynamicLoadReport>()),
              0);
    EXPECT_EQ(ResolveDeferredFollowers(), 1);
    for (CPlayer* p : [] {
             std::vector<CPlayer*> out;
             GetPlayerRegistry().CollectOnline(out);
             return out;
         }())
        AddLoggedOutPlayer(p);

    const SectorPair first = BuildDynamicPair();
    const int before = g_liveObjects.items;
    {
        ObjectSwitchGuard allow(ObjectSwitch::kPlayerDeleteAllowed, true);
        DeleteAllObjects();
    }
    g_sectorGrid.CellAt(30, 30)->resources = nullptr;
    DynamicLoadReport report;
    ASSERT_EQ(LoadDynamicObjects(first.index, first.data, "save", &report), 0);
    EXPECT_EQ(g_liveObjects.items, before);
    for (int r = 0; r < static_cast<int>(DropReason::kCount); ++r)
        EXPECT_EQ(report.dropped[r], 0) << DropReasonName(static_cast<DropReason>(r));
    const SectorPair second = BuildDynamicPair();
    EXPECT_EQ(first.index, second.index);
    ASSERT_EQ(std::string(first.data.begin(), first.data.end()),
              std::string(second.data.begin(), second.data.end()));
    // The fields came back into the objects, not only into the bytes.
    CItem* back = g_objectManager.FindBySerial(0x40000100);
    ASSERT_NE(back, nullptr);
    CScriptInstance* kept = ObjScripts::FindClassNamed(back->ScriptAttachments(), "keeper");
    ASSERT_NE(kept, nullptr);
    EXPECT_STREQ(kept->Member(members.Find("s")).s->GetText(), "two words\\");
    EXPECT_EQ(kept->Member(members.Find("l")).l->Count(), 1);
    auto* shop = dynamic_cast<CShopKeeper*>(g_objectManager.FindMobile(300));
    ASSERT_NE(shop, nullptr);
    EXPECT_EQ(shop->restockCounter, 7);
    EXPECT_EQ(shop->ai.town, "Ashford");
    EXPECT_EQ(shop->GetFirstFollower(), g_objectManager.FindMobile(302));
    CItem* corpseBack = g_objectManager.FindBySerial(0x40000106);
    EXPECT_EQ(dynamic_cast<CCorpse*>(corpseBack)->worn[5],
              g_objectManager.FindBySerial(0x40000107));
    g_sectorGrid.CellAt(30, 30)->resources = nullptr;
}

// --- the save file -------------------------------------------------------------------------------

// File operations that fail at one chosen step.
class FailingFileOps : public platform::FileOps {
public:
    enum Step { kOpen, kWrite, kSync, kClose, kRename, kSyncDir, kNone };
    explicit FailingFileOps(Step step) : step_(step) {}
    int OpenForWrite(const std::string& path) override {
        return step_ == kOpen ? -1 : FileOps::OpenForWrite(path);
    }
    bool Write(int fd, const void* bytes, size_t size) override {
        // A short write: half the bytes reach the file.
        if (step_ == kWrite) {
            FileOps::Write(fd, bytes, size / 2);
            return false;
        }
        return FileOps::Write(fd, bytes, size);
    }
    bool Sync(int fd) override { return step_ != kSync && FileOps::Sync(fd); }
    bool Close(int fd) override {
        const bool closed = FileOps::Close(fd);
        return step_ != kClose && closed;
    }
    bool Rename(const std::string& from, const std::string& to) override {
        return step_ != kRename && FileOps::Rename(from, to);
    }
    bool SyncDirectory(const std::string& dir) override {
        return step_ != kSyncDir && FileOps::SyncDirectory(dir);
    }

private:
    Step step_;
};

class SaveFileTest : public SaveRecordTest {
protected:
    void SetUp() override {
        SaveRecordTest::SetUp();
        dir_ =
            std::filesystem::temp_directory_path() / ("zq_save_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        SetWorldSavePaths((dir_ / "world.sav").string(), (dir_ / "world.sta").string());
    }
    void TearDown() override {
        SetWorldSavePaths("", "");
        std::filesystem::remove_all(dir_);
        SaveRecordTest::TearDown();
    }
    std::vector<u8> ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<u8>((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    }
    void WriteBytes(const std::string& path, const std::vector<u8>& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::path dir_;
};

TEST_F(SaveFileTest, AFailureAtAnyStepLeavesTheLastSave) {
    CItem* item = Item(0x40000200);
    item->PlaceInWorldQuiet(Location(1, 1, 0));
    ASSERT_EQ(SaveWorld(), 0);
    SectorPair last;
    ASSERT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, last, nullptr), 0);
    // The world changes; every failed save leaves the last one loading unchanged.
    item->SetHue(99);
    for (auto step : {FailingFileOps::kOpen, FailingFileOps::kWrite, FailingFileOps::kSync,
                      FailingFileOps::kClose, FailingFileOps::kRename}) {
        FailingFileOps ops(step);
        std::string error;
        EXPECT_EQ(SaveWorld(&error, ops), 1) << step;
        EXPECT_NE(error.find(WorldSavePath()), std::string::npos) << error;
        SectorPair now;
        std::string why;
        ASSERT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, now, &why), 0) << step << why;
        EXPECT_EQ(now.data, last.data) << step;
        EXPECT_FALSE(std::filesystem::exists(platform::TemporaryPathFor(WorldSavePath())));
    }
    // The directory flush failing after the rename: the new save is whole and in place,
    // but the save says it may not have reached the disk.
    FailingFileOps ops(FailingFileOps::kSyncDir);
    std::string error;
    EXPECT_EQ(SaveWorld(&error, ops), 1);
    EXPECT_NE(error.find("is in place, but its directory"), std::string::npos) << error;
    SectorPair now;
    ASSERT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, now, nullptr), 0);
    EXPECT_EQ(now.data, BuildDynamicPair().data);
}

using SaveFileLimitDeathTest = SaveFileTest;

// Under a file-size limit smaller than the save, writing it fails with a message naming the
// save, the process goes on, and the last save still loads: the signal the limit raises would
// otherwise end the game in the middle of the write.
TEST_F(SaveFileLimitDeathTest, ASavePastTheFileSizeLimitIsReportedAndTheLastSaveStays) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    CItem* item = Item(0x40000280);
    item->PlaceInWorldQuiet(Location(1, 1, 0));
    ASSERT_EQ(SaveWorld(), 0);
    const std::vector<u8> last = ReadBytes(WorldSavePath());
    for (u32 serial = 0x40000281; serial < 0x40000281 + 400; ++serial)
        Item(serial)->PlaceInWorldQuiet(Location(2, 2, 0));
    auto saveUnderTheLimit = [&] {
        const rlimit limit{rlim_t(last.size()), rlim_t(last.size())};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string error;
        const int result = SaveWorld(&error);
        const bool kept = ReadBytes(WorldSavePath()) == last;
        std::fprintf(stderr, "result %d kept %d: %s\n", result, kept, error.c_str());
        std::_Exit(0);
    };
    EXPECT_EXIT(saveUnderTheLimit(), ::testing::ExitedWithCode(0),
                "result 1 kept 1: the save .*world.sav was not written safely \\(cannot write "
                ".*File too large\\)");
}

TEST_F(SaveFileTest, CutOrFlippedSavesAreRefusedNamingTheFile) {
    CItem* item = Item(0x40000300);
    item->PlaceInWorldQuiet(Location(1, 1, 0));
    ASSERT_EQ(SaveWorld(), 0);
    const std::vector<u8> good = ReadBytes(WorldSavePath());
    std::vector<std::vector<u8>> bad;
    for (size_t keep : {size_t{0}, size_t{5}, size_t{20}, good.size() / 2, good.size() - 1})
        bad.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(keep));
    for (size_t at : {size_t{0}, size_t{9}, size_t{25}, good.size() / 2, good.size() - 1}) {
        bad.push_back(good);
        bad.back()[at] ^= 0x10;
    }
    for (size_t k = 0; k < bad.size(); ++k) {
        WriteBytes(WorldSavePath(), bad[k]);
        SectorPair pair;
        std::string error;
        EXPECT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, pair, &error), -1) << k;
        EXPECT_NE(error.find(WorldSavePath()), std::string::npos) << error;
    }
    // No save at all is no error; a leftover temporary file goes.
    std::filesystem::remove(WorldSavePath());
    WriteBytes(platform::TemporaryPathFor(WorldSavePath()), good);
    SectorPair pair;
    EXPECT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, pair, nullptr), 1);
    EXPECT_FALSE(std::filesystem::exists(platform::TemporaryPathFor(WorldSavePath())));
}

// The world a save belongs to travels with it: a save made for another world, another corner
// or another size would put its objects in the wrong places or drop them, and the next save
// would make that permanent. Such a save is refused naming both worlds.
TEST_F(SaveFileTest, ASaveOfAnotherWorldOrShapeIsRefusedNamingBoth) {
    const std::string savedName = g_serverConfig.serverName;
    g_serverConfig.serverName = "ZQGoldDemo";
    CItem* item = Item(0x40000400);
    item->PlaceInWorldQuiet(Location(1, 1, 0));
    const SectorPair pair = BuildDynamicPair();
    const SavedWorldIdentity running = RunningWorldIdentity();
    ASSERT_EQ(running.name, "ZQGoldDemo");
    ASSERT_EQ(running.width, 64);

    struct Case {
        const char* what;
        SavedWorldIdentity world;
        bool oneCell;       // the header claims a single cell
        const char* named;  // the message names this besides the running world
    };
    auto with = [&](auto change) {
        SavedWorldIdentity w = running;
        change(w);
        return w;
    };
    const Case cases[] = {
        {"another world's name", with([](auto& w) { w.name = "ZQSmallDemo"; }), false,
         "ZQSmallDemo"},
        {"another corner", with([](auto& w) { w.x = 8; }), false, "corner 8, 0"},
        {"another width", with([](auto& w) { w.width = 32; }), false, "32 x 64"},
        {"another height", with([](auto& w) { w.height = 128; }), false, "64 x 128"},
        {"one cell of the same world", running, true, "holds 1 cells"},
    };
    for (const Case& c : cases) {
        SectorPair written = pair;
        if (c.oneCell) written.index.resize(12);
        const std::vector<u8> bytes = EncodeSaveFile(kWorldSaveTag, c.world, written);
        WriteBytes(WorldSavePath(), bytes);
        SectorPair out;
        std::string error;
        EXPECT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, out, &error), -1) << c.what;
        EXPECT_NE(error.find(WorldSavePath()), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(c.named), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(running.Describe()), std::string::npos) << c.what << ": " << error;
        EXPECT_TRUE(out.index.empty() && out.data.empty()) << c.what;
        // The refused save stays as it was.
        EXPECT_EQ(ReadBytes(WorldSavePath()), bytes) << c.what;
    }
    // Its own world's save loads, and says whose it is.
    ASSERT_EQ(SaveWorld(), 0);
    SectorPair out;
    SaveFileHeader header;
    std::string why;
    ASSERT_TRUE(DecodeSaveFile(ReadBytes(WorldSavePath()), kWorldSaveTag, out, &why, &header));
    EXPECT_TRUE(header.hasWorld);
    EXPECT_EQ(header.world, running);
    EXPECT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, out, &why), 0) << why;
    EXPECT_EQ(out.data, pair.data);
    g_serverConfig.serverName = savedName;
}

// Saves written before the world was recorded in them still load when their cell count fits
// the running world, and are refused, naming the running world, when it does not.
TEST_F(SaveFileTest, ASaveWithoutItsWorldLoadsOnlyWhenItsCellsFit) {
    CItem* item = Item(0x40000500);
    item->PlaceInWorldQuiet(Location(1, 1, 0));
    auto firstForm = [](const SectorPair& pair) {
        std::vector<u8> out(20);
        std::memcpy(out.data(), "ZQWORLD1", 8);
        StoreLe32(out.data() + 8, static_cast<u32>(pair.index.size() / 12));
        StoreLe32(out.data() + 12, static_cast<u32>(pair.index.size()));
        StoreLe32(out.data() + 16, static_cast<u32>(pair.data.size()));
        out.insert(out.end(), pair.index.begin(), pair.index.end());
        out.insert(out.end(), pair.data.begin(), pair.data.end());
        const u64 digest = SaveFileDigest(out.data(), out.size());
        u8 tail[8];
        StoreLe32(tail, static_cast<u32>(digest));
        StoreLe32(tail + 4, static_cast<u32>(digest >> 32));
        out.insert(out.end(), tail, tail + 8);
        return out;
    };
    const SectorPair pair = BuildDynamicPair();
    WriteBytes(WorldSavePath(), firstForm(pair));
    SectorPair out;
    std::string error;
    ASSERT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, out, &error), 0) << error;
    EXPECT_EQ(out.index, pair.index);
    EXPECT_EQ(out.data, pair.data);

    SectorPair oneCell = pair;
    oneCell.index.resize(12);
    oneCell.data.clear();
    WriteBytes(WorldSavePath(), firstForm(oneCell));
    EXPECT_EQ(ReadSaveFile(WorldSavePath(), kWorldSaveTag, out, &error), -1);
    EXPECT_NE(error.find("a world of 1 cells"), std::string::npos) << error;
    EXPECT_NE(error.find(RunningWorldIdentity().Describe()), std::string::npos) << error;
}

// Whatever stands at the save's name, start-up neither blocks nor reads without bound: only
// a regular file of a bounded size is read; anything else is refused naming the file.
TEST_F(SaveFileTest, OnlyARegularFileOfBoundedSizeIsRead) {
    const std::string path = WorldSavePath();
    struct Case {
        const char* what;
        void (*make)(const std::string& path);
        const char* reason;
    };
    const Case cases[] = {
        {"a directory", [](const std::string& p) { std::filesystem::create_directory(p); },
         "not a regular file"},
        {"a named pipe without a writer",
         [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "not a regular file"},
        {"an endless device",
         [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
         "not a regular file"},
        {"a file larger than any save (sparse)",
         [](const std::string& p) {
             std::ofstream(p, std::ios::binary).put('Z');
             ASSERT_EQ(::truncate(p.c_str(), off_t{600} << 20), 0);
         },
         "more than any save can hold"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(path);
        c.make(path);
        SectorPair out;
        std::string error;
        EXPECT_EQ(ReadSaveFile(path, kWorldSaveTag, out, &error), -1) << c.what;
        EXPECT_NE(error.find(path), std::string::npos) << c.what << ": " << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
    }
    std::filesystem::remove_all(path);
}

TEST_F(SaveFileTest, StaticsSaveTheSameWayAndComeBackInOrder) {
    const Location places[] = {Location(9, 15, -5), Location(10, 14, 3), Location(9, 15, 20)};
    for (const Location& at : places) {
        CStaticObject* s = CStaticObject::Acquire();
        s->SetType(300 + at.z);
        s->SetHue(7);
        s->PlaceInWorldQuiet(at);
    }
    auto chain = [] {
        std::vector<Location> out;
        for (CStaticObject* s = g_sectorGrid.CellAt(9, 15)->statics; s; s = s->next)
            out.push_back(s->GetLocation());
        return out;
    };
    const std::vector<Location> before = chain();
    ASSERT_EQ(SaveStatics(), 0);
    while (CStaticObject* s = g_sectorGrid.CellAt(9, 15)->statics)
        s->Release();
    SectorPair pair;
    ASSERT_EQ(ReadSaveFile(StaticsSavePath(), kStaticsSaveTag, pair, nullptr), 0);
    EXPECT_EQ(LoadStatics(pair.index, pair.data), 3);
    EXPECT_EQ(chain(), before);
    EXPECT_EQ(g_sectorGrid.CellAt(9, 15)->statics->GetHue(), 7);
    while (CStaticObject* s = g_sectorGrid.CellAt(9, 15)->statics)
        s->Release();
}

}  // namespace
