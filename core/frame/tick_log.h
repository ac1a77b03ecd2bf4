#pragma once
// The log calls of the world tick and the load governor: system entries (no acting player,
// serial 0, no actor name) with a source tag, a severity tag and a message.
#include <functional>
#include <string>

void TickLog(const char* source, const char* severity, const std::string& message);

// Lets a test see every entry written through TickLog; an empty function stops it.
using TickLogObserver = std::function<void(const std::string& source, const std::string& severity,
                                           const std::string& message)>;
void SetTickLogObserver(TickLogObserver observer);
