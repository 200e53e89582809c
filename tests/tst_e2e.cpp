// SPDX-License-Identifier: MIT
// The real program under a real X server, driven as a user would: xdotool for the mouse
// and keyboard, xclip to read the clipboard from another program, import for screenshots.
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

using namespace Qt::StringLiterals;

namespace {
const QString Placeholder = u"好友分组名称"_s;
const QRgb FrameBlue = qRgb(141, 184, 255);
const QRgb PanelLine = qRgb(62, 94, 146);

struct FieldRect
{
    int x, y, w, h;
};
// Where each name field must lie, in client pixels.
const FieldRect Fields[11] = {{158, 110, 192, 23}, {158, 130, 192, 23}, {158, 152, 174, 21},
                              {158, 174, 174, 21}, {158, 197, 174, 21}, {158, 218, 174, 21},
                              {158, 240, 174, 21}, {158, 262, 174, 21}, {158, 284, 174, 21},
                              {158, 306, 174, 21}, {158, 328, 174, 21}};
const QPoint ClearButton(387 + 45, 177 + 17);
const QPoint CopyButton(387 + 45, 229 + 17);

// The y of the point of row r's triangle (r = 1 for the fixed first row).
int rowPoint(int r)
{
    return 94 + 22 * (r - 1);
}

struct Result
{
    int exitCode = -1;
    QByteArray out;
};

Result run(const QString &program, const QStringList &args, int timeoutMs = 10000)
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

// Asks the window to close as a window manager does when its close box is clicked.
void sendDeleteWindow(unsigned long window)
{
    Display *display = XOpenDisplay(nullptr);
    QVERIFY(display);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display);
}

// One running copy of the tool and its top-level window.
class Tool
{
public:
    ~Tool()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    bool start(const QStringList &args = {})
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(GPD_PROGRAM), args);
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

    QString window() const { return QString::fromLatin1(m_window); }
    unsigned long windowId() const { return m_window.toULong(); }
    QProcess &process() { return m_process; }

    void click(QPoint p, int repeat = 1)
    {
        xdotool({u"mousemove"_s, u"--window"_s, window(), QString::number(p.x()),
                 QString::number(p.y()), u"click"_s, u"--repeat"_s, QString::number(repeat),
                 u"--delay"_s, u"80"_s, u"1"_s});
        QTest::qWait(150);
    }

    void clickField(int n)
    {
        const FieldRect &f = Fields[n - 1];
        click(QPoint(f.x + f.w - 10, f.y + f.h / 2));
    }

    void keys(const QString &keys)
    {
        xdotool({u"key"_s, u"--clearmodifiers"_s, keys});
        QTest::qWait(100);
    }

    void type(const QString &text)
    {
        xdotool({u"type"_s, u"--delay"_s, u"30"_s, text});
        QTest::qWait(200);
    }

    QImage screenshot() const
    {
        const Result shot = run(u"import"_s, {u"-window"_s, window(), u"png:-"_s});
        return QImage::fromData(shot.out, "PNG");
    }

private:
    QProcess m_process;
    QByteArray m_window;
};

QByteArray clipboardUtf8()
{
    return run(u"xclip"_s,
               {u"-o"_s, u"-selection"_s, u"clipboard"_s, u"-target"_s, u"UTF8_STRING"_s})
        .out;
}

QByteArray joined(const QStringList &names)
{
    return names.join(u"\r\n"_s).toUtf8();
}
} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void windowIsFixedAndDrawnAsDesigned();
    void typeCopyAndClear();
    void twoCopiesShareNothing();
    void closesWhenTheWindowManagerAsks();
};

void TestEndToEnd::initTestCase()
{
    for (const QString &tool : {u"xdotool"_s, u"xclip"_s, u"import"_s, u"xwininfo"_s, u"xprop"_s})
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(tool));
    QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under Xvfb (tools/xvfb-test)");
}

void TestEndToEnd::windowIsFixedAndDrawnAsDesigned()
{
    Tool tool;
    QVERIFY(tool.start({u"--ignored"_s, u"-reverse"_s}));

    const QByteArray info = run(u"xwininfo"_s, {u"-id"_s, tool.window()}).out;
    QVERIFY2(info.contains("Width: 508\n") && info.contains("Height: 384\n"), info.constData());
    const QByteArray hints = run(u"xprop"_s, {u"-id"_s, tool.window(), u"WM_NORMAL_HINTS"_s}).out;
    QVERIFY2(hints.contains("minimum size: 508 by 384") &&
                 hints.contains("maximum size: 508 by 384"),
             hints.constData());

    const QImage shot = tool.screenshot();
    QCOMPARE(shot.size(), QSize(508, 384));
    // The light-blue frame, the panel's dark lines, the white list area.
    for (const QPoint p : {QPoint(0, 0), QPoint(11, 200), QPoint(200, 11), QPoint(497, 200),
                           QPoint(200, 377), QPoint(120, 300)})
        QCOMPARE(shot.pixel(p), FrameBlue);
    for (const int y : {12, 200, 350}) {
        QCOMPARE(shot.pixel(106, y), PanelLine);
        QCOMPARE(shot.pixel(355, y), PanelLine);
    }
    QCOMPARE(shot.pixel(352, 86), qRgb(255, 255, 255));

    // Twelve triangles stand free; each field lies over its row, text level with the triangle.
    for (int r = 1; r <= 12; ++r) {
        QVERIFY2(isDark(shot.pixel(146, rowPoint(r))), qPrintable(QString::number(r)));
        QVERIFY2(!isDark(shot.pixel(146, rowPoint(r) - 6)), qPrintable(QString::number(r)));
    }
    for (int n = 1; n <= 11; ++n) {
        const FieldRect &f = Fields[n - 1];
        QCOMPARE(shot.pixel(f.x + f.w - 2, f.y + f.h / 2), qRgb(255, 255, 255));
        // Below, the next field covers this one; right of x + 60, the cursor may blink.
        const int end = n < 11 ? std::min(f.y + f.h, Fields[n].y) : f.y + f.h;
        int top = end, bottom = f.y - 1;
        for (int y = f.y; y < end; ++y)
            for (int x = f.x; x < f.x + 60; ++x)
                if (isDark(shot.pixel(x, y)))
                    top = std::min(top, y), bottom = std::max(bottom, y);
        QVERIFY2(bottom >= top, qPrintable(u"no text in field %1"_s.arg(n)));
        const double inkMiddle = (top + bottom) / 2.0;
        QVERIFY2(std::abs(inkMiddle - rowPoint(n + 1)) <= 2,
                 qPrintable(u"field %1: text middle %2, row point %3"_s.arg(n).arg(inkMiddle).arg(
                     rowPoint(n + 1))));
    }
    QVERIFY(shot.save(QDir::temp().filePath(u"group-pattern-designer.png"_s)));
}

void TestEndToEnd::typeCopyAndClear()
{
    Tool tool;
    QVERIFY(tool.start());

    QStringList names(11, Placeholder);
    tool.clickField(4);
    tool.keys(u"ctrl+a"_s);
    tool.type(u"ab中文"_s);
    names[3] = u"ab中文"_s;
    tool.clickField(1);
    tool.keys(u"End"_s);
    tool.type(u"xyz12345"_s);
    names[0] = Placeholder + u"xyz1"_s;
    tool.clickField(11);
    tool.keys(u"ctrl+a"_s);
    tool.type(u"一二三四五六七八九"_s);
    names[10] = u"一二三四五六七八"_s;

    tool.click(CopyButton);
    QCOMPARE(clipboardUtf8(), joined(names));

    tool.click(ClearButton);
    tool.click(CopyButton);
    QCOMPARE(clipboardUtf8(), QByteArray("\r\n").repeated(10));
}

void TestEndToEnd::twoCopiesShareNothing()
{
    Tool first, second;
    QVERIFY(first.start());
    QVERIFY(second.start());
    QVERIFY(first.window() != second.window());

    first.click(ClearButton);
    second.click(CopyButton);
    QCOMPARE(clipboardUtf8(), joined(QStringList(11, Placeholder)));
    first.click(CopyButton);
    QCOMPARE(clipboardUtf8(), QByteArray("\r\n").repeated(10));
}

void TestEndToEnd::closesWhenTheWindowManagerAsks()
{
    Tool tool;
    QVERIFY(tool.start());
    tool.clickField(2);
    tool.type(u"abc"_s);
    sendDeleteWindow(tool.windowId());
    QVERIFY(tool.process().waitForFinished(5000));
    QCOMPARE(tool.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.process().exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
