#pragma once
// The client's version and the line that shows it (at start-up and on request).
#include <string>

inline constexpr const char* kClientVersion = "1.09";

inline std::string ClientVersionLine() {
    return std::string("ZQ Demo Version ") + kClientVersion + ".";
}
