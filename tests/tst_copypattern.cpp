// SPDX-License-Identifier: MIT
#include "CopyPattern.h"
#include "GroupNameSet.h"
#include "RecordingClipboard.h"
#include "SystemGbkCodec.h"

#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCopyPattern : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void joinedNames_data();
    void joinedNames();
    void copyOrderAndFailures_data();
    void copyOrderAndFailures();
    void copyTwiceGivesTheSameText();

private:
    SystemGbkCodec m_gbk;
};

using Edits = QList<QPair<int, QString>>; // name number, its new text

void TestCopyPattern::joinedNames_data()
{
    QTest::addColumn<bool>("clearFirst");
    QTest::addColumn<Edits>("edits");
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<int>("gbkBytes");

    QByteArray initial = "\xE5\xA5\xBD\xE5\x8F\x8B\xE5\x88\x86\xE7\xBB\x84\xE5\x90\x8D\xE7\xA7\xB0";
    QByteArray eleven = initial;
    for (int i = 1; i < 11; ++i)
        eleven += "\r\n" + initial;
    QTest::newRow("initial set") << false << Edits{} << eleven << 152;
    QTest::newRow("after clear") << true << Edits{} << QByteArray("\r\n").repeated(10) << 20;
    QTest::newRow("A, empty, B, eight empty")
        << true << Edits{{1, u"A"_s}, {3, u"B"_s}}
        << QByteArray("A\r\n\r\nB") + QByteArray("\r\n").repeated(8) << 22;
    QTest::newRow("fourth name edited") << false << Edits{{4, u"★Ab"_s}}
                                        << QByteArray(eleven).replace(3 * 20, 18,
                                                                      "\xE2\x98\x85"
                                                                      "Ab")
                                        << 152 - 12 + 4;
}

void TestCopyPattern::joinedNames()
{
    QFETCH(bool, clearFirst);
    QFETCH(Edits, edits);
    QFETCH(QByteArray, utf8);
    QFETCH(int, gbkBytes);

    GroupNameSet set(m_gbk);
    if (clearFirst)
        set.ClearPattern();
    for (const auto &[n, text] : edits)
        set.edit(n, TextEdit{0, int(set.name(n).size()), text});

    RecordingClipboard clipboard;
    QVERIFY(CopyPattern(set, clipboard));
    QCOMPARE(clipboard.m_text.toUtf8(), utf8);
    QCOMPARE(clipboard.m_text.count(u"\r\n"_s), 10);
    QCOMPARE(clipboard.m_text.split(u"\r\n"_s), set.names()); // nothing after the last name
    QStringEncoder gbk("GBK");
    QCOMPARE(QByteArray(gbk.encode(clipboard.m_text)).size(), gbkBytes);
    QVERIFY(!gbk.hasError());
}

void TestCopyPattern::copyOrderAndFailures_data()
{
    QTest::addColumn<bool>("failClear");
    QTest::addColumn<bool>("failSet");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<bool>("copied");

    QTest::newRow("success") << false << false << QStringList{u"clear"_s, u"setText"_s} << true;
    QTest::newRow("emptying fails: nothing placed")
        << true << false << QStringList{u"clear"_s} << false;
    QTest::newRow("placing fails")
        << false << true << QStringList{u"clear"_s, u"setText"_s} << false;
}

void TestCopyPattern::copyOrderAndFailures()
{
    QFETCH(bool, failClear);
    QFETCH(bool, failSet);
    QFETCH(QStringList, calls);
    QFETCH(bool, copied);

    GroupNameSet set(m_gbk);
    set.edit(2, TextEdit{0, 6, u"改过的"});
    const QStringList before = set.names();
    RecordingClipboard clipboard;
    clipboard.m_failClear = failClear;
    clipboard.m_failSet = failSet;

    QCOMPARE(CopyPattern(set, clipboard), copied);
    QCOMPARE(clipboard.m_calls, calls);
    QCOMPARE(set.names(), before);
}

void TestCopyPattern::copyTwiceGivesTheSameText()
{
    GroupNameSet set(m_gbk);
    RecordingClipboard clipboard;
    QVERIFY(CopyPattern(set, clipboard));
    const QString first = clipboard.m_text;
    QVERIFY(CopyPattern(set, clipboard));
    QCOMPARE(clipboard.m_text, first);
    QCOMPARE(clipboard.m_calls.size(), 4);
}

QTEST_GUILESS_MAIN(TestCopyPattern)
#include "tst_copypattern.moc"
