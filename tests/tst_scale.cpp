// SPDX-License-Identifier: MIT
// At any screen scale the window scales as a whole: fields over their rows, the frame
// closed, the underline under the link words, and copy still gives the exact names; the
// Song-style font from its bitmaps at 100 %, from its outlines at 150 % and 200 %.
#include "DesktopDriver.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace desktop;

namespace {
const QString Program = QStringLiteral(GPD_PROGRAM);

bool setXftDpi(int dpi)
{
    QProcess xrdb;
    xrdb.start(u"xrdb"_s, {u"-nocpp"_s, u"-merge"_s});
    xrdb.write(QByteArray("Xft.dpi: ") + QByteArray::number(dpi) + '\n');
    xrdb.closeWriteChannel();
    return xrdb.waitForFinished() && xrdb.exitCode() == 0;
}

// The pixels of field 2's placeholder in a shot: black (an RGB sum under 200) and grey
// (between that and the field's light background).
std::pair<int, int> placeholderInk(const QImage &shot, double scale)
{
    const FieldRect &f = Fields[1];
    const QRect area(qRound(f.x * scale), qRound(f.y * scale), qRound(f.w * scale),
                     qRound(f.h * scale));
    int black = 0;
    int grey = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = shot.pixel(x, y);
            const int sum = qRed(p) + qGreen(p) + qBlue(p);
            black += sum < 200;
            grey += sum >= 200 && sum < 600;
        }
    }
    return {black, grey};
}
} // namespace

class TestScale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scalesAsAWhole_data();
    void scalesAsAWhole();
    void cleanup() { setXftDpi(96); }
};

void TestScale::scalesAsAWhole_data()
{
    QTest::addColumn<QString>("scaleFactor"); // QT_SCALE_FACTOR, or empty
    QTest::addColumn<int>("xftDpi");
    QTest::addColumn<double>("scale");
    // Chinese from the Song-style font's own bitmaps (1), black and crisp, as 宋体 is drawn
    // on Windows, or from its antialiased outlines (0). At 125 % (-1, not checked) Qt draws
    // through a scaled font engine, which takes no bitmap strike: outlines still.
    QTest::addColumn<int>("bitmaps");

    QTest::newRow("100 %") << QString() << 96 << 1.0 << 1;
    QTest::newRow("QT_SCALE_FACTOR 2") << u"2"_s << 96 << 2.0 << 0;
    QTest::newRow("QT_SCALE_FACTOR 1.5") << u"1.5"_s << 96 << 1.5 << 0;
    QTest::newRow("Xft.dpi 192") << QString() << 192 << 2.0 << 0;
    QTest::newRow("Xft.dpi 120") << QString() << 120 << 1.25 << -1;
}

void TestScale::scalesAsAWhole()
{
    QFETCH(QString, scaleFactor);
    QFETCH(int, xftDpi);
    QFETCH(double, scale);
    QFETCH(int, bitmaps);

    QVERIFY(setXftDpi(xftDpi));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"QT_SCALE_FACTOR"_s);
    env.remove(u"QT_SCREEN_SCALE_FACTORS"_s);
    if (!scaleFactor.isEmpty())
        env.insert(u"QT_SCALE_FACTOR"_s, scaleFactor);
    // Fractional factors are used as they are, not rounded.
    env.insert(u"QT_SCALE_FACTOR_ROUNDING_POLICY"_s, u"PassThrough"_s);
    Tool tool;
    QVERIFY(tool.start(Program, {}, env, scale));

    const QImage shot = tool.screenshot();
    const QString fault = scaledWindowFault(shot, scale);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    // The placeholder in field 2: its ink all black where bitmaps draw it (255 pixels at
    // 100 %), no grey; mostly grey where antialiased outlines do.
    const auto [black, grey] = placeholderInk(shot, scale);
    const QString ink = u"placeholder: %1 black pixels, %2 grey"_s.arg(black).arg(grey);
    qInfo("%s", qPrintable(ink));
    QVERIFY2(black + grey > 200, qPrintable(ink));
    if (bitmaps >= 0)
        QVERIFY2(bitmaps ? grey == 0 : grey > black, qPrintable(ink));

    tool.clickField(5);
    tool.keys(u"ctrl+a"_s);
    tool.type(u"scaled-abcdefghij"_s);
    // The refused 17th byte: the note shows beside the list, over no field or button.
    const QString noteFaultAtScale = noteFault(tool.screenshot(), true, scale);
    QVERIFY2(noteFaultAtScale.isEmpty(), qPrintable(noteFaultAtScale));
    QStringList names(11, Placeholder);
    names[4] = u"scaled-abcdefghi"_s;
    QCOMPARE(tool.copy(), joined(names));

    // A frame ends level in every row at every scale.
    QVERIFY(offerClipboard(FramePattern.join(u"\n"_s).toUtf8()));
    tool.clickField(7);
    tool.keys(u"ctrl+a"_s);
    tool.keys(u"ctrl+v"_s);
    std::copy(FramePattern.begin(), FramePattern.end(), names.begin() + 6);
    QCOMPARE(tool.copy(), joined(names));
    const QString frame = frameFault(tool.screenshot(), 7, scale);
    QVERIFY2(frame.isEmpty(), qPrintable(frame));
}

QTEST_GUILESS_MAIN(TestScale)
#include "tst_scale.moc"
