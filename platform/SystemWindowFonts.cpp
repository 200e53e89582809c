// SPDX-License-Identifier: MIT
#include "SystemWindowFonts.h"

#include "FullCellFont.h"
#include "OneByteFont.h"

QStringList SystemWindowFonts::families(const QString &family) const
{
    return {OneByteFont::familyOf(family),    FullCellFont::family(),
            QStringLiteral("SimSun"),         QStringLiteral(u"宋体"),
            QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")};
}
