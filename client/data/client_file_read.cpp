#include "client/data/client_file_read.h"

#include <cstdio>

#include "platform/bounded_file_read.h"

ClientFileRead ReadClientFile(const std::string& path, size_t maxBytes, bool prefixOnly,
                              std::string& out, const char* instead) {
    platform::FileReadResult r = platform::ReadBoundedFile(
        path, maxBytes,
        prefixOnly ? platform::Oversize::kTakePrefix : platform::Oversize::kWholeOnly, out);
    if (r.Read()) return ClientFileRead::kRead;
    if (r.status == platform::FileReadStatus::kMissing) return ClientFileRead::kMissing;
    std::fprintf(stderr, "zqdemo: cannot read %s (%s); %s\n", path.c_str(), r.reason.c_str(),
                 instead);
    return ClientFileRead::kFailed;
}

void ReportDamagedClientFile(const std::string& path, const std::string& what,
                             const char* instead) {
    std::fprintf(stderr, "zqdemo: %s %s; %s\n", path.c_str(), what.c_str(), instead);
}

void ReportShortClientFile(const std::string& path, size_t size, size_t expected,
                           const char* instead) {
    ReportDamagedClientFile(
        path, "is " + std::to_string(size) + " bytes, " + std::to_string(expected) + " expected",
        instead);
}
