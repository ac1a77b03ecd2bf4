#pragma once
// The layering rule of the source tree, checked over every `#include "…"`: platform/ at the
// bottom, core/ above it, the script language above core/ (its folders layered: language/ <
// compiler/, runtime/ < builtins/), the server's subsystems above it and the client above
// core/ (never each other), app/ on top. Inside the server: world < area < rules < net <
// player < script_api, admin, with server/frame above them all (the world never includes net).
// Inside the client: data, render < world < net < gumps < app. tools/, tests/, bench/ and
// fuzz/ may use anything.
#include <filesystem>
#include <string>
#include <vector>

namespace layering {

// The layer a source path belongs to ("server/frame", "server/world", "server" for the server's
// root folder, "script", "client", …), from its path relative to the tree's root; empty for
// folders the rule does not govern.
std::string LayerOf(const std::string& relativePath);

// True when code of layer `from` may include a header of layer `to`.
bool MayInclude(const std::string& from, const std::string& to);

// Every include of the tree under `root` that points up a layer or across the halves, one
// text each: "file:line: includes \"header\" (from → to)".
std::vector<std::string> FindLayerViolations(const std::filesystem::path& root);

}  // namespace layering
