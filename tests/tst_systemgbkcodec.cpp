// SPDX-License-Identifier: MIT
#include "Cp936Table.h"
#include "SystemGbkCodec.h"

#include <QTest>

// The codec's lengths against glibc's own code-page 936 table, an independent source.
class TestSystemGbkCodec : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void knownCharacters_data();
    void knownCharacters();
    void everyBmpCodePointAgreesWithIconv_data();
    void everyBmpCodePointAgreesWithIconv();
};

void TestSystemGbkCodec::knownCharacters_data()
{
    QTest::addColumn<uint>("codePoint");
    QTest::addColumn<int>("bytes");

    QTest::newRow("ascii letter") << uint('A') << 1;
    QTest::newRow("chinese") << uint(u'中') << 2;
    QTest::newRow("euro sign") << 0x20ACu << 1;
    QTest::newRow("black star") << 0x2605u << 2;
    QTest::newRow("e acute") << 0x00E9u << 2;
    QTest::newRow("white heart suit") << 0x2661u << 0;
    QTest::newRow("n tilde") << 0x00F1u << 0;
    QTest::newRow("registered sign") << 0x00AEu << 0;
    QTest::newRow("high surrogate") << 0xD800u << 0;
    QTest::newRow("emoji") << 0x1F600u << 0;
    QTest::newRow("beyond unicode") << 0x110000u << 0;
    QTest::newRow("user-defined area") << 0xE000u << 0;
    QTest::newRow("private use, single byte in ICU") << 0xF8F5u << 0;
    // Without any conversion nothing has a length, not even ASCII.
    QTest::newRow("no conversion: ascii") << uint('A') << -1;
}

void TestSystemGbkCodec::knownCharacters()
{
    QFETCH(uint, codePoint);
    QFETCH(int, bytes);
    if (bytes < 0) {
        const SystemGbkCodec none(0);
        QVERIFY(!none.isAvailable());
        QCOMPARE(none.byteLength(codePoint), std::nullopt);
        return;
    }
    const SystemGbkCodec codec;
    QCOMPARE(codec.byteLength(codePoint).value_or(0), bytes);
}

void TestSystemGbkCodec::everyBmpCodePointAgreesWithIconv_data()
{
    QTest::addColumn<unsigned>("source");
    QTest::newRow("Qt's converter") << unsigned(SystemGbkCodec::QtConverter);
    QTest::newRow("the C library's iconv") << unsigned(SystemGbkCodec::Iconv);
}

void TestSystemGbkCodec::everyBmpCodePointAgreesWithIconv()
{
    QFETCH(unsigned, source);
    const QByteArray expected = cp936Lengths();
    QVERIFY2(!expected.isEmpty(), "glibc has no CP936 converter");
    const SystemGbkCodec codec(source);
    QCOMPARE(codec.source(), std::optional(SystemGbkCodec::Source(source)));
    QStringList mismatches;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        const int actual = codec.byteLength(cp).value_or(0);
        if (actual != expected[int(cp)] - '0' && mismatches.size() < 20)
            mismatches.append(QStringLiteral("U+%1: %2 vs iconv %3")
                                  .arg(uint(cp), 4, 16, QLatin1Char('0'))
                                  .arg(actual)
                                  .arg(expected[int(cp)] - '0'));
    }
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(QLatin1Char('\n'))));
    QVERIFY(expected.count('2') > 20000);
}

QTEST_GUILESS_MAIN(TestSystemGbkCodec)
#include "tst_systemgbkcodec.moc"
