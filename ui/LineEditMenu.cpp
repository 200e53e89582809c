// SPDX-License-Identifier: MIT
#include "LineEditMenu.h"

#include <QAction>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>

QMenu *LineEditMenu::make(QLineEdit *edit, std::function<void()> paste, QAction *undo,
                          QAction *redo)
{
    auto *menu = new QMenu(edit);
    menu->setObjectName(QStringLiteral("qt_edit_menu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto add = [menu](const char *words, QKeySequence::StandardKey key, const char *icon,
                            bool enabled, std::function<void()> slot) {
        const QString text = QLineEdit::tr(words);
        const QKeySequence sequence(key);
        QAction *entry = menu->addAction(
            sequence.isEmpty() ? text : text + u'\t' + sequence.toString(QKeySequence::NativeText));
        entry->setObjectName(QLatin1String(icon));
        entry->setIcon(QIcon::fromTheme(QLatin1String(icon)));
        entry->setEnabled(enabled);
        QObject::connect(entry, &QAction::triggered, menu, std::move(slot));
    };
    const bool selected = edit->hasSelectedText();
    const bool writable = !edit->isReadOnly();
    if (undo)
        add("&Undo", QKeySequence::Undo, "edit-undo", undo->isEnabled(),
            [undo] { undo->trigger(); });
    else
        add("&Undo", QKeySequence::Undo, "edit-undo", edit->isUndoAvailable(),
            [edit] { edit->undo(); });
    if (redo)
        add("&Redo", QKeySequence::Redo, "edit-redo", redo->isEnabled(),
            [redo] { redo->trigger(); });
    else
        add("&Redo", QKeySequence::Redo, "edit-redo", edit->isRedoAvailable(),
            [edit] { edit->redo(); });
    menu->addSeparator();
    add("Cu&t", QKeySequence::Cut, "edit-cut", writable && selected, [edit] { edit->cut(); });
    add("&Copy", QKeySequence::Copy, "edit-copy", selected, [edit] { edit->copy(); });
    add("&Paste", QKeySequence::Paste, "edit-paste", writable, std::move(paste));
    add("Delete", QKeySequence::UnknownKey, "edit-delete", writable && selected,
        [edit] { edit->del(); });
    menu->addSeparator();
    add("Select All", QKeySequence::SelectAll, "edit-select-all",
        !edit->text().isEmpty() && edit->selectedText() != edit->text(),
        [edit] { edit->selectAll(); });
    return menu;
}
