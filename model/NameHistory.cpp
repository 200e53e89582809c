// SPDX-License-Identifier: MIT
#include "NameHistory.h"

NameHistory::NameHistory(GroupNameSet &set) : m_set(set)
{
    m_states.push_back(State{set.names()});
}

bool NameHistory::apply(int n, const NameEdit &edit, bool keystroke)
{
    if (!m_set.apply(n, edit))
        return false;
    if (!edit.changed())
        return true;

    // Only keystrokes join: a paste of one character looks the same, but is a step.
    const int removed = edit.to() - edit.from();
    State step{m_set.names(), n, Kind::Other, 0, edit.from(), removed, edit.kept()};
    State &top = m_states[m_current];
    const bool sameRun = m_joinable && top.n == n;
    if (keystroke && edit.kept() == 1) {
        step.kind = Kind::Typing;
        step.at = edit.cursor();
        // Typing over a selection starts a run; the characters after it continue it.
        if (sameRun && top.kind == Kind::Typing && removed == 0 && edit.from() == top.at) {
            top.names = step.names;
            top.at = step.at;
            ++top.inserted;
            return true;
        }
    } else if (keystroke && edit.kept() == 0 && removed == 1) {
        step.kind = Kind::Deleting;
        step.at = edit.from();
        // Backspace deletes left of the last deletion, Delete where it was.
        const bool backspace = edit.from() == top.at - 1;
        if (sameRun && top.kind == Kind::Deleting && (backspace || edit.from() == top.at)) {
            top.names = step.names;
            top.at = step.at;
            top.from = std::min(top.from, edit.from());
            ++top.removed;
            return true;
        }
    }
    record(step);
    return true;
}

PasteEdit NameHistory::insert(int n, const TextEdit &edit, bool keystroke)
{
    if (!keystroke)
        return PastePattern(n, edit.from, edit.to, edit.inserted);
    PasteEdit result(m_set.rule(n, edit));
    apply(n, result.first, true);
    return result;
}

NameHistory::State NameHistory::stepOf(const QStringList &before, int n, const NameEdit *edit) const
{
    State step{m_set.names()};
    for (int k = 1; k <= GroupNameSet::Count; ++k) {
        if (step.names.at(k - 1) == before.at(k - 1))
            continue;
        if (step.n != 0)
            return State{step.names};
        // Name n took the edit; any other was replaced as a whole.
        step.n = k;
        const bool edited = edit && k == n;
        step.from = edited ? edit->from() : 0;
        step.removed = edited ? edit->to() - edit->from() : int(before.at(k - 1).size());
        step.inserted = edited ? edit->kept() : int(step.names.at(k - 1).size());
    }
    return step;
}

PasteEdit NameHistory::PastePattern(int n, int from, int to, QStringView text)
{
    const QStringList before = m_set.names();
    const PasteEdit result = m_set.PastePattern(n, from, to, text);
    record(stepOf(before, n, &result.first));
    return result;
}

void NameHistory::ClearPattern()
{
    const QStringList before = m_set.names();
    m_set.ClearPattern();
    record(stepOf(before, 0, nullptr));
}

void NameHistory::record(const State &step)
{
    if (step.names == m_states[m_current].names)
        return;
    m_states.erase(m_states.begin() + std::ptrdiff_t(m_current) + 1, m_states.end());
    m_states.push_back(step);
    m_current = m_states.size() - 1;
    m_joinable = true;
}

std::optional<NameHistory::Place> NameHistory::undo()
{
    if (!canUndo())
        return std::nullopt;
    return moveTo(m_current - 1, false);
}

std::optional<NameHistory::Place> NameHistory::redo()
{
    if (!canRedo())
        return std::nullopt;
    return moveTo(m_current + 1, true);
}

NameHistory::Place NameHistory::moveTo(std::size_t index, bool forward)
{
    // The step taken back is the current one; the step done again is the one moved to.
    const State &step = m_states[forward ? index : m_current];
    m_current = index;
    m_joinable = false;
    m_set.restore(m_states[index].names);
    if (step.n == 0)
        return Place{};
    return Place{step.n, step.from + (forward ? step.inserted : step.removed)};
}
