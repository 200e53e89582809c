// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "Clipboard.h"
#include "CopyPattern.h"
#include "GroupNameEdit.h"
#include "NameNote.h"
#include "Shell.h"
#include "SymbolPalette.h"
#include "SymbolPanel.h"
#include "WindowFonts.h"
#include "ui_Form1.h"

#include <QAction>
#include <QEventLoop>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QTimer>

static void initResources()
{
    // The pictures live in the ui library, which the linker would otherwise leave behind.
    Q_INIT_RESOURCE(assets);
}

Form1::Form1(const GbkCodec &gbk, Clipboard &clipboard, Shell &shell, const QString &patternHost,
             QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Form1>()), m_gbk(gbk), m_names(gbk),
      m_clipboard(clipboard), m_shell(shell),
      m_patternPage(QStringLiteral("http://%1/fenzu/").arg(patternHost))
{
    initResources();
    m_ui->setupUi(this);
    // The design's window font for one-byte characters; every other one full width, from
    // a Chinese font, as the messenger shows it.
    QFont windowFont = font();
    windowFont.setFamilies(WindowFonts::families(windowFont.family()));
    setFont(windowFont);
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
    // Ctrl+Y as well, on every system: many users come from Windows, where it is redo.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys.append(QKeySequence(Qt::CTRL | Qt::Key_Y));
    m_redo->setShortcuts(redoKeys);
    for (QAction *action : {m_undo, m_redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    // The symbols, for the field with the keyboard focus.
    m_insertSymbol = new QAction(tr("插入符号…"), this);
    m_insertSymbol->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    m_insertSymbol->setShortcutContext(Qt::WindowShortcut);
    addAction(m_insertSymbol);
    connect(m_insertSymbol, &QAction::triggered, this, [this] {
        const auto field = std::find(m_fields.begin(), m_fields.end(), focusWidget());
        if (field != m_fields.end())
            openSymbols(int(field - m_fields.begin()) + 1);
    });
    connect(m_undo, &QAction::triggered, this, [this] { showChange(m_history.undo()); });
    connect(m_redo, &QAction::triggered, this, [this] { showChange(m_history.redo()); });
    updateHistoryActions();

    for (int n = 1; n <= GroupNameSet::Count; ++n) {
        GroupNameEdit *field = m_fields[n - 1];
        field->showName(m_names.name(n));
        field->setHistoryActions(m_undo, m_redo);
        field->setSymbolAction(m_insertSymbol);
        // Once the menu it came from is gone: a popup opened from a closing one would close
        // with it.
        connect(
            field, &GroupNameEdit::symbolsRequested, this, [this, n] { openSymbols(n); },
            Qt::QueuedConnection);
        connect(field, &GroupNameEdit::edited, this,
                [this, n](const TextEdit &change, bool keystroke) { edit(n, change, keystroke); });
        connect(field, &GroupNameEdit::rowRequested, this, [this, n](int step) {
            // The field of the row below or above, as Tab would enter it; no wrapping.
            const int k = n + step;
            if (k >= 1 && k <= GroupNameSet::Count)
                m_fields[k - 1]->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        });
        connect(field, &GroupNameEdit::pasteRequested, this,
                [this, n](Clipboard::Source source, int from, int to) {
                    requestPaste(n, source, from, to);
                });
    }
    connect(&m_names, &GroupNameSet::nameChanged, this, [this](int n, const QString &text) {
        ++m_changes;
        // A change the note does not speak of (an undo, a clear, another edit) ends it.
        if (!m_editing)
            m_note->dismiss();
        m_fields[n - 1]->showName(text);
    });
    m_note = new NameNote(this);
    connect(m_note, &NameNote::dismissed, this, [this] {
        if (m_noteField > 0)
            m_fields[m_noteField - 1]->setAccessibleDescription({});
        m_noteField = 0;
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
    if (m_copyWaiting)
        m_copyWaiting->quit();
    // QWidget's destructor closes a shown window: the focused field's input method may
    // commit on losing focus, and the note goes on losing the window's focus. By then
    // m_names and the fields are gone.
    for (GroupNameEdit *field : m_fields)
        disconnect(field, nullptr, this, nullptr);
    m_note->dismiss();
    disconnect(m_note, nullptr, this, nullptr);
    // The panel reads the palette, a member, which goes before QWidget's children do.
    if (m_symbolPanel) {
        disconnect(m_symbolPanel, nullptr, this, nullptr);
        delete m_symbolPanel;
    }
}

void Form1::openSymbols(int n)
{
    if (!m_symbolPanel) {
        m_symbols = std::make_unique<SymbolPalette>(m_gbk);
        m_symbolPanel = new SymbolPanel(*m_symbols, this);
        connect(m_symbolPanel, &SymbolPanel::chosen, this, &Form1::insertSymbol);
        // Back to the field, its cursor after the last symbol.
        connect(m_symbolPanel, &SymbolPanel::closed, this,
                [this] { m_fields[m_symbolField - 1]->setFocus(Qt::PopupFocusReason); });
        // Another field clicked while it is open: the panel serves that one.
        connect(m_symbolPanel, &SymbolPanel::fieldFocused, this, [this](QWidget *now) {
            const auto field = std::find(m_fields.begin(), m_fields.end(), now);
            if (field != m_fields.end()) {
                m_symbolField = int(field - m_fields.begin()) + 1;
                m_symbolPanel->setRoom(roomFor(m_symbolField));
            }
        });
    }
    m_symbolField = n;
    const GroupNameEdit *field = m_fields[n - 1];
    m_symbolPanel->open(QRect(field->mapToGlobal(QPoint()), field->size()), roomFor(n));
}

TextEdit Form1::atSelection(int n, QStringView text) const
{
    const GroupNameEdit *field = m_fields[n - 1];
    const int from = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    return {from, from + field->selectionLength(), text};
}

int Form1::roomFor(int n) const
{
    return GroupNameField::MaxBytes -
           GroupNameField::applyEdit(m_names.name(n), atSelection(n, {}), m_gbk).bytes();
}

void Form1::insertSymbol(char32_t symbol)
{
    const int n = m_symbolField;
    const QString text = QString::fromUcs4(&symbol, 1);
    // As a typed character: the same rule, the same undo step.
    edit(n, atSelection(n, text), true);
    m_symbolPanel->setRoom(roomFor(n));
}

void Form1::edit(int n, const TextEdit &edit, bool keystroke)
{
    const QScopedValueRollback<bool> editing(m_editing, true);
    const PasteEdit result = m_history.insert(n, edit, keystroke);
    m_fields[n - 1]->showName(m_names.name(n), result.first.changed() ? result.first.cursor() : -1);
    updateHistoryActions();
    explain(n, result);
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

void Form1::explain(int n, const PasteEdit &paste)
{
    const Shortfall &shortfall = paste.shortfall;
    if (!shortfall.any() && paste.dropped == 0) {
        m_note->dismiss();
        return;
    }
    QStringList lines;
    if (shortfall.full) {
        lines.append(paste.pattern ? tr("第 %1 组放不下，多出的没有加上。").arg(numbers(paste.full))
                                   : tr("第 %1 组已用 %2/16 字节，放不下的没有加上。")
                                         .arg(n)
                                         .arg(paste.first.bytes()));
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
    int left = 0;
    for (const GroupNameEdit *field : m_fields)
        left = std::max(left, field->geometry().right() + 8);
    const int right = picture->width() - 4;
    const QRect clear = m_ui->Image1->geometry();
    const QRect copy = m_ui->Image2->geometry();
    const QList<QRect> areas{
        QRect(QPoint(left, 4), QPoint(right, clear.top() - 4)),
        QRect(QPoint(left, copy.bottom() + 4), QPoint(right, m_ui->Label5->geometry().top() - 2))};
    const QRect rows = m_fields[n - 1]->geometry();
    const int last = paste.pattern ? std::max({n, paste.full.value(paste.full.size() - 1, n),
                                               paste.noForm.value(paste.noForm.size() - 1, n)})
                                   : n;
    if (m_noteField > 0 && m_noteField != n)
        m_fields[m_noteField - 1]->setAccessibleDescription({});
    m_note->showBeside(note, rows.top(), m_fields[last - 1]->geometry().bottom(), areas);
    // Screen readers hear of it as the field's description, without the focus moving.
    m_noteField = n;
    m_fields[n - 1]->setAccessibleDescription(note);
}

void Form1::requestPaste(int n, Clipboard::Source source, int from, int to)
{
    const unsigned changes = m_changes;
    m_pasting = true;
    m_pasteChanges = changes;
    m_clipboard.requestText(source, [=](Clipboard::Outcome outcome, const QString &text) {
        m_pasting = false;
        // An edit, a clear or an undo made before the text came wins over it.
        if (m_changes == changes) {
            if (outcome == Clipboard::Outcome::NoAnswer)
                showMessage(QStringLiteral("pasteFailedMessage"),
                            tr("另一个程序没有交出要粘贴的文字，分组名称没有改变。请稍后再试。"));
            else if (outcome == Clipboard::Outcome::Text)
                edit(n, TextEdit{from, to, text}, false);
        }
        if (m_copyWaiting)
            m_copyWaiting->quit();
    });
}

bool Form1::pastePending() const
{
    // One that an edit, a clear or an undo has beaten would change nothing.
    return m_pasting && m_changes == m_pasteChanges;
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
    // The user's order holds: a paste asked for before this click goes in first, if it comes
    // within the second. Meanwhile the window draws, and keys and clicks wait their turn.
    if (pastePending()) {
        QEventLoop waiting;
        m_copyWaiting = &waiting;
        QTimer::singleShot(PasteWaitMs, &waiting, &QEventLoop::quit);
        waiting.exec(QEventLoop::ExcludeUserInputEvents);
        m_copyWaiting = nullptr;
    }
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
