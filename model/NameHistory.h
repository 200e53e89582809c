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
    // edit() makes name n what the rule keeps of `text`: an editor's new text. A keystroke
    // that types or deletes one character next to the last one continues that step.
    NameEdit edit(int n, const QString &text, bool keystroke);
    NameEdit PastePattern(int n, int from, int to, QStringView text);
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
        Typing,  // one character typed, over a selection or not; `at` is after it
        Deleting // one character deleted; `at` is where it was
    };
    struct State
    {
        QStringList names;
        int n = 0;
        Kind kind = Kind::Other;
        int at = 0;
    };

    void record(int n, Kind kind, int at);
    Place moveTo(std::size_t index);

    GroupNameSet &m_set;
    std::vector<State> m_states; // m_states[0] is the start; each later one follows a step
    std::size_t m_current = 0;
    bool m_joinable = false; // false after undo and redo: a new step starts afresh
};
