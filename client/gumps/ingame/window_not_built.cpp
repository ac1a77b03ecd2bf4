#include "client/gumps/ingame/window_not_built.h"

#include <set>
#include <string>

#include "client/data/client_log.h"

void SayWindowPartNotBuilt(const char* window, const char* part) {
    static std::set<std::string> said;
    if (!said.insert(std::string(window) + '\n' + part).second) return;
    LogClientError(window, (std::string(part) + ": not built yet").c_str());
}
