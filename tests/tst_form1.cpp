// SPDX-License-Identifier: MIT
// The real window driven with real key, mouse and input-method events.
#include "FontWarmUp.h"
#include "Form1.h"
#include "FullCellFont.h"
#include "GroupNameField.h"
#include "LineEditChange.h"
#include "OneByteFont.h"
#include "PictureButton.h"
#include "RecordingClipboard.h"
#include "RecordingShell.h"
#include "SymbolPlacement.h"
#include "SystemGbkCodec.h"
#include "SystemTextWidths.h"
#include "SystemWindowFonts.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QRawFont>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

using namespace Qt::StringLiterals;

namespace {
const QString Placeholder = u"好友分组名称"_s;
const QString Host = u"patterns.example.org"_s;
const QString Ascii16 = u"abcdefghijklmnop"_s;
const QString Emoji = QStringLiteral(u"\U0001F600");

enum class Start
{
    AtEnd,
    AllSelected
};

// Types as a keyboard layout would: one key event per character, any script.
// (QTest::keyClicks handles Latin-1 only.)
void type(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const Qt::Key key = c.unicode() < 0x80 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}
// One thing a user does to the names: types into field n (at its end, or over all of it),
// pastes into it, or clicks the clear picture (n = 0).
struct Action
{
    enum Kind
    {
        Type,
        TypeOver,
        Paste,
        Clear
    } kind;
    int n = 0;
    QString text;
};
using Actions = QList<Action>;
} // namespace
Q_DECLARE_METATYPE(Start)
Q_DECLARE_METATYPE(Actions)

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithPlaceholdersAndFocusOnTheTopField();
    void typing_data();
    void typing();
    void pasting_data();
    void pasting();
    void refusedPasteKeepsTheSelection();
    void insertByEveryPath_data();
    void insertByEveryPath();
    void editOfProposal_data();
    void editOfProposal();
    void latePaste_data();
    void latePaste();
    void composing_data();
    void composing();
    void assistiveToolEdits_data();
    void assistiveToolEdits();
    void drawnWidths_data();
    void drawnWidths();
    void drawnFromBitmaps_data();
    void drawnFromBitmaps();
    void longNameFromItsStart_data();
    void longNameFromItsStart();
    void fullCellFontKeepsTheLicence();
    void symbols_data();
    void symbols();
    void symbolsBesideTheWindow_data();
    void symbolsBesideTheWindow();
    void keysMoveBetweenFields_data();
    void keysMoveBetweenFields();
    void undoAndRedo_data();
    void undoAndRedo();
    void newEditAfterUndoDropsTheRedo();
    void contextMenuUndoesTheWindow();
    void clearThenCopy();
    void doubleClickRunsOnce_data();
    void doubleClickRunsOnce();
    void copyFailureKeepsNamesAndWindow();
    void captionNamesTheHost();
    void stripOpensThePatternPage_data();
    void stripOpensThePatternPage();

private:
    QLineEdit *field(int n) const
    {
        return m_window->findChild<QLineEdit *>(u"Text"_s + QString::number(n));
    }
    PictureButton *button(const QString &name) const
    {
        return m_window->findChild<PictureButton *>(name);
    }
    // Opens the field's context menu and triggers the entry, if it is there and enabled.
    bool chooseFromContextMenu(QLineEdit *edit, const QString &entry)
    {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                edit->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(edit, &event);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return false;
        const QList<QAction *> entries = menu->actions();
        const auto found = std::find_if(entries.begin(), entries.end(), [&entry](QAction *a) {
            return a->text().section(u'\t', 0, 0) == entry && a->isEnabled();
        });
        if (found != entries.end())
            (*found)->trigger();
        menu->close();
        QCoreApplication::processEvents();
        return found != entries.end();
    }
    // What the window says of the last edit: every word of `expected` (space-separated) is
    // in the note and in field's accessible description; no note where it is empty. The
    // note lies over no field, button or link, so that it never takes the next click.
    void verifyNote(QLineEdit *edit, const QString &expected)
    {
        const auto *note = m_window->findChild<QLabel *>(u"nameNote"_s);
        const auto *room = m_window->findChild<QLabel *>(u"roomCount"_s);
        QVERIFY(note && room);
        const QString shown = note->isVisible() ? note->text() : QString();
        // Without a note, the field with the keyboard tells the bytes its name uses.
        const int bytes = GroupNameField::byteLength(edit->text(), m_gbk);
        const bool counted = shown.isEmpty() && edit->hasFocus();
        // The note speaks first; without it, the count shows for the field with the keyboard.
        if (!shown.isEmpty() || counted)
            QCOMPARE(room->isVisible(), counted);
        QCOMPARE(edit->accessibleDescription(), counted ? u"已用 %1/16 字节"_s.arg(bytes) : shown);
        if (counted) {
            QCOMPARE(room->text(), u"%1/16"_s.arg(bytes));
            verifyBeside(room);
        }
        if (expected.isEmpty()) {
            QVERIFY2(shown.isEmpty(), qPrintable(shown));
            return;
        }
        for (const QString &word : expected.split(u' '))
            QVERIFY2(shown.contains(word), qPrintable(word + u" not in: "_s + shown));
        verifyBeside(note);
    }
    // The label lies in the window, over no field, button or link, so that it never takes
    // the next click nor hides what the user reads.
    void verifyBeside(const QWidget *label)
    {
        const QRect place(label->mapTo(m_window.get(), QPoint()), label->size());
        QVERIFY(m_window->rect().contains(place));
        for (const QWidget *control : m_window->findChildren<QWidget *>()) {
            const bool avoided = qobject_cast<const QLineEdit *>(control) ||
                                 qobject_cast<const PictureButton *>(control) ||
                                 control->objectName() == u"Label2"_s;
            const QRect where(control->mapTo(m_window.get(), QPoint()), control->size());
            QVERIFY2(!avoided || !where.intersects(place), qPrintable(control->objectName()));
        }
    }

    void prepare(QLineEdit *edit, Start start)
    {
        edit->setFocus();
        if (start == Start::AllSelected)
            edit->selectAll();
        else
            edit->end(false);
    }

    const QString m_tahoma = QStringLiteral(GPD_TAHOMA_FILES).section(u';', 0, 0);
    QTranslator m_qtWords;
    SystemGbkCodec m_gbk;
    SystemWindowFonts m_fonts;
    std::unique_ptr<SystemTextWidths> m_widths; // once the window font is there
    RecordingClipboard m_clipboard;
    RecordingShell m_shell;
    std::unique_ptr<Form1> m_window;
};

void TestForm1::initTestCase()
{
    // As the program starts: fontconfig set up to draw AR PL UMing from its bitmaps at the
    // sizes of its strikes, Tahoma's one-byte part and the Song-style font's full-cell part
    // under their own names.
    FontWarmUp fonts(m_fonts.families(u"Tahoma"_s));
    fonts.wait();
    QCOMPARE(QFileInfo(fonts.songFontFile()).fileName(), u"uming.ttc"_s);
    QCOMPARE(fonts.bitmapSizes(), (QList<int>{11, 12, 13, 14, 15, 16}));
    QCOMPARE(OneByteFont::install(u"Tahoma"_s, {m_tahoma}), u"Tahoma SBCS"_s);
    QCOMPARE(FullCellFont::install(fonts.fullCellFont()), FullCellFont::family());
    m_widths = std::make_unique<SystemTextWidths>(u"Tahoma"_s, m_gbk);
    // And Qt's Chinese words, from the system's Qt.
    QVERIFY(m_qtWords.load(QLocale(QLocale::Chinese, QLocale::China), u"qtbase"_s, u"_"_s,
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&m_qtWords);
}

void TestForm1::init()
{
    m_clipboard = RecordingClipboard();
    m_shell = RecordingShell();
    m_window = std::make_unique<Form1>(m_gbk, m_clipboard, m_shell, m_fonts, *m_widths, Host);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestForm1::cleanup()
{
    m_window.reset();
}

void TestForm1::startsWithPlaceholdersAndFocusOnTheTopField()
{
    for (int n = 1; n <= GroupNameSet::Count; ++n)
        QCOMPARE(field(n)->text(), Placeholder);
    QTRY_COMPARE(QApplication::focusWidget(), field(1));
}

void TestForm1::typing_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<Start>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("note"); // what the field says of the last key

    const QString full = u"16/16 16个英文或者8个中文字符"_s;
    QTest::newRow("placeholder takes 4 more letters")
        << 1 << Start::AtEnd << u"abcde"_s << Placeholder + u"abcd"_s << full;
    QTest::newRow("placeholder takes 2 more chinese")
        << 11 << Start::AtEnd << u"一二三"_s << Placeholder + u"一二"_s << full;
    QTest::newRow("16 letters, 17th refused")
        << 4 << Start::AllSelected << u"abcdefghijklmnopq"_s << u"abcdefghijklmnop"_s << full;
    QTest::newRow("8 chinese, 9th refused")
        << 5 << Start::AllSelected << u"一二三四五六七八九"_s << u"一二三四五六七八"_s << full;
    QTest::newRow("one byte left, a chinese refused")
        << 6 << Start::AllSelected << u"一二三四五六七a八"_s << u"一二三四五六七a"_s << u"15/16"_s;
    QTest::newRow("a letter after a refused chinese: nothing to say")
        << 6 << Start::AllSelected << u"一二三四五六七a八b"_s << u"一二三四五六七ab"_s << QString();
    QTest::newRow("characters without a gbk form refused")
        << 2 << Start::AllSelected << u"ab♡"_s << u"ab"_s << u"♡"_s;
    QTest::newRow("typing that fits says nothing")
        << 2 << Start::AllSelected << u"a♡ñb"_s << u"ab"_s << QString();
}

void TestForm1::typing()
{
    QFETCH(int, n);
    QFETCH(Start, start);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QFETCH(QString, note);

    prepare(field(n), start);
    type(field(n), typed);
    QCOMPARE(field(n)->text(), expected);
    QCOMPARE(m_window->names().name(n), expected);
    verifyNote(field(n), note);
    if (note.isEmpty())
        return;
    // The refused key held down: the note stays, without going and coming back.
    QSignalSpy dismissed(m_window->findChild<QLabel *>(u"nameNote"_s), SIGNAL(dismissed()));
    for (int repeat = 0; repeat < 3; ++repeat) {
        type(field(n), typed.right(1));
        QCoreApplication::processEvents();
    }
    QCOMPARE(dismissed.count(), 0);
    verifyNote(field(n), note);
}

void TestForm1::pasting_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<Start>("start");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected"); // names n, n + 1, ... one per line; the rest stay
    QTest::addColumn<QString>("note");     // what field n says of the paste

    QTest::newRow("cut to what fits")
        << 3 << Start::AtEnd << u"abcdefgh"_s << Placeholder + u"abcd"_s << u"16/16"_s;
    QTest::newRow("no chinese split")
        << 3 << Start::AtEnd << u"abc一二"_s << Placeholder + u"abc"_s << u"15/16"_s;
    QTest::newRow("tab and heart left out")
        << 8 << Start::AllSelected << u"★\t♡★"_s << u"★★"_s << u"这个字符 ♡"_s;
    QTest::newRow("long text") << 9 << Start::AllSelected << QString(5000, u'x')
                               << QString(16, u'x') << u"16/16"_s;
    QTest::newRow("many characters without a form, a few named")
        << 2 << Start::AllSelected << u"♡♥❤✿❀♪©®™♡ab"_s << u"ab"_s
        << u"这些字符，没有加上：♡ ♥ ❤ ✿ ❀ ♪ © ® 等"_s;
    // Named by its code where no font has it, not drawn as an empty box.
    if (!QFontMetrics(QApplication::font()).inFontUcs4(0x1F923))
        QTest::newRow("a character no font draws") << 5 << Start::AllSelected << u"a🤣b"_s
                                                   << u"ab"_s << u"这个字符，没有加上：U+1F923"_s;

    // Several lines fill the field and the ones below, each line through the rule.
    QTest::newRow("two lines") << 7 << Start::AllSelected << u"第一行\r\n第二行"_s
                               << u"第一行\n第二行"_s << QString();
    QTest::newRow("into field 9: three fields, the lines with text past them counted")
        << 9 << Start::AllSelected << u"一\r\n二\r\n三\r\n\r\n四\r\n 五"_s << u"一\n二\n三"_s
        << u"还有 2 行"_s;
    QTest::newRow("a break at the end adds no line")
        << 10 << Start::AllSelected << u"a\r\n"_s << u"a\n"_s + Placeholder << QString();
    QTest::newRow("breaks after one name: no neighbour emptied")
        << 6 << Start::AllSelected << u"★新名字★\n\n"_s << u"★新名字★\n"_s + Placeholder
        << QString();
    QTest::newRow("a break before one name: it goes where pasted")
        << 4 << Start::AtEnd << u"\n★新名"_s << Placeholder + u"★新\n"_s + Placeholder
        << u"第 4 组已用 16/16"_s;
    QTest::newRow("empty middle line")
        << 1 << Start::AllSelected << u"x\r\n\r\ny"_s << u"x\n\ny"_s << QString();
    QTest::newRow("every kind of break")
        << 3 << Start::AllSelected << u"a\rb\u2028c\u2029d\ne\r\n\r\nf"_s << u"a\nb\nc\nd\ne\n\nf"_s
        << QString();
    QTest::newRow("first line at the cursor, each line cut on its own")
        << 3 << Start::AtEnd << u"abcdefgh\n一二三四五六七八九\n♡★\n♡"_s
        << Placeholder + u"abcd\n一二三四五六七八\n★\n"_s << u"第 3、4 组放不下 ♡ 第 5、6 组"_s;
    QTest::newRow("a line below cut: no count of this name's bytes")
        << 3 << Start::AllSelected << u"ab\n一二三四五六七八九"_s << u"ab\n一二三四五六七八"_s
        << u"第 4 组放不下"_s;

    // Over a selection, text that begins or ends like it: the selection goes, whatever
    // of the text is left out.
    QTest::newRow("beginning like the selection, the rest unusable")
        << 5 << Start::AllSelected << u"好友\U0001F600"_s << u"好友"_s << u"\U0001F600"_s;
    QTest::newRow("ending like the selection, the rest unusable")
        << 6 << Start::AllSelected << u"\U0001F600名称"_s << u"名称"_s << u"\U0001F600"_s;
}

void TestForm1::pasting()
{
    QFETCH(int, n);
    QFETCH(Start, start);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    QFETCH(QString, note);

    m_clipboard.m_offered = clipboard;
    prepare(field(n), start);
    QTest::keyClick(field(n), Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QStringList names(GroupNameSet::Count, Placeholder);
    const QStringList lines = expected.split(u'\n');
    for (int i = 0; i < lines.size(); ++i)
        names[n - 1 + i] = lines[i];
    QCOMPARE(m_window->names().names(), names);
    for (int k = 1; k <= GroupNameSet::Count; ++k)
        QCOMPARE(field(k)->text(), names[k - 1]);
    QCOMPARE(QApplication::focusWidget(), field(n));
    verifyNote(field(n), note);
    // The note speaks of the names as they were: an undo takes it away with the paste.
    QTest::keyClick(field(n), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->names().names(), QStringList(GroupNameSet::Count, Placeholder));
    verifyNote(field(n), QString());
}

void TestForm1::refusedPasteKeepsTheSelection()
{
    m_clipboard.m_offered = u"♡\r\nabc"_s;
    QLineEdit *edit = field(1);
    prepare(edit, Start::AllSelected);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(edit->text(), Placeholder);
    QCOMPARE(edit->selectedText(), Placeholder);
    QCOMPARE(field(2)->text(), u"abc"_s);
}

void TestForm1::insertByEveryPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected"); // fields 3 to 7; all of field 4 was selected
    QTest::addColumn<QString>("note");         // what field 4 says of it

    const QString p = Placeholder;
    // The hearts have no GBK form; the last line does not fit.
    const QString pattern = u"甲♡\n乙\n丙一二三四五六七八"_s;
    const QString said = u"♡ 第 6 组放不下"_s;
    QTest::newRow("keyboard") << u"keyboard"_s << pattern
                              << QStringList{p, u"甲"_s, u"乙"_s, u"丙一二三四五六七"_s, p} << said;
    QTest::newRow("context menu") << u"menu"_s << pattern
                                  << QStringList{p, u"甲"_s, u"乙"_s, u"丙一二三四五六七"_s, p}
                                  << said;
    QTest::newRow("middle click, at the click")
        << u"middle click"_s << pattern
        << QStringList{p, u"好甲友分组名称"_s, u"乙"_s, u"丙一二三四五六七"_s, p} << said;
    QTest::newRow("dropped after the first character")
        << u"drop"_s << pattern
        << QStringList{p, u"好甲友分组名称"_s, u"乙"_s, u"丙一二三四五六七"_s, p} << said;
    QTest::newRow("input method") << u"input method"_s << pattern
                                  << QStringList{p, u"甲"_s, u"乙"_s, u"丙一二三四五六七"_s, p}
                                  << said;
    // One line that repeats the text around where it goes, and whose rest has no GBK form.
    const QString like = u"好友\U0001F600"_s;
    QTest::newRow("input method over a selection beginning like it")
        << u"input method"_s << like << QStringList{p, u"好友"_s, p, p, p} << u"\U0001F600"_s;
    QTest::newRow("dropped where it repeats the text around")
        << u"drop"_s << u"友\U0001F600"_s << QStringList{p, u"好友友分组名称"_s, p, p, p}
        << u"\U0001F600"_s;
    QTest::newRow("dropped whole: nothing to say")
        << u"drop"_s << u"甲"_s << QStringList{p, u"好甲友分组名称"_s, p, p, p} << QString();
}

// However the text arrives, the field and the ones below take it, and one undo takes it
// all back.
void TestForm1::insertByEveryPath()
{
    QFETCH(QString, path);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(QString, note);
    QLineEdit *edit = field(4);
    prepare(edit, Start::AllSelected);
    const QPoint afterFirst(14, 10);
    if (path == u"keyboard") {
        m_clipboard.m_offered = text;
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    } else if (path == u"menu") {
        // The text comes once the menu has gone, as another program's does.
        m_clipboard.m_answerLater = true;
        QVERIFY(chooseFromContextMenu(edit, QLineEdit::tr("&Paste")));
        QTRY_VERIFY(m_clipboard.m_pending);
        m_clipboard.answer(Clipboard::Outcome::Text, text);
    } else if (path == u"middle click") {
        m_clipboard.m_selection = text;
        QTest::mouseClick(edit, Qt::MiddleButton, {}, afterFirst);
        QCOMPARE(m_clipboard.m_calls.value(0), u"requestSelection"_s);
    } else if (path == u"drop") {
        auto *mime = new QMimeData;
        mime->setText(text);
        QDragEnterEvent enter(afterFirst, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(edit, &enter);
        QDragMoveEvent move(afterFirst, Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(edit, &move);
        QDropEvent drop(QPointF(afterFirst), Qt::CopyAction, mime, Qt::LeftButton, {});
        QApplication::sendEvent(edit, &drop);
        delete mime;
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(edit, &commit);
    }
    QCoreApplication::processEvents();
    QCOMPARE(m_window->names().names().mid(2, 5), expected);
    for (int n = 3; n <= 7; ++n)
        QCOMPARE(field(n)->text(), expected[n - 3]);
    verifyNote(edit, note);
    // Offscreen, keys reach no shortcut after a popup: the menu's own entry stands in.
    if (path == u"menu")
        QVERIFY(chooseFromContextMenu(edit, QLineEdit::tr("&Undo")));
    else
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->names().names(), QStringList(GroupNameSet::Count, Placeholder));
}

void TestForm1::editOfProposal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("selectionFrom"); // the field's selection, or its cursor, before
    QTest::addColumn<int>("selectionTo");
    QTest::addColumn<QString>("proposed"); // what the field shows after the change
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("expected"); // the name once the rule had the edit
    QTest::addColumn<int>("expectedCursor");

    const QString p = Placeholder;
    QTest::newRow("typed at the end") << p << 6 << 6 << p + u"a"_s << 7 << p + u"a"_s << 7;
    QTest::newRow("typed past the limit")
        << Ascii16 << 16 << 16 << Ascii16 + u"q"_s << 17 << Ascii16 << 16;
    QTest::newRow("repeated letters") << u"aaa"_s << 1 << 1 << u"aaaa"_s << 2 << u"aaaa"_s << 2;
    QTest::newRow("backspace") << u"abc"_s << 3 << 3 << u"ab"_s << 2 << u"ab"_s << 2;
    QTest::newRow("delete forward") << u"abcd"_s << 2 << 2 << u"abd"_s << 2 << u"abd"_s << 2;
    QTest::newRow("word deleted backwards")
        << u"ab cd"_s << 5 << 5 << u"ab "_s << 3 << u"ab "_s << 3;
    QTest::newRow("paste cut in the middle")
        << u"abcdefghijklmn"_s << 3 << 3 << u"abc一二三defghijklmn"_s << 6 << u"abc一defghijklmn"_s
        << 4;
    // A selection replaced by text that begins or ends like it: only the selection tells
    // what was inserted.
    QTest::newRow("all replaced by text beginning like it, the rest unusable")
        << p << 0 << 6 << u"好友"_s + Emoji << 4 << u"好友"_s << 2;
    QTest::newRow("all replaced by text ending like it, the rest unusable")
        << p << 0 << 6 << Emoji + u"名称"_s << 4 << u"名称"_s << 2;
    QTest::newRow("all replaced, an unusable character in the middle")
        << p << 0 << 6 << u"好友♡名称"_s << 5 << u"好友名称"_s << 4;
    QTest::newRow("the end replaced by text beginning like it")
        << u"xy好友分组"_s << 2 << 6 << u"xy好友"_s + Emoji << 6 << u"xy好友"_s << 4;
    QTest::newRow("selection replaced by refused paste")
        << Ascii16 << 2 << 4 << u"ab♡efghijklmnop"_s << 3 << Ascii16 << 4;
    QTest::newRow("text set whole by a tool")
        << u"abc"_s << 1 << 1 << u"xyz"_s << 0 << u"xyz"_s << 3;
    QTest::newRow("cursor out of range") << u"ab"_s << 2 << 2 << u"abc"_s << 99 << u"abc"_s << 3;
}

void TestForm1::editOfProposal()
{
    QFETCH(QString, name);
    QFETCH(int, selectionFrom);
    QFETCH(int, selectionTo);
    QFETCH(QString, proposed);
    QFETCH(int, cursor);
    QFETCH(QString, expected);
    QFETCH(int, expectedCursor);

    const TextEdit edit =
        LineEditChange::editOf(name, selectionFrom, selectionTo, proposed, cursor);
    const NameEdit result = GroupNameField::applyEdit(name, edit, m_gbk);
    QCOMPARE(result.text(), expected);
    QCOMPARE(result.changed(), expected != name);
    if (result.changed())
        QCOMPARE(result.cursor(), expectedCursor);
}

void TestForm1::latePaste_data()
{
    QTest::addColumn<QString>("meanwhile");    // what the user does before the text comes
    QTest::addColumn<int>("outcome");          // Clipboard::Outcome of the request
    QTest::addColumn<QStringList>("expected"); // names 4 and 6 afterwards
    QTest::addColumn<bool>("message");

    const QString p = Placeholder;
    const int text = int(Clipboard::Outcome::Text);
    QTest::newRow("nothing: pasted where it was asked for")
        << QString() << text << QStringList{p + u"late"_s, p} << false;
    QTest::newRow("the cursor moved: still where it was asked for")
        << u"home"_s << text << QStringList{p + u"late"_s, p} << false;
    QTest::newRow("a second paste replaces the first")
        << u"paste in 6"_s << text << QStringList{p, p + u"late"_s} << false;
    QTest::newRow("an edit wins") << u"type in 6"_s << text << QStringList{p, p + u"x"_s} << false;
    QTest::newRow("a clear wins") << u"clear"_s << text << QStringList{QString(), QString()}
                                  << false;
    QTest::newRow("an undo wins") << u"undo"_s << text << QStringList{p, p} << false;
    QTest::newRow("a copy waits for it")
        << u"copy"_s << text << QStringList{p + u"late"_s, p} << false;
    QTest::newRow("a copy waits a second at most")
        << u"copy, silent"_s << text << QStringList{p + u"late"_s, p} << false;
    QTest::newRow("keys and clicks while a copy waits come after it")
        << u"copy, then type in 6"_s << text << QStringList{p + u"late"_s, p + u"x"_s} << false;
    QTest::newRow("closed while a copy waits")
        << u"copy, then close"_s << text << QStringList{} << false;
    QTest::newRow("no text to be had")
        << QString() << int(Clipboard::Outcome::NoText) << QStringList{p, p} << false;
    QTest::newRow("no answer: the user is told")
        << QString() << int(Clipboard::Outcome::NoAnswer) << QStringList{p, p} << true;
    QTest::newRow("closed while waiting") << u"close"_s << text << QStringList{} << false;
}

// The text of a paste comes when the other program hands it over; the window meanwhile
// goes on, and what the user did meanwhile wins over it.
void TestForm1::latePaste()
{
    QFETCH(QString, meanwhile);
    QFETCH(int, outcome);
    QFETCH(QStringList, expected);
    QFETCH(bool, message);

    if (meanwhile == u"undo") {
        prepare(field(1), Start::AtEnd);
        type(field(1), u"z"_s);
    }
    m_clipboard.m_answerLater = true;
    prepare(field(4), Start::AtEnd);
    QTest::keyClick(field(4), Qt::Key_V, Qt::ControlModifier);
    QVERIFY(m_clipboard.m_pending);
    if (meanwhile == u"home") {
        QTest::keyClick(field(4), Qt::Key_Home);
    } else if (meanwhile == u"paste in 6") {
        prepare(field(6), Start::AtEnd);
        QTest::keyClick(field(6), Qt::Key_V, Qt::ControlModifier);
    } else if (meanwhile == u"type in 6") {
        prepare(field(6), Start::AtEnd);
        type(field(6), u"x"_s);
    } else if (meanwhile == u"clear") {
        QTest::mouseClick(button(u"Image1"_s), Qt::LeftButton);
    } else if (meanwhile == u"undo") {
        QTest::keyClick(field(4), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(field(1)->text(), Placeholder);
    } else if (meanwhile.startsWith(u"copy")) {
        // The paste comes while the copy waits for it, or not within its second; the click
        // returns at once, and what the user does meanwhile comes after the copy.
        const bool silent = meanwhile.endsWith(u"silent");
        const auto copies = [this] { return m_clipboard.m_calls.count(u"setText"_s); };
        const qsizetype before = copies();
        QElapsedTimer waited;
        waited.start();
        QTest::mouseClick(button(u"Image2"_s), Qt::LeftButton);
        QVERIFY(waited.elapsed() < Form1::PasteWaitMs / 2);
        QCOMPARE(copies(), before);
        if (meanwhile.endsWith(u"type in 6")) {
            QTest::mouseClick(field(6), Qt::LeftButton);
            QTest::keyClick(field(6), Qt::Key_End);
            type(field(6), u"x"_s);
            QCOMPARE(m_window->names().name(6), Placeholder);
        } else if (meanwhile.endsWith(u"close")) {
            m_window.reset();
            QVERIFY(!m_clipboard.m_pending);
            QTest::qWait(Form1::PasteWaitMs + 200);
            QCOMPARE(copies(), before);
            return;
        }
        if (!silent) {
            QTest::qWait(200);
            m_clipboard.answer(Clipboard::Outcome::Text, u"late"_s);
        }
        QTRY_COMPARE_WITH_TIMEOUT(copies(), before + 1, Form1::PasteWaitMs * 3);
        QVERIFY(waited.elapsed() >= (silent ? Form1::PasteWaitMs : 200));
        const QStringList copied = m_clipboard.m_text.split(u"\r\n"_s);
        QCOMPARE(copied.value(3), silent ? Placeholder : expected[0]);
        QCOMPARE(copied.value(5), Placeholder);
    } else if (meanwhile == u"close") {
        m_window.reset();
        QVERIFY(!m_clipboard.m_pending);
        return;
    }
    m_clipboard.answer(Clipboard::Outcome(outcome), u"late"_s);
    QCoreApplication::processEvents();
    QCOMPARE((QStringList{m_window->names().name(4), m_window->names().name(6)}), expected);
    QCOMPARE(field(4)->text(), expected[0]);
    QCOMPARE(field(6)->text(), expected[1]);
    auto *box = m_window->findChild<QMessageBox *>(u"pasteFailedMessage"_s);
    QCOMPARE(box != nullptr, message);
    if (box)
        QTRY_VERIFY(box->isVisible());
}

void TestForm1::composing_data()
{
    QTest::addColumn<int>("selected");          // characters of name 4 selected from the 2nd
    QTest::addColumn<QStringList>("events");    // pre-edit, commit, pre-edit, commit...
    QTest::addColumn<QStringList>("composing"); // names 4 and 5 after the first event
    QTest::addColumn<QStringList>("expected");  // names 4 and 5 at the end
    QTest::addColumn<QString>("selection");     // of field 4 at the end

    const QString p = Placeholder;
    QTest::newRow("a commit cut by the rule")
        << 0 << QStringList{u"yi'er'san"_s, QString(), QString(), u"一二三"_s} << QStringList{p, p}
        << QStringList{u"好一二友分组名称"_s, p} << QString();
    QTest::newRow("over a selection: it goes at the commit, with it")
        << 2 << QStringList{u"zu"_s, QString(), QString(), u"族"_s} << QStringList{p, p}
        << QStringList{u"好族组名称"_s, p} << QString();
    QTest::newRow("over a selection, given up: the selection is back")
        << 2 << QStringList{u"zu"_s, QString(), QString(), QString()} << QStringList{p, p}
        << QStringList{p, p} << u"友分"_s;
    QTest::newRow("a paste while composing over a selection replaces the selection")
        << 2 << QStringList{u"zu"_s, QString(), u"^V"_s, u"XY"_s} << QStringList{p, p}
        << QStringList{u"好XY组名称"_s, p} << QString();
    QTest::newRow("several lines and a new pre-edit over a selection")
        << 2 << QStringList{u"z"_s, u"X\nY"_s} << QStringList{u"好X组名称"_s, u"Y"_s}
        << QStringList{u"好X组名称"_s, u"Y"_s} << QString();
}

// What an input method composes counts for nothing until it commits; what it commits is one
// edit, one step, in place of the selection it was composed over.
void TestForm1::composing()
{
    QFETCH(int, selected);
    QFETCH(QStringList, events);
    QFETCH(QStringList, composing);
    QFETCH(QStringList, expected);
    QFETCH(QString, selection);
    QLineEdit *edit = field(4);
    edit->setFocus();
    edit->setSelection(1, selected);
    const auto names = [this] {
        return QStringList{m_window->names().name(4), m_window->names().name(5)};
    };
    for (qsizetype i = 0; i < events.size(); i += 2) {
        if (events[i] == u"^V") {
            m_clipboard.m_offered = events[i + 1];
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            continue;
        }
        QInputMethodEvent event(events[i], {});
        event.setCommitString(events[i + 1]);
        QApplication::sendEvent(edit, &event);
        if (i == 0)
            QCOMPARE(names(), composing);
    }
    QCOMPARE(names(), expected);
    QCOMPARE(edit->text(), expected[0]);
    QCOMPARE(field(5)->text(), expected[1]);
    QCOMPARE(edit->selectedText(), selection);
    // One step back, or none where nothing changed.
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), (QStringList{Placeholder, Placeholder}));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(names(), (QStringList{Placeholder, Placeholder}));
}

void TestForm1::assistiveToolEdits_data()
{
    QTest::addColumn<QString>("start"); // name 6, typed over the placeholder
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("note");

    const QString p = Placeholder;
    QTest::newRow("insert cut to what fits, the end kept")
        << u"abcdefghijklmno"_s << u"insert"_s << 0 << 0 << u"XY"_s << u"Xabcdefghijklmno"_s
        << u"16/16"_s;
    QTest::newRow("delete") << p << u"delete"_s << 0 << 2 << QString() << u"分组名称"_s
                            << QString();
    QTest::newRow("replace") << p << u"replace"_s << 2 << 4 << u"★★★"_s << u"好友★★★名称"_s
                             << QString();
    QTest::newRow("a value set as a whole, cut")
        << p << u"value"_s << 0 << 0 << u"一二三四五六七八九十"_s << u"一二三四五六七八"_s
        << u"16/16"_s;
    QTest::newRow("a value without a gbk form: the name stays")
        << p << u"value"_s << 0 << 0 << u"♡"_s << p << u"♡"_s;
}

// Assistive tools edit through the field's accessible interface: each edit is the edit it
// is, through the rule, and leaves nothing behind for the typing after it.
void TestForm1::assistiveToolEdits()
{
    QFETCH(QString, start);
    QFETCH(QString, action);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QString, note);
    QLineEdit *edit = field(6);
    if (start != Placeholder) {
        prepare(edit, Start::AllSelected);
        type(edit, start);
    }
    QCOMPARE(m_window->names().name(6), start);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(edit);
    QVERIFY(accessible && accessible->editableTextInterface() && accessible->textInterface());
    QCOMPARE(accessible->text(QAccessible::Value), start);
    if (action == u"insert")
        accessible->editableTextInterface()->insertText(from, text);
    else if (action == u"delete")
        accessible->editableTextInterface()->deleteText(from, to);
    else if (action == u"replace")
        accessible->editableTextInterface()->replaceText(from, to, text);
    else
        accessible->setText(QAccessible::Value, text);
    QCOMPARE(m_window->names().name(6), expected);
    QCOMPARE(edit->text(), expected);
    verifyNote(edit, note);

    // Typing afterwards is ruled and recorded as typing: one step, undone at once.
    prepare(edit, Start::AllSelected);
    type(edit, u"ab"_s);
    QCOMPARE(m_window->names().name(6), u"ab"_s);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_window->names().name(6), expected);
}

void TestForm1::drawnWidths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fullWidth");
    QTest::addColumn<bool>("centred"); // each glyph in the middle of its cell
    // Characters of two GBK bytes, one of each kind, several of which Latin fonts draw
    // narrow: each as wide as 中, as the messenger shows them.
    const QList<std::pair<const char *, QString>> wide{{"Chinese", u"中"_s},
                                                       {"box drawing", u"━"_s},
                                                       {"arc", u"╭"_s},
                                                       {"star", u"★"_s},
                                                       {"circle", u"○"_s},
                                                       {"arrow", u"→"_s},
                                                       {"reference mark", u"※"_s},
                                                       {"geta", u"〓"_s},
                                                       {"Greek", u"Ω"_s},
                                                       {"Cyrillic", u"а"_s},
                                                       {"circled digit", u"①"_s},
                                                       {"kana", u"あ"_s},
                                                       {"full-width form", u"Ａ"_s}};
    for (const auto &[kind, text] : wide)
        QTest::newRow(kind) << text << true << false;
    // Every one that AR PL UMing draws in half a cell, 宋体 in a full one, its glyph in the
    // middle (a name holds eight).
    const QList<std::pair<const char *, QString>> centred{
        {"Latin-1 signs", u"¤§¨°±·×÷"_s},
        {"pinyin a e", u"āáǎàēéěè"_s},
        {"pinyin i o", u"īíǐìōóǒò"_s},
        {"pinyin u ü", u"ūúǔùüǖǘǚ"_s},
        {"pinyin ǜ ê ń ň ɑ ɡ, the macron", u"ǜêńňɑɡˉ"_s}};
    for (const auto &[kind, text] : centred)
        QTest::newRow(kind) << text << true << true;
    // One byte: in Tahoma itself.
    QTest::newRow("ASCII") << u"abcdefghijklmnop"_s << false << false;
    QTest::newRow("euro sign") << u"€"_s << false << false;
}

void TestForm1::drawnWidths()
{
    QFETCH(QString, text);
    QFETCH(bool, fullWidth);
    QFETCH(bool, centred);
    QLineEdit *edit = field(1);
    edit->setFocus();
    edit->selectAll();
    type(edit, text);
    QCOMPARE(edit->text(), text);
    const QFontMetricsF metrics(edit->font());
    const int em = QFontInfo(edit->font()).pixelSize();
    QCOMPARE(em, 12); // 9 pt at 96 dpi
    if (fullWidth) {
        for (const QChar c : text) {
            QVERIFY2(metrics.horizontalAdvance(c) == qreal(em),
                     qPrintable(u"%1: %2 px"_s.arg(c).arg(metrics.horizontalAdvance(c))));
            if (!centred)
                continue;
            // Its ink, drawn in the field's font, as far from one side of the cell as from
            // the other (to within a pixel, for an odd width): at 12 px from the bitmaps, at
            // 24 px from the outlines.
            for (const int size : {em, 2 * em}) {
                QFont font = edit->font();
                font.setPixelSize(size);
                QCOMPARE(QFontMetricsF(font).horizontalAdvance(c), qreal(size));
                QImage cell(3 * size, 2 * size, QImage::Format_RGB32);
                cell.fill(Qt::white);
                QPainter painter(&cell);
                painter.setFont(font);
                painter.setPen(Qt::black);
                painter.drawText(QPointF(size, size * 1.5), QString(c));
                painter.end();
                int left = cell.width();
                int right = -1;
                for (int y = 0; y < cell.height(); ++y) {
                    for (int x = 0; x < cell.width(); ++x) {
                        if (qGray(cell.pixel(x, y)) < 224) { // any ink, faint edges too
                            left = std::min(left, x);
                            right = std::max(right, x);
                        }
                    }
                }
                QVERIFY2(right >= 0, qPrintable(QString(c)));
                const int before = left - size;
                const int after = 2 * size - 1 - right;
                QVERIFY2(std::abs(before - after) <= 1,
                         qPrintable(u"%1 at %2 px: %3 px before its ink, %4 px after"_s.arg(c)
                                        .arg(size)
                                        .arg(before)
                                        .arg(after)));
            }
        }
        QCOMPARE(metrics.horizontalAdvance(text), qreal(em * text.size()));
        return;
    }
    const QRawFont tahoma(m_tahoma, em);
    QVERIFY(tahoma.isValid());
    qreal expected = 0;
    for (const QPointF advance : tahoma.advancesForGlyphIndexes(tahoma.glyphIndexesForString(text)))
        expected += advance.x();
    QVERIFY2(
        std::abs(metrics.horizontalAdvance(text) - expected) < 0.5,
        qPrintable(u"%1 px, Tahoma %2 px"_s.arg(metrics.horizontalAdvance(text)).arg(expected)));
}

void TestForm1::drawnFromBitmaps_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bitmaps");
    // The field's 9 pt at 96 dpi (100 %), and at 120 and 192 dpi where Qt is told not to
    // scale the window (where it scales, at 125 % to 200 %, it draws text through a
    // transformation, from the outlines: tst_scale).
    QTest::newRow("100 %: 12 px, its bitmaps") << 12 << true;
    QTest::newRow("120 dpi unscaled: 15 px, its bitmaps") << 15 << true;
    QTest::newRow("192 dpi unscaled: 24 px, its outlines") << 24 << false;
}

// The placeholder in AR PL UMing's own bitmaps, black and crisp as 宋体 on Windows, where
// the font has a strike of that size; above that from its outlines, antialiased.
void TestForm1::drawnFromBitmaps()
{
    QFETCH(int, pixelSize);
    QFETCH(bool, bitmaps);
    QLineEdit *edit = field(2);
    QCOMPARE(edit->text(), Placeholder);
    QFont font = edit->font();
    font.setPixelSize(pixelSize);
    edit->setFont(font);
    edit->resize(edit->width(), 2 * pixelSize);
    const QImage shot = edit->grab().toImage();
    // Black: an RGB sum under 200; grey: between that and the field's light background.
    int black = 0;
    int grey = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb p = shot.pixel(x, y);
            const int sum = qRed(p) + qGreen(p) + qBlue(p);
            black += sum < 200;
            grey += sum >= 200 && sum < 600;
        }
    }
    const QString counts = u"%1 black pixels, %2 grey"_s.arg(black).arg(grey);
    if (bitmaps) {
        // The six characters' strokes, all black (measured: 255 at 12 px), and no grey.
        QVERIFY2(black >= 200 && grey == 0, qPrintable(counts));
    } else {
        QVERIFY2(grey > black / 2, qPrintable(counts));
    }
}

void TestForm1::longNameFromItsStart_data()
{
    // "type N TEXT" over field N's name, "paste N TEXT" over it, "clear", "undo", "decorate N",
    // by its key; then field `n`, without the keyboard, is looked at (fields 3 to 11 are
    // narrower than sixteen W).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("n");
    const QString wide = u"WWWWWWWWWWWWWWWW"_s;
    QTest::newRow("typed, then another field") << QStringList{u"type 3 "_s + wide} << 3;
    QTest::newRow("a pattern") << QStringList{u"paste 2 x\n"_s + wide} << 3;
    QTest::newRow("an undo") << QStringList{u"paste 2 x\n"_s + wide, u"clear"_s, u"undo"_s} << 3;
    QTest::newRow("a whole-list action")
        << QStringList{u"paste 2 %%x%%\nWWWWWWWWWWWW"_s, u"decorate 2"_s} << 3;
}

// A name wider than its field shows from its first character once the field has not the
// keyboard, however the name got there.
void TestForm1::longNameFromItsStart()
{
    QFETCH(QStringList, steps);
    QFETCH(int, n);
    for (const QString &step : steps) {
        const QString word = step.section(u' ', 0, 0);
        QLineEdit *edit = field(step.section(u' ', 1, 1).toInt());
        const QString text = step.section(u' ', 2);
        if (word == u"type"_s) {
            prepare(edit, Start::AllSelected);
            type(edit, text);
        } else if (word == u"paste"_s) {
            m_clipboard.m_offered = text;
            prepare(edit, Start::AllSelected);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        } else if (word == u"clear"_s) {
            QTest::mouseClick(button(u"Image1"_s), Qt::LeftButton);
        } else if (word == u"undo"_s) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        } else if (word == u"decorate"_s) {
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
        }
    }
    QLineEdit *shown = field(n);
    if (shown->hasFocus())
        prepare(field(n % 11 + 1), Start::AtEnd);
    QVERIFY(!shown->hasFocus());
    const QImage seen = shown->grab().toImage();
    const int cursor = shown->cursorPosition();
    // Wider than the field: drawn from its end, it looks otherwise.
    shown->end(false);
    const QImage fromEnd = shown->grab().toImage();
    shown->home(false);
    QVERIFY2(fromEnd != shown->grab().toImage(), qPrintable(shown->text()));
    QVERIFY2(seen == shown->grab().toImage(),
             qPrintable(u"%1 shown from position %2"_s.arg(shown->text()).arg(cursor)));
}

// The full-cell font made from AR PL UMing: its few glyphs only, under its own name, with
// the Arphic Public License and copyright it is made under.
void TestForm1::fullCellFontKeepsTheLicence()
{
    QFile file(u"/usr/share/fonts/truetype/arphic/uming.ttc"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const uchar *data = file.map(0, file.size());
    QVERIFY(data);
    const QByteArray font = FullCellFont::build(
        QByteArrayView(data, file.size()), 0,
        [this](char32_t c) { return m_gbk.byteLength(c) == 2; }, u"Test Full Cell"_s);
    QVERIFY2(font.size() > 0 && font.size() < 64 * 1024, qPrintable(QString::number(font.size())));
    const QRawFont raw(font, 12);
    QCOMPARE(raw.familyName(), u"Test Full Cell"_s);
    QVERIFY(raw.supportsCharacter(U'±'));
    QVERIFY(!raw.supportsCharacter(U'中'));
    const auto utf16 = [](const QString &text) {
        QByteArray bytes;
        for (const QChar c : text)
            bytes.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        return bytes;
    };
    const QByteArray names = raw.fontTable("name");
    QVERIFY(names.contains(utf16(u"ARPHIC PUBLIC LICENSE"_s)));
    QVERIFY(names.contains(utf16(u"Arphic Technology"_s)));
}

void TestForm1::symbols_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<Start>("start");
    // Ctrl+Shift+S opens the panel; then keys in it, "click R C" on a cell, "type TEXT" into
    // it, "paste TEXT" by Ctrl+V ("enterpaste TEXT" with Enter after it) and "menupaste TEXT"
    // by its menu, answered later, "page P" clicked in the list of pages, "field N" clicked
    // and its name selected, and checks: "cells TEXT" shown, "detail TEXT" said, "name N
    // TEXT" held.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("note");

    QTest::newRow("Enter at the cursor")
        << 3 << Start::AtEnd << QStringList{u"Return"_s} << Placeholder + u"╭"_s << QString();
    QTest::newRow("a click over the selection")
        << 4 << Start::AllSelected << QStringList{u"click 0 1"_s} << u"╮"_s << QString();
    QTest::newRow("the panel stays for a frame; the name full, the next is refused")
        << 5 << Start::AtEnd << QStringList{u"Return"_s, u"Right"_s, u"Return"_s, u"Return"_s}
        << Placeholder + u"╭╮"_s << u"第 5 组已用 16/16"_s;
    QTest::newRow("arrows move in the grid")
        << 6 << Start::AllSelected << QStringList{u"Down"_s, u"Right"_s, u"Return"_s} << u"║"_s
        << QString();
    QTest::newRow("Tab turns the page, Shift+Tab back")
        << 7 << Start::AllSelected << QStringList{u"Tab"_s,     u"Tab"_s,   u"Tab"_s,   u"Return"_s,
                                                  u"Backtab"_s, u"Right"_s, u"Return"_s}
        << u"■━"_s << QString();
    QTest::newRow("a search; Enter takes the first match, named in the detail line")
        << 8 << Start::AllSelected
        << QStringList{u"type 粗横线"_s, u"detail ━ 粗横线 U+2501  2 字节，还可以放 8 个"_s,
                       u"Return"_s}
        << u"━"_s << QString();
    QTest::newRow("a paste into the search comes when the other program answers")
        << 8 << Start::AllSelected << QStringList{u"paste 双竖线\r\n"_s, u"Return"_s} << u"║"_s
        << QString();
    QTest::newRow("Enter pressed before the pasted text comes takes what it finds")
        << 8 << Start::AllSelected << QStringList{u"enterpaste 双竖线"_s} << u"║"_s << QString();
    QTest::newRow("the search's menu pastes the same way")
        << 8 << Start::AllSelected << QStringList{u"menupaste 粗横线"_s, u"Return"_s} << u"━"_s
        << QString();
    QTest::newRow("the arrows move in what the search found")
        << 8 << Start::AllSelected << QStringList{u"type 竖线"_s, u"Right"_s, u"Return"_s} << u"┃"_s
        << QString();
    QTest::newRow("Esc empties the search first, and 常用 is back")
        << 9 << Start::AllSelected << QStringList{u"type 星"_s, u"Escape"_s, u"Return"_s} << u"╭"_s
        << QString();
    QTest::newRow("a code; the full-width space labelled")
        << 9 << Start::AllSelected
        << QStringList{u"type U+3000"_s, u"detail \u3000 全角空格 U+3000  2 字节，还可以放 8 个"_s,
                       u"Return"_s}
        << u"\u3000"_s << QString();
    QTest::newRow("最近 holds what went in, not what was refused")
        << 5 << Start::AtEnd << QStringList{u"Return"_s, u"Right"_s,  u"Return"_s,  u"Right"_s,
                                            u"Return"_s, u"page 1"_s, u"cells ╭╮"_s}
        << Placeholder + u"╭╮"_s << QString(); // the click on the page list ends the note
    QTest::newRow("another field clicked: the panel serves it")
        << 10 << Start::AllSelected
        << QStringList{u"field 9"_s, u"click 0 1"_s, u"name 9 ╮"_s, u"field 10"_s, u"click 0 0"_s}
        << u"╭"_s << QString();
}

void TestForm1::symbols()
{
    QFETCH(int, n);
    QFETCH(Start, start);
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    QFETCH(QString, note);
    QLineEdit *edit = field(n);
    prepare(edit, start);
    const QString before = edit->text();
    QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    auto *grid = m_window->findChild<QAbstractItemView *>(u"symbolGrid"_s);
    auto *search = m_window->findChild<QLineEdit *>(u"symbolSearch"_s);
    auto *pages = m_window->findChild<QListWidget *>(u"symbolPages"_s);
    auto *detail = m_window->findChild<QLabel *>(u"symbolDetail"_s);
    QVERIFY(grid && search && pages && detail);
    QTRY_VERIFY(grid->isVisible());
    // Typing goes to the search at once.
    QTRY_COMPARE(QApplication::focusWidget(), search);
    // Each symbol is heard by its name and code.
    QAccessibleInterface *cells = QAccessible::queryAccessibleInterface(grid);
    QVERIFY(cells && cells->tableInterface());
    QCOMPARE(cells->tableInterface()->cellAt(0, 0)->text(QAccessible::Name), u"左上圆角 U+256D"_s);
    const QMetaEnum keys = QMetaEnum::fromType<Qt::Key>();
    for (const QString &step : steps) {
        const QString word = step.section(u' ', 0, 0);
        const QString rest = step.section(u' ', 1);
        if (word == u"click"_s) {
            const QModelIndex cell = grid->model()->index(step.section(u' ', 1, 1).toInt(),
                                                          step.section(u' ', 2, 2).toInt());
            QVERIFY2(cell.flags() & Qt::ItemIsEnabled, qPrintable(step));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(cell).center());
        } else if (word == u"type"_s) {
            type(QApplication::focusWidget(), rest);
            QCOMPARE(search->text(), rest);
        } else if (word.endsWith(u"paste"_s)) {
            // A paste asks the clipboard and waits for nobody.
            m_clipboard.m_answerLater = true;
            if (word != u"menupaste"_s) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
            } else {
                QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                        search->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(search, &event);
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QVERIFY(menu);
                auto *entry = menu->findChild<QAction *>(u"edit-paste"_s);
                QVERIFY(entry && entry->isEnabled());
                entry->trigger();
                menu->close();
            }
            QVERIFY(m_clipboard.m_pending);
            QCOMPARE(search->text(), QString());
            // Enter meanwhile takes what the text finds, once it has come.
            const QString name = m_window->names().name(n);
            if (word == u"enterpaste"_s)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(m_window->names().name(n), name);
            m_clipboard.answer(Clipboard::Outcome::Text, rest);
            QCOMPARE(search->text(), rest.trimmed());
        } else if (word == u"page"_s) {
            const QRect item = pages->visualItemRect(pages->item(rest.toInt()));
            QVERIFY(pages->viewport()->rect().contains(item)); // in sight
            QTest::mouseClick(pages->viewport(), Qt::LeftButton, {}, item.center());
            QCOMPARE(pages->currentRow(), rest.toInt());
        } else if (word == u"field"_s) {
            // As a person clicks another field: the window takes the focus, the panel stays.
            QLineEdit *other = field(rest.toInt());
            m_window->activateWindow();
            QTRY_VERIFY(m_window->isActiveWindow());
            QTest::mouseClick(other, Qt::LeftButton, {}, other->rect().center());
            QTRY_COMPARE(QApplication::focusWidget(), other);
            other->selectAll();
        } else if (word == u"cells"_s) {
            QString cells;
            for (int i = 0; i < grid->model()->columnCount(); ++i)
                cells += grid->model()->index(0, i).data().toString();
            QCOMPARE(cells, rest);
        } else if (word == u"detail"_s) {
            QCOMPARE(detail->text(), rest);
        } else if (word == u"name"_s) {
            QCOMPARE(m_window->names().name(rest.section(u' ', 0, 0).toInt()),
                     rest.section(u' ', 1));
        } else {
            QTest::keyClick(QApplication::focusWidget(),
                            Qt::Key(keys.keyToValue((u"Key_"_s + step).toLatin1())));
        }
        QVERIFY2(grid->isVisible(), qPrintable(step)); // open for the next symbol
    }
    QCOMPARE(m_window->names().name(n), expected);
    verifyNote(edit, note);
    // Esc: back to the field, the cursor after the last symbol; one undo takes them all.
    // With a search, the first Esc empties it and the panel stays.
    if (!search->text().isEmpty()) {
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(search->text(), QString());
        QVERIFY(grid->isVisible());
    }
    QTest::keyClick(grid, Qt::Key_Escape);
    QTRY_VERIFY(!grid->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(edit->text(), expected);
    QCOMPARE(edit->cursorPosition(), int(expected.size()));
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->text(), before);
}

void TestForm1::symbolsBesideTheWindow_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QPoint>("window");
    QTest::addColumn<QString>("side");  // right, left, or over the window
    QTest::addColumn<bool>("belowRow"); // placed by a compositor that may flip it (Wayland)

    // A 1366 x 768 screen at 100 %, a 1920 x 1080 one at 200 %, each with a desktop panel
    // 30 pixels high, the window against each of its edges; fields at the top, in the middle
    // and at the bottom of the list.
    const QSize frame(508 + 2, 384 + 25);
    for (const int scale : {1, 2}) {
        const QRect screen = scale == 1 ? QRect(0, 0, 1366, 768 - 30) : QRect(0, 0, 960, 540 - 15);
        const QList<std::pair<QString, QPoint>> edges{
            {u"left"_s, QPoint(0, 100 / scale)},
            {u"right"_s, QPoint(screen.width() - frame.width(), 100 / scale)},
            {u"top"_s, QPoint(300 / scale, 0)},
            {u"bottom"_s, QPoint(300 / scale, screen.height() - frame.height())}};
        for (const auto &[edge, at] : edges) {
            for (const int n : {1, 6, 11}) {
                const QString side = scale == 2           ? u"over"_s
                                     : edge == u"right"_s ? u"left"_s
                                                          : u"right"_s;
                QTest::addRow("%d %%, %s edge, field %d", scale * 100, qPrintable(edge), n)
                    << n << screen << at << side << false;
            }
        }
    }
    QTest::newRow("Wayland: below the field's row, which a flip leaves free")
        << 6 << QRect(0, 0, 1366, 738) << QPoint(0, 100) << u"right"_s << true;
}

// Where the panel goes, from the window's own geometry: outside it where the screen has
// room, else over the fewest rows, never the field's row, the note or the pointer.
void TestForm1::symbolsBesideTheWindow()
{
    QFETCH(int, n);
    QFETCH(QRect, screen);
    QFETCH(QPoint, window);
    QFETCH(QString, side);
    QFETCH(bool, belowRow);
    // The panel's real size.
    static QSize panel;
    if (panel.isEmpty()) {
        prepare(field(1), Start::AtEnd);
        QTest::keyClick(field(1), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        auto *grid = m_window->findChild<QAbstractItemView *>(u"symbolGrid"_s);
        QVERIFY(grid);
        QTRY_VERIFY(grid->isVisible());
        panel = grid->window()->size();
        QTest::keyClick(grid, Qt::Key_Escape);
        QTRY_VERIFY(!grid->isVisible());
    }
    QVERIFY(panel.width() > 300 && panel.height() > 200);

    SymbolPlacement placement;
    placement.panel = panel;
    placement.window = QRect(window, QSize(508 + 2, 384 + 25));
    const QPoint client = window + QPoint(1, 24);
    for (int k = 1; k <= 11; ++k) {
        const QRect f = field(k)->geometry().translated(client);
        placement.rows.append(QRect(QPoint(placement.window.left(), f.top()), f.bottomRight()));
        if (k == n)
            placement.field = f;
    }
    // The note beside the list, level with the field; the pointer on the copy picture.
    placement.note = QRect(placement.field.right() + 8, placement.field.top(), 150, 40);
    placement.pointer = button(u"Image2"_s)->geometry().center() + client;
    placement.screen = screen;
    placement.belowRow = belowRow;
    const QRect place = placement.place();

    QCOMPARE(place.size(), panel);
    QVERIFY(screen.contains(place));
    const QRect ownRow = placement.rows[n - 1];
    // What it covers, worst first: the field's row, the pointer, the note, the other rows.
    const auto cost = [&](const QRect &r) {
        return std::array<long, 4>{
            r.intersects(ownRow), r.contains(placement.pointer), r.intersects(placement.note),
            std::count_if(placement.rows.begin(), placement.rows.end(),
                          [&r](const QRect &row) { return r.intersects(row); })};
    };
    if (side == u"right"_s || side == u"left"_s) {
        QVERIFY(side == u"right"_s ? place.left() > placement.window.right()
                                   : place.right() < placement.window.left());
        // Level with the field, as far as the screen lets it.
        const int level =
            belowRow ? placement.field.bottom() + 1 + SymbolPlacement::Gap : placement.field.top();
        QCOMPARE(place.top(), std::min(level, screen.bottom() - panel.height() + 1));
        return;
    }
    // Over the window: no other place on the screen, every one tried a few pixels apart,
    // does better.
    std::array<long, 4> least{1, 1, 1, 12};
    for (int y = screen.top(); y + panel.height() <= screen.bottom() + 1; y += 2)
        for (int x = screen.left(); x + panel.width() <= screen.right() + 1; x += 2)
            least = std::min(least, cost(QRect(QPoint(x, y), panel)));
    QCOMPARE(cost(place), least);
}

void TestForm1::keysMoveBetweenFields_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("visited"); // the field focused after each of 11 presses

    QTest::newRow("Tab, in the window's order")
        << int(Qt::Key_Tab) << 0 << 1 << QList<int>{2, 3, 11, 10, 9, 8, 7, 6, 5, 4, 1};
    const QList<int> down{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 11};
    QTest::newRow("Enter, the next row down, no wrapping") << int(Qt::Key_Return) << 0 << 1 << down;
    QTest::newRow("Enter on the keypad")
        << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 1 << down;
    QTest::newRow("Down") << int(Qt::Key_Down) << 0 << 1 << down;
    QTest::newRow("Up, the row above, no wrapping")
        << int(Qt::Key_Up) << 0 << 11 << QList<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 1};
}

void TestForm1::keysMoveBetweenFields()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, start);
    QFETCH(QList<int>, visited);
    field(start)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field(start));
    QList<int> seen;
    for (int i = 0; i < GroupNameSet::Count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key),
                        Qt::KeyboardModifiers(modifiers));
        const auto *focused = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(focused);
        seen.append(focused->objectName().mid(4).toInt());
    }
    QCOMPARE(seen, visited);
    QCOMPARE(m_window->names().names(), QStringList(GroupNameSet::Count, Placeholder));
}

void TestForm1::undoAndRedo_data()
{
    QTest::addColumn<Actions>("actions");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("focusAtEnd"); // the field the keys are pressed in

    QTest::newRow("a typing run is one step") << Actions{{Action::Type, 4, u"ab"_s}} << 1 << 4;
    QTest::newRow("typing over a selection is one step")
        << Actions{{Action::TypeOver, 5, u"xyz"_s}} << 1 << 5;
    QTest::newRow("typing cut by the rule") << Actions{{Action::Type, 6, u"一二三"_s}} << 1 << 6;
    QTest::newRow("clear is one step")
        << Actions{{Action::Type, 2, u"x"_s}, {Action::Clear, 0, {}}, {Action::Type, 2, u"y"_s}}
        << 3 << 2;
    QTest::newRow("a paste of one character after typing")
        << Actions{{Action::Type, 4, u"ab"_s}, {Action::Paste, 4, u"♡中"_s}} << 2 << 4;
    QTest::newRow("a cut paste") << Actions{{Action::Paste, 3, u"abcdefgh"_s}} << 1 << 3;
    QTest::newRow("a pattern is one step, a refused paste none")
        << Actions{{Action::Paste, 8, u"一\n二\n三"_s}, {Action::Paste, 8, u"♡"_s}} << 1 << 8;
    QTest::newRow("across fields, in order, keys pressed elsewhere")
        << Actions{{Action::Type, 2, u"a"_s},
                   {Action::TypeOver, 7, u"b"_s},
                   {Action::Clear, 0, {}},
                   {Action::Paste, 9, u"x\ny"_s},
                   {Action::Type, 1, u"z"_s}}
        << 5 << 11;
}

// Each action is one step: undo goes back through the names as they were before each,
// redo forward again, and neither goes past the ends.
void TestForm1::undoAndRedo()
{
    QFETCH(Actions, actions);
    QFETCH(int, steps);
    QFETCH(int, focusAtEnd);

    QList<QStringList> states{m_window->names().names()};
    for (const Action &action : actions) {
        if (action.kind == Action::Clear) {
            QTest::mouseClick(button(u"Image1"_s), Qt::LeftButton);
        } else if (action.kind == Action::Paste) {
            m_clipboard.m_offered = action.text;
            prepare(field(action.n), Start::AtEnd);
            QTest::keyClick(field(action.n), Qt::Key_V, Qt::ControlModifier);
            QCoreApplication::processEvents();
        } else {
            prepare(field(action.n),
                    action.kind == Action::TypeOver ? Start::AllSelected : Start::AtEnd);
            type(field(action.n), action.text);
        }
        if (m_window->names().names() != states.last())
            states.append(m_window->names().names());
    }
    QCOMPARE(states.size(), 1 + steps);

    field(focusAtEnd)->setFocus();
    const auto press = [](QKeySequence::StandardKey key) {
        const QKeyCombination combination = QKeySequence(key)[0];
        QTest::keyClick(QApplication::focusWidget(), combination.key(),
                        combination.keyboardModifiers());
    };
    for (int i = int(states.size()) - 2; i >= -1; --i) {
        press(QKeySequence::Undo);
        QCOMPARE(m_window->names().names(), states[std::max(i, 0)]);
    }
    for (int n = 1; n <= GroupNameSet::Count; ++n)
        QCOMPARE(field(n)->text(), Placeholder);
    for (int i = 1; i <= int(states.size()); ++i) {
        press(QKeySequence::Redo);
        QCOMPARE(m_window->names().names(), states[std::min(i, int(states.size()) - 1)]);
    }
    for (int n = 1; n <= GroupNameSet::Count; ++n)
        QCOMPARE(field(n)->text(), states.last()[n - 1]);
}

void TestForm1::newEditAfterUndoDropsTheRedo()
{
    prepare(field(3), Start::AtEnd);
    type(field(3), u"ab"_s);
    QTest::keyClick(field(3), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field(3)->text(), Placeholder);
    // The undone field has the focus, its cursor where the undone text was.
    QCOMPARE(QApplication::focusWidget(), field(3));
    QCOMPARE(field(3)->cursorPosition(), 6);
    type(field(3), u"c"_s);
    QTest::keyClick(field(3), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(field(3)->text(), Placeholder + u"c"_s);
    QTest::keyClick(field(3), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field(3)->text(), Placeholder);
}

void TestForm1::contextMenuUndoesTheWindow()
{
    QTest::mouseClick(button(u"Image1"_s), Qt::LeftButton);
    QLineEdit *edit = field(5);
    edit->setFocus();
    // In Chinese, each with its key.
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                            edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &event);
    QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    QStringList entries;
    for (const QAction *entry : menu->actions())
        entries.append(entry->text());
    menu->close();
    QCOMPARE(entries.filter(u"\t"_s).size(), 9);
    QCOMPARE(entries.mid(entries.size() - 3).join(u' ').count(u"\tCtrl+Shift+"_s), 3);
    QVERIFY2(entries.last().endsWith(u"\tCtrl+Shift+R"_s), qPrintable(entries.last()));
    QCOMPARE(entries.replaceInStrings(QRegularExpression(u"\t.*"_s), QString()),
             (QStringList{u"撤消(&U)"_s, u"重做(&R)"_s, QString(), u"剪切(&T)"_s, u"复制(&C)"_s,
                          u"粘贴(&P)"_s, u"删除"_s, QString(), u"全选"_s, QString(), u"插入符号…"_s,
                          u"装饰全部组"_s, u"对齐右边"_s}));
    QVERIFY(!chooseFromContextMenu(edit, QLineEdit::tr("&Redo"))); // nothing to redo
    QVERIFY(chooseFromContextMenu(edit, QLineEdit::tr("&Undo")));  // the clear
    QCOMPARE(m_window->names().names(), QStringList(GroupNameSet::Count, Placeholder));
    QVERIFY(chooseFromContextMenu(edit, QLineEdit::tr("&Redo")));
    QCOMPARE(m_window->names().names(), QStringList(GroupNameSet::Count, QString()));

    // One decoration on every name that has words, then the right side level, each one step.
    const QStringList start{u"【同事】"_s, u"╔════╗"_s, u"家人"_s, u"║老同学║"_s, u"★同学★"_s};
    for (int n = 1; n <= start.size(); ++n) {
        prepare(field(n), Start::AtEnd);
        type(field(n), start[n - 1]);
    }
    QCOMPARE(m_window->names().names().mid(0, 5), start);
    prepare(field(5), Start::AtEnd);
    QVERIFY(chooseFromContextMenu(field(5), u"装饰全部组"_s));
    QCOMPARE(m_window->names().names().mid(0, 5),
             (QStringList{u"★同事★"_s, u"╔════╗"_s, u"★家人★"_s, u"★老同学★"_s, u"★同学★"_s}));
    verifyNote(field(5), {});
    // The offscreen platform leaves the window inactive once a menu has closed, and the
    // window's keys with it: the menu again (the keys run in the end-to-end test).
    QVERIFY(chooseFromContextMenu(field(5), u"对齐右边"_s));
    QCOMPARE(m_window->names().names().mid(0, 5),
             (QStringList{u"★同事　　★"_s, u"╔════╗"_s, u"★家人　　★"_s, u"★老同学　★"_s,
                          u"★同学　　★"_s}));
    QCOMPARE(field(3)->text(), u"★家人　　★"_s);
    QVERIFY(chooseFromContextMenu(field(5), QLineEdit::tr("&Undo")));
    QVERIFY(chooseFromContextMenu(field(5), QLineEdit::tr("&Undo")));
    QCOMPARE(m_window->names().names().mid(0, 5), start);
    // Nothing to take from a name without words: the note says so, and nothing changes.
    prepare(field(2), Start::AtEnd);
    QVERIFY(chooseFromContextMenu(field(2), u"装饰全部组"_s));
    QCOMPARE(m_window->names().names().mid(0, 5), start);
    verifyNote(field(2), u"第 2 组没有文字"_s);
}

void TestForm1::clearThenCopy()
{
    prepare(field(4), Start::AllSelected);
    type(field(4), u"ab"_s);
    QTest::mouseClick(button(u"Image2"_s), Qt::LeftButton);
    QCOMPARE(m_clipboard.m_text.split(u"\r\n"_s).value(3), u"ab"_s);

    QTest::mouseClick(button(u"Image1"_s), Qt::LeftButton);
    for (int n = 1; n <= GroupNameSet::Count; ++n)
        QVERIFY(field(n)->text().isEmpty());

    m_clipboard.m_calls.clear();
    QTest::mouseClick(button(u"Image2"_s), Qt::LeftButton);
    QCOMPARE(m_clipboard.m_text, u"\r\n"_s.repeated(10));
    QCOMPARE(m_clipboard.m_calls, (QStringList{u"clear"_s, u"setText"_s}));
    QCOMPARE(m_window->findChild<QLabel *>(u"Label1"_s)->text(), u"[12/30]"_s);
}

void TestForm1::doubleClickRunsOnce_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("clipboardCalls");
    QTest::newRow("copy") << u"Image2"_s << 2;
    QTest::newRow("clear") << u"Image1"_s << 0;
}

void TestForm1::doubleClickRunsOnce()
{
    QFETCH(QString, button);
    QFETCH(int, clipboardCalls);

    int clicks = 0;
    connect(this->button(button), &PictureButton::clicked, this, [&clicks] { ++clicks; });
    // A double click reaches a widget as press, release, double-click, release.
    QTest::mouseClick(this->button(button), Qt::LeftButton);
    QTest::mouseDClick(this->button(button), Qt::LeftButton);
    QTest::mouseRelease(this->button(button), Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QCOMPARE(m_clipboard.m_calls.size(), clipboardCalls);
}

void TestForm1::copyFailureKeepsNamesAndWindow()
{
    prepare(field(2), Start::AllSelected);
    type(field(2), u"留下"_s);
    const QStringList designed = m_window->names().names();
    m_clipboard.m_failClear = true;

    QTest::mouseClick(button(u"Image2"_s), Qt::LeftButton);

    auto *box = m_window->findChild<QMessageBox *>(u"copyFailedMessage"_s);
    QVERIFY(box);
    QTRY_VERIFY(box->isVisible());
    QVERIFY(box->text().contains(u"没有复制"_s));
    QCOMPARE(m_window->names().names(), designed);
    QCOMPARE(m_clipboard.m_calls, QStringList{u"clear"_s});
    box->accept();
    QTRY_VERIFY(!m_window->findChild<QMessageBox *>(u"copyFailedMessage"_s));

    m_clipboard.m_failClear = false;
    QTest::mouseClick(button(u"Image2"_s), Qt::LeftButton);
    QCOMPARE(m_clipboard.m_text.split(u"\r\n"_s), designed);
}

void TestForm1::captionNamesTheHost()
{
    QCOMPARE(m_window->windowTitle(), u"分组图案设计器  BY PATTERNS.EXAMPLE.ORG"_s);
}

void TestForm1::stripOpensThePatternPage_data()
{
    QTest::addColumn<QPoint>("at"); // in the window
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<int>("requests");

    QTest::newRow("first words") << QPoint(20, 366) << false << 1;
    QTest::newRow("link words") << QPoint(430, 366) << false << 1;
    QTest::newRow("on the underline") << QPoint(430, 375) << false << 1;
    QTest::newRow("double click") << QPoint(200, 366) << true << 1;
    QTest::newRow("bottom strip beside it") << QPoint(6, 366) << false << 0;
    QTest::newRow("count label") << QPoint(230, 96) << false << 0;
}

void TestForm1::stripOpensThePatternPage()
{
    QFETCH(QPoint, at);
    QFETCH(bool, doubleClick);
    QFETCH(int, requests);

    QWidget *target = m_window->childAt(at);
    QVERIFY(target);
    const QPoint local = target->mapFrom(m_window.get(), at);
    QTest::mouseClick(target, Qt::LeftButton, {}, local);
    if (doubleClick) {
        QTest::mouseDClick(target, Qt::LeftButton, {}, local);
        QTest::mouseRelease(target, Qt::LeftButton, {}, local);
    }
    QCOMPARE(m_shell.m_opened,
             QList<QUrl>(requests, QUrl(u"http://patterns.example.org/fenzu/"_s)));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
