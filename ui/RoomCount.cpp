// SPDX-License-Identifier: MIT
#include "RoomCount.h"

#include "GroupNameField.h"

RoomCount::RoomCount(QWidget *window) : QLabel(window)
{
    setObjectName(QStringLiteral("roomCount"));
    // The frame's light blue with the list's dark lines: of the window's own colours, and
    // legible over the sky's clouds. Smaller than the names, so that it reads as a hint.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(141, 184, 255));
    colours.setColor(QPalette::WindowText, QColor(62, 94, 146));
    setPalette(colours);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 7 / 9);
    setFont(small);
    setAlignment(Qt::AlignCenter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void RoomCount::showFor(const QRect &field, int left, int right, int bytes)
{
    setText(QStringLiteral("%1/%2").arg(bytes).arg(GroupNameField::MaxBytes));
    const int width = std::min(right - left, fontMetrics().horizontalAdvance(text()) + 4);
    const int height = fontMetrics().height();
    setGeometry(left, field.center().y() - height / 2, width, height);
    raise();
    show();
}
