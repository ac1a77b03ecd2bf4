#include "layering/include_layers.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>

namespace layering {
namespace {

namespace fs = std::filesystem;

// The governed layers, most specific prefix first.
const char* const kLayers[] = {
    "server/frame",    "script/language", "script/compiler", "script/runtime",
    "script/builtins", "client/data",     "client/render",   "client/world",
    "client/net",      "client/gumps",    "client/app",      "platform",
    "core",            "server",          "script",          "client",
    "movie",           "app"};

// Which layers each layer may include besides itself; naming a layer admits its sub-layers
// too ("script" admits "script/runtime"). server/frame sits above the server's subsystems (it
// runs them); the subsystems never reach back into it. The script language is a library the
// server embeds and never includes the server: language/ (signatures, value types, triggers,
// tokens, the program form and its loader) at the bottom, the compiler and the runtime on it
// (never each other), the language's builtins on the runtime. Inside the client: pixels and
// data files (render reads data: art, fonts) < the world model and its view < the link, whose
// handlers write the model < the windows < the shell.
const std::map<std::string, std::set<std::string>> kAllowed = {
    {"platform", {}},
    {"core", {"platform"}},
    {"server", {"script", "core", "platform"}},
    {"script/language", {"core", "platform"}},
    {"script/compiler", {"script/language", "core", "platform"}},
    {"script/runtime", {"script/language", "core", "platform"}},
    {"script/builtins", {"script/runtime", "script/language", "core", "platform"}},
    {"script", {"script", "core", "platform"}},
    {"server/frame", {"server", "script", "core", "platform"}},
    {"client", {"core", "platform"}},
    {"client/data", {"core", "platform"}},
    {"client/render", {"client/data", "core", "platform"}},
    {"client/world", {"client/render", "client/data", "core", "platform"}},
    {"client/net", {"client/world", "client/render", "client/data", "core", "platform"}},
    {"client/gumps",
     {"client/net", "client/world", "client/render", "client/data", "core", "platform"}},
    {"client/app",
     {"client/gumps", "client/net", "client/world", "client/render", "client/data", "core",
      "platform"}},
    {"movie", {"client", "core", "platform"}},
    {"app", {"server/frame", "server", "script", "client", "movie", "core", "platform"}},
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
    if (it == kAllowed.end()) return false;
    for (const std::string& allowed : it->second) {
        if (to == allowed || to.compare(0, allowed.size() + 1, allowed + "/") == 0) return true;
    }
    return false;
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
