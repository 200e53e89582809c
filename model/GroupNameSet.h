// SPDX-License-Identifier: MIT
#pragma once

#include "GroupNameField.h"

#include <QList>
#include <QStringList>

#include <array>

class GbkCodec;

// What a paste of one or several lines did: the edit of the name pasted into, the names it
// changed, and why less was kept than pasted, over all its lines and name by name.
struct PasteEdit
{
    explicit PasteEdit(NameEdit edit) : first(std::move(edit)), shortfall(first.shortfall()) {}

    NameEdit first;
    Shortfall shortfall;
    QList<int> changed;   // names whose text changed, in order
    bool pattern = false; // its lines went into the names below too
    QList<int> full;      // names whose line was cut for want of bytes
    QList<int> noForm;    // names whose line lost characters without a GBK form
    int dropped = 0;      // lines with something in them past the last name
};

// The eleven group names being designed, numbered 1 to 11 in field order, which is also
// the order of the lines on the clipboard. The single source of the names' texts.
class GroupNameSet
{
public:
    static constexpr int Count = 11;

    explicit GroupNameSet(const GbkCodec &gbk);

    // n runs from 1 to Count.
    QString name(int n) const;

    const GbkCodec &gbk() const { return m_gbk; }

    // The names 1 to Count, in order.
    QStringList names() const;

    // What the edit rule makes of an edit of name n, without making it.
    NameEdit rule(int n, const TextEdit &edit) const;
    // Makes name n what the rule made of an edit of it; false, and nothing changes, when the
    // edit was ruled against another text than the name's.
    bool apply(int n, const NameEdit &edit);
    // Both: the edit of name n through the rule.
    NameEdit edit(int n, const TextEdit &edit);
    // Name n becomes what the rule keeps of `text` as a whole name, which may be nothing.
    NameEdit replace(int n, QStringView text);

    // Pastes text that may hold several lines into name n. Text with at least two lines
    // that hold something (more than blanks) is a pattern: its first line replaces
    // [from, to) of name n, as any paste does, and each following line replaces the whole
    // of the next name down, each through the edit rule on its own. Lines past the last
    // name are dropped; a line break at the very end of the text adds no empty line. Other
    // text changes name n alone, with its one line that holds something: a stray break
    // around a name never empties a neighbour.
    PasteEdit PastePattern(int n, int from, int to, QStringView text);

    // Empties names 1 to Count, in that order, without asking. Returns the names that
    // were not empty.
    QList<int> ClearPattern();

    // Puts back a text name n held before, as a history recorded it.
    void restore(int n, const QString &recorded) { field(n).restore(recorded); }

private:
    GroupNameField &field(int n);
    const GroupNameField &field(int n) const;

    const GbkCodec &m_gbk;
    std::array<GroupNameField, Count> m_fields;
};
