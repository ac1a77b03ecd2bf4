#include "client/data/client_settings.h"

#include <utility>

namespace {
ClientSettings& Settings() {
    static ClientSettings settings;
    return settings;
}
}  // namespace

std::string PathBelow(std::string dir, std::string_view name) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    for (char c : name)
        dir += c == '\\' ? '/' : c;
    return dir;
}

const ClientSettings& TheClientSettings() {
    return Settings();
}

void SetClientSettings(ClientSettings settings) {
    Settings() = std::move(settings);
}
