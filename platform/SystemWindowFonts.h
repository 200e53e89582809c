// SPDX-License-Identifier: MIT
#pragma once

#include "WindowFonts.h"

// The window font's one-byte part as OneByteFont registers it, the Song-style font's
// full-cell part as FullCellFont registers it (Linux), then the system's 宋体 where it has
// one (Windows), else Debian's Song-style fonts.
class SystemWindowFonts final : public WindowFonts
{
public:
    QStringList families(const QString &family) const override;
};
