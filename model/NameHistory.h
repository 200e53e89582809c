// SPDX-License-Identifier: MIT
#pragma once

#include "NameEdit.h"

#include <QList>
#include <QString>

#include <vector>

// Every change of the eleven names, in the order it happened, to go back and forth over:
// undo and redo for the whole window rather than for one field. A run of keystrokes at one
// place is one step, as in a line edit. A step records what it changed, so that taking it
// back or doing it again decides nothing anew. Nothing of it outlives the window.
class NameHistory
{
public:
    struct Name
    {
        int n;
        QString before;
        QString after;
    };
    struct Step
    {
        QList<Name> names; // the names it changed, in order
        // Where a step that changed one name by an edit did it: it replaced `removed`
        // characters at `from` with `inserted` ones. A name replaced whole counts from 0.
        int from = 0;
        int removed = 0;
        int inserted = 0;
        // Where the cursor goes when the step is taken back or done again: in name n (0 when
        // the step changed several names).
        int n() const { return names.size() == 1 ? names.front().n : 0; }
        int undoneCursor() const { return from + removed; }
        int redoneCursor() const { return from + inserted; }
    };

    // Records the edit that the rule made of name n; a keystroke that types or deletes one
    // character next to the last one continues that step. An edit that changed nothing is
    // no step.
    void record(int n, const NameEdit &edit, bool keystroke);
    // Records a change of several names, or of one name as a whole.
    void record(QList<Name> names);

    bool canUndo() const { return m_current > 0; }
    bool canRedo() const { return m_current < m_steps.size(); }
    // The step taken back, whose names go back to `before`; nothing when there is none.
    const Step *undo();
    // The step done again, whose names go to `after`.
    const Step *redo();

private:
    // What the last step did, so that the next keystroke can join it.
    enum class Kind
    {
        Other,
        Typing,  // characters typed one by one at `at`, the end of the run
        Deleting // characters deleted one by one, by Backspace or Delete at `at`
    };
    void push(Step step, Kind kind, int at);

    std::vector<Step> m_steps;
    std::size_t m_current = 0; // steps before it are done
    Kind m_kind = Kind::Other;
    int m_at = 0;
    bool m_joinable = false; // false after undo and redo: a new step starts afresh
};
