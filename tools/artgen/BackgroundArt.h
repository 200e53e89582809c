// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

class TextOutline;

// The window's background: a light-blue frame around a sky, with the mock-up of a
// messenger's main panel whose blank group rows the window covers with its name fields.
// The frame, the two dark panel lines, the white list area and the group-row triangles are
// placed to the pixel, because the window lays its controls over them; everything else is
// free decoration.
class BackgroundArt
{
public:
    static constexpr int Width = 508;
    static constexpr int Height = 388;

    // The picture at scale 1 or 2; at 2 every shape is redrawn at twice the resolution.
    static QImage render(const TextOutline &font, int scale);
};
