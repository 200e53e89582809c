// SPDX-License-Identifier: MIT
#include "Cp936Table.h"
#include "GbkCodec.h"
#include "GroupNameField.h"
#include "GroupNameSet.h"
#include "NameDecoration.h"
#include "NameEditor.h"
#include "RecordingClipboard.h"
#include "SymbolPalette.h"
#include "SystemGbkCodec.h"
#include "TextWidths.h"

#include <QRandomGenerator>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Placeholder = QStringLiteral(u"好友分组名称");
const QString Ascii16 = u"abcdefghijklmnop"_s;
const QString Han7 = QStringLiteral(u"一二三四五六七");
const QString Han8 = QStringLiteral(u"一二三四五六七八");
const QString Emoji = QStringLiteral(u"\U0001F600");

// A measure that has lost GBK and knows ASCII alone.
class AsciiOnlyCodec final : public GbkCodec
{
public:
    std::optional<int> byteLength(char32_t cp) const override
    {
        return cp < 0x80 ? std::optional<int>(1) : std::nullopt;
    }
};
// Widths as the window's fonts give them, in few values: Tahoma's letters have many
// widths, every two-byte character a full cell.
class CellWidths final : public TextWidths
{
public:
    double advance(char32_t cp) const override
    {
        if (cp == u' ')
            return 3.5;
        if (cp == u'i' || cp == u'l')
            return 3;
        return cp < 0x80 ? 7 : 12;
    }
};
} // namespace

class TestGroupNameField : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_gbk.isAvailable()); }

    void editRule_data();
    void editRule();
    void randomEditsKeepNamesValid();
    void newSetHoldsPlaceholders();
    void clearPatternEmptiesEveryName();
    void historySteps_data();
    void historySteps();
    void editorChanges_data();
    void editorChanges();
    void decorateAll_data();
    void decorateAll();
    void alignRight_data();
    void alignRight();
    void symbolsAreEveryTwoByteNonIdeograph();

private:
    SystemGbkCodec m_gbk;
    AsciiOnlyCodec m_asciiOnly;
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

    // Text in decomposed form: a letter and its mark are the one letter GBK has.
    QTest::newRow("decomposed pinyin composes")
        << QString() << 0 << 0 << u"pi\u0304n yi\u0301n"_s << u"pīn yín"_s << 7;
    QTest::newRow("composed letters count two bytes each")
        << QString() << 0 << 0
        << u"u\u0308u\u0308u\u0308u\u0308u\u0308u\u0308u\u0308u\u0308u\u0308"_s << u"üüüüüüüü"_s
        << 8;
    // e with dot below has no GBK form; x has no such letter, so its mark alone goes.
    QTest::newRow("a letter composed without a GBK form is left out")
        << u"ab"_s << 2 << 2 << u"e\u0323x\u0323"_s << u"abx"_s << 3;
    QTest::newRow("ohm sign is omega") << QString() << 0 << 0 << u"\u2126"_s << u"\u03A9"_s << 1;
    QTest::newRow("kana and its voicing mark")
        << QString() << 0 << 0 << u"\u304B\u3099"_s << u"\u304C"_s << 1;

    // A measure that does not know the name's characters never takes them as free.
    QTest::newRow("ascii-only measure: nothing more fits after chinese")
        << Placeholder << 6 << 6 << Ascii16 << none << 6;
    QTest::newRow("ascii-only measure: ascii names still measured")
        << u"abc"_s << 3 << 3 << Ascii16 << u"abc"_s + Ascii16.left(13) << 16;
}

void TestGroupNameField::editRule()
{
    QFETCH(QString, name);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, inserted);
    QFETCH(QString, expected);
    QFETCH(int, cursor);

    const GbkCodec &gbk = QByteArray(QTest::currentDataTag()).startsWith("ascii-only")
                              ? static_cast<const GbkCodec &>(m_asciiOnly)
                              : m_gbk;
    const NameEdit result = GroupNameField::applyEdit(name, TextEdit{from, to, inserted}, gbk);
    const bool unchanged = expected.isNull();
    QCOMPARE(result.text(), unchanged ? name : expected);
    QCOMPARE(result.changed(), !unchanged);
    QCOMPARE(result.cursor(), cursor);
    if (!unchanged) {
        const int bytes = GroupNameField::byteLength(result.text().mid(from, result.kept()), gbk);
        QVERIFY2(bytes >= 0 &&
                     GroupNameField::byteLength(result.text(), m_gbk) <= GroupNameField::MaxBytes,
                 qPrintable(result.text()));
    }
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
        const NameEdit result =
            GroupNameField::applyEdit(name, TextEdit{from, to, inserted}, m_gbk);

        const int bytes = GroupNameField::byteLength(result.text(), m_gbk);
        QVERIFY2(bytes >= 0 && bytes <= GroupNameField::MaxBytes, qPrintable(result.text()));
        for (const QChar c : result.text())
            QVERIFY(!c.isSurrogate() && c.category() != QChar::Other_Control &&
                    !GroupNameField::isLineBreak(c.unicode()));
        if (result.changed()) {
            QVERIFY(result.text().startsWith(name.left(from)));
            QVERIFY(result.text().endsWith(name.mid(to)));
            QCOMPARE(result.text().size() - result.kept(), name.size() - (to - from));
        } else {
            QCOMPARE(result.text(), name);
        }
        name = result.text();
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
    set.edit(4, TextEdit{0, 6, {}}); // already empty before the clear
    set.edit(7, TextEdit{6, 6, u"xy"});
    const QList<int> announced = set.ClearPattern();

    QCOMPARE(set.names(), QStringList(GroupNameSet::Count, QString()));
    QCOMPARE(announced, (QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10, 11}));

    QCOMPARE(set.ClearPattern(), QList<int>{});
    QCOMPARE(set.names(), QStringList(GroupNameSet::Count, QString()));
}

// An edit of name n, and whether a keystroke made it.
struct Step
{
    int n;
    int from;
    int to;
    QString inserted;
    bool keystroke = true;
};
using Steps = QList<Step>;
Q_DECLARE_METATYPE(Steps)

void TestGroupNameField::historySteps_data()
{
    QTest::addColumn<Steps>("edits");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("cursor"); // where the first undo leaves the cursor

    QTest::newRow("typing at the end")
        << Steps{{1, 6, 6, u"a"_s}, {1, 7, 7, u"b"_s}, {1, 8, 8, u"c"_s}} << 1 << 6;
    QTest::newRow("typing inside a name")
        << Steps{{1, 0, 6, u"xab"_s, false}, {1, 1, 1, u"a"_s}, {1, 2, 2, u"c"_s}} << 2 << 1;
    QTest::newRow("backspace run") << Steps{{2, 5, 6, {}}, {2, 4, 5, {}}, {2, 3, 4, {}}} << 1 << 6;
    QTest::newRow("delete run") << Steps{{2, 0, 1, {}}, {2, 0, 1, {}}} << 1 << 2;
    QTest::newRow("typing then deleting") << Steps{{3, 6, 6, u"a"_s}, {3, 6, 7, {}}} << 2 << 7;
    QTest::newRow("typing somewhere else") << Steps{{4, 0, 0, u"a"_s}, {4, 7, 7, u"b"_s}} << 2 << 7;
    QTest::newRow("typing over a selection, then on")
        << Steps{{4, 2, 4, u"x"_s}, {4, 3, 3, u"y"_s}} << 1 << 4;
    QTest::newRow("same place, other name")
        << Steps{{5, 6, 6, u"a"_s}, {6, 6, 6, u"a"_s}} << 2 << 6;
    QTest::newRow("two characters at once")
        << Steps{{7, 6, 6, u"ab"_s}, {7, 8, 8, u"c"_s}} << 2 << 8;
    QTest::newRow("a one-character paste after typing")
        << Steps{{7, 6, 6, u"a"_s}, {7, 7, 7, u"b"_s, false}} << 2 << 7;
    QTest::newRow("refused and unchanged texts are no step")
        << Steps{{8, 6, 6, u"♡"_s}, {8, 0, 0, {}}, {9, 0, 6, u"一二三四五六七八九"_s, false}} << 1
        << 6;
}

// Undo goes back over the steps to the start and redo forward to the end, and no further.
void TestGroupNameField::historySteps()
{
    QFETCH(Steps, edits);
    QFETCH(int, steps);
    QFETCH(int, cursor);

    RecordingClipboard clipboard;
    NameEditor editor(m_gbk, clipboard);
    QList<NameChange> reports;
    connect(&editor, &NameEditor::changed, this,
            [&reports](const NameChange &change) { reports.append(change); });
    const QStringList start = editor.names().names();
    for (const Step &edit : edits)
        editor.edit(edit.n, TextEdit{edit.from, edit.to, edit.inserted}, edit.keystroke);
    const QStringList end = editor.names().names();
    QCOMPARE(reports.size(), edits.size());

    int undone = 0;
    while (editor.canUndo()) {
        editor.undo();
        const NameChange &change = reports.last();
        QCOMPARE(change.kind, NameChange::Kind::Undo);
        // The report names what the step changed, and only that.
        QVERIFY(!change.changed.isEmpty());
        if (undone++ == 0) {
            QCOMPARE(change.cursor, cursor);
            QCOMPARE(change.changed, QList<int>{change.n});
        }
    }
    QCOMPARE(undone, steps);
    QCOMPARE(editor.names().names(), start);
    int redone = 0;
    while (editor.canRedo()) {
        editor.redo();
        ++redone;
    }
    QCOMPARE(redone, steps);
    QCOMPARE(editor.names().names(), end);
}

// Every kind of change through the one editor, as a script of what the user does: `type N
// FROM TO TEXT` (a keystroke), `insert N FROM TO TEXT` (a paste, a drop, a commit or an
// assistive tool), `paste N AT` (the clipboard asked, its text `late` to come), `answer` and
// `silence` (the text comes, or the owner never answers), `wait` (the copy's second passes),
// `copy`, `clear`, `undo`, `redo`. Each row gives names 1 to 4 afterwards, the copies'
// fourth lines in order, and the names the last report said had changed.
void TestGroupNameField::editorChanges_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("names");   // 1 to 4 afterwards
    QTest::addColumn<QStringList>("copies");  // line 4 of each copy, in order
    QTest::addColumn<QList<int>>("reported"); // what the last report said had changed

    const QString p = Placeholder;
    QTest::newRow("keys, then undo takes the run back")
        << QStringList{u"type 4 6 6 a"_s, u"type 4 7 7 b"_s, u"undo"_s} << QStringList{p, p, p, p}
        << QStringList{} << QList<int>{4};
    QTest::newRow("a pattern into 2 and the names below, one undo step")
        << QStringList{u"insert 2 0 6 x\r\ny\r\nz"_s, u"copy"_s, u"undo"_s}
        << QStringList{p, p, p, p} << QStringList{u"z"_s} << QList<int>{2, 3, 4};
    QTest::newRow("a pattern that changes one name is an edit of it")
        << QStringList{u"insert 2 6 6 a\r\n"_s + p} << QStringList{p, p + u"a"_s, p, p}
        << QStringList{} << QList<int>{2};
    QTest::newRow("undo restores what it recorded, redo what followed")
        << QStringList{u"clear"_s, u"insert 4 0 0 abc"_s, u"undo"_s, u"undo"_s, u"redo"_s}
        << QStringList{{}, {}, {}, {}} << QStringList{}
        << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    QTest::newRow("a late paste goes where it was asked for")
        << QStringList{u"paste 4 6"_s, u"answer"_s} << QStringList{p, p, p, p + u"late"_s}
        << QStringList{} << QList<int>{4};
    QTest::newRow("an edit beats a late paste")
        << QStringList{u"paste 4 6"_s, u"type 1 0 6 x"_s, u"answer"_s}
        << QStringList{u"x"_s, p, p, p} << QStringList{} << QList<int>{1};
    QTest::newRow("a copy waits for the paste before it")
        << QStringList{u"paste 4 6"_s, u"copy"_s, u"answer"_s}
        << QStringList{p, p, p, p + u"late"_s} << QStringList{p + u"late"_s} << QList<int>{4};
    QTest::newRow("a second copy meanwhile joins the first")
        << QStringList{u"paste 4 6"_s, u"copy"_s, u"copy"_s, u"answer"_s}
        << QStringList{p, p, p, p + u"late"_s} << QStringList{p + u"late"_s} << QList<int>{4};
    QTest::newRow("a copy waits a second at most, the paste still goes in")
        << QStringList{u"paste 4 6"_s, u"copy"_s, u"wait"_s, u"answer"_s}
        << QStringList{p, p, p, p + u"late"_s} << QStringList{p} << QList<int>{4};
    QTest::newRow("no answer: the copy runs at once after it")
        << QStringList{u"paste 4 6"_s, u"copy"_s, u"silence"_s} << QStringList{p, p, p, p}
        << QStringList{p} << QList<int>{};
    QTest::newRow("a copy after a beaten paste does not wait")
        << QStringList{u"paste 4 6"_s, u"clear"_s, u"copy"_s} << QStringList{{}, {}, {}, {}}
        << QStringList{QString()} << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
}

void TestGroupNameField::editorChanges()
{
    QFETCH(QStringList, script);
    QFETCH(QStringList, names);
    QFETCH(QStringList, copies);
    QFETCH(QList<int>, reported);

    RecordingClipboard clipboard;
    clipboard.m_answerLater = true;
    QStringList copied;
    auto editor = std::make_unique<NameEditor>(m_gbk, clipboard);
    NameChange last;
    connect(editor.get(), &NameEditor::changed, this,
            [&last](const NameChange &change) { last = change; });
    const auto copyNow = [&] {
        // What the copy placed, seen at the moment it did.
        const int before = int(clipboard.m_calls.count(u"setText"_s));
        return [&clipboard, &copied, before] {
            if (clipboard.m_calls.count(u"setText"_s) > before)
                copied.append(clipboard.m_text.split(u"\r\n"_s).value(3));
        };
    };
    bool waiting = false;
    connect(editor.get(), &NameEditor::copyWaitingChanged, this,
            [&waiting](bool now) { waiting = now; });
    for (const QString &step : script) {
        const QStringList words = step.split(u' ');
        const QString verb = words.at(0);
        const auto number = [&words](int i) { return words.at(i).toInt(); };
        const auto record = copyNow();
        if (verb == u"type" || verb == u"insert")
            editor->edit(number(1), TextEdit{number(2), number(3), words.mid(4).join(u' ')},
                         verb == u"type");
        else if (verb == u"paste")
            editor->paste(number(1), Clipboard::Source::Clipboard, number(2), number(2));
        else if (verb == u"answer")
            clipboard.answer(Clipboard::Outcome::Text, u"late"_s);
        else if (verb == u"silence")
            clipboard.answer(Clipboard::Outcome::NoAnswer, {});
        else if (verb == u"wait")
            QTRY_VERIFY_WITH_TIMEOUT(!waiting, NameEditor::PasteWaitMs * 3);
        else if (verb == u"copy")
            editor->copy();
        else if (verb == u"clear")
            editor->clear();
        else if (verb == u"undo")
            editor->undo();
        else if (verb == u"redo")
            editor->redo();
        else
            QFAIL(qPrintable(step));
        record();
        if (verb == u"copy" && script.contains(u"answer"_s) && !script.contains(u"clear"_s))
            QVERIFY2(waiting, "the copy waits for the paste asked for before it");
    }
    QCOMPARE(waiting, false);
    QCOMPARE(editor->names().names().mid(0, 4), names);
    QCOMPARE(copied, copies);
    QCOMPARE(last.changed, reported);
    // Nothing of a paste still on its way reaches an editor that is gone.
    editor->paste(5, Clipboard::Source::Clipboard, 0, 0);
    editor.reset();
    QVERIFY(!clipboard.m_pending);
}

void TestGroupNameField::decorateAll_data()
{
    QTest::addColumn<QStringList>("names"); // names 1 onwards; the rest empty
    QTest::addColumn<int>("source");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("missed");
    QTest::addColumn<int>("refusal");

    const int none = int(NameDecoration::Outcome::Refusal::None);
    QTest::newRow("words of every kind, borders and empty names kept")
        << QStringList{u"◆小学同学◆"_s, u"同学"_s,      u"【同事】"_s, u"〓〓〓"_s, u"Amy"_s, {},
                       u"ぃ家人ぃ"_s,   u"Lǚ Xiǎo 3"_s, u"①号"_s}
        << 1
        << QStringList{u"◆小学同学◆"_s, u"◆同学◆"_s,      u"◆同事◆"_s, u"〓〓〓"_s, u"◆Amy◆"_s, {},
                       u"◆家人◆"_s,     u"◆Lǚ Xiǎo 3◆"_s, u"◆号◆"_s}
        << QList<int>{} << none;
    QTest::newRow("one side only: the other side goes")
        << QStringList{u"【同事】"_s, u"★同学"_s} << 2 << QStringList{u"★同事"_s, u"★同学"_s}
        << QList<int>{} << none;
    QTest::newRow("padding of both kinds is not decoration")
        << QStringList{u"┃ 家人　┃"_s, u"║同学　　║"_s, u"  朋友"_s} << 1
        << QStringList{u"┃ 家人　┃"_s, u"┃同学┃"_s, u"┃朋友┃"_s} << QList<int>{} << none;
    QTest::newRow("past 16 bytes: left as it was, and named")
        << QStringList{u"★★★同学★★★"_s, u"一二三四"_s, u"ab"_s} << 1
        << QStringList{u"★★★同学★★★"_s, u"一二三四"_s, u"★★★ab★★★"_s} << QList<int>{2} << none;
    QTest::newRow("a source without words")
        << QStringList{u"╔══╗"_s, u"同学"_s} << 1 << QStringList{u"╔══╗"_s, u"同学"_s}
        << QList<int>{} << int(NameDecoration::Outcome::Refusal::NoWords);
    QTest::newRow("a source without decoration")
        << QStringList{u" 同学　"_s, u"【同事】"_s} << 1 << QStringList{u" 同学　"_s, u"【同事】"_s}
        << QList<int>{} << int(NameDecoration::Outcome::Refusal::NoDecoration);
}

void TestGroupNameField::decorateAll()
{
    QFETCH(QStringList, names);
    QFETCH(int, source);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, missed);
    QFETCH(int, refusal);

    names.resize(GroupNameSet::Count);
    expected.resize(GroupNameSet::Count);
    const NameDecoration::Outcome outcome = NameDecoration::decorateAll(names, source, m_gbk);
    QCOMPARE(int(outcome.refusal), refusal);
    QCOMPARE(outcome.missed, missed);
    for (const auto &[n, text] : outcome.names)
        names[n - 1] = text;
    QCOMPARE(names, expected);
}

void TestGroupNameField::alignRight_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("missed");

    QTest::newRow("words padded, a border stretched")
        << QStringList{u"╔════╗"_s, u"║同学║"_s, u"║老同事║"_s, u"╚══╝"_s}
        << QStringList{u"╔════╗"_s, u"║同学　　║"_s, u"║老同事　║"_s, u"╚════╝"_s} << QList<int>{};
    // 72 wide; "[Amy]" is 35: one full-width space and seven narrow ones (36.5) come
    // closest; "[il]" is 20: two full and eight narrow make it exact, in its 16 bytes.
    QTest::newRow("ascii rows, whose letters differ in width")
        << QStringList{u"╔════╗"_s, u"[Amy]"_s, u"[il]"_s}
        << QStringList{u"╔════╗"_s, u"[Amy　       ]"_s, u"[il　　        ]"_s} << QList<int>{};
    QTest::newRow("old padding replaced; rows ending in words or spaces left out")
        << QStringList{u"★同学　　　　★"_s, u"★老同事★"_s, u"家人"_s, u"★朋友 "_s}
        << QStringList{u"★同学　★"_s, u"★老同事★"_s, u"家人"_s, u"★朋友 "_s} << QList<int>{};
    QTest::newRow("a border stretched over its runs, the first first")
        << QStringList{u"┏━┳━┓"_s, u"┃老同学们┃"_s} << QStringList{u"┏━━┳━┓"_s, u"┃老同学们┃"_s}
        << QList<int>{};
    QTest::newRow("a row that cannot reach within 16 bytes comes as close as it can")
        << QStringList{u"╔══════╗"_s, u"[一二三四五六七]"_s}
        << QStringList{u"╔══════╗"_s, u"[一二三四五六七]"_s} << QList<int>{1};
}

void TestGroupNameField::alignRight()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, missed);

    names.resize(GroupNameSet::Count);
    expected.resize(GroupNameSet::Count);
    const CellWidths widths;
    const NameDecoration::Outcome outcome = NameDecoration::alignRight(names, widths, m_gbk);
    QCOMPARE(outcome.missed, missed);
    for (const auto &[n, text] : outcome.names) {
        names[n - 1] = text;
        QVERIFY(GroupNameField::byteLength(text, m_gbk) <= GroupNameField::MaxBytes);
    }
    QCOMPARE(names, expected);
}

QTEST_GUILESS_MAIN(TestGroupNameField)
// The symbols offered are exactly what the rule admits at two bytes, less ideographs and
// private-use characters, measured against glibc's own table: each on one page, none empty.
void TestGroupNameField::symbolsAreEveryTwoByteNonIdeograph()
{
    const QByteArray lengths = cp936Lengths();
    QVERIFY(!lengths.isEmpty());
    QSet<char32_t> expected;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        const QChar::Category category = QChar::category(cp);
        if (lengths[int(cp)] == '2' && category != QChar::Other_PrivateUse &&
            category != QChar::Other_Control &&
            !(QChar::script(cp) == QChar::Script_Han && category == QChar::Letter_Other))
            expected.insert(cp);
    }
    QVERIFY(expected.size() > 800);

    const SymbolPalette palette(m_gbk);
    const QList<SymbolPalette::Page> &pages = palette.pages();
    const QStringList titles{u"常用"_s,       u"线框"_s,       u"形状与星"_s,       u"箭头与数学"_s,
                             u"序号"_s,       u"标点与括号"_s, u"希腊与俄文字母"_s, u"日文假名"_s,
                             u"拼音与注音"_s, u"单位"_s,       u"全角字符"_s};
    QStringList shown;
    QSet<char32_t> offered;
    for (const SymbolPalette::Page &page : pages) {
        shown.append(page.title);
        QVERIFY2(!page.symbols.isEmpty(), qPrintable(page.title));
        if (&page == &pages.first())
            continue;
        for (const char32_t symbol : page.symbols) {
            QVERIFY2(!offered.contains(symbol),
                     qPrintable(u"U+%1 twice"_s.arg(uint(symbol), 0, 16)));
            offered.insert(symbol);
            // Each goes into a name as it is, at two bytes.
            const QString text = QString::fromUcs4(&symbol, 1);
            QCOMPARE(GroupNameField::applyEdit(QString(), {0, 0, text}, m_gbk).text(), text);
        }
    }
    QCOMPARE(shown, titles);
    QStringList missing, extra;
    for (const char32_t cp : expected - offered)
        missing.append(u"U+%1"_s.arg(uint(cp), 4, 16));
    for (const char32_t cp : offered - expected)
        extra.append(u"U+%1"_s.arg(uint(cp), 4, 16));
    QVERIFY2(missing.isEmpty(), qPrintable(u"missing "_s + missing.join(u' ')));
    QVERIFY2(extra.isEmpty(), qPrintable(u"extra "_s + extra.join(u' ')));
    for (const char32_t symbol : pages.first().symbols)
        QVERIFY(offered.contains(symbol));
    QCOMPARE(palette.describe(0x2605), u"实心五角星 U+2605"_s);
    QCOMPARE(palette.describe(0x2554), u"线框 U+2554"_s);
}

#include "tst_groupnamefield.moc"
