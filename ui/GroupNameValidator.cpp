// SPDX-License-Identifier: MIT
#include "GroupNameValidator.h"

#include "GroupNameSet.h"

GroupNameValidator::GroupNameValidator(const GroupNameSet &set, int n, PatternHandler onPattern,
                                       QObject *parent)
    : QValidator(parent), m_set(set), m_n(n), m_onPattern(std::move(onPattern))
{
}

QValidator::State GroupNameValidator::validate(QString &input, int &pos) const
{
    const QString current = m_set.name(m_n);
    if (input == current)
        return Acceptable;
    const Insertion insertion = GroupNameField::insertionOf(current, input, pos);
    // Every insertion passes here, however it was made, and a name holds no line break: a
    // line break can only be part of what was just inserted.
    if (m_onPattern && GroupNameField::hasLineBreak(insertion.inserted)) {
        m_onPattern(insertion.from, insertion.to, insertion.inserted.toString());
        return Invalid;
    }
    const NameEdit edit = GroupNameField::applyEdit(current, insertion.from, insertion.to,
                                                    insertion.inserted, m_set.gbk());
    // Invalid makes the line edit restore the name, and the selection with it.
    if (!edit.changed)
        return Invalid;
    input = edit.text;
    pos = edit.cursor;
    return Acceptable;
}
