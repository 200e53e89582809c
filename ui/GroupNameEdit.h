// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"
#include "TextEdit.h"

#include <QLineEdit>

#include <optional>

class QAction;

// A name field. It never changes the name itself: it tells the window what the user did, as
// the edit it is in the name's own positions (the range replaced and the text inserted), and
// shows what the window makes of it. Typing, deleting, cutting and an input method's commits
// reach it as changes of its own text, pastes, drops and assistive tools as requests; all of
// them leave it by edited() or pasteRequested(), each once.
class GroupNameEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit GroupNameEdit(QWidget *parent = nullptr);

    // The window's undo and redo, which the context menu offers in place of the field's own:
    // the field's own history would know only its own edits.
    void setHistoryActions(QAction *undo, QAction *redo);
    // The window's actions for the field's menu, named there with their keys.
    void addMenuActions(const QList<QAction *> &actions) { m_menuActions += actions; }

    // Shows the name as the window has it, with the cursor at `cursor`; at -1 the cursor
    // stays, and a change of the field's own that the window refused puts back the
    // selection it replaced. Without the keyboard, a name shows from its start.
    void showName(const QString &name, int cursor = -1);

    // An edit made past the keyboard, by an assistive tool: [from, to) of the field's text
    // replaced by `text`.
    void requestEdit(int from, int to, const QString &text);
    // The edit that puts `text` in place of the selection, or at the cursor, in the name's
    // positions.
    TextEdit atSelection(QStringView text) const;

Q_SIGNALS:
    // The user replaced [edit.from, edit.to) of the name with edit.inserted, which may hold
    // lines; the window answers with showName(). A keystroke typed or deleted a character.
    void edited(const TextEdit &edit, bool keystroke);
    // The user asked to paste from `source` over [from, to) of the name.
    void pasteRequested(Clipboard::Source source, int from, int to);
    // The user asked for the field of the next row down (1) or of the row above (-1).
    void rowRequested(int step);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // A change the line edit made of its own text, as the edit it is.
    void takeChange();
    // From the field's positions to the name's, and out to the window.
    void report(TextEdit edit, bool keystroke);
    TextEdit toName(TextEdit edit) const;
    void noteState();
    // A composition over a selection given up: the selection is back as it was.
    void reopenHole();
    void requestPaste(Clipboard::Source source);
    QMenu *createContextMenu();

    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QList<QAction *> m_menuActions;
    bool m_inKeystroke = false;
    bool m_opening = false;  // while a composition starts over a selection
    bool m_changing = false; // while the window answers a change of the field's own
    bool m_showing = false;  // while the field shows the window's text
    int m_inEvent = 0;       // events being handled, nested
    // The text, the selection (or the cursor) and the cursor before the change being made.
    QString m_text;
    int m_from = 0;
    int m_to = 0;
    int m_cursor = 0;
    // The selection a composition stands over: out of the field's text, still in the name
    // until the commit replaces it, as one step.
    struct Hole
    {
        int from;
        QString removed;
    };
    std::optional<Hole> m_hole;
    QString m_preedit;
};
