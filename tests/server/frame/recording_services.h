#pragma once
// Recording stand-ins for the subsystems the world tick and the load governor call. Every
// call is appended to one shared trace, so a test sees which entry points ran in which order.
// The world keeps a small table of fake objects and NPCs; the script side answers messages
// from a table and can run a test's code inside a handler.
#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/log_sink.h"
#include "platform/clock.h"
#include "script/runtime/script_services.h"
#include "server/frame/time_manager.h"
#include "server/net/net_services.h"
#include "server/world/area_services.h"
#include "server/world/rules_services.h"
#include "server/world/world_services.h"

namespace testing_services {

using Trace = std::vector<std::string>;

inline std::string Call(const char* name, long long a) {
    return std::string(name) + "(" + std::to_string(a) + ")";
}
inline std::string Call(const char* name, long long a, long long b) {
    return std::string(name) + "(" + std::to_string(a) + "," + std::to_string(b) + ")";
}

// Script instances are opaque to the tick: tests name them by small numbers.
struct FakeInstances {
    std::array<int, 64> slots{};
    CScriptInstance* Get(int n) { return reinterpret_cast<CScriptInstance*>(&slots.at(n)); }
    int IdOf(CScriptInstance* p) const {
        return static_cast<int>(reinterpret_cast<const int*>(p) - slots.data());
    }
};

class RecordingWorld : public WorldServices {
public:
    explicit RecordingWorld(Trace& trace) : trace_(trace) {}

    struct FakeObject {
        u32 serial;
    };

    // Objects and NPCs (an NPC is an object listed in its mobile-table bucket).
    void AddObject(u32 serial) {
        objects_[serial] = std::make_unique<FakeObject>(FakeObject{serial});
    }
    void AddNpc(u32 serial) {
        AddObject(serial);
        buckets_[serial & 0x3F].push_back(serial);
    }
    void Remove(u32 serial) {
        objects_.erase(serial);
        auto& b = buckets_[serial & 0x3F];
        for (size_t i = 0; i < b.size(); ++i) {
            if (b[i] == serial) {
                b.erase(b.begin() + static_cast<long>(i));
                break;
            }
        }
    }
    bool Has(u32 serial) const { return objects_.count(serial) != 0; }
    static u32 SerialOf(CBaseObject* object) {
        return reinterpret_cast<FakeObject*>(object)->serial;
    }
    size_t CountObjects() const { return objects_.size(); }

    u16 online = 0;
    s32 liveItems = 0;
    int corvane = 0;
    int ilvessa = 0;
    std::vector<u32> deleted;

    CBaseObject* FindBySerial(u32 serial) override {
        auto it = objects_.find(serial);
        return it == objects_.end() ? nullptr : reinterpret_cast<CBaseObject*>(it->second.get());
    }
    void DecayTick(s32 pulse) override { trace_.push_back(Call("DecayTick", pulse)); }
    s32 CountLiveItems() override {
        trace_.push_back("CountLiveItems");
        return liveItems;
    }
    void DeleteSelf(CBaseObject* object) override {
        const u32 serial = SerialOf(object);
        trace_.push_back(Call("DeleteSelf", serial));
        deleted.push_back(serial);
        Remove(serial);
    }
    void NpcHeartbeatSweep() override { trace_.push_back("NpcHeartbeatSweep"); }
    void NpcStateSweep() override { trace_.push_back("NpcStateSweep"); }
    u32 FirstNpcInBucket(int bucket) override {
        const auto& b = buckets_.at(static_cast<size_t>(bucket));
        return b.empty() ? 0 : b.front();
    }
    u32 NextNpcInBucket(u32 serial) override {
        const auto& b = buckets_[serial & 0x3F];
        for (size_t i = 0; i + 1 < b.size(); ++i) {
            if (b[i] == serial) return b[i + 1];
        }
        return 0;
    }
    void CombatHeartBeat(s32 pulse) override { trace_.push_back(Call("CombatHeartBeat", pulse)); }
    void CountDownMobileLights() override { trace_.push_back("CountDownMobileLights"); }
    void RunAllCallbacks() override { trace_.push_back("RunAllCallbacks"); }
    u16 CountOnline() override {
        trace_.push_back("CountOnline");
        return online;
    }
    void AddPlayAgeToAll(int amount) override { trace_.push_back(Call("AddPlayAgeToAll", amount)); }
    void TickAll() override { trace_.push_back("TickAll"); }
    void StrikeRandomPlayers(int count) override {
        trace_.push_back(Call("StrikeRandomPlayers", count));
    }
    int GetCorvanePhase() override {
        trace_.push_back("GetCorvanePhase");
        return corvane;
    }
    int GetIlvessaPhase() override {
        trace_.push_back("GetIlvessaPhase");
        return ilvessa;
    }
    void NotifyListeners(int c, int i) override { trace_.push_back(Call("NotifyListeners", c, i)); }
    void UpdateMoons(s32 argument) override { trace_.push_back(Call("UpdateMoons", argument)); }
    void ExpireBulletinMessages(int day) override {
        trace_.push_back(Call("ExpireBulletinMessages", day));
    }

private:
    Trace& trace_;
    std::map<u32, std::unique_ptr<FakeObject>> objects_;
    std::array<std::vector<u32>, kMobileTableBuckets> buckets_;
};

class RecordingScript : public ScriptServices {
public:
    RecordingScript(Trace& trace, FakeInstances& instances)
        : trace_(trace), instances_(instances) {}

    // Manual clock stepped by every trigger sent, to spend the deferred queue's budget.
    platform::ManualClock* clock = nullptr;
    u32 msPerTrigger = 0;
    // Message answers by serial (absent: 0), and code run inside a message handler.
    std::map<u32, int> messageAnswers;
    std::function<void(u32 serial)> inMessageHandler;
    // Objects the instances are attached to, and code run while a schedule fires.
    std::map<int, u32> instanceObjects;
    std::function<void(int instance)> onInstanceLookup;

    void ReleaseQueuedScriptValues() override { trace_.push_back("ReleaseQueuedScriptValues"); }
    void ReleaseQueuedScriptInstances() override {
        trace_.push_back("ReleaseQueuedScriptInstances");
    }
    int sendTrigger(CBaseObject* object, int trigger, CScriptInstance* instance) override {
        trace_.push_back("sendTrigger(" + std::to_string(RecordingWorld::SerialOf(object)) + "," +
                         std::to_string(trigger) + "," + std::to_string(instances_.IdOf(instance)) +
                         ")");
        if (clock) clock->Advance(msPerTrigger);
        return 1;
    }
    int SendScriptMessage(CBaseObject* object, const char* message, int number) override {
        const u32 serial = RecordingWorld::SerialOf(object);
        trace_.push_back(std::string("SendScriptMessage(") + std::to_string(serial) + "," +
                         message + "," + std::to_string(number) + ")");
        int answer = messageAnswers.count(serial) ? messageAnswers[serial] : 0;
        if (inMessageHandler) inMessageHandler(serial);
        return answer;
    }
    u32 GetInstanceObjectSerial(CScriptInstance* instance) override {
        const int id = instances_.IdOf(instance);
        if (onInstanceLookup) onInstanceLookup(id);
        return instanceObjects.count(id) ? instanceObjects[id] : 0;
    }

private:
    Trace& trace_;
    FakeInstances& instances_;
};

class RecordingNet : public NetServices {
public:
    explicit RecordingNet(Trace& trace) : trace_(trace) {}
    bool editLockHeld = false;
    bool IsEditLockHeld() override {
        trace_.push_back("IsEditLockHeld");
        return editLockHeld;
    }
    void CheckEditLockIdle() override { trace_.push_back("CheckEditLockIdle"); }
    int BuildTimePacket(u8* buffer, int hour, int minute, int pulseInMinute) override {
        trace_.push_back("BuildTimePacket");
        return NetServices::BuildTimePacket(buffer, hour, minute, pulseInMinute);
    }
    const char* GetWorldName() override {
        trace_.push_back("GetWorldName");
        return NetServices::GetWorldName();
    }
    void SendToAll(const u8* packet, int length) override {
        std::string s = "SendToAll(";
        char hex[4];
        for (int i = 0; i < length; ++i) {
            std::snprintf(hex, sizeof hex, "%02x", packet[i]);
            s += (i ? " " : "") + std::string(hex);
        }
        trace_.push_back(s + ")");
    }

private:
    Trace& trace_;
};

class RecordingRules : public RulesServices {
public:
    explicit RecordingRules(Trace& trace) : trace_(trace) {}
    void SkillTableStep() override { trace_.push_back("SkillTableStep"); }

private:
    Trace& trace_;
};

class RecordingArea : public AreaServices {
public:
    explicit RecordingArea(Trace& trace) : trace_(trace) {}
    bool fastSpawning = false;
    void LogSpawnStatistics() override { trace_.push_back("LogSpawnStatistics"); }
    bool IsFastSpawning() override {
        trace_.push_back("IsFastSpawning");
        return fastSpawning;
    }
    void RunSpawnPass(int kind, int restricted) override {
        trace_.push_back(Call("RunSpawnPass", kind, restricted));
    }
    void RestartRegrowth() override { trace_.push_back("RestartRegrowth"); }
    void RegrowStep() override { trace_.push_back("RegrowStep"); }
    void UpdateWeather() override { trace_.push_back("UpdateWeather"); }
    void AdvanceSeason() override { trace_.push_back("AdvanceSeason"); }
    void AgeHints() override { trace_.push_back("AgeHints"); }

private:
    Trace& trace_;
};

// Installs every recording service for the lifetime of the object, with the log entries
// going into the same trace as "log(source,severity,message)"; puts the empty services back
// and drops anything left in the deferred trigger queue afterwards.
struct RecordingServices {
    Trace trace;
    FakeInstances instances;
    RecordingWorld world{trace};
    RecordingScript script{trace, instances};
    RecordingNet net{trace};
    RecordingRules rules{trace};
    RecordingArea area{trace};

    RecordingServices() {
        SetWorldServices(&world);
        SetScriptServices(&script);
        SetNetServices(&net);
        SetRulesServices(&rules);
        SetAreaServices(&area);
        GetNpcCounters() = NpcCounters{};
        previousObserver_ = GetLogSink().SetObserver(&logToTrace_);
    }
    ~RecordingServices() {
        SetWorldServices(nullptr);
        SetScriptServices(nullptr);
        SetNetServices(nullptr);
        SetRulesServices(nullptr);
        SetAreaServices(nullptr);
        GetNpcCounters() = NpcCounters{};
        GetLogSink().SetObserver(previousObserver_);
        // With no world, every entry left is dropped unsent.
        while (CountDeferredTriggers() > 0)
            RunDeferredTriggers();
    }
    RecordingServices(const RecordingServices&) = delete;
    RecordingServices& operator=(const RecordingServices&) = delete;

    // Log entries go into the trace as "log(source,severity,message)".
    struct LogToTrace : LogObserver {
        explicit LogToTrace(Trace& t) : trace(t) {}
        void OnLogEntry(const LogEntryView& e) override {
            trace.push_back(std::string("log(") + e.source + "," + e.severity + "," + e.message +
                            ")");
        }
        Trace& trace;
    };
    LogToTrace logToTrace_{trace};
    LogObserver* previousObserver_ = nullptr;

    // The trace entries that start with `prefix`, in order.
    std::vector<std::string> Only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& s : trace) {
            if (s.compare(0, prefix.size(), prefix) == 0) out.push_back(s);
        }
        return out;
    }
};

}  // namespace testing_services
