// A fight replays exactly from its seed: the transcript of two seeded fights (every strike's
// numbers, the hits, skills, stats and wear they changed, the packets the clients read) is
// the same twice in one process, the same in a fresh process, equal to the pinned golden
// transcript, and another seed fights another fight. ZQ_UPDATE_GOLDEN=1 writes the golden
// anew on purpose.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/server/rules/server_fight_setup.h"

namespace {

constexpr unsigned kSeed = 30017;
const std::string kGolden = std::string(ZQ_SOURCE_DIR) + "/tests/golden/combat_transcript.txt";
// A child run of the first test writes its transcript where this names.
constexpr const char* kTranscriptOut = "ZQ_FIGHT_TRANSCRIPT_OUT";

std::string ReadText(const std::string& path, bool& found) {
    std::ifstream in(path, std::ios::binary);
    found = static_cast<bool>(in);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

std::string ScratchPath(const std::string& name) {
    const char* tmp = std::getenv("TEST_TMPDIR");
    return std::string(tmp != nullptr ? tmp : "/tmp") + "/" + name;
}

// The first line where the texts part, numbered from 1, with both sides.
std::string FirstDifference(const std::string& want, const std::string& got) {
    std::istringstream a(want), b(got);
    std::string la, lb;
    for (int line = 1;; ++line) {
        const bool moreA = static_cast<bool>(std::getline(a, la));
        const bool moreB = static_cast<bool>(std::getline(b, lb));
        if (!moreA && !moreB) return "";
        if (!moreA || !moreB || la != lb)
            return "line " + std::to_string(line) + ": golden \"" + (moreA ? la : "<end>") +
                   "\", actual \"" + (moreB ? lb : "<end>") + "\"";
    }
}

::testing::AssertionResult MatchesGoldenTranscript(const std::string& actual) {
    const char* update = std::getenv("ZQ_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        if (!WriteText(kGolden, actual))
            return ::testing::AssertionFailure() << "cannot write " << kGolden;
        return ::testing::AssertionSuccess();
    }
    bool found = false;
    const std::string golden = ReadText(kGolden, found);
    if (found && golden == actual) return ::testing::AssertionSuccess();
    const std::string written = ScratchPath("combat_transcript.actual.txt");
    WriteText(written, actual);
    auto failure = ::testing::AssertionFailure();
    if (!found)
        failure << "no golden " << kGolden << " (ZQ_UPDATE_GOLDEN=1 writes it)";
    else
        failure << kGolden << " differs at " << FirstDifference(golden, actual);
    return failure << "; actual transcript " << written;
}

class CombatTranscriptGolden : public FightWorldTest {};

TEST_F(CombatTranscriptGolden, OneSeedFightsTheSameFightTwiceAndAsPinned) {
    const std::string first = RunFight(kSeed);
    if (const char* out = std::getenv(kTranscriptOut)) {
        ASSERT_TRUE(WriteText(out, first)) << out;
        return;  // a child run: the parent compares
    }
    const std::string second = RunFight(kSeed);
    EXPECT_EQ(first, second) << "differs at " << FirstDifference(first, second);
    // The fight really is one: strikes hit and miss, armour wears, the creatures die and
    // their corpses are sent.
    for (const char* sign : {" hit\n", " miss\n", "wolf1 gone", "wolf2 gone", "deer gone",
                             " AF", " 6E", " 54", " A1"})
        EXPECT_NE(first.find(sign), std::string::npos) << sign;
    EXPECT_TRUE(MatchesGoldenTranscript(first));
}

TEST_F(CombatTranscriptGolden, AFreshProcessFightsTheSameFight) {
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    ASSERT_GT(n, 0);
    const std::string out = ScratchPath("combat_transcript.child." + std::to_string(getpid()));
    std::remove(out.c_str());
    const std::string command = std::string(kTranscriptOut) + "='" + out + "' '" + self +
                                "' --gtest_filter=CombatTranscriptGolden." +
                                "OneSeedFightsTheSameFightTwiceAndAsPinned >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    bool found = false;
    const std::string child = ReadText(out, found);
    std::remove(out.c_str());
    ASSERT_TRUE(found) << "the child wrote no transcript";
    const std::string here = RunFight(kSeed);
    EXPECT_EQ(child, here) << "differs at " << FirstDifference(here, child);
}

TEST_F(CombatTranscriptGolden, AnotherSeedFightsAnotherFight) {
    const std::string one = RunFight(kSeed);
    const std::string other = RunFight(kSeed + 1);
    EXPECT_NE(FirstDifference(one, other), "");
    // Past the seed line: the strikes themselves differ.
    EXPECT_NE(one.substr(one.find('\n')), other.substr(other.find('\n')));
}

}  // namespace
