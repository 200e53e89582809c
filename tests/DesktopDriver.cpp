// SPDX-License-Identifier: MIT
#include "DesktopDriver.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <X11/Xlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace Qt::StringLiterals;

namespace desktop {

namespace {
// The application windows in sway's tree, tiled or floating.
QList<QJsonObject> views()
{
    QList<QJsonObject> found;
    QList<QJsonObject> pending{
        QJsonDocument::fromJson(run(u"swaymsg"_s, {u"-r"_s, u"-t"_s, u"get_tree"_s}).out).object()};
    while (!pending.isEmpty()) {
        const QJsonObject node = pending.takeLast();
        if (node.contains(u"pid"_s))
            found.append(node);
        for (const QString &key : {u"nodes"_s, u"floating_nodes"_s})
            for (const QJsonValue child : node.value(key).toArray())
                pending.append(child.toObject());
    }
    return found;
}

QList<QJsonObject> shownViews(qint64 pid)
{
    QList<QJsonObject> shown;
    for (const QJsonObject &view : views())
        if (view.value(u"pid"_s).toInteger() == pid && view.value(u"visible"_s).toBool() &&
            view.value(u"geometry"_s).toObject().value(u"width"_s).toInt() > 0)
            shown.append(view);
    return shown;
}

// A headless seat has no pointer of its own; wayvnc gives it one. This speaks just enough
// of RFB 3.8 to move it and press its buttons: no security, pointer events only.
class VncPointer
{
public:
    VncPointer() = default;
    VncPointer(const VncPointer &) = delete;
    VncPointer &operator=(const VncPointer &) = delete;
    ~VncPointer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    // buttons: a mask, 1 for the left button, 2 the middle, 4 the right.
    bool send(QPoint at, int buttons)
    {
        if (m_fd < 0 && !connectToServer())
            return false;
        const unsigned char event[6] = {5,
                                        static_cast<unsigned char>(buttons),
                                        static_cast<unsigned char>(at.x() >> 8),
                                        static_cast<unsigned char>(at.x()),
                                        static_cast<unsigned char>(at.y() >> 8),
                                        static_cast<unsigned char>(at.y())};
        return writeAll(event, sizeof event);
    }

private:
    bool connectToServer()
    {
        const QByteArray path = qgetenv("GPD_VNC_SOCKET");
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const timeval timeout{5, 0};
        if (m_fd < 0 ||
            ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0 ||
            ::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
            return false;

        // Version, security type None, its result, then ClientInit (shared) and ServerInit.
        unsigned char version[12], count = 0, types[255], result[4], init[24];
        if (!readAll(version, sizeof version) || !writeAll("RFB 003.008\n", 12) ||
            !readAll(&count, 1) || count == 0 || !readAll(types, count) ||
            !std::memchr(types, 1, count) || !writeAll("\1", 1) ||
            !readAll(result, sizeof result) || std::memcmp(result, "\0\0\0\0", 4) != 0 ||
            !writeAll("\1", 1) || !readAll(init, sizeof init))
            return false;
        QByteArray name(init[20] << 24 | init[21] << 16 | init[22] << 8 | init[23], 0);
        return readAll(name.data(), size_t(name.size()));
    }

    bool readAll(void *data, size_t size)
    {
        for (auto *at = static_cast<char *>(data); size > 0;) {
            const ssize_t n = ::read(m_fd, at, size);
            if (n <= 0)
                return false;
            at += n;
            size -= size_t(n);
        }
        return true;
    }

    bool writeAll(const void *data, size_t size)
    {
        return ::write(m_fd, data, size) == ssize_t(size);
    }

    int m_fd = -1;
};

VncPointer &pointer()
{
    static VncPointer pointer;
    return pointer;
}

// "ctrl+a" as wtype's arguments: modifiers pressed, the key, modifiers released.
QStringList wtypeKeys(const QString &keys)
{
    QStringList modifiers = keys.split(u'+');
    const QString key = modifiers.takeLast();
    QStringList args;
    for (const QString &m : modifiers)
        args << u"-M"_s << (m == u"super"_s ? u"logo"_s : m);
    args << u"-k"_s << key;
    for (auto m = modifiers.crbegin(); m != modifiers.crend(); ++m)
        args << u"-m"_s << (*m == u"super"_s ? u"logo"_s : *m);
    return args;
}
} // namespace

bool onWayland()
{
    return qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

Result run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput()};
}

Result xdotool(const QStringList &args)
{
    return run(u"xdotool"_s, args);
}

bool isDark(QRgb c)
{
    return qRed(c) + qGreen(c) + qBlue(c) < 3 * 128;
}

namespace {
// The middle of the dark rows in column x between y0 and y1, device pixels.
double darkMiddle(const QImage &shot, int x0, int x1, int y0, int y1)
{
    int top = y1, bottom = y0 - 1;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (isDark(shot.pixel(x, y))) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return bottom >= top ? (top + bottom) / 2.0 : -1;
}

// Whether any pixel of the device rectangle covering logical [x0, x1) x [y0, y1) is dark.
bool darkIn(const QImage &shot, double scale, double x0, double x1, double y0, double y1)
{
    for (int y = int(std::floor(y0 * scale)); y < int(std::ceil(y1 * scale)); ++y)
        for (int x = int(std::floor(x0 * scale)); x < int(std::ceil(x1 * scale)); ++x)
            if (isDark(shot.pixel(x, y)))
                return true;
    return false;
}
} // namespace

QString scaledWindowFault(const QImage &shot, double scale)
{
    const auto device = [scale](double logical) { return int(std::lround(logical * scale)); };
    if (shot.size() != QSize(device(508), device(384)))
        return u"window of %1 x %2"_s.arg(shot.width()).arg(shot.height());

    // The frame, left, top, right (the picture's and the right strip's) and bottom, each
    // read in the device pixel under the middle of the logical one.
    const auto middle = [scale](int logical) { return int(std::floor((logical + 0.5) * scale)); };
    for (const QPoint p : {QPoint(5, 200), QPoint(200, 5), QPoint(500, 60), QPoint(507, 200),
                           QPoint(60, 380), QPoint(440, 380)})
        if (shot.pixel(middle(p.x()), middle(p.y())) != FrameBlue)
            return u"no frame at %1,%2"_s.arg(p.x()).arg(p.y());
    if (!darkIn(shot, scale, 106, 107, 200, 201) || !darkIn(shot, scale, 355, 356, 200, 201))
        return u"no panel lines"_s;
    // The underline below the link words, as thick as the scale makes a pixel.
    if (!darkIn(shot, scale, 440, 441, 375, 376) || darkIn(shot, scale, 440, 441, 376.5, 378))
        return u"no underline at y 375"_s;
    int lineRows = 0;
    for (int y = device(370); y < device(380); ++y)
        lineRows += shot.pixel(device(440), y) == qRgb(0, 0, 0);
    if (lineRows < int(std::floor(scale)))
        return u"an underline %1 rows thick"_s.arg(lineRows);

    // Each field's text stands level with its row's triangle.
    for (int n = 1; n <= 11; ++n) {
        const FieldRect &f = Fields[n - 1];
        const int end = n < 11 ? std::min(f.y + f.h, Fields[n].y) : f.y + f.h;
        const double triangle =
            darkMiddle(shot, device(146), device(151), device(f.y), device(end));
        const double text =
            darkMiddle(shot, device(f.x), device(f.x + 60), device(f.y), device(end));
        if (triangle < 0 || text < 0)
            return u"field %1: no text or no triangle"_s.arg(n);
        // Within two logical pixels, and the device pixel that ink rows are whole in.
        if (std::abs(text - triangle) > 2 * scale + (scale == std::floor(scale) ? 0 : 1))
            return u"field %1: text %2, triangle %3"_s.arg(n).arg(text).arg(triangle);
    }
    return {};
}

QString frameFault(const QImage &shot, int first, double scale)
{
    const auto device = [scale](double logical) { return int(std::lround(logical * scale)); };
    QList<int> ends;
    for (int n = first + 1; n <= first + 3; ++n) {
        const FieldRect &f = Fields[n - 1];
        const int end = n < 11 ? std::min(f.y + f.h, Fields[n].y) : f.y + f.h;
        int right = -1;
        for (int y = device(f.y); y < device(end); ++y)
            for (int x = device(f.x); x < device(f.x + f.w); ++x)
                if (qGray(shot.pixel(x, y)) < 200) // thin lines are drawn grey
                    right = std::max(right, x);
        ends.append(right);
    }
    const double level = std::max(1.0, scale);
    if (ends[0] > device(Fields[first].x + 80) && std::abs(ends[0] - ends[1]) <= level &&
        std::abs(ends[1] - ends[2]) <= level)
        return {};
    return u"frame rows end at %1, %2, %3"_s.arg(ends[0]).arg(ends[1]).arg(ends[2]);
}

bool sendDeleteWindow(unsigned long window)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);
    return sent;
}

QByteArray windowProperty(const QString &window, const QString &name)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"LC_ALL"_s, u"C.UTF-8"_s); // so that xprop prints text, not escapes
    process.setProcessEnvironment(env);
    process.start(u"xprop"_s, {u"-id"_s, window, name});
    process.waitForFinished();
    return process.readAllStandardOutput();
}

QByteArray clipboardUtf8()
{
    if (onWayland())
        return run(u"wl-paste"_s, {u"--no-newline"_s, u"--type"_s, u"text/plain;charset=utf-8"_s})
            .out;
    return run(u"xclip"_s,
               {u"-o"_s, u"-selection"_s, u"clipboard"_s, u"-target"_s, u"UTF8_STRING"_s})
        .out;
}

unsigned long selectionOwner(const QString &selection)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return 0;
    const Atom atom = XInternAtom(display, selection.toUpper().toLatin1().constData(), False);
    const Window owner = XGetSelectionOwner(display, atom);
    XCloseDisplay(display);
    return owner;
}

QRect noteIn(const QImage &shot, double scale)
{
    QRect box;
    int count = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == TooltipYellow) {
                box |= QRect(x, y, 1, 1);
                ++count;
            }
    // A few stray pixels of that colour are no note.
    if (count < 300 * scale * scale)
        return {};
    return QRect(QPoint(std::lround(box.left() / scale), std::lround(box.top() / scale)),
                 QPoint(std::lround(box.right() / scale), std::lround(box.bottom() / scale)));
}

// What is wrong with the note in a screenshot of the window: it shows when it should not, or
// not when it should, or over a field, a picture button or the link strip.
QString noteFault(const QImage &shot, bool shown, double scale)
{
    const QRect note = noteIn(shot, scale);
    if (note.isNull() != !shown)
        return shown ? u"no note"_s : u"a note"_s;
    for (int n = 1; n <= 11; ++n) {
        const FieldRect &f = Fields[n - 1];
        if (note.intersects(QRect(f.x, f.y, f.w, f.h)))
            return u"the note covers field %1"_s.arg(n);
    }
    for (const QPoint button : {ClearButton, CopyButton})
        if (note.intersects(QRect(button - QPoint(45, 17), QSize(91, 35))))
            return u"the note covers a picture button"_s;
    return note.bottom() >= 358 ? u"the note covers the link strip"_s : QString();
}

bool offerClipboard(const QByteArray &utf8, const QString &selection)
{
    // xclip and wl-copy serve the selection from a child of their own until another
    // program takes it. What is read back counts only once the other program holds the
    // selection: the tool may still hold the same text from its own copy.
    const bool primary = selection == u"primary"_s;
    const unsigned long before = onWayland() ? 0 : selectionOwner(selection);
    if (onWayland()) {
        const QStringList which = primary ? QStringList{u"--primary"_s} : QStringList{};
        if (run(u"wl-copy"_s, which + QStringList{u"--clear"_s}).exitCode != 0)
            return false;
        bool cleared = false;
        for (int i = 0; i < 50 && !cleared; ++i, QTest::qWait(50))
            cleared = run(u"wl-paste"_s, which + QStringList{u"--list-types"_s}).exitCode != 0;
        if (!cleared)
            return false;
    }
    QProcess copier;
    if (onWayland())
        copier.start(u"wl-copy"_s, primary ? QStringList{u"--primary"_s} : QStringList{});
    else
        copier.start(u"xclip"_s, {u"-selection"_s, selection, u"-target"_s, u"UTF8_STRING"_s});
    if (!copier.waitForStarted())
        return false;
    copier.write(utf8);
    copier.closeWriteChannel();
    if (!copier.waitForFinished() || copier.exitCode() != 0)
        return false;
    const auto offered = [&] {
        if (onWayland())
            return run(u"wl-paste"_s, (primary ? QStringList{u"--primary"_s} : QStringList{}) +
                                          QStringList{u"--no-newline"_s})
                .out;
        return run(u"xclip"_s,
                   {u"-o"_s, u"-selection"_s, selection, u"-target"_s, u"UTF8_STRING"_s})
            .out;
    };
    for (int i = 0; i < 50; ++i) {
        const unsigned long owner = onWayland() ? 1 : selectionOwner(selection);
        if (owner != 0 && owner != before && offered() == utf8)
            return true;
        QTest::qWait(50);
    }
    return false;
}

QString nameFault(const QString &name)
{
    for (const QChar c : name) {
        if (c.isSurrogate())
            return u"a lone surrogate"_s;
        if (c.category() == QChar::Other_Control || c == QChar(0x2028) || c == QChar(0x2029))
            return u"control or line break U+%1"_s.arg(uint(c.unicode()), 4, 16, QChar(u'0'));
        if (c.category() == QChar::Other_PrivateUse)
            return u"a private-use character"_s;
    }
    // A character has a GBK form exactly when it survives the round trip.
    QStringEncoder encoder("GBK");
    QStringDecoder decoder("GBK");
    const QByteArray bytes = encoder.encode(name);
    if (QString(decoder.decode(bytes)) != name)
        return u"a character without a GBK form"_s;
    if (bytes.size() > 16)
        return u"%1 GBK bytes"_s.arg(bytes.size());
    return {};
}

void verifyNames(const QStringList &names, int first, const QString &expected)
{
    QCOMPARE(names.size(), 11);
    const QStringList lines = expected.split(u'\n');
    for (int n = 1; n <= 11; ++n) {
        const QString fault = nameFault(names[n - 1]);
        QVERIFY2(fault.isEmpty(), qPrintable(u"name %1 holds %2"_s.arg(n).arg(fault)));
        QCOMPARE(names[n - 1], lines.value(n - first));
    }
}

QByteArray joined(const QStringList &names)
{
    return names.join(u"\r\n"_s).toUtf8();
}

Tool::~Tool()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool Tool::start(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                 double scale)
{
    m_scale = scale;
    m_process.setProcessChannelMode(m_keepErrors ? QProcess::SeparateChannels
                                                 : QProcess::ForwardedErrorChannel);
    m_process.setProcessEnvironment(env);
    m_process.start(program, args);
    if (!m_process.waitForStarted())
        return false;
    // No one places windows here: keep copies apart, and a scaled one, alone, where it fits.
    static int placed = 0;
    const int x = scale > 1 ? 40 : 40 + 560 * (placed++ % 2);
    if (onWayland()) {
        for (QDeadlineTimer deadline(10000); m_window.isEmpty() && !deadline.hasExpired();
             QTest::qWait(100)) {
            const QList<QJsonObject> shown = shownViews(m_process.processId());
            if (!shown.isEmpty())
                m_window = QByteArray::number(shown.first().value(u"id"_s).toInteger());
        }
        if (m_window.isEmpty())
            return false;
        run(u"swaymsg"_s, {u"[con_id=%1] move absolute position %2 40"_s.arg(window()).arg(x)});
        QTest::qWait(200);
        const QJsonObject v = view();
        const QJsonObject rect = v.value(u"rect"_s).toObject();
        const QJsonObject inner = v.value(u"window_rect"_s).toObject();
        m_origin = QPoint(rect.value(u"x"_s).toInt() + inner.value(u"x"_s).toInt(),
                          rect.value(u"y"_s).toInt() + inner.value(u"y"_s).toInt());
        return true;
    }
    // A program under Wine on a busy machine can take well over 10 s to show its window,
    // and xdotool gives up at once when a window it looks at vanishes (Wine makes and drops
    // some while it starts): ask again until the window is there.
    for (QDeadlineTimer deadline(30000); m_window.isEmpty() && !deadline.hasExpired();
         QTest::qWait(100)) {
        const Result found = xdotool(
            {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(m_process.processId())});
        m_window = found.out.split('\n').value(0).trimmed();
    }
    if (m_window.isEmpty()) {
        qWarning("no window of %s shown; it is %s", qPrintable(program),
                 m_process.state() == QProcess::Running
                     ? "running"
                     : qPrintable(u"gone, exit code %1"_s.arg(m_process.exitCode())));
        return false;
    }
    xdotool({u"windowmove"_s, window(), QString::number(x), u"40"_s});
    QTest::qWait(200);
    return true;
}

bool Tool::closeOtherWindows() const
{
    for (const QString &id : windows())
        if (id != window() && !sendDeleteWindow(id.toULong()))
            return false;
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QTest::qWait(100))
        if (windows() == QStringList{window()})
            return true;
    return false;
}

QStringList Tool::windows() const
{
    QStringList ids;
    if (onWayland()) {
        for (const QJsonObject &v : shownViews(m_process.processId()))
            ids.append(QString::number(v.value(u"id"_s).toInteger()));
        return ids;
    }
    const Result found = xdotool(
        {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, QString::number(m_process.processId())});
    for (const QByteArray &id : found.out.split('\n'))
        if (!id.trimmed().isEmpty())
            ids.append(QString::fromLatin1(id.trimmed()));
    return ids;
}

QImage Tool::screen() const
{
    if (onWayland())
        return QImage::fromData(run(u"grim"_s, {u"-"_s}).out, "PNG");
    return QImage::fromData(run(u"import"_s, {u"-window"_s, u"root"_s, u"png:-"_s}).out, "PNG");
}

QList<QRect> Tool::windowRects() const
{
    QList<QRect> rects;
    if (onWayland()) {
        for (const QJsonObject &v : shownViews(m_process.processId())) {
            const QJsonObject rect = v.value(u"rect"_s).toObject();
            const QJsonObject inner = v.value(u"window_rect"_s).toObject();
            const QRect at(rect.value(u"x"_s).toInt() + inner.value(u"x"_s).toInt(),
                           rect.value(u"y"_s).toInt() + inner.value(u"y"_s).toInt(),
                           inner.value(u"width"_s).toInt(), inner.value(u"height"_s).toInt());
            if (QString::number(v.value(u"id"_s).toInteger()) == window())
                rects.prepend(at);
            else
                rects.append(at);
        }
        return rects;
    }
    for (const QString &id : windows()) {
        const QByteArray info = run(u"xwininfo"_s, {u"-id"_s, id}).out;
        const auto value = [&info](const QByteArray &key) {
            const int i = info.indexOf(key);
            return i < 0 ? 0 : info.mid(i + key.size()).split('\n').value(0).trimmed().toInt();
        };
        const QRect at(value("Absolute upper-left X:"), value("Absolute upper-left Y:"),
                       value("Width:"), value("Height:"));
        if (id == window())
            rects.prepend(at);
        else
            rects.append(at);
    }
    return rects;
}

QJsonObject Tool::view() const
{
    for (const QJsonObject &v : views())
        if (QString::number(v.value(u"id"_s).toInteger()) == window())
            return v;
    return {};
}

bool Tool::requestClose() const
{
    if (onWayland())
        return run(u"swaymsg"_s, {u"[con_id=%1] kill"_s.arg(window())}).exitCode == 0;
    return sendDeleteWindow(windowId());
}

void Tool::click(QPoint p, int repeat, int button)
{
    // Two clicks in quick succession are a double click, which a picture button takes as
    // one (and Qt on Wayland pairs clicks 9 pixels apart too): clicks meant to be single
    // come apart in time, as a user's do.
    if (m_lastClick.isValid())
        QTest::qWait(std::max(0, 500 - int(m_lastClick.elapsed())));
    if (onWayland()) {
        const QPoint at = m_origin + p;
        const int pressed = 1 << (button - 1);
        pointer().send(at, 0);
        QTest::qWait(50);
        for (int i = 0; i < repeat; ++i) {
            if (i > 0)
                QTest::qWait(80);
            pointer().send(at, pressed);
            pointer().send(at, 0);
        }
        m_lastClick.start();
        QTest::qWait(150);
        return;
    }
    xdotool({u"mousemove"_s, u"--window"_s, window(), QString::number(std::lround(p.x() * m_scale)),
             QString::number(std::lround(p.y() * m_scale)), u"click"_s, u"--repeat"_s,
             QString::number(repeat), u"--delay"_s, u"80"_s, QString::number(button)});
    m_lastClick.start();
    QTest::qWait(150);
}

QByteArray Tool::copy()
{
    // The text the tool holds from its last copy would pass for this one's.
    if (holdsClipboard() && !offerClipboard("-"))
        return {};
    click(CopyButton);
    // The copy may wait up to a second for a paste on its way.
    for (QDeadlineTimer deadline(3000); !deadline.hasExpired(); QTest::qWait(50))
        if (holdsClipboard())
            return clipboardUtf8();
    return {};
}

bool Tool::holdsClipboard() const
{
    if (onWayland()) {
        const Result types = run(u"wl-paste"_s, {u"--list-types"_s});
        return types.exitCode == 0 && !types.out.isEmpty() && !types.out.contains("UTF8_STRING");
    }
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, true, 9, "CLIPBOARD"), nullptr), &std::free);
    std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        atom ? xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr)
             : nullptr,
        &std::free);
    // Every window a client makes has an id from the range the server gave that client.
    const uint32_t mask = xcb_connection_has_error(c) ? 0 : xcb_get_setup(c)->resource_id_mask;
    xcb_disconnect(c);
    return owner && owner->owner != XCB_WINDOW_NONE && mask != 0 &&
           (owner->owner & ~mask) == (windowId() & ~mask);
}

void Tool::clickField(int n)
{
    const FieldRect &f = Fields[n - 1];
    click(QPoint(f.x + f.w - 10, f.y + f.h / 2));
}

void Tool::keys(const QString &keys)
{
    if (onWayland())
        run(u"wtype"_s, wtypeKeys(keys));
    else
        xdotool({u"key"_s, u"--clearmodifiers"_s, keys});
    QTest::qWait(100);
}

void Tool::keys(const QStringList &keys, int pauseMs)
{
    if (onWayland()) {
        QStringList args;
        for (const QString &key : keys) {
            args += wtypeKeys(key);
            if (&key == &keys.first())
                args << u"-s"_s << QString::number(pauseMs);
        }
        run(u"wtype"_s, args, 10000 + pauseMs);
    } else {
        xdotool({u"key"_s, u"--clearmodifiers"_s, keys.first()});
        QTest::qWait(pauseMs);
        xdotool(QStringList{u"key"_s, u"--clearmodifiers"_s} + keys.mid(1));
    }
    QTest::qWait(100);
}

void Tool::type(const QString &text)
{
    // Characters without a key of their own are typed by remapping a spare key for each;
    // a slower pace lets the program read each one before the next remapping.
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    const QString delay = ascii ? u"30"_s : u"120"_s;
    if (onWayland())
        run(u"wtype"_s, {u"-d"_s, delay, text});
    else
        xdotool({u"type"_s, u"--delay"_s, delay, text});
    QTest::qWait(200);
}

QImage Tool::screenshot() const
{
    if (onWayland()) {
        // The compositor draws the pointer into the picture: out of the way with it.
        pointer().send(QPoint(1279, 799), 0);
        QTest::qWait(100);
        // The client area, as big as the window has made itself.
        const QJsonObject size = view().value(u"geometry"_s).toObject();
        const QString area = u"%1,%2 %3x%4"_s.arg(m_origin.x())
                                 .arg(m_origin.y())
                                 .arg(size.value(u"width"_s).toInt())
                                 .arg(size.value(u"height"_s).toInt());
        return QImage::fromData(run(u"grim"_s, {u"-g"_s, area, u"-"_s}).out, "PNG");
    }
    const Result shot = run(u"import"_s, {u"-window"_s, window(), u"png:-"_s});
    return QImage::fromData(shot.out, "PNG");
}

QImage Tool::screenArea(int below) const
{
    const QSize size(int(std::lround(508 * m_scale)), int(std::lround((384 + below) * m_scale)));
    QPoint at = m_origin;
    if (!onWayland()) {
        const QByteArray info = run(u"xwininfo"_s, {u"-id"_s, window()}).out;
        const auto value = [&info](const QByteArray &key) {
            const int i = info.indexOf(key);
            return i < 0 ? 0 : info.mid(i + key.size()).split('\n').value(0).trimmed().toInt();
        };
        at = QPoint(value("Absolute upper-left X:"), value("Absolute upper-left Y:"));
    }
    const QString area =
        u"%1,%2 %3x%4"_s.arg(at.x()).arg(at.y()).arg(size.width()).arg(size.height());
    if (onWayland())
        return QImage::fromData(run(u"grim"_s, {u"-g"_s, area, u"-"_s}).out, "PNG");
    const QString crop =
        u"%1x%2+%3+%4"_s.arg(size.width()).arg(size.height()).arg(at.x()).arg(at.y());
    return QImage::fromData(
        run(u"import"_s, {u"-window"_s, u"root"_s, u"-crop"_s, crop, u"png:-"_s}).out, "PNG");
}

} // namespace desktop
