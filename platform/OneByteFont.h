// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

class QByteArray;
class QRawFont;

// A copy of a font whose character map holds only the one-byte characters of GBK, under a
// family name of its own. Listed first among a font's families, it leaves every other
// character to the families after it, where the original would draw its own narrow forms.
namespace OneByteFont {

// The family under which the copy of `family` is registered.
inline QString familyOf(const QString &family)
{
    return family + QStringLiteral(" SBCS");
}

// Registers the copy of `family` as familyOf(family): from the system's
// font of that name, else from the first of `files` that loads. Returns the family
// registered, or nothing when neither has the font.
QString install(const QString &family, const QStringList &files);

// The font file of the copy: the source's tables with a new character map and names.
QByteArray build(const QRawFont &source, const QString &family);

} // namespace OneByteFont
