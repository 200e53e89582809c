// SPDX-License-Identifier: MIT
// Pictures on a screen with two device pixels to the logical one: whatever ratio the
// picture was decoded for ahead of time, what is drawn is the sharp variant, pixel for pixel.
#include "Picture.h"

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QWidget>

namespace {
class PictureWidget : public QWidget
{
public:
    Picture picture;

protected:
    void paintEvent(QPaintEvent *) override { picture.paint(this); }
};
} // namespace

class TestPicture : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        Q_INIT_RESOURCE(assets);
        qputenv("QT_SCALE_FACTOR", "2");
    }

private Q_SLOTS:
    void drawnSharpWhateverTheGuess_data();
    void drawnSharpWhateverTheGuess();
};

void TestPicture::drawnSharpWhateverTheGuess_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qreal>("guessedRatio");
    QTest::addColumn<QString>("expected");

    QTest::newRow("guessed right") << ":/background.png" << 2.0 << ":/background@2x.png";
    QTest::newRow("guessed 1x") << ":/background.png" << 1.0 << ":/background@2x.png";
    QTest::newRow("guessed 3x") << ":/copy.png" << 3.0 << ":/copy@2x.png";
}

void TestPicture::drawnSharpWhateverTheGuess()
{
    QFETCH(QString, path);
    QFETCH(qreal, guessedRatio);
    QFETCH(QString, expected);

    PictureWidget box;
    QCOMPARE(box.devicePixelRatioF(), 2.0);
    const QImage want = QImage(expected).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QVERIFY(!want.isNull());
    const QSize logical = QImage(path).size();
    box.resize(logical);
    box.picture.setPath(path, guessedRatio);

    QImage drawn = box.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(drawn.size(), want.size());
    QCOMPARE(drawn.devicePixelRatio(), want.devicePixelRatio());
    QCOMPARE(drawn, want);
}

QTEST_MAIN(TestPicture)
#include "tst_picture.moc"
