// The body of the client thread: single-instance and display checks, start-up of every
// client subsystem in a fixed order, the main loop until the quit message, and shutdown.
#include "client/app/client_main.h"

#include <cstdio>

#include "client/app/client_app.h"
#include "client/app/client_main_loop.h"
#include "client/app/client_services.h"
#include "client/app/client_subsystem_services.h"
#include "client/app/full_screen_display.h"
#include "client/app/intro_movie_hook.h"
#include "client/app/main_window.h"
#include "client/data/back_buffer.h"
#include "client/data/client_data_start.h"
#include "client/data/client_version.h"
#include "client/data/pixel_format.h"
#include "client/gumps/framework/cursor_manager.h"
#include "client/world/client_mobile.h"
#include "core/loop_state.h"
#include "core/process_link.h"
#include "platform/clock.h"
#include "platform/instance_lock.h"
#include "platform/paths.h"
#include "platform/window_backend.h"

namespace {

// Held for the life of the process once taken: the system drops it when the process ends.
platform::InstanceLock& ClientInstanceLock() {
    static platform::InstanceLock lock;
    return lock;
}

}  // namespace

int ClientMain(const ProcessArgs& args) {
    InstallClientServices();
    return RunClientWithInstalledServices(args);
}

int RunClientWithInstalledServices(const ProcessArgs& args) {
    ClientSubsystemServices& subsystems = GetClientSubsystemServices();
    platform::WindowBackend& backend = platform::Backend();
    const std::string runDir = platform::RunDirectory();
    // A box that waits for the user is taken down once the process is asked to end.
    platform::SetMessageBoxCancelCheck(&IsQuitting);

    // 1-3: one client at a time, no patcher running, a desktop of at least 16 bits.
    if (!ClientInstanceLock().Held()) {
        using Result = platform::InstanceLock::Result;
        Result lock = ClientInstanceLock().TryAcquire(runDir, "ZqClientApp");
        if (lock == Result::kHeldElsewhere) {
            ShowMessageBox("Another instance of ZQ is already running.", "ERROR", true);
        } else if (lock == Result::kUnavailable) {
            // Not a second copy: the run directory cannot hold the lock file.
            std::fprintf(stderr, "zqdemo: cannot make the instance lock in %s\n", runDir.c_str());
        }
    }
    if (platform::IsInstanceLockHeld(runDir, "ZqPatchApp")) {
        ShowMessageBox("An instance of ZQ Patch is already running.", "ERROR", true);
    }
    if (backend.DesktopBitsPerPixel() < 16) {
        ShowMessageBox(
            "ERROR: Varnok Online requires that Windows be in 16-bit color mode in order to "
            "run.\n\nPlease go to the Windows Display Settings in the Control Panel and change "
            "the color setting before attempting to run ZQ.",
            "Error: Color Mode", true);
    }

    // The client-wide object: paths, options (zq.cfg, login.cfg), character colours.
    CClientApp& app = CClientApp::CreateInstance();
    // The pixel format is fixed for the process from the option read just now.
    SetPixelFormat565(app.options.use565);
    // The configured edit-server address stands unless the server has set its own.
    if (ClientServerAddress.load() == 0 && app.options.editServerAddress != 0) {
        ClientServerAddress.store(app.options.editServerAddress);
    }

    // The tables every later loader builds on: tile data, animation data, hues.
    LoadClientDataTables(TheClientSettings());

    // 4-23.
    subsystems.CreateMultiPlacement();
    app.LoadWordLists();
    InitDataCache(TheClientSettings());
    LoadDataPatches();
    CursorShellLoadArt();
    if (!ThePlayer()) new CClientPlayer;
    ClientMainWindow& window = TheMainWindow();
    window.Create(args, app);
    CreateBackBuffer();
    platform::ShowSystemCursor(false);
    subsystems.CursorSetDrawEnabled(1);
    subsystems.SoundInit();
    // The intro plays before the world-view gumps exist; a key or click skips it.
    if (app.options.showIntroAnim) RunIntroMovie();
    subsystems.CreateWorldViewGumps();
    subsystems.CreateSpeechLine();
    subsystems.GiveSpeechLineFocus();
    subsystems.CreateConnection();
    // The window has no menu, so there are no check marks to set.
    subsystems.ShowSystemMessage(ClientVersionLine(), 0, 3);
    ClientMainLoop loop(platform::NowMs());
    subsystems.MusicPlayTrack(8, true, false);

    int code = RunClientMainLoop(loop);

    // Shutdown.
    subsystems.LanguageCleanup();
    window.KillCursorTimer();
    for (auto& closeDialog : window.dialogTable) {
        if (closeDialog) {
            auto close = std::move(closeDialog);
            closeDialog = nullptr;
            close();
        }
    }
    delete ThePlayer();
    subsystems.DeleteSpeechLine();
    subsystems.DeleteConnection();
    subsystems.CloseJournalLog();
    ReleaseFullScreenDisplay();
    DeleteBackBuffer();
    CClientApp::DestroyInstance();
    return code;
}
