// What incoming text costs the client: the obscenity filter over a 200-character line with a
// 100-word list (goal: 200,000 lines a second, 5 us a line), and a journal line with two open
// journal windows following it (goal: 100,000 lines a second, 10 us a line). Both are
// given as the time of one line. No fonts are loaded: the journal line's measure is a lookup
// that finds no font.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "bench/bench_goal.h"
#include "client/data/profanity_filter.h"
#include "client/world/journal.h"
#include "platform/random.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string RandomWord(size_t length) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz";
    std::string w;
    for (size_t i = 0; i < length; ++i)
        w.push_back(kLetters[platform::Rand() % 26]);
    return w;
}

// A line of ordinary words and spaces, with a few listed words in it.
std::string SpeechLine(const std::vector<std::string>& listed) {
    std::string line;
    while (line.size() < 200) {
        line += platform::Rand() % 8 == 0 ? listed[platform::Rand() % listed.size()]
                                          : RandomWord(2 + platform::Rand() % 7);
        line += ' ';
    }
    line.resize(200);
    return line;
}

void BM_FilterProfanity(benchmark::State& state) {
    platform::SeedRandom(31);
    std::vector<std::string> words;
    for (int i = 0; i < 100; ++i)
        words.push_back(RandomWord(4 + platform::Rand() % 6));
    std::vector<std::string> lines;
    for (int i = 0; i < 64; ++i)
        lines.push_back(SpeechLine(words));
    long long done = 0;
    const auto start = Clock::now();
    for (auto _ : state) {
        std::string text = lines[size_t(done++ % 64)];
        FilterProfanity(text, words);
        benchmark::DoNotOptimize(text.data());
    }
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    ReportAgainstGoal(state, "filter_line_us", us / double(done), 5.0, "us");
}
BENCHMARK(BM_FilterProfanity);

// A journal window that does as little as a real one must: note where it is.
class CountingWindow : public JournalWindow {
public:
    void ScrollToEnd() override { ++scrolls; }
    void SyncThumb() override { ++syncs; }
    void DrawText() override { ++draws; }
    long long scrolls = 0, syncs = 0, draws = 0;
};

void BM_JournalAddLine(benchmark::State& state) {
    CJournal& journal = TheJournal();
    journal.Reset();
    CountingWindow a, b;
    journal.AddWindow(&a);
    journal.AddWindow(&b);
    const std::string text = "Guard: Halt! Who goes there, stranger of the northern roads?";
    long long done = 0;
    const auto start = Clock::now();
    for (auto _ : state) {
        journal.AddLine(text, int(done++ & 0x3FF));
        benchmark::DoNotOptimize(journal.Count());
    }
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    ReportAgainstGoal(state, "journal_line_us", us / double(done), 10.0, "us");
    journal.RemoveWindow(&a);
    journal.RemoveWindow(&b);
    journal.Reset();
}
BENCHMARK(BM_JournalAddLine);

}  // namespace
