// SPDX-License-Identifier: MIT
#include "GroupNameEdit.h"

#include "GroupNameEditAccessible.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QValidator>

namespace {
bool isHistoryKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

// The words of an entry of QLineEdit's own context menu, with its key.
QString entryText(const char *words, QKeySequence::StandardKey key)
{
    const QString text = QLineEdit::tr(words);
    const QKeySequence sequence(key);
    return sequence.isEmpty() ? text : text + u'\t' + sequence.toString(QKeySequence::NativeText);
}
} // namespace

// A validator that is the field's rule: it sees every change the line edit makes of its own.
class GroupNameEdit::RuleValidator final : public QValidator
{
public:
    explicit RuleValidator(GroupNameEdit *field) : QValidator(field), m_field(field) {}

    State validate(QString &input, int &pos) const override
    {
        return m_field->ruleChange(input, pos);
    }

private:
    GroupNameEdit *m_field;
};

GroupNameEdit::GroupNameEdit(QWidget *parent) : QLineEdit(parent)
{
    GroupNameEditAccessible::install();
    setValidator(new RuleValidator(this));
    // The state before each change: as each event comes (see event()), and as the window
    // moves the cursor and the selection, or changes the text, between events.
    connect(this, &QLineEdit::selectionChanged, this, &GroupNameEdit::noteState);
    connect(this, &QLineEdit::cursorPositionChanged, this, &GroupNameEdit::noteState);
    connect(this, &QLineEdit::textChanged, this, [this] {
        // The change the window answered is shown: what it made of it is spent.
        m_shown.reset();
        noteState();
    });
    noteState();
}

void GroupNameEdit::setHistoryActions(QAction *undo, QAction *redo)
{
    m_undo = undo;
    m_redo = redo;
}

void GroupNameEdit::showName(const QString &name, int cursor)
{
    m_hole.reset();
    if (m_ruling) {
        // The line edit takes this as the outcome of the change it is making.
        m_shown = Shown{name, cursor >= 0 ? cursor : int(name.size())};
        return;
    }
    if (name != text()) {
        const QScopedValueRollback<bool> showing(m_showing, true);
        setText(name);
    }
    if (cursor >= 0)
        setCursorPosition(cursor);
}

void GroupNameEdit::requestEdit(int from, int to, const QString &text)
{
    Q_EMIT edited(TextEdit{from, to, text}, false);
}

void GroupNameEdit::noteState()
{
    // Within an event the state before it holds: Qt may move the cursor before it changes
    // the text (an input method's commit does).
    if (m_inEvent > 0)
        return;
    m_text = text();
    m_from = hasSelectedText() ? selectionStart() : cursorPosition();
    m_to = hasSelectedText() ? selectionEnd() : cursorPosition();
}

QValidator::State GroupNameEdit::ruleChange(QString &proposed, int &cursor)
{
    // Qt looks again at what the window made of the change, and at unchanged text whenever
    // it likes; setting the name is no edit: none of these is an edit.
    if (m_showing || proposed == m_text ||
        (m_shown && proposed == m_shown->text && cursor == m_shown->cursor))
        return QValidator::Acceptable;
    if (m_opening && !m_hole && m_to > m_from &&
        proposed == m_text.left(m_from) + m_text.mid(m_to)) {
        // The composition shows in place of the selection; the name keeps it until the
        // commit, which replaces it as one step, or until the composition is given up.
        m_hole = Hole{m_from, m_text.mid(m_from, m_to - m_from)};
        return QValidator::Acceptable;
    }
    TextEdit edit = GroupNameField::editOf(m_text, m_from, m_to, proposed, cursor);
    if (const std::optional<Hole> hole = std::exchange(m_hole, std::nullopt)) {
        // From the field's text to the name's, which still holds the selection.
        const int length = int(hole->removed.size());
        if (edit.from > hole->from)
            edit.from += length;
        if (edit.to >= hole->from)
            edit.to += length;
    }
    m_shown.reset();
    {
        const QScopedValueRollback<bool> ruling(m_ruling, true);
        Q_EMIT edited(edit, m_inKeystroke);
    }
    // Invalid makes the line edit put back its text, and its selection with it.
    if (!m_shown || m_shown->text == m_text) {
        m_shown.reset();
        return QValidator::Invalid;
    }
    proposed = m_shown->text;
    cursor = m_shown->cursor;
    return QValidator::Acceptable;
}

bool GroupNameEdit::event(QEvent *event)
{
    // Left unclaimed, the keys go to the window's shortcuts rather than the field's history.
    if (event->type() == QEvent::ShortcutOverride &&
        isHistoryKey(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    noteState();
    ++m_inEvent;
    const bool handled = QLineEdit::event(event);
    --m_inEvent;
    noteState();
    return handled;
}

void GroupNameEdit::keyPressEvent(QKeyEvent *event)
{
    // Here only when the window has nothing to undo or redo: the field's own must not run.
    if (isHistoryKey(event)) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        event->accept();
        requestPaste(Clipboard::Source::Clipboard);
        return;
    }
    // A person filling the list from the top goes down a row with Enter or Down.
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        const int key = event->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down ||
            key == Qt::Key_Up) {
            event->accept();
            Q_EMIT rowRequested(key == Qt::Key_Up ? -1 : 1);
            return;
        }
    }
    // Keys with Ctrl or Alt cut and delete words: steps of their own.
    const bool keystroke =
        !event->text().isEmpty() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const QScopedValueRollback<bool> inKeystroke(m_inKeystroke, keystroke);
    QLineEdit::keyPressEvent(event);
}

void GroupNameEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // The line edit first removes the selection, then the range the method replaces,
    // counted from the cursor: without a selection, that range is what the edit replaces.
    if (event->replacementLength() > 0 && !hasSelectedText()) {
        m_from = std::clamp(cursorPosition() + event->replacementStart(), 0, int(m_text.size()));
        m_to = std::clamp(m_from + event->replacementLength(), m_from, int(m_text.size()));
    }
    {
        // A first pre-edit over a selection takes the selection out of the text at once.
        const QScopedValueRollback<bool> opening(
            m_opening, hasSelectedText() && event->commitString().isEmpty() &&
                           !event->preeditString().isEmpty() && event->replacementLength() == 0);
        QLineEdit::inputMethodEvent(event);
    }
    m_preedit = event->preeditString();
    if (m_preedit.isEmpty() && event->commitString().isEmpty())
        reopenHole();
}

void GroupNameEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // A composition that ended with neither a commit nor an empty pre-edit.
    if (m_preedit.isEmpty())
        reopenHole();
}

void GroupNameEdit::reopenHole()
{
    const std::optional<Hole> hole = std::exchange(m_hole, std::nullopt);
    if (!hole)
        return;
    // The name never lost it: no edit, nothing for the window's undo.
    showName(QString(text()).insert(hole->from, hole->removed));
    setSelection(hole->from, int(hole->removed.size()));
}

void GroupNameEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // A middle click pastes the selected text where the press put the cursor.
    if (event->button() == Qt::MiddleButton && !isReadOnly()) {
        event->accept();
        deselect();
        requestPaste(Clipboard::Source::Selection);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void GroupNameEdit::dropEvent(QDropEvent *event)
{
    const QString text = event->mimeData()->text();
    if (text.isNull() || isReadOnly()) {
        QLineEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    const int at = cursorPositionAt(event->position().toPoint());
    Q_EMIT edited(TextEdit{at, at, text}, false);
}

void GroupNameEdit::requestPaste(Clipboard::Source source)
{
    Q_EMIT pasteRequested(source, m_from, m_to);
}

void GroupNameEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

QMenu *GroupNameEdit::createContextMenu()
{
    // QLineEdit's own menu, but for what is the window's: undo and redo, and a paste that
    // does not ask the clipboard what it holds before the user chooses it (an owner that
    // never answers would hold the menu back).
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    const auto add = [menu](const char *words, QKeySequence::StandardKey key, const char *icon,
                            bool enabled, auto slot) {
        QAction *entry = menu->addAction(entryText(words, key));
        entry->setIcon(QIcon::fromTheme(QLatin1String(icon)));
        entry->setEnabled(enabled);
        connect(entry, &QAction::triggered, menu, slot);
    };
    const bool selected = hasSelectedText();
    add("&Undo", QKeySequence::Undo, "edit-undo", m_undo && m_undo->isEnabled(),
        [this] { m_undo->trigger(); });
    add("&Redo", QKeySequence::Redo, "edit-redo", m_redo && m_redo->isEnabled(),
        [this] { m_redo->trigger(); });
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, "edit-cut", selected, [this] { cut(); });
    add("&Copy", QKeySequence::Copy, "edit-copy", selected, [this] { copy(); });
    add("&Paste", QKeySequence::Paste, "edit-paste", true,
        [this] { requestPaste(Clipboard::Source::Clipboard); });
    add("Delete", QKeySequence::UnknownKey, "edit-delete", selected, [this] { del(); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, "edit-select-all",
        !text().isEmpty() && selectedText() != text(), [this] { selectAll(); });
    if (m_symbols) {
        menu->addSeparator();
        QAction *entry = menu->addAction(m_symbols->text() + u'\t' +
                                         m_symbols->shortcut().toString(QKeySequence::NativeText));
        connect(entry, &QAction::triggered, this, &GroupNameEdit::symbolsRequested);
    }
    return menu;
}
