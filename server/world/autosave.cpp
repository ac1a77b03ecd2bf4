#include "server/world/autosave.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>

#include "core/log_sink.h"
#include "platform/clock.h"
#include "server/world/world_save.h"

namespace {

struct AutosaveState {
    bool hasWorld = false;
    // The save the world was loaded from while the load dropped objects of it: kept aside by
    // the first save that replaces it.
    std::string keepAside;
    int dropped = 0;
    bool requested = false;
    u32 lastSave = 0;
    u64 lastMicros = 0;
};

AutosaveState g_autosave;

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

void NoteWorldLoaded(const std::string& source, bool fromSave, int droppedObjects) {
    g_autosave.hasWorld = true;
    g_autosave.dropped = droppedObjects;
    g_autosave.keepAside = fromSave && droppedObjects > 0 ? source : std::string();
}

void ForgetLoadedWorld() {
    g_autosave.hasWorld = false;
    g_autosave.keepAside.clear();
    g_autosave.dropped = 0;
    g_autosave.requested = false;
}

bool HasWorldToSave() {
    return g_autosave.hasWorld;
}

void RequestWorldSave() {
    g_autosave.requested = true;
}

void StartAutosaveClock(u32 nowMs, u32 aheadMs) {
    g_autosave.lastSave = nowMs - aheadMs;
    g_autosave.requested = false;
}

bool IsWorldSaveDue(u32 nowMs) {
    return g_autosave.requested ||
           platform::HasElapsed(g_autosave.lastSave, nowMs, kAutosaveIntervalMs);
}

std::string KeptSavePath(const std::string& savePath) {
    for (int n = 1;; ++n) {
        std::string candidate = savePath + ".dropped-" + std::to_string(n);
        if (!FileExists(candidate)) return candidate;
    }
}

int SaveRunningWorld(u32 nowMs, std::string* error, platform::FileOps& ops) {
    g_autosave.lastSave = nowMs;
    g_autosave.requested = false;
    if (!g_autosave.hasWorld) return 0;
    const std::string path = WorldSavePath();
    // The kept copy is only wanted while the save still is the file the load read.
    const bool keep = !g_autosave.keepAside.empty() && g_autosave.keepAside == path;
    const std::string kept = keep ? KeptSavePath(path) : std::string();
    const auto start = std::chrono::steady_clock::now();
    const int result = SaveWorld(error, ops, kept);
    g_autosave.lastMicros = static_cast<u64>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                 std::chrono::steady_clock::now() - start)
                                                 .count());
    if (result != 0) return result;
    if (keep) {
        g_autosave.keepAside.clear();
        if (FileExists(kept)) {
            std::fprintf(stderr,
                         "zqdemo: the load dropped %d object(s) of %s: that save is kept as %s\n",
                         g_autosave.dropped, path.c_str(), kept.c_str());
            std::fflush(stderr);
        }
    }
    const std::string line = "the world was saved to " + path + " in " +
                             std::to_string(g_autosave.lastMicros / 1000) + " ms";
    GetLogSink().Log(0, 0, 0, "", "save", "misc", line.c_str());
    return 0;
}

u64 LastWorldSaveMicros() {
    return g_autosave.lastMicros;
}
