// SPDX-License-Identifier: MIT
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

// A picture drawn once at the top left of a widget, at its own size, never stretched.
// Where the screen has more device pixels than logical ones, the picture's @2x variant is
// drawn instead, so that it stays sharp.
class Picture
{
public:
    const QString &path() const { return m_path; }
    void setPath(const QString &path);

    // Logical size: the 1x picture's size in pixels.
    QSize size() const;

    void paint(QWidget *widget);

private:
    QString m_path;
    QPixmap m_pixmap;
    qreal m_pixmapRatio = 0;
};
