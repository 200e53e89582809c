// SPDX-License-Identifier: MIT
#include "NameHistory.h"

#include <algorithm>

void NameHistory::record(int n, const NameEdit &edit, bool keystroke)
{
    if (!edit.changed())
        return;
    // Only keystrokes join: a paste of one character looks the same, but is a step.
    const int removed = edit.to() - edit.from();
    Step *top = m_joinable && m_current > 0 ? &m_steps[m_current - 1] : nullptr;
    const bool sameRun = top && top->n() == n && top->names.front().after == edit.before();
    if (keystroke && edit.kept() == 1) {
        // Typing over a selection starts a run; the characters after it continue it.
        if (sameRun && m_kind == Kind::Typing && removed == 0 && edit.from() == m_at) {
            top->names.front().after = edit.text();
            ++top->inserted;
            m_at = edit.cursor();
            return;
        }
        push(Step{{Name{n, edit.before(), edit.text()}}, edit.from(), removed, 1}, Kind::Typing,
             edit.cursor());
        return;
    }
    if (keystroke && edit.kept() == 0 && removed == 1) {
        // Backspace deletes left of the last deletion, Delete where it was.
        const bool backspace = edit.from() == m_at - 1;
        if (sameRun && m_kind == Kind::Deleting && (backspace || edit.from() == m_at)) {
            top->names.front().after = edit.text();
            top->from = std::min(top->from, edit.from());
            ++top->removed;
            m_at = edit.from();
            return;
        }
        push(Step{{Name{n, edit.before(), edit.text()}}, edit.from(), 1, 0}, Kind::Deleting,
             edit.from());
        return;
    }
    push(Step{{Name{n, edit.before(), edit.text()}}, edit.from(), removed, edit.kept()},
         Kind::Other, 0);
}

void NameHistory::record(QList<Name> names)
{
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const Name &name) { return name.before == name.after; }),
                names.end());
    if (names.isEmpty())
        return;
    Step step{std::move(names)};
    if (step.names.size() == 1) {
        step.removed = int(step.names.front().before.size());
        step.inserted = int(step.names.front().after.size());
    }
    push(std::move(step), Kind::Other, 0);
}

void NameHistory::push(Step step, Kind kind, int at)
{
    m_steps.erase(m_steps.begin() + std::ptrdiff_t(m_current), m_steps.end());
    m_steps.push_back(std::move(step));
    m_current = m_steps.size();
    m_kind = kind;
    m_at = at;
    m_joinable = true;
}

const NameHistory::Step *NameHistory::undo()
{
    if (!canUndo())
        return nullptr;
    m_joinable = false;
    return &m_steps[--m_current];
}

const NameHistory::Step *NameHistory::redo()
{
    if (!canRedo())
        return nullptr;
    m_joinable = false;
    return &m_steps[m_current++];
}
