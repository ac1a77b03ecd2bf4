#include "platform/sdl/x_error_handlers.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

#include "platform/display_loss.h"

namespace platform {
namespace {

// Xlib is reached through the library SDL loaded at run time, as SDL itself does: the game
// does not link against it.
using SetErrorHandler = XErrorHandler (*)(XErrorHandler);
using SetIoErrorHandler = XIOErrorHandler (*)(XIOErrorHandler);
using GetErrorText = int (*)(Display*, int, char*, int);
using DisplayName = char* (*)(Display*);

GetErrorText g_getErrorText = nullptr;
DisplayName g_displayName = nullptr;
std::atomic<unsigned long> g_window{0};
// The process that installed the handlers: a message box process forked from it inherits
// them but has nothing to save and ends as Xlib would.
pid_t g_installer = 0;

int OnXError(Display* display, XErrorEvent* event) {
    if (::getpid() != g_installer) ::_exit(1);
    char cause[256];
    const unsigned long window = g_window.load();
    if (window != 0 && event->resourceid == window &&
        (event->error_code == BadWindow || event->error_code == BadDrawable)) {
        std::snprintf(cause, sizeof cause, "another X client destroyed the game window");
    } else {
        char text[128] = "unknown error";
        if (g_getErrorText) g_getErrorText(display, event->error_code, text, sizeof text);
        std::snprintf(cause, sizeof cause,
                      "the X server refused a request of the game (%s; request %d.%d)", text,
                      event->request_code, event->minor_code);
    }
    ReportDisplayLost(cause);
    return 0;
}

int OnXIoError(Display* display) {
    if (::getpid() != g_installer) ::_exit(1);
    char cause[256];
    const char* name = g_displayName ? g_displayName(display) : nullptr;
    std::snprintf(cause, sizeof cause, "the connection to the X server %s was lost",
                  name && *name ? name : "of the game window");
    ReportDisplayLost(cause);
    // Returning would let Xlib end the process with the world unsaved: this thread waits
    // here until the server thread has saved and ends the process.
    for (;;)
        ::pause();
}

}  // namespace

void SyncXDisplay(void* display) {
    if (!display) return;
    void* xlib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!xlib) return;
    using Sync = int (*)(Display*, Bool);
    if (auto sync = reinterpret_cast<Sync>(::dlsym(xlib, "XSync")))
        sync(static_cast<Display*>(display), False);
    ::dlclose(xlib);
}

void InstallXErrorHandlers(unsigned long window) {
    void* xlib = ::dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!xlib) return;
    auto setError = reinterpret_cast<SetErrorHandler>(::dlsym(xlib, "XSetErrorHandler"));
    auto setIoError = reinterpret_cast<SetIoErrorHandler>(::dlsym(xlib, "XSetIOErrorHandler"));
    g_getErrorText = reinterpret_cast<GetErrorText>(::dlsym(xlib, "XGetErrorText"));
    g_displayName = reinterpret_cast<DisplayName>(::dlsym(xlib, "XDisplayString"));
    g_window.store(window);
    g_installer = ::getpid();
    if (setError) setError(&OnXError);
    if (setIoError) setIoError(&OnXIoError);
    // The library stays loaded while SDL uses it; the handle taken here is not needed.
    ::dlclose(xlib);
}

}  // namespace platform
