// SPDX-License-Identifier: MIT
// At any screen scale the window scales as a whole: fields over their rows, the frame
// closed, the underline under the link words, and copy still gives the exact names.
#include "DesktopDriver.h"

#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;
using namespace desktop;

namespace {
const QString Program = QStringLiteral(GPD_PROGRAM);

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

bool setXftDpi(int dpi)
{
    QProcess xrdb;
    xrdb.start(u"xrdb"_s, {u"-nocpp"_s, u"-merge"_s});
    xrdb.write(QByteArray("Xft.dpi: ") + QByteArray::number(dpi) + '\n');
    xrdb.closeWriteChannel();
    return xrdb.waitForFinished() && xrdb.exitCode() == 0;
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

    QTest::newRow("QT_SCALE_FACTOR 2") << u"2"_s << 96 << 2.0;
    QTest::newRow("QT_SCALE_FACTOR 1.5") << u"1.5"_s << 96 << 1.5;
    QTest::newRow("Xft.dpi 192") << QString() << 192 << 2.0;
    QTest::newRow("Xft.dpi 120") << QString() << 120 << 1.25;
}

void TestScale::scalesAsAWhole()
{
    QFETCH(QString, scaleFactor);
    QFETCH(int, xftDpi);
    QFETCH(double, scale);

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

    const auto device = [scale](double logical) { return int(std::lround(logical * scale)); };
    const QImage shot = tool.screenshot();
    QCOMPARE(shot.size(), QSize(device(508), device(384)));

    // The frame, left, top, right (the picture's and the right strip's) and bottom.
    for (const QPoint p : {QPoint(5, 200), QPoint(200, 5), QPoint(500, 60), QPoint(507, 200),
                           QPoint(60, 380), QPoint(440, 380)})
        QVERIFY2(shot.pixel(device(p.x() + 0.5), device(p.y() + 0.5)) == FrameBlue,
                 qPrintable(u"%1,%2"_s.arg(p.x()).arg(p.y())));
    // The panel's dark lines.
    QVERIFY(darkIn(shot, scale, 106, 107, 200, 201));
    QVERIFY(darkIn(shot, scale, 355, 356, 200, 201));
    // The underline below the link words, as thick as the scale makes a pixel.
    QVERIFY(darkIn(shot, scale, 440, 441, 375, 376));
    QVERIFY(!darkIn(shot, scale, 440, 441, 376.5, 378));
    const int lineRows = [&] {
        int rows = 0;
        for (int y = device(370); y < device(380); ++y)
            rows += shot.pixel(device(440), y) == qRgb(0, 0, 0);
        return rows;
    }();
    QVERIFY2(lineRows >= int(std::floor(scale)), qPrintable(QString::number(lineRows)));

    // Each field's text stands level with its row's triangle.
    for (int n = 1; n <= 11; ++n) {
        const FieldRect &f = Fields[n - 1];
        const int end = n < 11 ? std::min(f.y + f.h, Fields[n].y) : f.y + f.h;
        const double triangle =
            darkMiddle(shot, device(146), device(151), device(f.y), device(end));
        const double text =
            darkMiddle(shot, device(f.x), device(f.x + 60), device(f.y), device(end));
        QVERIFY2(triangle > 0 && text > 0, qPrintable(QString::number(n)));
        QVERIFY2(std::abs(text - triangle) <= 2 * scale,
                 qPrintable(u"field %1: text %2, triangle %3"_s.arg(n).arg(text).arg(triangle)));
    }

    tool.clickField(5);
    tool.keys(u"ctrl+a"_s);
    tool.type(u"scaled-ab"_s);
    tool.click(CopyButton);
    QStringList names(11, Placeholder);
    names[4] = u"scaled-ab"_s;
    QCOMPARE(clipboardUtf8(), joined(names));
}

QTEST_GUILESS_MAIN(TestScale)
#include "tst_scale.moc"
