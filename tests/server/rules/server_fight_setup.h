#pragma once
// Two seeded fights side by side on a small world of real players on recording connections:
// Ann with sword, shield and armour against two wolves, and Bert the archer against a deer,
// while Cleo watches both. Each pulse runs the combat heartbeat and the due timed callbacks;
// the only time is the manual clock, the only chance the seeded generator. The transcript
// gives, pulse by pulse, each strike's numbers (roll, chance, damage, hit row, absorption,
// wear, as the combat rules report them to the observer), the hits, skills and stats that
// changed, and the ids of the packets every player's client read; at the end a digest of
// every byte each client received.
#include <map>
#include <string>

#include "platform/clock.h"
#include "tests/server/player/player_walk_support.h"

class FightWorldTest : public WalkWorldTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs both fights from a fresh world and the seed for at most `pulses` pulses (they end
    // earlier when every creature is dead); the transcript.
    std::string RunFight(unsigned seed, int pulses = 1200);

private:
    void BuildWorld();
    std::string Snapshot(const std::string& name, u32 serial) const;

    platform::ManualClock clock_{1000000};
    std::map<u32, std::string> names_;
};
