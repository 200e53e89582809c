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

NameEdit GroupNameSet::rule(int n, const TextEdit &edit) const
{
    return GroupNameField::applyEdit(name(n), edit, m_gbk);
}

bool GroupNameSet::apply(int n, const NameEdit &edit)
{
    if (!field(n).take(edit))
        return false;
    if (edit.changed())
        Q_EMIT nameChanged(n, edit.text());
    return true;
}

NameEdit GroupNameSet::edit(int n, const TextEdit &edit)
{
    const NameEdit result = rule(n, edit);
    apply(n, result);
    return result;
}

namespace {
// Where the line that starts at `start` ends, and where the next one starts: -1 when the
// text ends without a break.
struct Line
{
    qsizetype end;
    qsizetype next;
};

Line lineAt(QStringView text, qsizetype start)
{
    for (qsizetype i = start; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (GroupNameField::isLineBreak(c)) {
            const bool crlf = c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
            return Line{i, i + (crlf ? 2 : 1)};
        }
    }
    return Line{text.size(), -1};
}
} // namespace

PasteEdit GroupNameSet::PastePattern(int n, int from, int to, QStringView text)
{
    // Each line is scanned once and scanning stops at the last name, so a huge paste costs
    // no more than the part of it that is used.
    Line line = lineAt(text, 0);
    PasteEdit paste{edit(n, TextEdit{from, to, text.left(line.end)}), {}};
    paste.shortfall = paste.first.shortfall();
    for (int k = n + 1; k <= Count && line.next >= 0 && line.next < text.size(); ++k) {
        const qsizetype start = line.next;
        line = lineAt(text, start);
        paste.shortfall.add(replace(k, text.mid(start, line.end - start)).shortfall());
    }
    return paste;
}

NameEdit GroupNameSet::replace(int n, QStringView text)
{
    // The whole name is replaced, and an empty result is a result too.
    GroupNameField &f = field(n);
    const QString before = f.text();
    f.clear();
    const NameEdit result = GroupNameField::applyEdit(QString(), TextEdit{0, 0, text}, m_gbk);
    f.take(result);
    if (f.text() != before)
        Q_EMIT nameChanged(n, f.text());
    return result;
}

void GroupNameSet::restore(const QStringList &names)
{
    Q_ASSERT(names.size() == Count);
    for (int n = 1; n <= Count; ++n)
        if (name(n) != names.at(n - 1))
            replace(n, names.at(n - 1));
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
