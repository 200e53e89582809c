// SPDX-License-Identifier: MIT
#include "X11SelectionReader.h"

#include <QSocketNotifier>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {
template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> reply(T *r)
{
    return Reply<T>(r, &std::free);
}
} // namespace

X11SelectionReader::X11SelectionReader()
    : m_transfer([this] { finish(Clipboard::Outcome::NoAnswer); })
{
}

X11SelectionReader::~X11SelectionReader()
{
    m_transfer.drop();
    disconnect();
}

bool X11SelectionReader::connectToServer()
{
    if (m_connection)
        return true;
    // The same display as the program's windows: Qt is given no display of its own.
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    m_connection = c;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    const char *const names[] = {"CLIPBOARD",   "TARGETS",      "INCR",
                                 "UTF8_STRING", "TEXT",         "text/plain;charset=utf-8",
                                 "text/plain",  "GPD_SELECTION"};
    Atom *const atoms[] = {&m_atoms.clipboard, &m_atoms.targets, &m_atoms.incr,
                           &m_atoms.utf8,      &m_atoms.text,    &m_atoms.plainUtf8,
                           &m_atoms.plain,     &m_atoms.property};
    xcb_intern_atom_cookie_t cookies[std::size(names)];
    for (std::size_t i = 0; i < std::size(names); ++i)
        cookies[i] = xcb_intern_atom(c, false, std::uint16_t(std::strlen(names[i])), names[i]);
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const auto r = reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        if (!r) {
            disconnect();
            return false;
        }
        *atoms[i] = r->atom;
    }

    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(c), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readEvents(); });
    return true;
}

void X11SelectionReader::disconnect()
{
    m_notifier.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
    m_connection = nullptr;
}

void X11SelectionReader::request(Clipboard::Source source, Clipboard::TextHandler done)
{
    cancel();
    if (!connectToServer()) {
        done(Clipboard::Outcome::NoAnswer, QString());
        return;
    }
    m_transfer.start(std::move(done));
    m_selection =
        source == Clipboard::Source::Selection ? Atom(XCB_ATOM_PRIMARY) : m_atoms.clipboard;
    // A requestor of its own for each request: whatever comes late for an earlier one goes
    // to a window that is gone.
    m_window = xcb_generate_id(m_connection);
    const std::uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &events);
    m_step = Step::Targets;
    // No event of the user's reaches this connection to take a time from; owners take
    // CurrentTime as now.
    xcb_convert_selection(m_connection, m_window, m_selection, m_atoms.targets, m_atoms.property,
                          XCB_CURRENT_TIME);
    xcb_flush(m_connection);
    readEvents();
}

void X11SelectionReader::cancel()
{
    m_transfer.drop();
    if (m_step != Step::Idle)
        finish(Clipboard::Outcome::NoAnswer);
}

void X11SelectionReader::readEvents()
{
    if (!m_connection)
        return;
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
        handle(event);
        std::free(event);
        if (!m_connection)
            return;
    }
    if (xcb_connection_has_error(m_connection)) {
        // The server went away: whatever was asked has no answer, and the next request
        // connects afresh.
        disconnect();
        if (m_step != Step::Idle)
            finish(Clipboard::Outcome::NoAnswer);
    }
}

void X11SelectionReader::handle(const xcb_generic_event_t *event)
{
    if (m_step == Step::Idle)
        return;
    switch (event->response_type & ~0x80) {
    case XCB_SELECTION_NOTIFY: {
        const auto *notify = reinterpret_cast<const xcb_selection_notify_event_t *>(event);
        if (notify->requestor == m_window && notify->selection == m_selection &&
            m_step != Step::Increments)
            selectionNotified(notify->property);
        break;
    }
    case XCB_PROPERTY_NOTIFY: {
        const auto *notify = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (notify->window == m_window && notify->atom == m_atoms.property &&
            notify->state == XCB_PROPERTY_NEW_VALUE && m_step == Step::Increments)
            pieceArrived();
        break;
    }
    default:
        break;
    }
}

void X11SelectionReader::selectionNotified(Atom property)
{
    m_transfer.heard();
    if (m_step == Step::Targets) {
        // Text targets, UTF-8 first, as Qt reads them; an owner that will not say what it
        // holds is asked for them all the same.
        const QList<Atom> preferred = {m_atoms.utf8, m_atoms.plainUtf8, XCB_ATOM_STRING,
                                       m_atoms.text, m_atoms.plain};
        QByteArray value;
        Atom type = 0;
        m_targets = preferred;
        if (property != XCB_ATOM_NONE && takeProperty(&value, &type) && type == XCB_ATOM_ATOM) {
            QList<Atom> offered(value.size() / qsizetype(sizeof(Atom)));
            std::memcpy(offered.data(), value.constData(),
                        std::size_t(offered.size()) * sizeof(Atom));
            m_targets.clear();
            for (const Atom target : preferred)
                if (offered.contains(target))
                    m_targets.append(target);
        }
        convertNext();
        return;
    }
    if (property == XCB_ATOM_NONE) {
        // The owner would not give this target after all: the next one.
        m_targets.removeFirst();
        convertNext();
        return;
    }
    QByteArray value;
    if (!takeProperty(&value, &m_type)) {
        finish(Clipboard::Outcome::NoText);
        return;
    }
    if (m_type == m_atoms.incr) {
        // Deleting the property asked for the first piece.
        m_type = 0;
        m_step = Step::Increments;
        return;
    }
    m_transfer.append(value);
    finish(Clipboard::Outcome::Text);
}

void X11SelectionReader::pieceArrived()
{
    m_transfer.heard();
    QByteArray piece;
    Atom type = 0;
    if (!takeProperty(&piece, &type)) {
        finish(Clipboard::Outcome::NoText);
        return;
    }
    m_type = type;
    // A piece of nothing ends the transfer.
    if (piece.isEmpty() || !m_transfer.append(piece))
        finish(Clipboard::Outcome::Text);
}

void X11SelectionReader::convertNext()
{
    if (m_targets.isEmpty()) {
        finish(Clipboard::Outcome::NoText);
        return;
    }
    m_step = Step::Text;
    xcb_convert_selection(m_connection, m_window, m_selection, m_targets.first(), m_atoms.property,
                          XCB_CURRENT_TIME);
    xcb_flush(m_connection);
}

bool X11SelectionReader::takeProperty(QByteArray *value, Atom *type)
{
    // A round trip to the server, which answers at once, never to the owner.
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(m_connection, true, m_window, m_atoms.property, XCB_GET_PROPERTY_TYPE_ANY,
                         0, std::uint32_t(TextTransfer::MaxBytes / 4));
    const auto r = reply(xcb_get_property_reply(m_connection, cookie, nullptr));
    xcb_flush(m_connection);
    if (!r)
        return false;
    const int length = xcb_get_property_value_length(r.get());
    *value = QByteArray(static_cast<const char *>(xcb_get_property_value(r.get())), length);
    *type = r->type;
    return true;
}

void X11SelectionReader::finish(Clipboard::Outcome outcome)
{
    if (m_connection && m_window) {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
    m_window = 0;
    m_step = Step::Idle;
    m_transfer.finish(outcome, [this](const QByteArray &data) { return decoded(data); });
    m_targets.clear();
}

QString X11SelectionReader::decoded(const QByteArray &data) const
{
    // STRING is Latin-1, and TEXT is what its reply says it is.
    const Atom target = m_targets.isEmpty() ? 0 : m_targets.first();
    const bool latin1 =
        target == XCB_ATOM_STRING || (target == m_atoms.text && m_type != m_atoms.utf8);
    return latin1 ? QString::fromLatin1(data) : QString::fromUtf8(data);
}
