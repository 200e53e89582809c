// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// The window's text drawn as a Chinese Windows draws a code-page edit field: each character of
// one GBK byte (ASCII and €) in the window font, every other one from a Chinese Song-style
// font, full width, even where the window font has a narrow form of its own (━ ★ ○ → Ω).
namespace WindowFonts {

// The family under which the program registers the window font's one-byte part.
inline QString oneByteFamily(const QString &family)
{
    return family + QStringLiteral(" SBCS");
}

// The family under which the program registers the Song-style font's narrow characters of
// two GBK bytes, each in a full cell.
inline QString fullCellFamily()
{
    return QStringLiteral("Song Full Cell");
}

// The window font's families in the order Qt tries them for each character: the one-byte
// part, the Song-style font's full-cell part (Linux), then the system's 宋体 where it has one
// (Windows), else Debian's Song-style fonts.
inline QStringList families(const QString &family)
{
    return {oneByteFamily(family),
            fullCellFamily(),
            QStringLiteral("SimSun"),
            QStringLiteral(u"宋体"),
            QStringLiteral("AR PL UMing CN"),
            QStringLiteral("Noto Serif CJK SC")};
}

} // namespace WindowFonts
