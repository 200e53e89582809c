// SPDX-License-Identifier: MIT
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString AssetsDir = QStringLiteral(ASSETS_DIR);

const QRgb FrameBlue = qRgb(141, 184, 255);
const QRgb PanelLine = qRgb(62, 94, 146);
const QRgb White = qRgb(255, 255, 255);

const int IconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

int arrowTop(int row)
{
    return 90 + 22 * (row - 1);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template <typename T> T littleAt(const QByteArray &data, int offset)
{
    return qFromLittleEndian<T>(data.constData() + offset);
}

// A picture seen in logical pixels: at scale 2 each logical pixel is a 2 x 2 block.
class Logical
{
public:
    Logical(const QString &name, int scale)
        : m_image(QImage(AssetsDir + u'/' + name).convertToFormat(QImage::Format_RGB32)),
          m_scale(scale)
    {
    }

    bool isNull() const { return m_image.isNull(); }
    QSize size() const { return m_image.size() / m_scale; }

    // Every device pixel of the block has the colour.
    bool blockIs(int x, int y, QRgb colour) const
    {
        return forBlock(x, y, [colour](QRgb c) { return c == colour; });
    }
    bool blockDark(int x, int y) const
    {
        return forBlock(x, y, [](QRgb c) { return qGray(c) < 128; });
    }
    bool blockWhite(int x, int y) const { return blockIs(x, y, White); }
    int darkestGray(int x, int y) const
    {
        int darkest = 255;
        forBlock(x, y, [&darkest](QRgb c) {
            darkest = qMin(darkest, qGray(c));
            return true;
        });
        return darkest;
    }

    // The first block in the rectangle that is not all of the colour, or a null point.
    QPoint firstOff(const QRect &area, QRgb colour) const
    {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (!blockIs(x, y, colour))
                    return QPoint(x, y);
        return QPoint();
    }

private:
    template <typename Test> bool forBlock(int x, int y, Test test) const
    {
        for (int dy = 0; dy < m_scale; ++dy)
            for (int dx = 0; dx < m_scale; ++dx)
                if (!test(m_image.pixel(x * m_scale + dx, y * m_scale + dy)))
                    return false;
        return true;
    }

    QImage m_image;
    int m_scale;
};

QString where(QPoint p)
{
    return QStringLiteral("first differing pixel at (%1, %2)").arg(p.x()).arg(p.y());
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void generatedMatchesCommitted_data();
    void generatedMatchesCommitted();

    void pngHeader_data();
    void pngHeader();
    void buttonFace_data();
    void buttonFace();
    void iconFile();

    void solidRegion_data();
    void solidRegion();
    void listAreaBlank_data();
    void listAreaBlank();
    void rowArrow_data();
    void rowArrow();
    void rowTitle_data();
    void rowTitle();

private:
    QTemporaryDir m_generated;
};

void TestArtwork::initTestCase()
{
    QVERIFY(m_generated.isValid());
    QProcess artgen;
    artgen.start(QStringLiteral(ARTGEN_PATH), {m_generated.path()});
    QVERIFY2(artgen.waitForFinished(120000), qPrintable(artgen.errorString()));
    QCOMPARE(artgen.exitStatus(), QProcess::NormalExit);
    QVERIFY2(artgen.exitCode() == 0, artgen.readAllStandardError().constData());
}

void TestArtwork::generatedMatchesCommitted_data()
{
    QTest::addColumn<QString>("name");
    const QString pictures[] = {
        QStringLiteral("background.png"), QStringLiteral("background@2x.png"),
        QStringLiteral("clear.png"),      QStringLiteral("clear@2x.png"),
        QStringLiteral("copy.png"),       QStringLiteral("copy@2x.png"),
        QStringLiteral("icon.ico"),
    };
    for (const QString &name : pictures)
        QTest::newRow(qPrintable(name)) << name;
    for (int size : IconSizes) {
        const QString name = QStringLiteral("icons/%1.png").arg(size);
        QTest::newRow(qPrintable(name)) << name;
    }
}

void TestArtwork::generatedMatchesCommitted()
{
    QFETCH(QString, name);
    const QByteArray generated = readAll(m_generated.filePath(name));
    const QByteArray committed = readAll(AssetsDir + u'/' + name);
    QVERIFY2(!generated.isEmpty(), "artgen did not write the file");
    QVERIFY2(!committed.isEmpty(), "the file is not in assets/");
    if (generated == committed)
        return;
    // Qt's antialiasing rounds differently on CPUs with other vector units, by one level of
    // one channel at most; anything more is a stale picture.
    const QImage a = QImage::fromData(generated).convertToFormat(QImage::Format_ARGB32);
    const QImage b = QImage::fromData(committed).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!a.isNull() && a.size() == b.size() && name.endsWith(u".png"),
             "assets/ is stale or artgen is not deterministic; run artgen into assets/");
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int off = qMax(qMax(qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q))),
                                 qMax(qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q))));
            QVERIFY2(off <= 1,
                     qPrintable(where(QPoint(x, y)) +
                                QStringLiteral("; assets/ is stale: run artgen into assets/")));
        }
}

void TestArtwork::pngHeader_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("colourType");

    constexpr int Rgb = 2;
    constexpr int Rgba = 6;
    QTest::newRow("background") << QStringLiteral("background.png") << 508 << 388 << Rgb;
    QTest::newRow("background@2x") << QStringLiteral("background@2x.png") << 1016 << 776 << Rgb;
    QTest::newRow("clear") << QStringLiteral("clear.png") << 91 << 35 << Rgba;
    QTest::newRow("clear@2x") << QStringLiteral("clear@2x.png") << 182 << 70 << Rgba;
    QTest::newRow("copy") << QStringLiteral("copy.png") << 91 << 35 << Rgba;
    QTest::newRow("copy@2x") << QStringLiteral("copy@2x.png") << 182 << 70 << Rgba;
    for (int size : IconSizes) {
        const QString name = QStringLiteral("icons/%1.png").arg(size);
        QTest::newRow(qPrintable(name)) << name << size << size << Rgba;
    }
}

void TestArtwork::pngHeader()
{
    QFETCH(QString, name);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, colourType);

    const QByteArray png = readAll(AssetsDir + u'/' + name);
    QVERIFY(png.size() > 33);
    QCOMPARE(png.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
    QCOMPARE(qFromBigEndian<quint32>(png.constData() + 8), 13u);
    QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
    QCOMPARE(qFromBigEndian<quint32>(png.constData() + 16), quint32(width));
    QCOMPARE(qFromBigEndian<quint32>(png.constData() + 20), quint32(height));
    QCOMPARE(int(png.at(24)), 8); // bits per channel
    QCOMPARE(int(png.at(25)), colourType);
}

void TestArtwork::buttonFace_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QRgb>("ink");
    QTest::addColumn<QRgb>("otherInk");

    const QRgb grey = qRgb(64, 64, 64);
    const QRgb teal = qRgb(0, 128, 128);
    QTest::newRow("clear") << QStringLiteral("clear.png") << 1 << grey << teal;
    QTest::newRow("clear@2x") << QStringLiteral("clear@2x.png") << 2 << grey << teal;
    QTest::newRow("copy") << QStringLiteral("copy.png") << 1 << teal << grey;
    QTest::newRow("copy@2x") << QStringLiteral("copy@2x.png") << 2 << teal << grey;
}

// Opaque everywhere, the caption in its own colour and not the other button's, and the
// caption's ink centred on the face.
void TestArtwork::buttonFace()
{
    QFETCH(QString, name);
    QFETCH(int, scale);
    QFETCH(QRgb, ink);
    QFETCH(QRgb, otherInk);

    const QImage face = QImage(AssetsDir + u'/' + name).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(face.size(), QSize(91, 35) * scale);
    int inkPixels = 0;
    int otherPixels = 0;
    QRect inkBox;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            const QRgb pixel = face.pixel(x, y);
            if (qAlpha(pixel) != 255)
                QFAIL(qPrintable(QStringLiteral("not opaque at (%1, %2)").arg(x).arg(y)));
            const QRgb colour = pixel | 0xff000000;
            inkPixels += colour == ink;
            otherPixels += colour == otherInk;
            if (colour == ink)
                inkBox |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY2(inkPixels >= 40 * scale * scale, qPrintable(QString::number(inkPixels)));
    QCOMPARE(otherPixels, 0);
    const int leftMargin = inkBox.left();
    const int rightMargin = face.width() - 1 - inkBox.right();
    QVERIFY2(qAbs(leftMargin - rightMargin) <= 2 * scale,
             qPrintable(QStringLiteral("margins %1 and %2").arg(leftMargin).arg(rightMargin)));
    QVERIFY(inkBox.width() >= 60 * scale);
    QVERIFY(inkBox.height() >= 9 * scale);
}

// The classic icon layout, field by field, and an independent decoder reading it back
// the way up and in the colours the 32-pixel picture has.
void TestArtwork::iconFile()
{
    const QByteArray ico = readAll(AssetsDir + QStringLiteral("/icon.ico"));
    constexpr int Directory = 6 + 16;
    constexpr int Header = 40;
    constexpr int Palette = 256 * 4;
    constexpr int Colours = 32 * 32;
    constexpr int Mask = 32 * 4; // 32 bits a row, already a whole 32-bit word
    QCOMPARE(ico.size(), Directory + Header + Palette + Colours + Mask);

    QCOMPARE(littleAt<quint16>(ico, 0), quint16(0));
    QCOMPARE(littleAt<quint16>(ico, 2), quint16(1)); // icon, not cursor
    QCOMPARE(littleAt<quint16>(ico, 4), quint16(1));
    QCOMPARE(quint8(ico.at(6)), quint8(32));
    QCOMPARE(quint8(ico.at(7)), quint8(32));
    QCOMPARE(littleAt<quint16>(ico, 12), quint16(8));
    QCOMPARE(littleAt<quint32>(ico, 14), quint32(Header + Palette + Colours + Mask));
    QCOMPARE(littleAt<quint32>(ico, 18), quint32(Directory));

    QCOMPARE(littleAt<quint32>(ico, 22), quint32(Header));
    QCOMPARE(littleAt<qint32>(ico, 26), 32);
    QCOMPARE(littleAt<qint32>(ico, 30), 64); // the colour bitmap and the mask
    QCOMPARE(littleAt<quint16>(ico, 34), quint16(1));
    QCOMPARE(littleAt<quint16>(ico, 36), quint16(8));
    QCOMPARE(littleAt<quint32>(ico, 38), 0u); // uncompressed
    const quint32 used = littleAt<quint32>(ico, 54);
    QVERIFY(used == 0 || used == 256);

    QImage decoded;
    QVERIFY(decoded.loadFromData(ico, "ico"));
    decoded = decoded.convertToFormat(QImage::Format_ARGB32);
    const QImage drawn =
        QImage(AssetsDir + QStringLiteral("/icons/32.png")).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(decoded.size(), QSize(32, 32));
    QCOMPARE(drawn.size(), QSize(32, 32));
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb got = decoded.pixel(x, y);
            const QRgb want = drawn.pixel(x, y);
            const QString at = QStringLiteral("at (%1, %2)").arg(x).arg(y);
            QVERIFY2(qAlpha(got) == 0 || qAlpha(got) == 255, qPrintable(at));
            QVERIFY2((qAlpha(got) == 255) == (qAlpha(want) >= 128), qPrintable(at));
            if (qAlpha(got) != 255)
                continue;
            ++opaque;
            // Within the palette's reach of the drawn colour: its cube steps by 51.
            QVERIFY2(qAbs(qRed(got) - qRed(want)) <= 45 && qAbs(qGreen(got) - qGreen(want)) <= 45 &&
                         qAbs(qBlue(got) - qBlue(want)) <= 45,
                     qPrintable(at));
        }
    }
    QVERIFY(opaque > 32 * 32 / 2);
    QVERIFY(opaque < 32 * 32);
}

void TestArtwork::solidRegion_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRgb>("colour");

    const struct
    {
        const char *tag;
        QRect area;
        QRgb colour;
    } regions[] = {
        {"frame top", QRect(0, 0, 508, 12), FrameBlue},
        {"frame bottom", QRect(0, 376, 508, 12), FrameBlue},
        {"frame left", QRect(0, 0, 12, 388), FrameBlue},
        {"frame right", QRect(496, 0, 12, 388), FrameBlue},
        {"left panel line", QRect(106, 12, 1, 364), PanelLine},
        {"right panel line", QRect(355, 12, 1, 364), PanelLine},
        {"side column below its icons", QRect(107, 266, 32, 110), FrameBlue},
    };
    for (int scale : {1, 2}) {
        const QString name =
            scale == 1 ? QStringLiteral("background.png") : QStringLiteral("background@2x.png");
        for (const auto &region : regions)
            QTest::addRow("%s %dx", region.tag, scale)
                << name << scale << region.area << region.colour;
    }
}

void TestArtwork::solidRegion()
{
    QFETCH(QString, name);
    QFETCH(int, scale);
    QFETCH(QRect, area);
    QFETCH(QRgb, colour);

    const Logical picture(name, scale);
    QCOMPARE(picture.size(), QSize(508, 388));
    const QPoint off = picture.firstOff(area, colour);
    QVERIFY2(off.isNull(), qPrintable(where(off)));
}

void TestArtwork::listAreaBlank_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("scale");
    QTest::newRow("1x") << QStringLiteral("background.png") << 1;
    QTest::newRow("2x") << QStringLiteral("background@2x.png") << 2;
}

// The list is white but for the twelve arrows and the first row's title: the fields
// cover rows 2 to 12 from x 158, and anything else drawn there would show around them.
void TestArtwork::listAreaBlank()
{
    QFETCH(QString, name);
    QFETCH(int, scale);

    const Logical picture(name, scale);
    QVERIFY(!picture.isNull());
    const QRect list(QPoint(139, 83), QPoint(353, 375));
    const QRect title(QPoint(158, 88), QPoint(204, 102));
    for (int y = list.top(); y <= list.bottom(); ++y) {
        for (int x = list.left(); x <= list.right(); ++x) {
            if (title.contains(x, y))
                continue;
            const int row = (y - 90) / 22 + 1;
            const bool arrowBox =
                x >= 146 && x <= 150 && y >= 90 && row <= 12 && y <= arrowTop(row) + 8;
            if (arrowBox)
                continue;
            QVERIFY2(picture.blockWhite(x, y),
                     qPrintable(QStringLiteral("not white at (%1, %2)").arg(x).arg(y)));
        }
    }
}

void TestArtwork::rowArrow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("top");
    for (int scale : {1, 2}) {
        const QString name =
            scale == 1 ? QStringLiteral("background.png") : QStringLiteral("background@2x.png");
        for (int row = 1; row <= 12; ++row)
            QTest::addRow("row %d %dx", row, scale) << name << scale << arrowTop(row);
    }
}

// A right-pointing arrow, 5 wide and 9 high at x 146 to 150: its middle row is solid from
// end to end and its top and bottom rows are dark only at the left edge.
void TestArtwork::rowArrow()
{
    QFETCH(QString, name);
    QFETCH(int, scale);
    QFETCH(int, top);

    const Logical picture(name, scale);
    QVERIFY(!picture.isNull());
    const int middle = top + 4;
    const int bottom = top + 8;
    for (int x = 146; x <= 150; ++x)
        QVERIFY2(picture.blockDark(x, middle), qPrintable(QString::number(x)));
    QVERIFY(picture.blockWhite(145, middle));
    QVERIFY(picture.blockWhite(151, middle));
    QVERIFY(picture.blockDark(146, top));
    QVERIFY(picture.blockDark(146, bottom));
    QVERIFY(picture.blockWhite(150, top));
    QVERIFY(picture.blockWhite(150, bottom));
    QVERIFY(picture.blockWhite(146, top - 1));
    QVERIFY(picture.blockWhite(146, bottom + 1));
}

void TestArtwork::rowTitle_data()
{
    listAreaBlank_data();
}

// The fixed title of row 1: dark ink filling, as near as the glyphs allow, x 158 to 204
// and y 90 to 100, and never leaving x 158 to 204, y 88 to 102.
void TestArtwork::rowTitle()
{
    QFETCH(QString, name);
    QFETCH(int, scale);

    const Logical picture(name, scale);
    QVERIFY(!picture.isNull());
    QRect ink;
    int darkest = 255;
    for (int y = 83; y <= 109; ++y) {
        for (int x = 152; x <= 353; ++x) {
            if (picture.blockWhite(x, y))
                continue;
            ink |= QRect(x, y, 1, 1);
            darkest = qMin(darkest, picture.darkestGray(x, y));
        }
    }
    QVERIFY2(QRect(QPoint(158, 88), QPoint(204, 102)).contains(ink),
             qPrintable(QStringLiteral("ink at x %1-%2, y %3-%4")
                            .arg(ink.left())
                            .arg(ink.right())
                            .arg(ink.top())
                            .arg(ink.bottom())));
    QVERIFY(ink.width() >= 45);
    QVERIFY(ink.height() >= 10);
    QVERIFY2(darkest < 64, qPrintable(QString::number(darkest)));
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
