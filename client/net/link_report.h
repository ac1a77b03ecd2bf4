#pragma once
// Diagnostics of the client's link: one line each, written to standard error and seen by
// any LinkReportCapture alive on the thread (tests).
#include <string>
#include <vector>

void ReportLink(const std::string& line);
// Reports the line once per process (a part not built yet says so once).
void ReportLinkOnce(const std::string& line);

class LinkReportCapture {
public:
    LinkReportCapture();
    ~LinkReportCapture();
    LinkReportCapture(const LinkReportCapture&) = delete;
    LinkReportCapture& operator=(const LinkReportCapture&) = delete;

    const std::vector<std::string>& Lines() const { return lines_; }
    bool Has(const std::string& line) const;
    int Count(const std::string& line) const;
    void Clear() { lines_.clear(); }
    // While set, nothing reaches standard error (tests that report on purpose).
    void SetQuiet(bool quiet) { quiet_ = quiet; }

private:
    friend void ReportLink(const std::string& line);
    std::vector<std::string> lines_;
    LinkReportCapture* previous_;
    bool quiet_ = true;
};
