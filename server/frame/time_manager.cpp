#include "server/frame/time_manager.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <deque>
#include <string>

#include "core/cstr.h"
#include "core/log_sink.h"
#include "core/next_word.h"
#include "platform/clock.h"
#include "script/runtime/script_services.h"
#include "server/frame/load_governor.h"
#include "server/net/net_services.h"
#include "server/world/area_services.h"
#include "server/world/rules_services.h"
#include "server/world/world_services.h"

CTimeManager g_timeManager;

namespace {

// Schedule texts are read up to this many characters.
constexpr size_t kScheduleTextMax = 127;

// How often the periodic steps of a pulse run, in pulses of 250 ms. Each is a power of two:
// a step runs on the pulses whose low bits below its cadence are all zero, so steps of the
// same cadence run together and a longer cadence's pulses are also a shorter one's.
enum class Cadence : s32 {
    kHeartbeat = 8,        // 2 s: the NPCs' heartbeat sweep
    kLoadCheck = 16,       // 4 s: the load governor
    kSpawn = 32,           // 8 s: the regular spawn pass
    kWeather = 128,        // 32 s: weather
    kTimingReport = 1024,  // ~4 min: the main loop's tick intervals
    kBroadcast = 2048,     // ~8.5 min: time of day to all, hint ageing, play age
    kRegrowth = 4096,      // ~17 min: regrowth restart, the skill table step
    kStatistics = 8192,    // ~34 min: the statistics lines
};

constexpr bool RunsOn(s32 pulse, Cadence cadence) {
    return (pulse & (static_cast<s32>(cadence) - 1)) == 0;
}

// Pulses between the mobiles' light countdown and moon update (20 min; not a power of two).
constexpr s32 kMoonPulses = 4800;

struct DeferredTrigger {
    u32 serial;
    int trigger;
    CScriptInstance* argument;  // null once cancelled
};

std::deque<DeferredTrigger>& DeferredQueue() {
    static std::deque<DeferredTrigger> queue;
    return queue;
}

const char* const kPeriodNames[kSchedulePeriods] = {"min", "hour", "day", "week", "month", "year"};

int FindPeriod(const char* name) {
    for (int i = 0; i < kSchedulePeriods; ++i) {
        if (std::strcmp(name, kPeriodNames[i]) == 0) return i;
    }
    return -1;
}

}  // namespace

bool MatchDigitPattern(const char* pattern, int value) {
    for (size_t i = std::strlen(pattern); i > 0; --i) {
        const char c = pattern[i - 1];
        if (c != '*' && c != static_cast<char>('0' + value % 10)) return false;
        value /= 10;
    }
    return true;
}

CTimeManager::CTimeManager(LoadGovernor* governor) : governor_(governor) {
    for (int i = 0; i < kSchedulePeriods; ++i) {
        schedules_[static_cast<size_t>(i)].assign(static_cast<size_t>(kSchedulePeriodSize[i]),
                                                  nullptr);
    }
}

CTimeManager::~CTimeManager() {
    for (ScheduleList& lists : schedules_) {
        for (ScheduleNode*& head : lists) {
            while (head) {
                ScheduleNode* next = head->next;
                delete head;
                head = next;
            }
        }
    }
}

s32 CTimeManager::PulsesUntil(s32 futurePulse) const {
    s64 distance = static_cast<s64>(futurePulse) - pulse_;
    if (distance < 0) distance += static_cast<s64>(kPulseMask) + 1;
    return static_cast<s32>(distance);
}

bool CTimeManager::SetCalendar(const GameCalendar& c) {
    if (c.month < 0 || c.month >= 12 || c.week < 0 || c.week >= 4 || c.day < 0 || c.day >= 7 ||
        c.hour < 0 || c.hour >= 24 || c.minute < 0 || c.minute >= 60 || c.pulseInMinute < 0 ||
        c.pulseInMinute >= kPulsesPerGameMinute || c.year < 0) {
        return false;
    }
    calendar_ = c;
    return true;
}

bool CTimeManager::SetHour(s32 hour) {
    GameCalendar c = calendar_;
    c.hour = hour;
    return SetCalendar(c);
}

void CTimeManager::Update() {
    // While an administrator holds the world-editing lock, the world stands still.
    if (GetNetServices().IsEditLockHeld()) {
        GetNetServices().CheckEditLockIdle();
        return;
    }
    GetScriptServices().ReleaseQueuedScriptValues();
    GetScriptServices().ReleaseQueuedScriptInstances();
    lastUpdateTime_ = platform::NowMs();

    // The reports look at the pulse before this pulse's increment.
    if (RunsOn(pulse_, Cadence::kTimingReport) && tickTimingReport_) tickTimingReport_();
    if (RunsOn(pulse_, Cadence::kStatistics)) LogStatistics();

    pulse_ = (pulse_ + 1) & kPulseMask;
    SetWorldPulse(pulse_);
    const s32 p = pulse_;

    if (RunsOn(p, Cadence::kStatistics)) GetAreaServices().LogSpawnStatistics();
    if (RunsOn(p, Cadence::kBroadcast)) {
        u8 packet[kTimePacketLength];
        NetServices& net = GetNetServices();
        int length =
            net.BuildTimePacket(packet, calendar_.hour, calendar_.minute, calendar_.pulseInMinute);
        net.SendToAll(packet, length);
    }
    if (RunsOn(p, Cadence::kLoadCheck)) (governor_ ? *governor_ : g_loadGovernor).Run();
    if (RunsOn(p, Cadence::kBroadcast)) GetAreaServices().AgeHints();
    GetWorldServices().DecayTick(p);
    if (RunsOn(p, Cadence::kHeartbeat)) GetWorldServices().NpcHeartbeatSweep();
    GetWorldServices().NpcStateSweep();
    GetWorldServices().CombatHeartBeat(p);
    if (GetAreaServices().IsFastSpawning()) GetAreaServices().RunSpawnPass(0, 0);
    if (RunsOn(p, Cadence::kSpawn)) GetAreaServices().RunSpawnPass(1, 0);
    if (RunsOn(p, Cadence::kRegrowth)) GetAreaServices().RestartRegrowth();
    GetAreaServices().RegrowStep();
    if (RunsOn(p, Cadence::kWeather)) GetAreaServices().UpdateWeather();
    if (RunsOn(p, Cadence::kBroadcast)) GetWorldServices().AddPlayAgeToAll(1);
    if (RunsOn(p, Cadence::kRegrowth)) GetRulesServices().SkillTableStep();
    GetWorldServices().RunAllCallbacks();
    GetWorldServices().TickAll();
    AdvanceClock();
    RunDeferredTriggers();
    CheckMoonPhases();
    if (p % kMoonPulses == 0) {
        GetWorldServices().CountDownMobileLights();
        GetWorldServices().UpdateMoons(p / kMoonPulses);
    }
}

void CTimeManager::AdvanceClock() {
    GameCalendar& c = calendar_;
    if (++c.pulseInMinute < kPulsesPerGameMinute) return;
    c.pulseInMinute = 0;
    FireSchedule(SchedulePeriod::kMinute, c.minute);
    if (++c.minute < 60) return;
    c.minute = 0;
    FireSchedule(SchedulePeriod::kHour, c.hour);
    if (++c.hour < 24) return;
    c.hour = 0;
    FireSchedule(SchedulePeriod::kDay, c.day);
    OnDayChange();
    if (++c.day < 7) return;
    c.day = 0;
    FireSchedule(SchedulePeriod::kWeek, c.week);
    if (++c.week < 4) return;
    c.week = 0;
    FireSchedule(SchedulePeriod::kMonth, c.month);
    OnMonthChange();
    if (++c.month < 12) return;
    c.month = 0;
    FireSchedule(SchedulePeriod::kYear, 0);
    ++c.year;
}

void CTimeManager::OnDayChange() {
    GetWorldServices().ExpireBulletinMessages((calendar_.day + 1) % 7);
}

void CTimeManager::OnMonthChange() {
    GetAreaServices().AdvanceSeason();
}

void CTimeManager::FireSchedule(SchedulePeriod period, int value) {
    ScheduleNode* node = schedules_[static_cast<size_t>(period)][static_cast<size_t>(value)];
    while (node) {
        // Whatever runs below may remove registrations, this node included: the cursor is
        // moved past a removed node, and nothing of this node is read after the calls.
        fireCursor_ = node->next;
        CScriptInstance* instance = node->instance;
        u32 serial = GetScriptServices().GetInstanceObjectSerial(instance);
        QueueDeferredTrigger(serial, kTriggerTime, instance);
        node = fireCursor_;
    }
    fireCursor_ = nullptr;
}

template <typename Visit>
void CTimeManager::ParseSchedule(const char* text, Visit visit) {
    if (text == nullptr) return;
    char work[kScheduleTextMax + 1];
    size_t length = std::strlen(text);
    if (length > kScheduleTextMax) length = kScheduleTextMax;
    std::memcpy(work, text, length);
    work[length] = '\0';

    const char* at = work;
    for (;;) {
        char word[kScheduleTextMax + 1];
        at = NextWord(at, word, sizeof word);
        if (word[0] == '\0') return;
        char* colon = std::strchr(word, ':');
        if (colon == nullptr) return;
        *colon = '\0';
        const int period = FindPeriod(word);
        if (period < 0) return;
        const char* pattern = colon + 1;
        for (int v = 0; v < kSchedulePeriodSize[static_cast<size_t>(period)]; ++v) {
            if (MatchDigitPattern(pattern, v)) visit(static_cast<SchedulePeriod>(period), v);
        }
    }
}

void CTimeManager::AddSchedule(CScriptInstance* instance, const char* text) {
    if (instance == nullptr) return;
    ParseSchedule(text, [&](SchedulePeriod period, int value) {
        ScheduleNode*& head = schedules_[static_cast<size_t>(period)][static_cast<size_t>(value)];
        head = new ScheduleNode{instance, text, head};
    });
}

void CTimeManager::RemoveSchedule(CScriptInstance* instance, const char* text) {
    if (instance == nullptr) return;
    ParseSchedule(text, [&](SchedulePeriod period, int value) {
        ScheduleNode** link = &schedules_[static_cast<size_t>(period)][static_cast<size_t>(value)];
        while (*link) {
            ScheduleNode* node = *link;
            if (node->instance == instance && node->text == text) {
                if (fireCursor_ == node) fireCursor_ = node->next;
                *link = node->next;
                delete node;
            } else {
                link = &node->next;
            }
        }
    });
}

int CTimeManager::CountScheduled(SchedulePeriod period, int value) const {
    const size_t p = static_cast<size_t>(period);
    if (value < 0 || value >= kSchedulePeriodSize[p]) return 0;
    int count = 0;
    for (const ScheduleNode* n = schedules_[p][static_cast<size_t>(value)]; n; n = n->next) {
        ++count;
    }
    return count;
}

void CTimeManager::CheckMoonPhases() {
    const int corvane = GetWorldServices().GetCorvanePhase();
    const int ilvessa = GetWorldServices().GetIlvessaPhase();
    const int corvaneChanged = corvane != lastCorvanePhase_ ? 1 : 0;
    const int ilvessaChanged = ilvessa != lastIlvessaPhase_ ? 1 : 0;
    lastCorvanePhase_ = corvane;
    lastIlvessaPhase_ = ilvessa;
    if (corvaneChanged || ilvessaChanged) {
        GetWorldServices().NotifyListeners(corvaneChanged, ilvessaChanged);
    }
}

void CTimeManager::LogStatistics() {
    const u16 players = GetWorldServices().CountOnline();
    const NpcCounters& npcs = GetNpcCounters();
    const s32 items = GetWorldServices().CountLiveItems();
    std::string text = std::to_string(players) + " players, " + std::to_string(npcs.live) +
                       " NPCs (" + std::to_string(npcs.notInvulnerable) + " normal, " +
                       std::to_string(npcs.live - npcs.notInvulnerable) + " nonnormal), " +
                       std::to_string(items) + " dynamics on " + GetNetServices().GetWorldName();
    GetLogSink().Log(0, 0, 0, "", "stats", "misc", text.c_str());
}

void QueueDeferredTrigger(u32 serial, int trigger, CScriptInstance* argument) {
    DeferredQueue().push_back(DeferredTrigger{serial, trigger, argument});
}

int RunDeferredTriggers() {
    std::deque<DeferredTrigger>& queue = DeferredQueue();
    const u32 start = platform::NowMs();
    int sent = 0;
    while (!queue.empty() &&
           (queue.size() > static_cast<size_t>(kDeferredTriggerBacklog) ||
            !platform::HasElapsed(start, platform::NowMs(), kDeferredTriggerBudgetMs + 1))) {
        const DeferredTrigger entry = queue.front();
        queue.pop_front();
        if (entry.argument == nullptr) continue;
        CBaseObject* object = GetWorldServices().FindBySerial(entry.serial);
        if (object == nullptr) continue;
        GetScriptServices().sendTrigger(object, entry.trigger, entry.argument);
        ++sent;
    }
    return sent;
}

int CancelDeferredTriggers(CScriptInstance* argument) {
    if (argument == nullptr) return 0;
    int cancelled = 0;
    for (DeferredTrigger& entry : DeferredQueue()) {
        if (entry.argument == argument) {
            entry.argument = nullptr;
            ++cancelled;
        }
    }
    return cancelled;
}

int CountDeferredTriggers() {
    return static_cast<int>(DeferredQueue().size());
}

void GetCurrentTimeText(CStr& out) {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    char text[128] = "";
    if (localtime_r(&now, &local) != nullptr) {
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    }
    out = text;
}
