// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "Clipboard.h"
#include "CopyPattern.h"
#include "GroupNameEdit.h"
#include "Shell.h"
#include "ui_Form1.h"

#include <QAction>
#include <QMessageBox>
#include <QScopedValueRollback>

static void initResources()
{
    // The pictures live in the ui library, which the linker would otherwise leave behind.
    Q_INIT_RESOURCE(assets);
}

Form1::Form1(const GbkCodec &gbk, Clipboard &clipboard, Shell &shell, const QString &patternHost,
             QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Form1>()), m_names(gbk), m_clipboard(clipboard),
      m_shell(shell), m_patternPage(QStringLiteral("http://%1/fenzu/").arg(patternHost))
{
    initResources();
    m_ui->setupUi(this);
    setWindowTitle(windowTitle() + QStringLiteral("  BY ") + patternHost.toUpper());
    // Minimize and close boxes, no maximize box: the window has one size.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    m_fields = {m_ui->Text1, m_ui->Text2, m_ui->Text3, m_ui->Text4,  m_ui->Text5, m_ui->Text6,
                m_ui->Text7, m_ui->Text8, m_ui->Text9, m_ui->Text10, m_ui->Text11};
    // Undo and redo for the whole window, wherever the keyboard focus is in it.
    m_undo = new QAction(this);
    m_undo->setShortcuts(QKeySequence::Undo);
    m_redo = new QAction(this);
    m_redo->setShortcuts(QKeySequence::Redo);
    for (QAction *action : {m_undo, m_redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(m_undo, &QAction::triggered, this, [this] { showChange(m_history.undo()); });
    connect(m_redo, &QAction::triggered, this, [this] { showChange(m_history.redo()); });
    updateHistoryActions();

    for (int n = 1; n <= GroupNameSet::Count; ++n) {
        GroupNameEdit *field = m_fields[n - 1];
        field->showName(m_names.name(n));
        field->setHistoryActions(m_undo, m_redo);
        field->setRule([this, n](const TextEdit &edit) { return m_names.rule(n, edit); });
        connect(field, &GroupNameEdit::edited, this,
                [this, n](const NameEdit &edit, bool keystroke) {
                    if (!m_history.apply(n, edit, keystroke))
                        m_fields[n - 1]->showName(m_names.name(n));
                    updateHistoryActions();
                });
        connect(
            field, &GroupNameEdit::textInserted, this,
            [this, n](int from, int to, const QString &text) { pastePattern(n, from, to, text); });
        connect(field, &GroupNameEdit::pasteRequested, this,
                [this, n](Clipboard::Source source, int from, int to) {
                    requestPaste(n, source, from, to);
                });
        // Assistive tools set the text without keystrokes and past the rule, so every change
        // is taken, and a field that shows more than the rule keeps is brought back to the name.
        connect(field, &QLineEdit::textChanged, this,
                [this, n](const QString &text) { takeText(n, text); });
    }
    connect(&m_names, &GroupNameSet::nameChanged, this, [this](int n, const QString &text) {
        ++m_changes;
        GroupNameEdit *field = m_fields[n - 1];
        if (field->text() == text)
            return;
        // Setting a field's text makes an input method commit what it was composing there.
        // The name is being replaced as a whole (a clear, an undo): that commit is dropped
        // with the rest rather than taken as an edit in the middle of the step.
        const QScopedValueRollback<bool> replacing(m_replacing, true);
        field->showName(text);
    });

    connect(m_ui->Image1, &PictureButton::clicked, this, &Form1::clearPattern);
    connect(m_ui->Image2, &PictureButton::clicked, this, &Form1::copyPattern);

    // The underline is drawn over the strip's words; clicks on it belong to the strip.
    m_ui->Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(m_ui->Label2, &LinkLabel::clicked, this, &Form1::OpenPatternPage);
}

void Form1::OpenPatternPage()
{
    m_shell.open(m_patternPage);
}

Form1::~Form1()
{
    // A paste on its way finds no window to go to.
    m_clipboard.cancelRequest();
    // QWidget's destructor closes a shown window, and the focused field validates on losing
    // focus: by then m_names is gone.
    for (GroupNameEdit *field : m_fields)
        field->setRule(nullptr);
}

void Form1::takeText(int n, const QString &text)
{
    if (m_replacing || text == m_names.name(n))
        return;
    m_history.edit(n, TextEdit{0, int(m_names.name(n).size()), text});
    if (m_fields[n - 1]->text() != m_names.name(n)) {
        const QScopedValueRollback<bool> replacing(m_replacing, true);
        m_fields[n - 1]->showName(m_names.name(n));
    }
    updateHistoryActions();
}

void Form1::requestPaste(int n, Clipboard::Source source, int from, int to)
{
    const unsigned changes = m_changes;
    m_clipboard.requestText(source, [=](Clipboard::Outcome outcome, const QString &text) {
        // An edit, a clear or an undo made before the text came wins over it.
        if (m_changes != changes)
            return;
        if (outcome == Clipboard::Outcome::NoAnswer)
            showMessage(QStringLiteral("pasteFailedMessage"),
                        tr("另一个程序没有交出要粘贴的文字，分组名称没有改变。请稍后再试。"));
        else if (outcome == Clipboard::Outcome::Text)
            pastePattern(n, from, to, text);
    });
}

void Form1::pastePattern(int n, int from, int to, const QString &text)
{
    const PasteEdit paste = m_history.PastePattern(n, from, to, text);
    if (paste.first.changed())
        m_fields[n - 1]->setCursorPosition(paste.first.cursor());
    // The name pasted into counts its bytes only where it was the one cut.
    m_fields[n - 1]->explain(paste.shortfall,
                             paste.first.shortfall().full ? paste.first.bytes() : -1);
    updateHistoryActions();
}

void Form1::clearPattern()
{
    m_history.ClearPattern();
    updateHistoryActions();
}

void Form1::showChange(std::optional<NameHistory::Place> place)
{
    updateHistoryActions();
    if (!place || place->n == 0)
        return;
    GroupNameEdit *field = m_fields[place->n - 1];
    field->setFocus(Qt::OtherFocusReason);
    field->setCursorPosition(place->cursor);
}

void Form1::updateHistoryActions()
{
    m_undo->setEnabled(m_history.canUndo());
    m_redo->setEnabled(m_history.canRedo());
}

void Form1::copyPattern()
{
    if (!CopyPattern(m_names, m_clipboard))
        showMessage(QStringLiteral("copyFailedMessage"),
                    tr("分组名称没有复制到剪贴板，剪贴板可能正被其他程序占用。请稍后再试。"));
}

void Form1::showMessage(const QString &name, const QString &text)
{
    // The names stay as they are: the user can simply try again.
    auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
