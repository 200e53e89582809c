// SPDX-License-Identifier: MIT
#pragma once

#include "Clipboard.h"
#include "GroupNameSet.h"
#include "NameChange.h"
#include "NameHistory.h"

#include <QObject>
#include <QTimer>

#include <utility>

class GbkCodec;
class TextWidths;

// Makes every change of the eleven names: an edit of one name, whatever its source, a paste
// on its way, a clear, an undo or redo, a change of several names at once. Each goes through
// the rule once, is one step of the history, changes the set, and is reported by changed(),
// which says all the window shows of it. It also copies the names, after a paste asked for
// before the copy.
class NameEditor : public QObject
{
    Q_OBJECT

public:
    // A copy asked for while a paste is on its way waits this long at most for it.
    static constexpr int PasteWaitMs = 1000;

    NameEditor(const GbkCodec &gbk, Clipboard &clipboard, QObject *parent = nullptr);
    ~NameEditor() override;

    const GroupNameSet &names() const { return m_names; }

    // Name n's [edit.from, edit.to) replaced by edit.inserted, in the name's own positions.
    // A keystroke typed or deleted one character and may join the step before; anything
    // else (a paste, a drop, a commit, an assistive tool) may be a pattern of several lines.
    // Returns what changed(), which it emits, says.
    NameChange edit(int n, const TextEdit &edit, bool keystroke);
    // Asks for the text to paste into [from, to) of name n; it goes in when it comes, unless
    // the names changed in the meantime.
    void paste(int n, Clipboard::Source source, int from, int to);
    void clear();
    void undo();
    void redo();
    // 装饰全部组: name n's decoration around the words of every other name, as one step.
    void decorateAll(int n);
    // 对齐右边, asked from name n: the rows that end in decoration end level, as the window
    // draws them.
    void alignRight(int n, const TextWidths &widths);

    // Empties the clipboard and places the names on it; after the paste asked for before,
    // if one is on its way, once it has come or its second has passed. A copy asked for
    // meanwhile joins it.
    void copy();
    bool copyWaiting() const { return m_copyWaiting; }

    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    // Bytes name n has left once [from, to) of it is replaced.
    int room(int n, int from, int to) const;

Q_SIGNALS:
    void changed(const NameChange &change);
    // A paste's text did not come: its owner did not answer.
    void pasteUnanswered();
    void copyFailed();
    // A copy waits for a paste (true), and no longer (false, once it ran).
    void copyWaitingChanged(bool waiting);

private:
    NameChange report(NameChange change);
    // A whole-list action asked from name n: each name it gives replaced as a whole, through
    // the rule, as one step.
    void replaceNames(NameChange::Kind kind, int n, const NameDecoration::Outcome &outcome);
    // Takes a step back or does it again: its names become what the history recorded.
    void move(const NameHistory::Step *step, NameChange::Kind kind);
    bool pastePending() const;
    void copyNow();
    // The history's record of the names `changed` lists, from what they were in `before`.
    QList<NameHistory::Name> recordOf(const QStringList &before, const QList<int> &changed) const;

    GroupNameSet m_names;
    NameHistory m_history;
    Clipboard &m_clipboard;
    unsigned m_changes = 0; // of the names, so that a paste knows whether it came too late
    bool m_pasting = false;
    unsigned m_pasteChanges = 0;
    bool m_copyWaiting = false;
    QTimer m_pasteWait;
};
