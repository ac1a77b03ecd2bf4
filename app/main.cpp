// Process entry of the demo: the server runs on this thread, the client on a thread of its
// own. Start-up order: the world lock (before anything of the world is read), the game's
// log, the server configuration (data archive, server.txt, random seed), then the progress
// window, the saved process arguments and the server main loop.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/archive.h"
#include "core/log_file.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "movie/intro_movie.h"
#include "platform/display_loss.h"
#include "platform/paths.h"
#include "platform/process_exit.h"
#include "platform/window_backend.h"
#include "server/frame/progress_window.h"
#include "server/frame/server_main_loop.h"
#include "server/frame/server_out_of_memory.h"
#include "server/frame/world_lock.h"
#include "server/server_config.h"
#include "server/world/world_save.h"

namespace {

void SaveProcessArgs(int argc, char** argv) {
    ProcessArgs& saved = SavedProcessArgs();
    saved.argv.assign(argv, argv + argc);
    saved.commandLine.clear();
    for (int i = 1; i < argc; ++i) {
        if (i > 1) saved.commandLine += ' ';
        saved.commandLine += argv[i];
    }
    saved.showCommand = 1;
}

bool AsksForHelp(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    }
    return false;
}

// The data archive is looked for in the working directory; naming it in full tells a user
// who started the game from elsewhere where it was looked for.
std::string ArchivePath() {
    std::error_code ec;
    std::filesystem::path path = std::filesystem::absolute(kArchiveFileName, ec);
    return ec ? std::string(kArchiveFileName) : path.string();
}

void PrintUsage(std::FILE* out) {
    std::error_code ec;
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    const std::string workDir = ec ? std::string("(unknown)") : cwd.string();
    std::fprintf(
        out,
        "Usage: zqdemo [--help]\n"
        "\n"
        "Runs the Varnok Online demo: the game-world server and the game client in one\n"
        "process. To quit, close the game window or press Ctrl-C.\n"
        "\n"
        "Working directory: %s\n"
        "Start the game from the directory that holds its data archive.\n"
        "\n"
        "Files read:\n"
        "  zqdemo.dat       the data archive, in the working directory:\n"
        "                   %s\n"
        "                   The world's files are members of it under ../.rundir/<world>/:\n"
        "                   server.txt, map0.mul, staidx0.mul, statics0.mul, resregions.txt.\n"
        "  zqdemo.sav       the saved world, beside the data archive: written every 5 minutes,\n"
        "                   when a player logs out and when the game ends in order; read at\n"
        "                   start in place of the archive's objects. A save whose load\n"
        "                   dropped objects is kept as zqdemo.sav.dropped-N.\n"
        "  zqdemo.lock      the world lock beside the save: one game at a time runs on it;\n"
        "                   another copy started there ends before loading anything.\n"
        "  zqdemo.log       the game's log beside the save (the previous 10 MB in\n"
        "                   zqdemo.log.1); errors and warnings also go to standard error.\n"
        "  zq.cfg, login.cfg, obscene.lst, ignore.lst, chardata.mul\n"
        "                   the client's options and lists, in the directory of the program\n"
        "                   recorded as ExePath in settings.txt, else in the run directory\n"
        "                   (ZQ_RUN_DIR, else the working directory); missing lists are made.\n"
        "  settings.txt     the per-user settings, in the configuration directory:\n"
        "                   %s\n"
        "  hwprofile.dat    the hardware profile last reported to the server, in the same\n"
        "                   directory; written again (and reported) when the machine changed.\n"
        "  ZqClientApp.lock the lock that keeps a second copy from starting, in the run\n"
        "                   directory.\n"
        "\n"
        "Environment variables:\n"
        "  SERVERNAME       the world to run (default ZQGoldDemo): its files are read from\n"
        "                   ../.rundir/<SERVERNAME>/ in the data archive.\n"
        "  DISPLAY, WAYLAND_DISPLAY\n"
        "                   the display the game window opens on; without either the client\n"
        "                   runs without a window until Ctrl-C.\n"
        "  SDL_VIDEODRIVER, SDL_RENDER_DRIVER\n"
        "                   the video driver and renderer SDL is to use for the window.\n"
        "  ZQ_HEADLESS=1    run the client without a window even when a display exists.\n"
        "  ZQ_HEADLESS_CLOSE_AFTER_MS=n\n"
        "                   without a window: ask the client to close after n ms.\n"
        "  ZQ_RUN_DIR       the run directory, where the client's files and lock are looked\n"
        "                   for (default: the working directory).\n"
        "  ZQ_CONFIG_DIR    the per-user configuration directory (default\n"
        "                   $XDG_CONFIG_HOME/zqdemo, else $HOME/.config/zqdemo).\n"
        "  ZQ_MOVE_TRACE    a file the player's steps are appended to, as the server\n"
        "                   answers them and as the client asks and shows them (off when\n"
        "                   unset).\n"
        "  XDG_CONFIG_HOME, HOME\n"
        "                   used for the configuration directory when ZQ_CONFIG_DIR is unset.\n"
        "  printl           the server's print mask (a decimal number); kept for developers.\n"
        "  ZQ_AUTOSAVE_CLOCK_AHEAD_MS=n\n"
        "                   start the 5-minute save clock n ms into its interval (for tests).\n",
        workDir.c_str(), ArchivePath().c_str(), platform::UserConfigDirectory().c_str());
}

// Started from a terminal: someone reads standard error there.
bool StartedFromTerminal() {
    return ::isatty(STDIN_FILENO) || ::isatty(STDERR_FILENO);
}

// The world lock is another copy's: this one has said so and ends, having loaded nothing.
// From a terminal the line is the answer and the copy ends at once; started otherwise (from a
// desktop) the game's own box says it where the user looks, and the copy ends once the box
// is answered. Without a display the box is only written out, so nothing waits.
int EndAsSecondCopy() {
    if (StartedFromTerminal()) return 1;
    std::signal(SIGTERM, QuitSignalHandler);
    std::signal(SIGINT, QuitSignalHandler);
    platform::SetMessageBoxCancelCheck(&IsQuitting);
    platform::Backend().ShowMessage("Another instance of ZQ is already running.", "ERROR",
                                    platform::MessageIcon::kError);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // This thread is the server's; the client thread sets its own report when it starts.
    InstallServerOutOfMemoryHandler();
    if (AsksForHelp(argc, argv)) {
        PrintUsage(stdout);
        return 0;
    }
    movie::InstallIntroMovie();
    std::string error;
    // The save belongs to the process holding the lock beside it, taken before anything of
    // the world is read and held until after the final save (the process's end).
    // Where there is no archive nothing starts, and no lock file is left behind either.
    const std::string archive = ArchivePath();
    std::error_code missing;
    if (std::filesystem::exists(archive, missing)) {
        const WorldLockResult lock = TakeWorldLock(archive, &error);
        if (lock != WorldLockResult::kTaken) {
            std::fprintf(stderr, "zqdemo: %s\n", error.c_str());
            std::fflush(stderr);
            return lock == WorldLockResult::kHeldElsewhere ? EndAsSecondCopy() : 1;
        }
    }
    if (!g_serverConfig.Start(archive.c_str(), &error)) {
        std::fprintf(stderr, "zqdemo: %s\n", error.c_str());
        return 1;
    }
    // Everything the server logs from the world load on.
    LogFile log;
    if (!log.Open(PathBesideArchive(archive, ".log"), &error)) {
        std::fprintf(stderr, "zqdemo: %s; the game runs without it\n", error.c_str());
    }
    GetLogSink().SetOutput(&log);
    int result;
    {
        ProgressWindow progressWindow;
        SaveProcessArgs(argc, argv);
        result = ServerMainLoop();
    }
    // A client thread still running (held inside Xlib after a lost display, or not ended in
    // its grace time) may still touch the process's statics: the process ends without tearing
    // them down. The world is saved by now.
    if (ClientThreadLeftRunning()) platform::ExitProcess(result);
    GetLogSink().SetOutput(nullptr);
    g_serverConfig.Stop();
    return result;
}
