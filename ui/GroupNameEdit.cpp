// SPDX-License-Identifier: MIT
#include "GroupNameEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScopedValueRollback>

namespace {
bool isHistoryKey(const QKeyEvent *event)
{
    return event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
}
} // namespace

GroupNameEdit::GroupNameEdit(QWidget *parent) : QLineEdit(parent) {}

void GroupNameEdit::setHistoryActions(QAction *undo, QAction *redo)
{
    m_undo = undo;
    m_redo = redo;
}

bool GroupNameEdit::event(QEvent *event)
{
    // Left unclaimed, the keys go to the window's shortcuts rather than the field's history.
    if (event->type() == QEvent::ShortcutOverride &&
        isHistoryKey(static_cast<QKeyEvent *>(event))) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void GroupNameEdit::keyPressEvent(QKeyEvent *event)
{
    // Here only when the window has nothing to undo or redo: the field's own must not run.
    if (isHistoryKey(event)) {
        event->accept();
        return;
    }
    // Keys with Ctrl or Alt paste, cut and delete words: steps of their own.
    const bool keystroke =
        !event->text().isEmpty() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const QScopedValueRollback<bool> inKeystroke(m_inKeystroke, keystroke);
    QLineEdit::keyPressEvent(event);
}

void GroupNameEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    const QString undoText = QLineEdit::tr("&Undo");
    const QString redoText = QLineEdit::tr("&Redo");
    for (QAction *entry : menu->actions()) {
        // The entries keep their words and keys; only what they do is the window's.
        const QString words = entry->text().section(u'\t', 0, 0);
        QAction *target = words == undoText ? m_undo : words == redoText ? m_redo : nullptr;
        if (!target)
            continue;
        disconnect(entry, nullptr, this, nullptr);
        connect(entry, &QAction::triggered, target, &QAction::trigger);
        entry->setEnabled(target->isEnabled());
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
