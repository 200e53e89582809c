// SPDX-License-Identifier: MIT
#include "GroupNameSet.h"

#include <algorithm>

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

bool hasContent(QStringView line)
{
    return std::any_of(line.begin(), line.end(), [](QChar c) { return !c.isSpace(); });
}
} // namespace

std::optional<QStringView> GroupNameSet::oneLine(QStringView text)
{
    // Stops at the second line with something in it: only a pattern is read to its end.
    std::optional<QStringView> found;
    for (qsizetype start = 0; start >= 0 && start <= text.size();) {
        const Line line = lineAt(text, start);
        const QStringView part = text.mid(start, line.end - start);
        if (hasContent(part)) {
            if (found)
                return std::nullopt;
            found = part;
        }
        if (line.next < 0 || line.next >= text.size())
            break;
        start = line.next;
    }
    // Nothing but blanks: the first line, blanks and all.
    return found ? found : text.left(lineAt(text, 0).end);
}

PasteEdit GroupNameSet::PastePattern(int n, int from, int to, QStringView text)
{
    if (const std::optional<QStringView> line = oneLine(text)) {
        return PasteEdit(edit(n, TextEdit{from, to, *line}));
    }
    // Each line is scanned once and scanning stops at the last name, so a huge paste costs
    // no more than the part of it that is used, and the count of the lines dropped.
    Line line = lineAt(text, 0);
    PasteEdit paste(edit(n, TextEdit{from, to, text.left(line.end)}));
    paste.pattern = true;
    const auto note = [&paste](int k, const Shortfall &shortfall) {
        if (shortfall.full)
            paste.full.append(k);
        if (!shortfall.noForm.isEmpty() || shortfall.noFormMore > 0)
            paste.noForm.append(k);
    };
    note(n, paste.first.shortfall());
    for (int k = n + 1; k <= Count && line.next >= 0 && line.next < text.size(); ++k) {
        const qsizetype start = line.next;
        line = lineAt(text, start);
        const NameEdit replaced = replace(k, text.mid(start, line.end - start));
        paste.shortfall.add(replaced.shortfall());
        note(k, replaced.shortfall());
    }
    while (line.next >= 0 && line.next < text.size()) {
        const qsizetype start = line.next;
        line = lineAt(text, start);
        if (hasContent(text.mid(start, line.end - start)))
            ++paste.dropped;
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
