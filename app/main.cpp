// Process entry of the demo: the server runs on this thread, the client on a thread of its
// own. Start-up order: the server configuration (data archive, server.txt, random seed),
// then the progress window, the saved process arguments and the server main loop.
#include <cstdio>
#include <string>

#include "core/process_link.h"
#include "movie/intro_movie.h"
#include "server/frame/progress_window.h"
#include "server/frame/server_main_loop.h"
#include "server/frame/server_out_of_memory.h"
#include "server/server_config.h"

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

}  // namespace

int main(int argc, char** argv) {
    // This thread is the server's; the client thread sets its own report when it starts.
    InstallServerOutOfMemoryHandler();
    movie::InstallIntroMovie();
    std::string error;
    if (g_serverConfig.Start("zqdemo.dat", &error) != 0) {
        std::fprintf(stderr, "zqdemo: %s\n", error.c_str());
        return 1;
    }
    int result;
    {
        ProgressWindow progressWindow;
        SaveProcessArgs(argc, argv);
        result = ServerMainLoop();
    }
    g_serverConfig.Stop();
    return result;
}
