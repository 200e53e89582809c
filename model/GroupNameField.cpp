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

// Bytes a code point may take in a name; nothing when it may never enter one.
std::optional<int> allowedLength(char32_t cp, const GbkCodec &gbk)
{
    if (cp == NoCharacter || QChar::category(cp) == QChar::Other_Control)
        return std::nullopt;
    return gbk.byteLength(cp);
}

// Whether the code point may compose with what precedes it: a combining mark, or a Hangul
// vowel or final consonant joining a syllable.
bool joinsPrevious(char32_t cp)
{
    return cp != NoCharacter && (QChar::combiningClass(cp) != 0 || (cp >= 0x1161 && cp <= 0x1175) ||
                                 (cp >= 0x11A8 && cp <= 0x11C2));
}

// Hands `f` the code points of the text's composed form (NFC), one at a time, until it
// returns false. Composition stays within a starter and the marks after it, so the text is
// composed a piece at a time and a long paste costs no more than the part the rule reads.
template <typename F> void forEachComposed(QStringView text, F f)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype start = i;
        const char32_t first = nextCodePoint(text, i);
        qsizetype end = i;
        for (qsizetype next = end; next < text.size() && joinsPrevious(nextCodePoint(text, next));)
            end = next;
        if (end == i &&
            (first == NoCharacter || QChar::decompositionTag(first) != QChar::Canonical)) {
            if (!f(first))
                return;
        } else {
            const QString composed =
                text.mid(start, end - start).toString().normalized(QString::NormalizationForm_C);
            for (qsizetype k = 0; k < composed.size();)
                if (!f(nextCodePoint(composed, k)))
                    return;
        }
        i = end;
    }
}
} // namespace

QString GroupNameField::placeholder()
{
    return QStringLiteral(u"好友分组名称");
}

std::optional<int> GroupNameField::characterBytes(char32_t codePoint, const GbkCodec &gbk)
{
    return allowedLength(codePoint, gbk);
}

bool GroupNameField::isLineBreak(char32_t cp)
{
    return cp == u'\r' || cp == u'\n' || cp == 0x2028 || cp == 0x2029;
}

int GroupNameField::byteLength(QStringView text, const GbkCodec &gbk)
{
    int total = 0;
    for (qsizetype i = 0; i < text.size();) {
        const std::optional<int> n = allowedLength(nextCodePoint(text, i), gbk);
        if (!n)
            return -1;
        total += *n;
    }
    return total;
}

NameEdit GroupNameField::applyEdit(const QString &name, const TextEdit &edit, const GbkCodec &gbk)
{
    const int from = std::clamp(edit.from, 0, int(name.size()));
    const int to = std::clamp(edit.to, from, int(name.size()));
    QString rest = name;
    rest.remove(from, to - from);
    // A name is only ever made by this rule, so its rest has a GBK form; were it otherwise,
    // nothing more fits rather than a guess at its length.
    const int restBytes = byteLength(rest, gbk);
    if (edit.inserted.isEmpty()) {
        if (from == to)
            return NameEdit(name, name, to, to, 0, byteLength(name, gbk));
        return NameEdit(name, rest, from, to, 0, restBytes);
    }
    int budget = restBytes < 0 ? 0 : MaxBytes - restBytes;

    // Linear in what is read: one pass that stops at the first break or the first
    // character that no longer fits.
    QString kept;
    Shortfall shortfall;
    forEachComposed(edit.inserted, [&](char32_t cp) {
        if (isLineBreak(cp))
            return false;
        const std::optional<int> length = allowedLength(cp, gbk);
        if (!length) {
            if (cp == NoCharacter || QChar::category(cp) != QChar::Other_Control)
                shortfall.leaveOut(cp);
            return true;
        }
        if (*length > budget) {
            shortfall.full = true;
            return false;
        }
        budget -= *length;
        kept.append(QChar::fromUcs4(cp));
        return true;
    });

    if (kept.isEmpty())
        return NameEdit(name, name, to, to, 0, byteLength(name, gbk), std::move(shortfall));
    QString text = rest;
    text.insert(from, kept);
    return NameEdit(name, text, from, to, int(kept.size()), MaxBytes - budget,
                    std::move(shortfall));
}

bool GroupNameField::take(const NameEdit &edit)
{
    if (edit.before() != m_text)
        return false;
    m_text = edit.text();
    return true;
}
