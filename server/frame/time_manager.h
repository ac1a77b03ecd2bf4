#pragma once
// The server's world clock. The main loop calls CTimeManager::Update once every 250 ms; each
// call is one pulse. The pulse counter paces the periodic work of the world in power-of-two
// cadences, and a game calendar (20 pulses to the game minute) fires the scripts'
// "time" trigger at the minutes, hours, days, weeks, months and years their schedule texts
// name, through the deferred trigger queue, which each pulse drains within a time budget.
#include <array>
#include <vector>

#include "core/loop_state.h"
#include "platform/types.h"

class CScriptInstance;
class CStr;
class LoadGovernor;

// The pulse counter keeps 30 bits and wraps from kPulseMask to 0.
constexpr s32 kPulseMask = 0x3FFFFFFF;
constexpr int kPulsesPerGameMinute = 20;

// The game calendar. Every field stays within its period; the year counts completed years.
struct GameCalendar {
    s32 month = 0;          // 0-11
    s32 week = 0;           // 0-3
    s32 day = 0;            // 0-6
    s32 hour = 12;          // 0-23
    s32 minute = 0;         // 0-59
    s32 pulseInMinute = 0;  // 0-19
    s32 year = 0;           // completed game years
};

// Calendar periods a schedule text can name, with the number of values of each.
enum class SchedulePeriod { kMinute, kHour, kDay, kWeek, kMonth, kYear };
constexpr int kSchedulePeriods = 6;
constexpr std::array<int, kSchedulePeriods> kSchedulePeriodSize = {60, 24, 7, 4, 12, 1};

class CTimeManager {
public:
    // The governor that the tick runs every 16th pulse; null means the process-wide one.
    explicit CTimeManager(LoadGovernor* governor = nullptr);
    virtual ~CTimeManager();
    CTimeManager(const CTimeManager&) = delete;
    CTimeManager& operator=(const CTimeManager&) = delete;

    // One pulse of the world.
    void Update();

    s32 GetPulseNum() const { return pulse_; }
    // Pulses from now until `futurePulse` on the 30-bit wrapping counter.
    s32 PulsesUntil(s32 futurePulse) const;
    // Sets the pulse counter (kept to 30 bits).
    void SetPulseNum(s32 pulse) {
        pulse_ = pulse & kPulseMask;
        SetWorldPulse(pulse_);
    }
    u32 GetLastUpdateTime() const { return lastUpdateTime_; }

    const GameCalendar& GetCalendar() const { return calendar_; }
    s32 GetDay() const { return calendar_.day; }
    s32 GetYear() const { return calendar_.year; }
    s32 GetHour() const { return calendar_.hour; }
    s32 GetMinute() const { return calendar_.minute; }
    s32 GetPulseInMinute() const { return calendar_.pulseInMinute; }
    // 1 when the hour lies in 6..18, else 0.
    int IsDaytime() const { return calendar_.hour >= 6 && calendar_.hour <= 18 ? 1 : 0; }

    // Sets the whole calendar, or only the hour (the world load's stored hour). A value
    // outside its period is refused: false, and nothing changes.
    bool SetCalendar(const GameCalendar& calendar);
    bool SetHour(s32 hour);

    // Registers a script instance's time schedule: words "period:pattern" with the periods
    // "min", "hour", "day", "week", "month" and "year"; the instance is entered in the list of
    // every value of the period that the digit pattern accepts. The text pointer identifies
    // the registration. A word without ':' or with another period ends the parse.
    void AddSchedule(CScriptInstance* instance, const char* text);
    // Undoes AddSchedule for the same instance and text pointer.
    void RemoveSchedule(CScriptInstance* instance, const char* text);
    // Registrations in the list of one value of a period.
    int CountScheduled(SchedulePeriod period, int value) const;

    // One minute step of the calendar (every pulse, from Update); fires the lists of the
    // values that end.
    void AdvanceClock();
    // Tells the moons' listeners when a moon's phase changed since the previous pulse.
    void CheckMoonPhases();
    // Logs the statistics line: players, NPCs, dynamic items and the world name.
    void LogStatistics();

    // The main loop's report of tick intervals, called every 1024th pulse. The main loop
    // sets it; until it does nothing is reported.
    void SetTickTimingReport(void (*report)()) { tickTimingReport_ = report; }

private:
    struct ScheduleNode {
        CScriptInstance* instance;
        const char* text;
        ScheduleNode* next;
    };
    using ScheduleList = std::vector<ScheduleNode*>;  // one list head per value of a period

    // Calls `visit` with each (period, value) that a schedule text names, in text order.
    template <typename Visit>
    static void ParseSchedule(const char* text, Visit visit);
    void FireSchedule(SchedulePeriod period, int value);
    void OnDayChange();
    void OnMonthChange();

    LoadGovernor* governor_;
    s32 lastCorvanePhase_ = -1;
    s32 lastIlvessaPhase_ = -1;
    s32 pulse_ = 0;
    GameCalendar calendar_;
    u32 lastUpdateTime_ = 0;
    std::array<ScheduleList, kSchedulePeriods> schedules_;
    // The node the firing loop visits next, moved on when that node is removed meanwhile.
    ScheduleNode* fireCursor_ = nullptr;
    void (*tickTimingReport_)() = nullptr;
};

// The process's world clock.
extern CTimeManager g_timeManager;

// Whether a schedule pattern accepts a value: compared from the last character back, each
// character must be '*' or the value's digit at that place (places beyond the value's digits
// are 0); digits of the value beyond the pattern's length are ignored. An empty pattern
// accepts every value.
bool MatchDigitPattern(const char* pattern, int value);

// The deferred trigger queue, process-wide.
// Appends an entry: the trigger goes to the object of the serial, with the script instance
// as its argument.
void QueueDeferredTrigger(u32 serial, int trigger, CScriptInstance* argument);
// Sends queued triggers, oldest first: regardless of time while more than 25 wait, and then
// until 50 ms have passed since the call began. An entry whose object is gone or whose
// argument was cancelled is dropped. Returns the number of triggers sent.
int RunDeferredTriggers();
// Cancels every queued entry of that argument (a script instance being torn down). Returns
// the number cancelled.
int CancelDeferredTriggers(CScriptInstance* argument);
// Entries waiting, cancelled ones included.
int CountDeferredTriggers();

// Sets `out` to the current local date and time as "YYYY-MM-DD HH:MM" (the script builtin
// getCurrentTimeStr).
void GetCurrentTimeText(CStr& out);

// The drain budget of RunDeferredTriggers.
constexpr int kDeferredTriggerBacklog = 25;
constexpr u32 kDeferredTriggerBudgetMs = 50;
