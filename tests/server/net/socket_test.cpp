// Sockets and their send queues: partial sends, pooled nodes, the local link's one put per
// flush, the senders, the reaper, and the network path on 127.0.0.1.
#include "server/net/socket.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/log_sink.h"
#include "core/loop_state.h"
#include "core/packet_writer.h"
#include "platform/tcp_socket.h"
#include "server/net/listen_socket.h"
#include "server/net/packet_senders.h"
#include "server/net/send_queue.h"
#include "server/net/socket_poll.h"
#include "tests/server/net/net_test_support.h"
#include "tests/server/world/world_test_support.h"

namespace {

using SocketTest = LinkTest;

TEST_F(SocketTest, APacketQueuedBehindAHalfSentOneFollowsItsRest) {
    ThrottledSock* s = new ThrottledSock;
    const std::vector<u8> a = FromHex("1A 00 0A 01 02 03 04 05 06 07");
    const std::vector<u8> b = FromHex("53 02");
    s->QueuePacket(a.data(), a.size());
    s->budget = 6;
    s->FlushSendQueue();
    EXPECT_EQ(s->sentOfOldest, 6u);
    EXPECT_TRUE(s->HasPendingOutput());
    s->QueuePacket(b.data(), b.size());
    EXPECT_EQ(s->queuedBytes, 12u);
    s->budget = 100;
    s->FlushSendQueue();
    std::vector<u8> expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    EXPECT_EQ(s->wire, expected);
    EXPECT_EQ(s->sentOfOldest, 0u);
    EXPECT_EQ(s->queuedBytes, 0u);
    EXPECT_FALSE(s->HasPendingOutput());
}

TEST_F(SocketTest, ASendErrorClosesTheSocketAndTheReaperTakesIt) {
    ThrottledSock* s = new ThrottledSock;
    s->QueuePacket(FromHex("55").data(), 1);
    s->fail = true;
    s->FlushSendQueue();
    EXPECT_EQ(s->state, u32(kSocketClosing));
    ReapSockets();
    EXPECT_EQ(SocketList.head, nullptr);
}

TEST_F(SocketTest, NodesComeFromBlocksOf256AndGoBackToTheFreeList) {
    ThrottledSock* s = new ThrottledSock;
    const u8 byte = 0x55;
    for (int i = 0; i < 600; ++i)
        s->QueuePacket(&byte, 1);
    const size_t blocks = SendQueueNodeBlockCount();
    const size_t free = FreeSendQueueNodeCount();
    delete s;  // unsent nodes are released with the socket
    EXPECT_EQ(FreeSendQueueNodeCount(), free + 600);
    ThrottledSock* again = new ThrottledSock;
    for (int i = 0; i < 600; ++i)
        again->QueuePacket(&byte, 1);
    EXPECT_EQ(SendQueueNodeBlockCount(), blocks) << "released nodes are used again";
    EXPECT_GE(blocks * kSendQueueNodesPerBlock, 600u);
}

TEST_F(SocketTest, TheLocalLinkPutsEverythingQueuedAsOneChunkPerFlush) {
    CUserSock* local = CreateLocalUserSock();
    u8 bytes[8];
    PacketWriter w(bytes, sizeof bytes);
    w.Begin(0x55, false);
    local->QueuePacket(w.Data(), w.Length());
    w.Begin(0x53, false);
    w.AppendByte(2);
    local->QueuePacket(w.Data(), w.Length());
    local->QueuePacket(w.Data(), w.Length());
    local->FlushSendQueue();
    EXPECT_EQ(toClient.CountChunks(), 1);
    EXPECT_EQ(ToHex(ClientReads()), "55 53 02 53 02");
    EXPECT_FALSE(local->HasPendingOutput());
}

TEST_F(SocketTest, SendersQueueTheBuiltPacketAndRefuseAFailedBuild) {
    FakePlayer* ann = registry.Add("Ann");
    FakePlayer* bo = registry.Add("Bo");
    ThrottledSock* s = new ThrottledSock;
    LinkPlayerToSocket(ann, s);
    u8 bytes[16];
    PacketWriter w(bytes, sizeof bytes);
    w.Begin(0x1C, true);
    w.AppendCText("Hi");
    const std::vector<u8> wire(w.Data(), w.Data() + w.Length());
    LogCapture log;
    SendPacketToPlayer(nullptr, w);
    SendPacketToPlayer(bo, w);  // no connection: nothing, no message
    SendPacketToPlayers({ann, bo, ann}, w);
    EXPECT_TRUE(log.Entries().empty());
    EXPECT_EQ(std::vector<u8>(bytes, bytes + w.Length()), wire) << "the caller's buffer is kept";

    u8 small[4];
    PacketWriter failed(small, sizeof small);
    failed.Begin(0x1C, true);
    failed.AppendCText("too long");
    ASSERT_FALSE(failed.Ok());
    SendPacketToPlayer(ann, failed);
    SendPacketToPlayers({ann, ann}, failed);
    EXPECT_EQ(log.Entries().size(), 2u) << "one line per refused send";

    s->budget = 1000;
    s->FlushSendQueue();
    std::vector<u8> twice = wire;
    twice.insert(twice.end(), wire.begin(), wire.end());
    EXPECT_EQ(s->wire, twice);
}

TEST_F(SocketTest, TheNearestPlayersGetThePacketNearestFirst) {
    // 50 players, four at each distance 0..11 and two at 12 from (100, 100).
    std::vector<ThrottledSock*> socks;
    for (int i = 0; i < 50; ++i) {
        FakePlayer* p = registry.Add("P" + std::to_string(i));
        p->SetLocationField(Location(100 + (i % 25) / 2, 100 + (i % 2), 0));
        socks.push_back(new ThrottledSock);
        LinkPlayerToSocket(p, socks.back());
    }
    u8 bytes[2];
    PacketWriter w(bytes, sizeof bytes);
    w.Begin(0x55, false);
    struct Case {
        int maxCount;
        size_t reached;
    };
    for (const Case& c : {Case{40, 40}, Case{0, 0}, Case{60, 50}, Case{3, 3}}) {
        SendPacketToNearestPlayers(w, Location(100, 100, 0), c.maxCount);
        std::vector<int> reached;
        for (int i = 0; i < 50; ++i) {
            if (socks[size_t(i)]->HasPendingOutput()) reached.push_back(i);
            while (socks[size_t(i)]->oldest) {
                socks[size_t(i)]->budget = 10;
                socks[size_t(i)]->FlushSendQueue();
            }
        }
        EXPECT_EQ(reached.size(), c.reached) << c.maxCount;
        // Nobody reached is nearer than somebody left out.
        int farthestReached = -1;
        int nearestLeft = 99;
        for (int i = 0; i < 50; ++i) {
            const int d = (i % 25) / 2;
            if (std::find(reached.begin(), reached.end(), i) != reached.end()) {
                farthestReached = std::max(farthestReached, d);
            } else {
                nearestLeft = std::min(nearestLeft, d);
            }
        }
        EXPECT_LE(farthestReached, nearestLeft) << c.maxCount;
    }
}

TEST_F(SocketTest, TheReaperDeletesMarkedSocketsInOneWalkAndClosesHandlesOnly) {
    ThrottledSock* a = new ThrottledSock;
    ThrottledSock* b = new ThrottledSock;
    ThrottledSock* c = new ThrottledSock;
    ThrottledSock* d = new ThrottledSock;
    a->state = kSocketClosing;
    b->state = kSocketClosing;
    c->state = kSocketCloseHandle;
    c->handle = -1;  // nothing of the system's to close
    d->state = kSocketHandleClosed;
    ReapSockets();
    std::vector<CSocket*> left;
    for (CSocket* s = SocketList.head; s; s = s->next)
        left.push_back(s);
    EXPECT_EQ(left, (std::vector<CSocket*>{d, c}));
    EXPECT_EQ(c->state, u32(kSocketHandleClosed));
    EXPECT_EQ(d->state, u32(kSocketHandleClosed));
    EXPECT_EQ(SocketList.walkCursor, nullptr);
}

TEST_F(SocketTest, ANetworkClientIsAcceptedAnsweredAndReapedWhenItHangsUp) {
    CListenSocket* listener = new CListenSocket;
    ASSERT_TRUE(listener->Init(0, 8));
    ASSERT_NE(listener->port, 0);
    registry.Add("Ann", 0x7F000001);

    const platform::SocketHandle client = platform::OpenTcpSocket();
    ASSERT_TRUE(platform::ConnectTo(client, 0x7F000001, listener->port));
    CUserSock* accepted = nullptr;
    for (int i = 0; i < 100 && accepted == nullptr; ++i) {
        SocketSelectPoll(20000, true);
        for (CSocket* s = SocketList.head; s; s = s->next) {
            if (s != listener) accepted = static_cast<CUserSock*>(s);
        }
    }
    ASSERT_NE(accepted, nullptr);
    EXPECT_EQ(accepted->peerAddress, 0x7F000001u);
    EXPECT_FALSE(accepted->IsLocalLink());
    EXPECT_NE(LocalUserSock, accepted) << "only the local link's socket is LocalUserSock";

    const std::vector<u8> login = Packet(0x80);
    ASSERT_EQ(platform::SendBytes(client, login.data(), login.size()), long(login.size()));
    std::vector<u8> answer;
    for (int i = 0; i < 200 && answer.size() < 387; ++i) {
        SocketSelectPoll(20000, true);
        platform::SocketPollEntry e;
        e.handle = client;
        e.wantRead = true;
        if (platform::PollSockets(&e, 1, 20) > 0 && e.readable) {
            u8 buf[512];
            const long got = platform::ReceiveBytes(client, buf, sizeof buf);
            if (got > 0) answer.insert(answer.end(), buf, buf + got);
        }
    }
    ASSERT_EQ(answer.size(), 387u);
    EXPECT_EQ(ToHex({answer.begin(), answer.begin() + 5}), "81 01 83 01 CD");

    platform::CloseSocket(client);
    bool gone = false;
    for (int i = 0; i < 100 && !gone; ++i) {
        SocketSelectPoll(20000, true);
        gone = SocketList.head == listener && listener->next == nullptr;
    }
    EXPECT_TRUE(gone) << "the hung-up connection is reaped";
}

TEST_F(SocketTest, AListenerThatCannotBindSaysWhyAndAnswersFailure) {
    CListenSocket* first = new CListenSocket;
    ASSERT_TRUE(first->Init(0, 8));
    CListenSocket* second = new CListenSocket;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(second->Init(first->port, 8));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.rfind("CListenSocket::Init: bind: ", 0), 0u) << err;
    EXPECT_EQ(second->handle, -1);
    // The range form takes the first port it can bind.
    CListenSocket* third = new CListenSocket;
    ASSERT_TRUE(third->InitRange(first->port, u16(first->port + 50), 8));
    EXPECT_GT(third->port, first->port);
}

}  // namespace

namespace {

TEST_F(SocketTest, NothingIsSentOnceTheProcessIsQuitting) {
    FakePlayer* ann = registry.Add("Ann");
    ThrottledSock* s = new ThrottledSock;
    LinkPlayerToSocket(ann, s);
    ann->SetLocationField(Location(10, 10, 0));
    u8 bytes[2];
    PacketWriter w(bytes, sizeof bytes);
    w.Begin(0x55, false);
    g_quitFlag.store(1);
    SendPacketToPlayers({ann}, w);
    SendPacketToNearestPlayers(w, Location(10, 10, 0), 5);
    g_quitFlag.store(0);
    EXPECT_FALSE(s->HasPendingOutput());
}

TEST_F(SocketTest, APlayerThatGoesAwayLeavesNoPointerInItsConnection) {
    ThrottledSock* s = new ThrottledSock;
    {
        FakePlayer gone("Gone");
        LinkPlayerToSocket(&gone, s);
        EXPECT_EQ(s->player, &gone);
    }
    EXPECT_EQ(s->player, nullptr);
}

TEST_F(SocketTest, AConnectedSocketDrainsItsQueueToThePeer) {
    CListenSocket* listener = new CListenSocket;
    ASSERT_TRUE(listener->Init(0, 8));
    CUserSock* client = new CUserSock(-1, 0);
    ASSERT_TRUE(client->Connect(0x7F000001, listener->port, false));
    ASSERT_NE(client->handle, -1);
    platform::SocketPollEntry e;
    e.handle = listener->handle;
    e.wantRead = true;
    ASSERT_EQ(platform::PollSockets(&e, 1, 2000), 1);
    CUserSock* accepted = listener->Accept();
    ASSERT_NE(accepted, nullptr);
    std::vector<u8> sent;
    for (int i = 0; i < 100; ++i) {
        const std::vector<u8> p = Packet(0x80);
        client->QueuePacket(p.data(), p.size());
        sent.insert(sent.end(), p.begin(), p.end());
    }
    client->Drain();
    EXPECT_FALSE(client->HasPendingOutput());
    std::vector<u8> got;
    while (got.size() < sent.size()) {
        platform::SocketPollEntry r;
        r.handle = accepted->handle;
        r.wantRead = true;
        if (platform::PollSockets(&r, 1, 2000) != 1) break;
        u8 buf[4096];
        const long n = platform::ReceiveBytes(accepted->handle, buf, sizeof buf);
        if (n <= 0) break;
        got.insert(got.end(), buf, buf + n);
    }
    EXPECT_EQ(got, sent);

    // Nothing listens on a closed listener's port any more.
    const u16 port = listener->port;
    listener->state = kSocketClosing;
    ReapSockets();
    CUserSock* refused = new CUserSock(-1, 0);
    EXPECT_FALSE(refused->Connect(0x7F000001, port, true));
    EXPECT_EQ(refused->handle, -1);
}

class SightTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        saved_ = SetPlayerRegistry(&registry);
    }
    void TearDown() override {
        DeleteAllSockets();
        SetPlayerRegistry(saved_);
        for (auto& p : registry.players)
            p.release();  // world objects: the world's teardown deletes them
        WorldTest::TearDown();
    }
    RecordingRegistry registry;
    CPlayerRegistry* saved_ = nullptr;
};

TEST_F(SightTest, OnlyPlayersWhoseEyesSeeThePlaceGetThePacket) {
    PlacedItem(10, 12, 0, kWall);
    struct Where {
        const char* name;
        int x, y;
        bool reached;
    };
    const Where players[] = {
        {"in the open", 14, 10, true},
        {"behind the wall", 10, 14, false},
        {"beyond the radius", 10, 30, false},
        {"next to the place", 9, 9, true},
    };
    std::vector<ThrottledSock*> socks;
    for (const Where& w : players) {
        FakePlayer* p = registry.Add(w.name);
        p->SetLocationField(Location(w.x, w.y, 0));
        socks.push_back(new ThrottledSock);
        LinkPlayerToSocket(p, socks.back());
    }
    u8 bytes[2];
    PacketWriter w(bytes, sizeof bytes);
    w.Begin(0x55, false);
    SendPacketToNearestPlayersInSight(w, Location(10, 10, 0), 10, 12);
    for (size_t i = 0; i < socks.size(); ++i)
        EXPECT_EQ(socks[i]->HasPendingOutput(), players[i].reached) << players[i].name;
}

}  // namespace

namespace {

TEST_F(SocketTest, FlushingAllSocketsAndDrainingOneGoOnUntilTheQueuesAreEmpty) {
    // Each handle takes one 2-byte packet per flush: emptying three packets takes three passes.
    std::vector<ThrottledSock*> socks;
    for (int i = 0; i < 5; ++i) {
        socks.push_back(new ThrottledSock);
        socks.back()->refill = 2;
        for (int n = 0; n < 3; ++n)
            socks.back()->QueuePacket(FromHex("53 01").data(), 2);
    }
    socks[4]->handle = -1;  // no handle: left alone
    FlushAllSockets();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(socks[size_t(i)]->wire.size(), 6u) << i;
    EXPECT_TRUE(socks[4]->wire.empty());
    ThrottledSock* one = new ThrottledSock;
    one->refill = 2;
    for (int n = 0; n < 5; ++n)
        one->QueuePacket(FromHex("53 01").data(), 2);
    one->Drain();
    EXPECT_EQ(one->wire.size(), 10u);
    EXPECT_FALSE(one->HasPendingOutput());
}

}  // namespace
