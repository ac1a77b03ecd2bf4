#include "server/frame/time_manager.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "core/cstr.h"
#include "platform/clock.h"
#include "recording_services.h"
#include "server/frame/load_governor.h"

namespace {

using testing_services::Call;
using testing_services::RecordingServices;
using testing_services::Trace;

Trace* g_reportTrace = nullptr;
void RecordTickTimingReport() {
    g_reportTrace->push_back("LogTickTiming");
}

// One update from a chosen pulse counter, on a fresh clock at the default calendar (12:00).
struct OnePulse {
    platform::ManualClock clock{1000};
    RecordingServices services;
    LoadGovernor governor;
    CTimeManager tm{&governor};

    OnePulse() {
        g_reportTrace = &services.trace;
        tm.SetTickTimingReport(&RecordTickTimingReport);
    }
    ~OnePulse() { g_reportTrace = nullptr; }
};

TEST(WorldTick, ChosenPulsesRunTheirSteps) {
    // Each column is one update from a chosen pulse counter, on a fresh clock at 12:00.
    struct Column {
        s32 before;         // the pulse counter before the update; it ends on the next
        bool firstUpdate;   // the clock's first look at the moons: both phases are news
        bool fastSpawning;  // the area asks for a fast spawn pass every pulse
    };
    const Column columns[] = {
        {3, false, false},          // a: pulse 4, of no cadence
        {0, true, false},           // b: both reports look at the pulse before, 0
        {7, false, false},          // c: 8
        {15, false, false},         // d: 16
        {31, false, false},         // e: 32
        {127, false, false},        // f: 128
        {1024, false, false},       // g: the timing report without the statistics line
        {2047, false, false},       // h: 2048
        {4095, false, false},       // i: 4096
        {4799, false, false},       // j: 4800, the lights and moons
        {8191, false, false},       // k: 8192
        {8192, false, false},       // l: both reports again
        {kPulseMask, false, true},  // m: the counter wraps to 0, a pulse of every cadence
    };
    // Every call an update can make, in the order it makes them, with one mark per column, a to
    // m: 'x' when that column's update makes the call. A column read down is the literal list
    // of its calls. '#' in a call stands for the pulse the update ends on.
    struct Step {
        const char* on;
        const char* call;
    };
    const Step steps[] = {
        {"xxxxxxxxxxxxx", "IsEditLockHeld"},
        {"xxxxxxxxxxxxx", "ReleaseQueuedScriptValues"},
        {"xxxxxxxxxxxxx", "ReleaseQueuedScriptInstances"},
        {".x....x....x.", "LogTickTiming"},
        {".x.........x.", "CountOnline"},  // the statistics line
        {".x.........x.", "CountLiveItems"},
        {".x.........x.", "GetWorldName"},
        {".x.........x.",
         "log(stats,misc,0 players, 0 NPCs (0 normal, 0 nonnormal), 0 dynamics on Unknown?)"},
        {"..........x.x", "LogSpawnStatistics"},
        {".......xx.x.x", "BuildTimePacket"},
        {".......xx.x.x", "SendToAll(5b 0c 00 00)"},  // the time before this pulse's clock step
        {"...xxx.xxxx.x", "CountOnline"},             // the load governor's run
        {".......xx.x.x", "AgeHints"},
        {"xxxxxxxxxxxxx", "DecayTick(#)"},
        {"..xxxx.xxxx.x", "NpcHeartbeatSweep"},
        {"xxxxxxxxxxxxx", "NpcStateSweep"},
        {"xxxxxxxxxxxxx", "CombatHeartBeat(#)"},
        {"xxxxxxxxxxxxx", "IsFastSpawning"},
        {"............x", "RunSpawnPass(0,0)"},
        {"....xx.xxxx.x", "RunSpawnPass(1,0)"},
        {"........x.x.x", "RestartRegrowth"},
        {"xxxxxxxxxxxxx", "RegrowStep"},
        {".....x.xx.x.x", "UpdateWeather"},
        {".......xx.x.x", "AddPlayAgeToAll(1)"},
        {"........x.x.x", "SkillTableStep"},
        {"xxxxxxxxxxxxx", "RunAllCallbacks"},
        {"xxxxxxxxxxxxx", "TickAll"},
        {"xxxxxxxxxxxxx", "GetCorvanePhase"},
        {"xxxxxxxxxxxxx", "GetIlvessaPhase"},
        {".x...........", "NotifyListeners(1,1)"},
        {".........x..x", "CountDownMobileLights"},
        {".........x...", "UpdateMoons(1)"},
        {"............x", "UpdateMoons(0)"},
    };
    for (size_t col = 0; col < std::size(columns); ++col) {
        const Column& c = columns[col];
        const s32 after = (c.before + 1) & kPulseMask;
        Trace want;
        for (const Step& step : steps) {
            ASSERT_EQ(std::strlen(step.on), std::size(columns)) << step.call;
            if (step.on[col] != 'x') continue;
            std::string call = step.call;
            const size_t at = call.find('#');
            if (at != std::string::npos) call.replace(at, 1, std::to_string(after));
            want.push_back(call);
        }
        OnePulse f;
        f.services.area.fastSpawning = c.fastSpawning;
        if (!c.firstUpdate) f.tm.CheckMoonPhases();
        f.tm.SetPulseNum(c.before);
        f.services.trace.clear();
        f.tm.Update();
        EXPECT_EQ(f.services.trace, want) << "pulse " << c.before;
        EXPECT_EQ(f.tm.GetPulseNum(), after);
    }
}

TEST(WorldTick, EachStepRunsItsShareOfAWholeCycle) {
    // 8192 updates from pulse 0 end on pulse 8192, the longest cadence: how often each ran.
    OnePulse f;
    for (int i = 0; i < 8192; ++i) {
        f.tm.Update();
        f.clock.Advance(250);
    }
    const std::pair<const char*, size_t> counts[] = {
        {"IsEditLockHeld", 8192},   {"DecayTick", 8192},
        {"TickAll", 8192},          {"NpcHeartbeatSweep", 1024},
        {"CountOnline", 512 + 1},  // the load governor, and the statistics line at pulse 0
        {"RunSpawnPass(1,0)", 256}, {"RunSpawnPass(0,0)", 0},  // no fast spawning asked for
        {"UpdateWeather", 64},      {"LogTickTiming", 8},
        {"BuildTimePacket", 4},     {"AgeHints", 4},
        {"AddPlayAgeToAll", 4},     {"RestartRegrowth", 2},
        {"SkillTableStep", 2},      {"LogSpawnStatistics", 1},
        {"log(stats", 1},           {"CountDownMobileLights", 1},
        {"NotifyListeners", 1},  // the phases never change after the first look
    };
    for (const auto& [step, times] : counts) {
        EXPECT_EQ(f.services.Only(step).size(), times) << step;
    }
}

TEST(WorldTick, PulseCounterWrapsAt30Bits) {
    RecordingServices services;
    CTimeManager tm;
    tm.SetPulseNum(kPulseMask - 1);
    EXPECT_EQ(tm.PulsesUntil(2), 4);
    EXPECT_EQ(tm.PulsesUntil(kPulseMask), 1);
    EXPECT_EQ(tm.PulsesUntil(kPulseMask - 1), 0);
    tm.Update();
    EXPECT_EQ(tm.GetPulseNum(), kPulseMask);
    EXPECT_EQ(GetWorldPulse(), kPulseMask) << "the world model reads the tick's pulse";
    tm.Update();
    EXPECT_EQ(tm.GetPulseNum(), 0);
    EXPECT_EQ(GetWorldPulse(), 0);
    tm.SetPulseNum(-1);
    EXPECT_EQ(tm.GetPulseNum(), kPulseMask);
    EXPECT_EQ(GetWorldPulse(), kPulseMask);
    SetWorldPulse(0);
}

TEST(WorldTick, EditLockStopsTheWorld) {
    platform::ManualClock clock(5000);
    RecordingServices services;
    services.net.editLockHeld = true;
    CTimeManager tm;
    tm.Update();
    tm.Update();
    EXPECT_EQ(services.trace, (Trace{"IsEditLockHeld", "CheckEditLockIdle", "IsEditLockHeld",
                                     "CheckEditLockIdle"}));
    EXPECT_EQ(tm.GetPulseNum(), 0);
    EXPECT_EQ(tm.GetCalendar().pulseInMinute, 0);
    services.net.editLockHeld = false;
    tm.Update();
    EXPECT_EQ(tm.GetPulseNum(), 1);
    EXPECT_EQ(tm.GetLastUpdateTime(), 5000u);
}

TEST(WorldTick, MoonListenersHearOfEachPhaseChange) {
    RecordingServices services;
    CTimeManager tm;
    struct Step {
        int corvane, ilvessa;
        const char* heard;  // null: nothing
    };
    const Step steps[] = {
        {3, 5, "NotifyListeners(1,1)"},  // the first pulse sees both change from none
        {3, 5, nullptr},
        {4, 5, "NotifyListeners(1,0)"},
        {4, 6, "NotifyListeners(0,1)"},
        {4, 6, nullptr},
        {0, 0, "NotifyListeners(1,1)"},
    };
    for (const Step& s : steps) {
        services.world.corvane = s.corvane;
        services.world.ilvessa = s.ilvessa;
        services.trace.clear();
        tm.CheckMoonPhases();
        std::vector<std::string> heard = services.Only("NotifyListeners");
        if (s.heard) {
            EXPECT_EQ(heard, std::vector<std::string>{s.heard});
        } else {
            EXPECT_TRUE(heard.empty()) << heard.front();
        }
    }
}

TEST(WorldTick, StatisticsLine) {
    RecordingServices services;
    services.world.online = 3;
    services.world.liveItems = 1234;
    GetNpcCounters() = NpcCounters{10, 7, 1, 1};
    CTimeManager tm;
    tm.LogStatistics();
    EXPECT_EQ(services.Only("log("),
              std::vector<std::string>{"log(stats,misc,3 players, 10 NPCs (7 normal, 3 nonnormal), "
                                       "1234 dynamics on Unknown?)"});
}

TEST(WorldTick, CurrentTimeText) {
    CStr text("old");
    GetCurrentTimeText(text);
    const std::string shape = "dddd-dd-dd dd:dd";
    const std::string got = text.CText();
    ASSERT_EQ(got.size(), shape.size()) << got;
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd') {
            EXPECT_TRUE(got[i] >= '0' && got[i] <= '9') << got;
        } else {
            EXPECT_EQ(got[i], shape[i]) << got;
        }
    }
}

// ---- Game calendar and schedules ----

TEST(GameCalendar, DigitPatterns) {
    struct Case {
        const char* pattern;
        int value;
        bool match;
    };
    const Case cases[] = {
        {"5", 5, true},    {"5", 15, true},  {"5", 55, true},   {"5", 6, false},   {"05", 5, true},
        {"05", 15, false}, {"*0", 0, true},  {"*0", 50, true},  {"*0", 51, false}, {"", 42, true},
        {"*", 23, true},   {"12", 2, false}, {"012", 12, true}, {"3x", 3, false},  {"**", 7, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchDigitPattern(c.pattern, c.value), c.match) << c.pattern << " " << c.value;
    }
}

TEST(GameCalendar, ScheduleTextsRegisterInTheListsTheyName) {
    struct Case {
        const char* text;
        std::vector<int> minutes;  // minute lists that hold the instance
        std::vector<int> hours;    // hour lists that hold it
        int days;                  // number of day lists that hold it
    };
    const std::vector<int> allMinutes = [] {
        std::vector<int> v;
        for (int i = 0; i < 60; ++i)
            v.push_back(i);
        return v;
    }();
    const std::vector<int> allHours = [] {
        std::vector<int> v;
        for (int i = 0; i < 24; ++i)
            v.push_back(i);
        return v;
    }();
    const Case cases[] = {
        {"hour:*", {}, allHours, 0},
        // A one-digit pattern compares the last digit only: hour '3' is also 13 and 23.
        {"min:5 hour:3", {5, 15, 25, 35, 45, 55}, {3, 13, 23}, 0},
        {"min:5 hour:03", {5, 15, 25, 35, 45, 55}, {3}, 0},
        {"sec:5 hour:3", {}, {}, 0},  // an unknown period ends the parse
        {"min:", allMinutes, {}, 0},  // an empty pattern takes every value
        {"min:05", {5}, {}, 0},
        {"MIN:*0  Hour:1", {0, 10, 20, 30, 40, 50}, {1, 11, 21}, 0},
        {"min:5 every hour:3", {5, 15, 25, 35, 45, 55}, {}, 0},  // a word without ':' ends it
        {"day:7", {}, {}, 0},                                    // no day 7
        {"day:* hour:12", {}, {12}, 7},
        {"", {}, {}, 0},
    };
    for (const Case& c : cases) {
        CTimeManager tm;
        testing_services::FakeInstances instances;
        tm.AddSchedule(instances.Get(1), c.text);
        std::vector<int> minutes, hours;
        int days = 0;
        for (int v = 0; v < 60; ++v) {
            if (tm.CountScheduled(SchedulePeriod::kMinute, v)) minutes.push_back(v);
        }
        for (int v = 0; v < 24; ++v) {
            if (tm.CountScheduled(SchedulePeriod::kHour, v)) hours.push_back(v);
        }
        for (int v = 0; v < 7; ++v)
            days += tm.CountScheduled(SchedulePeriod::kDay, v);
        EXPECT_EQ(minutes, c.minutes) << c.text;
        EXPECT_EQ(hours, c.hours) << c.text;
        EXPECT_EQ(days, c.days) << c.text;
        tm.RemoveSchedule(instances.Get(1), c.text);
        for (int v = 0; v < 60; ++v) {
            ASSERT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, v), 0) << c.text;
        }
    }
}

TEST(GameCalendar, LongScheduleTextsAreReadUpTo127Characters) {
    CTimeManager tm;
    testing_services::FakeInstances instances;
    // The hour word starts at character 125: only "ho" of it is read, an unknown period.
    std::string text = "min:5" + std::string(120, ' ') + "hour:3";
    tm.AddSchedule(instances.Get(1), text.c_str());
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, 5), 1);
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kHour, 3), 0);
    tm.RemoveSchedule(instances.Get(1), text.c_str());
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, 5), 0);
}

TEST(GameCalendar, RemovalMatchesInstanceAndTextPointer) {
    CTimeManager tm;
    testing_services::FakeInstances instances;
    const char* a = "min:5";
    std::string b = "min:5";  // same words, another registration
    tm.AddSchedule(instances.Get(1), a);
    tm.AddSchedule(instances.Get(1), b.c_str());
    tm.AddSchedule(instances.Get(2), a);
    tm.RemoveSchedule(instances.Get(1), a);
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, 15), 2);
    tm.RemoveSchedule(instances.Get(3), a);  // never registered: nothing happens
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, 15), 2);
    tm.RemoveSchedule(instances.Get(1), b.c_str());
    tm.RemoveSchedule(instances.Get(2), a);
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, 15), 0);
}

TEST(GameCalendar, OutOfRangeValuesAreRefused) {
    CTimeManager tm;
    EXPECT_FALSE(tm.SetHour(24));
    EXPECT_FALSE(tm.SetHour(-1));
    EXPECT_EQ(tm.GetHour(), 12);
    EXPECT_TRUE(tm.SetHour(23));
    GameCalendar c;
    c.minute = 60;
    EXPECT_FALSE(tm.SetCalendar(c));
    c.minute = 0;
    c.pulseInMinute = 20;
    EXPECT_FALSE(tm.SetCalendar(c));
    EXPECT_EQ(tm.GetHour(), 23);
    EXPECT_EQ(tm.IsDaytime(), 0);
    for (int h : {5, 6, 18, 19}) {
        tm.SetHour(h);
        EXPECT_EQ(tm.IsDaytime(), h >= 6 && h <= 18 ? 1 : 0) << h;
    }
}

// Instances 1..6 are scheduled on every value of one period each, attached to objects
// 101..106; the triggers sent show which lists fired.
struct CalendarFixture {
    RecordingServices services;
    CTimeManager tm;
    const char* const texts[6] = {"min:*", "hour:*", "day:*", "week:*", "month:*", "year:*"};

    CalendarFixture() {
        for (int i = 0; i < 6; ++i) {
            tm.AddSchedule(services.instances.Get(i + 1), texts[i]);
            services.script.instanceObjects[i + 1] = static_cast<u32>(101 + i);
            services.world.AddObject(static_cast<u32>(101 + i));
        }
    }
    ~CalendarFixture() {
        for (int i = 0; i < 6; ++i)
            tm.RemoveSchedule(services.instances.Get(i + 1), texts[i]);
    }
};

std::string Time(int instance) {
    return "sendTrigger(" + std::to_string(100 + instance) + ",14," + std::to_string(instance) +
           ")";
}

TEST(GameCalendar, EachPeriodRollsOverAndFiresItsList) {
    struct Case {
        const char* name;
        GameCalendar from;
        GameCalendar to;
        std::vector<std::string> hooks;  // calendar hooks, run at once
        std::vector<int> fired;          // instances whose trigger the queue then sends
    };
    // Fields: month, week, day, hour, minute, pulse-in-minute, year.
    const Case cases[] = {
        {"pulse", {0, 0, 0, 12, 5, 18, 0}, {0, 0, 0, 12, 5, 19, 0}, {}, {}},
        {"minute", {0, 0, 0, 12, 5, 19, 0}, {0, 0, 0, 12, 6, 0, 0}, {}, {1}},
        {"hour", {0, 0, 0, 3, 59, 19, 0}, {0, 0, 0, 4, 0, 0, 0}, {}, {1, 2}},
        {"day",
         {0, 0, 2, 23, 59, 19, 0},
         {0, 0, 3, 0, 0, 0, 0},
         {"ExpireBulletinMessages(3)"},
         {1, 2, 3}},
        {"week",
         {0, 1, 6, 23, 59, 19, 0},
         {0, 2, 0, 0, 0, 0, 0},
         {"ExpireBulletinMessages(0)"},
         {1, 2, 3, 4}},
        {"month",
         {4, 3, 6, 23, 59, 19, 0},
         {5, 0, 0, 0, 0, 0, 0},
         {"ExpireBulletinMessages(0)", "AdvanceSeason"},
         {1, 2, 3, 4, 5}},
        {"year",
         {11, 3, 6, 23, 59, 19, 7},
         {0, 0, 0, 0, 0, 0, 8},
         {"ExpireBulletinMessages(0)", "AdvanceSeason"},
         {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        CalendarFixture f;
        ASSERT_TRUE(f.tm.SetCalendar(c.from)) << c.name;
        f.services.trace.clear();
        f.tm.AdvanceClock();
        EXPECT_EQ(f.services.trace, c.hooks) << c.name;
        const GameCalendar& t = f.tm.GetCalendar();
        EXPECT_EQ(
            (std::vector<int>{t.month, t.week, t.day, t.hour, t.minute, t.pulseInMinute, t.year}),
            (std::vector<int>{c.to.month, c.to.week, c.to.day, c.to.hour, c.to.minute,
                              c.to.pulseInMinute, c.to.year}))
            << c.name;
        // Every list fired is queued, in firing order (minute first), and sent from the queue.
        f.services.trace.clear();
        EXPECT_EQ(RunDeferredTriggers(), static_cast<int>(c.fired.size())) << c.name;
        std::vector<std::string> want;
        for (int i : c.fired)
            want.push_back(Time(i));
        EXPECT_EQ(f.services.trace, want) << c.name;
    }
}

TEST(GameCalendar, MinuteAndHourListsFireAsTheirValueEnds) {
    // From the start (hour 12, minute 0): after 20 pulses the minute-0 list fires and the
    // minute becomes 1; after 1200 the hour-12 list fires and the hour becomes 13.
    platform::ManualClock clock;
    RecordingServices services;
    CTimeManager tm;
    testing_services::FakeInstances& in = services.instances;
    tm.AddSchedule(in.Get(1), "min:00");
    tm.AddSchedule(in.Get(2), "hour:12");
    tm.AddSchedule(in.Get(3), "hour:13");
    for (int i = 1; i <= 3; ++i) {
        services.script.instanceObjects[i] = static_cast<u32>(100 + i);
        services.world.AddObject(static_cast<u32>(100 + i));
    }
    for (int pulse = 1; pulse <= 1200; ++pulse) {
        services.trace.clear();
        tm.Update();
        std::vector<std::string> sent = services.Only("sendTrigger");
        if (pulse == 20) {
            EXPECT_EQ(sent, std::vector<std::string>{Time(1)});
        } else if (pulse == 1200) {
            EXPECT_EQ(sent, std::vector<std::string>{Time(2)});
        } else {
            ASSERT_TRUE(sent.empty()) << pulse << ": " << sent.front();
        }
        if (pulse == 20) {
            EXPECT_EQ(tm.GetMinute(), 1);
        }
    }
    EXPECT_EQ(tm.GetHour(), 13);
    EXPECT_EQ(tm.GetMinute(), 0);
    for (int pulse = 1201; pulse <= 1220; ++pulse)
        tm.Update();
    EXPECT_EQ(services.Only("sendTrigger").back(), Time(1));  // minute 0 of hour 13 ended
    const std::string sameWords = "min:00";  // a different pointer to equal text: stays
    tm.RemoveSchedule(in.Get(1), sameWords.c_str());
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, 0), 1);
}

TEST(GameCalendar, RegistrationsRemovedWhileTheirListFiresAreSkipped) {
    // Looking up the object of instance 3 removes instances 3 and 2 from the minute lists.
    // Nodes are pushed at the front, so the list of minute 0 fires 4, 3, 2, 1.
    RecordingServices services;
    CTimeManager tm;
    const char* texts[5] = {nullptr, "min:0", "min:0 ", "min:0  ", "min:0   "};
    for (int i = 1; i <= 4; ++i) {
        tm.AddSchedule(services.instances.Get(i), texts[i]);
        services.script.instanceObjects[i] = static_cast<u32>(100 + i);
        services.world.AddObject(static_cast<u32>(100 + i));
    }
    services.script.onInstanceLookup = [&](int id) {
        if (id != 3) return;
        tm.RemoveSchedule(services.instances.Get(2), texts[2]);
        tm.RemoveSchedule(services.instances.Get(3), texts[3]);
    };
    GameCalendar c;
    c.pulseInMinute = 19;
    tm.SetCalendar(c);
    tm.AdvanceClock();
    services.script.onInstanceLookup = nullptr;
    RunDeferredTriggers();
    // 3 was already being fired when it was removed; 2 was the next node and is skipped.
    EXPECT_EQ(services.Only("sendTrigger"), (std::vector<std::string>{Time(4), Time(3), Time(1)}));
    EXPECT_EQ(tm.CountScheduled(SchedulePeriod::kMinute, 0), 2);
    tm.RemoveSchedule(services.instances.Get(1), texts[1]);
    tm.RemoveSchedule(services.instances.Get(4), texts[4]);
}

// ---- The deferred trigger queue ----

struct DeferredFixture {
    platform::ManualClock clock{7000};
    RecordingServices services;

    DeferredFixture() {
        services.script.clock = &clock;
        for (u32 s = 1; s <= 60; ++s)
            services.world.AddObject(s);
    }
    void Queue(int count, int instance = 1) {
        for (int i = 0; i < count; ++i) {
            QueueDeferredTrigger(static_cast<u32>(CountDeferredTriggers() + 1), kTriggerTime,
                                 services.instances.Get(instance));
        }
    }
};

TEST(DeferredTriggers, DrainWithinTheBacklogAndTimeBudget) {
    struct Case {
        int queued;
        u32 msPerTrigger;
        int sent;  // by one drain
    };
    const Case cases[] = {
        {30, 60, 5},  // more than 25 wait: 5 go regardless of time, then the budget is spent
        {30, 0, 30},  // triggers that take no time: the whole queue
        {26, 1000, 1},
        {25, 1000, 1},  // at 25 the budget rules: the first goes at 0 ms, then 1000 ms passed
        {10, 25, 3},    // sent at 0, 25 and 50 ms; at 75 ms the budget is over
        {10, 26, 2},    // sent at 0 and 26 ms
        {10, 51, 1},
        {0, 0, 0},
    };
    for (const Case& c : cases) {
        DeferredFixture f;
        f.services.script.msPerTrigger = c.msPerTrigger;
        f.Queue(c.queued);
        EXPECT_EQ(RunDeferredTriggers(), c.sent) << c.queued << " x " << c.msPerTrigger << " ms";
        EXPECT_EQ(CountDeferredTriggers(), c.queued - c.sent);
        // The oldest go first.
        std::vector<std::string> sent = f.services.Only("sendTrigger");
        for (int i = 0; i < static_cast<int>(sent.size()); ++i) {
            EXPECT_EQ(sent[static_cast<size_t>(i)],
                      "sendTrigger(" + std::to_string(i + 1) + ",14,1)");
        }
    }
}

TEST(DeferredTriggers, BudgetIsMeasuredAcrossTheWrapOfTheClock) {
    DeferredFixture f;
    f.clock.Set(0xFFFFFFF0u);
    f.services.script.msPerTrigger = 25;
    f.Queue(10);
    EXPECT_EQ(RunDeferredTriggers(), 3);
}

TEST(DeferredTriggers, CancelledAndOrphanedEntriesAreDropped) {
    DeferredFixture f;
    f.Queue(1, 1);  // serial 1
    f.Queue(1, 2);  // serial 2
    f.Queue(1, 1);  // serial 3
    f.Queue(1, 3);  // serial 4
    f.services.world.Remove(4);
    EXPECT_EQ(CancelDeferredTriggers(f.services.instances.Get(1)), 2);
    EXPECT_EQ(CancelDeferredTriggers(f.services.instances.Get(1)), 0);
    EXPECT_EQ(CancelDeferredTriggers(nullptr), 0);
    EXPECT_EQ(RunDeferredTriggers(), 1);
    EXPECT_EQ(f.services.Only("sendTrigger"), std::vector<std::string>{"sendTrigger(2,14,2)"});
    EXPECT_EQ(CountDeferredTriggers(), 0);
}

TEST(DeferredTriggers, ScheduledTriggersDrainOverSeveralPulses) {
    // 40 instances fire at the end of minute 0; each trigger takes 10 ms. The pulse that fires
    // them sends 15 (down to 25 regardless of time), then 6 a pulse (0 to 50 ms).
    DeferredFixture f;
    f.services.script.msPerTrigger = 10;
    CTimeManager tm;
    for (int i = 1; i <= 40; ++i) {
        tm.AddSchedule(f.services.instances.Get(i), "min:0");
        f.services.script.instanceObjects[i] = static_cast<u32>(i);
    }
    std::vector<int> sentPerPulse;
    for (int pulse = 1; pulse <= 26; ++pulse) {
        f.services.trace.clear();
        tm.Update();
        const int sent = static_cast<int>(f.services.Only("sendTrigger").size());
        if (pulse >= 20) {
            sentPerPulse.push_back(sent);
        } else {
            ASSERT_EQ(sent, 0);
        }
    }
    EXPECT_EQ(sentPerPulse, (std::vector<int>{15, 6, 6, 6, 6, 1, 0}));
    for (int i = 1; i <= 40; ++i)
        tm.RemoveSchedule(f.services.instances.Get(i), "min:0");
}

}  // namespace
