// SPDX-License-Identifier: MIT
#include "GroupNameSet.h"

GroupNameSet::GroupNameSet(const GbkCodec &gbk, QObject *parent) : QObject(parent), m_gbk(gbk) {}

GroupNameField &GroupNameSet::field(int n)
{
    Q_ASSERT(n >= 1 && n <= Count);
    return m_fields.at(static_cast<std::size_t>(n - 1));
}

const GroupNameField &GroupNameSet::field(int n) const
{
    Q_ASSERT(n >= 1 && n <= Count);
    return m_fields.at(static_cast<std::size_t>(n - 1));
}

QString GroupNameSet::name(int n) const
{
    return field(n).text();
}

QStringList GroupNameSet::names() const
{
    QStringList list;
    list.reserve(Count);
    for (const GroupNameField &f : m_fields)
        list.append(f.text());
    return list;
}

NameEdit GroupNameSet::edit(int n, int from, int to, QStringView inserted)
{
    return announce(n, field(n).edit(from, to, inserted, m_gbk));
}

NameEdit GroupNameSet::announce(int n, const NameEdit &result)
{
    if (result.changed)
        Q_EMIT nameChanged(n, result.text);
    return result;
}

void GroupNameSet::ClearPattern()
{
    for (int n = 1; n <= Count; ++n) {
        const bool wasEmpty = field(n).text().isEmpty();
        field(n).clear();
        if (!wasEmpty)
            Q_EMIT nameChanged(n, QString());
    }
}
