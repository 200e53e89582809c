// SPDX-License-Identifier: MIT
#pragma once

#include <functional>

class QAction;
class QLineEdit;
class QMenu;

// QLineEdit's own context menu, in Qt's words and keys, but with a paste that does not ask
// the clipboard what it holds before the user chooses it: an owner that never answers would
// hold the menu back. Undo and redo trigger `undo` and `redo` where given, else the line
// edit's own. Its entries are named after their icons ("edit-paste"); it deletes itself
// when closed.
namespace LineEditMenu {
QMenu *make(QLineEdit *edit, std::function<void()> paste, QAction *undo = nullptr,
            QAction *redo = nullptr);
}
