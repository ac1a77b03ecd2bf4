#include "x_window_search.h"

#include <chrono>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace screen {
namespace {

// The process that owns a window, from the _NET_WM_PID property SDL sets; 0 when absent.
long WindowPid(Display* display, Window window) {
    Atom property = XInternAtom(display, "_NET_WM_PID", True);
    if (property == None) return 0;
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1 && format == 32) {
        pid = *reinterpret_cast<long*>(data);
    }
    if (data) XFree(data);
    return pid;
}

// Windows come and go while we look at them: an X error about one is not fatal here.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

bool IsMapped(Display* display, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

}  // namespace

Window FindShownWindow(Display* display, const std::string& title, long pid, int timeoutMs) {
    XErrorHandler oldHandler = XSetErrorHandler(IgnoreXError);
    Window root = DefaultRootWindow(display);
    Window target = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Window parent, *children = nullptr;
        unsigned n = 0;
        Window rootOut;
        XQueryTree(display, root, &rootOut, &parent, &children, &n);
        for (unsigned c = 0; c < n && !target; ++c) {
            // The name's bytes whatever its type (SDL's boxes name theirs in UTF-8).
            XTextProperty text{};
            if (XGetWMName(display, children[c], &text) && text.value) {
                std::string name(reinterpret_cast<const char*>(text.value), text.nitems);
                if (name.rfind(title, 0) == 0 && IsMapped(display, children[c]) &&
                    (pid == 0 || WindowPid(display, children[c]) == pid)) {
                    target = children[c];
                }
                XFree(text.value);
            }
        }
        if (children) XFree(children);
        if (target || std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XSetErrorHandler(oldHandler);
    return target;
}

void AskToClose(Display* display, Window window) {
    XErrorHandler oldHandler = XSetErrorHandler(IgnoreXError);
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = window;
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &ev);
    XSync(display, False);
    XSetErrorHandler(oldHandler);
}

}  // namespace screen
