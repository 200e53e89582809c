// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// The program's icon: a small list window with group rows, and a pencil writing on it.
// It is drawn afresh at every size, with its strokes snapped to whole pixels, so the small
// sizes stay crisp instead of being a blurred copy of a big one.
class IconArt
{
public:
    // A size x size ARGB32 picture on a transparent ground.
    static QImage render(int size);
};
