#include "client/data/data_log.h"

#include <cstdio>
#include <mutex>
#include <set>

namespace {
DataLogCapture* g_capture = nullptr;
}  // namespace

void DataLog(const std::string& line) {
    std::fprintf(stderr, "zqclient: %s\n", line.c_str());
    if (g_capture) g_capture->lines_.push_back(line);
}

void DataLogOnce(const std::string& key, const std::string& line) {
    static std::mutex mutex;
    static std::set<std::string> seen;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!seen.insert(key).second) return;
    }
    DataLog(line);
}

DataLogCapture::DataLogCapture() : previous_(g_capture) {
    g_capture = this;
}

DataLogCapture::~DataLogCapture() {
    g_capture = previous_;
}
