// SPDX-License-Identifier: MIT
#include "DesktopDriver.h"

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

bool offerClipboard(const QByteArray &utf8, const QString &selection)
{
    // xclip serves the selection from a child of its own until another program takes it.
    QProcess xclip;
    xclip.start(u"xclip"_s, {u"-selection"_s, selection, u"-target"_s, u"UTF8_STRING"_s});
    if (!xclip.waitForStarted())
        return false;
    xclip.write(utf8);
    xclip.closeWriteChannel();
    if (!xclip.waitForFinished() || xclip.exitCode() != 0)
        return false;
    for (int i = 0; i < 50; ++i) {
        if (run(u"xclip"_s, {u"-o"_s, u"-selection"_s, selection, u"-target"_s, u"UTF8_STRING"_s})
                .out == utf8)
            return true;
        QTest::qWait(50);
    }
    return false;
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
    // No window manager places windows here: keep copies apart.
    static int placed = 0;
    xdotool({u"windowmove"_s, window(), QString::number(40 + 560 * (placed++ % 2)), u"40"_s});
    QTest::qWait(200);
    return true;
}

void Tool::click(QPoint p, int repeat, int button)
{
    // Two clicks on one spot within the double-click time are a double click, which a
    // picture button takes as one: a user clicking twice waits longer.
    constexpr qint64 DoubleClickMs = 500;
    if (m_lastClick.isValid() && p == m_lastClickAt && m_lastClick.elapsed() < DoubleClickMs)
        QTest::qWait(int(DoubleClickMs - m_lastClick.elapsed()));
    xdotool({u"mousemove"_s, u"--window"_s, window(), QString::number(std::lround(p.x() * m_scale)),
             QString::number(std::lround(p.y() * m_scale)), u"click"_s, u"--repeat"_s,
             QString::number(repeat), u"--delay"_s, u"80"_s, QString::number(button)});
    m_lastClick.start();
    m_lastClickAt = p;
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
