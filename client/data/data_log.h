#pragma once
// The data layer's log lines: conditions the client survives but someone should hear about
// (a tile block that could not be written to disk, a part not built yet). Lines go to stderr;
// a test can watch them with DataLogCapture.
#include <string>
#include <vector>

void DataLog(const std::string& line);
// Logs the line the first time this key is seen in the process; later calls do nothing.
void DataLogOnce(const std::string& key, const std::string& line);

// Records the lines logged while it exists (client thread only).
class DataLogCapture {
public:
    DataLogCapture();
    ~DataLogCapture();
    DataLogCapture(const DataLogCapture&) = delete;
    DataLogCapture& operator=(const DataLogCapture&) = delete;
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    friend void DataLog(const std::string& line);
    DataLogCapture* previous_;
    std::vector<std::string> lines_;
};
