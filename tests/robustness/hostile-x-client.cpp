// SPDX-License-Identifier: MIT
// An X client that misbehaves on purpose, for the robustness tests.
//   hostile-x-client hold-clipboard     takes the CLIPBOARD and never answers a request for
//                                       it, as a hung program would; prints "owned" once
//                                       it holds it, then waits to be killed
//   hostile-x-client time-warp WIN MS   sends WIN a property change stamped MS ms ahead of
//                                       the server's clock; a client that takes its time
//                                       from events then asks for the selection "in the
//                                       future", and X refuses such a request
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
int holdClipboard(Display *display, Window window)
{
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    if (XGetSelectionOwner(display, clipboard) != window) {
        std::fprintf(stderr, "hostile-x-client: could not take the clipboard\n");
        return 1;
    }
    std::printf("owned\n");
    std::fflush(stdout);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event); // SelectionRequest and SelectionClear go unanswered
    }
}

// The server's clock, read from the stamp of a property change on our own window.
Time serverTime(Display *display, Window window)
{
    XSelectInput(display, window, PropertyChangeMask);
    const Atom probe = XInternAtom(display, "GPD_TIME_PROBE", False);
    const unsigned char none = 0;
    XChangeProperty(display, window, probe, XA_STRING, 8, PropModeReplace, &none, 0);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == PropertyNotify && event.xproperty.atom == probe)
            return event.xproperty.time;
    }
}

int timeWarp(Display *display, Window own, Window target, long aheadMs)
{
    XEvent event{};
    event.xproperty.type = PropertyNotify;
    event.xproperty.window = target;
    event.xproperty.atom = XInternAtom(display, "GPD_TIME_WARP", False);
    event.xproperty.time = serverTime(display, own) + Time(aheadMs);
    event.xproperty.state = PropertyNewValue;
    if (!XSendEvent(display, target, False, PropertyChangeMask, &event))
        return 1;
    XSync(display, False);
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "hostile-x-client: no display\n");
        return 1;
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    if (argc == 2 && std::strcmp(argv[1], "hold-clipboard") == 0)
        return holdClipboard(display, window);
    if (argc == 4 && std::strcmp(argv[1], "time-warp") == 0) {
        const int status = timeWarp(display, window, std::strtoul(argv[2], nullptr, 0),
                                    std::strtol(argv[3], nullptr, 10));
        XCloseDisplay(display);
        return status;
    }
    std::fprintf(stderr, "usage: %s hold-clipboard | time-warp WINDOW MS\n", argv[0]);
    return 2;
}
