// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"
#include "GroupNameField.h"

#include <QLineEdit>
#include <QValidator>

#include <functional>
#include <optional>

class NameNote;
class QAction;

// A name field. It tells the window what the user did to the name, as the edit it is: the
// range replaced (the selection, or the cursor, as the field had it before the change) and
// the text inserted. Typing, deleting and an input method's commits it puts through the edit
// rule itself, before they show; pastes, drops and several lines at once it hands to the
// window, which may fill the fields below. Its undo and redo are the window's: the field's
// own history would know only its own edits.
class GroupNameEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit GroupNameEdit(QWidget *parent = nullptr);

    // What the edit rule makes of an edit of this field's name.
    using Rule = std::function<NameEdit(const TextEdit &edit)>;
    void setRule(Rule rule);

    // The window's undo and redo, which the context menu offers in place of the field's own.
    void setHistoryActions(QAction *undo, QAction *redo);

    // Shows the name as the window has it, past the rule: it was made by the rule.
    void showName(const QString &name);

    // Says, for a moment, at the cursor, why the rule kept less than the user put in: the
    // name's 16 bytes were full (`bytes` used, or -1 where another name was the one cut),
    // characters had no GBK form. Nothing when nothing was left out; an earlier note goes.
    void explain(const Shortfall &shortfall, int bytes);

Q_SIGNALS:
    // The user changed the name in the field, which shows it: `edit` is what the rule made
    // of it. A keystroke typed or deleted a character; a paste or a commit is no keystroke.
    void edited(const NameEdit &edit, bool keystroke);
    // Text dropped or committed by an input method, to replace [from, to): it may hold lines.
    void textInserted(int from, int to, const QString &text);
    // The user asked to paste from `source` over [from, to).
    void pasteRequested(Clipboard::Source source, int from, int to);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    class RuleValidator;

    // The validator's work: the edit a change of the text is, through the rule.
    QValidator::State ruleChange(QString &proposed, int &cursor);
    void noteState();
    void requestPaste(Clipboard::Source source);
    QMenu *createContextMenu();

    Rule m_rule;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
    bool m_inKeystroke = false;
    bool m_showing = false;
    int m_inEvent = 0; // events being handled, nested
    // The text and the selection (or the cursor) before the change that is being made.
    QString m_text;
    int m_from = 0;
    int m_to = 0;
    // What the rule made of that change, between the validator and the field's report.
    std::optional<NameEdit> m_ruled;
    NameNote *m_note = nullptr;
};
