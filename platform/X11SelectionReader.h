// SPDX-License-Identifier: MIT
#pragma once

#include "TextReader.h"
#include "TextTransfer.h"

#include <QByteArray>
#include <QList>

#include <xcb/xcb.h>

#include <cstdint>
#include <memory>

class QSocketNotifier;

// Reads the text of an X selection, the clipboard or the primary one, without stopping the
// program: over a connection of its own to the X server, as the ICCCM describes it, with
// large texts in increments (INCR), while the event loop runs on. An owner that stays
// silent ends the request with no answer; one that keeps sending is waited for.
class X11SelectionReader final : public TextReader
{
public:
    X11SelectionReader();
    ~X11SelectionReader() override;
    X11SelectionReader(const X11SelectionReader &) = delete;
    X11SelectionReader &operator=(const X11SelectionReader &) = delete;

    // As Clipboard::requestText: a request cancels the one before it.
    void request(Clipboard::Source source, Clipboard::TextHandler done) override;
    void cancel() override;

private:
    using Atom = std::uint32_t;
    enum class Step
    {
        Idle,
        Targets,   // asked which targets the owner converts to
        Text,      // asked for the text in m_targets.first()
        Increments // receiving it in pieces
    };

    bool connectToServer();
    void disconnect();
    void readEvents();
    void handle(const xcb_generic_event_t *event);
    void selectionNotified(Atom property);
    void pieceArrived();
    // Asks for the text in the first target left, or ends with none.
    void convertNext();
    void convert(Atom target);
    // The property's value, deleted as it is read; false when it could not be read.
    bool takeProperty(QByteArray *value, Atom *type);
    void finish(Clipboard::Outcome outcome);
    QString decoded(const QByteArray &data) const;

    xcb_connection_t *m_connection = nullptr;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::uint32_t m_root = 0;
    struct
    {
        Atom clipboard = 0, targets = 0, incr = 0, utf8 = 0, plainUtf8 = 0, text = 0, plain = 0,
             property = 0;
    } m_atoms;

    TextTransfer m_transfer;
    Step m_step = Step::Idle;
    std::uint32_t m_window = 0; // the requestor of the request in progress
    Atom m_selection = 0;
    QList<Atom> m_targets; // the text targets still to try, best first
    Atom m_type = 0;
};
