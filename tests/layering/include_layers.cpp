#include "layering/include_layers.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>

namespace layering {
namespace {

namespace fs = std::filesystem;

// The governed layers, most specific prefix first. "server" is the server's root folder (its
// configuration); each subsystem of the server, of the script language and of the client is a
// layer of its own.
const char* const kLayers[] = {
    "server/frame",   "server/world",    "server/area",     "server/rules",    "server/net",
    "server/player",  "server/script_api", "server/admin",  "script/language", "script/compiler",
    "script/runtime", "script/builtins", "client/data",     "client/render",   "client/world",
    "client/net",     "client/gumps",    "client/app",      "platform",        "core",
    "server",         "script",          "client",          "movie",           "app"};

using LayerSet = std::set<std::string>;

// `below` and the layers named: each floor may include every floor under it.
LayerSet Plus(LayerSet below, std::initializer_list<const char*> more) {
    below.insert(more.begin(), more.end());
    return below;
}

const LayerSet kBase = {"core", "platform"};

// The script language is a library the server embeds and never includes the server:
// language/ (signatures, value types, triggers, tokens, the program form and its loader) at the
// bottom, the compiler and the runtime on it (never each other), the language's builtins on
// the runtime.
const LayerSet kLanguage = Plus(kBase, {"script/language"});
const LayerSet kScript =
    Plus(kLanguage, {"script", "script/compiler", "script/runtime", "script/builtins"});

// Inside the server, lower folders come first: world < area < rules < net < player <
// script_api, admin. An upper folder calls a lower one directly; a lower one that must ask an
// upper one does so through an interface it owns and the upper side installs (so the world
// never includes net). server/frame sits above every subsystem (it runs them and installs their
// services); none reaches back into it.
const LayerSet kServerRoot = Plus(kScript, {"server"});
const LayerSet kWorld = Plus(kServerRoot, {"server/world"});
const LayerSet kArea = Plus(kWorld, {"server/area"});
const LayerSet kRules = Plus(kArea, {"server/rules"});
const LayerSet kNet = Plus(kRules, {"server/net"});
const LayerSet kPlayer = Plus(kNet, {"server/player"});
const LayerSet kServerTop = Plus(kPlayer, {"server/script_api", "server/admin", "server/frame"});

// Inside the client: pixels and data files (render reads data: art, fonts) < the world model
// and its view < the link, whose handlers write the model < the windows < the shell.
const LayerSet kClientData = Plus(kBase, {"client", "client/data"});
const LayerSet kClientRender = Plus(kClientData, {"client/render"});
const LayerSet kClientWorld = Plus(kClientRender, {"client/world"});
const LayerSet kClientNet = Plus(kClientWorld, {"client/net"});
const LayerSet kClientGumps = Plus(kClientNet, {"client/gumps"});
const LayerSet kClientAll = Plus(kClientGumps, {"client/app"});

// Which layers each layer may include besides itself.
const std::map<std::string, LayerSet> kAllowed = {
    {"platform", {}},
    {"core", {"platform"}},
    {"script/language", kBase},
    {"script/compiler", kLanguage},
    {"script/runtime", kLanguage},
    {"script/builtins", Plus(kLanguage, {"script/runtime"})},
    {"script", kScript},
    {"server", kScript},
    {"server/world", kServerRoot},
    {"server/area", kWorld},
    {"server/rules", kArea},
    {"server/net", kRules},
    {"server/player", kNet},
    {"server/script_api", kPlayer},
    {"server/admin", kPlayer},
    {"server/frame", Plus(kPlayer, {"server/script_api", "server/admin"})},
    {"client", kClientData},
    {"client/data", kBase},
    {"client/render", kClientData},
    {"client/world", kClientRender},
    {"client/net", kClientWorld},
    {"client/gumps", kClientNet},
    {"client/app", kClientGumps},
    {"movie", kClientAll},
    {"app", Plus(Plus(kServerTop, {"movie"}), {"client", "client/data", "client/render",
                                                "client/world", "client/net", "client/gumps",
                                                "client/app"})},
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

namespace {

// The governed top-level folders. Only these are walked: build trees beside them change
// while other tests run, and a file vanishing under the walk would end it.
const char* const kGovernedRoots[] = {"platform", "core",  "server", "script",
                                      "client",   "movie", "app"};

std::vector<fs::path> GovernedSources(const fs::path& root) {
    std::vector<fs::path> sources;
    for (const char* top : kGovernedRoots) {
        std::error_code error;
        if (!fs::is_directory(root / top, error)) continue;
        for (auto it = fs::recursive_directory_iterator(root / top, error);
             !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
            if (it->is_regular_file(error) && IsSource(it->path())) sources.push_back(it->path());
        }
    }
    return sources;
}

}  // namespace

std::vector<std::string> FindLayerViolations(const fs::path& root) {
    std::vector<std::string> found;
    for (const fs::path& path : GovernedSources(root)) {
        const fs::directory_entry entry(path);
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
