// SPDX-License-Identifier: MIT
#include "GroupNameField.h"

#include "GbkCodec.h"

#include <QChar>

#include <algorithm>

namespace {
// Lone surrogates read as this, a value outside Unicode that has no GBK form.
constexpr char32_t NoCharacter = 0xFFFFFFFF;

// Reads the code point at i and steps past it.
char32_t nextCodePoint(QStringView text, qsizetype &i)
{
    const QChar c = text[i++];
    if (!c.isSurrogate())
        return c.unicode();
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    return NoCharacter;
}

// Bytes a code point may take in a name, or 0 when it may never enter one.
int allowedLength(char32_t cp, const GbkCodec &gbk)
{
    if (QChar::category(cp) == QChar::Other_Control)
        return 0;
    return gbk.byteLength(cp);
}

QString withoutRange(const QString &name, int from, int to)
{
    QString rest = name;
    rest.remove(from, to - from);
    return rest;
}
} // namespace

QString GroupNameField::placeholder()
{
    return QStringLiteral(u"好友分组名称");
}

bool GroupNameField::isLineBreak(char32_t cp)
{
    return cp == u'\r' || cp == u'\n' || cp == 0x2028 || cp == 0x2029;
}

bool GroupNameField::hasLineBreak(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return isLineBreak(c.unicode()); });
}

int GroupNameField::byteLength(QStringView text, const GbkCodec &gbk)
{
    int total = 0;
    for (qsizetype i = 0; i < text.size();) {
        const int n = gbk.byteLength(nextCodePoint(text, i));
        if (n == 0)
            return -1;
        total += n;
    }
    return total;
}

NameEdit GroupNameField::applyEdit(const QString &name, int from, int to, QStringView inserted,
                                   const GbkCodec &gbk)
{
    from = std::clamp(from, 0, int(name.size()));
    to = std::clamp(to, from, int(name.size()));

    const NameEdit unchanged{name, to, false};
    const QString rest = withoutRange(name, from, to);
    int budget = MaxBytes - std::max(0, byteLength(rest, gbk));

    if (inserted.isEmpty())
        return from == to ? unchanged : NameEdit{rest, from, true};

    // Linear in the insertion: one pass that stops at the first break or the first
    // character that no longer fits.
    QString kept;
    for (qsizetype i = 0; i < inserted.size();) {
        const qsizetype start = i;
        const char32_t cp = nextCodePoint(inserted, i);
        if (isLineBreak(cp))
            break;
        const int length = allowedLength(cp, gbk);
        if (length == 0)
            continue;
        if (length > budget)
            break;
        budget -= length;
        kept.append(inserted.mid(start, i - start));
    }

    if (kept.isEmpty())
        return unchanged;
    QString text = rest;
    text.insert(from, kept);
    return NameEdit{text, int(from + kept.size()), text != name};
}

Insertion GroupNameField::insertionOf(const QString &name, const QString &proposed, int cursor)
{
    cursor = std::clamp(cursor, 0, int(proposed.size()));
    const QStringView tail = QStringView(proposed).mid(cursor);
    if (tail.size() > name.size() || !QStringView(name).endsWith(tail))
        return Insertion{0, int(name.size()), proposed};

    // The old text is head + tail; the proposal is head' + tail, where head' shares a
    // prefix with head and the rest of head' is what was inserted.
    const QStringView oldHead = QStringView(name).left(name.size() - tail.size());
    const QStringView newHead = QStringView(proposed).left(cursor);
    const auto mismatch =
        std::mismatch(oldHead.begin(), oldHead.end(), newHead.begin(), newHead.end());
    int from = int(mismatch.first - oldHead.begin());
    // Never cut between the two halves of a surrogate pair.
    if (from > 0 && oldHead.at(from - 1).isHighSurrogate())
        --from;
    return Insertion{from, int(oldHead.size()), newHead.mid(from)};
}

NameEdit GroupNameField::applyProposal(const QString &name, const QString &proposed, int cursor,
                                       const GbkCodec &gbk)
{
    const Insertion insertion = insertionOf(name, proposed, cursor);
    return applyEdit(name, insertion.from, insertion.to, insertion.inserted, gbk);
}

NameEdit GroupNameField::edit(int from, int to, QStringView inserted, const GbkCodec &gbk)
{
    NameEdit result = applyEdit(m_text, from, to, inserted, gbk);
    m_text = result.text;
    return result;
}
