// SPDX-License-Identifier: MIT
// An X client that misbehaves on purpose, for the robustness tests.
//   hostile-x-client hold-clipboard [MS] takes the CLIPBOARD and never answers a request for
//                                       it, as a hung program would, or answers only after
//                                       MS ms of silence, with the text "late"; prints
//                                       "owned" once it holds it, then waits to be killed
//   hostile-x-client time-warp WIN MS   sends WIN a property change stamped MS ms ahead of
//                                       the server's clock; a client that takes its time
//                                       from events then asks for the selection "in the
//                                       future", and X refuses such a request
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// A requestor that gave up may have destroyed its window: answering it is no error.
int ignoreErrors(Display *, XErrorEvent *)
{
    return 0;
}

void answer(Display *display, const XSelectionRequestEvent &request)
{
    const Atom targets = XInternAtom(display, "TARGETS", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = request.property;
    if (request.target == targets) {
        const Atom offered[] = {targets, utf8};
        XChangeProperty(display, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(offered), 2);
    } else if (request.target == utf8) {
        XChangeProperty(display, request.requestor, request.property, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>("late"), 4);
    } else {
        reply.property = None;
    }
    XSendEvent(display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent *>(&reply));
    XFlush(display);
}

int holdClipboard(Display *display, Window window, long silenceMs)
{
    const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
    XSetSelectionOwner(display, clipboard, window, CurrentTime);
    if (XGetSelectionOwner(display, clipboard) != window) {
        std::fprintf(stderr, "hostile-x-client: could not take the clipboard\n");
        return 1;
    }
    XSetErrorHandler(&ignoreErrors);
    std::printf("owned\n");
    std::fflush(stdout);
    bool silent = true;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event); // SelectionClear goes unanswered too
        if (event.type != SelectionRequest || silenceMs < 0)
            continue;
        if (silent) {
            usleep(useconds_t(silenceMs) * 1000);
            silent = false;
        }
        answer(display, event.xselectionrequest);
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
    if ((argc == 2 || argc == 3) && std::strcmp(argv[1], "hold-clipboard") == 0)
        return holdClipboard(display, window, argc == 3 ? std::strtol(argv[2], nullptr, 10) : -1);
    if (argc == 4 && std::strcmp(argv[1], "time-warp") == 0) {
        const int status = timeWarp(display, window, std::strtoul(argv[2], nullptr, 0),
                                    std::strtol(argv[3], nullptr, 10));
        XCloseDisplay(display);
        return status;
    }
    std::fprintf(stderr, "usage: %s hold-clipboard [MS] | time-warp WINDOW MS\n", argv[0]);
    return 2;
}
