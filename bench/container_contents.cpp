// A container's whole contents (0x3C) applied through the client's dispatcher: 125 items
// replace the 125 of the previous list each time, as a vendor's stock or a full pack arrives.
// Goal: at least 50,000 lists a second.
#include <benchmark/benchmark.h>

#include <ctime>
#include <vector>

#include "bench/bench_goal.h"
#include "client/net/client_link.h"
#include "client/net/link_report.h"
#include "client/world/client_world.h"

namespace {

constexpr int kItems = 125;
constexpr u32 kHolder = 0x00000020;

void Be16(std::vector<u8>& out, u32 v) {
    out.push_back(u8(v >> 8));
    out.push_back(u8(v));
}

std::vector<u8> ContentsPacket() {
    std::vector<u8> p{0x3C, 0, 0};
    Be16(p, kItems);
    for (int i = 0; i < kItems; ++i) {
        const u32 serial = 0x40001000u + u32(i);
        Be16(p, serial >> 16);
        Be16(p, serial);
        Be16(p, 0x0EED);       // graphic
        p.push_back(0);        // increment
        Be16(p, 1 + i % 50);   // amount
        Be16(p, 20 + i % 100); // x
        Be16(p, 30 + i % 80);  // y
        Be16(p, kHolder >> 16);
        Be16(p, kHolder);
        Be16(p, 0);  // hue
    }
    p[1] = u8(p.size() >> 8);
    p[2] = u8(p.size());
    return p;
}

void BM_ContainerContents(benchmark::State& state) {
    LinkReportCapture quiet;
    ClientLink link;
    // A mobile holds the items: every mobile is a container, whatever the tile data says.
    auto* holder = new CClientMobile(kHolder, 400, 0);
    const std::vector<u8> packet = ContentsPacket();
    // Processor time: the figure should not depend on what else the machine runs.
    const std::clock_t start = std::clock();
    for (auto _ : state)
        link.Dispatcher().Dispatch(packet.data(), packet.size());
    const double seconds = double(std::clock() - start) / CLOCKS_PER_SEC;
    int held = 0;
    for (CClientObject* o = holder->contents; o; o = o->allNext)
        ++held;
    if (held != kItems) state.SkipWithError("the list was not applied");
    state.SetItemsProcessed(int64_t(state.iterations()));
    const double perList = seconds / double(state.iterations());
    ReportAgainstGoal(state, "contents_list_us", perList * 1e6, 20.0, "us");
    holder->Destroy();
}
BENCHMARK(BM_ContainerContents);

}  // namespace
