// SPDX-License-Identifier: MIT
#pragma once

#include "GroupNameSet.h"

#include <QStringList>

#include <optional>
#include <vector>

// Every change of the eleven names, in the order it happened, to go back and forth over:
// undo and redo for the whole window rather than for one field. A run of keystrokes at one
// place is one step, as in a line edit. Nothing of it outlives the window.
class NameHistory
{
public:
    explicit NameHistory(GroupNameSet &set);

    // The set's own operations, each recorded as one step when it changed a name.
    // apply() takes an edit the rule made of name n (GroupNameSet::rule); a keystroke that
    // types or deletes one character next to the last one continues that step.
    bool apply(int n, const NameEdit &edit, bool keystroke);
    PasteEdit PastePattern(int n, int from, int to, QStringView text);
    // An edit of name n as the user made it, whatever its source: a keystroke through the
    // rule, anything else as a paste, which may be a pattern.
    PasteEdit insert(int n, const TextEdit &edit, bool keystroke);
    void ClearPattern();

    // Where a step taken back or done again changed the names: name n, with the cursor
    // after the change; n is 0 when the step changed several names.
    struct Place
    {
        int n = 0;
        int cursor = 0;
    };
    bool canUndo() const { return m_current > 0; }
    bool canRedo() const { return m_current + 1 < m_states.size(); }
    std::optional<Place> undo();
    std::optional<Place> redo();

private:
    // What a step did, so that the next keystroke can join it.
    enum class Kind
    {
        Other,
        Typing,  // characters typed one by one at `at`, the end of the run
        Deleting // characters deleted one by one, by Backspace or Delete at `at`
    };
    // The names after a step, and the one name it changed (n = 0 for several): it replaced
    // `removed` characters at `from` with `inserted` ones.
    struct State
    {
        QStringList names;
        int n = 0;
        Kind kind = Kind::Other;
        int at = 0;
        int from = 0;
        int removed = 0;
        int inserted = 0;
    };

    // Records the step that led to the set's names, when they changed.
    void record(const State &step);
    // The step a change of several names made from `before`: where it touched one name only,
    // what it did to that name (`edit` where that name is n, else the whole name), else n = 0.
    State stepOf(const QStringList &before, int n, const NameEdit *edit) const;
    Place moveTo(std::size_t index, bool forward);

    GroupNameSet &m_set;
    std::vector<State> m_states; // m_states[0] is the start; each later one follows a step
    std::size_t m_current = 0;
    bool m_joinable = false; // false after undo and redo: a new step starts afresh
};
