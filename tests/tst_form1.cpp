// SPDX-License-Identifier: MIT
// The real window driven with real key, mouse and input-method events.
#include "Form1.h"
#include "GroupNameField.h"
#include "PictureButton.h"
#include "RecordingClipboard.h"
#include "RecordingShell.h"
#include "SystemGbkCodec.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Placeholder = u"好友分组名称"_s;
const QString Host = u"patterns.example.org"_s;

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
} // namespace
Q_DECLARE_METATYPE(Start)

class TestForm1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsWithPlaceholdersAndFocusOnTheTopField();
    void typing_data();
    void typing();
    void pasting_data();
    void pasting();
    void refusedPasteKeepsTheSelection();
    void inputMethodCommitIsCut();
    void textSetPastTheKeyboardIsCut();
    void tabOrder();
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
    void prepare(QLineEdit *edit, Start start)
    {
        edit->setFocus();
        if (start == Start::AllSelected)
            edit->selectAll();
        else
            edit->end(false);
    }

    SystemGbkCodec m_gbk;
    RecordingClipboard m_clipboard;
    RecordingShell m_shell;
    std::unique_ptr<Form1> m_window;
};

void TestForm1::init()
{
    m_clipboard = RecordingClipboard();
    m_shell = RecordingShell();
    m_window = std::make_unique<Form1>(m_gbk, m_clipboard, m_shell, Host);
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

    QTest::newRow("placeholder takes 4 more letters")
        << 1 << Start::AtEnd << u"abcde"_s << Placeholder + u"abcd"_s;
    QTest::newRow("placeholder takes 2 more chinese")
        << 11 << Start::AtEnd << u"一二三"_s << Placeholder + u"一二"_s;
    QTest::newRow("16 letters, 17th refused")
        << 4 << Start::AllSelected << u"abcdefghijklmnopq"_s << u"abcdefghijklmnop"_s;
    QTest::newRow("8 chinese, 9th refused")
        << 5 << Start::AllSelected << u"一二三四五六七八九"_s << u"一二三四五六七八"_s;
    QTest::newRow("7 chinese + 1 letter: a letter, no chinese")
        << 6 << Start::AllSelected << u"一二三四五六七a八b"_s << u"一二三四五六七ab"_s;
    QTest::newRow("characters without a gbk form refused")
        << 2 << Start::AllSelected << u"a♡ñb"_s << u"ab"_s;
}

void TestForm1::typing()
{
    QFETCH(int, n);
    QFETCH(Start, start);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    prepare(field(n), start);
    type(field(n), typed);
    QCOMPARE(field(n)->text(), expected);
    QCOMPARE(m_window->names().name(n), expected);
}

void TestForm1::pasting_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<Start>("start");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");

    QTest::newRow("cut to what fits")
        << 3 << Start::AtEnd << u"abcdefgh"_s << Placeholder + u"abcd"_s;
    QTest::newRow("no chinese split")
        << 3 << Start::AtEnd << u"abc一二"_s << Placeholder + u"abc"_s;
    QTest::newRow("first line only")
        << 7 << Start::AllSelected << u"第一行\r\n第二行"_s << u"第一行"_s;
    QTest::newRow("tab and heart left out") << 8 << Start::AllSelected << u"★\t♡★"_s << u"★★"_s;
    QTest::newRow("long text") << 9 << Start::AllSelected << QString(5000, u'x')
                               << QString(16, u'x');
}

void TestForm1::pasting()
{
    QFETCH(int, n);
    QFETCH(Start, start);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);

    QGuiApplication::clipboard()->setText(clipboard);
    prepare(field(n), start);
    QTest::keyClick(field(n), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field(n)->text(), expected);
    QCOMPARE(m_window->names().name(n), expected);
}

void TestForm1::refusedPasteKeepsTheSelection()
{
    QGuiApplication::clipboard()->setText(u"♡\r\nabc"_s);
    QLineEdit *edit = field(1);
    prepare(edit, Start::AllSelected);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), Placeholder);
    QCOMPARE(edit->selectedText(), Placeholder);
}

void TestForm1::inputMethodCommitIsCut()
{
    QLineEdit *edit = field(10);
    prepare(edit, Start::AtEnd);
    QInputMethodEvent preedit(u"yi'er'san"_s, {});
    QApplication::sendEvent(edit, &preedit);
    QInputMethodEvent commit;
    commit.setCommitString(u"一二三"_s);
    QApplication::sendEvent(edit, &commit);
    QCOMPARE(edit->text(), Placeholder + u"一二"_s);
    QCOMPARE(m_window->names().name(10), Placeholder + u"一二"_s);
}

// Assistive tools set a field's text directly, past the validator.
void TestForm1::textSetPastTheKeyboardIsCut()
{
    field(6)->setText(u"一二三四五六七八九十\r\nx"_s);
    QCOMPARE(m_window->names().name(6), u"一二三四五六七八"_s);
    QCOMPARE(field(6)->text(), u"一二三四五六七八"_s);
    field(6)->setText(u"♡"_s);
    QCOMPARE(m_window->names().name(6), u"一二三四五六七八"_s);
    QCOMPARE(field(6)->text(), u"一二三四五六七八"_s);
}

void TestForm1::tabOrder()
{
    field(1)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field(1));
    QList<int> visited;
    for (int i = 0; i < GroupNameSet::Count; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const auto *focused = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(focused);
        visited.append(focused->objectName().mid(4).toInt());
    }
    QCOMPARE(visited, (QList<int>{2, 3, 11, 10, 9, 8, 7, 6, 5, 4, 1}));
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
