// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

// How many of its 16 bytes the name of the field with the keyboard uses ("12/16"), small and
// quiet, in the strip between the list and the picture buttons, level with the field's row:
// over no field, button or link, and nowhere while no field has the keyboard.
class RoomCount : public QLabel
{
    Q_OBJECT

public:
    explicit RoomCount(QWidget *window);

    // Shows `bytes` for the field at `field`, between `left` and `right` (the window's
    // coordinates).
    void showFor(const QRect &field, int left, int right, int bytes);
};
