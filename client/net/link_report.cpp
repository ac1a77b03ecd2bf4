#include "client/net/link_report.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>

namespace {
thread_local LinkReportCapture* g_capture = nullptr;
}  // namespace

void ReportLink(const std::string& line) {
    LinkReportCapture* capture = g_capture;
    if (capture) capture->lines_.push_back(line);
    if (!capture || !capture->quiet_) std::fprintf(stderr, "zqdemo: %s\n", line.c_str());
}

void ReportLinkOnce(const std::string& line) {
    static std::mutex lock;
    static std::set<std::string> said;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!said.insert(line).second && !g_capture) return;
    }
    ReportLink(line);
}

LinkReportCapture::LinkReportCapture() : previous_(g_capture) {
    g_capture = this;
}

LinkReportCapture::~LinkReportCapture() {
    g_capture = previous_;
}

bool LinkReportCapture::Has(const std::string& line) const {
    return Count(line) > 0;
}

int LinkReportCapture::Count(const std::string& line) const {
    return int(std::count(lines_.begin(), lines_.end(), line));
}
