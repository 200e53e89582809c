// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>

class QAction;

// A name field whose undo and redo are the window's: the field's own history would know
// only its own edits, and forgets them whenever the rule rewrites a paste.
class GroupNameEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit GroupNameEdit(QWidget *parent = nullptr);

    // The window's undo and redo, which the context menu offers in place of the field's own.
    void setHistoryActions(QAction *undo, QAction *redo);

    // True while a key typed or deleting a character changes the text: a paste, a drop or
    // an input method's commit is no keystroke.
    bool inKeystroke() const { return m_inKeystroke; }

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    bool m_inKeystroke = false;
};
