// SPDX-License-Identifier: MIT
#pragma once

#include "TextReader.h"
#include "TextTransfer.h"

#include <QStringList>

#include <memory>

class QSocketNotifier;
struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_seat;
struct wl_data_device_manager;
struct wl_data_device;
struct zwp_primary_selection_device_manager_v1;
struct zwp_primary_selection_device_v1;

// Reads the text of the Wayland clipboard or primary selection without stopping the
// program: the offer is asked for its text through a pipe that is read as it fills, while
// the event loop runs on. It keeps devices of its own on the program's connection, on an
// event queue of its own, so that Qt's handling of the same selections is untouched.
class WaylandSelectionReader final : public TextReader
{
public:
    WaylandSelectionReader(wl_display *display, wl_seat *seat);
    ~WaylandSelectionReader() override;
    WaylandSelectionReader(const WaylandSelectionReader &) = delete;
    WaylandSelectionReader &operator=(const WaylandSelectionReader &) = delete;

    // False where the compositor offers no clipboard to read this way.
    bool isAvailable() const { return m_device != nullptr; }

    // As Clipboard::requestText: a request cancels the one before it.
    void request(Clipboard::Source source, Clipboard::TextHandler done) override;
    void cancel() override;

    // What an offer holds: the proxy of the offer, and the types it offers its data in.
    struct Offer
    {
        void *proxy = nullptr;
        QStringList types;
    };

private:
    friend struct WaylandListeners;

    void readPipe();
    void finish(Clipboard::Outcome outcome);
    void closePipe();

    wl_display *m_display;
    wl_event_queue *m_queue = nullptr;
    wl_registry *m_registry = nullptr;
    wl_data_device_manager *m_manager = nullptr;
    wl_data_device *m_device = nullptr;
    zwp_primary_selection_device_manager_v1 *m_primaryManager = nullptr;
    zwp_primary_selection_device_v1 *m_primaryDevice = nullptr;
    std::unique_ptr<Offer> m_introduced; // announced, not yet the selection
    std::unique_ptr<Offer> m_clipboard;  // the clipboard's current offer
    std::unique_ptr<Offer> m_primaryIntroduced;
    std::unique_ptr<Offer> m_primary;

    TextTransfer m_transfer;
    bool m_latin1 = false; // the text asked for is Latin-1, not UTF-8
    int m_pipe = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};
