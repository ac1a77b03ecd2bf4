#pragma once
// A figure a benchmark is judged by, shown beside its goal: as two counters (so that
// `--benchmark_format=json` carries both) and as one line on stderr for the reader of a run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

// `name` (say "steep_redraw_ms") measured `value`; the goal is at most `goal`.
inline void ReportAgainstGoal(benchmark::State& state, const std::string& name, double value,
                              double goal, const char* unit) {
    state.counters[name] = value;
    state.counters[name + "_goal"] = goal;
    std::fprintf(stderr, "%s: %.3f %s (goal: at most %.3f %s) %s\n", name.c_str(), value, unit,
                 goal, unit, value <= goal ? "met" : "NOT MET");
}

// `name` (say "strikes_per_s") measured `value`; the goal is at least `goal`. The line also
// gives the value's ratio to the goal (1.00 or more is met).
inline void ReportAtLeastGoal(benchmark::State& state, const std::string& name, double value,
                              double goal, const char* unit) {
    state.counters[name] = value;
    state.counters[name + "_goal"] = goal;
    std::fprintf(stderr, "%s: %.0f %s (goal: at least %.0f %s, ratio %.2f) %s\n", name.c_str(),
                 value, unit, goal, unit, value / goal, value >= goal ? "met" : "NOT MET");
}
