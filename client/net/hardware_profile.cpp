#include "client/net/hardware_profile.h"

#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define ZQ_HAVE_CPUID 1
#endif

#include "platform/key_value_store.h"

namespace {

struct StoredValue {
    const char* name;
    size_t offset;
    size_t size;
    bool text;
};

constexpr StoredValue kStored[] = {
    {"processorType", kHwProcessorType, 1, false},
    {"processorClock", kHwProcessorClock, 2, false},
    {"nProcessors", kHwProcessorCount, 1, false},
    {"szVideoCardDescrip1", kHwVideoCard1, kHwTextSize, true},
    {"szVideoCardDescrip2", kHwVideoCard2, kHwTextSize, true},
    {"szModemManufacturer", kHwModemManufacturer, kHwTextSize, true},
    {"szModemDescrip", kHwModemModel, kHwTextSize, true},
    {"totalRAMInMB", kHwTotalRamMB, 2, false},
    {"largestPartitionInMB", kHwLargestPartitionMB, 2, false},
    {"timeZoneBias", kHwTimeZoneBias, 4, false},
};

void PutU16(HardwareProfile& r, size_t at, u32 v) {
    r[at] = static_cast<u8>(v >> 8);
    r[at + 1] = static_cast<u8>(v);
}

void PutU32(HardwareProfile& r, size_t at, u32 v) {
    for (int i = 0; i < 4; ++i)
        r[at + i] = static_cast<u8>(v >> (24 - 8 * i));
}

u32 ClampU16(u64 v) {
    return static_cast<u32>(std::min<u64>(v, 0xFFFF));
}

// The largest local block-device file system, in MB.
u64 LargestFixedDriveMB() {
    std::ifstream mounts("/proc/mounts");
    std::string device, mountPoint, rest;
    std::set<std::string> seen;
    u64 largest = 0;
    while (mounts >> device >> mountPoint && std::getline(mounts, rest)) {
        if (device.rfind("/dev/", 0) != 0 || !seen.insert(device).second) continue;
        struct statvfs fs;
        if (statvfs(mountPoint.c_str(), &fs) != 0) continue;
        u64 mb = static_cast<u64>(fs.f_blocks) * fs.f_frsize / 1048576;
        largest = std::max(largest, mb);
    }
    return largest;
}

}  // namespace

int CpuClockFromCpuInfo(std::string_view cpuinfo) {
    size_t pos = 0;
    while (pos < cpuinfo.size()) {
        size_t end = cpuinfo.find('\n', pos);
        if (end == std::string_view::npos) end = cpuinfo.size();
        std::string_view line = cpuinfo.substr(pos, end - pos);
        pos = end + 1;
        if (line.rfind("cpu MHz", 0) != 0) continue;
        auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        std::string value(line.substr(colon + 1));
        char* stop = nullptr;
        double mhz = std::strtod(value.c_str(), &stop);
        if (stop == value.c_str() || !(mhz >= 0) || mhz > 1e6) continue;
        return static_cast<int>(std::lround(mhz));
    }
    return -1;
}

CpuClockMeasurement MeasureCpuClock(int) {
    return {};
}

int CpuClockMHz(int hint) {
    std::ifstream in("/proc/cpuinfo");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int mhz = CpuClockFromCpuInfo(text);
    if (mhz >= 0) return mhz;
    return MeasureCpuClock(hint).roundedMHz;
}

bool CpuIdSupported() {
#ifdef ZQ_HAVE_CPUID
    return __get_cpuid_max(0, nullptr) != 0;
#else
    return false;
#endif
}

namespace {
bool ForeignVendor() {
#ifdef ZQ_HAVE_CPUID
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(0, &a, &b, &c, &d)) return true;
    char vendor[13];
    std::memcpy(vendor, &b, 4);
    std::memcpy(vendor + 4, &d, 4);
    std::memcpy(vendor + 8, &c, 4);
    vendor[12] = '\0';
    return std::strcmp(vendor, "GenuineIntel") != 0;
#else
    return true;
#endif
}
}  // namespace

u32 CpuSignature() {
    u32 mark = ForeignVendor() ? kCpuForeignVendor : 0;
#ifdef ZQ_HAVE_CPUID
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) return a | mark;
#endif
    return mark;
}

u32 CpuType() {
    u32 mark = ForeignVendor() ? kCpuForeignVendor : 0;
#ifdef ZQ_HAVE_CPUID
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) return ((a >> 8) & 0xF) | mark;
#endif
    return mark;
}

u32 CpuFeatures() {
#ifdef ZQ_HAVE_CPUID
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) return d;
#endif
    return 0;
}

int CollectHardwareProfile(HardwareProfile& r) {
    r.fill(0);
    // Processor types 386, 486 and 586 are 1 to 3; every later processor is 4.
    r[kHwProcessorType] = 4;
    int mhz = CpuClockMHz(-1);
    PutU16(r, kHwProcessorClock, (mhz < 0 || mhz > 750) ? 0 : static_cast<u32>(mhz));
    long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    r[kHwProcessorCount] = static_cast<u8>(std::clamp<long>(cpus, 0, 255));
    // Display adapters and modem: the system keeps no such descriptions; they stay empty.
    struct sysinfo info;
    if (sysinfo(&info) == 0) {
        PutU16(r, kHwTotalRamMB, ClampU16(static_cast<u64>(info.totalram) * info.mem_unit >> 20));
    }
    PutU16(r, kHwLargestPartitionMB, ClampU16(LargestFixedDriveMB()));
    // The bias is minutes to add to local time for UTC: the zone's offset west of UTC.
    tzset();
    PutU32(r, kHwTimeZoneBias, static_cast<u32>(static_cast<s32>(timezone / 60)));
    return 1;
}

bool ReadHardwareProfile(platform::KeyValueStore& store, HardwareProfile& r) {
    r.fill(0);
    for (const StoredValue& v : kStored) {
        const std::string name = std::string("HWProfile/") + v.name;
        if (v.text) {
            auto text = store.GetString(name);
            if (!text || text->size() >= v.size) return false;
            std::memcpy(&r[v.offset], text->data(), text->size());
        } else {
            auto bytes = store.GetBinary(name);
            if (!bytes || bytes->size() != v.size) return false;
            std::memcpy(&r[v.offset], bytes->data(), v.size);
        }
    }
    return true;
}

bool WriteHardwareProfile(platform::KeyValueStore& store, const HardwareProfile& r) {
    for (const StoredValue& v : kStored) {
        const std::string name = std::string("HWProfile/") + v.name;
        bool ok;
        if (v.text) {
            const char* text = reinterpret_cast<const char*>(&r[v.offset]);
            ok = store.SetString(name, std::string(text, strnlen(text, v.size - 1)));
        } else {
            ok = store.SetBinary(name, std::vector<u8>(&r[v.offset], &r[v.offset] + v.size));
        }
        if (!ok) return false;
    }
    return true;
}

bool HardwareProfilesMatch(const HardwareProfile& s, const HardwareProfile& n) {
    if (s[kHwProcessorType] != n[kHwProcessorType]) return false;
    // The clock is compared on its low byte (offset 3), with a 25 % tolerance.
    int a = s[kHwProcessorClock + 1];
    int b = n[kHwProcessorClock + 1];
    if (std::abs(a - b) > static_cast<int>(std::min(a, b) * 0.25)) return false;
    if (std::memcmp(&s[kHwTotalRamMB], &n[kHwTotalRamMB], 2) != 0) return false;
    if (std::memcmp(&s[kHwLargestPartitionMB], &n[kHwLargestPartitionMB], 2) != 0) return false;
    if (std::memcmp(&s[kHwTimeZoneBias], &n[kHwTimeZoneBias], 4) != 0) return false;
    for (size_t at : {kHwVideoCard1, kHwVideoCard2, kHwModemManufacturer, kHwModemModel}) {
        const char* x = reinterpret_cast<const char*>(&s[at]);
        const char* y = reinterpret_cast<const char*>(&n[at]);
        if (std::strncmp(x, y, kHwTextSize) != 0) return false;
    }
    return true;
}

bool HardwareProfileChanged(platform::KeyValueStore& store, const HardwareProfile& fresh) {
    HardwareProfile stored;
    if (ReadHardwareProfile(store, stored) && HardwareProfilesMatch(stored, fresh)) return false;
    WriteHardwareProfile(store, fresh);
    return true;
}
