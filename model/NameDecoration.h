// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>

class GbkCodec;
class TextWidths;

// One decoration for a whole list of names, and their right ends aligned, as patterns are
// made: a name is its leading decoration, padding, its words, padding, and its trailing
// decoration.
namespace NameDecoration {

// Han ideographs, ASCII letters and digits, and Latin letters with accents (pinyin).
// Everything else decorates: kana, Greek, Cyrillic, bopomofo, ① and Ⅰ among them.
bool isWordCharacter(char32_t codePoint);
// U+0020 and U+3000: padding where they stand next to the words.
bool isPadding(char32_t codePoint);

struct Parts
{
    QStringView lead;
    QStringView leadPadding;
    QStringView words; // empty when the name has none
    QStringView trailPadding;
    QStringView trail;
    bool hasWords() const { return !words.isEmpty(); }
};
// The parts of `name`; a name without words is all lead.
Parts split(QStringView name);

struct Outcome
{
    enum class Refusal
    {
        None,
        NoWords,      // the source has no words to go around
        NoDecoration, // the source's words have nothing around them
    };
    Refusal refusal = Refusal::None;
    QList<std::pair<int, QString>> names; // (n, new text) for the names that change
    QList<int> missed; // names left as they were (too long) or short of the target
};

// The source name's decoration around the words of every other name that has words (names
// numbered from 1); a name that would pass 16 bytes stays as it was, and is missed.
Outcome decorateAll(const QStringList &names, int source, const GbkCodec &gbk);

// Every name that ends in decoration padded, or its border stretched or shortened, to end
// where the widest of them ends; a name that cannot within 16 bytes comes as close as it can,
// and is missed.
Outcome alignRight(const QStringList &names, const TextWidths &widths, const GbkCodec &gbk);

} // namespace NameDecoration
