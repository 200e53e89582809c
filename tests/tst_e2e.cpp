// SPDX-License-Identifier: MIT
// The real program under a real X server or in a Wayland session, driven as a user would.
#include "DesktopDriver.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using namespace desktop;

namespace {
const QString Program = QStringLiteral(GPD_PROGRAM);
const QString OtherHostProgram = QStringLiteral(GPD_OTHER_HOST_PROGRAM);
const QString NoGbkProgram = QStringLiteral(GPD_NO_GBK_PROGRAM);
// fcitx or ibus, with Pinyin active (tools/input-method-test), or none.
const QString InputMethod = qEnvironmentVariable("GPD_INPUT_METHOD");

// Whether the input method composes for the focused field. IBus has its input context
// before the window shows; Fcitx names the method once the field's context has reached it.
bool inputMethodReady()
{
    if (InputMethod != u"fcitx"_s)
        return true;
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QTest::qWait(100))
        if (run(u"fcitx5-remote"_s, {u"-n"_s}).out.trimmed() == "pinyin")
            return true;
    return false;
}

// The session buses and bus launchers running now, by process id.
QStringList busProcesses()
{
    QStringList found;
    for (const QString &pid : QDir(u"/proc"_s).entryList(QDir::Dirs)) {
        QFile comm(u"/proc/%1/comm"_s.arg(pid));
        if (comm.open(QIODevice::ReadOnly) &&
            QByteArrayList{"dbus-daemon\n", "dbus-launch\n"}.contains(comm.readAll()))
            found.append(pid);
    }
    return found;
}

// The rightmost column of field n with ink in it.
int inkEnd(const QImage &shot, int n)
{
    const FieldRect &f = Fields[n - 1];
    for (int x = f.x + f.w - 1; x >= f.x; --x)
        for (int y = f.y; y < f.y + f.h; ++y)
            if (isDark(shot.pixel(x, y)))
                return x;
    return f.x;
}
} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void windowIsFixedAndDrawnAsDesigned();
    void aPersonsWholeUse();
    void copiedNamesPasteBack_data();
    void copiedNamesPasteBack();
    void twoCopiesShareNothing();
    void refusesToStartWithoutGbk();
    void pasteFromAStoppedOwner();
    void closesWhenTheWindowManagerAsks_data();
    void closesWhenTheWindowManagerAsks();
    void frameClosedAndLinkUnderlined();
    void captionAndIcon_data();
    void captionAndIcon();
    void stripAsksTheDesktopOnce();
    void brokenBrowserChangesNothing_data();
    void brokenBrowserChangesNothing();
    void inputMethodCommits_data();
    void inputMethodCommits();
    void composingThenClicking_data();
    void composingThenClicking();

private:
    QString stubDirectory(int exitCode);
    QTemporaryDir m_temp;
};

void TestEndToEnd::initTestCase()
{
    const QStringList tools =
        onWayland() ? QStringList{u"swaymsg"_s, u"wtype"_s, u"wl-paste"_s, u"grim"_s}
                    : QStringList{u"xdotool"_s, u"xclip"_s, u"import"_s, u"xwininfo"_s, u"xprop"_s};
    for (const QString &tool : tools)
        QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(), qPrintable(tool));
    QVERIFY2(onWayland() ? qEnvironmentVariableIsSet("GPD_VNC_SOCKET")
                         : qEnvironmentVariableIsSet("DISPLAY"),
             "run under Xvfb (tools/xvfb-test) or sway (tools/wayland-test)");
}

// The size the window's client area has, and whether the desktop can change it.
static void verifyFixedSize(Tool &tool)
{
    if (onWayland()) {
        const auto size = [&tool] {
            const QJsonObject geometry = tool.view().value(u"geometry"_s).toObject();
            return QSize(geometry.value(u"width"_s).toInt(), geometry.value(u"height"_s).toInt());
        };
        QCOMPARE(size(), QSize(508, 384));
        // The compositor may make the frame bigger; the window keeps its size within it.
        QCOMPARE(
            run(u"swaymsg"_s, {u"[con_id=%1] resize set 700 500"_s.arg(tool.window())}).exitCode,
            0);
        QTest::qWait(300);
        QCOMPARE(size(), QSize(508, 384));
        return;
    }
    const QByteArray info = run(u"xwininfo"_s, {u"-id"_s, tool.window()}).out;
    QVERIFY2(info.contains("Width: 508\n") && info.contains("Height: 384\n"), info.constData());
    const QByteArray hints = run(u"xprop"_s, {u"-id"_s, tool.window(), u"WM_NORMAL_HINTS"_s}).out;
    QVERIFY2(hints.contains("minimum size: 508 by 384") &&
                 hints.contains("maximum size: 508 by 384"),
             hints.constData());
}

void TestEndToEnd::windowIsFixedAndDrawnAsDesigned()
{
    Tool tool;
    QVERIFY(tool.start(Program, {u"--ignored"_s, u"-reverse"_s}));

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
    verifyFixedSize(tool);
}

// A person fills the eleven names one after another by mouse and keys, and goes on to the
// next field at once, with the note about the last edit still showing beside the list.
void TestEndToEnd::aPersonsWholeUse()
{
    Tool tool;
    QVERIFY(tool.start(Program));
    QStringList names(11, Placeholder);
    const auto paste = [&tool](int n, const QString &text) {
        QVERIFY(offerClipboard(text.toUtf8()));
        tool.clickField(n);
        tool.keys(u"ctrl+a"_s);
        tool.keys(u"ctrl+v"_s);
    };

    // Typing cut by the rule, then the next field at once.
    tool.clickField(1);
    tool.keys(u"End"_s);
    tool.type(u"xyz12345"_s);
    names[0] = Placeholder + u"xyz1"_s;
    QString fault = noteFault(tool.screenshot(), true);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    tool.clickField(2);
    tool.keys(u"ctrl+a"_s);
    tool.type(u"ab中文"_s);
    names[1] = u"ab中文"_s;

    // A paste that loses a character, then the next field at once.
    paste(3, u"a😀b"_s);
    names[2] = u"ab"_s;
    QTRY_VERIFY2((fault = noteFault(tool.screenshot(), true)).isEmpty(), qPrintable(fault));
    QVERIFY(tool.screenshot().save(QDir::temp().filePath(u"group-pattern-designer-note.png"_s)));
    tool.clickField(4);
    tool.keys(u"ctrl+a"_s);
    tool.type(u"zz"_s);
    names[3] = u"zz"_s;
    fault = noteFault(tool.screenshot(), false);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));

    // The clear picture, clicked with a note showing, clears; one undo brings all back.
    tool.clickField(5);
    tool.keys(u"End"_s);
    tool.type(u"一二三"_s);
    names[4] = Placeholder + u"一二"_s;
    fault = noteFault(tool.screenshot(), true);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    tool.click(ClearButton);
    QCOMPARE(tool.copy(), QByteArray("\r\n").repeated(10));
    tool.keys(u"ctrl+z"_s);
    QCOMPARE(tool.copy(), joined(names));

    // A pattern of twelve lines, two of them too long, over all of field 1.
    const QStringList pattern{u"╭━━━━━━━━━━╮"_s, u"┃★家人★┃"_s, u"┃☆同学同学同学☆┃"_s,
                              u"┃★同事★┃"_s,     u"┃☆朋友☆┃"_s, u"┃★网友★┃"_s,
                              u"┃☆客户☆┃"_s,     u"┃★老乡★┃"_s, u"┃☆驴友☆┃"_s,
                              u"┃★黑名单┃"_s,    u"╰━━━━━━╯"_s, u"多余的一行"_s};
    paste(1, pattern.join(u"\r\n"_s));
    for (int n = 1; n <= 11; ++n)
        names[n - 1] = pattern[n - 1];
    names[0] = u"╭━━━━━━━"_s;
    names[2] = u"┃☆同学同学同学"_s;
    QTRY_VERIFY2((fault = noteFault(tool.screenshot(), true)).isEmpty(), qPrintable(fault));
    QCOMPARE(tool.copy(), joined(names));

    // A frame ends level in every row: its lines and symbols are as wide as 中.
    paste(1, FramePattern.join(u"\n"_s));
    std::copy(FramePattern.begin(), FramePattern.end(), names.begin());
    QCOMPARE(tool.copy(), joined(names));
    const QImage framed = tool.screenshot();
    QVERIFY(framed.save(QDir::temp().filePath(u"group-pattern-designer-frame.png"_s)));
    QVERIFY2((fault = frameFault(framed, 1)).isEmpty(), qPrintable(fault));

    // The Song-style font's Latin-1 signs in full cells too, from their bitmaps: the row
    // ends in the eighth cell, as eight 家 do, black with no grey. Drawn in the font's own
    // half cells, it would end 24 px short; smoothed, it would have grey.
    // One pattern for both: the clipboard offered anew could overtake a paste still reading.
    paste(10, u"家家家家家家家家\n家±家×家÷家°"_s);
    names[9] = u"家家家家家家家家"_s;
    names[10] = u"家±家×家÷家°"_s;
    QCOMPARE(tool.copy(), joined(names));
    tool.clickField(9); // the cursor away from both
    const QImage cells = tool.screenshot();
    QVERIFY(cells.save(QDir::temp().filePath(u"group-pattern-designer-full-cells.png"_s)));
    QList<QRect> ink;
    int grey = 0;
    for (const int n : {10, 11}) {
        const FieldRect &f = Fields[n - 1];
        QRect box;
        for (int y = f.y; y < f.y + f.h; ++y)
            for (int x = f.x; x < f.x + f.w; ++x) {
                const int gray = qGray(cells.pixel(x, y));
                if (gray < 200)
                    box |= QRect(x, y, 1, 1);
                grey += n == 11 && gray >= 64 && gray < 200;
            }
        ink.append(box);
    }
    const QString cellInk =
        u"ink of eight 家 %1 to %2, of 家±家×家÷家° %3 to %4, %5 grey"_s.arg(ink[0].left())
            .arg(ink[0].right())
            .arg(ink[1].left())
            .arg(ink[1].right())
            .arg(grey);
    qInfo("%s", qPrintable(cellInk));
    QVERIFY2(ink[0].width() >= 8 * 12 - 4 && std::abs(ink[0].left() - ink[1].left()) <= 1,
             qPrintable(cellInk));
    QVERIFY2(ink[1].right() > ink[0].right() - 6 && grey == 0, qPrintable(cellInk));

    // Three symbols from the panel, opened with its key, over all of field 5; Esc gives the
    // keys back to the field. Then from the field's menu: 常用 keeps its order. The keys for
    // the panel come from the keyboard that opened it, as a person's do. The panel shows
    // outside the window, level with the field: the picture beside the list stays as it is.
    // Right and left of the window, level with field n.
    const auto besideField = [&tool](int n) {
        const QRect window = tool.windowRects().value(0);
        const int y = window.top() + Fields[n - 1].y + 40;
        return std::pair{QPoint(window.right() + 40, y), QPoint(window.left() - 40, y)};
    };
    const auto besideWindow = [&tool, &besideField](int n, const QImage &before) {
        const QRect window = tool.windowRects().value(0);
        QVERIFY(window.isValid());
        const FieldRect &f = Fields[n - 1];
        // The picture right of the field, in its row, and below it.
        const QPoint row = window.topLeft() + QPoint(f.x + f.w + 60, f.y + f.h / 2);
        const QPoint below = window.topLeft() + QPoint(f.x + f.w + 60, f.y + 60);
        const auto [right, left] = besideField(n);
        const auto changed = [&before](const QImage &shot, QPoint p) {
            return shot.pixel(p) != before.pixel(p);
        };
        QImage shown;
        // Shown beside the window; on Wayland, where the compositor flips it over the window
        // when the screen has no room on the right, below the field's row.
        const bool shows = QTest::qWaitFor(
            [&] {
                shown = tool.screen();
                return changed(shown, right) || changed(shown, left) ||
                       (onWayland() && changed(shown, below));
            },
            5000);
        QVERIFY(
            shown.save(QDir::temp().filePath(u"group-pattern-designer-symbols-%1.png"_s.arg(n))));
        QVERIFY(shows);
        QVERIFY(!changed(shown, row));
        const QList<QRect> rects = tool.windowRects();
        if (rects.size() < 2) {
            QVERIFY(onWayland()); // a popup, which the compositor does not list
            return;
        }
        const QRect panel = rects[1];
        QVERIFY2(!panel.intersects(window),
                 qPrintable(u"panel %1,%2 %3x%4 over the window at %5,%6"_s.arg(panel.x())
                                .arg(panel.y())
                                .arg(panel.width())
                                .arg(panel.height())
                                .arg(window.x())
                                .arg(window.y())));
        QCOMPARE(panel.top(), window.top() + f.y);
    };
    // Esc closes the panel. On Wayland it may lie over the copy picture, and a click the
    // compositor sends before the panel is gone goes to the panel, as a person's would.
    const auto escape = [&tool, &besideField](int n, const QImage &before) {
        tool.keys(u"Escape"_s);
        const QRect window = tool.windowRects().value(0);
        const FieldRect &f = Fields[n - 1];
        const auto [right, left] = besideField(n);
        const QPoint below = window.topLeft() + QPoint(f.x + f.w + 60, f.y + 60);
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QImage shot = tool.screen();
                return shot.pixel(right) == before.pixel(right) &&
                       shot.pixel(left) == before.pixel(left) &&
                       shot.pixel(below) == before.pixel(below);
            },
            5000));
    };
    QImage empty = tool.screen();
    tool.clickField(5);
    tool.keys(u"ctrl+a"_s);
    tool.keys({u"ctrl+shift+s"_s, u"Return"_s, u"Right"_s, u"Return"_s, u"Right"_s, u"Return"_s},
              1500);
    besideWindow(5, empty);
    escape(5, empty);
    tool.type(u"x"_s);
    names[4] = u"╭╮╰x"_s;
    QCOMPARE(QString::fromUtf8(tool.copy()).split(u"\r\n"_s), names);
    tool.clickField(6);
    tool.keys(u"ctrl+a"_s);
    empty = tool.screen();
    tool.click(QPoint(Fields[5].x + 20, Fields[5].y + 8), 1, 3);
    QTest::qWait(300); // Qt's own menu
    // From the menu's end: 对齐右边, 装饰全部组, 插入符号….
    tool.keys({u"Up"_s, u"Up"_s, u"Up"_s}, 100);
    tool.keys({u"Return"_s, u"Return"_s}, 1500);
    besideWindow(6, empty);
    escape(6, empty);
    names[5] = u"╭"_s;
    QCOMPARE(QString::fromUtf8(tool.copy()).split(u"\r\n"_s), names);
    // A Chinese word pasted into the search, Enter: its best match goes in.
    QVERIFY(offerClipboard(u"双竖线"_s.toUtf8()));
    tool.clickField(8);
    tool.keys(u"ctrl+a"_s);
    tool.keys({u"ctrl+shift+s"_s, u"ctrl+v"_s, u"Return"_s, u"Escape"_s, u"Escape"_s}, 1500);
    names[7] = u"║"_s;
    QCOMPARE(tool.copy(), joined(names));
    QCOMPARE(tool.windowRects().size(), 1);

    // A name with stray line breaks changes its own field alone; an undo takes it back.
    paste(7, u"\n★新名字★\n\n"_s);
    QStringList strayed = names;
    strayed[6] = u"★新名字★"_s;
    QCOMPARE(tool.copy(), joined(strayed));
    tool.keys(u"ctrl+z"_s);
    QCOMPARE(tool.copy(), joined(names));
    // Ctrl+Y redoes on every system, beside the system's own key; Ctrl+Z again.
    tool.keys(u"ctrl+y"_s);
    QCOMPARE(tool.copy(), joined(strayed));
    tool.keys(u"ctrl+z"_s);
    QCOMPARE(tool.copy(), joined(names));

    // A copy right after a paste copies the pasted name.
    paste(9, u"粘贴"_s);
    names[8] = u"粘贴"_s;
    const QByteArray copied = tool.copy();
    QCOMPARE(copied, joined(names));
    verifyNames(QString::fromUtf8(copied).split(u"\r\n"_s), 1, names.join(u'\n'));

    // A frame from nothing: its borders and words typed, one name decorated, that decoration
    // on every name, the right side level (their undo steps: tst_form1).
    tool.click(ClearButton);
    const QStringList typed{u"╔════╗"_s, u"║家人║"_s, u"同学"_s, u"老同事"_s, u"╚══╝"_s};
    for (int n = 1; n <= typed.size(); ++n) {
        tool.clickField(n);
        tool.type(typed[n - 1]);
    }
    names = QStringList(11);
    std::copy(typed.begin(), typed.end(), names.begin());
    QCOMPARE(tool.copy(), joined(names));
    tool.clickField(2);
    tool.keys(u"ctrl+shift+d"_s);
    names[2] = u"║同学║"_s;
    names[3] = u"║老同事║"_s;
    QCOMPARE(tool.copy(), joined(names));
    tool.keys(u"ctrl+shift+r"_s);
    const QStringList aligned{u"╔════╗"_s, u"║家人　　║"_s, u"║同学　　║"_s, u"║老同事　║"_s,
                              u"╚════╝"_s};
    std::copy(aligned.begin(), aligned.end(), names.begin());
    QCOMPARE(tool.copy(), joined(names));
    // As the window draws them, the rows' right ends of ink are level within 2 px.
    tool.clickField(11);
    const QImage level = tool.screenshot();
    QVERIFY(level.save(QDir::temp().filePath(u"group-pattern-designer-aligned.png"_s)));
    QList<int> ends;
    for (int n = 1; n <= aligned.size(); ++n) {
        const FieldRect &f = Fields[n - 1];
        const int bottom = std::min(f.y + f.h, Fields[n].y);
        int right = -1;
        for (int y = f.y; y < bottom; ++y)
            for (int x = f.x; x < f.x + f.w; ++x)
                if (qGray(level.pixel(x, y)) < 200)
                    right = std::max(right, x);
        ends.append(right);
    }
    const auto [least, most] = std::minmax_element(ends.begin(), ends.end());
    QVERIFY2(*least > Fields[0].x + 60 && *most - *least <= 2,
             qPrintable(u"right ends %1"_s.arg(QString::number(ends.size()))));
    qInfo("aligned frame: rows end at %d to %d", *least, *most);
    tool.keys(u"ctrl+z"_s);
    tool.keys(u"ctrl+z"_s);
    std::copy(typed.begin(), typed.end(), names.begin());
    QCOMPARE(tool.copy(), joined(names));

    // With the panel open, the close request the close box sends ends the program at once.
    tool.clickField(10);
    tool.keys(u"ctrl+shift+s"_s);
    besideWindow(10, empty);
    QVERIFY(tool.requestClose());
    QVERIFY(tool.process().waitForFinished(5000));
    QCOMPARE(tool.process().exitCode(), 0);
}

void TestEndToEnd::copiedNamesPasteBack_data()
{
    QTest::addColumn<bool>("clearFirst");
    QTest::addColumn<QStringList>("typed"); // into fields 1, 2, ...; empty strings skip one
    QTest::addColumn<QString>("pattern");   // else pasted into field 1 from another program
    QTest::addColumn<bool>("middleClick");  // the pattern pasted from the selection

    QTest::newRow("initial names") << false << QStringList() << QString() << false;
    QTest::newRow("cleared") << true << QStringList() << QString() << false;
    QTest::newRow("mixed names") << true << QStringList{u"A"_s,   QString(), u"★中文ab"_s,
                                                        u"╰☆╮"_s, QString(), u"一二三四五六七八"_s}
                                 << QString() << false;
    // Eleven lines as a web page gives them: LF, and one at the end.
    const QString pattern = u"╭━━━━━━╮\n┃★家人★┃\n┃☆同学☆┃\n┃★同事★┃\n┃☆朋友☆┃\n┃★网友★┃\n"
                            "┃☆客户☆┃\n┃★老乡★┃\n┃☆驴友☆┃\n┃★黑名单┃\n╰━━━━━━╯\n"_s;
    QTest::newRow("a pattern from a web page") << true << QStringList() << pattern << false;
    QTest::newRow("a pattern by middle click") << true << QStringList() << pattern << true;
}

// What the tool copies, pasted back into the first field by way of another program's
// clipboard, gives the eleven names back.
void TestEndToEnd::copiedNamesPasteBack()
{
    QFETCH(bool, clearFirst);
    QFETCH(QStringList, typed);
    QFETCH(QString, pattern);
    QFETCH(bool, middleClick);
    Tool tool;
    QVERIFY(tool.start(Program));
    if (clearFirst)
        tool.click(ClearButton);
    for (int n = 1; n <= typed.size(); ++n) {
        if (typed[n - 1].isEmpty())
            continue;
        tool.clickField(n);
        tool.type(typed[n - 1]);
    }
    if (!pattern.isEmpty()) {
        QVERIFY(offerClipboard(pattern.toUtf8(), middleClick ? u"primary"_s : u"clipboard"_s));
        if (middleClick) {
            const FieldRect &f = Fields[0];
            tool.click(QPoint(f.x + 2, f.y + f.h / 2), 1, 2);
        } else {
            tool.clickField(1);
            tool.keys(u"ctrl+v"_s);
        }
    }
    tool.click(CopyButton);
    const QByteArray copied = clipboardUtf8();
    QCOMPARE(copied.count("\r\n"), 10);
    if (!pattern.isEmpty())
        QCOMPARE(copied, pattern.chopped(1).replace(u"\n"_s, u"\r\n"_s).toUtf8());

    QVERIFY(offerClipboard(copied));
    tool.click(ClearButton);
    tool.clickField(1);
    tool.keys(u"ctrl+v"_s);
    const QImage pasted = tool.screenshot();
    tool.click(CopyButton);
    QCOMPARE(clipboardUtf8(), copied);
    QVERIFY(pasted.save(QDir::temp().filePath(u"group-pattern-designer-pasted.png"_s)));

    // The whole paste is one step back, and forward again.
    if (copied == QByteArray("\r\n").repeated(10))
        return; // the paste changed nothing: there is no step to take back
    tool.keys(u"ctrl+z"_s);
    tool.click(CopyButton);
    QCOMPARE(clipboardUtf8(), QByteArray("\r\n").repeated(10));
    tool.keys(u"ctrl+shift+z"_s);
    tool.click(CopyButton);
    QCOMPARE(clipboardUtf8(), copied);
}

void TestEndToEnd::twoCopiesShareNothing()
{
    Tool first, second;
    QVERIFY(first.start(Program));
    QVERIFY(second.start(Program));
    QVERIFY(first.window() != second.window());

    first.click(ClearButton);
    second.click(CopyButton);
    QCOMPARE(clipboardUtf8(), joined(QStringList(11, Placeholder)));
    first.click(CopyButton);
    QCOMPARE(clipboardUtf8(), QByteArray("\r\n").repeated(10));
}

// A build that finds no GBK conversion at all, as on a system without one: rather than
// measure names wrongly, it says what is missing and ends.
void TestEndToEnd::refusesToStartWithoutGbk()
{
    Tool tool;
    tool.keepErrors();
    QVERIFY(tool.start(NoGbkProgram));
    const QString title = u"分组图案设计器"_s;
    if (onWayland())
        QCOMPARE(tool.view().value(u"name"_s).toString(), title);
    else
        QVERIFY(
            windowProperty(tool.window(), u"_NET_WM_NAME"_s).contains('"' + title.toUtf8() + '"'));
    const QImage box = tool.screenshot();
    QVERIFY(box.save(QDir::temp().filePath(u"group-pattern-designer-no-gbk.png"_s)));
    QVERIFY(tool.requestClose());
    QVERIFY(tool.process().waitForFinished(5000));
    QCOMPARE(tool.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.process().exitCode(), 1);
    const QByteArray errors = tool.process().readAllStandardError();
    QVERIFY2(errors.contains("no GBK (code page 936) conversion"), errors.constData());
}

// The program holding the clipboard stops (as a hung one would) before it hands over its
// text: the window goes on, and after a second says so; the names stay.
void TestEndToEnd::pasteFromAStoppedOwner()
{
    Tool tool;
    QVERIFY(tool.start(Program));
    tool.click(ClearButton);
    tool.clickField(3);
    tool.type(u"ab"_s);
    QVERIFY(offerClipboard("never"));
    const QString copier = onWayland() ? u"wl-copy"_s : u"xclip"_s;
    const QString pid =
        QString::fromLatin1(run(u"pgrep"_s, {u"-n"_s, u"-x"_s, copier}).out.trimmed());
    QVERIFY2(!pid.isEmpty(), qPrintable(copier));
    QCOMPARE(run(u"kill"_s, {u"-STOP"_s, pid}).exitCode, 0);
    QElapsedTimer sincePaste;
    sincePaste.start();
    tool.keys(u"ctrl+v"_s);
    QStringList names(11);
    names[2] = u"ab"_s;
    // The copy waits for the paste asked for before it, at most the second that the paste
    // waits for the stopped owner, and copies the names as they are.
    QCOMPARE(tool.copy(), joined(names));
    const qint64 served = sincePaste.elapsed();
    QTRY_COMPARE_WITH_TIMEOUT(tool.windows().size(), 2, 5000);
    qInfo("paste from a stopped owner: a copy served %lld ms after it, the message after %lld ms",
          served, sincePaste.elapsed());
    QVERIFY2(served < 2500, qPrintable(QString::number(served)));
    run(u"kill"_s, {u"-KILL"_s, pid});
}

void TestEndToEnd::closesWhenTheWindowManagerAsks_data()
{
    QTest::addColumn<bool>("sessionBus");
    QTest::newRow("in a session") << true;
    // As in a bare window-manager session: nothing announces a bus, none at the runtime folder.
    QTest::newRow("where no session bus runs") << false;
}

void TestEndToEnd::closesWhenTheWindowManagerAsks()
{
    QFETCH(bool, sessionBus);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!sessionBus) {
        QVERIFY(m_temp.isValid());
        const QString runtime = m_temp.filePath(u"runtime"_s);
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
        if (!onWayland())
            env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    }
    const QStringList busesBefore = busProcesses();
    Tool tool;
    QVERIFY(tool.start(Program, {}, env));
    tool.clickField(2);
    tool.type(u"abc"_s);
    QVERIFY(tool.requestClose());
    QVERIFY(tool.process().waitForFinished(5000));
    QCOMPARE(tool.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.process().exitCode(), 0);
    // Nothing the program started outlives it.
    QTest::qWait(300);
    QStringList stray = busProcesses();
    for (const QString &pid : busesBefore)
        stray.removeAll(pid);
    QVERIFY2(stray.isEmpty(), qPrintable(u"left running: "_s + stray.join(u' ')));
}

void TestEndToEnd::frameClosedAndLinkUnderlined()
{
    Tool tool;
    QVERIFY(tool.start(Program));
    const QImage before = tool.screenshot();
    QCOMPARE(before.size(), QSize(508, 384));

    // The right column and the bottom band read as one light-blue bar, no grey seam.
    for (int y = 0; y < 384; ++y)
        for (int x = 506; x < 508; ++x)
            QVERIFY2(before.pixel(x, y) == FrameBlue, qPrintable(u"%1,%2"_s.arg(x).arg(y)));
    for (int x = 0; x < 508; ++x)
        for (const int y : {351, 354, 357, 376, 380, 383})
            QVERIFY2(before.pixel(x, y) == FrameBlue, qPrintable(u"%1,%2"_s.arg(x).arg(y)));
    for (int y = 351; y < 384; ++y)
        for (int x = 0; x < 12; ++x)
            QVERIFY2(before.pixel(x, y) == FrameBlue, qPrintable(u"%1,%2"_s.arg(x).arg(y)));

    // The underline runs from x 378 to 498 at y 375, under the last words of the strip:
    // those start after the widest gap in the text and end by the line's end.
    for (int x = 378; x <= 498; ++x)
        QCOMPARE(before.pixel(x, 375), qRgb(0, 0, 0));
    QCOMPARE(before.pixel(376, 375), FrameBlue);
    QCOMPARE(before.pixel(500, 375), FrameBlue);
    QList<int> inkColumns;
    for (int x = 12; x < 506; ++x)
        for (int y = 358; y < 375; ++y)
            if (isDark(before.pixel(x, y))) {
                inkColumns.append(x);
                break;
            }
    QVERIFY(inkColumns.size() > 100);
    int widestGap = 0, linkStart = 0;
    for (int i = 1; i < inkColumns.size(); ++i)
        if (inkColumns[i] - inkColumns[i - 1] > widestGap)
            widestGap = inkColumns[i] - inkColumns[i - 1], linkStart = inkColumns[i];
    QVERIFY2(std::abs(linkStart - 378) <= 4, qPrintable(QString::number(linkStart)));
    QVERIFY2(inkColumns.last() <= 500 && inkColumns.last() >= 488,
             qPrintable(QString::number(inkColumns.last())));

    // The count label keeps its text through a clear and an edit.
    const QRect countLabel(212, 90, 68, 15);
    tool.click(ClearButton);
    tool.clickField(1);
    tool.type(u"[99/99]"_s);
    const QImage after = tool.screenshot();
    QCOMPARE(after.copy(countLabel), before.copy(countLabel));
    QVERIFY(after.copy(QRect(158, 110, 60, 23)) != before.copy(QRect(158, 110, 60, 23)));
    QVERIFY(before.save(QDir::temp().filePath(u"group-pattern-designer.png"_s)));
}

void TestEndToEnd::captionAndIcon_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("host");
    QTest::newRow("configured host")
        << QStringLiteral(GPD_PROGRAM) << QStringLiteral(GPD_PATTERN_HOST);
    QTest::newRow("another host") << QStringLiteral(GPD_OTHER_HOST_PROGRAM)
                                  << u"patterns.example.org"_s;
}

void TestEndToEnd::captionAndIcon()
{
    QFETCH(QString, program);
    QFETCH(QString, host);
    Tool tool;
    QVERIFY(tool.start(program));
    const QString caption = u"分组图案设计器  BY "_s + host.toUpper();
    if (onWayland()) {
        // The compositor finds the icon and the launcher through the app id.
        QCOMPARE(tool.view().value(u"name"_s).toString(), caption);
        QCOMPARE(tool.view().value(u"app_id"_s).toString(), QStringLiteral(GPD_APP_ID));
        return;
    }
    const QByteArray name = windowProperty(tool.window(), u"_NET_WM_NAME"_s);
    QVERIFY2(name.contains((u'"' + caption + u'"').toUtf8()), name.constData());
    const QByteArray icon = windowProperty(tool.window(), u"_NET_WM_ICON"_s);
    QVERIFY2(icon.contains("Icon (32 x 32)"), icon.left(200).constData());
}

QString TestEndToEnd::stubDirectory(int exitCode)
{
    // Stand-ins for the desktop's launchers that record what they are asked.
    const QString dir = m_temp.filePath(u"stubs-%1"_s.arg(exitCode));
    QDir().mkpath(dir);
    for (const QString &name : {u"xdg-open"_s, u"browser"_s}) {
        QFile stub(dir + u'/' + name);
        if (!stub.open(QIODevice::WriteOnly))
            return {};
        // And the session bus it was handed, which is the system's, not the tool's.
        stub.write(u"#!/bin/sh\nprintf '%s %s\\n' \"${0##*/}\" \"$*\" >> \"%1\"\n"
                   "echo \"${DBUS_SESSION_BUS_ADDRESS-unset}\" >> \"%3\"\nexit %2\n"_s
                       .arg(m_temp.filePath(u"requests.log"_s))
                       .arg(exitCode)
                       .arg(m_temp.filePath(u"bus.log"_s))
                       .toUtf8());
        stub.setPermissions(stub.permissions() | QFile::ExeOwner);
    }
    return dir;
}

void TestEndToEnd::stripAsksTheDesktopOnce()
{
    QVERIFY(m_temp.isValid());
    const QString stubs = stubDirectory(0);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"PATH"_s, stubs + u':' + env.value(u"PATH"_s));
    env.insert(u"BROWSER"_s, stubs + u"/browser"_s);
    // As where no session bus runs: the browser gets no bus address the tool made up.
    if (!onWayland()) {
        const QString runtime = m_temp.filePath(u"runtime-strip"_s);
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        env.remove(u"DBUS_SESSION_BUS_ADDRESS"_s);
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime);
    }
    const QByteArray bus = onWayland()
                               ? env.value(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unset"_s).toUtf8()
                               : QByteArray("unset");
    Tool tool;
    QVERIFY(tool.start(OtherHostProgram, {}, env));

    QFile log(m_temp.filePath(u"requests.log"_s));
    const auto requests = [&log] {
        if (!log.open(QIODevice::ReadOnly))
            return QByteArrayList();
        const QByteArrayList lines = log.readAll().split('\n');
        log.close();
        return lines.mid(0, lines.size() - 1);
    };
    const QByteArray expected = "xdg-open http://patterns.example.org/fenzu/";
    int asked = 0;
    for (const QPoint at : {QPoint(20, 366), QPoint(430, 366), QPoint(430, 375)}) {
        tool.click(at);
        ++asked;
        QTRY_COMPARE(requests(), QByteArrayList(asked, expected));
    }
    tool.click(QPoint(200, 366), 2);
    ++asked;
    QTRY_COMPARE(requests(), QByteArrayList(asked, expected));
    QTest::qWait(500);
    QCOMPARE(requests().size(), asked);
    QFile busLog(m_temp.filePath(u"bus.log"_s));
    QVERIFY(busLog.open(QIODevice::ReadOnly));
    QCOMPARE(busLog.readAll(), QByteArray(bus + '\n').repeated(asked));
}

void TestEndToEnd::brokenBrowserChangesNothing_data()
{
    QTest::addColumn<bool>("launcherFails"); // else there is no launcher at all
    QTest::newRow("launcher fails") << true;
    QTest::newRow("no launcher") << false;
}

void TestEndToEnd::brokenBrowserChangesNothing()
{
    QFETCH(bool, launcherFails);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"BROWSER"_s);
    env.insert(u"PATH"_s, launcherFails ? stubDirectory(1) : m_temp.filePath(u"empty"_s));
    Tool tool;
    QVERIFY(tool.start(OtherHostProgram, {}, env));
    // Where the window has the focus, the top field's cursor blinks, and its bytes show
    // beside the list: leave that row out, to the picture buttons.
    const auto shot = [&tool] {
        QImage image = tool.screenshot();
        const FieldRect &f = Fields[0];
        for (int y = f.y; y < f.y + f.h && y < image.height(); ++y)
            for (int x = f.x; x < 387 && x < image.width(); ++x)
                image.setPixel(x, y, 0);
        return image;
    };
    const QImage before = shot();
    QFile::remove(m_temp.filePath(u"requests.log"_s));
    tool.click(QPoint(200, 366));
    if (launcherFails) {
        // The click reached the strip: the launcher was asked, and failed.
        const auto requests = [this] {
            QFile log(m_temp.filePath(u"requests.log"_s));
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        };
        QTRY_COMPARE(requests(), QByteArray("xdg-open http://patterns.example.org/fenzu/\n"));
    }
    QTest::qWait(500);
    QCOMPARE(tool.process().state(), QProcess::Running);
    QCOMPARE(tool.windows(), QStringList{tool.window()});
    QCOMPARE(shot(), before);
    tool.click(CopyButton);
    QCOMPARE(clipboardUtf8(), joined(QStringList(11, Placeholder)));
}

void TestEndToEnd::inputMethodCommits_data()
{
    if (InputMethod.isEmpty())
        QSKIP("no input method runs (tools/input-method-test)");
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("keys");   // before composing
    QTest::addColumn<QStringList>("pinyin"); // each committed with space
    QTest::addColumn<QString>("expected");

    QTest::newRow("eight characters fit, a ninth is refused")
        << 3 << QStringList{u"ctrl+a"_s} << u"wo ni ta shi de le bu zai you"_s.split(u' ')
        << u"我你他是的了不在"_s;
    QTest::newRow("a phrase is cut to the room left")
        << 2 << QStringList{u"End"_s} << QStringList{u"zhongguoren"_s} << Placeholder + u"中国"_s;
    QTest::newRow("a phrase replaces the selection, cut")
        << 1 << QStringList{u"End"_s, u"shift+Left"_s} << QStringList{u"zhongguorenmin"_s}
        << u"好友分组名中国人"_s;
}

void TestEndToEnd::inputMethodCommits()
{
    QFETCH(int, n);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, pinyin);
    QFETCH(QString, expected);
    Tool tool;
    QVERIFY(tool.start(Program));
    tool.clickField(n);
    QVERIFY(inputMethodReady());
    for (const QString &key : keys)
        tool.keys(key);
    for (const QString &syllables : pinyin) {
        tool.type(syllables);
        tool.keys(u"space"_s);
    }
    QStringList names(11, Placeholder);
    names[n - 1] = expected;
    QTRY_COMPARE(tool.copy(), joined(names));

    // The pre-edit shows after the name, even in a full field, and is no part of it.
    const int nameEnd = inkEnd(tool.screenshot(), n);
    tool.type(u"women"_s);
    const QImage composing = tool.screenshot();
    QVERIFY(composing.save(QDir::temp().filePath(u"group-pattern-designer-pinyin.png"_s)));
    QVERIFY2(inkEnd(composing, n) > nameEnd + 20,
             qPrintable(u"%1 -> %2"_s.arg(nameEnd).arg(inkEnd(composing, n))));
    QCOMPARE(tool.copy(), joined(names));
}

void TestEndToEnd::composingThenClicking_data()
{
    if (InputMethod.isEmpty())
        QSKIP("no input method runs (tools/input-method-test)");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QStringList>("expected"); // after "ta" and space

    // Composing goes on; "我们他" is cut to what fits.
    QStringList copy(11, Placeholder);
    copy[8] += u"我们"_s;
    QTest::newRow("copy") << CopyButton << copy;
    QStringList clear(11, QString());
    clear[8] = u"他"_s;
    QTest::newRow("clear") << ClearButton << clear;
    // The field left behind gets what the method commits on leaving: Fcitx the Pinyin as
    // shown, IBus its candidate.
    QStringList other(11, Placeholder);
    other[1] += u"他"_s;
    other[8] += InputMethod == u"fcitx"_s ? u"wo m"_s : u"我们"_s;
    QTest::newRow("another field") << QPoint(Fields[1].x + 100, Fields[1].y + 11) << other;
}

void TestEndToEnd::composingThenClicking()
{
    QFETCH(QPoint, at);
    QFETCH(QStringList, expected);
    Tool tool;
    QVERIFY(tool.start(Program));
    tool.clickField(9);
    QVERIFY(inputMethodReady());
    tool.keys(u"End"_s);
    tool.type(u"women"_s);
    tool.click(at);
    if (at == CopyButton)
        QCOMPARE(clipboardUtf8(), joined(QStringList(11, Placeholder)));
    QVERIFY(inputMethodReady());
    tool.type(u"ta"_s);
    tool.keys(u"space"_s);
    QTRY_COMPARE(tool.copy(), joined(expected));
    if (at != ClearButton)
        return;
    // What the method committed as the clear emptied its field is no step of its own: two
    // undos take back the last commit and the whole clear.
    tool.keys(u"ctrl+z"_s);
    tool.keys(u"ctrl+z"_s);
    QTRY_COMPARE(tool.copy(), joined(QStringList(11, Placeholder)));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_e2e.moc"
