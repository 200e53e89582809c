// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

// Small pictograms for the panel mock-up's toolbar, tabs and side column. Each draws into
// any square box, designed on a 16-unit grid; `ink` fills the shape and `detail` draws the
// lines cut into it (usually the colour behind the glyph).
class Glyphs
{
public:
    enum Kind
    {
        Chat,
        Envelope,
        Star,
        Folder,
        Note,
        Picture,
        Gear,
        Person,
        Group,
        Clock,
        Magnifier,
    };

    static void draw(QPainter &painter, Kind kind, const QRectF &box, const QColor &ink,
                     const QColor &detail);
};
