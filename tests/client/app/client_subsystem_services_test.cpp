#include "client/app/client_subsystem_services.h"

#include <gtest/gtest.h>

#include "client/data/client_log.h"

// An entry point whose subsystem is not built yet says so once, by name, and answers "no".
TEST(ClientSubsystemServices, EntryPointsNotBuiltYetSaySoOnce) {
    ClientSubsystemServices empty;
    LogCapture log(GetClientLogSink());
    empty.SoundInit();
    empty.SoundInit();
    empty.MobilesTick();
    EXPECT_FALSE(empty.RunMacroForKey(0x41, false, false, false));
    const auto lines = log.FromSource("subsystems");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].message, "SoundInit: not built yet");
    EXPECT_EQ(lines[1].message, "MobilesTick: not built yet");
    EXPECT_EQ(lines[2].message, "RunMacroForKey: not built yet");
}
