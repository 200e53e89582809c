// SPDX-License-Identifier: MIT
#include "WaylandSelectionReader.h"

#include "primary-selection-unstable-v1-client-protocol.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {
// Text types, UTF-8 first; X11's names where the text comes from an X program.
const char *const TextTypes[] = {"text/plain;charset=utf-8", "UTF8_STRING", "text/plain", "STRING",
                                 "TEXT"};

using Offer = WaylandSelectionReader::Offer;

void destroyDataOffer(Offer *offer)
{
    if (offer)
        wl_data_offer_destroy(static_cast<wl_data_offer *>(offer->proxy));
}

void destroyPrimaryOffer(Offer *offer)
{
    if (offer)
        zwp_primary_selection_offer_v1_destroy(
            static_cast<zwp_primary_selection_offer_v1 *>(offer->proxy));
}

// `current` becomes the offer `proxy` names: the one just introduced, or none.
void makeCurrent(std::unique_ptr<Offer> &current, std::unique_ptr<Offer> &introduced, void *proxy,
                 void (*destroy)(Offer *))
{
    destroy(current.get());
    current.reset();
    if (introduced && introduced->proxy == proxy)
        current = std::move(introduced);
    else if (introduced) {
        destroy(introduced.get());
        introduced.reset();
    }
}
} // namespace

// The protocol's callbacks, which see the reader's private parts.
struct WaylandListeners
{
    static void offerType(void *data, wl_data_offer *, const char *type)
    {
        static_cast<Offer *>(data)->types.append(QString::fromUtf8(type));
    }
    static void primaryOfferType(void *data, zwp_primary_selection_offer_v1 *, const char *type)
    {
        static_cast<Offer *>(data)->types.append(QString::fromUtf8(type));
    }
    static void ignoreActions(void *, wl_data_offer *, uint32_t) {}

    static constexpr wl_data_offer_listener offer = {&offerType, &ignoreActions, &ignoreActions};
    static constexpr zwp_primary_selection_offer_v1_listener primaryOffer = {&primaryOfferType};

    static void dataOffer(void *data, wl_data_device *, wl_data_offer *proxy)
    {
        auto *reader = static_cast<WaylandSelectionReader *>(data);
        destroyDataOffer(reader->m_introduced.get());
        reader->m_introduced = std::make_unique<Offer>(Offer{proxy, {}});
        wl_data_offer_add_listener(proxy, &offer, reader->m_introduced.get());
    }
    // A drag's offer is Qt's business: this device lets its copy go.
    static void enter(void *data, wl_data_device *, uint32_t, wl_surface *, wl_fixed_t, wl_fixed_t,
                      wl_data_offer *proxy)
    {
        auto *reader = static_cast<WaylandSelectionReader *>(data);
        if (reader->m_introduced && reader->m_introduced->proxy == proxy) {
            destroyDataOffer(reader->m_introduced.get());
            reader->m_introduced.reset();
        }
    }
    static void leave(void *, wl_data_device *) {}
    static void motion(void *, wl_data_device *, uint32_t, wl_fixed_t, wl_fixed_t) {}
    static void drop(void *, wl_data_device *) {}
    static void selection(void *data, wl_data_device *, wl_data_offer *proxy)
    {
        auto *reader = static_cast<WaylandSelectionReader *>(data);
        makeCurrent(reader->m_clipboard, reader->m_introduced, proxy, &destroyDataOffer);
    }
    static constexpr wl_data_device_listener device = {&dataOffer, &enter, &leave,
                                                       &motion,    &drop,  &selection};

    static void primaryDataOffer(void *data, zwp_primary_selection_device_v1 *,
                                 zwp_primary_selection_offer_v1 *proxy)
    {
        auto *reader = static_cast<WaylandSelectionReader *>(data);
        destroyPrimaryOffer(reader->m_primaryIntroduced.get());
        reader->m_primaryIntroduced = std::make_unique<Offer>(Offer{proxy, {}});
        zwp_primary_selection_offer_v1_add_listener(proxy, &primaryOffer,
                                                    reader->m_primaryIntroduced.get());
    }
    static void primarySelection(void *data, zwp_primary_selection_device_v1 *,
                                 zwp_primary_selection_offer_v1 *proxy)
    {
        auto *reader = static_cast<WaylandSelectionReader *>(data);
        makeCurrent(reader->m_primary, reader->m_primaryIntroduced, proxy, &destroyPrimaryOffer);
    }
    static constexpr zwp_primary_selection_device_v1_listener primaryDevice = {&primaryDataOffer,
                                                                               &primarySelection};

    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface,
                       uint32_t version)
    {
        auto *reader = static_cast<WaylandSelectionReader *>(data);
        if (std::strcmp(interface, wl_data_device_manager_interface.name) == 0)
            reader->m_manager = static_cast<wl_data_device_manager *>(wl_registry_bind(
                registry, name, &wl_data_device_manager_interface, std::min(version, 3u)));
        else if (std::strcmp(interface, zwp_primary_selection_device_manager_v1_interface.name) ==
                 0)
            reader->m_primaryManager =
                static_cast<zwp_primary_selection_device_manager_v1 *>(wl_registry_bind(
                    registry, name, &zwp_primary_selection_device_manager_v1_interface, 1));
    }
    static void globalRemoved(void *, wl_registry *, uint32_t) {}
    static constexpr wl_registry_listener registry = {&global, &globalRemoved};
};

WaylandSelectionReader::WaylandSelectionReader(wl_display *display, wl_seat *seat)
    : m_display(display), m_transfer([this] { finish(Clipboard::Outcome::NoAnswer); })
{
    // Everything of this reader's is on a queue of its own, dispatched only here.
    m_queue = wl_display_create_queue(display);
    auto *wrapper = static_cast<wl_display *>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy *>(wrapper), m_queue);
    m_registry = wl_display_get_registry(wrapper);
    wl_proxy_wrapper_destroy(wrapper);
    wl_registry_add_listener(m_registry, &WaylandListeners::registry, this);
    // Round trips to the compositor, which answers at once: the globals, then the current
    // selections for the new devices.
    wl_display_roundtrip_queue(display, m_queue);
    if (m_manager) {
        m_device = wl_data_device_manager_get_data_device(m_manager, seat);
        wl_data_device_add_listener(m_device, &WaylandListeners::device, this);
    }
    if (m_primaryManager) {
        m_primaryDevice =
            zwp_primary_selection_device_manager_v1_get_device(m_primaryManager, seat);
        zwp_primary_selection_device_v1_add_listener(m_primaryDevice,
                                                     &WaylandListeners::primaryDevice, this);
    }
    wl_display_roundtrip_queue(display, m_queue);
}

WaylandSelectionReader::~WaylandSelectionReader()
{
    m_transfer.drop();
    closePipe();
    destroyDataOffer(m_introduced.get());
    destroyDataOffer(m_clipboard.get());
    destroyPrimaryOffer(m_primaryIntroduced.get());
    destroyPrimaryOffer(m_primary.get());
    if (m_primaryDevice)
        zwp_primary_selection_device_v1_destroy(m_primaryDevice);
    if (m_primaryManager)
        zwp_primary_selection_device_manager_v1_destroy(m_primaryManager);
    if (m_device) {
        if (wl_data_device_get_version(m_device) >= WL_DATA_DEVICE_RELEASE_SINCE_VERSION)
            wl_data_device_release(m_device);
        else
            wl_data_device_destroy(m_device);
    }
    if (m_manager)
        wl_data_device_manager_destroy(m_manager);
    wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_event_queue_destroy(m_queue);
}

void WaylandSelectionReader::request(Clipboard::Source source, Clipboard::TextHandler done)
{
    cancel();
    // What the compositor said since: the offers as they are now.
    wl_display_dispatch_queue_pending(m_display, m_queue);
    const bool primary = source == Clipboard::Source::Selection;
    const Offer *offer = primary ? m_primary.get() : m_clipboard.get();
    QByteArray type;
    for (const char *candidate : TextTypes)
        if (offer && type.isEmpty() && offer->types.contains(QLatin1String(candidate)))
            type = candidate;
    int fds[2];
    if (type.isEmpty() || pipe2(fds, O_CLOEXEC) != 0) {
        done(Clipboard::Outcome::NoText, QString());
        return;
    }
    // Only this end waits for nothing: the writer's end stays as the writer expects it.
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    if (primary)
        zwp_primary_selection_offer_v1_receive(
            static_cast<zwp_primary_selection_offer_v1 *>(offer->proxy), type.constData(), fds[1]);
    else
        wl_data_offer_receive(static_cast<wl_data_offer *>(offer->proxy), type.constData(), fds[1]);
    close(fds[1]);
    wl_display_flush(m_display);

    m_pipe = fds[0];
    m_notifier = std::make_unique<QSocketNotifier>(m_pipe, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { readPipe(); });
    // X11's STRING and TEXT, bridged, are Latin-1.
    m_latin1 = type == "STRING" || type == "TEXT";
    m_transfer.start(std::move(done));
}

void WaylandSelectionReader::cancel()
{
    m_transfer.drop();
    if (m_transfer.active())
        finish(Clipboard::Outcome::NoAnswer);
}

void WaylandSelectionReader::readPipe()
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(m_pipe, buffer, sizeof buffer);
        if (n > 0) {
            m_transfer.heard();
            if (!m_transfer.append(QByteArrayView(buffer, n))) {
                finish(Clipboard::Outcome::Text);
                return;
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN)
            return;
        // The writer closed its end: that is all of it.
        finish(n == 0 ? Clipboard::Outcome::Text : Clipboard::Outcome::NoText);
        return;
    }
}

void WaylandSelectionReader::finish(Clipboard::Outcome outcome)
{
    closePipe();
    const bool latin1 = m_latin1;
    m_transfer.finish(outcome, [latin1](const QByteArray &data) {
        return latin1 ? QString::fromLatin1(data) : QString::fromUtf8(data);
    });
}

void WaylandSelectionReader::closePipe()
{
    m_notifier.reset();
    if (m_pipe >= 0)
        close(m_pipe);
    m_pipe = -1;
}
