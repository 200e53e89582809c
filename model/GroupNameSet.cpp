// SPDX-License-Identifier: MIT
#include "GroupNameSet.h"

#include <QVarLengthArray>

#include <algorithm>
#include <optional>

GroupNameSet::GroupNameSet(const GbkCodec &gbk) : m_gbk(gbk) {}

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
    return field(n).take(edit);
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

PasteEdit GroupNameSet::PastePattern(int n, int from, int to, QStringView text)
{
    // One scan: the lines that can go into names n to Count, the first line that holds
    // something, and how many such lines there are, those past the last name counted apart.
    const int room = Count - n + 1;
    QVarLengthArray<QStringView, Count> lines;
    std::optional<QStringView> first;
    int filled = 0;
    int dropped = 0;
    for (qsizetype start = 0;;) {
        const Line line = lineAt(text, start);
        const QStringView part = text.mid(start, line.end - start);
        const bool content = hasContent(part);
        if (lines.size() < room)
            lines.append(part);
        else if (content)
            ++dropped;
        if (content) {
            ++filled;
            if (!first)
                first = part;
        }
        // A break at the very end adds no empty line.
        if (line.next < 0 || line.next >= text.size())
            break;
        start = line.next;
    }

    if (filled < 2) {
        // Nothing but blanks: the first line, blanks and all.
        PasteEdit paste(edit(n, TextEdit{from, to, first.value_or(lines.front())}));
        if (paste.first.changed())
            paste.changed.append(n);
        return paste;
    }
    PasteEdit paste(edit(n, TextEdit{from, to, lines.front()}));
    paste.pattern = true;
    paste.dropped = dropped;
    const auto note = [&paste](int k, bool changed, const Shortfall &shortfall) {
        if (changed)
            paste.changed.append(k);
        if (shortfall.full)
            paste.full.append(k);
        if (!shortfall.noForm.isEmpty() || shortfall.noFormMore > 0)
            paste.noForm.append(k);
    };
    note(n, paste.first.changed(), paste.first.shortfall());
    for (int i = 1; i < lines.size(); ++i) {
        const QString before = name(n + i);
        const NameEdit replaced = replace(n + i, lines[i]);
        paste.shortfall.add(replaced.shortfall());
        note(n + i, replaced.text() != before, replaced.shortfall());
    }
    return paste;
}

NameEdit GroupNameSet::replace(int n, QStringView text)
{
    // Ruled as an insertion into an empty name: an empty result is a result too.
    GroupNameField &f = field(n);
    f.clear();
    const NameEdit result = GroupNameField::applyEdit(QString(), TextEdit{0, 0, text}, m_gbk);
    f.take(result);
    return result;
}

QList<int> GroupNameSet::ClearPattern()
{
    QList<int> changed;
    for (int n = 1; n <= Count; ++n) {
        if (!field(n).text().isEmpty())
            changed.append(n);
        field(n).clear();
    }
    return changed;
}
