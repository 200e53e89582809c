// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

// The characters of two GBK bytes that the system's Song-style font draws narrower than 中
// (on Linux, AR PL UMing's Latin-1 signs and pinyin letters: ± × ÷ ° · à é ü ā ǎ ɑ ń …),
// each in a full cell with its glyph in the middle, as 宋体 draws them, under a family
// name of its own. Listed before the Song-style font, it leaves every other character to it.
// FontWarmUp builds it from the Song-style font's file, on its worker.
namespace FullCellFont {

// The family under which the program registers it.
inline QString family()
{
    return QStringLiteral("Song Full Cell");
}

// Registers `font`, made by build(), under the family it names. Returns that family, or
// nothing when there is no font.
QString install(const QByteArray &font);

// The font file: for each character that `wanted` accepts and that the face draws
// narrower than 中, a glyph as wide as 中 that draws the face's own in its middle, at
// every size from its outline and, at each of the face's bitmap strikes, from its bitmap.
// Keeps the face's copyright and licence. Empty where no character needs it.
QByteArray build(QByteArrayView file, int index, const std::function<bool(char32_t)> &wanted,
                 const QString &family);

} // namespace FullCellFont
