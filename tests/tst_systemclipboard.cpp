// SPDX-License-Identifier: MIT
// The real X11 clipboard, read and written by another program (xclip) as a user's
// other applications would.
#include "CopyPattern.h"
#include "GroupNameSet.h"
#include "SystemClipboard.h"
#include "SystemGbkCodec.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
struct Run
{
    int exitCode = -1;
    QByteArray out;
};

// Runs xclip while this process keeps serving its own selection requests.
Run xclip(const QStringList &args, const QByteArray &input = {})
{
    QProcess process;
    process.start(u"xclip"_s, args);
    if (!process.waitForStarted(5000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < 10000)
        QTest::qWait(10);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput()};
}

Run readClipboard(const QString &target)
{
    return xclip({u"-o"_s, u"-selection"_s, u"clipboard"_s, u"-target"_s, target});
}
} // namespace

class TestSystemClipboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void otherProgramsReadTheNames_data();
    void otherProgramsReadTheNames();
    void clearDiscardsAnotherOwnersData();

private:
    SystemGbkCodec m_gbk;
};

void TestSystemClipboard::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), u"xcb"_s);
    if (QStandardPaths::findExecutable(u"xclip"_s).isEmpty())
        QFAIL("xclip is missing (apt-get install xclip)");
}

void TestSystemClipboard::otherProgramsReadTheNames_data()
{
    QTest::addColumn<bool>("clearFirst");
    QTest::addColumn<QString>("foreignTarget"); // what another program offered before the copy

    QTest::newRow("initial set over text") << false << u"UTF8_STRING"_s;
    QTest::newRow("cleared set over a picture") << true << u"image/png"_s;
}

void TestSystemClipboard::otherProgramsReadTheNames()
{
    QFETCH(bool, clearFirst);
    QFETCH(QString, foreignTarget);

    // xclip -i forks a server that holds the selection until someone takes it.
    QCOMPARE(xclip({u"-i"_s, u"-selection"_s, u"clipboard"_s, u"-target"_s, foreignTarget},
                   QByteArray("\x89PNG foreign data"))
                 .exitCode,
             0);
    QTRY_COMPARE(readClipboard(foreignTarget).out, QByteArray("\x89PNG foreign data"));

    GroupNameSet set(m_gbk);
    if (clearFirst)
        set.ClearPattern();
    SystemClipboard clipboard;
    QVERIFY(CopyPattern(set, clipboard));

    // Eleven names and ten CR LF, whatever the product's own join says.
    const QByteArray name = clearFirst ? QByteArray() : u"好友分组名称"_s.toUtf8();
    QByteArray expected = name;
    for (int n = 2; n <= GroupNameSet::Count; ++n)
        expected += "\r\n" + name;
    const Run text = readClipboard(u"UTF8_STRING"_s);
    QCOMPARE(text.exitCode, 0);
    QCOMPARE(text.out, expected);

    const QByteArray targets = readClipboard(u"TARGETS"_s).out;
    QVERIFY2(targets.contains("UTF8_STRING"), targets.constData());
    if (foreignTarget != u"UTF8_STRING"_s)
        QVERIFY2(!targets.contains(foreignTarget.toLatin1()), targets.constData());
}

void TestSystemClipboard::clearDiscardsAnotherOwnersData()
{
    QCOMPARE(xclip({u"-i"_s, u"-selection"_s, u"clipboard"_s}, QByteArray("left behind")).exitCode,
             0);
    QTRY_COMPARE(readClipboard(u"UTF8_STRING"_s).out, QByteArray("left behind"));

    SystemClipboard clipboard;
    QVERIFY(clipboard.clear());

    const Run after = readClipboard(u"UTF8_STRING"_s);
    QVERIFY(after.exitCode != 0 || after.out.isEmpty());
}

QTEST_MAIN(TestSystemClipboard)
#include "tst_systemclipboard.moc"
