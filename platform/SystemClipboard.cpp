// SPDX-License-Identifier: MIT
#include "SystemClipboard.h"

#include "TextReader.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdlib>
#include <memory>

#ifdef Q_OS_WIN
#include "WindowsClipboardReader.h"

#include <qt_windows.h>
#endif
#if QT_CONFIG(xcb)
#include "X11SelectionReader.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif
#ifdef GPD_HAVE_WAYLAND
#include "WaylandSelectionReader.h"

#include <qpa/qplatformnativeinterface.h>
#include <wayland-client-core.h>
#endif

namespace {
#if QT_CONFIG(xcb)
xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Whether the X server names a window of this program as the clipboard's owner. Qt checks
// the same after taking the selection, but only logs what it finds.
bool x11OwnsClipboard()
{
    xcb_connection_t *c = x11Connection();
    if (!c)
        return false;
    const xcb_intern_atom_cookie_t atomCookie = xcb_intern_atom(c, true, 9, "CLIPBOARD");
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, atomCookie, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return false;
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr),
        &std::free);
    if (!owner || owner->owner == XCB_WINDOW_NONE)
        return false;
    // Every window a client makes has an id from the range the server gave that client.
    const xcb_setup_t *setup = xcb_get_setup(c);
    return (owner->owner & ~setup->resource_id_mask) == setup->resource_id_base;
}
#endif

#ifdef GPD_HAVE_WAYLAND
template <typename T> T *waylandResource(const char *name)
{
    return static_cast<T *>(
        QGuiApplication::platformNativeInterface()->nativeResourceForIntegration(name));
}

// Lets the compositor answer what was asked of it so far: an offer it refuses comes back
// cancelled, and Qt then no longer holds the clipboard.
void waylandRoundTrip()
{
    if (auto *display = waylandResource<wl_display>("wl_display"))
        wl_display_roundtrip(display);
}
#endif
} // namespace

SystemClipboard::SystemClipboard() : m_clipboard(QGuiApplication::clipboard())
{
    const QString platform = QGuiApplication::platformName();
    m_system = platform == QLatin1String("xcb")       ? System::X11
               : platform.startsWith(u"wayland")      ? System::Wayland
               : platform == QLatin1String("windows") ? System::Windows
                                                      : System::Other;
}

SystemClipboard::~SystemClipboard() = default;

bool SystemClipboard::clear()
{
#if QT_CONFIG(xcb)
    if (m_system == System::X11) {
        // Taking the clipboard with nothing in it: Qt's own clear first asks the owner what
        // it holds, and an owner that never answers would stop the window for seconds.
        m_clipboard->setMimeData(new QMimeData, QClipboard::Clipboard);
        return x11OwnsClipboard();
    }
#endif
    finishRead();
    m_clipboard->clear(QClipboard::Clipboard);
#ifdef Q_OS_WIN
    return CountClipboardFormats() == 0;
#else
    return true;
#endif
}

bool SystemClipboard::setText(const QString &text)
{
    finishRead();
    m_clipboard->setText(text, QClipboard::Clipboard);
    switch (m_system) {
    case System::X11:
#if QT_CONFIG(xcb)
        return x11OwnsClipboard();
#else
        return false;
#endif
    case System::Wayland:
#ifdef GPD_HAVE_WAYLAND
        waylandRoundTrip();
#endif
        return m_clipboard->ownsClipboard();
    case System::Windows:
        // Qt drops its data when the system refuses it.
        return m_clipboard->ownsClipboard();
    case System::Other:
        break;
    }
    return true;
}

std::unique_ptr<TextReader> SystemClipboard::makeReader() const
{
#ifdef Q_OS_WIN
    if (m_system == System::Windows)
        return std::make_unique<WindowsClipboardReader>();
#endif
#if QT_CONFIG(xcb)
    if (m_system == System::X11)
        return std::make_unique<X11SelectionReader>();
#endif
#ifdef GPD_HAVE_WAYLAND
    if (m_system == System::Wayland) {
        auto *display = waylandResource<wl_display>("wl_display");
        auto *seat = waylandResource<wl_seat>("wl_seat");
        if (display && seat) {
            auto reader = std::make_unique<WaylandSelectionReader>(display, seat);
            if (reader->isAvailable())
                return reader;
        }
    }
#endif
    return nullptr;
}

void SystemClipboard::finishRead()
{
#ifdef Q_OS_WIN
    // A paste being read holds the Windows clipboard open: taking it meanwhile would fail.
    if (m_system == System::Windows && m_reader)
        static_cast<WindowsClipboardReader *>(m_reader.get())->finishRead();
#endif
}

void SystemClipboard::requestText(Source source, TextHandler done)
{
    if (!std::exchange(m_readerTried, true))
        m_reader = makeReader();
    if (m_reader) {
        m_reader->request(source, std::move(done));
        return;
    }
    // Elsewhere Qt's own reading serves: it waits for nobody (offscreen), or for the system
    // alone.
    const QClipboard::Mode mode =
        source == Source::Selection ? QClipboard::Selection : QClipboard::Clipboard;
    if (source == Source::Selection && !m_clipboard->supportsSelection()) {
        done(Outcome::NoText, QString());
        return;
    }
    const QString text = m_clipboard->text(mode);
    done(text.isEmpty() ? Outcome::NoText : Outcome::Text, text);
}

void SystemClipboard::cancelRequest()
{
    if (m_reader)
        m_reader->cancel();
}
