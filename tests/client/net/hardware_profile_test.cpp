#include "client/net/hardware_profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/save_file.h"

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
    const std::string path = ::testing::TempDir() + "/hw_profile_test/hwprofile.dat";
    std::remove(path.c_str());
    HardwareProfile profile = Sample();
    EXPECT_TRUE(HardwareProfileChanged(path, profile));  // nothing stored yet
    HardwareProfile stored;
    ASSERT_TRUE(ReadHardwareProfile(path, stored));
    EXPECT_EQ(stored, [&] {
        HardwareProfile expected = profile;
        expected[0] = 0;
        expected[kHardwareProfileSize - 1] = 0;
        return expected;
    }());
    EXPECT_FALSE(HardwareProfileChanged(path, profile));
    // 266 against 300 MHz: sent and stored again; then equal again.
    profile[kHwProcessorClock + 1] = 0x2C;
    EXPECT_TRUE(HardwareProfileChanged(path, profile));
    EXPECT_FALSE(HardwareProfileChanged(path, profile));
    // No temporary file is left beside the stored one.
    EXPECT_FALSE(std::filesystem::exists(platform::TemporaryPathFor(path)));
    std::remove(path.c_str());
}

TEST(HardwareProfile, ADamagedStoredProfileIsReportedAndWrittenAgain) {
    const std::string path = ::testing::TempDir() + "/hw_profile_damaged.dat";
    const HardwareProfile profile = Sample();
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"cut short", "ZQHW" + std::string(20, '\1')},
        {"too long", "ZQHW" + std::string(200, '\1')},
        {"not a profile", "XXXX" + std::string(140, '\1')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_NE(f, nullptr);
            std::fwrite(c.bytes.data(), 1, c.bytes.size(), f);
            std::fclose(f);
        }
        HardwareProfile stored;
        EXPECT_FALSE(ReadHardwareProfile(path, stored));
        EXPECT_TRUE(HardwareProfileChanged(path, profile));
        EXPECT_TRUE(ReadHardwareProfile(path, stored));
        EXPECT_FALSE(HardwareProfileChanged(path, profile));
    }
    std::remove(path.c_str());
    // A directory where the file should be: reported each time, nothing breaks.
    const std::string dir = ::testing::TempDir() + "/hw_profile_is_a_dir";
    std::filesystem::create_directories(dir);
    EXPECT_TRUE(HardwareProfileChanged(dir, profile));
    EXPECT_TRUE(HardwareProfileChanged(dir, profile));
    std::filesystem::remove_all(dir);
}

// The sources of a machine: its cpuinfo and mounts texts, file-system sizes, memory,
// processors and time zone.
HardwareSources FixtureSources() {
    HardwareSources s;
    s.cpuinfo = "processor\t: 0\ncpu MHz\t\t: 266.400\nprocessor\t: 1\ncpu MHz\t\t: 266.4\n";
    s.mounts =
        "/dev/sda1 / ext4 rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /tmp tmpfs rw 0 0\n"
        "/dev/sdb1 /data xfs rw 0 0\n"
        "/dev/sda1 /again ext4 rw 0 0\n";
    s.fileSystemMB = [](const std::string& at) -> u64 {
        return at == "/" ? 2000 : at == "/data" ? 4000 : at == "/tmp" ? 9000 : 0;
    };
    s.measuredClockMHz = [] { return 123; };
    s.totalRamBytes = u64(512) << 20;
    s.processorCount = 2;
    s.gmtOffsetSeconds = -5 * 3600;  // five hours west of UTC
    return s;
}

TEST(HardwareProfile, CollectedFromFixtureSources) {
    HardwareProfile r;
    r.fill(0xEE);
    ASSERT_EQ(CollectHardwareProfile(r, FixtureSources()), 1);
    HardwareProfile expected{};
    expected[kHwProcessorType] = 4;
    expected[kHwProcessorClock] = 0x01;  // 266
    expected[kHwProcessorClock + 1] = 0x0A;
    expected[kHwProcessorCount] = 2;
    expected[kHwTotalRamMB] = 0x02;  // 512
    expected[kHwTotalRamMB + 1] = 0x00;
    expected[kHwLargestPartitionMB] = 0x0F;  // 4000 (tmpfs is not a local drive)
    expected[kHwLargestPartitionMB + 1] = 0xA0;
    expected[kHwTimeZoneBias + 2] = 0x01;  // 300 minutes to add for UTC
    expected[kHwTimeZoneBias + 3] = 0x2C;
    EXPECT_EQ(r, expected);
}

TEST(HardwareProfile, SourcesAtTheirEdges) {
    struct Case {
        const char* what;
        void (*change)(HardwareSources&);
        size_t at;
        u32 value;  // the 16-bit field at `at`, or the 32-bit bias
    } cases[] = {
        {"no reported clock: measured", [](HardwareSources& s) { s.cpuinfo = "model : x\n"; },
         kHwProcessorClock, 123},
        {"above 750 MHz: 0", [](HardwareSources& s) { s.cpuinfo = "cpu MHz : 751\n"; },
         kHwProcessorClock, 0},
        {"750 MHz kept", [](HardwareSources& s) { s.cpuinfo = "cpu MHz : 750\n"; },
         kHwProcessorClock, 750},
        {"no measurement either",
         [](HardwareSources& s) {
             s.cpuinfo.clear();
             s.measuredClockMHz = nullptr;
         },
         kHwProcessorClock, 0},
        {"RAM saturates", [](HardwareSources& s) { s.totalRamBytes = u64(64) << 30; },
         kHwTotalRamMB, 65535},
        {"drive saturates",
         [](HardwareSources& s) {
             s.fileSystemMB = [](const std::string&) -> u64 { return 2000000; };
         },
         kHwLargestPartitionMB, 65535},
        {"no fixed drive", [](HardwareSources& s) { s.mounts = "proc /proc proc rw 0 0\n"; },
         kHwLargestPartitionMB, 0},
        {"east of UTC", [](HardwareSources& s) { s.gmtOffsetSeconds = 3600; }, kHwTimeZoneBias,
         u32(-60)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HardwareSources s = FixtureSources();
        c.change(s);
        HardwareProfile r;
        ASSERT_EQ(CollectHardwareProfile(r, s), 1);
        const u32 value = c.at == kHwTimeZoneBias
                              ? u32(r[c.at]) << 24 | u32(r[c.at + 1]) << 16 |
                                    u32(r[c.at + 2]) << 8 | r[c.at + 3]
                              : u32(r[c.at]) << 8 | r[c.at + 1];
        EXPECT_EQ(value, c.value);
    }
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
    // A hint of 1 to 150 asks for the loop method, which is not available.
    EXPECT_EQ(MeasureCpuClock(100).roundedMHz, 0);
}

TEST(HardwareProfile, TheClockIsMeasuredWithTheTimeStampCounter) {
    const CpuClockMeasurement m = MeasureCpuClock(-1);
    if ((CpuType() & kCpuForeignVendor) || (CpuFeatures() & 0x10) == 0) {
        EXPECT_EQ(m.roundedMHz, 0);
        EXPECT_EQ(m.cycles, 0);
        return;
    }
    // At least three passes of 1,000 microseconds each.
    EXPECT_GE(m.microseconds, 3000);
    EXPECT_GT(m.cycles, 0);
    EXPECT_GT(m.rawMHz, 0);
    EXPECT_GE(m.roundedMHz, m.rawMHz);
    EXPECT_LE(m.roundedMHz, m.rawMHz + 1);
}

}  // namespace
