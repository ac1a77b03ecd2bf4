#include "client/net/hardware_profile.h"

#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <sstream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define ZQ_HAVE_CPUID 1
#endif

#include "client/data/client_log.h"
#include "platform/bounded_file_read.h"
#include "platform/paths.h"
#include "platform/save_file.h"

namespace {

// The stored profile: a mark, then the record's bytes from the processor type to the end of
// the time-zone bias (the fields the comparison reads).
constexpr char kStoredMark[4] = {'Z', 'Q', 'H', 'W'};
constexpr size_t kStoredFirst = kHwProcessorType;
constexpr size_t kStoredEnd = kHwTimeZoneBias + 4;
constexpr size_t kStoredSize = sizeof kStoredMark + (kStoredEnd - kStoredFirst);

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

std::string ReadProcText(const char* path) {
    std::string text;
    platform::ReadBoundedFile(path, 1 << 20, platform::Oversize::kTakePrefix, text);
    return text;
}

u64 StatFileSystemMB(const std::string& mountPoint) {
    struct statvfs fs;
    if (statvfs(mountPoint.c_str(), &fs) != 0) return 0;
    return static_cast<u64>(fs.f_blocks) * fs.f_frsize / 1048576;
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

int CpuClockMHz(int hint) {
    const int mhz = CpuClockFromCpuInfo(ReadProcText("/proc/cpuinfo"));
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

namespace {

u64 MonotonicMicroseconds() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<u64>(t.tv_sec) * 1000000u + static_cast<u64>(t.tv_nsec) / 1000u;
}

u64 TimeStampCounter() {
#ifdef ZQ_HAVE_CPUID
    return __rdtsc();
#else
    return 0;
#endif
}

// a / b rounded up when the remainder passes half of b.
u64 RoundedQuotient(u64 a, u64 b) {
    return b == 0 ? 0 : a / b + (a % b > b / 2 ? 1 : 0);
}

// One pass of the timer method: 50 microseconds to settle, then the counter over 1,000.
void TimerPass(u64& cycles, u64& microseconds) {
    const u64 start = MonotonicMicroseconds();
    while (MonotonicMicroseconds() - start < 50) {
    }
    const u64 from = TimeStampCounter();
    const u64 begin = MonotonicMicroseconds();
    u64 now = begin;
    while ((now = MonotonicMicroseconds()) - begin < 1000) {
    }
    cycles = TimeStampCounter() - from;
    microseconds = now - begin;
}

}  // namespace

CpuClockMeasurement MeasureCpuClock(int hint) {
    CpuClockMeasurement m;
    const bool timeStampCounter = (CpuFeatures() & 0x10) != 0;
    if ((CpuType() & kCpuForeignVendor) || !timeStampCounter || (hint >= 1 && hint <= 150))
        return m;
    u64 totalCycles = 0, totalMicroseconds = 0;
    int passes[20] = {};
    int run = 0;
    auto agree = [&] {
        const long long x1 = passes[run - 1], x2 = passes[run - 2], x3 = passes[run - 3];
        const long long sum = x1 + x2 + x3;
        return std::llabs(2 * x1 - x2 - x3) <= 3 && std::llabs(3 * x2 - sum) <= 3 &&
               std::llabs(3 * x3 - sum) <= 3;
    };
    while (run < 3 || (run < 20 && !agree())) {
        u64 cycles = 0, microseconds = 0;
        TimerPass(cycles, microseconds);
        passes[run++] = static_cast<int>(RoundedQuotient(cycles, microseconds));
        totalCycles += cycles;
        totalMicroseconds += microseconds;
    }
    m.cycles = static_cast<int>(std::min<u64>(totalCycles, 0x7FFFFFFF));
    m.microseconds = static_cast<int>(std::min<u64>(totalMicroseconds, 0x7FFFFFFF));
    if (totalMicroseconds == 0) return m;
    m.rawMHz = static_cast<int>(totalCycles / totalMicroseconds);
    const u64 tenths = totalCycles * 10 / totalMicroseconds - 10 * u64(m.rawMHz);
    m.roundedMHz = m.rawMHz + (tenths > 5 ? 1 : 0);
    return m;
}

u64 LargestFixedDriveMB(const HardwareSources& sources) {
    std::istringstream mounts(sources.mounts);
    std::string device, mountPoint, rest;
    std::set<std::string> seen;
    u64 largest = 0;
    while (mounts >> device >> mountPoint && std::getline(mounts, rest)) {
        if (device.rfind("/dev/", 0) != 0 || !seen.insert(device).second) continue;
        if (sources.fileSystemMB) largest = std::max(largest, sources.fileSystemMB(mountPoint));
    }
    return largest;
}

HardwareSources SystemHardwareSources() {
    HardwareSources s;
    s.cpuinfo = ReadProcText("/proc/cpuinfo");
    s.mounts = ReadProcText("/proc/mounts");
    s.fileSystemMB = StatFileSystemMB;
    s.measuredClockMHz = [] { return MeasureCpuClock(-1).roundedMHz; };
    struct sysinfo info;
    if (sysinfo(&info) == 0) s.totalRamBytes = static_cast<u64>(info.totalram) * info.mem_unit;
    s.processorCount = sysconf(_SC_NPROCESSORS_ONLN);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local)) s.gmtOffsetSeconds = local.tm_gmtoff;
    return s;
}

int CollectHardwareProfile(HardwareProfile& r, const HardwareSources& sources) {
    r.fill(0);
    // Processor types 386, 486 and 586 are 1 to 3; every later processor is 4.
    r[kHwProcessorType] = 4;
    int mhz = CpuClockFromCpuInfo(sources.cpuinfo);
    if (mhz < 0) mhz = sources.measuredClockMHz ? sources.measuredClockMHz() : 0;
    PutU16(r, kHwProcessorClock, (mhz < 0 || mhz > 750) ? 0 : static_cast<u32>(mhz));
    r[kHwProcessorCount] = static_cast<u8>(std::clamp<long>(sources.processorCount, 0, 255));
    // Display adapters and modem: the system keeps no such descriptions; they stay empty.
    PutU16(r, kHwTotalRamMB, ClampU16(sources.totalRamBytes >> 20));
    PutU16(r, kHwLargestPartitionMB, ClampU16(LargestFixedDriveMB(sources)));
    // The bias is minutes to add to local time for UTC: the zone's offset west of UTC.
    PutU32(r, kHwTimeZoneBias, static_cast<u32>(static_cast<s32>(-sources.gmtOffsetSeconds / 60)));
    return 1;
}

int CollectHardwareProfile(HardwareProfile& r) {
    return CollectHardwareProfile(r, SystemHardwareSources());
}

std::string HardwareProfilePath() {
    return platform::UserConfigDirectory() + "/hwprofile.dat";
}

bool ReadHardwareProfile(const std::string& path, HardwareProfile& r) {
    r.fill(0);
    std::string bytes;
    if (!platform::ReadBoundedFile(path, kStoredSize, platform::Oversize::kWholeOnly, bytes).Read())
        return false;
    if (bytes.size() != kStoredSize || bytes.compare(0, 4, kStoredMark, 4) != 0) return false;
    std::memcpy(&r[kStoredFirst], bytes.data() + sizeof kStoredMark, kStoredEnd - kStoredFirst);
    return true;
}

bool WriteHardwareProfile(const std::string& path, const HardwareProfile& r, std::string* error) {
    std::string bytes(kStoredMark, sizeof kStoredMark);
    bytes.append(reinterpret_cast<const char*>(&r[kStoredFirst]), kStoredEnd - kStoredFirst);
    platform::MakeDirectories(platform::DirectoryOf(path));
    return platform::WriteFileSafely(path, bytes.data(), bytes.size(), error);
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

bool HardwareProfileChanged(const std::string& path, const HardwareProfile& fresh) {
    HardwareProfile stored;
    if (ReadHardwareProfile(path, stored) && HardwareProfilesMatch(stored, fresh)) return false;
    std::string error;
    if (!WriteHardwareProfile(path, fresh, &error))
        LogClientError("hardware profile", ("not stored: " + error).c_str());
    return true;
}
