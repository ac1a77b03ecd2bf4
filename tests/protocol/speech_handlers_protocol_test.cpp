// The client's text handlers fed with packets built by the server's own builders.
#include <gtest/gtest.h>

#include "client/data/fonts.h"
#include "client/net/client_link.h"
#include "client/net/speech_line.h"
#include "client/world/journal.h"
#include "core/packet_writer.h"
#include "server/net/text_packets.h"
#include "tests/client/data/font_fixture.h"
#include "tests/client/world/world_fixture.h"

namespace {

class SpeechHandlersProtocolTest : public WorldFixture {
protected:
    SpeechHandlersProtocolTest() {
        const std::vector<u8> fonts = FixtureFontsMulIn({3});
        GetFontTable().LoadBytes(fonts.data(), fonts.size());
        TheJournal().Reset();
        ThePendingPrompt() = PendingPrompt{};
    }
    ~SpeechHandlersProtocolTest() override {
        TheJournal().Reset();
        ThePendingPrompt() = PendingPrompt{};
        GetFontTable().Clear();
    }
    void Deliver(const PacketWriter& w) {
        ASSERT_TRUE(w.Ok());
        link.Dispatcher().Dispatch(w.Data(), w.Length());
    }
    ClientLink link;
    u8 buffer[1200];
};

TEST_F(SpeechHandlersProtocolTest, SystemTextFromTheServersBuilder) {
    PacketWriter w(buffer, sizeof buffer);
    ASSERT_TRUE(BuildTextMessagePacket(w, nullptr, 1, "Welcome to the demo.", 0x3B2, 3, false));
    Deliver(w);
    ASSERT_EQ(TheJournal().Count(), 1u);
    EXPECT_EQ(TheJournal().Entries().back().text, "[System]: Welcome to the demo.");
    EXPECT_EQ(TheJournal().Entries().back().hue, 0x3B2);
}

TEST_F(SpeechHandlersProtocolTest, SpeechOfAKnownMobileFromTheServersBuilder) {
    PlayerInStillWorld();
    CClientMobile* guard = Mobile(0x51, 400, 11, 10);
    PacketWriter w(buffer, sizeof buffer);
    ASSERT_TRUE(BuildTextMessageFromPacket(w, 0x51, 400, "Guard", 0, "Halt!", 0x22, 3));
    Deliver(w);
    ASSERT_NE(guard->firstBark, nullptr);
    EXPECT_EQ(guard->firstBark->text, "Halt!");
    ASSERT_EQ(TheJournal().Count(), 1u);
    EXPECT_EQ(TheJournal().Entries().back().text, "Guard: Halt!");
}

TEST_F(SpeechHandlersProtocolTest, APromptFromTheServersBuilderIsPending) {
    PacketWriter w(buffer, sizeof buffer);
    ASSERT_TRUE(BuildTextEntryPacket(w, 9, 4, 1, "Answer"));
    Deliver(w);
    EXPECT_TRUE(ThePendingPrompt().pending);
    EXPECT_EQ(ThePendingPrompt().serial, 9u);
    EXPECT_EQ(ThePendingPrompt().id, 4u);
}

}  // namespace
