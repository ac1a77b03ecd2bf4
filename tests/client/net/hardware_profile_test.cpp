#include "client/net/hardware_profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "platform/key_value_store.h"

namespace {

HardwareProfile Sample() {
    HardwareProfile r{};
    r[kHwProcessorType] = 4;
    r[kHwProcessorClock] = 0x01;  // 266 MHz
    r[kHwProcessorClock + 1] = 0x0A;
    r[kHwProcessorCount] = 2;
    std::strcpy(reinterpret_cast<char*>(&r[kHwVideoCard1]), "Frame Card 3D");
    r[kHwTotalRamMB + 1] = 64;
    r[kHwLargestPartitionMB] = 0x0F;
    r[kHwTimeZoneBias + 3] = 60;
    return r;
}

TEST(HardwareProfile, ChangesThatMatterAndChangesThatDoNot) {
    HardwareProfile base = Sample();
    EXPECT_TRUE(HardwareProfilesMatch(base, base));
    struct Case {
        const char* what;
        void (*change)(HardwareProfile&);
        bool match;
    };
    const Case cases[] = {
        // 266 (01 0A) against 300 (01 2C): low bytes 10 and 44, tolerance 2.
        {"clock 266 to 300", [](HardwareProfile& r) { r[kHwProcessorClock + 1] = 0x2C; }, false},
        {"clock within a quarter", [](HardwareProfile& r) { r[kHwProcessorClock + 1] = 12; }, true},
        {"processor count", [](HardwareProfile& r) { r[kHwProcessorCount] = 8; }, true},
        {"last eight bytes", [](HardwareProfile& r) { r[kHardwareProfileSize - 1] = 9; }, true},
        {"processor type", [](HardwareProfile& r) { r[kHwProcessorType] = 3; }, false},
        {"ram", [](HardwareProfile& r) { r[kHwTotalRamMB] = 1; }, false},
        {"drive", [](HardwareProfile& r) { r[kHwLargestPartitionMB + 1] = 1; }, false},
        {"time zone", [](HardwareProfile& r) { r[kHwTimeZoneBias] = 0xFF; }, false},
        {"video card", [](HardwareProfile& r) { r[kHwVideoCard1] = 'G'; }, false},
        {"modem", [](HardwareProfile& r) { r[kHwModemModel] = 'M'; }, false},
    };
    for (const Case& c : cases) {
        HardwareProfile changed = base;
        c.change(changed);
        EXPECT_EQ(HardwareProfilesMatch(base, changed), c.match) << c.what;
    }
}

TEST(HardwareProfile, ReportedOnceThenOnlyAfterAChange) {
    std::string path = ::testing::TempDir() + "/hw_settings.txt";
    std::remove(path.c_str());
    platform::KeyValueStore store(path);
    HardwareProfile profile = Sample();
    EXPECT_TRUE(HardwareProfileChanged(store, profile));  // nothing stored yet
    HardwareProfile stored;
    ASSERT_TRUE(ReadHardwareProfile(store, stored));
    EXPECT_EQ(stored, [&] {
        HardwareProfile expected = profile;
        expected[0] = 0;
        expected[kHardwareProfileSize - 1] = 0;
        return expected;
    }());
    EXPECT_FALSE(HardwareProfileChanged(store, profile));
    profile[kHwProcessorClock + 1] = 0x2C;
    EXPECT_TRUE(HardwareProfileChanged(store, profile));
    EXPECT_FALSE(HardwareProfileChanged(store, profile));
    // A damaged stored value counts as no stored profile.
    ASSERT_TRUE(store.SetString("HWProfile/totalRAMInMB", "zz"));
    EXPECT_TRUE(HardwareProfileChanged(store, profile));
    std::remove(path.c_str());
}

TEST(HardwareProfile, CollectedFromTheSystem) {
    HardwareProfile r;
    r.fill(0xEE);
    ASSERT_EQ(CollectHardwareProfile(r), 1);
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[kHwProcessorType], 4);
    EXPECT_GE(r[kHwProcessorCount], 1);
    EXPECT_GT(r[kHwTotalRamMB] * 256 + r[kHwTotalRamMB + 1], 0);
    u32 clock = r[kHwProcessorClock] * 256u + r[kHwProcessorClock + 1];
    EXPECT_LE(clock, 750u);
}

TEST(HardwareProfile, ClockFromTheSystemsReport) {
    EXPECT_EQ(CpuClockFromCpuInfo("processor\t: 0\ncpu MHz\t\t: 2394.454\n"), 2394);
    EXPECT_EQ(CpuClockFromCpuInfo("cpu MHz : 199.6"), 200);
    EXPECT_EQ(CpuClockFromCpuInfo("cpu MHz : fast\nmodel : x\n"), -1);
    EXPECT_EQ(CpuClockFromCpuInfo(""), -1);
    EXPECT_EQ(MeasureCpuClock(-1).roundedMHz, 0);
}

}  // namespace
