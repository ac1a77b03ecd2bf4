#include "core/log_sink.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

TEST(LogSink, DiscardsEntriesWithoutAnObserver) {
    LogSink sink;
    EXPECT_TRUE(sink.IsEnabled());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(sink.Log(0, 0, 0, "", "timing", "error", "tick took 12 ms"), 0);
    EXPECT_EQ(sink.Log(7, 2, 0x40001234, nullptr, nullptr, nullptr, nullptr), 0);
    std::fflush(nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    sink.SetEnabled(false);
    EXPECT_FALSE(sink.IsEnabled());
}

TEST(LogSink, CaptureRecordsEntriesAndRestoresThePreviousObserver) {
    LogSink sink;
    sink.Log(0, 0, 0, "", "stats", "misc", "before any capture");
    {
        LogCapture outer(sink);
        sink.Log(12, 3, 0x1234, "Ardo", "godmode", "misc", "god mode enabled");
        {
            LogCapture inner(sink);
            sink.Log(0, 0, 0, nullptr, "badness", "error", nullptr);
            ASSERT_EQ(inner.Entries().size(), 1u);
            EXPECT_EQ(inner.Entries()[0].actorName, "");
            EXPECT_EQ(inner.Entries()[0].message, "");
        }
        sink.Log(0, 0, 0, "", "godmode", "misc", "god log out");

        ASSERT_EQ(outer.Entries().size(), 2u);
        const LogRecord& e = outer.Entries()[0];
        EXPECT_EQ(e.playerNumber, 12u);
        EXPECT_EQ(e.playerSlot, 3);
        EXPECT_EQ(e.serial, 0x1234u);
        EXPECT_EQ(e.actorName, "Ardo");
        EXPECT_EQ(e.source, "godmode");
        EXPECT_EQ(e.severity, "misc");
        EXPECT_EQ(e.message, "god mode enabled");
        EXPECT_EQ(outer.FromSource("godmode").size(), 2u);
        EXPECT_TRUE(outer.FromSource("badness").empty());
        outer.Clear();
        EXPECT_TRUE(outer.Entries().empty());
    }
    // Nothing listens any more.
    EXPECT_EQ(sink.SetObserver(nullptr), nullptr);
}

TEST(LogSink, TheProcessLogIsOneObject) {
    EXPECT_EQ(&GetLogSink(), &GetLogSink());
    LogCapture capture;  // on the process log by default
    GetLogSink().Log(0, 0, 0, "", "name", "misc", "Varn");
    ASSERT_EQ(capture.Entries().size(), 1u);
    EXPECT_EQ(capture.Entries()[0].message, "Varn");
}

TEST(PrintMask, FromText) {
    struct Case {
        const char* text;
        int mask, level;
    } cases[] = {
        {nullptr, 0x26F0, 0},                       // unset: all kinds but 0x0100, 0x0800, 0x1000
        {"19", 16, 3},         {"5", 0x3FF0, 5},    // no kind bits: all kinds
        {"0", 0x3FF0, 0},      {"abc", 0x3FF0, 0},  // not a number: as 0
        {"", 0x3FF0, 0},       {" 32", 32, 0},
        {"0x20", 0x3FF0, 0},                                 // decimal only: reads 0
        {"65535", 0x3FF0, 15},                               // bits above 0x3FF0 dropped
        {"-1", 0x3FF0, 15},    {"99999999999", 0x3FF0, 15},  // held to the int range
    };
    for (const Case& c : cases) {
        PrintMask m(c.text);
        EXPECT_EQ(m.mask, c.mask) << (c.text ? c.text : "(unset)");
        EXPECT_EQ(m.level, c.level) << (c.text ? c.text : "(unset)");
        EXPECT_EQ(m.third, 4);
    }
}

TEST(PrintMask, ReadsTheEnvironment) {
    const char* old = std::getenv("printl");
    std::optional<std::string> saved;
    if (old != nullptr) saved = old;

    setenv("printl", "19", 1);
    PrintMask set;
    EXPECT_EQ(set.mask, 16);
    EXPECT_EQ(set.level, 3);
    unsetenv("printl");
    PrintMask unset;
    EXPECT_EQ(unset.mask, 0x26F0);
    EXPECT_EQ(unset.level, 0);

    if (saved) setenv("printl", saved->c_str(), 1);
}

}  // namespace
