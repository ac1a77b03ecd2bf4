#pragma once
// The player's hardware profile, reported to the server once per change: collected at
// login, compared with the profile stored by the last report, and sent as packet 0xA4 and
// stored when none is stored or it differs.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "platform/types.h"

// The record, laid out like packet 0xA4 (byte 0 is the packet id when the record is the
// packet buffer). Multi-byte fields are in network order.
constexpr size_t kHardwareProfileSize = 149;
constexpr size_t kHwProcessorType = 1;
constexpr size_t kHwProcessorClock = 2;  // u16
constexpr size_t kHwProcessorCount = 4;
constexpr size_t kHwVideoCard1 = 5;  // char[32]
constexpr size_t kHwVideoCard2 = 37;
constexpr size_t kHwModemManufacturer = 69;
constexpr size_t kHwModemModel = 101;
constexpr size_t kHwTotalRamMB = 133;          // u16
constexpr size_t kHwLargestPartitionMB = 135;  // u16
constexpr size_t kHwTimeZoneBias = 137;        // s32, minutes (UTC = local + bias)
constexpr size_t kHwTextSize = 32;

using HardwareProfile = std::array<u8, kHardwareProfileSize>;

// What the profile is collected from: the system's own reports, passed in so that tests give
// fixtures.
struct HardwareSources {
    std::string cpuinfo;  // the text of /proc/cpuinfo
    std::string mounts;   // the text of /proc/mounts
    // The size in MB of the file system mounted at a point (0 when unknown).
    std::function<u64(const std::string& mountPoint)> fileSystemMB;
    // The processor clock when the cpuinfo text has none (a measurement).
    std::function<int()> measuredClockMHz;
    u64 totalRamBytes = 0;
    long processorCount = 0;
    // The local time's offset east of UTC, in seconds (tm_gmtoff).
    long gmtOffsetSeconds = 0;
};
// The running system's sources.
HardwareSources SystemHardwareSources();

// Fills the record (zero-filled first) from the sources (the running system's when none are
// given); 1 when collected. The 16-bit RAM and drive fields saturate at 65,535 MB.
int CollectHardwareProfile(HardwareProfile& record, const HardwareSources& sources);
int CollectHardwareProfile(HardwareProfile& record);
// The largest local block-device file system of a mounts text, in MB (0 when none).
u64 LargestFixedDriveMB(const HardwareSources& sources);

// The stored profile: "hwprofile.dat" in the per-user configuration directory.
std::string HardwareProfilePath();
// The profile stored in the file; false when it is missing or not a stored profile.
bool ReadHardwareProfile(const std::string& path, HardwareProfile& record);
// Stores the profile (a temporary file renamed over the old one); false with the reason in
// `error` when it could not be written.
bool WriteHardwareProfile(const std::string& path, const HardwareProfile& record,
                          std::string* error = nullptr);
// Whether a stored and a new profile describe the same machine.
bool HardwareProfilesMatch(const HardwareProfile& stored, const HardwareProfile& fresh);
// The report step of a server-list packet: reads the stored profile; when there is none (or
// it is damaged) or it differs from `fresh`, stores `fresh` and returns true (the caller
// sends 0xA4).
bool HardwareProfileChanged(const std::string& path, const HardwareProfile& fresh);

// The processor clock in MHz: the clock the system reports (the "cpu MHz" of
// /proc/cpuinfo), else a measurement. `hint` as for MeasureCpuClock.
int CpuClockMHz(int hint);
// The "cpu MHz" of a cpuinfo text, rounded; -1 when there is none.
int CpuClockFromCpuInfo(std::string_view cpuinfo);

struct CpuClockMeasurement {
    int cycles = 0;
    int microseconds = 0;
    int rawMHz = 0;
    int roundedMHz = 0;
};
// Measures the clock: the processor's time-stamp counter against the monotonic clock, over
// passes of 1,000 microseconds until three passes agree (at most 20). Nothing is measured
// (all fields 0) for a processor of another maker than the one whose counter rate the
// method assumes, without a time-stamp counter, or for a hint of 1 to 150 (the loop method
// for counter-less processors is not available here).
CpuClockMeasurement MeasureCpuClock(int hint);

constexpr u32 kCpuForeignVendor = 0x8000;
bool CpuIdSupported();
// Processor family (leaf 1 bits 8-11), with kCpuForeignVendor when the vendor is not
// "GenuineIntel".
u32 CpuType();
u32 CpuSignature();
u32 CpuFeatures();
