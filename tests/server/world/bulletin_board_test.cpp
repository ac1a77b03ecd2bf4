// Bulletin boards: what a post records, who may delete a message, the daily expiry on the
// loop time, the nearest board, and a board holding a reply cycle going away.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cstr.h"
#include "core/loop_state.h"
#include "script/language/script_value.h"
#include "script/runtime/obj_attachments.h"
#include "script/runtime/script_list.h"
#include "server/world/bulletin_board.h"
#include "server/world/world_model_services.h"
#include "tests/server/world/world_test_support.h"

namespace {

constexpr int kBoardGraphic = 7775;

class BulletinBoardTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        SetLoopTime(1000);
        board = NewBoard(10, 10);
    }
    void TearDown() override {
        SetLoopTime(0);
        WorldTest::TearDown();
        EXPECT_EQ(CBulletinBoard::Count(), 0);
    }
    CBulletinBoard* NewBoard(int x, int y) {
        CItem* item = PlacedItem(x, y, 0, kBoardGraphic);
        EXPECT_TRUE(item->IsBulletinBoard());
        return static_cast<CBulletinBoard*>(item);
    }
    CItem* Post(CItem* parent = nullptr, CMobile* poster = nullptr) {
        return board->Post(poster, parent, "subject", {"one", "two"}, BoardPostClock{});
    }
    static void SetObjectVar(CItem* item, const char* name, u32 serial) {
        ObjVars::Set(item->ScriptAttachments(), name, kTypeObject,
                     ScriptListValue::Int(static_cast<s32>(serial)));
    }
    static std::vector<std::string> Texts(const CScriptList* list) {
        std::vector<std::string> out;
        for (CScriptListNode* n = list ? list->Head() : nullptr; n; n = n->next) {
            out.push_back(n->tag == kTypeString ? n->value.s->CText()
                                                : std::to_string(n->value.i));
        }
        return out;
    }
    static bool Alive(u32 serial) { return g_objectManager.FindBySerial(serial) != nullptr; }

    CBulletinBoard* board = nullptr;
};

TEST_F(BulletinBoardTest, APostRecordsItsThreadTimesPosterLookAndText) {
    SetLoopTime(123456);
    CPlayer* poster = new CPlayer;
    poster->SetName("Ann");
    poster->SetBodyType(400);
    poster->SetHue(0x83EA);
    poster->PlaceInWorld(Location(11, 10, 0));
    CItem* shirt = NewItem();  // layer 1 lists after layer 20
    shirt->SetHue(5);
    ASSERT_EQ(shirt->EquipOn(poster, 1), 1);
    CItem* cloak = NewItem(kSword);
    cloak->SetHue(7);
    ASSERT_EQ(cloak->EquipOn(poster, 20), 1);
    CItem* parent = Post();

    CItem* reply = board->Post(poster, parent, "Re: subject", {"a", "b", "c"},
                               BoardPostClock{2, 13, 5});
    ASSERT_NE(reply, nullptr);
    EXPECT_EQ(reply->GetType(), kMessageGraphic);
    EXPECT_EQ(reply->GetContainer(), board);
    const CObjAttachments* vars = reply->ScriptAttachments();
    u32 msgId = 0;
    ASSERT_TRUE(ObjVars::GetObject(vars, "msgId", msgId));
    EXPECT_EQ(msgId, parent->GetSerial());
    s32 v = 0;
    ASSERT_TRUE(ObjVars::GetInt(vars, "msgDay", v));
    EXPECT_EQ(v, 2);
    ASSERT_TRUE(ObjVars::GetInt(vars, "msgTime", v));
    EXPECT_EQ(v, 123456);
    ASSERT_TRUE(ObjVars::GetInt(vars, "postTime", v));
    EXPECT_EQ(v, 2 * 1440 + 13 * 60 + 5);
    EXPECT_EQ(Texts(ObjVars::GetList(vars, "poster")),
              (std::vector<std::string>{"Ann", "400", std::to_string(0x83EA),
                                        std::to_string(kSword), "7",
                                        std::to_string(kPlainItem), "5"}));
    EXPECT_EQ(Texts(ObjVars::GetList(vars, "postText")),
              (std::vector<std::string>{"Re: subject", "a", "b", "c"}));
    EXPECT_TRUE(board->HasReplies(parent->GetSerial()));
    EXPECT_FALSE(board->HasReplies(reply->GetSerial()));
    // A post without a poster has no look, and a new thread answers nothing.
    EXPECT_EQ(ObjVars::GetList(parent->ScriptAttachments(), "poster"), nullptr);
    ASSERT_TRUE(ObjVars::GetObject(parent->ScriptAttachments(), "msgId", msgId));
    EXPECT_EQ(msgId, 0u);
}

TEST_F(BulletinBoardTest, WhoMayDeleteAMessage) {
    CPlayer* requester = new CPlayer;
    requester->PlaceInWorld(Location(11, 11, 0));
    const u32 self = requester->GetSerial();
    enum Requester { kNone, kEditing, kPlain };
    struct Case {
        const char* name;
        Requester who;
        bool ownedBySelf;
        bool withReply;
        u32 result;  // 0 deleted; kSelf stands for the requester's serial
        bool deleted;
    };
    constexpr u32 kSelf = 0xFFFFFFFF;
    const Case cases[] = {
        {"no requester, no replies", kNone, false, false, 0, true},
        {"no requester, a reply", kNone, false, true, 1, false},
        {"editing, not the owner", kEditing, false, false, 0, true},
        {"editing, a reply", kEditing, false, true, 1, false},
        {"plain, a fresh post has no owner", kPlain, false, false, kSelf, false},
        {"plain, the owner", kPlain, true, false, 0, true},
        {"plain, the owner, a reply", kPlain, true, true, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CItem* message = Post();
        const u32 serial = message->GetSerial();
        if (c.ownedBySelf) SetObjectVar(message, "msgOwner", self);
        CItem* reply = c.withReply ? Post(message) : nullptr;
        requester->SetFlag(kPlayerEditing, c.who == kEditing);
        const u32 result = board->DeleteMessage(message, c.who == kNone ? nullptr : requester);
        EXPECT_EQ(result, c.result == kSelf ? self : c.result);
        EXPECT_EQ(Alive(serial), !c.deleted);
        if (reply) reply->DeleteSelf();
        if (Alive(serial)) message->DeleteSelf();
    }
}

TEST_F(BulletinBoardTest, AMessageWithAReplyGoesOnceTheReplyIsGone) {
    CItem* message = Post();
    CItem* reply = Post(message);
    const u32 serial = message->GetSerial();
    EXPECT_EQ(board->DeleteMessage(message, nullptr), 1u);
    EXPECT_TRUE(Alive(serial));
    EXPECT_EQ(board->DeleteMessage(reply, nullptr), 0u);
    EXPECT_EQ(board->DeleteMessage(message, nullptr), 0u);
    EXPECT_FALSE(Alive(serial));
}

TEST_F(BulletinBoardTest, TheDailyExpiryDeletesMessagesOlderThanTheirLifetime) {
    WorldModelServices world;
    struct Case {
        const char* name;
        u32 postedAt;
        bool hasTime;
        u32 now;
        bool withReply;
        bool expired;
    };
    const Case cases[] = {
        {"one millisecond short", 1000, true, 1000 + 604799, false, false},
        {"exactly its lifetime", 1000, true, 1000 + 604800, false, true},
        {"a reply keeps it", 1000, true, 1000 + 700000, true, false},
        {"posted ahead of now (an earlier run)", 900000, true, 5000, false, false},
        {"across the wrap of the loop time", 0xFFFFF000u, true, 0xFFFFF000u + 604800, false,
         true},
        {"no time, before the lifetime", 0, false, 604799, false, false},
        {"no time, once the loop time reaches it", 0, false, 604800, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLoopTime(c.postedAt);
        CItem* message = Post();
        const u32 serial = message->GetSerial();
        if (!c.hasTime) ObjVars::Remove(message->ScriptAttachments(), "msgTime");
        SetLoopTime(c.postedAt);
        CItem* reply = c.withReply ? Post(message) : nullptr;
        const u32 replySerial = reply ? reply->GetSerial() : 0;
        if (reply) ObjVars::Set(reply->ScriptAttachments(), "msgTime", kTypeInt,
                                ScriptListValue::Int(static_cast<s32>(c.now)));
        SetLoopTime(c.now);
        world.ExpireBulletinMessages(3);
        EXPECT_EQ(Alive(serial), !c.expired);
        if (replySerial && Alive(replySerial)) reply->DeleteSelf();
        if (Alive(serial)) message->DeleteSelf();
    }
}

TEST_F(BulletinBoardTest, ABoardHoldingAReplyCycleGoesAwayWithItsMessages) {
    CItem* first = Post();
    CItem* second = Post(first);
    SetObjectVar(first, "msgId", second->GetSerial());  // as saved data or a script may leave
    CItem* loose = Post();
    const std::vector<u32> serials = {first->GetSerial(), second->GetSerial(),
                                      loose->GetSerial()};
    const int before = CBulletinBoard::Count();
    board->DeleteSelf();
    board = nullptr;
    for (u32 serial : serials) EXPECT_FALSE(Alive(serial)) << serial;
    EXPECT_EQ(CBulletinBoard::Count(), before - 1);
}

TEST_F(BulletinBoardTest, TheClosestBoardInTheWorldNearestTheHeadOnATie) {
    CBulletinBoard* far = NewBoard(30, 30);
    CBulletinBoard* east = NewBoard(20, 10);   // 5 east of (15, 10)
    CBulletinBoard* north = NewBoard(15, 5);   // 5 north of it, newer: nearer the head
    CItem* bag = PlacedItem(15, 10, 0, kBag);
    CBulletinBoard* carried = static_cast<CBulletinBoard*>(NewItem(kBoardGraphic));
    ASSERT_TRUE(carried->AddToContainer(bag, Location(0, 0, 0)));
    (void)far;
    (void)east;
    EXPECT_EQ(CBulletinBoard::FindClosest(Location(15, 10, 0)), north);
    EXPECT_EQ(CBulletinBoard::FindClosest(Location(9, 9, 0)), board);
    EXPECT_EQ(CBulletinBoard::FindClosest(Location(40, 40, 0)), far);
    DeleteAllObjects();
    EXPECT_EQ(CBulletinBoard::FindClosest(Location(15, 10, 0)), nullptr);
}

}  // namespace
