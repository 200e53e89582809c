// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

// The fonts that draw the window's text as a Chinese Windows draws a code-page edit field:
// each character of one GBK byte (ASCII and €) in the window font, every other one from a
// Chinese Song-style font, full width, even where the window font has a narrow form of its
// own (━ ★ ○ → Ω).
class WindowFonts
{
public:
    virtual ~WindowFonts() = default;

    // The families, in the order Qt tries them for each character, for text in `family`.
    virtual QStringList families(const QString &family) const = 0;
};
