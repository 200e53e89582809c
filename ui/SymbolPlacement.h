// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

// Where the symbol panel goes, in global coordinates: outside the window, level with the
// field, on the right, else on the left; where neither side has room, the place on the
// screen that covers the fewest of the list's rows, never the field's own row, the note or
// the pointer.
struct SymbolPlacement
{
    static constexpr int Gap = 4;

    QSize panel;
    QRect field;       // the field it serves
    QRect window;      // the window's frame
    QList<QRect> rows; // the list's rows, from the window's edge to the fields' end
    QRect note;        // the note's place, or none
    QPoint pointer;
    QRect screen; // the screen's available area
    // Where the compositor places it from a point and flips it over the window when it
    // does not fit (Wayland): it starts just below the field's row, which a flip leaves free.
    bool belowRow = false;

    QRect place() const;
};
