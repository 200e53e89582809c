// SPDX-License-Identifier: MIT
#include "DesktopDriver.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

#include <X11/Xlib.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace desktop {

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
        if (std::abs(text - triangle) > 2 * scale)
            return u"field %1: text %2, triangle %3"_s.arg(n).arg(text).arg(triangle);
    }
    return {};
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
    return run(u"xclip"_s,
               {u"-o"_s, u"-selection"_s, u"clipboard"_s, u"-target"_s, u"UTF8_STRING"_s})
        .out;
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
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setProcessEnvironment(env);
    m_process.start(program, args);
    if (!m_process.waitForStarted())
        return false;
    const Result found = xdotool({u"search"_s, u"--sync"_s, u"--onlyvisible"_s, u"--pid"_s,
                                  QString::number(m_process.processId())});
    m_window = found.out.split('\n').value(0).trimmed();
    if (m_window.isEmpty())
        return false;
    // No window manager places windows here: keep copies apart, and a scaled one, alone,
    // where it fits on the screen.
    static int placed = 0;
    const int x = scale > 1 ? 40 : 40 + 560 * (placed++ % 2);
    xdotool({u"windowmove"_s, window(), QString::number(x), u"40"_s});
    QTest::qWait(200);
    return true;
}

QList<unsigned long> Tool::visibleWindows() const
{
    QList<unsigned long> windows;
    const QByteArray out = xdotool({u"search"_s, u"--onlyvisible"_s, u"--pid"_s,
                                    QString::number(m_process.processId())})
                               .out;
    for (const QByteArray &line : out.split('\n'))
        if (!line.trimmed().isEmpty())
            windows.append(line.trimmed().toULong());
    return windows;
}

void Tool::click(QPoint p, int repeat)
{
    xdotool({u"mousemove"_s, u"--window"_s, window(), QString::number(std::lround(p.x() * m_scale)),
             QString::number(std::lround(p.y() * m_scale)), u"click"_s, u"--repeat"_s,
             QString::number(repeat), u"--delay"_s, u"80"_s, u"1"_s});
    QTest::qWait(150);
}

void Tool::clickField(int n)
{
    const FieldRect &f = Fields[n - 1];
    click(QPoint(f.x + f.w - 10, f.y + f.h / 2));
}

void Tool::keys(const QString &keys)
{
    xdotool({u"key"_s, u"--clearmodifiers"_s, keys});
    QTest::qWait(100);
}

void Tool::type(const QString &text)
{
    // Characters without a key of their own are typed by remapping a spare key for each;
    // a slower pace lets the program read each one before the next remapping.
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    xdotool({u"type"_s, u"--delay"_s, ascii ? u"30"_s : u"120"_s, text});
    QTest::qWait(200);
}

QImage Tool::screenshot() const
{
    const Result shot = run(u"import"_s, {u"-window"_s, window(), u"png:-"_s});
    return QImage::fromData(shot.out, "PNG");
}

} // namespace desktop
