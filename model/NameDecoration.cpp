// SPDX-License-Identifier: MIT
#include "NameDecoration.h"

#include "GroupNameField.h"
#include "TextWidths.h"

#include <QChar>

#include <cmath>

namespace NameDecoration {

namespace {
constexpr char16_t FullWidthSpace = 0x3000;

double widthOf(QStringView text, const TextWidths &widths)
{
    double width = 0;
    for (const QChar c : text)
        width += widths.advance(c.unicode());
    return width;
}

bool fits(const QString &name, const GbkCodec &gbk)
{
    const int bytes = GroupNameField::byteLength(name, gbk);
    return bytes >= 0 && bytes <= GroupNameField::MaxBytes;
}

// The padding of full-width and one-byte spaces whose width comes closest to `wanted` in
// `bytes` bytes at most; full-width ones where two mixes are as close.
QString paddingFor(double wanted, int bytes, const TextWidths &widths)
{
    const double full = widths.advance(FullWidthSpace);
    const double half = widths.advance(u' ');
    QString best;
    double bestMiss = std::abs(wanted);
    for (int f = bytes / 2; f >= 0; --f) {
        for (int s = 0; 2 * f + s <= bytes; ++s) {
            const double miss = std::abs(wanted - f * full - s * half);
            if (miss < bestMiss - 1e-9) {
                bestMiss = miss;
                best = QString(f, QChar(FullWidthSpace)) + QString(s, u' ');
            }
        }
    }
    return best;
}

// A border made as long as `wanted` by its most repeated inner character, spread evenly
// over its runs of it, its first and last characters kept.
QString borderFor(const QString &border, double wanted, const TextWidths &widths,
                  const GbkCodec &gbk)
{
    if (border.size() < 3)
        return border;
    const QStringView inner = QStringView(border).mid(1, border.size() - 2);
    QChar repeated;
    qsizetype most = 0;
    for (const QChar c : inner) {
        const qsizetype count = inner.count(c);
        if (count > most) {
            most = count;
            repeated = c;
        }
    }
    // Its runs, as [start, length) in `inner`.
    QList<std::pair<qsizetype, qsizetype>> runs;
    for (qsizetype i = 0; i < inner.size(); ++i)
        if (inner[i] == repeated && (i == 0 || inner[i - 1] != repeated))
            runs.append({i, 0});
    for (auto &[start, length] : runs)
        while (start + length < inner.size() && inner[start + length] == repeated)
            ++length;
    const double step = widths.advance(repeated.unicode());
    const auto made = [&](qsizetype total) {
        QString text = border.left(1);
        qsizetype at = 0;
        for (qsizetype r = 0; r < runs.size(); ++r) {
            text += inner.mid(at, runs[r].first - at);
            const qsizetype share = total / runs.size() + (r < total % runs.size() ? 1 : 0);
            text += QString(share, repeated);
            at = runs[r].first + runs[r].second;
        }
        text += inner.mid(at);
        text += border.back();
        return text;
    };
    qsizetype total = most + qsizetype(std::lround((wanted - widthOf(border, widths)) / step));
    total = std::max<qsizetype>(total, runs.size());
    QString text = made(total);
    while (total > runs.size() && !fits(text, gbk))
        text = made(--total);
    return text;
}
} // namespace

bool isWordCharacter(char32_t cp)
{
    if (cp < 0x80)
        return (cp >= u'0' && cp <= u'9') || (cp >= u'a' && cp <= u'z') ||
               (cp >= u'A' && cp <= u'Z');
    const QChar::Category category = QChar::category(cp);
    if (QChar::script(cp) == QChar::Script_Han)
        return category == QChar::Letter_Other;
    return QChar::script(cp) == QChar::Script_Latin &&
           (category == QChar::Letter_Lowercase || category == QChar::Letter_Uppercase);
}

bool isPadding(char32_t cp)
{
    return cp == u' ' || cp == FullWidthSpace;
}

Parts split(QStringView name)
{
    qsizetype first = -1;
    qsizetype last = -1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isWordCharacter(name[i].unicode())) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return Parts{name, {}, {}, {}, {}};
    qsizetype leadEnd = first;
    while (leadEnd > 0 && isPadding(name[leadEnd - 1].unicode()))
        --leadEnd;
    qsizetype trailStart = last + 1;
    while (trailStart < name.size() && isPadding(name[trailStart].unicode()))
        ++trailStart;
    return Parts{name.left(leadEnd), name.mid(leadEnd, first - leadEnd),
                 name.mid(first, last + 1 - first), name.mid(last + 1, trailStart - last - 1),
                 name.mid(trailStart)};
}

Outcome decorateAll(const QStringList &names, int source, const GbkCodec &gbk)
{
    Outcome outcome;
    const Parts decoration = split(names.at(source - 1));
    if (!decoration.hasWords()) {
        outcome.refusal = Outcome::Refusal::NoWords;
        return outcome;
    }
    if (decoration.lead.isEmpty() && decoration.trail.isEmpty()) {
        outcome.refusal = Outcome::Refusal::NoDecoration;
        return outcome;
    }
    for (int n = 1; n <= names.size(); ++n) {
        const Parts parts = split(names.at(n - 1));
        if (n == source || !parts.hasWords())
            continue;
        const QString decorated =
            decoration.lead.toString() + parts.words.toString() + decoration.trail.toString();
        if (!fits(decorated, gbk))
            outcome.missed.append(n);
        else if (decorated != names.at(n - 1))
            outcome.names.append({n, decorated});
    }
    return outcome;
}

Outcome alignRight(const QStringList &names, const TextWidths &widths, const GbkCodec &gbk)
{
    // The rows that end in decoration, each measured without the padding before it.
    QList<int> rows;
    double target = 0;
    for (int n = 1; n <= names.size(); ++n) {
        const QString &name = names.at(n - 1);
        if (name.isEmpty() || isWordCharacter(name.back().unicode()) ||
            isPadding(name.back().unicode()))
            continue;
        rows.append(n);
        const Parts parts = split(name);
        target = std::max(target, widthOf(name, widths) - widthOf(parts.trailPadding, widths));
    }
    const double tolerance = widths.advance(u' ') / 2;
    Outcome outcome;
    for (const int n : rows) {
        const QString &name = names.at(n - 1);
        const Parts parts = split(name);
        QString aligned;
        if (parts.hasWords()) {
            const QString head =
                parts.lead.toString() + parts.leadPadding.toString() + parts.words.toString();
            const QString tail = parts.trail.toString();
            const int bytes = GroupNameField::byteLength(head + tail, gbk);
            aligned = head +
                      paddingFor(target - widthOf(head, widths) - widthOf(tail, widths),
                                 GroupNameField::MaxBytes - bytes, widths) +
                      tail;
        } else {
            aligned = borderFor(name, target, widths, gbk);
        }
        if (std::abs(widthOf(aligned, widths) - target) > tolerance)
            outcome.missed.append(n);
        if (aligned != name)
            outcome.names.append({n, aligned});
    }
    return outcome;
}

} // namespace NameDecoration
