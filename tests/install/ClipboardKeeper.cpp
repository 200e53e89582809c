// SPDX-License-Identifier: MIT
// A stand-in for a desktop's clipboard manager, after the freedesktop clipboard-manager
// convention: it owns CLIPBOARD_MANAGER; when a program that owns CLIPBOARD is about to
// exit and asks it to SAVE_TARGETS, it copies the UTF8_STRING text, takes CLIPBOARD over
// and serves the text from then on.
//   ClipboardKeeper            runs until killed; prints "ready" once it owns the selection
//   ClipboardKeeper close WIN  asks window WIN to close, as a window manager's close box does
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
class ClipboardKeeper
{
public:
    explicit ClipboardKeeper(Display *display)
        : m_display(display),
          m_window(XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)),
          m_manager(atom("CLIPBOARD_MANAGER")), m_clipboard(atom("CLIPBOARD")),
          m_saveTargets(atom("SAVE_TARGETS")), m_targets(atom("TARGETS")),
          m_utf8(atom("UTF8_STRING")), m_property(atom("_KEEPER_TEXT"))
    {
    }

    bool claim()
    {
        XSetSelectionOwner(m_display, m_manager, m_window, CurrentTime);
        return XGetSelectionOwner(m_display, m_manager) == m_window;
    }

    void run()
    {
        for (;;) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == SelectionRequest)
                answer(event.xselectionrequest);
        }
    }

private:
    Atom atom(const char *name) { return XInternAtom(m_display, name, False); }

    void answer(const XSelectionRequestEvent &request)
    {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = request.display;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None;
        const Atom property = request.property != None ? request.property : request.target;

        if (request.target == m_targets) {
            const Atom offered[] = {m_targets,
                                    request.selection == m_manager ? m_saveTargets : m_utf8};
            XChangeProperty(m_display, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(offered), 2);
            reply.property = property;
        } else if (request.selection == m_manager && request.target == m_saveTargets) {
            if (save(request.time))
                reply.property = property;
        } else if (request.selection == m_clipboard && request.target == m_utf8 && m_saved) {
            XChangeProperty(m_display, request.requestor, property, m_utf8, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char *>(m_text.data()),
                            int(m_text.size()));
            reply.property = property;
        }
        XSendEvent(m_display, request.requestor, False, NoEventMask,
                   reinterpret_cast<XEvent *>(&reply));
        XFlush(m_display);
    }

    // Fetches the text from the exiting owner and takes the selection over.
    bool save(Time time)
    {
        XConvertSelection(m_display, m_clipboard, m_utf8, m_property, m_window, time);
        XEvent event;
        XIfEvent(m_display, &event, &ClipboardKeeper::isNotify, nullptr);
        if (event.xselection.property == None)
            return false;
        Atom type = None;
        int format = 0;
        unsigned long count = 0, left = 0;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(m_display, m_window, m_property, 0, 1 << 20, True, AnyPropertyType,
                               &type, &format, &count, &left, &data) != Success)
            return false;
        m_text.assign(reinterpret_cast<const char *>(data), count);
        XFree(data);
        m_saved = type == m_utf8;
        if (m_saved)
            XSetSelectionOwner(m_display, m_clipboard, m_window, CurrentTime);
        return m_saved;
    }

    static Bool isNotify(Display *, XEvent *event, XPointer)
    {
        return event->type == SelectionNotify;
    }

    Display *m_display;
    Window m_window;
    Atom m_manager, m_clipboard, m_saveTargets, m_targets, m_utf8, m_property;
    std::string m_text;
    bool m_saved = false;
};

int closeWindow(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return 0;
}
} // namespace

int main(int argc, char *argv[])
{
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("ClipboardKeeper: no X display\n", stderr);
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "close") == 0)
        return closeWindow(display, Window(std::strtoul(argv[2], nullptr, 0)));
    ClipboardKeeper keeper(display);
    if (!keeper.claim()) {
        std::fputs("ClipboardKeeper: another clipboard manager runs\n", stderr);
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    keeper.run();
}
