// The world's pulse per object as the world grows: 1,000, 10,000, 100,000 and 300,000
// objects in a world of 1024 x 1024 tiles, with the server's real services in force. Every
// object waits on a timed callback (the callback sweep finds each by serial on every pulse),
// one in ten is an NPC (the NPC sweep looks each up again) and the decay sweep runs in its
// fast mode over objects that never decay. The pulse per object should not grow with the
// world: the goal is the largest within 1.5 times the smallest.
//
// Prints one line per size and the ratio; progress goes to stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/random.h"
#include "server/frame/server_services.h"
#include "server/frame/time_manager.h"
#include "server/world/decay.h"
#include "server/world/item.h"
#include "server/world/mobile.h"
#include "server/world/npc.h"
#include "server/world/object_manager.h"
#include "server/world/sector_grid.h"
#include "server/world/timed_callbacks.h"

namespace {

constexpr int kWorldSize = 1024;
constexpr int kNpcEvery = 10;
// Far beyond the pulses measured: the callbacks wait, they never run.
constexpr s32 kCallbackTicks = 1 << 30;
constexpr int kCallbackAction = 2;

// Grows the world to `count` objects.
void Populate(int count) {
    static int made = 0;
    for (; made < count; ++made) {
        CItem* object = nullptr;
        if (made % kNpcEvery == 0) {
            object = new CNPC();
        } else {
            object = g_objectManager.CreateItem(3821);
            object->SetDecayCount(kNeverDecays);
        }
        const Location at(platform::Rand() % kWorldSize, platform::Rand() % kWorldSize, 0);
        object->PlaceInWorldQuiet(at);
        AddCallback(object->TimedCallbacks(), object->GetSerial(), kCallbackTicks,
                    kCallbackAction, 0, nullptr);
    }
}

// The mean pulse in microseconds: the best of five runs of enough pulses to take a while.
double MeasurePulse(int objects) {
    const int pulses = std::max(20, 20000000 / objects);
    for (int i = 0; i < 10; ++i)
        g_timeManager.Update();
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < pulses; ++i)
            g_timeManager.Update();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::micro>(t1 - t0).count() / pulses);
    }
    return best;
}

}  // namespace

int main() {
    if (g_sectorGrid.Build(0, 0, kWorldSize, kWorldSize) != 0) {
        std::fprintf(stderr, "world_tick: the sector grid could not be built\n");
        return 1;
    }
    InstallServerServices();
    platform::SeedRandom(1);
    SetDecayMode(1);
    const int sizes[] = {1000, 10000, 100000, 300000};
    std::vector<double> perObject;
    std::printf("%10s %14s %18s\n", "objects", "pulse (us)", "per object (ns)");
    for (int size : sizes) {
        std::fprintf(stderr, "world_tick: %d objects\n", size);
        Populate(size);
        const double pulse = MeasurePulse(size);
        perObject.push_back(pulse * 1000.0 / size);
        std::printf("%10d %14.1f %18.2f\n", size, pulse, perObject.back());
    }
    const auto [low, high] = std::minmax_element(perObject.begin(), perObject.end());
    const double ratio = *high / *low;
    std::printf("largest / smallest per object: %.2f (goal: at most 1.50) %s\n", ratio,
                ratio <= 1.5 ? "met" : "NOT MET");
    return 0;
}
