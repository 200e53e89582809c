// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "GroupNameEdit.h"
#include "InputHold.h"
#include "NameNote.h"
#include "RoomCount.h"
#include "Shell.h"
#include "SymbolChooser.h"
#include "WindowFonts.h"
#include "ui_Form1.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>

static void initResources()
{
    // The pictures live in the ui library, which the linker would otherwise leave behind.
    Q_INIT_RESOURCE(assets);
}

Form1::Form1(const GbkCodec &gbk, Clipboard &clipboard, Shell &shell, const WindowFonts &fonts,
             const TextWidths &widths, const QString &patternHost, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Form1>()), m_gbk(gbk), m_editor(gbk, clipboard),
      m_shell(shell), m_patternPage(QStringLiteral("http://%1/fenzu/").arg(patternHost))
{
    initResources();
    m_ui->setupUi(this);
    // The design's window font for one-byte characters; every other one full width, from
    // a Chinese font, as the messenger shows it.
    QFont windowFont = font();
    windowFont.setFamilies(fonts.families(windowFont.family()));
    setFont(windowFont);
    setWindowTitle(windowTitle() + QStringLiteral("  BY ") + patternHost.toUpper());
    // Minimize and close boxes, no maximize box: the window has one size.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    m_fields = {m_ui->Text1, m_ui->Text2, m_ui->Text3, m_ui->Text4,  m_ui->Text5, m_ui->Text6,
                m_ui->Text7, m_ui->Text8, m_ui->Text9, m_ui->Text10, m_ui->Text11};
    m_note = new NameNote(this);
    m_hold = new InputHold(this);
    m_room = new RoomCount(this);
    connect(qApp, &QApplication::focusChanged, this, &Form1::showRoom);
    m_symbols = new SymbolChooser(gbk, this);

    // Undo and redo for the whole window, wherever the keyboard focus is in it; Ctrl+Y as
    // well, on every system: many users come from Windows, where it is redo.
    m_undo = addWindowAction({}, QKeySequence::keyBindings(QKeySequence::Undo));
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    m_redo = addWindowAction({}, redoKeys);
    connect(m_undo, &QAction::triggered, &m_editor, &NameEditor::undo);
    connect(m_redo, &QAction::triggered, &m_editor, &NameEditor::redo);
    // The symbols, for the field with the keyboard focus.
    QAction *symbols =
        addWindowAction(tr("插入符号…"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)});
    connect(symbols, &QAction::triggered, this, [this] {
        if (const int n = focusedName())
            openSymbols(n);
    });
    // One decoration on every name, and the frame's right side level, from the field with
    // the keyboard.
    QAction *decorate =
        addWindowAction(tr("装饰全部组"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D)});
    connect(decorate, &QAction::triggered, this, [this] {
        if (const int n = focusedName())
            m_editor.decorateAll(n);
    });
    QAction *align =
        addWindowAction(tr("对齐右边"), {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)});
    connect(align, &QAction::triggered, this, [this, &widths] {
        if (const int n = focusedName())
            m_editor.alignRight(n, widths);
    });
    connect(m_symbols, &SymbolChooser::chosen, this, [this](char32_t symbol) {
        GroupNameEdit *field = m_symbols->field();
        const int n =
            int(std::find(m_fields.begin(), m_fields.end(), field) - m_fields.begin()) + 1;
        // As a typed character: the same rule, the same undo step.
        const QString text = QString::fromUcs4(&symbol, 1);
        const NameChange change = m_editor.edit(n, field->atSelection(text), true);
        if (change.changed.contains(n))
            m_symbols->inserted(symbol, GroupNameField::MaxBytes - change.bytes);
    });

    for (int n = 1; n <= GroupNameSet::Count; ++n) {
        GroupNameEdit *field = m_fields[n - 1];
        field->showName(m_editor.names().name(n));
        field->setHistoryActions(m_undo, m_redo);
        field->addMenuActions({symbols, decorate, align});
        connect(
            field, &GroupNameEdit::edited, this,
            [this, n](const TextEdit &edit, bool keystroke) { m_editor.edit(n, edit, keystroke); });
        connect(field, &GroupNameEdit::pasteRequested, this,
                [this, n](Clipboard::Source source, int from, int to) {
                    m_editor.paste(n, source, from, to);
                });
        connect(field, &GroupNameEdit::rowRequested, this, [this, n](int step) {
            // The field of the row below or above, as Tab would enter it; no wrapping.
            const int k = n + step;
            if (k >= 1 && k <= GroupNameSet::Count)
                m_fields[k - 1]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        });
    }
    connect(&m_editor, &NameEditor::changed, this, &Form1::showChange);
    connect(&m_editor, &NameEditor::pasteUnanswered, this, [this] {
        showMessage(QStringLiteral("pasteFailedMessage"),
                    tr("另一个程序没有交出要粘贴的文字，分组名称没有改变。请稍后再试。"));
    });
    connect(&m_editor, &NameEditor::copyFailed, this, [this] {
        showMessage(QStringLiteral("copyFailedMessage"),
                    tr("分组名称没有复制到剪贴板，剪贴板可能正被其他程序占用。请稍后再试。"));
    });
    // The user's order holds: keys and clicks made while a copy waits for a paste come
    // after the copy.
    connect(&m_editor, &NameEditor::copyWaitingChanged, this, [this](bool waiting) {
        if (waiting)
            m_hold->hold();
        else
            m_hold->release();
    });
    connect(m_note, &NameNote::dismissed, this, [this] {
        if (m_noteField > 0)
            m_fields[m_noteField - 1]->setAccessibleDescription({});
        m_noteField = 0;
        showRoom();
    });
    m_undo->setEnabled(false);
    m_redo->setEnabled(false);

    connect(m_ui->Image1, &PictureButton::clicked, &m_editor, &NameEditor::clear);
    connect(m_ui->Image2, &PictureButton::clicked, &m_editor, &NameEditor::copy);

    // The underline is drawn over the strip's words; clicks on it belong to the strip.
    m_ui->Line1->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(m_ui->Label2, &LinkLabel::clicked, this, &Form1::OpenPatternPage);
}

Form1::~Form1()
{
    // QWidget's destructor closes a shown window: the focused field's input method may
    // commit on losing focus, and the note goes on losing the window's focus. By then the
    // editor and the fields are gone.
    for (GroupNameEdit *field : m_fields)
        disconnect(field, nullptr, this, nullptr);
    disconnect(&m_editor, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    m_note->dismiss();
    disconnect(m_note, nullptr, this, nullptr);
}

void Form1::OpenPatternPage()
{
    m_shell.open(m_patternPage);
}

QAction *Form1::addWindowAction(const QString &text, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(text, this);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

int Form1::focusedName() const
{
    const auto field = std::find(m_fields.begin(), m_fields.end(), focusWidget());
    return field == m_fields.end() ? 0 : int(field - m_fields.begin()) + 1;
}

void Form1::openSymbols(int n)
{
    GroupNameEdit *field = m_fields[n - 1];
    const TextEdit at = field->atSelection({});
    m_symbols->open(field, m_editor.room(n, at.from, at.to));
}

void Form1::showChange(const NameChange &change)
{
    for (const int k : change.changed)
        m_fields[k - 1]->showName(m_editor.names().name(k), k == change.n ? change.cursor : -1);
    if (change.kind == NameChange::Kind::Edit) {
        // A refused edit puts the field back as it was.
        if (!change.changed.contains(change.n))
            m_fields[change.n - 1]->showName(m_editor.names().name(change.n));
        explain(change);
    } else if (change.kind == NameChange::Kind::Decorate ||
               change.kind == NameChange::Kind::Align) {
        explain(change);
    } else if (!change.changed.isEmpty()) {
        // A change the note does not speak of (an undo, a clear) ends it.
        m_note->dismiss();
    }
    if ((change.kind == NameChange::Kind::Undo || change.kind == NameChange::Kind::Redo) &&
        change.n > 0) {
        GroupNameEdit *field = m_fields[change.n - 1];
        field->setFocus(Qt::OtherFocusReason);
        field->setCursorPosition(change.cursor);
    }
    m_undo->setEnabled(m_editor.canUndo());
    m_redo->setEnabled(m_editor.canRedo());
    showRoom();
}

int Form1::besideList() const
{
    int left = 0;
    for (const GroupNameEdit *field : m_fields)
        left = std::max(left, field->geometry().right() + 8);
    return left;
}

void Form1::showRoom()
{
    int n = m_note->isVisible() ? 0 : focusedName();
    if (n > 0 && !m_fields[n - 1]->hasFocus())
        n = 0;
    if (m_roomField > 0 && m_roomField != n && m_roomField != m_noteField)
        m_fields[m_roomField - 1]->setAccessibleDescription({});
    m_roomField = n;
    if (n == 0) {
        m_room->hide();
        return;
    }
    const int bytes = GroupNameField::byteLength(m_editor.names().name(n), m_gbk);
    GroupNameEdit *field = m_fields[n - 1];
    m_room->showFor(field->geometry(), besideList(), m_ui->Image1->geometry().left() - 1, bytes);
    // Screen readers hear it with the field, as they hear the note.
    field->setAccessibleDescription(tr("已用 %1/16 字节").arg(bytes));
}

namespace {
// "2、5、7": names by their numbers, as the note lists them.
QString numbers(const QList<int> &names)
{
    QStringList list;
    for (const int n : names)
        list.append(QString::number(n));
    return list.join(u'、');
}

// The characters left out, in the order the user gave them; by code where no installed font
// draws them, rather than as an empty box.
QString characters(const Shortfall &shortfall, const QFontMetrics &metrics)
{
    QStringList list;
    for (const uint cp : shortfall.noForm.toUcs4()) {
        const char32_t character = cp;
        list.append(metrics.inFontUcs4(cp)
                        ? QString::fromUcs4(&character, 1)
                        : QStringLiteral("U+%1").arg(cp, 4, 16, QChar(u'0')).toUpper());
    }
    return list.join(u' ') + (shortfall.noFormMore > 0 ? Form1::tr(" 等") : QString());
}
} // namespace

void Form1::explain(const NameChange &paste)
{
    const int n = paste.n;
    const Shortfall &shortfall = paste.shortfall;
    if (!paste.keptOut()) {
        m_note->dismiss();
        return;
    }
    QStringList lines;
    if (paste.refusal == NameChange::Refusal::NoWords)
        lines.append(tr("第 %1 组没有文字，没有可以套到其他组上的装饰。").arg(n));
    else if (paste.refusal == NameChange::Refusal::NoDecoration)
        lines.append(tr("第 %1 组的文字两边没有装饰，没有可以套到其他组上的。").arg(n));
    if (!paste.missed.isEmpty() && paste.kind == NameChange::Kind::Decorate)
        lines.append(tr("第 %1 组加上装饰会超过16字节，没有改变。").arg(numbers(paste.missed)));
    if (!paste.missed.isEmpty() && paste.kind == NameChange::Kind::Align)
        lines.append(tr("第 %1 组在16字节内对不齐，已尽量靠近。").arg(numbers(paste.missed)));
    if (shortfall.full) {
        lines.append(
            paste.pattern
                ? tr("第 %1 组放不下，多出的没有加上。").arg(numbers(paste.full))
                : tr("第 %1 组已用 %2/16 字节，放不下的没有加上。").arg(n).arg(paste.bytes));
        lines.append(tr("每组最长支持16个英文或者8个中文字符。"));
    }
    if (!shortfall.noForm.isEmpty()) {
        const QString where =
            paste.pattern ? tr("第 %1 组").arg(numbers(paste.noForm)) : tr("第 %1 组").arg(n);
        const bool one = shortfall.noFormMore == 0 && shortfall.noForm.toUcs4().size() == 1;
        lines.append((one ? tr("%1：聊天软件的编码里没有这个字符，没有加上：%2")
                          : tr("%1：聊天软件的编码里没有这些字符，没有加上：%2"))
                         .arg(where, characters(shortfall, m_note->fontMetrics())));
    }
    if (paste.dropped > 0)
        lines.append(tr("第 %1 组以下还有 %2 行，没有名称可放，没有加上。")
                         .arg(GroupNameSet::Count)
                         .arg(paste.dropped));
    const QString note = lines.join(u'\n');

    // Beside the list, above or below the picture buttons: over no field and no button.
    const QWidget *picture = m_ui->Picture1;
    const int left = besideList();
    const int right = picture->width() - 4;
    const QRect clear = m_ui->Image1->geometry();
    const QRect copy = m_ui->Image2->geometry();
    const QList<QRect> areas{
        QRect(QPoint(left, 4), QPoint(right, clear.top() - 4)),
        QRect(QPoint(left, copy.bottom() + 4), QPoint(right, m_ui->Label5->geometry().top() - 2))};
    const QRect rows = m_fields[n - 1]->geometry();
    const int last = std::max({n, paste.full.value(paste.full.size() - 1, n),
                               paste.noForm.value(paste.noForm.size() - 1, n),
                               paste.missed.value(paste.missed.size() - 1, n)});
    if (m_noteField > 0 && m_noteField != n)
        m_fields[m_noteField - 1]->setAccessibleDescription({});
    m_note->showBeside(note, rows.top(), m_fields[last - 1]->geometry().bottom(), areas);
    // Screen readers hear of it as the field's description, without the focus moving.
    m_noteField = n;
    m_fields[n - 1]->setAccessibleDescription(note);
}

void Form1::showMessage(const QString &name, const QString &text)
{
    // The names stay as they are: the user can simply try again.
    auto *box = new QMessageBox(QMessageBox::Warning, windowTitle(), text, QMessageBox::Ok, this);
    box->setObjectName(name);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
