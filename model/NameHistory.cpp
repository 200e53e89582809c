// SPDX-License-Identifier: MIT
#include "NameHistory.h"

namespace {
// How `after` differs from `before`: `removed` characters at `at` became `inserted` ones.
struct Difference
{
    int at = 0;
    int removed = 0;
    int inserted = 0;
};

Difference differenceOf(const QString &before, const QString &after)
{
    const int shorter = int(std::min(before.size(), after.size()));
    int prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return {prefix, int(before.size()) - prefix - suffix, int(after.size()) - prefix - suffix};
}
} // namespace

NameHistory::NameHistory(GroupNameSet &set) : m_set(set)
{
    m_states.push_back(State{set.names()});
}

NameEdit NameHistory::edit(int n, const QString &text, bool keystroke)
{
    const QString before = m_set.name(n);
    const NameEdit result = m_set.edit(n, 0, int(before.size()), text);
    if (!result.changed)
        return result;

    // Only keystrokes join: a paste of one character looks the same here, but is a step.
    const Difference d = differenceOf(before, result.text);
    const State &top = m_states[m_current];
    const bool sameRun = m_joinable && top.n == n;
    Kind kind = Kind::Other;
    int at = 0;
    bool joins = false;
    if (keystroke && d.inserted == 1) {
        kind = Kind::Typing;
        at = d.at + 1;
        joins = sameRun && top.kind == kind && d.removed == 0 && d.at == top.at;
    } else if (keystroke && d.inserted == 0 && d.removed == 1) {
        // Backspace lands left of the last deletion, Delete where it was.
        kind = Kind::Deleting;
        at = d.at;
        joins = sameRun && top.kind == kind && (d.at == top.at - 1 || d.at == top.at);
    }
    if (joins) {
        m_states[m_current].names = m_set.names();
        m_states[m_current].at = at;
    } else {
        record(n, kind, at);
    }
    return result;
}

NameEdit NameHistory::PastePattern(int n, int from, int to, QStringView text)
{
    const NameEdit result = m_set.PastePattern(n, from, to, text);
    if (m_set.names() != m_states[m_current].names)
        record(n, Kind::Other, 0);
    return result;
}

void NameHistory::ClearPattern()
{
    m_set.ClearPattern();
    if (m_set.names() != m_states[m_current].names)
        record(0, Kind::Other, 0);
}

void NameHistory::record(int n, Kind kind, int at)
{
    m_states.erase(m_states.begin() + std::ptrdiff_t(m_current) + 1, m_states.end());
    m_states.push_back(State{m_set.names(), n, kind, at});
    m_current = m_states.size() - 1;
    m_joinable = true;
}

std::optional<NameHistory::Place> NameHistory::undo()
{
    if (!canUndo())
        return std::nullopt;
    return moveTo(m_current - 1);
}

std::optional<NameHistory::Place> NameHistory::redo()
{
    if (!canRedo())
        return std::nullopt;
    return moveTo(m_current + 1);
}

NameHistory::Place NameHistory::moveTo(std::size_t index)
{
    const QStringList before = m_set.names();
    m_current = index;
    m_joinable = false;
    m_set.restore(m_states[index].names);

    Place place;
    for (int n = 1; n <= GroupNameSet::Count; ++n) {
        const QString &now = m_states[index].names.at(n - 1);
        if (now == before.at(n - 1))
            continue;
        if (place.n != 0)
            return Place{};
        const Difference d = differenceOf(before.at(n - 1), now);
        place = Place{n, d.at + d.inserted};
    }
    return place;
}
