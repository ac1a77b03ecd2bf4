#include "layering/include_layers.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>

namespace layering {
namespace {

namespace fs = std::filesystem;

// The governed layers, most specific prefix first. "server" is the server's root folder (its
// configuration); each subsystem of the server is a layer of its own.
const char* const kLayers[] = {"server/frame",
                               "server/world",
                               "server/area",
                               "server/rules",
                               "server/net",
                               "server/player",
                               "server/script_api",
                               "server/admin",
                               "platform",
                               "core",
                               "server",
                               "script",
                               "client",
                               "movie",
                               "app"};

// Which layers each layer may include besides itself.
// Inside the server, lower folders come first: world < area < rules < net, then player above
// net, then script_api and admin above player. An upper folder calls a lower one directly; a
// lower one that must ask an upper one does so through an interface it owns and the upper side
// installs (so the world never includes net). server/frame sits above every subsystem (it runs
// them and installs their services); none reaches back into it.
// What every subsystem of the server may include: the server's root, the script language, core
// and platform; each layer adds the ones below it.
const std::set<std::string> kServerBase = {"server", "script", "core", "platform"};
std::set<std::string> Above(std::set<std::string> below, std::initializer_list<const char*> more) {
    below.insert(more.begin(), more.end());
    return below;
}
const std::set<std::string> kWorld = Above(kServerBase, {"server/world"});
const std::set<std::string> kArea = Above(kWorld, {"server/area"});
const std::set<std::string> kRules = Above(kArea, {"server/rules"});
const std::set<std::string> kNet = Above(kRules, {"server/net"});
const std::set<std::string> kPlayer = Above(kNet, {"server/player"});
const std::set<std::string> kServerTop =
    Above(kPlayer, {"server/script_api", "server/admin", "server/frame"});

const std::map<std::string, std::set<std::string>> kAllowed = {
    {"platform", {}},
    {"core", {"platform"}},
    {"server", {"core", "platform"}},
    {"server/world", kServerBase},
    {"server/area", kWorld},
    {"server/rules", kArea},
    {"server/net", kRules},
    {"server/player", kNet},
    {"server/script_api", kPlayer},
    {"server/admin", kPlayer},
    {"server/frame", Above(kPlayer, {"server/script_api", "server/admin"})},
    // The script language may still reach the server's subsystems (not its frame).
    {"script", Above(kPlayer, {"server/script_api", "server/admin"})},
    {"client", {"core", "platform"}},
    {"movie", {"client", "core", "platform"}},
    {"app", Above(kServerTop, {"client", "movie"})},
};

// The header of a `#include "…"` line; empty for any other line.
std::string QuotedInclude(const std::string& line) {
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') return {};
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0) return {};
    at = line.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || line[at] != '"') return {};
    const size_t end = line.find('"', at + 1);
    return end == std::string::npos ? std::string() : line.substr(at + 1, end - at - 1);
}

bool IsSource(const fs::path& path) {
    const auto ext = path.extension();
    return ext == ".h" || ext == ".cpp";
}

}  // namespace

std::string LayerOf(const std::string& relativePath) {
    for (const char* layer : kLayers) {
        const std::string prefix = std::string(layer) + "/";
        if (relativePath.compare(0, prefix.size(), prefix) == 0) return layer;
    }
    return {};
}

bool MayInclude(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty() || from == to) return true;
    const auto it = kAllowed.find(from);
    return it != kAllowed.end() && it->second.count(to) != 0;
}

std::vector<std::string> FindLayerViolations(const fs::path& root) {
    std::vector<std::string> found;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
        const std::string file = fs::relative(entry.path(), root).generic_string();
        const std::string from = LayerOf(file);
        if (from.empty()) continue;
        std::ifstream in(entry.path());
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            const std::string named = QuotedInclude(line);
            if (named.empty()) continue;
            std::string header = named;
            // A header named from the including file's own folder.
            if (LayerOf(header).empty()) {
                header =
                    (fs::path(file).parent_path() / header).lexically_normal().generic_string();
            }
            const std::string to = LayerOf(header);
            if (!MayInclude(from, to)) {
                found.push_back(file + ":" + std::to_string(number) + ": includes \"" + named +
                                "\" (" + from + " → " + to + ")");
            }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

}  // namespace layering
