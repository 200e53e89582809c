// SPDX-License-Identifier: MIT
#include "GroupNameEdit.h"

#include "GroupNameEditAccessible.h"
#include "LineEditChange.h"
#include "LineEditMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopedValueRollback>

namespace {
bool isHistoryKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
           event->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y);
}

} // namespace

GroupNameEdit::GroupNameEdit(QWidget *parent) : QLineEdit(parent)
{
    GroupNameEditAccessible::install();
    connect(this, &QLineEdit::textEdited, this, &GroupNameEdit::takeChange);
    // The state before each change: as each event comes (see event()), and as the window
    // moves the cursor and the selection, or changes the text, between events.
    connect(this, &QLineEdit::selectionChanged, this, &GroupNameEdit::noteState);
    connect(this, &QLineEdit::cursorPositionChanged, this, &GroupNameEdit::noteState);
    connect(this, &QLineEdit::textChanged, this, &GroupNameEdit::noteState);
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
    const bool changed = name != text();
    if (changed) {
        const QScopedValueRollback<bool> showing(m_showing, true);
        setText(name);
    }
    if (cursor >= 0) {
        setCursorPosition(cursor);
    } else if (m_changing && name == m_text) {
        // Refused: the field is as it was, its selection too.
        if (m_to > m_from)
            setSelection(m_cursor == m_from ? m_to : m_from,
                         m_cursor == m_from ? m_from - m_to : m_to - m_from);
        else
            setCursorPosition(m_cursor);
    } else if (changed && !hasFocus()) {
        home(false);
    }
}

void GroupNameEdit::requestEdit(int from, int to, const QString &text)
{
    report(TextEdit{from, to, text}, false);
}

TextEdit GroupNameEdit::atSelection(QStringView text) const
{
    const int from = hasSelectedText() ? selectionStart() : cursorPosition();
    return toName(TextEdit{from, from + int(selectedText().size()), text});
}

void GroupNameEdit::noteState()
{
    // Within an event the state before it holds: Qt may move the cursor before it changes
    // the text (an input method's commit does).
    if (m_inEvent > 0 || m_changing)
        return;
    m_text = text();
    m_cursor = cursorPosition();
    m_from = hasSelectedText() ? selectionStart() : m_cursor;
    m_to = hasSelectedText() ? selectionEnd() : m_cursor;
}

void GroupNameEdit::takeChange()
{
    // An input method commits what it composed when the window's text replaces the field's:
    // the window's text wins, and the commit is no edit.
    if (m_showing)
        return;
    const QString proposed = text();
    if (m_opening && !m_hole && m_to > m_from &&
        proposed == m_text.left(m_from) + m_text.mid(m_to)) {
        // The composition shows in place of the selection; the name keeps it until the
        // commit, which replaces it as one step, or until the composition is given up.
        m_hole = Hole{m_from, m_text.mid(m_from, m_to - m_from)};
        return;
    }
    const TextEdit edit = LineEditChange::editOf(m_text, m_from, m_to, proposed, cursorPosition());
    {
        const QScopedValueRollback<bool> changing(m_changing, true);
        report(edit, m_inKeystroke);
    }
    noteState();
}

TextEdit GroupNameEdit::toName(TextEdit edit) const
{
    // The name still holds the selection a composition stands over.
    if (m_hole) {
        const int length = int(m_hole->removed.size());
        if (edit.from > m_hole->from)
            edit.from += length;
        if (edit.to >= m_hole->from)
            edit.to += length;
    }
    return edit;
}

void GroupNameEdit::report(TextEdit edit, bool keystroke)
{
    Q_EMIT edited(toName(edit), keystroke);
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
    // A name wider than its field shows from its start once the user has moved on; for a
    // moment away (another window, a menu) the cursor stays where it was.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        home(false);
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
    report(TextEdit{at, at, text}, false);
}

void GroupNameEdit::requestPaste(Clipboard::Source source)
{
    const TextEdit at = toName(TextEdit{m_from, m_to, {}});
    Q_EMIT pasteRequested(source, at.from, at.to);
}

void GroupNameEdit::contextMenuEvent(QContextMenuEvent *event)
{
    createContextMenu()->popup(event->globalPos());
}

QMenu *GroupNameEdit::createContextMenu()
{
    // The undo and redo are the window's.
    QMenu *menu = LineEditMenu::make(
        this, [this] { requestPaste(Clipboard::Source::Clipboard); }, m_undo, m_redo);
    if (!m_menuActions.isEmpty())
        menu->addSeparator();
    for (QAction *action : std::as_const(m_menuActions)) {
        QAction *entry = menu->addAction(action->text() + u'\t' +
                                         action->shortcut().toString(QKeySequence::NativeText));
        entry->setEnabled(action->isEnabled());
        // Once the menu is gone and the field has the keyboard again: a popup opened from a
        // closing one would close with it.
        connect(entry, &QAction::triggered, action, &QAction::trigger, Qt::QueuedConnection);
    }
    return menu;
}
