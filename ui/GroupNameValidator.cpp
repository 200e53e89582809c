// SPDX-License-Identifier: MIT
#include "GroupNameValidator.h"

#include "GroupNameSet.h"

GroupNameValidator::GroupNameValidator(const GroupNameSet &set, int n, QObject *parent)
    : QValidator(parent), m_set(set), m_n(n)
{
}

QValidator::State GroupNameValidator::validate(QString &input, int &pos) const
{
    const QString current = m_set.name(m_n);
    if (input == current)
        return Acceptable;
    const NameEdit edit = GroupNameField::applyProposal(current, input, pos, m_set.gbk());
    // Invalid makes the line edit restore the name, and the selection with it.
    if (!edit.changed)
        return Invalid;
    input = edit.text;
    pos = edit.cursor;
    return Acceptable;
}
