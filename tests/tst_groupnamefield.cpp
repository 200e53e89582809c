// SPDX-License-Identifier: MIT
#include "GroupNameField.h"
#include "GroupNameSet.h"
#include "NameHistory.h"
#include "SystemGbkCodec.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Placeholder = QStringLiteral(u"好友分组名称");
const QString Ascii16 = u"abcdefghijklmnop"_s;
const QString Han7 = QStringLiteral(u"一二三四五六七");
const QString Han8 = QStringLiteral(u"一二三四五六七八");
const QString Emoji = QStringLiteral(u"\U0001F600");
} // namespace

class TestGroupNameField : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_gbk.isAvailable()); }

    void editRule_data();
    void editRule();
    void proposal_data();
    void proposal();
    void randomEditsKeepNamesValid();
    void newSetHoldsPlaceholders();
    void clearPatternEmptiesEveryName();
    void historySteps_data();
    void historySteps();

private:
    SystemGbkCodec m_gbk;
};

void TestGroupNameField::editRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("inserted");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("cursor");

    const QString none; // the name stays as it was
    // The limit.
    QTest::newRow("16 ascii fit") << QString() << 0 << 0 << Ascii16 << Ascii16 << 16;
    QTest::newRow("17th ascii refused") << Ascii16 << 16 << 16 << u"q"_s << none << 16;
    QTest::newRow("8 chinese fit") << QString() << 0 << 0 << Han8 << Han8 << 8;
    QTest::newRow("9th chinese refused") << Han8 << 8 << 8 << u"九"_s << none << 8;
    QTest::newRow("7 chinese + 2 ascii fit") << Han7 << 7 << 7 << u"ab"_s << Han7 + u"ab"_s << 9;
    QTest::newRow("7 chinese + 1 ascii: one more ascii")
        << Han7 + u"a"_s << 8 << 8 << u"b"_s << Han7 + u"ab"_s << 9;
    QTest::newRow("7 chinese + 1 ascii: no chinese")
        << Han7 + u"a"_s << 8 << 8 << u"八"_s << none << 8;
    QTest::newRow("placeholder + 4 ascii")
        << Placeholder << 6 << 6 << u"abcd"_s << Placeholder + u"abcd"_s << 10;
    QTest::newRow("placeholder + 5th ascii cut")
        << Placeholder << 6 << 6 << u"abcde"_s << Placeholder + u"abcd"_s << 10;
    QTest::newRow("placeholder + 2 chinese")
        << Placeholder << 6 << 6 << u"一二"_s << Placeholder + u"一二"_s << 8;
    QTest::newRow("placeholder + 3rd chinese cut")
        << Placeholder << 6 << 6 << u"一二三"_s << Placeholder + u"一二"_s << 8;
    QTest::newRow("euro is one byte")
        << QString() << 0 << 0 << QString(17, QChar(0x20AC)) << QString(16, QChar(0x20AC)) << 16;
    QTest::newRow("gbk symbols count two")
        << QString() << 0 << 0 << u"★☆●○→━╰é"_s << u"★☆●○→━╰é"_s << 8;

    // Cutting never splits a character and keeps a prefix.
    QTest::newRow("cut before a chinese that no longer fits")
        << QString() << 0 << 0 << u"abc一二三四五六七八"_s << u"abc一二三四五六"_s << 9;
    QTest::newRow("ascii after a refused chinese is not taken")
        << u"abcdefghijklmno"_s << 15 << 15 << u"一z"_s << none << 15;
    QTest::newRow("one byte left, paste of chinese")
        << u"abcdefghijklmno"_s << 15 << 15 << u"一二"_s << none << 15;

    // Line breaks end the insertion.
    QTest::newRow("crlf") << QString() << 0 << 0 << u"ab\r\ncd"_s << u"ab"_s << 2;
    QTest::newRow("lf") << u"xy"_s << 1 << 1 << u"ab\ncd"_s << u"xaby"_s << 3;
    QTest::newRow("cr") << QString() << 0 << 0 << u"ab\rcd"_s << u"ab"_s << 2;
    QTest::newRow("line separator") << QString() << 0 << 0 << u"ab\u2028cd"_s << u"ab"_s << 2;
    QTest::newRow("paragraph separator") << QString() << 0 << 0 << u"ab\u2029cd"_s << u"ab"_s << 2;
    QTest::newRow("break first keeps nothing") << u"xy"_s << 2 << 2 << u"\nab"_s << none << 2;

    // Characters that may never enter a name.
    QTest::newRow("heart left out") << QString() << 0 << 0 << u"a♡b"_s << u"ab"_s << 2;
    QTest::newRow("heart typed refused") << u"ab"_s << 2 << 2 << u"♡"_s << none << 2;
    QTest::newRow("n tilde left out") << QString() << 0 << 0 << u"añb"_s << u"ab"_s << 2;
    QTest::newRow("emoji left out")
        << QString() << 0 << 0 << u"a"_s + Emoji + u"b"_s << u"ab"_s << 2;
    QTest::newRow("lone high surrogate")
        << QString() << 0 << 0 << u"a"_s + QChar(0xD83D) + u"b"_s << u"ab"_s << 2;
    QTest::newRow("lone low surrogate")
        << QString() << 0 << 0 << u"a"_s + QChar(0xDE00) + u"b"_s << u"ab"_s << 2;
    QTest::newRow("controls left out")
        << QString() << 0 << 0 << u"a\tb"_s + QChar(0) + u"\u001b\u0085\u007fc"_s << u"abc"_s << 3;
    QTest::newRow("bidi override left out") << QString() << 0 << 0 << u"a\u202Eb"_s << u"ab"_s << 2;
    QTest::newRow("only unusable chars") << u"xy"_s << 1 << 1 << u"♡\t"_s + Emoji << none << 1;
    QTest::newRow("unusable chars cost nothing")
        << Ascii16.left(15) << 15 << 15 << u"♡♡z"_s << Ascii16.left(15) + u"z"_s << 16;

    // Selections and positions.
    QTest::newRow("insert in the middle") << u"abcd"_s << 2 << 2 << u"XY"_s << u"abXYcd"_s << 4;
    QTest::newRow("replace selection frees its bytes")
        << Placeholder << 2 << 4 << u"一二三"_s << u"好友一二三名称"_s << 5;
    QTest::newRow("replace all, cut") << Placeholder << 0 << 6 << Ascii16 + u"q"_s << Ascii16 << 16;
    QTest::newRow("refused paste keeps the selection") << Ascii16 << 2 << 4 << u"♡"_s << none << 4;
    QTest::newRow("typed over a full name's selection")
        << Han8 << 0 << 1 << u"中"_s << u"中二三四五六七八"_s << 1;
    QTest::newRow("delete selection") << u"abcd"_s << 1 << 3 << QString() << u"ad"_s << 1;
    QTest::newRow("out-of-range positions clamp") << u"ab"_s << 5 << 9 << u"c"_s << u"abc"_s << 3;
}

void TestGroupNameField::editRule()
{
    QFETCH(QString, name);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, inserted);
    QFETCH(QString, expected);
    QFETCH(int, cursor);

    const NameEdit result = GroupNameField::applyEdit(name, from, to, inserted, m_gbk);
    const bool unchanged = expected.isNull();
    QCOMPARE(result.text, unchanged ? name : expected);
    QCOMPARE(result.changed, !unchanged);
    QCOMPARE(result.cursor, cursor);
    QVERIFY(GroupNameField::byteLength(result.text, m_gbk) <= GroupNameField::MaxBytes);
}

void TestGroupNameField::proposal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedCursor");

    QTest::newRow("typed at the end")
        << Placeholder << Placeholder + u"a"_s << 7 << Placeholder + u"a"_s << 7;
    QTest::newRow("typed past the limit") << Ascii16 << Ascii16 + u"q"_s << 17 << Ascii16 << 16;
    QTest::newRow("typed at the front") << u"bc"_s << u"abc"_s << 1 << u"abc"_s << 1;
    QTest::newRow("repeated letters") << u"aaa"_s << u"aaaa"_s << 4 << u"aaaa"_s << 4;
    QTest::newRow("paste cut in the middle")
        << u"abcdefghijklmn"_s << u"abc一二三defghijklmn"_s << 6 << u"abc一defghijklmn"_s << 4;
    QTest::newRow("selection replaced")
        << Placeholder << u"好友ab名称"_s << 4 << u"好友ab名称"_s << 4;
    QTest::newRow("selection replaced by refused paste")
        << Ascii16 << u"ab♡efghijklmnop"_s << 3 << Ascii16 << 4;
    QTest::newRow("backspace") << u"abc"_s << u"ab"_s << 2 << u"ab"_s << 2;
    QTest::newRow("delete forward") << u"abcd"_s << u"abd"_s << 2 << u"abd"_s << 2;
    QTest::newRow("paste with a line break") << u"ab"_s << u"a\r\nXYb"_s << 5 << u"ab"_s << 1;
    QTest::newRow("paste with text before a break")
        << u"ab"_s << u"aXY\nZb"_s << 5 << u"aXYb"_s << 3;
    QTest::newRow("unrelated valid text kept whole") << u"abc"_s << u"xyz"_s << 1 << u"xyz"_s << 3;
    QTest::newRow("unrelated long text cut")
        << u"abc"_s << Ascii16 + u"xyz"_s << 2 << Ascii16 << 16;
    QTest::newRow("cursor out of range") << u"ab"_s << u"abc"_s << 99 << u"abc"_s << 3;
    QTest::newRow("emoji pair before the cursor")
        << u"ab"_s << u"a"_s + Emoji + u"b"_s << 3 << u"ab"_s << 1;
}

void TestGroupNameField::proposal()
{
    QFETCH(QString, name);
    QFETCH(QString, proposed);
    QFETCH(int, cursor);
    QFETCH(QString, expected);
    QFETCH(int, expectedCursor);

    const NameEdit result = GroupNameField::applyProposal(name, proposed, cursor, m_gbk);
    QCOMPARE(result.text, expected);
    QCOMPARE(result.cursor, expectedCursor);
    QCOMPARE(result.changed, expected != name);

    // An editor asks again with the outcome: the rule must not move.
    const NameEdit again = GroupNameField::applyProposal(name, result.text, result.cursor, m_gbk);
    QCOMPARE(again.text, result.text);
}

// Whatever is inserted wherever, a name stays a valid name and keeps the text around the edit.
void TestGroupNameField::randomEditsKeepNamesValid()
{
    const QList<char32_t> alphabet = {u'a',   u'Z',    u' ',   u'中',  u'★',   0x20AC,
                                      u'\r',  u'\n',   u'\t',  0,      0x2661, 0x00F1,
                                      0x2028, 0x1F600, 0xD800, 0xDC00, 0x202E};
    QRandomGenerator random(20261207);
    QString name = Placeholder;
    for (int round = 0; round < 20000; ++round) {
        QString inserted;
        const int length = random.bounded(12);
        for (int i = 0; i < length; ++i) {
            const char32_t cp = alphabet.at(random.bounded(alphabet.size()));
            if (QChar::requiresSurrogates(cp))
                inserted += QString::fromUcs4(&cp, 1);
            else
                inserted += QChar(static_cast<char16_t>(cp));
        }
        const int from = random.bounded(int(name.size()) + 1);
        const int to = from + random.bounded(int(name.size()) - from + 1);
        const NameEdit result = GroupNameField::applyEdit(name, from, to, inserted, m_gbk);

        const int bytes = GroupNameField::byteLength(result.text, m_gbk);
        QVERIFY2(bytes >= 0 && bytes <= GroupNameField::MaxBytes, qPrintable(result.text));
        for (const QChar c : result.text)
            QVERIFY(!c.isSurrogate() && c.category() != QChar::Other_Control &&
                    !GroupNameField::isLineBreak(c.unicode()));
        if (result.changed) {
            QVERIFY(result.text.startsWith(name.left(from)));
            QVERIFY(result.text.endsWith(name.mid(to)));
            const QString kept = result.text.mid(from, result.cursor - from);
            QCOMPARE(result.text.size() - kept.size(), name.size() - (to - from));
        } else {
            QCOMPARE(result.text, name);
        }
        name = result.text;
        if (random.bounded(8) == 0)
            name.clear();
    }
}

void TestGroupNameField::newSetHoldsPlaceholders()
{
    const GroupNameSet set(m_gbk);
    QCOMPARE(set.names(), QStringList(GroupNameSet::Count, Placeholder));
    QCOMPARE(GroupNameField::byteLength(Placeholder, m_gbk), 12);
}

void TestGroupNameField::clearPatternEmptiesEveryName()
{
    GroupNameSet set(m_gbk);
    set.edit(4, 0, 6, QString()); // already empty before the clear
    set.edit(7, 6, 6, QStringLiteral("xy"));
    QSignalSpy changes(&set, &GroupNameSet::nameChanged);

    set.ClearPattern();

    QCOMPARE(set.names(), QStringList(GroupNameSet::Count, QString()));
    QList<int> announced;
    for (const QList<QVariant> &args : changes)
        announced.append(args.at(0).toInt());
    QCOMPARE(announced, (QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10, 11}));

    set.ClearPattern();
    QCOMPARE(set.names(), QStringList(GroupNameSet::Count, QString()));
}

// Name number, what its editor now shows, and whether a keystroke did it.
struct NameText
{
    int n;
    QString text;
    bool keystroke = true;
};
using NameTexts = QList<NameText>;
Q_DECLARE_METATYPE(NameTexts)

void TestGroupNameField::historySteps_data()
{
    QTest::addColumn<NameTexts>("edits");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("cursor"); // where the first undo leaves the cursor

    const QString p = Placeholder;
    QTest::newRow("typing at the end")
        << NameTexts{{1, p + u"a"_s}, {1, p + u"ab"_s}, {1, p + u"abc"_s}} << 1 << 6;
    QTest::newRow("backspace run")
        << NameTexts{{2, p.left(5)}, {2, p.left(4)}, {2, p.left(3)}} << 1 << 6;
    QTest::newRow("delete run") << NameTexts{{2, p.mid(1)}, {2, p.mid(2)}} << 1 << 2;
    QTest::newRow("typing then deleting") << NameTexts{{3, p + u"a"_s}, {3, p}} << 2 << 7;
    QTest::newRow("typing somewhere else")
        << NameTexts{{4, u"a"_s + p}, {4, u"a"_s + p + u"b"_s}} << 2 << 7;
    QTest::newRow("same place, other name")
        << NameTexts{{5, p + u"a"_s}, {6, p + u"a"_s}} << 2 << 6;
    QTest::newRow("two characters at once")
        << NameTexts{{7, p + u"ab"_s}, {7, p + u"abc"_s}} << 2 << 8;
    QTest::newRow("a one-character paste after typing")
        << NameTexts{{7, p + u"a"_s}, {7, p + u"ab"_s, false}} << 2 << 7;
    QTest::newRow("refused and unchanged texts are no step")
        << NameTexts{{8, p + u"♡"_s}, {8, p}, {9, u"一二三四五六七八九"_s}} << 1 << 6;
}

// Undo goes back over the steps to the start and redo forward to the end, and no further.
void TestGroupNameField::historySteps()
{
    QFETCH(NameTexts, edits);
    QFETCH(int, steps);
    QFETCH(int, cursor);

    GroupNameSet set(m_gbk);
    NameHistory history(set);
    const QStringList start = set.names();
    for (const NameText &edit : edits)
        history.edit(edit.n, edit.text, edit.keystroke);
    const QStringList end = set.names();

    int undone = 0;
    while (const auto place = history.undo()) {
        if (undone++ == 0)
            QCOMPARE(place->cursor, cursor);
    }
    QCOMPARE(undone, steps);
    QCOMPARE(set.names(), start);
    int redone = 0;
    while (history.redo())
        ++redone;
    QCOMPARE(redone, steps);
    QCOMPARE(set.names(), end);
}

QTEST_GUILESS_MAIN(TestGroupNameField)
#include "tst_groupnamefield.moc"
