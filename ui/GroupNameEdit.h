// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"
#include "GroupNameField.h"

#include <QLineEdit>
#include <QValidator>

#include <optional>

class QAction;

// A name field. It never changes the name itself: it tells the window what the user did, as
// the edit it is (the range replaced, the selection or the cursor as the field had it before
// the change, and the text inserted), and shows what the window makes of it. Typing,
// deleting, cutting and an input method's commits reach it as changes of its own text;
// pastes, drops and assistive tools as edits; all of them leave it by edited().
class GroupNameEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit GroupNameEdit(QWidget *parent = nullptr);

    // The window's undo and redo, which the context menu offers in place of the field's own:
    // the field's own history would know only its own edits.
    void setHistoryActions(QAction *undo, QAction *redo);
    // The window's action that opens the symbols, named with its key in the field's menu.
    void setSymbolAction(QAction *symbols) { m_symbols = symbols; }

    // Shows the name as the window has it, with the cursor at `cursor` (where it stands when
    // -1). Called while the field's own change is being ruled, the change becomes this.
    void showName(const QString &name, int cursor = -1);

    // An edit made past the keyboard, by an assistive tool: [from, to) replaced by `text`.
    void requestEdit(int from, int to, const QString &text);

Q_SIGNALS:
    // The user replaced [edit.from, edit.to) of the name with edit.inserted, which may hold
    // lines; the window answers with showName(). A keystroke typed or deleted a character.
    void edited(const TextEdit &edit, bool keystroke);
    // The user asked to paste from `source` over [from, to).
    void pasteRequested(Clipboard::Source source, int from, int to);
    // The user asked for the field of the next row down (1) or of the row above (-1).
    void rowRequested(int step);
    // The user asked for the symbols, from the field's menu.
    void symbolsRequested();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    class RuleValidator;

    // The validator's work: the edit a change of the text is, answered by the window.
    QValidator::State ruleChange(QString &proposed, int &cursor);
    void noteState();
    // A composition over a selection given up: the selection is back as it was.
    void reopenHole();
    void requestPaste(Clipboard::Source source);
    QMenu *createContextMenu();

    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    QAction *m_symbols = nullptr;
    bool m_inKeystroke = false;
    bool m_showing = false;
    bool m_ruling = false;  // while the window answers the field's own change
    bool m_opening = false; // while a composition starts over a selection
    int m_inEvent = 0;      // events being handled, nested
    // The text and the selection (or the cursor) before the change that is being made.
    QString m_text;
    int m_from = 0;
    int m_to = 0;
    // What the window made of the change being made, until the field shows it.
    struct Shown
    {
        QString text;
        int cursor;
    };
    std::optional<Shown> m_shown;
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
