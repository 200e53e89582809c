// SPDX-License-Identifier: MIT
#include "SystemTextWidths.h"

#include "GbkCodec.h"
#include "OneByteFont.h"

#include <QFont>

SystemTextWidths::SystemTextWidths(const QString &family, const GbkCodec &gbk) : m_gbk(gbk)
{
    QFont font(OneByteFont::familyOf(family));
    font.setPixelSize(int(Cell));
    // The font's own advances: hinting would round them as one screen's renderer does.
    font.setHintingPreference(QFont::PreferNoHinting);
    m_font = QRawFont::fromFont(font);
}

double SystemTextWidths::advance(char32_t codePoint) const
{
    if (m_gbk.byteLength(codePoint).value_or(2) == 2)
        return Cell;
    const QString text = QString::fromUcs4(&codePoint, 1);
    const QList<quint32> glyphs = m_font.glyphIndexesForString(text);
    if (glyphs.isEmpty() || glyphs.front() == 0)
        return Cell / 2;
    return m_font.advancesForGlyphIndexes(glyphs).front().x();
}
