#pragma once
// The player's hardware profile, reported to the server once per change: collected at
// login, compared with the profile stored by the last report, and sent as packet 0xA4 and
// stored when none is stored or it differs.
#include <array>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace platform {
class KeyValueStore;
}

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

// Fills the record (zero-filled first) from what the system reports; 1 when collected.
int CollectHardwareProfile(HardwareProfile& record);
// The stored profile (the "HWProfile/..." values of the store); false when any is missing
// or malformed.
bool ReadHardwareProfile(platform::KeyValueStore& store, HardwareProfile& record);
// Stores the ten values in order; stops at the first failure.
bool WriteHardwareProfile(platform::KeyValueStore& store, const HardwareProfile& record);
// Whether a stored and a new profile describe the same machine.
bool HardwareProfilesMatch(const HardwareProfile& stored, const HardwareProfile& fresh);
// The report step of a server-list packet: reads the stored profile; when there is none or
// it differs from `fresh`, stores `fresh` and returns true (the caller sends 0xA4).
bool HardwareProfileChanged(platform::KeyValueStore& store, const HardwareProfile& fresh);

// The processor clock in MHz: the clock the system reports (the "cpu MHz" of
// /proc/cpuinfo), else a measurement (none on this platform: 0). `hint` as for
// MeasureCpuClock.
int CpuClockMHz(int hint);
// The "cpu MHz" of a cpuinfo text, rounded; -1 when there is none.
int CpuClockFromCpuInfo(std::string_view cpuinfo);

struct CpuClockMeasurement {
    int cycles = 0;
    int microseconds = 0;
    int rawMHz = 0;
    int roundedMHz = 0;
};
// Nothing is measured on this platform: the time-stamp and real-time-clock methods need
// hardware access that a user program does not have. All fields 0.
CpuClockMeasurement MeasureCpuClock(int hint);

constexpr u32 kCpuForeignVendor = 0x8000;
bool CpuIdSupported();
// Processor family (leaf 1 bits 8-11), with kCpuForeignVendor when the vendor is not
// "GenuineIntel".
u32 CpuType();
u32 CpuSignature();
u32 CpuFeatures();
